#include "platform/PadDevices.h"

#include <QDir>
#include <QFile>

namespace {
constexpr int WordBits = 64;

// The kernel's button codes that only joysticks and gamepads have: the
// joystick and gamepad blocks, the d-pad buttons and the extra triggers.
struct CodeRange {
    int First, Last;
};
constexpr CodeRange PadButtons[] = {{0x120, 0x13f}, {0x220, 0x223}, {0x2c0, 0x2e7}};

bool IsPadButton(int code) {
    for (const CodeRange& range : PadButtons)
        if (code >= range.First && code <= range.Last) return true;
    return false;
}
} // namespace

bool PadDevices::HasPadButtons(const QByteArray& keyCapabilities) {
    const QList<QByteArray> words = keyCapabilities.trimmed().split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const int first = static_cast<int>(words.size() - 1 - i) * WordBits;
        bool ok = false;
        const quint64 word = words[i].toULongLong(&ok, 16);
        if (!ok) continue;
        for (int bit = 0; bit < WordBits; ++bit)
            if ((word >> bit & 1) != 0 && IsPadButton(first + bit)) return true;
    }
    return false;
}

bool PadDevices::AnyPlugged(const QString& inputClass) {
    const QDir folder(inputClass);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        if (name.startsWith(QLatin1String("js"))) return true;
        if (!name.startsWith(QLatin1String("event"))) continue;
        QFile keys(folder.filePath(name + QStringLiteral("/device/capabilities/key")));
        // A small file; a device gone in between reads as nothing.
        if (keys.open(QIODevice::ReadOnly) && HasPadButtons(keys.read(4096))) return true;
    }
    return false;
}

QString PadDevices::HotplugFolder() {
    const QString input = QStringLiteral("/dev/input");
    return QDir(input).exists() ? input : QStringLiteral("/dev");
}
