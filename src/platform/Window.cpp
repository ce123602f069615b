// SDL window and event translation. Mouse positions go out in window points; the application
// turns them into logical pixels with the drawing device's scale.
#include "platform/Window.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/Keyboard.h"
#include "platform/PlatformEvent.h"

namespace {

int EngineButton(uint8_t sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return -1;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 0;
    default: return 99;
    }
}

uint8_t SdlButton(int button) {
    switch (button) {
    case -1: return SDL_BUTTON_LEFT;
    case 1: return SDL_BUTTON_RIGHT;
    default: return SDL_BUTTON_MIDDLE;
    }
}

int ButtonMessage(int button, bool down, int clicks) {
    bool twice = down && clicks >= 2 && clicks % 2 == 0;
    switch (button) {
    case -1: return twice ? kMsgLeftDoubleClick : (down ? kMsgLeftDown : kMsgLeftUp);
    case 1: return twice ? kMsgRightDoubleClick : (down ? kMsgRightDown : kMsgRightUp);
    case 0: return twice ? kMsgMiddleDoubleClick : (down ? kMsgMiddleDown : kMsgMiddleUp);
    default: return kMsgNone;
    }
}

// Decodes one UTF-8 sequence; returns the code point or -1 and advances `i`.
int NextCodePoint(const char* text, size_t length, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0) return -1;
    int value = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= length) return -1;
        unsigned char next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return -1;
        value = (value << 6) | (next & 0x3F);
        ++i;
    }
    return value;
}

}  // namespace

Window::Window() = default;

Window::~Window() { Destroy(); }

bool Window::InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEO_HIGHDPI_DISABLED, "0");
    // A second press is a double click only close to the first, as on a desktop. SDL's own
    // radius (32 pixels, made for touch) turned a quick click on the next button of a menu into
    // a double click, which buttons do not take as a press: the click was lost.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    // Without a display SDL falls back to a driver that shows nothing; a game nobody can see
    // must say so and stop instead of playing on unseen.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool headless = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!asked || !*asked) asked = std::getenv("SDL_VIDEODRIVER");
    bool askedFor = asked && driver && SDL_strcasestr(asked, driver) != nullptr;
    if (headless && !askedFor) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        SDL_SetError("no display was found (neither DISPLAY nor WAYLAND_DISPLAY is set, or no display server answers)");
        return false;
    }
    return true;
}

void Window::UseHeadlessDrivers() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
}

std::string Window::LastError() { return SDL_GetError(); }

std::string Window::VideoDriver() {
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver ? driver : "";
}

bool Window::HasDisplay() {
    std::string driver = VideoDriver();
    return !driver.empty() && driver != "dummy" && driver != "offscreen";
}

bool Window::Create(const Options& options) {
    Destroy();
    if (!InitVideo()) return false;
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
    if (options.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          options.width, options.height, flags);
    if (!window) return false;
    SDL_SetWindowMinimumSize(window, 320, 240);
    mNative = window;
    mId = SDL_GetWindowID(window);
    mFullscreen = options.fullscreen;
    mFocused = true;
    mMouseInside = false;
    SDL_StartTextInput();
    // Controllers are welcome, not needed: the game plays on without their support.
    mControllers.Init();
    return true;
}

void Window::Destroy() {
    if (!mNative) return;
    mControllers.Shutdown();
    SDL_DestroyWindow(static_cast<SDL_Window*>(mNative));
    mNative = nullptr;
    mId = 0;
}

void Window::SetTitle(const std::string& title) {
    if (mNative) SDL_SetWindowTitle(static_cast<SDL_Window*>(mNative), title.c_str());
}

