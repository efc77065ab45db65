// Designs kept as files in every calculating window: what is saved opens in a
// fresh window as it was (every input, list and result), a file that does not
// fit is refused with the window unchanged, and a folder that refuses the
// file says so and keeps the old one.
#include "app/App.h"
#include "form/DesignKeeper.h"
#include "form/Form.h"
#include "platform/io/Files.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/DesignerFiles.h"
#include "services/Templates.h"
#include "services/Windows.h"
#include "shell/Launcher.h"
#include "toolbox/ToolSheet.h"
#include "tests/common/CliRun.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <variant>

namespace fs = std::filesystem;
using kv::test::readFile;
using kv::test::writeFile;

namespace kv {
namespace {

// Every window that calculates keeps its design.
const std::vector<int> kKeepers = {
    tpl::kFlyback,  tpl::kForward,      tpl::kRcc,         tpl::kHalfBridge,  tpl::kFullBridge,
    tpl::kPushPull, tpl::kDcdc,         tpl::kGraphicFlyback,
    tpl::kEmi,      tpl::kCoreArea,     tpl::kWire,        tpl::kPfc,         tpl::kCoreVolume,
    tpl::kForwardCoreVolume,            tpl::kSkinDepth,   tpl::kFirstOrder,  tpl::kRectifierCurrent,
    tpl::kCurrentMode, tpl::kTypeTwo,   tpl::kTypeThree,
    tpl::kSinglePfc, tpl::kMt7930,      tpl::kSd670x,      tpl::kOb2269,      tpl::kLlc,
    tpl::kIsolatedLed, tpl::kSd690x,    tpl::kQr,
};

struct Keepers : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Keepers() {
        ui::setBackend(&hb);
        app::registerAll();
        // The built-in formulas and labels: a fresh folder's empty files are
        // mended on the first press, which then shows nothing.
        for (std::string_view f : script::allScriptFiles()) writeFile(std::string(f), "#");
    }

