#include "platform/io/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace kv::io {

namespace {
bool writeFully(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= std::size_t(w);
    }
    return true;
}
} // namespace

Replaced replaceFile(const std::string& path, std::string_view bytes) {
    using Step = Replaced::Step;
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (base.empty() || (exists && S_ISDIR(target.st_mode))) return {Step::Folder, EISDIR};

    // A fresh name beside the target, so that the rename stays on one file system.
    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        tmp = dir + "/." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
              "-" + std::to_string(tick & 0xFFFF) + ".tmp";
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return {Step::Open, errno};
    if (exists) (void)::fchmod(fd, target.st_mode & 07777);

    Replaced r;
    if (!writeFully(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) r = {Step::Write, errno};
    if (::close(fd) != 0 && r) r = {Step::Write, errno};
    if (r && ::rename(tmp.c_str(), path.c_str()) != 0) r = {Step::Rename, errno};
    if (!r) ::unlink(tmp.c_str());
    return r;
}

std::string whyNotReplaced(const std::string& path, const Replaced& r) {
    using Step = Replaced::Step;
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (r.step == Step::Folder) return "“" + path + "”是一个文件夹";
    switch (r.error) {
    case ENOENT: return "文件夹“" + dir + "”不存在";
    case EACCES:
    case EPERM: return "没有在文件夹“" + dir + "”中写入的权限";
    case EROFS: return "文件夹“" + dir + "”在只读的磁盘上";
    case ENOSPC:
    case EDQUOT: return "磁盘已满";
    default: return std::strerror(r.error);
    }
}

} // namespace kv::io
