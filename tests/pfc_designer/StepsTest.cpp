// Steps 3 to 9: MOSFET, diode, capacitors, multiplier, ZCD, feedback and loop.
#include "tests/pfc_designer/K7350Fixture.h"

#include <algorithm>

namespace k7350::test {
namespace {

// Turn-off of a boost switch, in the time domain: the channel current falls
// linearly from I to 0 in tf, the inductor keeps I flowing, the difference
// charges the drain capacitance until the diode clamps the drain at Vout. The
// channel dissipates v·i_ch; integrated here in small steps.
double simulatedTurnOff(double I, double tf, double C, double Vout, int n = 200000) {
    const double dt = tf / n;
    double v = 0, e = 0;
    for (int k = 0; k < n; ++k) {
        const double t = (k + 0.5) * dt;
        const double ich = I * (1 - t / tf);
        const double vmid = std::min(Vout, v + (I - ich) * dt / (2 * C));
        e += vmid * ich * dt;
        v = std::min(Vout, v + (I - ich) * dt / C);
    }
    return e;
}

TEST(TurnOffEnergy, IsTheChargeOfTheDrainCapacitanceByALinearlyFallingCurrent) {
    struct Case {
        double I, tf, C, Vout;
    } cases[] = {
        {1, 20e-9, 200e-12, 400},   // the drain stays below Vout: I²·tf²/(24·Cd)
        {0.5, 50e-9, 100e-12, 400},
        {3.3, 50e-9, 100e-12, 400}, // clamped after 35 ns
        {6, 30e-9, 50e-12, 390},    // clamped early: mostly Vout·I·tf/2
        {2, 50e-9, 125e-12, 400},   // the drain reaches Vout just as the current ends
    };
    for (const Case& c : cases) {
        const double e = turnOffEnergy(c.I, c.tf, c.C, c.Vout);
        EXPECT_NEAR(e, simulatedTurnOff(c.I, c.tf, c.C, c.Vout), 1e-4 * e) << c.I;
        // never more than the unclamped charge nor than a fall at full voltage
        EXPECT_LE(e, c.I * c.I * c.tf * c.tf / (24 * c.C) * (1 + 1e-12)) << c.I;
        EXPECT_LE(e, c.Vout * c.I * c.tf / 2) << c.I;
    }
    EXPECT_NEAR(turnOffEnergy(1, 20e-9, 200e-12, 400), 1.0 * 400e-18 / (24 * 200e-12), 1e-18);
    EXPECT_EQ(turnOffEnergy(0, 50e-9, 100e-12, 400), 0);
}

// The line-cycle averages of the turn-off and the valley-switching losses,
// taken here with 400 phase samples and the simulated turn-off.
TEST(MosfetLosses, AreTheLineCycleAveragesOfTheEnergiesPerCycle) {
    struct Design {
        Spec s;
        double trueL, Ron, Tf, Cd;
    };
    // At unity power factor the currents are exactly the transition-mode ones (a lower
    // factor only raises the switched current, on the safe side).
    Spec s100, s250, s150;
    s100.PFC = s250.PFC = s150.PFC = 1;
    s250.Pout = 250; // 250 W, universal, 400 V
    s150.Pout = 150, s150.Vin_min = 85, s150.Vin_max = 265, s150.Vout = 390, s150.pwm_freq = 45;
    const Design designs[] = {{s100, 0.5, 500, 50, 100}, {s250, 0.2, 190, 25, 150}, {s150, 0.33, 280, 30, 120}};
    for (const Design& d : designs) {
        const double Pin = operatingCurrents(d.s).Pin;
        MosfetLosses l;
        mosfetLosses(d.s, Pin, d.trueL, d.Ron, d.Tf, d.Cd, l);
        for (int i : {0, 500, 999}) {
            const double V = l.in[i], ipk = 2 * std::sqrt(2.0) * Pin / (V * d.s.PFC);
            const int n = 400;
            double psw = 0, pcap = 0;
            for (int k = 0; k < n; ++k) {
                const double th = (k + 0.5) * M_PI / n, v = std::sqrt(2.0) * V * std::sin(th);
                // transition mode: on for L·i/v, off for L·i/(Vout − v), i = ipk·sinθ
                const double on = d.trueL * 1e-3 * ipk / (std::sqrt(2.0) * V);
                const double off = d.trueL * 1e-3 * ipk * std::sin(th) / (d.s.Vout - v);
                const double f = 1 / (on + off);
                psw += simulatedTurnOff(ipk * std::sin(th), d.Tf * 1e-9, d.Cd * 1e-12, d.s.Vout, 4000) * f / n;
                // the drain rings from Vout down to 2·v − Vout and is switched on there
                const double valley = 2 * v - d.s.Vout;
                if (valley > 0) pcap += 0.5 * d.Cd * 1e-12 * valley * valley * f / n;
            }
            EXPECT_NEAR(l.Psw[i], psw, 2e-3 * psw) << d.s.Pout << " W at " << V << " V";
            EXPECT_NEAR(l.Pcap[i], pcap, 2e-3 * pcap + 1e-12) << d.s.Pout << " W at " << V << " V";
        }
        // the worst case is the largest total anywhere in the mains range
        EXPECT_EQ(worstLoss(l), *std::max_element(l.Ptot.begin(), l.Ptot.end()));
    }
    MosfetLosses l{};
    l.Ptot.fill(1);
    l.Ptot[400] = 2;
    EXPECT_EQ(worstLoss(l), 2);
}

// A 250 W universal stage with 180 mΩ of sense resistance: the inductor's core and the
// multiplier's operating point, by the energy and the sense voltage they stand for.
TEST(Design250W, CoreVolumeAndOperatingPoint) {
    Spec s;
    s.Pout = 250;
    const Currents c = operatingCurrents(s);
    const double L = 0.2, Rsense = 180, imax = currentLimit(Rsense); // mH, mΩ, A
    ASSERT_LE(Rsense, maxSenseResistance(c.ILpk));
    // 0.35 T at the trip: N·B·Ae = L·I, and a core of μe = 60 stores ½·L·I² at that flux
    const double AE = 1.1, ML = 90, gap = 1.5;
    EXPECT_NEAR(turns(L, imax, AE) * kPeakFlux * AE * 1e-4, L * 1e-3 * imax, 1e-12);
    const double ve = minCoreVolume(imax, ML, gap, L) * 1e-6;
    EXPECT_NEAR(kPeakFlux * kPeakFlux * ve / (2 * 4e-7 * M_PI * ML / gap), 0.5 * L * 1e-3 * imax * imax, 1e-12);
    // the multiplier's output at the crest is the sense voltage of the inductor's peak there
    const double effKp = 0.0075;
    for (double VAC : {90.0, 115.0, 230.0, 264.0}) {
        const OperatingPoint op = operatingPoint(Rsense, s.Pout, s.effic, s.PFC, VAC, effKp);
        ASSERT_TRUE(op.ok) << VAC;
        const double ilpk = 2 * std::sqrt(2.0) * c.Pin / (s.PFC * VAC);
        EXPECT_NEAR(multiplierGain(op.V2) * std::sqrt(2.0) * VAC * effKp, Rsense * 1e-3 * ilpk, 1e-9) << VAC;
    }
}

TEST(Simpson38, ExactForCubicsAndUsesTheStepsMagnitude) {
    // 100 samples make 33 panels of three: x³ on 0 … 99h integrates exactly.
    const double h = 0.035;
    double y[100];
    for (int i = 0; i < 100; ++i) y[i] = std::pow(i * h, 3) - 2 * (i * h);
    const double X = 99 * h;
    const double exact = std::pow(X, 4) / 4 - X * X;
    EXPECT_NEAR(simpson38(y, 100, h), exact, 1e-12 * std::abs(exact) + 1e-12);
    EXPECT_EQ(simpson38(y, 100, -h), simpson38(y, 100, h));
}

TEST(OperatingPoint, NeedsAPositiveDividerAndMainsVoltage) {
    EXPECT_TRUE(operatingPoint(470, 100, 95, 0.99, 264, 0.0073).ok);
    EXPECT_FALSE(operatingPoint(470, 100, 95, 0.99, 0, 0.0073).ok);
    EXPECT_FALSE(operatingPoint(470, 100, 95, 0.99, -264, 0.0073).ok);
    EXPECT_FALSE(operatingPoint(470, 100, 95, 0.99, 264, 0).ok);
    EXPECT_FALSE(operatingPoint(470, 100, 95, 0.99, 264, NAN).ok);
    // Roots just inside 2.5 … 5.3 V qualify, just outside they do not. The multiplier's
    // output at the crest is the sense voltage: 470 mΩ times twice the line current's crest.
    const double scale = std::sqrt(2.0) * 264 * 0.0073;
    auto at = [&](double x) {
        const double ilpk = multiplierGain(x) * scale / 0.470;
        const double Po = ilpk * 0.95 * 0.99 * 264 / (2 * std::sqrt(2.0));
        return operatingPoint(470, Po, 95, 0.99, 264, 0.0073);
    };
    for (double x : {2.5 + 1e-9, 5.3 - 1e-9}) {
        ASSERT_TRUE(at(x).ok) << x;
        EXPECT_NEAR(at(x).V2, x, 1e-8);
    }
    EXPECT_FALSE(at(2.5 - 1e-6).ok);
    EXPECT_FALSE(at(5.3 + 1e-6).ok);
}

TEST_F(K7350, MosfetLossesOfTheWorkedExample) {
    runWith([&] {
        walkChain(3);
        press(PANEL_MAIN, MAIN_STEP3);
        EXPECT_EQ(val(PANEL_MOS, MOS_BRDSS), 480);
        press(PANEL_MOS, MOS_LOSSES);
        const MosfetLosses& l = lastLosses();
        EXPECT_NEAR(l.Pcond[0], 1.36, 0.005);
        // turn-off: I²·tf²/(24·Cd) per cycle, the drain clamped at Vout near the crest
        EXPECT_NEAR(l.Psw[0], 0.309, 0.0005);
        EXPECT_EQ(l.Pcap[0], 0);
        EXPECT_NEAR(l.in[999], 264 - 0.174, 1e-12);
        EXPECT_NEAR(l.Pcond[999], 0.0451, 0.00005);
        EXPECT_NEAR(l.Psw[999], 0.0932, 0.0005);
        EXPECT_NEAR(l.Pcap[999], 0.172, 0.0005);
        for (int i = 0; i < kLossPoints; ++i) // the total is the sum of its parts
            ASSERT_NEAR(l.Ptot[i], l.Pcond[i] + l.Psw[i] + l.Pcap[i], 1e-15);
        const double Pmax = val(PANEL_MOS, MOS_PMAX);
        EXPECT_NEAR(Pmax, 1.667, 0.001);
        EXPECT_EQ(Pmax, *std::max_element(l.Ptot.begin(), l.Ptot.end()));
        // the thermal resistance keeps the junction at 125 °C at 50 °C ambient
        EXPECT_NEAR(val(PANEL_MOS, MOS_RTHM) * Pmax, 125 - 50, 1e-9);
        EXPECT_NEAR(val(PANEL_MOS, MOS_RTHM), 45.0, 0.05);
        EXPECT_FALSE(dimmed(PANEL_MOS, MOS_PMAX));
        // The graph: four curves of 1000 points, the total thick and black.
        const auto& g = graph(PANEL_MOS, MOS_GRAPH);
        ASSERT_EQ(g.series().size(), 4u);
        EXPECT_EQ(g.series()[3].color, 0u);
        EXPECT_GT(g.series()[3].width, g.series()[0].width);
        EXPECT_EQ(g.series()[2].color, 0xFF00FFu);
        for (const auto& s : g.series()) {
            EXPECT_EQ(s.y.size(), 1000u);
            // Against the input voltage, from the minimum to one step below the maximum.
            EXPECT_EQ(s.x.front(), 90);
            EXPECT_NEAR(s.x.back(), 264 - 0.174, 1e-9);
        }
        EXPECT_TRUE(g.legend);
        EXPECT_EQ(g.series()[0].name, "Pcond");
        EXPECT_TRUE(popups().empty()) << lastPopup();
    });
}

TEST_F(K7350, MosfetEntriesAndBreakdownTruncation) {
    runWith([&] {
        set(PANEL_MAIN, MAIN_VOUT, 385);
        walkChain(1);
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 0.2); // below the largest inductance at 385 V
        press(PANEL_IND, IND_CLOSE);
        press(PANEL_MAIN, MAIN_STEP3);
        EXPECT_EQ(val(PANEL_MOS, MOS_BRDSS), 462);
        EXPECT_EQ(text(PANEL_MOS, MOS_BRDSS), "462");
        // Nothing entered yet: no check speaks.
        EXPECT_EQ(note(PANEL_MOS), "");
        set(PANEL_MOS, MOS_TF, 50);
        set(PANEL_MOS, MOS_CD, 100);
        EXPECT_EQ(note(PANEL_MOS), "");
        for (double ok : {0.001, 1000.0}) {
            set(PANEL_MOS, MOS_RON, ok);
            EXPECT_FALSE(dimmed(PANEL_MOS, MOS_CLOSE));
        }
        // The worst case, once calculated, follows each entry.
        press(PANEL_MOS, MOS_LOSSES);
        const double p1000 = val(PANEL_MOS, MOS_PMAX);
        set(PANEL_MOS, MOS_RON, 500);
        EXPECT_LT(val(PANEL_MOS, MOS_PMAX), p1000);
        EXPECT_NEAR(val(PANEL_MOS, MOS_RTHM) * val(PANEL_MOS, MOS_PMAX), 125 - 50, 1e-9);
        set(PANEL_MOS, MOS_RON, 0);
        EXPECT_EQ(note(PANEL_MOS), words("Rds(on) value must be in the range \nfrom 0 to 1000mhoms"));
        EXPECT_TRUE(dimmed(PANEL_MOS, MOS_CLOSE));
        EXPECT_EQ(text(PANEL_MOS, MOS_PMAX), "---"); // no worst case for an entry out of range
        // Another entry accepted while Ron is still out of range: no recompute, still blocked.
        const auto before = graph(PANEL_MOS, MOS_GRAPH).revision();
        set(PANEL_MOS, MOS_TF, 40);
        EXPECT_TRUE(dimmed(PANEL_MOS, MOS_CLOSE));
        EXPECT_EQ(graph(PANEL_MOS, MOS_GRAPH).revision(), before);
        EXPECT_TRUE(popups().empty()) << lastPopup();
        press(PANEL_MOS, MOS_LOSSES); // a button: its popup takes no typing away
        EXPECT_EQ(lastPopup(), "ALL mosfet parameters must be\n higher than 0");
        set(PANEL_MOS, MOS_TF, 201);
        set(PANEL_MOS, MOS_CD, 2001);
        for (const char* m : {"Rds(on) value must be in the range \nfrom 0 to 1000mhoms",
                              "Falling time value must be in \nthe range from 0 to 200ns",
                              "Drain capacitance value must be in \nthe range from 0 to 2000nF"})
            EXPECT_TRUE(noteSays(PANEL_MOS, m)) << m;
        set(PANEL_MOS, MOS_RON, -5); // a negative on-resistance is no loss at all
        press(PANEL_MOS, MOS_LOSSES);
        EXPECT_EQ(lastPopup(), "ALL mosfet parameters must be\n higher than 0");
        set(PANEL_MOS, MOS_RON, 500);
        set(PANEL_MOS, MOS_TF, 50);
        set(PANEL_MOS, MOS_CD, 100);
        EXPECT_FALSE(dimmed(PANEL_MOS, MOS_CLOSE));
        EXPECT_EQ(note(PANEL_MOS), "");
    });
}

TEST_F(K7350, DiodeAndCapacitorsBalance) {
    runWith([&] {
        walkChain(6);
        // Diode: ratings and loss; the thermal resistance keeps the junction at 125 °C.
        press(PANEL_MAIN, MAIN_STEP4);
        EXPECT_EQ(val(PANEL_DIODE, DIODE_VR), 480);
        EXPECT_EQ(val(PANEL_DIODE, DIODE_ID), 750);
        const double Pd = val(PANEL_DIODE, DIODE_PDIOD);
        EXPECT_NEAR(Pd, std::pow(val(PANEL_CURR, CURR_IDRMS), 2) * 0.05 + 0.25 * 0.9, 1e-12);
        EXPECT_NEAR(val(PANEL_DIODE, DIODE_RTHD) * Pd, 75, 1e-9);
        set(PANEL_DIODE, DIODE_VF, 0);
        set(PANEL_DIODE, DIODE_RD, 0);
        EXPECT_EQ(text(PANEL_DIODE, DIODE_RTHD), "---");
        press(PANEL_DIODE, DIODE_CLOSE);
        // Input capacitor: the ripple current through the capacitance gives the allowed ripple.
        press(PANEL_MAIN, MAIN_STEP5);
        EXPECT_FALSE(dimmed(PANEL_INCAP, INCAP_CLOSE)); // 1000 nF chosen before
        const double Cin = val(PANEL_INCAP, INCAP_CIN);
        const double f = val(PANEL_IND, IND_F);
        EXPECT_NEAR(val(PANEL_CURR, CURR_IINRMS) / (2 * M_PI * f * 1e3 * Cin * 1e-9), 0.10 * 90, 1e-4);
        set(PANEL_INCAP, INCAP_RIP, 20);
        EXPECT_NEAR(val(PANEL_INCAP, INCAP_CIN), Cin / 2, 1e-9);
        set(PANEL_INCAP, INCAP_TRUCIN, Cin / 4);
        // A warning: amber, the choice is kept and the step may close.
        EXPECT_EQ(note(PANEL_INCAP), words("You will have HF ripple\n higher than the specified value\nSee HELP"));
        EXPECT_EQ(noteColor(PANEL_INCAP), VAL_DK_YELLOW);
        EXPECT_FALSE(dimmed(PANEL_INCAP, INCAP_CLOSE));
        EXPECT_EQ(dv.ant[2], 1);
        set(PANEL_INCAP, INCAP_RIP, 5); // a ripple that the chosen value meets
        set(PANEL_INCAP, INCAP_RIP, 80);
        EXPECT_EQ(note(PANEL_INCAP), "");
        set(PANEL_INCAP, INCAP_RIP, 0);
        EXPECT_TRUE(noteSays(PANEL_INCAP, "The allowed HF ripple must be\nhigher than 0%"));
        EXPECT_EQ(noteColor(PANEL_INCAP), VAL_DK_RED);
        EXPECT_TRUE(dimmed(PANEL_INCAP, INCAP_CLOSE));
        set(PANEL_INCAP, INCAP_RIP, 20);
        press(PANEL_INCAP, INCAP_CLOSE);
        // Output capacitor: hold-up energy and line ripple.
        press(PANEL_MAIN, MAIN_STEP6);
        EXPECT_FALSE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE)); // 100 µF chosen before
        const OutputCap c = outputCapacitance(dv.spec(), dv.Iout, 10, 8, 340);
        EXPECT_NEAR(0.5 * c.C2 * 1e-6 * (400.0 * 400 - 340.0 * 340), 100 * 10e-3, 1e-12);
        EXPECT_NEAR(0.25 / (2 * M_PI * 50 * c.C1 * 1e-6), 8, 1e-4);
        EXPECT_EQ(val(PANEL_OUTCAP, OUTCAP_COUT), std::max(c.C1, c.C2));
        const double ico = val(PANEL_OUTCAP, OUTCAP_ICO);
        EXPECT_NEAR(ico * ico + 0.25 * 0.25, std::pow(val(PANEL_CURR, CURR_IDRMS), 2), 1e-12);
        const std::size_t n = popupCount();
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, val(PANEL_OUTCAP, OUTCAP_COUT)); // equal: accepted
        EXPECT_EQ(popupCount(), n);
        EXPECT_FALSE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE));
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 50);
        const std::string increase = words("Increase capacitor value \n or relax section specs.\n See the HELP file");
        EXPECT_EQ(note(PANEL_OUTCAP), increase);
        EXPECT_TRUE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE));
        // A longer hold-up needs more: the refusal follows the other entries.
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, val(PANEL_OUTCAP, OUTCAP_COUT));
        EXPECT_EQ(note(PANEL_OUTCAP), "");
        set(PANEL_OUTCAP, OUTCAP_THOLD, 30); // now the hold-up sets the size, not the ripple
        EXPECT_EQ(note(PANEL_OUTCAP), increase);
        set(PANEL_OUTCAP, OUTCAP_THOLD, 10);
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 50);
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 300);
        EXPECT_TRUE(noteSays(PANEL_OUTCAP, "Min. output voltage is lower\n than 0.8*Vout\nDo you want to confirm?"));
        EXPECT_TRUE(noteSays(PANEL_OUTCAP, increase));
        // More than the output voltage at the end of the hold-up: refused (no energy to give).
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 410);
        EXPECT_TRUE(noteSays(PANEL_OUTCAP, "Min. output voltage value\nmust be higher than\noutput voltage"));
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 1e6);
        EXPECT_TRUE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE));
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 400); // no finite capacitance holds up 0 V of headroom
        EXPECT_EQ(text(PANEL_OUTCAP, OUTCAP_COUT), "---");
        EXPECT_TRUE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE));
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 340);
        EXPECT_NE(text(PANEL_OUTCAP, OUTCAP_COUT), "---");
        EXPECT_FALSE(dimmed(PANEL_OUTCAP, OUTCAP_CLOSE));
        EXPECT_TRUE(popups().empty()) << lastPopup();
        SetCtrlVal(hp[PANEL_MAIN], MAIN_LINEFREQ, 0.0); // no line frequency, no finite ripple capacitance
        outputCap();
        EXPECT_EQ(text(PANEL_OUTCAP, OUTCAP_COUT), "---");
    });
}

