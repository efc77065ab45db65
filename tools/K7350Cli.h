// k7350-cli's actions and what it prints, shared with the fuzz walker: the
// user's actions on K7350's panels through the headless host.
#pragma once

#include "platform/panels/HeadlessHost.h"

#include <functional>
#include <string>
#include <vector>

namespace kv::tools {

extern const char* const kK7350Usage;

struct PanelAction {
    std::string kind, arg; // "--set", "P:C=VALUE"; "--escape" has no argument
};

// Reads the words of a command line into actions; false with a message.
bool parsePanelActions(const std::vector<std::string>& words, std::vector<PanelAction>& out, std::string& err);

// The panels, popups and graphs as one JSON object (without its closing brace
// and "exit").
std::string panelSnapshot();

// Runs the actions of a command line on the panels of the running program.
struct PanelRun {
    panels::HeadlessHost& host;
    std::string error;
    std::vector<std::string> notes;
    // Draws a panel into a PNG file (--png); the command line sets it.
    std::function<bool(panels::Panel&, const std::string&)> png;

    panels::Panel* panelOf(int id);
    // The control by number or, for --commit, by callback name.
    panels::Ctrl* ctrlOf(panels::Panel& p, const std::string& c, bool byName);
    // Does one action; false (and `error`) for a malformed one or an unknown panel or control.
    bool act(const PanelAction& a);

private:
    void note(panels::UserResult r, const std::string& what);
    bool fail(const std::string& why);
};

} // namespace kv::tools
