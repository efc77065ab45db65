// Reader for binary Excel 97-2003 (BIFF8) workbooks: the first worksheet's
// cell values by row and column. Rows and columns count from 0 (row 0 is the
// sheet's first row, column 0 is column A). Text comes back as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv::xls {

// Numbering follows what the core database relies on: number 1, string 2,
// error 5.
enum class CellType : int {
    Empty = 0,    // no record for this cell
    Number = 1,
    String = 2,
    Boolean = 3,
    Blank = 4,    // formatted but empty (BLANK / MULBLANK)
    Error = 5,
};

class Sheet {
public:
    CellType cellType(int row, int col) const;
    bool isFormula(int row, int col) const;
    // 0 unless the cell holds a number (plain or cached formula result).
    double number(int row, int col) const;
    // Empty unless the cell holds text. Valid while the workbook lives.
    std::string_view text(int row, int col) const;
    bool boolean(int row, int col) const;
    // Error code of an error cell (e.g. 0x07 for #DIV/0!), else 0.
    uint8_t errorCode(int row, int col) const;

    const std::string& name() const { return name_; }
    // One past the highest row / column holding a cell record; 0 if none.
    int rowEnd() const { return rowEnd_; }
    int colEnd() const { return colEnd_; }
    size_t cellCount() const { return cells_.size(); }

private:
    friend class Workbook;
    struct Cell {
        uint32_t key;          // row << 8 | col
        CellType type;
        bool formula;
        uint8_t code;          // error code or boolean value
        uint32_t str;          // text index; kExtraBit set for sheet-local text
        double num;
    };
    static constexpr uint32_t kExtraBit = 0x80000000u;
    const Cell* find(int row, int col) const;

    std::string name_;
    std::vector<Cell> cells_;               // sorted by key, unique
    const std::vector<std::string>* sst_ = nullptr;
    std::vector<std::string> extra_;        // LABEL and formula text
    int rowEnd_ = 0;
    int colEnd_ = 0;
};

class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Loads the workbook; false with a message in `error` when the file is
    // missing, not an OLE2 .xls, not BIFF8, encrypted or has no readable
    // workbook stream. Damage past the start (truncated records, broken
    // string table) still loads what could be read and is listed in issues().
    bool open(const std::string& path, std::string& error);
    bool openMemory(const uint8_t* data, size_t size, std::string& error);
    // Parses a workbook stream already taken out of its OLE2 container.
    bool openStream(const uint8_t* data, size_t size, std::string& error);

    // The first sheet in the workbook, or null when there is none.
    const Sheet* firstSheet() const { return sheet_.get(); }
    const std::vector<std::string>& issues() const { return issues_; }
    size_t sharedStringCount() const { return sst_.size(); }

    // Largest file open() accepts.
    static constexpr size_t kMaxFileSize = size_t(256) << 20;

private:
    bool parseStream(const std::vector<uint8_t>& s, std::string& error);
    void clear();

    std::vector<std::string> sst_;
    std::unique_ptr<Sheet> sheet_;
    std::vector<std::string> issues_;
};

} // namespace kv::xls
