#include "platform/xls/XlsWriter.h"

#include "platform/io/AtomicFile.h"
#include "platform/xls/Biff.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv::xls {

namespace {

using namespace biff;

// Records only the writer needs.
constexpr uint16_t kPrecision   = 0x000E;
constexpr uint16_t kDateMode    = 0x0022;
constexpr uint16_t kFont        = 0x0031;
constexpr uint16_t kWindow1     = 0x003D;
constexpr uint16_t kDefColWidth = 0x0055;
constexpr uint16_t kColInfo     = 0x007D;
constexpr uint16_t kMergedCells = 0x00E5;
constexpr uint16_t kXf          = 0x00E0;
constexpr uint16_t kRow         = 0x0208;
constexpr uint16_t kDefRowHeight = 0x0225;
constexpr uint16_t kWindow2     = 0x023E;
constexpr uint16_t kStyle       = 0x0293;
constexpr uint16_t kFormat      = 0x041E;

constexpr uint16_t kCodePageUtf16 = 1200;
constexpr int kStyleXfs = 15;           // XF 0..14 are styles, 15 the default cell
constexpr int kDefaultFonts = 4;        // font records 0..3; index 4 is never used
constexpr uint16_t kFirstCustomFormat = 164;
constexpr size_t kMaxStringUnits = 32767;
constexpr size_t kMergesPerRecord = 1026;
constexpr size_t kMinStream = 4096;     // keeps the stream out of the OLE2 mini-stream

using Bytes = std::vector<uint8_t>;

// Little-endian record body under construction.
struct Body {
    Bytes b;
    void u8(uint8_t v) { b.push_back(v); }
    void u16(uint16_t v)
    {
        b.resize(b.size() + 2);
        put16(&b[b.size() - 2], v);
    }
    void u32(uint32_t v)
    {
        b.resize(b.size() + 4);
        put32(&b[b.size() - 4], v);
    }
    void f64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
    }
};

