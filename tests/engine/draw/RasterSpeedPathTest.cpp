// The rasterizer's fast paths against slow references: filtered spans against clamped bilinear
// sampling worked out in doubles, sprite quads drawn in one pass against their two triangles,
// and 16-bit targets against the same drawing on 32 bits narrowed afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "engine/draw/SoftwareRasterizer.h"

namespace {

struct Surface {
    std::vector<uint32_t> storage;
    RasterTarget target;
    Surface(PixelFormat format, int w, int h) : storage(size_t(w) * h, 0) {
        target.pixels = storage.data();
        target.width = w;
        target.height = h;
        target.pitch = format == PixelFormat::kArgb8888 ? w * 4 : w * 2;
        target.format = format;
        target.clipX1 = w;
        target.clipY1 = h;
    }
    uint32_t At(int x, int y) const { return SoftwareRasterizer::ReadPixel(target, x, y); }
    // Random opaque colours, the same for every surface made with the same seed.
    void Noise(uint32_t seed) {
        std::mt19937 rng(seed);
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) SoftwareRasterizer::WritePixel(target, x, y, 0xFF000000u | rng());
    }
};

int Channel(uint32_t c, int shift) { return int((c >> shift) & 0xFF); }

// Premultiplied texels: a third clear, a third opaque, the rest translucent.
std::vector<uint32_t> MixedTexels(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w) * h);
    for (uint32_t& p : px) {
        uint32_t kind = rng() % 3, a = kind == 0 ? 0 : (kind == 1 ? 255 : 1 + rng() % 254);
        p = SoftwareRasterizer::Premultiply(a << 24 | (rng() & 0xFFFFFF));
    }
    return px;
}

// A w by h texture turned by `degrees` and scaled about (cx, cy); corners 0-1-2-3 around.
void SpriteQuad(int w, int h, float degrees, float scale, float cx, float cy, RasterVertex* v) {
    float c = std::cos(degrees * 3.14159265f / 180.0f) * scale, s = std::sin(degrees * 3.14159265f / 180.0f) * scale;
    float xs[4] = {-w / 2.0f, w / 2.0f, w / 2.0f, -w / 2.0f}, ys[4] = {-h / 2.0f, -h / 2.0f, h / 2.0f, h / 2.0f};
    float us[4] = {0, float(w), float(w), 0}, vs[4] = {0, 0, float(h), float(h)};
    for (int i = 0; i < 4; ++i) {
        v[i] = RasterVertex{};
        v[i].x = cx + c * xs[i] - s * ys[i];
        v[i].y = cy + s * xs[i] + c * ys[i];
        v[i].u = us[i];
        v[i].v = vs[i];
    }
}

// Clamped bilinear sampling of premultiplied texels with centres at half-texel positions.
void SampleExact(const std::vector<uint32_t>& px, int w, int h, double u, double v, double out[4]) {
    double uu = u - 0.5, vv = v - 0.5;
    double fx = uu - std::floor(uu), fy = vv - std::floor(vv);
    int x0 = int(std::floor(uu)), y0 = int(std::floor(vv));
    auto at = [&](int x, int y, int shift) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return double(Channel(px[size_t(y) * w + x], shift));
    };
    for (int c = 0; c < 4; ++c) {
        int shift = 24 - 8 * c;  // alpha, red, green, blue
        double top = at(x0, y0, shift) * (1 - fx) + at(x0 + 1, y0, shift) * fx;
        double bottom = at(x0, y0 + 1, shift) * (1 - fx) + at(x0 + 1, y0 + 1, shift) * fx;
        out[c] = top * (1 - fy) + bottom * fy;
    }
}

