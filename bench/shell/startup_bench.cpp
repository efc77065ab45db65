// Time from process start to the launcher shown, the loading splash's own
// run excluded, and the peak resident memory at that moment. Korvane runs on
// the offscreen platform with KORVANE_STARTUP_PROBE set: it reports the
// splash's duration and its peak memory when the launcher shows, then quits.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Probe {
    double splashMs = 0;
    double peakMb = 0;
    bool ok = false;
};

// Starts Korvane and returns when it has reported the launcher shown;
// `shown` is the moment the report arrived.
Probe launchOnce(const char* program, const std::string& dir, std::chrono::steady_clock::time_point& shown) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (chdir(dir.c_str()) != 0) _exit(127);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KORVANE_STARTUP_PROBE", "1", 1);
        execl(program, program, nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    shown = std::chrono::steady_clock::now();
    while ((n = read(fds[0], buf, sizeof buf)) > 0) {
        out.append(buf, size_t(n));
        if (out.find('\n') != std::string::npos) {
            shown = std::chrono::steady_clock::now();
            break;
        }
    }
    while (read(fds[0], buf, sizeof buf) > 0) {
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    Probe p;
    p.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           std::sscanf(out.c_str(), "splash_ms=%lf peak_kb=%lf", &p.splashMs, &p.peakMb) == 2;
    p.peakMb /= 1024.0;
    return p;
}

void startup(benchmark::State& state, const char* program) {
    const std::string dir = (std::filesystem::temp_directory_path() / "kv-startup-bench").string();
    std::filesystem::create_directories(dir);
    double peak = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point t1;
        const Probe p = launchOnce(program, dir, t1);
        if (!p.ok) {
            state.SkipWithError("the program did not report its start");
            return;
        }
        const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count() - p.splashMs;
        state.SetIterationTime(ms / 1000.0);
        peak = std::max(peak, p.peakMb);
    }
    state.counters["peak_MB"] = peak;
}
void BM_StartupToLauncher(benchmark::State& state) { startup(state, KV_KORVANE); }
// The peer: a bare Qt dialog from process start to shown.
void BM_BareQtDialogToShown(benchmark::State& state) { startup(state, KV_BARE_DIALOG); }
BENCHMARK(BM_StartupToLauncher)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_BareQtDialogToShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