void record(Bytes& out, uint16_t id, const Bytes& body)
{
    size_t at = out.size();
    out.resize(at + 4);
    put16(&out[at], id);
    put16(&out[at + 2], uint16_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

std::u16string toUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        uint8_t c = uint8_t(s[i]);
        uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else {
            size_t need = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
            if (need) {
                // A broken sequence becomes one U+FFFD for the lead byte and
                // the continuation bytes that follow it.
                uint32_t v = c & (0xFF >> (need + 1));
                size_t k = 1;
                for (; k < need && i + k < s.size() && (uint8_t(s[i + k]) & 0xC0) == 0x80; ++k)
                    v = (v << 6) | (uint8_t(s[i + k]) & 0x3F);
                len = k;
                bool shortest = need == 2 || (need == 3 && v >= 0x800) || (need == 4 && v >= 0x10000);
                if (k == need && shortest && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF))
                    cp = v;
            }
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    if (out.size() > kMaxStringUnits) {
        size_t cut = kMaxStringUnits;
        if (out[cut - 1] >= 0xD800 && out[cut - 1] <= 0xDBFF)
            --cut;   // no half surrogate pair
        out.resize(cut);
    }
    return out;
}

bool latin1(const std::u16string& s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}

// Characters of a string, compressed or UTF-16LE.
void chars(Body& b, const std::u16string& s, size_t from, size_t n, bool high)
{
    for (size_t i = from; i < from + n; ++i) {
        if (high)
            b.u16(uint16_t(s[i]));
        else
            b.u8(uint8_t(s[i]));
    }
}

// XLUnicodeString with a 16-bit count (FORMAT) or an 8-bit one (sheet name).
void unicodeString(Body& b, const std::u16string& s, bool shortCount)
{
    bool high = !latin1(s);
    if (shortCount)
        b.u8(uint8_t(s.size()));
    else
        b.u16(uint16_t(s.size()));
    b.u8(high ? kStrHighByte : 0);
    chars(b, s, 0, s.size(), high);
}

Bytes bof(uint16_t kind)
{
    Body b;
    b.u16(kBiff8Version);
    b.u16(kind);
    b.u16(0x0DBB);        // build
    b.u16(0x07CC);        // year
    b.u32(0);             // file history
    b.u32(kBiff8Version); // lowest version that can read it
    return b.b;
}

Bytes fontRecord(const FontSpec& f)
{
    Body b;
    double twips = std::clamp(std::round(f.points * 20), 20.0, 8191.0);
    b.u16(uint16_t(twips));
    b.u16(uint16_t((f.bold ? 0x0001 : 0) | (f.italic ? 0x0002 : 0)));   // bit 0 for old readers
    b.u16(f.colour);
    b.u16(f.bold ? 700 : 400);
    b.u16(0);   // no super/subscript
    b.u8(0);    // no underline
    b.u8(0);    // family
    b.u8(0);    // ANSI character set
    b.u8(0);
    std::u16string name = toUtf16(f.name);
    if (name.size() > 31)
        name.resize(31);
    unicodeString(b, name, true);
    return b.b;
}

uint32_t lineBits(LineStyle s) { return uint32_t(s) & 0x0F; }
uint32_t colourBits(uint16_t c) { return uint32_t(std::min<uint16_t>(c, 0x7F)); }

// One XF record. A style XF has parent 0xFFF; cell XFs here derive from
// the Normal style and mark every attribute as their own.
Bytes xfRecord(uint16_t font, uint16_t numFormat, bool style, const FormatSpec& f, uint8_t used)
{
    Body b;
    b.u16(font);
    b.u16(numFormat);
    b.u16(style ? 0xFFF5 : 0x0001);   // locked; style flag and parent
    b.u8(uint8_t(uint8_t(f.horizontal) | (f.wrap ? 0x08 : 0) | (uint8_t(f.vertical) << 4)));
    b.u8(0);     // rotation
    b.u8(f.shrink ? 0x10 : 0);   // indent, shrink, reading order
    b.u8(used);
    b.u32(lineBits(f.left.style) | (lineBits(f.right.style) << 4) | (lineBits(f.top.style) << 8) |
          (lineBits(f.bottom.style) << 12) | (colourBits(f.left.colour) << 16) |
          (colourBits(f.right.colour) << 23));
    b.u32(colourBits(f.top.colour) | (colourBits(f.bottom.colour) << 7));
    b.u16(0x40 | (0x41 << 7));   // no fill: automatic fore- and background
    return b.b;
}

bool sameFormat(const FormatSpec& a, const FormatSpec& b)
{
    auto side = [](const Border& x, const Border& y) { return x.style == y.style && x.colour == y.colour; };
    return a.font == b.font && a.numberFormat == b.numberFormat && a.horizontal == b.horizontal &&
           a.vertical == b.vertical && a.wrap == b.wrap && a.shrink == b.shrink && side(a.left, b.left) && side(a.right, b.right) &&
           side(a.top, b.top) && side(a.bottom, b.bottom);
}

// SST record bodies split over CONTINUE, and where each EXTSST bucket starts.
struct StringTable {
    std::vector<Bytes> parts;
    struct Mark {
        size_t part, offset;
    };
    std::vector<Mark> buckets;
    uint16_t perBucket = 8;
};

StringTable buildStringTable(const std::vector<std::u16string>& strings, uint32_t total)
{
    StringTable t;
    t.perBucket = uint16_t(std::max<size_t>(8, (strings.size() + 127) / 128));
    Body cur;
    cur.u32(total);
    cur.u32(uint32_t(strings.size()));
    auto room = [&] { return size_t(kMaxRecordBody) - cur.b.size(); };
    auto next = [&] {
        t.parts.push_back(std::move(cur.b));
        cur.b.clear();
    };
    for (size_t i = 0; i < strings.size(); ++i) {
        const std::u16string& s = strings[i];
        bool high = !latin1(s);
        size_t unit = high ? 2 : 1;
        // The count, the flags and the first character stay together.
        if (room() < 3 + (s.empty() ? 0 : unit))
            next();
        if (i % t.perBucket == 0)
            t.buckets.push_back({t.parts.size(), cur.b.size()});
        cur.u16(uint16_t(s.size()));
        cur.u8(high ? kStrHighByte : 0);
        size_t done = 0;
        while (done < s.size()) {
            size_t n = std::min(s.size() - done, room() / unit);
            // A surrogate pair stays in one record.
            if (high && n > 0 && done + n < s.size() && s[done + n - 1] >= 0xD800 && s[done + n - 1] <= 0xDBFF)
                --n;
            if (n == 0) {
                next();
                cur.u8(high ? kStrHighByte : 0);   // each CONTINUE restates the flags
                continue;
            }
            chars(cur, s, done, n, high);
            done += n;
        }
    }
    next();
    return t;
}

void ensureGsf()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

std::string reason(int err) { return std::strerror(err); }

std::string failure(const std::string& path, const std::string& why)
{
    return "无法保存文件“" + path + "”：" + why;
}

} // namespace

