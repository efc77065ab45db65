#!/usr/bin/python3
"""Fits the core-loss model of each ferrite to its data points.

    /usr/bin/python3 tools/fit_core_loss.py [points.csv] [CoreLossTable.inc]
    /usr/bin/python3 tools/fit_core_loss.py --points-from-mas STEINMETZ_CSV [points.csv]

The model, per material and fit range (the points' `fit_range_kHz` column):

    Pv = k * f^alpha * B^beta * ct(T),   ct(T) = 1 + c1*(T - 25) + c2*(T - 25)^2

with f in Hz, B the peak flux density in T, T in degC and Pv in W/m^3 (ct is
1 at 25 degC). The fit minimises the squared log error over the range's
points (Gauss-Newton from a linear start).

The rule: within +-15 % on at least 90 % of a material's points and nowhere
beyond +-30 %. The tool refuses to write the table when a material misses it.
The table records, per range, the box of f, B and T its points cover (the
model is not used outside it), the number of points, the largest error and
the share within 15 %.

--points-from-mas writes the points file from the Steinmetz fits of the
OpenMagnetics MAS data set (shared/data/ferrite-materials/steinmetz.csv),
evaluated at the makers' standard conditions inside each material's
recommended range, each point naming that source. A point at a limit between
two MAS ranges is written once for each (their fits do not meet there).
"""
import csv
import math
import os
import sys


ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
POINTS = os.path.join(ROOT, "data", "core_loss_points.csv")
TABLE = os.path.join(ROOT, "magnetics", "CoreLossTable.inc")

TOL, SHARE, HARD = 0.15, 0.90, 0.30

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
MAS_NOTE = ("OpenMagnetics MAS core_materials.ndjson (commit c4960c40; Apache-2.0) "
            "Steinmetz fit {lo:g}-{hi:g} kHz evaluated here; {sheet} loss table not readable "
            "in this check")


def flux_levels(f):
    """Peak flux densities (mT) the makers tabulate at frequency f."""
    if f <= 150e3:
        return [25, 50, 100, 200]
    if f <= 500e3:
        return [25, 50, 100]
    return [10, 25, 50]


def points_from_mas(steinmetz_csv, out_path):
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
                out.append([material, f"{round(lo / 1e3, 1):g}-{round(hi / 1e3, 1):g}", f"{f:g}", f"{b:g}", f"{t:g}",
                            f"{pv:.4g}", src])
    with open(out_path, "w", newline="") as fh:
        w = csv.writer(fh, lineterminator="\n")
        w.writerow(["material", "fit_range_kHz", "f_Hz", "B_mT", "T_C", "Pv_kW_m3", "source"])
        w.writerows(out)


def read_points(path):
    """{material: {fit range: [(f, B, T, Pv)]}} in Hz, T, degC and W/m^3."""
    pts = {}
    for r in csv.DictReader(open(path)):
        pts.setdefault(r["material"], {}).setdefault(r["fit_range_kHz"], []).append(
            (float(r["f_Hz"]), float(r["B_mT"]) / 1e3, float(r["T_C"]), float(r["Pv_kW_m3"]) * 1e3))
    return pts


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


def model(p, f, b, t):
    lnk, a, be, c1, c2 = p
    dt = t - 25.0
    return math.exp(lnk + a * math.log(f) + be * math.log(b)) * (1 + c1 * dt + c2 * dt * dt)


def fit(points):
    """k, alpha, beta and the temperature curve (c1, c2) of one range.

    Returns [ln k, alpha, beta, c1, c2] and the relative error at each point."""
    y = [math.log(pv) for *_, pv in points]
    # Linear start: ln Pv against ln f, ln B and the temperature terms.
    p = solve([[1.0, math.log(f), math.log(b), t - 25.0, (t - 25.0) ** 2] for f, b, t, _ in points], y)
    p[4] += p[3] ** 2 / 2
    for _ in range(100):
        jac, res = [], []
        for f, b, t, pv in points:
            dt = t - 25.0
            ct = 1 + p[3] * dt + p[4] * dt * dt
            jac.append([1.0, math.log(f), math.log(b), dt / ct, dt * dt / ct])
            res.append(math.log(pv) - math.log(model(p, f, b, t)))
        step = solve(jac, res)
        # Halve a step that would take the temperature curve below zero.
        for _ in range(30):
            q = [u + v for u, v in zip(p, step)]
            if all(1 + q[3] * (t - 25) + q[4] * (t - 25) ** 2 > 0 for _, _, t, _ in points):
                break
            step = [v / 2 for v in step]
        p = q
        if max(abs(v) for v in step) < 1e-12:
            break
    return p, [model(p, f, b, t) / pv - 1 for f, b, t, pv in points]


def share_within(err):
    return sum(abs(e) <= TOL for e in err) / len(err)


def rule_ok(err):
    return share_within(err) >= SHARE and max(abs(e) for e in err) <= HARD


def write_table(fits, path):
    lines = ["// Generated by tools/fit_core_loss.py from data/core_loss_points.csv: do not edit.",
             "// material, f min/max (Hz), B min/max (T), T min/max (degC), k, alpha, beta, c1, c2,",
             "// points, largest error, share of points within 15 %"]
    for name, parts in fits:
        for part, p, err in parts:
            f, b, t = list(zip(*part))[:3]
            vals = [min(f), max(f), min(b), max(b), min(t), max(t), math.exp(p[0]), p[1], p[2],
                    p[3], p[4]]
            nums = ", ".join(f"{v:.10g}" for v in vals)
            lines.append(f'{{"{name}", {nums}, {len(part)}, {max(abs(e) for e in err):.4f}, '
                         f'{share_within(err):.4f}}},')
    text = "\n".join(lines) + "\n"
    with open(path, "w") as fh:
        fh.write(text)


def main(argv):
    if len(argv) > 1 and argv[1] == "--points-from-mas":
        points_from_mas(argv[2], argv[3] if len(argv) > 3 else POINTS)
        return 0
    points_path = argv[1] if len(argv) > 1 else POINTS
    table_path = argv[2] if len(argv) > 2 else TABLE
    pts = read_points(points_path)
    fits, bad = [], []
    for name in RANGES:
        if name not in pts:
            bad.append(f"{name}: no points")
            continue
        parts = [(part, *fit(part)) for part in pts[name].values()]
        fits.append((name, parts))
        for part, p, err in parts:
            share = share_within(err)
            print(f"{name:5s} {min(q[0] for q in part) / 1e3:6g}-{max(q[0] for q in part) / 1e3:<6g} kHz "
                  f"{len(part):3d} points  k={math.exp(p[0]):.4g} alpha={p[1]:.4f} beta={p[2]:.4f} "
                  f"c1={p[3]:.4g} c2={p[4]:.4g}  max {max(abs(e) for e in err) * 100:5.1f} %  "
                  f"within 15 %: {share * 100:5.1f} %")
        if not rule_ok([e for _, _, err in parts for e in err]):
            bad.append(f"{name}: misses the 15 %/30 % rule")
    if bad:
        print("\n".join(bad), file=sys.stderr)
        return 1
    write_table(fits, table_path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
