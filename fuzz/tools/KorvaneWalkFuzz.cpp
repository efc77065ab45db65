// Walks Korvane's windows: the input bytes become a sequence of user actions
// of korvane-cli's vocabulary on the headless backend (a window to start
// with, values typed from a dictionary, buttons, selections, clicks, modal
// windows as they open, message and file answers). After every action the
// walk checks what a user would call a fault and traps with the command line
// that replays it.
#include "app/App.h"
#include "form/DesignFile.h"
#include "form/DesignKeeper.h"
#include "fuzz/tools/Walk.h"
#include "platform/io/Files.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Numbers.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/xls/XlsReader.h"
#include "services/Windows.h"
#include "tools/CliRunner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

using namespace kv;
using tools::CliAction;

// Files a save may be given, in the scratch folder (one in a folder that is not there).
const char* const kFiles[] = {"", "report.xls", "second.xls", "missing/report.xls", "report.txt", "design.kvd"};
// Saves whose file the walk reads back: the template and its button. A new
// file format is one more row and its reader below.
struct SavedFile {
    int templateId, button;
};
const SavedFile kSaves[] = {{238, 1346}};
// A design saved through a window's menu ("保存设计…") is read back by opening it.
bool savesDesign(const CliAction& a) { return a.verb == "--sys" && a.arg == std::to_string(form::kSaveDesignCommand); }

const char* const kAnswers[] = {"ok", "yes", "no", "cancel"};
const int kWaits[] = {50, 1000, 5000};

std::vector<int>& startTemplates() {
    static std::vector<int> ids;
    return ids;
}

walk::Scratch* g_scratch = nullptr;

class Walker : public tools::CliRunner {
public:
    Walker(ui::HeadlessBackend& b, walk::Bytes& in, int start) : CliRunner(b), host_(b), in_(in) {
        words_ = {"korvane-cli", "--dir", g_scratch->path(), std::to_string(start)};
        frames_.push_back({&line_, 0});
        host_.unscripted = [this](ui::Dialog& d) { modal(d); };
    }

    void walkTop(ui::Dialog& dlg) {
        walkOn(dlg, walk::kMaxActions);
        if (!open(dlg)) return;
        // The close box of the window must let the user leave it.
        act(dlg, {"--close", "", 0, {}});
        if (open(dlg)) fail("window " + std::to_string(dlg.templateId()) + " cannot be left with its close box");
    }

    // KV_WALK_PRINT=1: the command line of every walk (to read what a corpus does).
    void print() const {
        if (std::getenv("KV_WALK_PRINT")) std::fprintf(stderr, "%s\n", commandLine().c_str());
    }

private:
    struct Frame {
        std::vector<CliAction>* list;
        std::size_t insertAt;
    };

    void walkOn(ui::Dialog& dlg, int budget) {
        for (int k = 0; k < budget && actions_ < walk::kMaxActions && !in_.empty() && open(dlg); ++k) {
            CliAction a = decode(dlg);
            if (a.verb.empty()) continue;
            act(dlg, a);
        }
    }

    // Records and runs one action, then checks every window in sight.
    void act(ui::Dialog& dlg, const CliAction& a) {
        ++actions_;
        Frame& f = frames_.back();
        f.insertAt = f.list->size();
        f.list->push_back(a);
        const std::size_t messagesBefore = host_.messages.size();
        const std::string before = savedStamp(dlg, a);
        current_ = commandLine();
        walk::armWatchdog(&current_, 3);
        ++depth_;
        if (a.verb == "--set") {
            const std::size_t eq = a.arg.find('=');
            typed_[{&dlg, std::stoi(a.arg.substr(0, eq))}] = a.arg.substr(eq + 1);
        }
        const bool ran = step(dlg, a);
        // Back in the action that opened a modal window, its own bound starts again.
        if (--depth_) walk::armWatchdog(&current_, 3);
        else walk::disarmWatchdog();
        if (!ran) fail("the walk asked for an action the window does not have: " + error);
        check(dlg, messagesBefore);
        if (!before.empty()) checkSaved(before, dlg.templateId());
    }

