#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
std::unique_ptr<Dialogs>& Installed() {
    static std::unique_ptr<Dialogs> dialogs = std::make_unique<QtDialogs>();
    return dialogs;
}

QMessageBox::StandardButtons ToQt(int buttons) {
    QMessageBox::StandardButtons result;
    if (buttons & dbOK) result |= QMessageBox::Ok;
    if (buttons & dbYes) result |= QMessageBox::Yes;
    if (buttons & dbNo) result |= QMessageBox::No;
    if (buttons & dbCancel) result |= QMessageBox::Cancel;
    if (buttons & dbRetry) result |= QMessageBox::Retry;
    if (buttons & dbAbort) result |= QMessageBox::Abort;
    return result;
}

DialogButton FromQt(int button) {
    switch (button) {
    case QMessageBox::Yes: return dbYes;
    case QMessageBox::No: return dbNo;
    case QMessageBox::Cancel: return dbCancel;
    case QMessageBox::Retry: return dbRetry;
    case QMessageBox::Abort: return dbAbort;
    default: return dbOK;
    }
}

QMessageBox::Icon IconOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning: return QMessageBox::Warning;
    case DialogKind::Error: return QMessageBox::Critical;
    case DialogKind::Confirmation: return QMessageBox::Question;
    default: return QMessageBox::Information;
    }
}

QString CaptionOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning: return QStringLiteral("Warning");
    case DialogKind::Error: return QStringLiteral("Error");
    case DialogKind::Confirmation: return QStringLiteral("Confirm");
    default: return QStringLiteral("Information");
    }
}
} // namespace

Dialogs& Dialogs::Current() { return *Installed(); }

std::unique_ptr<Dialogs> Dialogs::Install(std::unique_ptr<Dialogs> dialogs) {
    std::unique_ptr<Dialogs> previous = std::move(Installed());
    Installed() = std::move(dialogs);
    return previous;
}

DialogButton QtDialogs::Message(DialogKind kind, const QString& text, int buttons) {
    QMessageBox box(IconOf(kind), CaptionOf(kind), QString(text).replace("\r\n", "\n"),
                    ToQt(buttons), QApplication::activeWindow());
    return FromQt(box.exec());
}

QString QtDialogs::OpenFileName(const QString& caption, const QString& filter,
                                const QString& folder) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
}

QString QtDialogs::SaveFileName(const QString& caption, const QString& filter,
                                const QString& folder, const QString& defaultSuffix) {
    QFileDialog dialog(QApplication::activeWindow(), caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

DialogButton ScriptedDialogs::DefaultAnswer(int buttons) {
    if ((buttons & dbRetry) && (buttons & dbCancel)) return dbCancel;
    if (buttons & dbAbort) return dbAbort;
    for (DialogButton b : {dbOK, dbYes, dbRetry, dbNo, dbCancel})
        if (buttons & b) return b;
    return dbOK;
}

DialogButton ScriptedDialogs::Message(DialogKind kind, const QString& text, int buttons) {
    FLog.push_back({kind, text, buttons});
    if (FAnswers.empty()) return DefaultAnswer(buttons);
    DialogButton answer = FAnswers.front();
    FAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::NextFileName() {
    if (FFileNames.empty()) return {};
    QString name = FFileNames.front();
    FFileNames.pop_front();
    return name;
}

QString ScriptedDialogs::OpenFileName(const QString&, const QString&, const QString& folder) {
    FLastFolder = folder;
    return NextFileName();
}

QString ScriptedDialogs::SaveFileName(const QString&, const QString&, const QString& folder,
                                      const QString&) {
    FLastFolder = folder;
    return NextFileName();
}