// Filtered, turned and scaled sprites with and without tint, over and added, against the
// reference at every pixel centre well inside the quad (the rim depends on edge rounding).
// Random texels make any misplaced tap, swapped pixel or lost tail show as a large error;
// small errors come from 16.16 stepping across steep texel differences.
TEST(RasterSpeedPath, FilteredSpansMatchExactBilinear) {
    struct Case {
        int w, h;
        float degrees, scale;
        uint32_t tint;
        bool additive;
    } cases[] = {
        {64, 64, 30.0f, 1.0f, 0xFFFFFFFF, false},  {64, 64, 0.0f, 1.5f, 0xFFFFFFFF, false},
        {60, 60, 0.0f, 0.8f, 0xFFFFFFFF, false},   {17, 9, 45.0f, 2.3f, 0xFFFFFFFF, false},
        {16, 16, 0.0f, 0.8f, 0xFFFF8040, true},    {33, 21, 200.0f, 1.7f, 0xC0FF8040, false},
        {40, 40, 90.0f, 1.0f, 0x80FFFFFF, true},   {300, 4, 0.0f, 1.1f, 0xFFFFFFFF, false},
        {2, 2, 10.0f, 9.0f, 0xFFFFFFFF, false},    {5, 3, -75.0f, 4.0f, 0xFF20C0FF, false},
        {64, 64, 0.0f, 0.4f, 0xFFFFFFFF, false},   {33, 21, 180.0f, 1.3f, 0xFFFFFFFF, false},
        {90, 8, 180.0f, 0.45f, 0xFFFFFFFF, true},  {800, 3, 0.0f, 1.0f, 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> texels = MixedTexels(c.w, c.h, 11);
        RasterTexture tex{texels.data(), c.w, c.h};
        int size = int(std::ceil(std::hypot(c.w, c.h) * c.scale)) + 4;
        Surface s(PixelFormat::kArgb8888, size, size);
        s.Noise(3);
        std::vector<uint32_t> before = s.storage;
        RasterVertex v[4];
        SpriteQuad(c.w, c.h, c.degrees, c.scale, size / 2.0f, size / 2.0f, v);
        double ta = (c.tint >> 24) / 255.0;
        double tint[4] = {ta, Channel(c.tint, 16) / 255.0 * ta, Channel(c.tint, 8) / 255.0 * ta,
                          Channel(c.tint, 0) / 255.0 * ta};
        for (RasterVertex& corner : v) corner.a = float(tint[0]), corner.r = float(Channel(c.tint, 16) / 255.0);
        for (RasterVertex& corner : v) corner.g = float(Channel(c.tint, 8) / 255.0), corner.b = float(Channel(c.tint, 0) / 255.0);
        int flags = SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended |
                    (c.tint != 0xFFFFFFFF ? SoftwareRasterizer::kTinted : 0) | (c.additive ? SoftwareRasterizer::kAdditive : 0);
        SoftwareRasterizer::RasterizeQuad(flags, s.target, v, &tex, true);

        // Pixel centre to texture position, from the corners as the rasterizer snaps them. A quad
        // whose snapped corners are no longer a parallelogram is drawn as its two triangles, each
        // with its own mapping, so a pixel may match either.
        double px[4], py[4];
        for (int i = 0; i < 4; ++i) {
            px[i] = std::floor(double(v[i].x) * SoftwareRasterizer::kSubpixelSteps) / SoftwareRasterizer::kSubpixelSteps;
            py[i] = std::floor(double(v[i].y) * SoftwareRasterizer::kSubpixelSteps) / SoftwareRasterizer::kSubpixelSteps;
        }
        auto plane = [&](const int* k, double a0, double a1, double a2, double x, double y) {
            double area = (px[k[1]] - px[k[0]]) * (py[k[2]] - py[k[0]]) - (px[k[2]] - px[k[0]]) * (py[k[1]] - py[k[0]]);
            double dx = ((a1 - a0) * (py[k[2]] - py[k[0]]) - (a2 - a0) * (py[k[1]] - py[k[0]])) / area;
            double dy = ((a2 - a0) * (px[k[1]] - px[k[0]]) - (a1 - a0) * (px[k[2]] - px[k[0]])) / area;
            return a0 + dx * (x - px[k[0]]) + dy * (y - py[k[0]]);
        };
        const int triangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
        int worst = 0, checked = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                int best = 1000;
                bool inside = true;
                for (const int* k : triangles) {
                    double u = plane(k, v[k[0]].u, v[k[1]].u, v[k[2]].u, x + 0.5, y + 0.5);
                    double vt = plane(k, v[k[0]].v, v[k[1]].v, v[k[2]].v, x + 0.5, y + 0.5);
                    if (u < 0.05 || vt < 0.05 || u > c.w - 0.05 || vt > c.h - 0.05) {
                        inside = false;
                        break;
                    }
                    double src[4];
                    SampleExact(texels, c.w, c.h, u, vt, src);
                    uint32_t d = before[size_t(y) * size + x], out = s.At(x, y);
                    int error = 0;
                    for (int ch = 1; ch < 4; ++ch) {
                        double value = src[ch] * tint[ch], alpha = src[0] * tint[0];
                        double dst = Channel(d, 24 - 8 * ch);
                        double exact = c.additive ? std::min(255.0, value + dst) : value + dst * (255.0 - alpha) / 255.0;
                        error = std::max(error, int(std::fabs(exact - Channel(out, 24 - 8 * ch)) + 0.5));
                    }
                    best = std::min(best, error);
                }
                if (!inside) continue;
                worst = std::max(worst, best);
                ++checked;
            }
        }
        EXPECT_GT(checked, 0);
        EXPECT_LE(worst, 3) << c.w << "x" << c.h << " turned " << c.degrees << " scaled " << c.scale << " tint "
                            << std::hex << c.tint;
    }
}

