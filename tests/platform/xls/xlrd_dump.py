#!/usr/bin/python3
"""Dumps the first sheet of an .xls file as read by xlrd (formatting info on),
one tab-separated line per fact, for the writer tests.

    /usr/bin/python3 tests/platform/xls/xlrd_dump.py FILE
"""
import sys

import xlrd


def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def main():
    book = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True)
    out = ["sheets\t" + "\t".join(esc(n) for n in book.sheet_names())]
    sh = book.sheet_by_index(0)
    out.append("grid\t%d" % sh.show_grid_lines)
    used = set()
    for r in range(sh.nrows):
        for c in range(sh.row_len(r)):
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            kind = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
                    xlrd.XL_CELL_BLANK: "blank", xlrd.XL_CELL_ERROR: "error"}.get(cell.ctype, "other")
            if kind == "text":
                value = esc(cell.value)
            elif kind == "number":
                value = repr(float(cell.value))
            elif kind == "error":
                value = str(cell.value)
            else:
                value = ""
            out.append("cell\t%d\t%d\t%s\t%s\t%d" % (r, c, kind, value, cell.xf_index))
            used.add(cell.xf_index)
    for xi in sorted(used):
        xf = book.xf_list[xi]
        font = book.font_list[xf.font_index]
        b = xf.border
        a = xf.alignment
        fmt = book.format_map[xf.format_key].format_str
        out.append("xf\t%d\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d,%d,%d,%d\t%d,%d,%d,%d\t%s\t%d,%d" % (
            xi, esc(font.name), font.height, font.colour_index, font.bold, font.italic,
            a.hor_align, a.vert_align,
            b.left_line_style, b.right_line_style, b.top_line_style, b.bottom_line_style,
            b.left_colour_index, b.right_colour_index, b.top_colour_index, b.bottom_colour_index,
            esc(fmt), a.text_wrapped, a.shrink_to_fit))
    for rlo, rhi, clo, chi in sh.merged_cells:
        out.append("merge\t%d\t%d\t%d\t%d" % (rlo, rhi - 1, clo, chi - 1))
    for c, info in sorted(sh.colinfo_map.items()):
        out.append("col\t%d\t%d" % (c, info.width))
    for r, info in sorted(sh.rowinfo_map.items()):
        out.append("row\t%d\t%d\t%d" % (r, info.height, info.height_mismatch))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
