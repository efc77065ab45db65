#include "script/FormulaRunner.h"
#include "tests/script/ScriptTestSupport.h"

#include <cmath>
#include <string>

using kv::ui::Icon;

namespace kv::script::test {
namespace {

// Flyback designer controls (template 129).
enum : int { cPo = 1016, cVo = 1017, cLp = 1022, cAe = 1029, cNp = 1034, cNs = 1036, cDp = 1037 };

const std::string kFlybackFile = "CCM反激变换器 cfg.txt";
const std::string kParse = "公式解析错误";
const std::string kEval = "计算出错";

const std::string kMsg5 = "行缺少行结束符 '；' 或者 '；' 位置错误!";
const std::string kMsg11 = "行出现除数为0！ \n请检查公式！！";
const std::string kMsg12 = "行可能有多余的运算符 !";
const std::string kMsg14 = "行含有未知内容，计算已经终止! \n该内容是系统未定义或者无法识别的内容。";
const std::string kMsg20 = "行？？  No!\n'；' 和 '=' 个数不同，无法确定计算结果赋给哪个变量！\n"
                           "程序不清楚错误发生的行数，请自行检查公式！ Sorry ！";

class Formula : public ScriptFolder {
protected:
    bool run(const std::string& text, const std::string& name = kFlybackFile) {
        hb.messages.clear();
        return FormulaRunner(boxes).run(write(name, text), fields);
    }
    float at(int control) const { return fields.get(control); }

    // Exactly one error box with this caption and text.
    void expectError(const std::string& caption, const std::string& text) {
        ASSERT_EQ(hb.messages.size(), 1u) << (hb.messages.empty() ? "" : hb.messages[0].text);
        EXPECT_EQ(hb.messages[0].caption, caption);
        EXPECT_EQ(hb.messages[0].text, text);
        EXPECT_EQ(hb.messages[0].icon, Icon::Error);
        EXPECT_EQ(hb.messages[0].owner, 0);
    }
    void expectQuiet() {
        EXPECT_TRUE(hb.messages.empty()) << hb.messages[0].caption << ": " << hb.messages[0].text;
    }

