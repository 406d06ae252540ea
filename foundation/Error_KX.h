#pragma once

#include "foundation/brenmarError.h"

#include <functional>

// The program's own reporter: before a fault is reported it saves the
// current game recording, so the game that led to it can be replayed.
class TPrjError : public TbmError {
public:
    // Saves the current recording to the named file; does nothing when no
    // recorder exists. Installed by the recording holder.
    using DumpHook = std::function<void(const QString& fileName)>;
    static void SetDumpHook(DumpHook hook);

    // The dump file: Kolvex.rep in the temporary folder.
    static QString DumpFileName();

    void BeforeReport() override;
};

TPrjError& ProjectErrorReporter();
