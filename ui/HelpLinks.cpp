#include "ui/HelpLinks.h"

#include "foundation/Error_KX.h"
#include "platform/Desktop.h"
#include "ui/GameFiles.h"
#include "ui/ReadMeKeys_KX.h"
#include "ui/ReadMeWindow_KX.h"

#include <QDir>
#include <QFile>
#include <QPointer>

namespace HelpLinks {

void OpenWebPage(const QString& address) {
    if (Desktop::OpenAddress(QStringLiteral("http://") + address)) return;
    ErrorReporter().Inform(QStringLiteral("Unable to start your internet browser. \nThe address "
                                          "containing the information is \"%1\".")
                               .arg(address),
                           QString());
}

void WriteMail() {
    if (Desktop::OpenAddress(QStringLiteral("mailto:") + BrenmarMail +
                             QStringLiteral("?subject=Kolvex")))
        return;
    ErrorReporter().Inform(QStringLiteral("Unable to start your mail program. The e-mail address "
                                          "is \"%1\".")
                               .arg(BrenmarMail),
                           QString());
}

void OpenReadMe(QWidget* owner, const TKeyTable& keys) {
    const QString file = GameFiles::ReadMeFileName();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        ErrorReporter().Inform(QStringLiteral("The read-me \"%1\" cannot be read.")
                                   .arg(QDir::toNativeSeparators(file)),
                               QString());
        return;
    }
    const QByteArray rtf = ReadMeKeys::WithKeys(in.readAll(), keys);
    // The desktop may answer after the owner has gone.
    const auto ownWindow = [guard = QPointer<QWidget>(owner), rtf] {
        if (guard) TReadMeWindow::ShowFor(guard, rtf);
    };
    const QString copy = ReadMeKeys::WriteCopy(rtf);
    if (copy.isEmpty()) return ownWindow();
    Desktop::OpenDocument(copy, [ownWindow](bool opened) {
        if (!opened) ownWindow();
    });
}

} // namespace HelpLinks
