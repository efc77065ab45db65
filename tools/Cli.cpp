#include "app/App.h"
#include "tools/Cli.h"
#include "tools/CliRunner.h"

#include "form/DesignKeeper.h"
#include "platform/ui/Canvas.h"
#include "platform/io/Files.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "shell/Launcher.h"
#include "tools/FormulaCommand.h"
#include "tools/Json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace kv::tools {

const char* const kCliUsage =
    "usage: korvane-cli [--dir DIR] TEMPLATE [ACTION]...\n"
    "       korvane-cli [--dir DIR] formula FILE [--set NAME=VALUE]...\n"
    "actions:\n"
    "  --set ID=TEXT       type TEXT into edit ID\n"
    "  --select ID=N       choose entry N of list or combo ID\n"
    "  --row ID=N          click row N of list ID\n"
    "  --focus ID          move the keyboard focus into control ID\n"
    "  --check ID=0|1      set check box or radio button ID\n"
    "  --press ID          press button ID\n"
    "  --click X,Y         left-button release at client pixel X,Y\n"
    "  --move X,Y          mouse moved to client pixel X,Y\n"
    "  --sys ID            choose entry ID of the window menu\n"
    "  --close             the window's close box\n"
    "  --escape            the Esc key\n"
    "  --wait MS           let MS milliseconds of window timers run\n"
    "  --answer WORD       answer for the next message box (ok, yes, no, cancel)\n"
    "  --file PATH         answer for the next file dialog\n"
    "  --save FILE         save the window's design as FILE (its window menu's \"保存设计…\")\n"
    "  --open FILE         open the design FILE in the window (its window menu's \"打开设计…\")\n"
    "  --on T ACTIONS --end  script for the next modal dialog with template T\n";

namespace {

bool toInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    size_t i = 0;
    if (s[0] == '-') i = 1;
    if (i == s.size()) return false;
    long long x = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        x = x * 10 + (s[i] - '0');
        if (x > 2147483647LL) return false;
    }
    v = int(s[0] == '-' ? -x : x);
    return true;
}

bool splitPair(const std::string& s, char sep, std::string& a, std::string& b) {
    auto p = s.find(sep);
    if (p == std::string::npos) return false;
    a = s.substr(0, p);
    b = s.substr(p + 1);
    return true;
}

class Parser {
public:
    Parser(const std::vector<std::string>& a, size_t i) : args(a), pos(i) {}
    // Parses actions until the end or "--end" (when nested).
    bool parse(std::vector<CliAction>& out, bool nested, std::string& err) {
        while (pos < args.size()) {
            const std::string& verb = args[pos++];
            if (verb == "--end") {
                if (nested) return true;
                err = "--end without --on";
                return false;
            }
            if (verb == "--close" || verb == "--escape") {
                out.push_back({verb, "", 0, {}});
                continue;
            }
            static const char* withArg[] = {"--set", "--select", "--row", "--check", "--press", "--click", "--move",
                                            "--answer", "--file", "--sys", "--wait", "--focus", "--save", "--open"};
            bool known = false;
            for (const char* w : withArg) known |= verb == w;
            if (verb == "--on") {
                CliAction a;
                a.verb = verb;
                if (pos >= args.size() || !toInt(args[pos], a.onTemplate)) {
                    err = "--on needs a template number";
                    return false;
                }
                ++pos;
                if (!parse(a.nested, true, err)) return false;
                out.push_back(std::move(a));
                continue;
            }
            if (!known) {
                err = "unknown action " + verb;
                return false;
            }
            if (pos >= args.size()) {
                err = verb + " needs an argument";
                return false;
            }
            out.push_back({verb, args[pos++], 0, {}});
        }
        if (nested) {
            err = "--on without --end";
            return false;
        }
        return true;
    }
    const std::vector<std::string>& args;
    size_t pos;
};

} // namespace

bool validateActions(const std::vector<CliAction>& actions, std::string& err) {
    for (const CliAction& a : actions) {
        std::string x, y;
        int i = 0, j = 0;
        if (a.verb == "--on") {
            if (!validateActions(a.nested, err)) return false;
        } else if (a.verb == "--set") {
            if (!splitPair(a.arg, '=', x, y) || !toInt(x, i)) return err = "malformed --set " + a.arg, false;
        } else if (a.verb == "--select" || a.verb == "--row" || a.verb == "--check") {
            if (!splitPair(a.arg, '=', x, y) || !toInt(x, i) || !toInt(y, j) ||
                (a.verb == "--check" && j != 0 && j != 1))
                return err = "malformed " + a.verb + " " + a.arg, false;
        } else if (a.verb == "--press" || a.verb == "--sys" || a.verb == "--wait" || a.verb == "--focus") {
            if (!toInt(a.arg, i) || (a.verb == "--wait" && i < 0))
                return err = "malformed " + a.verb + " " + a.arg, false;
        } else if (a.verb == "--click" || a.verb == "--move") {
            if (!splitPair(a.arg, ',', x, y) || !toInt(x, i) || !toInt(y, j))
                return err = "malformed " + a.verb + " " + a.arg, false;
        } else if (a.verb == "--answer") {
            if (!ui::answerOfWord(a.arg))
                return err = "unknown answer " + a.arg, false;
        }
    }
    return true;
}

