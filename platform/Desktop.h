#pragma once

#include <QString>
#include <functional>

// Opens an address (a web page, a mail message, a document) with the
// desktop's handler. Tests replace the opener.
class Desktop {
public:
    using Opener = std::function<bool(const QString& address)>;
    // True when a handler was started.
    static bool OpenAddress(const QString& address);
    // Opens a local document with the handler the desktop has for its type,
    // and tells `done` whether that worked: later, once xdg-open has found a
    // handler and started it or has given up; at once where the desktop
    // cannot say (no xdg-open) or an opener of the tests is installed.
    static void OpenDocument(const QString& file, std::function<void(bool opened)> done);
    // Installs another opener; returns the previous one (empty for the
    // desktop's own). An empty opener restores the desktop's.
    static Opener SetOpener(Opener opener);
};
