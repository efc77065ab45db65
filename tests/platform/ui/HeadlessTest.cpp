#include "platform/ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

using namespace kv::ui;

namespace {
DialogTemplate plain(int id) {
    DialogTemplate t;
    t.id = id;
    t.w = 50;
    t.h = 20;
    ControlTemplate ok;
    ok.id = IdOk;
    ok.kind = Kind::DefButton;
    t.controls.push_back(ok);
    return t;
}

// Ends itself after `limit` ticks of a timer.
struct Ticker : Dialog {
    Ticker(int limit, int period) : Dialog(plain(901), nullptr), limit(limit), period(period) {}
    void onInitDialog() override { setTimer(5, period); }
    void onTimer(int id) override {
        log.push_back(id);
        if (++ticks == limit) {
            killTimer(5);
            endDialog(IdOk);
        }
    }
    int limit, period, ticks = 0;
    std::vector<int> log;
};

struct Waiter : Dialog {
    Waiter() : Dialog(plain(902), nullptr) {}
    void onCancel() override {
        cancelled = true;
        Dialog::onCancel();
    }
    bool cancelled = false;
};

struct Headless : ::testing::Test {
    HeadlessBackend hb;
    Headless() { setBackend(&hb); }
};
} // namespace

TEST_F(Headless, SelfClosingModalRunsToItsEndOnTheVirtualClock) {
    Ticker t(17, 10);
    EXPECT_EQ(hb.runModal(t, nullptr), IdOk);
    EXPECT_EQ(t.ticks, 17);
    EXPECT_EQ(hb.now(), 170);
    EXPECT_EQ(hb.opened, std::vector<int>{901});
    EXPECT_FALSE(hb.hasTimer(t, 5));
}

TEST_F(Headless, WaitingModalIsCancelledUnlessScripted) {
    Waiter w;
    EXPECT_EQ(hb.runModal(w, nullptr), IdCancel);
    EXPECT_TRUE(w.cancelled);

    Waiter w2;
    hb.queueScript(902, [](Dialog& d) { d.dispatch(IdOk, Notify::Clicked); });
    EXPECT_EQ(hb.runModal(w2, nullptr), IdOk);
    EXPECT_FALSE(w2.cancelled);
    // A script runs once: the next one is cancelled again.
    Waiter w3;
    EXPECT_EQ(hb.runModal(w3, nullptr), IdCancel);
}

