// The drawing device's backend-independent half. Index:
//   [SECTION] lifetime and frame
//   [SECTION] recorded frames
//   [SECTION] state stacks and clip
//   [SECTION] rectangles, sprites and textures
//   [SECTION] system text (a 3 by 5 pixel font of our own)
//   [SECTION] screenshots
#include "engine/draw/GraphicsDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/draw/BitmapWriter.h"
#include "engine/draw/PngCodec.h"
#include "engine/draw/Sprite.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"

namespace {
GraphicsDevice* gCurrent = nullptr;
int gNextSerial = 1;
// The device recording a frame on this thread, if any.
thread_local GraphicsDevice* tRecording = nullptr;
}  // namespace

// [SECTION] lifetime and frame ------------------------------------------------------------------

GraphicsDevice::GraphicsDevice() { mSerial = gNextSerial++; }

GraphicsDevice::~GraphicsDevice() {
    if (gCurrent == this) gCurrent = nullptr;
    if (tRecording == this) tRecording = nullptr;
}

GraphicsDevice* GraphicsDevice::Current() { return gCurrent; }

bool GraphicsDevice::Init(Window* window) {
    mShownValid = false;
    if (!Graphics::Init(window)) return false;
    gCurrent = this;
    UpdateBufferClip();
    return true;
}

void GraphicsDevice::Shutdown() {
    if (gCurrent == this) gCurrent = nullptr;
    if (tRecording == this) tRecording = nullptr;
    mRecording = false;
    mShownValid = false;
    mCommands.clear();
    mShown.clear();
    // Textures die with the device; sprites see the serial change and make new ones.
    mSerial = gNextSerial++;
    Graphics::Shutdown();
}

void GraphicsDevice::BeginFrame() {
    Graphics::BeginFrame();
    mCurrentTexture = 0;
    mSystemTextLines = 0;
    mFrameUnchanged = false;
    mCommands.clear();
    if (mSkipUnchanged && CanDraw()) {
        mRecording = true;
        tRecording = this;
    } else {
        if (tRecording == this) tRecording = nullptr;
        mRecording = false;
        mShownValid = false;
        ClearFrame();
    }
}

void GraphicsDevice::EndFrame() {
    if (mRecording) {
        mRecording = false;
        if (tRecording == this) tRecording = nullptr;
        mFrameUnchanged = mShownValid && mCommands.size() == mShown.size() &&
                          (mCommands.empty() ||
                           std::memcmp(mCommands.data(), mShown.data(), mCommands.size() * sizeof(FrameCommand)) == 0);
        if (!mFrameUnchanged) {
            ClearFrame();
            Replay(mCommands);
            mShown.swap(mCommands);
            mShownValid = true;
        }
        mCommands.clear();
    }
    Graphics::EndFrame();
}

bool GraphicsDevice::SetFullscreen(bool fullscreen) {
    if (!mWindow) {
        mFullscreen = fullscreen;
        return true;
    }
    if (!mWindow->SetFullscreen(fullscreen)) return false;
    mFullscreen = fullscreen;
    int w = 0, h = 0;
    mWindow->GetSize(w, h);
    Resize(w, h);
    return true;
}

void GraphicsDevice::Resize(int windowWidth, int windowHeight) {
    Graphics::Resize(windowWidth, windowHeight);
    mShownValid = false;
}

void GraphicsDevice::SetLogicalSize(int width, int height) {
    Graphics::SetLogicalSize(width, height);
    SetBufferSize(mBufferWidth, mBufferHeight);
}

void GraphicsDevice::SetBufferSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    mShownValid = false;
    mBufferWidth = width;
    mBufferHeight = height;
    // The logical screen keeps its shape inside the buffer; the rest stays black.
    float scale = std::min(float(width) / float(mLogicalWidth), float(height) / float(mLogicalHeight));
    mDrawScaleX = mDrawScaleY = scale;
    mDrawOffsetX = std::floor((float(width) - scale * float(mLogicalWidth)) * 0.5f);
    mDrawOffsetY = std::floor((float(height) - scale * float(mLogicalHeight)) * 0.5f);
    UpdateBufferClip();
}

// [SECTION] recorded frames ---------------------------------------------------------------------

void GraphicsDevice::SpriteChanging() {
    if (GraphicsDevice* device = tRecording) device->StopRecording();
}

void GraphicsDevice::StopRecording() {
    if (!mRecording) return;
    mRecording = false;
    if (tRecording == this) tRecording = nullptr;
    ClearFrame();
    Replay(mCommands);
    mCommands.clear();
    // This frame is not known command for command: the next one is drawn whatever it shows.
    mShownValid = false;
}

