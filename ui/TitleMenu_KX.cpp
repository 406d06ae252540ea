#include "ui/TitleMenu_KX.h"

#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "resources/Resources_KX.h"

#include <algorithm>

namespace {
constexpr int MenuWidth = 160;
constexpr int MenuHeight = 314;
constexpr int TinselSize = 5;
// A crowded menu gives up on a sparkle rather than searching for ever.
constexpr int TinselPlaceTries = 1000;

QImage PictureOr(const QString& name, int width, int height) {
    QImage picture = LoadResourcePicture(name);
    if (picture.isNull()) {
        picture = QImage(width, height, QImage::Format_RGB32);
        picture.fill(QColor(90, 90, 160));
    }
    return picture;
}
} // namespace

TTitleMenu::TTitleMenu(QWidget* frame, const QImage& menuPicture)
    : MenuPanel(new TGfxPanel(frame)),
      FTintleTimer(std::make_unique<ClockTimer>([this] { TintleTimerTimer(); })) {
    MenuPanel->setGeometry(16, 80, MenuWidth, MenuHeight);
    MenuPanel->SetFramesPerSec(72);
    MenuPanel->Wiper().SetWipeType(wtBlinds);
    MenuPanel->Wiper().SetBlockSize(32);
    MenuPanel->Wiper().SetFrameCount(16);
    MenuPanel->setMouseTracking(true);
    if (menuPicture.isNull()) {
        QImage blank(MenuWidth, MenuHeight, QImage::Format_RGB32);
        blank.fill(Qt::black);
        MenuPanel->SetPicture(blank);
    } else {
        MenuPanel->SetPicture(menuPicture);
    }

    // The hover zones lie beneath the choice images: a highlighted image
    // takes the click, the zone of a choice not highlighted takes the move.
    const std::array<QRect, 3> zones = {QRect(30, 72, 102, 37), QRect(30, 110, 102, 30),
                                        QRect(30, 141, 102, 30)};
    for (int i = 0; i < 3; ++i) {
        auto* zone = new TGraphicControl(MenuPanel);
        const QRect r = zones[static_cast<size_t>(i)];
        zone->SetBounds(r.x(), r.y(), r.width(), r.height());
        zone->SetVisible(false);
        const auto choice = static_cast<TTitleChoice>(i);
        zone->OnMouseMove = [this, choice](QObject*, Qt::KeyboardModifiers, int, int) {
            Highlight(choice);
        };
        PaintBox[static_cast<size_t>(i)] = zone;
    }
    StartImage = MakeChoiceImage(QStringLiteral("StartImage"), 30, 72, 102, 37, tcStart);
    TopScoreImage = MakeChoiceImage(QStringLiteral("TopScoreImage"), 30, 110, 102, 30, tcTopScores);
    CreditsImage = MakeChoiceImage(QStringLiteral("CreditsImage"), 30, 141, 102, 30, tcCredits);
    BlueTinselSprite = MakeTemplate(QStringLiteral("BlueTinselSprite"));
    RedTinselSprite = MakeTemplate(QStringLiteral("RedTinselSprite"));
    PurpleTinselSprite = MakeTemplate(QStringLiteral("PurpleTinselSprite"));

    MenuPanel->OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int, int) {
        Highlight(tcStart);
    };
    MenuPanel->OnClick = [](QObject*) { RequestSkip(); };
    MenuPanel->OnShow = [this](QObject* Sender) { MenuPanelShow(Sender); };

    FTintleTimer->SetInterval(TinselInterval);
    // A sparkle shows at the menu panel's next frame: it may wait for that frame's wake-up.
    FTintleTimer->SetSlackUs(1'000'000 / std::max<int>(1, MenuPanel->FramesPerSec()));
    FTintleTimer->SetActive(false);
    HideHighlights();
}

TTitleMenu::~TTitleMenu() = default;

TSImage* TTitleMenu::MakeChoiceImage(const QString& name, int left, int top, int width, int height,
                                     TTitleChoice choice) {
    auto* image = new TSImage(MenuPanel);
    image->SetPicture(PictureOr(name, width, height));
    image->SetBounds(left, top, width, height);
    image->SetTag(TitleTag);
    image->SetCursor(crHandPoint);
    image->OnClick = [this, choice](QObject*) {
        if (OnActivate) OnActivate(choice);
    };
    return image;
}