TEST_F(Headless, TimersFireInTimeOrderAcrossDialogs) {
    Ticker fast(1000, 10), slow(1000, 25);
    hb.openModeless(std::unique_ptr<Dialog>(new Ticker(1000, 10)), nullptr);
    struct Logger : Dialog {
        explicit Logger(std::vector<std::pair<long, int>>& l, HeadlessBackend& b)
            : Dialog(plain(903), nullptr), log(l), hb(b) {}
        void onInitDialog() override {
            setTimer(1, 10);
            setTimer(2, 25);
        }
        void onTimer(int id) override { log.emplace_back(hb.now(), id); }
        std::vector<std::pair<long, int>>& log;
        HeadlessBackend& hb;
    };
    std::vector<std::pair<long, int>> log;
    hb.openModeless(std::make_unique<Logger>(log, hb), nullptr);
    hb.advance(50);
    const std::vector<std::pair<long, int>> expected = {{10, 1}, {20, 1}, {25, 2}, {30, 1},
                                                        {40, 1}, {50, 1}, {50, 2}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(hb.now(), 50);
}

TEST_F(Headless, MessageBoxesAreRecordedAndAnsweredFromTheQueue) {
    Dialog owner(plain(904), nullptr);
    hb.answers = {IdNo, IdCancel /* does not fit an OK box */};
    EXPECT_EQ(owner.messageBox("q?", "cap", Icon::Question, Buttons::YesNo), IdNo);
    EXPECT_EQ(owner.messageBox("done", "cap", Icon::Information), IdOk);
    EXPECT_EQ(hb.messageBox(nullptr, "free", "c", Icon::Error, Buttons::YesNo), IdYes);
    ASSERT_EQ(hb.messages.size(), 3u);
    EXPECT_EQ(hb.messages[0].owner, 904);
    EXPECT_EQ(hb.messages[0].answer, IdNo);
    EXPECT_EQ(hb.messages[1].answer, IdOk);
    EXPECT_EQ(hb.messages[2].owner, 0);
}

// K7350's popups: an OK box leaves a question's answer for the question, and
// a question nobody answers, or answers with what it does not offer, is No.
TEST_F(Headless, PopupRuleKeepsAnswersForTheirQuestionsAndDefaultsToNo) {
    hb.answerRule = HeadlessBackend::AnswerRule::Popups;
    hb.answers = {IdYes, IdOk, IdCancel};
    EXPECT_EQ(hb.messageBox(nullptr, "note", "WARNING", Icon::None, Buttons::Ok), IdOk);
    EXPECT_EQ(hb.answers.size(), 3u); // the yes waits
    EXPECT_EQ(hb.messageBox(nullptr, "save?", "WARNING", Icon::Question, Buttons::YesNoCancel), IdYes);
    EXPECT_EQ(hb.messageBox(nullptr, "note", "WARNING", Icon::None, Buttons::Ok), IdOk);
    EXPECT_EQ(hb.answers.size(), 1u); // the ok was taken
    EXPECT_EQ(hb.messageBox(nullptr, "sure?", "WARNING", Icon::Question, Buttons::YesNo), IdNo); // cancel: not offered
    EXPECT_TRUE(hb.answers.empty());
    EXPECT_EQ(hb.messageBox(nullptr, "save?", "WARNING", Icon::Question, Buttons::YesNoCancel), IdNo);
    ASSERT_EQ(hb.messages.size(), 5u);
    EXPECT_EQ(hb.messages[1].answer, IdYes);
    EXPECT_EQ(hb.messages[4].answer, IdNo);
    // The same queue under the dialogs' rule: each box takes the next answer.
    hb.answerRule = HeadlessBackend::AnswerRule::Dialogs;
    hb.answers = {IdYes, IdNo};
    EXPECT_EQ(hb.messageBox(nullptr, "note", "c", Icon::None, Buttons::Ok), IdOk);
    EXPECT_EQ(hb.messageBox(nullptr, "q?", "c", Icon::Question, Buttons::YesNo), IdNo);
    EXPECT_EQ(hb.messageBox(nullptr, "q?", "c", Icon::Question, Buttons::YesNo), IdYes);
}

TEST(AnswerWords, NameEachAnswerBothWays) {
    for (int a : {IdOk, IdCancel, IdYes, IdNo}) EXPECT_EQ(answerOfWord(answerWord(a)), a);
    EXPECT_STREQ(answerWord(IdCancel), "cancel");
    EXPECT_EQ(answerOfWord("maybe"), 0);
    EXPECT_EQ(answerOfWord("Yes"), 0); // the words are lower case
}

TEST_F(Headless, ModelessWindowMayCloseItselfFromItsHandler) {
    struct SelfCloser : Dialog {
        explicit SelfCloser(bool& d) : Dialog(plain(905), nullptr), destroyed(d) {}
        bool onCommand(int id, Notify) override {
            if (id != IdOk) return false;
            close();
            text(IdOk); // still alive after its own close
            return true;
        }
        void onDestroy() override { destroyed = true; }
        bool& destroyed;
    };
    bool destroyed = false;
    Dialog& d = hb.openModeless(std::make_unique<SelfCloser>(destroyed), nullptr);
    EXPECT_EQ(hb.modeless().size(), 1u);
    d.dispatch(IdOk, Notify::Clicked);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(hb.modeless().empty());
}

TEST_F(Headless, FileDialogsAndShellOpen) {
    Dialog owner(plain(906), nullptr);
    FileDialogRequest req;
    req.defaultName = "report";
    EXPECT_FALSE(hb.fileDialog(&owner, req).has_value());
    hb.files.push_back("/tmp/x.xls");
    EXPECT_EQ(hb.fileDialog(&owner, req), std::optional<std::string>("/tmp/x.xls"));
    EXPECT_EQ(hb.fileRequests.size(), 2u);
    EXPECT_FALSE(hb.shellOpen("/definitely/not/here.html"));
    EXPECT_TRUE(hb.shellOpened.empty());
}

TEST_F(Headless, SheetsActivatePagesAndRunTheirScripts) {
    struct Page : Dialog {
        explicit Page(int id) : Dialog(plain(id), nullptr) {}
        void onInitDialog() override { ++inits; }
        int inits = 0;
    };
    Page a(910), b(911);
    PropertySheet sheet("Sheet", nullptr);
    sheet.addPage(a);
    sheet.addPage(b);
    hb.queueScript(911, [](Dialog& d) { d.setText(IdOk, "pressed"); });
    EXPECT_EQ(sheet.run(), IdCancel);
    EXPECT_EQ(a.inits, 1);
    EXPECT_EQ(b.inits, 1);
    EXPECT_EQ(b.text(IdOk), "pressed");
}
