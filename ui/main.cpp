#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/PacedClock.h"
#include "platform/StartupGuard.h"
#include "platform/StartupLog.h"
#include "ui/CommandLine.h"
#include "ui/KolvexProgram.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    StartupLog::Mark("main");
    // The help needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(TCommandLine::Usage().toLocal8Bit().constData(), stdout);
            return 0;
        }
    // Frames hand the X server a few small rectangles: written on the
    // connection they cost less than shared memory, whose completion events
    // wake a second thread at every frame.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // A whole device pixel ratio keeps every picture pixel a whole block of the screen's pixels.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    auto guard = std::make_unique<StartupGuard>();
    KolvexApplication app(argc, argv);
    guard.reset();
    StartupLog::Mark("application");
    const TCommandLine line = TCommandLine::Parse(QCoreApplication::arguments());
    if (!line.Problem.isEmpty()) {
        std::fputs(line.Problem.toLocal8Bit().constData(), line.HelpAsked ? stdout : stderr);
        return line.HelpAsked ? 0 : 2;
    }
    if (line.Pace != 1.0) Clock::Install(std::make_unique<PacedClock>(line.Pace));
    int status = 0;
    RunGuarded([&] {
        TKolvexProgram program;
        program.SetResultsFile(line.ResultsFile);
        if (program.Start()) status = program.Run();
        program.Finish();
    });
    return status;
}
