#include "ui/GameFiles.h"

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

QString DemoFileName() {
    const QString here = QDir::current().filePath(DemoFile);
    if (QFileInfo::exists(here)) return here;
    const QString beside = Folders::ProgramFolder() + DemoFile;
    if (QFileInfo::exists(beside)) return beside;
    return QString();
}

QString DemoMissingMessage() {
    return QStringLiteral(
               "The demo recording \"%1\" is neither in the current folder nor beside the program.")
        .arg(DemoFile);
}

QString AskReplayToSave() {
    return WithReplayExtension(Dialogs::Current().SaveFileName(
        QStringLiteral("Save Replay As"), ReplayFilter, QString(), QStringLiteral("rep")));
}

QString AskReplayToOpen(const QString& title) {
    return WithReplayExtension(Dialogs::Current().OpenFileName(title, ReplayFilter, QString()));
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
    return Folders::ProgramFolder() + QStringLiteral("ReadMe.rtf");
}

} // namespace GameFiles
