#include "fuzz/tools/Walk.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/time.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

namespace kv::walk {

const std::vector<std::string>& typedValues() {
    static const std::vector<std::string> values = {
        "-1", "-1000", "-0.001", "0", "0.0", "-0", "1e-9", "1e-30", "1e-300", "4e-45",
        "1e9", "1e30", "3.5e38", "1e300", "1e400", "12", "100", "0.5", "230", "50",
        "2.5e-3", "65535", "4294967296", "abc", "", "1e", "-", ".", "nan", "inf",
        "-inf", "1,5", " 5", "5 ", "0x10", "中文", std::string(300, '9'),
        "1" + std::string(60, '0'), "0." + std::string(60, '0') + "1", "99999999",
    };
    return values;
}

bool showsNonNumber(const std::string& text) {
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto lower = [](char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        if (i > 0 && letter(text[i - 1])) continue;
        const std::string w{lower(text[i]), lower(text[i + 1]), lower(text[i + 2])};
        if (w != "nan" && w != "inf") continue;
        std::size_t end = i + 3;
        if (w == "inf" && text.size() >= i + 8) {
            std::string rest;
            for (std::size_t k = i; k < i + 8; ++k) rest += lower(text[k]);
            if (rest == "infinity") end = i + 8;
        }
        if (end == text.size() || !letter(text[end])) return true;
    }
    return false;
}

Scratch::Scratch(std::vector<std::string> seedFiles) : seeds_(std::move(seedFiles)) {
    char tmpl[] = "/tmp/kv-walk-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) std::abort();
    path_ = dir;
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void Scratch::reset() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path_, ec)) std::filesystem::remove_all(e.path(), ec);
    for (const std::string& f : seeds_)
        std::filesystem::copy_file(f, std::filesystem::path(path_) / std::filesystem::path(f).filename(), ec);
}

void fault(const std::string& what, const std::string& commandLine) {
    std::fprintf(stderr, "\n==== walk fault: %s\n==== replay: %s\n", what.c_str(), commandLine.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

namespace {
const std::string* g_line = nullptr;

void onWatchdog(int) {
    static const char head[] = "\n==== walk fault: an action did not return within its bound\n==== replay: ";
    (void)!write(2, head, sizeof head - 1);
    if (g_line) (void)!write(2, g_line->data(), g_line->size());
    (void)!write(2, "\n", 1);
    std::abort();
}
} // namespace

void onSanitizerDeath() {
    static const char head[] = "\n==== walk fault: the sanitizer report above\n==== replay: ";
    (void)!write(2, head, sizeof head - 1);
    if (g_line) (void)!write(2, g_line->data(), g_line->size());
    (void)!write(2, "\n", 1);
}

void armWatchdog(const std::string* commandLine, int seconds) {
    static const bool once = (__sanitizer_set_death_callback(onSanitizerDeath), true);
    (void)once;
    g_line = commandLine;
    std::signal(SIGVTALRM, onWatchdog);
    itimerval t{};
    t.it_value.tv_sec = seconds;
    setitimer(ITIMER_VIRTUAL, &t, nullptr);
}

void disarmWatchdog() {
    itimerval t{};
    setitimer(ITIMER_VIRTUAL, &t, nullptr);
}

std::string shellLine(const std::vector<std::string>& words) {
    std::string o;
    for (const std::string& w : words) {
        if (!o.empty()) o += ' ';
        bool plain = !w.empty();
        for (char c : w)
            plain &= (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '/' || c == ',' || c == '=' || c == ':';
        if (plain) {
            o += w;
            continue;
        }
        o += '\'';
        for (char c : w) o += c == '\'' ? std::string("'\\''") : std::string(1, c);
        o += '\'';
    }
    return o;
}

} // namespace kv::walk
