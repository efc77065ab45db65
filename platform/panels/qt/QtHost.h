// The Qt host: panels as windows, popups as message boxes, printing through
// the print dialog.
#pragma once

#include "platform/panels/Panels.h"

#include <memory>

class QEventLoop;
class QWidget;

namespace kv::ui {
class QtBackend;
}

namespace kv::panels {

class QtHost : public Host {
public:
    QtHost();
    ~QtHost() override;
    void panelShown(Panel& p) override;
    void panelHidden(Panel& p) override;
    void ctrlChanged(Panel& p, Ctrl& c) override;
    void message(const std::string& title, const std::string& text) override;
    Answer confirm(const std::string& title, const std::string& text, bool cancel) override;
    std::optional<std::string> selectFile(const FileRequest& req) override;
    void screenSize(int& w, int& h) override;
    void runLoop() override;
    void quit() override;
    bool print(const Document& doc) override;

    // The window of a panel, built on first use.
    QWidget* window(Panel& p);

private:
    QWidget* activeWindow() const;
    std::unique_ptr<ui::QtBackend> backend_;
    QEventLoop* loop_ = nullptr;
    bool quit_ = false;
};

} // namespace kv::panels
