#include "ui/KeyHelp_KX.h"

#include "persistence/KeyTable_KX.h"
#include "platform/KeyNames.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int FirstLineTop = 186;
constexpr int LineHeight = 14;
constexpr QRgb HintColour = 0xff9aa8d8;

QString PlayerLine(const TKeyTable& keys, int player, const QString& who) {
    QStringList names;
    for (int action = 0; action < TKeyTable::PlayerKeys; ++action)
        names << KeyNames::ShortNameOf(keys.PlayerKey(player, action));
    return who + QStringLiteral(": ") + names.join(QLatin1Char(' '));
}

// The bold hint font, made smaller until the line fits the menu's width.
QFont FontFitting(const QString& line, int width) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int size = 10; size >= 7; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(line) <= width - 4) break;
    }
    return font;
}
} // namespace

QStringList KeyHelp::Lines(const TKeyTable& keys) {
    return {PlayerLine(keys, 0, QStringLiteral("Player one")),
            PlayerLine(keys, 1, QStringLiteral("Player two")),
            QStringLiteral("%1 pauses, Esc stops").arg(KeyNames::ShortNameOf(keys.PauseKey()))};
}

QImage KeyHelp::OnMenuPicture(const QImage& menu, const TKeyTable& keys) {
    if (menu.isNull()) return menu;
    QImage picture = menu.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QColor::fromRgb(HintColour));
    const QStringList lines = Lines(keys);
    for (int i = 0; i < lines.size(); ++i) {
        const QRect box(0, FirstLineTop + i * LineHeight, picture.width(), LineHeight - 1);
        painter.setFont(FontFitting(lines[i], picture.width()));
        painter.drawText(box, Qt::AlignCenter, lines[i]);
    }
    return picture;
}
