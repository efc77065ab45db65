#!/usr/bin/python3
"""Generates data/CoreList.xls from data/cores.csv.

Run with Debian's python3, which has python3-xlwt and python3-xlrd:
    /usr/bin/python3 tools/make_corelist.py [cores.csv] [CoreList.xls]

Layout of the first sheet (rows and columns from 0): one fixed block of rows
per core family with a heading row above each block; columns 0-2 text (type,
material, size), 3-9 numbers (AP cm^4, Ae mm^2, Aw mm^2, AL nH/N^2, Le mm,
Ve mm^3, weight g), column 10 the source data sheet. The CSV's further
columns (window dimensions, coil-former area, what each row was checked
against) stay out of the workbook. The data are checked before writing (see
data/README.md) and the written file is read back with xlrd.
"""
import csv
import math
import os
import sys

import xlrd
import xlwt

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

DENSITY = 4.8e-3          # g/mm^3, MnZn ferrite
WEIGHT_TOL = 0.20
# Cores whose body is much larger than their effective volume (EP cores
# enclose the winding; small and round-leg cores have thick backs): the data
# sheet weight exceeds density * Ve by more than 20 %. Bounded separately.
HEAVY = {"EC52", "EC70", "EI12.5", "EP7", "EP10", "EP13", "EP17", "EP20", "EPC10", "ER9.5",
         "PTS14/8"}
HEAVY_MAX = 3.0

MU0 = 4e-7 * math.pi
# Families whose size_mm gives the half-core height (a set is two halves);
# the others give the height of the set.
HALF_HEIGHT = {"EC", "EE", "EF", "EFD", "EPC", "ER", "ETD", "LP", "UU"}
# Core window over the outer box: A/2 x set height for the two-window shapes,
# A x set height for U cores, whose one window lies between the legs.
WINDOW_BOX_RATIO = (0.12, 0.45)


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


def check_row(r, mu_i):
    """Problems with one CSV row, as text."""
    errs = []
    name = "%s %s %s" % (r["family"], r["type"], r["material"])
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
    ratio = v["weight_g"] / (DENSITY * v["Ve_mm3"])
    lo, hi = 1 - WEIGHT_TOL, (HEAVY_MAX if r["type"] in HEAVY else 1 + WEIGHT_TOL)
    if not lo <= ratio <= hi:
        errs.append("%s: weight %g g is %.2f x density*Ve" % (name, v["weight_g"], ratio))
    if r["material"] not in mu_i:
        errs.append("%s: material %s has no initial permeability in materials.csv" % (name, r["material"]))
    else:
        mue = effective_permeability(v["AL_nH_per_N2"], v["Le_mm"], v["Ae_mm2"])
        if mue >= mu_i[r["material"]]:
            errs.append("%s: AL %g gives mu_e %.0f, not below mu_i %g of %s"
                        % (name, v["AL_nH_per_N2"], mue, mu_i[r["material"]], r["material"]))
    errs += check_window(r, v["Aw_mm2"], name)
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


def load_permeabilities(path):
    with open(path, newline="", encoding="utf-8") as f:
        return {r["material"]: float(r["mu_i"]) for r in csv.DictReader(f)}


def load(path):
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    mu_i = load_permeabilities(os.path.join(os.path.dirname(os.path.abspath(path)), "materials.csv"))
    errs = []
    by_family = {k: [] for k in BLOCKS}
    for r in rows:
        if r["family"] not in BLOCKS:
            errs.append("unknown family %r" % r["family"])
            continue
        by_family[r["family"]].append(r)
        errs += check_row(r, mu_i)
    for fam, (first, last) in BLOCKS.items():
        need = last - first + 1
        if len(by_family[fam]) != need:
            errs.append("%s: %d rows, the block holds %d" % (fam, len(by_family[fam]), need))
    return by_family, errs


def write(by_family, path):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("CoreList")
    bold = xlwt.easyxf("font: bold on")
    ws.write(0, 0, "Korvane ferrite core list (generated from data/cores.csv by tools/make_corelist.py)", bold)
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


def main():
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
