// The graphical flyback designer: a schematic picture annotated with the
// design; clicking a part opens its parameter dialog.
#pragma once

#include "form/DesignKeeper.h"
#include "graphic_flyback/FlybackDesign.h"
#include "platform/ui/Dialog.h"

#include <string>

namespace kv::graphic {

struct ReportData;
// The report's view of a design and of its transformer's losses.
ReportData reportData(const FlybackDesign& d, const magnetics::WindowLoss& loss);

// A value as text with `digits` significant digits, "---" when not finite.
std::string numberText(double v, int digits);

struct Region {
    int x1, y1, x2, y2;
    const char* label; // nullptr: no label
    int dialog;        // template of the parameter dialog
    Derive after;
};
extern const Region kRegions[12];

// Said before a design with invalid values is saved, the values listed between.
inline constexpr const char* kInvalidDesign = "注意：当前设计无效，以下项目没有有效数值（图上显示为“---”）：";
inline constexpr const char* kSaveAnyway = "仍要保存报告吗？这些项目在报告中写作“---”。";

class GraphicFlybackDialog : public ui::Dialog, public form::DesignKeeper {
public:
    enum : int { kSave = 1346, kBackground = 1347, kFont = 1348, kProgress = 124 };
    // The display-font dialog the font command opens.
    explicit GraphicFlybackDialog(ui::Dialog* parent);

    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    void onOk() override { save(); }
    void onCancel() override { close(); }
    void onPaint(ui::Canvas& c) override;
    void onLButtonUp(int x, int y) override;
    void onTimer(int id) override;

    // Returns whether no error message was shown.
    bool recalculate(Derive how);
    // The report, naming the design file when there is one.
    void save();

    // The design kept as a file: the inputs by their names in the record, the
    // report's results for reading, and the parameter dialog closed last, whose
    // recalculation opening runs again.
    ui::Dialog& designWindow() override { return *this; }
    std::variant<form::Design, std::string> currentDesign() override;
    std::optional<std::string> misfit(const form::Design& d) override;
    void restore(const form::Design& d) override;
    std::vector<ui::SysMenuItem> windowMenu() const override;
    void onSysCommand(int id) override;

    FlybackDesign design;
    // The transformer's losses and rise as the last recalculation left them.
    magnetics::WindowLoss loss;
    std::string clickText;
    int progress = 0;
    bool animating = false;
    int lastDialog = 0; // template of the parameter dialog of the last click on a part; 0 for none

private:
    static const ui::MessageEntry<GraphicFlybackDialog> kMessageMap[];
    void onBackground();
    void onFont();
};

// Registers the graphical flyback window.
void registerWindows();

} // namespace kv::graphic