    // A modal window opened during an action: the walk goes on in it.
    void modal(ui::Dialog& d) {
        // A box that closes itself by its timer (calculating, pause) waits for no one.
        if (host_.hasTimer(d)) return;
        std::vector<CliAction> nested;
        frames_.push_back({&nested, 0});
        walkOn(d, int(in_.pick(8)));
        frames_.pop_back();
        Frame& parent = frames_.back();
        parent.list->insert(parent.list->begin() + long(parent.insertAt++),
                            CliAction{"--on", "", d.templateId(), nested});
        // A page of a sheet leaves with its sheet; any other window with its close box.
        if (d.ended() || (d.dialogTemplate().style & ui::StyleChild)) return;
        d.dispatch(ui::IdCancel, ui::Notify::Clicked);
        if (!d.ended())
            fail("modal window " + std::to_string(d.templateId()) + " cannot be left with its close box");
    }

    // Not ended; the window walked first (modeless) still on the screen.
    bool open(ui::Dialog& dlg) const {
        if (dlg.ended()) return false;
        if (frames_.size() > 1) return true; // a modal window's walk
        const auto shown = host_.modeless();
        return std::find(shown.begin(), shown.end(), &dlg) != shown.end();
    }

    static bool usable(const ui::ControlState& c) { return c.tpl.id > 0 && c.enabled && c.visible; }

    std::vector<const ui::ControlState*> controls(ui::Dialog& dlg, std::initializer_list<ui::Kind> kinds,
                                                  bool withItems = false) {
        std::vector<const ui::ControlState*> out;
        for (const auto& c : dlg.controls()) {
            if (!usable(c)) continue;
            bool kindOk = false;
            for (ui::Kind k : kinds) kindOk |= c.tpl.kind == k;
            if (!kindOk || (c.tpl.style & ui::StyleReadOnly)) continue;
            if (withItems && c.items.empty()) continue;
            out.push_back(&c);
        }
        return out;
    }

    CliAction decode(ui::Dialog& dlg) {
        const std::uint8_t op = in_.next() % 16;
        const std::string none;
        auto pickOf = [&](const std::vector<const ui::ControlState*>& v) -> const ui::ControlState* {
            return v.empty() ? nullptr : v[in_.pick(v.size())];
        };
        switch (op) {
        case 0: case 1: case 2: case 3: { // type a value
            const auto* c = pickOf(controls(dlg, {ui::Kind::Edit}));
            const auto& values = walk::typedValues();
            const std::string& v = values[in_.pick(values.size())];
            if (!c) return {};
            return {"--set", std::to_string(c->tpl.id) + "=" + v, 0, {}};
        }
        case 4: case 5: case 6: { // press a button
            const auto* c = pickOf(controls(dlg, {ui::Kind::Button, ui::Kind::DefButton}));
            if (!c) return {};
            return {"--press", std::to_string(c->tpl.id), 0, {}};
        }
        case 7: { // change a selection
            const auto* c = pickOf(controls(dlg, {ui::Kind::Combo}, true));
            if (!c) return {};
            return {"--select", std::to_string(c->tpl.id) + "=" + std::to_string(in_.pick(c->items.size())), 0, {}};
        }
        case 8: {
            const auto* c = pickOf(controls(dlg, {ui::Kind::List}, true));
            if (!c) return {};
            return {"--row", std::to_string(c->tpl.id) + "=" + std::to_string(in_.pick(c->items.size())), 0, {}};
        }
        case 9: {
            const auto* c = pickOf(controls(dlg, {ui::Kind::Check, ui::Kind::Radio}));
            if (!c) return {};
            return {"--check", std::to_string(c->tpl.id) + "=" + std::to_string(in_.next() & 1), 0, {}};
        }
        case 10: case 11: { // a click or a move on the client area
            const int x = int(in_.next()) * std::max(1, dlg.clientWidth()) / 256;
            const int y = int(in_.next()) * std::max(1, dlg.clientHeight()) / 256;
            return {op == 10 ? "--click" : "--move", std::to_string(x) + "," + std::to_string(y), 0, {}};
        }
        case 12: {
            const auto* c = pickOf(controls(dlg, {ui::Kind::Edit, ui::Kind::List}));
            if (!c) return {};
            return {"--focus", std::to_string(c->tpl.id), 0, {}};
        }
        case 13:
            return {"--answer", kAnswers[in_.pick(std::size(kAnswers))], 0, {}};
        case 14:
            return {"--file", kFiles[in_.pick(std::size(kFiles))], 0, {}};
        default: {
            const std::uint8_t sub = in_.next();
            if (sub % 8 == 2) return {"--escape", "", 0, {}};
            if (sub & 1) return {"--wait", std::to_string(kWaits[(sub >> 1) % std::size(kWaits)]), 0, {}};
            std::vector<int> items;
            for (const auto& m : dlg.windowMenu())
                if (m.id) items.push_back(m.id);
            if (items.empty()) return {};
            return {"--sys", std::to_string(items[(sub >> 1) % items.size()]), 0, {}};
        }
        }
    }

