#pragma once

#include <QMainWindow>
#include <QRect>
#include <QSize>

// The maker's main-window base: a fixed-size window (its size follows the
// client area), white, centred on the screen when first shown, with a switch
// to a true full-screen window and back.
class TBrenmarMMForm : public QMainWindow {
public:
    explicit TBrenmarMMForm(QWidget* parent = nullptr);

    // The client area: everything below the menu bar.
    QWidget* ClientArea() const { return FClient; }
    QSize ClientSize() const;
    // Sizes the client area; while windowed the window is fixed to it.
    void SetClientSize(int width, int height);

    bool FullScreen() const { return FFullScreen; }
    void GoFullScreen();
    void BackToWindow();

protected:
    // Runs whenever the client area changes size (the main window centres its frame here).
    virtual void FormResize() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FixToClientSize();
    void CentreOnScreen();

    QWidget* FClient;
    QSize FClientSize{192, 416};
    bool FCentred = false;

    bool FFullScreen = false;
    Qt::WindowStates FSavedWindowState;
    Qt::WindowFlags FSavedFlags;
    bool FSavedMenuVisible = true;
    QRect FSavedGeometry;
};
