#include "platform/ui/qt/QtBackend.h"

#include "platform/plot/qt/PlotWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPolygon>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace kv::ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string us(const QString& s) { return s.toUtf8().toStdString(); }
QColor qc(Color c) { return QColor(c.r, c.g, c.b); }
QRect pxRect(const ControlTemplate& c) {
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
};

// The window side of one dialog: its widgets and its timers.
class Host : public View {
public:
    Host(Dialog& d, QWidget* surface) : dlg(d), surface(surface) {}
    ~Host() override = default;

    void build();
    void controlChanged(int id) override { sync(id); }
    void titleChanged() override {
        if (surface->isWindow()) surface->setWindowTitle(qs(dlg.title()));
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
    std::map<int, QWidget*> widgets;
    std::map<int, int> timers; // dialog timer id -> Qt timer id
};

template <class Base>
void Surface<Base>::paintEvent(QPaintEvent* e) {
    Base::paintEvent(e);
    if (!host) return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    host->paint(p);
}

template <class Base>
void Surface<Base>::mouseReleaseEvent(QMouseEvent* e) {
    if (host && e->button() == Qt::LeftButton) {
        const QPoint pt = e->position().toPoint();
        host->dlg.onLButtonUp(pt.x(), pt.y());
    }
    Base::mouseReleaseEvent(e);
}

template <class Base>
void Surface<Base>::mouseMoveEvent(QMouseEvent* e) {
    if (host) {
        const QPoint pt = e->position().toPoint();
        host->dlg.onMouseMove(pt.x(), pt.y());
    }
    Base::mouseMoveEvent(e);
}

template <class Base>
void Surface<Base>::contextMenuEvent(QContextMenuEvent* e) {
    if (host && !host->dlg.sysMenu().empty() && this->isWindow()) host->sysMenu(e->globalPos());
    else Base::contextMenuEvent(e);
}

template <class Base>
void Surface<Base>::timerEvent(QTimerEvent* e) {
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

    void finish(int result) {
        if (modal) {
            QDialog::done(result);
        } else {
            closing = true;
            close();
        }
    }

protected:
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
            !host->dlg.sysMenu().empty()) {
            host->sysMenu(mapToGlobal(QPoint(0, 0)));
            return;
        }
        QDialog::keyPressEvent(e);
    }
};

Host* hostOf(const Dialog& d) { return dynamic_cast<Host*>(d.view()); }

// Children must not call back into a dialog that is going away.
void muteChildren(QWidget* w) {
    for (QWidget* c : w->findChildren<QWidget*>()) c->blockSignals(true);
}

DialogWindow::~DialogWindow() {
    muteChildren(this);
    if (host) {
        Dialog& d = host->dlg;
        host->stopAllTimers();
        if (!modal && !destroyed) {
            destroyed = true;
            d.onDestroy();
        }
        d.attachView(nullptr);
        delete host;
        host = nullptr;
    }
    // Children (modeless windows owned by this one) are destroyed by QObject after us.
}

