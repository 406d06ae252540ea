#include "foundation/brenmarError.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/PacedClock.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {
class FatalErrorReport : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
    void TearDown() override { TestEnvironment::Reset(); }
};

// A program error inside the main loop, through the real message box: the box
// must stay up until it is answered, and only then may the program end.
void ExpectProgramErrorShownUntilAnswered(const std::function<void()>& startFault) {
    std::unique_ptr<Dialogs> scripted = Dialogs::Install(std::make_unique<QtDialogs>());
    QString shownText;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shownText = box->text();
        box->accept();
    });
    answerer.start(10);
    startFault();
    const int status = QCoreApplication::exec();
    Dialogs::Install(std::move(scripted));
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(shownText.contains("Possible program error detected!")) << shownText.toStdString();
    EXPECT_TRUE(shownText.contains("boom"));
    EXPECT_TRUE(Application::Terminated());
}
} // namespace

TEST_F(FatalErrorReport, ProgramErrorInAnEventHandlerStaysOnScreenUntilAnswered) {
    ExpectProgramErrorShownUntilAnswered([] {
        QTimer::singleShot(0, [] { ErrorReporter().ProgramError("boom", "timer event"); });
    });
}

TEST_F(FatalErrorReport, ProgramErrorInAFrameTickStaysOnScreenUntilAnswered) {
    Clock::Install(std::make_unique<PacedClock>());
    VirtualClock& scheduler = *Clock::Current().Scheduler();
    int ticks = 0;
    const VirtualClock::TimerId id = scheduler.Register([&] {
        ++ticks;
        ErrorReporter().ProgramError("boom", "frame tick");
    });
    ExpectProgramErrorShownUntilAnswered([&] { scheduler.Schedule(id, 1000, true); });
    EXPECT_EQ(ticks, 1) << "no game runs under the report of a fatal error";
    scheduler.Unregister(id);
    TestEnvironment::Reset();
}

