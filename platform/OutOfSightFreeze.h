#pragma once

#include <QObject>

class QWidget;

// While its window is out of sight (minimised, hidden, or not exposed on
// another workspace) the program's time stands still: the paced clock is
// frozen, so nothing ticks and nothing wakes, and when the window comes back
// every timer goes on where it was, as after a pause. Until the window has
// first been seen nothing is frozen. Virtual time is never frozen.
class OutOfSightFreeze : public QObject {
    Q_OBJECT
public:
    explicit OutOfSightFreeze(QWidget* window);
    ~OutOfSightFreeze() override;

    // Whether a window can be seen now.
    static bool InSight(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow();

    QWidget* FWindow;
    QObject* FHandle = nullptr;
    bool FFrozen = false;
    bool FSeen = false;
};
