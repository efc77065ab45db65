// The loss group of the classic designers: the figures a window shows equal
// the loss model run on the magnetic its printed results define, built here
// from those results (turns, currents, inductance, on-time, frequency, wires)
// and the picked core; and the reasons a window shows none.
#include "designers/DcdcDesigner.h"
#include "designers/FlybackDesigner.h"
#include "form/DesignKeeper.h"
#include "designers/ForwardDesigner.h"
#include "magnetics/MagneticLoss.h"
#include "tests/designers/DesignerHarness.h"
#include "toolbox/CoreDatabase.h"
#include "toolbox/ToolPages.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;
using L = designers::LossDesigner;
namespace mag = magnetics;

namespace {

// A core of the table (data/cores.csv) as the picker hands it over.
struct Core {
    const char* type;
    const char* material;
    const char* shape;
    double ae, aw, al, le, ve; // mm², mm², nH, mm, mm³
};
constexpr Core kEtd34{"ETD34", "N87", "ETD 34/17/11", 97.1, 171, 2600, 78.6, 7630};
constexpr Core kEtd49{"ETD49", "N87", "ETD 49/25/16", 211, 332, 3900, 114, 24000};
constexpr Core kEfd20{"EFD20", "N87", "EFD 20/10/7", 31.0, 43.2, 1200, 47.0, 1460};

struct Loss : test::DesignerHarness {
    // What the picker does on OK in mode '1'.
    static void pick(L& w, const Core& c) {
        w.takeCore(float(c.ae), float(c.le));
        w.setCoreName(std::string("磁芯:") + c.type);
        w.takeTableCore(mag::tableCore(c.type, c.material, c.ae, c.aw, c.al, c.le, c.ve));
    }
    // A 36 W, 12 V flyback at 65 kHz.
    static void type36W(designers::DesignerFrame& w) {
        type(w, {{"Po", 36}, {"Vo", 12}, {"Eff", 82}, {"VacMin", 85}, {"VacMax", 265}, {"Vswm", 650}, {"Vswr", 100},
                 {"f", 65}, {"Vdf", 0.7}, {"r", 0.4}, {"Cmil", 500}, {"Vopp", 120}, {"Bpk", 2200}});
    }
    static double figure(const L& w, int id) { return std::stod(w.text(id)); }
    // The four figures within the three digits they are shown with.
    static void expectShown(const L& w, const mag::MagneticLossResult& r) {
        ASSERT_EQ(r.reason, mag::Reason::None);
        EXPECT_NEAR(figure(w, L::kCoreLoss), r.coreLoss, 5e-3 * r.coreLoss);
        EXPECT_NEAR(figure(w, L::kCopperLoss), r.copperLoss, 5e-3 * r.copperLoss);
        EXPECT_NEAR(figure(w, L::kTotalLoss), r.total, 5e-3 * r.total);
        EXPECT_NEAR(figure(w, L::kRise), r.rise, 5e-3 * r.rise);
        EXPECT_NEAR(r.total, r.coreLoss + r.copperLoss, 1e-9);
    }
    static void expectBlank(const L& w) {
        for (int id : {L::kCoreLoss, L::kCopperLoss, L::kTotalLoss, L::kRise}) EXPECT_EQ(w.text(id), "") << id;
    }
    // A design on `c` with its flux and windings, at 40 °C.
    static mag::MagneticDesign on(const Core& c, mag::Waveform flux, std::vector<mag::Winding> windings) {
        mag::MagneticDesign d;
        d.material = c.material;
        d.shape = c.shape;
        d.ve = c.ve * 1e-9;
        d.flux = std::move(flux);
        d.windings = std::move(windings);
        d.ambientC = 40;
        d.lowFlux = mag::LowFlux::UpperBound;
        return d;
    }
};

// A current that runs straight from `a` at t0 to `b` at t1 and is zero the
// rest of the period T.
mag::Waveform ramp(double a, double b, double t0, double t1, double T) {
    mag::Waveform w{{0, 0}};
    if (t0 > 0) w.push_back({t0, 0});
    w.insert(w.end(), {{t0, a}, {t1, b}, {t1, 0}});
    if (t1 < T) w.push_back({T, 0});
    return w;
}

} // namespace

