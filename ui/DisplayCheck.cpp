#include "ui/DisplayCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QCoreApplication>
#include <QtGlobal>

namespace {

const char* g_noDisplayText = "";
QtMessageHandler g_qtHandler = nullptr;

void sayNoDisplay() {
    std::fputs(g_noDisplayText, stderr);
    std::fflush(stderr);
}

// A display named but not reachable (a closed X server, a broken forwarding) is fatal to Qt
// while it starts; any later fatal message is someone else's and keeps Qt's handling.
void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && QCoreApplication::startingUp()) {
        sayNoDisplay();
        std::_Exit(2);
    }
    if (g_qtHandler)
        g_qtHandler(type, context, message);
}

bool namesPlatform(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

bool namesDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

bool checkForDisplay(int argc, char** argv, const char* noDisplayText) {
    g_noDisplayText = noDisplayText;
    if (!namesPlatform(argc, argv) && !namesDisplay()) {
        sayNoDisplay();
        return false;
    }
    g_qtHandler = qInstallMessageHandler(handleMessage);
    return true;
}
