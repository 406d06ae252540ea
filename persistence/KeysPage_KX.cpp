#include "persistence/KeysPage_KX.h"

#include "persistence/KeyField_KX.h"
#include "platform/Gamepads.h"
#include "platform/KeyNames.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char* const ActionCaptions[TKeyTable::PlayerKeys] = {"Left", "Right", "Turn", "Drop"};
} // namespace

TKeysPage::TKeysPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KeysPage"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Player one"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Player two"), this), 0, 2, Qt::AlignHCenter);
    for (int slot = 0; slot < TKeyTable::SlotCount; ++slot) {
        auto* field = new TKeyField(this);
        field->OnKeyChosen = [this](TKeyField* sender, uint16_t code) { KeyChosen(sender, code); };
        FFields[static_cast<size_t>(slot)] = field;
    }
    for (int action = 0; action < TKeyTable::PlayerKeys; ++action) {
        grid->addWidget(new QLabel(QLatin1String(ActionCaptions[action]), this), action + 1, 0);
        for (int player = 0; player < TKeyTable::Players; ++player)
            grid->addWidget(Field(TKeyTable::Slot(player, action)), action + 1, player + 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("Pause (both)"), this), TKeyTable::PlayerKeys + 1, 0);
    grid->addWidget(Field(TKeyTable::PauseSlot), TKeyTable::PlayerKeys + 1, 1);

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("KeysMessageLabel"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setText(QStringLiteral("Click a key, then press the key you want."));
    DefaultsButton = new QPushButton(QStringLiteral("&Defaults"), this);
    DefaultsButton->setAutoDefault(false);
    connect(DefaultsButton, &QPushButton::clicked, this, [this] {
        SetTable(TKeyTable::Defaults());
        MessageLabel->setText(QStringLiteral("The default keys are back."));
    });
    auto* defaultsRow = new QHBoxLayout;
    defaultsRow->addStretch();
    defaultsRow->addWidget(DefaultsButton);

    PadsGroup = new QGroupBox(QStringLiteral("Gamepads"), this);
    FPadsLayout = new QVBoxLayout(PadsGroup);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MessageLabel);
    layout->addLayout(defaultsRow);
    layout->addWidget(PadsGroup);
    layout->addStretch();
}

void TKeysPage::SetTable(const TKeyTable& table) {
    FTable = table;
    for (int slot = 0; slot < TKeyTable::SlotCount; ++slot)
        Field(slot)->SetKey(FTable.Key(slot));
}

void TKeysPage::KeyChosen(TKeyField* field, uint16_t scanCode) {
    int slot = 0;
    while (Field(slot) != field)
        ++slot;
    const int used = FTable.SlotOf(scanCode);
    if (used == slot) {
        MessageLabel->setText(QStringLiteral("%1 stays %2.")
                                  .arg(TKeyTable::SlotName(slot), KeyNames::NameOf(scanCode)));
        return;
    }
    if (used >= 0) {
        MessageLabel->setText(QStringLiteral("%1 is already used for %2; the key stays as it was.")
                                  .arg(KeyNames::NameOf(scanCode), TKeyTable::SlotName(used)));
        return;
    }
    FTable.SetKey(slot, scanCode);
    field->SetKey(scanCode);
    MessageLabel->setText(
        QStringLiteral("%1 is now %2.").arg(TKeyTable::SlotName(slot), KeyNames::NameOf(scanCode)));
}

void TKeysPage::ShowPads() {
    while (QLayoutItem* item = FPadsLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) widget->deleteLater();
        if (QLayout* row = item->layout()) {
            while (QLayoutItem* inner = row->takeAt(0)) {
                if (inner->widget()) inner->widget()->deleteLater();
                delete inner;
            }
        }
        delete item;
    }
    PadPlayers.clear();
    FPadIds.clear();
    Gamepads::Poll();
    const std::vector<Gamepads::Pad> pads = Gamepads::Connected();
    if (pads.empty()) {
        FPadsLayout->addWidget(new QLabel(QStringLiteral("No gamepad connected."), PadsGroup));
        return;
    }
    for (const Gamepads::Pad& pad : pads) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(pad.Name, PadsGroup), 1);
        auto* players = new QComboBox(PadsGroup);
        players->addItems(
            {QStringLiteral("Player one"), QStringLiteral("Player two"), QStringLiteral("Nobody")});
        players->setCurrentIndex(pad.Player == 0 || pad.Player == 1 ? pad.Player : 2);
        row->addWidget(players);
        FPadsLayout->addLayout(row);
        PadPlayers.push_back(players);
        FPadIds.push_back(pad.Id);
    }
}

void TKeysPage::ApplyPads() const {
    for (size_t i = 0; i < FPadIds.size(); ++i) {
        const int choice = PadPlayers[i]->currentIndex();
        Gamepads::SetPlayer(FPadIds[i], choice <= 1 ? choice : -1);
    }
}