void appendWords(const std::vector<CliAction>& actions, std::vector<std::string>& words) {
    for (const CliAction& a : actions) {
        words.push_back(a.verb);
        if (a.verb == "--close" || a.verb == "--escape") continue;
        if (a.verb != "--on") {
            words.push_back(a.arg);
            continue;
        }
        words.push_back(std::to_string(a.onTemplate));
        appendWords(a.nested, words);
        words.push_back("--end");
    }
}

bool CliRunner::run(ui::Dialog& dlg, const std::vector<CliAction>& actions) {
    for (const CliAction& a : actions) {
        if (!error.empty()) return false;
        if (!step(dlg, a)) return false;
    }
    return error.empty();
}

bool CliRunner::needControl(ui::Dialog& dlg, int id) {
    if (dlg.has(id)) return true;
    error = "template " + std::to_string(dlg.templateId()) + " has no control " + std::to_string(id);
    return false;
}

bool CliRunner::step(ui::Dialog& dlg, const CliAction& a) {
    std::string x, y;
    int id = 0, n = 0;
    if (a.verb == "--on") {
        std::vector<CliAction> nested = a.nested;
        hb.queueScript(a.onTemplate, [this, nested](ui::Dialog& d) { run(d, nested); });
    } else if (a.verb == "--set") {
        splitPair(a.arg, '=', x, y);
        toInt(x, id);
        if (!needControl(dlg, id)) return false;
        dlg.setText(id, y);
        dlg.dispatch(id, ui::Notify::Changed);
    } else if (a.verb == "--select" || a.verb == "--row") {
        splitPair(a.arg, '=', x, y);
        toInt(x, id);
        toInt(y, n);
        if (!needControl(dlg, id)) return false;
        if (n < 0 || n >= dlg.itemCount(id)) {
            error = "control " + x + " has no entry " + y;
            return false;
        }
        dlg.select(id, n);
        dlg.dispatch(id, ui::Notify::SelChange);
        // A click on the row: the selection, then the list's click.
        if (a.verb == "--row") dlg.dispatch(id, ui::Notify::Clicked);
    } else if (a.verb == "--check") {
        splitPair(a.arg, '=', x, y);
        toInt(x, id);
        toInt(y, n);
        if (!needControl(dlg, id)) return false;
        const ui::ControlState* c = dlg.control(id);
        if (c->tpl.kind == ui::Kind::Radio && n == 1) dlg.clickRadio(id);
        else dlg.setCheck(id, n == 1);
        dlg.dispatch(id, ui::Notify::Clicked);
    } else if (a.verb == "--press") {
        toInt(a.arg, id);
        if (id != ui::IdOk && id != ui::IdCancel && !needControl(dlg, id)) return false;
        if (dlg.has(id) && !dlg.enabled(id)) {
            error = "button " + a.arg + " is disabled";
            return false;
        }
        dlg.dispatch(id, ui::Notify::Clicked);
    } else if (a.verb == "--click") {
        splitPair(a.arg, ',', x, y);
        toInt(x, id);
        toInt(y, n);
        dlg.onLButtonUp(id, n);
    } else if (a.verb == "--move") {
        splitPair(a.arg, ',', x, y);
        toInt(x, id);
        toInt(y, n);
        dlg.onMouseMove(id, n);
    } else if (a.verb == "--focus") {
        toInt(a.arg, id);
        if (!needControl(dlg, id)) return false;
        dlg.dispatch(id, ui::Notify::SetFocus);
    } else if (a.verb == "--close") {
        // The close box acts as Cancel, even when a Cancel button is disabled.
        dlg.dispatch(ui::IdCancel, ui::Notify::Clicked);
    } else if (a.verb == "--escape") {
        dlg.onEscape();
    } else if (a.verb == "--sys") {
        toInt(a.arg, id);
        dlg.onSysCommand(id);
    } else if (a.verb == "--wait") {
        toInt(a.arg, n);
        hb.advance(n);
    } else if (a.verb == "--answer") {
        hb.answers.push_back(ui::answerOfWord(a.arg));
    } else if (a.verb == "--file") {
        hb.files.push_back(a.arg);
    } else if (a.verb == "--save" || a.verb == "--open") {
        return designCommand(dlg, a.verb == "--save" ? form::kSaveDesignCommand : form::kOpenDesignCommand, a.arg);
    }
    return true;
}

