#!/usr/bin/python3
"""Generates data/CoreList.xls from data/cores.csv.

Run with Debian's python3, which has python3-xlwt and python3-xlrd:
    /usr/bin/python3 tools/make_corelist.py [cores.csv] [CoreList.xls]
    /usr/bin/python3 tools/make_corelist.py --report [cores.csv]

Layout of the first sheet (rows and columns from 0): one fixed block of rows
per core family with a heading row above each block; columns 0-2 text (type,
material, size), 3-9 numbers (AP cm^4, Ae mm^2, Aw mm^2, AL nH/N^2, Le mm,
Ve mm^3, weight g), column 10 the source data sheet. The CSV's further
columns (window dimensions, coil-former area, what each row was checked
against, the IEC shape) stay out of the workbook. The data are checked before
writing (see data/README.md), against the effective parameters calculated
from the shape's dimensions among others, and the written file is read back
with xlrd. With --report the tool prints that calculation beside every row
and the accuracy per family instead of writing.
"""
import csv
import math
import os
import sys

import xlrd
import xlwt

import core_shapes

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Family -> (first row, last row), inclusive.
BLOCKS = {
    "EC": (4, 7), "EE": (9, 37), "EF": (39, 43), "EFD": (45, 50), "EI": (52, 66),
    "EP": (68, 72), "EPC": (74, 81), "ER": (83, 102), "ETD": (104, 112),
    "LP": (114, 116), "RM": (118, 124), "PTS": (126, 130), "PQ": (132, 140),
    "UU": (142, 153),
}
FAMILY_NAMES = {
    "EC": "EC cores", "EE": "E cores", "EF": "EF cores", "EFD": "EFD cores",
    "EI": "EI cores", "EP": "EP cores", "EPC": "EPC cores", "ER": "ER cores",
    "ETD": "ETD cores", "LP": "Low-profile E cores (E + PLT)", "RM": "RM cores",
    "PTS": "PT/PTS pot cores", "PQ": "PQ cores", "UU": "U cores (UU pairs)",
}
TEXT_COLS = ["type", "material", "size_mm"]
NUM_COLS = ["AP_cm4", "Ae_mm2", "Aw_mm2", "AL_nH_per_N2", "Le_mm", "Ve_mm3", "weight_g"]
CHECK_COLS = ["checked_against", "checked_values"]
HEADINGS = ["类型", "材料", "尺寸(mm)", "AP(cm4)", "Ae(mm2)", "AW(mm2)", "AL(nH/Turns2)",
            "Le(mm)", "Ve(mm3)", "Wt(g)", "Source"]

WEIGHT_TOL = 0.20
# Cores whose body is much larger than their effective volume (EP cores
# enclose the winding; small and round-leg cores have thick backs): the data
# sheet weight exceeds density * Ve by more than 20 %. Bounded separately.
HEAVY = {"EC52", "EC70", "EI12.5", "EP7", "EP10", "EP13", "EP17", "EP20", "EPC10", "ER9.5",
         "PTS14/8"}
HEAVY_MAX = 3.0

MU0 = 4e-7 * math.pi
# The AL of a set scatters with the ring permeability of its material, +-25 %
# about the nominal mu_i; an ungapped set cannot lie above that band.
MU_I_TOLERANCE = 0.25
# Families whose size_mm gives the half-core height (a set is two halves);
# the others give the height of the set.
HALF_HEIGHT = {"EC", "EE", "EF", "EFD", "EPC", "ER", "ETD", "LP", "UU"}
# Core window over the outer box: A/2 x set height for the two-window shapes,
# A x set height for U cores, whose one window lies between the legs.
WINDOW_BOX_RATIO = (0.12, 0.45)

# Effective parameters against the calculation from the shape's dimensions.
CALCULATED = "calculated: IEC 60205 from IEC 63093 dimensions"
NOT_CONFIRMED = "Ae le Ve kept: the calculation of this family is not confirmed by maker sheets"
MAKERS = ("TDK", "Ferroxcube", "Siemens")
CONFIRM_TOL = 0.04    # a maker sheet confirms the calculation of its family
ROW_TOL = 0.05        # a row of a confirmed family without its own sheet
SECTION_TOL = 0.03    # Ae cannot exceed the largest section of the path
PARAMS = (("Ae_mm2", "ae"), ("Le_mm", "le"), ("Ve_mm3", "ve"))


