#include "platform/KeyNames.h"

#include "platform/KeyState.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <xcb/xcb.h>

namespace {
struct SymName {
    uint32_t Sym;
    const char* Name;
};
constexpr SymName SpecialKeys[] = {
    {0x20, "Space"},          {0xff08, "Backspace"},   {0xff09, "Tab"},
    {0xff0d, "Return"},       {0xff13, "Pause"},       {0xff14, "Scroll Lock"},
    {0xff1b, "Escape"},       {0xff50, "Home"},        {0xff51, "Left arrow"},
    {0xff52, "Up arrow"},     {0xff53, "Right arrow"}, {0xff54, "Down arrow"},
    {0xff55, "Page Up"},      {0xff56, "Page Down"},   {0xff57, "End"},
    {0xff63, "Insert"},       {0xff67, "Menu"},        {0xff7f, "Num Lock"},
    {0xff8d, "Keypad Enter"}, {0xffaa, "Keypad *"},    {0xffab, "Keypad +"},
    {0xffad, "Keypad -"},     {0xffae, "Keypad ."},    {0xffaf, "Keypad /"},
    {0xffe1, "Left Shift"},   {0xffe2, "Right Shift"}, {0xffe3, "Left Ctrl"},
    {0xffe4, "Right Ctrl"},   {0xffe5, "Caps Lock"},   {0xffe9, "Alt"},
    {0xffea, "Right Alt"},    {0xffeb, "Super"},       {0xffec, "Right Super"},
    {0xfe03, "AltGr"},        {0xffff, "Delete"},
};

// The key symbols X gives the place, unshifted and shifted; 0 where none.
std::pair<uint32_t, uint32_t> XKeySyms(int scanCode) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return {0, 0};
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || scanCode < 8 || scanCode > 255) return {0, 0};
    const auto code = static_cast<xcb_keycode_t>(scanCode);
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, code, 1), nullptr);
    if (!reply) return {0, 0};
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int count = xcb_get_keyboard_mapping_keysyms_length(reply);
    const std::pair<uint32_t, uint32_t> result{count > 0 ? syms[0] : 0, count > 1 ? syms[1] : 0};
    free(reply);
    return result;
}

QString UsName(int scanCode) {
    const int qtKey = KeyState::QtKeyAt(scanCode);
    switch (qtKey) {
    case 0:
        return QString();
    case Qt::Key_Left:
        return QStringLiteral("Left arrow");
    case Qt::Key_Right:
        return QStringLiteral("Right arrow");
    case Qt::Key_Up:
        return QStringLiteral("Up arrow");
    case Qt::Key_Down:
        return QStringLiteral("Down arrow");
    case Qt::Key_Control:
        return QStringLiteral("Left Ctrl");
    case Qt::Key_Shift:
        return QStringLiteral("Left Shift");
    default:
        return QKeySequence(qtKey).toString(QKeySequence::NativeText);
    }
}
} // namespace

QString KeyNames::NameOfKeySym(uint32_t keySym) {
    for (const SymName& special : SpecialKeys)
        if (special.Sym == keySym) return QString::fromLatin1(special.Name);
    // Keypad digits: "Keypad 4".
    if (keySym >= 0xffb0 && keySym <= 0xffb9)
        return QStringLiteral("Keypad %1").arg(keySym - 0xffb0);
    if (keySym >= 0xffbe && keySym <= 0xffd5) return QStringLiteral("F%1").arg(keySym - 0xffbe + 1);
    // Latin-1 symbols are their own character; 0x1000000 plus a code point is that character.
    char32_t character = 0;
    if ((keySym > 0x20 && keySym < 0x7f) || (keySym >= 0xa1 && keySym <= 0xff)) character = keySym;
    if (keySym >= 0x1000100 && keySym <= 0x110ffff) character = keySym - 0x1000000;
    if (character == 0) return QString();
    return QString::fromUcs4(&character, 1).toUpper();
}

QString KeyNames::NameOf(int scanCode) {
    auto [plain, shifted] = XKeySyms(scanCode);
    // The keypad's keys without Num Lock are "Home", "Left"...: name them by their digit.
    if (plain >= 0xff95 && plain <= 0xff9f && shifted != 0) plain = shifted;
    QString name = plain != 0 ? NameOfKeySym(plain) : QString();
    if (name.isEmpty()) name = UsName(scanCode);
    if (name.isEmpty()) name = QStringLiteral("Key %1").arg(scanCode);
    return name;
}

QString KeyNames::ShortNameOf(int scanCode) {
    // Arrow signs are too thin to read in a small font: the arrows go by their direction.
    QString name = NameOf(scanCode);
    if (name.endsWith(QLatin1String(" arrow"))) name.chop(6);
    return name;
}
