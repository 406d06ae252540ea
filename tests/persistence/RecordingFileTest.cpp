#include "PersistenceFakes.h"
#include "persistence/Recorder_KX.h"

#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
const QByteArray OneTurnExample = QByteArray::fromHex("01000000"
                                                      "00"
                                                      "00000000"
                                                      "01"
                                                      "00"
                                                      "e8030000"
                                                      "01000000"
                                                      "00000000"
                                                      "40000000"
                                                      "00000000"
                                                      "02");

TGameAction Action(int32_t game, int32_t left, int32_t top, uint8_t code) {
    TGameAction a;
    a.GameIndex = game;
    a.BrickLeft = left;
    a.BrickTop = top;
    a.ActionCode = code;
    return a;
}

TRecordedData OneTurnRecording() {
    TRecordedData data;
    TGameSettings& s = data.Settings();
    s.Players = 1;
    s.GameType = 0;
    s.Level = 0;
    s.RotationClockwise = true;
    s.Speed = 0;
    s.RandomSeed = 1000;
    data.Add(Action(0, 64, 0, acTurn));
    return data;
}

void ExpectSameData(const TRecordedData& a, const TRecordedData& b) {
    EXPECT_EQ(a.ToBytes(), b.ToBytes());
}

class RecordingFileTest : public testing::Test {
protected:
    void SetUp() override { folder = FreshStart(); }
    QString File(const QString& name) const { return folder + '/' + name; }
    QString folder;
};

TEST_F(RecordingFileTest, OneTurnRecordingIsTheThirtyTwoBytesOfTheExample) {
    EXPECT_EQ(OneTurnRecording().ToBytes(), OneTurnExample);
    OneTurnRecording().SaveToFile(File("one.rep"));
    EXPECT_EQ(ReadAll(File("one.rep")), OneTurnExample);
}

TEST_F(RecordingFileTest, RecordingWithoutActionsIsNineteenBytesWithCountZero) {
    TRecordedData data = OneTurnRecording();
    data.Clear();
    const QByteArray bytes = data.ToBytes();
    ASSERT_EQ(bytes.size(), 19);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 15), 0);
    data.SaveToFile(File("empty.rep"));

    TRecordedData loaded;
    loaded.Add(Action(1, 2, 3, acDrop));
    loaded.LoadFromFile(File("empty.rep"));
    EXPECT_EQ(loaded.GetCount(), 0);
    EXPECT_EQ(loaded.Settings().RandomSeed, 1000);
}

TEST_F(RecordingFileTest, SaveAndLoadKeepEveryFieldAndTheOrder) {
    TRecordedData data;
    TGameSettings& s = data.Settings();
    s.Players = 2;
    s.GameType = 2;
    s.Level = 4;
    s.RotationClockwise = false;
    s.Speed = 2;
    s.RandomSeed = -123456789;
    data.Add(Action(0, 64, 17, acMoveLeft));
    data.Add(Action(1, -16, 300, acMoveRight));
    data.Add(Action(1, -16, 300, acTurn));
    data.Add(Action(0, 48, 319, acDrop));
    data.Add(Action(1, 0, 0, acStop));
    data.SaveToFile(File("game.rep"));
    EXPECT_EQ(ReadAll(File("game.rep")).size(), 19 + 13 * 5);

    TRecordedData loaded;
    loaded.LoadFromFile(File("game.rep"));
    ExpectSameData(loaded, data);
    EXPECT_EQ(loaded.Settings().RandomSeed, -123456789);
    EXPECT_FALSE(loaded.Settings().RotationClockwise);
    ASSERT_EQ(loaded.GetCount(), 5);
    EXPECT_EQ(loaded.GetItemAdd(1).BrickLeft, -16);
    EXPECT_EQ(loaded.GetItemAdd(3).BrickTop, 319);
    EXPECT_EQ(loaded.GetItemAdd(4).ActionCode, acStop);
    EXPECT_THROW(loaded.GetItemAdd(5), ERangeError);
    EXPECT_THROW(loaded.GetItemAdd(-1), ERangeError);
}

TEST_F(RecordingFileTest, SavingReplacesTheOldFileWholeAndLeavesNoTemporaryFile) {
    WriteAll(File("old.rep"), QByteArray(500, 'x'));
    OneTurnRecording().SaveToFile(File("old.rep"));
    EXPECT_EQ(ReadAll(File("old.rep")), OneTurnExample);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"old.rep"});
}

TEST_F(RecordingFileTest, SavingThroughTheUsersOwnLinkReplacesTheFileItPointsTo) {
    WriteAll(File("real.rep"), "old");
    ASSERT_TRUE(QFile::link(File("real.rep"), File("link.rep")));
    OneTurnRecording().SaveToFile(File("link.rep"));
    EXPECT_TRUE(QFileInfo(File("link.rep")).isSymLink());
    EXPECT_EQ(ReadAll(File("real.rep")), OneTurnExample);
}

