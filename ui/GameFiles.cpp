#include "ui/GameFiles.h"

#include "persistence/Settings_KX.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFileInfo>

namespace GameFiles {

namespace {
const QString ReplayFilter = QStringLiteral("Kolvex replay data (*.rep)");

QString Extension(const QString& file) {
    return QFileInfo(file).suffix().toLower();
}

// A name typed without an extension is a replay's name.
QString WithReplayExtension(const QString& file) {
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty()) return file;
    return file + QStringLiteral(".rep");
}
} // namespace

QStringList DemoFolders() {
    QStringList folders{Folders::WithTrailingSeparator(QDir::currentPath()),
                        Folders::UserDataFolder(), Folders::ProgramFolder(),
                        Folders::SharedDataFolder()};
    folders.removeDuplicates();
    return folders;
}

QString DemoFileName() {
    for (const QString& folder : DemoFolders())
        if (QFileInfo::exists(folder + DemoFile)) return folder + DemoFile;
    return QString();
}

QString DemoMissingMessage() {
    return QStringLiteral("The demo recording \"%1\" is in none of these folders:\r\n%2")
        .arg(DemoFile, DemoFolders().join(QStringLiteral("\r\n")));
}

QString ReplayFolder() {
    const QString chosen = Settings().ReplayFolder;
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir()) return chosen;
    const QString replays = Folders::UserDataFolder() + QStringLiteral("replays");
    Folders::Ensure(replays);
    return replays;
}

namespace {
// The folder of a chosen file is where the next dialog opens.
QString RememberFolder(const QString& file) {
    if (!file.isEmpty()) Settings().ReplayFolder = QFileInfo(file).absolutePath();
    return file;
}
} // namespace

QString AskReplayToSave() {
    return RememberFolder(WithReplayExtension(Dialogs::Current().SaveFileName(
        QStringLiteral("Save Replay As"), ReplayFilter, ReplayFolder(), QStringLiteral("rep"))));
}

QString AskReplayToOpen(const QString& title) {
    return RememberFolder(WithReplayExtension(
        Dialogs::Current().OpenFileName(title, ReplayFilter, ReplayFolder())));
}

bool IsReplayFile(const QString& file) {
    return Extension(file) == QLatin1String("rep");
}

bool IsGameFile(const QString& file) {
    return Extension(file) == QLatin1String("kvx");
}

void TellNotAReplay(const QString& file) {
    Dialogs::Current().Message(
        DialogKind::Information,
        QStringLiteral("\"%1\" is not a Kolvex replay.\r\nKolvex replays are files with the "
                       "extension \".rep\".")
            .arg(QFileInfo(file).fileName()),
        dbOK);
}

QString ReadMeFileName() {
    const QString beside = Folders::ProgramFolder() + ReadMeFile;
    if (QFileInfo::exists(beside)) return beside;
    return Folders::SharedDataFolder() + ReadMeFile;
}

} // namespace GameFiles
