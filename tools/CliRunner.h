// The actions of korvane-cli and the one dispatcher that runs them on a
// window of the headless backend (the command line and the fuzz walker).
#pragma once

#include "platform/ui/Dialog.h"
#include "platform/ui/headless/HeadlessBackend.h"

#include <string>
#include <vector>

namespace kv::tools {

struct CliAction {
    std::string verb;                // "--set", "--press", ...
    std::string arg;                 // none for --close and --escape
    int onTemplate = 0;              // --on
    std::vector<CliAction> nested;   // --on
};

// The words of `actions` as korvane-cli takes them back.
void appendWords(const std::vector<CliAction>& actions, std::vector<std::string>& words);

// Checks the form of every action before anything runs.
bool validateActions(const std::vector<CliAction>& actions, std::string& err);

class CliRunner {
public:
    explicit CliRunner(ui::HeadlessBackend& b) : hb(b) {}

    // Runs actions on `dlg`; stops at the first failing one.
    bool run(ui::Dialog& dlg, const std::vector<CliAction>& actions);
    // One action; false (and `error`) for an unknown control or entry or a
    // disabled button.
    bool step(ui::Dialog& dlg, const CliAction& a);

    std::string error;

private:
    bool needControl(ui::Dialog& dlg, int id);
    // The window-menu command with `file` as the answer of its file dialog.
    bool designCommand(ui::Dialog& dlg, int command, const std::string& file);
    ui::HeadlessBackend& hb;
};

} // namespace kv::tools
