#!/usr/bin/python3
"""Fits the core-loss model of each ferrite to its data points.

    /usr/bin/python3 tools/fit_core_loss.py [points.csv] [CoreLossTable.inc]
    /usr/bin/python3 tools/fit_core_loss.py --points-from-mas STEINMETZ_CSV [points.csv]

The model, per material and fit range (the points' `fit_range_kHz` column):

    Pv = k * f^alpha * B^beta * ct(T),   ct(T) = 1 + c1*(T - 25) + c2*(T - 25)^2

with f in Hz, B the peak flux density of a sine in T, T in degC and Pv in
W/m^3 (ct is 1 at 25 degC). A triangular flux of peak B and rising share D
loses what the iGSE makes of the same k, alpha, beta: the sine's value times

    g(alpha, D) = 2^alpha * (D^(1-alpha) + (1-D)^(1-alpha)) / ((2 pi)^(alpha-1) * I(alpha)),
    I(alpha) = integral over 0..2 pi of |cos x|^alpha dx.

The points (`kind` column):

    measured   measured loss of a sinusoidal or triangular flux without DC bias
    maker-max  a maker's guaranteed maximum for a core set, over its Ve: a
               bound the model must stay below, not fitted
    mas-fit    the OpenMagnetics MAS Steinmetz fit evaluated at a standard
               condition: shapes the curve where nothing measured lies

The fit minimises the weighted squared log error over the range's points,
each weighted by the inverse square of the error expected of its kind
(SIGMA): a measured sine 5 %, a measured triangle 15 % (the iGSE's own error
on a triangle), a MAS fit 30 %.

The rule, per material: within +-15 % on at least 90 % of its measured sine
points and nowhere beyond +-30 %; a material without measured sine points is
judged on its MAS points, which says only that the fit reproduces them. Every
maker maximum must lie above the model. The tool refuses to write the table
when a material misses either. The table records, per range, the box of f, B
and T its points cover (the model is not used outside it), the number of
points and of measured points, and the largest error and the share within
15 % of the sine points the rule judges there (measured where the range has
them, else MAS).

--points-from-mas rewrites the mas-fit rows from the Steinmetz fits of the
OpenMagnetics MAS data set (data/ferrite-materials/steinmetz.csv),
evaluated at the makers' standard conditions inside each material's
recommended range, each row naming that source; a point at a limit between
two MAS ranges is written once for each (their fits do not meet there). It
keeps the other rows and fills in their range: the range whose frequencies
hold the point, or "outside" beyond the recommended range (kept, not fitted).
"""
import csv
import math
import os
import sys


ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
POINTS = os.path.join(ROOT, "data", "core_loss_points.csv")
TABLE = os.path.join(ROOT, "magnetics", "CoreLossTable.inc")
COLUMNS = ["material", "fit_range_kHz", "f_Hz", "B_mT", "T_C", "Pv_kW_m3", "kind", "waveform", "duty", "source"]
OUTSIDE = "outside"

TOL, SHARE, HARD = 0.15, 0.90, 0.30
# Expected error of a point, by kind and waveform; the weight is (5 % / sigma)^2.
SIGMA = {("measured", "sine"): 0.05, ("measured", "triangle"): 0.15, ("mas-fit", "sine"): 0.30}

# Recommended frequency range (Hz) of each material, as its maker states it,
# limited to where the MAS fits hold (3C90, 3C94 and 3F4 start at 50.02 kHz).
RANGES = {
    "N87": (25e3, 500e3), "3C90": (50e3, 200e3), "3C94": (50e3, 300e3),
    "3C95": (25e3, 500e3), "3C96": (25e3, 400e3), "3F3": (25e3, 500e3),
    "3F4": (100e3, 2e6), "PC40": (25e3, 300e3), "PC47": (25e3, 500e3),
}
FREQS = [25e3, 50e3, 100e3, 150e3, 200e3, 300e3, 400e3, 500e3, 700e3, 1e6, 1.5e6, 2e6]
TEMPS = [25, 100]
# Loss against temperature, one curve per range: (f in Hz, B in mT).
SWEEPS = {"N87": [(100e3, 100), (300e3, 50)], "3C90": [(100e3, 100), (200e3, 50)],
          "3C94": [(100e3, 100), (200e3, 50)], "3C95": [(100e3, 100), (300e3, 50)],
          "3C96": [(100e3, 100), (300e3, 50)], "3F3": [(50e3, 100), (200e3, 50), (400e3, 50)],
          "3F4": [(100e3, 100), (500e3, 50), (1.5e6, 25)], "PC40": [(100e3, 200), (200e3, 50)],
          "PC47": [(100e3, 200), (300e3, 50)]}
