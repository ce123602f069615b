// The two translation tables between SDL's keyboard and the engine's numbering.
#include "platform/Keyboard.h"

#include <SDL.h>

#include "platform/KeyCodes.h"

namespace {

struct ScanPair {
    SDL_Scancode sdl;
    int code;
};

// SDL scan code -> the engine's scan code.
const ScanPair kScanCodes[] = {
    {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02}, {SDL_SCANCODE_2, 0x03}, {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05}, {SDL_SCANCODE_5, 0x06}, {SDL_SCANCODE_6, 0x07}, {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09}, {SDL_SCANCODE_9, 0x0A}, {SDL_SCANCODE_0, 0x0B}, {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10}, {SDL_SCANCODE_W, 0x11}, {SDL_SCANCODE_E, 0x12}, {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14}, {SDL_SCANCODE_Y, 0x15}, {SDL_SCANCODE_U, 0x16}, {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18}, {SDL_SCANCODE_P, 0x19}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E}, {SDL_SCANCODE_S, 0x1F}, {SDL_SCANCODE_D, 0x20}, {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22}, {SDL_SCANCODE_H, 0x23}, {SDL_SCANCODE_J, 0x24}, {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26}, {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C}, {SDL_SCANCODE_X, 0x2D}, {SDL_SCANCODE_C, 0x2E}, {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30}, {SDL_SCANCODE_N, 0x31}, {SDL_SCANCODE_M, 0x32}, {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35}, {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_LALT, 0x38}, {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A}, {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F2, 0x3C}, {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E}, {SDL_SCANCODE_F5, 0x3F}, {SDL_SCANCODE_F6, 0x40}, {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42}, {SDL_SCANCODE_F9, 0x43}, {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_SCROLLLOCK, 0x46}, {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49}, {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B}, {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_1, 0x4F}, {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_F11, 0x57}, {SDL_SCANCODE_F12, 0x58}, {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65}, {SDL_SCANCODE_F15, 0x66}, {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_AUDIOPREV, 0x90}, {SDL_SCANCODE_AUDIONEXT, 0x99}, {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_AUDIOMUTE, 0xA0}, {SDL_SCANCODE_CALCULATOR, 0xA1},
    {SDL_SCANCODE_AUDIOPLAY, 0xA2}, {SDL_SCANCODE_AUDIOSTOP, 0xA4}, {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xB0}, {SDL_SCANCODE_AC_HOME, 0xB2}, {SDL_SCANCODE_KP_COMMA, 0xB3},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5}, {SDL_SCANCODE_RALT, 0xB8}, {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, 0xCD}, {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3}, {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD}, {SDL_SCANCODE_POWER, 0xDE}, {SDL_SCANCODE_SLEEP, 0xDF},
    {SDL_SCANCODE_AC_SEARCH, 0xE5}, {SDL_SCANCODE_AC_BOOKMARKS, 0xE6}, {SDL_SCANCODE_AC_REFRESH, 0xE7},
    {SDL_SCANCODE_AC_STOP, 0xE8}, {SDL_SCANCODE_AC_FORWARD, 0xE9}, {SDL_SCANCODE_AC_BACK, 0xEA},
    {SDL_SCANCODE_COMPUTER, 0xEB}, {SDL_SCANCODE_MAIL, 0xEC}, {SDL_SCANCODE_MEDIASELECT, 0xED},
};

struct KeyPair {
    SDL_Keycode sdl;
    int code;
};

