// A hidden window with its own accelerated renderer, for the hardware test: it draws into a
// render target with the blend modes the game uses (premultiplied "over" and "add"), clips, and
// reads the pixels back. Nothing of it is ever shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RendererProbe {
public:
    RendererProbe() = default;
    ~RendererProbe();
    RendererProbe(const RendererProbe&) = delete;
    RendererProbe& operator=(const RendererProbe&) = delete;

    // False (with the reason) when no accelerated renderer can be made here.
    bool Open(std::string* error);
    void Close();
    bool IsOpen() const { return mRenderer != nullptr; }

    // The renderer's name ("opengl", ...), the video driver and, for OpenGL, the adapter's
    // vendor and renderer strings.
    std::string RendererName() const { return mRendererName; }
    std::string DriverName() const { return mDriverName; }
    std::string AdapterDescription() const { return mDescription; }
    int MaxTextureSize() const { return mMaxTexture; }
    bool HasArgbTextures() const { return mArgbTextures; }

    // A texture from straight ARGB pixels (premultiplied here). 0 on failure.
    int CreateTexture(int width, int height, const uint32_t* argb);
    // Makes a `width` x `height` target the current one and clears it to `argb`.
    bool BeginTarget(int width, int height, uint32_t argb);
    // Clip in target pixels; a width of 0 or less switches clipping off.
    bool SetClip(int x, int y, int width, int height);
    // The texture stretched over [x0, x1) x [y0, y1) (may reach beyond the target).
    bool Draw(int texture, float x0, float y0, float x1, float y1, bool additive);
    // The target's pixels as ARGB rows.
    bool ReadBack(std::vector<uint32_t>* argb);
    // The last SDL error.
    static std::string LastError();

private:
    void* mWindow = nullptr;
    void* mRenderer = nullptr;
    void* mTarget = nullptr;
    int mTargetWidth = 0, mTargetHeight = 0;
    std::vector<void*> mTextures;
    std::string mRendererName, mDriverName, mDescription;
    int mMaxTexture = 0;
    bool mArgbTextures = false;
    int mOverMode = 0, mAddMode = 0;
};