bool CliRunner::designCommand(ui::Dialog& dlg, int command, const std::string& file) {
    const std::vector<ui::SysMenuItem> menu = dlg.windowMenu();
    if (std::none_of(menu.begin(), menu.end(), [&](const ui::SysMenuItem& m) { return m.id == command; })) {
        error = "template " + std::to_string(dlg.templateId()) + " keeps no designs";
        return false;
    }
    const std::size_t queued = hb.files.size();
    hb.files.push_front(file);
    dlg.onSysCommand(command);
    // A save refused before its dialog leaves the answer for no one.
    if (hb.files.size() > queued) hb.files.pop_front();
    return true;
}

namespace {

std::string colorText(ui::Color c) { return rgbText(unsigned(c.r) << 16 | unsigned(c.g) << 8 | c.b); }

} // namespace

std::string messagesJson(const std::vector<ui::RecordedMessage>& messages) {
    std::string o = "[";
    for (size_t i = 0; i < messages.size(); ++i) {
        const auto& m = messages[i];
        o += (i ? ", " : "");
        o += "{\"caption\": " + jsonString(m.caption) + ", \"text\": " + jsonString(m.text) +
             ", \"icon\": \"" + iconText(m.icon) + "\", \"answer\": \"" + ui::answerWord(m.answer) + "\"}";
    }
    return o + "]";
}

namespace {
std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    return ui::formatNumber(v);
}

// Each plot control's title, series (point count, first and last drawable
// points) and markers; empty for a window without plots.
std::string plotsJson(const ui::Dialog& dlg) {
    std::string o;
    for (const auto& c : dlg.controls()) {
        if (!c.plot) continue;
        const plot::Plot& p = *c.plot;
        o += o.empty() ? ",\n \"plots\": {\n  " : ",\n  ";
        o += "\"" + std::to_string(c.tpl.id) + "\": {\"title\": " + jsonString(p.title) + ",\n   \"series\": [";
        const auto point = [](const auto& v) {
            return v ? "[" + number(v->first) + ", " + number(v->second) + "]" : std::string("null");
        };
        for (std::size_t i = 0; i < p.series().size(); ++i) {
            const plot::Series& s = p.series()[i];
            const plot::SeriesSummary sum = plot::Plot::summarize(s);
            o += std::string(i ? ",\n    " : "\n    ") + "{\"name\": " + jsonString(s.name) +
                 ", \"points\": " + std::to_string(sum.points) + ", \"first\": " + point(sum.first) +
                 ", \"last\": " + point(sum.last) + ", \"color\": \"" + rgbText(s.color) + "\"}";
        }
        o += "],\n   \"markers\": [";
        for (std::size_t i = 0; i < p.markers().size(); ++i) {
            const plot::Marker& m = p.markers()[i];
            o += std::string(i ? ", " : "") + "{\"id\": " + std::to_string(m.id) + ", \"label\": " +
                 jsonString(m.label) + ", \"x\": " + number(m.x) + ", \"y\": " + number(m.y) +
                 ", \"visible\": " + (m.visible ? "true" : "false") + "}";
        }
        o += "]}";
    }
    return o.empty() ? o : o + "}";
}