    ui::Dialog& open(int templateId) {
        std::unique_ptr<ui::Dialog> w = app::createDialog(templateId, nullptr);
        EXPECT_NE(w, nullptr) << templateId;
        return hb.openModeless(std::move(w), nullptr);
    }
    static form::DesignKeeper& keeper(ui::Dialog& w) { return dynamic_cast<form::DesignKeeper&>(w); }
    static form::Design design(ui::Dialog& w) {
        auto d = keeper(w).currentDesign();
        if (const std::string* why = std::get_if<std::string>(&d)) ADD_FAILURE() << w.templateId() << ": " << *why;
        return std::holds_alternative<form::Design>(d) ? std::get<form::Design>(d) : form::Design{};
    }
    std::vector<std::string> said() const {
        std::vector<std::string> t;
        for (const auto& m : hb.messages) t.push_back(m.text);
        return t;
    }
};

// What the user sees of a window: each edit's text, each list's entry and
// each control's state.
std::string snapshot(const ui::Dialog& w) {
    std::string s;
    for (const ui::ControlState& c : w.controls()) {
        if (c.tpl.kind != ui::Kind::Edit && c.tpl.kind != ui::Kind::Combo) continue;
        s += std::to_string(c.tpl.id) + "=" + c.text + (c.enabled ? "" : " (off)") + (c.visible ? "" : " (hidden)");
        if (c.tpl.kind == ui::Kind::Combo) s += " #" + std::to_string(c.selected);
        s += "\n";
    }
    return s;
}

// A design of the window's own: every list on another entry, every input it
// shows moved (a whole number by one, others by 7 %), then each calculation
// in the order of its buttons.
void ownDesign(form::FormWindow& w) {
    for (const ui::ControlState& c : std::vector<ui::ControlState>(w.controls()))
        if (c.tpl.kind == ui::Kind::Combo && c.enabled && w.itemCount(c.tpl.id) > 1) {
            w.select(c.tpl.id, (w.selected(c.tpl.id) + 1) % w.itemCount(c.tpl.id));
            w.dispatch(c.tpl.id, ui::Notify::SelChange);
        }
    for (const form::Field& f : std::vector<form::Field>(w.fields())) {
        double v = 0;
        if (!f.input() || !w.enabled(f.control) || !ui::parseNumber(w.text(f.control), v) || v == 0) continue;
        const double moved = v == std::round(v) && std::fabs(v) < 1000 ? v + 1 : v * 1.07;
        w.setText(f.control, ui::formatNumber(moved, 5));
        w.dispatch(f.control, ui::Notify::Changed); // typed: a live form recomputes
    }
    for (const ui::ControlState& c : std::vector<ui::ControlState>(w.controls()))
        if (c.tpl.kind == ui::Kind::Button || c.tpl.kind == ui::Kind::DefButton) w.run(c.tpl.id, false);
}

TEST_F(Keepers, EveryCalculatingWindowKeepsItsDesignAndNoOtherDoes) {
    int windows = 0;
    for (int id = 1; id < 1000; ++id) {
        if (!services::hasWindow(id)) continue;
        ++windows;
        ui::Dialog& w = open(id);
        auto* k = dynamic_cast<form::DesignKeeper*>(&w);
        const bool keeps = k && k->keepsDesigns();
        const bool listed = std::find(kKeepers.begin(), kKeepers.end(), id) != kKeepers.end();
        EXPECT_EQ(keeps, listed) << "template " << id;
        // The window menu offers the two commands exactly where they work.
        const auto menu = w.windowMenu();
        const bool offers = std::any_of(menu.begin(), menu.end(), [](const ui::SysMenuItem& m) {
            return m.id == form::kSaveDesignCommand && m.text == "保存设计…" && m.shortcut == "Ctrl+S";
        }) && std::any_of(menu.begin(), menu.end(), [](const ui::SysMenuItem& m) {
            return m.id == form::kOpenDesignCommand && m.text == "打开设计…" && m.shortcut == "Ctrl+O";
        });
        EXPECT_EQ(offers, listed) << "template " << id;
        w.close();
    }
    EXPECT_GT(windows, int(kKeepers.size()));
}

TEST_F(Keepers, DefaultsAndOwnDesignsComeBackInAFreshWindow) {
    int ownWithResults = 0;
    for (int id : kKeepers) {
        if (id == tpl::kGraphicFlyback) continue; // its own test: its design is no form
        for (bool own : {false, true}) {
            SCOPED_TRACE("template " + std::to_string(id) + (own ? ", own design" : ", defaults"));
            ui::Dialog& a = open(id);
            auto& form = dynamic_cast<form::FormWindow&>(a);
            if (own) ownDesign(form);
            const std::string file = "t" + std::to_string(id) + (own ? "-own" : "") + ".kvd";
            hb.messages.clear();
            ASSERT_TRUE(form::saveDesign(keeper(a), file)) << testing::PrintToString(said());
            const form::Design saved = design(a);
            if (own && std::any_of(saved.results.begin(), saved.results.end(), [](const auto& r) { return !r.value.empty(); }))
                ++ownWithResults;
            // The file holds the window's template, its inputs and its results.
            const std::string text = readFile(file);
            EXPECT_EQ(text, form::writeDesign(saved));
            EXPECT_NE(text.find("\ntemplate = " + std::to_string(id) + "\n"), std::string::npos);

            ui::Dialog& b = open(id);
            if (own) {
                EXPECT_NE(snapshot(a), snapshot(b)); // the design is not the defaults
            }
            ASSERT_TRUE(form::openDesign(keeper(b), file)) << testing::PrintToString(said());
            EXPECT_EQ(snapshot(b), snapshot(a)) << text << testing::PrintToString(said());
            EXPECT_EQ(form::writeDesign(design(b)), text);
            EXPECT_EQ(keeper(b).designFile(), fs::absolute(file).lexically_normal().string());
            a.close();
            b.close();
        }
    }
    // Moving every input together still leaves most designs computable.
    EXPECT_GE(ownWithResults, int(kKeepers.size()) - 4);
}

// The results shown are the program's: a file whose results were edited
// opens with those computed again.
TEST_F(Keepers, ResultsInTheFileAreNeverTakenIn) {
    ui::Dialog& a = open(tpl::kFlyback);
    ownDesign(dynamic_cast<form::FormWindow&>(a));
    ASSERT_TRUE(form::saveDesign(keeper(a), "f.kvd"));
    const form::Design saved = design(a);
    ASSERT_FALSE(saved.results.empty());
    ASSERT_FALSE(saved.buttons.empty());
    form::Design edited = saved;
    for (form::DesignLine& r : edited.results) r.value = "12345";
    writeFile("g.kvd", form::writeDesign(edited));
    ui::Dialog& b = open(tpl::kFlyback);
    ASSERT_TRUE(form::openDesign(keeper(b), "g.kvd"));
    EXPECT_EQ(snapshot(b), snapshot(a));
    EXPECT_EQ(snapshot(b).find("12345"), std::string::npos);
}

TEST_F(Keepers, FilesThatDoNotFitAreRefusedAndChangeNothing) {
    ui::Dialog& w = open(tpl::kFlyback);
    ownDesign(dynamic_cast<form::FormWindow&>(w));
    ASSERT_TRUE(form::saveDesign(keeper(w), "mine.kvd"));
    const std::string good = readFile("mine.kvd");
    const form::Design d = design(w);
    ASSERT_GE(d.inputs.size(), 3u);
    // A list, then numbers: the lists come first in the file (a window's own
    // lines, such as the picked core, may follow the numbers).
    const form::DesignLine list = d.inputs.front();
    const auto numeric = std::find_if(d.inputs.rbegin(), d.inputs.rend(), [](const form::DesignLine& l) {
        double v = 0;
        return ui::parseNumber(l.value, v);
    });
    ASSERT_NE(numeric, d.inputs.rend());
    const form::DesignLine number = *numeric;
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        const std::size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    const std::string numberLine = number.name + " = " + number.value + "\n";
    ui::Dialog& other = open(tpl::kForward);
    ASSERT_TRUE(form::saveDesign(keeper(other), "forward.kvd"));
    fs::create_directory("folder.kvd");

    struct Case {
        const char* what;
        std::string text; // empty: the file as it stands
        std::string file;
        std::string said;
    };
    const Case cases[] = {
        {"another window's", "", "forward.kvd", "的设计，不是“"},
        {"a newer format", replaced("format = 1", "format = 2"), "", "格式版本是 2"},
        {"an unknown name", replaced(numberLine, numberLine + "Vcolour = 3\n"), "", "没有名为“Vcolour”的输入"},
        {"a number that is none", replaced(numberLine, number.name + " = 1O\n"), "", "的值“1O”不是数字"},
        {"a number too large", replaced(numberLine, number.name + " = 1e999\n"), "", "不是数字"},
        {"a missing input", replaced(numberLine, ""), "", "缺少输入"},
        {"a blank input", replaced(numberLine, number.name + " =\n"), "", "的数值"},
        {"an entry the list has not", replaced(list.name + " = " + list.value, list.name + " = 其他"), "", "没有“其他”这一项"},
        {"a button the window has not", replaced("\nbuttons = ", "\nbuttons = 9999 "), "", "“9999”不是这个窗口的计算按钮"},
        {"a duplicate name", replaced(numberLine, numberLine + numberLine), "", "重复出现"},
        {"cut short", good.substr(0, good.size() / 2), "", "截断"},
        {"binary", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), "", "二进制"},
        {"huge", good + std::string(form::kDesignMaxBytes, '#'), "", "文件太大"},
        {"empty", " \n", "", "文件是空的"},
        {"none at all", "", "missing.kvd", "找不到这个文件"},
        {"a folder", "", "folder.kvd", "是一个文件夹"},
    };
    const std::string before = snapshot(w);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = c.file.empty() ? "bad.kvd" : c.file;
        if (c.file.empty()) writeFile(file, c.text);
        hb.messages.clear();
        EXPECT_FALSE(form::openDesign(keeper(w), file));
        ASSERT_EQ(hb.messages.size(), 1u);
        EXPECT_NE(hb.messages[0].text.find("无法打开设计文件“" + file + "”"), std::string::npos) << hb.messages[0].text;
        EXPECT_NE(hb.messages[0].text.find(c.said), std::string::npos) << hb.messages[0].text;
        EXPECT_NE(hb.messages[0].text.find("窗口中的设计没有改变"), std::string::npos);
        EXPECT_EQ(snapshot(w), before);
        EXPECT_EQ(keeper(w).designFile(), fs::absolute("mine.kvd").string());
    }
    // The good file still opens.
    EXPECT_TRUE(form::openDesign(keeper(w), "mine.kvd"));
}

