// Korvane: start-up runs the launcher modally; closing it ends the program.
#include "platform/ui/qt/QtBackend.h"
#include "shell/Launcher.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane");
    for (const std::string& face : kv::ui::installFonts())
        std::fprintf(stderr, "Korvane: no installed font for %s; install fonts-noto-cjk and fonts-arphic-ukai\n",
                     face.c_str());
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::shell::registerAll();
    kv::shell::LauncherDialog launcher;
    backend.runModal(launcher, nullptr);
    return launcher.startFailed ? 1 : 0;
}
