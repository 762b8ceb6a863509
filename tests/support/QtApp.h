#pragma once

// The one QApplication of an editor test program, created on first use and kept until the
// process ends (Qt allows only one). Without a display, widgets run on the offscreen
// platform; under xvfb-run they get real windows.

#include <QApplication>

inline void EnsureQtApp() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "editor_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
