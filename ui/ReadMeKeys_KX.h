#pragma once

#include <QByteArray>
#include <QString>

class TKeyTable;

// The read-me as the player should read it: its key section names the keys
// in force, as this keyboard's layout labels them, not the defaults it was
// written with.
namespace ReadMeKeys {
// The read-me's text with the rows of its key section rewritten.
QByteArray WithKeys(const QByteArray& rtf, const TKeyTable& keys);
// Writes such a text into the user's cache folder and returns the copy's
// name; empty when it cannot be written.
QString WriteCopy(const QByteArray& rtf);
} // namespace ReadMeKeys
