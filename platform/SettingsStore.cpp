#include "platform/SettingsStore.h"

#include <QSettings>

namespace {
QSettings Open() { return QSettings(QStringLiteral("Brenmar"), QStringLiteral("Kolvex")); }
QString Key(const QString& group, const QString& name) { return group + '/' + name; }
} // namespace

QString SettingsStore::Read(const QString& group, const QString& name,
                            const QString& defaultValue) {
    QSettings settings = Open();
    const QVariant value = settings.value(Key(group, name));
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::Write(const QString& group, const QString& name, const QString& value) {
    QSettings settings = Open();
    settings.setValue(Key(group, name), value);
}

bool SettingsStore::Contains(const QString& group, const QString& name) {
    return Open().contains(Key(group, name));
}

void SettingsStore::Flush() { Open().sync(); }

void SettingsStore::RedirectTo(const QString& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

QString SettingsStore::FileName() { return Open().fileName(); }
