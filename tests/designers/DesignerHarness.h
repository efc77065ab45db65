// A classic designer under test: a fresh folder whose formula and interface
// files all begin with '#' (built-in labels and formulas), the headless
// backend, and the designer's fields addressed by their formula names.
#pragma once

#include "designers/DesignerFrame.h"
#include "designers/Designers.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/DesignerFiles.h"
#include "tests/common/HeadlessPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

struct DesignerHarness : HeadlessPages {
    DesignerHarness() {
        designers::registerWindows();
        for (std::string_view f : script::allScriptFiles()) writeFile(std::string(f), "#");
    }

    template <class W>
    W& open() {
        return static_cast<W&>(hb.openModeless(std::make_unique<W>(nullptr), nullptr));
    }
    // Types `value` into the edit of formula name `name`.
    static void type(designers::DesignerFrame& w, const char* name, double value) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", value);
        w.setText(w.controlOf(name), buf);
    }
    static void type(designers::DesignerFrame& w, std::initializer_list<std::pair<const char*, double>> values) {
        for (const auto& [name, v] : values) type(w, name, v);
    }
    static std::string shown(const designers::DesignerFrame& w, const char* name) { return w.text(w.controlOf(name)); }
    // The number shown for `name`; NaN when the edit holds none.
    static double num(const designers::DesignerFrame& w, const char* name) {
        const std::string t = shown(w, name);
        double v = NAN;
        return ui::parseNumber(t, v) ? v : NAN;
    }
    bool calculatingShown() const {
        for (int t : hb.opened)
            if (t == 217) return true;
        return false;
    }
    // The label the window shows now for formula name `name`.
    static std::string labelOf(const designers::DesignerFrame& w, const char* name) {
        return w.labelOf(w.controlOf(name));
    }
    // `value` typed into `name` and `button` pressed: one message, naming the
    // input by its current label, and `kept` shows what it showed. The input is put back.
    void expectRefused(designers::DesignerFrame& w, int button, const char* name, double value, const char* kept) {
        SCOPED_TRACE(std::string(name) + " = " + std::to_string(value));
        const std::string before = shown(w, name), keptText = shown(w, kept);
        type(w, name, value);
        hb.messages.clear();
        press(w, button);
        ASSERT_EQ(hb.messages.size(), 1u);
        EXPECT_NE(hb.messages[0].text.find("“" + labelOf(w, name) + "”"), std::string::npos) << hb.messages[0].text;
        EXPECT_EQ(shown(w, kept), keptText);
        w.setText(w.controlOf(name), before);
    }
    // The window paints bitmap `id` with its top-left corner at (x, y) over
    // the size of group `group`, from the bitmap grown by the margins.
    static void expectPicture(ui::Dialog& w, int id, int x, int y, int group, int marginW, int marginH) {
        const ui::RecordingCanvas c = ui::HeadlessBackend::paint(w);
        ASSERT_EQ(c.ops.size(), 1u);
        EXPECT_EQ(c.ops[0].kind, ui::DrawOp::Bitmap);
        EXPECT_EQ(c.ops[0].text, std::to_string(id));
        EXPECT_EQ(c.ops[0].a, x);
        EXPECT_EQ(c.ops[0].b, y);
        EXPECT_EQ(c.ops[0].c - c.ops[0].a, ui::dluToPxX(w.control(group)->tpl.w));
        EXPECT_EQ(c.ops[0].d - c.ops[0].b, ui::dluToPxY(w.control(group)->tpl.h));
        const ui::BitmapInfo* bmp = ui::findBitmap(id);
        ASSERT_NE(bmp, nullptr);
        EXPECT_EQ(c.ops[0].src.right, bmp->width + marginW);
        EXPECT_EQ(c.ops[0].src.bottom, bmp->height + marginH);
    }
    // No edit of the window shows "inf" or "nan".
    static void expectNoBadNumbers(const ui::Dialog& w) {
        for (const auto& c : w.controls()) {
            EXPECT_EQ(c.text.find("inf"), std::string::npos) << c.tpl.id;
            EXPECT_EQ(c.text.find("nan"), std::string::npos) << c.tpl.id;
        }
    }
};

// Relative closeness for values the designer computes in single precision.
#define EXPECT_CLOSE(actual, expected) EXPECT_NEAR((actual), (expected), std::fabs(expected) * 3e-4 + 1e-6)

} // namespace kv::test