    std::string commandLine() const {
        std::vector<std::string> w = words_;
        tools::appendWords(line_, w);
        return walk::shellLine(w);
    }

    [[noreturn]] void fail(const std::string& what) {
        walk::fault(what + " (start in a folder holding only CoreList.xls)", commandLine());
    }

    void checkText(const std::string& where, const std::string& text) {
        // A message may quote what the user typed (“-inf”不是一个数字): that is the user's own.
        std::string seen = text;
        for (const auto& [control, value] : typed_) {
            const std::string quoted = "“" + value + "”";
            for (std::size_t at; !value.empty() && (at = seen.find(quoted)) != std::string::npos;) seen.erase(at, quoted.size());
        }
        if (walk::showsNonNumber(seen)) fail(where + " shows \"" + text + "\"");
    }

    // What the user sees: every visible control, the window's drawing and plots, the boxes.
    void check(ui::Dialog& dlg, std::size_t messagesBefore) {
        const std::string w = "window " + std::to_string(dlg.templateId());
        for (const auto& c : dlg.controls()) {
            if (!c.visible || c.tpl.id == -1) continue;
            const std::string where = w + " control " + std::to_string(c.tpl.id);
            // What the user typed is the user's own.
            const auto typed = typed_.find({&dlg, c.tpl.id});
            if (typed == typed_.end() || typed->second != dlg.text(c.tpl.id)) checkText(where, dlg.text(c.tpl.id));
            for (const auto& row : c.items)
                for (const auto& cell : row) checkText(where + " list", cell);
            if (c.plot) {
                checkText(where + " plot title", c.plot->title);
                for (const auto& m : c.plot->markers())
                    if (m.visible && (!std::isfinite(m.x) || !std::isfinite(m.y)))
                        fail(where + " shows a marker at a point that is not a number");
            }
        }
        const ui::RecordingCanvas canvas = ui::HeadlessBackend::paint(dlg);
        for (const auto& t : canvas.texts()) checkText(w + " drawing", t.text);
        for (std::size_t i = messagesBefore; i < host_.messages.size(); ++i) {
            const auto& m = host_.messages[i];
            if (m.text.empty()) fail(w + " shows a message box without a text");
            checkText(w + " message box", m.text);
        }
    }

    // The file a save action is about to write to, with its kind ('D' a design,
    // 'R' a report) and its time before (empty: not a save).
    std::string savedStamp(ui::Dialog& dlg, const CliAction& a) {
        if ((a.verb != "--press" && !savesDesign(a)) || host_.files.empty() || !host_.files.front() ||
            host_.files.front()->empty())
            return {};
        for (const SavedFile& s : kSaves)
            if (savesDesign(a) || (s.templateId == dlg.templateId() && std::to_string(s.button) == a.arg))
                return (savesDesign(a) ? "D" : "R") + timeStamp(*host_.files.front());
        return {};
    }
    static std::string timeStamp(const std::string& path) {
        std::error_code ec;
        const auto t = std::filesystem::last_write_time(path, ec);
        return path + "|" + (ec ? std::string("-") : std::to_string(t.time_since_epoch().count()));
    }