void Host::build() {
    std::vector<QWidget*> groups;
    for (auto& st : dlg.controls()) {
        const ControlTemplate& c = st.tpl;
        const int id = c.id;
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Button:
        case Kind::DefButton: {
            auto* b = new QPushButton(qs(c.caption), surface);
            b->setAutoDefault(false);
            if (c.kind == Kind::DefButton) b->setDefault(true);
            QObject::connect(b, &QPushButton::clicked, surface,
                             [this, id] { dlg.dispatch(id, Notify::Clicked); });
            w = b;
            break;
        }
        case Kind::Edit:
            if (c.style & StyleMultiline) {
                auto* e = new QPlainTextEdit(surface);
                e->setReadOnly(c.style & StyleReadOnly);
                QObject::connect(e, &QPlainTextEdit::textChanged, surface, [this, id, e] {
                    if (ControlState* s = dlg.control(id)) s->text = us(e->toPlainText());
                    dlg.dispatch(id, Notify::Changed);
                });
                w = e;
            } else {
                auto* e = new QLineEdit(surface);
                e->setReadOnly(c.style & StyleReadOnly);
                if (c.style & StylePassword) e->setEchoMode(QLineEdit::Password);
                if (c.style & StyleCenter) e->setAlignment(Qt::AlignCenter);
                if (c.style & StyleRight) e->setAlignment(Qt::AlignRight);
                QObject::connect(e, &QLineEdit::textEdited, surface, [this, id](const QString& t) {
                    if (ControlState* s = dlg.control(id)) s->text = us(t);
                    dlg.dispatch(id, Notify::Changed);
                });
                QObject::connect(e, &QLineEdit::editingFinished, surface,
                                 [this, id] { dlg.dispatch(id, Notify::KillFocus); });
                e->installEventFilter(new FocusWatch(e, [this, id] { dlg.dispatch(id, Notify::SetFocus); }));
                w = e;
            }
            break;
        case Kind::Static: {
            auto* l = new QLabel(surface);
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(c.h > 12 || c.caption.find('\n') != std::string::npos);
            Qt::Alignment a = Qt::AlignTop;
            a |= (c.style & StyleCenter) ? Qt::AlignHCenter
                 : (c.style & StyleRight) ? Qt::AlignRight
                                          : Qt::AlignLeft;
            l->setAlignment(a);
            l->setAttribute(Qt::WA_TransparentForMouseEvents);
            w = l;
            break;
        }
        case Kind::Group: {
            auto* g = new QGroupBox(qs(c.caption), surface);
            g->setAttribute(Qt::WA_TransparentForMouseEvents);
            groups.push_back(g);
            w = g;
            break;
        }
        case Kind::Check: {
            auto* b = new QCheckBox(qs(c.caption), surface);
            QObject::connect(b, &QCheckBox::clicked, surface, [this, id](bool on) {
                if (ControlState* s = dlg.control(id)) s->checked = on;
                dlg.dispatch(id, Notify::Clicked);
            });
            w = b;
            break;
        }
        case Kind::Radio: {
            auto* b = new QRadioButton(qs(c.caption), surface);
            b->setAutoExclusive(false);
            QObject::connect(b, &QRadioButton::clicked, surface, [this, id] {
                dlg.clickRadio(id);
                sync(id);
                dlg.dispatch(id, Notify::Clicked);
            });
            w = b;
            break;
        }
        case Kind::Combo: {
            auto* b = new QComboBox(surface);
            b->setEditable(!(c.style & StyleDropDownList));
            QObject::connect(b, &QComboBox::activated, surface, [this, id](int index) {
                if (ControlState* s = dlg.control(id)) {
                    s->selected = index;
                    if (index >= 0 && index < int(s->items.size())) s->text = s->items[index][0];
                }
                dlg.dispatch(id, Notify::SelChange);
            });
            if (b->isEditable())
                QObject::connect(b, &QComboBox::editTextChanged, surface, [this, id](const QString& t) {
                    if (ControlState* s = dlg.control(id)) s->text = us(t);
                    dlg.dispatch(id, Notify::Changed);
                });
            w = b;
            break;
        }
        case Kind::List: {
            auto* t = new QTreeWidget(surface);
            t->setRootIsDecorated(false);
            t->setUniformRowHeights(true);
            t->setSelectionMode(QAbstractItemView::SingleSelection);
            t->setAllColumnsShowFocus(true);
            QObject::connect(t, &QTreeWidget::itemSelectionChanged, surface, [this, id, t] {
                if (ControlState* s = dlg.control(id)) {
                    auto sel = t->selectedItems();
                    s->selected = sel.isEmpty() ? -1 : t->indexOfTopLevelItem(sel.front());
                }
                dlg.dispatch(id, Notify::SelChange);
            });
            QObject::connect(t, &QTreeWidget::itemDoubleClicked, surface,
                             [this, id] { dlg.dispatch(id, Notify::DblClick); });
            // Queued: the handler may rebuild the list under the clicked row.
            QObject::connect(t, &QTreeWidget::itemClicked, surface,
                             [this, id] { dlg.dispatch(id, Notify::Clicked); }, Qt::QueuedConnection);
            w = t;
            break;
        }
        case Kind::Progress: {
            auto* p = new QProgressBar(surface);
            p->setTextVisible(false);
            w = p;
            break;
        }
        case Kind::Picture: {
            auto* l = new QLabel(surface);
            QImage img = bitmapImage(std::atoi(c.caption.c_str()));
            if (!img.isNull()) l->setPixmap(QPixmap::fromImage(img));
            l->setScaledContents(c.style & StyleBitmap);
            w = l;
            break;
        }
        case Kind::Plot:
            w = new plot::PlotWidget(surface);
            break;
        }
        QRect r = pxRect(c);
        if (c.kind == Kind::Combo) r.setHeight(std::min(r.height(), 24)); // height of the closed box
        w->setGeometry(r);
        w->setObjectName(QString::number(id));
        if (auto* l = qobject_cast<QLabel*>(w); l && c.kind == Kind::Static) l->setText(qs(st.text));
        w->setEnabled(st.enabled);
        w->setVisible(st.visible);
        if (id != -1) widgets.emplace(id, w);
    }
    for (QWidget* g : groups) g->lower();
    for (const auto& [id, w] : widgets) sync(id);
}

