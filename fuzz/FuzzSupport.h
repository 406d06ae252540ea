#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>

// What every fuzz target shares. Each target also writes real seed files of
// its format, made by the program's own writers, when KOLVEX_FUZZ_SEEDS names
// a folder (the fuzz script does that before a run), and then ends.
namespace Fuzz {

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString SeedFolder() {
    return QString::fromLocal8Bit(qgetenv("KOLVEX_FUZZ_SEEDS"));
}

inline void WriteSeed(const QString& folder, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
}

// A finding the sanitizers cannot see: a reader that took input it should
// have refused, or handed on a value outside its range.
inline void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace Fuzz
