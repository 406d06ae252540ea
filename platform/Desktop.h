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
    // Installs another opener; returns the previous one. An empty opener restores the desktop's.
    static Opener SetOpener(Opener opener);
};
