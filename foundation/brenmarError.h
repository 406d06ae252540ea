#pragma once

#include "platform/Exception.h"

#include <QString>

// A program error: the program cannot go on and ends.
class EProgError : public Exception {
public:
    using Exception::Exception;
};

// Invalid state found in run-time data.
class ERuntimeError : public Exception {
public:
    using Exception::Exception;
};

// The shared reporter of broken assumptions and internal errors. It composes
// the report text, asks the user through a modal dialog where going on is
// possible, and otherwise raises an error that unwinds to the top-level handler.
class TbmError {
public:
    virtual ~TbmError() = default;

    static const QString CRLF;

    virtual QString Title();
    virtual QString MessageLine(const QString& message);
    virtual QString WhereLine(const QString& where);
    // Runs before a fault is reported.
    virtual void BeforeReport() {}
    virtual QString QualifiedName(const QString& className, const QString& method);

    virtual void NotImplemented(const QString& what, const QString& where);
    virtual void Inform(const QString& message, const QString& where);
    virtual void Require(bool condition, const QString& message, const QString& where);
    virtual void Check(bool condition, const QString& message, const QString& where);
    [[noreturn]] virtual void ProgramError(const QString& message, const QString& where);
    // Asks the application to terminate and raises an error of class E.
    template <typename E>
    [[noreturn]] void ProgramErrorOfClass(const QString& message, const QString& where) {
        throw E(PrepareProgramError(message, where));
    }
    [[noreturn]] virtual void RuntimeError(const QString& message, const QString& where);
    virtual void Warning(const QString& message, const QString& where);

protected:
    // The report text: title, heading, message, place and the closing question.
    QString Compose(const QString& heading, const QString& message, const QString& where,
                    const QString& closing);
    // Asks Yes / No; on No raises the general error naming what was violated.
    void AskToContinue(const QString& heading, const QString& message, const QString& where,
                       const QString& violation);
    QString PrepareProgramError(const QString& message, const QString& where);
};

TbmError& ErrorReporter();
