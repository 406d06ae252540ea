#include "SimCommand.h"
#include "flow/GameF.h"
#include "flow/GfxF.h"
#include "flow/HeadlessSession_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "foundation/Random.h"
#include "gfx/GfxPanel.h"
#include "model/Brick_KX.h"
#include "model/Playfield_KX.h"
#include "persistence/DemoF.h"
#include "persistence/Settings_KX.h"
#include "platform/KeyState.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

// A computer player for kolvex-sim: it plays real sessions through the key
// state table, the way a person at the keyboard would, choosing for every
// new brick the place and turn that its evaluation of the well likes best.
// It is what made the demo recording that ships with the game.

namespace {

constexpr int Columns = 10;
constexpr int Rows = 20;
constexpr int Cell = 16;
// Spawned bricks stand at top 0 or above.
constexpr int SafeDropTop = Cell;
// Keys of the two players: left, right, turn, drop.
constexpr int PlayerKeys[2][4] = {{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}, {65, 68, 87, 83}};

// A plain copy of a well for trying out placements.
struct Well {
    struct Place {
        uint8_t Flags = 0;
        uint8_t Colour = 0;
    };
    std::array<Place, Columns * Rows> Places{};

    Place& At(int x, int y) { return Places[static_cast<size_t>(y * Columns + x)]; }
    const Place& At(int x, int y) const { return Places[static_cast<size_t>(y * Columns + x)]; }
    bool Filled(int x, int y) const { return At(x, y).Flags != 0; }
    bool Bobble(int x, int y) const { return (At(x, y).Flags & TCell::cfBobble) != 0; }
    static bool Inside(int x, int y) { return x >= 0 && x < Columns && y >= 0 && y < Rows; }

