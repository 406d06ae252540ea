#include "platform/Application.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/PacedClock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace {
QString& TitleText() {
    static QString title = QStringLiteral("Kolvex");
    return title;
}
bool terminated = false;
// Error reports on screen: the program ends only after the player has read them.
int reportsShown = 0;

// Quitting at once would also end every loop started from then on, the
// message box of the error that asked to terminate among them: it would close
// before anyone could read it. So the quit waits until no report is open.
void QuitWhenNoReportIsOpen() {
    // A reset of the flag (a test starting afresh) takes the request back.
    if (!terminated) return;
    if (reportsShown > 0) {
        QTimer::singleShot(20, QCoreApplication::instance(), QuitWhenNoReportIsOpen);
        return;
    }
    QCoreApplication::exit(0);
}
} // namespace

QString Application::Title() { return TitleText(); }

void Application::SetTitle(const QString& title) {
    TitleText() = title;
    if (QCoreApplication::instance()) QCoreApplication::setApplicationName(title);
}

bool Application::Terminated() { return terminated; }

void Application::Terminate() {
    const bool requested = terminated;
    terminated = true;
    if (!requested && QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), QuitWhenNoReportIsOpen);
}

void Application::ResetTerminated() { terminated = false; }

// Inside a nested loop Qt's dispatcher may hold back posted events that were
// queued behind the event being handled; sending them first keeps them in order.
void Application::ProcessMessages() {
    if (QCoreApplication::instance()) {
        PacedClock::OwnLoop loop;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    if (VirtualClock* scheduler = Clock::Current().Scheduler()) scheduler->Step();
}

void Application::HandleMessage() {
    Clock& clock = Clock::Current();
    VirtualClock* scheduler = clock.Scheduler();
    if (clock.IsVirtual() || !QCoreApplication::instance() ||
        (scheduler && scheduler->HasActiveTimers())) {
        ProcessMessages();
        return;
    }
    // Nothing is scheduled: only an event can get things going.
    PacedClock::OwnLoop loop;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void Application::PostEvent(QObject* receiver, QEvent* event) {
    QCoreApplication::postEvent(receiver, event);
}

void Application::ShowException(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    ++reportsShown;
    try {
        Dialogs::Current().Message(DialogKind::Error, text, dbOK);
    } catch (...) {
        // The report itself failed; there is nobody left to tell.
    }
    --reportsShown;
}

KolvexApplication::KolvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KolvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Application::ShowException(std::current_exception());
        return true;
    }
}

HeadlessEnvironment::HeadlessEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", Runtime.path().toLocal8Bit());
}

void InstallHeadlessServices() {
    Clock::Install(std::make_unique<VirtualClock>());
    Dialogs::Install(std::make_unique<ScriptedDialogs>());
}