// SDL key -> the engine's key code. Letters and digits are added in code.
const KeyPair kKeyCodes[] = {
    {SDLK_BACKSPACE, kKeyBackspace}, {SDLK_TAB, kKeyTab}, {SDLK_RETURN, kKeyEnter},
    {SDLK_KP_ENTER, kKeyEnter}, {SDLK_LSHIFT, kKeyShift}, {SDLK_RSHIFT, kKeyShift},
    {SDLK_LCTRL, kKeyControl}, {SDLK_RCTRL, kKeyControl}, {SDLK_LALT, kKeyAlt}, {SDLK_RALT, kKeyAlt},
    {SDLK_PAUSE, kKeyPause}, {SDLK_CAPSLOCK, kKeyCapsLock}, {SDLK_ESCAPE, kKeyEscape},
    {SDLK_SPACE, kKeySpace}, {SDLK_PAGEUP, kKeyPageUp}, {SDLK_PAGEDOWN, kKeyPageDown},
    {SDLK_END, kKeyEnd}, {SDLK_HOME, kKeyHome}, {SDLK_LEFT, kKeyLeft}, {SDLK_UP, kKeyUp},
    {SDLK_RIGHT, kKeyRight}, {SDLK_DOWN, kKeyDown}, {SDLK_PRINTSCREEN, kKeyPrintScreen},
    {SDLK_INSERT, kKeyInsert}, {SDLK_DELETE, kKeyDelete}, {SDLK_KP_MULTIPLY, kKeyMultiply},
    {SDLK_KP_PLUS, kKeyAdd}, {SDLK_KP_MINUS, kKeySubtract}, {SDLK_KP_PERIOD, kKeyDecimal},
    {SDLK_KP_DIVIDE, kKeyDivide}, {SDLK_NUMLOCKCLEAR, kKeyNumLock}, {SDLK_SCROLLLOCK, kKeyScrollLock},
    {SDLK_SEMICOLON, kKeySemicolon}, {SDLK_EQUALS, kKeyEquals}, {SDLK_COMMA, kKeyComma},
    {SDLK_MINUS, kKeyMinus}, {SDLK_PERIOD, kKeyPeriod}, {SDLK_SLASH, kKeySlash},
    {SDLK_BACKQUOTE, kKeyBackquote}, {SDLK_LEFTBRACKET, kKeyLeftBracket},
    {SDLK_BACKSLASH, kKeyBackslash}, {SDLK_RIGHTBRACKET, kKeyRightBracket}, {SDLK_QUOTE, kKeyQuote},
    {SDLK_KP_0, kKeyNumpad0}, {SDLK_KP_1, kKeyNumpad0 + 1}, {SDLK_KP_2, kKeyNumpad0 + 2},
    {SDLK_KP_3, kKeyNumpad0 + 3}, {SDLK_KP_4, kKeyNumpad0 + 4}, {SDLK_KP_5, kKeyNumpad0 + 5},
    {SDLK_KP_6, kKeyNumpad0 + 6}, {SDLK_KP_7, kKeyNumpad0 + 7}, {SDLK_KP_8, kKeyNumpad0 + 8},
    {SDLK_KP_9, kKeyNumpad0 + 9}, {SDLK_F1, kKeyF1}, {SDLK_F2, kKeyF1 + 1}, {SDLK_F3, kKeyF1 + 2},
    {SDLK_F4, kKeyF1 + 3}, {SDLK_F5, kKeyF1 + 4}, {SDLK_F6, kKeyF1 + 5}, {SDLK_F7, kKeyF1 + 6},
    {SDLK_F8, kKeyF1 + 7}, {SDLK_F9, kKeyF1 + 8}, {SDLK_F10, kKeyF1 + 9}, {SDLK_F11, kKeyF1 + 10},
    {SDLK_F12, kKeyF1 + 11}, {SDLK_F13, kKeyF1 + 12}, {SDLK_F14, kKeyF1 + 13}, {SDLK_F15, kKeyF1 + 14},
};

}  // namespace

namespace Keyboard {

bool ReadState(uint8_t* state) {
    for (int i = 0; i < 256; ++i) state[i] = 0;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    if (!keys) return false;
    for (const ScanPair& pair : kScanCodes)
        if (pair.sdl < count && keys[pair.sdl]) state[pair.code] = 0x80;
    return true;
}

int KeyCodeFromPlatform(int platformKey) {
    if (platformKey >= SDLK_a && platformKey <= SDLK_z) return kKeyA + (platformKey - SDLK_a);
    if (platformKey >= SDLK_0 && platformKey <= SDLK_9) return kKey0 + (platformKey - SDLK_0);
    for (const KeyPair& pair : kKeyCodes)
        if (pair.sdl == platformKey) return pair.code;
    return 0;
}

int PlatformKeyFromKeyCode(int keyCode) {
    if (keyCode >= kKeyA && keyCode <= kKeyA + 25) return SDLK_a + (keyCode - kKeyA);
    if (keyCode >= kKey0 && keyCode <= kKey0 + 9) return SDLK_0 + (keyCode - kKey0);
    for (const KeyPair& pair : kKeyCodes)
        if (pair.code == keyCode) return pair.sdl;
    return 0;
}

int ScanCodeFromPlatform(int platformScanCode) {
    for (const ScanPair& pair : kScanCodes)
        if (pair.sdl == platformScanCode) return pair.code;
    return 0;
}

}  // namespace Keyboard
