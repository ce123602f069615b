// Sprites: the premultiplied pixel copy and run table built once per picture, the drawing calls
// as transforms, and the hand-over of textures to the device.
#include "engine/draw/Sprite.h"

#include <algorithm>

#include <atomic>
#include <cmath>

#include "engine/core/App.h"
#include "engine/core/Transform.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Image.h"

namespace {
std::atomic<bool> gLoadingBlocked{false};
std::atomic<uint64_t> gNextContentId{1};
// Pictures of at least this many pixels lose their clear border.
constexpr int64_t kTrimmedPictureSize = 256 * 256;
}

Sprite::Sprite() = default;

Sprite::~Sprite() {
    Changing();
    ReleaseTextures();
}

void Sprite::Changing() {
    GraphicsDevice::SpriteChanging();
    mContentId = gNextContentId.fetch_add(1, std::memory_order_relaxed);
}

void Sprite::SetLoadingBlocked(bool blocked) { gLoadingBlocked = blocked; }

void Sprite::ReleaseTextures() {
    GraphicsDevice* device = GraphicsDevice::Current();
    for (TextureMosaic::Tile& tile : mMosaic.mTiles) {
        if (device && !mShared) device->ReleaseTexture(tile.texture, mTextureSerial);
        tile.texture = 0;
    }
    mMosaic.mTiles.clear();
    mTextureSerial = 0;
}

void Sprite::Clear() {
    Changing();
    ReleaseTextures();
    mWidth = mHeight = 0;
    mPixelsX = mPixelsY = mPixelsWidth = mPixelsHeight = 0;
    mPixels.clear();
    mRuns.clear();
    mRowRuns.clear();
}

bool Sprite::Load(const std::string& name, const std::string& mask) {
    if (gLoadingBlocked) return false;
    if (App* app = App::Instance(); app && app->mQuit) return false;
    Image image;
    bool ok = image.Load(name, mask);
    mName = name;
    SetImage(image);
    return ok;
}

void Sprite::SetImage(const Image& image) {
    CopyFrom(image, 0, 0, image.mWidth, image.mHeight);
}

void Sprite::CopyFrom(const Image& image, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || image.Empty()) {
        Clear();
        return;
    }
    Image part(image, x, y, width, height);
    if (part.Empty()) {
        Clear();
        return;
    }
    Changing();
    // The clear border of the picture is not kept (menus and highlights are often a small
    // picture in a clear full screen), save for a one-pixel margin that filtering reads.
    int x0 = width, y0 = height, x1 = 0, y1 = 0;
    for (int row = 0; row < height; ++row) {
        const uint32_t* line = part.PixelAt(0, row);
        for (int col = 0; col < width; ++col) {
            if ((line[col] >> 24) == 0) continue;
            x0 = std::min(x0, col);
            x1 = std::max(x1, col + 1);
            y0 = std::min(y0, row);
            y1 = row + 1;
        }
    }
    if (x1 <= x0) {
        x0 = y0 = x1 = y1 = 0;  // all clear: nothing to keep
    } else {
        x0 = std::max(0, x0 - 1);
        y0 = std::max(0, y0 - 1);
        x1 = std::min(width, x1 + 1);
        y1 = std::min(height, y1 + 1);
        // Small pictures, and ones with little border, are kept whole: what little would be
        // saved is not worth edges that fall a hair differently when turned or scaled.
        int64_t whole = int64_t(width) * height, kept = int64_t(x1 - x0) * (y1 - y0);
        if (whole < kTrimmedPictureSize || kept * 4 > whole * 3) {
            x0 = y0 = 0;
            x1 = width;
            y1 = height;
        }
    }
    // Textures of the same size are refilled rather than made again.
    bool sameSize = x1 - x0 == mPixelsWidth && y1 - y0 == mPixelsHeight && !mMosaic.mTiles.empty();
    if (!sameSize) ReleaseTextures();
    mWidth = width;
    mHeight = height;
    mPixelsX = x0;
    mPixelsY = y0;
    mPixelsWidth = x1 - x0;
    mPixelsHeight = y1 - y0;
    mPixels.resize(size_t(mPixelsWidth) * size_t(mPixelsHeight));
    mPixels.shrink_to_fit();
    for (int row = 0; row < mPixelsHeight; ++row) {
        const uint32_t* line = part.PixelAt(x0, y0 + row);
        uint32_t* out = mPixels.data() + size_t(row) * size_t(mPixelsWidth);
        for (int col = 0; col < mPixelsWidth; ++col) out[col] = SoftwareRasterizer::Premultiply(line[col]);
    }
    if (mPixels.empty() || !SoftwareRasterizer::BuildRuns(mPixels.data(), mPixelsWidth, mPixelsHeight, mRuns, mRowRuns)) {
        mRuns.clear();
        mRowRuns.clear();
    }
    mTexturesStale = true;
}

