// Walks K7350's panels: the input bytes become a sequence of user actions of
// k7350-cli's vocabulary on the headless host (values typed from a
// dictionary, buttons, rings, close boxes, Esc, popup and file answers).
// After every action the walk checks what a user would call a fault and
// traps with the command line that replays it.
#include "fuzz/tools/Walk.h"
#include "pfc_designer/Program.h"
#include "platform/panels/HeadlessHost.h"
#include "tools/K7350Cli.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace kv;
using namespace kv::panels;
using tools::PanelAction;

// Files a load or save may be given, in the scratch folder.
const char* const kFiles[] = {"", "design.ini", "other.txt", "missing/design.ini", "bad.ini", "K7350.uir"};
const char* const kAnswers[] = {"yes", "no", "cancel", "ok"};
// The main panel and its Save and Load buttons.
constexpr int kMainPanel = 18, kSave = 24, kLoad = 23;

walk::Scratch* g_scratch = nullptr;

class Walker {
public:
    Walker(HeadlessHost& h, walk::Bytes& in) : host_(h), in_(in), run_{h, {}, {}, {}} {
        words_ = {"k7350-cli", "--dir", g_scratch->path()};
    }

    void walk() {
        for (int k = 0; k < walk::kMaxActions && !in_.empty() && !quitRequested(); ++k) {
            PanelAction a = decode();
            if (!a.kind.empty()) act(a);
        }
        if (quitRequested()) return;
        // Every step panel shown can be left with its close box, from the top down.
        for (int guard = 0; guard < 32; ++guard) {
            Panel* top = topPanel();
            if (!top || top->def.id == kMainPanel) break;
            const int id = top->def.id;
            act({"--close", std::to_string(id)});
            if (panel(top->handle)->visible && topPanel() == top)
                fail("panel " + std::to_string(id) + " cannot be left with its close box");
        }
        // With nothing left to answer, the main panel's close box ends the program.
        if (!host_.backend.answers.empty() || !host_.backend.files.empty()) return;
        act({"--close", std::to_string(kMainPanel)});
        if (!quitRequested()) fail("the main panel's close box does not end the program");
    }

    // KV_WALK_PRINT=1: the command line of every walk (to read what a corpus does).
    void print() const {
        if (std::getenv("KV_WALK_PRINT")) std::fprintf(stderr, "%s\n", walk::shellLine(words_).c_str());
    }

private:
    std::vector<Panel*> shown() {
        std::vector<Panel*> out;
        for (Panel* p : kv::panels::panels())
            if (p->visible) out.push_back(p);
        return out;
    }

    static bool operable(const Panel& p, const Ctrl& c) {
        return !p.dimmed && c.visible && !c.dimmed && c.def.id > 0;
    }

    PanelAction decode() {
        const std::uint8_t op = in_.next() % 16;
        // A dimmed panel takes nothing from the user.
        std::vector<Panel*> ps;
        for (Panel* p : shown())
            if (!p->dimmed) ps.push_back(p);
        if (ps.empty()) return {};
        Panel& p = *ps[in_.pick(ps.size())];
        const std::string pid = std::to_string(p.def.id);
        auto pickCtrl = [&](std::initializer_list<CtrlKind> kinds) -> const Ctrl* {
            std::vector<const Ctrl*> v;
            for (const Ctrl& c : p.ctrls) {
                bool ok = false;
                for (CtrlKind k : kinds) ok |= c.def.kind == k;
                if (ok && operable(p, c)) v.push_back(&c);
            }
            return v.empty() ? nullptr : v[in_.pick(v.size())];
        };
        switch (op) {
        case 0: case 1: case 2: case 3: case 4: { // type a value
            const Ctrl* c = pickCtrl({CtrlKind::Numeric});
            const auto& values = walk::typedValues();
            const std::string& v = values[in_.pick(values.size())];
            if (!c) return {};
            return {"--set", pid + ":" + std::to_string(c->def.id) + "=" + v};
        }
        case 5: { // choose a ring entry or a switch state
            const Ctrl* c = pickCtrl({CtrlKind::Ring, CtrlKind::Switch});
            if (!c) return {};
            const std::size_t n = c->def.kind == CtrlKind::Ring ? std::max<std::size_t>(1, c->def.items.size()) : 2;
            return {"--set", pid + ":" + std::to_string(c->def.id) + "=" + std::to_string(in_.pick(n))};
        }
        case 6: case 7: case 8: case 9: { // press a button
            const Ctrl* c = pickCtrl({CtrlKind::Button});
            if (!c) return {};
            return {"--commit", pid + ":" + std::to_string(c->def.id)};
        }
        case 10:
            return {"--close", pid};
        case 11:
            return {"--escape", ""};
        case 12:
            return {"--answer", kAnswers[in_.pick(std::size(kAnswers))]};
        case 13: case 14:
            return {"--file", kFiles[in_.pick(std::size(kFiles))]};
        default: { // commit a field as it stands (Enter)
            const Ctrl* c = pickCtrl({CtrlKind::Numeric, CtrlKind::Ring});
            if (!c) return {};
            return {"--commit", pid + ":" + std::to_string(c->def.id)};
        }
        }
    }

