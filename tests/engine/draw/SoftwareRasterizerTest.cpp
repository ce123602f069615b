// Blend arithmetic in all three destination formats, clipping, quad seams and the agreement of
// the sprite blit with the triangle routines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/draw/SoftwareRasterizer.h"

namespace {

struct Surface {
    std::vector<uint32_t> storage;
    RasterTarget target;
    Surface(PixelFormat format, int w, int h, uint32_t fill) : storage(size_t(w) * h, 0) {
        target.pixels = storage.data();
        target.width = w;
        target.height = h;
        target.pitch = format == PixelFormat::kArgb8888 ? w * 4 : w * 2;
        target.format = format;
        target.clipX1 = w;
        target.clipY1 = h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SoftwareRasterizer::WritePixel(target, x, y, fill);
    }
    uint32_t At(int x, int y) const { return SoftwareRasterizer::ReadPixel(target, x, y); }
};

int Channel(uint32_t c, int i) { return int((c >> (16 - 8 * i)) & 0xFF); }

// Exact straight-alpha "over" of one channel, in 8-bit units.
double ExactOver(int s, int a, int d) { return s * a / 255.0 + d * (255 - a) / 255.0; }

// Bits each channel keeps in a format (red, green, blue).
int BitsOf(PixelFormat f, int channel) {
    if (f == PixelFormat::kArgb8888) return 8;
    if (f == PixelFormat::kRgb565) return channel == 1 ? 6 : 5;
    return 5;
}

// The 8-bit value a format stores for an exact channel value, allowing the rounding of one
// 8-bit step before packing.
bool Matches(PixelFormat f, int channel, double exact, int actual) {
    int bits = BitsOf(f, channel);
    for (int delta : {-1, 0, 1}) {
        int v = std::clamp(int(std::lround(exact)) + delta, 0, 255);
        int q = v >> (8 - bits);
        int widened = (q << (8 - bits)) | (bits < 8 ? q >> (2 * bits - 8) : 0);
        if (widened == actual) return true;
    }
    return false;
}

const PixelFormat kFormats[] = {PixelFormat::kArgb8888, PixelFormat::kRgb565, PixelFormat::kRgb555};

TEST(SoftwareRasterizer, RecognisesFormatsByMasks) {
    struct Case {
        int bits;
        uint32_t r, g, b;
        PixelFormat expected;
    } cases[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, PixelFormat::kArgb8888},
        {16, 0xF800, 0x07E0, 0x001F, PixelFormat::kRgb565},
        {16, 0x7C00, 0x03E0, 0x001F, PixelFormat::kRgb555},
        {16, 0x001F, 0x07E0, 0xF800, PixelFormat::kUnknown},
        {24, 0xFF0000, 0xFF00, 0xFF, PixelFormat::kUnknown},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, SoftwareRasterizer::FormatFromMasks(c.bits, c.r, c.g, c.b)) << c.bits;
    Surface unknown(PixelFormat::kArgb8888, 4, 4, 0xFF102030);
    unknown.target.format = PixelFormat::kUnknown;
    SoftwareRasterizer::FillRect(unknown.target, 0, 0, 4, 4, 0xFFFFFFFF, false);
    EXPECT_EQ(0xFF102030u, unknown.storage[0]);
}

TEST(SoftwareRasterizer, RoutineIndexFollowsTheFlagTable) {
    const int expected[16] = {0, 0, 2, 3, 0, 0, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int flags = 0; flags < 16; ++flags) EXPECT_EQ(expected[flags], SoftwareRasterizer::RoutineIndex(flags)) << flags;
}