void Window::Raise() {
    if (!mNative) return;
    SDL_Window* window = static_cast<SDL_Window*>(mNative);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void Window::GetSize(int& width, int& height) const {
    width = height = 0;
    if (mNative) SDL_GetWindowSize(static_cast<SDL_Window*>(mNative), &width, &height);
}

void Window::GetPixelSize(int& width, int& height) const {
    width = height = 0;
    if (mNative) SDL_GetWindowSizeInPixels(static_cast<SDL_Window*>(mNative), &width, &height);
}

bool Window::SetFullscreen(bool fullscreen) {
    if (!mNative) return false;
    if (SDL_SetWindowFullscreen(static_cast<SDL_Window*>(mNative), fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    mFullscreen = fullscreen;
    return true;
}

bool Window::IsMinimized() const {
    return mNative && (SDL_GetWindowFlags(static_cast<SDL_Window*>(mNative)) & SDL_WINDOW_MINIMIZED);
}

int Window::RefreshRate() const {
    if (!mNative) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(static_cast<SDL_Window*>(mNative), &mode) != 0) return 0;
    return mode.refresh_rate > 0 ? mode.refresh_rate : 0;
}

void Window::CaptureMouse(bool capture) {
    if (mNative) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void Window::EnableTextInput(bool enable) {
    if (enable)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void Window::Pump(const std::function<void(const PlatformEvent&)>& sink, const std::function<bool()>& stop) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Translate(&event, sink);
        if (stop && stop()) return;
    }
    if (mNative && mFocused) mControllers.Repeat(SDL_GetTicks(), sink);
}

void Window::Translate(const void* raw, const std::function<void(const PlatformEvent&)>& sink) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    // Controllers belong to no window: they speak to the game's.
    if (mNative && mControllers.Translate(raw, sink)) return;
    PlatformEvent out;
    switch (event.type) {
    case SDL_QUIT:
        out.message = kMsgQuitRequest;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID != mId) return;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            mFocused = true;
            out = PlatformEvent{kMsgActivate, 1, 0};
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            mFocused = false;
            out = PlatformEvent{kMsgActivate, 0, 0};
            break;
        case SDL_WINDOWEVENT_CLOSE:
            out.message = kMsgClose;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out = PlatformEvent{kMsgResize, event.window.data1, event.window.data2};
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            out = PlatformEvent{kMsgMinimized, 1, 0};
            break;
        case SDL_WINDOWEVENT_RESTORED:
            out = PlatformEvent{kMsgMinimized, 0, 0};
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            out.message = kMsgExposed;
            break;
        case SDL_WINDOWEVENT_ENTER:
            mMouseInside = true;
            return;
        case SDL_WINDOWEVENT_LEAVE:
            mMouseInside = false;
            out.message = kMsgMouseLeftWindow;
            break;
        default:
            return;
        }
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.windowID != mId) return;
        mMouseInside = true;
        out = PlatformEvent{kMsgMouseMove, 0, PackMousePosition(event.motion.x, event.motion.y)};
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.windowID != mId) return;
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        out.message = ButtonMessage(EngineButton(event.button.button), down, event.button.clicks);
        out.l = PackMousePosition(event.button.x, event.button.y);
        if (out.message == kMsgNone) return;
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.windowID != mId) return;
        int code = Keyboard::KeyCodeFromPlatform(event.key.keysym.sym);
        if (code == 0) return;
        out = PlatformEvent{event.type == SDL_KEYDOWN ? kMsgKeyDown : kMsgKeyUp, code, event.key.repeat};
        break;
    }
    case SDL_TEXTINPUT: {
        if (event.text.windowID != mId) return;
        size_t length = std::strlen(event.text.text);
        for (size_t i = 0; i < length;) {
            int c = NextCodePoint(event.text.text, length, i);
            if (c > 0) sink(PlatformEvent{kMsgChar, c, 0});
        }
        return;
    }
    default:
        return;
    }
    sink(out);
}

// --- Synthetic input --------------------------------------------------------------------------

void Window::PushMouseMove(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = mId;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

void Window::PushMouseButton(int button, bool down, int x, int y, int clicks) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = mId;
    event.button.button = SdlButton(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void Window::PushKey(int keyCode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = mId;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = Keyboard::PlatformKeyFromKeyCode(keyCode);
    event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
    SDL_PushEvent(&event);
}

void Window::PushText(const std::string& utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = mId;
    std::strncpy(event.text.text, utf8.c_str(), sizeof(event.text.text) - 1);
    SDL_PushEvent(&event);
}

void Window::PushFocus(bool focused) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = mId;
    event.window.event = focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
}

void Window::PushClose() {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = mId;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
}

void Window::PushMouseLeave() {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = mId;
    event.window.event = SDL_WINDOWEVENT_LEAVE;
    SDL_PushEvent(&event);
}