TEST_F(K7350, MultiplierDividerOfTheWorkedExample) {
    runWith([&] {
        walkChain(6);
        press(PANEL_MAIN, MAIN_STEP7);
        const double Vmult_max = multiplierDivider(dv.spec(), dv.ILpk, dv.Rsense).Vmult_max;
        EXPECT_NEAR(Vmult_max, 2.7920, 0.00005);
        EXPECT_NEAR(dv.Kp, 0.00748, 0.000005);
        const double lo = val(PANEL_MULT, MULT_RLOWSUG), up = val(PANEL_MULT, MULT_RUPSUG);
        EXPECT_NEAR(lo, 13.960, 0.0005);
        EXPECT_NEAR(up, 1850, 3); // the algorithm gives 1852.8
        EXPECT_NEAR(lo / (lo + up), dv.Kp, 1e-15); // the divider gives the ratio
        EXPECT_NEAR(lo * 1e-3 * 200, Vmult_max, 1e-12); // 200 µA at the crest
        EXPECT_TRUE(dimmed(PANEL_MULT, MULT_CLOSE));
        EXPECT_EQ(press(PANEL_MULT, MULT_CLOSE), UserResult::Dimmed);
        set(PANEL_MULT, MULT_RLOW, 10);
        const double up10 = val(PANEL_MULT, MULT_RUPSUG);
        EXPECT_NEAR(10 / (10 + up10), dv.Kp, 1e-15);
        set(PANEL_MULT, MULT_RUP, up10 - 1);
        const std::string increase =
            words("increase high resistor value \n below the maximum \nor reduce low resistor value");
        EXPECT_EQ(note(PANEL_MULT), increase);
        EXPECT_TRUE(dimmed(PANEL_MULT, MULT_CLOSE));
        // A larger lower resistor needs a larger upper one: the refusal follows it.
        set(PANEL_MULT, MULT_RUP, up10);
        EXPECT_EQ(note(PANEL_MULT), "");
        set(PANEL_MULT, MULT_RLOW, 11);
        EXPECT_EQ(note(PANEL_MULT), increase);
        set(PANEL_MULT, MULT_RLOW, 10);
        // Exactly 70 % of the dynamics: no warning.
        const double at70 = 10 / (0.7 * dv.Kp) - 10;
        set(PANEL_MULT, MULT_RUP, at70);
        EXPECT_EQ(note(PANEL_MULT), "");
        set(PANEL_MULT, MULT_RUP, at70 * 1.01);
        EXPECT_EQ(note(PANEL_MULT),
                  words("You are exploiting less than 70% \n of multiplier dynamics.\nReduce high resistor value"));
        EXPECT_FALSE(dimmed(PANEL_MULT, MULT_CLOSE)); // a warning only
        EXPECT_TRUE(popups().empty()) << lastPopup();
        set(PANEL_MULT, MULT_RUP, up10 * 1.1);
        press(PANEL_MULT, MULT_CLOSE);
        EXPECT_FALSE(shown(PANEL_MULT));
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP8));
    });
}

