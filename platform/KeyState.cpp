#include "platform/KeyState.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <array>

namespace {
std::array<bool, ScanCode::Limit> down{};
// Presses since the collector last looked: a tap shorter than a frame is
// down and up again before any sample sees it.
std::array<uint8_t, ScanCode::Limit> presses{};
KeyStateFilter* installedFilter = nullptr;

// Where the keys sit on a US keyboard, by X key code: the stand-in for events
// that carry no scan code, and for naming keys where the layout is unknown.
struct KeyPlace {
    int Code;
    int QtKey;
};
constexpr KeyPlace UsKeyboard[] = {
    {9, Qt::Key_Escape},      {10, Qt::Key_1},           {11, Qt::Key_2},
    {12, Qt::Key_3},          {13, Qt::Key_4},           {14, Qt::Key_5},
    {15, Qt::Key_6},          {16, Qt::Key_7},           {17, Qt::Key_8},
    {18, Qt::Key_9},          {19, Qt::Key_0},           {20, Qt::Key_Minus},
    {21, Qt::Key_Equal},      {22, Qt::Key_Backspace},   {23, Qt::Key_Tab},
    {24, Qt::Key_Q},          {25, Qt::Key_W},           {26, Qt::Key_E},
    {27, Qt::Key_R},          {28, Qt::Key_T},           {29, Qt::Key_Y},
    {30, Qt::Key_U},          {31, Qt::Key_I},           {32, Qt::Key_O},
    {33, Qt::Key_P},          {34, Qt::Key_BracketLeft}, {35, Qt::Key_BracketRight},
    {36, Qt::Key_Return},     {37, Qt::Key_Control},     {38, Qt::Key_A},
    {39, Qt::Key_S},          {40, Qt::Key_D},           {41, Qt::Key_F},
    {42, Qt::Key_G},          {43, Qt::Key_H},           {44, Qt::Key_J},
    {45, Qt::Key_K},          {46, Qt::Key_L},           {47, Qt::Key_Semicolon},
    {48, Qt::Key_Apostrophe}, {49, Qt::Key_QuoteLeft},   {50, Qt::Key_Shift},
    {51, Qt::Key_Backslash},  {52, Qt::Key_Z},           {53, Qt::Key_X},
    {54, Qt::Key_C},          {55, Qt::Key_V},           {56, Qt::Key_B},
    {57, Qt::Key_N},          {58, Qt::Key_M},           {59, Qt::Key_Comma},
    {60, Qt::Key_Period},     {61, Qt::Key_Slash},       {64, Qt::Key_Alt},
    {65, Qt::Key_Space},      {104, Qt::Key_Enter},      {110, Qt::Key_Home},
    {111, Qt::Key_Up},        {112, Qt::Key_PageUp},     {113, Qt::Key_Left},
    {114, Qt::Key_Right},     {115, Qt::Key_End},        {116, Qt::Key_Down},
    {117, Qt::Key_PageDown},  {118, Qt::Key_Insert},     {119, Qt::Key_Delete},
};
} // namespace

bool KeyState::IsDown(int keyCode) {
    if (keyCode < 0 || keyCode >= static_cast<int>(down.size())) return false;
    return down[static_cast<size_t>(keyCode)];
}

void KeyState::SetDown(int keyCode, bool isDown) {
    if (keyCode <= 0 || keyCode >= static_cast<int>(down.size())) return;
    const auto index = static_cast<size_t>(keyCode);
    if (isDown && !down[index] && presses[index] < UINT8_MAX) ++presses[index];
    down[index] = isDown;
}

bool KeyState::TakePress(int keyCode) {
    if (keyCode < 0 || keyCode >= static_cast<int>(presses.size())) return false;
    const auto index = static_cast<size_t>(keyCode);
    const bool pressed = presses[index] > 0;
    presses[index] = 0;
    return pressed;
}

void KeyState::ReleaseAll() {
    down.fill(false);
    presses.fill(0);
}

int KeyState::VirtualKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return VK_A + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    default:
        return 0;
    }
}

int KeyState::ScanCodeOf(const QKeyEvent& event) {
    const auto native = static_cast<int>(event.nativeScanCode());
    if (IsKeyboardKey(native)) return native;
    return ScanCodeOfQtKey(event.key());
}

int KeyState::ScanCodeOfQtKey(int qtKey) {
    for (const KeyPlace& place : UsKeyboard)
        if (place.QtKey == qtKey) return place.Code;
    return 0;
}

int KeyState::QtKeyAt(int scanCode) {
    for (const KeyPlace& place : UsKeyboard)
        if (place.Code == scanCode) return place.QtKey;
    return 0;
}

void KeyState::InstallFilter() {
    if (installedFilter || !QCoreApplication::instance()) return;
    installedFilter = new KeyStateFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(installedFilter);
}

bool KeyStateFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        KeyState::ReleaseAll();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    // The same key event visits the QWindow, the widget window and the focus
    // widget; count it at the QWindow only.
    if (!qobject_cast<QWindow*>(watched)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    KeyState::SetDown(KeyState::ScanCodeOf(*key), type == QEvent::KeyPress);
    return false;
}
