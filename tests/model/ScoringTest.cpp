#include "PlayfieldPicture.h"
#include "model/KolvexPlayer.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
class ScoreLabel : public TPlayerGameForm {
public:
    std::vector<int32_t> Shown;
    void ShowScore(int32_t score) override { Shown.push_back(score); }
};

class Scoring : public testing::Test {
protected:
    void SetUp() override { TestEnvironment::Reset(); }

    // A landing as the game window runs it: the brick's cells are in, then
    // the playfield resolves and the bonuses follow.
    int32_t Landing(std::initializer_list<const char*> rows) {
        Draw(pf, rows);
        player.ScoreBrickLanded();
        pf.ResolveLanding();
        player.ScoreLandingResult(pf.LinesRemoved(), pf.CellsZapped());
        return player.Score();
    }

    TPlayfield pf;
    RecordingGameForm form{pf};
    ScoreLabel label;
    TKolvexPlayer player{nullptr, &label};
};

TEST_F(Scoring, NewPlayerHasNoScoreAndADefaultName) {
    TKolvexPlayer fresh;
    EXPECT_EQ(fresh.Score(), 0);
    EXPECT_EQ(fresh.Name(), QStringLiteral("John Doe"));
    fresh.SetScore(12); // no game window to show it on
    EXPECT_EQ(fresh.Score(), 12);
}

TEST_F(Scoring, LandingThatRemovesNothingScoresFive) {
    EXPECT_EQ(Landing({"..1B......"}), 5);
    EXPECT_EQ(label.Shown, std::vector<int32_t>{5});
}

TEST_F(Scoring, OneBottomLineScoresTwoHundredTwentyShowingEachStep) {
    EXPECT_EQ(Landing({"1231231231"}), 220);
    EXPECT_EQ(label.Shown, (std::vector<int32_t>{5, 130, 220}));
}

TEST_F(Scoring, TwoBobblesSideBySideScoreOnlyTheBrick) {
    EXPECT_EQ(Landing({"....BB...."}), 5);
    EXPECT_FALSE(pf.IsOccupied(4, 19));
}

TEST_F(Scoring, AreaOfSixWithItsBobblesScoresEightyFive) {
    EXPECT_EQ(Landing({"B333333B.."}), 85);
    EXPECT_EQ(pf.CellsZapped(), 6);
}

TEST_F(Scoring, FourLinesAtOnceScoreTwelveHundredFortyFive) {
    EXPECT_EQ(Landing({"1212121212", "3434343434", "5656565656", "7171717171"}), 1245);
}

TEST_F(Scoring, LinesOverSeveralPassesCountTogether) {
    // Two lines in two passes: the second forms when the 5 falls into the gap.
    EXPECT_EQ(Landing({"....5.....", "1111111111", "2222.22222"}), 5 + 250 + 130);
}

TEST_F(Scoring, LineBonusesStopAtFourLines) {
    const int32_t bonus[] = {0, 125, 250, 500, 1000, 0, 0};
    for (int lines = 0; lines < 7; ++lines)
        EXPECT_EQ(TKolvexPlayer::LineBonus(lines), bonus[lines]) << lines;
    EXPECT_EQ(TKolvexPlayer::LineBonus(-1), 0);
    EXPECT_EQ(TKolvexPlayer::ZapBonus(0), 0);
    EXPECT_EQ(TKolvexPlayer::ZapBonus(-2), 0);
    EXPECT_EQ(TKolvexPlayer::ZapBonus(1), 55);
}

TEST_F(Scoring, ThreeLinesAndTwelveZappedAddSixHundredFifteen) {
    player.ScoreBrickLanded();
    player.ScoreLandingResult(3, 12);
    EXPECT_EQ(player.Score(), 5 + 500 + 110);
}

TEST_F(Scoring, FiveLinesGiveOnlyTheZapBonus) {
    player.ScoreLandingResult(5, 48);
    EXPECT_EQ(player.Score(), 5 * 48 + 50);
    EXPECT_EQ(label.Shown.size(), 1u);
}

TEST_F(Scoring, ScorePastTheLargestIntegerIsAnOverflowError) {
    player.SetScore(INT32_MAX - 4);
    EXPECT_THROW(player.ScoreBrickLanded(), EIntOverflow);
    EXPECT_EQ(player.Score(), INT32_MAX - 4);
}
} // namespace