TEST_F(K7350, ZeroCurrentDetection) {
    runWith([&] {
        walkChain(7);
        press(PANEL_MAIN, MAIN_STEP8);
        EXPECT_NEAR(val(PANEL_ZCD, ZCD_NAUX), 11.0, 0.05);
        EXPECT_TRUE(ctrlVisible(PANEL_ZCD, ZCD_AUXTEXT));
        EXPECT_TRUE(dimmed(PANEL_ZCD, ZCD_RC1));
        set(PANEL_ZCD, ZCD_ACTR, 10);
        // 3 mA into the pin at most: (400 V/10 − 4.7 V)/3 mA and (√2·264 V/10 + 1 V)/3 mA.
        const double positive = zcdResistorPositive(dv.Vout, 10), negative = zcdResistorNegative(dv.Vin_max, 10);
        EXPECT_NEAR(positive, 11.8, 0.05);
        EXPECT_NEAR(negative, 12.8, 0.05);
        EXPECT_EQ(val(PANEL_ZCD, ZCD_RZ), std::max(positive, negative));
        set(PANEL_ZCD, ZCD_ACTR, 12);
        EXPECT_EQ(note(PANEL_ZCD), words("Actual turn ratio must be lower \n than showed maximum"));
        EXPECT_TRUE(dimmed(PANEL_ZCD, ZCD_CLOSE));
        set(PANEL_ZCD, ZCD_ACTR, 10);
        set(PANEL_ZCD, ZCD_RZCD, 12);
        const std::string higher = words("Rzcd value must be higher \n than showed minimum");
        EXPECT_EQ(note(PANEL_ZCD), higher);
        // A smaller ratio asks a larger resistor of the same entry.
        set(PANEL_ZCD, ZCD_RZCD, 15);
        EXPECT_EQ(note(PANEL_ZCD), "");
        set(PANEL_ZCD, ZCD_ACTR, 5);
        EXPECT_EQ(note(PANEL_ZCD), higher);
        set(PANEL_ZCD, ZCD_ACTR, 10);
        EXPECT_TRUE(popups().empty()) << lastPopup();
        // No ratio: the resistor's check waits for one, the step cannot close.
        set(PANEL_ZCD, ZCD_ACTR, 0);
        EXPECT_EQ(note(PANEL_ZCD), "");
        EXPECT_TRUE(dimmed(PANEL_ZCD, ZCD_CLOSE));
        EXPECT_TRUE(shown(PANEL_ZCD));
        // The RC network closes without any entry.
        set(PANEL_ZCD, ZCD_CIRCUIT, 1);
        EXPECT_FALSE(ctrlVisible(PANEL_ZCD, ZCD_AUXTEXT));
        EXPECT_TRUE(dimmed(PANEL_ZCD, ZCD_ACTR));
        EXPECT_FALSE(dimmed(PANEL_ZCD, ZCD_RC1));
        press(PANEL_ZCD, ZCD_CLOSE);
        EXPECT_FALSE(shown(PANEL_ZCD));
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP9));
    });
}

