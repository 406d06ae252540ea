#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

enum class DialogKind { Information, Warning, Error, Confirmation };

// Buttons of a message dialog; a set is an or of these values.
enum DialogButton : int {
    dbOK = 1,
    dbYes = 2,
    dbNo = 4,
    dbCancel = 8,
    dbRetry = 16,
    dbAbort = 32,
};

// Every message box and file dialog of the program goes through this
// interface, so tests and the headless companion can answer from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message and returns the button chosen.
    virtual DialogButton Message(DialogKind kind, const QString& text, int buttons) = 0;
    // An empty result means the user cancelled.
    virtual QString OpenFileName(const QString& caption, const QString& filter,
                                 const QString& folder) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& filter,
                                 const QString& folder, const QString& defaultSuffix) = 0;

    static Dialogs& Current();
    static std::unique_ptr<Dialogs> Install(std::unique_ptr<Dialogs> dialogs);
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs : public Dialogs {
public:
    DialogButton Message(DialogKind kind, const QString& text, int buttons) override;
    QString OpenFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    QString SaveFileName(const QString& caption, const QString& filter, const QString& folder,
                         const QString& defaultSuffix) override;
};

// Answers from queues. With an empty queue a message is answered as if Enter
// were pressed on its default button (OK, Yes, Retry), except that a Retry /
// Cancel box is cancelled and an OK / Abort box aborted, so that a script can
// never retry forever; a file dialog is cancelled.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        DialogKind Kind;
        QString Text;
        int Buttons;
    };

    void QueueAnswer(DialogButton answer) { FAnswers.push_back(answer); }
    void QueueFileName(const QString& name) { FFileNames.push_back(name); }
    const std::vector<Shown>& Log() const { return FLog; }
    void ClearLog() { FLog.clear(); }
    // The folder the last file dialog was to open in.
    const QString& LastFolder() const { return FLastFolder; }

    DialogButton Message(DialogKind kind, const QString& text, int buttons) override;
    QString OpenFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    QString SaveFileName(const QString& caption, const QString& filter, const QString& folder,
                         const QString& defaultSuffix) override;

    static DialogButton DefaultAnswer(int buttons);

private:
    QString NextFileName();

    std::deque<DialogButton> FAnswers;
    std::deque<QString> FFileNames;
    std::vector<Shown> FLog;
    QString FLastFolder;
};
