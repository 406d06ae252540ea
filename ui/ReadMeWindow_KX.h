#pragma once

#include <QByteArray>
#include <QWidget>

class QTextBrowser;

// The read-me in a window of the program's own, for desktops that have
// nothing to open an RTF file with: the same RTF, shown as its text.
class TReadMeWindow : public QWidget {
    Q_OBJECT
public:
    explicit TReadMeWindow(QWidget* owner);

    // Shows the read-me in the owner's window, made on first use and brought
    // to the front after; returns that window.
    static TReadMeWindow* ShowFor(QWidget* owner, const QByteArray& rtf);

    void SetText(const QByteArray& rtf);
    // What the window shows, as plain text.
    QString Text() const;

private:
    QTextBrowser* FView;
};
