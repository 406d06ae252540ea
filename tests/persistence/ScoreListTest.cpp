#include "PersistenceFakes.h"
#include "persistence/ScoreList_KX.h"
#include "platform/Application.h"
#include "platform/Folders.h"

#include <gtest/gtest.h>

namespace {
const QString InUseText = QStringLiteral(
    "from Kolvex\r\n\r\nThe ScoreList is in use by another user!\r\n"
    "You should probably just wait a moment and then try again.\r\n\r\n"
    "Warning: if you choose Abort then you won't be able to save\r\n"
    "any new topscores until you close the game and start it again.\r\n\r\nTry again?\r\n");
const QString CannotCreateText = QStringLiteral(
    "Can't create the scorelist on disk because it's either full or writeprotected.\r\n"
    "Won't be able to save any changes to the scorelist this time.");
const QString CannotSaveText =
    QStringLiteral("Can't save scorelist on disk - full or writeprotected!\r\n"
                   "Won't be able to save any changes to scorelist during this session.");

std::vector<int32_t> Scores(const TScoreList& list) {
    std::vector<int32_t> scores;
    for (int i = 0; i < list.Count(); ++i)
        scores.push_back(list.Items(i).Score);
    return scores;
}

class ScoreListTest : public testing::Test {
protected:
    void SetUp() override {
        folder = FreshStart();
        Application::SetTitle("Kolvex");
    }

    // A list as the data module sets it up.
    std::unique_ptr<TScoreList> MakeList(const QString& path) {
        auto list = std::make_unique<TScoreList>();
        list->SetMaxScores(10);
        list->SetMaxPlayerNameLength(8);
        list->SetFilePath(path);
        TScoreList* raw = list.get();
        list->OnNoFile = [raw](QObject*) { ScoreListNoFile(*raw); };
        return list;
    }

    int Insert(TScoreList& list, const QString& name, int32_t score) {
        return list.InsertScore(std::make_unique<TScoreListItem>(name, score, "24/12/26"));
    }

    const std::vector<ScriptedDialogs::Shown>& Shown() { return TestEnvironment::Dialogs().Log(); }

    QString folder;
};

const std::vector<int32_t> Defaults = {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000};

TEST_F(ScoreListTest, FirstOpenCreatesTheFileWithTenAcesAndCloseWritesThem) {
    auto list = MakeList(folder + "/Scores");
    EXPECT_EQ(list->FileName(), folder + "/Scores.DAT");
    list->Open();
    EXPECT_TRUE(list->IsOpen());
    EXPECT_TRUE(QFileInfo::exists(folder + "/Scores.DAT"));
    EXPECT_EQ(Scores(*list), Defaults);
    EXPECT_EQ(list->Items(9).PlayerName, "ACE");
    EXPECT_TRUE(list->Modified());
    list->Close();
    EXPECT_FALSE(list->IsOpen());
    EXPECT_FALSE(list->Modified());
    EXPECT_TRUE(Shown().empty());

    const QByteArray bytes = ReadAll(folder + "/Scores.DAT");
    ASSERT_EQ(bytes.size(), 5200);
    const QByteArray first = QByteArray::fromHex("03") + "ACE" + QByteArray(252, '\0') +
                             QByteArray::fromHex("10270000") + QByteArray(256, '\0') +
                             QByteArray(4, '\0');
    EXPECT_EQ(bytes.left(520), first);
    EXPECT_EQ(bytes.mid(9 * 520 + 256, 4), QByteArray::fromHex("e8030000"));
}

TEST_F(ScoreListTest, EntriesSurviveAReopenAndAreWrittenBackByteForByte) {
    QByteArray record(520, '\0');
    record[0] = 2;
    record.replace(1, 5, "JOxyz"); // stale characters beyond the length
    record.replace(256, 4, QByteArray::fromHex("39300000"));
    record[260] = 8;
    record.replace(261, 8, "01/02/03");
    record.replace(516, 4, QByteArray::fromHex("07000000"));
    WriteAll(folder + "/Scores.DAT", record);

    auto list = MakeList(folder + "/Scores");
    list->Open();
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Items(0).PlayerName, "JO");
    EXPECT_EQ(list->Items(0).Score, 12345);
    EXPECT_EQ(list->Items(0).DateText, "01/02/03");
    EXPECT_EQ(list->Items(0).PlayTime, 7);
    EXPECT_EQ(Insert(*list, "AB", 500), 1);
    list->Close();
    EXPECT_EQ(ReadAll(folder + "/Scores.DAT").left(520), record);

    auto again = MakeList(folder + "/Scores");
    again->Open();
    EXPECT_EQ(Scores(*again), (std::vector<int32_t>{12345, 500}));
    EXPECT_EQ(again->Items(1).DateText, "24/12/26");
    again->Close();
}

TEST_F(ScoreListTest, UnchangedListIsNotRewritten) {
    WriteAll(folder + "/Scores.DAT", QByteArray(520, '\0') + QByteArray(100, 'z'));
    auto list = MakeList(folder + "/Scores");
    list->Open();
    EXPECT_EQ(list->Count(), 1);
    list->Close();
    EXPECT_EQ(ReadAll(folder + "/Scores.DAT").size(), 620);
}

