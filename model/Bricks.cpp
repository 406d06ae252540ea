#include "model/Bricks.h"

#include <QString>
#include <QStringList>

namespace {
struct ShapeRow {
    int Size;
    // Orientations 0 to 3, each its rows from the top separated by " / ": a
    // digit is a brick cell of that colour, B a bobble, "." empty.
    const char* Orientations[4];
};

// Drawn so that orientation o + 1 is orientation o turned a quarter turn
// clockwise on screen (kinds 0 and 1 moved down a row in some orientations).
constexpr ShapeRow kShapes[TBricks::Count] = {
    {3, {"B.. / ... / 11.", "... / 1.B / 1..", "11. / ... / .B.", "... / ..1 / B.1"}},
    {3, {".B. / ... / 22.", "... / 2.. / 2.B", "22. / ... / B..", "... / B.2 / ..2"}},
    {3, {"... / 333 / B33", "B3. / 33. / 33.", "... / 33B / 333", "33. / 33. / 3B."}},
    {3, {"... / .44 / 44.", "4.. / 44. / .4.", "... / .44 / 44.", "4.. / 44. / .4."}},
    {3, {"... / 55. / .55", ".5. / 55. / 5..", "... / 55. / .55", ".5. / 55. / 5.."}},
    {4,
     {".... / .... / 6B66 / ....", ".6.. / .B.. / .6.. / .6..", ".... / .... / 66B6 / ....",
      ".6.. / .6.. / .B.. / .6.."}},
    {3, {"... / .7. / 7.7", "7.. / .7. / 7..", "... / 7.7 / .7.", "..7 / .7. / ..7"}},
};

void DefineShape(TBrick& brick, int orientation, const char* drawing) {
    const QStringList rows = QString::fromLatin1(drawing).split(QStringLiteral(" / "));
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x) {
            const QChar c = rows[y][x];
            if (c == QLatin1Char('B'))
                brick.DefineCell(x, y, orientation, TCell::cfBobble, 0);
            else if (c.isDigit())
                brick.DefineCell(x, y, orientation, TCell::cfBrick,
                                 static_cast<uint8_t>(c.digitValue()));
        }
}
} // namespace

TBricks::TBricks(QObject* owner) : QObject(owner) {
    for (int kind = 0; kind < Count; ++kind) {
        FItems[kind] = std::make_unique<TBrick>(kShapes[kind].Size);
        for (int o = 0; o < 4; ++o)
            DefineShape(*FItems[kind], o, kShapes[kind].Orientations[o]);
    }
}

TBricks::~TBricks() = default;

TBrick* TBricks::Brick(int kind) const {
    if (kind < 0 || kind >= Count) throw ERangeError();
    return FItems[static_cast<size_t>(kind)].get();
}
