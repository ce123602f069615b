// The full drawing device over the application frame's Graphics: colour, origin and clip stacks,
// blend modes, rectangles, sprites through transforms, the system text, texture bookkeeping,
// display settings and screenshots. Backends (software rasterizer, accelerated renderer) derive
// from it and only supply pixels: quads, fills, textures, presenting and read-back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/Graphics.h"
#include "engine/core/Transform.h"
#include "engine/draw/TextureMosaic.h"

class Sprite;
class Registry;

class GraphicsDevice : public Graphics {
public:
    enum class Blend { kNormal, kAdditive };

    GraphicsDevice();
    ~GraphicsDevice() override;

    // The device sprites and fonts draw with: the last one initialised and not shut down.
    static GraphicsDevice* Current();

    bool Init(Window* window) override;
    void Shutdown() override;
    // With mSkipUnchanged a frame is recorded, not drawn, until EndFrame: when it matches the
    // last presented frame command for command it is not drawn at all (mFrameUnchanged), else
    // it is drawn then.
    void BeginFrame() override;
    void EndFrame() override;
    void InvalidateFrame() override { mShownValid = false; }
    // A new window size shows the next frame afresh.
    void Resize(int windowWidth, int windowHeight) override;
    // A sprite's pixels are about to change or go away: a frame being recorded on this thread
    // is drawn at once (and the rest of it directly), so that it never reads them afterwards.
    static void SpriteChanging();
    void SetLogicalSize(int width, int height) override;
    void SetClip(const Rect& clip) override;
    void DrawSystemText(float x, float y, const std::string& text) override;
    // Writes a Windows bitmap file of the back buffer at a real path.
    bool WriteScreenshot(const std::string& realPath) override;

    // Switches the window between full screen and windowed and recomputes the scale; false when
    // the window refused (the mode is then unchanged). The caller keeps the message guard time.
    virtual bool SetFullscreen(bool fullscreen);

    // --- State --------------------------------------------------------------------------------
    void ResetColor() { SetColor(1.0f, 1.0f, 1.0f, 1.0f); }
    void PushColor();
    void PopColor();
    void PushOrigin();
    void PopOrigin();
    // Relative to the origin.
    void SetClip(float x, float y, float w, float h);
    void ResetClip();
    void PushClip();
    void PopClip();
    void SetBlend(Blend blend) { mBlend = blend; }
    Blend GetBlend() const { return mBlend; }
    // Counts a texture change when `texture` differs from the current one.
    void SetTexture(int texture);

    // --- Drawing (logical pixels, relative to the origin) --------------------------------------
    // The rectangle in the current colour; nothing when its alpha is 0.
    void FillRect(float x, float y, float w, float h);
    // The sprite's local rectangle (0,0)-(width,height) through `transform`, then the origin.
    void DrawSprite(const Sprite& sprite, const Transform& transform);
    // Frees a texture made for a sprite (ignored when `serial` is not this device's).
    void ReleaseTexture(int texture, int serial);

    // --- Output ---------------------------------------------------------------------------------
    // The back buffer as ARGB (alpha 255).
    virtual bool ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) = 0;
    // The back buffer as a PNG file at a real path.
    bool WritePng(const std::string& realPath);
    // Picks the first free "Screenshots\\screenshot%d.bmp" in the data folder and writes it;
    // returns the game path written, empty on failure.
    std::string SaveScreenshot();

    // --- Device facts ---------------------------------------------------------------------------
    virtual int MaxTextureWidth() const { return 8192; }
    virtual int MaxTextureHeight() const { return 8192; }
    virtual int MinTextureSize() const { return 1; }
    virtual int MaxTextureAspect() const { return 0; }
    // Back buffer size in pixels.
    int BufferWidth() const { return mBufferWidth; }
    int BufferHeight() const { return mBufferHeight; }
    // Generation of this device's textures; a sprite whose textures carry another serial makes
    // them again.
    int Serial() const { return mSerial; }

    Blend mBlend = Blend::kNormal;
    int mCurrentTexture = 0;
    bool mLargeTextures = false;

