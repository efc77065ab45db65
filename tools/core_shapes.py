"""Effective parameters of ferrite core sets from their standard dimensions.

The magnetic path of a set is cut into pieces of length l and cross-section A
(legs, yokes, corners, the radial flow through the base of a pot-like core).
Then C1 = sum(l/A), C2 = sum(l/A^2), le = C1^2/C2, Ae = C1/C2, Ve = le*Ae
(IEC 60205). Rules of that method kept here:
- every dimension is the middle of its tolerance band;
- a sharp corner is a quarter circle joining the centres of area of the two
  sections it links, with the mean of their areas;
- a set is two equal halves unless a plate closes it.
Several parallel branches (two outer legs, two yoke arms) count as one piece
of their summed area, so one loop around one window is the path.

The dimensions are those of IEC 63093 (and IEC 62317) as compiled in the
OpenMagnetics MAS open data set (Apache License 2.0): data/iec-core-shapes.ndjson,
its licence text beside it. Lengths in mm, areas in mm^2.
"""
import json
import math
import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHAPES_FILE = os.path.join(ROOT, "data", "iec-core-shapes.ndjson")


class ShapeError(ValueError):
    pass


# Slips of the dimension table, corrected by name: {shape: {letter: (mm, why)}}.
SLIPS = {
    "E 80/38/20": {"C": (19.8, "minimum 21.4 lies above the maximum 20.2; 19.4 to 20.2 as for F")},
    "E 56/24/19": {"B": (23.6, "maximum 26.93 does not fit the nominal 23.6; the nominal is taken")},
    "U 93/76/16": {"C": (16.0, "the table repeats C 20 of U 93/76/20; UI 93/76/16 gives 15.5 to 16.5")},
    "U 10/8/3": {"D": (5.0, "nominal 5.0 lies outside its limits 5.3 and 5.3; the nominal is taken")},
    "U 30/25/16": {"D": (14.9, "minimum 145 is 14.5 in the wrong unit; 14.5 to 15.3")},
    "RM 5": {"F": (4.8, "minimum 4.07 is 4.7 of the RM 5 drawings; 4.7 to 4.9")},
    "RM 5/I": {"F": (4.8, "minimum 4.07 is 4.7 of the RM 5 drawings; 4.7 to 4.9")},
}
# Names the table holds twice: the entry to use (0 = first).
DUPLICATES = {"ER 40": (0, "the second entry letters D and F the other way round (EER drawing)")}


def _mid(letter, v, shape):
    """Middle of the tolerance band in mm; refuses a band that contradicts itself."""
    lo, nom, hi = (v.get(k) for k in ("minimum", "nominal", "maximum"))
    if lo is not None and hi is not None:
        if lo > hi or (nom is not None and not lo <= nom <= hi):
            raise ShapeError("%s: %s limits %s" % (shape, letter, v))
        return (lo + hi) / 2 * 1e3
    if nom is not None:
        return nom * 1e3
    return (lo if lo is not None else hi) * 1e3


class Table:
    """The dimension table: shape name -> letters in mm (slips corrected)."""

    def __init__(self, path=SHAPES_FILE):
        self.entries = {}
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.strip():
                    d = json.loads(line)
                    self.entries.setdefault(d["name"], []).append(d)

    def entry(self, name):
        found = self.entries.get(name)
        if not found:
            raise ShapeError("no shape %r in the dimension table" % name)
        if len(found) > 1:
            if name not in DUPLICATES:
                raise ShapeError("shape %r is in the dimension table %d times" % (name, len(found)))
            return found[DUPLICATES[name][0]]
        return found[0]

    def letters(self, name):
        d = self.entry(name)
        slips = SLIPS.get(name, {})
        out = {}
        for k, v in d["dimensions"].items():
            if k in slips:
                out[k] = slips[k][0]
            elif isinstance(v, dict):
                out[k] = _mid(k, v, name)
            else:
                out[k] = v * 1e3
        return d["family"], out


class Path:
    """Pieces (length, area) of the magnetic path and the effective parameters."""

    def __init__(self, pieces):
        if any(l <= 0 or a <= 0 for l, a in pieces):
            raise ShapeError("a path piece is not positive: %s" % (pieces,))
        self.pieces = pieces
        self.c1 = sum(l / a for l, a in pieces)
        self.c2 = sum(l / a / a for l, a in pieces)
        self.le = self.c1 * self.c1 / self.c2
        self.ae = self.c1 / self.c2
        self.ve = self.le * self.ae
        self.length = sum(l for l, _ in pieces)
        self.a_min = min(a for _, a in pieces)
        self.a_max = max(a for _, a in pieces)