def effective_permeability(al_nh, le_mm, ae_mm2):
    """mu_e of a set from its AL (nH/N^2), le and Ae."""
    return al_nh * 1e-9 * le_mm * 1e-3 / (MU0 * ae_mm2 * 1e-6)


def window_box(family, size_mm):
    """(width bound, set height) of the window from the outer dimensions."""
    dims = [float(x) for x in size_mm.split("x")]
    if family == "EP":  # width x depth x set height
        height = dims[2]
    else:
        height = 2 * dims[1] if family in HALF_HEIGHT else dims[1]
    return (dims[0] if family == "UU" else dims[0] / 2), height


def row_name(r):
    return "%s %s %s" % (r["family"], r["type"], r["material"])


def documented(r):
    """'sheet' when Ae, le and Ve were read from the maker's sheet of the row,
    'quoted' when they agree with the maker's values quoted elsewhere, else None."""
    if not (r.get("checked_values") or "").startswith("Ae le Ve"):
        return None
    against = r.get("checked_against") or ""
    if against.startswith(MAKERS):
        return "sheet"
    return "quoted" if against.startswith("secondary:") else None


def deviations(r, calc):
    """Relative deviation of the row's Ae, le and Ve from the calculation."""
    return {col: float(r[col]) / getattr(calc, attr) - 1 for col, attr in PARAMS}


class Calculations:
    """The calculated path of every row that names an IEC shape, and which
    families the makers' sheets confirm."""

    def __init__(self, rows, table):
        self.paths, self.families, self.errors = {}, {}, []
        for r in rows:
            shape = (r.get("iec_shape") or "").strip()
            if not shape:
                continue
            try:
                self.paths[id(r)] = core_shapes.calculate(table, shape)
                self.families[id(r)] = core_shapes.drawing_family(table, shape)
            except (core_shapes.ShapeError, KeyError, ValueError) as e:
                self.errors.append("%s: shape %s: %s" % (row_name(r), shape, e))
        self.accuracy = {}   # drawing family -> [(row, how documented, deviations)]
        for r in rows:
            how = documented(r)
            if how and id(r) in self.paths:
                try:
                    dev = deviations(r, self.paths[id(r)])
                except ValueError:   # check_row names the value
                    continue
                self.accuracy.setdefault(self.families[id(r)], []).append((r, how, dev))
        self.confirmed = set()
        for fam, found in self.accuracy.items():
            agreeing = {r["iec_shape"] for r, _, dev in found
                        if all(abs(x) <= CONFIRM_TOL for x in dev.values())}
            if len(agreeing) >= 2:
                self.confirmed.add(fam)

    def path(self, r):
        return self.paths.get(id(r))

    def family(self, r):
        return self.families.get(id(r))


def check_effective(r, calc, name):
    """Ae, le, Ve of a row against the calculation from its shape."""
    path, fam = calc.path(r), calc.family(r)
    if path is None:
        return []
    v = {col: float(r[col]) for col, _ in PARAMS}
    errs = []
    # Ae = C1/C2 is a mean of the sections along the path, whatever the family
    if v["Ae_mm2"] > path.a_max * (1 + SECTION_TOL):
        errs.append("%s: Ae %g exceeds the largest section %.3g of %s"
                    % (name, v["Ae_mm2"], path.a_max, r["iec_shape"]))
    dev = deviations(r, path)
    against, values = r["checked_against"], r["checked_values"]
    if against == CALCULATED:
        for col, attr in PARAMS:
            if v[col] != core_shapes.round3(getattr(path, attr)):
                errs.append("%s: %s %g is not the calculated %g of %s"
                            % (name, col, v[col], core_shapes.round3(getattr(path, attr)), r["iec_shape"]))
        return errs
    if fam not in calc.confirmed:
        if NOT_CONFIRMED not in values:
            errs.append("%s: the %s calculation is not confirmed; checked_values must say %r"
                        % (name, fam, NOT_CONFIRMED))
        return errs
    if NOT_CONFIRMED in values:
        errs.append("%s: the %s calculation is confirmed; drop %r" % (name, fam, NOT_CONFIRMED))
    if documented(r) == "sheet":
        return errs
    for col, attr in PARAMS:
        if abs(dev[col]) > ROW_TOL:
            errs.append("%s: %s %g is %+.0f %% from %.3g calculated for %s; take the calculated "
                        "values (%s) or name the maker sheet that gives it"
                        % (name, col, v[col], 100 * dev[col], getattr(path, attr), r["iec_shape"], CALCULATED))
    return errs


