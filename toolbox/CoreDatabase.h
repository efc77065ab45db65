// The core database: a modal picker of standard ferrite cores read from
// "CoreList.xls", handing the chosen core back to its opener through the
// handshake slot of System.cfg and "temp.txt", or straight into the opener.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/CorePick.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kv::toolbox {

inline constexpr const char* kCoreWorkbook = "CoreList.xls";

// Row block of one shape family in the workbook's first sheet (0-based, inclusive).
struct CoreFamily {
    const char* name;
    int firstRow, lastRow;
};
inline constexpr int kFamilyCount = 14;
extern const CoreFamily kCoreFamilies[kFamilyCount];
// The block of a selector entry; any other entry reads the EE rows.
CoreFamily coreFamily(int entry);

// One listed core: ten column texts and the seven numbers AP, Ae, AW, AL, Le,
// Ve, weight. A number the workbook does not hold shows as an empty cell and
// has has[k] false (its value is 0).
struct CoreRow {
    std::array<std::string, 10> cells;
    std::array<double, 7> values{};
    std::array<bool, 7> has{};
};
enum CoreValue : int { kAp = 0, kAe = 1, kAw = 2, kAl = 3, kLe = 4, kVe = 5, kWeight = 6 };

struct CoreList {
    std::vector<CoreRow> rows;
    int errorCells = 0; // error cells met, one message each
};

// Reads one family's rows from the workbook at `path`; false when the
// workbook cannot be loaded. A workbook without a sheet gives no rows.
bool readCoreFamily(const std::string& path, int entry, CoreList& out);

// A list number: 13 significant digits, a whole number without a trailing point ("400").
std::string coreNumberText(double v);
// The six bytes written at offset 1 of temp.txt for an Ae.
std::string aeHandBackText(double ae);

using services::ApInputs;
using services::CoreOpener;

// Recommended area product (cm⁴); nothing when the inputs give no finite positive value.
std::optional<double> recommendedAp(const ApInputs& in);
// "      K7350反激建议磁芯AP不小于:<AP>cm4".
std::string apHintText(double ap);

// Colours of one list cell.
struct CoreRowColors {
    ui::Color text, background;
};
CoreRowColors coreRowColors(bool colored, bool dark, int row);

class CoreDatabaseDialog : public ui::Dialog {
public:
    enum : int {
        kFamily = 1329, kList = 1373, kPickLabel = 1375, kShapeLabel = 1376, kDark = 1377, kColored = 1378,
    };
    static constexpr int kTableRows = 150;

    // A parent that is a CoreOpener takes the values in mode '1' and gives
    // the AP inputs in mode '2'.
    explicit CoreDatabaseDialog(ui::Dialog* parent = nullptr);

    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    void onOk() override;
    void onCancel() override;
    void onPaint(ui::Canvas& c) override;

    const std::string& hint() const { return hint_; }
    int rowCount() const { return rowCount_; }
    // Numeric table: AP, Ae, AW, AL, Le, Ve, weight per listed row.
    const std::array<double, 7>& tableRow(int row) const { return table_[row]; }
    const std::vector<std::string>& cellTexts() const { return texts_; }

private:
    static const ui::MessageEntry<CoreDatabaseDialog> kMessageMap[];
    void onFamilyChange();
    void onCheckBox();
    void loadList();
    void colorRows();
    bool handBack(const CoreRow& row, char mode);

    CoreOpener* opener_;
    std::string hint_;
    bool setUp_ = false;
    std::array<std::array<double, 7>, kTableRows> table_{};
    int rowCount_ = 0;
    std::vector<std::string> texts_;
    std::vector<CoreRow> rows_;
};

} // namespace kv::toolbox
