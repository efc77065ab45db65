// K7350 in Qt windows (offscreen) and through k7350-cli.
#include "pfc_designer/Program.h"
#include "platform/panels/qt/QtHost.h"
#include "platform/panels/qt/Render.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using namespace kv::panels;
using namespace k7350;

// Runs the program in Qt windows; `script` runs inside its event loop.
void runQt(QtHost& host, std::function<void()> script) {
    kv::test::qtApp();
    resetProgram();
    setHost(&host);
    setResourceDir(KV_SOURCE_DIR "/pfc_designer");
    registerCallbacks(callbackTable());
    QTimer::singleShot(0, [&] {
        script();
        QuitUserInterface(0);
    });
    EXPECT_EQ(run(), 0);
    resetProgram();
    setHost(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A host whose popups answer at once instead of showing (a modal box would wait).
class QuietBackend : public kv::ui::QtBackend {
public:
    int messageBox(kv::ui::Dialog*, std::string_view, std::string_view, kv::ui::Icon, kv::ui::Buttons b) override {
        return b == kv::ui::Buttons::Ok ? kv::ui::IdOk : kv::ui::IdNo;
    }
};
class QuietHost : public QtHost {
public:
    QuietHost() : QtHost(std::make_unique<QuietBackend>()) {}
};

QWidget* widget(QtHost& host, int panelId, int ctrl) {
    return host.window(*panel(hp[panelId]))->findChild<QWidget*>(QString::number(1000 + ctrl));
}

// What a user does: types into a field and leaves it.
void type(QtHost& host, int panelId, int ctrl, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(widget(host, panelId, ctrl));
    ASSERT_TRUE(e) << panelId << ":" << ctrl;
    e->setText(text);
    emit e->textEdited(text);
    emit e->editingFinished();
}

void pressEsc(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEST(K7350Qt, WindowsMirrorThePanelsAndTypedValuesCommit) {
    QuietHost host;
    runQt(host, [&] {
        QWidget* main = host.window(*panel(hp[PANEL_MAIN]));
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->windowTitle(), "new");
        auto* calc = qobject_cast<QPushButton*>(widget(host, PANEL_MAIN, MAIN_CALCULATE));
        ASSERT_TRUE(calc);
        // A refused power: a red note, Calculate dimmed, no popup to take the typing.
        type(host, PANEL_MAIN, MAIN_POUT, "351");
        EXPECT_EQ(dv.Pout, 351);
        EXPECT_FALSE(calc->isEnabled());
        auto* note = qobject_cast<QLabel*>(widget(host, PANEL_MAIN, NOTE));
        ASSERT_TRUE(note);
        EXPECT_EQ(note->text(), "Reduce output power");
        EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
        EXPECT_TRUE(popups().empty());
        type(host, PANEL_MAIN, MAIN_POUT, "100");
        EXPECT_TRUE(calc->isEnabled());
        EXPECT_EQ(note->text(), "");
        calc->click();
        QWidget* curr = host.window(*panel(hp[PANEL_CURR]));
        EXPECT_TRUE(curr->isVisible());
        // The close box of a sub-panel commits its close control.
        curr->close();
        EXPECT_FALSE(panel(hp[PANEL_CURR])->visible);
        EXPECT_FALSE(curr->isVisible());
        const QImage img = renderPanel(*panel(hp[PANEL_IND]));
        EXPECT_GT(img.width(), 300);
    });
}

TEST(K7350Qt, EscClosesTheStepAndHelpPanelsOnTopKeepingWhatWasTyped) {
    QuietHost host;
    runQt(host, [&] {
        userCommit(hp[PANEL_MAIN], MAIN_CALCULATE);
        userCommit(hp[PANEL_CURR], CURR_CLOSE);
        userCommit(hp[PANEL_MAIN], MAIN_DESIGN);
        userCommit(hp[PANEL_MAIN], MAIN_STEP1);
        // 900 mΩ typed, not committed, Esc in the field: the step goes, the entry stays.
        auto* single = qobject_cast<QLineEdit*>(widget(host, PANEL_SENSE, SENSE_SINGLE));
        ASSERT_TRUE(single);
        single->setText("900");
        emit single->textEdited("900");
        pressEsc(single);
        EXPECT_FALSE(panel(hp[PANEL_SENSE])->visible);
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        double v = 0;
        GetCtrlVal(hp[PANEL_SENSE], SENSE_SINGLE, &v);
        EXPECT_EQ(v, 900);
        // The step cannot close at 900 mΩ, so the next one waits.
        int step2 = 0;
        GetCtrlAttribute(hp[PANEL_MAIN], MAIN_STEP2, ATTR_DIMMED, &step2);
        EXPECT_TRUE(step2);
        // A help panel over the main panel: Esc in either window closes the help.
        userCommit(hp[PANEL_MAIN], MAIN_HELP);
        pressEsc(host.window(*panel(hp[PANEL_MAIN])));
        EXPECT_FALSE(panel(hp[PANEL_HIN])->visible);
        userCommit(hp[PANEL_MAIN], MAIN_HELP);
        pressEsc(host.window(*panel(hp[PANEL_HIN])));
        EXPECT_FALSE(panel(hp[PANEL_HIN])->visible);
        // Esc on the main panel alone does nothing.
        pressEsc(host.window(*panel(hp[PANEL_MAIN])));
        EXPECT_FALSE(quitRequested());
        EXPECT_TRUE(panel(hp[PANEL_MAIN])->visible);
        EXPECT_TRUE(popups().empty());
    });
}

// Quit after a change asks with Yes, No and Cancel; Cancel keeps the program.
// Every panel of K7350, with the window manager's frame, fits a 1366x768 screen.
TEST(K7350Qt, EveryPanelFitsA1366x768Screen) {
    if (!kv::test::onScreen("1366x768", "K7350Qt.EveryPanelFitsA1366x768Screen")) return;
    QuietHost host;
    runQt(host, [&] {
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        ASSERT_EQ(avail.size(), QSize(1366, 768));
        int panels = 0;
        for (int id = 0; id < kPanelIds; ++id) {
            if (!hp[id] || !panel(hp[id])) continue;
            QWidget* win = host.window(*panel(hp[id]))->window();
            ASSERT_NE(win, nullptr) << id;
            ++panels;
            EXPECT_LE(win->width() + kv::test::kFrameWidth, avail.width()) << "panel " << id;
            EXPECT_LE(win->height() + kv::test::kFrameHeight, avail.height()) << "panel " << id;
        }
        EXPECT_GE(panels, 24);
    });
}

TEST(K7350Qt, QuitOffersCancel) {
    QtHost host;
    QStringList buttons;
    runQt(host, [&] {
        userSet(hp[PANEL_MAIN], MAIN_TMAX, 45);
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
            box->button(QMessageBox::Cancel)->click();
        });
        userCommit(hp[PANEL_MAIN], MAIN_QUIT); // returns once the box has gone
        EXPECT_FALSE(quitRequested());
        ASSERT_FALSE(popups().empty());
        EXPECT_EQ(popups().back().answer, "cancel");
    });
    // K7350 speaks English, its buttons too.
    EXPECT_EQ(buttons.size(), 3);
    for (const char* b : {"Yes", "No", "Cancel"}) EXPECT_TRUE(buttons.contains(b)) << buttons.join(",").toStdString();
}

