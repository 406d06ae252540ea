#include "model/PlayfieldUnit.h"

#include "foundation/brenmarError.h"
#include "foundation/brenmarNotify.h"
#include "platform/Application.h"

#include <QIODevice>
#include <QPointer>
#include <array>

namespace {
QPointer<TNotifyBroadcaster>& Broadcaster() {
    static QPointer<TNotifyBroadcaster> broadcaster;
    return broadcaster;
}

void ReadExactly(QIODevice& stream, char* data, qint64 size) {
    if (stream.read(data, size) != size)
        throw EPlayfieldStreamError(QStringLiteral("The playfield data ends too early"));
}

void WriteExactly(QIODevice& stream, const char* data, qint64 size) {
    if (stream.write(data, size) != size)
        throw EPlayfieldStreamError(QStringLiteral("The playfield data could not be written"));
}

int32_t ReadInt32(QIODevice& stream) {
    std::array<unsigned char, 4> b{};
    ReadExactly(stream, reinterpret_cast<char*>(b.data()), 4);
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                uint32_t(b[3]) << 24);
}

void WriteInt32(QIODevice& stream, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const std::array<char, 4> b{char(v & 0xff), char(v >> 8 & 0xff), char(v >> 16 & 0xff),
                                char(v >> 24 & 0xff)};
    WriteExactly(stream, b.data(), 4);
}

uint8_t ReadByte(QIODevice& stream) {
    char c = 0;
    ReadExactly(stream, &c, 1);
    return static_cast<uint8_t>(c);
}

void WriteByte(QIODevice& stream, uint8_t value) {
    const char c = static_cast<char>(value);
    WriteExactly(stream, &c, 1);
}
} // namespace

TNotifyBroadcaster* PlayfieldChangedBroadcaster() {
    return Broadcaster().data();
}

void SetPlayfieldChangedBroadcaster(TNotifyBroadcaster* broadcaster) {
    Broadcaster() = broadcaster;
}

void TCell::LoadFromStream(QIODevice& stream) {
    Flags = ReadByte(stream);
    Mark = ReadInt32(stream);
    Colour = ReadByte(stream);
}

void TCell::SaveToStream(QIODevice& stream) const {
    WriteByte(stream, Flags);
    WriteInt32(stream, Mark);
    WriteByte(stream, Colour);
}

TSimplePlayfield::TSimplePlayfield(QObject* owner) : QObject(owner) {}

// The cells go without announcements: the listeners would reach back into
// the game window that is destroying its playfield.
TSimplePlayfield::~TSimplePlayfield() = default;

TCell* TSimplePlayfield::GetCell(int x, int y) const {
    if (IsOutside(x, y)) return nullptr;
    return FCells.At(x, y).get();
}

void TSimplePlayfield::SetCell(int x, int y, std::unique_ptr<TCell> cell) {
    FCells.At(x, y) = std::move(cell);
    if (!Application::Terminated()) Announce();
}

void TSimplePlayfield::MoveCell(int fromX, int fromY, int toX, int toY) {
    std::unique_ptr<TCell>& source = FCells.At(fromX, fromY);
    std::unique_ptr<TCell>& destination = FCells.At(toX, toY);
    // A cell moved onto its own place stays; replacing it would free it.
    if (&source == &destination) return;
    ErrorReporter().Require(!destination, QStringLiteral("Cell occupied"),
                            QStringLiteral("TSimplePlayfield.MoveCell"));
    destination = std::move(source);
}

void TSimplePlayfield::Clear() {
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y)
            SetCell(x, y, nullptr);
}

void TSimplePlayfield::LoadFromStream(QIODevice& stream) {
    ReadInt32(stream); // the version; there has only ever been one
    const int32_t count = ReadInt32(stream);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t x = ReadInt32(stream);
        const int32_t y = ReadInt32(stream);
        auto cell = std::make_unique<TCell>();
        cell->LoadFromStream(stream);
        if (IsOutside(x, y)) throw ERangeError();
        // A stored playfield is at rest; a mark left in the data would steer
        // the next logic pass.
        cell->Mark = 0;
        FCells.At(x, y) = std::move(cell);
    }
}

void TSimplePlayfield::SaveToStream(QIODevice& stream) const {
    int32_t count = 0;
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y)
            if (FCells.At(x, y)) ++count;
    WriteInt32(stream, 1);
    WriteInt32(stream, count);
    for (int x = 0; x < Columns; ++x)
        for (int y = 0; y < Rows; ++y)
            if (const TCell* cell = FCells.At(x, y).get()) {
                WriteInt32(stream, x);
                WriteInt32(stream, y);
                cell->SaveToStream(stream);
            }
}

void TSimplePlayfield::Announce() const {
    if (TNotifyBroadcaster* broadcaster = PlayfieldChangedBroadcaster()) broadcaster->Notify();
}
