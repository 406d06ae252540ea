#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class TSessionCoordinator;

// What a session left behind: per game its score, level, whether it was
// stopped, and its playfield as 20 rows of 10 characters, row 0 first
// ("." empty, "1" to "7" a brick cell's colour, "B" a bobble, "C" a clean-mode cell).
struct TGameResult {
    int32_t Score = 0;
    int Level = 0;
    bool Stopped = false;
    std::vector<QString> Rows;
};

// The one form in which a session's outcome is told, by the headless
// companion and by the program, so that a live game and its replays compare
// line by line.
namespace SessionResults {

std::vector<TGameResult> Collect(const TSessionCoordinator* session);
// "game I score S level L stopped 0|1" and the 20 rows, for each game.
QString Format(const std::vector<TGameResult>& results);
// Appends the formatted results and a line "end" to the file; false when
// the file cannot be written.
bool AppendTo(const QString& fileName, const std::vector<TGameResult>& results);

} // namespace SessionResults