// Tinted blits over the target, against the exact blend of the texel times the premultiplied
// tint: every channel within 1, for opaque and translucent tints, on rows that end inside a
// group of eight and on stretches of opaque, clear and translucent texels.
TEST(RasterSpeedPath, TintedBlitsStayWithinOneOfExact) {
    const uint32_t tints[] = {0xFFFF8040, 0xC0FF8040, 0x80FFFFFF, 0xFE102030, 0x01FFFFFF, 0xFF000000, 0x40FFFFFF};
    for (int w : {1, 5, 8, 13, 24, 67}) {
        const int h = 5;
        std::vector<uint32_t> texels = MixedTexels(w, h, 31 + uint32_t(w));
        for (int x = 0; x < w; ++x) {
            texels[size_t(1) * w + x] |= 0xFF000000u;  // opaque row
            texels[size_t(2) * w + x] = SoftwareRasterizer::Premultiply(0x80000000u | (texels[size_t(2) * w + x] & 0xFFFFFF));
            texels[size_t(3) * w + x] = x % 9 < 4 ? 0xFF000000u | texels[size_t(3) * w + x] : 0;  // opaque and clear
        }
        std::vector<uint32_t> runs, rowRuns;
        ASSERT_TRUE(SoftwareRasterizer::BuildRuns(texels.data(), w, h, runs, rowRuns));
        RasterTexture tex{texels.data(), w, h, runs.data(), rowRuns.data()};
        for (uint32_t tint : tints) {
            Surface s(PixelFormat::kArgb8888, w + 6, h + 2);
            s.Noise(w);
            std::vector<uint32_t> before = s.storage;
            SoftwareRasterizer::BlitSprite(s.target, tex, 3, 1, tint, false);
            uint32_t premultipliedTint = SoftwareRasterizer::Premultiply(tint);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    uint32_t texel = texels[size_t(y) * w + x], d = before[size_t(y + 1) * (w + 6) + x + 3];
                    uint32_t out = s.At(x + 3, y + 1);
                    double alpha = Channel(texel, 24) * Channel(premultipliedTint, 24) / 255.0;
                    for (int shift : {16, 8, 0}) {
                        double exact = Channel(texel, shift) * Channel(premultipliedTint, shift) / 255.0 +
                                       Channel(d, shift) * (255.0 - alpha) / 255.0;
                        ASSERT_LE(std::fabs(exact - Channel(out, shift)), 1.0)
                            << "width " << w << " tint " << std::hex << tint << " texel " << texel << " target " << d
                            << std::dec << " at " << x << "," << y << " shift " << shift;
                    }
                }
            }
        }
    }
}

