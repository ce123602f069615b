// The engine's key codes, carried by key-down and key-up messages and compared against by
// gadgets (letters and digits are their upper-case characters). The window maps its keys to
// these in one table (Keyboard.cpp).
#pragma once

enum KeyCode : int {
    kKeyNone = 0,
    kKeyBackspace = 0x08,
    kKeyTab = 0x09,
    kKeyEnter = 0x0D,
    kKeyShift = 0x10,
    kKeyControl = 0x11,
    kKeyAlt = 0x12,
    kKeyPause = 0x13,
    kKeyCapsLock = 0x14,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyEnd = 0x23,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyPrintScreen = 0x2C,
    kKeyInsert = 0x2D,
    kKeyDelete = 0x2E,
    kKey0 = 0x30,  // '0'..'9' follow
    kKeyA = 0x41,  // 'A'..'Z' follow
    kKeyNumpad0 = 0x60,  // numeric pad 0..9 follow
    kKeyMultiply = 0x6A,
    kKeyAdd = 0x6B,
    kKeySubtract = 0x6D,
    kKeyDecimal = 0x6E,
    kKeyDivide = 0x6F,
    kKeyF1 = 0x70,  // F1..F15 follow
    kKeyNumLock = 0x90,
    kKeyScrollLock = 0x91,
    kKeySemicolon = 0xBA,
    kKeyEquals = 0xBB,
    kKeyComma = 0xBC,
    kKeyMinus = 0xBD,
    kKeyPeriod = 0xBE,
    kKeySlash = 0xBF,
    kKeyBackquote = 0xC0,
    kKeyLeftBracket = 0xDB,
    kKeyBackslash = 0xDC,
    kKeyRightBracket = 0xDD,
    kKeyQuote = 0xDE,
    // Game controller buttons, beyond every keyboard code. The window turns the d-pad and the
    // left stick into the arrow keys; gadgets that do not look for these see A as Enter and B
    // and Start as Escape (Gadget::RouteKeyDown).
    kKeyPadA = 0x100,
    kKeyPadB = 0x101,
    kKeyPadX = 0x102,
    kKeyPadY = 0x103,
    kKeyPadStart = 0x104,
    kKeyPadBack = 0x105,
};

// Scan codes of the keyboard snapshot (InputManager) that the engine itself tests.
enum ScanCode : int {
    kScanLeftCtrl = 0x1D,
    kScanLeftShift = 0x2A,
    kScanRightShift = 0x36,
    kScanPadMultiply = 0x37,
    kScanLeftAlt = 0x38,
    kScanC = 0x2E,
    kScanQ = 0x10,
    kScanPadMinus = 0x4A,
    kScanPadPlus = 0x4E,
    kScanF11 = 0x57,
    kScanF12 = 0x58,
    kScanRightCtrl = 0x9D,
    kScanPadDivide = 0xB5,
    kScanRightAlt = 0xB8,
};
