// The formula engine on a text near its 5000-token limit, against muparser
// parsing and evaluating the same expressions.
#include "platform/ui/headless/HeadlessBackend.h"
#include "designers/Designers.h"
#include "script/Bindings.h"
#include "script/FormulaRunner.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using kv::script::FieldStore;
using kv::script::FormulaRunner;
kv::script::BoxReporter boxes;

const char* const kFile = "CCM反激变换器 cfg.txt";

// One flyback design pass, written as the user would.
const std::pair<const char*, const char*> kBlock[] = {
    {"Vmin", "VacMin * 1.414 - 20"},
    {"Vor", "(Vswm - Vswr - VacMax * 1.414) * 0.9"},
    {"Dmax", "Vor / (Vor + Vmin)"},
    {"Pin", "Po / (Eff / 100)"},
    {"Iin", "Pin / Vmin"},
    {"Ipkp", "2 * Iin / ((2 - r) * Dmax)"},
    {"Lp", "Vmin * Dmax / (Ipkp * r * f * 1000) * 1000000"},
    {"Irmsp", "Ipkp * pow(Dmax * (1 - r + r * r / 3), 0.5)"},
    {"Np", "Lp * Ipkp / (Bpk * Ae) * 100"},
    {"Ns", "Np * (Vo + Vdf) * (1 - Dmax) / (Vmin * Dmax)"},
    {"Ls", "Lp * pow(Ns / Np, 2)"},
    {"Ipks", "Ipkp * Np / Ns"},
    {"Irmss", "Ipks * pow((1 - Dmax) * (1 - r + r * r / 3), 0.5)"},
    {"Dp", "1.13 * pow(Irmsp * Cmil / 1973.5, 0.5)"},
    {"Ds", "1.13 * pow(Irmss * Cmil / 1973.5, 0.5)"},
    {"Zc", "0.4 * 3.14159 * Ae * pow(Np, 2) / (Lp * 1000) - Ve / Ae / 2000"},
    {"Ton", "Dmax / f * 1000"},
    {"Vdm", "-(-(VacMax * 1.414 * Ns / Np + Vo)) * 1.2"},
    {"Co", "Ipks * (1 - Dmax) / (f * Vopp) * 1000000"},
    {"Cin", "Pin * 3"},
};
const char* const kDeclared[] = {"Vmin", "Vor", "Dmax", "Pin"};

struct Workload {
    std::vector<std::pair<std::string, std::string>> statements;
    std::string text;
    int blocks = 0;
};

std::string render(int blocks, std::vector<std::pair<std::string, std::string>>* list) {
    std::string t = "// flyback design\r\n";
    for (const char* d : kDeclared) t += std::string("float ") + d + ";\r\n";
    for (int b = 0; b < blocks; ++b)
        for (const auto& [target, expr] : kBlock) {
            t += std::string(target) + " = " + expr + ";\r\n";
            if (list) list->emplace_back(target, expr);
        }
    return t + "#";
}

// The flyback's formula names, registered by the designers as at start-up.
const kv::script::BindingTable* flybackTable() {
    static const bool registered = (kv::designers::registerWindows(), true);
    (void)registered;
    return kv::script::bindingTableForFile(kFile);
}

void preset(FieldStore& f) {
    const auto* table = flybackTable();
    const std::map<std::string, float> inputs = {
        {"Po", 60}, {"Vo", 12}, {"Eff", 85}, {"VacMin", 90}, {"VacMax", 264}, {"Vswm", 650},
        {"Vswr", 50}, {"f", 65}, {"Vdf", 0.7f}, {"r", 0.6f}, {"Ptd", 20}, {"Cmil", 400},
        {"Vopp", 120}, {"Ve", 5470}, {"Ae", 83}, {"Le", 66}, {"Bpk", 2500}, {"Bsat", 3900}};
    for (const auto& row : table->rows) {
        auto it = inputs.find(std::string(row.name));
        f.set(row.control, it == inputs.end() ? 0.0f : it->second);
    }
}

// The largest number of blocks that still passes the token limit.
const Workload& workload() {
    static const Workload w = [] {
        kv::ui::HeadlessBackend hb;
        kv::ui::setBackend(&hb);
        const auto* table = flybackTable();
        Workload out;
        for (int blocks = 1;; ++blocks) {
            FieldStore f;
            preset(f);
            hb.messages.clear();
            if (!FormulaRunner(boxes).runText(render(blocks, nullptr), table, f) || !hb.messages.empty())
                break;
            out.blocks = blocks;
        }
        out.text = render(out.blocks, &out.statements);
        kv::ui::setBackend(nullptr);
        return out;
    }();
    return w;
}

std::string writeWorkload() {
    char tmpl[] = "/tmp/kv-bench-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string path = dir + "/" + kFile;
    std::ofstream(path, std::ios::binary) << workload().text;
    return path;
}

void BM_KorvaneRunFile(benchmark::State& state) {
    static const std::string path = writeWorkload();
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    FieldStore f;
    preset(f);
    for (auto _ : state) {
        bool ok = FormulaRunner(boxes).run(path, f);
        benchmark::DoNotOptimize(ok);
    }
    if (!hb.messages.empty()) state.SkipWithError(hb.messages[0].text.c_str());
    state.counters["statements"] = static_cast<double>(workload().statements.size());
    state.counters["bytes"] = static_cast<double>(workload().text.size());
    kv::ui::setBackend(nullptr);
}

void BM_KorvaneRunText(benchmark::State& state) {
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    const auto* table = flybackTable();
    FieldStore f;
    preset(f);
    const std::string& text = workload().text;
    for (auto _ : state) {
        bool ok = FormulaRunner(boxes).runText(text, table, f);
        benchmark::DoNotOptimize(ok);
    }
    if (!hb.messages.empty()) state.SkipWithError(hb.messages[0].text.c_str());
    kv::ui::setBackend(nullptr);
}

double powFn(double a, double b) { return std::pow(a, b); }

// muparser: every statement parsed and evaluated, results stored in variables.
void BM_MuparserParseEval(benchmark::State& state) {
    const auto& statements = workload().statements;
    const auto* table = flybackTable();
    std::map<std::string, double> vars;
    FieldStore f;
    preset(f);
    for (const auto& row : table->rows) vars[std::string(row.name)] = f.get(row.control);
    for (const char* d : kDeclared) vars[d] = 0.0;
    mu::Parser p;
    for (auto& [name, value] : vars) p.DefineVar(name, &value);
    p.DefineFun("pow", powFn);
    std::vector<double*> targets;
    for (const auto& s : statements) targets.push_back(&vars.at(s.first));
    for (auto _ : state) {
        for (std::size_t i = 0; i < statements.size(); ++i) {
            p.SetExpr(statements[i].second);
            *targets[i] = p.Eval();
        }
        benchmark::DoNotOptimize(vars);
    }
    state.counters["statements"] = static_cast<double>(statements.size());
}

BENCHMARK(BM_KorvaneRunFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KorvaneRunText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MuparserParseEval)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
