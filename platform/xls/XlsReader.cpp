#include "platform/xls/XlsReader.h"

#include "platform/xls/Biff.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <strings.h>

namespace kv::xls {

namespace {

using namespace biff;

// ---------------------------------------------------------------------------
// Record walking

struct Span {
    const uint8_t* p;
    size_t n;
};

struct Record {
    uint16_t id = 0;
    size_t pos = 0;                 // stream offset of the header
    std::vector<Span> parts;        // body, then bodies of following CONTINUEs
    const uint8_t* body() const { return parts[0].p; }
    size_t len() const { return parts[0].n; }
};

enum class Step { Ok, End, Truncated };

// Reads the record at `pos` plus any CONTINUE records after it and advances
// `pos` past them all.
Step nextRecord(const std::vector<uint8_t>& s, size_t& pos, Record& r)
{
    if (pos >= s.size())
        return Step::End;
    if (s.size() - pos < 4)
        return Step::Truncated;
    r.id = u16(&s[pos]);
    size_t len = u16(&s[pos + 2]);
    if (s.size() - pos - 4 < len)
        return Step::Truncated;
    r.pos = pos;
    r.parts.clear();
    r.parts.push_back({s.data() + pos + 4, len});
    pos += 4 + len;
    while (s.size() - pos >= 4 && u16(&s[pos]) == kContinue) {
        size_t clen = u16(&s[pos + 2]);
        if (s.size() - pos - 4 < clen)
            break;   // reported when the walk reaches it
        r.parts.push_back({s.data() + pos + 4, clen});
        pos += 4 + clen;
    }
    return Step::Ok;
}

// ---------------------------------------------------------------------------
// Reading across CONTINUE boundaries

class Cursor {
public:
    explicit Cursor(const std::vector<Span>& parts, size_t skipFirst = 0) : parts_(parts)
    {
        for (const Span& sp : parts_)
            left_ += sp.n;
        skip(skipFirst);
    }

    size_t left() const { return left_; }

    bool read(uint8_t* out, size_t n)
    {
        if (n > left_)
            return false;
        while (n > 0) {
            settle();
            size_t take = std::min(n, parts_[seg_].n - off_);
            std::memcpy(out, parts_[seg_].p + off_, take);
            out += take;
            n -= take;
            advance(take);
        }
        return true;
    }

    bool skip(uint64_t n)
    {
        if (n > left_) {
            advance(left_);
            return false;
        }
        while (n > 0) {
            settle();
            size_t take = size_t(std::min<uint64_t>(n, parts_[seg_].n - off_));
            n -= take;
            advance(take);
        }
        return true;
    }

    bool u8(uint8_t& v) { return read(&v, 1); }
    bool u16v(uint16_t& v)
    {
        uint8_t b[2];
        if (!read(b, 2))
            return false;
        v = biff::u16(b);
        return true;
    }
    bool u32v(uint32_t& v)
    {
        uint8_t b[4];
        if (!read(b, 4))
            return false;
        v = biff::u32(b);
        return true;
    }