void GraphicsDevice::Box(int x0, int y0, int x1, int y1, const float* color, bool additive) {
    if (!mRecording) {
        FillBox(x0, y0, x1, y1, color, additive);
        return;
    }
    FrameCommand& c = mCommands.emplace_back();
    std::memset(&c, 0, sizeof c);
    c.clip[0] = mClipX0, c.clip[1] = mClipY0, c.clip[2] = mClipX1, c.clip[3] = mClipY1;
    std::memcpy(c.color, color, sizeof c.color);
    c.corners[0] = QuadCorner{float(x0), float(y0), 0.0f, 0.0f};
    c.corners[2] = QuadCorner{float(x1), float(y1), 0.0f, 0.0f};
    c.flags = additive ? kCommandAdditive : 0;
}

void GraphicsDevice::SpriteQuad(const Sprite& sprite, const TextureMosaic::Tile* tile, const QuadCorner* corners,
                                const float* color, bool additive, bool exact) {
    if (!mRecording) {
        DrawSpriteQuad(sprite, tile, corners, color, additive, exact);
        return;
    }
    FrameCommand& c = mCommands.emplace_back();
    std::memset(&c, 0, sizeof c);
    c.sprite = &sprite;
    c.tile = tile;
    c.content = sprite.ContentId();
    c.clip[0] = mClipX0, c.clip[1] = mClipY0, c.clip[2] = mClipX1, c.clip[3] = mClipY1;
    std::memcpy(c.color, color, sizeof c.color);
    std::memcpy(c.corners, corners, sizeof c.corners);
    c.flags = (additive ? kCommandAdditive : 0) | (exact ? kCommandExact : 0);
}

void GraphicsDevice::Replay(const std::vector<FrameCommand>& commands) {
    int saved[4] = {mClipX0, mClipY0, mClipX1, mClipY1};
    for (const FrameCommand& c : commands) {
        if (c.clip[0] != mClipX0 || c.clip[1] != mClipY0 || c.clip[2] != mClipX1 || c.clip[3] != mClipY1) {
            mClipX0 = c.clip[0], mClipY0 = c.clip[1], mClipX1 = c.clip[2], mClipY1 = c.clip[3];
            ClipChanged();
        }
        bool additive = (c.flags & kCommandAdditive) != 0;
        if (c.sprite)
            DrawSpriteQuad(*c.sprite, c.tile, c.corners, c.color, additive, (c.flags & kCommandExact) != 0);
        else
            FillBox(int(c.corners[0].x), int(c.corners[0].y), int(c.corners[2].x), int(c.corners[2].y), c.color,
                    additive);
    }
    if (saved[0] != mClipX0 || saved[1] != mClipY0 || saved[2] != mClipX1 || saved[3] != mClipY1) {
        mClipX0 = saved[0], mClipY0 = saved[1], mClipX1 = saved[2], mClipY1 = saved[3];
        ClipChanged();
    }
}

// [SECTION] state stacks and clip ---------------------------------------------------------------

void GraphicsDevice::PushColor() { mColorStack.push_back({mColor[0], mColor[1], mColor[2], mColor[3]}); }

void GraphicsDevice::PopColor() {
    if (mColorStack.empty()) return;
    auto c = mColorStack.back();
    mColorStack.pop_back();
    SetColor(c[0], c[1], c[2], c[3]);
}

void GraphicsDevice::PushOrigin() { mOriginStack.push_back(mOrigin); }

void GraphicsDevice::PopOrigin() {
    if (mOriginStack.empty()) return;
    mOrigin = mOriginStack.back();
    mOriginStack.pop_back();
}

void GraphicsDevice::SetClip(const Rect& clip) {
    Graphics::SetClip(clip);
    UpdateBufferClip();
}

void GraphicsDevice::SetClip(float x, float y, float w, float h) { SetClip(Rect{x + mOrigin.x, y + mOrigin.y, w, h}); }

void GraphicsDevice::ResetClip() { SetClip(Rect{-9999.0f, -9999.0f, 19998.0f, 19998.0f}); }

void GraphicsDevice::PushClip() { mClipStack.push_back(mClip); }

void GraphicsDevice::PopClip() {
    if (mClipStack.empty()) return;
    Rect clip = mClipStack.back();
    mClipStack.pop_back();
    SetClip(clip);
}

void GraphicsDevice::UpdateBufferClip() {
    // Pixel centres inside the clip rectangle are drawn, as for the rasterizer's own edges.
    auto edge = [](float v) { return int(std::ceil(std::clamp(v, -1.0e6f, 1.0e6f) - 0.5f)); };
    Point a = ToBuffer(Point{mClip.x, mClip.y});
    Point b = ToBuffer(Point{mClip.x + mClip.w, mClip.y + mClip.h});
    Point la = ToBuffer(Point{0.0f, 0.0f});
    Point lb = ToBuffer(Point{float(mLogicalWidth), float(mLogicalHeight)});
    mClipX0 = std::max({0, edge(a.x), edge(la.x)});
    mClipY0 = std::max({0, edge(a.y), edge(la.y)});
    mClipX1 = std::min({mBufferWidth, edge(b.x), edge(lb.x)});
    mClipY1 = std::min({mBufferHeight, edge(b.y), edge(lb.y)});
    if (mClipX1 < mClipX0) mClipX1 = mClipX0;
    if (mClipY1 < mClipY0) mClipY1 = mClipY0;
    ClipChanged();
}

