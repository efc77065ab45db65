#include "graphic_flyback/DesignReport.h"

#include "platform/ui/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace kv::graphic {

using namespace xls;

namespace {

constexpr const char* kAnnotatePattern = "_($* # ##0.00_);_($* (# ##0.00);_($* -??_);_(@_)";
constexpr const char* kCorePrefix = "磁芯:";
constexpr const char* kHandCore = "磁芯:用户输入";

// Palette indexes of the default palette.
constexpr uint16_t kBlue = 12, kMagenta = 14, kGrey25 = 22, kOrange = 53;

constexpr int kTableFirst = 8, kTableLast = 59, kSeparatorRow = 33;

// One numeric item row; `space` puts a single space in the annotate column.
struct Item {
    const char* key;
    const char* description;
    float ReportData::*value;
    const char* unit;
    bool space;
};

// Rows 8 to 17.
const Item kInputs[] = {
    {"VacMin", "最低交流输入电压有效值", &ReportData::VacMin, "V", true},
    {"VacMax", "最高交流输入电压有效值", &ReportData::VacMax, "V", true},
    {"fLine", "交流电网频率", &ReportData::fLine, "Hz", true},
    {"Efficiency", "估计的变换器效率", &ReportData::Efficiency, "%", true},
    {"Vo", "输出电压", &ReportData::Vo, "V", true},
    {"Io", "输出电流", &ReportData::Io, "A", true},
    {"Vopp", "输出电压纹波", &ReportData::Vopp, "mV", true},
    {"PerVinpp", "输入电压纹波占输入电压的百分比", &ReportData::PerVinpp, "%", true},
    {"fosc", "工作频率", &ReportData::fosc, "KHz", false},
    {"Dmax", "最大占空比", &ReportData::Dmax, "", false},
};
// Row 18 by mode.
const Item kCcmRow = {"r", "纹波率 dI/IL", &ReportData::r, "", false};
const Item kDcmRow = {"Tdie", "工作死区比例", &ReportData::Tdie, "%", false};
// Rows 21 to 32, after the mode and core type rows.
const Item kCore[] = {
    {"Ae", "磁芯Ae", &ReportData::Ae, "mm2", false},
    {"Le", "磁芯Le", &ReportData::Le, "mm", false},
    {"Bpk", "工作峰值磁通密度", &ReportData::Bpk, "GS", false},
    {"Bsat", "磁芯饱和磁通密度", &ReportData::Bsat, "GS", false},
    {"Cmil", "电流密度-圆密尔/安培", &ReportData::Cmil, "Cmil/A", false},
    {"Vor", "次级折射到初级的电压", &ReportData::Vor, "V", false},
    {"PerLLK", "漏感占一次电感的百分比", &ReportData::PerLLK, "%", false},
    {"Vz", "漏感+次级折射电压", &ReportData::Vz, "V", false},
    {"Vdo", "输出整流管压降", &ReportData::Vdo, "V", false},
    {"Vf", "反馈绕组输出电压", &ReportData::Vf, "V", false},
    {"Vdf", "反馈绕组整流管压降", &ReportData::Vdf, "V", false},
    {"VMos", "开关管耐压", &ReportData::VMos, "V", false},
};
// Rows 34 to 55, below the separator.
const Item kResults[] = {
    {"Ipkp", "初级电流峰值", &ReportData::Ipkp, "A", false},
    {"Irmsp", "初级电流有效值", &ReportData::Irmsp, "A", false},
    {"Lp", "初级电感量", &ReportData::Lp, "μH", false},
    {"Np", "初级匝数", &ReportData::Np, "Ts", false},
    {"dp", "初级线径", &ReportData::dp, "mm", false},
    {"Ipks", "次级电流峰值", &ReportData::Ipks, "A", false},
    {"Irmss", "次级电流有效值", &ReportData::Irmss, "A", false},
    {"Ls", "次级电感量", &ReportData::Ls, "μH", false},
    {"Ns", "次级匝数", &ReportData::Ns, "Ts", false},
    {"ds", "次级线径", &ReportData::ds, "mm", false},
    {"Lgap", "气隙长度", &ReportData::Lgap, "mm", false},
    {"Rlk", "漏感吸收电阻(估算)", &ReportData::Rlk, "KΩ", false},
    {"Clk", "漏感吸收电容(估算)", &ReportData::Clk, "nF", false},
    {"Cin", "输入电容容量", &ReportData::Cin, "μF", false},
    {"Iin", "输入平均电流", &ReportData::Iin, "A", false},
    {"Vswy", "开关管耐压余量", &ReportData::Vswy, "V", false},
    {"Isw", "开关管电流推荐值", &ReportData::Isw, "A", false},
    {"VDon", "输出整流管耐压要求", &ReportData::VDon, "V", false},
    {"IDout", "输出整流管电流推荐值", &ReportData::IDout, "A", false},
    {"VCout", "输出电容耐压要求", &ReportData::VCout, "V", false},
    {"Co", "输出电容容量(估算)", &ReportData::Co, "μF", false},
    {"Nf", "反馈绕组匝数", &ReportData::Nf, "Ts", false},
};
const int kSeparatorWidths[5] = {62, 79, 18, 18, 26};

// Below the table, after a blank row: the transformer's losses.
constexpr int kLossFirst = kTableLast + 2;
const Item kAmbientRow = {"Ta", "环境温度", &ReportData::Ta, "℃", false};
const Item kLosses[] = {
    {"Pcore", "磁芯损耗", &ReportData::Pcore, "W", false},
    {"Pcu", "铜损(绕组损耗)", &ReportData::Pcu, "W", false},
    {"Ploss", "变压器总损耗", &ReportData::Ploss, "W", false},
    {"dT", "变压器温升", &ReportData::dT, "K", false},
};

std::string project(const ReportData& d)
{
    return "PWM—" + ui::formatNumber(d.Vo, 7) + "V" + ui::formatNumber(d.Io, 7) + "A Flyback";
}

std::string coreType(const std::string& name)
{
    if (name == kHandCore)
        return "未知型号";
    std::string prefix = kCorePrefix;
    return name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : name;
}

void putItem(SheetWriter& sh, int row, const Item& it, const ReportData& d, FormatId f)
{
    sh.setText(row, 0, it.key, f);
    sh.setText(row, 1, it.description, f);
    const float v = d.*it.value;
    if (std::isfinite(v))
        sh.setNumber(row, 2, reportNumber(v), f);
    else
        sh.setText(row, 2, kInvalid, f);
    sh.setText(row, 3, it.unit, f);
    if (it.space)
        sh.setText(row, 4, " ", f);
}

} // namespace