// Drops the powers that let root write anywhere while it lives.
class Unprivileged {
public:
    Unprivileged() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct less[2] = {saved_[0], saved_[1]};
        less[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        dropped_ = syscall(SYS_capset, &header_, less) == 0;
    }
    ~Unprivileged() {
        if (dropped_) syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

TEST_F(Keepers, AFolderThatRefusesSaysSoAndKeepsTheOldFile) {
    ui::Dialog& w = open(tpl::kTypeTwo);
    fs::create_directory("ro");
    ASSERT_TRUE(form::saveDesign(keeper(w), "ro/loop.kvd"));
    const std::string old = readFile("ro/loop.kvd");
    ownDesign(dynamic_cast<form::FormWindow&>(w));
    ASSERT_NE(form::writeDesign(design(w)), old);
    ::chmod("ro", 0555);
    hb.messages.clear();
    bool saved = true;
    {
        Unprivileged u;
        // Where the powers cannot be dropped the folder does not refuse: nothing to see.
        if (const int probe = ::open("ro/probe", O_WRONLY | O_CREAT, 0644); probe >= 0) {
            ::close(probe);
            ::unlink("ro/probe");
            GTEST_SKIP() << "the folder cannot be made to refuse a file here";
        }
        saved = form::saveDesign(keeper(w), "ro/loop.kvd");
    }
    ::chmod("ro", 0755);
    EXPECT_FALSE(saved);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "无法保存设计文件“ro/loop.kvd”：没有在文件夹“ro”中写入的权限。\n原来的文件没有改变。");
    EXPECT_EQ(readFile("ro/loop.kvd"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator("ro"), fs::directory_iterator()), 1); // no temporary left
    // A folder that is not there, or a file where the folder should be.
    hb.messages.clear();
    EXPECT_FALSE(form::saveDesign(keeper(w), "nowhere/loop.kvd"));
    EXPECT_FALSE(form::saveDesign(keeper(w), "ro"));
    ASSERT_EQ(hb.messages.size(), 2u);
    EXPECT_NE(hb.messages[0].text.find("文件夹“nowhere”不存在"), std::string::npos);
    EXPECT_NE(hb.messages[1].text.find("“ro”是一个文件夹"), std::string::npos);
}

TEST_F(Keepers, AnInputWithoutANumberIsNotSaved) {
    ui::Dialog& w = open(tpl::kFlyback);
    const auto& f = dynamic_cast<form::FormWindow&>(w);
    const form::Field* input = nullptr;
    for (const form::Field& x : f.fields())
        if (x.role == form::Role::Input && w.enabled(x.control)) {
            input = &x;
            break;
        }
    ASSERT_NE(input, nullptr);
    w.setText(input->control, "abc");
    EXPECT_FALSE(form::saveDesign(keeper(w), "x.kvd"));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "“" + f.labelOf(input->control) + "”的“abc”不是数字，设计没有保存。");
    EXPECT_FALSE(fs::exists("x.kvd"));
}

