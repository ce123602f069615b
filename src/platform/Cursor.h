// Mouse pointers: the system's own kinds and ones built from 32x32 bit masks. A Cursor always
// exists; headless it has no system pointer behind it and showing it does nothing.
#pragma once

#include <cstdint>

class Cursor {
public:
    enum Kind { kArrow = 0, kWait = 1, kHand = 2, kBeam = 3, kGrab = 4, kBlank = 5 };

    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Always returns a cursor; mHasSystemPointer tells whether the system had that pointer.
    static Cursor* CreateSystem(Kind kind);
    // Always returns a cursor (without a system pointer when it cannot be built). `data` and
    // `mask` hold 32 rows of 4 bytes, most significant bit leftmost.
    static Cursor* CreateFromMasks(Kind kind, const uint8_t* data, const uint8_t* mask, int hotX, int hotY);
    // Makes this the pointer shown over the game's window.
    void Show();

    Kind mKind = kArrow;
    bool mHasSystemPointer = false;

private:
    Cursor() = default;
    void* mNative = nullptr;
};
