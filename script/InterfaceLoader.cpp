#include "script/InterfaceLoader.h"

#include "platform/io/Encoding.h"
#include "script/TextFile.h"

#include <utility>

namespace kv::script {
namespace {

constexpr const char* kCaption = "错误";
constexpr const char* kNoEndMark = "界面文本内未发现结束符, 程序自动在最后写入了结束符 '#' !";
constexpr const char* kErrA = "自定义界面文本内缺少 = 或者 =位置出错 \n所以程序仍然使用内置界面！！";
constexpr const char* kErrB = "发现自定义界面文本内有控件缺少内容指定!\n所以仍然使用内置界面！";
constexpr const char* kErrC = "出错：自定义界面文本内缺少 ； ！\n所以仍然使用内置界面！";
constexpr const char* kErrD = " '='  之前的内容非数字字符，出错，仍然使用内置界面!";
constexpr const char* kErrE = "界面文本内编号有错误，无法确定\n窗口位置！程序仍然使用内置界面！";
constexpr const char* kErrF = "界面文本内数字大于界面窗口个数，\n程序无法定位，仍然使用内置界面!";
constexpr const char* kTooLong = "界面文本过长，程序无法处理，仍然使用内置界面！";
constexpr std::size_t kMaxBytes = 16u << 20;

bool refuse(Reporter& reporter, const char* text) {
    reporter.report(text, kCaption, kv::ui::Icon::Error);
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool InterfaceLoader::parse(std::string_view bytes, int count, std::vector<Entry>& entries) {
    entries.clear();
    if (bytes.size() > kMaxBytes) return refuse(reporter_, kTooLong);
    const std::string text = kv::io::decodeText(bytes);
    const std::string_view s = text;
    const std::size_t n = s.size();

    struct Raw {
        std::string_view key, text;
    };
    std::vector<Raw> raw;
    std::size_t i = 0;
    while (i < n) {
        const char c = s[i];
        if (c == ' ' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const std::size_t keyStart = i;
        while (i < n && s[i] != '=' && s[i] != '\n' && s[i] != '\r') ++i;
        if (i >= n || s[i] != '=' || i == keyStart) return refuse(reporter_, kErrA);
        if (raw.size() >= static_cast<std::size_t>(kMaxEntries)) return refuse(reporter_, kErrF);
        const std::string_view key = s.substr(keyStart, i - keyStart);
        ++i;
        bool missing = false;
        if (i < n && (s[i] == ';' || s[i] == '\n')) {
            refuse(reporter_, kErrB);
            missing = true;
        }
        const std::size_t textStart = i;
        while (i < n && s[i] != ';' && s[i] != '\n') ++i;
        if (i >= n || s[i] != ';' || missing) return refuse(reporter_, kErrC);
        raw.push_back({key, s.substr(textStart, i - textStart)});
        ++i;
    }

    for (const Raw& r : raw)
        for (char c : r.key)
            if (!isDigit(c) && c != ' ') return refuse(reporter_, kErrD);

    std::vector<Entry> checked;
    for (const Raw& r : raw) {
        // one or two digits, then nothing but spaces
        const std::size_t digits = r.key.size() > 1 && isDigit(r.key[1]) ? 2 : 1;
        if (r.key.find_first_not_of(' ', digits) != std::string_view::npos) return refuse(reporter_, kErrE);
        int value = r.key[0] - '0';
        if (digits == 2) value = value * 10 + (r.key[1] - '0');
        if (value < 1 || value > count) return refuse(reporter_, kErrF);
        checked.push_back({value, std::string(r.text)});
    }
    entries = std::move(checked); // nothing at all unless every entry passed
    return true;
}

bool InterfaceLoader::load(const std::string& path, int count, std::vector<Entry>& entries) {
    entries.clear();
    MarkedText file;
    if (!loadMarked(path, true, kMaxBytes, file, kNoEndMark, reporter_)) return false;
    if (file.tooLong) return refuse(reporter_, kTooLong);
    return parse(file.text, count, entries);
}

bool InterfaceLoader::apply(const std::string& path, kv::ui::Dialog& dlg,
                            std::span<const int> labels) {
    std::vector<Entry> entries;
    if (!load(path, static_cast<int>(labels.size()), entries)) return false;
    for (const Entry& e : entries) dlg.setText(labels[static_cast<std::size_t>(e.number - 1)], e.text);
    return true;
}

} // namespace kv::script
