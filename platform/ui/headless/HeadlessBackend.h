// The headless backend: the control model alone, on a virtual clock.
// Modal dialogs that close themselves by timer run to their end at once;
// message boxes are recorded and answered from a queue; a modal dialog that
// waits for the user runs its queued script, and is cancelled when none is
// queued or the script leaves it open.
#pragma once

#include "platform/ui/Backend.h"
#include "platform/ui/Canvas.h"

#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kv::ui {

struct RecordedMessage {
    int owner = 0;            // owner's template, 0 for none
    std::string caption;
    std::string text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    int answer = IdOk;
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    int runModal(Dialog& dlg, Dialog* owner) override;
    Dialog& openModeless(std::unique_ptr<Dialog> dlg, Dialog* owner) override;
    int runSheet(PropertySheet& sheet, Dialog* owner) override;
    void endDialog(Dialog& dlg, int result) override;
    void closeWindow(Dialog& dlg) override;
    int messageBox(Dialog* owner, std::string_view text, std::string_view caption, Icon icon,
                   Buttons buttons) override;
    void setTimer(Dialog& dlg, int id, int periodMs) override;
    void killTimer(Dialog& dlg, int id) override;
    bool shellOpen(const std::string& path) override;
    // Starts nothing: records an executable file, refuses anything else.
    bool startDetached(const std::string& path) override;
    std::optional<std::string> fileDialog(Dialog* owner, const FileDialogRequest& req) override;
    void forget(Dialog& dlg) override;

    // ---- scripting ------------------------------------------------------
    // Answers for the next message boxes (IdOk, IdCancel, IdYes, IdNo).
    std::deque<int> answers;
    // How a box takes its answer from the queue.
    //  Dialogs: every box takes the next answer; one that does not fit the box,
    //    or none, is its first button (OK, Yes).
    //  Popups (K7350's): a question takes the next answer; one that does not
    //    fit, or none, is No. A box with OK alone takes the next answer only
    //    when it is OK, leaving any other for the question it is meant for.
    enum class AnswerRule { Dialogs, Popups };
    AnswerRule answerRule = AnswerRule::Dialogs;
    // Answers for the next file dialogs; an empty optional cancels.
    std::deque<std::optional<std::string>> files;
    // Scripts for modal dialogs, by template, run once each in queue order
    // right after the dialog's initialisation.
    void queueScript(int templateId, std::function<void(Dialog&)> script);
    // Runs on a modal dialog (or a sheet's active page) that has no queued
    // script: the fuzz walker decides there what the user does.
    std::function<void(Dialog&)> unscripted;

    // Runs the timers of every live dialog in time order until `done` holds or
    // no timer is left. Returns the number of ticks delivered.
    long runTimers(const std::function<bool()>& done, long maxTicks = 1000000);
    // Advances the virtual clock by `ms`, delivering due ticks.
    void advance(long ms);
    long now() const { return now_; }
    bool hasTimer(const Dialog& dlg, int id) const;
    bool hasTimer(const Dialog& dlg) const; // any

    // ---- records --------------------------------------------------------
    std::vector<RecordedMessage> messages;
    std::vector<int> opened;             // templates opened as modal or modeless windows
    std::vector<std::string> shellOpened;
    bool viewers = true;   // false: no program is registered to open a file
    std::vector<std::string> started;    // programs started detached
    std::vector<FileDialogRequest> fileRequests;
    long ticks = 0;                      // timer ticks delivered
    std::vector<Dialog*> modeless() const;

    // Paints a dialog into a recording canvas.
    static RecordingCanvas paint(Dialog& dlg);

private:
    View& attach(Dialog& dlg);
    void detach(Dialog& dlg);
    bool runScript(Dialog& dlg);
    long deliverNext(long limit);

    struct Timer {
        Dialog* dlg;
        int id;
        int period;
        long due;
    };
    std::vector<Timer> timers_;
    std::vector<std::unique_ptr<Dialog>> modeless_;
    std::vector<std::unique_ptr<Dialog>> graveyard_;
    std::multimap<int, std::function<void(Dialog&)>> scripts_;
    std::vector<std::unique_ptr<View>> views_;
    long now_ = 0;
};

} // namespace kv::ui
