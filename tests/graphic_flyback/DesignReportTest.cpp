// The design report, read back with xlrd (an independent reader), with our
// own reader and, where installed, converted to CSV by LibreOffice.
#include "graphic_flyback/DesignReport.h"
#include "platform/xls/XlsReader.h"
#include "tests/platform/xls/TestUtil.h"
#include "tests/platform/xls/XlrdDump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <limits>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using kv::graphic::ReportData;
using kv::graphic::ReportStamp;
using kvtest::XlrdBook;

namespace {

const char* kAnnotate = "_($* # ##0.00_);_($* (# ##0.00);_($* -??_);_(@_)";

// Every value distinct, so a value in the wrong row shows.
ReportData design()
{
    ReportData d;
    d.VacMin = 90; d.VacMax = 270; d.fLine = 50; d.Efficiency = 72;
    d.Vo = 5; d.Io = 1; d.Vopp = 55; d.PerVinpp = 38;
    d.fosc = 70; d.Dmax = 0.4f; d.r = 0.5f; d.Tdie = 20.5f;
    d.Mode = 0;
    d.CoreName = "磁芯:EE25/19";
    d.Ae = 17; d.Le = 35; d.Bpk = 2500; d.Bsat = 3000; d.Cmil = 400;
    d.Vor = 42.71f; d.PerLLK = 5.25f; d.Vz = 105; d.Vdo = 0.8f; d.Vf = 5.984f; d.Vdf = 0.6f; d.VMos = 600;
    d.Ipkp = 0.283f; d.Irmsp = 0.143f; d.Lp = 3984.2f; d.Np = 272; d.dp = 0.192f;
    d.Ipks = 2.08f; d.Irmss = 1.29f; d.Ls = 73.5f; d.Ns = 37; d.ds = 0.577f;
    d.Lgap = 0.379f; d.Rlk = 11.72f; d.Clk = 40.63f; d.Cin = 10.21f; d.Iin = 0.0905f;
    d.Vswy = 113.2f; d.Isw = 1.43f; d.VDon = 68.2f; d.IDout = 2.58f; d.VCout = 6;
    d.Co = 2083.3f; d.Nf = 42;
    return d;
}

struct Row {
    int row;
    const char* key;
    const char* description;
    double value;   // the decimal the cell holds (the design holds its float)
    const char* unit;
    bool space;   // single space in the annotate column
};

// The numeric item rows of the design above (CCM).
const Row kRows[] = {
    {8, "VacMin", "最低交流输入电压有效值", 90, "V", true},
    {9, "VacMax", "最高交流输入电压有效值", 270, "V", true},
    {10, "fLine", "交流电网频率", 50, "Hz", true},
    {11, "Efficiency", "估计的变换器效率", 72, "%", true},
    {12, "Vo", "输出电压", 5, "V", true},
    {13, "Io", "输出电流", 1, "A", true},
    {14, "Vopp", "输出电压纹波", 55, "mV", true},
    {15, "PerVinpp", "输入电压纹波占输入电压的百分比", 38, "%", true},
    {16, "fosc", "工作频率", 70, "KHz", false},
    {17, "Dmax", "最大占空比", 0.4, "", false},
    {18, "r", "纹波率 dI/IL", 0.5, "", false},
    {21, "Ae", "磁芯Ae", 17, "mm2", false},
    {22, "Le", "磁芯Le", 35, "mm", false},
    {23, "Bpk", "工作峰值磁通密度", 2500, "GS", false},
    {24, "Bsat", "磁芯饱和磁通密度", 3000, "GS", false},
    {25, "Cmil", "电流密度-圆密尔/安培", 400, "Cmil/A", false},
    {26, "Vor", "次级折射到初级的电压", 42.71, "V", false},
    {27, "PerLLK", "漏感占一次电感的百分比", 5.25, "%", false},
    {28, "Vz", "漏感+次级折射电压", 105, "V", false},
    {29, "Vdo", "输出整流管压降", 0.8, "V", false},
    {30, "Vf", "反馈绕组输出电压", 5.984, "V", false},
    {31, "Vdf", "反馈绕组整流管压降", 0.6, "V", false},
    {32, "VMos", "开关管耐压", 600, "V", false},
    {34, "Ipkp", "初级电流峰值", 0.283, "A", false},
    {35, "Irmsp", "初级电流有效值", 0.143, "A", false},
    {36, "Lp", "初级电感量", 3984.2, "μH", false},
    {37, "Np", "初级匝数", 272, "Ts", false},
    {38, "dp", "初级线径", 0.192, "mm", false},
    {39, "Ipks", "次级电流峰值", 2.08, "A", false},
    {40, "Irmss", "次级电流有效值", 1.29, "A", false},
    {41, "Ls", "次级电感量", 73.5, "μH", false},
    {42, "Ns", "次级匝数", 37, "Ts", false},
    {43, "ds", "次级线径", 0.577, "mm", false},
    {44, "Lgap", "气隙长度", 0.379, "mm", false},
    {45, "Rlk", "漏感吸收电阻(估算)", 11.72, "KΩ", false},
    {46, "Clk", "漏感吸收电容(估算)", 40.63, "nF", false},
    {47, "Cin", "输入电容容量", 10.21, "μF", false},
    {48, "Iin", "输入平均电流", 0.0905, "A", false},
    {49, "Vswy", "开关管耐压余量", 113.2, "V", false},
    {50, "Isw", "开关管电流推荐值", 1.43, "A", false},
    {51, "VDon", "输出整流管耐压要求", 68.2, "V", false},
    {52, "IDout", "输出整流管电流推荐值", 2.58, "A", false},
    {53, "VCout", "输出电容耐压要求", 6, "V", false},
    {54, "Co", "输出电容容量(估算)", 2083.3, "μF", false},
    {55, "Nf", "反馈绕组匝数", 42, "Ts", false},
};

class TempDir {
public:
    TempDir()
    {
        std::string t = ::testing::TempDir() + "kv_report_XXXXXX";
        path_ = mkdtemp(t.data()) ? t : std::string();
    }
    ~TempDir()
    {
        chmod(path_.c_str(), 0755);
        std::string cmd = "rm -rf '" + path_ + "'";
        (void)std::system(cmd.c_str());
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        if (DIR* d = opendir(path_.c_str())) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    out.push_back(e->d_name);
            closedir(d);
        }
        return out;
    }

private:
    std::string path_;
};

