// Accelerated drawing through the platform renderer. Quads go out as two triangles; a failed
// texture or draw is logged once per kind and the frame continues.
#include "engine/draw/RendererGraphics.h"

#include <algorithm>
#include <cmath>

#include "engine/draw/Sprite.h"
#include "platform/RendererDevice.h"
#include "platform/Window.h"
#include "support/DebugLog.h"

namespace {

uint8_t Byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

RendererGraphics::RendererGraphics() : mDevice(std::make_unique<RendererDevice>()) {}

RendererGraphics::~RendererGraphics() { mDevice->Destroy(); }

bool RendererGraphics::Init(Window* window) {
    if (!window) return false;
    if (mWindow == window && mDevice->IsOpen()) return true;
    // Presenting waits for the display's refresh where the driver can (no torn frames, and
    // no frames the display would never show).
    if (!mDevice->Create(*window, true, true)) {
        DebugLog::Log("Accelerated renderer unavailable: %s", RendererDevice::LastError().c_str());
        return false;
    }
    mSoftware = false;
    mLargeTextures = mDevice->MaxTextureWidth() >= 2048 && mDevice->MaxTextureHeight() >= 2048;
    if (!GraphicsDevice::Init(window)) return false;
    int w = 0, h = 0;
    if (mDevice->OutputSize(w, h)) SetBufferSize(w, h);
    return true;
}

void RendererGraphics::Shutdown() {
    mDevice->Destroy();
    GraphicsDevice::Shutdown();
}

std::string RendererGraphics::RendererName() const { return mDevice->Name(); }

int RendererGraphics::MaxTextureWidth() const { return mDevice->MaxTextureWidth(); }
int RendererGraphics::MaxTextureHeight() const { return mDevice->MaxTextureHeight(); }

void RendererGraphics::Resize(int windowWidth, int windowHeight) {
    GraphicsDevice::Resize(windowWidth, windowHeight);
    int w = 0, h = 0;
    // The drawable may have more pixels than the window has points (high-DPI screens).
    if (mDevice->OutputSize(w, h)) SetBufferSize(w, h);
}

void RendererGraphics::ClearFrame() {
    mDevice->Clear(0, 0, 0);
    ClipChanged();
}

bool RendererGraphics::Present() {
    bool ok = mDevice->Present();
    mPresentFailed = !ok;
    ++mFramesPresented;
    return ok;
}

bool RendererGraphics::ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) {
    return mDevice->ReadPixels(argb, width, height);
}

void RendererGraphics::ClipChanged() { mDevice->SetClip(mClipX0, mClipY0, mClipX1, mClipY1); }

int RendererGraphics::CreateTexture(int width, int height) {
    int id = mDevice->CreateTexture(width, height);
    if (id == 0) DebugLog::Log("CreateTexture Error: %s", RendererDevice::LastError().c_str());
    return id;
}

bool RendererGraphics::UpdateTexture(int texture, const uint32_t* pixels, int width, int height, int pitch) {
    return mDevice->UpdateTexture(texture, pixels, width, height, pitch);
}

void RendererGraphics::DestroyTexture(int texture) { mDevice->DestroyTexture(texture); }

void RendererGraphics::FillBox(int x0, int y0, int x1, int y1, const float* color, bool additive) {
    QuadCorner q[4] = {{float(x0), float(y0), 0, 0}, {float(x1), float(y0), 0, 0}, {float(x1), float(y1), 0, 0},
                       {float(x0), float(y1), 0, 0}};
    FillQuad(q, color, additive);
}

void RendererGraphics::FillQuad(const QuadCorner* q, const float* color, bool additive) {
    RendererDevice::Vertex v[6];
    static const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        const QuadCorner& c = q[order[i]];
        v[i] = RendererDevice::Vertex{c.x, c.y, 0, 0, Byte(color[0]), Byte(color[1]), Byte(color[2]), Byte(color[3])};
    }
    mDevice->DrawTriangles(0, v, 6, additive);
}

void RendererGraphics::DrawSpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* q,
                                      const float* color, bool additive, bool exactCopy) {
    (void)sprite, (void)exactCopy;
    if (!tile || tile->texture == 0) return;
    // Textures are premultiplied, so the tint is too.
    float a = std::clamp(color[3], 0.0f, 1.0f);
    uint8_t r = Byte(color[0] * a), g = Byte(color[1] * a), b = Byte(color[2] * a), alpha = Byte(a);
    float su = 1.0f / float(tile->textureWidth), sv = 1.0f / float(tile->textureHeight);
    RendererDevice::Vertex v[6];
    static const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        const QuadCorner& c = q[order[i]];
        v[i] = RendererDevice::Vertex{c.x, c.y, c.u * su, c.v * sv, r, g, b, alpha};
    }
    mDevice->DrawTriangles(tile->texture, v, 6, additive);
}
