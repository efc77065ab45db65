#include "toolbox/CoreDatabase.h"

#include "platform/ui/Canvas.h"
#include "platform/io/Files.h"
#include "platform/xls/XlsReader.h"
#include "services/Magnetics.h"
#include "services/Settings.h"
#include "services/Templates.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv::toolbox {

const CoreFamily kCoreFamilies[kFamilyCount] = {
    {"EE", 9, 37},    {"EC", 4, 7},     {"EF", 39, 43},   {"EFD", 45, 50},  {"EI", 52, 66},
    {"EP", 68, 72},   {"EPC", 74, 81},  {"ER", 83, 102},  {"ETD", 104, 112}, {"LP", 114, 116},
    {"RM", 118, 124}, {"PTS", 126, 130}, {"PQ", 132, 140}, {"UU", 142, 153},
};

CoreFamily coreFamily(int entry) {
    if (entry < 0 || entry >= kFamilyCount) return kCoreFamilies[0];
    return kCoreFamilies[entry];
}

namespace {
// Scientific text without '+' and leading exponent zeros: "1.23e7", "5e-5".
std::string compactScientific(double v, int precision) {
    std::string s = ui::formatNumber(v, precision, ui::Notation::Scientific);
    const auto e = s.find('e');
    if (e == std::string::npos) return s;
    std::string mant = s.substr(0, e), exp = s.substr(e + 1);
    bool neg = !exp.empty() && exp[0] == '-';
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) exp.erase(0, 1);
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    return mant + "e" + (neg ? "-" : "") + exp;
}

double readBack(const std::string& six) {
    return services::leadingNumber(six.substr(0, six.find('\0')));
}
} // namespace

std::string coreNumberText(double v) { return ui::formatNumber(v, 13); }

std::string aeHandBackText(double ae) {
    std::string s = ui::formatNumber(ae, 6);
    if (s.size() < 6) {
        s += '\0';
        s.resize(6, ' ');
        return s;
    }
    std::string best = s.substr(0, 6);
    const double tolerance = 1e-3 * std::fabs(ae);
    double bestError = std::fabs(readBack(best) - ae);
    if (bestError <= tolerance) return best;
    // Cutting would change the magnitude (an exponent or a long fraction):
    // take the closest text that fits in six characters.
    for (int p = 5; p >= 0; --p) {
        std::string t = compactScientific(ae, p);
        if (t.size() > 6) continue;
        const double err = std::fabs(readBack(t) - ae);
        if (err < bestError) {
            best = t;
            bestError = err;
        }
    }
    if (best.size() < 6) {
        best += '\0';
        best.resize(6, ' ');
    }
    return best;
}

bool readCoreFamily(const std::string& path, int entry, CoreList& out) {
    out = CoreList{};
    xls::Workbook book;
    std::string error;
    if (!book.open(path, error)) return false;
    const xls::Sheet* sheet = book.firstSheet();
    if (!sheet) return true;
    const CoreFamily fam = coreFamily(entry);
    for (int r = fam.firstRow; r <= fam.lastRow; ++r) {
        CoreRow row;
        bool any = false;
        for (int c = 0; c < 10; ++c) {
            if (sheet->isFormula(r, c)) continue;
            switch (sheet->cellType(r, c)) {
            case xls::CellType::Number: {
                const double v = sheet->number(r, c);
                if (!std::isfinite(v)) break;
                any = true;
                if (c >= 3) {
                    row.values[c - 3] = v;
                    row.has[c - 3] = true;
                    row.cells[c] = coreNumberText(v);
                } else {
                    row.cells[c] = ui::formatNumber(v, 15);
                }
                break;
            }
            case xls::CellType::String:
                any = true;
                // Text belongs in the three text columns; in a number column it shows nothing.
                if (c < 3) row.cells[c] = std::string(sheet->text(r, c));
                break;
            case xls::CellType::Error:
                any = true;
                ++out.errorCells;
                break;
            default: break;
            }
        }
        if (any) out.rows.push_back(std::move(row));
    }
    return true;
}

