// Writer for binary Excel 97-2003 (BIFF8) workbooks in an OLE2 container.
// Rows and columns count from 0 (row 0 is the first row, column 0 is A).
// Text is taken as UTF-8 and stored as UTF-16 where it needs more than Latin-1.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv::xls {

// Handles returned by the workbook; value 0 is the workbook default.
enum class FontId : uint16_t {};
enum class NumFormatId : uint16_t {};   // built-in ids 0..163 may be used directly
enum class FormatId : uint16_t {};

constexpr FontId kDefaultFont{0};
constexpr NumFormatId kGeneral{0};
constexpr FormatId kDefaultFormat{0};

// Colour indexes of the default palette.
constexpr uint16_t kColourAuto = 0x7FFF;

struct FontSpec {
    std::string name = "Arial";
    double points = 10;
    uint16_t colour = kColourAuto;   // palette index
    bool bold = false;
    bool italic = false;
};

enum class HAlign : uint8_t { General = 0, Left = 1, Centre = 2, Right = 3 };
enum class VAlign : uint8_t { Top = 0, Centre = 1, Bottom = 2 };
enum class LineStyle : uint8_t { None = 0, Thin = 1, Medium = 2, Dashed = 3, Dotted = 4, Thick = 5, Double = 6 };

struct Border {
    LineStyle style = LineStyle::None;
    uint16_t colour = 0x40;   // palette index; 0x40 is the automatic colour
};

struct FormatSpec {
    FontId font = kDefaultFont;
    NumFormatId numberFormat = kGeneral;
    HAlign horizontal = HAlign::General;
    VAlign vertical = VAlign::Bottom;
    bool wrap = false;
    bool shrink = false;   // the text shrinks to fit its cell instead of running into the next
    Border left, right, top, bottom;

    // Sets all four sides.
    FormatSpec& border(LineStyle style, uint16_t colour)
    {
        left = right = top = bottom = Border{style, colour};
        return *this;
    }
};

class WorkbookWriter;

// One worksheet; made by WorkbookWriter::addSheet.
class SheetWriter {
public:

    // Each cell call replaces what the cell held. False (and nothing
    // written) outside the BIFF8 grid of 65536 rows and 256 columns.
    bool setText(int row, int col, std::string_view utf8, FormatId format = kDefaultFormat);
    // A non-finite value becomes the error cell #NUM!.
    bool setNumber(int row, int col, double value, FormatId format = kDefaultFormat);
    bool setBlank(int row, int col, FormatId format);

    // Merges the inclusive range; false for an empty or out-of-grid range.
    bool merge(int firstRow, int lastRow, int firstCol, int lastCol);
    // Width in characters of the default font (0..255).
    bool setColumnWidth(int col, double chars);
    // Height in points (0..409).
    bool setRowHeight(int row, double points);
    void setShowGridlines(bool on) { gridlines_ = on; }

    const std::string& name() const { return name_; }

private:
    friend class WorkbookWriter;
    enum class Kind : uint8_t { Blank, Text, Number, Error };
    struct Cell {
        Kind kind;
        uint16_t format;
        uint8_t error;
        uint32_t text;   // index into the workbook's string table
        double number;
    };
    struct Range {
        uint16_t r1, r2, c1, c2;
    };

    SheetWriter(std::string name, WorkbookWriter* book) : name_(std::move(name)), book_(book) {}

    std::string name_;
    WorkbookWriter* book_;
    std::map<uint32_t, Cell> cells_;          // key row << 8 | col
    std::map<uint16_t, uint16_t> widths_;     // col -> 1/256 characters
    std::map<uint16_t, uint16_t> heights_;    // row -> twips
    std::vector<Range> merges_;
    bool gridlines_ = true;
};

class WorkbookWriter {
public:
    WorkbookWriter();
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    FontId addFont(const FontSpec& font);
    // Custom number format; the same pattern twice gives the same id.
    NumFormatId addNumberFormat(std::string_view pattern);
    // Cell format; formats compare by value, equal ones share a record.
    FormatId addFormat(const FormatSpec& format);
    // Sheet names are cut to 31 characters; []:*?/\ become '_'. The
    // reference stays valid while the workbook lives.
    SheetWriter& addSheet(std::string_view name);

    // The complete .xls file.
    std::vector<uint8_t> toBytes() const;
    // Writes the file to a temporary file beside `path` and renames it over
    // `path`, so an existing file survives a failed save. On failure returns
    // false with a message for the user in `error`.
    bool save(const std::string& path, std::string& error) const;

    // The BIFF8 workbook stream alone (what goes into the container).
    std::vector<uint8_t> workbookStream() const;

private:
    friend class SheetWriter;
    uint32_t intern(std::string_view utf8);

    std::vector<FontSpec> fonts_;
    std::vector<std::pair<uint16_t, std::string>> numFormats_;
    std::vector<FormatSpec> formats_;
    std::vector<std::unique_ptr<SheetWriter>> sheets_;
    std::vector<std::u16string> strings_;
    std::map<std::u16string, uint32_t, std::less<>> stringIndex_;
};

} // namespace kv::xls
