#include "gfx/brenmarUtils.h"

#include "gfx/JpegPicture.h"
#include "gfx/RasterOps.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/ClockTimer.h"
#include "platform/Cursors.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <memory>

void MaskedDraw(const QRect& DestRect, QImage& Canvas, const QImage& Picture,
                const QRect& SourceRect, const QImage& Mask) {
    RasterOps::MaskedBlt(Canvas, DestRect, Picture, Mask, SourceRect);
}

void FillRectColor(QImage& Graphic, const QRect& Rect, const QColor& Color) {
    RasterOps::Fill(Graphic, Rect, Color.rgb());
}

void FillWithColor(QImage& Graphic, const QColor& Color) {
    FillRectColor(Graphic, QRect(0, 0, Graphic.width(), Graphic.height()), Color);
}

void PictureToBitmap(QImage& Bitmap, const QByteArray& Picture) {
    const bool jpeg = Picture.size() >= 3 && static_cast<uint8_t>(Picture[0]) == 0xFF &&
                      static_cast<uint8_t>(Picture[1]) == 0xD8;
    if (jpeg) {
        Bitmap = DecodeJpeg(Picture);
        return;
    }
    QImage image = QImage::fromData(Picture);
    if (image.isNull()) throw EInvalidGraphic(QStringLiteral("Unknown picture format"));
    Bitmap = image.convertToFormat(QImage::Format_RGB32);
}

void PictureToBitmap(QImage& Bitmap, const QString& PictureName) {
    QFile file(PictureName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(QStringLiteral("Cannot open picture %1").arg(PictureName));
    try {
        PictureToBitmap(Bitmap, file.readAll());
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(e.Message() + QStringLiteral(" in ") + PictureName);
    }
}

bool RectsTouch(const QRect& A, const QRect& B) {
    return !(RectRight(A) < B.x() || RectRight(B) < A.x() || RectBottom(A) < B.y() ||
             RectBottom(B) < A.y());
}

bool PointInRect(const QPoint& P, const QRect& R) {
    return R.x() <= P.x() && P.x() < RectRight(R) && R.y() <= P.y() && P.y() < RectBottom(R);
}

void NudgeCursor() {
    Cursors::Nudge();
}

int DivUp(int A, int B) {
    if (B == 0) throw EDivByZero();
    if (A < 0 || A % B == 0) return A / B;
    return (A - 1) / B + 1;
}

int DivFloor(int A, int B) {
    if (B == 0) throw EDivByZero();
    if (A >= 0) return A / B;
    return (A + 1) / B - 1;
}

int WrapAdd(int Value, int Delta, int Low, int Modulus) {
    const int64_t sum = static_cast<int64_t>(Value) + Delta;
    if (Modulus <= 0) return static_cast<int>(sum);
    if (Delta < 0) {
        if (sum >= Low) return static_cast<int>(sum);
        // Adding Modulus until the sum reaches Low, without looping.
        const int64_t times = (Low - sum + Modulus - 1) / Modulus;
        return static_cast<int>(sum + times * Modulus);
    }
    return static_cast<int>(sum % Modulus);
}

QString ZeroPad(int64_t N, int Digits) {
    QString text = QString::number(N);
    while (text.size() < Digits)
        text.prepend('0');
    return text;
}

QString DateStr() {
    const QDate today = QDate::currentDate();
    return ZeroPad(today.day(), 2) + '/' + ZeroPad(today.month(), 2) + '/' +
           ZeroPad(today.year() % 100, 2);
}

QString TimeStr(int64_t Seconds) {
    return ZeroPad(Seconds / 3600, 2) + ':' + ZeroPad((Seconds / 60) % 60, 2) + ':' +
           ZeroPad(Seconds % 60, 2);
}

QString ReverseStr(const QString& S) {
    QString result = S.left(255);
    std::reverse(result.begin(), result.end());
    return result;
}

QString BeforeLast(const QString& S, QChar Ch) {
    const qsizetype at = S.lastIndexOf(Ch);
    return at < 0 ? S : S.left(at);
}

QString StripTrailingBackslash(const QString& S) {
    return Folders::WithoutTrailingSeparator(S);
}

QString ProgramDir(int Levels) {
    QString folder = Folders::WithoutTrailingSeparator(Folders::ProgramFolder());
    for (int i = 0; i < Levels; ++i)
        folder = BeforeLast(folder, '/');
    return folder + '/';
}

QString TempDir() {
    return Folders::TempFolder();
}

namespace {
bool skipArmed = false;
bool abortArmed = false;
bool skipRequested = false;
bool abortRequested = false;
bool waiting = false;
} // namespace

void ArmSkip() {
    skipArmed = true;
}
void ArmAbort() {
    abortArmed = true;
}
void ArmBoth() {
    ArmSkip();
    ArmAbort();
}
void RequestSkip() {
    if (skipArmed) skipRequested = true;
}
void RequestAbort() {
    if (abortArmed) abortRequested = true;
}
void ClearSkip() {
    skipRequested = false;
}
void ClearAbort() {
    abortRequested = false;
}
void ClearBoth() {
    ClearSkip();
    ClearAbort();
}
bool SkipRequested() {
    return skipRequested;
}
bool AbortRequested() {
    return abortRequested;
}
bool Interrupted() {
    return skipRequested || abortRequested;
}
bool Waiting() {
    return waiting;
}

void WaitSeconds(int64_t N) {
    // Restored rather than cleared, so a wait nested in another keeps the outer one's flag.
    const bool outer = waiting;
    waiting = true;
    struct Restore {
        bool Value;
        ~Restore() { waiting = Value; }
    } restore{outer};
    ProcessMessagesUntil([] { return Interrupted(); }, N * 1000);
}

void BusyWait(uint32_t Ms) {
    // The clock's own sleep: scheduler time moves on, and in paced time the wall clock too.
    Clock::Current().Sleep(Ms + 1);
}

void ProcessMessagesUntil(const std::function<bool()>& Done, int64_t TimeoutMs) {
    Clock& clock = Clock::Current();
    const uint32_t start = clock.TickCount();
    auto expired = [&] {
        return TimeoutMs >= 0 && static_cast<int64_t>(clock.TickCount() - start) >= TimeoutMs;
    };
    // A wake-up at the deadline, so that a blocking wait for messages (real
    // time) or a jump to the next tick (virtual time) never overshoots it.
    std::unique_ptr<ClockTimer> wake;
    if (TimeoutMs > 0) {
        wake = std::make_unique<ClockTimer>([&] { wake->SetActive(false); });
        wake->SetInterval(static_cast<uint32_t>(std::min<int64_t>(TimeoutMs, UINT32_MAX)));
        wake->SetActive(true);
    }
    // Only virtual time can run out of things to wait for; paced time waits for input.
    VirtualClock* virtualClock = clock.IsVirtual() ? clock.Scheduler() : nullptr;
    while (!Done() && !Application::Terminated() && !expired()) {
        // Qt's glib dispatcher, in a loop nested inside a posted event, never
        // delivers the events queued behind that one (a frame timer's tick,
        // whose thread then waits for ever); sending them ourselves does.
        if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents();
        if (Done() || Application::Terminated()) break;
        if (virtualClock && !virtualClock->HasActiveTimers()) {
            // Nothing is scheduled: handle what is queued, and stop unless that woke a timer.
            Application::ProcessMessages();
            if (!virtualClock->HasActiveTimers()) break;
            continue;
        }
        Application::HandleMessage();
    }
}
