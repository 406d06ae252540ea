#include "UiTestSupport.h"
#include "gfx/brenmarUtils.h"
#include "persistence/ScoreList_KX.h"
#include "ui/ShowF.h"

#include <QDir>
#include <QFontMetrics>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace UiTest;

namespace {

QString ScoreFolder() {
    static int n = 0;
    const QString folder = TestEnvironment::ScratchFolder() + QStringLiteral("/show%1").arg(++n);
    QDir().mkpath(folder);
    return folder;
}

class ShowFormTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        Frame = std::make_unique<FrameWindow>();
        ClearBoth();
        Scores.SetFilePath(ScoreFolder() + QStringLiteral("/Scores"));
        Show = std::make_unique<TShowForm>(Frame->Frame, &Scores);
    }
    void TearDown() override {
        Show.reset();
        ClearBoth();
    }
    void Fill(const std::vector<int32_t>& scores) {
        Scores.Open();
        for (size_t i = 0; i < scores.size(); ++i)
            Scores.InsertScore(std::make_unique<TScoreListItem>(
                QStringLiteral("P%1").arg(i), scores[i], QStringLiteral("01/02/24")));
        Scores.Close();
    }
    // Types a name into the field once it is open, then presses a key on it.
    std::unique_ptr<WhenReady> AnswerName(const QString& name, int key) {
        return std::make_unique<WhenReady>([this] { return !Show->NameEdit->isHidden(); },
                                           [this, name, key] {
                                               Show->NameEdit->setText(name);
                                               PressKey(Show->NameEdit, key);
                                           });
    }

    // Made after the clock is reset: its panel's timer belongs to that clock.
    std::unique_ptr<FrameWindow> Frame;
    TScoreList Scores;
    std::unique_ptr<TShowForm> Show;
};

TEST_F(ShowFormTest, TableRanksShareEqualScoresAndFillEmptyPlaces) {
    Fill({9000, 7000, 7000, 5000, 3000, 2000, 1000});
    const std::vector<TTopScoreRow> rows = TShowForm::TopScoreRows(Scores);
    ASSERT_EQ(rows.size(), 10u);
    const std::vector<int> ranks = {1, 2, 2, 3, 4, 5, 6, 7, 8, 9};
    for (size_t j = 0; j < rows.size(); ++j)
        EXPECT_EQ(rows[j].Rank, ranks[j]) << "row " << j;
    EXPECT_EQ(rows[0].Score, QStringLiteral("9000"));
    EXPECT_FALSE(rows[6].Empty);
    for (size_t j = 7; j < 10; ++j)
        EXPECT_TRUE(rows[j].Empty) << "row " << j;
}

TEST_F(ShowFormTest, TableOfAFullDistinctListCountsOneToTen) {
    Fill({10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000});
    const std::vector<TTopScoreRow> rows = TShowForm::TopScoreRows(Scores);
    for (size_t j = 0; j < rows.size(); ++j) {
        EXPECT_EQ(rows[j].Rank, static_cast<int>(j) + 1);
        EXPECT_FALSE(rows[j].Empty);
    }
}

TEST_F(ShowFormTest, LongNamesAreCutAtTheNameColumn) {
    Fill({5000});
    Scores.Open();
    Scores.InsertScore(std::make_unique<TScoreListItem>(QStringLiteral("WWWWWWWWWW"), 6000));
    Scores.Close();
    Show->OpenPresentation(QStringLiteral("TopScores"));
    const QImage before = Show->ShowPanel->Picture().copy();
    Show->DrawTopScoreTable();
    const QImage& after = Show->ShowPanel->Picture();
    const QFontMetrics metrics(Show->SmallFont.Font);
    const int nameX = 17 + metrics.horizontalAdvance(QStringLiteral("10")) + 7 + 10;
    const int gapLeft = nameX + metrics.horizontalAdvance(QStringLiteral("MMM"));
    const int lineHeight = metrics.height() + 5;
    // The first row's name would run on into the gap before the score column.
    int changedInGap = 0;
    int changedInName = 0;
    for (int y = 70; y < 70 + lineHeight; ++y) {
        for (int x = gapLeft; x < gapLeft + 15; ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) ++changedInGap;
        for (int x = nameX; x < gapLeft; ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) ++changedInName;
    }
    EXPECT_EQ(changedInGap, 0);
    EXPECT_GT(changedInName, 0);
    Show->ClosePresentation();
}