    static Well Of(const TPlayfield& field) {
        Well w;
        for (int x = 0; x < Columns; ++x)
            for (int y = 0; y < Rows; ++y)
                if (const TCell* c = field.GetCell(x, y)) w.At(x, y) = {c->Flags, c->Colour};
        return w;
    }
};

// What one placement achieved and how the well looks after it.
struct Outcome {
    int Lines = 0;
    int Zapped = 0;
    int Falls = 0;
};

const int Neighbours[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

// The rules, closely enough for judging a placement: bobble-connected areas
// and full lines go, the groups that lost their support fall, and the well
// is looked at again until nothing more goes.
Outcome Resolve(Well& w) {
    Outcome out;
    for (int pass = 0; pass < 12; ++pass) {
        std::array<bool, Columns * Rows> zap{};
        bool any = false;
        // Areas of one colour touching two bobbles (and two bobbles side by side).
        std::array<bool, Columns * Rows> seen{};
        for (int x = 0; x < Columns; ++x) {
            for (int y = 0; y < Rows; ++y) {
                if (!w.Filled(x, y) || w.Bobble(x, y) || seen[static_cast<size_t>(y * Columns + x)])
                    continue;
                const uint8_t colour = w.At(x, y).Colour;
                std::vector<std::pair<int, int>> area{{x, y}}, bobbles;
                seen[static_cast<size_t>(y * Columns + x)] = true;
                for (size_t i = 0; i < area.size(); ++i) {
                    for (const auto& d : Neighbours) {
                        const int nx = area[i].first + d[0], ny = area[i].second + d[1];
                        if (!Well::Inside(nx, ny) || !w.Filled(nx, ny)) continue;
                        if (w.Bobble(nx, ny)) {
                            if (std::find(bobbles.begin(), bobbles.end(), std::make_pair(nx, ny)) ==
                                bobbles.end())
                                bobbles.emplace_back(nx, ny);
                        } else if (w.At(nx, ny).Colour == colour &&
                                   !seen[static_cast<size_t>(ny * Columns + nx)]) {
                            seen[static_cast<size_t>(ny * Columns + nx)] = true;
                            area.emplace_back(nx, ny);
                        }
                    }
                }
                if (bobbles.size() < 2) continue;
                any = true;
                for (const auto& p : area)
                    zap[static_cast<size_t>(p.second * Columns + p.first)] = true;
                for (const auto& p : bobbles)
                    zap[static_cast<size_t>(p.second * Columns + p.first)] = true;
            }
        }
        for (int x = 0; x + 1 < Columns; ++x)
            for (int y = 0; y < Rows; ++y)
                if (w.Bobble(x, y) && w.Bobble(x + 1, y)) {
                    zap[static_cast<size_t>(y * Columns + x)] = true;
                    zap[static_cast<size_t>(y * Columns + x + 1)] = true;
                    any = true;
                }
        for (int y = 0; y < Rows; ++y) {
            bool full = true;
            for (int x = 0; x < Columns && full; ++x)
                full = w.Filled(x, y);
            if (!full) continue;
            out.Lines += 1;
            any = true;
            for (int x = 0; x < Columns; ++x)
                zap[static_cast<size_t>(y * Columns + x)] = true;
        }
        if (!any) break;
        // Groups that touch a removed cell from above or from the side may
        // lose their support; a group still standing on the floor or on a
        // cell outside every group (or on a group found to stand) stays.
        std::array<int, Columns * Rows> mark{};
        const auto idx = [](int x, int y) { return static_cast<size_t>(y * Columns + x); };
        for (int i = 0; i < Columns * Rows; ++i)
            if (zap[static_cast<size_t>(i)]) mark[static_cast<size_t>(i)] = 1;
        int groups = 0;
        for (int x = 0; x < Columns; ++x)
            for (int y = 0; y < Rows; ++y) {
                if (mark[idx(x, y)] != 1) continue;
                const int look[3][2] = {{0, -1}, {-1, 0}, {1, 0}};
                for (const auto& d : look) {
                    const int nx = x + d[0], ny = y + d[1];
                    if (!Well::Inside(nx, ny) || !w.Filled(nx, ny) || mark[idx(nx, ny)] != 0)
                        continue;
                    const int g = -(++groups);
                    std::vector<std::pair<int, int>> todo{{nx, ny}};
                    mark[idx(nx, ny)] = g;
                    while (!todo.empty()) {
                        const auto [cx, cy] = todo.back();
                        todo.pop_back();
                        for (const auto& e : Neighbours) {
                            const int mx = cx + e[0], my = cy + e[1];
                            if (!Well::Inside(mx, my) || !w.Filled(mx, my) ||
                                mark[idx(mx, my)] != 0)
                                continue;
                            mark[idx(mx, my)] = g;
                            todo.emplace_back(mx, my);
                        }
                    }
                }
            }
        for (int g = 1; g <= groups; ++g)
            for (int i = 0; i < Columns * Rows; ++i) {
                if (mark[static_cast<size_t>(i)] != -g) continue;
                const int x = i % Columns, y = i / Columns;
                if (y + 1 >= Rows || (w.Filled(x, y + 1) && mark[idx(x, y + 1)] == 0)) {
                    for (int& m : mark)
                        if (m == -g) m = 0;
                    break;
                }
            }
        for (int i = 0; i < Columns * Rows; ++i)
            if (zap[static_cast<size_t>(i)]) {
                w.Places[static_cast<size_t>(i)] = {};
                mark[static_cast<size_t>(i)] = 0;
                out.Zapped += 1;
            }
        for (int g = 1; g <= groups; ++g) {
            int fall = Rows;
            bool member = false;
            for (int x = 0; x < Columns; ++x)
                for (int y = 0; y < Rows; ++y) {
                    if (mark[idx(x, y)] != -g) continue;
                    member = true;
                    if (y + 1 < Rows && w.Filled(x, y + 1)) continue;
                    int k = 0;
                    while (y + 1 + k < Rows && !w.Filled(x, y + 1 + k))
                        ++k;
                    if (y + 1 + k < Rows && mark[idx(x, y + 1 + k)] == -g) continue;
                    fall = std::min(fall, k);
                }
            if (!member || fall == Rows || fall == 0) continue;
            for (int x = 0; x < Columns; ++x)
                for (int y = Rows - 1; y >= 0; --y) {
                    if (mark[idx(x, y)] != -g) continue;
                    w.At(x, y + fall) = w.At(x, y);
                    mark[idx(x, y + fall)] = -g;
                    w.At(x, y) = {};
                    mark[idx(x, y)] = 0;
                }
            out.Falls += 1;
        }
    }
    return out;
}

// Where a brick in an orientation comes to rest when dropped at a box
// column from the row it is at; false when it cannot stand there at all.
bool Fits(const Well& w, const TBrick& brick, int orientation, int column, int row) {
    for (int i = 0; i < brick.Width(); ++i)
        for (int j = 0; j < brick.Height(); ++j) {
            if (!brick.HasCellAt(i, j, orientation)) continue;
            const int x = column + i, y = row + j;
            if (x < 0 || x >= Columns || y >= Rows) return false;
            if (y >= 0 && w.Filled(x, y)) return false;
        }
    return true;
}

struct Plan {
    int Orientation = 0;
    int Column = 0;
    double Value = -1e18;
};

double Judge(const Well& before, const Well& after, const Outcome& outcome, const TBrick& brick,
             int orientation, int column, int row) {
    std::array<int, Columns> height{};
    int holes = 0;
    for (int x = 0; x < Columns; ++x) {
        int top = Rows;
        for (int y = 0; y < Rows; ++y)
            if (after.Filled(x, y)) {
                top = y;
                break;
            }
        height[static_cast<size_t>(x)] = Rows - top;
        for (int y = top + 1; y < Rows; ++y)
            if (!after.Filled(x, y)) holes += 1;
    }
    int total = 0, bump = 0, highest = 0;
    for (int x = 0; x < Columns; ++x) {
        total += height[static_cast<size_t>(x)];
        highest = std::max(highest, height[static_cast<size_t>(x)]);
        if (x > 0)
            bump += std::abs(height[static_cast<size_t>(x)] - height[static_cast<size_t>(x - 1)]);
    }
    // Cells of the brick that land beside cells of their own colour build the
    // areas that bobbles later take away; a bobble beside such an area is a promise.
    int kinship = 0;
    for (int i = 0; i < brick.Width(); ++i)
        for (int j = 0; j < brick.Height(); ++j) {
            const TCell* c = brick.CellAt(i, j, orientation);
            if (!c) continue;
            const int x = column + i, y = row + j;
            for (const auto& d : Neighbours) {
                const int nx = x + d[0], ny = y + d[1];
                if (!Well::Inside(nx, ny) || !before.Filled(nx, ny)) continue;
                const Well::Place& p = before.At(nx, ny);
                if (c->IsBobble() ? (p.Flags & TCell::cfBobble) == 0 : p.Colour == c->Colour)
                    kinship += c->IsBobble() ? 2 : 1;
            }
        }
    double value = 0;
    value += 60.0 * outcome.Lines + 12.0 * outcome.Zapped + 4.0 * outcome.Falls;
    value += 3.0 * kinship;
    value -= 0.6 * total + 9.0 * holes + 1.6 * bump;
    if (highest > 12) value -= 25.0 * (highest - 12);
    return value;
}

Plan Choose(const TGameForm& game) {
    const TBrick& brick = *game.CurrentBrick();
    const Well well = Well::Of(*game.Playfield());
    const int startRow = game.BrickTop() / Cell;
    const int startColumn = game.BrickLeft() / Cell;
    Plan best;
    for (int o = 0; o < 4; ++o) {
        if (!Fits(well, brick, o, startColumn, startRow)) continue;
        for (int column = -3; column < Columns; ++column) {
            // The way there along the top, then straight down.
            bool reachable = true;
            const int step = column < startColumn ? -1 : 1;
            for (int c = startColumn; c != column && reachable; c += step)
                reachable = Fits(well, brick, o, c + step, startRow);
            if (!reachable || !Fits(well, brick, o, column, startRow)) continue;
            int row = startRow;
            while (Fits(well, brick, o, column, row + 1))
                ++row;
            Well after = well;
            for (int i = 0; i < brick.Width(); ++i)
                for (int j = 0; j < brick.Height(); ++j)
                    if (const TCell* c = brick.CellAt(i, j, o); c && row + j >= 0)
                        after.At(column + i, row + j) = {c->Flags, c->Colour};
            const Outcome outcome = Resolve(after);
            const double value = Judge(well, after, outcome, brick, o, column, row);
            if (value > best.Value) best = {o, column, value};
        }
    }
    return best;
}

// One player's hands on the keyboard.
class Hand {
public:
    explicit Hand(int index) : FKeys(PlayerKeys[index]) {}

    void Act(TGameForm& game) {
        if (!game.TheGame().Running() || !game.CurrentBrick()) {
            Release();
            return;
        }
        const TBrick* brick = game.CurrentBrick();
        const int top = game.BrickTop();
        if (brick != FBrick || top < FTopSeen) {
            if (FBrick) Count(*game.Playfield());
            Release();
            FBrick = brick;
            FPlan = Choose(game);
            FTries = 0;
            FDropped = false;
            FActed = false;
        }
        FTopSeen = top;
        if (FHeld) {
            // A key stays down until the game has seen it, then comes up so
            // that it is not repeated.
            if (Seen(game) || ++FHeldFrames > 6) Release();
            return;
        }
        if (FDropped) return;
        const int orientation = brick->Orientation();
        const int left = game.BrickLeft();
        // A replay applies an action as soon as the brick in play stands where
        // it was recorded. The brick before this one stood at its last
        // action's place and below it afterwards, so this brick's first
        // action must come where that brick never was after its last one.
        if (!FActed && left == FLastLeft && top >= FLastTop) return;
        if (++FTries > 60) {
            Press(3, game);
            return;
        }
        if (orientation != FPlan.Orientation) {
            Press(2, game);
        } else if (left % Cell != 0) {
            return; // still moving sideways
        } else if (left / Cell > FPlan.Column) {
            Press(0, game);
        } else if (left / Cell < FPlan.Column) {
            Press(1, game);
        } else if (top >= SafeDropTop) {
            // Dropped below every brick's first place, for the reason above.
            Press(3, game);
        }
    }

    // What the landings of this player's game removed.
    int Lines = 0;
    int AreaZaps = 0;
    int Landings = 0;

    void Release() {
        if (FHeld) KeyState::SetDown(FKeys[FAction], false);
        FHeld = false;
    }

private:
    void Count(const TPlayfield& field) {
        Landings += 1;
        Lines += field.LinesRemoved();
        // A landing that zapped more than its full lines held took a bobble area.
        if (field.CellsZapped() > std::max(0, field.LinesRemoved() * Columns - 2)) AreaZaps += 1;
    }
    void Press(int action, const TGameForm& game) {
        FActed = true;
        if (action == 3) {
            FLastLeft = game.BrickLeft();
            FLastTop = game.BrickTop();
        }
        FAction = action;
        FHeld = true;
        FHeldFrames = 0;
        FPressOrientation = game.CurrentBrick()->Orientation();
        FPressLeft = game.BrickLeft();
        if (action == 3) FDropped = true;
        KeyState::SetDown(FKeys[action], true);
    }
    bool Seen(const TGameForm& game) const {
        switch (FAction) {
        case 2:
            return game.CurrentBrick()->Orientation() != FPressOrientation;
        case 3:
            return game.Dropping();
        default:
            return game.BrickLeft() != FPressLeft || game.MoveColumns() != 0;
        }
    }

    const int* FKeys;
    const TBrick* FBrick = nullptr;
    int FTopSeen = 0;
    Plan FPlan;
    int FTries = 0;
    bool FDropped = false;
    bool FActed = false;
    int FLastLeft = -1000;
    int FLastTop = 0;
    bool FHeld = false;
    int FHeldFrames = 0;
    int FAction = 0;
    int FPressOrientation = 0;
    int FPressLeft = 0;
};

int RunAutoplay(const QStringList& args) {
    uint32_t seed = 0;
    int players = 1, level = 0;
    int64_t maxFrames = THeadlessSession::DefaultMaxFrames;
    bool haveSeed = false;
    QString out;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* what) -> const QString& {
            if (++i >= args.size()) throw SimUsageError(std::string(what) + " needs a value");
            return args[i];
        };
        if (a == QLatin1String("--seed")) {
            seed =
                static_cast<uint32_t>(SimParseInteger(value("--seed"), "--seed", 0, 4294967295LL));
            haveSeed = true;
        } else if (a == QLatin1String("--players")) {
            players = static_cast<int>(SimParseInteger(value("--players"), "--players", 1, 2));
        } else if (a == QLatin1String("--level")) {
            level = static_cast<int>(SimParseInteger(value("--level"), "--level", 0, 4));
        } else if (a == QLatin1String("--max-frames")) {
            maxFrames = SimParseInteger(value("--max-frames"), "--max-frames", 1, 100000000LL);
        } else if (out.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            out = a;
        } else {
            throw SimUsageError("unexpected argument '" + a.toStdString() + "'");
        }
    }
    if (!haveSeed || out.isEmpty())
        throw SimUsageError("expected --seed S [--players P] [--level L] [--max-frames N] OUT");

