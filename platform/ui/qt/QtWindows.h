// The windows of the Qt backend, shared by its files: a dialog's window side
// (Host: its widgets and timers), the widget that hands paint, mouse and
// timer events to the dialog (Surface), a dialog's own window and a property
// sheet's. Only the backend's own files include this.
#pragma once

#include "platform/ui/qt/QtBackend.h"

#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <functional>
#include <map>
#include <memory>

namespace kv::ui::qt {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string us(const QString& s) { return s.toUtf8().toStdString(); }
inline QColor qc(Color c) { return QColor(c.r, c.g, c.b); }
inline QRect pxRect(const ControlTemplate& c) {
    return QRect(dluToPxX(c.x), dluToPxY(c.y), dluToPxX(c.w), dluToPxY(c.h));
}

class Host;

// Tells when a widget takes the keyboard focus.
class FocusWatch : public QObject {
public:
    FocusWatch(QObject* parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) f_();
        return false;
    }

private:
    std::function<void()> f_;
};

// Widget that hands its paint, mouse and timer events to the dialog logic.
template <class Base>
class Surface : public Base {
public:
    template <class... A>
    explicit Surface(A&&... a) : Base(std::forward<A>(a)...) {}
    Host* host = nullptr;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    // Ctrl with a key: the window-menu entry with that shortcut.
    void keyPressEvent(QKeyEvent* e) override;
};

// The window side of one dialog: its widgets and its timers.
class Host : public View {
public:
    Host(Dialog& d, QWidget* surface) : dlg(d), surface(surface) {}
    ~Host() override = default;

    void build();
    void controlChanged(int id) override { sync(id); }
    void titleChanged() override {
        QWidget* w = frame ? frame : surface;
        if (w->isWindow()) w->setWindowTitle(qs(dlg.title()));
    }
    void invalidate(const Rect* r) override {
        if (r) surface->update(QRect(r->left, r->top, r->width(), r->height()));
        else surface->update();
    }
    int clientWidth() const override { return surface->width(); }
    int clientHeight() const override { return surface->height(); }
    bool minimized() const override { return surface->window()->isMinimized(); }

    void sync(int id);
    void paint(QPainter& p) {
        QtCanvas c(p);
        dlg.onPaint(c);
    }
    void sysMenu(const QPoint& globalPos);
    void startTimer(int id, int ms) {
        stopTimer(id);
        timers[id] = surface->startTimer(ms, Qt::PreciseTimer);
    }
    void stopTimer(int id) {
        auto it = timers.find(id);
        if (it == timers.end()) return;
        surface->killTimer(it->second);
        timers.erase(it);
    }
    void tick(int qtId) {
        for (const auto& [id, q] : timers)
            if (q == qtId) {
                dlg.onTimer(id);
                return;
            }
    }
    void stopAllTimers() {
        for (const auto& [id, q] : timers) surface->killTimer(q);
        timers.clear();
    }

    Dialog& dlg;
    QWidget* surface;
    QWidget* frame = nullptr; // the window around a surface that scrolls in it
    std::map<int, QWidget*> widgets;
    std::map<int, int> timers; // dialog timer id -> Qt timer id
};

template <class Base>
inline void Surface<Base>::paintEvent(QPaintEvent* e) {
    Base::paintEvent(e);
    if (!host) return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    host->paint(p);
}

template <class Base>
inline void Surface<Base>::mouseReleaseEvent(QMouseEvent* e) {
    if (host && e->button() == Qt::LeftButton) {
        const QPoint pt = e->position().toPoint();
        host->dlg.onLButtonUp(pt.x(), pt.y());
    }
    Base::mouseReleaseEvent(e);
}

template <class Base>
inline void Surface<Base>::mouseMoveEvent(QMouseEvent* e) {
    if (host) {
        const QPoint pt = e->position().toPoint();
        host->dlg.onMouseMove(pt.x(), pt.y());
    }
    Base::mouseMoveEvent(e);
}

template <class Base>
inline void Surface<Base>::contextMenuEvent(QContextMenuEvent* e) {
    if (host && !host->dlg.windowMenu().empty() && (this->isWindow() || host->frame)) host->sysMenu(e->globalPos());
    else Base::contextMenuEvent(e);
}

template <class Base>
inline void Surface<Base>::keyPressEvent(QKeyEvent* e) {
    if (host && (e->modifiers() & Qt::ControlModifier) &&
        host->dlg.shortcut(us(QKeySequence(e->keyCombination()).toString(QKeySequence::PortableText))))
        return;
    Base::keyPressEvent(e);
}

template <class Base>
inline void Surface<Base>::timerEvent(QTimerEvent* e) {
    if (host) host->tick(e->timerId());
    else Base::timerEvent(e);
}

// A dialog's own window.
class DialogWindow : public Surface<QDialog> {
public:
    DialogWindow(QWidget* parent, Qt::WindowFlags f) : Surface<QDialog>(parent, f) {}
    ~DialogWindow() override;
    std::unique_ptr<Dialog> owned; // modeless dialogs belong to their window
    bool modal = false;
    bool closing = false;
    bool destroyed = false;
    bool scrolled = false; // the dialog is drawn on a surface that scrolls inside

    void finish(int result) {
        if (modal) {
            QDialog::done(result);
        } else {
            closing = true;
            close();
        }
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (scrolled) QDialog::paintEvent(e);
        else Surface<QDialog>::paintEvent(e);
    }
    void reject() override { host->dlg.onEscape(); } // the Esc key
    void accept() override { host->dlg.dispatch(IdOk, Notify::Clicked); }
    void closeEvent(QCloseEvent* e) override {
        if (closing || !host) {
            if (!modal && host && !destroyed) {
                destroyed = true;
                host->stopAllTimers();
                host->dlg.onDestroy();
            }
            e->accept();
            return;
        }
        // The close box acts as Cancel.
        e->ignore();
        host->dlg.dispatch(IdCancel, Notify::Clicked);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Space && (e->modifiers() & Qt::AltModifier) && host &&
            !host->dlg.windowMenu().empty()) {
            host->sysMenu(mapToGlobal(QPoint(0, 0)));
            return;
        }
        if (host && (e->modifiers() & Qt::AltModifier) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z &&
            host->dlg.onAltKey(char('A' + (e->key() - Qt::Key_A))))
            return;
        Surface<QDialog>::keyPressEvent(e);
    }
};

inline Host* hostOf(const Dialog& d) { return dynamic_cast<Host*>(d.view()); }
// The dialog's own window, whether the dialog is drawn on it or scrolls in it.
inline DialogWindow* dialogWindowOf(const Host& h) { return dynamic_cast<DialogWindow*>(h.surface->window()); }

// The size a window may take on the screen it opens on (near `w`, or the
// primary screen), its frame left room.
QSize roomOnScreen(const QWidget* w);

// Children must not call back into a dialog that is going away.
void muteChildren(QWidget* w);
// A dialog's window with its widgets, over the window of `owner`.
DialogWindow* makeWindow(Dialog& dlg, Dialog* owner);

// A property sheet's window.
class SheetWindow : public Surface<QDialog> {
public:
    using Surface<QDialog>::Surface;
    PropertySheet* sheet = nullptr;

protected:
    void reject() override { sheet->dispatch(IdCancel, Notify::Clicked); }
    void accept() override { sheet->dispatch(IdOk, Notify::Clicked); }
    void closeEvent(QCloseEvent* e) override {
        if (sheet->ended()) {
            e->accept();
            return;
        }
        e->ignore();
        sheet->dispatch(IdCancel, Notify::Clicked);
    }
};

} // namespace kv::ui::qt
