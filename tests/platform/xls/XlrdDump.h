// Reads a written .xls back with the independent reader (Debian's python3
// with xlrd, formatting info on) through tests/platform/xls/xlrd_dump.py.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace kvtest {

struct XlrdCell {
    std::string kind;    // text, number, blank, error
    std::string value;   // text, repr() of the number, or the error code
    int xf = -1;
};

struct XlrdXf {
    std::string font;
    int height = 0;      // twips
    int colour = 0;
    int bold = 0, italic = 0;
    int halign = 0, valign = 0;
    std::string lines;   // left,right,top,bottom line styles
    std::string colours; // left,right,top,bottom colour indexes
    std::string format;
    std::string fit;     // "wrap,shrink"
};

struct XlrdBook {
    bool ok = false;
    std::string output;   // everything the script printed, for messages
    std::vector<std::string> sheets;
    int grid = -1;
    std::map<std::pair<int, int>, XlrdCell> cells;
    std::map<int, XlrdXf> xfs;
    std::vector<std::array<int, 4>> merges;   // first row, last row, first col, last col
    std::map<int, int> colWidths;
    std::map<int, std::pair<int, int>> rows;  // height, own height flag

    const XlrdCell* cell(int r, int c) const
    {
        auto it = cells.find({r, c});
        return it == cells.end() ? nullptr : &it->second;
    }
    const XlrdXf* xfOf(int r, int c) const
    {
        const XlrdCell* x = cell(r, c);
        if (!x)
            return nullptr;
        auto it = xfs.find(x->xf);
        return it == xfs.end() ? nullptr : &it->second;
    }
};

inline std::string unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

inline std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> f;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        f.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return f;
        start = tab + 1;
    }
}

inline XlrdBook xlrdRead(const std::string& path)
{
    XlrdBook book;
    std::string cmd = "/usr/bin/python3 '" + std::string(KV_SOURCE_DIR) + "/tests/platform/xls/xlrd_dump.py' '" +
                      path + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        book.output = "cannot start /usr/bin/python3";
        return book;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        book.output.append(buf, n);
    int status = pclose(p);
    book.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!book.ok)
        return book;

    std::istringstream in(book.output);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f = splitTabs(line);
        const std::string& tag = f[0];
        if (tag == "sheets") {
            for (size_t i = 1; i < f.size(); ++i)
                book.sheets.push_back(unescape(f[i]));
        } else if (tag == "grid" && f.size() == 2) {
            book.grid = std::atoi(f[1].c_str());
        } else if (tag == "cell" && f.size() == 6) {
            book.cells[{std::atoi(f[1].c_str()), std::atoi(f[2].c_str())}] =
                XlrdCell{f[3], unescape(f[4]), std::atoi(f[5].c_str())};
        } else if (tag == "xf" && f.size() == 13) {
            XlrdXf x;
            x.font = unescape(f[2]);
            x.height = std::atoi(f[3].c_str());
            x.colour = std::atoi(f[4].c_str());
            x.bold = std::atoi(f[5].c_str());
            x.italic = std::atoi(f[6].c_str());
            x.halign = std::atoi(f[7].c_str());
            x.valign = std::atoi(f[8].c_str());
            x.lines = f[9];
            x.colours = f[10];
            x.format = unescape(f[11]);
            x.fit = f[12];
            book.xfs[std::atoi(f[1].c_str())] = x;
        } else if (tag == "merge" && f.size() == 5) {
            book.merges.push_back({std::atoi(f[1].c_str()), std::atoi(f[2].c_str()), std::atoi(f[3].c_str()),
                                   std::atoi(f[4].c_str())});
        } else if (tag == "col" && f.size() == 3) {
            book.colWidths[std::atoi(f[1].c_str())] = std::atoi(f[2].c_str());
        } else if (tag == "row" && f.size() == 4) {
            book.rows[std::atoi(f[1].c_str())] = {std::atoi(f[2].c_str()), std::atoi(f[3].c_str())};
        }
    }
    return book;
}

} // namespace kvtest
