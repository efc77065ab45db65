// Renders the program's windows to PNG files: the picture gallery of ./run
// without a display, and the pictures the README shows.
#include "platform/ui/qt/QtBackend.h"
#include "shell/Launcher.h"
#include "shell/Popups.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvane-gallery OUTDIR [TEMPLATE]...\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(out);
    for (const std::string& face : kv::ui::installFonts())
        std::fprintf(stderr, "korvane-gallery: no installed font for %s\n", face.c_str());
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::shell::registerAll();

    std::vector<int> ids;
    for (int i = 2; i < argc; ++i) ids.push_back(std::atoi(argv[i]));
    if (ids.empty())
        for (const auto& t : kv::ui::allTemplates()) ids.push_back(t.id);

    // The launcher's start-up writes its files into the current folder.
    const std::filesystem::path work = out / "work";
    std::filesystem::create_directories(work);
    std::filesystem::current_path(work);

    // Notices shown while a window starts (new files and so on) are answered at once.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    dismiss.start(20);

    int written = 0;
    for (int id : ids) {
        std::unique_ptr<kv::ui::Dialog> dlg = kv::shell::createDialog(id, nullptr);
        if (!dlg) continue;
        backend.createWindow(*dlg);
        // Progress boxes are caught half way.
        if (auto* s = dynamic_cast<kv::shell::LoadingSplash*>(dlg.get())) s->progress = 61;
        if (auto* c = dynamic_cast<kv::shell::CalculatingPopup*>(dlg.get())) c->progress = 60;
        if (auto* p = dynamic_cast<kv::shell::ProgressPause*>(dlg.get())) dlg->setPos(p->kBar, 60);
        if (auto* w = dynamic_cast<kv::shell::WelcomeDialog*>(dlg.get())) w->counter = 7;
        const QImage img = kv::ui::QtBackend::grab(*dlg);
        const std::string file = (out / (std::to_string(id) + ".png")).string();
        if (!img.isNull() && img.save(QString::fromStdString(file))) {
            std::printf("%s\n", file.c_str());
            ++written;
        }
    }
    return written > 0 ? 0 : 1;
}