// Opaque texels under a tint, every texel value against every target value: the extremes of
// both are where a shortcut in the arithmetic would overflow or saturate. The target's share is
// fixed here, so each channel is rounded once and lands on the nearest value.
TEST(RasterSpeedPath, TintedOpaqueTexelsRoundToNearestForEveryValue) {
    std::vector<uint32_t> texels(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) texels[size_t(y) * 256 + x] = 0xFF000000u | uint32_t(x) * 0x010101u;
    std::vector<uint32_t> runs, rowRuns;
    ASSERT_TRUE(SoftwareRasterizer::BuildRuns(texels.data(), 256, 256, runs, rowRuns));
    RasterTexture tex{texels.data(), 256, 256, runs.data(), rowRuns.data()};
    for (uint32_t tint : {0xFFFFFFFFu - 1, 0xFE00FF80u, 0xC0FF8040u, 0x80FFFFFFu, 0x01FFFFFFu, 0x7F000000u}) {
        Surface s(PixelFormat::kArgb8888, 256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) SoftwareRasterizer::WritePixel(s.target, x, y, 0xFF000000u | uint32_t(y) * 0x010101u);
        SoftwareRasterizer::BlitSprite(s.target, tex, 0, 0, tint, false);
        uint32_t premultipliedTint = SoftwareRasterizer::Premultiply(tint);
        double rest = 255.0 - Channel(premultipliedTint, 24);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                uint32_t out = s.At(x, y);
                for (int shift : {16, 8, 0}) {
                    double exact = (x * Channel(premultipliedTint, shift) + y * rest) / 255.0;
                    ASSERT_LE(std::fabs(exact - Channel(out, shift)), 0.5 + 1e-9)
                        << "tint " << std::hex << tint << std::dec << " texel " << x << " target " << y << " shift " << shift;
                }
            }
        }
    }
}

// Opaque texels of every value under opaque tints of every channel value, channels differing so
// that a tint channel applied to the wrong texel channel shows: each lands on the nearest value.
TEST(RasterSpeedPath, OpaqueTintsRoundEveryChannelToNearest) {
    std::vector<uint32_t> texels(256);
    for (int x = 0; x < 256; ++x) texels[size_t(x)] = 0xFF000000u | uint32_t(x) << 16 | uint32_t(255 - x) << 8 | uint32_t(x * 7 % 256);
    std::vector<uint32_t> runs, rowRuns;
    ASSERT_TRUE(SoftwareRasterizer::BuildRuns(texels.data(), 256, 1, runs, rowRuns));
    RasterTexture tex{texels.data(), 256, 1, runs.data(), rowRuns.data()};
    for (uint32_t t = 0; t < 256; ++t) {
        uint32_t tint = 0xFF000000u | t << 16 | ((t * 5 + 3) % 256) << 8 | (255 - t);
        Surface s(PixelFormat::kArgb8888, 256, 1);
        SoftwareRasterizer::BlitSprite(s.target, tex, 0, 0, tint, false);
        for (int x = 0; x < 256; ++x) {
            for (int shift : {16, 8, 0}) {
                double exact = Channel(texels[size_t(x)], shift) * Channel(tint, shift) / 255.0;
                ASSERT_LE(std::fabs(exact - Channel(s.At(x, 0), shift)), 0.5 + 1e-9)
                    << "tint " << std::hex << tint << " texel " << texels[size_t(x)] << std::dec << " shift " << shift;
            }
        }
    }
}