    // Reads `cch` characters as UTF-8. When the characters run into the next
    // CONTINUE part, that part starts with a fresh option byte.
    bool chars(size_t cch, bool high, std::string& out)
    {
        out.reserve(out.size() + std::min(cch, left_) * (high ? 3 : 2));
        uint32_t pendingHigh = 0;
        while (cch > 0) {
            if (left_ == 0)
                break;
            if (off_ == parts_[seg_].n) {
                ++seg_;
                off_ = 0;
                settle();
                uint8_t opt = parts_[seg_].p[0];
                advance(1);
                high = (opt & kStrHighByte) != 0;
                continue;
            }
            const uint8_t* p = parts_[seg_].p + off_;
            size_t avail = parts_[seg_].n - off_;
            if (!high) {
                size_t take = std::min(cch, avail);
                flushHigh(pendingHigh, out);
                for (size_t i = 0; i < take; ++i)
                    appendUtf8(p[i], out);
                advance(take);
                cch -= take;
            } else {
                size_t take = std::min(cch, avail / 2);
                if (take == 0) {      // odd byte left in this part: malformed
                    advance(avail);
                    continue;
                }
                for (size_t i = 0; i < take; ++i) {
                    uint32_t u = biff::u16(p + 2 * i);
                    if (u >= 0xD800 && u <= 0xDBFF) {
                        flushHigh(pendingHigh, out);
                        pendingHigh = u;
                    } else if (u >= 0xDC00 && u <= 0xDFFF) {
                        if (pendingHigh) {
                            appendUtf8(0x10000 + ((pendingHigh - 0xD800) << 10) + (u - 0xDC00), out);
                            pendingHigh = 0;
                        } else {
                            appendUtf8(0xFFFD, out);
                        }
                    } else {
                        flushHigh(pendingHigh, out);
                        appendUtf8(u, out);
                    }
                }
                advance(take * 2);
                cch -= take;
            }
        }
        flushHigh(pendingHigh, out);
        return cch == 0;
    }

private:
    // Moves past exhausted parts so that seg_ names a part with data.
    void settle()
    {
        while (seg_ < parts_.size() && off_ == parts_[seg_].n) {
            ++seg_;
            off_ = 0;
        }
    }
    void advance(size_t n)
    {
        off_ += n;
        left_ -= n;
    }
    static void flushHigh(uint32_t& pending, std::string& out)
    {
        if (pending) {
            appendUtf8(0xFFFD, out);
            pending = 0;
        }
    }
    static void appendUtf8(uint32_t cp, std::string& out)
    {
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }

