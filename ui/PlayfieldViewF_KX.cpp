#include "ui/PlayfieldViewF_KX.h"

#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "foundation/brenmarNotify.h"
#include "gfx/GfxPanel.h"
#include "gfx/brenmarUtils.h"
#include "model/Playfield_KX.h"
#include "platform/Application.h"
#include "platform/Clock.h"

#include <QPainter>
#include <QSpinBox>

TPlayfieldView::TPlayfieldView(TNotifyBroadcaster* broadcaster, QWidget* parent)
    : QWidget(parent, Qt::Window), SpinEdit1(new QSpinBox(this)),
      PlayfieldChangeReceiver(new TNotifyReceiver(this)) {
    setWindowTitle(QStringLiteral("PlayfieldView"));
    resize(172, 310);
    setAttribute(Qt::WA_DeleteOnClose);
    // A test window left open must not keep the program alive.
    setAttribute(Qt::WA_QuitOnClose, false);
    SpinEdit1->setGeometry(4, 4, 72, 24);
    SpinEdit1->setRange(0, 1000);
    SpinEdit1->setSingleStep(50);
    SpinEdit1->setValue(100);
    PlayfieldChangeReceiver->OnReceiving = [this](QObject* Sender) {
        PlayfieldChangeReceiverReceiving(Sender);
    };
    if (broadcaster) PlayfieldChangeReceiver->SetSubcribedNotifyBroadcaster(broadcaster);
}

TGameForm* TPlayfieldView::Game() const {
    return FGame.data();
}

TPlayfield* TPlayfieldView::Playfield() const {
    return FPlayfield.data();
}

void TPlayfieldView::SetGame(TGameForm* game) {
    FGame = game;
    FPlayfield = game ? game->Playfield() : nullptr;
    update();
}

void TPlayfieldView::SetColourMarks(const TGfxForm& gfx, bool marked) {
    for (int c = 1; c <= 7; ++c) {
        QImage& mark = FColourMarks[static_cast<size_t>(c - 1)];
        if (!marked) {
            mark = QImage();
            continue;
        }
        mark = gfx.ColourMark(c).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < mark.height(); ++y)
            for (int x = 0; x < mark.width(); ++x)
                if ((mark.pixel(x, y) & 0xFFFFFF) == 0) mark.setPixel(x, y, 0);
    }
    update();
}

void TPlayfieldView::DrawColourMark(QPainter& painter, const TCell& cell,
                                    const QPoint& bottomRight) const {
    // Bobbles and clean-mode cells carry no mark.
    if (cell.Colour < 1 || cell.Colour > 7 || cell.IsBobble() || (cell.Flags & TCell::cfClean))
        return;
    // The mark's 8 x 8 pixels sit at (5, 5) of its picture: in the
    // rectangle's lower right corner, clear of the number.
    const QImage& mark = FColourMarks[static_cast<size_t>(cell.Colour - 1)];
    if (!mark.isNull()) painter.drawImage(bottomRight - QPoint(14, 14), mark);
}

void TPlayfieldView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const TPlayfield* playfield = FPlayfield.data();
    if (!playfield) return;
    painter.setPen(Qt::white);
    painter.setBrush(palette().window());
    const int cw = width();
    const int ch = height();
    const int columns = playfield->ColCount();
    const int rows = playfield->RowCount();
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const TCell* cell = playfield->GetCell(i, j);
            if (!cell) continue;
            const QPoint topLeft(cw * i / columns, ch * j / rows);
            const QPoint bottomRight(cw * (i + 1) / columns, ch * (j + 1) / rows);
            painter.setPen(Qt::white);
            painter.drawRect(QRect(topLeft, bottomRight - QPoint(1, 1)));
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRect(topLeft, bottomRight), Qt::AlignLeft | Qt::AlignTop,
                             QString::number(cell->Mark));
            DrawColourMark(painter, *cell, bottomRight);
        }
    }
}

void TPlayfieldView::PlayfieldChangeReceiverReceiving(QObject*) {
    // Every wait below handles messages: the window may be closed, or the
    // game freed, before the next step.
    const QPointer<TPlayfieldView> self(this);
    update();
    Application::ProcessMessages();
    if (!self) return;
    Clock::Current().Sleep(static_cast<uint32_t>(SpinEdit1->value()));
    ProcessMessagesUntil([&] { return !self || !FGame || !FGame->IsPaused(); });
    if (!self || !FGame) return;
    if (TGfxPanel* panel = FGame->GamePanel()) panel->update();
}

void TPlayfieldView::FormResize(QObject*) {
    update();
}

void TPlayfieldView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize(this);
}
