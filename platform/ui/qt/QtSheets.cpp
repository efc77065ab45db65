// Property sheets in the Qt backend: the pages as tabs of one modal window.
#include "platform/ui/qt/QtWindows.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv::ui {

using namespace qt;

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
    for (Dialog* page : sheet.pages()) {
        maxW = std::max(maxW, dluToPxX(page->dialogTemplate().w));
        maxH = std::max(maxH, dluToPxY(page->dialogTemplate().h));
    }
    // Room for the tab bar and the buttons below the pages.
    constexpr int kChromeWidth = 24, kChromeHeight = 40 + 48;
    const QSize room = roomOnScreen(parent);
    const bool scroll = maxW + kChromeWidth > room.width() || maxH + kChromeHeight > room.height();
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
        if (scroll) {   // larger than the screen: each page scrolls in its tab
            auto* area = new QScrollArea();
            area->setFrameShape(QFrame::NoFrame);
            area->setWidget(surface);
            tabs->addTab(area, qs(t.caption));
        } else {
            tabs->addTab(surface, qs(t.caption));
        }
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
    if (scroll)
        win.setFixedSize(QSize(maxW + kChromeWidth, maxH + kChromeHeight).boundedTo(room));
    else
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

} // namespace kv::ui
