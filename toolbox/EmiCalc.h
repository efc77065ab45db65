// EMI filter stage and bridge-rectifier input current.
#pragma once

namespace kv::toolbox::emi {

struct FilterInputs {
    bool commonMode = true;
    float fs = 20;      // switching frequency, kHz
    float A = -24;      // wanted attenuation at fs, dB (negative)
    float Z = 50;       // test impedance, Ω
    float zeta = 0.707f; // damping factor
};

struct FilterResults {
    float fc = 0; // corner frequency, kHz
    float L = 0;  // μH
    float C = 0;  // μF: the shunt capacitor (the X capacitor in differential mode)
};

// Second-order LC stage, 40 dB per decade above fc, in single precision: the
// series inductance L and the shunt capacitance C resonate at fc. An inductor
// alone falls by only 20 dB per decade, so both modes need their capacitor.
FilterResults filter(const FilterInputs& in);

struct RectifierInputs {
    double P = 100;   // input power, W
    double Cin = 330; // reservoir capacitor, μF
    double V = 90;    // lowest mains voltage, Vrms
    double f = 50;    // mains frequency, Hz
};

struct RectifierResults {
    double x = 0;    // capacitor's lowest voltage over the mains peak
    double tc = 0;   // conduction time, s
    double Ih = 0;   // half the peak current, A
    double Ipk = 0;  // A
    double Irms = 0; // A
    float Iavg = 0;  // A, single precision
};

// The warning rule of the page: P·1.24 ≥ Cin (μF).
bool capacitorTooSmall(const RectifierInputs& in);

// Bridge rectifier with a reservoir capacitor, in double precision. When the
// capacitor cannot hold the load over a half cycle, x and the currents are NaN.
RectifierResults rectifier(const RectifierInputs& in);

} // namespace kv::toolbox::emi
