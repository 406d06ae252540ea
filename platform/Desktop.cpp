#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>
#include <utility>

namespace {
bool OpenWithDesktop(const QString& address) {
    const bool isFile = !address.contains(QStringLiteral(":")) || QFileInfo::exists(address);
    const QUrl url = isFile ? QUrl::fromLocalFile(address) : QUrl(address);
    return QDesktopServices::openUrl(url);
}
// Empty while the desktop's own opener is in force.
Desktop::Opener& Installed() {
    static Desktop::Opener opener;
    return opener;
}

// xdg-open ends with 0 once a handler has taken the file, and with an error
// when the desktop has none for its type; QDesktopServices only tells
// whether xdg-open itself could start.
void OpenWithXdgOpen(const QString& program, const QString& file, std::function<void(bool)> done) {
    auto* process = new QProcess(QCoreApplication::instance());
    auto tell = std::make_shared<std::function<void(bool)>>(std::move(done));
    const auto finish = [process, tell](bool opened) {
        if (*tell) std::exchange(*tell, nullptr)(opened);
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [finish](int code, QProcess::ExitStatus status) {
                         finish(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [finish](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) finish(false);
                     });
    // A viewer xdg-open waits for keeps its window when the program quits;
    // only xdg-open goes, and nobody is told any more.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                     [process, tell] {
                         *tell = nullptr;
                         process->kill();
                         process->waitForFinished(1000);
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(program, {file});
}
} // namespace

bool Desktop::OpenAddress(const QString& address) {
    return Installed() ? Installed()(address) : OpenWithDesktop(address);
}

void Desktop::OpenDocument(const QString& file, std::function<void(bool opened)> done) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (Installed() || xdgOpen.isEmpty() || !QCoreApplication::instance()) {
        const bool opened = OpenAddress(file);
        if (done) done(opened);
        return;
    }
    OpenWithXdgOpen(xdgOpen, file, std::move(done));
}

Desktop::Opener Desktop::SetOpener(Opener opener) {
    return std::exchange(Installed(), std::move(opener));
}
