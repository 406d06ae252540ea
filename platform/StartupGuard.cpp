#include "platform/StartupGuard.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {
QtMessageHandler previous = nullptr;

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (previous)
            previous(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    // Qt's first sentence says what failed; its advice to reinstall rarely fits.
    const QString failure = message.section('\n', 0, 0).section(QStringLiteral(". "), 0, 0);
    std::fprintf(stderr, "Kolvex cannot start: %s.\n", qPrintable(failure));
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        std::fputs("No display is set: start Kolvex from a desktop session.\n", stderr);
    else if (!display.isEmpty())
        std::fprintf(stderr, "Is the display %s running and open to you?\n", display.constData());
    std::fflush(stderr);
    std::_Exit(1);
}
} // namespace

StartupGuard::StartupGuard() {
    previous = qInstallMessageHandler(ExitOnFatal);
}

StartupGuard::~StartupGuard() {
    qInstallMessageHandler(previous);
    previous = nullptr;
}
