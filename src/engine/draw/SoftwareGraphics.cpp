// The software device: turns the device's quads into rasterizer calls. Untransformed sprites at
// whole pixels take the run-skipping blit; everything else goes through the triangle routines
// with bilinear filtering.
#include "engine/draw/SoftwareGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/draw/Sprite.h"

namespace {

uint32_t ToArgb(const float* c) {
    auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return byte(c[3]) << 24 | byte(c[0]) << 16 | byte(c[1]) << 8 | byte(c[2]);
}

}  // namespace

SoftwareGraphics::SoftwareGraphics(int bufferWidth, int bufferHeight, PixelFormat format) : mFormat(format) {
    mSoftware = true;
    mDepth = format == PixelFormat::kArgb8888 ? 32 : 16;
    mBufferWidth = std::max(1, bufferWidth);
    mBufferHeight = std::max(1, bufferHeight);
}

SoftwareGraphics::~SoftwareGraphics() = default;

bool SoftwareGraphics::Init(Window* window) {
    if (mFormat == PixelFormat::kUnknown) return false;
    mPitch = mBufferWidth * (mFormat == PixelFormat::kArgb8888 ? 4 : 2);
    mBuffer.assign(size_t(mPitch) * mBufferHeight, 0);
    mLargeTextures = true;
    if (!GraphicsDevice::Init(window)) return false;
    SetBufferSize(mBufferWidth, mBufferHeight);
    Clear(0xFF000000u);
    return true;
}

void SoftwareGraphics::ClearFrame() {
    // Every frame starts black, so screenshots never show the frame before.
    Clear(0xFF000000u);
}

void SoftwareGraphics::Shutdown() {
    mPresenter = nullptr;
    GraphicsDevice::Shutdown();
}

RasterTarget SoftwareGraphics::Target() const {
    RasterTarget t;
    t.pixels = const_cast<uint8_t*>(mBuffer.data());
    t.width = mBuffer.empty() ? 0 : mBufferWidth;
    t.height = mBuffer.empty() ? 0 : mBufferHeight;
    t.pitch = mPitch;
    t.format = mFormat;
    t.clipX0 = mClipX0;
    t.clipY0 = mClipY0;
    t.clipX1 = mClipX1;
    t.clipY1 = mClipY1;
    return t;
}

void SoftwareGraphics::Clear(uint32_t argb) {
    RasterTarget t = Target();
    t.clipX0 = t.clipY0 = 0;
    t.clipX1 = t.width;
    t.clipY1 = t.height;
    SoftwareRasterizer::FillRect(t, 0, 0, t.width, t.height, argb | 0xFF000000u, false);
}

bool SoftwareGraphics::Present() {
    if (mBuffer.empty()) return false;
    // A one-pixel black frame hides whatever half-covered pixels the edges left.
    RasterTarget t = Target();
    t.clipX0 = t.clipY0 = 0;
    t.clipX1 = t.width;
    t.clipY1 = t.height;
    SoftwareRasterizer::FillRect(t, 0, 0, t.width, 1, 0xFF000000u, false);
    SoftwareRasterizer::FillRect(t, 0, t.height - 1, t.width, t.height, 0xFF000000u, false);
    SoftwareRasterizer::FillRect(t, 0, 0, 1, t.height, 0xFF000000u, false);
    SoftwareRasterizer::FillRect(t, t.width - 1, 0, t.width, t.height, 0xFF000000u, false);
    bool ok = !mPresenter || mPresenter(mBuffer.data(), mBufferWidth, mBufferHeight, mPitch, mFormat);
    mPresentFailed = !ok;
    ++mFramesPresented;
    return ok;
}

bool SoftwareGraphics::ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) {
    if (mBuffer.empty()) return false;
    RasterTarget t = Target();
    width = mBufferWidth;
    height = mBufferHeight;
    argb.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) argb[size_t(y) * width + x] = SoftwareRasterizer::ReadPixel(t, x, y);
    return true;
}

void SoftwareGraphics::FillBox(int x0, int y0, int x1, int y1, const float* color, bool additive) {
    SoftwareRasterizer::FillRect(Target(), x0, y0, x1, y1, ToArgb(color), additive);
}

void SoftwareGraphics::FillQuad(const QuadCorner* corners, const float* color, bool additive) {
    RasterVertex v[4];
    for (int i = 0; i < 4; ++i) {
        v[i].x = corners[i].x;
        v[i].y = corners[i].y;
        v[i].r = color[0], v[i].g = color[1], v[i].b = color[2], v[i].a = color[3];
    }
    int flags = SoftwareRasterizer::kBlended | (additive ? SoftwareRasterizer::kAdditive : 0);
    SoftwareRasterizer::RasterizeQuad(flags, Target(), v, nullptr, false);
}

void SoftwareGraphics::DrawSpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* q,
                                      const float* color, bool additive, bool exactCopy) {
    (void)tile;
    RasterTexture texture = sprite.Raster();
    uint32_t tint = ToArgb(color);
    if (exactCopy) {
        SoftwareRasterizer::BlitSprite(Target(), texture, int(std::lround(q[0].x)), int(std::lround(q[0].y)), tint,
                                       additive);
        return;
    }
    RasterVertex v[4];
    for (int i = 0; i < 4; ++i) {
        v[i].x = q[i].x, v[i].y = q[i].y, v[i].u = q[i].u, v[i].v = q[i].v;
        v[i].r = color[0], v[i].g = color[1], v[i].b = color[2], v[i].a = color[3];
    }
    int flags = SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended;
    if (tint != 0xFFFFFFFFu) flags |= SoftwareRasterizer::kTinted;
    if (additive) flags |= SoftwareRasterizer::kAdditive;
    SoftwareRasterizer::RasterizeQuad(flags, Target(), v, &texture, true);
}
