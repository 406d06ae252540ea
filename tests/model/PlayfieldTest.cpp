#include "PlayfieldPicture.h"
#include "foundation/brenmarNotify.h"
#include "platform/Application.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
QByteArray Saved(const TSimplePlayfield& pf) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    pf.SaveToStream(buffer);
    return buffer.data();
}

QByteArray Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    const char bytes[] = {char(u & 0xff), char(u >> 8 & 0xff), char(u >> 16 & 0xff),
                          char(u >> 24 & 0xff)};
    return QByteArray(bytes, 4);
}

QByteArray Record(int32_t x, int32_t y, uint8_t flags, int32_t mark, uint8_t colour) {
    return Int32(x) + Int32(y) + QByteArray(1, char(flags)) + Int32(mark) +
           QByteArray(1, char(colour));
}

void Load(TSimplePlayfield& pf, const QByteArray& data, qint64* endPosition = nullptr) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    struct Position {
        QBuffer& Buffer;
        qint64* Out;
        ~Position() {
            if (Out) *Out = Buffer.pos();
        }
    } position{buffer, endPosition};
    pf.LoadFromStream(buffer);
}

class Playfield : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        receiver.SetSubcribedNotifyBroadcaster(&broadcaster);
        receiver.OnReceiving = [this](QObject*) { ++announcements; };
        SetPlayfieldChangedBroadcaster(&broadcaster);
    }
    void TearDown() override { SetPlayfieldChangedBroadcaster(nullptr); }

    TNotifyBroadcaster broadcaster;
    TNotifyReceiver receiver;
    int announcements = 0;
};

// --- Places and cells ----------------------------------------------------------------

TEST_F(Playfield, PlacesAboveTheTopRowAreEmptyButNotUsable) {
    TPlayfield pf;
    EXPECT_EQ(pf.ColCount(), 10);
    EXPECT_EQ(pf.RowCount(), 20);
    EXPECT_FALSE(pf.IsOccupied(4, -1));
    EXPECT_EQ(pf.GetCell(4, -1), nullptr);
    EXPECT_TRUE(pf.IsOutside(4, -1));
    EXPECT_TRUE(pf.IsOutside(10, 0));
    EXPECT_FALSE(pf.IsOutside(9, 19));
    EXPECT_THROW(pf.SetCell(4, -1, std::make_unique<TCell>()), ERangeError);
    EXPECT_THROW(pf.SetFillMap(10, 0, 1), ERangeError);
    EXPECT_THROW(pf.GetFillMap(0, 20), ERangeError);
    pf.AddCellInside(4, -1, TCell::cfBrick, 3);
    pf.AddCellInside(4, 0, TCell::cfBrick, 3);
    EXPECT_TRUE(pf.IsOccupied(4, 0));
    EXPECT_EQ(Picture(pf, 0)[0], QStringLiteral("....3....."));
}

TEST_F(Playfield, CleanCellsAreFoundUntilTheLastIsGone) {
    TPlayfield pf;
    EXPECT_TRUE(pf.NoCleanCellsLeft());
    Draw(pf, {"C..1B....."});
    EXPECT_FALSE(pf.NoCleanCellsLeft());
    pf.SetCell(0, 19, nullptr);
    EXPECT_TRUE(pf.NoCleanCellsLeft());
}

TEST_F(Playfield, MoveCellOntoAnOccupiedPlaceAsksFirst) {
    TPlayfield pf;
    Draw(pf, {"12........"});
    TestEnvironment::Dialogs().QueueAnswer(dbNo);
    EXPECT_THROW(pf.MoveCell(0, 19, 1, 19), std::exception);
    EXPECT_EQ(Picture(pf, 19)[0], QStringLiteral("12........"));
    const QString text = TestEnvironment::Dialogs().Log().back().Text;
    EXPECT_TRUE(text.contains(QStringLiteral("Cell occupied")));
    EXPECT_TRUE(text.contains(QStringLiteral("TSimplePlayfield.MoveCell")));

    pf.MoveCell(0, 19, 1, 19); // answered Yes: the move is made
    EXPECT_EQ(Picture(pf, 19)[0], QStringLiteral(".1........"));
    EXPECT_THROW(pf.MoveCell(1, 19, 1, 20), ERangeError);
    EXPECT_EQ(Picture(pf, 19)[0], QStringLiteral(".1........"));
    pf.MoveCell(1, 19, 1, 19);
    EXPECT_EQ(Picture(pf, 19)[0], QStringLiteral(".1........"));
    EXPECT_EQ(TestEnvironment::Dialogs().Log().size(), 2u);
}

TEST_F(Playfield, MoveAreaMovesOnlyItsMarkAndNeverRowNineteen) {
    TPlayfield pf;
    Draw(pf, {"1.2.......", "1.........", "..3.......", "4........."});
    for (const auto& [x, y] : {std::pair{0, 16}, {0, 17}, {2, 16}, {0, 19}})
        pf.GetCell(x, y)->Mark = -1;
    pf.MoveArea(-1, 1);
    EXPECT_EQ(Picture(pf, 16), Rows({"..........", "1.2.......", "1.3.......", "4........."}));

    EXPECT_THROW(pf.MoveArea(-1, 3), ERangeError);
    EXPECT_EQ(Picture(pf, 16), Rows({"..........", "1.2.......", "1.3.......", "4........."}));
    pf.MoveArea(-1, 0);
    EXPECT_TRUE(TestEnvironment::Dialogs().Log().empty());
}

// --- Announcements ------------------------------------------------------------------

