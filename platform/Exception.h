#pragma once

#include <QString>
#include <exception>
#include <string>

// The base of every error the program raises: an exception that carries the
// text shown to the user by the top-level handler.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toStdString()) {}
    const QString& Message() const { return FMessage; }
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMessage;
    std::string FUtf8;
};

// The silent abort: unwinds the current operation; the top-level handler shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// An index outside a checked array or grid.
class ERangeError : public Exception {
public:
    ERangeError() : Exception(QStringLiteral("Range check error")) {}
};

// An integer result that does not fit its 32-bit type.
class EIntOverflow : public Exception {
public:
    EIntOverflow() : Exception(QStringLiteral("Arithmetic overflow")) {}
};

// Adds two 32-bit values, raising EIntOverflow instead of wrapping.
int32_t CheckedAdd(int32_t a, int32_t b);
