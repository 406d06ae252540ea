#include "support/TestEnvironment.h"

#include "platform/Application.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <gtest/gtest.h>

// Every suite runs offscreen, in virtual time, with its settings, runtime
// and temporary files in private folders: no test touches the user's own.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString scratch = TestEnvironment::ScratchFolder();
    QDir(scratch).mkpath(QStringLiteral("runtime"));
    QDir(scratch).mkpath(QStringLiteral("config"));
    QDir(scratch).mkpath(QStringLiteral("tmp"));
    QDir(scratch).mkpath(QStringLiteral("data"));
    QFile::setPermissions(scratch + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (scratch + "/runtime").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (scratch + "/config").toLocal8Bit());
    qputenv("TMPDIR", (scratch + "/tmp").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (scratch + "/data").toLocal8Bit());
    KolvexApplication app(argc, argv);
    SettingsStore::RedirectTo(scratch + "/config");
    TestEnvironment::Reset();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
