#pragma once

#include <QObject>

// Answers whether a key is held down at this moment (the asynchronous key
// state), in Windows virtual-key codes.
class TKeyboardHandler : public QObject {
public:
    explicit TKeyboardHandler(QObject* owner = nullptr) : QObject(owner) {}

    // A query that cannot be answered counts as a key that is up.
    bool IsKeyDown(int virtualKey) const;
    // Whether the key went down since last asked (clears that).
    bool TakePress(int virtualKey) const;
};
