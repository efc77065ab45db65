// The shipped core workbook: block layout, agreement with data/cores.csv and
// physical consistency of every core (volume, area product, mass, effective
// permeability against the material, window against the outer dimensions).
#include "platform/xls/XlsReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using kv::xls::CellType;

namespace {

struct Block {
    const char* family;
    int first, last;
};
// Rows from 0, inclusive.
const Block kBlocks[] = {
    {"EC", 4, 7},      {"EE", 9, 37},     {"EF", 39, 43},   {"EFD", 45, 50}, {"EI", 52, 66},
    {"EP", 68, 72},    {"EPC", 74, 81},   {"ER", 83, 102},  {"ETD", 104, 112}, {"LP", 114, 116},
    {"RM", 118, 124},  {"PTS", 126, 130}, {"PQ", 132, 140}, {"UU", 142, 153},
};

enum Col { AP = 3, Ae, Aw, AL, Le, Ve, Wt };

struct CsvRow {
    std::vector<std::string> f;
};

std::vector<std::string> splitCsvLine(const std::string& line)
{
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, ','))
        f.push_back(field);
    if (!line.empty() && line.back() == ',')
        f.emplace_back();
    return f;
}

// Rows of a CSV file under data/; the header, if wanted, goes to `header`.
std::vector<CsvRow> readCsv(const char* name = "cores.csv", std::vector<std::string>* header = nullptr)
{
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/data/" + name);
    std::vector<CsvRow> rows;
    std::string line;
    std::getline(in, line);
    if (header)
        *header = splitCsvLine(line);
    while (std::getline(in, line))
        rows.push_back({splitCsvLine(line)});
    return rows;
}

const std::vector<std::string> kCsvColumns = {
    "family", "type", "material", "size_mm", "AP_cm4", "Ae_mm2", "Aw_mm2", "AL_nH_per_N2",
    "Le_mm", "Ve_mm3", "weight_g", "source", "window_hxw_mm", "Aw_former_mm2",
    "checked_against", "checked_values", "iec_shape"};
enum CsvCol { CsvSize = 3, CsvAw = 6, CsvSource = 11, CsvWindow = 12, CsvChecked = 14, CsvValues = 15, CsvShape = 16 };

// material -> (initial permeability, density in g/mm^3) from data/materials.csv
std::map<std::string, std::pair<double, double>> readMaterials()
{
    std::map<std::string, std::pair<double, double>> m;
    for (const CsvRow& r : readCsv("materials.csv"))
        m[r.f[0]] = {std::stod(r.f[2]), std::stod(r.f[4]) * 1e-3};
    return m;
}

std::vector<double> splitDims(const std::string& text)
{
    std::vector<double> d;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, 'x'))
        d.push_back(std::stod(part));
    return d;
}

// Outer bound of the window: width (half the core for two-window shapes, the
// whole core for U cores, whose one window lies between the legs) and the
// height of the set (size_mm gives the half-core height for these families;
// EP sizes are width x depth x set height).
std::pair<double, double> windowBox(const std::string& family, const std::string& size)
{
    static const std::set<std::string> halfHeight = {"EC", "EE", "EF", "EFD", "EPC", "ER", "ETD", "LP", "UU"};
    std::vector<double> d = splitDims(size);
    if (d.size() < 2 || (family == "EP" && d.size() < 3))
        return {0, 0};
    const double height = family == "EP" ? d[2] : halfHeight.count(family) ? 2 * d[1] : d[1];
    return {family == "UU" ? d[0] : d[0] / 2, height};
}

class CoreList : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(book.open(std::string(KV_SOURCE_DIR) + "/data/CoreList.xls", error)) << error;
        sheet = book.firstSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(book.issues().empty());
    }
    kv::xls::Workbook book;
    const kv::xls::Sheet* sheet = nullptr;
};

} // namespace

