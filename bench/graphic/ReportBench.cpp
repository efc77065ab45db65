// Writing the design report: the workbook built in memory, and the whole
// save (temporary file, flush to disk, rename).
#include "graphic_flyback/DesignReport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

kv::graphic::ReportData design()
{
    kv::graphic::ReportData d;
    d.VacMin = 90; d.VacMax = 270; d.fLine = 50; d.Efficiency = 70; d.Vo = 5; d.Io = 1;
    d.Vopp = 50; d.PerVinpp = 38; d.fosc = 70; d.Dmax = 0.4f; d.r = 0.5f; d.Tdie = 20;
    d.CoreName = "磁芯:EE25/19"; d.Ae = 17; d.Le = 35; d.Bpk = 2500; d.Bsat = 3000; d.Cmil = 400;
    d.Vor = 42.7f; d.PerLLK = 5; d.Vz = 105; d.Vdo = 0.8f; d.Vf = 5.984f; d.Vdf = 0.6f; d.VMos = 600;
    d.Ipkp = 0.283f; d.Irmsp = 0.143f; d.Lp = 3984; d.Np = 272; d.dp = 0.192f; d.Ipks = 2.08f;
    d.Irmss = 1.29f; d.Ls = 73.5f; d.Ns = 37; d.ds = 0.577f; d.Lgap = 0.379f; d.Rlk = 11.72f;
    d.Clk = 40.63f; d.Cin = 10.21f; d.Iin = 0.0905f; d.Vswy = 113; d.Isw = 1.43f; d.VDon = 68.2f;
    d.IDout = 2.58f; d.VCout = 6; d.Co = 2083; d.Nf = 42;
    return d;
}

void BuildReportInMemory(benchmark::State& state)
{
    kv::graphic::ReportData d = design();
    kv::graphic::ReportStamp at{2026, 12, 8, 21, 45};
    for (auto _ : state) {
        kv::xls::WorkbookWriter book;
        kv::graphic::buildDesignReport(book, d, at);
        std::vector<uint8_t> bytes = book.toBytes();
        benchmark::DoNotOptimize(bytes.data());
    }
}

void SaveReport(benchmark::State& state)
{
    kv::graphic::ReportData d = design();
    std::string path = std::string(KV_BINARY_DIR) + "/bench_report_" + std::to_string(getpid()) + ".xls";
    for (auto _ : state) {
        std::string error;
        if (!kv::graphic::writeDesignReport(path, d, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::remove(path.c_str());
}

} // namespace

BENCHMARK(BuildReportInMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveReport)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