const ReportStamp kStamp{2026, 3, 7, 9, 5};

XlrdBook writeAndRead(const TempDir& dir, const ReportData& d, const std::string& name = "r.xls")
{
    std::string error;
    EXPECT_TRUE(kv::graphic::writeDesignReport(dir.file(name), d, kStamp, error)) << error;
    EXPECT_TRUE(error.empty());
    XlrdBook b = kvtest::xlrdRead(dir.file(name));
    EXPECT_TRUE(b.ok) << b.output;
    return b;
}

std::string text(const XlrdBook& b, int r, int c)
{
    const kvtest::XlrdCell* x = b.cell(r, c);
    if (!x)
        return "<empty>";
    return x->kind == "text" ? x->value : "<" + x->kind + ">";
}

// Font face, size, colour, alignment, borders and number format of a cell.
void expectFormat(const XlrdBook& b, int r, int c, int colour, bool table, const std::string& format)
{
    const kvtest::XlrdXf* x = b.xfOf(r, c);
    ASSERT_NE(x, nullptr) << r << "," << c;
    EXPECT_EQ(x->font, "Century Gothic") << r << "," << c;
    EXPECT_EQ(x->height, 200) << r << "," << c;
    EXPECT_EQ(x->colour, colour) << r << "," << c;
    EXPECT_EQ(x->halign, 1) << r << "," << c;
    EXPECT_EQ(x->valign, table ? 1 : 2) << r << "," << c;
    EXPECT_EQ(x->lines, table ? "1,1,1,1" : "0,0,0,0") << r << "," << c;
    if (table) {
        EXPECT_EQ(x->colours, "22,22,22,22") << r << "," << c;
    }
    EXPECT_EQ(x->format, format) << r << "," << c;
}

} // namespace