    // A written report reads back whole: its sheet, numbers that are numbers.
    void checkSaved(const std::string& stamp, int templateId) {
        const std::string path = stamp.substr(1, stamp.find('|') - 1);
        std::error_code ec;
        std::filesystem::last_write_time(path, ec);
        if (ec || timeStamp(path) == stamp.substr(1)) return; // not written
        if (stamp[0] == 'D') return checkDesign(path, templateId);
        xls::Workbook book;
        std::string err;
        if (!book.open(path, err)) fail("the saved report " + path + " does not read back: " + err);
        if (!book.issues().empty()) fail("the saved report " + path + " reads back damaged: " + book.issues()[0]);
        const xls::Sheet* sheet = book.firstSheet();
        if (!sheet || sheet->cellCount() == 0) fail("the saved report " + path + " holds no cells");
        for (int r = 0; r < sheet->rowEnd(); ++r)
            for (int c = 0; c < sheet->colEnd(); ++c) {
                if (sheet->cellType(r, c) == xls::CellType::Number && !std::isfinite(sheet->number(r, c)))
                    fail("the saved report " + path + " holds a number that is not finite");
                checkText("the saved report " + path, std::string(sheet->text(r, c)));
            }
    }

    // A written design opens in a fresh window of its kind with every input as saved.
    void checkDesign(const std::string& path, int templateId) {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[4096];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
            std::fclose(f);
        }
        const form::DesignRead read = form::readDesign(text);
        if (!read.design) fail("the saved design " + path + " does not read back: " + read.error);
        if (read.design->templateId != templateId) fail("the saved design " + path + " names another window");
        std::unique_ptr<ui::Dialog> made = services::createWindow(templateId, nullptr);
        if (!made || !dynamic_cast<form::DesignKeeper*>(made.get())) return; // a page keeps designs through its sheet
        const std::size_t said = host_.messages.size();
        ui::Dialog& fresh = host_.openModeless(std::move(made), nullptr);
        auto& keeper = dynamic_cast<form::DesignKeeper&>(fresh);
        if (!form::openDesign(keeper, path))
            fail("the saved design " + path + " does not open: " +
                 (host_.messages.size() > said ? host_.messages.back().text : std::string("(no message)")));
        const auto now = keeper.currentDesign();
        if (const auto* d = std::get_if<form::Design>(&now)) {
            for (const form::DesignLine& l : read.design->inputs) {
                const form::DesignLine* back = d->input(l.name);
                // A number may come back written another way (1e9 as 1e+09): the same number.
                double a = 0, b = 0;
                const bool same = back && (back->value == l.value || (ui::parseNumber(back->value, a) &&
                                                                      ui::parseNumber(l.value, b) && a == b));
                if (!same)
                    fail("the saved design " + path + " opens with " + l.name + " = " +
                         (back ? back->value : std::string("(none)")) + " where it holds " + l.value);
            }
        }
        host_.messages.erase(host_.messages.begin() + long(said), host_.messages.end());
        host_.closeWindow(fresh);
    }

    ui::HeadlessBackend& host_;
    walk::Bytes& in_;
    std::vector<std::string> words_;
    std::vector<CliAction> line_;
    std::vector<Frame> frames_;
    std::string current_;
    int actions_ = 0;
    int depth_ = 0;
    std::map<std::pair<const ui::Dialog*, int>, std::string> typed_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static walk::Scratch scratch({std::string(KV_SOURCE_DIR) + "/data/CoreList.xls"});
    g_scratch = &scratch;
    app::registerAll();
    for (const auto& t : ui::allTemplates())
        if (services::hasWindow(t.id)) startTemplates().push_back(t.id);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    g_scratch->reset();
    if (chdir(g_scratch->path().c_str()) != 0) return 0;
    io::setWorkFolder(g_scratch->path());
    walk::Bytes in(data, size);
    const int start = startTemplates()[in.pick(startTemplates().size())];
    {
        ui::HeadlessBackend hb;
        ui::setBackend(&hb);
        std::unique_ptr<ui::Dialog> created = app::createDialog(start, nullptr);
        if (created) {
            ui::Dialog& dlg = hb.openModeless(std::move(created), nullptr);
            Walker walker(hb, in, start);
            walker.walkTop(dlg);
            walker.print();
        }
        hb.unscripted = nullptr;
    }
    io::setWorkFolder({});
    return 0;
}
