#include "ui/FrameParts.h"

#include "flow/GfxF.h"
#include "gfx/GfxPanel.h"
#include "gfx/Label.h"
#include "gfx/SImage.h"
#include "gfx/Sprite.h"
#include "gfx/Wiper.h"
#include "gfx/brenmarUtils.h"
#include "resources/Resources_KX.h"

namespace FrameParts {

TGfxPanel* MakeFramePanel(QWidget* parent, TGfxForm& gfx) {
    auto* frame = new TGfxPanel(parent);
    frame->setObjectName(QStringLiteral("FramePanel"));
    frame->setGeometry(0, 0, FrameWidth, FrameHeight);
    frame->SetFramesPerSec(72);
    frame->Wiper().SetWipeType(wtBlinds);
    frame->Wiper().SetBlockSize(32);
    frame->Wiper().SetFrameCount(16);
    frame->SetColor(Qt::black);
    frame->SetPicture(gfx.FrameImage());
    frame->setMouseTracking(true);
    frame->OnClick = [](QObject*) { RequestSkip(); };
    return frame;
}

TSImage* MakeLevelMark(QWidget* frame) {
    auto* mark = new TSImage(frame);
    mark->setObjectName(QStringLiteral("LevelMark"));
    mark->SetPicture(LoadResourcePicture(QStringLiteral("LevelMark")));
    mark->SetTransparent(true);
    mark->SetEnabled(false);
    mark->SetBounds(24, 6, 24, 24);
    return mark;
}

TLabel* MakeLevelLabel(QWidget* frame, int index) {
    auto* label = new TLabel(frame);
    label->setObjectName(QStringLiteral("Level%1Label").arg(index));
    label->SetFont(
        MakeFont(QStringLiteral("Courier New"), 24, true, false, QColor(0x20, 0x18, 0x40)));
    label->SetCaption(QString::number(index + 1));
    label->SetLeft(29 + 30 * index);
    label->SetTop(4);
    label->SetEnabled(false);
    return label;
}

TLabel* MakePlusLabel(QWidget* frame) {
    auto* plus = new TLabel(frame);
    plus->setObjectName(QStringLiteral("PlusLabel"));
    plus->SetFont(MakeFont(QStringLiteral("Arial"), 22, true, false, Qt::red));
    plus->SetCaption(QStringLiteral("+"));
    plus->SetLeft(172);
    plus->SetTop(4);
    plus->SetEnabled(false);
    plus->SetVisible(false);
    return plus;
}

TSImage* MakeNextBrickImage(QWidget* frame) {
    auto* image = new TSImage(frame);
    image->setObjectName(QStringLiteral("NextBrickImage"));
    image->SetTransparent(true);
    image->SetRespondToPaint(true);
    image->SetEnabled(false);
    image->SetBounds(70, 32, 48, 48);
    image->SetVisible(false);
    return image;
}

TSprite* MakeMarker(QWidget* frame, const QString& picture, int left) {
    auto* sprite = new TSprite(frame);
    sprite->setObjectName(picture);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    sprite->SetPicture(LoadResourcePicture(picture));
    sprite->SetTransparent(true);
    sprite->SetBounds(left, 80, 8, 8);
    sprite->Animation().SetFrameCount(4);
    sprite->Animation().SetCurrentFrame(0);
    sprite->Animation().SetDelay(0);
    sprite->Animation().SetAnimMode(amPingPong);
    return sprite;
}

} // namespace FrameParts