TEST(DesignReport, SheetLayout)
{
    TempDir dir;
    XlrdBook b = writeAndRead(dir, design());
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.sheets, std::vector<std::string>{"Design Report"});
    EXPECT_EQ(b.grid, 0);

    std::map<int, int> widths{{0, 15 * 256}, {1, 35 * 256}, {2, 10 * 256}, {3, 10 * 256}, {4, 15 * 256}};
    EXPECT_EQ(b.colWidths, widths);
    for (int r = 0; r < 70; ++r) {
        auto it = b.rows.find(r);
        bool own = it != b.rows.end() && it->second.second;
        // The table, then after a blank row the six rows of the transformer's losses.
        int expected = r == 2 ? 900 : (r >= 8 && r <= 59) || (r >= 61 && r <= 66) ? 320 : 0;
        EXPECT_EQ(own ? it->second.first : 0, expected) << "row " << r;
    }
    std::vector<std::array<int, 4>> merges{{2, 2, 1, 4}, {59, 59, 0, 4}};
    std::sort(b.merges.begin(), b.merges.end());
    EXPECT_EQ(b.merges, merges);

    // Title, project line, date, headings: and nothing else above the table.
    EXPECT_EQ(text(b, 2, 1), "Design Report");
    EXPECT_EQ(text(b, 4, 0), "Project:");
    EXPECT_EQ(text(b, 4, 1), "PWM—5V1A Flyback");
    EXPECT_EQ(text(b, 4, 3), "Date:");
    EXPECT_EQ(text(b, 4, 4), "2026-3-7 9:5");
    const char* headings[] = {"Item", "Description", "Result", "Units", "Annotate"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(text(b, 7, c), headings[c]);
    int above = 0, table = 0, losses = 0;
    for (const auto& [rc, cell] : b.cells) {
        EXPECT_LT(rc.second, 5);
        EXPECT_NE(rc.first, 60);
        (rc.first < 8 ? above : rc.first <= 59 ? table : losses)++;
        EXPECT_LE(rc.first, 66);
    }
    EXPECT_EQ(above, 1 + 4 + 5);
    EXPECT_EQ(table, 52 * 5);
    EXPECT_EQ(losses, 6 * 5);

    const kvtest::XlrdXf* title = b.xfOf(2, 1);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, "Century Gothic");
    EXPECT_EQ(title->height, 38 * 20);
    EXPECT_EQ(title->colour, 14);
    EXPECT_EQ(title->halign, 3);
    EXPECT_EQ(title->lines, "0,0,0,0");
    for (auto [r, c] : {std::pair{4, 0}, {4, 1}, {4, 3}, {4, 4}, {7, 0}, {7, 4}})
        expectFormat(b, r, c, 12, false, "General");
    EXPECT_EQ(b.xfOf(4, 4)->fit, "0,1");   // the date shrinks to its cell
    EXPECT_EQ(b.xfOf(4, 3)->fit, "0,0");
}