TEST_F(Keepers, TheMenuCommandsUseTheFileDialogInTheDataFolder) {
    fs::create_directory("data");
    const std::string data = fs::absolute("data").string();
    io::setWorkFolder(data);
    ui::Dialog& w = open(tpl::kCoreArea);
    // The program's current folder is its data folder: the dialog answers whole paths.
    hb.files.push_back(data + "/area.kvd");
    w.onSysCommand(form::kSaveDesignCommand);
    ASSERT_EQ(hb.fileRequests.size(), 1u);
    EXPECT_TRUE(hb.fileRequests[0].save);
    EXPECT_EQ(hb.fileRequests[0].folder, data);
    EXPECT_EQ(hb.fileRequests[0].defaultExt, "kvd");
    ASSERT_TRUE(fs::exists(data + "/area.kvd"));
    // Opening starts where the design was saved.
    hb.files.push_back(std::nullopt); // cancelled
    const std::string before = snapshot(w);
    w.onSysCommand(form::kOpenDesignCommand);
    ASSERT_EQ(hb.fileRequests.size(), 2u);
    EXPECT_FALSE(hb.fileRequests[1].save);
    EXPECT_EQ(hb.fileRequests[1].folder, data);
    EXPECT_EQ(snapshot(w), before);
    EXPECT_TRUE(hb.messages.empty());
    io::setWorkFolder("");
}