void Host::sync(int id) {
    auto it = widgets.find(id);
    const ControlState* s = dlg.control(id);
    if (it == widgets.end() || !s) return;
    QWidget* w = it->second;
    QSignalBlocker block(w);
    if (s->textColor) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, qc(*s->textColor));
        pal.setColor(QPalette::Text, qc(*s->textColor));
        w->setPalette(pal);
    }
    w->setEnabled(s->enabled);
    w->setVisible(s->visible);
    switch (s->tpl.kind) {
    case Kind::Button:
    case Kind::DefButton:
        static_cast<QPushButton*>(w)->setText(qs(s->text));
        break;
    case Kind::Edit:
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != qs(s->text)) e->setText(qs(s->text));
        } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
            if (m->toPlainText() != qs(s->text)) m->setPlainText(qs(s->text));
        }
        break;
    case Kind::Static:
        static_cast<QLabel*>(w)->setText(qs(s->text));
        break;
    case Kind::Group:
        static_cast<QGroupBox*>(w)->setTitle(qs(s->text));
        break;
    case Kind::Check:
    case Kind::Radio:
        static_cast<QAbstractButton*>(w)->setText(qs(s->text));
        static_cast<QAbstractButton*>(w)->setChecked(s->checked);
        break;
    case Kind::Combo: {
        auto* b = static_cast<QComboBox*>(w);
        b->clear();
        for (const auto& row : s->items) b->addItem(qs(row.empty() ? std::string() : row[0]));
        b->setCurrentIndex(s->selected);
        if (b->isEditable()) b->setEditText(qs(s->text));
        break;
    }
    case Kind::List: {
        auto* t = static_cast<QTreeWidget*>(w);
        t->clear();
        QStringList heads;
        for (const auto& h : s->columns) heads << qs(h);
        t->setColumnCount(std::max<int>(1, int(heads.size())));
        t->setHeaderHidden(heads.isEmpty());
        if (!heads.isEmpty()) t->setHeaderLabels(heads);
        for (size_t k = 0; k < s->columnWidths.size(); ++k) t->setColumnWidth(int(k), s->columnWidths[k]);
        for (size_t r = 0; r < s->items.size(); ++r) {
            QStringList cells;
            for (const auto& cell : s->items[r]) cells << qs(cell);
            auto* item = new QTreeWidgetItem(cells);
            if (r < s->rowColors.size() && !(s->rowColors[r] == Color{}))
                for (int k = 0; k < cells.size(); ++k) item->setForeground(k, qc(s->rowColors[r]));
            if (r < s->rowBackgrounds.size())
                for (int k = 0; k < cells.size(); ++k) item->setBackground(k, qc(s->rowBackgrounds[r]));
            t->addTopLevelItem(item);
        }
        if (s->selected >= 0 && s->selected < t->topLevelItemCount())
            t->topLevelItem(s->selected)->setSelected(true);
        break;
    }
    case Kind::Progress: {
        auto* p = static_cast<QProgressBar*>(w);
        p->setRange(s->lo, s->hi);
        p->setValue(s->pos);
        break;
    }
    case Kind::Picture:
        break;
    case Kind::Plot:
        if (s->plot) static_cast<plot::PlotWidget*>(w)->show(s->plot);
        break;
    }
}

