// The flyback mode chooser opens the controller designers, and their core
// picks hand Ae back through the core database.
#include "ic_designers/Ob2269Designer.h"
#include "ic_designers/QrDesigner.h"

#include "shell/Launcher.h"
#include "tests/ic_designers/IcDesignersSupport.h"

#include <gtest/gtest.h>

namespace ui = kv::ui;
using kv::ic::Ob2269Designer;
using kv::ic::QrDesigner;

namespace {

using FlybackModes = kv::test::IcDesigners;

TEST_F(FlybackModes, ChooserOpensEachDesigner) {
    auto& launcher = hb.openModeless(std::make_unique<kv::shell::LauncherDialog>(), nullptr);
    // OK untouched: mode 3, the OB2269 designer.
    hb.queueScript(253, [](ui::Dialog& d) { d.dispatch(ui::IdOk, ui::Notify::Clicked); });
    launcher.dispatch(kv::shell::LauncherDialog::kFlyback, ui::Notify::Clicked);
    ASSERT_EQ(hb.modeless().size(), 2u);
    EXPECT_NE(dynamic_cast<Ob2269Designer*>(hb.modeless().back()), nullptr);
    // Mode 4: the quasi-resonant designer.
    hb.queueScript(253, [](ui::Dialog& d) {
        d.clickRadio(1358);
        d.dispatch(ui::IdOk, ui::Notify::Clicked);
    });
    launcher.dispatch(kv::shell::LauncherDialog::kFlyback, ui::Notify::Clicked);
    ASSERT_EQ(hb.modeless().size(), 3u);
    EXPECT_NE(dynamic_cast<QrDesigner*>(hb.modeless().back()), nullptr);
    EXPECT_EQ(hb.modeless().back()->parent(), &launcher);
    EXPECT_TRUE(hb.messages.empty());
}

// Both designers: a pick puts Ae in and computes at once; a cancel leaves Ae.
template <class W>
void pickAndCancel(kv::test::IcDesigners& t, int firstResult) {
    t.copyCoreList();
    auto& w = t.open<W>();
    t.press(w, W::kCalculate);
    t.type(w, 1033, "2"); // typed since the last computation
    t.queuePick(1, 1);     // EC41, Ae 121 mm²
    t.press(w, W::kCore);
    EXPECT_EQ(w.text(W::kAe), "121");
    EXPECT_EQ(w.design.ae, 121.0f);
    EXPECT_EQ(w.text(1033), "2");
    EXPECT_EQ(w.design.io, 2.0f);
    EXPECT_NE(w.text(firstResult), "");
    EXPECT_TRUE(t.hb.messages.empty());
    const float np = w.design.np;
    // Cancelled: Ae stays, nothing is recomputed; the pick blanked the results before it ran.
    t.queueCancel();
    t.press(w, W::kCore);
    EXPECT_EQ(w.text(W::kAe), "121");
    EXPECT_EQ(w.design.np, np);
    EXPECT_EQ(w.text(firstResult), "");
    EXPECT_EQ(t.hb.opened.back(), kv::tpl::kCoreDatabase);
}

TEST_F(FlybackModes, QuasiResonantCorePick) {
    pickAndCancel<QrDesigner>(*this, 1041);
    auto& w = dynamic_cast<QrDesigner&>(*hb.modeless().back());
    // Np falls with the larger core: Np·Ae is Lp·Ipk/B, in whole turns (at
    // least, within half a turn; at most one secondary turn to spare).
    const double li = w.design.lp * w.design.ipk / w.design.b;
    EXPECT_GE((w.design.np + 0.5) * 121, li * (1 - 1e-5));
    EXPECT_LT((w.design.np - w.design.n - 0.5) * 121, li);
}

TEST_F(FlybackModes, Ob2269CorePick) { pickAndCancel<Ob2269Designer>(*this, 1088); }

} // namespace