// ---------------------------------------------------------------------------
// Sheet

bool SheetWriter::setText(int row, int col, std::string_view utf8, FormatId format)
{
    if (row < 0 || col < 0 || uint32_t(row) >= kMaxRows || uint32_t(col) >= kMaxCols)
        return false;
    uint32_t idx = book_->intern(utf8);
    cells_[(uint32_t(row) << 8) | uint32_t(col)] = Cell{Kind::Text, uint16_t(format), 0, idx, 0.0};
    return true;
}

bool SheetWriter::setNumber(int row, int col, double value, FormatId format)
{
    if (row < 0 || col < 0 || uint32_t(row) >= kMaxRows || uint32_t(col) >= kMaxCols)
        return false;
    Cell c = std::isfinite(value) ? Cell{Kind::Number, uint16_t(format), 0, 0, value}
                                  : Cell{Kind::Error, uint16_t(format), kErrNum, 0, 0.0};
    cells_[(uint32_t(row) << 8) | uint32_t(col)] = c;
    return true;
}

bool SheetWriter::setBlank(int row, int col, FormatId format)
{
    if (row < 0 || col < 0 || uint32_t(row) >= kMaxRows || uint32_t(col) >= kMaxCols)
        return false;
    cells_[(uint32_t(row) << 8) | uint32_t(col)] = Cell{Kind::Blank, uint16_t(format), 0, 0, 0.0};
    return true;
}

bool SheetWriter::merge(int firstRow, int lastRow, int firstCol, int lastCol)
{
    if (firstRow < 0 || firstCol < 0 || lastRow < firstRow || lastCol < firstCol ||
        uint32_t(lastRow) >= kMaxRows || uint32_t(lastCol) >= kMaxCols)
        return false;
    if (firstRow == lastRow && firstCol == lastCol)
        return false;
    merges_.push_back({uint16_t(firstRow), uint16_t(lastRow), uint16_t(firstCol), uint16_t(lastCol)});
    return true;
}

bool SheetWriter::setColumnWidth(int col, double chars)
{
    if (col < 0 || uint32_t(col) >= kMaxCols || !(chars >= 0 && chars <= 255))
        return false;
    widths_[uint16_t(col)] = uint16_t(std::lround(chars * 256));
    return true;
}

bool SheetWriter::setRowHeight(int row, double points)
{
    if (row < 0 || uint32_t(row) >= kMaxRows || !(points >= 0 && points <= 409))
        return false;
    heights_[uint16_t(row)] = uint16_t(std::lround(points * 20));
    return true;
}

// ---------------------------------------------------------------------------
// Workbook

WorkbookWriter::WorkbookWriter() = default;
WorkbookWriter::~WorkbookWriter() = default;

FontId WorkbookWriter::addFont(const FontSpec& font)
{
    fonts_.push_back(font);
    return FontId(fonts_.size());
}

NumFormatId WorkbookWriter::addNumberFormat(std::string_view pattern)
{
    for (const auto& [id, p] : numFormats_)
        if (p == pattern)
            return NumFormatId(id);
    uint16_t id = uint16_t(kFirstCustomFormat + numFormats_.size());
    numFormats_.emplace_back(id, std::string(pattern));
    return NumFormatId(id);
}

FormatId WorkbookWriter::addFormat(const FormatSpec& format)
{
    for (size_t i = 0; i < formats_.size(); ++i)
        if (sameFormat(formats_[i], format))
            return FormatId(i + 1);
    formats_.push_back(format);
    return FormatId(formats_.size());
}

