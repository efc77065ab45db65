// Renders the program's windows to PNG files: the picture gallery of ./run
// without a display, and the pictures the README shows.
#include "app/App.h"
#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/qt/QtBackend.h"
#include "services/Progress.h"
#include "shell/Launcher.h"
#include "platform/ui/Files.h"
#include "shell/Popups.h"
#include "services/Settings.h"

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
    // The windows are rendered in a copy of a staged program folder, so each
    // picture shows what a user sees there (core workbook, pictures, help).
    int first = 1;
    std::filesystem::path from;
    if (argc > 2 && std::string(argv[1]) == "--from") {
        from = std::filesystem::absolute(argv[2]);
        first = 3;
    }
    if (argc <= first || (!from.empty() && !std::filesystem::is_directory(from))) {
        std::fprintf(stderr, "usage: korvane-gallery [--from PROGRAM_FOLDER] OUTDIR [TEMPLATE]...\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[first]);
    std::filesystem::create_directories(out);
    for (const std::string& face : kv::ui::installFonts())
        std::fprintf(stderr, "korvane-gallery: no installed font for %s\n", face.c_str());
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::app::registerAll();

    std::vector<int> ids;
    for (int i = first + 1; i < argc; ++i) ids.push_back(std::atoi(argv[i]));
    if (ids.empty())
        for (const auto& t : kv::ui::allTemplates()) ids.push_back(t.id);

    // The launcher's start-up writes its files into the current folder.
    const std::filesystem::path work = out / "work";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    if (!from.empty())
        std::filesystem::copy(from, work, std::filesystem::copy_options::recursive);
    std::filesystem::current_path(work);

    // Notices shown while a window starts (new files and so on) are answered at once.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    dismiss.start(20);

    int written = 0;
    const auto save = [&](kv::ui::Dialog& dlg, const std::string& name) {
        // Plots are drawn as their models stand, the charts they replace gone.
        if (QWidget* w = kv::ui::QtBackend::windowOf(dlg)) {
            for (auto* plot : w->findChildren<kv::plot::PlotWidget*>()) plot->sync();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const QImage img = kv::ui::QtBackend::grab(dlg);
        const std::string file = (out / (name + ".png")).string();
        if (!img.isNull() && img.save(QString::fromStdString(file))) {
            std::printf("%s\n", file.c_str());
            ++written;
        }
    };
    for (int id : ids) {
        // Designers start from built-in labels and formulas; the schematic on its first picture.
        for (const char* f : {"Flyback Interface.txt", "CCM反激变换器 cfg.txt", "DCM反激变换器 cfg.txt"})
            if (!std::filesystem::exists(f) || std::filesystem::file_size(f) == 0) kv::ui::writeAt(f, 0, "#");
        kv::services::writeSlot(kv::services::kPictureSlot, '#');
        std::unique_ptr<kv::ui::Dialog> dlg = kv::app::createDialog(id, nullptr);
        if (!dlg) continue;
        backend.createWindow(*dlg);
        if (id == 129) {
            // A finished design: a core typed in and verified.
            dlg->setText(1029, "52.5");
            dlg->setText(1031, "57.5");
            dlg->dispatch(4, kv::ui::Notify::Clicked);
            dlg->dispatch(1047, kv::ui::Notify::Clicked);
        }
        // The loop pages computed, with their Bode plots.
        if (id == 106) dlg->dispatch(1000, kv::ui::Notify::Clicked);
        if (id == 107)
            for (int step : {1000, 1001}) dlg->dispatch(step, kv::ui::Notify::Clicked);
        if (id == 205) dlg->dispatch(1235, kv::ui::Notify::Clicked);
        if (id == 238) {
            save(*dlg, "238");
            dlg->dispatch(1347, kv::ui::Notify::Clicked); // the cyan background
            save(*dlg, "238-cyan");
            continue;
        }
        // Progress boxes are caught half way.
        if (auto* s = dynamic_cast<kv::shell::LoadingSplash*>(dlg.get())) s->progress = 61;
        if (auto* c = dynamic_cast<kv::services::CalculatingPopup*>(dlg.get())) c->progress = 60;
        if (auto* p = dynamic_cast<kv::services::ProgressPause*>(dlg.get())) dlg->setPos(p->kBar, 60);
        if (auto* w = dynamic_cast<kv::shell::WelcomeDialog*>(dlg.get())) w->counter = 7;
        save(*dlg, std::to_string(id));
    }
    return written > 0 ? 0 : 1;
}
