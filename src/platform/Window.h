// The game's window: creation (windowed or full screen, resizable, high-DPI aware), caption,
// raising, the platform mouse capture, and the event pump that turns window-system events into
// the engine's messages. Synthetic input (Push*) goes through the same pump, for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/GameControllers.h"
#include "platform/PlatformEvent.h"

class Window {
public:
    struct Options {
        std::string title;
        int width = 800;
        int height = 600;
        bool fullscreen = false;
        bool resizable = true;
    };

    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Starts the video system once per process; false (with the reason in LastError) when it
    // cannot, e.g. without a display. A display-less fallback driver counts as no display unless
    // it was asked for (SDL_VIDEODRIVER, or UseHeadlessDrivers).
    static bool InitVideo();
    // From now on video and sound use the headless drivers (no window shown, no sound device).
    // Call before anything starts the video or sound system.
    static void UseHeadlessDrivers();
    static std::string LastError();
    // The video driver in use ("x11", "wayland", "dummy", ...), empty before InitVideo.
    static std::string VideoDriver();
    // False when there is no real display (no video, or a headless driver).
    static bool HasDisplay();

    bool Create(const Options& options);
    void Destroy();
    bool IsOpen() const { return mNative != nullptr; }
    void SetTitle(const std::string& title);
    // Restores a minimised window and brings it to the front.
    void Raise();
    void GetSize(int& width, int& height) const;
    // Drawable size in pixels (larger than GetSize on high-DPI screens).
    void GetPixelSize(int& width, int& height) const;
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return mFullscreen; }
    bool IsMinimized() const;
    bool HasFocus() const { return mFocused; }
    // The refresh rate in hertz of the display the window is on; 0 when unknown.
    int RefreshRate() const;
    // Whether the pointer is over the client area, as last reported by the window system.
    bool MouseInside() const { return mMouseInside; }
    // Keeps mouse events coming while a button is held outside the window.
    void CaptureMouse(bool capture);
    // Starts or stops delivery of typed characters.
    void EnableTextInput(bool enable);

    // Handles every pending window-system event and hands each translated message to `sink`.
    // Stops early when `stop` returns true.
    void Pump(const std::function<void(const PlatformEvent&)>& sink, const std::function<bool()>& stop = nullptr);

    // Synthetic input: events queued exactly as the window system would deliver them.
    void PushMouseMove(int x, int y);
    // button: -1 left, 1 right, 0 middle; clicks 2 makes a double click.
    void PushMouseButton(int button, bool down, int x, int y, int clicks = 1);
    // A key by its engine key code (typed characters come separately, through PushText).
    void PushKey(int keyCode, bool down);
    void PushText(const std::string& utf8);
    void PushFocus(bool focused);
    void PushClose();
    void PushMouseLeave();
    // A game controller's button or left-stick axis (from -32768 to 32767).
    void PushPadButton(GameControllers::Button button, bool down) { GameControllers::PushButton(button, down); }
    void PushPadAxis(GameControllers::Axis axis, int value) { GameControllers::PushAxis(axis, value); }
    // Game controllers plugged in and opened.
    int ControllerCount() const { return mControllers.OpenCount(); }

    // The native window handle for the drawing device.
    void* NativeHandle() const { return mNative; }
    uint32_t Id() const { return mId; }

private:
    void Translate(const void* event, const std::function<void(const PlatformEvent&)>& sink);

    void* mNative = nullptr;
    uint32_t mId = 0;
    bool mFullscreen = false;
    bool mFocused = true;
    bool mMouseInside = false;
    GameControllers mControllers;
};
