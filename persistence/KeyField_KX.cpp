#include "persistence/KeyField_KX.h"

#include "platform/KeyNames.h"
#include "platform/KeyState.h"

#include <QKeyEvent>

TKeyField::TKeyField(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setMinimumWidth(110);
    connect(this, &QPushButton::clicked, this, [this] { Listen(); });
}

void TKeyField::SetKey(uint16_t scanCode) {
    FKey = scanCode;
    StopListening();
}

void TKeyField::Listen() {
    FListening = true;
    setText(QStringLiteral("Press a key..."));
    setFocus(Qt::OtherFocusReason);
}

void TKeyField::StopListening() {
    FListening = false;
    setText(FKey != 0 ? KeyNames::NameOf(FKey) : QString());
}

bool TKeyField::event(QEvent* event) {
    if (FListening) {
        // While it listens the field takes every key: no shortcut, no Tab.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QPushButton::event(event);
}

void TKeyField::keyPressEvent(QKeyEvent* event) {
    if (!FListening) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat()) return;
    const int scanCode = KeyState::ScanCodeOf(*event);
    const bool escape = event->key() == Qt::Key_Escape || scanCode == ScanCode::Escape;
    StopListening();
    if (escape || !KeyState::IsKeyboardKey(scanCode)) return;
    if (OnKeyChosen) OnKeyChosen(this, static_cast<uint16_t>(scanCode));
}

void TKeyField::focusOutEvent(QFocusEvent* event) {
    if (FListening) StopListening();
    QPushButton::focusOutEvent(event);
}
