#include "platform/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
bool OpenWithDesktop(const QString& address) {
    const bool isFile = !address.contains(QStringLiteral(":")) || QFileInfo::exists(address);
    const QUrl url = isFile ? QUrl::fromLocalFile(address) : QUrl(address);
    return QDesktopServices::openUrl(url);
}
Desktop::Opener& Current() {
    static Desktop::Opener opener = OpenWithDesktop;
    return opener;
}
} // namespace

bool Desktop::OpenAddress(const QString& address) { return Current()(address); }

Desktop::Opener Desktop::SetOpener(Opener opener) {
    Opener previous = Current();
    Current() = opener ? std::move(opener) : Opener(OpenWithDesktop);
    return previous;
}