    const std::vector<Span>& parts_;
    size_t seg_ = 0;
    size_t off_ = 0;
    size_t left_ = 0;
};

// XLUnicodeRichExtendedString (SST, LABEL, STRING) with a 16-bit count, or a
// ShortXLUnicodeString with an 8-bit count and no rich/extended parts.
bool readString(Cursor& c, bool shortCount, std::string& out)
{
    out.clear();
    size_t cch;
    if (shortCount) {
        uint8_t n;
        if (!c.u8(n))
            return false;
        cch = n;
    } else {
        uint16_t n;
        if (!c.u16v(n))
            return false;
        cch = n;
    }
    uint8_t flags;
    if (!c.u8(flags))
        return false;
    uint16_t runs = 0;
    uint32_t ext = 0;
    if (!shortCount) {
        if ((flags & kStrRichSt) && !c.u16v(runs))
            return false;
        if ((flags & kStrExtSt) && !c.u32v(ext))
            return false;
    }
    if (!c.chars(cch, flags & kStrHighByte, out))
        return false;
    return c.skip(uint64_t(runs) * 4) && c.skip(ext);
}

// ---------------------------------------------------------------------------
// Container

bool readFile(const std::string& path, std::vector<uint8_t>& out, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    out.clear();
    uint8_t buf[65536];
    size_t n;
    bool tooBig = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (out.size() + n > Workbook::kMaxFileSize) {
            tooBig = true;
            break;
        }
        out.insert(out.end(), buf, buf + n);
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (tooBig) {
        error = path + " is too large for a workbook";
        return false;
    }
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

// Checks the compound-document header before handing the data to libgsf.
bool checkOleHeader(const uint8_t* d, size_t size, std::string& error)
{
    static const uint8_t magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (size < 512 || std::memcmp(d, magic, 8) != 0) {
        error = "not an Excel 97-2003 workbook (no OLE2 compound document header)";
        return false;
    }
    uint16_t order = u16(d + 0x1C), shift = u16(d + 0x1E), miniShift = u16(d + 0x20);
    if (order != 0xFFFE || (shift != 9 && shift != 12) || miniShift != 6) {
        error = "damaged OLE2 header";
        return false;
    }
    uint64_t sectors = (size + (size_t(1) << shift) - 1) >> shift;
    if (u32(d + 0x2C) > sectors) {
        error = "damaged OLE2 header (allocation table larger than the file)";
        return false;
    }
    return true;
}

// libgsf reports damage through GLib logging; while a workbook is being
// opened those messages become issues of that workbook.
thread_local std::vector<std::string>* gsfSink = nullptr;

void gsfLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
{
    if (gsfSink) {
        std::string m = message ? message : "";
        std::replace(m.begin(), m.end(), '\n', ' ');
        gsfSink->push_back("container: " + m);
    } else {
        g_log_default_handler(domain, level, message, nullptr);
    }
}

struct SinkScope {
    explicit SinkScope(std::vector<std::string>& v) { gsfSink = &v; }
    ~SinkScope() { gsfSink = nullptr; }
};

bool extractWorkbookStream(const uint8_t* data, size_t size, std::vector<uint8_t>& out,
                           std::vector<std::string>& issues, std::string& error)
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        auto levels = GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE);
        for (const char* domain : {"libgsf", "libgsf:msole", static_cast<const char*>(nullptr)})
            g_log_set_handler(domain, levels, gsfLog, nullptr);
    });
    SinkScope scope(issues);

    if (!checkOleHeader(data, size, error))
        return false;

    GsfInput* mem = gsf_input_memory_new(data, gsf_off_t(size), FALSE);
    if (!mem) {
        error = "out of memory";
        return false;
    }
    GError* gerr = nullptr;
    GsfInfile* ole = gsf_infile_msole_new(mem, &gerr);
    if (!ole) {
        error = "damaged OLE2 compound document";
        if (gerr) {
            error += std::string(": ") + gerr->message;
            g_error_free(gerr);
        }
        g_object_unref(mem);
        return false;
    }

    int found = -1;
    bool biff5 = false;
    int n = gsf_infile_num_children(ole);
    for (int i = 0; i < n; ++i) {
        const char* name = gsf_infile_name_by_index(ole, i);
        if (!name)
            continue;
        if (strcasecmp(name, "Workbook") == 0) {
            found = i;
            break;
        }
        if (strcasecmp(name, "Book") == 0)
            biff5 = true;
    }
    bool ok = false;
    if (found < 0) {
        error = biff5 ? "Excel 5.0/95 workbooks are not supported (save as Excel 97-2003)"
                      : "no workbook stream in the file";
    } else if (GsfInput* stream = gsf_infile_child_by_index(ole, found)) {
        gsf_off_t total = gsf_input_size(stream);
        if (total <= 0) {
            error = "the workbook stream is empty";
        } else if (uint64_t(total) > size) {
            error = "damaged OLE2 compound document (stream larger than the file)";
        } else {
            out.resize(size_t(total));
            size_t pos = 0;
            while (pos < out.size()) {
                size_t chunk = std::min<size_t>(out.size() - pos, 65536);
                if (!gsf_input_read(stream, chunk, out.data() + pos))
                    break;
                pos += chunk;
            }
            if (pos < out.size()) {
                issues.push_back("workbook stream cut short at byte " + std::to_string(pos));
                out.resize(pos);
            }
            ok = !out.empty();
            if (!ok)
                error = "the workbook stream cannot be read";
        }
        g_object_unref(stream);
    } else {
        error = "damaged OLE2 compound document (workbook stream unreadable)";
    }
    g_object_unref(ole);
    g_object_unref(mem);
    return ok;
}

constexpr size_t kMaxCells = size_t(1) << 22;

} // namespace

// ---------------------------------------------------------------------------
// Sheet