def check_row(r, materials, calc):
    """Problems with one CSV row, as text."""
    errs = []
    name = row_name(r)
    for c in TEXT_COLS + ["source"] + CHECK_COLS:
        if not (r.get(c) or "").strip():
            errs.append("%s: empty %s" % (name, c))
    try:
        v = {c: float(r[c]) for c in NUM_COLS}
    except ValueError as e:
        return errs + ["%s: %s" % (name, e)]
    if any(x <= 0 for x in v.values()):
        return errs + ["%s: values must be positive" % name]
    ap = v["Ae_mm2"] * v["Aw_mm2"] / 1e4
    if abs(v["AP_cm4"] / ap - 1) > 0.01:
        errs.append("%s: AP %g differs from Ae*Aw = %g" % (name, v["AP_cm4"], ap))
    ve = v["Ae_mm2"] * v["Le_mm"]
    if abs(v["Ve_mm3"] / ve - 1) > 0.05:
        errs.append("%s: Ve %g differs from Ae*Le = %g" % (name, v["Ve_mm3"], ve))
    if r["material"] not in materials:
        return errs + ["%s: material %s is not in materials.csv" % (name, r["material"])]
    mu_i, density = materials[r["material"]]
    ratio = v["weight_g"] / (density * 1e-3 * v["Ve_mm3"])
    lo, hi = 1 - WEIGHT_TOL, (HEAVY_MAX if r["type"] in HEAVY else 1 + WEIGHT_TOL)
    if not lo <= ratio <= hi:
        errs.append("%s: weight %g g is %.2f x density*Ve" % (name, v["weight_g"], ratio))
    mue = effective_permeability(v["AL_nH_per_N2"], v["Le_mm"], v["Ae_mm2"])
    if not mu_i / 4 < mue <= mu_i * (1 + MU_I_TOLERANCE):
        errs.append("%s: AL %g gives mu_e %.0f, outside mu_i/4 to mu_i + %.0f %% (mu_i %g of %s)"
                    % (name, v["AL_nH_per_N2"], mue, 100 * MU_I_TOLERANCE, mu_i, r["material"]))
    errs += check_window(r, v["Aw_mm2"], name)
    errs += check_effective(r, calc, name)
    return errs


def check_window(r, aw, name):
    try:
        width, height = window_box(r["family"], r["size_mm"])
    except (ValueError, IndexError):
        return ["%s: size %r is not AxBxC" % (name, r["size_mm"])]
    errs = []
    lo, hi = WINDOW_BOX_RATIO
    if not lo <= aw / (width * height) <= hi:
        errs.append("%s: AW %g is %.2f of the outer box %gx%g" % (name, aw, aw / (width * height), width, height))
    if r.get("window_hxw_mm"):
        try:
            h, w = (float(x) for x in r["window_hxw_mm"].split("x"))
        except ValueError:
            return errs + ["%s: window %r is not HxW" % (name, r["window_hxw_mm"])]
        if abs(h * w / aw - 1) > 0.01:
            errs.append("%s: AW %g is not window %g x %g" % (name, aw, h, w))
        if not (h < height and w < width):
            errs.append("%s: window %g x %g does not fit %g x %g" % (name, h, w, height, width))
    return errs


def load_materials(path):
    """material -> (initial permeability, density in g/cm^3)."""
    with open(path, newline="", encoding="utf-8") as f:
        return {r["material"]: (float(r["mu_i"]), float(r["density_g_cm3"])) for r in csv.DictReader(f)}


