#!/usr/bin/env python3
"""Builds the help page: help/Korvane帮助.html with the chapters of docs/
(the formula language, the magnetic losses, design files) set in between their markers.

usage: help_page.py OUTPUT
"""
import html
import pathlib
import re
import sys

TOP = pathlib.Path(__file__).resolve().parent.parent
# The chapters of docs/ the page sets in, each between <!-- NAME --> and <!-- /NAME -->.
CHAPTERS = ("formula-language", "magnetic-losses", "design-files")


def inline(text):
    text = html.escape(text, quote=False)
    text = re.sub(r"`([^`]+)`", r"<code>\1</code>", text)
    return re.sub(r"\*\*([^*]+)\*\*", r"<b>\1</b>", text)


def markdown(lines):
    """The small part of Markdown the chapter uses: headings, paragraphs,
    lists, tables and fenced code."""
    out, para, items, rows = [], [], [], []
    code = None

    def flush():
        if para:
            out.append("<p>" + inline(" ".join(para)) + "</p>")
            para.clear()
        if items:
            out.append("<ul>" + "".join("<li>" + inline(i) + "</li>" for i in items) + "</ul>")
            items.clear()
        if rows:
            body = [r for r in rows if not re.fullmatch(r"\|[\s:|-]+\|", r)]
            cells = [[c.strip() for c in r.strip("|").split("|")] for r in body]
            t = "<table>"
            for k, row in enumerate(cells):
                tag = "th" if k == 0 else "td"
                t += "<tr>" + "".join(f"<{tag}>{inline(c)}</{tag}>" for c in row) + "</tr>"
            out.append(t + "</table>")
            rows.clear()

    for line in lines:
        if code is not None:
            if line.startswith("```"):
                out.append("<pre>" + html.escape("\n".join(code)) + "</pre>")
                code = None
            else:
                code.append(line)
            continue
        if line.startswith("```"):
            flush()
            code = []
        elif line.startswith("#"):
            flush()
            level = min(len(line) - len(line.lstrip("#")) + 1, 4)
            out.append(f"<h{level}>{inline(line.lstrip('#').strip())}</h{level}>")
        elif line.startswith("- "):
            if para:
                flush()
            items.append(line[2:])
        elif line.startswith("  ") and items:
            items[-1] += " " + line.strip()
        elif line.startswith("|"):
            if para or items:
                flush()
            rows.append(line.strip())
        elif not line.strip():
            flush()
        else:
            para.append(line.strip())
    flush()
    return "\n".join(out)


def main():
    page = (TOP / "help" / "Korvane帮助.html").read_text(encoding="utf-8")
    for name in CHAPTERS:
        chapter = (TOP / "docs" / f"{name}.md").read_text(encoding="utf-8").splitlines()
        if chapter and chapter[0].startswith("# "):
            chapter = chapter[1:]  # the page has its own heading
        begin, end = f"<!-- {name} -->", f"<!-- /{name} -->"
        a, b = page.index(begin) + len(begin), page.index(end)
        page = page[:a] + "\n" + markdown(chapter) + "\n" + page[b:]
    pathlib.Path(sys.argv[1]).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