// A message is a box over the panel on top, without an icon, with OK.
TEST(K7350Qt, AMessageIsAnEnglishBoxOverThePanelOnTop) {
    QtHost host;
    QStringList buttons;
    QWidget* parent = nullptr;
    QMessageBox::Icon icon = QMessageBox::Critical;
    runQt(host, [&] {
        userCommit(hp[PANEL_MAIN], MAIN_HELP);
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
            parent = box->parentWidget();
            icon = box->icon();
            box->buttons().front()->click();
        });
        MessagePopup("WARNING", "check L value");
        EXPECT_EQ(parent, host.window(*panel(hp[PANEL_HIN])));
        ASSERT_EQ(popups().size(), 1u);
        EXPECT_EQ(popups()[0].answer, "ok");
    });
    EXPECT_EQ(buttons, QStringList{"OK"});
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

// Drives every panel into states with long notes: no text may be cut (a
// descender, a line or a word) and no control may cover another.
TEST(K7350Qt, NoTextIsClippedOrCoveredOnAnyPanel) {
    QuietHost host;
    runQt(host, [&] {
        auto set = [](int p, int c, double v) { userSet(hp[p], c, v); };
        auto press = [](int p, int c) { userCommit(hp[p], c); };
        press(PANEL_MAIN, MAIN_CALCULATE);
        press(PANEL_CURR, CURR_CLOSE);
        press(PANEL_MAIN, MAIN_DESIGN);
        press(PANEL_MAIN, MAIN_STEP1);
        set(PANEL_SENSE, SENSE_SINGLE, 900);
        set(PANEL_SENSE, SENSE_PARALLEL, 0.5);
        set(PANEL_SENSE, SENSE_PARALLEL, 1);
        set(PANEL_SENSE, SENSE_SINGLE, 470);
        press(PANEL_SENSE, SENSE_CLOSE);
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 9);
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CHOKE);
        for (int c : {CORE_ML, CORE_AE, CORE_GAP}) set(PANEL_CORE, c, 900);
        std::vector<std::pair<int, std::string>> notes = {{PANEL_CORE, panel(hp[PANEL_CORE])->find(NOTE)->caption}};
        for (int c : {CORE_ML, CORE_AE, CORE_GAP}) set(PANEL_CORE, c, 1);
        press(PANEL_CORE, CORE_CLOSE);
        set(PANEL_IND, IND_TRUEL, 9);
        userClose(hp[PANEL_IND]); // backs out
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CLOSE);
        // Steps 3 to 9 through their entries, each note caught at its longest.
        press(PANEL_MAIN, MAIN_STEP3);
        for (int c : {MOS_RON, MOS_TF, MOS_CD}) set(PANEL_MOS, c, 5000);
        notes.emplace_back(PANEL_MOS, panel(hp[PANEL_MOS])->find(NOTE)->caption);
        set(PANEL_MOS, MOS_RON, 500);
        set(PANEL_MOS, MOS_TF, 50);
        set(PANEL_MOS, MOS_CD, 100);
        press(PANEL_MOS, MOS_LOSSES);
        press(PANEL_MOS, MOS_CLOSE);
        press(PANEL_MAIN, MAIN_STEP4);
        press(PANEL_DIODE, DIODE_CLOSE);
        press(PANEL_MAIN, MAIN_STEP5);
        set(PANEL_INCAP, INCAP_TRUCIN, 10);
        set(PANEL_INCAP, INCAP_RIP, 0);
        notes.emplace_back(PANEL_INCAP, panel(hp[PANEL_INCAP])->find(NOTE)->caption);
        set(PANEL_INCAP, INCAP_RIP, 10);
        press(PANEL_INCAP, INCAP_CLOSE);
        press(PANEL_MAIN, MAIN_STEP6);
        set(PANEL_OUTCAP, OUTCAP_THOLD, -1);
        set(PANEL_OUTCAP, OUTCAP_DELTA, 0);
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 100);
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 10);
        notes.emplace_back(PANEL_OUTCAP, panel(hp[PANEL_OUTCAP])->find(NOTE)->caption);
        set(PANEL_OUTCAP, OUTCAP_THOLD, 10);
        set(PANEL_OUTCAP, OUTCAP_DELTA, 8);
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 340);
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 100);
        press(PANEL_OUTCAP, OUTCAP_CLOSE);
        press(PANEL_MAIN, MAIN_STEP7);
        set(PANEL_MULT, MULT_RLOW, 14);
        set(PANEL_MULT, MULT_RUP, 100);
        notes.emplace_back(PANEL_MULT, panel(hp[PANEL_MULT])->find(NOTE)->caption);
        set(PANEL_MULT, MULT_RUP, 1e5); // a warning stays up
        press(PANEL_MULT, MULT_CLOSE);
        press(PANEL_MAIN, MAIN_STEP8);
        set(PANEL_ZCD, ZCD_RZCD, 1);
        set(PANEL_ZCD, ZCD_ACTR, 99);
        notes.emplace_back(PANEL_ZCD, panel(hp[PANEL_ZCD])->find(NOTE)->caption);
        set(PANEL_ZCD, ZCD_ACTR, 10);
        set(PANEL_ZCD, ZCD_RZCD, 15);
        press(PANEL_ZCD, ZCD_CLOSE);
        press(PANEL_MAIN, MAIN_STEP9);
        set(PANEL_FEED, FEED_RHEFF, 1200);
        set(PANEL_FEED, FEED_RLEFF, 5);
        set(PANEL_FEED, FEED_TOP, 0);
        set(PANEL_FEED, FEED_C1, 0.1);
        press(PANEL_FEED, FEED_START);
        notes.emplace_back(PANEL_FEED, panel(hp[PANEL_FEED])->find(NOTE)->caption);
        press(PANEL_FEED, FEED_CLOSE);
        press(PANEL_MAIN, MAIN_BOM);
        press(PANEL_BOM, BOM_CLOSE);
        set(PANEL_MAIN, MAIN_VINMIN, 300);
        set(PANEL_MAIN, MAIN_POUT, 400);
        set(PANEL_MAIN, MAIN_EFFIC, 50);
        set(PANEL_MAIN, MAIN_LINEFREQ, 0);
        notes.emplace_back(PANEL_MAIN, panel(hp[PANEL_MAIN])->find(NOTE)->caption);
        // Every note above holds a message, most of them two or more.
        int several = 0;
        for (const auto& [p, text] : notes) {
            EXPECT_NE(text, "") << p;
            several += text.find('\n') != std::string::npos;
        }
        EXPECT_GE(several, 6);

        auto check = [&](int p) {
            QWidget* w = host.window(*panel(hp[p]));
            QWidget* note = widget(host, p, NOTE);
            for (const auto& [np, text] : notes)
                if (np == p && note) static_cast<QLabel*>(note)->setText(QString::fromStdString(text));
            std::vector<QWidget*> shown;
            for (QWidget* c : w->findChildren<QWidget*>()) {
                if (c->parentWidget() != w || c->isHidden()) continue;
                shown.push_back(c);
                const QFontMetrics fm(c->font());
                const std::string name = std::to_string(p) + ":" + c->objectName().toStdString();
                if (auto* l = qobject_cast<QLabel*>(c)) {
                    if (l->wordWrap()) {
                        EXPECT_LE(l->heightForWidth(l->width()), l->height()) << name << " " << l->text().toStdString();
                    } else {
                        const QRect need = fm.boundingRect(QRect(0, 0, 100000, 100000), 0, l->text());
                        EXPECT_LE(need.width(), l->width()) << name << " " << l->text().toStdString();
                        EXPECT_LE(need.height(), l->height()) << name << " " << l->text().toStdString();
                    }
                } else if (auto* b = qobject_cast<QAbstractButton*>(c)) {
                    EXPECT_LE(fm.horizontalAdvance(b->text()) + 8, b->width()) << name << " " << b->text().toStdString();
                    EXPECT_LE(fm.height(), b->height()) << name;
                } else if (auto* cb = qobject_cast<QComboBox*>(c)) {
                    for (int k = 0; k < cb->count(); ++k)
                        EXPECT_LE(fm.horizontalAdvance(cb->itemText(k)) + 24, cb->width()) << name;
                } else if (auto* e = qobject_cast<QLineEdit*>(c)) {
                    EXPECT_LE(fm.height(), e->height()) << name;
                }
            }
            // Nothing covers anything else.
            for (std::size_t i = 0; i < shown.size(); ++i)
                for (std::size_t j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                        << p << ": " << shown[i]->objectName().toStdString() << " and "
                        << shown[j]->objectName().toStdString();
            // Every control inside the window.
            for (QWidget* c : shown)
                EXPECT_TRUE(QRect(QPoint(0, 0), w->size()).contains(c->geometry()))
                    << p << ": " << c->objectName().toStdString();
        };
        for (Panel* p : panels()) check(p->def.id);
        // The other look of step 8 (its RC network) and of the bill of materials.
        userSet(hp[PANEL_ZCD], ZCD_CIRCUIT, 1);
        check(PANEL_ZCD);
        set(PANEL_FEED, FEED_TOP, 2);
        press(PANEL_MAIN, MAIN_BOM);
        check(PANEL_BOM);
        check(PANEL_FEED);
    });
}

