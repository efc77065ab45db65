#include "platform/io/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kv::io {

namespace {
FileError failure(const std::string& path) { return {path, std::strerror(errno)}; }

int openRw(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
} // namespace

FileError ensureFile(const std::string& path, std::string_view initial) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno != EEXIST) return failure(path);
        // Someone else's file (or one made a moment ago): it must open, and stays as it is.
        fd = openRw(path);
        if (fd < 0) return failure(path);
        ::close(fd);
        return {path, {}};
    }
    ::close(fd);
    return initial.empty() ? FileError{path, {}} : writeAt(path, 0, initial);
}

FileError readAt(const std::string& path, std::uint64_t offset, std::size_t n, std::string& out) {
    out.clear();
    int fd = openRw(path);
    if (fd < 0) return failure(path);
    out.resize(n);
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::pread(fd, out.data() + got, n - got, off_t(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            FileError e = failure(path);
            ::close(fd);
            out.clear();
            return e;
        }
        if (r == 0) break;
        got += std::size_t(r);
    }
    out.resize(got);
    ::close(fd);
    return {path, {}};
}

FileError writeAt(const std::string& path, std::uint64_t offset, std::string_view data) {
    int fd = openRw(path);
    if (fd < 0) return failure(path);
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t r = ::pwrite(fd, data.data() + done, data.size() - done, off_t(offset + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            FileError e = failure(path);
            ::close(fd);
            return e;
        }
        done += std::size_t(r);
    }
    if (::close(fd) != 0) return failure(path);
    return {path, {}};
}

std::string fileErrorText(const FileError& e) {
    std::error_code ec;
    std::string full = std::filesystem::absolute(e.path, ec).string();
    if (ec) full = e.path;
    return "访问文件 \"" + full + "\" 时出错：" + e.reason;
}

namespace {
std::string& folder() {
    static std::string dir;
    return dir;
}
} // namespace

void setWorkFolder(const std::string& dir) { folder() = dir; }

const std::string& workFolder() { return folder(); }

void restoreWorkFolder() {
    if (folder().empty()) return;
    std::error_code ec;
    std::filesystem::current_path(folder(), ec);
}

std::string programDir() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return p.parent_path().string();
}

} // namespace kv::io
