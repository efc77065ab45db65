// The one QApplication of a Qt test program, with the program's fonts.
#pragma once

#include "platform/ui/qt/QtBackend.h"

#include <QApplication>

namespace kv::test {

inline QApplication* qtApp() {
    static int argc = 1;
    static char name[] = "kv_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        auto* q = new QApplication(argc, argv);
        ui::installFonts();
        return q;
    }();
    return a;
}

} // namespace kv::test