void Host::sysMenu(const QPoint& globalPos) {
    QMenu menu(surface);
    for (const auto& item : dlg.sysMenu()) {
        if (item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        const int id = item.id;
        QAction* a = menu.addAction(qs(item.text));
        QObject::connect(a, &QAction::triggered, surface, [this, id] { dlg.onSysCommand(id); });
    }
    menu.exec(globalPos);
}

Qt::WindowFlags windowFlags(const DialogTemplate& t) {
    Qt::WindowFlags f = Qt::Dialog;
    if (t.style & StyleCaption) {
        f |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        if (t.style & StyleSysMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (t.style & StyleMinimizeBox) f |= Qt::WindowMinimizeButtonHint;
    } else {
        f |= Qt::FramelessWindowHint;
    }
    return f;
}

DialogWindow* makeWindow(Dialog& dlg, Dialog* owner) {
    QWidget* parent = owner ? QtBackend::windowOf(*owner) : nullptr;
    if (parent) parent = parent->window();
    const DialogTemplate& t = dlg.dialogTemplate();
    auto* w = new DialogWindow(parent, windowFlags(t));
    auto* host = new Host(dlg, w);
    w->host = host;
    w->setWindowTitle(qs(dlg.title()));
    w->setFixedSize(dluToPxX(t.w), dluToPxY(t.h));
    w->setMouseTracking(true); // moves reach the dialog without a button held
    if (t.style & StyleWhite) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, Qt::white);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    }
    if (t.style & StyleBorder) w->setStyleSheet("DialogWindow{border:1px solid black;}");
    QImage icon = bitmapImage(128);
    if (!icon.isNull()) w->setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    dlg.attachView(host);
    host->build();
    return w;
}

} // namespace

QtBackend::QtBackend() = default;
QtBackend::~QtBackend() {
    if (&backend() == this) setBackend(nullptr);
}

QWidget* QtBackend::windowOf(const Dialog& d) {
    Host* h = hostOf(d);
    return h ? h->surface : nullptr;
}

QWidget* QtBackend::createWindow(Dialog& dlg, Dialog* owner) {
    DialogWindow* w = makeWindow(dlg, owner);
    dlg.initialize();
    return w;
}

QImage QtBackend::grab(Dialog& dlg) {
    QWidget* w = windowOf(dlg);
    if (!w) return {};
    w->ensurePolished();
    return w->grab().toImage();
}

int QtBackend::runModal(Dialog& dlg, Dialog* owner) {
    dlg.resetEnded();
    DialogWindow* w = makeWindow(dlg, owner);
    w->modal = true;
    QPointer<DialogWindow> guard(w);
    dlg.initialize();
    if (!dlg.ended()) w->exec();
    if (guard) {
        w->host->stopAllTimers();
        dlg.onDestroy();
        delete w;
    }
    return dlg.result();
}

Dialog& QtBackend::openModeless(std::unique_ptr<Dialog> dlg, Dialog* owner) {
    Dialog& d = *dlg;
    DialogWindow* w = makeWindow(d, owner);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->owned = std::move(dlg);
    d.initialize();
    if (!w->closing) w->show();
    return d;
}

namespace {
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
} // namespace

