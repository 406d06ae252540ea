#include "ui/RulesF.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int FormWidth = 420;
constexpr int FormHeight = 250;
constexpr int ShadowOffset = 2;

void DrawTexts(QPainter& p, const QColor& headColour, const QColor& textColour, int dx, int dy) {
    QFont head(QStringLiteral("Arial"));
    head.setPixelSize(28);
    head.setBold(true);
    head.setItalic(true);
    p.setFont(head);
    p.setPen(headColour);
    p.drawText(QRect(20 + dx, 14 + dy, FormWidth - 40, 40), Qt::AlignHCenter | Qt::AlignVCenter,
               TRulesForm::Headline());

    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(15);
    body.setBold(true);
    p.setFont(body);
    p.setPen(textColour);
    // One paragraph a rule, a little apart.
    QRect room(24 + dx, 66 + dy, FormWidth - 48, FormHeight - 80);
    for (const QString& rule : TRulesForm::RulesText().split(QLatin1Char('\n'))) {
        QRect used;
        p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, rule, &used);
        room.setTop(used.bottom() + 9);
    }
}
} // namespace

TRulesForm::TRulesForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("The Rules"));
    setFixedSize(FormWidth, FormHeight);
    setModal(true);
}

QString TRulesForm::Headline() {
    return QStringLiteral("The rules");
}

QString TRulesForm::RulesText() {
    return QStringLiteral(
        "\u00a71 Two bobbles connecting an area of one colour makes the area teleport to the "
        "other player's game area.\n"
        "\u00a72 A full line does the same, except for the teleporting.\n"
        "\u00a73 Only the areas where the beneath support is removed will fall down.");
}

void TRulesForm::ShowRules(QWidget* parent) {
    TRulesForm form(parent);
    if (parent) form.move(parent->geometry().center() - form.rect().center());
    form.exec();
}

void TRulesForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient ground(0, 0, 0, FormHeight);
    ground.setColorAt(0, QColor(40, 20, 90));
    ground.setColorAt(1, QColor(10, 10, 40));
    p.fillRect(rect(), ground);
    p.setPen(QColor(200, 170, 60));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // The shadow copy first, then the text itself over it.
    DrawTexts(p, QColor(0, 0, 0), QColor(0, 0, 0), ShadowOffset, ShadowOffset);
    DrawTexts(p, QColor(255, 220, 60), QColor(235, 235, 235), 0, 0);
}

void TRulesForm::mousePressEvent(QMouseEvent*) {
    accept();
}

void TRulesForm::keyPressEvent(QKeyEvent*) {
    accept();
}
