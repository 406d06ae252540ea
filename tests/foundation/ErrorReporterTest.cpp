#include "foundation/Error_KX.h"
#include "platform/Application.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QString T = QStringLiteral("Kolvex\r\n\r\n");
const QString B = QStringLiteral("\r\n\r\n");

class ErrorReporting : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Application::SetTitle(QStringLiteral("Kolvex"));
        TPrjError::SetDumpHook([this](const QString& name) { dumps.push_back(name); });
    }
    void TearDown() override { TPrjError::SetDumpHook(nullptr); }

    ScriptedDialogs& dialogs() { return TestEnvironment::Dialogs(); }
    QString lastText() { return dialogs().Log().back().Text; }

    std::vector<QString> dumps;
};

QString MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<nothing raised>");
}
} // namespace

TEST_F(ErrorReporting, ComposedTextsOfEveryFailedAssertion) {
    ErrorReporter().Require(false, "Cell occupied", "TSimplePlayfield.MoveCell");
    EXPECT_EQ(lastText(), T + "Precondition violated. An unexpected condition has been found." + B +
                              "Message: Cell occupied" + B +
                              "(It happened at TSimplePlayfield.MoveCell)" + B + "Continue?");
    ErrorReporter().Check(false, "Illegal state", "GetFallHeight");
    EXPECT_EQ(lastText(), T + "Check violated. An unexpected condition has been found." + B +
                              "Message: Illegal state" + B + "(It happened at GetFallHeight)" + B +
                              "Continue?");
    EXPECT_EQ(dialogs().Log().back().Kind, DialogKind::Information);
    EXPECT_EQ(dialogs().Log().back().Buttons, dbYes | dbNo);
}

TEST_F(ErrorReporting, EmptyMessageAndPlaceKeepTheEmptyLines) {
    ErrorReporter().Require(false, "", "");
    EXPECT_EQ(lastText(), T + "Precondition violated. An unexpected condition has been found." + B +
                              B + B + "Continue?");
}

TEST_F(ErrorReporting, NoStopsWithTheViolationNamed) {
    dialogs().QueueAnswer(dbNo);
    EXPECT_EQ(MessageOf([] { ErrorReporter().Require(false, "m", "P.Q"); }),
              "Terminating program in P.Q. Message was: m - precondition violation.");
    dialogs().QueueAnswer(dbNo);
    EXPECT_EQ(MessageOf([] { ErrorReporter().Check(false, "m", "P.Q"); }),
              "Terminating program in P.Q. Message was: m - check violated.");
}

TEST_F(ErrorReporting, HoldingConditionsShowNothing) {
    ProjectErrorReporter().Require(true, "x", "y");
    ProjectErrorReporter().Check(true, "x", "y");
    EXPECT_TRUE(dialogs().Log().empty());
    EXPECT_TRUE(dumps.empty());
}

TEST_F(ErrorReporting, ProgramErrorTerminatesAndRaisesWithoutDialog) {
    EXPECT_THROW(ErrorReporter().ProgramError("No def. keys", "3654"), EProgError);
    EXPECT_TRUE(Application::Terminated());
    EXPECT_TRUE(dialogs().Log().empty());
    Application::ResetTerminated();
    EXPECT_EQ(MessageOf([] { ErrorReporter().ProgramError("", "7326"); }),
              T + "Possible program error detected!" + B + B + "(It happened at 7326)" + B +
                  "Terminating program.");
}

TEST_F(ErrorReporting, RuntimeErrorRaisesWithoutTerminating) {
    EXPECT_EQ(MessageOf([] { ErrorReporter().RuntimeError("Failed during init", "TMainForm.FormShow"); }),
              T + "Error during execution - invalid state found in runtime data!" + B +
                  "Message: Failed during init" + B + "(It happened at TMainForm.FormShow)" + B +
                  "Terminating program.\r\n");
    EXPECT_FALSE(Application::Terminated());
}

TEST_F(ErrorReporting, WarningYesAbortsSilentlyNoRaisesRuntimeError) {
    EXPECT_THROW(ErrorReporter().Warning("Illegal value", "GenerateBrick"), EAbort);
    EXPECT_EQ(lastText(), T + "Warning!" + B + "Message: Illegal value" + B +
                              "(It happened at GenerateBrick)" + B + "Continue?");
    EXPECT_EQ(dialogs().Log().back().Kind, DialogKind::Warning);
    dialogs().QueueAnswer(dbNo);
    EXPECT_THROW(ErrorReporter().Warning("Illegal value", "GenerateBrick"), ERuntimeError);
}

TEST_F(ErrorReporting, InformAndNotImplemented) {
    ErrorReporter().NotImplemented("Music", "");
    EXPECT_EQ(lastText(), "Music is not implemented!\r\n");
    ErrorReporter().NotImplemented("", "TX.Y");
    EXPECT_EQ(lastText(), "TX.Y is not implemented!\r\n(It happened at TX.Y)");
    EXPECT_EQ(dialogs().Log().back().Buttons, dbOK);
}

TEST_F(ErrorReporting, InformWithEmptyMessageReportsThenShowsAnyway) {
    ErrorReporter().Inform("", "Here");
    ASSERT_EQ(dialogs().Log().size(), 2u);
    EXPECT_TRUE(dialogs().Log()[0].Text.contains("(It happened at MyMsg)"));
    EXPECT_EQ(dialogs().Log()[1].Text, "\r\n(It happened at Here)");
}

TEST_F(ErrorReporting, ProjectReporterDumpsOnlyForFailedReports) {
    ProjectErrorReporter().Check(false, "", "x");
    EXPECT_THROW(ProjectErrorReporter().RuntimeError("", ""), ERuntimeError);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_TRUE(dumps[0].endsWith("/Kolvex.rep"));
    ErrorReporter().Check(false, "", "x");
    EXPECT_EQ(dumps.size(), 2u);
    // The warning reports without the hook, as does a plain information.
    EXPECT_THROW(ProjectErrorReporter().Warning("", ""), EAbort);
    EXPECT_EQ(dumps.size(), 2u);
}

TEST_F(ErrorReporting, FailingDumpDoesNotHideTheReport) {
    TPrjError::SetDumpHook([](const QString&) { throw std::runtime_error("disk full"); });
    ProjectErrorReporter().Check(false, "m", "w");
    EXPECT_EQ(dialogs().Log().size(), 1u);
}

TEST_F(ErrorReporting, NoHookMeansNoDump) {
    TPrjError::SetDumpHook(nullptr);
    QFile::remove(TPrjError::DumpFileName());
    ProjectErrorReporter().Check(false, "m", "w");
    EXPECT_FALSE(QFile::exists(TPrjError::DumpFileName()));
}
