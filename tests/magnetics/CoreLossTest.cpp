// Core loss: each material's fit against its data points, the iGSE against
// the plain Steinmetz equation and its own invariants, the range checks.
#include "magnetics/CoreLoss.h"
#include "tests/magnetics/CsvRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace kv::magnetics {
namespace {

using test::readCsv;

const LossRange* rangeNamed(const std::string& material, const std::string& kHz) {
    const auto dash = kHz.find('-');
    const double lo = std::stod(kHz.substr(0, dash)) * 1e3, hi = std::stod(kHz.substr(dash + 1)) * 1e3;
    for (const auto& r : lossRanges()) {
        if (material == r.material && std::abs(r.fMin - lo) < 1 && std::abs(r.fMax - hi) < 1)
            return &r;
    }
    return nullptr;
}

// A sine of peak b as `n` straight pieces.
Waveform sine(double bPeak, double f, int n) {
    Waveform w;
    for (int i = 0; i <= n; ++i)
        w.push_back({i / (n * f), bPeak * std::sin(2 * std::numbers::pi * i / n)});
    w.back().v = w.front().v;
    return w;
}

LossRange synthetic(double alpha, double beta) {
    return LossRange{"X", 1, 1e9, 0, 1, -100, 300, 1.0, alpha, beta, 0, 0, 0, 0, 0, 1};
}

struct LossPoint {
    std::string material, range, kind, waveform, source;
    double f, b, t, pv, duty;
};

std::vector<LossPoint> lossPoints() {
    std::vector<LossPoint> out;
    for (const auto& p : readCsv("data/core_loss_points.csv")) {
        const bool triangle = p.at("waveform") == "triangle";
        out.push_back({p.at("material"), p.at("fit_range_kHz"), p.at("kind"), p.at("waveform"), p.at("source"),
                       std::stod(p.at("f_Hz")), std::stod(p.at("B_mT")) / 1e3, std::stod(p.at("T_C")),
                       std::stod(p.at("Pv_kW_m3")) * 1e3, triangle ? std::stod(p.at("duty")) : 0.0});
    }
    return out;
}

bool fitted(const LossPoint& p) {
    return p.range != "outside";
}

// ±15 % on at least 90 % of the points, none beyond ±30 %.
void expectRule(const std::string& material, const std::vector<double>& errs) {
    ASSERT_FALSE(errs.empty()) << material;
    int within = 0;
    for (double e : errs) {
        within += std::abs(e) <= 0.15;
        EXPECT_LE(std::abs(e), 0.30) << material;
    }
    EXPECT_GE(within, 0.9 * errs.size()) << material;
}

TEST(CoreLossFit, EveryMaterialMeetsTheRuleAtItsMeasuredSinePoints) {
    // Judged on the measured points where a material has them; a material
    // with no measured point at all is judged on the published fits it was
    // fitted to, which only says the table reproduces them.
    std::map<std::string, std::vector<double>> measured, published;
    std::set<std::string> anyMeasured;
    for (const auto& p : lossPoints()) {
        if (!fitted(p) || p.kind == "maker-max")
            continue;
        const LossRange* r = rangeNamed(p.material, p.range);
        ASSERT_NE(r, nullptr) << p.material << " " << p.range;
        if (p.kind == "measured")
            anyMeasured.insert(p.material);
        if (p.waveform != "sine")
            continue;
        const double e = steinmetz(*r, p.f, p.b, p.t) / p.pv - 1;
        (p.kind == "measured" ? measured : published)[p.material].push_back(e);
    }
    ASSERT_EQ(published.size(), 9u);
    for (const auto& [material, errs] : published) {
        if (measured.count(material))
            expectRule(material, measured.at(material));
        else if (!anyMeasured.count(material))
            expectRule(material, errs);
    }
    EXPECT_FALSE(measured.empty());
}

TEST(CoreLossFit, EveryPointSaysWhatItIs) {
    for (const auto& p : lossPoints()) {
        EXPECT_TRUE(p.kind == "measured" || p.kind == "maker-max" || p.kind == "mas-fit") << p.kind;
        EXPECT_TRUE(p.waveform == "sine" || p.waveform == "triangle") << p.waveform;
        // A point from a published fit says so; a measured one names its data set; a bound says it is one.
        const std::string says = p.kind == "mas-fit" ? "MAS fit:" : p.kind == "measured" ? "measured: MagNet"
                                                                                          : "maker maximum:";
        EXPECT_EQ(p.source.rfind(says, 0), 0u) << p.source;
        EXPECT_TRUE(p.waveform == "sine" || p.kind == "measured");
        if (p.waveform == "triangle") {
            EXPECT_GT(p.duty, 0);
            EXPECT_LT(p.duty, 1);
        }
    }
}

TEST(CoreLossFit, StaysBelowEveryMakersGuaranteedMaximum) {
    // A core set's guaranteed maximum over its volume bounds the typical
    // loss of its material from above.
    int checked = 0;
    for (const auto& p : lossPoints()) {
        if (p.kind != "maker-max")
            continue;
        const LossRange* r = fitted(p) ? rangeNamed(p.material, p.range) : nullptr;
        if (!r) {
            EXPECT_EQ(rangeFor(p.material, p.f), nullptr) << p.material << " " << p.f;
            continue;
        }
        EXPECT_LE(steinmetz(*r, p.f, p.b, p.t), p.pv * (1 + 1e-9)) << p.material << " " << p.f;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST(Igse, AgainstMeasuredTriangularFlux) {
    // The model's own use: a triangle of the measured peak, frequency and
    // duty through the one call, against the loss measured with it. The iGSE
    // holds to ±40 % for duties of 0.2 to 0.8 and to ±30 % for most points;
    // at 0.1 and 0.9 (one very steep edge) it is known to fall short.
    std::map<std::string, std::pair<int, int>> within30; // material: (within, all)
    for (const auto& p : lossPoints()) {
        if (p.waveform != "triangle" || !fitted(p))
            continue;
        const CoreLoss c = coreLossDensity(p.material, triangle(2 * p.b, p.f, p.duty), p.t);
        ASSERT_EQ(c.reason, Reason::None) << p.material << " " << p.f << " " << describe(c.reason);
        const double e = c.pv / p.pv - 1;
        if (p.duty >= 0.2 - 1e-9 && p.duty <= 0.8 + 1e-9) {
            EXPECT_LE(std::abs(e), 0.40) << p.material << " " << p.f << " D " << p.duty;
        }
        auto& [in, all] = within30[p.material];
        in += std::abs(e) <= 0.30;
        ++all;
    }
    EXPECT_FALSE(within30.empty());
    for (const auto& [material, count] : within30)
        EXPECT_GE(count.first, 0.7 * count.second) << material;
}

TEST(CoreLossFit, PowerFerritesLoseLeastNearTheirWorkingTemperature) {
    // At 100 kHz, 100 mT every power ferrite of the table loses less at 80 °C than at 25 °C.
    for (const auto& m : readCsv("data/materials.csv")) {
        const LossRange* r = rangeFor(m.at("material"), 100e3);
        ASSERT_NE(r, nullptr) << m.at("material");
        EXPECT_LT(steinmetz(*r, 100e3, 0.1, 80), steinmetz(*r, 100e3, 0.1, 25)) << m.at("material");
    }
}

TEST(CoreLossFit, CoversEveryMaterialOfTheCoreTableAndRecordsItsError) {
    for (const auto& m : readCsv("data/materials.csv"))
        EXPECT_TRUE(knownMaterial(m.at("material"))) << m.at("material");
    EXPECT_FALSE(knownMaterial("N27"));
    for (const auto& r : lossRanges()) {
        EXPECT_LT(r.fMin, r.fMax);
        EXPECT_LT(r.bMin, r.bMax);
        EXPECT_LE(r.measured, r.points);
        // Where nothing measured pulls the fit away, it reproduces the published fits.
        if (r.measured == 0) {
            EXPECT_LE(r.largestError, 0.30) << r.material;
            EXPECT_GE(r.shareWithin15, 0.90) << r.material;
        }
        // The temperature curve is 1 at 25 °C and stays positive over the data.
        EXPECT_NEAR(temperatureFactor(r, 25), 1.0, 1e-12);
        for (double t = r.tMin; t <= r.tMax; t += 5)
            EXPECT_GT(temperatureFactor(r, t), 0) << r.material;
    }
}

TEST(Igse, SineEqualsThePlainSteinmetzEquation) {
    for (const auto& r : lossRanges()) {
        const double f = std::sqrt(r.fMin * r.fMax), b = (r.bMin + r.bMax) / 2;
        const double ratio = igse(r, sine(b, f, 4000), 100) / steinmetz(r, f, b, 100);
        EXPECT_NEAR(ratio, 1.0, 2e-3) << r.material << " " << r.fMin;
    }
}

TEST(Igse, SymmetricTriangleAgainstSineHasTheKnownRatio) {
    // α = 1: loss per cycle depends on the swing alone (hysteresis), so the
    // shape does not matter. α = 2: loss goes with the mean square of dB/dt,
    // (4fB)² for the triangle and (2πfB)²/2 for the sine: a ratio of 8/π².
    const double f = 1e5, b = 0.1;
    const auto one = synthetic(1, 2.5), two = synthetic(2, 2.5);
    EXPECT_NEAR(igse(one, triangle(2 * b, f, 0.5), 25) / steinmetz(one, f, b, 25), 1.0, 1e-9);
    EXPECT_NEAR(igse(two, triangle(2 * b, f, 0.5), 25) / steinmetz(two, f, b, 25),
                8 / (std::numbers::pi * std::numbers::pi), 1e-9);
    // α = 2 directly: mean of (dB/dt)² over a sine against the triangle's.
    EXPECT_NEAR(igse(two, sine(b, f, 20000), 25) / igse(two, triangle(2 * b, f, 0.5), 25),
                std::pow(2 * std::numbers::pi * f * b, 2) / 2 / std::pow(4 * f * b, 2), 1e-5);
}

TEST(Igse, TriangleInvariants) {
    const LossRange& r = *rangeFor("N87", 100e3);
    const double db = 0.2, f = 100e3;
    const double half = igse(r, triangle(db, f, 0.5), 100);
    // The same triangle run backwards loses the same.
    EXPECT_NEAR(igse(r, triangle(db, f, 0.2), 100), igse(r, triangle(db, f, 0.8), 100), 1e-9 * half);
    // An unequal triangle has a steeper edge: it loses more than the symmetric one (α > 1).
    EXPECT_GT(igse(r, triangle(db, f, 0.2), 100), half);
    // Twice the frequency, same shape: 2^α times the loss per second.
    EXPECT_NEAR(igse(r, triangle(db, 2 * f, 0.5), 100) / half, std::pow(2.0, r.alpha), 1e-9);
    // With α = 1 the duty does not matter.
    const auto one = synthetic(1, 2.5);
    EXPECT_NEAR(igse(one, triangle(db, f, 0.1), 25), igse(one, triangle(db, f, 0.5), 25), 1e-9);
}

TEST(Igse, FlatPartsLoseNothing) {
    // The same edges with a dwell at each end: the energy per cycle is the
    // same, so the power falls with the longer period.
    const LossRange& r = *rangeFor("3C95", 100e3);
    const double tr = 3e-6, tf = 4e-6;
    const double tight = igse(r, trapezoid(0.2, tr + tf, tr, 0, tf), 80);
    const double loose = igse(r, trapezoid(0.2, 10e-6, tr, 1.5e-6, tf), 80);
    EXPECT_NEAR(loose * 10e-6 / (tight * (tr + tf)), 1.0, 1e-9);
    EXPECT_EQ(igse(r, Waveform{{0, 0.1}, {1e-5, 0.1}}, 80), 0.0);
}

TEST(CoreLossDensity, InsideTheDataGivesTheIgseValue) {
    const auto flux = triangle(0.2, 100e3, 0.4);
    const CoreLoss c = coreLossDensity("N87", flux, 100);
    EXPECT_EQ(c.reason, Reason::None);
    EXPECT_NEAR(c.pv, igse(*rangeFor("N87", 100e3), flux, 100), 1e-9 * c.pv);
    // Triangular flux of 0.2 T swing at 100 kHz: a few hundred kW/m³ near 100 °C.
    EXPECT_GT(c.pv, 50e3);
    EXPECT_LT(c.pv, 500e3);
}

TEST(CoreLossDensity, OutsideTheDataSaysWhichAndNeverGivesAPlainValue) {
    struct Case {
        const char* material;
        Waveform flux;
        double temp;
        Reason why;
    };
    const Case cases[] = {
        {"3C90", triangle(0.2, 25e3, 0.5), 100, Reason::FrequencyOutside}, // 3C90 data start at 50 kHz
        {"N87", triangle(0.2, 1e6, 0.5), 100, Reason::FrequencyOutside},
        {"N87", triangle(0.6, 100e3, 0.5), 100, Reason::FluxOutside},     // 300 mT peak
        {"N87", triangle(0.02, 100e3, 0.5), 100, Reason::FluxOutside},    // 10 mT peak
        {"PC40", triangle(0.2, 100e3, 0.5), 140, Reason::TemperatureOutside},
        {"PC40", triangle(0.2, 100e3, 0.5), 0, Reason::TemperatureOutside},
    };
    for (const auto& c : cases) {
        const CoreLoss r = coreLossDensity(c.material, c.flux, c.temp);
        EXPECT_EQ(r.reason, c.why) << c.material;
        EXPECT_TRUE(std::isnan(r.pv));
        EXPECT_GT(r.outsideValue, 0);
        EXPECT_STRNE(describe(r.reason), "");
    }
    EXPECT_EQ(coreLossDensity("N27", triangle(0.2, 100e3, 0.5), 100).reason, Reason::UnknownMaterial);
    EXPECT_EQ(coreLossDensity("N87", Waveform{{0, 0}}, 100).reason, Reason::BadInput);
    EXPECT_EQ(coreLossDensity("N87", Waveform{{0, 0}, {1e-5, 0.1}}, 100).reason, Reason::BadInput);
    EXPECT_EQ(coreLossDensity("N87", triangle(0.2, 100e3, 0.5), NAN).reason, Reason::BadInput);
}

TEST(CoreLossDensity, BelowTheDataAnUpperBoundWhenAsked) {
    // 10 mT peak at 100 kHz in N87, below the data's lowest flux.
    const auto flux = triangle(0.02, 100e3, 0.3);
    const LossRange& r = *rangeFor("N87", 100e3);
    ASSERT_GT(r.bMin, 0.01);
    const CoreLoss refused = coreLossDensity("N87", flux, 80);
    EXPECT_EQ(refused.reason, Reason::FluxOutside);
    const CoreLoss bound = coreLossDensity("N87", flux, 80, LowFlux::UpperBound);
    EXPECT_EQ(bound.reason, Reason::None);
    EXPECT_TRUE(bound.bound);
    // The loss of the same shape at the lowest flux of the data, which is
    // above what the fit gives at 10 mT, and a plain value inside the data.
    const CoreLoss atLowest = coreLossDensity("N87", triangle(2 * r.bMin * 1.000001, 100e3, 0.3), 80);
    EXPECT_EQ(atLowest.reason, Reason::None);
    EXPECT_NEAR(bound.pv, atLowest.pv, 1e-5 * atLowest.pv);
    EXPECT_GT(bound.pv, refused.outsideValue);
    // Inside the data the option changes nothing; a flux that does not move loses nothing.
    const CoreLoss inside = coreLossDensity("N87", triangle(0.2, 100e3, 0.3), 80, LowFlux::UpperBound);
    EXPECT_FALSE(inside.bound);
    EXPECT_EQ(inside.pv, coreLossDensity("N87", triangle(0.2, 100e3, 0.3), 80).pv);
    const CoreLoss still = coreLossDensity("N87", Waveform{{0, 0.1}, {1e-5, 0.1}}, 80, LowFlux::UpperBound);
    EXPECT_EQ(still.reason, Reason::None);
    EXPECT_EQ(still.pv, 0);
    // The temperature is still checked.
    EXPECT_EQ(coreLossDensity("N87", flux, 140, LowFlux::UpperBound).reason, Reason::TemperatureOutside);
}

TmBoost pfc90V() {
    // 150 W from 90 V RMS into 400 V, 200 µH on a PQ 32/30 (Ae 161 mm²), 40 turns.
    return TmBoost{90, 400, 150, 200e-6, 40, 161e-6};
}

TEST(TmBoost, LineAverageLiesBetweenItsExtremesAndFollowsThePhysics) {
    const TmBoost op = pfc90V();
    const CoreLoss avg = tmBoostLineAverage("N87", op, 100);
    ASSERT_EQ(avg.reason, Reason::None) << describe(avg.reason);
    // At the crest: the largest swing at the lowest frequency.
    const double vpk = std::sqrt(2.0) * op.vrms;
    const double ton = 2 * op.inductance * op.pin / (op.vrms * op.vrms);
    const double fCrest = 1 / (ton + ton * vpk / (op.vout - vpk));
    const double dbCrest = op.inductance * 2 * std::sqrt(2.0) * op.pin / op.vrms / (op.turns * op.ae);
    const double crest = igse(*rangeFor("N87", fCrest), triangle(dbCrest, fCrest, ton * fCrest), 100);
    EXPECT_LT(avg.pv, crest);
    EXPECT_GT(avg.pv, 0.1 * crest);
    EXPECT_LE(avg.outsideShare, 0.05);
    // More samples change the average little: it is an integral, not a pick.
    EXPECT_NEAR(tmBoostLineAverage("N87", op, 100, 720).pv, avg.pv, 0.01 * avg.pv);
    // Fewer turns: a larger swing everywhere, so more loss.
    TmBoost fewer = op;
    fewer.turns *= 0.75;
    EXPECT_GT(tmBoostLineAverage("N87", fewer, 100).pv, avg.pv);
}

TEST(TmBoost, RefusesWhatIsNotABoostOrLeavesTheData) {
    TmBoost low = pfc90V();
    low.vout = 100; // below the line peak
    EXPECT_EQ(tmBoostLineAverage("N87", low, 100).reason, Reason::BadInput);
    TmBoost none = pfc90V();
    none.turns = 0;
    EXPECT_EQ(tmBoostLineAverage("N87", none, 100).reason, Reason::BadInput);
    // A small inductor runs at a few MHz near the zero crossings and far above
    // N87's data at the crest: said so, with the share that is outside.
    TmBoost fast = pfc90V();
    fast.inductance = 5e-6;
    fast.turns = 4;
    const CoreLoss c = tmBoostLineAverage("N87", fast, 100);
    EXPECT_EQ(c.reason, Reason::FrequencyOutside);
    EXPECT_TRUE(std::isnan(c.pv));
    EXPECT_GT(c.outsideShare, 0.05);
}

} // namespace
} // namespace kv::magnetics
