// The boost inductor's losses: the line-cycle core loss against an
// integration built from the circuit, the thermal balance, the blank
// reasons, the loss inputs in the project file and on the core panel.
#include "tests/pfc_designer/K7350Fixture.h"
#include "magnetics/CoreLoss.h"
#include "magnetics/Thermal.h"
#include "magnetics/Winding.h"
#include "pfc_designer/InductorLossCalc.h"
#include "pfc_designer/ProjectFile.h"
#include "tests/common/TempDir.h"

#include <fstream>
#include <numbers>

namespace k7350::test {
namespace {

namespace km = kv::magnetics;

// The worked example's inductor: 100 W out at 95 %, 0.5 mH, 57 turns on an
// ETD 29-like core of 0.97 cm² and 69 mm.
InductorLossInputs example(std::string_view material = "N87") {
    InductorLossInputs in;
    in.Pin = 100 / 0.95;
    in.trueL = 0.5;
    in.turns = 57;
    in.AE = 0.97;
    in.ML = 69;
    in.material = material;
    in.shape = "ETD 29/16/10";
    return in;
}

// The core loss density over a half line cycle of `vrms`, built from the
// circuit: at each angle the switch is on until the inductor current reaches
// twice the line current (the valley is zero), then the diode carries it
// down at Vout − vin; the flux swings by the volt-seconds of the on-time
// over N·Ae. Each period's iGSE loss, averaged over the angle by the
// midpoint rule. Also checks each period's frequency against K7350's curve.
double integratedDensity(const InductorLossInputs& in, double vrms, double tempC, int n = 3000) {
    const double L = in.trueL * 1e-3, ae = in.AE * 1e-4;
    std::vector<double> curve(kFreqPoints);
    frequencyCurve(vrms, in.spec.Vout, in.Pin, in.trueL, curve.data());
    double sum = 0;
    for (int j = 0; j < n; ++j) {
        const double theta = (j + 0.5) * std::numbers::pi / n;
        const double vin = std::sqrt(2.0) * vrms * std::sin(theta);
        const double ipk = 2 * std::sqrt(2.0) * in.Pin / vrms * std::sin(theta);
        const double ton = L * ipk / vin, toff = L * ipk / (in.spec.Vout - vin);
        const double f = 1 / (ton + toff);
        if (j % 300 == 0) { // K7350's own curve, sampled on its 3.14 rad grid
            const int i = int(theta / kv::services::kPi3 * kFreqPoints);
            if (i < kFreqPoints) {
                const double fK = (1 - std::sqrt(2.0) * vrms * std::sin(halfCycleAngle(i)) / in.spec.Vout) *
                                  vrms * vrms / (2 * L * in.Pin);
                EXPECT_NEAR(curve[std::size_t(i)] * 1e3, fK, 1e-9 * fK);
                EXPECT_NEAR(fK, f, 2e-3 * f) << theta;
            }
        }
        const double swing = vin * ton / (in.turns * ae);
        const km::CoreLoss c = km::coreLossDensity(in.material, km::triangle(swing, f, ton * f), tempC,
                                                   km::LowFlux::Refuse);
        sum += c.reason == km::Reason::None ? c.pv : c.outsideValue;
    }
    return sum / n;
}

TEST(BoostInductorLoss, CoreLossIsTheLineCycleAverageOfEachPeriodsLoss) {
    for (const char* material : {"N87", "3C95", "PC40", "3F3"}) {
        for (double turns : {57.0, 70.0}) {
            InductorLossInputs in = example(material);
            in.turns = turns;
            in.spec.Vin_max = 115; // both lines inside the data
            const InductorLoss l = boostInductorLoss(in);
            ASSERT_TRUE(l.shown()) << material << " " << inductorLossNote(l);
            const double ve = in.ML * 1e-3 * in.AE * 1e-4;
            const double expected = integratedDensity(in, l.line, l.loss.coreTempC) * ve;
            EXPECT_NEAR(l.loss.coreLoss, expected, 0.005 * expected) << material << " " << turns;
            // the low line, with the larger swing at every angle, is the worse
            EXPECT_EQ(l.line, in.spec.Vin_min) << material;
            EXPECT_GT(integratedDensity(in, in.spec.Vin_min, 60), integratedDensity(in, in.spec.Vin_max, 60));
        }
    }
}

TEST(BoostInductorLoss, AtOneFrequencyAndSwingTheLineAverageIsOnePeriodsLoss) {
    // The average over the line cycle of periods that never change is the
    // loss of one of them, whatever the number of samples.
    const km::TrianglePeriod periods[] = {{0.1, 100e3, 0.5}, {0.2, 60e3, 0.3}, {0.05, 200e3, 0.8}};
    for (const char* material : {"N87", "3C95", "PC40"}) {
        for (const km::TrianglePeriod& p : periods) {
            const km::CoreLoss one = km::coreLossDensity(material, km::triangle(p.swing, p.frequency, p.duty), 80);
            ASSERT_EQ(one.reason, km::Reason::None) << material << " " << p.frequency;
            for (int samples : {2, 7, 180}) {
                const km::CoreLoss avg = km::lineCycleAverage(material, [&](double) { return p; }, 80, samples);
                ASSERT_EQ(avg.reason, km::Reason::None);
                EXPECT_NEAR(avg.pv, one.pv, 1e-12 * one.pv) << material << " " << samples;
                EXPECT_EQ(avg.outsideShare, 0);
            }
        }
    }
    // a period outside the data all the cycle: outside, its value kept aside
    const km::TrianglePeriod fast{0.05, 5e6, 0.5};
    const km::CoreLoss avg = km::lineCycleAverage("N87", [&](double) { return fast; }, 80, 10);
    EXPECT_EQ(avg.reason, km::Reason::FrequencyOutside);
    EXPECT_FALSE(std::isfinite(avg.pv));
    EXPECT_EQ(avg.outsideShare, 1);
    // half the cycle at twice the loss density: the average is their mean
    const km::TrianglePeriod a{0.1, 100e3, 0.5};
    const km::CoreLoss la = km::coreLossDensity("N87", km::triangle(a.swing, a.frequency, a.duty), 80);
    const km::TrianglePeriod b{0.1 * std::pow(2.0, 1 / km::rangeFor("N87", 100e3)->beta), 100e3, 0.5};
    const km::CoreLoss half = km::lineCycleAverage(
        "N87", [&](double theta) { return theta < std::numbers::pi / 2 ? a : b; }, 80, 100);
    EXPECT_NEAR(half.pv, 1.5 * la.pv, 1e-9 * la.pv);
    // a period that is no period refuses the whole
    EXPECT_EQ(km::lineCycleAverage("N87", [](double) { return km::TrianglePeriod{0.1, 0, 0.5}; }, 80, 10).reason,
              km::Reason::BadInput);
}

TEST(BoostInductorLoss, MoreTurnsLowerTheSwingAndTheLossByTheSteinmetzExponent) {
    // Doubling the turns halves every period's swing at the same frequencies:
    // within one fitted range the loss falls by 2^β whatever the waveform.
    InductorLossInputs in = example("3C95");
    const double ve = in.ML * 1e-3 * in.AE * 1e-4;
    const km::MagneticDesign d1 = boostInductorMagnetic(in, 90);
    in.turns *= 2;
    const km::MagneticDesign d2 = boostInductorMagnetic(in, 90);
    const km::CoreLoss a = km::tmBoostLineAverage("3C95", *d1.tmBoost, 60);
    const km::CoreLoss b = km::tmBoostLineAverage("3C95", *d2.tmBoost, 60);
    ASSERT_EQ(a.reason, km::Reason::None);
    const km::LossRange* r = km::rangeFor("3C95", 60e3);
    ASSERT_NE(r, nullptr);
    const double pa = a.reason == km::Reason::None ? a.pv : a.outsideValue;
    const double pb = b.reason == km::Reason::None ? b.pv : b.outsideValue;
    // every angle of this design runs in one range (about 50 to 200 kHz)
    EXPECT_NEAR(pa / pb, std::pow(2.0, r->beta), 0.02 * std::pow(2.0, r->beta));
    EXPECT_GT(pa * ve, 0);
}

TEST(BoostInductorLoss, TheRiseHoldsTheCoreAtAmbientPlusRthTimesTheTotal) {
    for (double ambient : {25.0, 40.0, 60.0}) {
        InductorLossInputs in = example();
        in.ambient = ambient;
        const InductorLoss l = boostInductorLoss(in);
        ASSERT_TRUE(l.shown());
        const double rth = km::thermalResistance(km::findShape("ETD 29/16/10")->surface);
        EXPECT_NEAR(l.loss.rise, rth * l.loss.total, 1e-12);
        EXPECT_NEAR(l.loss.coreTempC, ambient + l.loss.rise, 0.05);
        // no winding wire: copper blank, the total is the core's
        EXPECT_FALSE(std::isfinite(l.loss.copperLoss));
        EXPECT_EQ(l.loss.total, l.loss.coreLoss);
    }
    // a larger set of the same core volume sheds the same loss cooler
    InductorLossInputs small = example(), large = example();
    large.shape = "ETD 44/22/15";
    EXPECT_LT(boostInductorLoss(large).loss.rise, boostInductorLoss(small).loss.rise);
}

TEST(BoostInductorLoss, BlankFiguresSayWhatIsMissing) {
    const std::string copper = "No copper loss: K7350 has no winding wire for the inductor";
    struct Case {
        InductorLossInputs in;
        LossBlank blank;
        std::string says;
    };
    std::vector<Case> cases;
    auto add = [&](auto change, LossBlank b, std::string says) {
        InductorLossInputs in = example();
        change(in);
        cases.push_back({in, b, std::move(says)});
    };
    add([](auto& in) { in.trueL = 0; }, LossBlank::Results, "enter the chosen inductance, the core's length and area");
    add([](auto& in) { in.AE = 0; }, LossBlank::Results, "enter the chosen inductance");
    add([](auto& in) { in.ML = kMaxPathLength * 2; }, LossBlank::Results, "enter the chosen inductance");
    add([](auto& in) { in.turns = NAN; }, LossBlank::Results, "enter the chosen inductance");
    add([](auto& in) { in.material = ""; }, LossBlank::Material, "choose the core material");
    add([](auto& in) { in.shape = ""; }, LossBlank::Shape, "choose the core shape");
    add([](auto& in) { in.ambient = NAN; }, LossBlank::Ambient, "enter the ambient temperature");
    // both lines at a high mains: the zero crossings run above 500 kHz
    add([](auto& in) { in.spec.Vin_min = 230, in.material = "PC40"; }, LossBlank::Model,
        "No losses. At 230 V rms the frequency is outside the material's loss data (PC40: ");
    // a hot ambient: the core would run above the data's temperatures
    add([](auto& in) { in.ambient = 119; }, LossBlank::Model, "No losses. At 90 V rms the ");
    add([](auto& in) { in.ambient = 119; }, LossBlank::Model, " is outside the material's loss data");
    for (const Case& c : cases) {
        const InductorLoss l = boostInductorLoss(c.in);
        EXPECT_EQ(l.blank, c.blank) << c.says;
        for (double v : {l.loss.coreLoss, l.loss.copperLoss, l.loss.total, l.loss.rise})
            EXPECT_FALSE(std::isfinite(v)) << c.says;
        const std::string note = inductorLossNote(l);
        EXPECT_NE(note.find(c.says), std::string::npos) << note;
        EXPECT_NE(note.find(copper), std::string::npos) << note;
    }
    // the high line alone outside the data: the low line's figures, the high line named
    const InductorLoss l = boostInductorLoss(example());
    ASSERT_TRUE(l.shown());
    EXPECT_EQ(l.line, 90);
    EXPECT_EQ(l.refusedLine, 264);
    EXPECT_EQ(l.refused, km::Reason::FrequencyOutside);
    EXPECT_EQ(inductorLossNote(l).rfind("Losses at 90 V rms, core at ", 0), 0u) << inductorLossNote(l);
}

// ---- on the core panel and in the project file ---------------------------------------

int ringIndex(int p, int c, const std::string& item) {
    const auto& items = panel(hp[p])->find(c)->def.items;
    for (std::size_t k = 0; k < items.size(); ++k)
        if (items[k] == item) return int(k);
    return -1;
}

class InductorLossPanel : public K7350 {
protected:
    kv::test::TempDir dir;
    // Steps 1 and 2 of the worked example, the core panel with a core typed.
    void openCore() {
        walkChain(1);
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CHOKE);
        set(PANEL_CORE, CORE_ML, 69);
        set(PANEL_CORE, CORE_AE, 0.97);
        set(PANEL_CORE, CORE_GAP, 1);
    }
    static std::string lossNote() { return words(panel(hp[PANEL_CORE])->find(CORE_LOSSNOTE)->caption); }
};

TEST_F(InductorLossPanel, TheRingsOfferTheMaterialsAndShapesTheModelsKnow) {
    runWith([&] {
        const auto& materials = panel(hp[PANEL_CORE])->find(CORE_MATERIAL)->def.items;
        ASSERT_EQ(materials.size(), 10u);
        EXPECT_EQ(materials[0], "not chosen");
        for (std::size_t k = 1; k < materials.size(); ++k) EXPECT_TRUE(km::knownMaterial(materials[k])) << materials[k];
        for (const char* m : {"N87", "3C90", "3C94", "3C95", "3C96", "3F3", "3F4", "PC40", "PC47"})
            EXPECT_GT(ringIndex(PANEL_CORE, CORE_MATERIAL, m), 0) << m;
        const auto& shapes = panel(hp[PANEL_CORE])->find(CORE_SHAPE)->def.items;
        EXPECT_GT(shapes.size(), 50u);
        for (std::size_t k = 1; k < shapes.size(); ++k) {
            const km::ShapeGeometry* g = km::findShape(shapes[k]);
            ASSERT_NE(g, nullptr) << shapes[k];
            EXPECT_NE(g->leg, km::Leg::None) << shapes[k];
            EXPECT_GT(g->surface, 0) << shapes[k];
        }
        EXPECT_EQ(val(PANEL_CORE, CORE_AMBIENT), kLossAmbient);
    });
}

TEST_F(InductorLossPanel, FiguresFollowTheInputsAndTheProjectKeepsThem) {
    const std::string file = (dir.path() / "loss.ini").string();
    double core = 0, rise = 0;
    runWith([&] {
        openCore();
        EXPECT_EQ(text(PANEL_CORE, CORE_CORELOSS), "---");
        EXPECT_NE(lossNote().find("choose the core material"), std::string::npos) << lossNote();
        set(PANEL_CORE, CORE_MATERIAL, ringIndex(PANEL_CORE, CORE_MATERIAL, "N87"));
        EXPECT_NE(lossNote().find("choose the core shape"), std::string::npos) << lossNote();
        set(PANEL_CORE, CORE_SHAPE, ringIndex(PANEL_CORE, CORE_SHAPE, "ETD 29/16/10"));
        set(PANEL_CORE, CORE_AMBIENT, 50);
        core = val(PANEL_CORE, CORE_CORELOSS);
        rise = val(PANEL_CORE, CORE_RISE);
        // the panel's own design, worked out here
        InductorLossInputs in;
        in.spec = dv.spec();
        in.Pin = dv.Pin;
        in.trueL = 0.5;
        in.turns = wholeTurns(dv.Np);
        in.AE = 0.97;
        in.ML = 69;
        in.material = "N87";
        in.shape = "ETD 29/16/10";
        in.ambient = 50;
        const InductorLoss l = boostInductorLoss(in);
        ASSERT_TRUE(l.shown());
        EXPECT_EQ(core, l.loss.coreLoss);
        EXPECT_EQ(rise, l.loss.rise);
        EXPECT_EQ(val(PANEL_CORE, CORE_TOTALLOSS), core);
        EXPECT_FALSE(std::isfinite(val(PANEL_CORE, CORE_COPPERLOSS)));
        EXPECT_GT(core, 0.1);
        EXPECT_LT(core, 2);
        EXPECT_NE(lossNote().find("Losses at 90 V rms"), std::string::npos) << lossNote();
        // more area, fewer turns and volume: the figures move
        set(PANEL_CORE, CORE_AE, 1.25);
        EXPECT_NE(val(PANEL_CORE, CORE_CORELOSS), core);
        set(PANEL_CORE, CORE_AE, 0.97);
        EXPECT_EQ(val(PANEL_CORE, CORE_CORELOSS), core);
        press(PANEL_CORE, CORE_CLOSE);
        press(PANEL_IND, IND_CLOSE);
        host.backend.files = {file};
        press(PANEL_MAIN, MAIN_SAVE);
    });
    // the inputs go after the slots, as ring indices and °C
    std::ifstream in(file);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    ASSERT_EQ(v.size(), std::size_t(kSlots + 2 + kMoreValues));
    EXPECT_EQ(v[kSlots + 2 + MORE_AMBIENT], 50);
    EXPECT_GT(v[kSlots + 2 + MORE_MATERIAL], 0);
    EXPECT_GT(v[kSlots + 2 + MORE_SHAPE], 0);
    resetProgram();
    runWith([&] {
        host.backend.files = {file};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(val(PANEL_CORE, CORE_AMBIENT), 50);
        EXPECT_EQ(val(PANEL_CORE, CORE_MATERIAL), ringIndex(PANEL_CORE, CORE_MATERIAL, "N87"));
        EXPECT_EQ(val(PANEL_CORE, CORE_SHAPE), ringIndex(PANEL_CORE, CORE_SHAPE, "ETD 29/16/10"));
        EXPECT_EQ(val(PANEL_CORE, CORE_CORELOSS), core);
        EXPECT_EQ(val(PANEL_CORE, CORE_RISE), rise);
    });
}

TEST_F(InductorLossPanel, AFileWithNoSuchMaterialOrShapeLeavesTheLossBlank) {
    const std::string file = (dir.path() / "odd.ini").string();
    runWith([&] {
        openCore();
        set(PANEL_CORE, CORE_MATERIAL, 1);
        set(PANEL_CORE, CORE_SHAPE, 1);
        press(PANEL_CORE, CORE_CLOSE);
        press(PANEL_IND, IND_CLOSE);
        host.backend.files = {file};
        press(PANEL_MAIN, MAIN_SAVE);
    });
    std::vector<double> v;
    {
        std::ifstream in(file);
        for (double x; in >> x;) v.push_back(x);
    }
    ASSERT_EQ(v.size(), std::size_t(kSlots + 2 + kMoreValues));
    for (double material : {10.0, 1e9, -1.0, 0.5}) {
        v[kSlots + 2 + MORE_MATERIAL] = material;
        {
            std::ofstream out(file);
            for (double x : v) out << x << "\n";
        }
        resetProgram();
        runWith([&] {
            host.backend.files = {file};
            press(PANEL_MAIN, MAIN_LOAD);
            EXPECT_EQ(text(PANEL_CORE, CORE_CORELOSS), "---") << material;
            EXPECT_NE(lossNote().find("choose the core material"), std::string::npos) << lossNote();
        });
    }
}

TEST_F(InductorLossPanel, AnOlderFileLoadsWithTheLossBlankAndSaysWhy) {
    const std::string data = KV_SOURCE_DIR "/tests/pfc_designer/data/";
    runWith([&] {
        // a material, shape and ambient chosen before: an older file starts them afresh
        openCore();
        set(PANEL_CORE, CORE_MATERIAL, 1);
        set(PANEL_CORE, CORE_SHAPE, 1);
        set(PANEL_CORE, CORE_AMBIENT, 70);
        EXPECT_NE(text(PANEL_CORE, CORE_CORELOSS), "---");
        press(PANEL_CORE, CORE_CLOSE);
        press(PANEL_IND, IND_CLOSE);
        host.backend.files = {data + "old-250W.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "old-250W.ini");
        EXPECT_EQ(val(PANEL_CORE, CORE_MATERIAL), 0);
        EXPECT_EQ(val(PANEL_CORE, CORE_SHAPE), 0);
        EXPECT_EQ(val(PANEL_CORE, CORE_AMBIENT), kLossAmbient);
        for (int c : {CORE_CORELOSS, CORE_COPPERLOSS, CORE_TOTALLOSS, CORE_RISE})
            EXPECT_EQ(text(PANEL_CORE, c), "---") << c;
        // the core typed before stays (that file has none), the material is asked for
        EXPECT_EQ(val(PANEL_CORE, CORE_AE), 0.97);
        EXPECT_NE(lossNote().find("Losses: choose the core material."), std::string::npos) << lossNote();
    });
}

} // namespace
} // namespace k7350::test
