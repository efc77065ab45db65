// The headless host: panels live in memory, popups are answered from queues,
// the event loop runs a script.
#pragma once

#include "platform/panels/Panels.h"

#include <deque>
#include <functional>

namespace kv::panels {

class HeadlessHost : public Host {
public:
    // "yes", "no", "cancel" or "ok" for the next popups: a confirmation takes
    // the next answer (none: no), a message takes it only when it is "ok".
    std::deque<std::string> answers;
    // Answers for the next file popups; an empty one cancels.
    std::deque<std::string> files;
    int width = 1024, height = 768;
    // What the user does while the event loop runs.
    std::function<void()> script;
    // Lays printed documents out; without it a print succeeds and is only recorded.
    std::function<bool(const Document&)> printer;
    std::vector<Document> printed;
    bool quitCalled = false;

    void panelShown(Panel&) override {}
    void panelHidden(Panel&) override {}
    void message(const std::string& title, const std::string& text) override;
    Answer confirm(const std::string& title, const std::string& text, bool cancel) override;
    std::optional<std::string> selectFile(const FileRequest& req) override;
    void screenSize(int& w, int& h) override {
        w = width;
        h = height;
    }
    void runLoop() override;
    void quit() override { quitCalled = true; }
    bool print(const Document& doc) override;
};

} // namespace kv::panels