TEST(DesignReport, ItemRowsCcm)
{
    TempDir dir;
    XlrdBook b = writeAndRead(dir, design());
    ASSERT_TRUE(b.ok);
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.key);
        int colour = row.row < 33 ? 12 : 53;
        EXPECT_EQ(text(b, row.row, 0), row.key);
        EXPECT_EQ(text(b, row.row, 1), row.description);
        EXPECT_EQ(text(b, row.row, 3), row.unit);
        const kvtest::XlrdCell* v = b.cell(row.row, 2);
        ASSERT_NE(v, nullptr);
        ASSERT_EQ(v->kind, "number");
        // The decimal typed, not the float's own double (0.4, not 0.4000000059604645).
        EXPECT_EQ(std::strtod(v->value.c_str(), nullptr), row.value);
        for (int c = 0; c < 4; ++c)
            expectFormat(b, row.row, c, colour, true, "General");
        if (row.space) {
            EXPECT_EQ(text(b, row.row, 4), " ");
            expectFormat(b, row.row, 4, colour, true, "General");
        } else {
            EXPECT_EQ(text(b, row.row, 4), "<blank>");
            expectFormat(b, row.row, 4, 12, true, kAnnotate);
        }
    }

    EXPECT_EQ(text(b, 19, 0), "Mode");
    EXPECT_EQ(text(b, 19, 1), "工作模式");
    EXPECT_EQ(text(b, 19, 2), "CCM");
    EXPECT_EQ(text(b, 19, 3), " ");
    EXPECT_EQ(text(b, 19, 4), " ");
    EXPECT_EQ(text(b, 20, 0), "CoreType");
    EXPECT_EQ(text(b, 20, 1), "所选磁芯型号");
    EXPECT_EQ(text(b, 20, 2), "EE25/19");
    EXPECT_EQ(text(b, 20, 3), " ");
    EXPECT_EQ(text(b, 20, 4), "<blank>");
    for (int c = 0; c < 4; ++c) {
        expectFormat(b, 19, c, 12, true, "General");
        expectFormat(b, 20, c, 12, true, "General");
    }
    expectFormat(b, 20, 4, 12, true, kAnnotate);

    const int hyphens[] = {62, 79, 18, 18, 26};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(text(b, 33, c), std::string(size_t(hyphens[c]), '-'));
        expectFormat(b, 33, c, 12, true, "General");
        EXPECT_EQ(b.xfOf(33, c)->fit, "1,0") << c;   // wraps within its cell
    }
    for (int r = 56; r <= 59; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(text(b, r, c), "<blank>");
            expectFormat(b, r, c, 12, true, "General");
        }
        EXPECT_EQ(text(b, r, 4), "<blank>");
        expectFormat(b, r, 4, 12, true, kAnnotate);
    }
}

TEST(DesignReport, DcmAndCoreTypedByHand)
{
    TempDir dir;
    ReportData d = design();
    d.Mode = 1;
    d.CoreName = "磁芯:用户输入";
    XlrdBook b = writeAndRead(dir, d);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(text(b, 18, 0), "Tdie");
    EXPECT_EQ(text(b, 18, 1), "工作死区比例");
    ASSERT_NE(b.cell(18, 2), nullptr);
    EXPECT_EQ(std::strtod(b.cell(18, 2)->value.c_str(), nullptr), double(20.5f));
    EXPECT_EQ(text(b, 18, 3), "%");
    EXPECT_EQ(text(b, 19, 2), "DCM");
    EXPECT_EQ(text(b, 20, 2), "未知型号");
    // The later rows keep their places.
    EXPECT_EQ(text(b, 21, 0), "Ae");
    EXPECT_EQ(text(b, 55, 0), "Nf");
}

TEST(DesignReport, ProjectLineAndCoreNames)
{
    TempDir dir;
    struct Case {
        float vo, io;
        std::string core, project, type;
    } cases[] = {
        {105, 2.5f, "磁芯:PQ26/25", "PWM—105V2.5A Flyback", "PQ26/25"},
        {12, 1.2345678f, "磁芯:", "PWM—12V1.234568A Flyback", ""},
        {1e8f, 0.001f, "RM8", "PWM—1e+08V0.001A Flyback", "RM8"},
    };
    for (const Case& c : cases) {
        ReportData d = design();
        d.Vo = c.vo;
        d.Io = c.io;
        d.CoreName = c.core;
        XlrdBook b = writeAndRead(dir, d);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(text(b, 4, 1), c.project);
        EXPECT_EQ(text(b, 20, 2), c.type);
    }
}

