// The playfield stream that "kolvex-sim resolve" reads, then the logic pass
// that resolves a landing on what was read.
#include "FuzzSupport.h"
#include "model/ModelOwners_KX.h"
#include "model/Playfield_KX.h"
#include "platform/Exception.h"

#include <QBuffer>

namespace {
// Animations finish at once; every teleported cell is taken.
class InstantForm : public TLogicGameForm, public TCellTeleporter {
public:
    void StartZap(int, int) override {}
    void StartGlass(int, int) override {}
    void AnimateAreaFall(int, int, int, int, int32_t mark, int distance) override {
        Field->MoveArea(mark, distance);
    }
    int32_t PendingZaps() const override { return 0; }
    void SetPendingZaps(int32_t) override {}
    bool ZapLine() const override { return true; }
    bool RaiseBobbles() const override { return RaiseFreeBobbles; }
    TCellTeleporter* Teleporter() const override { return const_cast<InstantForm*>(this); }
    void TeleportCell(TPlayfield*, int, int) override {}

    TPlayfield* Field = nullptr;
    bool RaiseFreeBobbles = false;
};

QByteArray Stream(const TPlayfield& field) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    field.SaveToStream(buffer);
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QString seeds = Fuzz::SeedFolder();
    if (seeds.isEmpty()) return 0;
    TPlayfield empty;
    Fuzz::WriteSeed(seeds, QStringLiteral("empty.pf"), Stream(empty));
    TPlayfield built;
    for (int y = 14; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            if ((x + y) % 4 != 0)
                built.AddCell(x, y, (x * y) % 5 == 0 ? TCell::cfBobble : TCell::cfBrick,
                              1 + (x + y) % 7);
    Fuzz::WriteSeed(seeds, QStringLiteral("built.pf"), Stream(built));
    std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    QByteArray bytes = Fuzz::Bytes(data + 1, size - 1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TPlayfield field;
    try {
        field.LoadFromStream(buffer);
    } catch (const EPlayfieldStreamError&) {
        return 0;
    } catch (const ERangeError&) {
        return 0;
    }
    InstantForm form;
    form.Field = &field;
    form.RaiseFreeBobbles = (data[0] & 1) != 0;
    field.SetGameForm(&form);
    field.ResolveLanding();
    field.SetGameForm(nullptr);
    return 0;
}
