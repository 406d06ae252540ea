#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TGameBackgroundInterface;
class TKeysPage;

// The "Options" dialog: rotation direction and speed, grid lines, colour
// marks, sound effects, the players' keys and gamepads. Its controls are set from the settings
// whenever it is shown; the settings take the controls' values (and are applied) only when it is
// closed with OK. The landing-spot, MIDI and game-music controls are kept,
// hidden, for the stored-only settings.
class TOptionsForm : public QDialog {
public:
    explicit TOptionsForm(TGameBackgroundInterface* background = nullptr,
                          QWidget* parent = nullptr);

    void SetGameBackground(TGameBackgroundInterface* background) { FBackground = background; }

    // Shows the dialog modally; returns whether it was closed with OK.
    bool ShowModal();

    void done(int result) override;

    QTabWidget* PageControl;
    QWidget* GamePage;
    QGroupBox* RotationGroup;
    QToolButton* CounterClockwiseButton;
    QToolButton* ClockwiseButton;
    QGroupBox* SpeedFactorRadioGroup;
    QRadioButton* SpeedButtons[3];
    QWidget* GraphicsPage;
    QCheckBox* cbShowGridLines;
    QCheckBox* cbMarkColours;
    QCheckBox* cbShowLandingSpot;
    QWidget* AudioPage;
    QCheckBox* cbSoundEffectEnabled;
    QCheckBox* cdMIDIMusicEnabled;
    QGroupBox* GameMusicGroup;
    QCheckBox* cbGameMusicEnabled;
    TKeysPage* KeysPage;
    QComboBox* DropDownList_GameMusicName;
    QPushButton* TestButton;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ControlsFromSettings();
    void SettingsFromControls();
    int SelectedSpeed() const;

    TGameBackgroundInterface* FBackground;
};