SheetWriter& WorkbookWriter::addSheet(std::string_view name)
{
    std::string clean;
    for (char c : name) {
        if (std::strchr("[]:*?/\\", c) && c != '\0')
            c = '_';
        clean.push_back(c);
    }
    // Cut on the UTF-16 length without breaking a UTF-8 sequence.
    std::string cut;
    size_t units = 0;
    for (size_t i = 0; i < clean.size();) {
        size_t len = 1;
        uint8_t c = uint8_t(clean[i]);
        if (c >= 0xF0) len = 4;
        else if (c >= 0xE0) len = 3;
        else if (c >= 0xC0) len = 2;
        size_t w = len == 4 ? 2 : 1;
        if (units + w > 31)
            break;
        cut.append(clean, i, len);
        units += w;
        i += len;
    }
    if (cut.empty())
        cut = "Sheet" + std::to_string(sheets_.size() + 1);
    // Names must differ regardless of ASCII case.
    auto taken = [&](const std::string& n) {
        return std::any_of(sheets_.begin(), sheets_.end(),
                           [&](const auto& sh) { return strcasecmp(sh->name().c_str(), n.c_str()) == 0; });
    };
    std::string unique = cut;
    for (int k = 2; taken(unique); ++k) {
        std::string suffix = " (" + std::to_string(k) + ")";
        std::string stem = cut;
        auto units = [](const std::string& t) {
            size_t n = 0;
            for (char ch : t)
                n += (uint8_t(ch) & 0xC0) == 0x80 ? 0 : uint8_t(ch) >= 0xF0 ? 2 : 1;
            return n;
        };
        while (units(stem) + suffix.size() > 31 && !stem.empty()) {
            while (stem.size() > 1 && (uint8_t(stem.back()) & 0xC0) == 0x80)
                stem.pop_back();
            stem.pop_back();   // the last character's first byte
        }
        unique = stem + suffix;
    }
    cut = unique;
    sheets_.push_back(std::unique_ptr<SheetWriter>(new SheetWriter(cut, this)));
    return *sheets_.back();
}

uint32_t WorkbookWriter::intern(std::string_view utf8)
{
    std::u16string u = toUtf16(utf8);
    auto it = stringIndex_.find(u);
    if (it != stringIndex_.end())
        return it->second;
    uint32_t idx = uint32_t(strings_.size());
    strings_.push_back(u);
    stringIndex_.emplace(std::move(u), idx);
    return idx;
}

