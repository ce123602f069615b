// The accelerated drawing device: sprites become textures (a mosaic for large pictures) drawn as
// tinted triangle pairs by the platform's renderer, scaled from the logical screen to the window
// with bars where the shapes differ.
#pragma once

#include <memory>

#include "engine/draw/GraphicsDevice.h"

class RendererDevice;

class RendererGraphics : public GraphicsDevice {
public:
    RendererGraphics();
    ~RendererGraphics() override;

    // False when no accelerated renderer with premultiplied blending exists (the caller then
    // falls back to software). Calling it again for the same window keeps the device.
    bool Init(Window* window) override;
    void Shutdown() override;
    bool Present() override;
    void Resize(int windowWidth, int windowHeight) override;
    bool ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) override;
    int MaxTextureWidth() const override;
    int MaxTextureHeight() const override;
    // The renderer's own name, for the debug log and crash reports.
    std::string RendererName() const;

protected:
    void FillQuad(const QuadCorner* corners, const float* color, bool additive) override;
    void DrawSpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* corners,
                        const float* color, bool additive, bool exactCopy) override;
    void FillBox(int x0, int y0, int x1, int y1, const float* color, bool additive) override;
    bool UsesTextures() const override { return true; }
    int CreateTexture(int width, int height) override;
    bool UpdateTexture(int texture, const uint32_t* pixels, int width, int height, int pitch) override;
    void DestroyTexture(int texture) override;
    void ClipChanged() override;
    void ClearFrame() override;

private:
    std::unique_ptr<RendererDevice> mDevice;
};