// A sprite quad drawn in one pass covers the same pixels as its two triangles and gives the
// same colours; quads that are not flat parallelograms take the two triangles themselves.
TEST(RasterSpeedPath, QuadsInOnePassMatchTheirTwoTriangles) {
    std::vector<uint32_t> texels = MixedTexels(24, 20, 5);
    RasterTexture tex{texels.data(), 24, 20};
    struct Case {
        const char* name;
        float xs[4], ys[4];
        float alphas[4];
        bool textured;
    } cases[] = {
        {"turned", {20.3f, 45.1f, 31.7f, 6.9f}, {4.2f, 18.6f, 42.0f, 27.6f}, {1, 1, 1, 1}, true},
        {"axis aligned", {3.5f, 40.25f, 40.25f, 3.5f}, {2.0f, 2.0f, 30.75f, 30.75f}, {1, 1, 1, 1}, true},
        {"gradient", {2.0f, 44.0f, 44.0f, 2.0f}, {3.0f, 3.0f, 40.0f, 40.0f}, {0.2f, 0.9f, 0.5f, 0.1f}, false},
        {"bow tie", {2.0f, 44.0f, 2.0f, 44.0f}, {3.0f, 40.0f, 40.0f, 3.0f}, {0.5f, 0.5f, 0.5f, 0.5f}, false},
        {"first half flat", {2.0f, 20.0f, 38.0f, 10.0f}, {2.0f, 20.0f, 38.0f, 40.0f}, {0.7f, 0.7f, 0.7f, 0.7f}, false},
        {"clipped", {-30.0f, 70.0f, 70.0f, -30.0f}, {-10.0f, -10.0f, 60.0f, 60.0f}, {1, 1, 1, 1}, true},
    };
    for (const Case& c : cases) {
        for (bool bilinear : {false, true}) {
            RasterVertex v[4];
            float us[4] = {0, 24, 24, 0}, vs[4] = {0, 0, 20, 20};
            for (int i = 0; i < 4; ++i) {
                v[i].x = c.xs[i], v[i].y = c.ys[i], v[i].u = us[i], v[i].v = vs[i];
                v[i].r = 0.9f, v[i].g = 0.5f, v[i].b = 0.2f, v[i].a = c.alphas[i];
            }
            Surface one(PixelFormat::kArgb8888, 48, 48), two(PixelFormat::kArgb8888, 48, 48);
            one.Noise(8);
            two.Noise(8);
            one.target.clipX0 = two.target.clipX0 = 1;
            one.target.clipY1 = two.target.clipY1 = 45;
            int flags = SoftwareRasterizer::kBlended | (c.textured ? SoftwareRasterizer::kTextured : 0);
            const RasterTexture* t = c.textured ? &tex : nullptr;
            SoftwareRasterizer::RasterizeQuad(flags, one.target, v, t, bilinear);
            RasterVertex second[3] = {v[0], v[2], v[3]};
            SoftwareRasterizer::RasterizeTriangle(c.textured, false, true, false, two.target, v, t, bilinear);
            SoftwareRasterizer::RasterizeTriangle(c.textured, false, true, false, two.target, second, t, bilinear);
            Surface plain(PixelFormat::kArgb8888, 48, 48);
            plain.Noise(8);
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 48; ++x) {
                    uint32_t a = one.At(x, y), b = two.At(x, y), orig = plain.At(x, y);
                    ASSERT_EQ(a == orig, b == orig) << c.name << " pixel " << x << "," << y;
                    for (int shift = 0; shift < 24; shift += 8)
                        ASSERT_LE(std::abs(Channel(a, shift) - Channel(b, shift)), 1)
                            << c.name << " pixel " << x << "," << y << std::hex << " " << a << " vs " << b;
                }
            }
        }
    }
}