TEST(DesignReport, NonFiniteValuesAreDashesAndListed)
{
    TempDir dir;
    ReportData d = design();
    EXPECT_TRUE(kv::graphic::invalidItems(d).empty());
    d.Lgap = std::numeric_limits<float>::quiet_NaN();
    d.Co = std::numeric_limits<float>::infinity();
    d.Rlk = -std::numeric_limits<float>::infinity();
    d.Tdie = std::numeric_limits<float>::quiet_NaN();   // a DCM row: not in a CCM report
    // In the report's order, only the rows the report shows.
    EXPECT_EQ(kv::graphic::invalidItems(d), (std::vector<std::string>{"Lgap", "Rlk", "Co"}));
    XlrdBook b = writeAndRead(dir, d);
    ASSERT_TRUE(b.ok);
    for (int r : {44, 45, 54}) {
        EXPECT_EQ(text(b, r, 2), "---") << r;   // never a #NUM! cell
        expectFormat(b, r, 2, 53, true, "General");
    }
    ASSERT_NE(b.cell(43, 2), nullptr);
    EXPECT_EQ(b.cell(43, 2)->kind, "number");
    d.Mode = 1;
    EXPECT_EQ(kv::graphic::invalidItems(d), (std::vector<std::string>{"Tdie", "Lgap", "Rlk", "Co"}));
}

TEST(DesignReport, ShortestDecimalThatReadsBack)
{
    using kv::graphic::reportNumber;
    // What LibreOffice showed from the float's own double.
    EXPECT_EQ(reportNumber(0.8f), 0.8);
    EXPECT_EQ(reportNumber(23.8f), 23.8);
    EXPECT_EQ(reportNumber(3984.2f), 3984.2);
    EXPECT_EQ(reportNumber(1e-7f), 1e-7);
    EXPECT_EQ(reportNumber(272.0f), 272.0);
    EXPECT_EQ(reportNumber(-0.0905f), -0.0905);
    // Whatever the value: it reads back to the same float and needs no more than
    // the nine significant digits any float needs.
    float v = 1.1754944e-38f;
    for (int i = 0; i < 4000; ++i, v *= -1.0473f) {
        const double x = reportNumber(v);
        EXPECT_EQ(float(x), v) << v;
        char text[40];
        std::snprintf(text, sizeof text, "%.9g", x);
        EXPECT_EQ(std::strtod(text, nullptr), x) << v;
        if (!std::isfinite(v * -1.0473f))
            break;
    }
}

// Below the table: the ambient, the core's material, then core loss, copper
// loss, total and rise; blank figures with the reason beside the core loss.
TEST(DesignReport, LossRowsFollowTheTable)
{
    TempDir dir;
    ReportData d = design();
    d.Ta = 45;
    d.CoreMaterial = "N87";
    d.LossShown = true;
    d.Pcore = 0.25f, d.Pcu = 0.5f, d.Ploss = 0.75f, d.dT = 21.5f;
    XlrdBook b = writeAndRead(dir, d);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(text(b, 60, 0), "<empty>");
    EXPECT_EQ(text(b, 61, 0), "Ta");
    EXPECT_EQ(text(b, 61, 1), "环境温度");
    EXPECT_EQ(text(b, 61, 3), "℃");
    EXPECT_EQ(text(b, 62, 0), "CoreMaterial");
    EXPECT_EQ(text(b, 62, 2), "N87");
    const struct {
        int row;
        const char* key;
        float value;
        const char* unit;
    } rows[] = {{61, "Ta", 45, "℃"}, {63, "Pcore", 0.25f, "W"}, {64, "Pcu", 0.5f, "W"},
                {65, "Ploss", 0.75f, "W"}, {66, "dT", 21.5f, "K"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(text(b, r.row, 0), r.key);
        EXPECT_EQ(text(b, r.row, 3), r.unit);
        const kvtest::XlrdCell* v = b.cell(r.row, 2);
        ASSERT_NE(v, nullptr);
        ASSERT_EQ(v->kind, "number");
        EXPECT_EQ(std::strtod(v->value.c_str(), nullptr), double(r.value));
    }
    EXPECT_EQ(text(b, 63, 4), "<blank>");

    // Not shown: no figures, the reason beside the core loss, the material unknown.
    d.LossShown = false;
    d.CoreMaterial.clear();
    d.LossNote = "损耗：手动输入的磁芯没有材料和形状数据";
    XlrdBook blank = writeAndRead(dir, d, "blank.xls");
    ASSERT_TRUE(blank.ok);
    EXPECT_EQ(text(blank, 62, 2), "未知");
    for (int r = 63; r <= 66; ++r) {
        EXPECT_EQ(text(blank, r, 2), "<blank>") << r;
        EXPECT_FALSE(text(blank, r, 3).empty()) << r;
    }
    EXPECT_EQ(text(blank, 63, 4), d.LossNote);
    EXPECT_EQ(text(blank, 64, 4), "<blank>");
}

TEST(DesignReport, OwnReaderReadsItBack)
{
    TempDir dir;
    std::string error;
    ASSERT_TRUE(kv::graphic::writeDesignReport(dir.file("r.xls"), design(), kStamp, error)) << error;
    kv::xls::Workbook book;
    ASSERT_TRUE(book.open(dir.file("r.xls"), error)) << error;
    EXPECT_TRUE(book.issues().empty());
    const kv::xls::Sheet* s = book.firstSheet();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->name(), "Design Report");
    EXPECT_EQ(s->rowEnd(), 67); // the table to row 59, the losses below it to row 66
    EXPECT_EQ(s->colEnd(), 5);
    EXPECT_EQ(s->text(2, 1), "Design Report");
    EXPECT_EQ(s->cellType(2, 2), kv::xls::CellType::Empty);
    for (const Row& row : kRows) {
        EXPECT_EQ(s->text(row.row, 0), row.key);
        EXPECT_EQ(s->text(row.row, 1), row.description);
        EXPECT_EQ(s->number(row.row, 2), double(row.value)) << row.key;
        EXPECT_EQ(s->text(row.row, 3), row.unit);
    }
    EXPECT_EQ(s->text(20, 2), "EE25/19");
    EXPECT_EQ(s->cellType(57, 3), kv::xls::CellType::Blank);
    EXPECT_EQ(s->cellType(16, 4), kv::xls::CellType::Blank);
}