// A 36 W, 12 V classic flyback in CCM at 65 kHz on ETD34/N87. The valley of the primary comes
// from the ripple ratio typed in (the peak is 1 + r/2 of the ramp's centre,
// the valley 1 − r/2), the flux swing from Lp·ΔI/(Np·Ae); Faraday's law on
// the printed on-time and the lowest rectified input must agree with it.
TEST_F(Loss, ClassicFlybackShowsTheLossesOfItsPrintedTransformer) {
    using F = designers::FlybackDesigner;
    F& w = open<F>();
    EXPECT_EQ(w.text(L::kAmbient), "40");
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:用户输入");
    type36W(w);
    pick(w, kEtd34);
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:ETD34 N87");
    EXPECT_EQ(num(w, "Ae"), 97.1);
    press(w, F::kVerify);
    const double np = num(w, "Np"), ns = num(w, "Ns"), lp = num(w, "Lp") * 1e-6, ipk = num(w, "Ipkp"),
                 ipks = num(w, "Ipks"), ton = num(w, "Ton") * 1e-6, T = 1e-3 / num(w, "f"), r = num(w, "r");
    const double valley = ipk * (1 - r / 2) / (1 + r / 2);
    EXPECT_NEAR(lp * (ipk - valley), 1.414 * num(w, "VacMin") * ton, 2e-3 * lp * ipk); // volt-seconds
    const double swing = lp * (ipk - valley) / (np * kEtd34.ae * 1e-6);
    const mag::MagneticDesign d =
        on(kEtd34, mag::trapezoid(swing, T, ton, 0, T - ton),
           {{np, num(w, "Dp") * 1e-3, 0, 1, ramp(valley, ipk, 0, ton, T)},
            {ns, num(w, "Ds") * 1e-3, 0, 1, ramp(ipks, valley * ipks / ipk, ton, T, T)}});
    expectShown(w, mag::magneticLoss(d));
    EXPECT_EQ(w.text(L::kLossNote), "");

    // A warmer ambient: the same losses heat the set more and the copper
    // resists more; the rise is taken above the new ambient.
    w.setText(L::kAmbient, "70");
    press(w, F::kVerify);
    mag::MagneticDesign warm = d;
    warm.ambientC = 70;
    expectShown(w, mag::magneticLoss(warm));
    EXPECT_GT(figure(w, L::kCopperLoss), mag::magneticLoss(d).copperLoss);
}

// Blank with a reason: before any results, on a typed core, after typing
// over the picked core's Ae, and at a frequency beyond the material's data.
TEST_F(Loss, BlankFiguresSayWhy) {
    using F = designers::FlybackDesigner;
    F& w = open<F>();
    EXPECT_EQ(w.text(L::kLossNote), "");
    type36W(w);
    type(w, {{"Ae", 52.5}, {"Le", 57.5}});
    press(w, F::kVerify);
    expectBlank(w);
    EXPECT_EQ(w.text(L::kLossNote), "损耗：手动输入的磁芯没有材料和形状数据，请用“选择磁芯”从磁芯库选取磁芯");

    pick(w, kEtd34);
    press(w, F::kVerify);
    EXPECT_NE(w.text(L::kCoreLoss), "");
    // Typing another Ae: the core is a typed one again.
    type(w, "Ae", 90);
    w.dispatch(w.controlOf("Ae"), ui::Notify::Changed);
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:用户输入");
    press(w, F::kVerify);
    expectBlank(w);
    EXPECT_NE(w.text(L::kLossNote).find("手动输入的磁芯"), std::string::npos);

    // N87's data end well below 2 MHz: the note names the range.
    pick(w, kEtd34);
    type(w, "f", 2000);
    press(w, F::kVerify);
    expectBlank(w);
    EXPECT_EQ(w.text(L::kLossNote).rfind("损耗：开关频率超出N87损耗数据的范围(", 0), 0u) << w.text(L::kLossNote);
    EXPECT_NE(w.text(L::kLossNote).find("kHz)"), std::string::npos);
    expectNoBadNumbers(w);

    // A change of mode clears Ae and Le, and the picked core with them.
    pick(w, kEtd34);
    w.select(F::kMode, 1);
    w.dispatch(F::kMode, ui::Notify::SelChange);
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:用户输入");
    expectBlank(w);

    // An ambient that is no number stops the calculation like any input.
    type(w, "f", 65);
    w.setText(L::kAmbient, "");
    hb.messages.clear();
    press(w, F::kVerify);
    EXPECT_FALSE(hb.messages.empty());
}

