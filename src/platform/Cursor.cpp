// SDL pointers behind the engine's cursors.
#include "platform/Cursor.h"

#include <SDL.h>

Cursor::~Cursor() {
    if (mNative) SDL_FreeCursor(static_cast<SDL_Cursor*>(mNative));
}

Cursor* Cursor::CreateSystem(Kind kind) {
    Cursor* cursor = new Cursor();
    cursor->mKind = kind;
    SDL_SystemCursor id;
    switch (kind) {
    case kArrow: id = SDL_SYSTEM_CURSOR_ARROW; break;
    case kWait: id = SDL_SYSTEM_CURSOR_WAIT; break;
    case kHand: id = SDL_SYSTEM_CURSOR_HAND; break;
    case kBeam: id = SDL_SYSTEM_CURSOR_IBEAM; break;
    default: return cursor;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO)) cursor->mNative = SDL_CreateSystemCursor(id);
    cursor->mHasSystemPointer = cursor->mNative != nullptr;
    return cursor;
}

Cursor* Cursor::CreateFromMasks(Kind kind, const uint8_t* data, const uint8_t* mask, int hotX, int hotY) {
    Cursor* cursor = new Cursor();
    cursor->mKind = kind;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        cursor->mNative = SDL_CreateCursor(data, mask, 32, 32, hotX, hotY);
        cursor->mHasSystemPointer = cursor->mNative != nullptr;
    }
    return cursor;
}

void Cursor::Show() {
    if (mNative) SDL_SetCursor(static_cast<SDL_Cursor*>(mNative));
}