Image Sprite::ToImage() const {
    Image image;
    if (Empty() || !image.Create(mWidth, mHeight)) return image;
    for (int y = 0; y < mPixelsHeight; ++y) {
        const uint32_t* in = mPixels.data() + size_t(y) * size_t(mPixelsWidth);
        uint32_t* out = image.PixelAt(mPixelsX, mPixelsY + y);
        for (int x = 0; x < mPixelsWidth; ++x) {
            uint32_t p = in[x];
            uint32_t a = p >> 24;
            if (a == 0) {
                out[x] = 0;
                continue;
            }
            auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            out[x] = a << 24 | straight((p >> 16) & 255) << 16 | straight((p >> 8) & 255) << 8 | straight(p & 255);
        }
    }
    return image;
}

RasterTexture Sprite::Raster() const {
    RasterTexture t;
    t.pixels = mPixels.data();
    t.width = mPixelsWidth;
    t.height = mPixelsHeight;
    if (!mRowRuns.empty()) {
        t.runs = mRuns.data();
        t.rowRuns = mRowRuns.data();
    }
    return t;
}

uint32_t Sprite::PixelAt(int x, int y) const {
    x -= mPixelsX;
    y -= mPixelsY;
    if (x < 0 || y < 0 || x >= mPixelsWidth || y >= mPixelsHeight) return 0;
    return mPixels[size_t(y) * size_t(mPixelsWidth) + size_t(x)];
}

int Sprite::AlphaAt(int x, int y) const { return int(PixelAt(x, y) >> 24); }

void Sprite::Draw(float x, float y) const {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || Empty()) return;
    Transform t;
    t.Translate(x, y);
    device->DrawSprite(*this, t);
}

void Sprite::DrawCentered(float x, float y) const { Draw(x - mWidth * 0.5f, y - mHeight * 0.5f); }

void Sprite::DrawRotatedScaled(float x, float y, float degrees, float scale) const {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || Empty()) return;
    Transform t;
    t.Translate(-mWidth * 0.5f, -mHeight * 0.5f);
    if (scale != 1.0f) t.Scale(scale, scale);
    if (degrees != 0.0f) t.Rotate(degrees);
    t.Translate(x, y);
    device->DrawSprite(*this, t);
}

void Sprite::DrawTransformed(const Transform& transform) const {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || Empty()) return;
    Transform t;
    t.Translate(-mWidth * 0.5f, -mHeight * 0.5f);
    t.Append(transform);
    device->DrawSprite(*this, t);
}

void Sprite::DrawPartialHorizontal(float x, float y, float amount) const {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || Empty()) return;
    device->PushClip();
    Rect part = amount >= 0 ? Rect{x + device->mOrigin.x, y + device->mOrigin.y, amount, float(mHeight)}
                            : Rect{x + device->mOrigin.x + mWidth + amount, y + device->mOrigin.y, -amount, float(mHeight)};
    device->SetClip(part.Intersect(device->mClip));
    Draw(x, y);
    device->PopClip();
}

void Sprite::DrawPartialVertical(float x, float y, float amount) const {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || Empty()) return;
    device->PushClip();
    Rect part = amount >= 0 ? Rect{x + device->mOrigin.x, y + device->mOrigin.y, float(mWidth), amount}
                            : Rect{x + device->mOrigin.x, y + device->mOrigin.y + mHeight + amount, float(mWidth), -amount};
    device->SetClip(part.Intersect(device->mClip));
    Draw(x, y);
    device->PopClip();
}
