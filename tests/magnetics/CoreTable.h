// The core table of the repository (data/cores.csv) as the adviser takes it.
#pragma once

#include "magnetics/CoreAdviser.h"
#include "tests/magnetics/CsvRows.h"

#include <string>
#include <vector>

namespace kv::magnetics::test {

inline const std::vector<Row>& coreTableRows() {
    static const std::vector<Row> rows = readCsv("data/cores.csv");
    return rows;
}

// Views into coreTableRows(), in its order.
inline std::vector<CoreCandidate> coreTable() {
    std::vector<CoreCandidate> out;
    for (const Row& r : coreTableRows()) {
        out.push_back(catalogCore(r.at("type"), r.at("material"), std::stod(r.at("Ae_mm2")), std::stod(r.at("Aw_mm2")),
                                  std::stod(r.at("AL_nH_per_N2")), std::stod(r.at("Le_mm")), std::stod(r.at("Ve_mm3"))));
    }
    return out;
}

} // namespace kv::magnetics::test
