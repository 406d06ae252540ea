#include "GfxTestSupport.h"
#include "gfx/JpegPicture.h"
#include "gfx/RasterOps.h"
#include "gfx/brenmarPaletteMerger.h"
#include "gfx/brenmarUtils.h"
#include "platform/ClockTimer.h"

#include <QBuffer>
#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <vector>

using namespace GfxTest;

namespace {

class UtilsTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        ClearBoth();
    }
    void TearDown() override { ClearBoth(); }
};

// Encodes an RGB32 image as a JPEG file's data with libjpeg.
QByteArray EncodeJpeg(const QImage& image, int quality = 95) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<uchar*>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray data(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return data;
}

} // namespace

TEST_F(UtilsTest, IntegerRoutines) {
    EXPECT_EQ(DivUp(7, 2), 4);
    EXPECT_EQ(DivUp(6, 2), 3);
    EXPECT_EQ(DivUp(1, 40), 1);
    EXPECT_EQ(DivUp(0, 40), 0);
    EXPECT_EQ(DivUp(-7, 2), -3);
    EXPECT_EQ(DivFloor(-7, 2), -4);
    EXPECT_EQ(DivFloor(-6, 2), -3);
    EXPECT_EQ(DivFloor(-1, 16), -1);
    EXPECT_EQ(DivFloor(7, 2), 3);
    EXPECT_THROW(DivUp(3, 0), EDivByZero);
    EXPECT_THROW(DivFloor(-3, 0), EDivByZero);
    EXPECT_EQ(CenterOffset(5, 20), 8);
    EXPECT_EQ(CenterOffset(21, 20), 0);
    EXPECT_EQ(Min(-2, 3), -2);
    EXPECT_EQ(Max(-2, 3), 3);
}

TEST_F(UtilsTest, WrapAddWrapsBothWays) {
    EXPECT_EQ(WrapAdd(3, 2, 0, 4), 1);
    EXPECT_EQ(WrapAdd(3, 1, 0, 4), 0);
    EXPECT_EQ(WrapAdd(0, -1, 0, 4), 3);
    EXPECT_EQ(WrapAdd(1, -1, 0, 4), 0);
    EXPECT_EQ(WrapAdd(0, -9, 0, 4), 3);
    // With a higher Low the sum is lifted until it reaches Low.
    EXPECT_EQ(WrapAdd(5, -3, 4, 4), 6);
    EXPECT_EQ(WrapAdd(2, -1000000000, 0, 7), (2 - 1000000000) % 7 + 7);
    // A modulus that cannot wrap leaves the plain sum rather than dividing by zero.
    EXPECT_EQ(WrapAdd(2, 3, 0, 0), 5);
    EXPECT_EQ(WrapAdd(2, -3, 0, -4), -1);
}

TEST_F(UtilsTest, RectanglesAndPoints) {
    const QRect a = RectLTRB(0, 0, 10, 10);
    EXPECT_TRUE(RectsTouch(a, RectLTRB(10, 0, 20, 10))) << "touching edges count";
    EXPECT_TRUE(RectsTouch(a, RectLTRB(5, 5, 6, 6)));
    EXPECT_FALSE(RectsTouch(a, RectLTRB(11, 0, 20, 10)));
    EXPECT_FALSE(RectsTouch(a, RectLTRB(0, 11, 10, 20)));
    EXPECT_FALSE(RectsTouch(RectLTRB(0, 11, 10, 20), a));
    EXPECT_TRUE(PointInRect(QPoint(0, 0), a));
    EXPECT_TRUE(PointInRect(QPoint(9, 9), a));
    EXPECT_FALSE(PointInRect(QPoint(10, 5), a));
    EXPECT_FALSE(PointInRect(QPoint(5, 10), a));
    EXPECT_FALSE(PointInRect(QPoint(-1, 5), a));
}