TEST(DesignReportSave, UnwritablePlacesGiveAnErrorAndNoFile)
{
    TempDir dir;
    std::string error;
    std::string missing = dir.file("no such folder/r.xls");
    EXPECT_FALSE(kv::graphic::writeDesignReport(missing, design(), error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("不存在"), std::string::npos) << error;

    mkdir(dir.file("folder.xls").c_str(), 0755);
    error.clear();
    EXPECT_FALSE(kv::graphic::writeDesignReport(dir.file("folder.xls"), design(), error));
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_FALSE(kv::graphic::writeDesignReport(dir.path() + "/", design(), error));
    EXPECT_FALSE(error.empty());

    kvtest::writeAll(dir.file("plain"), {1, 2, 3});
    error.clear();
    EXPECT_FALSE(kv::graphic::writeDesignReport(dir.file("plain/r.xls"), design(), error));
    EXPECT_FALSE(error.empty());

    std::vector<std::string> left = dir.entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder.xls", "plain"}));

    if (geteuid() != 0) {   // root writes through permissions
        std::string ro = dir.file("ro");
        mkdir(ro.c_str(), 0555);
        error.clear();
        EXPECT_FALSE(kv::graphic::writeDesignReport(ro + "/r.xls", design(), error));
        EXPECT_NE(error.find(ro + "/r.xls"), std::string::npos) << error;
    }
}

TEST(DesignReportSave, FailedWriteKeepsTheOldReport)
{
    TempDir dir;
    std::string path = dir.file("Korvane Report-1.xls");
    std::string error;
    ASSERT_TRUE(kv::graphic::writeDesignReport(path, design(), kStamp, error)) << error;
    kvtest::Bytes before = kvtest::readAll(path);
    ASSERT_GT(before.size(), 4096u);

    // A file size limit makes the write fail part-way, for root as well.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 2048;
    auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ReportData other = design();
    other.Vo = 12;
    bool ok = kv::graphic::writeDesignReport(path, other, error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);

    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(kvtest::readAll(path), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"Korvane Report-1.xls"});
}