TEST_F(ShowFormTest, TopScoresWaitForAClickAndCloseAgain) {
    Fill({5000, 4000});
    auto click = After(8000, [this] { Click(Show->ShowPanel, QPoint(80, 160)); });
    const uint64_t start = Now();
    Show->ShowTopScores();
    EXPECT_TRUE(click->Done());
    EXPECT_LT(Now() - start, 20000u);
    EXPECT_FALSE(Show->IsShowPanelVisible());
    EXPECT_EQ(Show->PresentedLines().value(0), QStringLiteral("TopScores"));
    EXPECT_FALSE(Interrupted());
    EXPECT_EQ(Show->ShowPanel->parentWidget(), Show.get());
}

TEST_F(ShowFormTest, PresentationLiesInTheFrameAndRestoresItsPicture) {
    const QImage original = Show->ShowPanel->Picture().copy();
    Show->OpenPresentation(QStringLiteral("Head"));
    EXPECT_TRUE(Show->IsShowPanelVisible());
    EXPECT_EQ(Show->ShowPanel->parentWidget(), Frame->Frame);
    EXPECT_EQ(Show->ShowPanel->pos(), QPoint(16, 80));
    EXPECT_FALSE(Show->ShowPanel->ShowPending());
    EXPECT_NE(Show->ShowPanel->Picture(), original); // the headline was typed into it
    Show->ClosePresentation();
    EXPECT_FALSE(Show->IsShowPanelVisible());
    EXPECT_EQ(Show->ShowPanel->Picture(), original);
}

TEST_F(ShowFormTest, NameEntryWithEnterStoresTheNameAtItsPlace) {
    Fill({9000, 5000, 1000});
    auto answer = AnswerName(QStringLiteral("KVX"), Qt::Key_Return);
    EXPECT_TRUE(Show->EnterName(-1, 6000));
    EXPECT_TRUE(answer->Done());
    ASSERT_EQ(Scores.Count(), 4);
    EXPECT_EQ(Scores.Items(1).PlayerName, QStringLiteral("KVX"));
    EXPECT_EQ(Scores.Items(1).Score, 6000);
    EXPECT_EQ(Scores.Items(1).DateText.size(), 8);
    const QStringList& lines = Show->PresentedLines();
    EXPECT_EQ(lines.value(0), QStringLiteral("Oh la'la'"));
    EXPECT_TRUE(lines.contains(QStringLiteral("the 2. place")));
    for (const QString& line : lines)
        EXPECT_FALSE(line.startsWith(QStringLiteral("Player")));
    EXPECT_FALSE(Show->IsShowPanelVisible());
    // The list was saved when it closed: a fresh list reads the new entry.
    TScoreList fresh;
    fresh.SetFilePath(Scores.FilePath());
    fresh.Open();
    ASSERT_EQ(fresh.Count(), 4);
    EXPECT_EQ(fresh.Items(1).PlayerName, QStringLiteral("KVX"));
    fresh.Close();
}

TEST_F(ShowFormTest, NameEntryWithEscapeStoresNothing) {
    Fill({9000});
    auto answer = AnswerName(QStringLiteral("NO"), Qt::Key_Escape);
    EXPECT_FALSE(Show->EnterName(0, 500));
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(Scores.Count(), 1);
    EXPECT_FALSE(Show->IsShowPanelVisible());
    EXPECT_FALSE(Interrupted());
}