void GraphicsDevice::SetTexture(int texture) {
    if (texture != mCurrentTexture) {
        mCurrentTexture = texture;
        ++mTextureSwaps;
    }
}

// [SECTION] rectangles, sprites and textures ----------------------------------------------------

void GraphicsDevice::FillRect(float x, float y, float w, float h) {
    if (mColor[3] <= 0.0f || w <= 0.0f || h <= 0.0f) return;
    Point a = ToBuffer(Point{x + mOrigin.x, y + mOrigin.y});
    Point b = ToBuffer(Point{x + w + mOrigin.x, y + h + mOrigin.y});
    auto edge = [](float v) { return int(std::ceil(std::clamp(v, -1.0e6f, 1.0e6f) - 0.5f)); };
    Box(edge(a.x), edge(a.y), edge(b.x), edge(b.y), mColor, mBlend == Blend::kAdditive);
}

void GraphicsDevice::DrawSprite(const Sprite& sprite, const Transform& transform) {
    if (sprite.Empty() || mColor[3] <= 0.0f || !CanDraw()) return;
    Transform full = transform;
    Transform toBuffer;
    toBuffer.Translate(mOrigin.x, mOrigin.y);
    toBuffer.Scale(mDrawScaleX, mDrawScaleY);
    toBuffer.Translate(mDrawOffsetX, mDrawOffsetY);
    full.Append(toBuffer);
    // A plain move by whole pixels copies texels exactly; anything else filters.
    bool exact = !full.HasRotationOrScale() && std::fabs(full.mE - std::round(full.mE)) < 1e-3f &&
                 std::fabs(full.mF - std::round(full.mF)) < 1e-3f;
    if (!full.HasRotationOrScale()) {
        full.mE = std::round(full.mE * 16.0f) / 16.0f;
        full.mF = std::round(full.mF * 16.0f) / 16.0f;
    }
    bool additive = mBlend == Blend::kAdditive;
    // Only the kept part of the picture is drawn: its clear border would change nothing.
    if (sprite.mPixelsWidth <= 0 || sprite.mPixelsHeight <= 0) return;
    float left = float(sprite.mPixelsX), top = float(sprite.mPixelsY);
    if (!UsesTextures()) {
        QuadCorner q[4];
        float us[4] = {0.0f, float(sprite.mPixelsWidth), float(sprite.mPixelsWidth), 0.0f};
        float vs[4] = {0.0f, 0.0f, float(sprite.mPixelsHeight), float(sprite.mPixelsHeight)};
        for (int i = 0; i < 4; ++i) {
            Point p = full.Apply(left + us[i], top + vs[i]);
            q[i] = QuadCorner{p.x, p.y, us[i], vs[i]};
        }
        SpriteQuad(sprite, nullptr, q, mColor, additive, exact);
        return;
    }
    if (!PrepareTextures(sprite)) return;
    for (const TextureMosaic::Tile& tile : sprite.mMosaic.mTiles) {
        SetTexture(tile.texture);
        float x0 = left + float(tile.x), y0 = top + float(tile.y);
        float x1 = x0 + float(tile.width), y1 = y0 + float(tile.height);
        float u1 = float(tile.width), v1 = float(tile.height);
        float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1}, us[4] = {0, u1, u1, 0}, vs[4] = {0, 0, v1, v1};
        QuadCorner q[4];
        for (int i = 0; i < 4; ++i) {
            Point p = full.Apply(xs[i], ys[i]);
            q[i] = QuadCorner{p.x, p.y, us[i], vs[i]};
        }
        SpriteQuad(sprite, &tile, q, mColor, additive, exact);
    }
}

bool GraphicsDevice::PrepareTextures(const Sprite& sprite) {
    TextureMosaic& mosaic = sprite.mMosaic;
    if (sprite.mTextureSerial != mSerial) {
        // Textures of an earlier device are gone with it; only the layout is made again.
        mosaic.Layout(sprite.mPixelsWidth, sprite.mPixelsHeight, std::min(MaxTextureWidth(), MaxTextureHeight()),
                      MinTextureSize(), MaxTextureAspect());
        sprite.mTextureSerial = mSerial;
        sprite.mTexturesStale = true;
    }
    if (!sprite.mTexturesStale) return true;
    for (TextureMosaic::Tile& tile : mosaic.mTiles) {
        if (tile.texture == 0) tile.texture = CreateTexture(tile.textureWidth, tile.textureHeight);
        if (tile.texture == 0) return false;
        UpdateTexture(tile.texture, sprite.mPixels.data() + size_t(tile.y) * size_t(sprite.mPixelsWidth) + tile.x,
                      tile.width, tile.height, sprite.mPixelsWidth);
    }
    sprite.mTexturesStale = false;
    return true;
}