std::vector<uint8_t> WorkbookWriter::workbookStream() const
{
    Bytes s;
    record(s, kBof, bof(kBofGlobals));
    {
        Body b;
        b.u16(kCodePageUtf16);
        record(s, kCodePage, b.b);
    }
    {
        Body b;
        b.u16(0x0168);   // position and size of the window, twips
        b.u16(0x001E);
        b.u16(0x4000);
        b.u16(0x2A00);
        b.u16(0x0038);   // scroll bars and sheet tabs shown
        b.u16(0);        // active sheet
        b.u16(0);        // first visible tab
        b.u16(1);        // selected tabs
        b.u16(600);      // tab bar width ratio
        record(s, kWindow1, b.b);
    }
    record(s, kDateMode, Bytes{0, 0});
    record(s, kPrecision, Bytes{1, 0});

    Bytes base = fontRecord(FontSpec{});
    for (int i = 0; i < kDefaultFonts; ++i)
        record(s, kFont, base);
    for (const FontSpec& f : fonts_)
        record(s, kFont, fontRecord(f));

    for (const auto& [id, pattern] : numFormats_) {
        Body b;
        b.u16(id);
        std::u16string u = toUtf16(pattern);
        if (u.size() > 255)
            u.resize(255);
        unicodeString(b, u, false);
        record(s, kFormat, b.b);
    }

    FormatSpec plain;
    for (int i = 0; i < kStyleXfs; ++i)
        record(s, kXf, xfRecord(0, 0, true, plain, i == 0 ? 0x00 : 0xF4));
    record(s, kXf, xfRecord(0, 0, false, plain, 0x00));
    for (const FormatSpec& f : formats_) {
        uint16_t font = uint16_t(f.font);
        if (font > fonts_.size())
            font = 0;
        uint16_t xfFont = font == 0 ? 0 : uint16_t(kDefaultFonts + font);   // skips index 4
        uint16_t num = uint16_t(f.numberFormat);
        if (num >= kFirstCustomFormat && num - kFirstCustomFormat >= int(numFormats_.size()))
            num = 0;
        record(s, kXf, xfRecord(xfFont, num, false, f, 0xFC));
    }
    {
        Body b;
        b.u16(0x8000);   // built-in style on XF 0
        b.u8(0);         // Normal
        b.u8(0xFF);
        record(s, kStyle, b.b);
    }

    std::vector<size_t> sheetPosFields;
    for (const auto& sh : sheets_) {
        Body b;
        b.u32(0);   // patched once the sheet's offset is known
        b.u8(0);    // visible
        b.u8(0);    // worksheet
        std::u16string name = toUtf16(sh->name());
        unicodeString(b, name, true);
        sheetPosFields.push_back(s.size() + 4);
        record(s, kBoundSheet, b.b);
    }

    uint32_t total = 0;
    for (const auto& sh : sheets_)
        for (const auto& [key, c] : sh->cells_)
            total += c.kind == SheetWriter::Kind::Text;
    StringTable sst = buildStringTable(strings_, total);
    std::vector<size_t> partStart;
    for (size_t i = 0; i < sst.parts.size(); ++i) {
        partStart.push_back(s.size());
        record(s, i == 0 ? kSst : kContinue, sst.parts[i]);
    }
    {
        Body b;
        b.u16(sst.perBucket);
        for (const auto& m : sst.buckets) {
            b.u32(uint32_t(partStart[m.part] + 4 + m.offset));
            b.u16(uint16_t(4 + m.offset));
            b.u16(0);
        }
        record(s, kExtSst, b.b);
    }
    record(s, kEof, {});

    for (size_t si = 0; si < sheets_.size(); ++si) {
        const SheetWriter& sh = *sheets_[si];
        put32(&s[sheetPosFields[si]], uint32_t(s.size()));
        record(s, kBof, bof(kBofWorksheet));
        {
            Body b;
            b.u16(0);
            b.u16(255);   // 12.75 pt
            record(s, kDefRowHeight, b.b);
        }
        record(s, kDefColWidth, Bytes{8, 0});
        for (const auto& [col, width] : sh.widths_) {
            Body b;
            b.u16(col);
            b.u16(col);
            b.u16(width);
            b.u16(kStyleXfs);
            b.u16(0);
            b.u16(0);
            record(s, kColInfo, b.b);
        }

        // Rows with cells: first and one past last column.
        std::map<uint16_t, std::pair<uint16_t, uint16_t>> rows;
        for (const auto& [key, c] : sh.cells_) {
            uint16_t r = uint16_t(key >> 8), col = uint16_t(key & 0xFF);
            auto [it, fresh] = rows.try_emplace(r, col, uint16_t(col + 1));
            if (!fresh)
                it->second.second = uint16_t(col + 1);
        }
        {
            Body b;
            uint16_t c1 = rows.empty() ? 0 : 0xFFFF, c2 = 0;
            for (const auto& [r, span] : rows) {
                c1 = std::min(c1, span.first);
                c2 = std::max(c2, span.second);
            }
            b.u32(rows.empty() ? 0 : rows.begin()->first);
            b.u32(rows.empty() ? 0 : uint32_t(rows.rbegin()->first) + 1);
            b.u16(c1);
            b.u16(c2);
            b.u16(0);
            record(s, kDimension, b.b);
        }
        for (const auto& [r, twips] : sh.heights_)
            rows.try_emplace(r, uint16_t(0), uint16_t(0));

        // Blocks of up to 32 rows: the ROW records, then their cells.
        auto rowIt = rows.begin();
        while (rowIt != rows.end()) {
            uint32_t blockEnd = (uint32_t(rowIt->first) / 32 + 1) * 32;
            auto blockFirst = rowIt;
            for (; rowIt != rows.end() && rowIt->first < blockEnd; ++rowIt) {
                Body b;
                auto h = sh.heights_.find(rowIt->first);
                b.u16(rowIt->first);
                b.u16(rowIt->second.first);
                b.u16(rowIt->second.second);
                b.u16(h == sh.heights_.end() ? 255 : h->second);
                b.u16(0);
                b.u16(0);
                // Bit 8 is always set; bit 6 marks a height of its own.
                b.u32((uint32_t(kStyleXfs) << 16) | 0x0100 | (h == sh.heights_.end() ? 0 : 0x0040));
                record(s, kRow, b.b);
            }
            auto c = sh.cells_.lower_bound(uint32_t(blockFirst->first) << 8);
            auto cEnd = sh.cells_.lower_bound(blockEnd << 8);
            for (; c != cEnd; ++c) {
                const auto& cell = c->second;
                Body b;
                b.u16(uint16_t(c->first >> 8));
                b.u16(uint16_t(c->first & 0xFF));
                uint16_t fmt = uint16_t(cell.format);
                b.u16(fmt == 0 || fmt > formats_.size() ? uint16_t(kStyleXfs) : uint16_t(kStyleXfs + fmt));
                switch (cell.kind) {
                case SheetWriter::Kind::Blank:
                    record(s, kBlank, b.b);
                    break;
                case SheetWriter::Kind::Text:
                    b.u32(cell.text);
                    record(s, kLabelSst, b.b);
                    break;
                case SheetWriter::Kind::Number:
                    b.f64(cell.number);
                    record(s, kNumber, b.b);
                    break;
                case SheetWriter::Kind::Error:
                    b.u8(cell.error);
                    b.u8(1);
                    record(s, kBoolErr, b.b);
                    break;
                }
            }
        }

        {
            Body b;
            // Headers, zeros, automatic grid colour, outline symbols,
            // selected and active; grid lines on request.
            b.u16(uint16_t(0x06B4 | (sh.gridlines_ ? 0x0002 : 0)));
            b.u16(0);
            b.u16(0);
            b.u32(0x40);
            b.u16(0);
            b.u16(0);
            b.u32(0);
            record(s, kWindow2, b.b);
        }
        for (size_t i = 0; i < sh.merges_.size(); i += kMergesPerRecord) {
            size_t n = std::min(kMergesPerRecord, sh.merges_.size() - i);
            Body b;
            b.u16(uint16_t(n));
            for (size_t k = i; k < i + n; ++k) {
                const auto& m = sh.merges_[k];
                b.u16(m.r1);
                b.u16(m.r2);
                b.u16(m.c1);
                b.u16(m.c2);
            }
            record(s, kMergedCells, b.b);
        }
        record(s, kEof, {});
    }
    if (s.size() < kMinStream)
        s.resize(kMinStream, 0);
    return s;
}