int QtBackend::runSheet(PropertySheet& sheet, Dialog* owner) {
    sheet.resetEnded();
    QWidget* parent = owner ? windowOf(*owner) : nullptr;
    SheetWindow win(parent ? parent->window() : nullptr,
                    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    win.sheet = &sheet;
    auto* host = new Host(sheet, &win);
    win.host = host;
    sheet.attachView(host);
    win.setWindowTitle(qs(sheet.title()));
    auto* layout = new QVBoxLayout(&win);
    auto* tabs = new QTabWidget(&win);
    tabs->setUsesScrollButtons(false); // every tab in sight: the sheet widens to hold them
    layout->addWidget(tabs);
    int maxW = 0, maxH = 0;
    std::vector<Host*> pageHosts;
    for (Dialog* page : sheet.pages()) {
        const DialogTemplate& t = page->dialogTemplate();
        auto* surface = new Surface<QWidget>();
        surface->setFixedSize(dluToPxX(t.w), dluToPxY(t.h));
        surface->setMouseTracking(true);
        auto* h = new Host(*page, surface);
        surface->host = h;
        page->attachView(h);
        h->build();
        pageHosts.push_back(h);
        tabs->addTab(surface, qs(t.caption));
        maxW = std::max(maxW, dluToPxX(t.w));
        maxH = std::max(maxH, dluToPxY(t.h));
    }
    QDialogButtonBox* box = nullptr;
    if (!sheet.hideButtons) {
        box = new QDialogButtonBox(&win);
        auto* ok = box->addButton("确定", QDialogButtonBox::AcceptRole);
        auto* cancel = box->addButton("取消", QDialogButtonBox::RejectRole);
        QObject::connect(ok, &QPushButton::clicked, &win, [&] { sheet.dispatch(IdOk, Notify::Clicked); });
        QObject::connect(cancel, &QPushButton::clicked, &win,
                         [&] { sheet.dispatch(IdCancel, Notify::Clicked); });
        if (!sheet.hideApply) box->addButton("应用(&A)", QDialogButtonBox::ApplyRole);
        if (!sheet.hideHelp) box->addButton("帮助", QDialogButtonBox::HelpRole);
        layout->addWidget(box);
    }
    sheet.initialize();
    QObject::connect(tabs, &QTabWidget::currentChanged, &win, [&](int i) { sheet.setActivePage(i); });
    if (!sheet.pages().empty()) {
        tabs->setCurrentIndex(sheet.activePage());
        sheet.setActivePage(sheet.activePage());
    }
    win.setFixedSize(win.sizeHint().expandedTo(QSize(maxW + 24, maxH + 40)));
    if (!sheet.ended()) win.exec();
    muteChildren(&win);
    for (size_t i = 0; i < pageHosts.size(); ++i) {
        Dialog* page = sheet.pages()[i];
        pageHosts[i]->stopAllTimers();
        if (page->initialized()) page->onDestroy();
        page->attachView(nullptr);
        static_cast<Surface<QWidget>*>(pageHosts[i]->surface)->host = nullptr;
        delete pageHosts[i];
    }
    sheet.onDestroy();
    host->stopAllTimers();
    sheet.attachView(nullptr);
    win.host = nullptr;
    delete host;
    return sheet.result();
}

void QtBackend::endDialog(Dialog& dlg, int result) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) w->finish(result);
    else if (auto* s = dynamic_cast<SheetWindow*>(h->surface)) s->done(result);
}

void QtBackend::closeWindow(Dialog& dlg) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) w->finish(IdCancel);
}

int QtBackend::messageBox(Dialog* owner, std::string_view text, std::string_view caption, Icon icon,
                          Buttons buttons) {
    QWidget* parent = owner ? windowOf(*owner) : nullptr;
    QMessageBox box(parent ? parent->window() : nullptr);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    std::map<QAbstractButton*, int> answers;
    auto add = [&](const char* label, QMessageBox::ButtonRole role, int answer) {
        answers[box.addButton(QString::fromUtf8(label), role)] = answer;
    };
    switch (buttons) {
    case Buttons::Ok: add("确定", QMessageBox::AcceptRole, IdOk); break;
    case Buttons::OkCancel:
        add("确定", QMessageBox::AcceptRole, IdOk);
        add("取消", QMessageBox::RejectRole, IdCancel);
        break;
    case Buttons::YesNo:
        add("是(&Y)", QMessageBox::YesRole, IdYes);
        add("否(&N)", QMessageBox::NoRole, IdNo);
        break;
    case Buttons::YesNoCancel:
        add("是(&Y)", QMessageBox::YesRole, IdYes);
        add("否(&N)", QMessageBox::NoRole, IdNo);
        add("取消", QMessageBox::RejectRole, IdCancel);
        break;
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end()) return it->second;
    return buttons == Buttons::Ok ? IdOk : buttons == Buttons::YesNo ? IdNo : IdCancel;
}

void QtBackend::setTimer(Dialog& dlg, int id, int periodMs) {
    if (Host* h = hostOf(dlg)) h->startTimer(id, std::max(1, periodMs));
}

void QtBackend::killTimer(Dialog& dlg, int id) {
    if (Host* h = hostOf(dlg)) h->stopTimer(id);
}

bool QtBackend::shellOpen(const std::string& path) {
    QFileInfo fi(qs(path));
    if (!fi.exists()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absoluteFilePath()));
}

