#pragma once

#include <QWidget>
#include <cstdint>

// The maker's splash window: borderless, black, centred, 257 x 112. It notes
// when it was shown; a key dismisses it (or only completes a running wipe),
// Escape ends the program, and WaitAndClose keeps it up until it has been
// dismissed or has been shown for seven seconds.
class TbmSplashForm : public QWidget {
public:
    static constexpr int ShownSeconds = 7;

    explicit TbmSplashForm(QWidget* parent = nullptr);

    bool Dismissed() const { return FDismissed; }
    void SetDismissed(bool value) { FDismissed = value; }
    // Whole seconds since the window was shown.
    int64_t SecondsShown() const;

    // Handles messages until the window is dismissed, has been shown for
    // seven seconds or the program ends; then closes it.
    virtual void WaitAndClose();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    uint32_t FShownTick = 0;
    bool FDismissed = false;
};
