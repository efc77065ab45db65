// The Qt Widgets backend: real windows built from the dialog templates,
// mirroring the control model both ways.
#pragma once

#include "platform/ui/Backend.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QWidget>

#include <map>
#include <memory>

class QPainter;

namespace kv::ui {

// Maps the Chinese face names of the designs onto installed CJK fonts and
// sets the dialog font. Call once after the QApplication exists. Returns the
// face names that have no installed font behind them (empty when all render).
std::vector<std::string> installFonts();
// Font for a face name ("" is the dialog font) and a size in tenths of a point.
QFont fontFor(std::string_view face, int tenthsOfPoint);
QImage bitmapImage(int id);

class QtCanvas : public Canvas {
public:
    explicit QtCanvas(QPainter& p);
    void setPen(Color c, int width, PenStyle style = PenStyle::Solid) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polyline(std::span<const Point> points) override;
    void setClip(const Rect* r) override;
    void setFont(std::string_view face, int tenthsOfPoint) override;
    void setTextColor(Color c) override;
    void setTransparent(bool on) override;
    void text(int x, int y, std::string_view s) override;
    void stretchBitmap(int bitmapId, const Rect& dst, const Rect& src) override;
    void fill(const Rect& r, Color c) override;
    void icon(int iconId, int x, int y) override;

private:
    QPainter& p_;
    Color text_{0, 0, 0};
    bool transparent_ = false;
};

class QtBackend : public Backend {
public:
    QtBackend();
    ~QtBackend() override;
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
    bool startDetached(const std::string& path) override;
    std::optional<std::string> fileDialog(Dialog* owner, const FileDialogRequest& req) override;
    void forget(Dialog& dlg) override;

    // The buttons of message boxes: Korvane's Chinese texts, or Qt's own
    // English ones (K7350).
    enum class ButtonTexts { Chinese, English };
    void setButtonTexts(ButtonTexts t) { buttonTexts_ = t; }

    // Builds the window of a dialog without running it (for pictures and tests);
    // the dialog is initialised. The window lives until the dialog is destroyed.
    QWidget* createWindow(Dialog& dlg, Dialog* owner = nullptr);
    // The window of a dialog that has one.
    static QWidget* windowOf(const Dialog& dlg);
    // Renders a window (client area) to an image.
    static QImage grab(Dialog& dlg);

private:
    ButtonTexts buttonTexts_ = ButtonTexts::Chinese;
};

} // namespace kv::ui
