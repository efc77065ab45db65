// The headless host: panels live in memory, the event loop runs a script.
// Its backend answers the popups and file popups from its queues, as the
// headless dialogs are answered.
#pragma once

#include "platform/panels/Panels.h"
#include "platform/ui/headless/HeadlessBackend.h"

#include <functional>

namespace kv::panels {

class HeadlessHost : public Host {
public:
    // Makes `backend` the dialogs' backend, answering as popups are answered.
    HeadlessHost();
    // The popups' answers (backend.answers: IdYes, IdNo, IdCancel, IdOk) and
    // files (backend.files: an empty one cancels), and their record.
    ui::HeadlessBackend backend;
    int width = 1024, height = 768;
    // What the user does while the event loop runs.
    std::function<void()> script;
    // Lays printed documents out; without it a print succeeds and is only recorded.
    std::function<bool(const Document&)> printer;
    std::vector<Document> printed;
    bool quitCalled = false;

    void panelShown(Panel&) override {}
    void panelHidden(Panel&) override {}
    void screenSize(int& w, int& h) override {
        w = width;
        h = height;
    }
    void runLoop() override;
    void quit() override { quitCalled = true; }
    bool print(const Document& doc) override;
};

} // namespace kv::panels