TEST_F(Playfield, ChangesAreAnnouncedOnlyWhenVisible) {
    TPlayfield pf;
    pf.SetCell(0, 0, std::make_unique<TCell>(TCell::cfBrick, 1));
    EXPECT_EQ(announcements, 1);
    pf.SetMark(0, 0, 0);
    pf.SetMark(5, 5, 3); // empty place
    EXPECT_EQ(announcements, 1);
    pf.SetMark(0, 0, 3);
    EXPECT_EQ(announcements, 2);
    pf.ClearMark(99);
    EXPECT_EQ(announcements, 3);
    pf.MoveCell(0, 0, 0, 1);
    EXPECT_EQ(announcements, 3);
    pf.Clear();
    EXPECT_EQ(announcements, 3 + 200);
    {
        TPlayfield doomed;
        doomed.AddCell(5, 5, TCell::cfBrick, 1);
    }
    EXPECT_EQ(announcements, 3 + 200 + 1) << "a destroyed playfield announces nothing";
}

TEST_F(Playfield, AddCellAnnouncesBeforeFlagsAndColourAreSet) {
    TPlayfield pf;
    std::vector<int> flagsSeen;
    receiver.OnReceiving = [&](QObject*) { flagsSeen.push_back(pf.GetCell(2, 3)->Flags); };
    const TCell* cell = pf.AddCell(2, 3, TCell::cfBobble, 0);
    EXPECT_EQ(flagsSeen, std::vector<int>{0});
    EXPECT_TRUE(cell->IsBobble());
    EXPECT_EQ(cell->Mark, 0);
    receiver.OnReceiving = nullptr;
}

TEST_F(Playfield, NothingIsAnnouncedWhileTerminatingOrWithoutBroadcaster) {
    TPlayfield pf;
    Application::Terminate();
    pf.SetCell(1, 1, std::make_unique<TCell>());
    Application::ResetTerminated();
    EXPECT_EQ(announcements, 0);
    {
        auto shortLived = std::make_unique<TNotifyBroadcaster>();
        SetPlayfieldChangedBroadcaster(shortLived.get());
    }
    EXPECT_EQ(PlayfieldChangedBroadcaster(), nullptr);
    pf.SetCell(1, 1, nullptr);
}

// --- Stream form ---------------------------------------------------------------------

TEST_F(Playfield, EmptyPlayfieldSavesEightBytes) {
    TPlayfield pf;
    EXPECT_EQ(Saved(pf), Int32(1) + Int32(0));
}

TEST_F(Playfield, SingleCellSavesTwentyTwoBytes) {
    TPlayfield pf;
    pf.AddCell(9, 19, TCell::cfBobble, 0);
    const QByteArray bytes = Saved(pf);
    EXPECT_EQ(bytes.size(), 22);
    EXPECT_EQ(bytes, Int32(1) + Int32(1) + Record(9, 19, 4, 0, 0));
}

TEST_F(Playfield, CellsAreSavedColumnByColumnAndLoadBack) {
    TPlayfield pf;
    Draw(pf, {"B.......2.", "1.......3C"});
    pf.GetCell(8, 19)->Mark = -7;
    const QByteArray expected = Int32(1) + Int32(5) + Record(0, 18, 4, 0, 0) +
                                Record(0, 19, 1, 0, 1) + Record(8, 18, 1, 0, 2) +
                                Record(8, 19, 1, -7, 3) + Record(9, 19, 2, 0, 1);
    EXPECT_EQ(Saved(pf), expected);

    TPlayfield copy;
    Load(copy, expected);
    EXPECT_EQ(Picture(copy, 18), Picture(pf, 18));
    EXPECT_EQ(announcements, 5) << "loading announces nothing";
    // A stored playfield is at rest: marks do not survive the load.
    EXPECT_EQ(copy.GetCell(8, 19)->Mark, 0);
}

TEST_F(Playfield, LoadAddsToWhatIsThereAndReplacesCellsOnTheSamePlace) {
    TPlayfield pf;
    Draw(pf, {"11........"});
    Load(pf, Int32(1) + Int32(2) + Record(1, 19, 1, 0, 5) + Record(1, 19, 1, 0, 6));
    EXPECT_EQ(Picture(pf, 19)[0], QStringLiteral("16........"));
}

TEST_F(Playfield, CountOfZeroOrLessReadsNoRecords) {
    TPlayfield pf;
    qint64 end = 0;
    Load(pf, Int32(1) + Int32(-3) + Record(0, 0, 1, 0, 1), &end);
    EXPECT_EQ(end, 8);
    EXPECT_FALSE(pf.IsOccupied(0, 0));
}

TEST_F(Playfield, DamagedStreamsStopAtTheBadRecord) {
    TPlayfield pf;
    EXPECT_THROW(Load(pf, Int32(1) + Int32(2) + Record(3, 4, 1, 0, 2) + Record(10, 4, 1, 0, 2)),
                 ERangeError);
    EXPECT_TRUE(pf.IsOccupied(3, 4));
    EXPECT_FALSE(pf.IsOccupied(9, 4));

    pf.Clear();
    EXPECT_THROW(Load(pf, Int32(1) + Int32(1) + Record(0, -1, 1, 0, 2)), ERangeError);
    EXPECT_THROW(Load(pf, Int32(1) + Int32(2) + Record(0, 0, 1, 0, 2) + Int32(1)),
                 EPlayfieldStreamError);
    EXPECT_THROW(Load(pf, Int32(1)), EPlayfieldStreamError);
    EXPECT_TRUE(pf.IsOccupied(0, 0));
    EXPECT_EQ(Picture(pf, 0)[0], QStringLiteral("2........."));
}
} // namespace