// The DC-DC buck in CCM on EFD20/N87: the inductor's current rises from its
// valley Io(1 − r/2) to Io(1 + r/2) over the printed on-time and falls back
// over the rest of the period; the flux follows it (L·i / (N·Ae)).
TEST_F(Loss, BuckInductorShowsTheLossesOfItsPrintedInductor) {
    using D = designers::DcdcDesigner;
    D& w = open<D>();
    type(w, {{"VinMin", 18}, {"VinMax", 24}, {"Vo", 12}, {"IoMax", 2}, {"f", 150}, {"r", 0.4}});
    pick(w, kEfd20);
    press(w, D::kCalculate);
    const double l = num(w, "L") * 1e-6, ipk = num(w, "Ipk"), n = num(w, "NL"), ton = num(w, "Ton") * 1e-6,
                 T = 1e-3 / num(w, "f");
    const double valley = 2 * (1 - 0.2);
    EXPECT_NEAR(ipk, 2 * (1 + 0.2), 1e-3);
    // Volt-seconds: (VinMax − Vsw − Vo)·Ton = L·ΔI.
    EXPECT_NEAR((24 - num(w, "Vsw") - 12) * ton, l * (ipk - valley), 2e-3 * l * ipk);
    const double swing = l * (ipk - valley) / (n * kEfd20.ae * 1e-6);
    const mag::Waveform current{{0, valley}, {ton, ipk}, {T, valley}};
    const mag::MagneticDesign d =
        on(kEfd20, mag::trapezoid(swing, T, ton, 0, T - ton), {{n, num(w, "DL") * 1e-3, 0, 1, current}});
    expectShown(w, mag::magneticLoss(d));
}

// The forward on ETD49/N87: the flux rises by VinMin·Ton/(Np·Ae) and resets
// over as long; both windings carry a flat current of their printed RMS over
// Dmax; the reset winding (Np turns of 30 AWG) carries next to nothing but
// takes its room in the window.
TEST_F(Loss, ForwardShowsTheLossesOfItsPrintedTransformer) {
    using W = designers::ForwardDesigner;
    W& w = open<W>();
    pick(w, kEtd49);
    press(w, W::kVerify);
    const double np = num(w, "Np"), ns = num(w, "Ns"), dmax = num(w, "Dmax"), T = 1e-3 / num(w, "f");
    const double ton = dmax * T, ip = num(w, "Irmsp") / std::sqrt(dmax), is = num(w, "Irmss") / std::sqrt(dmax);
    // The primary's flat current carries the input power at the lowest input.
    EXPECT_NEAR(ip * num(w, "VinMin") * dmax, num(w, "Vo") * num(w, "Io") / (num(w, "Eff") / 100), 1e-3 * ip * 100);
    const double swing = num(w, "VinMin") * ton / (np * kEtd49.ae * 1e-6);
    const mag::MagneticDesign d =
        on(kEtd49, mag::trapezoid(swing, T, ton, 0, std::min(ton, T - ton)),
           {{np, num(w, "Dp") * 1e-3, 0, 1, ramp(ip, ip, 0, ton, T)},
            {np, 0.255e-3, 0, 1, {{0, 0}, {T, 0}}},
            {ns, num(w, "Ds") * 1e-3, 0, 1, ramp(is, is, 0, ton, T)}});
    expectShown(w, mag::magneticLoss(d));
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:ETD49 N87");
}