TEST_F(RecordingFileTest, FileThatCannotBeWrittenIsAnErrorNamingItAndKeepsTheOldOne) {
    const QString missing = File("no such folder/x.rep");
    try {
        OneTurnRecording().SaveToFile(missing);
        FAIL() << "saved into a missing folder";
    } catch (const EReplayFileError& e) {
        EXPECT_TRUE(e.Message().contains(missing)) << e.Message().toStdString();
    }
}

// Every damaged file is refused with a message naming it; the data already
// loaded stays as it was.
struct Damage {
    const char* Name;
    QByteArray Bytes;
};

QByteArray WithCount(QByteArray bytes, qint32 count) {
    qToLittleEndian<qint32>(count, bytes.data() + 15);
    return bytes;
}

QByteArray WithByte(QByteArray bytes, int offset, char value) {
    bytes[offset] = value;
    return bytes;
}

TEST_F(RecordingFileTest, DamagedFilesAreRefusedAndTheOldDataKept) {
    const QByteArray good = OneTurnExample;
    const std::vector<Damage> damages = {
        {"empty", QByteArray()},
        {"short header", good.left(18)},
        {"negative count", WithCount(good.left(19), -1)},
        {"count beyond the file", WithCount(good, 2)},
        {"huge count", WithCount(good.left(19), 0x7fffffff)},
        {"half an action", good.left(25)},
        {"action code 5", WithByte(good, 31, 5)},
        {"action code 255", WithByte(good, 31, char(0xff))},
        {"game index 3", WithByte(good, 19, 3)},
        {"negative game index",
         WithByte(
             WithByte(WithByte(WithByte(good, 19, char(0xff)), 20, char(0xff)), 21, char(0xff)), 22,
             char(0xff))},
        {"no players", WithByte(good, 0, 0)},
        {"three players, who have no keys", WithByte(good, 0, 3)},
        {"game index 1 of a one-player game", WithByte(good, 19, 1)},
        {"level 5", WithByte(good, 5, 5)},
        {"speed 3", WithByte(good, 10, 3)},
    };
    TRecordedData previous;
    previous.Settings().Players = 2;
    previous.Settings().RandomSeed = 77;
    previous.Add(Action(1, 16, 32, acDrop));
    for (const Damage& damage : damages) {
        const QString name = File(QStringLiteral("damaged-%1.rep").arg(damage.Name));
        WriteAll(name, damage.Bytes);
        TRecordedData data;
        data.FromBytes(previous.ToBytes(), QString());
        try {
            data.LoadFromFile(name);
            ADD_FAILURE() << damage.Name << " was accepted";
        } catch (const EReplayFileError& e) {
            EXPECT_TRUE(e.Message().contains(name)) << e.Message().toStdString();
        }
        ExpectSameData(data, previous);
    }
}

TEST_F(RecordingFileTest, MissingFileOrFolderIsAnOpenErrorNamingIt) {
    TRecordedData data;
    for (const QString& name : {File("absent.rep"), folder}) {
        try {
            data.LoadFromFile(name);
            ADD_FAILURE() << name.toStdString();
        } catch (const EReplayFileError& e) {
            EXPECT_TRUE(e.Message().startsWith("Cannot open file \"" + name + '"'))
                << e.Message().toStdString();
        }
    }
}

TEST_F(RecordingFileTest, TrailingBytesAfterTheLastActionAreIgnored) {
    WriteAll(File("long.rep"), OneTurnExample + QByteArray(7, '\0'));
    TRecordedData data;
    data.LoadFromFile(File("long.rep"));
    ExpectSameData(data, OneTurnRecording());
}
} // namespace

TEST_F(RecordingFileTest, AFixedLevelIsBitEightOfThePlayersFieldAndUnknownBitsAreRefused) {
    TRecordedData data = OneTurnRecording();
    EXPECT_FALSE(data.Settings().LevelIncreaseDisabled) << "older files have the bit clear";
    data.Settings().LevelIncreaseDisabled = true;
    QByteArray bytes = data.ToBytes();
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData()), data.Settings().Players | 0x100);

    TRecordedData loaded;
    loaded.FromBytes(bytes, QStringLiteral("fixed.rep"));
    EXPECT_TRUE(loaded.Settings().LevelIncreaseDisabled);
    EXPECT_EQ(loaded.Settings().Players, data.Settings().Players);

    qToLittleEndian<qint32>(data.Settings().Players | 0x200, bytes.data());
    EXPECT_THROW(loaded.FromBytes(bytes, QStringLiteral("odd.rep")), EReplayFileError);
}
