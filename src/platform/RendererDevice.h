// The accelerated drawing backend at the platform seam: an SDL renderer with textures holding
// premultiplied ARGB, triangle lists through its geometry call, clipping, read-back, and the
// presenting of software-drawn frames. Engine code sees only ints, floats and bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Window;

class RendererDevice {
public:
    // Vertex in output pixels, texture position 0..1, premultiplied colour bytes.
    struct Vertex {
        float x, y;
        float u, v;
        uint8_t r, g, b, a;
    };
    enum class FrameFormat { kArgb8888, kRgb565, kRgb555 };

    RendererDevice();
    ~RendererDevice();
    RendererDevice(const RendererDevice&) = delete;
    RendererDevice& operator=(const RendererDevice&) = delete;

    // `accelerated` insists on a hardware renderer that supports premultiplied blending; without
    // it any renderer will do (enough to show software frames). False with LastError set.
    bool Create(Window& window, bool accelerated, bool vsync);
    void Destroy();
    bool IsOpen() const { return mRenderer != nullptr; }
    // The renderer's name ("opengl", "software", ...).
    std::string Name() const;
    bool OutputSize(int& width, int& height) const;
    int MaxTextureWidth() const { return mMaxTextureWidth; }
    int MaxTextureHeight() const { return mMaxTextureHeight; }

    // Texture ids start at 1; 0 means failure.
    int CreateTexture(int width, int height);
    // Premultiplied ARGB rows of `pitch` pixels into the texture's top-left corner.
    bool UpdateTexture(int texture, const uint32_t* pixels, int width, int height, int pitch);
    void DestroyTexture(int texture);

    // Clip in output pixels, [x0, x1) x [y0, y1).
    void SetClip(int x0, int y0, int x1, int y1);
    void Clear(uint8_t r, uint8_t g, uint8_t b);
    // A triangle list (three vertices each), textured when `texture` is not 0, blended normally
    // or additively. Untextured colours are straight (not premultiplied) for this call.
    bool DrawTriangles(int texture, const Vertex* vertices, int count, bool additive);
    bool Present();
    // The output as ARGB rows.
    bool ReadPixels(std::vector<uint32_t>& argb, int& width, int& height);
    // Shows a software-drawn frame scaled into the output, keeping its shape (bars around it).
    bool PresentFrame(const void* pixels, int width, int height, int pitch, FrameFormat format);

    static std::string LastError();

private:
    void* mRenderer = nullptr;
    std::vector<void*> mTextures;  // index + 1 is the id
    void* mFrameTexture = nullptr;
    int mFrameWidth = 0, mFrameHeight = 0;
    FrameFormat mFrameFormat = FrameFormat::kArgb8888;
    int mFrameScaleMode = 0;  // how the frame texture is scaled now
    int mMaxTextureWidth = 2048, mMaxTextureHeight = 2048;
    int mOverMode = 0, mAddMode = 0;
};
