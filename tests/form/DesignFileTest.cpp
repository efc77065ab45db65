// The design file's text: what is written reads back the same, and every kind
// of file that is not a design is refused with a message naming what is wrong.
#include "form/DesignFile.h"

#include <gtest/gtest.h>

#include <string>

namespace kv::form {
namespace {

Design sample() {
    Design d;
    d.templateId = 129;
    d.window = "单端反激变换器";
    d.buttons = {"3", "4"};
    d.inputs = {{"工作模式", "连续(CCM)"}, {"Po", "60"}, {"Vin", ""}, {"x", "a = b"}};
    d.results = {{"Lp", "368.858"}, {"Np", ""}};
    return d;
}

void expectSame(const Design& a, const Design& b) {
    EXPECT_EQ(a.templateId, b.templateId);
    EXPECT_EQ(a.window, b.window);
    EXPECT_EQ(a.buttons, b.buttons);
    ASSERT_EQ(a.inputs.size(), b.inputs.size());
    for (std::size_t i = 0; i < a.inputs.size(); ++i) {
        EXPECT_EQ(a.inputs[i].name, b.inputs[i].name);
        EXPECT_EQ(a.inputs[i].value, b.inputs[i].value);
    }
    ASSERT_EQ(a.results.size(), b.results.size());
    for (std::size_t i = 0; i < a.results.size(); ++i) {
        EXPECT_EQ(a.results[i].name, b.results[i].name);
        EXPECT_EQ(a.results[i].value, b.results[i].value);
    }
}

std::string refusal(std::string_view text) {
    const DesignRead r = readDesign(text);
    EXPECT_FALSE(r.design) << text;
    return r.error;
}

TEST(DesignFile, WrittenTextReadsBackTheSameWithLineNumbers) {
    const std::string text = writeDesign(sample());
    // One `name = value` line per entry, blank values written bare.
    EXPECT_NE(text.find("\nformat = 1\ntemplate = 129\nwindow = 单端反激变换器\nbuttons = 3 4\n"), std::string::npos);
    EXPECT_NE(text.find("\n[inputs]\n工作模式 = 连续(CCM)\nPo = 60\nVin =\nx = a = b\n"), std::string::npos);
    EXPECT_NE(text.find("\n[results]\nLp = 368.858\nNp =\n\n[end]\n"), std::string::npos);
    const DesignRead r = readDesign(text);
    ASSERT_TRUE(r.design) << r.error;
    expectSame(*r.design, sample());
    // Lines are counted as a text editor counts them.
    EXPECT_EQ(r.design->input("Po")->line, 9);
    EXPECT_EQ(r.design->buttonsLine, 5);
    EXPECT_EQ(r.design->input("nothing"), nullptr);
}

TEST(DesignFile, ToleratesWhatEditorsDo) {
    // A byte-order mark, CRLF line ends, comments, blank lines, tabs and no final newline.
    std::string text = "\xEF\xBB\xBF# mine\r\nformat=1\r\n\r\n\ttemplate\t=\t107 \r\n[inputs]\r\n# kept\r\nR1 =4.7\r\n[end]";
    const DesignRead r = readDesign(text);
    ASSERT_TRUE(r.design) << r.error;
    EXPECT_EQ(r.design->templateId, 107);
    EXPECT_TRUE(r.design->buttons.empty());
    ASSERT_EQ(r.design->inputs.size(), 1u);
    EXPECT_EQ(r.design->inputs[0].value, "4.7");
    EXPECT_EQ(r.design->inputs[0].line, 7);
    EXPECT_TRUE(r.design->results.empty());
}

TEST(DesignFile, EachKindOfBadTextIsRefusedWithItsReason) {
    const std::string good = writeDesign(sample());
    struct Case {
        const char* what;
        std::string text;
        std::string said;
    };
    const std::string head = "format = 1\ntemplate = 129\n";
    const Case cases[] = {
        {"empty", "", "文件是空的"},
        {"blank lines only", "\n \r\n\t\n", "文件是空的"},
        {"binary", std::string("format = 1\0\x01\x02", 13), "二进制"},
        {"not UTF-8", head + "[inputs]\nPo = \xB9\xA6\n[end]\n", "不是 UTF-8"},
        {"huge", std::string(kDesignMaxBytes + 1, 'x'), "文件太大"},
        {"a line too long", head + "[inputs]\nPo = " + std::string(kDesignMaxLine, '1') + "\n[end]\n", "第4行：这一行太长"},
        {"another kind of file", "[General]\nkey=value\n", "不是 Korvane 设计文件"},
        {"format not first", "template = 129\nformat = 1\n", "不是 Korvane 设计文件"},
        {"newer format", "format = 2\ntemplate = 129\nfuture = 1\n", "格式版本是 2，比本程序能读的版本 1 新"},
        {"format not a number", "format = one\n", "第1行：“format”应是正整数"},
        {"no template", "format = 1\n[inputs]\n[end]\n", "缺少“template”"},
        {"template not a number", "format = 1\ntemplate = -3\n", "第2行：“template”应是窗口的模板号"},
        {"unknown head entry", head + "colour = red\n", "第3行：文件头没有“colour”这一项"},
        {"duplicate head entry", head + "template = 130\n", "第3行：“template”重复出现（第2行已有）"},
        {"duplicate input", head + "[inputs]\nPo = 1\nPo = 2\n[end]\n", "第5行：“Po”重复出现（第4行已有）"},
        {"line without '='", head + "[inputs]\nPo 60\n[end]\n", "第4行：应是“名称 = 数值”的形式"},
        {"empty name", head + "[inputs]\n= 60\n[end]\n", "第4行：应是“名称 = 数值”的形式"},
        {"unknown section", head + "[outputs]\n", "第3行：未知的段落“[outputs]”"},
        {"inputs twice", head + "[inputs]\n[inputs]\n", "第4行：“[inputs]”出现了两次"},
        {"inputs after results", head + "[results]\n[inputs]\n", "第4行：“[inputs]”应在“[results]”之前"},
        {"no inputs", head + "[results]\nLp = 1\n[end]\n", "缺少“[inputs]”段落"},
        {"cut short", good.substr(0, good.size() - 7), "缺少最后一行“[end]”，可能被截断了"},
        {"cut inside a line", good.substr(0, good.find("Po = 6") + 5), "可能被截断了"},
        {"after the end", good + "Po = 70\n", "“[end]”之后还有内容"},
    };
    for (const Case& c : cases) {
        const std::string said = refusal(c.text);
        EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
    }
}

TEST(DesignFile, SizeLimitsAreInclusive) {
    // A file of exactly the largest size is read (here: padded with comments).
    std::string text = "format = 1\ntemplate = 5\n[inputs]\nx = 1\n[end]\n";
    std::string pad = "#" + std::string(kDesignMaxLine - 1, ' ') + "\n";
    while (text.size() + pad.size() <= kDesignMaxBytes) text += pad;
    text += "#" + std::string(kDesignMaxBytes - text.size() - 1, ' ');
    ASSERT_EQ(text.size(), kDesignMaxBytes);
    EXPECT_TRUE(readDesign(text).design) << readDesign(text).error;
    EXPECT_FALSE(readDesign(text + " ").design);
}

TEST(DesignFile, MessagesNameTheLine) {
    EXPECT_EQ(atLine(0), "");
    EXPECT_EQ(atLine(12), "第12行：");
    EXPECT_NE(designTooLarge(300000).find("300000 字节"), std::string::npos);
    EXPECT_NE(designTooLarge(300000).find("256 KB"), std::string::npos);
}

} // namespace
} // namespace kv::form
