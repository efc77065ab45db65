// Reads a data file of the repository as rows of named fields (no quoted commas).
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kv::magnetics::test {

using Row = std::map<std::string, std::string>;

inline std::vector<std::string> splitCommas(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, ','))
        out.push_back(cell);
    return out;
}

inline std::vector<Row> readCsv(const std::string& relPath) {
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/" + relPath);
    std::string line;
    std::getline(in, line);
    const auto names = splitCommas(line);
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        const auto cells = splitCommas(line);
        Row r;
        for (size_t i = 0; i < names.size(); ++i) // a line may end before its empty last cells
            r[names[i]] = i < cells.size() ? cells[i] : std::string();
        rows.push_back(r);
    }
    return rows;
}

} // namespace kv::magnetics::test
