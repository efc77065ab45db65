// k7350-cli: runs K7350 headless, does what the actions say and prints the
// panels, popups and graphs as one JSON object.
#include "pfc_designer/Program.h"
#include "platform/panels/HeadlessHost.h"
#include "platform/ui/Numbers.h"
#include "platform/panels/qt/Render.h"
#include "platform/ui/qt/QtBackend.h"
#include "tools/Json.h"

#include <QApplication>
#include <QPdfWriter>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kv::panels;

const char* const kUsage =
    "usage: k7350-cli [--dir DIR] [ACTION]...\n"
    "  --set P:C=VALUE   store VALUE in control C of panel P, then commit it as Enter would\n"
    "  --commit P:C      commit control C of panel P (a button press); C may be the callback name\n"
    "  --close P         the close box of panel P\n"
    "  --answer yes|no|cancel|ok  answer for the next popup\n"
    "  --file PATH       answer for the next file popup\n"
    "  --screen WxH      screen size\n"
    "  --print PATH      printing goes to this PDF file\n"
    "  --png P=PATH      draws panel P into a PNG file\n";

struct Action {
    std::string kind, arg;
};

std::string num(double v) {
    if (!std::isfinite(v)) return "null";
    return kv::ui::formatNumber(v, 0, kv::ui::Notation::Shortest);
}

std::string b(bool v) { return v ? "true" : "false"; }

std::string snapshot() {
    std::string o = "{\"panels\": {";
    bool firstPanel = true;
    std::string graphs, cursors;
    for (Panel* p : panels()) {
        if (!firstPanel) o += ", ";
        firstPanel = false;
        const std::string pid = std::to_string(p->def.id);
        o += "\"" + pid + "\": {\"title\": " + kv::tools::jsonString(p->title) +
             ", \"visible\": " + b(p->visible) + ", \"dimmed\": " + b(p->dimmed) + ", \"controls\": {";
        bool firstCtrl = true;
        for (const Ctrl& c : p->ctrls) {
            if (c.def.id == -1) continue;
            if (!firstCtrl) o += ", ";
            firstCtrl = false;
            o += "\"" + std::to_string(c.def.id) + "\": {";
            if (c.hasValue()) o += "\"value\": " + num(c.value) + ", ";
            o += "\"text\": " + kv::tools::jsonString(c.text()) + ", \"dimmed\": " + b(c.dimmed) +
                 ", \"visible\": " + b(c.visible);
            if (c.textColor >= 0) o += ", \"color\": \"" + kv::tools::rgbText(unsigned(c.textColor)) + "\"";
            o += "}";
            if (!c.plot) continue;
            const std::string key = "\"" + pid + ":" + std::to_string(c.def.id) + "\": [";
            graphs += (graphs.empty() ? "" : ", ") + key;
            bool firstSeries = true;
            for (const auto& s : c.plot->series()) {
                const auto sum = kv::plot::Plot::summarize(s);
                auto pt = [](const auto& v) {
                    return v ? "[" + num(v->first) + ", " + num(v->second) + "]" : std::string("null");
                };
                graphs += std::string(firstSeries ? "" : ", ") + "{\"points\": " + std::to_string(sum.points) +
                          ", \"first\": " + pt(sum.first) + ", \"last\": " + pt(sum.last) +
                          ", \"color\": \"" + kv::tools::rgbText(s.color) + "\", \"width\": " + std::to_string(s.width) +
                          (s.name.empty() ? "" : ", \"name\": " + kv::tools::jsonString(s.name)) + "}";
                firstSeries = false;
            }
            graphs += "]";
            if (!c.plot->markers().empty()) {
                cursors += (cursors.empty() ? "" : ", ") + key;
                bool firstMarker = true;
                for (const auto& m : c.plot->markers()) {
                    cursors += std::string(firstMarker ? "" : ", ") + "{\"id\": " + std::to_string(m.id) +
                               ", \"x\": " + num(m.visible ? m.x : NAN) + ", \"y\": " +
                               num(m.visible ? m.y : NAN) + "}";
                    firstMarker = false;
                }
                cursors += "]";
            }
        }
        o += "}}";
    }
    o += "}, \"popups\": [";
    bool first = true;
    for (const auto& m : popups()) {
        o += std::string(first ? "" : ", ") + "{\"title\": " + kv::tools::jsonString(m.title) +
             ", \"text\": " + kv::tools::jsonString(m.text) + ", \"answer\": \"" + m.answer + "\"}";
        first = false;
    }
    o += "], \"graphs\": {" + graphs + "}, \"cursors\": {" + cursors + "}";
    return o;
}

bool parsePanelCtrl(const std::string& s, int& panelId, std::string& ctrl) {
    const auto colon = s.find(':');
    if (colon == std::string::npos) return false;
    auto r = std::from_chars(s.data(), s.data() + colon, panelId);
    if (r.ec != std::errc() || r.ptr != s.data() + colon) return false;
    ctrl = s.substr(colon + 1);
    return !ctrl.empty();
}