// "选择磁芯(&M)" opens the core database with the adviser's column for the
// typed conditions; the picked row fills Ae and Le, names the core and the
// verify runs again with its losses.
TEST_F(Loss, PickingFromTheDatabaseAdvisesThenShowsTheLosses) {
    using F = designers::FlybackDesigner;
    using D = toolbox::CoreDatabaseDialog;
    toolbox::registerWindows();
    std::filesystem::copy_file(KV_SOURCE_DIR "/data/CoreList.xls", "CoreList.xls");
    F& w = open<F>();
    type36W(w);
    bool advised = false;
    hb.queueScript(262, [&](ui::Dialog& db) {
        const auto& picker = static_cast<const D&>(db);
        advised = db.itemCount(D::kFamily) == toolbox::kFamilyCount + 1 && !picker.advice().empty();
        db.select(D::kFamily, 8); // ETD
        db.dispatch(D::kFamily, ui::Notify::SelChange);
        db.select(D::kList, 3);   // ETD44, N87
        db.dispatch(ui::IdOk, ui::Notify::Clicked);
    });
    press(w, L::kPickCore);
    EXPECT_TRUE(advised);
    EXPECT_EQ(w.text(L::kCoreCaption), "磁芯:ETD44 N87");
    EXPECT_EQ(num(w, "Ae"), 173);
    EXPECT_EQ(num(w, "Le"), 103);
    ASSERT_NE(w.text(L::kCoreLoss), "");
    EXPECT_GT(figure(w, L::kRise), 0);
    EXPECT_EQ(w.text(L::kLossNote), "");
}

// A design file keeps the picked core with its material and the ambient: a
// fresh window opening it shows the same core and the same four figures; a
// line that is not a core is refused and the window keeps what it had.
TEST_F(Loss, ADesignFileKeepsThePickedCoreAndItsFigures) {
    using F = designers::FlybackDesigner;
    F& a = open<F>();
    type36W(a);
    pick(a, kEtd34);
    a.setText(L::kAmbient, "55");
    press(a, F::kVerify);
    ASSERT_NE(a.text(L::kCoreLoss), "");
    ASSERT_TRUE(form::saveDesign(a, "picked.kvd"));

    F& b = open<F>();
    ASSERT_TRUE(form::openDesign(b, "picked.kvd"));
    ASSERT_NE(b.core(), nullptr);
    EXPECT_EQ(b.core()->type, "ETD34");
    EXPECT_EQ(b.core()->material, "N87");
    EXPECT_EQ(b.text(L::kCoreCaption), "磁芯:ETD34 N87");
    EXPECT_EQ(b.text(L::kAmbient), "55");
    for (int id : {L::kCoreLoss, L::kCopperLoss, L::kTotalLoss, L::kRise}) EXPECT_EQ(b.text(id), a.text(id)) << id;

    // A typed core keeps none: the figures stay blank with the reason.
    F& c = open<F>();
    type36W(c);
    press(c, F::kVerify);
    ASSERT_TRUE(form::saveDesign(c, "typed.kvd"));
    ASSERT_TRUE(form::openDesign(b, "typed.kvd"));
    EXPECT_EQ(b.core(), nullptr);
    expectBlank(b);

    // Not a core: refused, naming the line, and b keeps the typed design.
    std::string text = test::readFile("picked.kvd");
    const std::size_t at = text.find("ETD34; N87;");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 11, "ETD34; N87; x;");
    test::writeFile("bad.kvd", text);
    EXPECT_FALSE(form::openDesign(b, "bad.kvd"));
    EXPECT_EQ(b.core(), nullptr);
    ASSERT_FALSE(hb.messages.empty());
    EXPECT_NE(hb.messages.back().text.find("不是磁芯"), std::string::npos) << hb.messages.back().text;
}
