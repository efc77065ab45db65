#include "pfc_designer/InductorLossCalc.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace k7350 {

namespace km = kv::magnetics;

namespace {

bool finitePositive(double v) { return std::isfinite(v) && v > 0; }

InductorLoss blankFor(LossBlank why, std::string_view material) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    InductorLoss out;
    out.blank = why;
    out.material = material;
    out.loss.coreLoss = out.loss.copperLoss = out.loss.total = out.loss.rise = out.loss.coreTempC = nan;
    return out;
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3g", v);
    return buf;
}

} // namespace

km::MagneticDesign boostInductorMagnetic(const InductorLossInputs& in, double vrms) {
    km::MagneticDesign d;
    d.material = in.material;
    d.shape = in.shape;
    d.ve = in.ML * 1e-3 * in.AE * 1e-4;
    km::TmBoost op;
    op.vrms = vrms;
    op.vout = in.spec.Vout;
    op.pin = in.Pin;
    op.inductance = in.trueL * 1e-3;
    op.turns = in.turns;
    op.ae = in.AE * 1e-4;
    d.tmBoost = op;
    d.ambientC = in.ambient;
    return d;
}

InductorLoss boostInductorLoss(const InductorLossInputs& in) {
    const bool results = given(in.trueL) && std::isfinite(in.trueL) && finitePositive(in.Pin) &&
                         finitePositive(in.turns) && finitePositive(in.AE) && in.AE <= kMaxCoreArea &&
                         finitePositive(in.ML) && in.ML <= kMaxPathLength;
    if (!results) return blankFor(LossBlank::Results, in.material);
    if (in.material.empty()) return blankFor(LossBlank::Material, in.material);
    if (in.shape.empty()) return blankFor(LossBlank::Shape, in.material);
    if (!std::isfinite(in.ambient)) return blankFor(LossBlank::Ambient, in.material);

    InductorLoss worst = blankFor(LossBlank::Model, in.material);
    for (double line : {in.spec.Vin_min, in.spec.Vin_max}) {
        km::MagneticLossResult r = km::magneticLoss(boostInductorMagnetic(in, line));
        if (r.reason != km::Reason::None) {
            if (worst.refusedLine == 0) {
                worst.refusedLine = line;
                worst.refused = r.reason;
            }
            continue;
        }
        r.copperLoss = std::numeric_limits<double>::quiet_NaN();
        if (worst.blank != LossBlank::None || r.total > worst.loss.total) {
            worst.blank = LossBlank::None;
            worst.loss = r;
            worst.line = line;
        }
    }
    if (worst.blank == LossBlank::Model) {
        worst.line = worst.refusedLine;
        worst.loss.reason = worst.refused;
    }
    return worst;
}

std::string inductorLossNote(const InductorLoss& l) {
    std::string s;
    switch (l.blank) {
    case LossBlank::None:
        s = "Losses at " + number(l.line) + " V rms, core at " + number(l.loss.coreTempC) + " °C.";
        break;
    case LossBlank::Results: s = "Losses: enter the chosen inductance, the core's length and area."; break;
    case LossBlank::Material: s = "Losses: choose the core material."; break;
    case LossBlank::Shape: s = "Losses: choose the core shape (its surface gives the rise)."; break;
    case LossBlank::Ambient: s = "Losses: enter the ambient temperature."; break;
    case LossBlank::Model: s = "No losses."; break;
    }
    if (l.refusedLine > 0) {
        s += " At " + number(l.refusedLine) + " V rms " + km::describe(l.refused);
        const auto span = km::dataSpan(l.material);
        if (span && l.refused == km::Reason::FrequencyOutside)
            s += " (" + l.material + ": " + number(span->fMin / 1e3) + " to " + number(span->fMax / 1e3) + " kHz)";
        if (span && l.refused == km::Reason::TemperatureOutside)
            s += " (" + l.material + ": " + number(span->tMin) + " to " + number(span->tMax) + " °C)";
        s += ".";
    }
    return s + " No copper loss: K7350 has no winding wire for the inductor; total and rise are the core's alone.";
}

} // namespace k7350