TEST_F(K7350, FeedbackDividerAndSetPoints) {
    runWith([&] {
        walkChain(9);
        EXPECT_EQ(val(PANEL_FEED, FEED_OVP), 40);
        EXPECT_EQ(val(PANEL_FEED, FEED_VAC), 264);
        EXPECT_EQ(val(PANEL_FEED, FEED_PO), 100);
        EXPECT_EQ(val(PANEL_FEED, FEED_RH), 1000);
        const double RL = val(PANEL_FEED, FEED_RL);
        EXPECT_NEAR(RL, 6.29, 0.005);
        EXPECT_TRUE(popups().empty()) << lastPopup();
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, RL);
        EXPECT_NEAR(val(PANEL_FEED, FEED_VOUTNOM), 400, 1e-9);
        EXPECT_TRUE(popups().empty());
        // 40 µA into the feedback pin at the over-voltage margin.
        EXPECT_NEAR(40 / (val(PANEL_FEED, FEED_RH) * 1e3), 40e-6, 1e-18);
        set(PANEL_FEED, FEED_RLEFF, 2.5 * 1000 / (0.9 * 400 * (1 + 1e-9) - 2.5));
        EXPECT_EQ(note(PANEL_FEED), "");
        set(PANEL_FEED, FEED_RLEFF, 2.5 * 1000 / (0.9 * 400 * 0.999 - 2.5));
        EXPECT_EQ(note(PANEL_FEED), words("The obtanied output voltage is outside \nthe nominal value +/-10%"));
        EXPECT_EQ(noteColor(PANEL_FEED), VAL_DK_YELLOW);
        set(PANEL_FEED, FEED_RLEFF, RL);
        set(PANEL_FEED, FEED_RHEFF, 1001);
        EXPECT_EQ(note(PANEL_FEED).substr(0, 38), "This value will cause an OVP threshold");
        set(PANEL_FEED, FEED_RHEFF, 1000);
        EXPECT_EQ(note(PANEL_FEED), "");
        for (double v : {90.0, 264.0}) set(PANEL_FEED, FEED_VAC, v);
        set(PANEL_FEED, FEED_PO, 100);
        EXPECT_EQ(note(PANEL_FEED), "");
        set(PANEL_FEED, FEED_VAC, 265);
        EXPECT_EQ(note(PANEL_FEED), words("this value is outside the input range\n set in input panel"));
        EXPECT_TRUE(dimmed(PANEL_FEED, FEED_CLOSE));
        set(PANEL_FEED, FEED_VAC, 264);
        set(PANEL_FEED, FEED_PO, 100.5);
        EXPECT_EQ(note(PANEL_FEED), words("this value is higher than that the value\n set in input panel"));
        set(PANEL_FEED, FEED_PO, 80);
        EXPECT_FALSE(dimmed(PANEL_FEED, FEED_CLOSE));
        EXPECT_TRUE(popups().empty()) << lastPopup();
        // Set point and margin entered stay when the step opens again.
        set(PANEL_FEED, FEED_OVP, 30);
        set(PANEL_FEED, FEED_VAC, 230);
        press(PANEL_FEED, FEED_CLOSE);
        press(PANEL_MAIN, MAIN_STEP9);
        EXPECT_EQ(val(PANEL_FEED, FEED_OVP), 30);
        EXPECT_EQ(val(PANEL_FEED, FEED_VAC), 230);
        EXPECT_EQ(val(PANEL_FEED, FEED_PO), 80);
        EXPECT_EQ(val(PANEL_FEED, FEED_RH), 750);
    });
}

