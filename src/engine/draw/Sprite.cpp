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
    // Textures of the same size are refilled rather than made again.
    bool sameSize = width == mWidth && height == mHeight && !mMosaic.mTiles.empty();
    if (!sameSize) ReleaseTextures();
    mWidth = width;
    mHeight = height;
    mPixels.resize(part.mPixels.size());
    for (size_t i = 0; i < mPixels.size(); ++i) mPixels[i] = SoftwareRasterizer::Premultiply(part.mPixels[i]);
    if (!SoftwareRasterizer::BuildRuns(mPixels.data(), mWidth, mHeight, mRuns, mRowRuns)) {
        mRuns.clear();
        mRowRuns.clear();
    }
    mTexturesStale = true;
}

Image Sprite::ToImage() const {
    Image image;
    if (Empty() || mPixels.size() < size_t(mWidth) * size_t(mHeight) || !image.Create(mWidth, mHeight)) return image;
    for (size_t i = 0; i < image.mPixels.size(); ++i) {
        uint32_t p = mPixels[i];
        uint32_t a = p >> 24;
        if (a == 0) {
            image.mPixels[i] = 0;
            continue;
        }
        auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        image.mPixels[i] = a << 24 | straight((p >> 16) & 255) << 16 | straight((p >> 8) & 255) << 8 | straight(p & 255);
    }
    return image;
}

RasterTexture Sprite::Raster() const {
    RasterTexture t;
    t.pixels = mPixels.data();
    t.width = mWidth;
    t.height = mHeight;
    if (!mRowRuns.empty()) {
        t.runs = mRuns.data();
        t.rowRuns = mRowRuns.data();
    }
    return t;
}

int Sprite::AlphaAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0;
    return int(mPixels[size_t(y) * mWidth + x] >> 24);
}

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
