#include "persistence/KeyTable_KX.h"

#include "platform/Exception.h"
#include "platform/KeyState.h"

#include <QStringList>

namespace {
const char* const ActionNames[TKeyTable::PlayerKeys] = {"Left", "Right", "Turn", "Drop"};
const char* const PlayerNames[TKeyTable::Players] = {"Player one", "Player two"};

void CheckSlot(int slot) {
    if (slot < 0 || slot >= TKeyTable::SlotCount) throw ERangeError();
}
} // namespace

TKeyTable TKeyTable::Defaults() {
    TKeyTable table;
    const uint16_t keys[SlotCount] = {ScanCode::Left, ScanCode::Right, ScanCode::Up,
                                      ScanCode::Down, ScanCode::A,     ScanCode::D,
                                      ScanCode::W,    ScanCode::S,     ScanCode::P};
    for (int slot = 0; slot < SlotCount; ++slot)
        table.SetKey(slot, keys[slot]);
    return table;
}

QString TKeyTable::SlotName(int slot) {
    CheckSlot(slot);
    if (slot == PauseSlot) return QStringLiteral("Pause");
    return QStringLiteral("%1: %2").arg(QLatin1String(PlayerNames[slot / PlayerKeys]),
                                        QLatin1String(ActionNames[slot % PlayerKeys]));
}

QString TKeyTable::StoredName(int slot) {
    CheckSlot(slot);
    if (slot == PauseSlot) return QStringLiteral("Pause");
    return QStringLiteral("Player%1%2")
        .arg(slot / PlayerKeys + 1)
        .arg(QLatin1String(ActionNames[slot % PlayerKeys]));
}

uint16_t TKeyTable::Key(int slot) const {
    CheckSlot(slot);
    return FKeys[static_cast<size_t>(slot)];
}

void TKeyTable::SetKey(int slot, uint16_t key) {
    CheckSlot(slot);
    FKeys[static_cast<size_t>(slot)] = key;
}

int TKeyTable::SlotOf(uint16_t key) const {
    for (int slot = 0; slot < SlotCount; ++slot)
        if (FKeys[static_cast<size_t>(slot)] == key) return slot;
    return -1;
}

bool TKeyTable::IsSound() const {
    for (int slot = 0; slot < SlotCount; ++slot) {
        const uint16_t key = FKeys[static_cast<size_t>(slot)];
        if (!KeyState::IsKeyboardKey(key) || key == ScanCode::Escape) return false;
        if (SlotOf(key) != slot) return false;
    }
    return true;
}
