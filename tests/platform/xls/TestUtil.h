// Helpers for the .xls reader tests: fixture paths, file loading, hand-made
// BIFF streams wrapped into an OLE2 container by libgsf's writer.
#pragma once

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace kvtest {

using Bytes = std::vector<uint8_t>;

inline std::string fixture(const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/tests/platform/xls/fixtures/" + name;
}

inline Bytes readAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const Bytes& b)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline void add16(Bytes& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void add32(Bytes& b, uint32_t v)
{
    add16(b, uint16_t(v));
    add16(b, uint16_t(v >> 16));
}
inline void addStr(Bytes& b, const std::string& latin1)
{
    for (char c : latin1)
        b.push_back(uint8_t(c));
}

// One record: id, length, body.
inline Bytes rec(uint16_t id, const Bytes& body)
{
    Bytes r;
    add16(r, id);
    add16(r, uint16_t(body.size()));
    r.insert(r.end(), body.begin(), body.end());
    return r;
}

inline Bytes bof(uint16_t kind, uint16_t version = 0x0600)
{
    Bytes b;
    add16(b, version);
    add16(b, kind);
    add16(b, 0);
    add16(b, 0);
    add32(b, 0);
    add32(b, 0);
    return rec(0x0809, b);
}
inline Bytes eofRec() { return rec(0x000A, {}); }

inline Bytes labelSst(uint16_t row, uint16_t col, uint32_t idx)
{
    Bytes b;
    add16(b, row);
    add16(b, col);
    add16(b, 15);
    add32(b, idx);
    return rec(0x00FD, b);
}

inline Bytes numberRec(uint16_t row, uint16_t col, double v)
{
    Bytes b;
    add16(b, row);
    add16(b, col);
    add16(b, 15);
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        b.push_back(uint8_t(bits >> (8 * i)));
    return rec(0x0203, b);
}

// SST body with compressed strings; `claimed` overrides the unique count.
inline Bytes sstRec(const std::vector<std::string>& strings, int64_t claimed = -1)
{
    Bytes b;
    add32(b, uint32_t(strings.size()));
    add32(b, claimed < 0 ? uint32_t(strings.size()) : uint32_t(claimed));
    for (const std::string& s : strings) {
        add16(b, uint16_t(s.size()));
        b.push_back(0);
        addStr(b, s);
    }
    return rec(0x00FC, b);
}

// Globals (BOF, optional extra records, one BOUNDSHEET, EOF) followed by the
// sheet records. `sheetOffset` overrides the BOUNDSHEET position.
inline Bytes workbookStream(const Bytes& globalsExtra, const Bytes& sheetCells,
                            int64_t sheetOffset = -1, bool withSheet = true)
{
    Bytes boundsheet;
    if (withSheet) {
        Bytes b;
        add32(b, 0);   // patched below
        add16(b, 0);
        b.push_back(5);
        b.push_back(0);
        addStr(b, "Sheet");
        boundsheet = rec(0x0085, b);
    }
    Bytes s = bof(0x0005);
    size_t bsPos = s.size();
    s.insert(s.end(), boundsheet.begin(), boundsheet.end());
    s.insert(s.end(), globalsExtra.begin(), globalsExtra.end());
    Bytes e = eofRec();
    s.insert(s.end(), e.begin(), e.end());
    uint32_t pos = sheetOffset < 0 ? uint32_t(s.size()) : uint32_t(sheetOffset);
    if (withSheet)
        for (int i = 0; i < 4; ++i)
            s[bsPos + 4 + i] = uint8_t(pos >> (8 * i));
    Bytes sb = bof(0x0010);
    s.insert(s.end(), sb.begin(), sb.end());
    s.insert(s.end(), sheetCells.begin(), sheetCells.end());
    return s;
}

inline Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Wraps a stream into an OLE2 compound document using libgsf's writer.
inline Bytes oleWrap(const Bytes& stream, const char* name = "Workbook")
{
    gsf_init();
    GsfOutput* mem = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(mem);
    GsfOutput* child = gsf_outfile_new_child(GSF_OUTFILE(ole), name, FALSE);
    gsf_output_write(child, stream.size(), stream.data());
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const guint8* p = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(mem));
    Bytes out(p, p + gsf_output_size(mem));
    g_object_unref(mem);
    return out;
}

} // namespace kvtest
