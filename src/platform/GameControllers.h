// Game controllers through SDL's game-controller mapping: opened as they are plugged in and
// turned into the engine's key messages. The d-pad and the left stick become the arrow keys
// (repeating while held, as a keyboard's do); A, B, X, Y, Start and Back become the engine's pad
// keys (KeyCodes.h). Nothing of a controller reaches the engine any other way.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/PlatformEvent.h"

class GameControllers {
public:
    // Controller buttons and axes as tests push them (Window::PushPadButton, PushPadAxis).
    enum class Button { kA, kB, kX, kY, kStart, kBack, kUp, kDown, kLeft, kRight };
    enum class Axis { kLeftX, kLeftY };

    // A held direction repeats after this long, then at this interval (milliseconds).
    static constexpr uint32_t kRepeatDelay = 400;
    static constexpr uint32_t kRepeatInterval = 110;
    // A stick is held in a direction past kPressAt and let go again inside kReleaseAt.
    static constexpr int kPressAt = 16000;
    static constexpr int kReleaseAt = 10000;

    GameControllers() = default;
    ~GameControllers();
    GameControllers(const GameControllers&) = delete;
    GameControllers& operator=(const GameControllers&) = delete;

    // Starts SDL's controller support; false when it cannot (the game plays on without).
    bool Init();
    void Shutdown();
    // Translates one SDL event when it is a controller's (true), handing key messages to `sink`.
    bool Translate(const void* sdlEvent, const std::function<void(const PlatformEvent&)>& sink);
    // Repeats the arrow keys of directions held since long enough, at `nowMs`.
    void Repeat(uint32_t nowMs, const std::function<void(const PlatformEvent&)>& sink);
    int OpenCount() const { return int(mOpen.size()); }

    // Synthetic input, queued as SDL would deliver it from controller number 0.
    static void PushButton(Button button, bool down);
    static void PushAxis(Axis axis, int value);

private:
    enum Direction { kLeftDir, kRightDir, kUpDir, kDownDir, kDirections };
    // A direction is held by the d-pad, the stick or both; its key goes down when the first
    // holds it and up when the last lets go.
    void SetHeld(int direction, int source, bool held, uint32_t nowMs,
                 const std::function<void(const PlatformEvent&)>& sink);
    void ReleaseAll(const std::function<void(const PlatformEvent&)>& sink);

    std::vector<void*> mOpen;  // SDL_GameController handles
    bool mStarted = false;
    unsigned mHeld[kDirections] = {};       // bit 0 d-pad, bit 1 stick
    uint32_t mNextRepeat[kDirections] = {};
};