TEST_F(ScoreListTest, TrailingPartialRecordIsIgnoredAndTheNextSaveWritesWholeRecords) {
    auto list = MakeList(folder + "/Scores");
    list->Open();
    list->Close();
    QByteArray bytes = ReadAll(folder + "/Scores.DAT").left(3 * 520);
    WriteAll(folder + "/Scores.DAT", bytes + QByteArray(300, '\x7f'));

    auto damaged = MakeList(folder + "/Scores");
    damaged->Open();
    EXPECT_EQ(Scores(*damaged), (std::vector<int32_t>{10000, 9000, 8000}));
    Insert(*damaged, "NEW", 8500);
    damaged->Close();
    EXPECT_EQ(ReadAll(folder + "/Scores.DAT").size(), 4 * 520);
}

TEST_F(ScoreListTest, InsertionKeepsTheOrderAndTheCapacity) {
    auto list = MakeList(folder + "/Scores");
    list->Open();
    // An equal score goes above the entry it equals.
    EXPECT_EQ(list->GetInsertPosition(9000), 1);
    EXPECT_EQ(Insert(*list, "EQ", 9000), 1);
    EXPECT_EQ(list->Items(1).PlayerName, "EQ");
    EXPECT_EQ(list->Items(2).PlayerName, "ACE");
    // The full list pushed its last entry off.
    EXPECT_EQ(list->Count(), 10);
    EXPECT_EQ(list->Items(9).Score, 2000);
    EXPECT_EQ(list->GetInsertPosition(1999), -1);
    EXPECT_EQ(Insert(*list, "LOW", 1999), -1);
    EXPECT_EQ(list->GetInsertPosition(0), -1);
    EXPECT_EQ(Insert(*list, "TOP", 20000), 0);
    EXPECT_EQ(list->Items(9).Score, 3000);
    list->Close();
}

TEST_F(ScoreListTest, ShortListTakesAnyPositiveScoreButNeverZero) {
    TScoreList list;
    EXPECT_EQ(list.GetInsertPosition(0), -1);
    EXPECT_EQ(Insert(list, "A", 0), -1);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Insert(list, "A", 50), 0);
    EXPECT_EQ(Insert(list, "B", 10), 1);
    EXPECT_EQ(Insert(list, "C", 1), 2);
    EXPECT_EQ(Insert(list, "D", 50), 0);
    EXPECT_EQ(Scores(list), (std::vector<int32_t>{50, 50, 10, 1}));
    EXPECT_EQ(list.Items(0).PlayerName, "D");
    EXPECT_THROW(list.Items(4), ERangeError);
}

TEST_F(ScoreListTest, ListThatCannotBeTrimmedIsAnIllegalLength) {
    TScoreList list;
    for (int score : {5, 4, 3})
        Insert(list, "X", score);
    list.SetMaxScores(1);
    try {
        Insert(list, "Y", 9);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Illegal length. (At TScoreList.InsertScore.)");
    }
}

TEST_F(ScoreListTest, FileThatCannotBeCreatedMakesTheListReadOnlyWithDefaults) {
    auto list = MakeList(folder + "/no such folder/Scores");
    list->Open();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].Text, CannotCreateText);
    EXPECT_EQ(Shown()[0].Buttons, dbOK);
    EXPECT_TRUE(list->ReadOnly());
    EXPECT_TRUE(list->IsOpen());
    EXPECT_EQ(Scores(*list), Defaults);
    Insert(*list, "NEW", 99999);
    list->Close();
    EXPECT_FALSE(QDir(folder + "/no such folder").exists());

    // Read-only for the rest of the run: the next open uses the list in memory.
    QDir(folder).mkpath("no such folder");
    list->Open();
    EXPECT_EQ(list->Items(0).Score, 99999);
    list->Close();
    EXPECT_FALSE(QFileInfo::exists(folder + "/no such folder/Scores.DAT"));
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(ScoreListTest, FailedSaveIsToldOnceAndNothingMoreIsSaved) {
    QDir(folder).mkpath("gone");
    auto list = MakeList(folder + "/gone/Scores");
    list->Open();
    Insert(*list, "NEW", 12000);
    ASSERT_TRUE(QFile::remove(folder + "/gone/Scores.DAT"));
    ASSERT_TRUE(QDir(folder).rmdir("gone"));
    list->Close();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].Text, CannotSaveText);
    EXPECT_TRUE(list->SaveFailed());
    EXPECT_FALSE(list->Modified());

    QDir(folder).mkpath("gone");
    list->Open(); // a fresh file: the list in memory gains the defaults again
    Insert(*list, "MORE", 50000);
    list->Close();
    EXPECT_EQ(Shown().size(), 1u);
    EXPECT_EQ(ReadAll(folder + "/gone/Scores.DAT").size(), 0);
}

