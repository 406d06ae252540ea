#include "ui/HelpLinks.h"

#include "foundation/Error_KX.h"
#include "platform/Desktop.h"

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

} // namespace HelpLinks