// A known straight-alpha source over a known destination, through each drawing path, in each
// format: every channel within one step of the exact result.
TEST(SoftwareRasterizer, BlendArithmeticInEveryFormat) {
    const uint32_t sources[] = {0x80FF0000, 0x40123456, 0xC0A0B0C0, 0x01FFFFFF, 0xFEFFFFFF, 0x7F808080};
    const uint32_t destinations[] = {0xFF000000, 0xFFFFFFFF, 0xFF3C78B4, 0xFF0A141E};
    enum Path { kFill, kBlit, kBlitTinted, kTriangle };
    for (PixelFormat f : kFormats) {
        for (uint32_t src : sources) {
            for (uint32_t dst : destinations) {
                for (Path path : {kFill, kBlit, kBlitTinted, kTriangle}) {
                    Surface s(f, 8, 8, dst);
                    uint32_t before = s.At(0, 0);
                    uint32_t pixel[64];
                    for (uint32_t& p : pixel) p = SoftwareRasterizer::Premultiply(src);
                    RasterTexture tex{pixel, 8, 8};
                    if (path == kFill) {
                        SoftwareRasterizer::FillRect(s.target, 0, 0, 8, 8, src, false);
                    } else if (path == kBlit) {
                        SoftwareRasterizer::BlitSprite(s.target, tex, 0, 0, 0xFFFFFFFF, false);
                    } else if (path == kBlitTinted) {
                        // A white texture tinted with the colour is the same colour.
                        for (uint32_t& p : pixel) p = 0xFFFFFFFF;
                        SoftwareRasterizer::BlitSprite(s.target, tex, 0, 0, src, false);
                    } else {
                        RasterVertex v[4];
                        float xs[4] = {0, 8, 8, 0}, ys[4] = {0, 0, 8, 8};
                        for (int i = 0; i < 4; ++i) {
                            v[i].x = xs[i], v[i].y = ys[i];
                            v[i].r = ((src >> 16) & 0xFF) / 255.0f, v[i].g = ((src >> 8) & 0xFF) / 255.0f;
                            v[i].b = (src & 0xFF) / 255.0f, v[i].a = (src >> 24) / 255.0f;
                        }
                        SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kBlended, s.target, v, nullptr, false);
                    }
                    for (int y = 0; y < 8; y += 7) {
                        for (int x = 0; x < 8; x += 3) {
                            uint32_t out = s.At(x, y);
                            for (int ch = 0; ch < 3; ++ch) {
                                double exact = ExactOver(Channel(src, ch), int(src >> 24), Channel(before, ch));
                                EXPECT_TRUE(Matches(f, ch, exact, Channel(out, ch)))
                                    << "format " << int(f) << " path " << path << " src " << std::hex << src << " dst "
                                    << dst << " channel " << ch << " expected ~" << std::dec << exact << " got "
                                    << Channel(out, ch);
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(SoftwareRasterizer, AdditiveSaturatesAndSkipsClearPixels) {
    for (PixelFormat f : kFormats) {
        Surface s(f, 4, 1, 0xFF804020);
        uint32_t before = s.At(0, 0);
        uint32_t pixels[4] = {SoftwareRasterizer::Premultiply(0xFFA0A0A0), SoftwareRasterizer::Premultiply(0x80404040), 0,
                              0x00000000};
        RasterTexture tex{pixels, 4, 1};
        SoftwareRasterizer::BlitSprite(s.target, tex, 0, 0, 0xFFFFFFFF, true);
        uint32_t sat = s.At(0, 0), half = s.At(1, 0);
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_TRUE(Matches(f, ch, std::min(255.0, Channel(before, ch) + 160.0), Channel(sat, ch))) << ch;
            EXPECT_TRUE(Matches(f, ch, std::min(255.0, Channel(before, ch) + 64 * 128 / 255.0), Channel(half, ch))) << ch;
        }
        EXPECT_EQ(before, s.At(2, 0));
    }
}

// Two translucent triangles of a quad share a diagonal; no pixel may be blended twice or missed.
TEST(SoftwareRasterizer, QuadsHaveNoSeamAndRespectTheClip) {
    struct Case {
        float x0, y0, x1, y1;  // quad
        int cx0, cy0, cx1, cy1;  // clip
    } cases[] = {{2.0f, 2.0f, 14.0f, 14.0f, 0, 0, 16, 16},
                 {-5.0f, -7.0f, 9.5f, 11.25f, 0, 0, 16, 16},
                 {-20.0f, 3.0f, 40.0f, 13.0f, 4, 5, 12, 9},
                 {1.3f, 0.7f, 15.6f, 15.2f, 3, 3, 30, 30}};
    for (const Case& c : cases) {
        Surface s(PixelFormat::kArgb8888, 16, 16, 0xFF000000);
        s.target.clipX0 = c.cx0, s.target.clipY0 = c.cy0, s.target.clipX1 = c.cx1, s.target.clipY1 = c.cy1;
        RasterVertex v[4];
        float xs[4] = {c.x0, c.x1, c.x1, c.x0}, ys[4] = {c.y0, c.y0, c.y1, c.y1};
        for (int i = 0; i < 4; ++i) v[i].x = xs[i], v[i].y = ys[i], v[i].a = 0.5f;
        SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kBlended, s.target, v, nullptr, false);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                bool inClip = x >= c.cx0 && x < c.cx1 && y >= c.cy0 && y < c.cy1;
                bool inQuad = x + 0.5f >= c.x0 && x + 0.5f < c.x1 && y + 0.5f >= c.y0 && y + 0.5f < c.y1;
                uint32_t expected = inClip && inQuad ? 0xFF808080 : 0xFF000000;
                ASSERT_EQ(expected, s.At(x, y)) << "pixel " << x << "," << y << " of quad " << c.x0 << "," << c.y0;
            }
        }
    }
}

// At 1:1 the triangle routines with nearest sampling and the run-skipping blit give the same
// picture, including where the sprite is clipped.
TEST(SoftwareRasterizer, BlitAgreesWithTexturedQuads) {
    std::vector<uint32_t> pixels(23 * 17);
    srand(7);
    for (uint32_t& p : pixels) {
        int kind = rand() % 3;
        uint32_t a = kind == 0 ? 0 : (kind == 1 ? 255 : uint32_t(rand() % 254 + 1));
        p = SoftwareRasterizer::Premultiply(a << 24 | uint32_t(rand() & 0xFFFFFF));
    }
    std::vector<uint32_t> runs, rowRuns;
    ASSERT_TRUE(SoftwareRasterizer::BuildRuns(pixels.data(), 23, 17, runs, rowRuns));
    RasterTexture tex{pixels.data(), 23, 17, runs.data(), rowRuns.data()};
    for (PixelFormat f : kFormats) {
        for (int offset : {0, -5, 30}) {
            Surface a(f, 40, 30, 0xFF336699), b(f, 40, 30, 0xFF336699);
            a.target.clipX0 = b.target.clipX0 = 2;
            a.target.clipY1 = b.target.clipY1 = 25;
            SoftwareRasterizer::BlitSprite(a.target, tex, offset, offset / 2 + 3, 0xFFFFFFFF, false);
            RasterVertex v[4];
            float x0 = float(offset), y0 = float(offset / 2 + 3);
            float xs[4] = {x0, x0 + 23, x0 + 23, x0}, ys[4] = {y0, y0, y0 + 17, y0 + 17};
            float us[4] = {0, 23, 23, 0}, vs[4] = {0, 0, 17, 17};
            for (int i = 0; i < 4; ++i) v[i].x = xs[i], v[i].y = ys[i], v[i].u = us[i], v[i].v = vs[i];
            SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended, b.target, v,
                                              &tex, false);
            ASSERT_EQ(a.storage, b.storage) << "format " << int(f) << " offset " << offset;
        }
    }
}

// A quarter turn of a texture with four coloured quadrants puts each quadrant where the
// accelerated path would (clockwise on screen, y down).
TEST(SoftwareRasterizer, RotatedQuadLandsWhereExpected) {
    const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, white = 0xFFFFFFFF;
    std::vector<uint32_t> pixels(8 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pixels[size_t(y) * 8 + x] = y < 4 ? (x < 4 ? red : green) : (x < 4 ? blue : white);
    RasterTexture tex{pixels.data(), 8, 8};
    Surface s(PixelFormat::kArgb8888, 16, 16, 0xFF000000);
    // Corners of the texture (0,0), (8,0), (8,8), (0,8) turned 90 degrees clockwise about (8, 8).
    RasterVertex v[4];
    float xs[4] = {12, 12, 4, 4}, ys[4] = {4, 12, 12, 4}, us[4] = {0, 8, 8, 0}, vs[4] = {0, 0, 8, 8};
    for (int i = 0; i < 4; ++i) v[i].x = xs[i], v[i].y = ys[i], v[i].u = us[i], v[i].v = vs[i];
    SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended, s.target, v, &tex, true);
    EXPECT_EQ(red, s.At(10, 5));    // top-left quadrant moves to the top-right
    EXPECT_EQ(green, s.At(10, 10)); // top-right to bottom-right
    EXPECT_EQ(white, s.At(5, 10));  // bottom-right to bottom-left
    EXPECT_EQ(blue, s.At(5, 5));    // bottom-left to top-left
    EXPECT_EQ(0xFF000000u, s.At(2, 2));
}

}  // namespace