TEST_F(ScoreListTest, ASecondListMeetsTheInUseBoxWhileTheFirstIsOpen) {
    auto first = MakeList(folder + "/Scores");
    first->Open();
    Insert(*first, "ONE", 15000);

    auto second = MakeList(folder + "/Scores");
    TestEnvironment::Dialogs().QueueAnswer(dbOK);
    TestEnvironment::Dialogs().QueueAnswer(dbAbort);
    second->Open();
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_EQ(Shown()[0].Text, InUseText);
    EXPECT_EQ(Shown()[0].Kind, DialogKind::Confirmation);
    EXPECT_EQ(Shown()[0].Buttons, dbOK | dbAbort);
    EXPECT_TRUE(second->ReadOnly());
    EXPECT_EQ(Scores(*second), Defaults);
    Insert(*second, "TWO", 30000);
    second->Close();

    first->Close();
    auto third = MakeList(folder + "/Scores");
    third->Open();
    EXPECT_EQ(Shown().size(), 2u);
    EXPECT_EQ(third->Items(0).PlayerName, "ONE");
    EXPECT_EQ(third->Count(), 10);
    third->Close();
}

TEST_F(ScoreListTest, RetryAfterTheOtherCopyClosedReadsItsList) {
    auto first = MakeList(folder + "/Scores");
    first->Open();
    Insert(*first, "ONE", 15000);
    auto second = MakeList(folder + "/Scores");
    // The other copy closes while the box is up; OK then gets the file.
    class ClosingDialogs : public ScriptedDialogs {
    public:
        TScoreList* Other = nullptr;
        DialogButton Message(DialogKind kind, const QString& text, int buttons) override {
            ScriptedDialogs::Message(kind, text, buttons);
            Other->Close();
            return dbOK;
        }
    };
    auto dialogs = std::make_unique<ClosingDialogs>();
    dialogs->Other = first.get();
    ClosingDialogs* shown = dialogs.get();
    Dialogs::Install(std::move(dialogs));
    second->Open();
    EXPECT_EQ(shown->Log().size(), 1u);
    EXPECT_FALSE(second->ReadOnly());
    EXPECT_EQ(second->Items(0).PlayerName, "ONE");
    second->Close();
    TestEnvironment::Reset();
}

TEST_F(ScoreListTest, FileNameRules) {
    TScoreList list;
    EXPECT_EQ(list.FileName(), "ScoreLst.DAT");
    EXPECT_EQ(list.MaxScores(), 10);
    EXPECT_EQ(list.MaxPlayerNameLength(), 20);
    EXPECT_EQ(ScoreListFilePath("/games/kolvex/"), "/games/kolvex/Scores");
    EXPECT_EQ(ScoreListFilePath("/games/kolvex"), "/games/kolvex/Scores");
    EXPECT_EQ(ScoreListFilePath("/games/kolvex\\"), "/games/kolvex/Scores");
    EXPECT_EQ(ScoreListFilePath(""), Folders::ProgramFolder() + "Scores");
    EXPECT_EQ(ScoreDateText(QDate(2026, 3, 7)), "07/03/26");
}

TEST_F(ScoreListTest, TheFileStaysBesideABuiltProgramElseGoesToTheUsersDataFolder) {
    const struct {
        QString setting;
        bool besideProgram;
        QString folder;
    } cases[] = {
        {"", true, "/build/"},
        {"", false, "/home/me/.local/share/kolvex/"},
        {"/games/scores", false, "/games/scores/"},
        {"/games/scores/", true, "/games/scores/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScoreListFolder(c.setting, "/build/", c.besideProgram,
                                  "/home/me/.local/share/kolvex/"),
                  c.folder)
            << c.setting.toStdString() << " " << c.besideProgram;
}
} // namespace

namespace {
// A file of no whole record is a missing list: the defaults, written back at
// Close; a damaged one says so. A file that vanished gives the defaults once.
TEST_F(ScoreListTest, FileOfNoWholeRecordOrVanishedGivesTheDefaultsOnce) {
    const struct {
        QByteArray bytes;
        size_t messages;
    } cases[] = {{QByteArray(), 0u}, {QByteArray(300, '\x7f'), 1u}};
    for (const auto& c : cases) {
        TestEnvironment::Dialogs().ClearLog();
        WriteAll(folder + "/Scores.DAT", c.bytes);
        auto list = MakeList(folder + "/Scores");
        list->Open();
        EXPECT_EQ(Scores(*list), Defaults);
        ASSERT_EQ(Shown().size(), c.messages);
        if (c.messages) {
            EXPECT_TRUE(Shown()[0].Text.contains("damaged"));
        }
        list->Close();
        EXPECT_EQ(ReadAll(folder + "/Scores.DAT").size(), 5200);

        ASSERT_TRUE(QFile::remove(folder + "/Scores.DAT"));
        list->Open();
        EXPECT_EQ(Scores(*list), Defaults);
        list->Close();
        EXPECT_EQ(ReadAll(folder + "/Scores.DAT").size(), 5200);
    }
}
} // namespace