def corner(a, b, area1, area2):
    """One sharp corner: quarter circle whose radius is the mean of the
    distances a and b from the corner to the centres of area of the two
    sections, with their mean area."""
    return (math.pi / 2 * (a + b) / 2, (area1 + area2) / 2)


def half_disc_centre(d):
    """Distance from the edge of a round post of diameter d to the centre of area of its half."""
    return d / 2 - 2 * d / (3 * math.pi)


def arc_legs(A, C, E, G=None, n=400):
    """Both outer legs whose inner face is an arc: through (E/2, 0) and
    (G/2, C/2) when G is given, else the circle of diameter E about the post.
    Returns the area, the mean inner face x and the distance of their centre of
    area from that face."""
    e, c = E / 2, C / 2
    if G is None:
        xc, r = 0.0, e
    elif abs(e - G / 2) < 1e-9:
        return (A - E) * C, e, (A - E) / 4
    else:
        g = G / 2
        xc = (e * e - g * g - c * c) / (2 * (e - g))
        r = e - xc
    area = moment = inner = 0.0
    dy = C / n
    for i in range(n):
        y = -c + (i + 0.5) * dy
        x_in = xc + math.sqrt(max(r * r - y * y, 0.0))
        w = A / 2 - x_in
        area += w * dy
        moment += w * dy * (A / 2 + x_in) / 2
        inner += x_in / n
    return 2 * area, inner, moment / area - inner


def e_pair(L, centre_area, centre_c, legs, plate=None):
    """E-type set: centre leg, two outer legs, yokes. centre_c is the distance
    of the centre of area of half the centre leg from its edge; legs = (area
    of both, mean inner x, distance of their centre of area from it).
    plate: thickness of a flat plate closing one E (E + PLT) instead of a second E."""
    A, B, C, D, F = L["A"], L["B"], L["C"], L["D"], L["F"]
    a_legs, x_in, s_c = legs
    h = B - D
    yoke = 2 * h * C
    arm = x_in - F / 2
    if plate is None:
        return Path([(2 * D, centre_area), (2 * D, a_legs), (2 * arm, yoke),
                     _double(corner(s_c, h / 2, a_legs, yoke)),
                     _double(corner(centre_c, h / 2, centre_area, yoke))])
    p = 2 * plate * C
    return Path([(D, centre_area), (D, a_legs), (arm, yoke), (arm, p),
                 corner(s_c, h / 2, a_legs, yoke), corner(s_c, plate / 2, a_legs, p),
                 corner(centre_c, h / 2, centre_area, yoke), corner(centre_c, plate / 2, centre_area, p)])


def _double(piece):
    return (2 * piece[0], piece[1])


def flat_legs(L):
    A, C, E = L["A"], L["C"], L["E"]
    return (A - E) * C, E / 2, (A - E) / 4


def pot(r1, r2, r3, h, window, wall, wall_c, base_share=None, steps=200):
    """Pot-like set: round post (hole radius r1, radius r2), window radius r3,
    base thickness h, window height of the set, outer wall area and distance of
    its centre of area beyond r3. The base carries the flux radially from r2
    to r3 in both halves; base_share(r) is the part of the full circle it may
    use at radius r (1 for a closed pot)."""
    post = math.pi * (r2 * r2 - r1 * r1)
    share = base_share or (lambda r: 1.0)
    pieces = [(window, post), (window, wall)]
    dr = (r3 - r2) / steps
    for i in range(steps):
        r = r2 + (i + 0.5) * dr
        pieces.append((2 * dr, 2 * math.pi * r * h * share(r)))
    post_c = r2 - math.sqrt((r1 * r1 + r2 * r2) / 2)   # post edge to the circle halving its area
    pieces.append(_double(corner(post_c, h / 2, post, 2 * math.pi * r2 * h * share(r2))))
    pieces.append(_double(corner(wall_c, h / 2, wall, 2 * math.pi * r3 * h * share(r3))))
    return Path(pieces)


def _e(L, plate=None):
    return e_pair(L, L["C"] * L["F"], L["F"] / 4, flat_legs(L), plate)


def _efd(L):
    # flattened centre leg F x F2 with rounded edges of radius q
    q = L.get("q", 0.0)
    return e_pair(L, L["F"] * L["F2"] - (4 - math.pi) * q * q, L["F"] / 4, flat_legs(L))


def _round_post(L, legs):
    F = L["F"]
    return e_pair(L, math.pi * F * F / 4, half_disc_centre(F), legs)


def _etd(L):
    return _round_post(L, arc_legs(L["A"], L["C"], L["E"]))


def _er(L):
    return _round_post(L, flat_legs(L))


