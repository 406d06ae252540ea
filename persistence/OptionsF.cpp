#include "persistence/OptionsF.h"

#include "persistence/KeysPage_KX.h"
#include "persistence/Settings_KX.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// A circular arrow turning the given way, the glyph of a rotation button.
QIcon TurnGlyph(bool clockwise) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 3));
    const QRectF circle(6, 6, 20, 20);
    painter.drawArc(circle, 90 * 16, (clockwise ? -270 : 270) * 16);
    // The arc ends at nine o'clock (clockwise) or three o'clock, heading up.
    QPainterPath head;
    const qreal x = clockwise ? 6 : 26;
    head.moveTo(x - 5, 18);
    head.lineTo(x + 5, 18);
    head.lineTo(x, 11);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawPath(head);
    return QIcon(pixmap);
}

QToolButton* MakeTurnButton(QWidget* parent, const QString& name, bool clockwise) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setAutoRaise(false);
    button->setIcon(TurnGlyph(clockwise));
    button->setIconSize(QSize(32, 32));
    button->setToolTip(clockwise ? QStringLiteral("Clockwise")
                                 : QStringLiteral("Counter-clockwise"));
    return button;
}
} // namespace

TOptionsForm::TOptionsForm(TGameBackgroundInterface* background, QWidget* parent)
    : QDialog(parent), FBackground(background) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);

    PageControl = new QTabWidget(this);

    GamePage = new QWidget;
    RotationGroup = new QGroupBox(QStringLiteral("&Rotation direction"), GamePage);
    CounterClockwiseButton =
        MakeTurnButton(RotationGroup, QStringLiteral("CounterClockwiseButton"), false);
    ClockwiseButton = MakeTurnButton(RotationGroup, QStringLiteral("ClockwiseButton"), true);
    auto* rotationButtons = new QButtonGroup(RotationGroup);
    rotationButtons->setExclusive(true);
    rotationButtons->addButton(CounterClockwiseButton);
    rotationButtons->addButton(ClockwiseButton);
    auto* rotationLayout = new QHBoxLayout(RotationGroup);
    rotationLayout->addWidget(CounterClockwiseButton);
    rotationLayout->addWidget(ClockwiseButton);
    rotationLayout->addStretch();

    SpeedFactorRadioGroup = new QGroupBox(QStringLiteral("&Nastiness"), GamePage);
    SpeedFactorRadioGroup->setObjectName(QStringLiteral("SpeedFactorRadioGroup"));
    auto* speedLayout = new QVBoxLayout(SpeedFactorRadioGroup);
    const QString speedCaptions[3] = {QStringLiteral("&Normal"),
                                      QStringLiteral("T&urbo (for the fanatics)"),
                                      QStringLiteral("Too &fast (self torture!)")};
    for (int i = 0; i < 3; ++i) {
        SpeedButtons[i] = new QRadioButton(speedCaptions[i], SpeedFactorRadioGroup);
        speedLayout->addWidget(SpeedButtons[i]);
    }
    auto* gameLayout = new QVBoxLayout(GamePage);
    gameLayout->addWidget(RotationGroup);
    gameLayout->addWidget(SpeedFactorRadioGroup);
    gameLayout->addStretch();
    PageControl->addTab(GamePage, QStringLiteral("Game"));

    GraphicsPage = new QWidget;
    cbShowGridLines = new QCheckBox(QStringLiteral("Show grid &lines"), GraphicsPage);
    cbShowGridLines->setObjectName(QStringLiteral("cbShowGridLines"));
    cbMarkColours = new QCheckBox(QStringLiteral("Mark the &colours"), GraphicsPage);
    cbMarkColours->setObjectName(QStringLiteral("cbMarkColours"));
    cbMarkColours->setToolTip(
        QStringLiteral("Every colour also gets a mark of its own; from the next game on"));
    cbShowLandingSpot = new QCheckBox(QStringLiteral("Show landing spot"), GraphicsPage);
    cbShowLandingSpot->setObjectName(QStringLiteral("cbShowLandingSpot"));
    cbShowLandingSpot->setVisible(false);
    auto* graphicsLayout = new QVBoxLayout(GraphicsPage);
    graphicsLayout->addWidget(cbShowGridLines);
    graphicsLayout->addWidget(cbMarkColours);
    graphicsLayout->addWidget(cbShowLandingSpot);
    graphicsLayout->addStretch();
    PageControl->addTab(GraphicsPage, QStringLiteral("Graphics"));

    AudioPage = new QWidget;
    cbSoundEffectEnabled = new QCheckBox(QStringLiteral("Sound &effects"), AudioPage);
    cbSoundEffectEnabled->setObjectName(QStringLiteral("cbSoundEffectEnabled"));
    cdMIDIMusicEnabled = new QCheckBox(QStringLiteral("MIDI music"), AudioPage);
    cdMIDIMusicEnabled->setObjectName(QStringLiteral("cdMIDIMusicEnabled"));
    cdMIDIMusicEnabled->setVisible(false);
    GameMusicGroup = new QGroupBox(QStringLiteral("Gamemusic"), AudioPage);
    cbGameMusicEnabled = new QCheckBox(QStringLiteral("Enabled"), GameMusicGroup);
    cbGameMusicEnabled->setObjectName(QStringLiteral("cbGameMusicEnabled"));
    DropDownList_GameMusicName = new QComboBox(GameMusicGroup);
    DropDownList_GameMusicName->setObjectName(QStringLiteral("DropDownList_GameMusicName"));
    TestButton = new QPushButton(QStringLiteral("Test"), GameMusicGroup);
    TestButton->setAutoDefault(false);
    auto* musicLayout = new QHBoxLayout(GameMusicGroup);
    musicLayout->addWidget(cbGameMusicEnabled);
    musicLayout->addWidget(DropDownList_GameMusicName);
    musicLayout->addWidget(TestButton);
    GameMusicGroup->setVisible(false);
    auto* audioLayout = new QVBoxLayout(AudioPage);
    audioLayout->addWidget(cbSoundEffectEnabled);
    audioLayout->addWidget(cdMIDIMusicEnabled);
    audioLayout->addWidget(GameMusicGroup);
    audioLayout->addStretch();
    PageControl->addTab(AudioPage, QStringLiteral("Audio"));

    KeysPage = new TKeysPage;
    PageControl->addTab(KeysPage, QStringLiteral("Keys"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setAutoDefault(false);
    HelpButton = new QPushButton(QStringLiteral("&Help"), this);
    HelpButton->setAutoDefault(false);
    HelpButton->setVisible(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(OKButton);
    buttonRow->addWidget(CancelButton);
    buttonRow->addWidget(HelpButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TOptionsForm::ShowModal() {
    return exec() == QDialog::Accepted;
}

void TOptionsForm::showEvent(QShowEvent* event) {
    ControlsFromSettings();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void TOptionsForm::done(int result) {
    if (result == QDialog::Accepted) {
        SettingsFromControls();
        ApplySettings(FBackground);
    }
    QDialog::done(result);
}

void TOptionsForm::ControlsFromSettings() {
    const TSettings& s = Settings();
    ClockwiseButton->setChecked(s.RotationDirectionClockwise);
    CounterClockwiseButton->setChecked(!s.RotationDirectionClockwise);
    SpeedButtons[s.Speed >= 0 && s.Speed <= 2 ? s.Speed : 0]->setChecked(true);
    cbShowGridLines->setChecked(s.ShowGridLines);
    cbMarkColours->setChecked(s.MarkColours);
    cbShowLandingSpot->setChecked(s.ShowLandingSpot);
    cbSoundEffectEnabled->setChecked(s.SoundEffectEnabled);
    cdMIDIMusicEnabled->setChecked(s.MIDIMusicEnabled);
    cbGameMusicEnabled->setChecked(s.GameMusicEnabled);
    DropDownList_GameMusicName->setCurrentIndex(s.GameMusicNo);
    KeysPage->SetTable(s.Keys);
    KeysPage->ShowPads();
}

void TOptionsForm::SettingsFromControls() {
    TSettings& s = Settings();
    s.RotationDirectionClockwise = ClockwiseButton->isChecked();
    s.Speed = SelectedSpeed();
    s.ShowGridLines = cbShowGridLines->isChecked();
    s.MarkColours = cbMarkColours->isChecked();
    s.ShowLandingSpot = cbShowLandingSpot->isChecked();
    s.SoundEffectEnabled = cbSoundEffectEnabled->isChecked();
    s.MIDIMusicEnabled = cdMIDIMusicEnabled->isChecked();
    s.GameMusicEnabled = cbGameMusicEnabled->isChecked();
    // The music list is empty, so it holds no selection to take; the stored
    // number stays as it was.
    if (DropDownList_GameMusicName->currentIndex() >= 0)
        s.GameMusicNo = DropDownList_GameMusicName->currentIndex();
    s.Keys = KeysPage->Table();
    KeysPage->ApplyPads();
}

int TOptionsForm::SelectedSpeed() const {
    for (int i = 0; i < 3; ++i)
        if (SpeedButtons[i]->isChecked()) return i;
    return 0;
}