std::string stateJson(ui::Dialog& dlg, ui::HeadlessBackend& hb) {
    std::string o = "{\"template\": " + std::to_string(dlg.templateId()) +
                    ", \"title\": " + jsonString(dlg.title()) + ",\n \"controls\": {";
    bool first = true;
    for (const auto& c : dlg.controls()) {
        if (c.tpl.id == -1) continue;
        o += first ? "\n  " : ",\n  ";
        first = false;
        o += "\"" + std::to_string(c.tpl.id) + "\": {\"text\": " + jsonString(dlg.text(c.tpl.id)) +
             ", \"enabled\": " + (c.enabled ? "true" : "false") +
             ", \"visible\": " + (c.visible ? "true" : "false");
        if (c.tpl.kind == ui::Kind::Check || c.tpl.kind == ui::Kind::Radio)
            o += std::string(", \"checked\": ") + (c.checked ? "true" : "false");
        if (c.tpl.kind == ui::Kind::Combo || c.tpl.kind == ui::Kind::List) {
            o += ", \"items\": [";
            for (size_t r = 0; r < c.items.size(); ++r) {
                o += r ? ", [" : "[";
                for (size_t k = 0; k < c.items[r].size(); ++k)
                    o += (k ? ", " : "") + jsonString(c.items[r][k]);
                o += "]";
            }
            o += "], \"selected\": " + std::to_string(c.selected);
        }
        if (c.tpl.kind == ui::Kind::Progress) o += ", \"pos\": " + std::to_string(c.pos);
        if (c.textColor) o += ", \"color\": \"" + colorText(*c.textColor) + "\"";
        if (c.greyed) o += ", \"greyed\": true";
        o += "}";
    }
    o += "},\n \"messages\": " + messagesJson(hb.messages) + ",\n \"opened\": [";
    for (size_t i = 0; i < hb.opened.size(); ++i) o += (i ? ", " : "") + std::to_string(hb.opened[i]);
    o += "]" + plotsJson(dlg) + ",\n \"canvas\": [";
    const ui::RecordingCanvas canvas = ui::HeadlessBackend::paint(dlg);
    const auto texts = canvas.texts();
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& t = texts[i];
        o += (i ? ",\n  " : "\n  ");
        o += "{\"text\": " + jsonString(t.text) + ", \"x\": " + std::to_string(t.x) +
             ", \"y\": " + std::to_string(t.y) + ", \"font\": " + jsonString(t.font) +
             ", \"size\": " + std::to_string(t.size) + ", \"color\": \"" + colorText(t.color) + "\"}";
    }
    o += "]";
    // Curves: each polyline's point count and end points.
    const auto polylines = canvas.polylines();
    if (!polylines.empty()) {
        o += ",\n \"polylines\": [";
        const auto point = [](ui::Point p) { return "[" + std::to_string(p.x) + ", " + std::to_string(p.y) + "]"; };
        for (size_t i = 0; i < polylines.size(); ++i) {
            const auto& p = polylines[i];
            o += (i ? ",\n  " : "\n  ");
            o += "{\"points\": " + std::to_string(p.points.size());
            if (!p.points.empty()) o += ", \"from\": " + point(p.points.front()) + ", \"to\": " + point(p.points.back());
            o += ", \"width\": " + std::to_string(p.width) + ", \"style\": \"" +
                 (p.style == ui::PenStyle::Dot ? "dot" : "solid") + "\", \"color\": \"" + colorText(p.color) + "\"}";
        }
        o += "]";
    }
    return o + "}\n";
}
} // namespace

int runCli(const std::vector<std::string>& args, std::string& out, std::string& err) {
    size_t i = 0;
    std::string dir;
    if (i < args.size() && args[i] == "--dir") {
        if (i + 1 >= args.size()) return err = "--dir needs a folder\n", 2;
        dir = args[i + 1];
        i += 2;
    }
    if (i >= args.size() || args[i] == "--help" || args[i] == "-h") {
        err = kCliUsage;
        return 2;
    }
    std::filesystem::path oldDir;
    if (!dir.empty()) {
        std::error_code ec;
        oldDir = std::filesystem::current_path(ec);
        std::filesystem::current_path(dir, ec);
        if (ec) return err = "cannot enter " + dir + ": " + ec.message() + "\n", 2;
    }
    struct Restore {
        std::filesystem::path p;
        ~Restore() {
            std::error_code ec;
            io::setWorkFolder({});
            if (!p.empty()) std::filesystem::current_path(p, ec);
        }
    } restore{oldDir};
    {
        std::error_code ec;
        io::setWorkFolder(std::filesystem::current_path(ec).string());
    }

    ui::HeadlessBackend hb;
    ui::setBackend(&hb);
    app::registerAll();

    if (args[i] == "formula") {
        if (i + 1 >= args.size()) return err = "formula needs a file\n", 2;
        std::vector<std::pair<std::string, std::string>> presets;
        for (size_t k = i + 2; k < args.size(); ++k) {
            std::string name, value;
            if (args[k] != "--set" || k + 1 >= args.size() || !splitPair(args[k + 1], '=', name, value))
                return err = "malformed formula argument " + args[k] + "\n", 2;
            presets.emplace_back(name, value);
            ++k;
        }
        return runFormulaCommand(args[i + 1], presets, out, err);
    }

    int templateId = 0;
    if (!toInt(args[i], templateId)) return err = "not a template number: " + args[i] + "\n", 2;
    std::vector<CliAction> actions;
    Parser parser(args, i + 1);
    if (!parser.parse(actions, false, err) || !validateActions(actions, err)) return err += "\n", 2;

    std::unique_ptr<ui::Dialog> created = app::createDialog(templateId, nullptr);
    if (!created) return err = "unknown template " + args[i] + "\n", 2;
    ui::Dialog& dlg = hb.openModeless(std::move(created), nullptr);
    CliRunner runner(hb);
    runner.run(dlg, actions);
    if (!runner.error.empty()) return err = runner.error + "\n", 2;
    out = stateJson(dlg, hb);
    return 0;
}

} // namespace kv::tools