def _planar_er(L):
    return _round_post(L, arc_legs(L["A"], L["C"], L["E"], L.get("G")))


def _p(L):
    # two wire slots of width G through the wall; H the centre hole
    r4, r3, r2, r1 = L["A"] / 2, L["E"] / 2, L["F"] / 2, L.get("H", 0.0) / 2
    wall = math.pi * (r4 * r4 - r3 * r3) - 2 * L.get("G", 0.0) * (r4 - r3)
    wall_c = math.sqrt((r3 * r3 + r4 * r4) / 2) - r3
    return pot(r1, r2, r3, L["B"] - L["D"], 2 * L["D"], wall, wall_c)


def _rm(L, n=400):
    # two legs of width C between the window circle and the outer face at A/2;
    # the base narrows from the whole circle at the post to the legs' share at r3
    r3, r2, r1 = L["E"] / 2, L["F"] / 2, L.get("H", 0.0) / 2
    c, xa = L["C"] / 2, L["A"] / 2
    area = moment = 0.0
    dy = 2 * c / n
    for i in range(n):
        y = -c + (i + 0.5) * dy
        x_in = math.sqrt(max(r3 * r3 - y * y, 0.0))
        w = xa - x_in
        area += w * dy
        moment += w * dy * math.hypot((xa + x_in) / 2, y)
    legs_share = 4 * math.asin(c / r3) / (2 * math.pi)

    def share(r):
        return 1 - (1 - legs_share) * (r - r2) / (r3 - r2)

    return pot(r1, r2, r3, L["B"] - L["D"], 2 * L["D"], 2 * area, moment / area - r3, share)


def _ep(L, n=400):
    # block A x C with a round window of diameter E about the post, open to the
    # front; K sets the post back from the middle of the depth
    A, C, R = L["A"], L["C"], L["E"] / 2
    y0 = C / 2 + L.get("K", 0.0)
    area = moment = 0.0
    dx = A / n
    for i in range(n):
        x = -A / 2 + (i + 0.5) * dx
        depth = y0 - math.sqrt(R * R - x * x) if abs(x) < R else C
        if depth > 0:
            area += depth * dx
            moment += depth * dx * math.hypot(x, y0 - depth / 2)
    return pot(0.0, L["F"] / 2, R, L["B"] - L["D"], 2 * L["D"], area, max(moment / area - R, 0.0))


def _u(L):
    # U pair: two legs of width (A - E)/2, two yokes; only the minimum of E is
    # tabled, so the legs are as wide as the drawing allows
    A, B, C, D, E = L["A"], L["B"], L["C"], L["D"], L["E"]
    s, h = (A - E) / 2, B - D
    legs, yoke = s * C, h * C
    c = corner(s / 2, h / 2, legs, yoke)
    return Path([(4 * D, legs), (2 * E, yoke), (4 * c[0], c[1])])


# table family -> (drawing family used for confirmation, calculation); PQ legs
# are taken as those of ETD (inner faces on the window circle)
FAMILIES = {
    "e": ("E", _e), "planarE": ("E", _e), "efd": ("EFD", _efd), "etd": ("ETD", _etd),
    "er": ("ER", _er), "planarER": ("ER", _planar_er), "ec": ("EC", _er), "pq": ("PQ", _etd),
    "p": ("P", _p), "rm": ("RM", _rm), "ep": ("EP", _ep), "u": ("U", _u),
}
PLATE = re.compile(r"^(.*\S)\s*\+\s*PLT\s*([\d.]+)/([\d.]+)/([\d.]+)$")


def drawing_family(table, shape):
    """Family whose drawing the shape follows ('E+PLT' for an E closed by a plate)."""
    m = PLATE.match(shape)
    family, _ = table.letters(m.group(1) if m else shape)
    if family not in FAMILIES:
        raise ShapeError("%s: no calculation for the %s family" % (shape, family))
    return "E+PLT" if m else FAMILIES[family][0]


def calculate(table, shape):
    """Path of a shape name, or of 'E ... + PLT l/w/t' (an E closed by a plate of thickness t)."""
    m = PLATE.match(shape)
    if m:
        family, L = table.letters(m.group(1))
        if family not in ("e", "planarE"):
            raise ShapeError("%s: a plate closes E shapes only" % shape)
        return _e(L, plate=float(m.group(4)))
    family, L = table.letters(shape)
    if family not in FAMILIES:
        raise ShapeError("%s: no calculation for the %s family" % (shape, family))
    return FAMILIES[family][1](L)


def round3(x):
    """Three significant figures, as the effective parameters are published."""
    return float("%.3g" % x)
