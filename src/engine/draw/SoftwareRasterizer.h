// The software rasterizer family: triangles with per-vertex colour, an optional texture, alpha or
// additive blending, into 32-bit, 5-6-5 and 5-5-5 back buffers, plus the untransformed sprite blit
// that skips transparent runs. Every routine is a template instance, so inner loops test nothing.
#pragma once

#include <cstdint>
#include <vector>

enum class PixelFormat : uint8_t { kUnknown, kArgb8888, kRgb565, kRgb555 };

// A destination surface with its clip rectangle [clipX0, clipX1) x [clipY0, clipY1) in pixels.
struct RasterTarget {
    void* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes per row
    PixelFormat format = PixelFormat::kUnknown;
    int clipX0 = 0;
    int clipY0 = 0;
    int clipX1 = 0;
    int clipY1 = 0;
};

// A texture as the rasterizer reads it: premultiplied ARGB rows, optionally with the run table
// built by BuildRuns (needed only by BlitSprite; without one every pixel is blended).
struct RasterTexture {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    const uint32_t* runs = nullptr;      // run words, see BuildRuns
    const uint32_t* rowRuns = nullptr;   // height + 1 offsets into runs
};

// Position in pixels, texture position in texels (0..width), colour channels 0..1.
struct RasterVertex {
    float x = 0.0f;
    float y = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;
};

class SoftwareRasterizer {
public:
    // Flag weights of the dispatcher's routine index.
    enum Flag { kTextured = 8, kTinted = 4, kBlended = 2, kAdditive = 1 };
    // Kinds of pixel runs in a run word (top two bits).
    enum RunKind : uint32_t { kRunClear = 0, kRunOpaque = 1, kRunTranslucent = 2 };
    // Vertex positions are snapped to this many steps per pixel before rasterizing.
    static constexpr int kSubpixelSteps = 16;

    // The destination format from a surface's bit count and channel masks; kUnknown draws nothing.
    static PixelFormat FormatFromMasks(int bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

    // The dispatcher: the four flags (weights 8, 4, 2, 1) pick one of the format's routines.
    // `bilinear` filters the texture (for scaled or rotated drawing); otherwise nearest texel.
    static void RasterizeTriangle(bool textured, bool tinted, bool blended, bool additive, const RasterTarget& target,
                                  const RasterVertex* vertices, const RasterTexture* texture, bool bilinear);
    // A convex quad in drawing order (0-1-2-3 around): the pixels and colours of the two triangles
    // 0-1-2 and 0-2-3, drawn in one pass when the quad's attributes lie on one plane.
    static void RasterizeQuad(int flags, const RasterTarget& target, const RasterVertex* vertices,
                              const RasterTexture* texture, bool bilinear);
    // The routine index the dispatcher actually runs for a flag set (indices 0, 1, 4, 5 share the
    // plain fill; the tint flag matters only with a texture).
    static int RoutineIndex(int flags);

    // An untransformed texture with its top-left corner at pixel (x, y): opaque runs are copied,
    // clear ones skipped, translucent ones blended. `tint` is ARGB (not premultiplied); 0xFFFFFFFF
    // means none. Additive adds the tinted texture instead of blending it.
    static void BlitSprite(const RasterTarget& target, const RasterTexture& texture, int x, int y, uint32_t tint,
                           bool additive);
    // The rectangle [x0, x1) x [y0, y1) in one ARGB colour (not premultiplied): opaque colours are
    // written, translucent ones blended (or added when `additive`). Clipped to the target's clip.
    static void FillRect(const RasterTarget& target, int x0, int y0, int x1, int y1, uint32_t argb, bool additive);

    // Builds the run words of a premultiplied picture: `runs` receives one word per run
    // (kind << 30 | start << 15 | length), `rowRuns` height + 1 offsets. Sizes above 32767 fail.
    static bool BuildRuns(const uint32_t* pixels, int width, int height, std::vector<uint32_t>& runs,
                          std::vector<uint32_t>& rowRuns);

    // One destination pixel as ARGB (alpha 255) and back, in the target's format.
    static uint32_t ReadPixel(const RasterTarget& target, int x, int y);
    static void WritePixel(const RasterTarget& target, int x, int y, uint32_t argb);
    // Premultiplies a straight ARGB value (rounded to nearest).
    static uint32_t Premultiply(uint32_t argb);
    // Whether the blits use the SSE2 loops (always on x86-64; false elsewhere).
    static bool HasSimd();

    // The widest vector loops in use: chosen once from what the processor has (QS_NO_AVX2 in
    // the environment stops at SSE4.1, QS_NO_SSE41 at SSE2, to measure the narrower loops on the
    // same machine). Every width draws the same pixels.
    enum class VectorLoops { kSse2, kSse41, kAvx2 };
    static VectorLoops WidestLoops();
    // Lowers (or restores, up to what the processor has) the widest loops used; for tests.
    static void LimitLoops(VectorLoops widest);
};