double reportNumber(float v)
{
    // The fewest significant digits that read back to the float, read as a
    // double (scientific: the plain form would spell out 1038757248 in full).
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific);
    double d = v;
    std::from_chars(text, written.ptr, d);
    return d;
}

std::vector<std::string> invalidItems(const ReportData& d)
{
    std::vector<std::string> keys;
    const auto check = [&](const Item& it) {
        if (!std::isfinite(d.*it.value)) keys.push_back(it.key);
    };
    for (const Item& it : kInputs)
        check(it);
    check(d.Mode != 0 ? kDcmRow : kCcmRow);
    for (const Item& it : kCore)
        check(it);
    for (const Item& it : kResults)
        check(it);
    return keys;
}

ReportStamp stampNow()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

std::string reportDescription(const std::string& key) {
    for (const Item& it : kInputs)
        if (key == it.key) return it.description;
    for (const Item* it : {&kCcmRow, &kDcmRow})
        if (key == it->key) return it->description;
    for (const Item& it : kCore)
        if (key == it.key) return it.description;
    for (const Item& it : kResults)
        if (key == it.key) return it.description;
    for (const Item* it : {&kAmbientRow, std::begin(kLosses), std::begin(kLosses) + 1, std::begin(kLosses) + 2,
                           std::begin(kLosses) + 3})
        if (key == it->key) return it->description;
    return key;
}

std::vector<std::pair<std::string, float>> reportResults(const ReportData& d) {
    std::vector<std::pair<std::string, float>> rows;
    for (const Item& it : kResults) rows.emplace_back(it.key, d.*it.value);
    return rows;
}

