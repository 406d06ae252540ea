#include "platform/Gamepads.h"

#include "platform/KeyState.h"
#include "platform/PadDevices.h"

#include <array>
#include <map>

std::function<void()> Gamepads::OnPause;

#ifdef KOLVEX_HAVE_SDL2
#include <SDL.h>
#include <dlfcn.h>

namespace {
// SDL is opened at the first poll that finds a pad device: a program that
// never sees a pad never loads it, nor the many libraries it brings along
// (start-up and memory).
#define KOLVEX_SDL_FUNCTIONS(F)                                                                    \
    F(SDL_Init)                                                                                    \
    F(SDL_SetHint)                                                                                 \
    F(SDL_PollEvent)                                                                               \
    F(SDL_GameControllerOpen)                                                                      \
    F(SDL_GameControllerClose)                                                                     \
    F(SDL_GameControllerGetJoystick)                                                               \
    F(SDL_GameControllerName)                                                                      \
    F(SDL_JoystickInstanceID)

struct SdlLibrary {
#define KOLVEX_SDL_MEMBER(name) decltype(&::name) name = nullptr;
    KOLVEX_SDL_FUNCTIONS(KOLVEX_SDL_MEMBER)
#undef KOLVEX_SDL_MEMBER
};

// The library's functions, or null when it cannot be opened whole.
const SdlLibrary* Sdl() {
    static const SdlLibrary* const library = []() -> const SdlLibrary* {
        void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle) return nullptr;
        static SdlLibrary functions;
        bool whole = true;
#define KOLVEX_SDL_LOOKUP(name)                                                                    \
    functions.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                   \
    whole = whole && functions.name;
        KOLVEX_SDL_FUNCTIONS(KOLVEX_SDL_LOOKUP)
#undef KOLVEX_SDL_LOOKUP
        return whole ? &functions : nullptr;
    }();
    return library;
}

constexpr int MoveLeft = 0, MoveRight = 1, Turn = 2, Drop = 3, PadActions = 4;
// The stick counts as pushed beyond the first value and as let go inside the
// second, so that a stick resting near the edge does not chatter.
constexpr int StickPushed = 16000;
constexpr int StickLetGo = 8000;

struct OpenPad {
    SDL_GameController* Controller = nullptr;
    QString Name;
    int Player = -1;
    std::array<bool, PadActions> Buttons{}; // d-pad left, right, south, east
    std::array<bool, 2> Stick{};            // left stick left, right
    bool Held(int action) const {
        return Buttons[static_cast<size_t>(action)] ||
               (action < 2 && Stick[static_cast<size_t>(action)]);
    }
};

bool enabled = false;
int started = 0; // 0 not tried, 1 running, -1 failed
std::map<int, OpenPad> pads;

// A player's pad key is down while any pad of that player holds it.
void Publish(int player) {
    if (player < 0) return;
    for (int action = 0; action < PadActions; ++action) {
        bool down = false;
        for (const auto& [id, pad] : pads)
            down = down || (pad.Player == player && pad.Held(action));
        KeyState::SetDown(KeyState::PadKey(player, action), down);
    }
}

int FreePlayer() {
    for (int player = 0; player < 2; ++player) {
        bool taken = false;
        for (const auto& [id, pad] : pads)
            taken = taken || pad.Player == player;
        if (!taken) return player;
    }
    return -1;
}

void Open(int deviceIndex) {
    SDL_GameController* controller = Sdl()->SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    const int id = Sdl()->SDL_JoystickInstanceID(Sdl()->SDL_GameControllerGetJoystick(controller));
    if (pads.count(id)) {
        Sdl()->SDL_GameControllerClose(controller);
        return;
    }
    OpenPad pad;
    pad.Controller = controller;
    const char* name = Sdl()->SDL_GameControllerName(controller);
    pad.Name = name ? QString::fromUtf8(name) : QStringLiteral("Gamepad");
    pad.Player = FreePlayer();
    pads[id] = pad;
}

void Close(int id) {
    const auto found = pads.find(id);
    if (found == pads.end()) return;
    const int player = found->second.Player;
    Sdl()->SDL_GameControllerClose(found->second.Controller);
    pads.erase(found);
    Publish(player);
}

int ActionOfButton(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return MoveLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return MoveRight;
    case SDL_CONTROLLER_BUTTON_A:
        return Turn;
    case SDL_CONTROLLER_BUTTON_B:
        return Drop;
    default:
        return -1;
    }
}

void Button(const SDL_ControllerButtonEvent& event) {
    const auto found = pads.find(event.which);
    if (found == pads.end() || found->second.Player < 0) return;
    const bool down = event.state == SDL_PRESSED;
    if (event.button == SDL_CONTROLLER_BUTTON_START) {
        if (down && Gamepads::OnPause) Gamepads::OnPause();
        return;
    }
    const int action = ActionOfButton(event.button);
    if (action < 0) return;
    found->second.Buttons[static_cast<size_t>(action)] = down;
    Publish(found->second.Player);
}

void Axis(const SDL_ControllerAxisEvent& event) {
    if (event.axis != SDL_CONTROLLER_AXIS_LEFTX) return;
    const auto found = pads.find(event.which);
    if (found == pads.end() || found->second.Player < 0) return;
    auto& stick = found->second.Stick;
    const int value = event.value;
    if (value <= -StickPushed)
        stick = {true, false};
    else if (value >= StickPushed)
        stick = {false, true};
    else if (value > -StickLetGo && value < StickLetGo)
        stick = {false, false};
    Publish(found->second.Player);
}
} // namespace

void Gamepads::SetEnabled(bool on) {
    enabled = on;
}

bool Gamepads::Enabled() {
    return enabled;
}

bool Gamepads::Available() {
    if (started == 0) {
        // The program keeps its own signal handling; SDL only reads the pads.
        const SdlLibrary* sdl = Sdl();
        if (!sdl) {
            started = -1;
            return false;
        }
        sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdl->SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        started = sdl->SDL_Init(SDL_INIT_GAMECONTROLLER) == 0 ? 1 : -1;
    }
    return started == 1;
}

bool Gamepads::Running() {
    return started == 1;
}

void Gamepads::Poll() {
    if (!enabled) return;
    if (started == 0 && !PadDevices::AnyPlugged()) return;
    if (!Available()) return;
    SDL_Event event;
    while (Sdl()->SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            Open(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            Close(event.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            Button(event.cbutton);
            break;
        case SDL_CONTROLLERAXISMOTION:
            Axis(event.caxis);
            break;
        default:
            break;
        }
    }
}

std::vector<Gamepads::Pad> Gamepads::Connected() {
    std::vector<Pad> result;
    for (const auto& [id, pad] : pads)
        result.push_back({id, pad.Name, pad.Player});
    return result;
}

void Gamepads::SetPlayer(int padId, int player) {
    const auto found = pads.find(padId);
    if (found == pads.end()) return;
    OpenPad& pad = found->second;
    const int before = pad.Player;
    pad.Player = player == 0 || player == 1 ? player : -1;
    pad.Buttons = {};
    pad.Stick = {};
    Publish(before);
    Publish(pad.Player);
}

#else

void Gamepads::SetEnabled(bool) {}
bool Gamepads::Enabled() {
    return false;
}
bool Gamepads::Available() {
    return false;
}
bool Gamepads::Running() {
    return false;
}
void Gamepads::Poll() {}
std::vector<Gamepads::Pad> Gamepads::Connected() {
    return {};
}
void Gamepads::SetPlayer(int, int) {}

#endif