bool QtBackend::startDetached(const std::string& path) {
    QFileInfo fi(qs(path));
    if (!fi.isFile() || !fi.isExecutable()) return false;
    return QProcess::startDetached(fi.absoluteFilePath(), {});
}

std::optional<std::string> QtBackend::fileDialog(Dialog* owner, const FileDialogRequest& req) {
    QWidget* parent = owner ? windowOf(*owner) : nullptr;
    QFileDialog fd(parent ? parent->window() : nullptr, qs(req.title));
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setAcceptMode(req.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(req.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!req.filter.empty()) fd.setNameFilter(qs(req.filter));
    if (!req.defaultExt.empty()) fd.setDefaultSuffix(qs(req.defaultExt));
    if (!req.defaultName.empty()) fd.selectFile(qs(req.defaultName));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
    return us(fd.selectedFiles().front());
}

void QtBackend::forget(Dialog& dlg) {
    Host* h = hostOf(dlg);
    if (!h) return;
    // The dialog object goes before its window: the window must not call back.
    h->stopAllTimers();
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) {
        muteChildren(w);
        w->host = nullptr;
        dlg.attachView(nullptr);
        delete h;
        if (!w->owned) w->deleteLater();
    }
}

// ---------------------------------------------------------------- canvas

QtCanvas::QtCanvas(QPainter& p) : p_(p) {}

void QtCanvas::setPen(Color c, int width, PenStyle style) {
    QPen pen(qc(c));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    if (style == PenStyle::Dot) pen.setStyle(Qt::DotLine);
    p_.setPen(pen);
}

void QtCanvas::line(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

void QtCanvas::polyline(std::span<const Point> points) {
    QPolygon poly(qsizetype(points.size()));
    for (qsizetype i = 0; i < poly.size(); ++i) poly[i] = QPoint(points[i].x, points[i].y);
    p_.drawPolyline(poly);
}

void QtCanvas::setClip(const Rect* r) {
    if (r) p_.setClipRect(QRect(r->left, r->top, r->width(), r->height()));
    else p_.setClipping(false);
}

void QtCanvas::setFont(std::string_view face, int tenths) { p_.setFont(fontFor(face, tenths)); }

void QtCanvas::setTextColor(Color c) { text_ = c; }

void QtCanvas::setTransparent(bool on) { transparent_ = on; }

void QtCanvas::text(int x, int y, std::string_view s) {
    const QString t = qs(s);
    QFontMetrics fm(p_.font());
    if (!transparent_) p_.fillRect(QRect(x, y, fm.horizontalAdvance(t), fm.height()), Qt::white);
    QPen keep = p_.pen();
    p_.setPen(qc(text_));
    p_.drawText(QPoint(x, y + fm.ascent()), t);
    p_.setPen(keep);
}

void QtCanvas::stretchBitmap(int id, const Rect& dst, const Rect& src) {
    QImage img = bitmapImage(id);
    if (img.isNull()) return;
    // Source rectangles beyond the picture stretch what there is.
    QRectF s(src.left, src.top, src.width(), src.height());
    QRectF d(dst.left, dst.top, dst.width(), dst.height());
    QRectF clipped = s.intersected(QRectF(img.rect()));
    if (clipped.isEmpty()) return;
    const double sx = d.width() / s.width(), sy = d.height() / s.height();
    QRectF dd(d.left() + (clipped.left() - s.left()) * sx, d.top() + (clipped.top() - s.top()) * sy,
              clipped.width() * sx, clipped.height() * sy);
    p_.setRenderHint(QPainter::SmoothPixmapTransform);
    p_.drawImage(dd, img, clipped);
}

void QtCanvas::fill(const Rect& r, Color c) {
    p_.fillRect(QRect(r.left, r.top, r.width(), r.height()), qc(c));
}

void QtCanvas::icon(int id, int x, int y) {
    QImage img = bitmapImage(id);
    if (!img.isNull()) p_.drawImage(QPoint(x, y), img);
}

QImage bitmapImage(int id) {
    static std::map<int, QImage> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    QImage img;
    if (const BitmapInfo* b = findBitmap(id)) img.load(":/bitmaps/" + qs(b->file));
    cache[id] = img;
    return img;
}

} // namespace kv::ui