struct Run {
    HeadlessHost& host;
    std::string error;
    std::vector<std::string> notes;

    Panel* panelOf(int id) {
        if (id < 0 || id >= int(std::size(k7350::hp)) || !k7350::hp[id]) return nullptr;
        return panel(k7350::hp[id]);
    }

    // The control by number or, for --commit, by callback name.
    Ctrl* ctrlOf(Panel& p, const std::string& c, bool byName) {
        int id = 0;
        auto r = std::from_chars(c.data(), c.data() + c.size(), id);
        if (r.ec == std::errc() && r.ptr == c.data() + c.size()) return p.find(id);
        if (byName)
            for (Ctrl& x : p.ctrls)
                if (x.def.callback == c) return &x;
        return nullptr;
    }

    void note(UserResult r, const std::string& what) {
        if (r == UserResult::Dimmed) notes.push_back(what + " is dimmed: nothing happened");
        if (r == UserResult::Hidden) notes.push_back(what + " is on a hidden panel: nothing happened");
    }

    bool act(const Action& a) {
        if (a.kind == "--answer") {
            host.backend.answers.push_back(kv::ui::answerOfWord(a.arg));
            return true;
        }
        if (a.kind == "--file") {
            host.backend.files.push_back(a.arg);
            return true;
        }
        if (a.kind == "--screen") {
            int w = 0, h = 0;
            if (std::sscanf(a.arg.c_str(), "%dx%d", &w, &h) != 2) return fail("bad screen size " + a.arg);
            host.width = w;
            host.height = h;
            return true;
        }
        if (a.kind == "--print" || a.kind == "--dir") return true;
        if (a.kind == "--png") {
            const auto eq = a.arg.find('=');
            int pid = 0;
            if (eq == std::string::npos || std::from_chars(a.arg.data(), a.arg.data() + eq, pid).ec != std::errc())
                return fail("--png P=PATH");
            Panel* p = panelOf(pid);
            if (!p) return fail("unknown panel " + std::to_string(pid));
            if (!renderPanel(*p).save(QString::fromStdString(a.arg.substr(eq + 1))))
                return fail("cannot write " + a.arg.substr(eq + 1));
            return true;
        }
        if (a.kind == "--close") {
            int pid = 0;
            if (std::from_chars(a.arg.data(), a.arg.data() + a.arg.size(), pid).ec != std::errc())
                return fail("--close P");
            Panel* p = panelOf(pid);
            if (!p) return fail("unknown panel " + a.arg);
            note(userClose(p->handle), "the close box of panel " + a.arg);
            return true;
        }
        std::string spec = a.arg, value;
        if (a.kind == "--set") {
            const auto eq = spec.find('=');
            if (eq == std::string::npos) return fail("--set P:C=VALUE");
            value = spec.substr(eq + 1);
            spec = spec.substr(0, eq);
        }
        int pid = 0;
        std::string c;
        if (!parsePanelCtrl(spec, pid, c)) return fail("bad control " + spec);
        Panel* p = panelOf(pid);
        if (!p) return fail("unknown panel " + std::to_string(pid));
        Ctrl* ctrl = ctrlOf(*p, c, a.kind == "--commit");
        if (!ctrl) return fail("unknown control " + spec);
        if (a.kind == "--set") {
            if (!ctrl->hasValue() || ctrl->def.kind == CtrlKind::Indicator)
                return fail("control " + spec + " takes no value");
            const UserResult r = userSetText(p->handle, ctrl->def.id, value);
            if (r == UserResult::NotANumber) return fail("not a number: " + value);
            note(r, "control " + spec);
        } else {
            note(userCommit(p->handle, ctrl->def.id), "control " + spec);
        }
        return true;
    }

    bool fail(const std::string& why) {
        error = why;
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    std::vector<Action> actions;
    std::string dir, pdf;
    bool needQt = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool known = a == "--set" || a == "--commit" || a == "--answer" || a == "--file" ||
                           a == "--screen" || a == "--dir" || a == "--print" || a == "--png" || a == "--close";
        if (!known || i + 1 >= argc) {
            std::fprintf(stderr, "k7350-cli: %s %s\n%s", known ? "missing value after" : "unknown action",
                         a.c_str(), kUsage);
            return 2;
        }
        const std::string v = argv[++i];
        if (a == "--answer" && !kv::ui::answerOfWord(v)) {
            std::fprintf(stderr, "k7350-cli: --answer takes yes, no, cancel or ok\n");
            return 2;
        }
        if (a == "--dir") dir = v;
        if (a == "--print") pdf = v;
        if (a == "--print" || a == "--png") needQt = true;
        actions.push_back({a, v});
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
    Run run{host, {}, {}};
    std::optional<std::string> stillRunning;
    bool ok = true;
    host.script = [&] {
        for (const Action& a : actions) {
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
        if (!quitRequested()) stillRunning = snapshot() + ", \"exit\": null}";
    };
    const int rc = k7350::run();
    std::string out = stillRunning ? *stillRunning : snapshot() + ", \"exit\": " + std::to_string(rc) + "}";
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