    FieldStore fields;
};

// ---- the documented examples ------------------------------------------------

TEST_F(Formula, DeclaredVariableFeedsDesignerField) {
    fields.set(cNp, -1.0f);
    EXPECT_TRUE(run("float k;\r\nk = 3;\r\nNp = k + 2;\r\n#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 5.0f);
}

TEST_F(Formula, PowDividedStoresSquareOverThree) {
    fields.set(cVo, 12.5f);
    EXPECT_TRUE(run("Lp = pow(Vo, 2) / 3;\r\n#"));
    expectQuiet();
    EXPECT_FLOAT_EQ(at(cLp), 156.25f / 3.0f);
}

TEST_F(Formula, MissingSemicolonBeforeAssignmentNamesItsLine) {
    fields.set(cNs, 9.0f);
    EXPECT_FALSE(run("Np = 1;\r\nNs = 2\r\nPo = 3;\r\n#"));
    expectError(kParse, "Error:第2" + kMsg5);
    EXPECT_EQ(at(cNp), 0.0f); // nothing evaluated after a check failed
    EXPECT_EQ(at(cNs), 9.0f);
}

TEST_F(Formula, DivisionByZeroStopsAfterEarlierResultsAreStored) {
    EXPECT_TRUE(run("Np = 1;\r\n// c\r\n\r\nNs = 2;\r\nPo = Np / 0;\r\nLp = 4;\r\n#"));
    expectError(kEval, "Error:第5" + kMsg11);
    EXPECT_EQ(at(cNp), 1.0f);
    EXPECT_EQ(at(cNs), 2.0f);
    EXPECT_EQ(at(cLp), 0.0f);
}

// ---- end mark ------------------------------------------------------------------

TEST_F(Formula, MissingEndMarkIsAppendedWithNoticeThenRuns) {
    std::string p = write(kFlybackFile, "Np = 7;\r\n");
    EXPECT_TRUE(FormulaRunner(boxes).run(p, fields));
    EXPECT_EQ(read(p), "Np = 7;\r\n#");
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].caption, "注意");
    EXPECT_EQ(hb.messages[0].text,
              "公式文本内未发现结束符号'#'，程序自动在末尾加入了结束符,请重新计算结果!");
    EXPECT_EQ(hb.messages[0].icon, Icon::Warning);
    EXPECT_EQ(at(cNp), 7.0f);

    hb.messages.clear();
    EXPECT_TRUE(FormulaRunner(boxes).run(p, fields)); // second run: file already marked
    expectQuiet();
    EXPECT_EQ(read(p), "Np = 7;\r\n#");
}

TEST_F(Formula, EmptyAndMarkOnlyFilesRunWithoutStatements) {
    std::string p = write(kFlybackFile, "");
    EXPECT_TRUE(FormulaRunner(boxes).run(p, fields));
    EXPECT_EQ(read(p), "#");
    EXPECT_EQ(hb.messages.size(), 1u); // the notice only
    EXPECT_TRUE(run("#"));
    expectQuiet();
    EXPECT_TRUE(run("\r\n// only a comment\r\n\r\n#"));
    expectQuiet();
}

TEST_F(Formula, EndMarkEndsTextEvenInsideComment) {
    EXPECT_TRUE(run("Np = 1; // note # Ns = 2;\r\nNs = 3;\r\n#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 1.0f);
    EXPECT_EQ(at(cNs), 0.0f);
    EXPECT_TRUE(run("Np = 4;\r\n#\x01\xff garbage ( ; ="));
    expectQuiet();
    EXPECT_EQ(at(cNp), 4.0f);
}

TEST_F(Formula, MissingFileIsAFileErrorNotCreated) {
    std::string p = path(kFlybackFile);
    EXPECT_FALSE(FormulaRunner(boxes).run(p, fields));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].caption, kv::ui::kAppName);
    EXPECT_EQ(hb.messages[0].icon, Icon::Error);
    EXPECT_FALSE(std::filesystem::exists(p));

    std::filesystem::create_directory(p); // a folder of that name cannot be read
    hb.messages.clear();
    EXPECT_FALSE(FormulaRunner(boxes).run(p, fields));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].caption, kv::ui::kAppName);
}

// ---- arithmetic ----------------------------------------------------------------

TEST_F(Formula, PrecedenceAndLeftAssociativity) {
    fields.set(cVo, 3.0f);
    fields.set(cPo, 4.0f);
    struct Case {
        const char* expr;
        float expected;
    } cases[] = {
        {"10 - 4 - 3", 3.0f},          {"2 + 3 * 4", 14.0f},   {"(2 + 3) * 4", 20.0f},
        {"100 / 10 / 5", 2.0f},        {"2 * pow(3, 2) + 1", 19.0f},
        {"Vo * Po - Po / Vo", 12.0f - 4.0f / 3.0f},            {"((Vo))", 3.0f},
        {"pow(pow(2, 3), 2)", 64.0f},  {"pow(2, pow(2, 3))", 256.0f},
        {"pow(Vo + 1, Po - 2) * 2", 32.0f}, {"8 - 2 * (1 + 2) / 3", 6.0f},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(run(std::string("Np = ") + c.expr + ";#")) << c.expr;
        expectQuiet();
        EXPECT_FLOAT_EQ(at(cNp), c.expected) << c.expr;
    }
}

TEST_F(Formula, ValuesAreSinglePrecision) {
    // 2^24 + 1 has no float form: the sum rounds back to 2^24.
    EXPECT_TRUE(run("Np = 16777216 + 1;#"));
    EXPECT_EQ(at(cNp), 16777216.0f);
    EXPECT_TRUE(run("Np = 0.1 + 0.2;#"));
    EXPECT_EQ(at(cNp), 0.1f + 0.2f);
    EXPECT_NE(static_cast<double>(at(cNp)), 0.1 + 0.2);
    // pow computed in double from float arguments, then rounded once
    fields.set(cVo, 10.0f);
    EXPECT_TRUE(run("Np = pow(Vo, 2.5);#"));
    EXPECT_EQ(at(cNp), static_cast<float>(std::pow(10.0, 2.5)));
    EXPECT_TRUE(run("Np = pow(2, 0.5) * pow(2, 0.5);#"));
    const float root2 = static_cast<float>(std::sqrt(2.0));
    EXPECT_EQ(at(cNp), root2 * root2);
    expectQuiet();
}

