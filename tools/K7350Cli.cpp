#include "tools/K7350Cli.h"

#include "pfc_designer/Program.h"
#include "platform/ui/Numbers.h"
#include "tools/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv::tools {

using namespace kv::panels;

const char* const kK7350Usage =
    "usage: k7350-cli [--dir DIR] [ACTION]...\n"
    "  --set P:C=VALUE   store VALUE in control C of panel P, then commit it as Enter would\n"
    "  --commit P:C      commit control C of panel P (a button press); C may be the callback name\n"
    "  --close P         the close box of panel P\n"
    "  --escape          the Esc key\n"
    "  --answer yes|no|cancel|ok  answer for the next popup\n"
    "  --file PATH       answer for the next file popup\n"
    "  --screen WxH      screen size\n"
    "  --print PATH      printing goes to this PDF file\n"
    "  --png P=PATH      draws panel P into a PNG file\n";

namespace {
std::string num(double v) {
    if (!std::isfinite(v)) return "null";
    return kv::ui::formatNumber(v, 0, kv::ui::Notation::Shortest);
}

std::string b(bool v) { return v ? "true" : "false"; }

} // namespace

std::string panelSnapshot() {
    std::string o = "{\"panels\": {";
    bool firstPanel = true;
    std::string graphs, cursors;
    for (Panel* p : kv::panels::panels()) {
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

namespace {
bool parsePanelCtrl(const std::string& s, int& panelId, std::string& ctrl) {
    const auto colon = s.find(':');
    if (colon == std::string::npos) return false;
    auto r = std::from_chars(s.data(), s.data() + colon, panelId);
    if (r.ec != std::errc() || r.ptr != s.data() + colon) return false;
    ctrl = s.substr(colon + 1);
    return !ctrl.empty();
}

} // namespace

Panel* PanelRun::panelOf(int id) {
    if (id < 0 || id >= int(std::size(k7350::hp)) || !k7350::hp[id]) return nullptr;
    return panel(k7350::hp[id]);
}

Ctrl* PanelRun::ctrlOf(Panel& p, const std::string& c, bool byName) {
    int id = 0;
    auto r = std::from_chars(c.data(), c.data() + c.size(), id);
    if (r.ec == std::errc() && r.ptr == c.data() + c.size()) return p.find(id);
    if (byName)
        for (Ctrl& x : p.ctrls)
            if (x.def.callback == c) return &x;
    return nullptr;
}

void PanelRun::note(UserResult r, const std::string& what) {
    if (r == UserResult::Dimmed) notes.push_back(what + " is dimmed: nothing happened");
    if (r == UserResult::Hidden) notes.push_back(what + " is on a hidden panel: nothing happened");
}

bool PanelRun::act(const PanelAction& a) {
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
        if (!png || !png(*p, a.arg.substr(eq + 1))) return fail("cannot write " + a.arg.substr(eq + 1));
        return true;
    }
    if (a.kind == "--escape") {
        note(userEscape(), "Esc");
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

bool PanelRun::fail(const std::string& why) {
    error = why;
    return false;
}


bool parsePanelActions(const std::vector<std::string>& words, std::vector<PanelAction>& out, std::string& err) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& a = words[i];
        if (a == "--escape") {
            out.push_back({a, ""});
            continue;
        }
        const bool known = a == "--set" || a == "--commit" || a == "--answer" || a == "--file" ||
                           a == "--screen" || a == "--dir" || a == "--print" || a == "--png" || a == "--close";
        if (!known || i + 1 >= words.size()) {
            err = (known ? "missing value after " : "unknown action ") + a;
            return false;
        }
        const std::string& v = words[++i];
        if (a == "--answer" && !kv::ui::answerOfWord(v)) {
            err = "--answer takes yes, no, cancel or ok";
            return false;
        }
        out.push_back({a, v});
    }
    return true;
}

} // namespace kv::tools
