// The keyboard as a whole: a snapshot of every key, taken once per update step, so code can ask
// whether a key is held or was just pressed. Keys are numbered by keyboard scan code (0x1D left
// Ctrl, 0x2A left Shift, 0x57 F11, ...); KeyName gives each one a display name.
#pragma once

#include <cstdint>
#include <functional>

class InputManager {
public:
    // Fills 256 bytes (bit 7 = down) indexed by scan code; false when the keyboard cannot be read.
    using StateSource = std::function<bool(uint8_t* state)>;

    InputManager();

    // Starts reading the platform keyboard (or `source`, when given).
    void Init(StateSource source = nullptr);
    // One snapshot: the other buffer becomes the newest. A failed read clears both buffers.
    void Update();
    // One snapshot taken from `state` (256 bytes, bit 7 = down) instead of the keyboard: replays.
    void UpdateFrom(const uint8_t* state);
    // The window got the focus back.
    void Reacquire();
    // Forgets every key (focus lost): nothing held, no edges.
    void Clear();
    bool IsDown(int code) const;
    // Down now and not down in the snapshot before.
    bool WasPressed(int code) const;
    // The display name of a scan code; "???" for unnamed ones and anything outside 0..254.
    static const char* KeyName(int code);

    int mCurrent = 0;
    uint8_t mState[2][256] = {};

private:
    StateSource mSource;
    bool mHaveDevice = false;
};
