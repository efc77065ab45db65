// Korvane: start-up runs the launcher modally; closing it ends the program.
#include "platform/io/Files.h"
#include "platform/ui/qt/QtBackend.h"
#include "app/App.h"
#include "shell/Launcher.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {
// Peak resident memory in kB.
long peakKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane");
    for (const std::string& face : kv::ui::installFonts())
        std::fprintf(stderr, "Korvane: no installed font for %s; install fonts-noto-cjk and fonts-arphic-ukai\n",
                     face.c_str());
    std::error_code ec;
    kv::io::setWorkFolder(std::filesystem::current_path(ec).string());
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::app::registerAll();
    kv::shell::LauncherDialog launcher;
    // Start-up measurement: report once the launcher has shown, then quit.
    struct Probe : QObject {
        kv::shell::LauncherDialog& launcher;
        explicit Probe(kv::shell::LauncherDialog& l) : launcher(l) {}
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Show && o == kv::ui::QtBackend::windowOf(launcher)) {
                QTimer::singleShot(0, this, [this] {
                    std::printf("splash_ms=%.3f peak_kb=%ld\n", launcher.splashMs, peakKb());
                    std::fflush(stdout);
                    launcher.endDialog(kv::ui::IdCancel);
                });
            }
            return false;
        }
    } probe(launcher);
    if (std::getenv("KORVANE_STARTUP_PROBE")) app.installEventFilter(&probe);
    backend.runModal(launcher, nullptr);
    return launcher.startFailed ? 1 : 0;
}
