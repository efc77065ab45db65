// Renders the program's windows to PNG files: the picture gallery of ./run
// without a display, and the pictures the README shows.
#include "app/App.h"
#include "ic_designers/Ob2269Designer.h"
#include "ic_designers/QrDesigner.h"
#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/qt/QtBackend.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "services/CorePick.h"
#include "services/Progress.h"
#include "shell/Launcher.h"
#include "platform/io/Files.h"
#include "shell/Popups.h"
#include "services/Settings.h"
#include "services/Templates.h"
#include "script/DesignerFiles.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

namespace tpl = kv::tpl;

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
        std::fprintf(stderr, "usage: korvane-gallery [--from PROGRAM_FOLDER] OUTDIR [TEMPLATE[:BUTTON]...]...\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[first]);
    std::filesystem::create_directories(out);
    for (const std::string& face : kv::ui::installFonts())
        std::fprintf(stderr, "korvane-gallery: no installed font for %s\n", face.c_str());
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::app::registerAll();

    // "235:1328" presses button 1328 of window 235 before its picture is taken;
    // "282:1445=24" types 24 into edit 1445 as the user would.
    std::vector<int> ids;
    std::map<int, std::vector<std::pair<int, std::optional<std::string>>>> presses;
    for (int i = first + 1; i < argc; ++i) {
        const std::string arg = argv[i];
        ids.push_back(std::atoi(arg.c_str()));
        for (size_t at = arg.find(':'); at != std::string::npos; at = arg.find(':', at + 1)) {
            const std::string step = arg.substr(at + 1, arg.find(':', at + 1) - at - 1);
            const size_t eq = step.find('=');
            presses[ids.back()].push_back({std::atoi(step.c_str()), eq == std::string::npos
                                                                        ? std::nullopt
                                                                        : std::optional(step.substr(eq + 1))});
        }
    }
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
    // The designers are shown with a finished design: edits typed in
    // (edit id, text) and then buttons pressed (id, no text).
    struct Step {
        int id;
        const char* text;
    };
    const std::map<int, std::vector<Step>> designs = {
        {tpl::kFlyback, {{4, nullptr}, {1047, nullptr}}},
        {tpl::kForward, {{1096, nullptr}, {1095, nullptr}}},
        {tpl::kHalfBridge, {{3, nullptr}}},
        {tpl::kFullBridge, {{3, nullptr}}},
        {tpl::kPushPull, {{3, nullptr}}},
        {tpl::kRcc, {{3, nullptr}}},
        {tpl::kDcdc, {{3, nullptr}}},
        {tpl::kQr, {{kv::ic::QrDesigner::kCalculate, nullptr}}},
        {tpl::kOb2269, {{kv::ic::Ob2269Designer::kCalculate, nullptr}}},
        // the loop pages computed, with their Bode plots
        {tpl::kCurrentMode, {{1000, nullptr}}},
        {tpl::kTypeTwo, {{1000, nullptr}, {1001, nullptr}}},
        {tpl::kTypeThree, {{1235, nullptr}}},
    };
    // The designers that show their magnetic's losses do so on a core picked
    // from the database (as the picker hands it over), before the steps above.
    namespace mag = kv::magnetics;
    const std::map<int, mag::TableCore> picks = {
        {tpl::kFlyback, mag::tableCore("ETD44", "N87", 173, 279, 3600, 103, 17800)},
        {tpl::kForward, mag::tableCore("ETD49", "N87", 211, 332, 3900, 114, 24000)},
        {tpl::kDcdc, mag::tableCore("EFD20", "N87", 31, 43.2, 1200, 47, 1460)},
        {tpl::kGraphicFlyback, mag::tableCore("EFD20", "N87", 31, 43.2, 1200, 47, 1460)},
    };
    for (int id : ids) {
        // Designers start from built-in labels and formulas; the schematic on its first picture.
        for (std::string_view name : kv::script::allScriptFiles()) {
            const std::string f(name);
            if (!std::filesystem::exists(f) || std::filesystem::file_size(f) == 0) kv::io::writeAt(f, 0, "#");
        }
        kv::services::writeSlot(kv::services::kPictureSlot, '#');
        std::unique_ptr<kv::ui::Dialog> dlg = kv::app::createDialog(id, nullptr);
        if (!dlg) continue;
        backend.createWindow(*dlg);
        if (auto pick = picks.find(id); pick != picks.end()) {
            const mag::TableCore& c = pick->second;
            if (auto* g = dynamic_cast<kv::graphic::GraphicFlybackDialog*>(dlg.get())) {
                g->design.Ae = float(c.ae * 1e6), g->design.Le = float(c.le * 1e3);
                g->design.CoreName = "磁芯:" + c.type;
                g->design.Core = c;
                g->recalculate(kv::graphic::Derive::FromVor);
            } else if (auto* o = dynamic_cast<kv::services::CoreOpener*>(dlg.get())) {
                o->takeCore(float(c.ae * 1e6), float(c.le * 1e3));
                o->setCoreName("磁芯:" + c.type);
                o->takeTableCore(c);
            }
        }
        if (auto design = designs.find(id); design != designs.end())
            for (const Step& s : design->second) {
                if (s.text) dlg->setText(s.id, s.text);
                else dlg->dispatch(s.id, kv::ui::Notify::Clicked);
            }
        for (const auto& [control, typed] : presses[id]) {
            if (!typed) {
                dlg->dispatch(control, kv::ui::Notify::Clicked);
                continue;
            }
            dlg->setText(control, *typed);
            dlg->dispatch(control, kv::ui::Notify::Changed);
        }
        if (id == tpl::kGraphicFlyback) {
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