    THeadlessSession session;
    THeadlessHost& host = session.Host();
    TSettings& settings = Settings();
    settings.Speed = 0;
    settings.RotationDirectionClockwise = true;
    settings.SoundEffectEnabled = false;
    ApplySettings(host.GfxForm());
    host.CheckPlayersItem(players);
    host.CheckLevelItem(level);
    host.SetGameType(0);
    SetRandSeed(seed);
    host.DemoForm()->StartRecording();
    TSessionCoordinator* coordinator = host.NewSession();
    std::vector<Hand> hands;
    for (int p = 0; p < players; ++p)
        hands.emplace_back(p);
    session.RunSession(maxFrames, [&] {
        for (int p = 0; p < players && p < coordinator->Count(); ++p)
            hands[static_cast<size_t>(p)].Act(*coordinator->GetGame(p));
    });
    for (Hand& hand : hands)
        hand.Release();
    host.DemoForm()->SaveRecording(out);
    const QByteArray text = THeadlessSession::Format(session.Results()).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fprintf(stdout, "frames %lld\n", static_cast<long long>(session.FramesRun()));
    for (int p = 0; p < players; ++p) {
        const Hand& hand = hands[static_cast<size_t>(p)];
        std::fprintf(stdout, "player %d landings %d lines %d area-zaps %d\n", p, hand.Landings,
                     hand.Lines, hand.AreaZaps);
    }
    return 0;
}

SimRegistration autoplay{
    {"autoplay", "autoplay --seed S [--players P] [--level L] [--max-frames N] OUT", RunAutoplay}};
} // namespace
