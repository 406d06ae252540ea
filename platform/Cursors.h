#pragma once

#include <QCursor>

// The program's cursors by number: 0 the arrow, 1 the hammer, 2 the flip
// arrow, 3 invisible, 4 the pointing hand. Until they are registered from the
// resources each number gives the nearest standard cursor.
enum CursorNumber : int {
    crArrowD = 0,
    crHammer = 1,
    crFlip = 2,
    crInvisible = 3,
    crHandPoint = 4,
};

class Cursors {
public:
    static constexpr int Count = 5;
    static void Register(int number, const QCursor& cursor);
    // The cursor of a number; numbers outside 0 to 4 give the arrow.
    static QCursor Get(int number);
    // Moves the pointer onto its own position so the shape under it refreshes.
    static void Nudge();
};
