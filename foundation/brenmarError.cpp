#include "foundation/brenmarError.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"

const QString TbmError::CRLF = QStringLiteral("\r\n");

namespace {
const QString B = TbmError::CRLF + TbmError::CRLF;
}

QString TbmError::Title() { return Application::Title() + B; }

QString TbmError::MessageLine(const QString& message) {
    return message.isEmpty() ? QString() : QStringLiteral("Message: ") + message;
}

QString TbmError::WhereLine(const QString& where) {
    return where.isEmpty() ? QString() : QStringLiteral("(It happened at ") + where + ')';
}

QString TbmError::QualifiedName(const QString& className, const QString& method) {
    return className + '.' + method;
}

QString TbmError::Compose(const QString& heading, const QString& message, const QString& where,
                          const QString& closing) {
    return Title() + heading + B + MessageLine(message) + B + WhereLine(where) + B + closing;
}

void TbmError::NotImplemented(const QString& what, const QString& where) {
    const QString subject = what.isEmpty() ? where : what;
    Inform(subject + QStringLiteral(" is not implemented!"), where);
}

void TbmError::Inform(const QString& message, const QString& where) {
    Require(!message.isEmpty(), QStringLiteral("empty message"), QStringLiteral("MyMsg"));
    Dialogs::Current().Message(DialogKind::Information, message + CRLF + WhereLine(where), dbOK);
}

void TbmError::AskToContinue(const QString& heading, const QString& message,
                             const QString& where, const QString& violation) {
    BeforeReport();
    const QString text = Compose(heading, message, where, QStringLiteral("Continue?"));
    if (Dialogs::Current().Message(DialogKind::Information, text, dbYes | dbNo) == dbYes) return;
    throw Exception(QStringLiteral("Terminating program in ") + where +
                    QStringLiteral(". Message was: ") + message + QStringLiteral(" - ") +
                    violation + '.');
}

void TbmError::Require(bool condition, const QString& message, const QString& where) {
    if (condition) return;
    AskToContinue(QStringLiteral("Precondition violated. An unexpected condition has been found."),
                  message, where, QStringLiteral("precondition violation"));
}

void TbmError::Check(bool condition, const QString& message, const QString& where) {
    if (condition) return;
    AskToContinue(QStringLiteral("Check violated. An unexpected condition has been found."),
                  message, where, QStringLiteral("check violated"));
}

QString TbmError::PrepareProgramError(const QString& message, const QString& where) {
    BeforeReport();
    const QString text = Compose(QStringLiteral("Possible program error detected!"), message,
                                 where, QStringLiteral("Terminating program."));
    Application::Terminate();
    return text;
}

void TbmError::ProgramError(const QString& message, const QString& where) {
    ProgramErrorOfClass<EProgError>(message, where);
}

void TbmError::RuntimeError(const QString& message, const QString& where) {
    BeforeReport();
    throw ERuntimeError(
        Compose(QStringLiteral("Error during execution - invalid state found in runtime data!"),
                message, where, QStringLiteral("Terminating program.")) +
        CRLF);
}

void TbmError::Warning(const QString& message, const QString& where) {
    const QString text =
        Compose(QStringLiteral("Warning!"), message, where, QStringLiteral("Continue?"));
    if (Dialogs::Current().Message(DialogKind::Warning, text, dbYes | dbNo) == dbYes)
        throw EAbort();
    RuntimeError(message, where);
}

TbmError& ErrorReporter() {
    static TbmError reporter;
    return reporter;
}