const Sheet::Cell* Sheet::find(int row, int col) const
{
    if (row < 0 || col < 0 || uint32_t(row) >= kMaxRows || uint32_t(col) >= kMaxCols)
        return nullptr;
    uint32_t key = (uint32_t(row) << 8) | uint32_t(col);
    auto it = std::lower_bound(cells_.begin(), cells_.end(), key,
                               [](const Cell& c, uint32_t k) { return c.key < k; });
    return (it != cells_.end() && it->key == key) ? &*it : nullptr;
}

CellType Sheet::cellType(int row, int col) const
{
    const Cell* c = find(row, col);
    return c ? c->type : CellType::Empty;
}

bool Sheet::isFormula(int row, int col) const
{
    const Cell* c = find(row, col);
    return c && c->formula;
}

double Sheet::number(int row, int col) const
{
    const Cell* c = find(row, col);
    return (c && c->type == CellType::Number) ? c->num : 0.0;
}

std::string_view Sheet::text(int row, int col) const
{
    const Cell* c = find(row, col);
    if (!c || c->type != CellType::String)
        return {};
    if (c->str & kExtraBit) {
        uint32_t i = c->str & ~kExtraBit;
        return i < extra_.size() ? std::string_view(extra_[i]) : std::string_view();
    }
    return (sst_ && c->str < sst_->size()) ? std::string_view((*sst_)[c->str]) : std::string_view();
}

bool Sheet::boolean(int row, int col) const
{
    const Cell* c = find(row, col);
    return c && c->type == CellType::Boolean && c->code != 0;
}

uint8_t Sheet::errorCode(int row, int col) const
{
    const Cell* c = find(row, col);
    return (c && c->type == CellType::Error) ? c->code : 0;
}

// ---------------------------------------------------------------------------
// Workbook

Workbook::Workbook() = default;
Workbook::~Workbook() = default;

void Workbook::clear()
{
    sst_.clear();
    sheet_.reset();
    issues_.clear();
}

bool Workbook::open(const std::string& path, std::string& error)
{
    clear();
    std::vector<uint8_t> file;
    if (!readFile(path, file, error))
        return false;
    return openMemory(file.data(), file.size(), error);
}

bool Workbook::openMemory(const uint8_t* data, size_t size, std::string& error)
{
    clear();
    error.clear();
    static const uint8_t none = 0;
    if (!data) {
        if (size)
            return error = "no data", false;
        data = &none;
    }
    if (size > kMaxFileSize) {
        error = "the file is too large for a workbook";
        return false;
    }
    std::vector<uint8_t> stream;
    if (!extractWorkbookStream(data, size, stream, issues_, error))
        return false;
    if (!parseStream(stream, error)) {
        clear();
        return false;
    }
    return true;
}

bool Workbook::openStream(const uint8_t* data, size_t size, std::string& error)
{
    clear();
    error.clear();
    if (size > kMaxFileSize || (!data && size)) {
        error = "not a workbook stream";
        return false;
    }
    std::vector<uint8_t> stream(data, data + size);
    if (!parseStream(stream, error)) {
        clear();
        return false;
    }
    return true;
}

