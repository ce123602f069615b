// The drawing device as the application frame sees it: frames, presenting, the logical screen and
// its scale to the window, and the state gadgets push while drawing (origin, clip, colour). This
// base class is the headless device: it keeps the state and draws nothing.
#pragma once

#include <string>

#include "engine/core/Rect.h"

class Window;

class Graphics {
public:
    Graphics();
    virtual ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Takes the window (may be null when headless); false when the device cannot start.
    virtual bool Init(Window* window);
    // Releases the device. Quit calls it before the window goes, and destruction calls it
    // again, so a second call must do nothing.
    virtual void Shutdown();
    virtual void BeginFrame();
    // Ends the frame; sets mFrameUnchanged when it shows exactly what was presented last.
    virtual void EndFrame();
    // Shows the finished frame; false when presenting failed.
    virtual bool Present();
    // The next frame is drawn and presented whatever it shows: the window lost its picture.
    virtual void InvalidateFrame() {}
    // Frame draws are skipped while this holds (device lost or window minimised).
    virtual bool CanDraw() const { return !mDeviceLost && !mMinimized; }
    // The window changed size or the display mode changed: recompute scale and letterbox.
    virtual void Resize(int windowWidth, int windowHeight);
    virtual void SetLogicalSize(int width, int height);
    // The application's focus changed.
    virtual void SetActive(bool active) { mActive = active; }
    // Timing locked to the display refresh.
    virtual void SetLocked(bool locked) { mLocked = locked; }
    virtual void SetClip(const Rect& clip) { mClip = clip; }
    virtual void SetColor(float r, float g, float b, float a);
    // The device's own small text, used by the debug overlay.
    virtual void DrawSystemText(float x, float y, const std::string& text);
    // Writes the screen as a bitmap file at a real path; false when it cannot.
    virtual bool WriteScreenshot(const std::string& realPath);
    virtual bool CopyScreenToClipboard() { return false; }
    // Which standard cursor the pointer shows (0 arrow, 1 wait, 2 hand, 3 text beam, 4 grab).
    virtual void SetCursorKind(int kind) { mCursorKind = kind; }
    // True while the device draws the pointer itself (the system pointer is then blank).
    virtual bool SoftwareCursorActive() const { return false; }

    // Window pixel position to the logical screen (undoes scale and letterbox bars).
    Point WindowToLogical(float x, float y) const;

    int mWidth = 800;
    int mHeight = 600;
    int mLogicalWidth = 800;
    int mLogicalHeight = 600;
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    float mOffsetX = 0.0f;
    float mOffsetY = 0.0f;
    bool mFullscreen = false;
    bool mSoftware = false;
    bool mDeviceLost = false;
    bool mMinimized = false;
    bool mPresentFailed = false;
    bool mLocked = false;
    bool mActive = true;
    int mDepth = 32;
    int mRefreshRate = 60;          // of the window's display, 60 when it is not known
    // Devices that can tell skip frames whose picture matches the last presented one: they are
    // neither drawn nor presented (the headless device presents every frame).
    bool mSkipUnchanged = false;
    bool mFrameUnchanged = false;   // the frame just ended matched the last presented one
    int mTextureSwaps = 0;
    int mFramesPresented = 0;
    int mCursorKind = 0;
    Point mOrigin;
    Rect mClip{-9999.0f, -9999.0f, 19998.0f, 19998.0f};
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Lines drawn by DrawSystemText in the current frame (the headless device keeps them so
    // the overlay can be checked).
    std::string mSystemText;

protected:
    Window* mWindow = nullptr;
};
