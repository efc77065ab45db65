// The Qt host: panels as windows, printing through the print dialog. Its
// backend shows the popups as message boxes with English buttons.
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
    // Makes `backend` (a plain Qt backend without one) the dialogs' backend.
    explicit QtHost(std::unique_ptr<ui::QtBackend> backend = nullptr);
    ~QtHost() override;
    void panelShown(Panel& p) override;
    void panelHidden(Panel& p) override;
    void ctrlChanged(Panel& p, Ctrl& c) override;
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