bool Workbook::parseStream(const std::vector<uint8_t>& s, std::string& error)
{
    size_t pos = 0;
    Record r;
    if (nextRecord(s, pos, r) != Step::Ok || r.id != kBof || r.len() < 4) {
        error = "the workbook stream does not start with a BOF record";
        return false;
    }
    uint16_t version = u16(r.body());
    if (version != kBiff8Version) {
        error = "unsupported workbook version (only Excel 97-2003 BIFF8 is read)";
        return false;
    }
    if (u16(r.body() + 2) != kBofGlobals) {
        error = "the workbook stream does not start with the workbook globals";
        return false;
    }

    // Workbook globals: first sheet's position and the shared strings.
    bool haveSheet = false;
    uint32_t sheetPos = 0;
    std::string sheetName;
    for (;;) {
        Step st = nextRecord(s, pos, r);
        if (st == Step::End)
            break;
        if (st == Step::Truncated) {
            issues_.push_back("record at byte " + std::to_string(pos) + " runs past the end of the stream");
            break;
        }
        if (r.id == kEof)
            break;
        if (r.id == kFilePass) {
            error = "password-protected workbooks are not supported";
            return false;
        }
        if (r.id == kBoundSheet && !haveSheet && r.len() >= 8) {
            haveSheet = true;
            sheetPos = u32(r.body());
            Cursor c(r.parts, 6);
            if (!readString(c, true, sheetName))
                issues_.push_back("damaged sheet name");
        } else if (r.id == kSst && r.len() >= 8) {
            uint32_t unique = u32(r.body() + 4);
            Cursor c(r.parts, 8);
            // Each string takes at least three bytes.
            sst_.reserve(std::min<size_t>(unique, c.left() / 3));
            std::string str;
            for (uint32_t i = 0; i < unique; ++i) {
                bool ended = c.left() == 0;
                if (ended || !readString(c, false, str)) {
                    if (!ended && !str.empty())
                        sst_.push_back(str);   // the readable part of a cut string
                    issues_.push_back("shared string table ends after " + std::to_string(sst_.size()) +
                                      " of " + std::to_string(unique) + " strings");
                    break;
                }
                sst_.push_back(str);
            }
        }
    }
    if (!haveSheet)
        return true;   // a workbook without sheets: firstSheet() is null

    if (sheetPos >= s.size()) {
        error = "the first sheet lies outside the workbook stream";
        return false;
    }
    pos = sheetPos;
    if (nextRecord(s, pos, r) != Step::Ok || r.id != kBof) {
        error = "the first sheet does not start with a BOF record";
        return false;
    }

    auto sheet = std::make_unique<Sheet>();
    sheet->name_ = std::move(sheetName);
    sheet->sst_ = &sst_;
    auto& cells = sheet->cells_;
    bool badIndex = false, badCol = false, capped = false;
    long pendingString = -1;   // cell waiting for a STRING record
    int depth = 0;             // embedded substreams (charts)

    auto add = [&](uint16_t row, uint16_t col, CellType type) -> Sheet::Cell* {
        if (col >= kMaxCols) {
            badCol = true;
            return nullptr;
        }
        if (cells.size() >= kMaxCells) {
            capped = true;
            return nullptr;
        }
        cells.push_back(Sheet::Cell{(uint32_t(row) << 8) | col, type, false, 0, 0, 0.0});
        return &cells.back();
    };

    for (;;) {
        Step st = nextRecord(s, pos, r);
        if (st == Step::End) {
            issues_.push_back("the first sheet has no EOF record");
            break;
        }
        if (st == Step::Truncated) {
            issues_.push_back("record at byte " + std::to_string(pos) + " runs past the end of the stream");
            break;
        }
        if (r.id == kBof) {
            ++depth;
            continue;
        }
        if (r.id == kEof) {
            if (depth == 0)
                break;
            --depth;
            continue;
        }
        if (depth > 0)
            continue;

        const uint8_t* b = r.body();
        size_t len = r.len();
        if (r.id == kString) {
            if (pendingString >= 0) {
                Cursor c(r.parts);
                std::string str;
                if (!readString(c, false, str))
                    issues_.push_back("damaged formula string result");
                cells[size_t(pendingString)].str = Sheet::kExtraBit | uint32_t(sheet->extra_.size());
                sheet->extra_.push_back(std::move(str));
                pendingString = -1;
            }
            continue;
        }
        switch (r.id) {
        case kNumber:
            if (len >= 14)
                if (auto* c = add(u16(b), u16(b + 2), CellType::Number))
                    c->num = f64(b + 6);
            pendingString = -1;
            break;
        case kRk:
            if (len >= 10)
                if (auto* c = add(u16(b), u16(b + 2), CellType::Number))
                    c->num = rkValue(u32(b + 6));
            pendingString = -1;
            break;
        case kMulRk:
            if (len >= 6) {
                uint16_t row = u16(b), col = u16(b + 2);
                for (size_t off = 4; off + 6 <= len - 2; off += 6, ++col)
                    if (auto* c = add(row, col, CellType::Number))
                        c->num = rkValue(u32(b + off + 2));
            }
            pendingString = -1;
            break;
        case kLabelSst:
            if (len >= 10) {
                uint32_t idx = u32(b + 6);
                if (idx >= sst_.size())
                    badIndex = true;
                else if (auto* c = add(u16(b), u16(b + 2), CellType::String))
                    c->str = idx;
            }
            pendingString = -1;
            break;
        case kLabel:
            if (len >= 8) {
                Cursor cur(r.parts, 6);
                std::string str;
                bool ok = readString(cur, false, str);
                if (!ok)
                    issues_.push_back("damaged text cell");
                if (auto* c = add(u16(b), u16(b + 2), CellType::String)) {
                    c->str = Sheet::kExtraBit | uint32_t(sheet->extra_.size());
                    sheet->extra_.push_back(std::move(str));
                }
            }
            pendingString = -1;
            break;
        case kBoolErr:
            if (len >= 8) {
                bool isErr = b[7] != 0;
                if (auto* c = add(u16(b), u16(b + 2), isErr ? CellType::Error : CellType::Boolean))
                    c->code = b[6];
            }
            pendingString = -1;
            break;
        case kBlank:
            if (len >= 6)
                add(u16(b), u16(b + 2), CellType::Blank);
            pendingString = -1;
            break;
        case kMulBlank:
            if (len >= 6) {
                uint16_t row = u16(b), col = u16(b + 2);
                for (size_t off = 4; off + 2 <= len - 2; off += 2, ++col)
                    add(row, col, CellType::Blank);
            }
            pendingString = -1;
            break;
        case kFormula:
            pendingString = -1;
            if (len >= 20) {
                const uint8_t* v = b + 6;
                CellType type = CellType::Number;
                if (u16(v + 6) == 0xFFFF) {
                    switch (v[0]) {
                    case 0: type = CellType::String; break;
                    case 1: type = CellType::Boolean; break;
                    case 2: type = CellType::Error; break;
                    case 3: type = CellType::String; break;
                    default: type = CellType::Empty; break;
                    }
                }
                Sheet::Cell* c = add(u16(b), u16(b + 2), type);
                if (!c)
                    break;
                c->formula = true;
                if (type == CellType::Number) {
                    c->num = f64(v);
                } else if (type == CellType::Boolean || type == CellType::Error) {
                    c->code = v[2];
                } else if (type == CellType::String) {
                    c->str = Sheet::kExtraBit | uint32_t(sheet->extra_.size());
                    sheet->extra_.emplace_back();
                    if (v[0] == 0)
                        pendingString = long(cells.size() - 1);
                }
            }
            break;
        default:
            break;   // formatting and other records; shared formulas keep pendingString
        }
    }
    if (badIndex)
        issues_.push_back("text cells refer to missing shared strings");
    if (badCol)
        issues_.push_back("cells beyond column IV ignored");
    if (capped)
        issues_.push_back("too many cells; the rest were ignored");

    // Later records for the same cell win.
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Sheet::Cell& a, const Sheet::Cell& b) { return a.key < b.key; });
    size_t out = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (out > 0 && cells[out - 1].key == cells[i].key)
            cells[out - 1] = cells[i];
        else
            cells[out++] = cells[i];
    }
    cells.resize(out);
    cells.shrink_to_fit();
    for (const Sheet::Cell& c : cells) {
        sheet->rowEnd_ = std::max(sheet->rowEnd_, int(c.key >> 8) + 1);
        sheet->colEnd_ = std::max(sheet->colEnd_, int(c.key & 0xFF) + 1);
    }
    sheet_ = std::move(sheet);
    return true;
}

} // namespace kv::xls
