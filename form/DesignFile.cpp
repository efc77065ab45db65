#include "form/DesignFile.h"

#include "platform/io/Encoding.h"

#include <charconv>

namespace kv::form {

namespace {

constexpr const char* kHead =
    "# Korvane 设计文件。打开时按 [inputs] 的输入，依 buttons 的顺序重新计算；[results] 只供阅读。\n";
constexpr const char* kNotDesign = "不是 Korvane 设计文件：第一项应是“format = 1”。";

// Blanks around a name or value: spaces, tabs and stray carriage returns.
bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool positiveInt(std::string_view s, int& v) {
    if (s.empty() || s.front() == '-' || s.front() == '+') return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && v > 0;
}

std::vector<std::string> words(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) out.emplace_back(s.substr(start, i - start));
    }
    return out;
}

// Bytes no text file holds: NUL and the control characters other than tab, CR and LF.
bool binary(std::string_view s) {
    for (unsigned char c : s)
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return true;
    return false;
}

DesignRead fail(std::string error) { return {std::nullopt, std::move(error)}; }

enum class Part { Head, Inputs, Results, End };

struct Parser {
    Design d;
    Part part = Part::Head;
    bool seenInputs = false, seenResults = false, seenFormat = false, seenTemplate = false;
    std::vector<DesignLine> head; // for duplicates

    std::optional<std::string> section(std::string_view s, int line) {
        const auto again = [&](const char* name) { return atLine(line) + "“[" + name + "]”出现了两次。"; };
        if (!seenFormat) return std::string(kNotDesign);
        if (!seenTemplate) return atLine(line) + "文件头缺少“template”（设计所属的窗口）。";
        if (s == "[inputs]") {
            if (seenInputs) return again("inputs");
            if (part == Part::Results) return atLine(line) + "“[inputs]”应在“[results]”之前。";
            seenInputs = true;
            part = Part::Inputs;
        } else if (s == "[results]") {
            if (seenResults) return again("results");
            seenResults = true;
            part = Part::Results;
        } else if (s == "[end]") {
            part = Part::End;
        } else {
            return atLine(line) + "未知的段落“" + std::string(s) + "”（只有 [inputs]、[results] 和 [end]）。";
        }
        return std::nullopt;
    }

    std::optional<std::string> headLine(std::string_view name, std::string_view value, int line) {
        for (const DesignLine& h : head)
            if (h.name == name)
                return atLine(line) + "“" + std::string(name) + "”重复出现（第" + std::to_string(h.line) + "行已有）。";
        head.push_back({std::string(name), std::string(value), line});
        if (!seenFormat) {
            // Checked first: a newer layout is said as such, whatever else it holds.
            if (name != "format") return std::string(kNotDesign);
            int format = 0;
            if (!positiveInt(value, format))
                return atLine(line) + "“format”应是正整数，这里是“" + std::string(value) + "”。";
            if (format > kDesignFormat)
                return "这个设计文件的格式版本是 " + std::to_string(format) + "，比本程序能读的版本 " +
                       std::to_string(kDesignFormat) + " 新，请用新版 Korvane 打开。";
            seenFormat = true;
        } else if (name == "template") {
            if (!positiveInt(value, d.templateId))
                return atLine(line) + "“template”应是窗口的模板号，这里是“" + std::string(value) + "”。";
            seenTemplate = true;
        } else if (name == "window") {
            d.window = std::string(value);
        } else if (name == "buttons") {
            d.buttons = words(value);
            d.buttonsLine = line;
        } else {
            return atLine(line) + "文件头没有“" + std::string(name) + "”这一项（只有 format、template、window 和 buttons）。";
        }
        return std::nullopt;
    }

    std::optional<std::string> entry(std::string_view name, std::string_view value, int line) {
        std::vector<DesignLine>& list = part == Part::Inputs ? d.inputs : d.results;
        for (const DesignLine& e : list)
            if (e.name == name)
                return atLine(line) + "“" + std::string(name) + "”重复出现（第" + std::to_string(e.line) + "行已有）。";
        list.push_back({std::string(name), std::string(value), line});
        return std::nullopt;
    }
};

} // namespace

std::string designTooLarge(std::size_t bytes) {
    return "文件太大（" + std::to_string(bytes) + " 字节），设计文件不超过 " + std::to_string(kDesignMaxBytes / 1024) +
           " KB，这不是 Korvane 设计文件。";
}

namespace {
constexpr const char* kCutShort = "文件不完整：缺少最后一行“[end]”，可能被截断了。";
} // namespace

std::string atLine(int line) { return line > 0 ? "第" + std::to_string(line) + "行：" : std::string(); }

const DesignLine* Design::input(std::string_view name) const {
    for (const DesignLine& l : inputs)
        if (l.name == name) return &l;
    return nullptr;
}

std::string writeDesign(const Design& d) {
    std::string t = kHead;
    t += "format = " + std::to_string(kDesignFormat) + "\n";
    t += "template = " + std::to_string(d.templateId) + "\n";
    if (!d.window.empty()) t += "window = " + d.window + "\n";
    std::string buttons;
    for (const std::string& b : d.buttons) buttons += (buttons.empty() ? "" : " ") + b;
    t += "buttons =" + (buttons.empty() ? std::string() : " " + buttons) + "\n";
    const auto lines = [&](const std::vector<DesignLine>& list) {
        for (const DesignLine& l : list) t += l.name + " =" + (l.value.empty() ? std::string() : " " + l.value) + "\n";
    };
    t += "\n[inputs]\n";
    lines(d.inputs);
    t += "\n[results]\n";
    lines(d.results);
    t += "\n[end]\n";
    return t;
}

DesignRead readDesign(std::string_view text) {
    if (text.size() > kDesignMaxBytes) return fail(designTooLarge(text.size()));
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return fail("文件是空的，没有设计。");
    if (binary(text)) return fail("这不是文本文件（含有二进制数据），不是 Korvane 设计文件。");
    if (!io::isValidUtf8(text)) return fail("文件不是 UTF-8 文本，不是 Korvane 设计文件。");

    Parser p;
    int line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        const bool cutHere = nl == text.size(); // a last line without its line break
        std::string_view raw = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (raw.size() > kDesignMaxLine) return fail(atLine(line) + "这一行太长，不是设计文件的内容。");
        const std::string_view s = trim(raw);
        if (s.empty() || s.front() == '#') continue;
        if (p.part == Part::End) return fail(atLine(line) + "“[end]”之后还有内容。");
        std::optional<std::string> error;
        if (s.front() == '[') {
            error = p.section(s, line);
        } else {
            const std::size_t eq = s.find('=');
            const std::string_view name = eq == std::string_view::npos ? std::string_view() : trim(s.substr(0, eq));
            if (name.empty()) {
                error = p.seenFormat ? atLine(line) + "应是“名称 = 数值”的形式，这里是“" + std::string(s) + "”。"
                                     : std::string(kNotDesign);
            } else {
                const std::string_view value = trim(s.substr(eq + 1));
                error = p.part == Part::Head ? p.headLine(name, value, line) : p.entry(name, value, line);
            }
        }
        // A file that stops in the middle of a line before "[end]" was cut short.
        if (error && cutHere && p.part != Part::End) return fail(kCutShort);
        if (error) return fail(*error);
    }
    if (!p.seenFormat) return fail(kNotDesign);
    if (!p.seenTemplate) return fail("文件头缺少“template”（设计所属的窗口）。");
    if (p.part != Part::End) return fail(kCutShort);
    if (!p.seenInputs) return fail("文件缺少“[inputs]”段落，没有设计的输入。");
    return {std::move(p.d), {}};
}

} // namespace kv::form