SWEEP_T = [25, 40, 60, 80, 100, 120]
MAKER_SHEETS = {
    "N87": "TDK SIFERRIT material N87", "PC40": "TDK ferrite material PC40",
    "PC47": "TDK ferrite material PC47",
}
MAS_NOTE = ("MAS fit: OpenMagnetics MAS core_materials.ndjson (commit c4960c40; Apache-2.0) "
            "Steinmetz fit {lo:g}-{hi:g} kHz evaluated here; {sheet} loss table not readable "
            "in this check")


def flux_levels(f):
    """Peak flux densities (mT) the makers tabulate at frequency f."""
    if f <= 150e3:
        return [25, 50, 100, 200]
    if f <= 500e3:
        return [25, 50, 100]
    return [10, 25, 50]


def range_label(lo, hi):
    return f"{round(lo / 1e3, 1):g}-{round(hi / 1e3, 1):g}"


def range_limits(label):
    lo, hi = label.split("-")
    return float(lo) * 1e3, float(hi) * 1e3


def mas_rows(steinmetz_csv):
    rows = list(csv.DictReader(open(steinmetz_csv)))

    def mas(material, f, b, t):
        """Pv (kW/m^3) of every MAS range holding f, with the range limits."""
        out = []
        for r in rows:
            lo, hi = float(r["f_min_Hz"]), float(r["f_max_Hz"])
            # The MAS ranges start at 50.02 kHz where a sheet starts at 50 kHz.
            if r["material"] == material and lo - 50 <= f <= hi:
                k, a, be, c0, c1, c2 = (float(r[x]) for x in
                                        ("k", "alpha", "beta", "ct0", "ct1", "ct2"))
                pv = k * f ** a * (b / 1e3) ** be * (c0 - c1 * t + c2 * t * t)
                out.append((pv / 1e3, lo, hi))
        if not out:
            raise SystemExit(f"{material}: no MAS range holds {f:g} Hz")
        return out

    out = []
    for material, (fmin, fmax) in RANGES.items():
        sheet = MAKER_SHEETS.get(material, "Ferroxcube material " + material)
        grid = [(f, b, t) for f in FREQS if fmin <= f <= fmax for b in flux_levels(f) for t in TEMPS]
        grid += [(f, b, t) for f, b in SWEEPS[material] for t in SWEEP_T if t not in TEMPS]
        for f, b, t in grid:
            for pv, lo, hi in mas(material, f, b, t):
                lo, hi = max(lo, fmin), min(hi, fmax)
                if lo - fmin <= 50:  # a MAS range from 50.02 kHz holds a sheet's 50 kHz
                    lo = fmin
                if lo >= hi:
                    continue
                src = MAS_NOTE.format(lo=round(lo / 1e3, 1), hi=round(hi / 1e3, 1), sheet=sheet)
                out.append({"material": material, "fit_range_kHz": range_label(lo, hi), "f_Hz": f"{f:g}",
                            "B_mT": f"{b:g}", "T_C": f"{t:g}", "Pv_kW_m3": f"{pv:.4g}", "kind": "mas-fit",
                            "waveform": "sine", "duty": "", "source": src})
    return out


def points_from_mas(steinmetz_csv, out_path):
    """Rewrites the mas-fit rows; keeps the others and fills in their range."""
    kept = [r for r in csv.DictReader(open(out_path)) if r["kind"] != "mas-fit"] if os.path.exists(out_path) else []
    fitted = mas_rows(steinmetz_csv)
    ranges = {}
    for r in fitted:
        ranges.setdefault(r["material"], set()).add(r["fit_range_kHz"])
    for r in kept:
        f = float(r["f_Hz"])
        labels = sorted(ranges.get(r["material"], ()), key=lambda s: range_limits(s)[0])
        # A point on the limit between two ranges belongs to the lower one.
        holding = [s for s in labels if range_limits(s)[0] <= f <= range_limits(s)[1]]
        r["fit_range_kHz"] = holding[0] if holding else OUTSIDE
    with open(out_path, "w", newline="") as fh:
        w = csv.DictWriter(fh, COLUMNS, lineterminator="\n")
        w.writeheader()
        w.writerows(fitted + kept)


def read_points(path):
    """All rows, with f in Hz, B in T, T in degC, Pv in W/m^3 and the duty as numbers."""
    out = []
    for r in csv.DictReader(open(path)):
        if r["kind"] not in ("measured", "maker-max", "mas-fit") or r["waveform"] not in ("sine", "triangle"):
            raise SystemExit(f"{path}: unknown kind or waveform in {r}")
        out.append(dict(r, f=float(r["f_Hz"]), b=float(r["B_mT"]) / 1e3, t=float(r["T_C"]),
                        pv=float(r["Pv_kW_m3"]) * 1e3, d=float(r["duty"]) if r["waveform"] == "triangle" else None))
    return out