// ---- k7350-cli ----------------------------------------------------------------------------

std::string runCli(const std::string& args, int& rc) {
    const std::string cmd = std::string(KV_BINARY_DIR "/tools/k7350-cli ") + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    rc = WEXITSTATUS(pclose(p));
    return out;
}

// The JSON object of a panel (its title, visibility and dimming) or of one
// of its controls, from a k7350-cli output.
std::string panelJson(const std::string& out, int p) {
    const auto at = out.find("\"" + std::to_string(p) + "\": {\"title\"");
    if (at == std::string::npos) return "";
    return out.substr(at, out.find("\"controls\"", at) - at);
}

std::string ctrlJson(const std::string& out, int p, int c) {
    const auto at = out.find("\"" + std::to_string(p) + "\": {\"title\"");
    if (at == std::string::npos) return "";
    const auto ctrls = out.find("\"controls\": {", at);
    const auto end = out.find("}}", ctrls);
    const auto key = out.find("\"" + std::to_string(c) + "\": {", ctrls);
    if (key == std::string::npos || key > end) return "";
    return out.substr(key, out.find('}', key) - key + 1);
}

double valueOf(const std::string& ctrl) {
    const auto at = ctrl.find("\"value\": ");
    return at == std::string::npos ? NAN : std::strtod(ctrl.c_str() + at + 9, nullptr);
}

