// The widget factory of the Qt backend: a dialog's widgets built from its
// template and kept in step with its control model.
#include "platform/ui/qt/QtWindows.h"

#include "platform/plot/qt/PlotWidget.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace kv::ui::qt {

void muteChildren(QWidget* w) {
    for (QWidget* c : w->findChildren<QWidget*>()) c->blockSignals(true);
}

DialogWindow::~DialogWindow() {
    muteChildren(this);
    if (host) {
        if (auto* inner = dynamic_cast<Surface<QWidget>*>(host->surface)) inner->host = nullptr;
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
        // A one-line label as tall as its font's line: the CJK fonts' lines are
        // taller than the template's 9 units, which cut off "(V)" at the bottom.
        if (auto* l = qobject_cast<QLabel*>(w); l && c.kind == Kind::Static && !l->wordWrap())
            r.setHeight(std::max(r.height(), l->fontMetrics().height()));
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
    if (s->textColor || s->greyed) {
        const QColor color = qc(s->greyed ? kGrey : *s->textColor);
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, color);
        pal.setColor(QPalette::Text, color);
        w->setPalette(pal);
        w->setProperty("kvTinted", true);
    } else if (w->property("kvTinted").toBool()) {
        w->setPalette(QPalette());
        w->setProperty("kvTinted", false);
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
    for (const auto& item : dlg.windowMenu()) {
        if (item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        const int id = item.id;
        QAction* a = menu.addAction(qs(item.text));
        if (!item.shortcut.empty()) a->setShortcut(QKeySequence(qs(item.shortcut)));
        QObject::connect(a, &QAction::triggered, surface, [this, id] { dlg.onSysCommand(id); });
    }
    menu.exec(globalPos);
}

QSize roomOnScreen(const QWidget* w) {
    const QScreen* screen = w ? w->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // A window manager's title bar and borders, which the client size leaves out.
    constexpr int kFrameWidth = 16, kFrameHeight = 40;
    const QSize avail = screen->availableGeometry().size();
    return QSize(avail.width() - kFrameWidth, avail.height() - kFrameHeight);
}

namespace {
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
} // namespace

DialogWindow* makeWindow(Dialog& dlg, Dialog* owner) {
    QWidget* parent = owner ? QtBackend::windowOf(*owner) : nullptr;
    if (parent) parent = parent->window();
    const DialogTemplate& t = dlg.dialogTemplate();
    auto* w = new DialogWindow(parent, windowFlags(t));
    w->setWindowTitle(qs(dlg.title()));
    const QSize size(dluToPxX(t.w), dluToPxY(t.h));
    const QSize room = roomOnScreen(parent);
    QWidget* surface = w;
    if (size.width() <= room.width() && size.height() <= room.height()) {
        w->setFixedSize(size);
    } else {
        // Larger than the screen: the dialog scrolls inside a window that fits.
        auto* area = new QScrollArea(w);
        area->setFrameShape(QFrame::NoFrame);
        auto* inner = new Surface<QWidget>();
        inner->setFixedSize(size);
        area->setWidget(inner);
        auto* layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(area);
        const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
        QSize fit = size;
        if (fit.height() > room.height()) fit.rwidth() += bar;
        if (fit.width() > room.width()) fit.rheight() += bar;
        w->setFixedSize(fit.boundedTo(room));
        w->scrolled = true;
        surface = inner;
    }
    auto* host = new Host(dlg, surface);
    w->host = host;
    if (surface != w) {
        static_cast<Surface<QWidget>*>(surface)->host = host;
        host->frame = w;
    }
    surface->setMouseTracking(true); // moves reach the dialog without a button held
    if (t.style & StyleWhite) {
        QPalette pal = surface->palette();
        pal.setColor(QPalette::Window, Qt::white);
        surface->setPalette(pal);
        surface->setAutoFillBackground(true);
    }
    if (t.style & StyleBorder) w->setStyleSheet("DialogWindow{border:1px solid black;}");
    QImage icon = bitmapImage(128);
    if (!icon.isNull()) w->setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    dlg.attachView(host);
    host->build();
    return w;
}

} // namespace kv::ui::qt
