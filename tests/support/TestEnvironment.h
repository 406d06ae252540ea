#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QString>

// What every test starts with: a fresh virtual clock, fresh scripted dialogs,
// the terminating flag cleared. Call it from a fixture's SetUp or a test's start.
struct TestEnvironment {
    static void Reset();
    static VirtualClock& Clock();
    static ScriptedDialogs& Dialogs();
    // A folder private to this test program run (removed at exit).
    static QString ScratchFolder();
};