TEST_F(UtilsTest, TextRoutines) {
    EXPECT_EQ(ZeroPad(7, 3), QStringLiteral("007"));
    EXPECT_EQ(ZeroPad(1234, 2), QStringLiteral("1234"));
    EXPECT_EQ(TimeStr(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(TimeStr(3 * 3600 + 25 * 60 + 9), QStringLiteral("03:25:09"));
    EXPECT_EQ(TimeStr(100 * 3600 + 59), QStringLiteral("100:00:59"));
    EXPECT_EQ(ReverseStr(QStringLiteral("Kolvex")), QStringLiteral("xevloK"));
    EXPECT_EQ(ReverseStr(QString(300, 'a') + 'b').size(), 255);
    EXPECT_EQ(ReverseStr(QString(254, 'a') + 'b').front(), QChar('b'));
    const QString date = DateStr();
    EXPECT_EQ(date.size(), 8);
    EXPECT_EQ(date[2], QChar('/'));
    EXPECT_EQ(date[5], QChar('/'));
}

TEST_F(UtilsTest, FolderNames) {
    EXPECT_EQ(BeforeLast(QStringLiteral("a/b/c"), '/'), QStringLiteral("a/b"));
    EXPECT_EQ(BeforeLast(QStringLiteral("abc"), '\\'), QStringLiteral("abc"));
    EXPECT_EQ(BeforeLast(QStringLiteral("C:\\Games\\Kolvex"), '\\'), QStringLiteral("C:\\Games"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("dir\\")), QStringLiteral("dir"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("dir/")), QStringLiteral("dir"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("dir")), QStringLiteral("dir"));
    const QString program = ProgramDir(0);
    EXPECT_TRUE(program.endsWith('/'));
    EXPECT_EQ(program, QCoreApplication::applicationDirPath() + '/');
    EXPECT_EQ(ProgramDir(1), BeforeLast(QCoreApplication::applicationDirPath(), '/') + '/');
    EXPECT_TRUE(TempDir().endsWith('/'));
}

TEST_F(UtilsTest, RequestsCountOnlyWhenArmedAndStayUntilCleared) {
    ArmBoth();
    EXPECT_FALSE(Interrupted());
    RequestSkip();
    EXPECT_TRUE(SkipRequested());
    EXPECT_TRUE(Interrupted());
    ClearSkip();
    RequestAbort();
    EXPECT_TRUE(AbortRequested());
    EXPECT_FALSE(SkipRequested());
    ClearBoth();
    EXPECT_FALSE(Interrupted());
}

TEST_F(UtilsTest, WaitSecondsRunsTheClockAndEndsOnAnInterrupt) {
    ArmSkip();
    bool waitingSeen = false;
    ClockTimer probe([&] { waitingSeen = Waiting(); });
    probe.SetInterval(300);
    probe.SetActive(true);
    const uint64_t start = TestEnvironment::Clock().Now();
    WaitSeconds(2);
    EXPECT_EQ(TestEnvironment::Clock().Now() - start, 2000u);
    EXPECT_TRUE(waitingSeen);
    EXPECT_FALSE(Waiting());

    // A skip requested before the call ends it at once and is not cleared.
    RequestSkip();
    const uint64_t again = TestEnvironment::Clock().Now();
    WaitSeconds(1);
    EXPECT_EQ(TestEnvironment::Clock().Now(), again);
    EXPECT_TRUE(SkipRequested());
    ClearSkip();

    // A request made during the wait (as a click would) ends it there.
    ClockTimer click([&] { RequestSkip(); });
    click.SetInterval(450);
    click.SetActive(true);
    const uint64_t third = TestEnvironment::Clock().Now();
    WaitSeconds(10000);
    EXPECT_EQ(TestEnvironment::Clock().Now() - third, 450u);
}

TEST_F(UtilsTest, BusyWaitMovesTheClockWithoutRunningTicks) {
    int ticks = 0;
    ClockTimer timer([&] { ++ticks; });
    timer.SetInterval(5);
    timer.SetActive(true);
    const uint64_t start = TestEnvironment::Clock().Now();
    BusyWait(20);
    EXPECT_GT(TestEnvironment::Clock().Now() - start, 20u);
    EXPECT_EQ(ticks, 0);
}

TEST_F(UtilsTest, MaskedDrawKeepsWhereTheMaskIsWhiteAndTakesThePictureWhereBlack) {
    QImage canvas = Gradient(10, 10);
    const QImage original = canvas.copy();
    QImage picture = Solid(4, 4, 0xFF000000);
    QImage mask = Solid(4, 4, 0xFFFFFFFF);
    picture.setPixel(1, 1, 0xFF123456);
    mask.setPixel(1, 1, 0xFF000000);
    picture.setPixel(2, 2, 0xFF010101); // not black under a white mask: OR-ed in
    MaskedDraw(QRect(3, 3, 4, 4), canvas, picture, QRect(0, 0, 4, 4), mask);
    EXPECT_EQ(canvas.pixel(4, 4), 0xFF123456u);
    EXPECT_EQ(canvas.pixel(5, 5), original.pixel(5, 5) | 0xFF010101u);
    EXPECT_EQ(Differences(canvas, original, canvas.rect()), 2 - (original.pixel(5, 5) & 1 ? 1 : 0));
    // Scaled: a 2 x 2 source drawn into 4 x 4 doubles each pixel.
    QImage big = Solid(8, 8, 0xFFFFFFFF);
    MaskedDraw(QRect(0, 0, 4, 4), big, picture, QRect(0, 0, 2, 2), mask);
    EXPECT_EQ(big.pixel(2, 2), 0xFF123456u);
    EXPECT_EQ(big.pixel(3, 3), 0xFF123456u);
    EXPECT_EQ(big.pixel(1, 1), 0xFFFFFFFFu);
}

TEST_F(UtilsTest, BlitsClipToBothImages) {
    QImage canvas = Solid(10, 10, 0xFF000000);
    const QImage source = Gradient(6, 6);
    RasterOps::Blt(canvas, QRect(7, -2, 6, 6), source, QRect(0, 0, 6, 6), RasterOps::Op::Copy);
    EXPECT_EQ(canvas.pixel(7, 0), source.pixel(0, 2));
    EXPECT_EQ(canvas.pixel(9, 3), source.pixel(2, 5));
    EXPECT_EQ(canvas.pixel(9, 4), 0xFF000000u);
    // A source rectangle reaching past the picture copies only what exists.
    QImage other = Solid(10, 10, 0xFF000000);
    RasterOps::Blt(other, QRect(0, 0, 6, 6), source, QRect(-3, 4, 6, 6), RasterOps::Op::Copy);
    EXPECT_EQ(other.pixel(3, 0), source.pixel(0, 4));
    EXPECT_EQ(other.pixel(2, 0), 0xFF000000u);
    EXPECT_EQ(other.pixel(3, 2), 0xFF000000u);
}

TEST_F(UtilsTest, EnlargeIntoWritesBlocksOnlyInsideTheClip) {
    const QImage source = Gradient(7, 5);
    struct Case {
        int Factor;
        QPoint At;
        QRect Clip;
        QRect From;
        QImage::Format Format;
    };
    const Case cases[] = {
        {1, {3, 2}, QRect(0, 0, 40, 30), QRect(0, 0, 7, 5), QImage::Format_RGB32},
        {2, {1, 1}, QRect(4, 3, 9, 5), QRect(2, 1, 4, 3), QImage::Format_RGB32},
        {3, {-4, 25}, QRect(0, 0, 40, 30), QRect(0, 0, 7, 5), QImage::Format_ARGB32_Premultiplied},
        {4, {5, 0}, QRect(6, 2, 13, 11), QRect(1, 0, 6, 5), QImage::Format_ARGB32},
    };
    for (const Case& c : cases) {
        QImage target(40, 30, c.Format);
        target.fill(0xFF102030);
        ASSERT_TRUE(RasterOps::EnlargeInto(target, c.At, c.Clip, source, c.From, c.Factor));
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) {
                const QPoint in((x - c.At.x()) / c.Factor, (y - c.At.y()) / c.Factor);
                const bool covered = x >= c.At.x() && y >= c.At.y() &&
                                     in.x() < c.From.width() && in.y() < c.From.height() &&
                                     c.Clip.contains(x, y);
                const QRgb want = covered ? source.pixel(in + c.From.topLeft()) : 0xFF102030;
                ASSERT_EQ(target.pixel(x, y), want) << c.Factor << " at " << x << "," << y;
            }
    }
    // What it cannot write into is left alone: other pixel formats, a shared image.
    QImage small(8, 8, QImage::Format_RGB16);
    EXPECT_FALSE(RasterOps::EnlargeInto(small, {}, small.rect(), source, source.rect(), 1));
    QImage shared = Solid(8, 8, 0xFF000000);
    const QImage copy = shared;
    EXPECT_FALSE(RasterOps::EnlargeInto(shared, {}, shared.rect(), source, source.rect(), 1));
    EXPECT_EQ(copy.pixel(0, 0), 0xFF000000u);
}

TEST_F(UtilsTest, FillRectColorFillsSolidly) {
    QImage image = Gradient(8, 8);
    FillRectColor(image, RectLTRB(2, 2, 5, 4), QColor(0x20, 0x40, 0x60));
    EXPECT_EQ(image.pixel(2, 2), qRgb(0x20, 0x40, 0x60));
    EXPECT_EQ(image.pixel(4, 3), qRgb(0x20, 0x40, 0x60));
    EXPECT_NE(image.pixel(5, 3), qRgb(0x20, 0x40, 0x60));
    EXPECT_NE(image.pixel(4, 4), qRgb(0x20, 0x40, 0x60));
    FillWithColor(image, Qt::white);
    EXPECT_EQ(Differences(image, Solid(8, 8, 0xFFFFFFFF), image.rect()), 0);
}

TEST_F(UtilsTest, PictureToBitmapDecodesJpegIntoOpaqueRgb32) {
    QImage original(32, 16, QImage::Format_RGB32);
    original.fill(qRgb(200, 40, 30));
    FillRectColor(original, QRect(16, 0, 16, 16), QColor(20, 60, 220));
    QImage bitmap;
    PictureToBitmap(bitmap, EncodeJpeg(original));
    ASSERT_EQ(bitmap.size(), original.size());
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
    for (const QPoint p : {QPoint(4, 8), QPoint(28, 8)}) {
        const QRgb got = bitmap.pixel(p);
        const QRgb want = original.pixel(p);
        EXPECT_NEAR(qRed(got), qRed(want), 8);
        EXPECT_NEAR(qGreen(got), qGreen(want), 8);
        EXPECT_NEAR(qBlue(got), qBlue(want), 8);
        EXPECT_EQ(qAlpha(got), 255);
    }
}

TEST_F(UtilsTest, DamagedPicturesAreErrorsNotTheEndOfTheProgram) {
    QByteArray damaged("\xFF\xD8\xFF\xE0", 4);
    damaged.append(QByteArray(64, '\x00'));
    QImage bitmap;
    EXPECT_THROW(PictureToBitmap(bitmap, damaged), EInvalidGraphic);
    QByteArray header = EncodeJpeg(Solid(8, 8, 0xFF808080));
    const qsizetype frame = header.indexOf("\xFF\xC0", 2);
    ASSERT_GT(frame, 0);
    header[frame + 5] = 0; // a frame of height 0
    header[frame + 6] = 0;
    EXPECT_THROW(DecodeJpeg(header), EInvalidGraphic);
    EXPECT_THROW(PictureToBitmap(bitmap, QByteArray("not a picture")), EInvalidGraphic);
    EXPECT_THROW(PictureToBitmap(bitmap, QStringLiteral(":/no/such/picture.jpg")), EInvalidGraphic);
}

TEST_F(UtilsTest, PictureToBitmapReadsOtherFormatsAndFiles) {
    const QImage original = Gradient(12, 9);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(original.save(&buffer, "PNG"));
    const QString name = TestEnvironment::ScratchFolder() + "/picture.jpg";
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeJpeg(original));
    file.close();
    QImage bitmap;
    PictureToBitmap(bitmap, png);
    EXPECT_EQ(Differences(bitmap, original, original.rect()), 0);
    PictureToBitmap(bitmap, name);
    EXPECT_EQ(bitmap.size(), original.size());
}

TEST_F(UtilsTest, ThisPlatformHasNoPaletteAndAdaptingOnlyConvertsTheFormat) {
    EXPECT_FALSE(IsPaletteDisplay());
    EXPECT_TRUE(HasAtLeast256Colors());
    MergePalette(QStringLiteral("MasterP.bmp"));
    EXPECT_EQ(MasterPalette(), nullptr);
    QImage image = Gradient(5, 5).convertToFormat(QImage::Format_ARGB32);
    AdaptToDisplay(MasterPalette(), image);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    const QImage indexed =
        RenderWithPalette({qRgb(0, 0, 0), qRgb(255, 255, 255)}, Solid(3, 3, 0xFFF0F0F0));
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.pixel(1, 1), qRgb(255, 255, 255));
}