std::vector<uint8_t> WorkbookWriter::toBytes() const
{
    ensureGsf();
    Bytes stream = workbookStream();
    GsfOutput* mem = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(mem);
    GsfOutput* child = gsf_outfile_new_child(ole, "Workbook", FALSE);
    bool ok = gsf_output_write(child, stream.size(), stream.data());
    ok = gsf_output_close(child) && ok;
    g_object_unref(child);
    ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
    g_object_unref(ole);
    Bytes out;
    if (ok) {
        const guint8* p = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(mem));
        out.assign(p, p + gsf_output_size(mem));
    }
    g_object_unref(mem);
    return out;
}

bool WorkbookWriter::save(const std::string& path, std::string& error) const
{
    error.clear();
    if (path.empty()) {
        error = "无法保存文件：没有给出文件名";
        return false;
    }
    Bytes data = toBytes();
    if (data.empty()) {
        error = failure(path, "无法生成工作簿");
        return false;
    }
    const io::Replaced r = io::replaceFile(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    if (r) return true;
    if (r.step == io::Replaced::Step::Open && r.error == ENOENT) {
        const size_t slash = path.rfind('/');
        const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        error = failure(path, "文件夹“" + dir + "”不存在");
    } else {
        error = failure(path, reason(r.error));
    }
    return false;
}

} // namespace kv::xls
