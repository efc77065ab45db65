// k7350-cli: runs K7350 headless, does what the actions say and prints the
// panels, popups and graphs as one JSON object.
#include "pfc_designer/Program.h"
#include "platform/panels/HeadlessHost.h"
#include "platform/panels/qt/Render.h"
#include "platform/ui/qt/QtBackend.h"
#include "tools/K7350Cli.h"

#include <QApplication>
#include <QPdfWriter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kv::panels;
using kv::tools::PanelAction;

int main(int argc, char** argv) {
    std::vector<PanelAction> actions;
    std::string dir, pdf, err;
    bool needQt = false;
    if (!kv::tools::parsePanelActions(std::vector<std::string>(argv + 1, argv + argc), actions, err)) {
        std::fprintf(stderr, "k7350-cli: %s\n%s", err.c_str(), kv::tools::kK7350Usage);
        return 2;
    }
    for (const PanelAction& a : actions) {
        if (a.kind == "--dir") dir = a.arg;
        if (a.kind == "--print") pdf = a.arg;
        if (a.kind == "--print" || a.kind == "--png") needQt = true;
    }
    const std::string exeDir = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "k7350-cli: cannot enter %s\n", dir.c_str());
        return 2;
    }
    std::unique_ptr<QApplication> app;
    int qargc = 1;
    char* qargv[] = {argv[0], nullptr};
    if (needQt) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QApplication>(qargc, qargv);
        kv::ui::installFonts(); // the pictures as the program draws them
    }

    HeadlessHost host;
    if (!pdf.empty())
        host.printer = [&](const Document& doc) {
            QPdfWriter writer(QString::fromStdString(pdf));
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setResolution(300);
            writer.setTitle(QString::fromStdString(doc.title));
            return printDocument(writer, doc);
        };
    setHost(&host);
    setResourceDir(exeDir);
    registerCallbacks(k7350::callbackTable());
    kv::tools::PanelRun run{host, {}, {}, [](Panel& p, const std::string& path) {
                                return renderPanel(p).save(QString::fromStdString(path));
                            }};
    std::optional<std::string> stillRunning;
    bool ok = true;
    host.script = [&] {
        for (const PanelAction& a : actions) {
            if (quitRequested()) {
                run.error = "the program has quit before " + a.kind + " " + a.arg;
                ok = false;
                break;
            }
            if (!run.act(a)) {
                ok = false;
                break;
            }
        }
        if (!quitRequested()) stillRunning = kv::tools::panelSnapshot() + ", \"exit\": null}";
    };
    const int rc = k7350::run();
    std::string out = stillRunning ? *stillRunning : kv::tools::panelSnapshot() + ", \"exit\": " + std::to_string(rc) + "}";
    std::printf("%s\n", out.c_str());
    for (const auto& n : run.notes) std::fprintf(stderr, "k7350-cli: %s\n", n.c_str());
    k7350::resetProgram();
    setHost(nullptr);
    if (!ok) {
        std::fprintf(stderr, "k7350-cli: %s\n", run.error.c_str());
        return 2;
    }
    return 0;
}
