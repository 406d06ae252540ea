#pragma once

#include <QPushButton>
#include <functional>

// One key of the key table: shows the key's name; clicked, it takes the next
// key pressed (Tab and the dialog's shortcuts included) and hands its place
// to OnKeyChosen. Escape, or leaving the field, keeps the old key.
class TKeyField : public QPushButton {
public:
    explicit TKeyField(QWidget* parent = nullptr);

    uint16_t Key() const { return FKey; }
    // Shows the key; the field stops listening.
    void SetKey(uint16_t scanCode);
    bool Listening() const { return FListening; }
    void Listen();

    // A key was pressed while listening; the page decides whether it is taken.
    std::function<void(TKeyField* Sender, uint16_t scanCode)> OnKeyChosen;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void StopListening();

    uint16_t FKey = 0;
    bool FListening = false;
};
