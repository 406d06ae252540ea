#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <exception>

class QEvent;
class QObject;

// The application object of the program: its title, the terminating flag,
// nested message processing and posted events. All of it is static, so the
// game code can reach it without holding the QApplication.
class Application {
public:
    static QString Title();
    static void SetTitle(const QString& title);

    // Terminate asks the program to end: the main loop quits when control
    // returns to it, and every nested wait stops early.
    static bool Terminated();
    static void Terminate();
    static void ResetTerminated();

    // One turn of a message loop: handles the pending events, then runs the
    // timer ticks that are due now, or else the next due tick (in virtual time
    // at once, in paced time when the wall clock reaches it, handling events
    // meanwhile; an event may end the wait first). Never waits for input.
    static void ProcessMessages();
    // For waiting loops: what ProcessMessages does; when no timer is active in
    // paced time, waits for the next event instead.
    static void HandleMessage();

    static void PostEvent(QObject* receiver, QEvent* event);

    // What the top-level handler does with an error that escaped an event
    // handler: shows its text, except for the silent abort.
    static void ShowException(std::exception_ptr error);
};

// QApplication whose notify is the top-level handler: no exception ever
// crosses Qt code.
class KolvexApplication : public QApplication {
public:
    KolvexApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program without a desktop (the simulator, the benchmarks): the
// offscreen platform, and a runtime folder of its own when none is set. Made
// before the application object; the folder lasts as long as this does.
class HeadlessEnvironment {
public:
    HeadlessEnvironment();

private:
    QTemporaryDir Runtime;
};

// Virtual time, and dialogs answered as if Enter were pressed.
void InstallHeadlessServices();

// Runs an action, handing any error it throws to the top-level handler.
template <typename F> void RunGuarded(F&& action) {
    try {
        action();
    } catch (...) {
        Application::ShowException(std::current_exception());
    }
}
