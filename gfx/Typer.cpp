#include "gfx/Typer.h"

#include "foundation/Random.h"
#include "foundation/brenmarError.h"
#include "gfx/GfxPanel.h"
#include "gfx/Sprite.h"
#include "gfx/brenmarUtils.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
std::vector<QPointer<TSprite>> sparklePool;
int activeSparkles = 0;
std::function<std::vector<TSprite*>()> sparkleSource;
std::function<TTextFont()> fontSource;

const QColor ShadowColor(0x80, 0, 0);
constexpr uint32_t LetterPause = 75;

void DrawLetter(QImage& image, const QFont& font, const QColor& color, int x, int y, QChar c) {
    if (image.isNull()) return;
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPoint(x, y + QFontMetrics(font).ascent()), QString(c));
}
} // namespace

TTyper::TTyper() {
    if (!sparklePool.empty() || !sparkleSource) return;
    for (TSprite* sprite : sparkleSource())
        sparklePool.emplace_back(sprite);
}

void TTyper::SetPanel(TGfxPanel* panel) {
    FPanel = panel;
    for (const auto& sprite : sparklePool)
        if (sprite) sprite->SetParent(panel);
}

void TTyper::SetPosition(const QPoint& P) {
    X = P.x();
    Y = P.y();
}

void TTyper::TypeLn(const QString& Text) {
    ErrorReporter().Require(FPanel != nullptr, QString(), QStringLiteral("TTyper.TypeLn"));
    if (!FPanel) return;
    const TTextFont font = fontSource ? fontSource() : TTextFont{FPanel->font(), Qt::white};
    const QFontMetrics metrics(font.Font);
    int penX = X + Width / 2 - metrics.horizontalAdvance(Text) / 2;
    const int penY = Y;
    const int lineHeight = metrics.height() + LineSpacing;
    Clock& clock = Clock::Current();
    for (const QChar c : Text) {
        const bool sparkled = !Interrupted();
        const uint32_t t0 = clock.TickCount();
        if (sparkled) StartMagic(penX + 2, penY);
        if (!FPanel) return;
        const int w = metrics.horizontalAdvance(c);
        DrawLetter(FPanel->Picture(), font.Font, ShadowColor, penX + 1, penY + 1, c);
        DrawLetter(FPanel->BackgroundCopy(), font.Font, ShadowColor, penX + 1, penY + 1, c);
        FPanel->InvalidatePictureRect(QRect(penX + 1, penY + 1, w, lineHeight));
        DrawLetter(FPanel->Picture(), font.Font, font.Color, penX, penY, c);
        DrawLetter(FPanel->BackgroundCopy(), font.Font, font.Color, penX, penY, c);
        FPanel->InvalidatePictureRect(QRect(penX, penY, w, lineHeight));
        penX += w - 1;
        if (sparkled && !Interrupted()) {
            const int64_t remaining = int64_t{LetterPause} - (clock.TickCount() - t0);
            if (remaining > 0) ProcessMessagesUntil([] { return false; }, remaining);
        }
    }
    ProcessMessagesUntil([this] { return activeSparkles <= 0 || !SparklesCanRun(); });
    Application::ProcessMessages();
    if (FPanel) FPanel->Update();
    Y += Text.isEmpty() ? lineHeight / 2 : lineHeight;
}

bool TTyper::SparklesCanRun() const {
    // Sparkles only finish on a panel that composes frames, and only while
    // one of them is out of the pool; anything else would wait for ever.
    if (!FPanel || !FPanel->Visible() || FPanel->ShowPending() || FPanel->FramesPerSec() == 0)
        return false;
    for (const auto& sprite : sparklePool)
        if (sprite && sprite->Enabled()) return true;
    return false;
}

void TTyper::StartMagic(int X, int Y) {
    ErrorReporter().Require(!sparklePool.empty(), QString(), QStringLiteral("StartMagic"));
    TSprite* sparkle = nullptr;
    for (const auto& sprite : sparklePool) {
        if (sprite && !sprite->Enabled()) {
            sparkle = sprite;
            break;
        }
    }
    if (!sparkle) return;
    activeSparkles += 1;
    const int r = static_cast<int>(Random(8));
    const int s = static_cast<int>(Random(16));
    sparkle->SetLeft(X + 6 - r);
    sparkle->SetTop(Y + 8 - s);
    sparkle->SetTag(1);
    sparkle->Animation().SetCurrentFrame(0);
    sparkle->SetEnabled(true);
    sparkle->SetVisible(true);
}

void TTyper::SetSparkleSource(std::function<std::vector<TSprite*>()> source) {
    sparkleSource = std::move(source);
}

void TTyper::SetFontSource(std::function<TTextFont()> source) {
    fontSource = std::move(source);
}

const std::vector<QPointer<TSprite>>& TTyper::SparklePool() {
    return sparklePool;
}

void TTyper::ClearSparklePool() {
    sparklePool.clear();
}

int TTyper::ActiveSparkles() {
    return activeSparkles;
}

void TTyper::SetActiveSparkles(int count) {
    activeSparkles = count;
}

void TTyper::SparkleAnimFinished(QObject* Sender) {
    auto* sprite = qobject_cast<TSprite*>(Sender);
    if (!sprite) return;
    activeSparkles -= 1;
    sprite->SetEnabled(false);
    sprite->SetVisible(false);
    sprite->Animation().Reset();
}