bool has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

const std::string kDesign = "--commit 18:calcola --commit 22:10 --commit 18:design ";
const std::string kToStep9 =
    kDesign + "--commit 18:12 --set 23:8=470 --commit 23:3 --commit 18:19 --set 17:6=0.5 --commit 17:3 "
              "--commit 18:20 --commit 19:2 --commit 18:21 --commit 4:2 --commit 18:18 --set 2:3=10 "
              "--set 2:5=1000 --commit 2:2 --commit 18:15 --set 3:5=10 --set 3:4=340 --set 3:6=8 "
              "--set 3:3=100 --commit 3:2 --commit 18:16 --set 20:4=13.96 --set 20:3=1900 --commit 20:2 "
              "--commit 18:17 --set 25:6=10 --set 25:7=15 --commit 25:2 --commit 18:14 --set 5:4=1000 "
              "--set 5:3=6.29 ";

TEST(K7350Cli, DrivesStepsPrintsADocumentToPdfAndReportsErrors) {
    kv::test::TempDir dir;
    int rc = 0;
    std::string out = runCli(kToStep9 + "--set 5:16=1 --set 5:10=10 --set 5:8=10 --commit 5:18 --commit 5:2 "
                                        "--commit 18:mostra --print " + (dir.path() / "bom.pdf").string() +
                                 " --commit 24:print_show", rc);
    EXPECT_EQ(rc, 0) << out;
    EXPECT_NE(out.find("\"17:7\": [{\"points\": 10000, \"first\": [0, "), std::string::npos) << out.substr(0, 300);
    EXPECT_NE(out.find("\"title\": \"new\""), std::string::npos);
    EXPECT_NE(out.find("\"exit\": null"), std::string::npos);
    std::ifstream pdf(dir.path() / "bom.pdf", std::ios::binary);
    std::stringstream all;
    all << pdf.rdbuf();
    const std::string doc = all.str();
    EXPECT_EQ(doc.substr(0, 5), "%PDF-");
    // A document of several pages (inputs, nine steps with their graphs, the bill).
    std::size_t pages = 0;
    for (std::size_t at = 0; (at = doc.find("/Type /Page\n", at)) != std::string::npos; ++at) ++pages;
    if (pages == 0)
        for (std::size_t at = 0; (at = doc.find("/Type /Page", at)) != std::string::npos; ++at)
            pages += doc.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_GE(pages, 4u);
    runCli("--commit 18:nothing", rc);
    EXPECT_EQ(rc, 2);
    runCli("--set 99:1=2", rc);
    EXPECT_EQ(rc, 2);
    runCli("--set 18:9=abc", rc);
    EXPECT_EQ(rc, 2);
    out = runCli("--commit 18:ESCI --screen 640x480", rc);
    EXPECT_EQ(rc, 2); // unchanged: the program quits at once, before --screen
    out = runCli("--screen 640x480 --set 18:2=40 --answer no --commit 18:ESCI", rc);
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out.find("\"exit\": 0"), std::string::npos);
    EXPECT_NE(out.find("Do you want to save the project?"), std::string::npos);
    EXPECT_NE(out.find("600*800 pixels"), std::string::npos);
    EXPECT_NE(out.find("\"visible\": false"), std::string::npos);
}