void buildDesignReport(xls::WorkbookWriter& book, const ReportData& d, const ReportStamp& at)
{
    FontSpec baseFont{"Century Gothic", 10, kBlue};
    FontSpec titleFont = baseFont;
    titleFont.points = 38;
    titleFont.colour = kMagenta;
    // The table below the separator is written in orange.
    FontSpec resultFont = baseFont;
    resultFont.colour = kOrange;

    FormatSpec base;
    base.font = book.addFont(baseFont);
    base.horizontal = HAlign::Left;
    FormatSpec title;
    title.font = book.addFont(titleFont);
    title.horizontal = HAlign::Right;
    FormatSpec cell = base;
    cell.border(LineStyle::Thin, kGrey25);
    cell.vertical = VAlign::Centre;
    FormatSpec annotate = cell;
    annotate.numberFormat = book.addNumberFormat(kAnnotatePattern);
    FormatSpec result = cell;
    result.font = book.addFont(resultFont);
    // Nothing may run past column E: LibreOffice prints what overflows on a
    // page of its own. The separator's hyphens wrap within their cells (the
    // row's fixed height shows one line); the date shrinks to fit.
    FormatSpec date = base;
    date.shrink = true;
    FormatSpec rule = cell;
    rule.wrap = true;

    FormatId fBase = book.addFormat(base);
    FormatId fTitle = book.addFormat(title);
    FormatId fCell = book.addFormat(cell);
    FormatId fAnnotate = book.addFormat(annotate);
    FormatId fResult = book.addFormat(result);
    FormatId fDate = book.addFormat(date);
    FormatId fRule = book.addFormat(rule);

    SheetWriter& sh = book.addSheet("Design Report");
    sh.setShowGridlines(false);
    const double widths[5] = {15, 35, 10, 10, 15};
    for (int c = 0; c < 5; ++c)
        sh.setColumnWidth(c, widths[c]);
    sh.setRowHeight(2, 45);
    sh.setText(2, 1, "Design Report", fTitle);
    sh.merge(2, 2, 1, 4);

    sh.setText(4, 0, "Project:", fBase);
    sh.setText(4, 1, project(d), fBase);
    sh.setText(4, 3, "Date:", fBase);
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d %d:%d", at.year, at.month, at.day, at.hour, at.minute);
    sh.setText(4, 4, stamp, fDate);
    if (!d.designFile.empty()) {
        sh.setText(5, 0, "Design File:", fBase);
        sh.setText(5, 1, d.designFile, fBase);
    }
    const char* headings[5] = {"Item", "Description", "Result", "Units", "Annotate"};
    for (int c = 0; c < 5; ++c)
        sh.setText(7, c, headings[c], fBase);

    for (int row = kTableFirst; row <= kTableLast; ++row) {
        sh.setRowHeight(row, 16);
        for (int c = 0; c < 4; ++c)
            sh.setBlank(row, c, fCell);
        sh.setBlank(row, 4, fAnnotate);
    }
    sh.merge(kTableLast, kTableLast, 0, 4);

    int row = kTableFirst;
    for (const Item& it : kInputs)
        putItem(sh, row++, it, d, fCell);
    bool dcm = d.Mode != 0;
    putItem(sh, row++, dcm ? kDcmRow : kCcmRow, d, fCell);

    sh.setText(row, 0, "Mode", fCell);
    sh.setText(row, 1, "工作模式", fCell);
    sh.setText(row, 2, dcm ? "DCM" : "CCM", fCell);
    sh.setText(row, 3, " ", fCell);
    sh.setText(row, 4, " ", fCell);
    ++row;
    sh.setText(row, 0, "CoreType", fCell);
    sh.setText(row, 1, "所选磁芯型号", fCell);
    sh.setText(row, 2, coreType(d.CoreName), fCell);
    sh.setText(row, 3, " ", fCell);
    ++row;
    for (const Item& it : kCore)
        putItem(sh, row++, it, d, fCell);

    for (int c = 0; c < 5; ++c)
        sh.setText(kSeparatorRow, c, std::string(size_t(kSeparatorWidths[c]), '-'), fRule);
    row = kSeparatorRow + 1;
    for (const Item& it : kResults)
        putItem(sh, row++, it, d, fResult);

    // The losses: blank figures with the reason beside the first when not shown.
    row = kLossFirst;
    const auto lossRow = [&](int r) {
        sh.setRowHeight(r, 16);
        sh.setBlank(r, 4, fAnnotate);
    };
    lossRow(row);
    putItem(sh, row++, kAmbientRow, d, fCell);
    lossRow(row);
    sh.setText(row, 0, "CoreMaterial", fCell);
    sh.setText(row, 1, "磁芯材料", fCell);
    sh.setText(row, 2, d.CoreMaterial.empty() ? "未知" : d.CoreMaterial, fCell);
    sh.setText(row, 3, " ", fCell);
    ++row;
    for (const Item& it : kLosses) {
        lossRow(row);
        if (d.LossShown) {
            putItem(sh, row, it, d, fResult);
        } else {
            sh.setText(row, 0, it.key, fResult);
            sh.setText(row, 1, it.description, fResult);
            sh.setBlank(row, 2, fResult);
            sh.setText(row, 3, it.unit, fResult);
        }
        if (&it == std::begin(kLosses) && !d.LossNote.empty()) sh.setText(row, 4, d.LossNote, fResult);
        ++row;
    }
}

bool writeDesignReport(const std::string& path, const ReportData& d, const ReportStamp& at,
                       std::string& error)
{
    WorkbookWriter book;
    buildDesignReport(book, d, at);
    return book.save(path, error);
}

bool writeDesignReport(const std::string& path, const ReportData& d, std::string& error)
{
    return writeDesignReport(path, d, stampNow(), error);
}

} // namespace kv::graphic
