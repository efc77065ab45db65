#include "platform/ui/Dialog.h"
#include "script/InterfaceLoader.h"
#include "tests/script/ScriptTestSupport.h"

#include <memory>
#include <string>
#include <vector>

using kv::ui::Icon;

namespace kv::script::test {
namespace {

const char* kA = "自定义界面文本内缺少 = 或者 =位置出错 \n所以程序仍然使用内置界面！！";
const char* kB = "发现自定义界面文本内有控件缺少内容指定!\n所以仍然使用内置界面！";
const char* kC = "出错：自定义界面文本内缺少 ； ！\n所以仍然使用内置界面！";
const char* kD = " '='  之前的内容非数字字符，出错，仍然使用内置界面!";
const char* kE = "界面文本内编号有错误，无法确定\n窗口位置！程序仍然使用内置界面！";
const char* kF = "界面文本内数字大于界面窗口个数，\n程序无法定位，仍然使用内置界面!";

class Interface : public ScriptFolder {
protected:
    // A flyback-like dialog holding the 40 label controls with their built-in texts.
    void SetUp() override {
        ScriptFolder::SetUp();
        kv::ui::DialogTemplate tpl;
        tpl.id = 129;
        for (int l : labelList(129))
            tpl.controls.push_back({l, kv::ui::Kind::Static, builtinLabel(129, l), 0, 0, 10, 10, 0});
        dlg = std::make_unique<kv::ui::Dialog>(tpl, nullptr);
    }

    bool apply(const std::string& bytes) {
        hb.messages.clear();
        return InterfaceLoader(boxes).apply(write("Flyback Interface.txt", bytes), *dlg, labelList(129));
    }
    std::string label(int n) const { return dlg->text(labelList(129)[static_cast<size_t>(n - 1)]); }
    std::string builtin(int n) const { return builtinLabel(129, labelList(129)[static_cast<size_t>(n - 1)]); }
    bool allBuiltin() const {
        for (int n = 1; n <= 40; ++n)
            if (label(n) != builtin(n)) return false;
        return true;
    }
    // The recorded box texts, all captioned "错误" with the error icon.
    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& m : hb.messages) {
            EXPECT_EQ(m.caption, "错误");
            EXPECT_EQ(m.icon, Icon::Error);
            EXPECT_EQ(m.owner, 0);
            out.push_back(m.text);
        }
        return out;
    }

    std::unique_ptr<kv::ui::Dialog> dlg;
};

using Texts = std::vector<std::string>;

TEST_F(Interface, EntriesSetTheirLabelsOthersKeepBuiltIn) {
    EXPECT_TRUE(apply("5=最高输入(V);\r\n  1 =Pout(W);\r\n40  =R=kΩ;\r\n5=later wins;\r\n#tail 9=x;"));
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(label(1), "Pout(W)");
    EXPECT_EQ(label(5), "later wins");
    EXPECT_EQ(label(40), "R=kΩ");
    EXPECT_EQ(label(9), builtin(9));
    EXPECT_EQ(label(2), builtin(2));
    EXPECT_EQ(dlg->text(1305), "R=kΩ"); // entry 40 is control 1305
}

TEST_F(Interface, BlankFileAppliesNothingButSucceeds) {
    EXPECT_TRUE(apply("\r\n   \r\n\r\n#"));
    EXPECT_TRUE(errors().empty());
    EXPECT_TRUE(allBuiltin());
    EXPECT_TRUE(apply("#5=abc;"));
    EXPECT_TRUE(allBuiltin());
}

TEST_F(Interface, MissingEndMarkAndMissingFile) {
    std::string p = write("Flyback Interface.txt", "3=Vo;\r\n");
    EXPECT_TRUE(InterfaceLoader(boxes).apply(p, *dlg, labelList(129)));
    EXPECT_EQ(read(p), "3=Vo;\r\n#");
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].caption, "注意");
    EXPECT_EQ(hb.messages[0].text, "界面文本内未发现结束符, 程序自动在最后写入了结束符 '#' !");
    EXPECT_EQ(hb.messages[0].icon, Icon::Warning);
    EXPECT_EQ(label(3), "Vo");

    hb.messages.clear();
    std::string missing = path("RCC Interface.txt");
    std::vector<InterfaceLoader::Entry> entries;
    EXPECT_TRUE(InterfaceLoader(boxes).load(missing, 25, entries));
    EXPECT_EQ(read(missing), "#"); // created, then marked
    EXPECT_EQ(hb.messages.size(), 1u);
    EXPECT_TRUE(entries.empty());
}

