#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Watches a window for the loss of the focus (another window, a dialog, the
// desktop switching away) and calls back then; the option "Pause when the
// window loses focus" decides whether the callback pauses the game.
class TFocusPause : public QObject {
    Q_OBJECT
public:
    TFocusPause(QWidget* window, std::function<void()> onFocusLost);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> FOnFocusLost;
};