protected:
    // A quad in back-buffer pixels (corners in drawing order), textured with a tile of the
    // sprite (or the whole sprite when `tile` is null).
    struct QuadCorner {
        float x, y, u, v;
    };
    virtual void FillQuad(const QuadCorner* corners, const float* color, bool additive) = 0;
    virtual void DrawSpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* corners,
                                const float* color, bool additive, bool exactCopy) = 0;
    // Axis-aligned fill in back-buffer pixels [x0, x1) x [y0, y1) clipped to the clip.
    virtual void FillBox(int x0, int y0, int x1, int y1, const float* color, bool additive) = 0;
    // Whether sprites use device textures (mosaics); the software device draws from the sprite.
    virtual bool UsesTextures() const { return false; }
    virtual int CreateTexture(int width, int height) { (void)width, (void)height; return 0; }
    // Premultiplied ARGB rows of `pitch` pixels into the top-left of the texture.
    virtual bool UpdateTexture(int texture, const uint32_t* pixels, int width, int height, int pitch) {
        (void)texture, (void)pixels, (void)width, (void)height, (void)pitch;
        return false;
    }
    virtual void DestroyTexture(int texture) { (void)texture; }
    // The clip in back-buffer pixels changed.
    virtual void ClipChanged() {}
    // Clears the back buffer to black at the start of a frame that is drawn.
    virtual void ClearFrame() {}
    // Sets the back buffer size (pixels) and recomputes the drawing scale.
    void SetBufferSize(int width, int height);
    // Makes sure the sprite's textures exist and hold its pixels.
    bool PrepareTextures(const Sprite& sprite);
    Point ToBuffer(Point logical) const {
        return Point{logical.x * mDrawScaleX + mDrawOffsetX, logical.y * mDrawScaleY + mDrawOffsetY};
    }

    int mBufferWidth = 800;
    int mBufferHeight = 600;
    float mDrawScaleX = 1.0f, mDrawScaleY = 1.0f, mDrawOffsetX = 0.0f, mDrawOffsetY = 0.0f;
    // Clip in back-buffer pixels, [x0, x1) x [y0, y1).
    int mClipX0 = 0, mClipY0 = 0, mClipX1 = 0, mClipY1 = 0;
    int mSerial = 0;

private:
    // One drawing call of a recorded frame, in back-buffer pixels, with the clip it had. Laid
    // out without padding, so two frames compare byte for byte.
    struct FrameCommand {
        const Sprite* sprite;             // null for a filled box
        const TextureMosaic::Tile* tile;
        uint64_t content;                 // the sprite's content id when recorded
        int32_t clip[4];
        float color[4];
        QuadCorner corners[4];            // a box: corners[0] and [2] are (x0, y0) and (x1, y1)
        uint32_t flags;                   // kCommandAdditive, kCommandExact
        uint32_t unused;
    };
    static_assert(sizeof(FrameCommand) ==
                      2 * sizeof(void*) + sizeof(uint64_t) + 16 + 16 + 4 * sizeof(QuadCorner) + 8,
                  "frame commands are compared byte for byte: no padding");
    static constexpr uint32_t kCommandAdditive = 1, kCommandExact = 2;

    void UpdateBufferClip();
    // The backend calls, recorded while a frame is recorded.
    void Box(int x0, int y0, int x1, int y1, const float* color, bool additive);
    void SpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* corners,
                    const float* color, bool additive, bool exact);
    void Replay(const std::vector<FrameCommand>& commands);
    // Draws what was recorded so far; the rest of the frame draws directly.
    void StopRecording();

    std::vector<FrameCommand> mCommands;  // the frame being recorded
    std::vector<FrameCommand> mShown;     // the last frame drawn
    bool mShownValid = false;             // mShown is what the screen shows
    bool mRecording = false;
    std::vector<std::array<float, 4>> mColorStack;
    std::vector<Point> mOriginStack;
    std::vector<Rect> mClipStack;
    int mSystemTextLines = 0;
};
