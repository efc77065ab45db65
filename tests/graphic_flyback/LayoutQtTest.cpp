// The graphical flyback's texts measured in the fonts Qt draws them with: at every display
// face and size the font dialog takes, they stay inside the window, clear of each other and
// of the PWM block of the schematic.
#include "app/App.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/ui/qt/QtBackend.h"
#include "services/Settings.h"
#include "services/Templates.h"
#include "platform/ui/Template.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QFontMetrics>
#include <QRect>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv;

namespace {

// The PWM block of the schematic picture, in client pixels.
const QRect kPwmBlock(QPoint(357, 255), QPoint(409, 297));

struct Placed {
    std::string text;
    QRect ink;       // the glyphs' box as drawn
    bool display;    // in the display font of the settings
};

// Every text of one paint of the window, boxed by the metrics of its font.
std::vector<Placed> placedTexts(graphic::GraphicFlybackDialog& w) {
    std::vector<Placed> out;
    std::string face;
    int tenths = 0;
    bool display = false;
    const std::string displayFace = services::displayFontFace();
    const int displaySize = services::displayFontSize();
    for (const ui::DrawOp& op : ui::HeadlessBackend::paint(w).ops) {
        if (op.kind == ui::DrawOp::Font) {
            face = op.text, tenths = op.a;
            display = face == displayFace && tenths == displaySize;
        }
        if (op.kind != ui::DrawOp::Text || op.text.empty()) continue;
        const QFontMetrics fm(ui::fontFor(face, tenths));
        const QString t = QString::fromStdString(op.text);
        out.push_back({op.text, fm.tightBoundingRect(t).translated(op.a, op.b + fm.ascent()), display});
    }
    return out;
}

struct Layout : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Layout() {
        test::qtApp();
        ui::setBackend(&hb);
        app::registerAll();
    }
    ~Layout() override { ui::setBackend(nullptr); }
    graphic::GraphicFlybackDialog& open() {
        return static_cast<graphic::GraphicFlybackDialog&>(
            hb.openModeless(std::make_unique<graphic::GraphicFlybackDialog>(nullptr), nullptr));
    }
};

void expectClear(const std::vector<Placed>& texts, const QRect& client, const std::string& where) {
    int display = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const Placed& a = texts[i];
        if (!a.display) continue;
        ++display;
        EXPECT_TRUE(client.contains(a.ink)) << where << ": " << a.text << " leaves the window";
        EXPECT_FALSE(a.ink.intersects(kPwmBlock)) << where << ": " << a.text << " covers the PWM block";
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const Placed& b = texts[j];
            // The strike-through is drawn over the parameter it strikes on purpose.
            if (!b.display || b.text == "—————" || a.text == "—————") continue;
            // Texts drawn at the same place replace each other (the struck parameter in grey).
            if (a.ink.topLeft() == b.ink.topLeft()) continue;
            // Boxes that touch by a pixel of antialiasing do not cover each other.
            EXPECT_FALSE(a.ink.adjusted(1, 1, -1, -1).intersects(b.ink.adjusted(1, 1, -1, -1))) << where << ": \"" << a.text << "\" covers \"" << b.text << "\" " << a.ink.top() << ".." << a.ink.bottom() << " "
                << b.ink.top() << ".." << b.ink.bottom();
        }
    }
    EXPECT_GT(display, 40) << where;
}

TEST_F(Layout, DmaxAndTdieBesideThePwmBlock) {
    auto& w = open();
    w.design.Dmax = 0.414f; // as the start design of some inputs gives
    bool dmax = false;
    for (const Placed& t : placedTexts(w))
        if (t.text.rfind("Dmax:", 0) == 0 || t.text.rfind("Tdie:", 0) == 0) {
            dmax |= t.text == "Dmax:0.414";
            EXPECT_FALSE(t.ink.intersects(kPwmBlock)) << t.text;
        }
    EXPECT_TRUE(dmax);
}

// Every face at the default size and at the largest size the font dialog takes.
TEST_F(Layout, TextsFitAtEveryDisplayFontTheDialogTakes) {
    for (int face = 0; face < 4; ++face)
        for (int size : {0, 90, services::kLargestDisplayFont}) {
            services::writeFont(face, size);
            auto& w = open();
            const QRect client(0, 0, w.clientWidth(), w.clientHeight());
            expectClear(placedTexts(w), client, services::displayFontFace() + " " + std::to_string(size));
            w.dispatch(ui::IdCancel, ui::Notify::Clicked);
        }
}

// Sizes above the largest are refused by the dialog; one already in an old settings file
// is drawn at the largest.
TEST_F(Layout, SizeAboveTheLargestIsDrawnAtTheLargest) {
    services::writeFont(0, 200);
    EXPECT_EQ(services::displayFontSize(), services::kLargestDisplayFont);
}

} // namespace
