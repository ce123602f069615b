// Controllers: plugging in and out, buttons to pad keys, d-pad and stick to repeating arrows.
#include "platform/GameControllers.h"

#include <SDL.h>

#include "platform/KeyCodes.h"

namespace {

constexpr int kDirectionKeys[4] = {kKeyLeft, kKeyRight, kKeyUp, kKeyDown};
constexpr unsigned kDpad = 1, kStick = 2;

int PadKey(int sdlButton) {
    switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A: return kKeyPadA;
    case SDL_CONTROLLER_BUTTON_B: return kKeyPadB;
    case SDL_CONTROLLER_BUTTON_X: return kKeyPadX;
    case SDL_CONTROLLER_BUTTON_Y: return kKeyPadY;
    case SDL_CONTROLLER_BUTTON_START: return kKeyPadStart;
    case SDL_CONTROLLER_BUTTON_BACK: return kKeyPadBack;
    default: return 0;
    }
}

// The d-pad's direction index (left, right, up, down), or -1.
int DpadDirection(int sdlButton) {
    switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return 0;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return 2;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return 3;
    default: return -1;
    }
}

}  // namespace

GameControllers::~GameControllers() { Shutdown(); }

bool GameControllers::Init() {
    if (mStarted) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    mStarted = true;
    // Controllers already plugged in announce themselves with device-added events.
    return true;
}

void GameControllers::Shutdown() {
    for (void* handle : mOpen) SDL_GameControllerClose(static_cast<SDL_GameController*>(handle));
    mOpen.clear();
    if (mStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    mStarted = false;
    for (unsigned& held : mHeld) held = 0;
}

void GameControllers::SetHeld(int direction, int source, bool held, uint32_t nowMs,
                              const std::function<void(const PlatformEvent&)>& sink) {
    unsigned before = mHeld[direction];
    if (held)
        mHeld[direction] |= unsigned(source);
    else
        mHeld[direction] &= ~unsigned(source);
    if (!before && mHeld[direction]) {
        mNextRepeat[direction] = nowMs + kRepeatDelay;
        sink(PlatformEvent{kMsgKeyDown, kDirectionKeys[direction], 0});
    } else if (before && !mHeld[direction]) {
        sink(PlatformEvent{kMsgKeyUp, kDirectionKeys[direction], 0});
    }
}

void GameControllers::ReleaseAll(const std::function<void(const PlatformEvent&)>& sink) {
    for (int d = 0; d < kDirections; ++d)
        if (mHeld[d]) SetHeld(d, int(kDpad | kStick), false, 0, sink);
}

bool GameControllers::Translate(const void* raw, const std::function<void(const PlatformEvent&)>& sink) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
        if (!mStarted || !SDL_IsGameController(event.cdevice.which)) return true;
        SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
        if (!controller) return true;
        for (void* handle : mOpen)
            if (handle == controller) return true;
        mOpen.push_back(controller);
        return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
        SDL_GameController* controller = SDL_GameControllerFromInstanceID(event.cdevice.which);
        for (size_t i = 0; i < mOpen.size(); ++i) {
            if (mOpen[i] != controller) continue;
            SDL_GameControllerClose(controller);
            mOpen.erase(mOpen.begin() + long(i));
            break;
        }
        // A direction held on the controller that went must not stay held.
        ReleaseAll(sink);
        return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        int direction = DpadDirection(event.cbutton.button);
        if (direction >= 0) {
            SetHeld(direction, int(kDpad), down, SDL_GetTicks(), sink);
            return true;
        }
        int key = PadKey(event.cbutton.button);
        if (key) sink(PlatformEvent{down ? kMsgKeyDown : kMsgKeyUp, key, 0});
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        int axis = event.caxis.axis;
        if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) return true;
        int value = event.caxis.value;
        int negative = axis == SDL_CONTROLLER_AXIS_LEFTX ? int(kLeftDir) : int(kUpDir);
        int positive = negative + 1;
        uint32_t now = SDL_GetTicks();
        // Past the press point on one side; let go only well inside it, so a stick resting near
        // the point does not flicker.
        for (int side : {negative, positive}) {
            int along = side == negative ? -value : value;
            bool held = (mHeld[side] & kStick) != 0;
            if (!held && along > kPressAt) SetHeld(side, int(kStick), true, now, sink);
            if (held && along < kReleaseAt) SetHeld(side, int(kStick), false, now, sink);
        }
        return true;
    }
    default:
        return false;
    }
}

void GameControllers::Repeat(uint32_t nowMs, const std::function<void(const PlatformEvent&)>& sink) {
    for (int d = 0; d < kDirections; ++d) {
        if (!mHeld[d] || int32_t(nowMs - mNextRepeat[d]) < 0) continue;
        mNextRepeat[d] = nowMs + kRepeatInterval;
        sink(PlatformEvent{kMsgKeyDown, kDirectionKeys[d], 1});
    }
}

void GameControllers::PushButton(Button button, bool down) {
    static const SDL_GameControllerButton kButtons[] = {
        SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,         SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y,         SDL_CONTROLLER_BUTTON_START,     SDL_CONTROLLER_BUTTON_BACK,
        SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
        SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    };
    SDL_Event event{};
    event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.cbutton.which = 0;
    event.cbutton.button = Uint8(kButtons[int(button)]);
    event.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
}

void GameControllers::PushAxis(Axis axis, int value) {
    SDL_Event event{};
    event.type = SDL_CONTROLLERAXISMOTION;
    event.caxis.which = 0;
    event.caxis.axis = Uint8(axis == Axis::kLeftX ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY);
    event.caxis.value = Sint16(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
    SDL_PushEvent(&event);
}
