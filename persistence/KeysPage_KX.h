#pragma once

#include "persistence/KeyTable_KX.h"

#include <QWidget>
#include <array>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TKeyField;

// The "Keys" page of the options dialog: the two players' keys and the pause
// key, each in a field that takes the next key pressed, "Defaults", and the
// connected gamepads with the player each plays for. A key already in the
// table is refused with a message saying where it is used.
class TKeysPage : public QWidget {
public:
    explicit TKeysPage(QWidget* parent = nullptr);

    void SetTable(const TKeyTable& table);
    const TKeyTable& Table() const { return FTable; }
    // Lists the pads connected now, each with the player it plays for.
    void ShowPads();
    // Gives each listed pad the player its list shows.
    void ApplyPads() const;

    TKeyField* Field(int slot) const { return FFields[static_cast<size_t>(slot)]; }
    QLabel* MessageLabel;
    QPushButton* DefaultsButton;
    QGroupBox* PadsGroup;
    // One list per pad shown: "Player one", "Player two", "Nobody".
    std::vector<QComboBox*> PadPlayers;

private:
    void KeyChosen(TKeyField* field, uint16_t scanCode);

    TKeyTable FTable = TKeyTable::Defaults();
    std::array<TKeyField*, TKeyTable::SlotCount> FFields{};
    std::vector<int> FPadIds;
    QVBoxLayout* FPadsLayout;
};