// 16-bit targets blend through widened scanlines: the result must equal drawing onto the
// widened picture in 32 bits and narrowing it, bit for bit, across the 256-pixel chunks,
// the opaque-row copy, clipping and the filtered spans.
TEST(RasterSpeedPath, SixteenBitTargetsEqualNarrowed32BitDrawing) {
    const int w = 600, h = 40;
    std::vector<uint32_t> sprite = MixedTexels(540, 30, 21);
    for (int x = 0; x < 540; ++x) sprite[size_t(5) * 540 + x] |= 0xFF000000u;  // a row of one opaque run
    for (int x = 0; x < 540; ++x) sprite[size_t(6) * 540 + x] = 0;             // and a clear row
    std::vector<uint32_t> runs, rowRuns;
    ASSERT_TRUE(SoftwareRasterizer::BuildRuns(sprite.data(), 540, 30, runs, rowRuns));
    RasterTexture tex{sprite.data(), 540, 30, runs.data(), rowRuns.data()};
    enum Draw { kBlit, kBlitTinted, kBlitAdd, kScaled, kTurnedTinted };
    for (PixelFormat f : {PixelFormat::kRgb565, PixelFormat::kRgb555}) {
        for (Draw draw : {kBlit, kBlitTinted, kBlitAdd, kScaled, kTurnedTinted}) {
            Surface narrow(f, w, h), wide(PixelFormat::kArgb8888, w, h);
            std::mt19937 rng(17);
            // 5-5-5 pixels keep their unused top bit clear, as every write leaves it.
            uint16_t mask = f == PixelFormat::kRgb555 ? 0x7FFF : 0xFFFF;
            for (int i = 0; i < w * h; ++i) reinterpret_cast<uint16_t*>(narrow.storage.data())[i] = uint16_t(rng() & mask);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) SoftwareRasterizer::WritePixel(wide.target, x, y, narrow.At(x, y));
            for (Surface* s : {&narrow, &wide}) {
                s->target.clipX0 = 3;
                s->target.clipX1 = w - 5;
                RasterVertex v[4];
                switch (draw) {
                    case kBlit: SoftwareRasterizer::BlitSprite(s->target, tex, 20, 4, 0xFFFFFFFF, false); break;
                    case kBlitTinted: SoftwareRasterizer::BlitSprite(s->target, tex, -7, 6, 0xC080FF40, false); break;
                    case kBlitAdd: SoftwareRasterizer::BlitSprite(s->target, tex, 70, 2, 0xFFFFFFFF, true); break;
                    case kScaled:
                        SpriteQuad(540, 30, 0.0f, 1.05f, w / 2.0f, h / 2.0f, v);
                        SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended,
                                                          s->target, v, &tex, true);
                        break;
                    case kTurnedTinted:
                        SpriteQuad(540, 30, 3.0f, 1.0f, w / 2.0f, h / 2.0f, v);
                        for (RasterVertex& c : v) c.r = 0.5f, c.a = 0.75f;
                        SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended |
                                                              SoftwareRasterizer::kTinted | SoftwareRasterizer::kAdditive,
                                                          s->target, v, &tex, true);
                        break;
                }
            }
            Surface expected(f, w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) SoftwareRasterizer::WritePixel(expected.target, x, y, wide.At(x, y));
            ASSERT_EQ(expected.storage, narrow.storage) << "format " << int(f) << " drawing " << draw;
        }
    }
}

// Additive rows are added whole: clear texels must leave every target pixel as it was, for
// every width and position a row's last group of eight can end at, clipped or not.
TEST(RasterSpeedPath, AdditiveRowsLeaveClearTexelsAlone) {
    for (int width = 1; width <= 19; ++width) {
        std::vector<uint32_t> texels(size_t(width) * 3, 0);
        texels[size_t(width) + width / 2] = SoftwareRasterizer::Premultiply(0x80FFFFFF);
        std::vector<uint32_t> runs, rowRuns;
        ASSERT_TRUE(SoftwareRasterizer::BuildRuns(texels.data(), width, 3, runs, rowRuns));
        RasterTexture tex{texels.data(), width, 3, runs.data(), rowRuns.data()};
        for (int x : {-3, 0, 5, 14}) {
            Surface s(PixelFormat::kArgb8888, 24, 5), plain(PixelFormat::kArgb8888, 24, 5);
            s.Noise(2);
            plain.Noise(2);
            s.target.clipX1 = 20;
            SoftwareRasterizer::BlitSprite(s.target, tex, x, 1, 0xFFFFFFFF, true);
            int lit = x + width / 2;
            for (int y = 0; y < 5; ++y) {
                for (int px = 0; px < 24; ++px) {
                    bool changed = s.At(px, y) != plain.At(px, y);
                    bool mayChange = y == 2 && px == lit && px >= 0 && px < 20;
                    if (!mayChange) {
                        ASSERT_FALSE(changed) << "width " << width << " at " << x << " pixel " << px << "," << y;
                    }
                }
            }
        }
    }
}

