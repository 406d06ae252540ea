#include "foundation/Error_KX.h"

#include "platform/Folders.h"

namespace {
TPrjError::DumpHook& Hook() {
    static TPrjError::DumpHook hook;
    return hook;
}
} // namespace

void TPrjError::SetDumpHook(DumpHook hook) { Hook() = std::move(hook); }

QString TPrjError::DumpFileName() {
    return Folders::TempFolder() + QStringLiteral("Kolvex.") + QStringLiteral("rep");
}

void TPrjError::BeforeReport() {
    TbmError::BeforeReport();
    if (!Hook()) return;
    try {
        Hook()(DumpFileName());
    } catch (...) {
        // A dump that cannot be written must not hide the fault being reported.
    }
}

TPrjError& ProjectErrorReporter() {
    static TPrjError reporter;
    return reporter;
}
