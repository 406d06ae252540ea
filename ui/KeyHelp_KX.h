#pragma once

#include <QImage>
#include <QStringList>

class TKeyTable;

// The title menu's few lines on how to play, with the keys in force named as
// this keyboard's layout labels them.
namespace KeyHelp {
// "Player one: Left Right Up Down", "Player two: A D W S", "P pauses, Esc stops".
QStringList Lines(const TKeyTable& keys);
// The menu picture with those lines written under its choices.
QImage OnMenuPicture(const QImage& menu, const TKeyTable& keys);
} // namespace KeyHelp
