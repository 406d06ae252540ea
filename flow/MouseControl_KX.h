#pragma once

#include <QObject>
#include <QPointer>

class TGameForm;
class QWidget;

// Which game window the mouse steers; while there is one, its playfield
// panel has the mouse captured.
class TMouseControl : public QObject {
public:
    explicit TMouseControl(QObject* owner = nullptr) : QObject(owner) {}
    ~TMouseControl() override;

    // A window captures the mouse to its playfield panel; none releases it.
    void SetForm(TGameForm* form);
    TGameForm* Form() const;

private:
    void Release();

    // Guarded: a session frees its windows while the control may still name one.
    QPointer<TGameForm> FForm;
    QPointer<QWidget> FCaptured;
};