TEST_F(ShowFormTest, SecondPlayerIsNamedAndAnEmptiedFieldStoresAnEmptyName) {
    Fill({9000});
    auto answer = AnswerName(QString(), Qt::Key_Enter);
    EXPECT_TRUE(Show->EnterName(1, 700));
    // The headline, the empty line under it, then the player.
    EXPECT_EQ(Show->PresentedLines().value(2), QStringLiteral("Player 2"));
    ASSERT_EQ(Scores.Count(), 2);
    EXPECT_EQ(Scores.Items(1).PlayerName, QString());
}

TEST_F(ShowFormTest, NameFieldKeepsTheLastNameAndLosingFocusKeepsTheEntryOpen) {
    Fill({9000});
    auto first = AnswerName(QStringLiteral("ABC"), Qt::Key_Return);
    ASSERT_TRUE(Show->EnterName(-1, 800));
    QString shownText;
    bool openAfterFocusLoss = false;
    WhenReady lose([this] { return !Show->NameEdit->isHidden(); },
                   [&] {
                       shownText = Show->NameEdit->text();
                       Show->NameEdit->setText(QStringLiteral("AB"));
                       QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                       QApplication::sendEvent(Show->NameEdit, &out);
                       openAfterFocusLoss = !Show->NameEdit->isHidden();
                       Show->NameEdit->setText(QStringLiteral("ABD"));
                       PressKey(Show->NameEdit, Qt::Key_Return);
                   });
    EXPECT_TRUE(Show->EnterName(-1, 850));
    EXPECT_EQ(shownText, QStringLiteral("ABC"));
    EXPECT_TRUE(openAfterFocusLoss);
    EXPECT_EQ(Scores.Items(1).PlayerName, QStringLiteral("ABD"));
}

TEST_F(ShowFormTest, NoPlaceOrNoScoreNeverAsks) {
    Fill({10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000});
    EXPECT_FALSE(Show->EnterName(-1, 999));
    EXPECT_TRUE(Show->PresentedLines().isEmpty());
    TScoreList roomy;
    roomy.SetFilePath(ScoreFolder() + QStringLiteral("/Scores"));
    Show->SetScoreList(&roomy);
    EXPECT_FALSE(Show->EnterName(-1, 0));
    EXPECT_TRUE(Show->PresentedLines().isEmpty());
    EXPECT_EQ(roomy.Count(), 0);
    EXPECT_FALSE(roomy.IsOpen());
}

TEST_F(ShowFormTest, KeyPreviewSeesTheKeysOfTheNameField) {
    Fill({9000});
    std::vector<int> previewed;
    Show->OnPreviewKey = [&](int key) {
        previewed.push_back(key);
        // The main window ends the entry on Space.
        if (key == Qt::Key_Space) Show->NameEdit->hide();
    };
    auto answer = AnswerName(QStringLiteral("Q"), Qt::Key_Space);
    EXPECT_TRUE(Show->EnterName(-1, 900));
    EXPECT_EQ(previewed, std::vector<int>{Qt::Key_Space});
    EXPECT_EQ(Scores.Items(1).PlayerName, QStringLiteral("Q"));
}

// Mid-wipe, every pixel is the frame beneath or the new picture: no flat colour.
TEST_F(ShowFormTest, TheWipeRevealsTheShowOverWhatTheWindowShowed) {
    const QImage under = Frame->Frame->Picture().copy(QRect(QPoint(16, 80), Show->ShowPanel->size()));
    int strayPixels = -1;
    WhenReady look([] { return TWiper::AnyWipeRunning(); },
                   [&] {
                       const QImage& screen = Show->ShowPanel->ScreenImage();
                       const QImage& picture = Show->ShowPanel->Picture();
                       strayPixels = 0;
                       const QRect shown = screen.rect() & picture.rect() & under.rect();
                       for (int y = 0; y < shown.height(); ++y)
                           for (int x = 0; x < shown.width(); ++x)
                               if (screen.pixel(x, y) != under.pixel(x, y) &&
                                   screen.pixel(x, y) != picture.pixel(x, y))
                                   ++strayPixels;
                   });
    auto end = After(2000, [] { RequestAbort(); });
    Show->ShowTopScores();
    EXPECT_EQ(strayPixels, 0);
}

