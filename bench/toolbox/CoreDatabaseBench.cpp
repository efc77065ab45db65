// Opening the core picker (set-up, workbook read, list filled) and changing
// the family, headless, in a folder holding the shipped CoreList.xls.
#include "platform/ui/headless/HeadlessBackend.h"
#include "toolbox/CoreDatabase.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// A scratch folder with the workbook, made the current directory.
struct Folder {
    fs::path dir, old;
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "kvbench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        fs::copy_file(fs::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", dir / "CoreList.xls");
        old = fs::current_path();
        fs::current_path(dir);
    }
    ~Folder() {
        std::error_code ec;
        fs::current_path(old, ec);
        fs::remove_all(dir, ec);
    }
};

void OpenPicker(benchmark::State& state) {
    Folder folder;
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    int rows = 0;
    for (auto _ : state) {
        kv::toolbox::CoreDatabaseDialog d;
        d.initialize();
        rows = d.itemCount(kv::toolbox::CoreDatabaseDialog::kList);
        benchmark::DoNotOptimize(rows);
    }
    if (rows != 29 || !hb.messages.empty()) state.SkipWithError("the EE list did not load");
    state.counters["rows"] = rows;
}

void ChangeFamily(benchmark::State& state) {
    Folder folder;
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    using D = kv::toolbox::CoreDatabaseDialog;
    D d;
    d.initialize();
    int family = 0;
    for (auto _ : state) {
        family = (family + 1) % kv::toolbox::kFamilyCount;
        d.select(D::kFamily, family);
        d.dispatch(D::kFamily, kv::ui::Notify::SelChange);
        benchmark::DoNotOptimize(d.rowCount());
    }
    if (!hb.messages.empty()) state.SkipWithError("a family did not load");
}

} // namespace

BENCHMARK(OpenPicker)->Unit(benchmark::kMicrosecond);
BENCHMARK(ChangeFamily)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