void GraphicsDevice::ReleaseTexture(int texture, int serial) {
    if (texture != 0 && serial == mSerial) {
        if (mCurrentTexture == texture) mCurrentTexture = 0;
        DestroyTexture(texture);
    }
}

// [SECTION] system text -------------------------------------------------------------------------

namespace {

// Rows of three pixels, top to bottom; lower-case letters draw as capitals.
const char* GlyphOf(char c) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    static const char* const kDigits[10] = {
        "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
        "111100111001111", "111100111101111", "111001001001001", "111101111101111", "111101111001111"};
    static const char* const kLetters[26] = {
        "010101111101101", "110101110101110", "011100100100011", "110101101101110", "111100110100111",
        "111100110100100", "011100101101011", "101101111101101", "111010010010111", "001001001101010",
        "101101110101101", "100100100100111", "101111111101101", "110101101101101", "010101101101010",
        "110101110100100", "010101101110011", "110101110101101", "011100010001110", "111010010010010",
        "101101101101111", "101101101101010", "101101111111101", "101101010101101", "101101010010010",
        "111001010100111"};
    if (c >= '0' && c <= '9') return kDigits[c - '0'];
    if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
    switch (c) {
        case ':': return "000010000010000";
        case '.': return "000000000000010";
        case ',': return "000000000010100";
        case '-': return "000000111000000";
        case '+': return "000010111010000";
        case '=': return "000111000111000";
        case '%': return "101001010100101";
        case '/': return "001001010100100";
        case '(': return "010100100100010";
        case ')': return "010001001001010";
        case '[': return "110100100100110";
        case ']': return "011001001001011";
        case '_': return "000000000000111";
        case '!': return "010010010000010";
        case '?': return "111001010000010";
        case '#': return "101111101111101";
        case '\'': return "010010000000000";
        default: return nullptr;
    }
}

}  // namespace

void GraphicsDevice::DrawSystemText(float x, float y, const std::string& text) {
    Graphics::DrawSystemText(x, y, text);
    // Two logical pixels per font pixel, white over a dark shadow, unaffected by clip or origin.
    Rect savedClip = mClip;
    Blend savedBlend = mBlend;
    float savedColor[4] = {mColor[0], mColor[1], mColor[2], mColor[3]};
    Point savedOrigin = mOrigin;
    ResetClip();
    mOrigin = Point{};
    mBlend = Blend::kNormal;
    const float unit = 2.0f;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) SetColor(0.0f, 0.0f, 0.0f, 0.8f);
        else SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        float shift = pass == 0 ? unit : 0.0f;
        float penX = x;
        for (char c : text) {
            if (const char* glyph = GlyphOf(c)) {
                for (int i = 0; i < 15; ++i) {
                    if (glyph[i] == '1') FillRect(penX + float(i % 3) * unit + shift, y + float(i / 3) * unit + shift, unit, unit);
                }
            }
            penX += 4.0f * unit;
        }
    }
    SetColor(savedColor[0], savedColor[1], savedColor[2], savedColor[3]);
    mBlend = savedBlend;
    mOrigin = savedOrigin;
    SetClip(savedClip);
}

// [SECTION] screenshots -------------------------------------------------------------------------

bool GraphicsDevice::WriteScreenshot(const std::string& realPath) {
    StopRecording();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!ReadPixels(pixels, w, h)) return false;
    std::vector<uint8_t> bytes;
    if (!BitmapWriter::Encode(pixels.data(), w, h, bytes)) return false;
    return Files::WriteWholeAtomic(realPath, bytes.data(), bytes.size());
}

bool GraphicsDevice::WritePng(const std::string& realPath) {
    StopRecording();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!ReadPixels(pixels, w, h)) return false;
    std::vector<uint8_t> bytes;
    if (!PngCodec::Encode(pixels.data(), w, h, true, bytes)) return false;
    return Files::WriteWholeAtomic(realPath, bytes.data(), bytes.size());
}

std::string GraphicsDevice::SaveScreenshot() {
    if (!Files::CreateDirectories("Screenshots")) return std::string();
    // Bounded so a folder full of screenshots cannot stall the game.
    for (int i = 1; i < 100000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Screenshots\\screenshot%d.bmp", i);
        std::string real = Files::PathForWrite(name);
        if (Files::IsRegularFile(real) || Files::IsDirectory(real)) continue;
        return WriteScreenshot(real) ? std::string(name) : std::string();
    }
    return std::string();
}
