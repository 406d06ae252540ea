#pragma once

#include <QString>

// Names of keys by their place (a scan code) as this keyboard's layout labels
// them: on X the server's own key map is asked, so the place of a US "A" is
// named "Q" on a French keyboard. Elsewhere, or for a place X leaves unnamed,
// the key is named as on a US keyboard.
class KeyNames {
public:
    // "Left arrow", "A", "Space", "Keypad 4"; "Key 191" for a place with no name.
    static QString NameOf(int scanCode);
    // As NameOf, but the arrows by their direction alone ("Left"): for tight spaces.
    static QString ShortNameOf(int scanCode);
    // The name of an X key symbol, or an empty string for one it has no name for.
    static QString NameOfKeySym(uint32_t keySym);
};