TEST_F(Formula, NumberLiterals) {
    struct Case {
        const char* text;
        float expected;
    } cases[] = {
        {"12.5", 12.5f},  {"5.", 5.0f},     {"007", 7.0f},       {"0.25", 0.25f},
        {"0.001", 0.001f}, {"1000000", 1e6f}, {"3.14159", 3.14159f},
        // leading zeros far beyond the float range still give 1
        {"000000000000000000000000000000000000000000001", 1.0f},
        {"0.0000000000000000000000000000000000000000001", 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(run(std::string("Np = ") + c.text + ";#")) << c.text;
        expectQuiet();
        EXPECT_NEAR(at(cNp), c.expected, std::fabs(c.expected) * 1e-6f + 1e-30f) << c.text;
    }
}

TEST_F(Formula, UnaryMinus) {
    fields.set(cVo, 3.0f);
    fields.set(cPo, 4.0f);
    struct Case {
        const char* expr;
        float expected;
    } cases[] = {
        {"-Vo*Po", -12.0f},          // (-Vo)*Po
        {"-Vo+Po", 1.0f},
        {"- Vo * Po", -12.0f},       // after '=' spaces do not matter
        {"(-Vo) * 2", -6.0f},
        {"Po * (-Vo + 1)", -8.0f},
        {"pow(-Vo, 2)", 9.0f},
        {"pow(2,-1)", 0.5f},
        {"-(Vo+Po)", -7.0f},         // a group after the minus is negated whole
        {"-(Vo+Po)*2", -14.0f},
        {"-(Vo*Po-2)/5", -2.0f},
        {"-pow(Vo, 2) + 1", -8.0f},
        {"-(-(Vo))", 3.0f},
        {"(-(Vo - Po))", 1.0f},
        {"-5", -5.0f},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(run(std::string("Np = ") + c.expr + ";#")) << c.expr;
        expectQuiet();
        EXPECT_FLOAT_EQ(at(cNp), c.expected) << c.expr;
    }
}

TEST_F(Formula, MinusAfterAnOperatorIsNotUnary) {
    fields.set(cVo, 3.0f);
    EXPECT_TRUE(run("Np = 2 * -Vo;#"));
    expectError(kEval, "Error:第1" + kMsg12);
    EXPECT_TRUE(run("Np = 1;\r\nNs = 1 - -Vo;#"));
    expectError(kEval, "Error:第2" + kMsg12);
    EXPECT_TRUE(run("Np = pow(2, -Vo);#")); // space after ',': not unary
    expectError(kEval, "Error:第1" + kMsg12);
}

TEST_F(Formula, StatementsShareAndSpanLines) {
    EXPECT_TRUE(run("Np = 1; Ns = Np * 2;\r\nPo = 1 +\r\n 2\r\n * 3;\r\n#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 1.0f);
    EXPECT_EQ(at(cNs), 2.0f);
    EXPECT_EQ(at(cPo), 7.0f);
    // the target may stand on the line before its '='
    EXPECT_TRUE(run("Lp\r\n= 4;#"));
    expectQuiet();
    EXPECT_EQ(at(cLp), 4.0f);
}

TEST_F(Formula, ReadsSeeValuesWrittenEarlierInTheRun) {
    fields.set(cNp, 10.0f);
    EXPECT_TRUE(run("Ns = Np;\r\nNp = Np * 2;\r\nLp = Np + Ns;#"));
    expectQuiet();
    EXPECT_EQ(at(cNs), 10.0f);
    EXPECT_EQ(at(cNp), 20.0f);
    EXPECT_EQ(at(cLp), 30.0f);
}

// ---- names and declarations --------------------------------------------------------

TEST_F(Formula, OnlyPowIsAFunction) {
    fields.set(cVo, 4.0f);
    EXPECT_TRUE(run("Np = 1;\r\nNs = sqrt(Vo);#"));
    expectError(kEval, "Error:第2" + kMsg14);
    EXPECT_EQ(at(cNp), 1.0f);
}

TEST_F(Formula, NamesAreCaseSensitiveAndTablesChosenByFileName) {
    EXPECT_TRUE(run("np = 1;#"));
    expectError(kEval, "Error:第1" + kMsg14);
    EXPECT_EQ(at(cNp), 0.0f);
    EXPECT_TRUE(run("Np = 1;\r\nFoo = 2;#"));
    expectError(kEval, "Error:第2" + kMsg14);
    // a file name of no group knows no names at all
    EXPECT_TRUE(run("Np = 2;#", "my cfg.txt"));
    expectError(kEval, "Error:第1" + kMsg14);
    EXPECT_EQ(at(cNp), 1.0f);
    // the same name in another group: forward file, Vo is control 1031
    fields.set(1031, 6.0f);
    EXPECT_TRUE(run("Np = Vo * 2;#", "正激变换器 cfg.txt"));
    expectQuiet();
    EXPECT_EQ(at(1103), 12.0f);
    EXPECT_EQ(at(cNp), 1.0f);
}

TEST_F(Formula, VacMinUnknownToPushPullInBothDirections) {
    const std::string pp = "推挽变换器 cfg.txt";
    EXPECT_TRUE(run("Np = VacMin;#", pp));
    expectError(kEval, "Error:第1" + kMsg14);
    EXPECT_TRUE(run("VacMin = 1;#", pp));
    expectError(kEval, "Error:第1" + kMsg14);
    fields.set(1020, 90.0f); // the flyback's VacMin
    fields.set(1027, 85.0f); // the ringing choke's
    EXPECT_TRUE(run("Np = VacMin;#", "RCC cfg.txt"));
    expectQuiet();
    EXPECT_EQ(at(1040), 85.0f);
}

TEST_F(Formula, DeclarationShadowsDesignerNameOnlyAfterwards) {
    fields.set(cAe, 7.0f);
    EXPECT_TRUE(run("Np = Ae;\r\nfloat Ae;\r\nNs = Ae;\r\nAe = 2;\r\nLp = Ae;\r\n#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 7.0f); // the designer's Ae
    EXPECT_EQ(at(cNs), 0.0f); // the new variable starts at 0
    EXPECT_EQ(at(cLp), 2.0f);
    EXPECT_EQ(at(cAe), 7.0f); // the designer field was not written
}

// Two '=' in one statement: the structure check finds the second one's
// target not preceded by ';' before the count of ';' and '=' could.
TEST_F(Formula, ChainedAssignmentFailsTheStructureCheck) {
    EXPECT_FALSE(run("Np = b = 1;#"));
    expectError(kParse, "Error:第1" + kMsg5);
    EXPECT_FALSE(run("Np = 1;\r\nNs = Np = 2;\r\n#"));
    expectError(kParse, "Error:第2" + kMsg5);
}

TEST_F(Formula, DeclarationErrors) {
    EXPECT_FALSE(run("float k;\r\nNp = 1;\r\nfloat k;\r\n#"));
    expectError(kParse, "Error:第1行和第3行变量重复定义!");
    EXPECT_FALSE(run("Np = 1;\r\nfloat k k2;\r\nNs = 2;\r\n#"));
    expectError(kParse, "Error:第2行语法错误，自定义变量后缺少 '；' !");
    EXPECT_FALSE(run("Np = 1\r\nfloat k;\r\n#"));
    expectError(kParse, "Error:第1" + kMsg5);
    // a declaration without a name at the very end
    EXPECT_FALSE(run("Np = 1;\r\nfloat;#"));
    expectError(kParse, "Error:第2" + kMsg14);
    // a declaration as last statement is harmless
    EXPECT_TRUE(run("Np = 1;\r\nfloat k;#"));
    expectQuiet();
}

TEST_F(Formula, ManyDeclaredVariablesKeepSeparateSlots) {
    std::string text;
    for (int i = 1; i <= 49; ++i)
        text += "float v" + std::to_string(i) + "; v" + std::to_string(i) + " = " +
                std::to_string(i) + ";\r\n";
    std::string sum = "0";
    for (int i = 1; i <= 49; ++i) sum += " + v" + std::to_string(i);
    EXPECT_TRUE(run(text + "Np = " + sum + ";\r\nNs = v10 * 100 + v1;#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 49.0f * 50.0f / 2.0f);
    EXPECT_EQ(at(cNs), 1001.0f);

    EXPECT_FALSE(run(text + "float v50;\r\n#"));
    expectError(kParse, "Error:第50行自定义变量超过49个，计算终止！");
}

// ---- every message ------------------------------------------------------------------

TEST_F(Formula, ConversionErrors) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Np = 1;\r\nNs = -) Vo;#", "Error:第2行语法错误，缺少 '(' !"},
        {"Np = (1 + 2;#", "Error:第1行语法错误，缺少 ')' !"},
        {"Np = pow(1, 2;#", "Error:第1行语法错误，缺少 ')' !"},
        {"\r\n\r\nNp = 1 + 2);#", "Error:第3行语法错误，缺少 '(' !"},
        {"Np = 1, 2;#", "Error:第1行语法错误,  '，' 位置出错!"},
        {"Np = (1, 2);#", "Error:第1行语法错误,  '，' 位置出错!"},
        {"Np = 1;\r\nNs =\t2;#", "Error:第2行内含有非法字符!"},
        {"Np = 1;\r\nNs = 2;\r\nPo = 输出;#", "Error:第3行内含有非法字符!"},
        {"Np = 2 % 3;#", "Error:第1行内含有非法字符!"},
        {"-Np = 1;#", "Error:第1行开始出现运算符，计算终止!"},
        {"*#", "Error:第1行开始出现运算符，计算终止!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(run(c.text));
        expectError(kParse, c.expected);
    }
}

TEST_F(Formula, CommentsMayHoldAnyText) {
    EXPECT_TRUE(run("// 初级电感量\tLp\r\nNp = 2; //\x81\xfe\x01 tab\there\r\n#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 2.0f);
    // a comment running to the end of the text
    EXPECT_TRUE(run("Np = 3; // no line end"));
    EXPECT_EQ(at(cNp), 3.0f);
}

TEST_F(Formula, EvaluationErrors) {
    struct Case {
        const char* text;
        std::string expected;
    } cases[] = {
        {"= 5;#", "Error:第1行语法错误，'='位置错误 !"},
        {"Np = 1.2.3;#", "Error:第1行文本内有数据出现多个小数点，计算终止！"},
        {"Np = V.o.x;#", "Error:第1行文本内有数据出现多个小数点，计算终止！"},
        {"Np = 1;\r\nNs = .5;#", "Error:第2行文本内有数据首位出现小数点，计算终止！"},
        {"Np = 1 / (2 - 2);#", "Error:第1" + kMsg11},
        {"Np = 1 +;#", "Error:第1" + kMsg12},
        {"Np = 1 2;#", "Error:第1行内可能有多余的变量。$$$ 堆栈出现两个结果，错误!"},
        {"Np = pow(2);#", "Error:第1行pow(a,b) 函数运算出错，公式有误!"},
        {"Np = pow(, 2);#", "Error:第1行pow(a,b) 函数运算出错，公式有误!"},
        {"Np = pow(1, 2, 3);#", "Error:第1行pow(a,b) 函数运算出错，公式有误!"},
        {"Np = pow;#", "Error:第1行pow(a,b) 函数运算出错，公式有误!"},
        {"Np = 1;\r\nNs = ;#", "Error:第2行有多余的'；'或者其位置错误导致堆栈内并没有数据!"},
        {"Np + 1;#", "Error:第0" + kMsg20},
        {"Np = 1;;#", "Error:第0" + kMsg20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(run(c.text));
        expectError(kEval, c.expected);
    }
}

TEST_F(Formula, LineNumbersCountCrLfLfAndCr) {
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        std::string e = eol;
        EXPECT_TRUE(run("Np = 1;" + e + "// comment" + e + e + "Ns = 1 / 0;" + e + "#")) << e.size();
        expectError(kEval, "Error:第4" + kMsg11);
        EXPECT_FALSE(run("Np = 1;" + e + "Ns = 2" + e + "Po = 3;#"));
        expectError(kParse, "Error:第2" + kMsg5);
    }
}

// ---- limits and hostile input ----------------------------------------------------------

TEST_F(Formula, TokenLimit) {
    // "Np = 1" + k x " + 1" + ";" + line end + "#" is 2k + 6 tokens
    auto text = [](int k, int lineEnds) {
        std::string t = "Np = 1";
        for (int i = 0; i < k; ++i) t += " + 1";
        t += ";";
        for (int i = 0; i < lineEnds; ++i) t += "\r\n";
        return t + "#";
    };
    EXPECT_TRUE(run(text(2497, 1))); // exactly 5000 tokens
    expectQuiet();
    EXPECT_EQ(at(cNp), 2498.0f);
    EXPECT_FALSE(run(text(2497, 2)));
    expectError(kParse, "Error:第3行公式文本过长（最多5000个单元），计算终止！");
}

TEST_F(Formula, NestingAndWordLimits) {
    std::string open49(49, '('), close49(49, ')');
    EXPECT_TRUE(run("Np = " + open49 + "2" + close49 + ";#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 2.0f);
    EXPECT_FALSE(run("Np = " + open49 + "(2" + close49 + ");#"));
    expectError(kParse, "Error:第1行括号、pow函数或运算符嵌套超过49层，计算终止！");
    EXPECT_FALSE(run("Np = " + std::string(10000, '(') + "1;#"));
    expectError(kParse, "Error:第1行括号、pow函数或运算符嵌套超过49层，计算终止！");

    std::string name49(49, 'x'), name50(50, 'x');
    EXPECT_TRUE(run("float " + name49 + "; " + name49 + " = 2; Np = " + name49 + ";#"));
    expectQuiet();
    EXPECT_EQ(at(cNp), 2.0f);
    EXPECT_FALSE(run("Np = 1;\r\nNs = " + name50 + ";#"));
    expectError(kParse, "Error:第2行内名称或数字超过49个字符，计算终止！");
}

TEST_F(Formula, ValueStackLimit) {
    std::string values;
    for (int i = 0; i < 51; ++i) values += " 1";
    EXPECT_TRUE(run("Np =" + values + ";#"));
    expectError(kEval, "Error:第1行表达式过长，堆栈内数据超过50个，计算终止！");
}

TEST_F(Formula, HostileTextsAreRefusedCleanly) {
    // 50 MB without an end mark: the mark is appended, the text refused
    std::string big(50u << 20, ' ');
    std::string p = write(kFlybackFile, "Np = 1;\r\n" + big);
    EXPECT_FALSE(FormulaRunner(boxes).run(p, fields));
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_EQ(hb.messages[0].caption, "注意");
    EXPECT_EQ(hb.messages[1].text, "Error:第1行公式文本过长（最多5000个单元），计算终止！");
    EXPECT_EQ(std::filesystem::file_size(p), 9u + big.size() + 1u);
    EXPECT_EQ(at(cNp), 0.0f);

    // many short statements: stops at the token limit
    std::string many;
    while (many.size() < (4u << 20)) many += "Np = Np + 1;\r\n";
    EXPECT_FALSE(run(many + "#"));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("公式文本过长"), std::string::npos);

    // every byte value, including NUL
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + 13) & 0xff);
    EXPECT_FALSE(run(junk)); // CR, then 0xFC
    expectError(kParse, "Error:第2行内含有非法字符!");
}

} // namespace
} // namespace kv::script::test
