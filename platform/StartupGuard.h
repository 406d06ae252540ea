#pragma once

// While the application and its connection to the window system are made,
// a fatal Qt message (no display to open, no usable platform plugin) ends
// the program with a clear message and status 1, not with an abort and a
// core dump. Afterwards Qt's handling of messages is as before.
class StartupGuard {
public:
    StartupGuard();
    ~StartupGuard();
    StartupGuard(const StartupGuard&) = delete;
    StartupGuard& operator=(const StartupGuard&) = delete;
};