std::optional<double> recommendedAp(const ApInputs& in) {
    const double x = (services::magnetics::mainsPeak(in.vinMin) - in.vds) / in.vor;
    const double pin = in.vo * in.io / (0.01 * in.eff);
    const double c = (0.0014 * x + 0.5) / (0.815 * x + 1);
    const double k1 = (1.26 * x + 1.87) / (0.55 * x + 1) * 1e-5;
    const double k2 = (1.06 * x + 1.88) / (0.34 * x + 1) * 1e-10;
    const double f = in.fmin;
    const double ap1 = std::pow(460 * pin / (std::sqrt(c) * (1 + x) * f), 1.316) * 1e-4;
    const double ap2 = std::pow(480 * pin / (std::sqrt(c) * (1 + x) * f), 1.585) *
                       std::pow(k1 * f + k2 * f * f, 0.66) * 1e-4;
    if (!std::isfinite(ap1) || !std::isfinite(ap2)) return std::nullopt;
    const double ap = std::max(ap1, ap2);
    if (!(ap > 0)) return std::nullopt;
    return ap;
}

std::string apHintText(double ap) {
    std::string s = ui::formatNumber(ap, 7);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return "      K7350反激建议磁芯AP不小于:" + s + "cm4";
}

CoreRowColors coreRowColors(bool colored, bool dark, int row) {
    const bool odd = row % 2 != 0;
        if (colored && dark) return {odd ? ui::Color{18, 200, 215} : ui::Color{250, 57, 244}, ui::kBlack};
    if (colored) return {odd ? ui::Color{128, 0, 255} : ui::Color{255, 0, 128}, ui::kWhite};
    if (dark) return {ui::kWhite, ui::kBlack};
    return {ui::kBlack, ui::kWhite};
}

// ---------------------------------------------------------------- dialog

using D = CoreDatabaseDialog;
const ui::MessageEntry<D> D::kMessageMap[] = {
    {D::kFamily, ui::Notify::SelChange, &D::onFamilyChange},
    {D::kDark, ui::Notify::Clicked, &D::onCheckBox},
    {D::kColored, ui::Notify::Clicked, &D::onCheckBox},
};

namespace {
const char* const kColumns[10] = {"类型",   "材料",    "尺寸(mm)",      "AP(cm4)", "Ae(mm2)",
                                  "AW(mm2)", "AL(nH/Turns2)", "Le(mm)", "Ve(mm)", "Wt(g)"};
constexpr const char* kNoWorkbook = "错误:没有找到磁芯数据表!";
constexpr const char* kNoSelection = "注意:你没有选中列表中的任何磁芯!";
constexpr const char* kMissingValue = "注意:该磁芯缺少Ae或Le数据,请选择其他磁芯!";
} // namespace

CoreDatabaseDialog::CoreDatabaseDialog(ui::Dialog* parent)
    : Dialog(tpl::kCoreDatabase, parent), opener_(dynamic_cast<CoreOpener*>(parent)) {
    // Headings before any window is built, so that the list shows its header.
    setColumns(kList, std::vector<std::string>(std::begin(kColumns), std::end(kColumns)),
               {90, 60, 140, 100, 80, 100, 110, 80, 80, 60});
}

bool CoreDatabaseDialog::onCommand(int id, ui::Notify code) {
    return ui::dispatchMap(this, kMessageMap, id, code);
}

void CoreDatabaseDialog::onInitDialog() {
    if (setUp_) return;
    for (const CoreFamily& f : kCoreFamilies) addItem(kFamily, f.name);
    select(kFamily, 0);
    setCheck(kDark, true);
    setCheck(kColored, true);
    setTextColor(kPickLabel, {200, 0, 200});
    setTextColor(kShapeLabel, ui::kBlue);
    if (services::readSlot(services::kHandshakeSlot) == '2' && opener_)
        if (auto in = opener_->apInputs())
            if (auto ap = recommendedAp(*in)) hint_ = apHintText(*ap);
    table_ = {};
    setUp_ = true;
    loadList();
}