// In the toolbox the sheet's window menu is its active page's.
TEST_F(Keepers, ASheetOffersItsActivePagesDesign) {
    toolbox::CTool sheet;
    const std::vector<int> pages = sheet.pageTemplates();
    const auto at = std::find(pages.begin(), pages.end(), tpl::kCoreArea);
    ASSERT_NE(at, pages.end());
    const auto offers = [&] {
        const auto menu = sheet.windowMenu();
        return std::any_of(menu.begin(), menu.end(), [](const ui::SysMenuItem& m) { return m.id == form::kSaveDesignCommand; });
    };
    sheet.setActivePage(int(std::find(pages.begin(), pages.end(), tpl::kSolutions) - pages.begin()));
    EXPECT_FALSE(offers()); // a list of solutions keeps no design
    sheet.setActivePage(int(at - pages.begin()));
    EXPECT_TRUE(offers());
    hb.files.push_back(fs::absolute("area.kvd").string());
    sheet.onSysCommand(form::kSaveDesignCommand);
    EXPECT_NE(readFile("area.kvd").find("\ntemplate = 224\n"), std::string::npos);
}

TEST_F(Keepers, TheLauncherListsRecentDesignsAndOpensThem) {
    ui::Dialog& a = open(tpl::kFlyback);
    ownDesign(dynamic_cast<form::FormWindow&>(a));
    ASSERT_TRUE(form::saveDesign(keeper(a), "flyback.kvd"));
    ui::Dialog& p = open(tpl::kSkinDepth);
    ASSERT_TRUE(form::saveDesign(keeper(p), "skin.kvd"));
    const std::vector<std::string> recent = form::recentDesigns();
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0], fs::absolute("skin.kvd").string());
    EXPECT_EQ(recent[1], fs::absolute("flyback.kvd").string());
    // Saved again: it moves up, not in twice.
    ASSERT_TRUE(form::saveDesign(keeper(a), "flyback.kvd"));
    EXPECT_EQ(form::recentDesigns()[0], fs::absolute("flyback.kvd").string());
    EXPECT_EQ(form::recentDesigns().size(), 2u);

    shell::LauncherDialog launcher;
    const auto menu = launcher.windowMenu();
    const auto entry = [&](const std::string& name) {
        return std::find_if(menu.begin(), menu.end(), [&](const ui::SysMenuItem& m) {
            return m.text.find(name) != std::string::npos;
        });
    };
    ASSERT_NE(entry("打开设计…"), menu.end());
    ASSERT_NE(entry("flyback.kvd"), menu.end());
    ASSERT_NE(entry("skin.kvd"), menu.end());
    EXPECT_LT(entry("flyback.kvd"), entry("skin.kvd"));
    // The recent entry opens the design in a window of its own, computed.
    const std::size_t before = hb.modeless().size();
    launcher.onSysCommand(entry("flyback.kvd")->id);
    ASSERT_EQ(hb.modeless().size(), before + 1);
    ui::Dialog& opened = *hb.modeless().back();
    EXPECT_EQ(opened.templateId(), tpl::kFlyback);
    EXPECT_EQ(snapshot(opened), snapshot(a));
    // A page opens in its sheet, and the design it took moves up the list.
    EXPECT_TRUE(form::openDesignWindow(launcher, "skin.kvd"));
    EXPECT_EQ(form::recentDesigns()[0], fs::absolute("skin.kvd").string());
    // A file gone is said and leaves the list.
    fs::remove("skin.kvd");
    hb.messages.clear();
    EXPECT_FALSE(form::openDesignWindow(launcher, fs::absolute("skin.kvd").string()));
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("找不到这个文件"), std::string::npos);
    EXPECT_EQ(form::recentDesigns(), std::vector<std::string>{fs::absolute("flyback.kvd").string()});
}

using Cli = test::CliRun;

TEST_F(Cli, SaveAndOpenActions) {
    ASSERT_EQ(run({"229", "--save", "pfc.kvd"}), 0) << err;
    const std::string saved = readFile("pfc.kvd");
    EXPECT_NE(saved.find("\ntemplate = 229\n"), std::string::npos);
    EXPECT_TRUE(has("\"messages\": []"));
    ASSERT_EQ(run({"229", "--open", "pfc.kvd", "--save", "again.kvd"}), 0) << err;
    EXPECT_EQ(readFile("again.kvd"), saved);
    // A refused file is a message of the window, not an error of the run.
    writeFile("bad.kvd", "format = 9\n");
    ASSERT_EQ(run({"229", "--open", "bad.kvd"}), 0) << err;
    EXPECT_TRUE(has("格式版本是 9"));
    // A window that keeps no designs.
    EXPECT_EQ(run({"102", "--save", "x.kvd"}), 2);
    EXPECT_NE(err.find("keeps no designs"), std::string::npos) << err;
}

} // namespace
} // namespace kv