TEST_F(CoreList, BlocksHoldTextThenSevenNumbers)
{
    std::set<int> dataRows;
    for (const Block& b : kBlocks)
        for (int row = b.first; row <= b.last; ++row) {
            dataRows.insert(row);
            for (int col = 0; col < 3; ++col) {
                EXPECT_EQ(sheet->cellType(row, col), CellType::String) << b.family << " row " << row;
                EXPECT_FALSE(sheet->text(row, col).empty());
            }
            for (int col = 3; col < 10; ++col) {
                EXPECT_EQ(sheet->cellType(row, col), CellType::Number) << b.family << " row " << row;
                EXPECT_GT(sheet->number(row, col), 0.0);
            }
            for (int col = 0; col < 10; ++col)
                EXPECT_FALSE(sheet->isFormula(row, col));
        }
    EXPECT_EQ(dataRows.size(), 137u);   // blocks do not overlap
    // Heading rows name the family; no numbers outside the blocks.
    for (const Block& b : kBlocks)
        EXPECT_EQ(sheet->text(b.first - 1, 0), b.family);
    for (int row = 0; row < 160; ++row) {
        if (dataRows.count(row))
            continue;
        for (int col = 3; col < 10; ++col)
            EXPECT_NE(sheet->cellType(row, col), CellType::Number) << "row " << row;
    }
    EXPECT_EQ(sheet->rowEnd(), 154);
}

TEST_F(CoreList, MatchesCsvSource)
{
    std::vector<std::string> header;
    std::vector<CsvRow> csv = readCsv("cores.csv", &header);
    ASSERT_EQ(header, kCsvColumns);
    ASSERT_EQ(csv.size(), 137u);
    std::map<std::string, int> next;
    for (const Block& b : kBlocks)
        next[b.family] = b.first;
    for (const CsvRow& r : csv) {
        ASSERT_EQ(r.f.size(), kCsvColumns.size()) << r.f[1];
        ASSERT_TRUE(next.count(r.f[0])) << r.f[0];
        int row = next[r.f[0]]++;
        EXPECT_EQ(sheet->text(row, 0), r.f[1]);
        EXPECT_EQ(sheet->text(row, 1), r.f[2]);
        EXPECT_EQ(sheet->text(row, 2), r.f[3]);
        for (int col = 3; col < 10; ++col)
            EXPECT_DOUBLE_EQ(sheet->number(row, col), std::stod(r.f[size_t(col) + 1])) << r.f[1] << " col " << col;
        EXPECT_EQ(sheet->text(row, 10), r.f[11]);
    }
    for (const Block& b : kBlocks)
        EXPECT_EQ(next[b.family], b.last + 1) << b.family;
}

TEST_F(CoreList, EveryCoreIsPhysicallyConsistent)
{
    // Cores whose body is far larger than their effective volume.
    const std::set<std::string> heavy = {"EC52", "EC70", "EI12.5", "EP7", "EP10", "EP13",
                                         "EP17", "EP20", "EPC10", "ER9.5", "PTS14/8"};
    const auto materials = readMaterials();
    int rows = 0;
    for (const Block& b : kBlocks)
        for (int row = b.first; row <= b.last; ++row, ++rows) {
            std::string name(sheet->text(row, 0));
            double ae = sheet->number(row, Ae), aw = sheet->number(row, Aw), le = sheet->number(row, Le);
            double ve = sheet->number(row, Ve), ap = sheet->number(row, AP), wt = sheet->number(row, Wt);
            EXPECT_NEAR(ap, ae * aw / 1e4, 0.01 * ap) << name;
            EXPECT_NEAR(ve, ae * le, 0.05 * ve) << name;
            auto material = materials.find(std::string(sheet->text(row, 1)));
            ASSERT_NE(material, materials.end()) << name;
            double ratio = wt / (material->second.second * ve);
            EXPECT_GE(ratio, 0.8) << name;
            EXPECT_LE(ratio, heavy.count(name) ? 3.0 : 1.2) << name;
            EXPECT_GE(sheet->number(row, AL), 300.0) << name;
            EXPECT_LE(sheet->number(row, AL), 15000.0) << name;
        }
    EXPECT_EQ(rows, 137);
}

TEST_F(CoreList, UngappedAlStaysWithinTheMaterialPermeability)
{
    // mu_e = AL le / (mu0 Ae) of an ungapped set cannot exceed the ring
    // permeability of its material, whose nominal value scatters by +-25 %;
    // far below it means a wrong AL, le or Ae.
    std::map<std::string, double> muI;
    for (const auto& [material, values] : readMaterials())
        muI[material] = values.first;
    ASSERT_GE(muI.size(), 5u);
    const double mu0 = 4e-7 * std::numbers::pi;
    int rows = 0;
    for (const Block& b : kBlocks)
        for (int row = b.first; row <= b.last; ++row, ++rows) {
            std::string name = std::string(sheet->text(row, 0)) + " " + std::string(sheet->text(row, 1));
            auto it = muI.find(std::string(sheet->text(row, 1)));
            ASSERT_NE(it, muI.end()) << name << ": material missing from data/materials.csv";
            double muE = sheet->number(row, AL) * 1e-9 * sheet->number(row, Le) * 1e-3
                         / (mu0 * sheet->number(row, Ae) * 1e-6);
            EXPECT_LE(muE, 1.25 * it->second) << name;
            EXPECT_GT(muE, 0.25 * it->second) << name;
        }
    EXPECT_EQ(rows, 137);
}

