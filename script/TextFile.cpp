#include "script/TextFile.h"


#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kv::script {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

kv::io::FileError failed(const std::string& path) {
    int e = errno ? errno : EIO;
    return kv::io::FileError{path, std::strerror(e)};
}

} // namespace

kv::io::FileError readToMark(const std::string& path, bool create, std::size_t cap,
                             MarkedText& out) {
    out = MarkedText{};
    errno = 0;
    if (create) {
        File made(std::fopen(path.c_str(), "ab")); // creates, never truncates
        if (!made) return failed(path);
    }
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return failed(path);
    char buf[1 << 16];
    for (;;) {
        std::size_t got = std::fread(buf, 1, sizeof buf, f.get());
        if (got == 0) break;
        const char* mark = static_cast<const char*>(std::memchr(buf, '#', got));
        std::size_t keep = mark ? static_cast<std::size_t>(mark - buf) : got;
        if (!out.tooLong) {
            std::size_t room = cap - out.text.size();
            if (keep > room) {
                out.tooLong = true;
                out.text.append(buf, room);
            } else {
                out.text.append(buf, keep);
            }
        }
        if (mark) {
            out.hasMark = true;
            return {};
        }
    }
    if (std::ferror(f.get())) return failed(path);
    return {};
}

kv::io::FileError appendMark(const std::string& path) {
    errno = 0;
    File f(std::fopen(path.c_str(), "ab"));
    if (!f) return failed(path);
    if (std::fputc('#', f.get()) == EOF) return failed(path);
    if (std::fclose(f.release()) != 0) return failed(path);
    return {};
}

void reportFileError(const kv::io::FileError& e, Reporter& reporter) {
    reporter.report(kv::io::fileErrorText(e), kv::ui::kAppName, kv::ui::Icon::Error);
}

bool loadMarked(const std::string& path, bool create, std::size_t cap, MarkedText& out,
                const char* noMark, Reporter& reporter) {
    if (auto e = readToMark(path, create, cap, out)) {
        reportFileError(e, reporter);
        return false;
    }
    if (!out.hasMark) {
        if (auto e = appendMark(path)) {
            reportFileError(e, reporter);
            return false;
        }
        reporter.report(noMark, "注意", kv::ui::Icon::Warning);
    }
    return true;
}

} // namespace kv::script
