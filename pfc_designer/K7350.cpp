// K7350: the boost PFC pre-regulator designer, in windows.
#include "pfc_designer/Program.h"

#include "platform/panels/qt/QtHost.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("K7350");
    kv::ui::installFonts();
    int rc;
    {
        kv::panels::QtHost host;
        kv::panels::setHost(&host);
        kv::panels::setResourceDir(QCoreApplication::applicationDirPath().toStdString());
        kv::panels::registerCallbacks(k7350::callbackTable());
        rc = k7350::run();
        k7350::resetProgram();
        kv::panels::setHost(nullptr);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