TEST_F(CoreList, WindowFitsTheCoreDimensions)
{
    std::vector<CsvRow> csv = readCsv();
    ASSERT_EQ(csv.size(), 137u);
    int fromDims = 0;
    for (const CsvRow& r : csv) {
        const std::string name = r.f[1] + " " + r.f[2];
        auto [width, height] = windowBox(r.f[0], r.f[CsvSize]);
        ASSERT_GT(width * height, 0.0) << name << ": size " << r.f[CsvSize];
        double aw = std::stod(r.f[CsvAw]);
        // The window of a real core takes 12 to 45 % of that outer box.
        EXPECT_GT(aw, 0.12 * width * height) << name;
        EXPECT_LT(aw, 0.45 * width * height) << name;
        if (r.f[CsvWindow].empty())
            continue;
        ++fromDims;
        std::vector<double> hw = splitDims(r.f[CsvWindow]);
        ASSERT_EQ(hw.size(), 2u) << name;
        EXPECT_NEAR(hw[0] * hw[1], aw, 0.01 * aw) << name;
        EXPECT_LT(hw[0], height) << name;
        EXPECT_LT(hw[1], width) << name;
    }
    EXPECT_GE(fromDims, 20);
}

TEST_F(CoreList, EveryRowSaysWhatItWasCheckedAgainst)
{
    int checked = 0;
    for (const CsvRow& r : readCsv()) {
        const std::string& against = r.f[CsvChecked];
        const std::string& values = r.f[CsvValues];
        EXPECT_FALSE(against.empty()) << r.f[1];
        EXPECT_FALSE(values.empty()) << r.f[1];
        if (against.rfind("none", 0) == 0)
            continue;
        ++checked;
        EXPECT_NE(values.rfind("none", 0), 0u) << r.f[1] << ": a row checked against a document names the values";
    }
    EXPECT_GE(checked, 15);
}

TEST_F(CoreList, CalculatedRowsNameTheirShapeAndItsSource)
{
    // A row whose effective parameters were calculated from the standard
    // dimensions names the shape, says what it held before, and its workbook
    // source names the data set; the title row keeps the data set's licence.
    int calculated = 0;
    for (const CsvRow& r : readCsv()) {
        if (r.f[CsvChecked] != "calculated: IEC 60205 from IEC 63093 dimensions")
            continue;
        ++calculated;
        EXPECT_FALSE(r.f[CsvShape].empty()) << r.f[1];
        EXPECT_NE(r.f[CsvValues].find("listed before"), std::string::npos) << r.f[1];
        EXPECT_NE(r.f[CsvSource].find("OpenMagnetics MAS data set"), std::string::npos) << r.f[1];
    }
    EXPECT_GE(calculated, 10);
    EXPECT_NE(std::string(sheet->text(0, 0)).find("OpenMagnetics MAS data set, Apache License 2.0"),
              std::string::npos);
}

TEST_F(CoreList, ReadsLikeThePicker)
{
    // The picker walks columns 0-9, appending text cells and placing numbers
    // at column - 3; every row must yield three strings and seven numbers.
    std::map<std::string, int> counts;
    for (const Block& b : kBlocks)
        for (int row = b.first; row <= b.last; ++row) {
            int strings = 0, numbers = 0;
            for (int col = 0; col < 10; ++col) {
                if (sheet->isFormula(row, col))
                    continue;
                CellType t = sheet->cellType(row, col);
                strings += t == CellType::String;
                numbers += t == CellType::Number && col >= 3;
            }
            EXPECT_EQ(strings, 3);
            EXPECT_EQ(numbers, 7);
            ++counts[b.family];
        }
    EXPECT_EQ(counts["EC"], 4);
    EXPECT_EQ(counts["EE"], 29);
    EXPECT_EQ(sheet->text(4, 0), "EC35");
    EXPECT_EQ(sheet->text(9, 1), "3C90");
}
