// The keyboard at the seam: the platform's key state as the engine's scan codes, and the
// platform's keys as the engine's key codes. Both tables live in Keyboard.cpp and nowhere else.
#pragma once

#include <cstdint>

namespace Keyboard {

// Fills 256 bytes indexed by scan code (0x80 = down) from the platform's key state; false when
// there is no keyboard to read (video not started).
bool ReadState(uint8_t* state);
// The engine key code of a platform key (0 for keys the engine does not know).
int KeyCodeFromPlatform(int platformKey);
// The platform key for an engine key code (0 when none), for synthetic input.
int PlatformKeyFromKeyCode(int keyCode);
// The engine scan code of a platform scan code (0 when none).
int ScanCodeFromPlatform(int platformScanCode);

}  // namespace Keyboard