// Hostile vertices never crash or write outside the target: NaN and huge texture positions,
// one-texel-wide textures filtered, and quads far outside.
TEST(RasterSpeedPath, HostileQuadsStayInside) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    uint32_t texel[3] = {0xFF102030, 0x80402010, 0xFFFFFFFF};
    struct Case {
        float u0, v0, u1, v1;
        int tw, th;
        float x0, x1;
    } cases[] = {
        {nan, 0, 4, 4, 1, 3, 2, 14},         {0, 0, 1e9f, -1e9f, 3, 1, 2, 14}, {-4e9f, 2, 4e9f, 9, 1, 1, 2, 14},
        {0, 0, 3, 1, 3, 1, -5e5f, 5e5f},     {0, 0, 1, 3, 1, 3, 1.0e7f, 2.0e7f},
    };
    for (const Case& c : cases) {
        for (PixelFormat f : {PixelFormat::kArgb8888, PixelFormat::kRgb565}) {
            std::vector<uint32_t> guard(16 * 16 + 64, 0x5A5A5A5A);
            RasterTarget t;
            t.pixels = guard.data() + 32;
            t.width = 16, t.height = 16, t.pitch = f == PixelFormat::kArgb8888 ? 64 : 32, t.format = f;
            t.clipX1 = 16, t.clipY1 = 16;
            RasterTexture tex{texel, c.tw, c.th};
            RasterVertex v[4];
            float xs[4] = {c.x0, c.x1, c.x1, c.x0}, ys[4] = {1, 1, 15, 15};
            float us[4] = {c.u0, c.u1, c.u1, c.u0}, vs[4] = {c.v0, c.v0, c.v1, c.v1};
            for (int i = 0; i < 4; ++i) v[i].x = xs[i], v[i].y = ys[i], v[i].u = us[i], v[i].v = vs[i];
            SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended, t, v, &tex, true);
            for (int i = 0; i < 32; ++i) {
                ASSERT_EQ(0x5A5A5A5Au, guard[size_t(i)]) << "before the target";
                ASSERT_EQ(0x5A5A5A5Au, guard[guard.size() - 1 - size_t(i)]) << "after the target";
            }
        }
    }
}

}  // namespace

namespace {

// Every kind of blit, at widths around each loop's group size and at odd places, onto noise.
std::vector<uint32_t> DrawEveryBlit(PixelFormat format) {
    Surface surface(format, 96, 64);
    surface.Noise(17);
    const uint32_t tints[] = {0xFFFFFFFFu, 0xFFFF8040u, 0xC0FF8040u, 0x80FFFFFFu, 0x10204080u};
    const int widths[] = {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64};
    int place = 0;
    for (int w : widths) {
        std::vector<uint32_t> texels = MixedTexels(w, 6, uint32_t(w));
        std::vector<uint32_t> runs, rowRuns;
        EXPECT_TRUE(SoftwareRasterizer::BuildRuns(texels.data(), w, 6, runs, rowRuns));
        RasterTexture texture;
        texture.pixels = texels.data();
        texture.width = w;
        texture.height = 6;
        texture.runs = runs.data();
        texture.rowRuns = rowRuns.data();
        for (uint32_t tint : tints)
            for (bool additive : {false, true}) {
                ++place;
                SoftwareRasterizer::BlitSprite(surface.target, texture, (place * 13) % 90 - 5, (place * 7) % 60 - 3,
                                               tint, additive);
            }
    }
    SoftwareRasterizer::FillRect(surface.target, 3, 5, 80, 40, 0x80336699u, false);
    SoftwareRasterizer::FillRect(surface.target, 1, 2, 61, 30, 0x40FF8000u, true);
    std::vector<uint32_t> out;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) out.push_back(surface.At(x, y));
    return out;
}

}  // namespace

