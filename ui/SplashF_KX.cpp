#include "ui/SplashF_KX.h"

#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "platform/Cursors.h"
#include "resources/Resources_KX.h"

#include <QCloseEvent>

namespace {
QImage SplashPicture() {
    QImage picture = LoadResourcePicture(QStringLiteral("SplashImage"));
    if (picture.isNull()) {
        // Without its picture the splash still shows its release number on black.
        picture = QImage(256, 112, QImage::Format_RGB32);
        picture.fill(Qt::black);
    }
    return picture;
}
} // namespace

TKolvexSplashForm::TKolvexSplashForm(QWidget* parent)
    : TbmSplashForm(parent), SplashPanel(new TGfxPanel(this)),
      ReleaseNumberLabel(new TLabel(SplashPanel)) {
    SplashPanel->setGeometry(0, 0, 256, 112);
    SplashPanel->SetColor(Qt::black);
    SplashPanel->SetFramesPerSec(72);
    SplashPanel->Wiper().SetWipeType(wtMosaic);
    SplashPanel->Wiper().SetBlockSize(2);
    SplashPanel->Wiper().SetFrameCount(36);
    SplashPanel->OnShow = [this](QObject* Sender) { SplashPanelShow(Sender); };
    SplashPanel->OnClick = [this](QObject* Sender) { SplashPanelClick(Sender); };

    ReleaseNumberLabel->SetFont(MakeFont(QStringLiteral("Arial"), 13, true, true, Qt::black));
    ReleaseNumberLabel->SetCaption(QStringLiteral("v1.1.1"));
    ReleaseNumberLabel->SetLeft(185);
    ReleaseNumberLabel->SetTop(31);
    ReleaseNumberLabel->SetVisible(false);

    SplashPanel->SetPicture(SplashPicture());
    setFixedSize(SplashPanel->width(), SplashPanel->height());
}

void TKolvexSplashForm::WaitAndClose() {
    SplashPanel->setCursor(Cursors::Get(crHandPoint));
    TbmSplashForm::WaitAndClose();
}

void TKolvexSplashForm::SplashPanelClick(QObject*) {
    SetDismissed(true);
}

void TKolvexSplashForm::SplashPanelShow(QObject*) {
    // The program's fonts are installed once the splash is up: the number is measured with them.
    ReleaseNumberLabel->SetFont(ReleaseNumberLabel->Font());
    ReleaseNumberLabel->SetVisible(true);
    SplashPanel->SetFramesPerSec(15);
}

void TKolvexSplashForm::closeEvent(QCloseEvent* event) {
    TbmSplashForm::closeEvent(event);
    SplashPanel->SetFramesPerSec(0);
}
