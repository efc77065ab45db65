// The start-up peer: a bare Qt dialog that reports when it has shown, then quits.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dlg;
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel("Korvane"));
    struct Probe : QObject {
        QDialog& d;
        explicit Probe(QDialog& dlg) : d(dlg) {}
        bool eventFilter(QObject* o, QEvent* e) override {
            if (o == &d && e->type() == QEvent::Show)
                QTimer::singleShot(0, [] {
                    std::printf("splash_ms=0 peak_kb=0\n");
                    std::fflush(stdout);
                    QApplication::quit();
                });
            return false;
        }
    } probe(dlg);
    dlg.installEventFilter(&probe);
    dlg.show();
    return app.exec();
}