TSprite* TTitleMenu::MakeTemplate(const QString& name) {
    auto* sprite = new TSprite(MenuPanel);
    sprite->SetPicture(PictureOr(name, TinselSize * 5, TinselSize));
    sprite->SetBounds(0, 0, TinselSize, TinselSize);
    sprite->SetTransparent(true);
    sprite->Animation().SetFrameCount(5);
    sprite->Animation().SetCurrentFrame(4);
    sprite->Animation().SetDelay(4);
    sprite->Animation().SetAnimMode(amPingPong);
    sprite->Animation().SetAnimDirection(adDown);
    sprite->SetTag(TitleTag);
    sprite->SetVisible(false);
    sprite->SetEnabled(false);
    return sprite;
}

TSImage* TTitleMenu::ImageOf(TTitleChoice choice) const {
    switch (choice) {
    case tcTopScores:
        return TopScoreImage;
    case tcCredits:
        return CreditsImage;
    case tcStart:
        break;
    }
    return StartImage;
}

void TTitleMenu::Highlight(TTitleChoice choice) {
    FHighlighted = choice;
    for (const TTitleChoice c : {tcStart, tcTopScores, tcCredits})
        ImageOf(c)->SetVisible(c == choice);
}

void TTitleMenu::MoveUp() {
    Highlight(FHighlighted == tcStart       ? tcCredits
              : FHighlighted == tcTopScores ? tcStart
                                            : tcTopScores);
}

void TTitleMenu::MoveDown() {
    Highlight(FHighlighted == tcStart       ? tcTopScores
              : FHighlighted == tcTopScores ? tcCredits
                                            : tcStart);
}

void TTitleMenu::HideHighlights() {
    for (const TTitleChoice c : {tcStart, tcTopScores, tcCredits})
        ImageOf(c)->SetVisible(false);
}

void TTitleMenu::AddTinsel() {
    if (Application::Terminated()) return;
    const uint32_t pick = Random(3);
    const TSprite* source = pick == 0   ? BlueTinselSprite
                            : pick == 1 ? RedTinselSprite
                                        : PurpleTinselSprite;
    const int delay = 2 + static_cast<int>(Random(2));
    const auto taken = [this](const QRect& place) {
        for (const TGraphicControl* child : MenuPanel->Host()->Controls())
            if (child->Tag() == TitleTag && child->BoundsRect().intersects(place)) return true;
        return false;
    };
    QRect place;
    int tries = 0;
    do {
        if (++tries > TinselPlaceTries) return;
        const int top =
            static_cast<int>(Random(static_cast<uint32_t>(MenuPanel->height() - TinselSize - 1)));
        const int left =
            static_cast<int>(Random(static_cast<uint32_t>(MenuPanel->width() - TinselSize - 1)));
        place = QRect(left, top, TinselSize, TinselSize);
    } while (taken(place));

    auto* sparkle = new TSprite(MenuPanel);
    sparkle->SetPicture(source->Picture());
    sparkle->SetMask(source->Mask());
    sparkle->Animation().SetFrameCount(5);
    sparkle->Animation().SetAnimMode(amPingPong);
    sparkle->Animation().SetAnimDirection(adDown);
    sparkle->Animation().SetCurrentFrame(4);
    sparkle->Animation().SetDelay(delay);
    sparkle->SetRespondToPaint(false);
    sparkle->SetBounds(place.x(), place.y(), TinselSize, TinselSize);
    sparkle->SetTag(TitleTag);
    sparkle->SetEnabled(false);
    sparkle->OnAnimFinished = [sparkle](QObject*) { sparkle->SetKilled(true); };
    sparkle->SetVisible(true);
}

void TTitleMenu::TintleTimerTimer() {
    AddTinsel();
}

void TTitleMenu::MenuPanelShow(QObject*) {
    ClearSkip();
    if (!FFirstShow) {
        // Hidden with the panel while games had the frame; one choice is always lit.
        Highlight(FHighlighted);
        return;
    }
    for (TGraphicControl* zone : PaintBox)
        zone->SetVisible(true);
    Highlight(tcStart);
    if (OnFirstShow) OnFirstShow();
    FFirstShow = false;
}