// Fault 1: a negative power stops at the main panel; a step whose Close is
// dimmed is left through its close box, keeping what was typed.
TEST(K7350Cli, RefusedInputsStopAtTheMainPanelAndAStepCanBeLeft) {
    int rc = 0;
    std::string out = runCli("--set 18:6=-100 --commit 18:calcola", rc);
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(has(panelJson(out, 22), "\"visible\": false"));
    EXPECT_TRUE(has(ctrlJson(out, 18, 11), "\"dimmed\": true"));
    EXPECT_TRUE(has(ctrlJson(out, 18, 60), "Output power must be higher than 0W"));
    EXPECT_TRUE(has(ctrlJson(out, 18, 60), "\"color\": \"#c00000\""));
    EXPECT_TRUE(has(out, "\"popups\": []"));
    out = runCli(kDesign + "--commit 18:12 --set 23:8=900 --close 23", rc);
    EXPECT_TRUE(has(panelJson(out, 23), "\"visible\": false"));
    EXPECT_TRUE(has(panelJson(out, 18), "\"dimmed\": false"));
    EXPECT_EQ(valueOf(ctrlJson(out, 23, 8)), 900);
    EXPECT_TRUE(has(ctrlJson(out, 18, 19), "\"dimmed\": true"));
}

// Fault 2: saved in one run, loaded in the next, the core, the ripple and
// the hold-up entries come back and step 5 can close.
TEST(K7350Cli, ALoadedProjectKeepsTheCoreTheRippleAndTheHoldUp) {
    kv::test::TempDir dir;
    int rc = 0;
    const std::string file = (dir.path() / "p.ini").string();
    std::string out = runCli(kToStep9 + "--commit 5:2 --commit 18:19 --commit 17:choke --set 21:2=98 "
                                        "--set 21:3=1.85 --set 21:4=1.6 --commit 21:8 --commit 17:3 --file " +
                                 file + " --commit 18:SALVA", rc);
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(has(panelJson(out, 18), "\"title\": \"p.ini\""));
    const double turns = valueOf(ctrlJson(out, 21, 6));
    EXPECT_TRUE(std::isfinite(turns));
    out = runCli("--file " + file + " --commit 18:CARICA --commit 18:19 --commit 17:choke", rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(valueOf(ctrlJson(out, 21, 2)), 98);
    EXPECT_EQ(valueOf(ctrlJson(out, 21, 3)), 1.85);
    EXPECT_EQ(valueOf(ctrlJson(out, 21, 4)), 1.6);
    EXPECT_EQ(valueOf(ctrlJson(out, 21, 6)), turns);
    EXPECT_EQ(valueOf(ctrlJson(out, 2, 3)), 10);
    EXPECT_TRUE(has(ctrlJson(out, 2, 2), "\"dimmed\": false"));
    EXPECT_EQ(valueOf(ctrlJson(out, 3, 5)), 10);
    EXPECT_EQ(valueOf(ctrlJson(out, 3, 4)), 340);
    EXPECT_EQ(valueOf(ctrlJson(out, 3, 6)), 8);
    EXPECT_TRUE(has(ctrlJson(out, 3, 2), "\"dimmed\": false"));
}

// Fault 3: 100 W to 250 W after the chain: every step and the bill of
// materials are dimmed until Calculate and Design run again.
TEST(K7350Cli, AnInputChangeLeavesNoStaleStep) {
    int rc = 0;
    std::string out = runCli(kToStep9 + "--commit 5:2 --set 18:6=250 --commit 18:calcola --commit 22:10", rc);
    EXPECT_EQ(rc, 0);
    for (int c : {12, 19, 20, 21, 18, 15, 16, 17, 14, 22}) EXPECT_TRUE(has(ctrlJson(out, 18, c), "\"dimmed\": true")) << c;
    EXPECT_TRUE(has(ctrlJson(out, 18, 13), "\"dimmed\": false")); // Design, after the currents
}

// Fault 4: no popup while typing; 1 × 470 mΩ to 2 × 330 mΩ at 250 W directly.
TEST(K7350Cli, ChecksWaitAndRefusalsShowWithoutPopups) {
    int rc = 0;
    std::string out = runCli(kToStep9 + "--commit 5:2 --commit 18:15 --set 3:3=0 --set 3:5=12 --set 3:4=330", rc);
    EXPECT_TRUE(has(out, "\"popups\": []")) << out.substr(out.find("\"popups\""), 200);
    out = runCli("--set 18:9=85 --set 18:8=265 --set 18:6=250 " + kDesign +
                     "--commit 18:12 --set 23:8=470 --set 23:8=330 --set 23:9=2",
                 rc);
    EXPECT_TRUE(has(out, "\"popups\": []"));
    EXPECT_EQ(valueOf(ctrlJson(out, 23, 6)), 165);
    EXPECT_TRUE(has(ctrlJson(out, 23, 3), "\"dimmed\": false"));
    out = runCli("--set 18:9=85 --set 18:8=265 --set 18:6=250 " + kDesign + "--commit 18:12 --set 23:8=330", rc);
    EXPECT_TRUE(has(ctrlJson(out, 23, 60), "reduce Rsense value"));
    EXPECT_TRUE(has(ctrlJson(out, 23, 3), "\"dimmed\": true"));
    EXPECT_EQ(valueOf(ctrlJson(out, 23, 8)), 330); // kept, not reverted
}

// Fault 5: the voltage loop's crossover and margin judged by the rule.
TEST(K7350Cli, TheVoltageLoopWarnsOfALowMarginOrAHighCrossover) {
    int rc = 0;
    struct {
        std::string parts;
        bool fcHigh, pmLow;
    } loops[] = {{"--set 5:16=0 --set 5:10=1", false, true},           // C1 alone: 0°
                 {"--set 5:16=1 --set 5:10=2.2 --set 5:8=33", true, false}, // 44 Hz
                 {"--set 5:16=1 --set 5:10=10 --set 5:8=10", false, false}}; // 14 Hz, 83°
    for (const auto& l : loops) {
        const std::string out = runCli(kToStep9 + l.parts + " --commit 5:18", rc);
        const std::string fc = ctrlJson(out, 5, 41), pm = ctrlJson(out, 5, 42), note = ctrlJson(out, 5, 60);
        EXPECT_EQ(valueOf(fc) > 25, l.fcHigh) << fc;
        EXPECT_EQ(valueOf(pm) < 45, l.pmLow) << pm;
        EXPECT_EQ(has(fc, "#c00000"), l.fcHigh) << fc;
        EXPECT_EQ(has(pm, "#c00000"), l.pmLow) << pm;
        EXPECT_EQ(has(note, "Crossover above 25 Hz"), l.fcHigh) << note;
        EXPECT_EQ(has(note, "Phase margin below 45"), l.pmLow) << note;
    }
}

// Fault 6: the bill of materials lists the MOSFET, the diode and the core.
TEST(K7350Cli, TheBillListsTheSemiconductorsAndTheCore) {
    int rc = 0;
    const std::string out =
        runCli(kDesign + "--commit 18:12 --set 23:8=470 --commit 23:3 --commit 18:19 --set 17:6=0.5 "
                         "--commit 17:choke --set 21:2=100 --set 21:3=1 --set 21:4=1 --commit 21:8 --commit 17:3 "
                         "--commit 18:20 --set 19:9=500 --set 19:8=50 --set 19:7=100 --commit 19:2 "
                         "--commit 18:21 --set 4:8=0.9 --set 4:7=50 --commit 4:2 --commit 18:mostra",
               rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 41)), valueOf(ctrlJson(out, 19, 5))); // MOSFET voltage
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 42)), 500);                         // Rds(on)
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 43)), valueOf(ctrlJson(out, 19, 3))); // thermal resistance
    EXPECT_TRUE(std::isfinite(valueOf(ctrlJson(out, 24, 43))));
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 44)), valueOf(ctrlJson(out, 4, 6)));  // diode voltage
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 46)), valueOf(ctrlJson(out, 4, 3)));  // and its thermal resistance
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 47)), 100);
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 48)), 1);
    EXPECT_EQ(valueOf(ctrlJson(out, 24, 49)), 1);
    // Whole turns, enough for the flux: N·B·Ae ≥ L·I at 0.35 T.
    const double n = valueOf(ctrlJson(out, 24, 50));
    EXPECT_EQ(n, std::floor(n));
    EXPECT_GE(n * 0.35 * 1e-4, 0.5e-3 * valueOf(ctrlJson(out, 23, 4)));
    EXPECT_LT((n - 1) * 0.35 * 1e-4, 0.5e-3 * valueOf(ctrlJson(out, 23, 4)));
}