TEST_F(ShowFormTest, CreditsRunThroughThreePages) {
    Show->ShowCredits();
    const QStringList& lines = Show->PresentedLines();
    EXPECT_EQ(lines.value(0), QStringLiteral("Please"));
    EXPECT_EQ(lines.last(), QStringLiteral("have company."));
    EXPECT_FALSE(Show->IsShowPanelVisible());
    EXPECT_FALSE(Interrupted());
}

TEST_F(ShowFormTest, AnAbortEndsTheCreditsAfterThePageShown) {
    auto abort = After(3000, [] { RequestAbort(); });
    const uint64_t start = Now();
    Show->ShowCredits();
    EXPECT_TRUE(abort->Done());
    const QStringList& lines = Show->PresentedLines();
    EXPECT_EQ(lines.value(0), QStringLiteral("Credits"));
    // The rest of the page appears at once and its closing line is still typed.
    EXPECT_EQ(lines.last(), QStringLiteral("(click me)"));
    EXPECT_LT(Now() - start, 10000u);
    EXPECT_FALSE(Interrupted());
}

TEST_F(ShowFormTest, ClicksPageThroughTheCredits) {
    int clicks = 0;
    std::unique_ptr<WhenReady> clicker;
    std::function<void()> again = [&] {
        clicker = After(500, [&] {
            ++clicks;
            Click(Show->ShowPanel, QPoint(10, 10));
            again();
        });
    };
    again();
    const uint64_t start = Now();
    Show->ShowCredits();
    EXPECT_EQ(Show->PresentedLines().value(0), QStringLiteral("Please"));
    EXPECT_LT(Now() - start, 30000u);
    EXPECT_GE(clicks, 3);
    clicker.reset();
}

TEST_F(ShowFormTest, RoundMessageLiesOverThePlayfieldWithoutAWipe) {
    TGfxPanel playfield(&Frame->Window);
    playfield.setGeometry(16, 80, 160, 320);
    QImage picture(160, 320, QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    playfield.SetPicture(picture);
    playfield.show();
    RunUntil([&] { return !playfield.ShowPending(); }, 200);

    bool seenOverPlayfield = false;
    bool wipeSeen = false;
    WhenReady look([this] { return Show->IsShowPanelVisible(); },
                   [&] {
                       seenOverPlayfield = Show->ShowPanel->parentWidget() == &playfield &&
                                           Show->ShowPanel->pos() == QPoint(0, 0);
                       wipeSeen = TWiper::AnyWipeRunning();
                   });
    const uint64_t start = Now();
    Show->ShowTimeRound(&playfield);
    EXPECT_TRUE(seenOverPlayfield);
    EXPECT_FALSE(wipeSeen);
    EXPECT_GE(Now() - start, 3000u);
    EXPECT_EQ(Show->PresentedLines().value(0), QStringLiteral("Puh..."));
    EXPECT_EQ(Show->PresentedLines().last(), QStringLiteral("to continue?"));
    EXPECT_EQ(Show->ShowPanel->parentWidget(), Show.get());
    EXPECT_EQ(playfield.Picture(), picture);
    EXPECT_EQ(Show->ShowPanel->Wiper().WipeType(), wtPlait);

    Show->ShowCleaned(&playfield);
    EXPECT_EQ(Show->PresentedLines().value(0), QStringLiteral("Cleaned"));
    EXPECT_EQ(Show->PresentedLines().last(), QStringLiteral("next one too?"));
}

} // namespace
