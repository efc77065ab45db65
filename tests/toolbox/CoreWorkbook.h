// Hand-made core workbooks for the core database tests: BIFF8 cell records
// in a minimal OLE2 compound file written here byte by byte.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kv::test {

struct XlsCell {
    enum Kind { Text, Number, Error, Formula, Blank, Bool } kind;
    int row, col;
    std::string text;
    double number = 0;
};

inline XlsCell textCell(int r, int c, std::string s) { return {XlsCell::Text, r, c, std::move(s)}; }
inline XlsCell numberCell(int r, int c, double v) { return {XlsCell::Number, r, c, {}, v}; }
inline XlsCell errorCell(int r, int c) { return {XlsCell::Error, r, c, {}}; }
inline XlsCell formulaCell(int r, int c, double v) { return {XlsCell::Formula, r, c, {}, v}; }
inline XlsCell blankCell(int r, int c) { return {XlsCell::Blank, r, c, {}}; }
inline XlsCell boolCell(int r, int c) { return {XlsCell::Bool, r, c, {}}; }

namespace detail {
using Bytes = std::vector<uint8_t>;
inline void put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
inline void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }
inline void putDouble(Bytes& b, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back(uint8_t(bits >> (8 * i)));
}
inline void record(Bytes& s, uint16_t id, const Bytes& body) {
    put16(s, id);
    put16(s, uint16_t(body.size()));
    s.insert(s.end(), body.begin(), body.end());
}
inline Bytes bof(uint16_t kind) {
    Bytes b;
    put16(b, 0x0600);
    put16(b, kind);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    return b;
}
inline Bytes cellHead(const XlsCell& c) {
    Bytes b;
    put16(b, uint16_t(c.row));
    put16(b, uint16_t(c.col));
    put16(b, 15);
    return b;
}

// The workbook stream: globals with a string table, then the one sheet.
inline Bytes biffStream(const std::vector<XlsCell>& cells) {
    std::vector<std::string> strings;
    for (const XlsCell& c : cells)
        if (c.kind == XlsCell::Text) strings.push_back(c.text);
    Bytes s;
    record(s, 0x0809, bof(0x0005));
    const size_t sheetPos = s.size() + 4;
    Bytes bs;
    put32(bs, 0);
    put16(bs, 0);
    bs.push_back(5);
    bs.push_back(0);
    for (char ch : std::string("Sheet")) bs.push_back(uint8_t(ch));
    record(s, 0x0085, bs);
    Bytes sst;
    put32(sst, uint32_t(strings.size()));
    put32(sst, uint32_t(strings.size()));
    for (const std::string& t : strings) {
        // UTF-8 text is stored as UTF-16 (ASCII only in these fixtures).
        put16(sst, uint32_t(t.size()));
        sst.push_back(0);
        for (char ch : t) sst.push_back(uint8_t(ch));
    }
    record(s, 0x00FC, sst);
    record(s, 0x000A, {});
    const uint32_t pos = uint32_t(s.size());
    for (int i = 0; i < 4; ++i) s[sheetPos + i] = uint8_t(pos >> (8 * i));
    record(s, 0x0809, bof(0x0010));
    uint32_t sstIndex = 0;
    for (const XlsCell& c : cells) {
        Bytes b = cellHead(c);
        switch (c.kind) {
        case XlsCell::Text: put32(b, sstIndex++); record(s, 0x00FD, b); break;
        case XlsCell::Number: putDouble(b, c.number); record(s, 0x0203, b); break;
        case XlsCell::Error: b.push_back(0x07); b.push_back(1); record(s, 0x0205, b); break;
        case XlsCell::Bool: b.push_back(1); b.push_back(0); record(s, 0x0205, b); break;
        case XlsCell::Blank: record(s, 0x0201, b); break;
        case XlsCell::Formula:
            putDouble(b, c.number);
            put16(b, 0);
            put32(b, 0);
            // =1+1 as tokens: ptgInt 1, ptgInt 1, ptgAdd
            put16(b, 7);
            b.insert(b.end(), {0x1E, 1, 0, 0x1E, 1, 0, 0x03});
            record(s, 0x0006, b);
            break;
        }
    }
    record(s, 0x000A, {});
    return s;
}

// A version-3 compound file holding one stream "Workbook" in regular
// sectors (the stream is padded to the 4096-byte mini-stream cutoff).
inline Bytes compoundFile(Bytes stream) {
    if (stream.size() < 4096) stream.resize(4096, 0);
    const uint32_t n = uint32_t((stream.size() + 511) / 512);
    const uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF;
    Bytes f;
    const uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    f.insert(f.end(), sig, sig + 8);
    f.resize(24, 0);
    put16(f, 0x003E);
    put16(f, 0x0003);
    put16(f, 0xFFFE);
    put16(f, 9);
    put16(f, 6);
    f.resize(40, 0);
    put32(f, 0);      // directory sectors (v3: 0)
    put32(f, 1);      // FAT sectors
    put32(f, 1);      // first directory sector
    put32(f, 0);
    put32(f, 4096);   // mini stream cutoff
    put32(f, kEnd);   // mini FAT
    put32(f, 0);
    put32(f, kEnd);   // DIFAT
    put32(f, 0);
    put32(f, 0);      // DIFAT[0]: the FAT is sector 0
    for (int i = 1; i < 109; ++i) put32(f, kFree);
    // sector 0: FAT
    put32(f, 0xFFFFFFFD);
    put32(f, kEnd);
    for (uint32_t i = 0; i < n; ++i) put32(f, i + 1 < n ? i + 3 : kEnd);
    while ((f.size() - 512) < 512) put32(f, kFree);
    // sector 1: directory
    auto entry = [&](const char* name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
        Bytes e(128, 0);
        size_t len = 0;
        for (; name[len]; ++len) e[len * 2] = uint8_t(name[len]);
        const uint16_t bytes = uint16_t(name[0] ? (len + 1) * 2 : 0);
        e[64] = uint8_t(bytes);
        e[65] = uint8_t(bytes >> 8);
        e[66] = type;
        e[67] = 1;
        Bytes tail;
        put32(tail, kFree);
        put32(tail, kFree);
        put32(tail, child);
        std::copy(tail.begin(), tail.end(), e.begin() + 68);
        Bytes loc;
        put32(loc, start);
        put32(loc, size);
        put32(loc, 0);
        std::copy(loc.begin(), loc.end(), e.begin() + 116);
        f.insert(f.end(), e.begin(), e.end());
    };
    entry("Root Entry", 5, 1, kEnd, 0);
    entry("Workbook", 2, kFree, 2, uint32_t(stream.size()));
    entry("", 0, kFree, 0, 0);
    entry("", 0, kFree, 0, 0);
    stream.resize(size_t(n) * 512, 0);
    f.insert(f.end(), stream.begin(), stream.end());
    return f;
}
} // namespace detail

inline void writeWorkbook(const std::string& path, const std::vector<XlsCell>& cells) {
    const detail::Bytes b = detail::compoundFile(detail::biffStream(cells));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A complete core row of ten cells.
inline void addCoreRow(std::vector<XlsCell>& cells, int row, const std::string& type,
                       const std::vector<double>& numbers) {
    cells.push_back(textCell(row, 0, type));
    cells.push_back(textCell(row, 1, "N87"));
    cells.push_back(textCell(row, 2, "10x5x3"));
    for (size_t k = 0; k < numbers.size() && k < 7; ++k) cells.push_back(numberCell(row, int(3 + k), numbers[k]));
}

} // namespace kv::test
