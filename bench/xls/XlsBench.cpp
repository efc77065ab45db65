// Opening CoreList.xls and reading one family's block, as the core picker
// does on every family change.
#include "platform/xls/XlsReader.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string kPath = std::string(KV_SOURCE_DIR) + "/data/CoreList.xls";

void readBlock(benchmark::State& state, int first, int last)
{
    for (auto _ : state) {
        kv::xls::Workbook book;
        std::string error;
        if (!book.open(kPath, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        const kv::xls::Sheet* s = book.firstSheet();
        double sum = 0;
        size_t chars = 0;
        for (int row = first; row <= last; ++row)
            for (int col = 0; col < 10; ++col) {
                if (s->isFormula(row, col))
                    continue;
                if (s->cellType(row, col) == kv::xls::CellType::Number)
                    sum += s->number(row, col);
                else
                    chars += s->text(row, col).size();
            }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(chars);
    }
}

void OpenAndReadEE(benchmark::State& state) { readBlock(state, 9, 37); }
void OpenAndReadEC(benchmark::State& state) { readBlock(state, 4, 7); }

} // namespace

BENCHMARK(OpenAndReadEE)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndReadEC)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