    // The file a Save is about to write, with its time (empty: not a save).
    std::string saveStamp(const PanelAction& a) const {
        if (a.kind != "--commit" || a.arg != std::to_string(kMainPanel) + ":" + std::to_string(kSave) ||
            host_.backend.files.empty() || !host_.backend.files.front() || host_.backend.files.front()->empty())
            return {};
        return stamp(*host_.backend.files.front());
    }
    static std::string stamp(const std::string& path) {
        std::error_code ec;
        const auto t = std::filesystem::last_write_time(path, ec);
        return path + "|" + (ec ? std::string("-") : std::to_string(t.time_since_epoch().count()));
    }

    void act(const PanelAction& a) {
        words_.push_back(a.kind);
        if (a.kind != "--escape") words_.push_back(a.arg);
        const std::size_t popupsBefore = popups().size();
        const std::string saving = saveStamp(a);
        const bool leaving = a.kind == "--close" || a.kind == "--escape";
        const std::vector<double> typed = leaving ? entries() : std::vector<double>{};
        current_ = walk::shellLine(words_);
        walk::armWatchdog(&current_, 3);
        const bool ran = run_.act(a);
        walk::disarmWatchdog();
        if (!ran) {
            // A field refuses what is not a number: nothing happened, and the
            // command line would stop there, so the walk forgets the action.
            if (run_.error.rfind("not a number", 0) == 0) {
                words_.resize(words_.size() - 2);
                run_.error.clear();
                return;
            }
            fail("the walk asked for an action K7350 does not have: " + run_.error);
        }
        check(popupsBefore);
        // Leaving a panel keeps what was typed, the program's own presets aside.
        if (leaving && !quitRequested() && !same(entries(), typed))
            fail("leaving a panel changed what was typed");
        if (!saving.empty() && stamp(saving.substr(0, saving.find('|'))) != saving)
            loadBack(saving.substr(0, saving.find('|')));
    }

    // Every value the user can enter, as the panels hold it.
    static std::vector<double> entries() {
        std::vector<double> v;
        for (Panel* p : kv::panels::panels())
            for (const Ctrl& c : p->ctrls)
                if (c.def.kind == CtrlKind::Numeric || c.def.kind == CtrlKind::Ring) v.push_back(c.value);
        return v;
    }

    static bool same(const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
        return true;
    }

    // A saved project loads back to the values that were saved.
    void loadBack(const std::string& path) {
        Panel* main = nullptr;
        for (Panel* p : kv::panels::panels())
            if (p->def.id == kMainPanel) main = p;
        if (!main || main->dimmed || !host_.backend.answers.empty() || !host_.backend.files.empty() || quitRequested()) return;
        const Ctrl* load = main->find(kLoad);
        if (!load || !operable(*main, *load)) return;
        const std::vector<double> saved = entries();
        const std::size_t popupsBefore = popups().size();
        act({"--file", path});
        act({"--commit", std::to_string(kMainPanel) + ":" + std::to_string(kLoad)});
        if (popups().size() != popupsBefore)
            fail("the project just saved to " + path + " does not load: " + popups().back().text);
        if (!same(entries(), saved)) fail("the project just saved to " + path + " loads back different values");
    }

    [[noreturn]] void fail(const std::string& what) {
        walk::fault(what + " (run in an empty folder)", walk::shellLine(words_));
    }

    void checkText(const std::string& where, const std::string& text) {
        if (walk::showsNonNumber(text)) fail(where + " shows \"" + text + "\"");
    }

    // What the user sees on the panels shown, and the popups.
    void check(std::size_t popupsBefore) {
        for (Panel* p : shown()) {
            const std::string w = "panel " + std::to_string(p->def.id);
            checkText(w + " title", p->title);
            for (const Ctrl& c : p->ctrls) {
                if (!c.visible) continue;
                const std::string where = w + " control " + std::to_string(c.def.id);
                checkText(where, c.text());
                checkText(where, c.caption);
                if (!c.plot) continue;
                checkText(where + " graph title", c.plot->title);
                for (const auto& m : c.plot->markers())
                    if (m.visible && (!std::isfinite(m.x) || !std::isfinite(m.y)))
                        fail(where + " shows a cursor at a point that is not a number");
            }
        }
        for (std::size_t i = popupsBefore; i < popups().size(); ++i) {
            if (popups()[i].text.empty()) fail("a popup without a text");
            checkText("a popup", popups()[i].text);
        }
    }

    HeadlessHost& host_;
    walk::Bytes& in_;
    tools::PanelRun run_;
    std::vector<std::string> words_;
    std::string current_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static walk::Scratch scratch({});
    g_scratch = &scratch;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    g_scratch->reset();
    if (chdir(g_scratch->path().c_str()) != 0) return 0;
    {
        // A file that is no project.
        FILE* f = std::fopen("bad.ini", "w");
        if (f) {
            std::fputs("abc\n", f);
            std::fclose(f);
        }
    }
    walk::Bytes in(data, size);
    HeadlessHost host;
    setHost(&host);
    setResourceDir(KV_PFC_DIR);
    registerCallbacks(k7350::callbackTable());
    host.script = [&] {
        Walker w(host, in);
        w.walk();
        w.print();
    };
    k7350::run();
    k7350::resetProgram();
    setHost(nullptr);
    return 0;
}
