#include "support/TestEnvironment.h"

#include "platform/Application.h"

#include <QTemporaryDir>

namespace {
VirtualClock* installedClock = nullptr;
ScriptedDialogs* installedDialogs = nullptr;
} // namespace

void TestEnvironment::Reset() {
    auto newClock = std::make_unique<VirtualClock>();
    installedClock = newClock.get();
    Clock::Install(std::move(newClock));
    auto newDialogs = std::make_unique<ScriptedDialogs>();
    installedDialogs = newDialogs.get();
    Dialogs::Install(std::move(newDialogs));
    Application::ResetTerminated();
}

VirtualClock& TestEnvironment::Clock() {
    if (!installedClock) Reset();
    return *installedClock;
}

ScriptedDialogs& TestEnvironment::Dialogs() {
    if (!installedDialogs) Reset();
    return *installedDialogs;
}

QString TestEnvironment::ScratchFolder() {
    static QTemporaryDir folder;
    return folder.path();
}
