// The software drawing device: the engine's own rasterizer writing into a back buffer in main
// memory (32-bit, 5-6-5 or 5-5-5). Headless tests and screenshots use it; with a window, a
// presenter shows each finished frame scaled into the window.
#pragma once

#include <functional>
#include <vector>

#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/SoftwareRasterizer.h"

class SoftwareGraphics : public GraphicsDevice {
public:
    // Shows a finished frame: pixels, width, height, bytes per row, format. False when it failed.
    using Presenter = std::function<bool(const void*, int, int, int, PixelFormat)>;

    // The game's software mode draws into an 800 by 600 buffer (its logical screen, one to one);
    // other sizes scale the logical screen into the buffer.
    explicit SoftwareGraphics(int bufferWidth = 640, int bufferHeight = 480,
                              PixelFormat format = PixelFormat::kArgb8888);
    ~SoftwareGraphics() override;

    bool Init(Window* window) override;
    void Shutdown() override;
    bool Present() override;
    bool ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) override;

    void SetPresenter(Presenter presenter) { mPresenter = std::move(presenter); }
    // Fills the whole buffer, ignoring the clip.
    void Clear(uint32_t argb);
    // The back buffer with the current clip, for direct drawing.
    RasterTarget Target() const;
    PixelFormat Format() const { return mFormat; }

protected:
    void FillQuad(const QuadCorner* corners, const float* color, bool additive) override;
    void DrawSpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* corners,
                        const float* color, bool additive, bool exactCopy) override;
    void FillBox(int x0, int y0, int x1, int y1, const float* color, bool additive) override;
    void ClearFrame() override;

private:
    PixelFormat mFormat;
    std::vector<uint8_t> mBuffer;
    int mPitch = 0;
    Presenter mPresenter;
};