def solve(a, y):
    """Least squares a x = y by the normal equations (a few columns only)."""
    n = len(a[0])
    m = [[sum(r[i] * r[j] for r in a) for j in range(n)] + [sum(r[i] * v for r, v in zip(a, y))]
         for i in range(n)]
    for c in range(n):
        piv = max(range(c, n), key=lambda i: abs(m[i][c]))
        m[c], m[piv] = m[piv], m[c]
        for i in range(n):
            if i != c:
                q = m[i][c] / m[c][c]
                m[i] = [u - q * v for u, v in zip(m[i], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def ln_cos_integral(a):
    """ln of the integral over a period of |cos x|^a."""
    return math.log(2 * math.sqrt(math.pi)) + math.lgamma((a + 1) / 2) - math.lgamma(a / 2 + 1)


def ln_triangle_factor(a, d):
    """ln g: a triangle of rising share d against the sine of the same peak (0 for a sine)."""
    if d is None:
        return 0.0
    return (a * math.log(2) + math.log(d ** (1 - a) + (1 - d) ** (1 - a))
            - (a - 1) * math.log(2 * math.pi) - ln_cos_integral(a))


def d_ln_triangle_factor(a, d):
    """d(ln g)/d alpha."""
    if d is None:
        return 0.0
    h = 1e-6
    digamma_half = (ln_cos_integral(a + h) - ln_cos_integral(a - h)) / (2 * h)
    s = d ** (1 - a) + (1 - d) ** (1 - a)
    return (math.log(2) - math.log(2 * math.pi) - digamma_half
            - (math.log(d) * d ** (1 - a) + math.log(1 - d) * (1 - d) ** (1 - a)) / s)


def model(p, f, b, t, d=None):
    lnk, a, be, c1, c2 = p
    dt = t - 25.0
    return math.exp(lnk + a * math.log(f) + be * math.log(b) + ln_triangle_factor(a, d)) * (1 + c1 * dt + c2 * dt * dt)


def weight(pt):
    return (SIGMA[("measured", "sine")] / SIGMA[(pt["kind"], pt["waveform"])]) ** 2


def fit(points, maxima=()):
    """k, alpha, beta and the temperature curve (c1, c2) of one range, lowered
    as a whole (k) where it would lie above a maker's maximum of `maxima`.

    Returns [ln k, alpha, beta, c1, c2]."""
    ws = [math.sqrt(weight(q)) for q in points]
    y = [w * (math.log(q["pv"]) - ln_triangle_factor(1.5, q["d"])) for w, q in zip(ws, points)]
    # Linear start: ln Pv against ln f, ln B and the temperature terms.
    p = solve([[w * v for v in (1.0, math.log(q["f"]), math.log(q["b"]), q["t"] - 25.0, (q["t"] - 25.0) ** 2)]
               for w, q in zip(ws, points)], y)
    p[4] += p[3] ** 2 / 2
    if any(1 + p[3] * (q["t"] - 25) + p[4] * (q["t"] - 25) ** 2 <= 0 for q in points):
        p[3] = p[4] = 0.0
    for _ in range(200):
        jac, res = [], []
        for w, q in zip(ws, points):
            dt = q["t"] - 25.0
            ct = 1 + p[3] * dt + p[4] * dt * dt
            jac.append([w * v for v in (1.0, math.log(q["f"]) + d_ln_triangle_factor(p[1], q["d"]),
                                        math.log(q["b"]), dt / ct, dt * dt / ct)])
            res.append(w * (math.log(q["pv"]) - math.log(model(p, q["f"], q["b"], q["t"], q["d"]))))
        step = solve(jac, res)
        # Halve a step that would take the temperature curve below zero.
        for _ in range(30):
            new = [u + v for u, v in zip(p, step)]
            if all(1 + new[3] * (q["t"] - 25) + new[4] * (q["t"] - 25) ** 2 > 0 for q in points):
                break
            step = [v / 2 for v in step]
        p = new
        if max(abs(v) for v in step) < 1e-12:
            break
    over = max([model(p, q["f"], q["b"], q["t"]) / q["pv"] for q in maxima] + [1.0])
    p[0] -= math.log(over)
    return p


def error(p, q):
    return model(p, q["f"], q["b"], q["t"], q["d"]) / q["pv"] - 1


def share_within(err):
    return sum(abs(e) <= TOL for e in err) / len(err)


def rule_ok(err):
    return share_within(err) >= SHARE and max(abs(e) for e in err) <= HARD


def recorded(points):
    """The points whose error the table records: the measured ones where there are any, else the MAS ones."""
    measured = [q for q in points if q["kind"] == "measured"]
    return measured or [q for q in points if q["kind"] == "mas-fit"]


def write_table(fits, path):
    lines = ["// Generated by tools/fit_core_loss.py from data/core_loss_points.csv: do not edit.",
             "// material, f min/max (Hz), B min/max (T), T min/max (degC), k, alpha, beta, c1, c2,",
             "// points, measured points, largest error and share within 15 % of the measured points (MAS points where none)"]
    for name, parts in fits:
        for part, p in parts:
            vals = [min(q["f"] for q in part), max(q["f"] for q in part), min(q["b"] for q in part),
                    max(q["b"] for q in part), min(q["t"] for q in part), max(q["t"] for q in part),
                    math.exp(p[0]), p[1], p[2], p[3], p[4]]
            err = [error(p, q) for q in recorded(part)]
            # The box exactly (a point on its edge stays inside), the coefficients to 10 digits.
            nums = ", ".join([repr(v) for v in vals[:6]] + [f"{v:.10g}" for v in vals[6:]])
            measured = sum(q["kind"] == "measured" for q in part)
            lines.append(f'{{"{name}", {nums}, {len(part)}, {measured}, {max(abs(e) for e in err):.4f}, '
                         f'{share_within(err):.4f}}},')
    with open(path, "w") as fh:
        fh.write("\n".join(lines) + "\n")


def stats(err):
    if not err:
        return "none"
    return (f"{len(err):3d} points, max {max(abs(e) for e in err) * 100:5.1f} %, "
            f"within 15 %: {share_within(err) * 100:5.1f} %, within 30 %: "
            f"{sum(abs(e) <= 0.30 for e in err) / len(err) * 100:5.1f} %")


def main(argv):
    if len(argv) > 1 and argv[1] == "--points-from-mas":
        points_from_mas(argv[2], argv[3] if len(argv) > 3 else POINTS)
        return 0
    points_path = argv[1] if len(argv) > 1 else POINTS
    table_path = argv[2] if len(argv) > 2 else TABLE
    pts = read_points(points_path)
    fits, bad = [], []
    for name in RANGES:
        mine = [q for q in pts if q["material"] == name]
        labels = sorted({q["fit_range_kHz"] for q in mine if q["kind"] == "mas-fit"}, key=lambda s: range_limits(s)[0])
        if not labels:
            bad.append(f"{name}: no points")
            continue
        parts = []
        for label in labels:
            part = [q for q in mine if q["fit_range_kHz"] == label and q["kind"] != "maker-max"]
            maxima = [q for q in mine if q["fit_range_kHz"] == label and q["kind"] == "maker-max"]
            p = fit(part, maxima)
            parts.append((part, p))
            print(f"{name:5s} {label:>9s} kHz {len(part):3d} points  k={math.exp(p[0]):.4g} alpha={p[1]:.4f} "
                  f"beta={p[2]:.4f} c1={p[3]:.4g} c2={p[4]:.4g}")
        fits.append((name, parts))
        fitted = [(q, p) for part, p in parts for q in part]
        sine = [error(p, q) for q, p in fitted if q["kind"] == "measured" and q["waveform"] == "sine"]
        tri = [error(p, q) for q, p in fitted if q["kind"] == "measured" and q["waveform"] == "triangle"]
        mas = [error(p, q) for q, p in fitted if q["kind"] == "mas-fit"]
        print(f"      measured sine:     {stats(sine)}\n      measured triangle: {stats(tri)}\n"
              f"      MAS fit points:    {stats(mas)}")
        if sine or not tri:
            if not rule_ok(sine or mas):
                bad.append(f"{name}: misses the 15 %/30 % rule at its {'measured' if sine else 'MAS'} sine points")
        else:
            print("      the rule is not judged: no measured sine point, and the MAS points give way to the measured ones")
        fitted_ranges = {part[0]["fit_range_kHz"]: p for part, p in parts}
        for q in mine:
            if q["kind"] != "maker-max":
                continue
            if q["fit_range_kHz"] not in fitted_ranges:
                print(f"      maker maximum at {q['f']:g} Hz: outside the fitted ranges")
                continue
            ratio = model(fitted_ranges[q["fit_range_kHz"]], q["f"], q["b"], q["t"]) / q["pv"]
            print(f"      maker maximum at {q['f'] / 1e3:g} kHz {q['b'] * 1e3:g} mT {q['t']:g} C: "
                  f"model {ratio:.2f} of it")
            if ratio > 1 + 1e-9:
                bad.append(f"{name}: above the maker's maximum at {q['f']:g} Hz")
        outside = sum(q["fit_range_kHz"] == OUTSIDE for q in mine)
        if outside:
            print(f"      {outside} point(s) outside the recommended range, not fitted")
    if bad:
        print("\n".join(bad), file=sys.stderr)
        return 1
    write_table(fits, table_path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