TEST(RasterSpeedPath, EveryLoopWidthBlitsTheSamePixels) {
    using Loops = SoftwareRasterizer::VectorLoops;
    const Loops widest = SoftwareRasterizer::WidestLoops();
    for (PixelFormat format : {PixelFormat::kArgb8888, PixelFormat::kRgb565}) {
        SoftwareRasterizer::LimitLoops(Loops::kSse2);
        std::vector<uint32_t> reference = DrawEveryBlit(format);
        for (Loops loops : {Loops::kSse41, Loops::kAvx2}) {
            SoftwareRasterizer::LimitLoops(loops);
            if (SoftwareRasterizer::WidestLoops() != loops) continue;  // the processor lacks them
            std::vector<uint32_t> drawn = DrawEveryBlit(format);
            size_t differences = 0;
            for (size_t i = 0; i < drawn.size(); ++i) differences += drawn[i] != reference[i];
            EXPECT_EQ(differences, 0u) << "loops " << int(loops) << ", format " << int(format);
        }
    }
    SoftwareRasterizer::LimitLoops(widest);
}

namespace {

// Filtered quads, turned and scaled, tinted or not, over and added, onto noise.
std::vector<uint32_t> DrawFilteredQuads() {
    Surface surface(PixelFormat::kArgb8888, 128, 96);
    surface.Noise(23);
    std::vector<uint32_t> texels = MixedTexels(21, 13, 5);
    RasterTexture texture;
    texture.pixels = texels.data();
    texture.width = 21;
    texture.height = 13;
    const struct {
        float degrees, scale;
    } poses[] = {{0, 1.0f}, {0, 1.7f}, {0, 0.6f}, {30, 1.0f}, {-75, 2.3f}, {180, 0.9f}, {0.5f, 3.0f}};
    const float tints[][4] = {{1, 1, 1, 1}, {1, 0.5f, 0.25f, 1}, {0.8f, 0.9f, 1, 0.6f}};
    int k = 0;
    for (const auto& pose : poses)
        for (const auto& tint : tints)
            for (bool additive : {false, true}) {
                RasterVertex v[4];
                SpriteQuad(21, 13, pose.degrees, pose.scale, 10.3f + float(k * 17 % 110), 7.7f + float(k * 11 % 80), v);
                for (RasterVertex& c : v) c.r = tint[0], c.g = tint[1], c.b = tint[2], c.a = tint[3];
                int flags = SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended;
                if (tint[3] != 1 || tint[1] != 1) flags |= SoftwareRasterizer::kTinted;
                if (additive) flags |= SoftwareRasterizer::kAdditive;
                SoftwareRasterizer::RasterizeQuad(flags, surface.target, v, &texture, true);
                ++k;
            }
    return surface.storage;
}

}  // namespace

TEST(RasterSpeedPath, FourAndEightPixelFilteredSpansDrawTheSamePixels) {
    using Loops = SoftwareRasterizer::VectorLoops;
    const Loops widest = SoftwareRasterizer::WidestLoops();
    if (widest != Loops::kAvx2) GTEST_SKIP() << "the processor has no AVX2 to compare with";
    std::vector<uint32_t> eight = DrawFilteredQuads();
    SoftwareRasterizer::LimitLoops(Loops::kSse41);
    std::vector<uint32_t> four = DrawFilteredQuads();
    SoftwareRasterizer::LimitLoops(widest);
    size_t differences = 0;
    for (size_t i = 0; i < four.size(); ++i) differences += four[i] != eight[i];
    EXPECT_EQ(differences, 0u);
    EXPECT_NE(eight, std::vector<uint32_t>(eight.size(), eight[0])) << "something was drawn";
}