void CoreDatabaseDialog::loadList() {
    rowCount_ = 0;
    texts_.clear();
    rows_.clear();
    CoreList list;
    if (!readCoreFamily(kCoreWorkbook, selected(kFamily), list)) {
        messageBox(kNoWorkbook, ui::kAppName, ui::Icon::Error);
    } else {
        for (int i = 0; i < list.errorCells; ++i) messageBox("Excel Error!", ui::kAppName, ui::Icon::Error);
        for (CoreRow& row : list.rows) {
            if (rowCount_ >= kTableRows) break;
            texts_.insert(texts_.end(), row.cells.begin(), row.cells.end());
            table_[rowCount_++] = row.values;
            rows_.push_back(std::move(row));
        }
    }
    clearItems(kList);
    for (size_t i = 0; i < texts_.size(); i += 10)
        addRow(kList, std::vector<std::string>(texts_.begin() + long(i), texts_.begin() + long(i) + 10));
    colorRows();
}

void CoreDatabaseDialog::colorRows() {
    const bool colored = checked(kColored), dark = checked(kDark);
    for (int i = 0; i < itemCount(kList); ++i) {
        const CoreRowColors rc = coreRowColors(colored, dark, i);
        setRowColor(kList, i, rc.text);
        setRowBackground(kList, i, rc.background);
    }
}

void CoreDatabaseDialog::onFamilyChange() {
    table_ = {};
    loadList();
}

void CoreDatabaseDialog::onCheckBox() {
    colorRows();
    invalidate();
}

bool CoreDatabaseDialog::handBack(const CoreRow& row, char mode) {
    if (mode == '1' && opener_) {
        opener_->takeCore(float(row.values[kAe]), float(row.values[kLe]));
        opener_->setCoreName("磁芯:" + row.cells[0]);
        return true;
    }
    const io::FileError e = io::writeAt(services::kTempTxt, 1, aeHandBackText(row.values[kAe]));
    if (!e) return true;
    messageBox(io::fileErrorText(e), ui::kAppName, ui::Icon::Error);
    return false;
}

void CoreDatabaseDialog::onOk() {
    const int row = selected(kList);
    const std::optional<char> before = services::readSlot(services::kHandshakeSlot);
    if (row < 0 || row >= int(rows_.size())) {
        messageBox(kNoSelection, ui::kAppName, ui::Icon::Warning);
        services::writeSlot(services::kHandshakeSlot, '#');
        if (before == '1' && opener_) opener_->setCoreName("磁芯:用户输入");
        endDialog(ui::IdCancel);
        return;
    }
    const CoreRow& core = rows_[size_t(row)];
    const char mode = before.value_or('*');
    const bool direct = mode == '1' && opener_;
    if (!core.has[kAe] || (direct && !core.has[kLe])) {
        messageBox(kMissingValue, ui::kAppName, ui::Icon::Warning);
        return;
    }
    if (!handBack(core, mode)) {
        // Nothing was handed back: the opener must not read an old value.
        services::writeSlot(services::kHandshakeSlot, '#');
        endDialog(ui::IdCancel);
        return;
    }
    services::writeSlot(services::kHandshakeSlot, '*');
    endDialog(ui::IdOk);
}

void CoreDatabaseDialog::onCancel() {
    services::writeSlot(services::kHandshakeSlot, '#');
    endDialog(ui::IdCancel);
}

void CoreDatabaseDialog::onPaint(ui::Canvas& c) {
    if (hint_.empty()) return;
    c.setTransparent(true);
    c.setTextColor({255, 0, 0});
    c.setFont("楷体", 100);
    c.text(548, 20, hint_);
}

// ---------------------------------------------------------------- openers

} // namespace kv::toolbox