TEST_F(K7350, OperatingPointAndLoopAgainstThePlottedCurves) {
    runWith([&] {
        walkChain(9);
        // g(V2) is the sense voltage at the crest over the multiplier's input there; KM is its
        // slope. At 264 V and 100 W the inductor peaks at twice the line current's crest.
        const double ilpk = 2 * std::sqrt(2.0) * (100 / 0.95) / (0.99 * 264);
        const double target = dv.Rsense * 1e-3 * ilpk / (std::sqrt(2.0) * 264 * dv.effKp);
        auto g = [](double x) {
            double s = 0;
            for (int i = 0; i <= 12; ++i) s += kMultCoeff[i] * std::pow(x, 12 - i);
            return s;
        };
        ASSERT_TRUE(std::isfinite(dv.KM));
        const double V2 = operatingPoint(dv.Rsense, dv.Po, dv.effic, dv.PFC, dv.VAC, dv.effKp).V2;
        EXPECT_GE(V2, 2.5);
        EXPECT_LE(V2, 5.3);
        EXPECT_NEAR(g(V2), target, 1e-9);
        const double h = 1e-6;
        EXPECT_NEAR(dv.KM, std::sqrt(2.0) * 264 * dv.effKp * (g(V2 + h) - g(V2 - h)) / (2 * h), 1e-5 * dv.KM);
        // A loop with R1 + C1.
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 6.289308176100629);
        set(PANEL_FEED, FEED_TOP, 1);
        EXPECT_TRUE(ctrlVisible(PANEL_FEED, FEED_R1));
        EXPECT_FALSE(ctrlVisible(PANEL_FEED, FEED_C2));
        set(PANEL_FEED, FEED_C1, 1);
        set(PANEL_FEED, FEED_R1, 100);
        press(PANEL_FEED, FEED_START);
        EXPECT_TRUE(popups().empty()) << lastPopup();
        const auto& gain = graph(PANEL_FEED, FEED_GAIN).series().at(0);
        const auto& phase = graph(PANEL_FEED, FEED_PHASE).series().at(0);
        ASSERT_EQ(gain.x.size(), 1001u);
        EXPECT_EQ(gain.x.front(), 0.1);
        EXPECT_EQ(gain.x.back(), 1000);
        // Crossover and margin read off the plotted points agree with the figures shown.
        int w = 1;
        while (w < 1001 && !(gain.y[w - 1] > 0 && gain.y[w] <= 0)) ++w;
        ASSERT_LT(w, 1001);
        const double fc = val(PANEL_FEED, FEED_FC), pm = val(PANEL_FEED, FEED_PM);
        EXPECT_GE(fc, gain.x[w - 1]);
        EXPECT_LE(fc, gain.x[w]);
        EXPECT_NEAR(pm, 180 + phase.y[w], std::abs(phase.y[w] - phase.y[w - 1]) + 1e-9);
        // Integrator plus zero: the phase lies between -180 and -90 with a constant-power load.
        EXPECT_GT(pm, 0);
        EXPECT_LT(pm, 90);
        const auto& cursor = graph(PANEL_FEED, FEED_GAIN).markers().at(0);
        EXPECT_TRUE(cursor.snap);
        EXPECT_NEAR(std::log10(cursor.x), std::log10(fc), 0.004 + 1e-9); // on a grid point next to fc
        // The load type changes the power stage only.
        set(PANEL_FEED, FEED_LOAD, 1);
        press(PANEL_FEED, FEED_START);
        EXPECT_NE(val(PANEL_FEED, FEED_PM), pm);
    });
}

