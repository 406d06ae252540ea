#pragma once

#include "platform/Exception.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

// Small shared routines of the graphics engine and the windows: masked
// drawing, filling, picture decoding, rectangle tests, integer helpers, text
// and folder names, and the user-interrupt flags with the waits built on them.
//
// Rectangles follow the drawing model's convention: Right = left + width and
// Bottom = top + height lie just outside the rectangle.

// A picture that could not be decoded (a damaged or unknown format).
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A rectangle from its four edges, right and bottom exclusive.
inline QRect RectLTRB(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
inline int RectRight(const QRect& r) {
    return r.x() + r.width();
}
inline int RectBottom(const QRect& r) {
    return r.y() + r.height();
}

// --- Drawing ---------------------------------------------------------------

// Copies Mask's SourceRect into DestRect with AND, then Picture's with OR:
// white mask pixels keep the canvas, black ones take the picture (which must
// be black where the mask is white). Scales when the rectangles differ.
void MaskedDraw(const QRect& DestRect, QImage& Canvas, const QImage& Picture,
                const QRect& SourceRect, const QImage& Mask);
// Fills the rectangle solidly with the colour.
void FillRectColor(QImage& Graphic, const QRect& Rect, const QColor& Color);
void FillWithColor(QImage& Graphic, const QColor& Color);

// Makes Bitmap a Format_RGB32 copy of a picture given as file data: JPEG is
// decoded with libjpeg, other formats with Qt's readers. Raises
// EInvalidGraphic for data that is not a readable picture.
void PictureToBitmap(QImage& Bitmap, const QByteArray& Picture);
// The same for a picture file or resource (":/..." names work).
void PictureToBitmap(QImage& Bitmap, const QString& PictureName);

// --- Rectangles and cursor -------------------------------------------------

// False only when the rectangles are apart; touching edges count as touching.
bool RectsTouch(const QRect& A, const QRect& B);
bool PointInRect(const QPoint& P, const QRect& R);
// Moves the pointer onto its own position so that the window under it gets a fresh move.
void NudgeCursor();

// --- Integers --------------------------------------------------------------

inline int Min(int A, int B) {
    return A < B ? A : B;
}
inline int Max(int A, int B) {
    return A > B ? A : B;
}
// Integer division that rounds up for positive A. Raises EDivByZero for B = 0.
int DivUp(int A, int B);
// Integer division that rounds down for negative A. Raises EDivByZero for B = 0.
int DivFloor(int A, int B);
inline int CenterOffset(int Inner, int Outer) {
    return Outer / 2 - Inner / 2;
}
// Value + Delta wrapped: with a negative Delta Modulus is added until the sum
// reaches Low, otherwise the sum is taken modulo Modulus. A Modulus of 0 or
// less cannot wrap anything: the plain sum is returned.
int WrapAdd(int Value, int Delta, int Low, int Modulus);

class EDivByZero : public Exception {
public:
    EDivByZero() : Exception(QStringLiteral("Division by zero")) {}
};

// --- Text and folders ------------------------------------------------------

QString ZeroPad(int64_t N, int Digits);
// Today as "dd/mm/yy".
QString DateStr();
// "hh:mm:ss" of a number of seconds.
QString TimeStr(int64_t Seconds);
// The first 255 characters of S in reverse order.
QString ReverseStr(const QString& S);
// The part of S before its last Ch; all of S when Ch does not occur.
QString BeforeLast(const QString& S, QChar Ch);
// S without one final "\" or "/".
QString StripTrailingBackslash(const QString& S);
// The program's folder with the last path element cut Levels times, ending in "/".
QString ProgramDir(int Levels);
// The folder for temporary files, ending in "/".
QString TempDir();

// --- User interrupts -------------------------------------------------------

// Arming stays in force for the rest of the run; requests count only when armed.
void ArmSkip();
void ArmAbort();
void ArmBoth();
void RequestSkip();
void RequestAbort();
void ClearSkip();
void ClearAbort();
void ClearBoth();
bool SkipRequested();
bool AbortRequested();
bool Interrupted();
// True while WaitSeconds runs.
bool Waiting();
// Handles window messages until N seconds have passed on the program's
// clock, an interrupt is requested, or the application terminates.
void WaitSeconds(int64_t N);
// Spins without handling messages until more than Ms milliseconds have
// passed (in virtual time the clock simply moves on).
void BusyWait(uint32_t Ms);

// Handles window messages until Done() holds, TimeoutMs milliseconds have
// passed (a negative timeout waits without limit) or the application
// terminates. In virtual time a wait without limit also ends when no timer
// is left that could change anything, so a test can never hang in it.
void ProcessMessagesUntil(const std::function<bool()>& Done, int64_t TimeoutMs = -1);
