// What the game draws: a picture (or part of one) ready for the drawing device. Keeps its pixels
// premultiplied with a table of opaque, translucent and clear runs for the software renderer and
// for alpha hit tests; device textures (one, or a mosaic for large pictures) are made on the main
// thread the first time the sprite is drawn. All drawing is tinted by the device's colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/AlphaSource.h"
#include "engine/draw/SoftwareRasterizer.h"
#include "engine/draw/TextureMosaic.h"

class Image;
class Transform;
class GraphicsDevice;

class Sprite : public AlphaSource {
public:
    Sprite();
    ~Sprite() override;
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // Loads the picture by the image file rules; does nothing once the application is quitting.
    bool Load(const std::string& name, const std::string& mask = std::string());
    // Rebuilds from a picture; textures of the same size are kept and refilled on the next draw.
    void SetImage(const Image& image);
    // A part of a picture; a width or height of 0 or less only empties the sprite.
    void CopyFrom(const Image& image, int x, int y, int width, int height);
    void Clear();

    // Top-left corner at (x, y).
    void Draw(float x, float y) const;
    // Centre at (x, y).
    void DrawCentered(float x, float y) const;
    // Centre at (x, y), turned by `degrees` (clockwise) and scaled uniformly.
    void DrawRotatedScaled(float x, float y, float degrees, float scale) const;
    // The sprite's centre placed at the transform's origin.
    void DrawTransformed(const Transform& transform) const;
    // At (x, y) with the clip narrowed to the first `amount` columns (the last ones when negative).
    void DrawPartialHorizontal(float x, float y, float amount) const;
    // At (x, y) with the clip narrowed to the first `amount` rows (the last ones when negative).
    void DrawPartialVertical(float x, float y, float amount) const;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    bool Empty() const { return mWidth <= 0 || mHeight <= 0; }
    int AlphaWidth() const override { return mWidth; }
    int AlphaHeight() const override { return mHeight; }
    // Alpha byte 0..255 at a pixel; 0 outside.
    int AlphaAt(int x, int y) const override;
    // The same as a fraction 0..1.
    float AlphaFraction(int x, int y) const { return AlphaAt(x, y) / 255.0f; }
    // The picture back in straight (not premultiplied) colour, to be resized, cut or painted.
    Image ToImage() const;
    // The picture as the software renderer reads it.
    RasterTexture Raster() const;
    // Changes with every new picture (never the same for two pictures in one run), so a drawn
    // frame can tell whether it still shows what it showed.
    uint64_t ContentId() const { return mContentId; }

    // Blocks Load without an application (tools that shut down on their own).
    static void SetLoadingBlocked(bool blocked);

    int mWidth = 0;
    int mHeight = 0;
    std::string mName;
    // The sprite uses textures it does not own (never frees them).
    bool mShared = false;

    // Premultiplied ARGB at a position of the picture; 0 outside it or in its clear border.
    uint32_t PixelAt(int x, int y) const;

    // Device side, managed by GraphicsDevice. Only the part of the picture inside its clear
    // border is kept (a one-pixel clear margin stays, so filtered edges look as before):
    // mPixels holds mPixelsWidth by mPixelsHeight pixels from (mPixelsX, mPixelsY) on.
    int mPixelsX = 0, mPixelsY = 0, mPixelsWidth = 0, mPixelsHeight = 0;
    std::vector<uint32_t> mPixels;   // premultiplied ARGB
    std::vector<uint32_t> mRuns;
    std::vector<uint32_t> mRowRuns;
    mutable TextureMosaic mMosaic;
    mutable int mTextureSerial = 0;  // device generation the textures belong to (0: none)
    mutable bool mTexturesStale = false;

private:
    void ReleaseTextures();
    // Before the pixels change or go away.
    void Changing();

    uint64_t mContentId = 0;
};