TEST_F(K7350, NoOperatingPointWarnsOnceAndClearsTheLoop) {
    runWith([&] {
        walkChain(9);
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 6.29);
        set(PANEL_FEED, FEED_C1, 1);
        press(PANEL_FEED, FEED_START);
        ASSERT_EQ(graph(PANEL_FEED, FEED_GAIN).series().size(), 1u);
        // A divider that exploits almost nothing of the multiplier: no root in 2.5 … 5.3 V.
        SetCtrlVal(hp[PANEL_MULT], MULT_RUP, 1e9); // the step is closed: as a loaded project would leave it
        set(PANEL_FEED, FEED_VAC, 200);
        EXPECT_TRUE(noteSays(PANEL_FEED, "No operating point of the multiplier\nfor this input voltage and power"));
        EXPECT_TRUE(popups().empty()) << lastPopup();
        EXPECT_FALSE(std::isfinite(dv.KM));
        EXPECT_TRUE(graph(PANEL_FEED, FEED_GAIN).series().empty());
        EXPECT_TRUE(graph(PANEL_FEED, FEED_PHASE).series().empty());
        EXPECT_EQ(text(PANEL_FEED, FEED_PM), "---");
        press(PANEL_FEED, FEED_START);
        EXPECT_TRUE(graph(PANEL_FEED, FEED_GAIN).series().empty());
        // Feedback resistors or parts missing.
        set(PANEL_FEED, FEED_RLEFF, 0);
        press(PANEL_FEED, FEED_START);
        EXPECT_EQ(lastPopup(), "Insert feedback resistor values");
        set(PANEL_FEED, FEED_RLEFF, 6.29);
        set(PANEL_FEED, FEED_TOP, 2);
        set(PANEL_FEED, FEED_R1, 100);
        set(PANEL_FEED, FEED_C2, 0);
        press(PANEL_FEED, FEED_START);
        EXPECT_EQ(lastPopup(), "All parameters must be\ngrater than 0");
        EXPECT_TRUE(dimmed(PANEL_FEED, FEED_START));
    });
}

} // namespace
} // namespace k7350::test