def read_rows(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def load(path):
    """Rows by family and the problems found."""
    rows = read_rows(path)
    materials = load_materials(os.path.join(os.path.dirname(os.path.abspath(path)), "materials.csv"))
    calc = Calculations(rows, core_shapes.Table())
    errs = list(calc.errors)
    by_family = {k: [] for k in BLOCKS}
    for r in rows:
        if r["family"] not in BLOCKS:
            errs.append("unknown family %r" % r["family"])
            continue
        by_family[r["family"]].append(r)
        errs += check_row(r, materials, calc)
    for fam, (first, last) in BLOCKS.items():
        need = last - first + 1
        if len(by_family[fam]) != need:
            errs.append("%s: %d rows, the block holds %d" % (fam, len(by_family[fam]), need))
    return by_family, errs


def write(by_family, path):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("CoreList")
    bold = xlwt.easyxf("font: bold on")
    ws.write(0, 0, "Korvane ferrite core list (generated from data/cores.csv by tools/make_corelist.py; "
                   "calculated values from the IEC 63093 dimensions of the OpenMagnetics MAS data set, "
                   "Apache License 2.0)", bold)
    for c, h in enumerate(HEADINGS):
        ws.write(1, c, h, bold)
    for fam, (first, _last) in BLOCKS.items():
        ws.write(first - 1, 0, fam, bold)
        ws.write(first - 1, 1, FAMILY_NAMES[fam])
        for i, r in enumerate(by_family[fam]):
            row = first + i
            for c, key in enumerate(TEXT_COLS):
                ws.write(row, c, r[key])
            for c, key in enumerate(NUM_COLS):
                ws.write(row, 3 + c, float(r[key]))
            ws.write(row, 10, r["source"])
    for c, width in enumerate([16, 8, 18, 9, 9, 9, 13, 8, 9, 8, 48]):
        ws.col(c).width = width * 256
    wb.save(path)


def verify(by_family, path):
    sh = xlrd.open_workbook(path).sheet_by_index(0)
    for fam, (first, _last) in BLOCKS.items():
        for i, r in enumerate(by_family[fam]):
            row = first + i
            for c, key in enumerate(TEXT_COLS):
                assert sh.cell(row, c).ctype == xlrd.XL_CELL_TEXT and sh.cell_value(row, c) == r[key]
            for c, key in enumerate(NUM_COLS):
                assert sh.cell(row, 3 + c).ctype == xlrd.XL_CELL_NUMBER
                assert sh.cell_value(row, 3 + c) == float(r[key])


def report(src, out=sys.stdout):
    """Every row beside its calculation, then the accuracy per drawing family."""
    rows = read_rows(src)
    calc = Calculations(rows, core_shapes.Table())
    for e in calc.errors:
        print("error:", e, file=out)
    print("%-26s %-26s %-6s %19s %19s %19s" % ("row", "shape", "family", "Ae calc dev", "le calc dev",
                                               "Ve calc dev"), file=out)
    for r in rows:
        path = calc.path(r)
        if path is None:
            continue
        try:
            dev = deviations(r, path)
        except ValueError:
            print("%-26s values are not numbers" % row_name(r), file=out)
            continue
        print("%-26s %-26s %-6s" % (row_name(r), r["iec_shape"], calc.family(r))
              + "".join(" %7s %7s %+5.1f%%" % (r[col], "%.0f" % x if x >= 1000 else "%.3g" % x, 100 * dev[col])
                        for col, attr in PARAMS for x in [getattr(path, attr)]), file=out)
    print("\nfamily    confirmed  maker-documented rows (Ae le Ve deviation from the calculation)", file=out)
    for fam in sorted(set(calc.families.values())):
        found = calc.accuracy.get(fam, [])
        print("%-9s %-10s %s" % (fam, "yes" if fam in calc.confirmed else "no", "; ".join(
            "%s %s (%s) %s" % (r["type"], r["material"], how,
                               " ".join("%+.1f" % (100 * dev[col]) for col, _ in PARAMS))
            for r, how, dev in found) or "none"), file=out)


def main():
    if sys.argv[1:2] == ["--report"]:
        report(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "data", "cores.csv"))
        return 0
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data", "cores.csv")
    dst = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "data", "CoreList.xls")
    by_family, errs = load(src)
    if errs:
        for e in errs:
            print("error:", e, file=sys.stderr)
        return 1
    write(by_family, dst)
    verify(by_family, dst)
    print("wrote %s (%d cores)" % (dst, sum(len(v) for v in by_family.values())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
