// The engine's window messages. The window translates its events into these; the application
// queues them and handles them at the start of the next update step. Mouse messages carry the
// window position packed as two signed 16-bit values (x low, y high) in `l`.
#pragma once

#include <cstdint>

enum PlatformMessage : int {
    kMsgNone = 0,
    kMsgMouseMove,
    kMsgLeftDown,
    kMsgLeftUp,
    kMsgLeftDoubleClick,
    kMsgRightDown,
    kMsgRightUp,
    kMsgRightDoubleClick,
    kMsgMiddleDown,
    kMsgMiddleUp,
    kMsgMiddleDoubleClick,
    kMsgKeyDown,      // w = the engine's key code
    kMsgKeyUp,        // w = the engine's key code
    kMsgChar,         // w = the typed character (Unicode code point)
    // Window-state messages: handled at once by the window procedure, never queued.
    kMsgActivate,     // w = 1 active, 0 inactive
    kMsgClose,
    kMsgQuitRequest,  // the system asks every program to quit
    kMsgResize,       // w = width, l = height
    kMsgMinimized,    // w = 1 minimised, 0 restored
    kMsgMouseLeftWindow,
    kMsgExposed,      // the window's picture was lost (uncovered, restored) and must be shown again
};

struct PlatformEvent {
    int message = kMsgNone;
    int64_t w = 0;
    int64_t l = 0;
};

// Packs a window position as mouse messages carry it.
inline int64_t PackMousePosition(int x, int y) {
    return int64_t((uint32_t(uint16_t(int16_t(x)))) | (uint32_t(uint16_t(int16_t(y))) << 16));
}
inline int MousePositionX(int64_t l) { return int16_t(uint16_t(uint64_t(l) & 0xFFFF)); }
inline int MousePositionY(int64_t l) { return int16_t(uint16_t((uint64_t(l) >> 16) & 0xFFFF)); }
