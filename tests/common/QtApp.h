// The one QApplication of a Qt test program, with the program's fonts.
#pragma once

#include "platform/ui/qt/QtBackend.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace kv::test {

// The offscreen platform's screen: KV_TEST_SCREEN ("1366x768"), else 1920x1080
// (the platform's own is 800x600, smaller than any desktop the program meets).
// Returns the file the platform reads as it starts, to remove after.
inline std::string offscreenScreen() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::string(platform) != "offscreen") return {};
    int w = 1920, h = 1080;
    if (const char* s = std::getenv("KV_TEST_SCREEN")) std::sscanf(s, "%dx%d", &w, &h);
    const std::string path = "/tmp/kv_screen_" + std::to_string(w) + "x" + std::to_string(h) + "_" +
                             std::to_string(getpid()) + ".json";
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        std::fprintf(f,
                     "{\"screens\":[{\"name\":\"kv\",\"x\":0,\"y\":0,\"width\":%d,\"height\":%d,"
                     "\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}\n",
                     w, h);
        std::fclose(f);
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
    }
    return path;
}

// A window manager's title bar and borders around a window's client area.
inline constexpr int kFrameWidth = 16, kFrameHeight = 40;

// Runs the tests matching `filter` again in a program whose offscreen screen is `size`
// ("1366x768"); true inside that program, false (after checking its result) in this one.
inline bool onScreen(const std::string& size, const std::string& filter) {
    const char* screen = std::getenv("KV_TEST_SCREEN");
    if (screen && std::string(screen) == size) return true;
    const std::string cmd = "KV_TEST_SCREEN=" + size + " QT_QPA_PLATFORM=offscreen /proc/" + std::to_string(getpid()) +
                            "/exe --gtest_filter='" + filter + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "the " << size << " run failed: " << cmd;
    return false;
}

inline QApplication* qtApp() {
    static int argc = 1;
    static char name[] = "kv_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        const std::string screen = offscreenScreen();
        auto* q = new QApplication(argc, argv);
        if (!screen.empty()) {   // programs the tests start choose their own screen
            std::remove(screen.c_str());
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        ui::installFonts();
        return q;
    }();
    return a;
}

} // namespace kv::test
