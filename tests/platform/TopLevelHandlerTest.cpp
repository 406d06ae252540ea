#include "platform/Application.h"
#include "platform/Exception.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace {
const QEvent::Type ThrowEvent = static_cast<QEvent::Type>(QEvent::User + 101);

// Raises what it is told to from its event handler, as a game handler might.
class Thrower : public QObject {
public:
    std::function<void()> Raise;
    int Handled = 0;
    bool event(QEvent* e) override {
        if (e->type() != ThrowEvent) return QObject::event(e);
        ++Handled;
        if (Raise) Raise();
        return true;
    }
};

class TopLevelHandler : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }
};
} // namespace

TEST_F(TopLevelHandler, ShowsAnErrorAndTheLoopGoesOn) {
    Thrower thrower;
    thrower.Raise = [] { throw Exception(QStringLiteral("Something broke")); };
    Application::PostEvent(&thrower, new QEvent(ThrowEvent));
    Application::PostEvent(&thrower, new QEvent(ThrowEvent));
    Application::ProcessMessages();
    EXPECT_EQ(thrower.Handled, 2);
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 2u);
    EXPECT_EQ(TestEnvironment::Dialogs().Log()[0].Text, "Something broke");
    EXPECT_EQ(TestEnvironment::Dialogs().Log()[0].Kind, DialogKind::Error);
}

TEST_F(TopLevelHandler, SilentAbortShowsNothing) {
    Thrower thrower;
    thrower.Raise = [] { throw EAbort(); };
    Application::PostEvent(&thrower, new QEvent(ThrowEvent));
    Application::ProcessMessages();
    EXPECT_EQ(thrower.Handled, 1);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
}

TEST_F(TopLevelHandler, ForeignExceptionsAreShownToo) {
    Thrower thrower;
    thrower.Raise = [] { throw std::runtime_error("bad alloc somewhere"); };
    Application::PostEvent(&thrower, new QEvent(ThrowEvent));
    Application::ProcessMessages();
    ASSERT_EQ(TestEnvironment::Dialogs().Log().size(), 1u);
    EXPECT_EQ(TestEnvironment::Dialogs().Log()[0].Text, "bad alloc somewhere");
}

TEST_F(TopLevelHandler, TerminateRaisesTheFlagUntilReset) {
    EXPECT_FALSE(Application::Terminated());
    Application::Terminate();
    EXPECT_TRUE(Application::Terminated());
    Application::ResetTerminated();
    EXPECT_FALSE(Application::Terminated());
}

TEST(CheckedArithmetic, OverflowRaisesInsteadOfWrapping) {
    EXPECT_EQ(CheckedAdd(2147483600, 47), 2147483647);
    EXPECT_THROW(CheckedAdd(2147483647, 1), EIntOverflow);
    EXPECT_THROW(CheckedAdd(-2147483647 - 1, -1), EIntOverflow);
}
