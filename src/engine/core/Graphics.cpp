// The headless drawing device: keeps the state, draws nothing, counts presented frames.
#include "engine/core/Graphics.h"

#include <algorithm>

#include "platform/Window.h"

Graphics::Graphics() = default;
Graphics::~Graphics() = default;

bool Graphics::Init(Window* window) {
    mWindow = window;
    if (window) {
        int hz = window->RefreshRate();
        mRefreshRate = hz > 0 ? hz : 60;
        int w = 0, h = 0;
        window->GetSize(w, h);
        Resize(w, h);
    } else {
        Resize(mLogicalWidth, mLogicalHeight);
    }
    return true;
}

void Graphics::Shutdown() { mWindow = nullptr; }

void Graphics::BeginFrame() {
    mTextureSwaps = 0;
    mSystemText.clear();
}

void Graphics::EndFrame() {}

bool Graphics::Present() {
    ++mFramesPresented;
    mPresentFailed = false;
    return true;
}

void Graphics::Resize(int windowWidth, int windowHeight) {
    if (windowWidth <= 0 || windowHeight <= 0) return;
    // A window moved to another display, or a new display mode, may refresh at another rate.
    if (mWindow) {
        int hz = mWindow->RefreshRate();
        if (hz > 0) mRefreshRate = hz;
    }
    mWidth = windowWidth;
    mHeight = windowHeight;
    // One scale for both axes keeps the picture's shape; the rest becomes bars.
    float scale = std::min(float(windowWidth) / float(mLogicalWidth), float(windowHeight) / float(mLogicalHeight));
    if (scale <= 0.0f) scale = 1.0f;
    mScaleX = mScaleY = scale;
    mOffsetX = (float(windowWidth) - scale * float(mLogicalWidth)) * 0.5f;
    mOffsetY = (float(windowHeight) - scale * float(mLogicalHeight)) * 0.5f;
}

void Graphics::SetLogicalSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    mLogicalWidth = width;
    mLogicalHeight = height;
    Resize(mWidth, mHeight);
}

void Graphics::SetColor(float r, float g, float b, float a) {
    mColor[0] = r;
    mColor[1] = g;
    mColor[2] = b;
    mColor[3] = a;
}

void Graphics::DrawSystemText(float x, float y, const std::string& text) {
    (void)x, (void)y;
    mSystemText += text;
    mSystemText += '\n';
}

bool Graphics::WriteScreenshot(const std::string& realPath) {
    (void)realPath;
    return false;
}

Point Graphics::WindowToLogical(float x, float y) const {
    return Point{(x - mOffsetX) / mScaleX, (y - mOffsetY) / mScaleY};
}