TEST(DesignReportSave, SavingAgainReplacesTheReport)
{
    TempDir dir;
    std::string path = dir.file("r.xls");
    std::string error;
    ASSERT_TRUE(kv::graphic::writeDesignReport(path, design(), kStamp, error)) << error;
    chmod(path.c_str(), 0640);
    ReportData other = design();
    other.Vo = 12;
    ASSERT_TRUE(kv::graphic::writeDesignReport(path, other, kStamp, error)) << error;
    XlrdBook b = kvtest::xlrdRead(path);
    ASSERT_TRUE(b.ok) << b.output;
    EXPECT_EQ(text(b, 4, 1), "PWM—12V1A Flyback");
    EXPECT_EQ(std::strtod(b.cell(12, 2)->value.c_str(), nullptr), 12.0);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"r.xls"});
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A bare file name lands in the current directory.
    std::string cwd(4096, '\0');
    ASSERT_NE(getcwd(cwd.data(), cwd.size()), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    bool ok = kv::graphic::writeDesignReport("bare.xls", design(), kStamp, error);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_TRUE(ok) << error;
    EXPECT_TRUE(kvtest::xlrdRead(dir.file("bare.xls")).ok);
}

namespace {
// The design's report converted by LibreOffice into `target` ("pdf", ...):
// the converted file's bytes, empty when the conversion failed.
kvtest::Bytes convertedReport(const TempDir& dir, const std::string& target, const std::string& ext)
{
    std::string error;
    EXPECT_TRUE(kv::graphic::writeDesignReport(dir.file("r.xls"), design(), kStamp, error)) << error;
    std::string cmd = "cd '" + dir.path() + "' && HOME='" + dir.path() + "' soffice --headless --convert-to '" +
                      target + "' --outdir '" + dir.path() + "' r.xls >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return kvtest::readAll(dir.file("r." + ext));
}
} // namespace

TEST(DesignReport, LibreOfficeCsv)
{
    // scripts/install-deps installs libreoffice-calc-nogui; without it this check is not done.
    ASSERT_EQ(std::system("command -v soffice >/dev/null 2>&1"), 0) << "LibreOffice (soffice) is not installed";
    TempDir dir;
    kvtest::Bytes csv = convertedReport(dir, "csv:Text - txt - csv (StarCalc):44,34,76", "csv");
    std::vector<std::string> lines;
    std::string cur;
    for (uint8_t ch : csv) {
        if (ch == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else if (ch != '\r') {
            cur.push_back(char(ch));
        }
    }
    ASSERT_GE(lines.size(), 56u);
    EXPECT_NE(lines[2].find("Design Report"), std::string::npos);
    EXPECT_EQ(lines[4], "Project:,PWM—5V1A Flyback,,Date:,2026-3-7 9:5");
    EXPECT_EQ(lines[7], "Item,Description,Result,Units,Annotate");
    EXPECT_EQ(lines[12].rfind("Vo,输出电压,5,V,", 0), 0u) << lines[12];
    EXPECT_EQ(lines[19].rfind("Mode,工作模式,CCM, , ", 0), 0u) << lines[19];
    EXPECT_EQ(lines[20].rfind("CoreType,所选磁芯型号,EE25/19, ,", 0), 0u) << lines[20];
    EXPECT_EQ(lines[55].rfind("Nf,反馈绕组匝数,42,Ts,", 0), 0u) << lines[55];
    // What a user reads: the typed decimals, no single-precision tail.
    EXPECT_EQ(lines[29].rfind("Vdo,输出整流管压降,0.8,V,", 0), 0u) << lines[29];
    EXPECT_EQ(lines[36].rfind("Lp,初级电感量,3984.2,μH,", 0), 0u) << lines[36];
}

TEST(DesignReport, LibreOfficePrintsNoOverflowPage)
{
    // The separator's hyphens once ran past column E and printed as a third
    // page of their own.
    ASSERT_EQ(std::system("command -v soffice >/dev/null 2>&1"), 0) << "LibreOffice (soffice) is not installed";
    TempDir dir;
    kvtest::Bytes pdf = convertedReport(dir, "pdf", "pdf");
    const std::string text(pdf.begin(), pdf.end());
    int pages = 0;
    for (size_t at = text.find("/Type/Page"); at != std::string::npos; at = text.find("/Type/Page", at + 1))
        pages += text.compare(at, 11, "/Type/Pages") != 0;
    EXPECT_EQ(pages, 2);
}
