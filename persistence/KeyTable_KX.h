#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The keys in force: for each of the two players the keys of left, right,
// turn and drop (by action code), and one pause key shared by both. A key is
// its place on the keyboard (a scan code); no key is used twice.
class TKeyTable {
public:
    static constexpr int Players = 2;
    static constexpr int PlayerKeys = 4;
    static constexpr int PauseSlot = Players * PlayerKeys;
    static constexpr int SlotCount = PauseSlot + 1;

    // Arrows for player one, the places of W A S D for player two, P pauses.
    static TKeyTable Defaults();
    static int Slot(int player, int action) { return player * PlayerKeys + action; }
    // "Player one: Turn", "Pause".
    static QString SlotName(int slot);
    // The value name the slot is stored under: "Player1Turn", "Pause".
    static QString StoredName(int slot);

    uint16_t Key(int slot) const;
    void SetKey(int slot, uint16_t key);
    uint16_t PlayerKey(int player, int action) const { return Key(Slot(player, action)); }
    uint16_t PauseKey() const { return FKeys[PauseSlot]; }
    // The slot holding the key, or -1.
    int SlotOf(uint16_t key) const;
    // Every slot holds a keyboard key and none holds one twice.
    bool IsSound() const;
    bool operator==(const TKeyTable&) const = default;

private:
    std::array<uint16_t, SlotCount> FKeys{};
};