// Fault 7: the title after Save, plot axes in line angle and input voltage,
// the legend of step 2.
TEST(K7350Cli, TitleAfterSaveAxesAndLegend) {
    kv::test::TempDir dir;
    int rc = 0;
    const std::string out =
        runCli(kDesign + "--commit 18:12 --set 23:8=470 --commit 23:3 --commit 18:19 --set 17:6=0.5 --commit 17:3 "
                         "--commit 18:20 --set 19:9=500 --set 19:8=50 --set 19:7=100 --commit 19:2 --file " +
                   (dir.path() / "t.ini").string() + " --commit 18:SALVA",
               rc);
    EXPECT_TRUE(has(panelJson(out, 18), "\"title\": \"t.ini\""));
    const auto g17 = out.substr(out.find("\"17:7\": ["), 400);
    EXPECT_TRUE(has(g17, "\"first\": [0, ")) << g17;
    EXPECT_TRUE(has(g17, "\"last\": [179.8")) << g17;
    EXPECT_TRUE(has(g17, "\"name\": \"at 264 V rms\"")) << g17;
    EXPECT_TRUE(has(g17, "\"name\": \"at 90 V rms\"")) << g17;
    const auto g19 = out.substr(out.find("\"19:6\": ["), 200);
    EXPECT_TRUE(has(g19, "\"first\": [90, ")) << g19;
}

} // namespace
