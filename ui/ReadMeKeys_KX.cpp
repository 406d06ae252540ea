#include "ui/ReadMeKeys_KX.h"

#include "persistence/KeyTable_KX.h"
#include "platform/KeyNames.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStandardPaths>

namespace {
// The rows' captions, by action code, as the read-me writes them.
const char* const RowCaptions[TKeyTable::PlayerKeys] = {"Move left", "Move right", "Turn the brick",
                                                        "Drop the brick"};

// RTF is 7-bit: anything beyond is written as a Unicode escape.
QByteArray Rtf(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += c.toLatin1();
        } else if (c.unicode() < 128) {
            out += c.toLatin1();
        } else {
            out += "\\u" + QByteArray::number(static_cast<short>(c.unicode())) + '?';
        }
    }
    return out;
}

// A row "{\pard... Caption\tab first\tab second\par}" with its keys replaced.
QByteArray RowWithKeys(const QByteArray& row, const QByteArray& caption, const QByteArray& keys) {
    const QByteArray start = ' ' + caption + "\\tab ";
    const qsizetype at = row.indexOf(start);
    const qsizetype end = row.lastIndexOf("\\par}");
    if (at < 0 || end < at) return row;
    return row.left(at + start.size()) + keys + row.mid(end);
}
} // namespace

QByteArray ReadMeKeys::WithKeys(const QByteArray& rtf, const TKeyTable& keys) {
    QList<QByteArray> lines = rtf.split('\n');
    for (QByteArray& line : lines) {
        if (!line.startsWith("{\\pard")) continue;
        for (int action = 0; action < TKeyTable::PlayerKeys; ++action) {
            const QByteArray names = Rtf(KeyNames::NameOf(keys.PlayerKey(0, action))) + "\\tab " +
                                     Rtf(KeyNames::NameOf(keys.PlayerKey(1, action)));
            line = RowWithKeys(line, RowCaptions[action], names);
        }
        // The pause row: "{\pard\sa0\tx2600 P\tab pause and resume the game\par}".
        const qsizetype pause = line.indexOf("\\tab pause and resume");
        const qsizetype open = line.indexOf(' ');
        if (pause > open && open > 0)
            line = line.left(open + 1) + Rtf(KeyNames::NameOf(keys.PauseKey())) + line.mid(pause);
    }
    return lines.join('\n');
}

QString ReadMeKeys::WriteCopy(const QByteArray& rtf) {
    // The user's own cache folder: a fixed name in a shared temporary folder
    // could be another user's file, or a link planted there.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return QString();
    const QString copy = folder + QStringLiteral("/ReadMe.rtf");
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(rtf) != rtf.size())
        return QString();
    return copy;
}