TEST_F(Interface, EachErrorRefusesTheWholeFile) {
    struct Case {
        const char* text;
        Texts expected;
    } cases[] = {
        {"=abc;#", {kA}},
        {"5abc;#", {kA}},
        {"1=ok;\r\n5\r\n=abc;#", {kA}},
        {"1=ok;\r\n3=;\r\n#", {kB, kC}},
        {"3=\n#", {kB, kC}},
        {"1=ok;\r\n5=abc\r\n6=def;#", {kC}},
        {"5=abc#", {kC}},
        {"1=ok;\r\na=abc;#", {kD}},
        {"1=ok;\r\n-1=abc;#", {kD}},
        {"1=ok;\r\n123=abc;#", {kE}},
        {"12 3=abc;#", {kE}},
        {"1 2=abc;#", {kE}},
        {"1=ok;\r\n45=abc;#", {kF}},
        {"41=abc;#", {kF}},
        {"0=abc;#", {kF}},
        {"00 =abc;#", {kF}},
        // D is checked on every key before E and F
        {"123=x;\r\nz=y;#", {kD}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(apply(c.text)) << c.text;
        EXPECT_EQ(errors(), c.expected) << c.text;
        EXPECT_TRUE(allBuiltin()) << c.text;
    }
}

// Found by fuzzing: entries checked before the failing one were handed back.
TEST_F(Interface, FailedParseReturnsNoEntries) {
    std::vector<InterfaceLoader::Entry> entries{{1, "stale"}};
    EXPECT_FALSE(InterfaceLoader(boxes).parse("5=abc;\r\n0 =def;\r\n40=R=k;\r\n", 40, entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(errors(), Texts{kF});
    hb.messages.clear();
    EXPECT_TRUE(InterfaceLoader(boxes).parse("5=abc;\r\n40=R=k;\r\n", 40, entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].number, 40);
    EXPECT_EQ(entries[1].text, "R=k");
}

TEST_F(Interface, NumbersUpToTheLabelCount) {
    std::string text;
    for (int n = 1; n <= 40; ++n) text += std::to_string(n) + "=L" + std::to_string(n) + ";";
    EXPECT_TRUE(apply(text + "#"));
    for (int n = 1; n <= 40; ++n) EXPECT_EQ(label(n), "L" + std::to_string(n));
    EXPECT_EQ(label(7), "L7");
    // "07" is number 7
    EXPECT_TRUE(apply("07 =seven;#"));
    EXPECT_EQ(label(7), "seven");
}

TEST_F(Interface, HundredEntriesAtMost) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += std::to_string(i % 40 + 1) + "=t" + std::to_string(i) + ";\r\n";
    EXPECT_TRUE(apply(text + "#"));
    EXPECT_EQ(label(20), "t99");
    EXPECT_FALSE(apply(text + "1=one too many;#"));
    EXPECT_EQ(errors(), Texts{kF});
}

TEST_F(Interface, GbkAndUtf8Texts) {
    // "输出电流(A)" and "初级" in GBK
    EXPECT_TRUE(apply("4=\xca\xe4\xb3\xf6\xb5\xe7\xc1\xf7(A);\r\n6=\xb3\xf5\xbc\xb6;#"));
    EXPECT_EQ(label(4), "输出电流(A)");
    EXPECT_EQ(label(6), "初级");
    EXPECT_TRUE(apply("4=输出电流(A);#"));
    EXPECT_EQ(label(4), "输出电流(A)");
    // a stray lead byte right before ';' does not swallow it
    EXPECT_TRUE(apply("4=ab\x81;5=cd;#"));
    EXPECT_EQ(label(4), "ab\xEF\xBF\xBD");
    EXPECT_EQ(label(5), "cd");
}

TEST_F(Interface, HostileFilesNeverCrash) {
    std::string junk;
    for (int i = 0; i < 8192; ++i) junk += static_cast<char>((i * 131 + 7) & 0xff);
    EXPECT_FALSE(apply(junk)); // 0x07 first: a key that runs into '\n' or '#'
    EXPECT_TRUE(allBuiltin());
    EXPECT_FALSE(apply("5=" + std::string(20u << 20, 'x') + ";#"));
    EXPECT_EQ(errors(), Texts{"界面文本过长，程序无法处理，仍然使用内置界面！"});
    EXPECT_TRUE(apply("5=" + std::string(1u << 20, 'x') + ";#")); // long but reasonable
    EXPECT_EQ(label(5).size(), 1u << 20);
}

} // namespace
} // namespace kv::script::test
