// The software rasterizer beside pixman on identical premultiplied buffers (fixed seeds). Run
// pinned with repetitions and random interleaving, e.g.
//   taskset -c 1 drawing_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
// items_per_second is pixels per second of sprite area.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Image.h"
#include "engine/draw/SoftwareGraphics.h"
#include "engine/draw/SoftwareRasterizer.h"
#include "engine/draw/Sprite.h"

namespace {

// A sprite picture, straight alpha: "translucent" has every pixel between 1 and 254; "mixed" is a
// disc: opaque inside, clear corners, a soft rim, like most game sprites.
std::vector<uint32_t> MakeSprite(int w, int h, bool mixed, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> px(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t a;
            if (mixed) {
                double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0, r = std::sqrt(dx * dx + dy * dy) / (w / 2.0);
                a = r < 0.8 ? 255 : (r > 1.0 ? 0 : uint32_t((1.0 - r) / 0.2 * 255));
            } else {
                a = 1 + rng() % 254;
            }
            px[size_t(y) * w + x] = a << 24 | (rng() & 0xFFFFFF);
        }
    }
    return px;
}

std::vector<uint32_t> Premultiplied(const std::vector<uint32_t>& straight) {
    std::vector<uint32_t> out(straight.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = SoftwareRasterizer::Premultiply(straight[i]);
    return out;
}

struct Ours {
    std::vector<uint32_t> dst;
    std::vector<uint16_t> dst16;
    RasterTarget target;
    Ours(int w, int h, PixelFormat f = PixelFormat::kArgb8888) {
        std::mt19937 rng(99);
        if (f == PixelFormat::kArgb8888) {
            dst.resize(size_t(w) * h);
            for (uint32_t& p : dst) p = 0xFF000000u | (rng() & 0xFFFFFF);
            target.pixels = dst.data();
            target.pitch = w * 4;
        } else {
            dst16.resize(size_t(w) * h);
            for (uint16_t& p : dst16) p = uint16_t(rng());
            target.pixels = dst16.data();
            target.pitch = w * 2;
        }
        target.width = w;
        target.height = h;
        target.format = f;
        target.clipX1 = w;
        target.clipY1 = h;
    }
};

struct Pixman {
    std::vector<uint32_t> dst, src;
    pixman_image_t* dstImage;
    pixman_image_t* srcImage;
    Pixman(int dw, int dh, const std::vector<uint32_t>& premultiplied, int sw, int sh) : src(premultiplied) {
        std::mt19937 rng(99);
        dst.resize(size_t(dw) * dh);
        for (uint32_t& p : dst) p = 0xFF000000u | (rng() & 0xFFFFFF);
        dstImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, dw, dh, dst.data(), dw * 4);
        srcImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, sw, sh, src.data(), sw * 4);
    }
    ~Pixman() {
        pixman_image_unref(dstImage);
        pixman_image_unref(srcImage);
    }
};

struct Runs {
    std::vector<uint32_t> pixels, runs, rowRuns;
    RasterTexture texture;
    Runs(const std::vector<uint32_t>& premultiplied, int w, int h) : pixels(premultiplied) {
        SoftwareRasterizer::BuildRuns(pixels.data(), w, h, runs, rowRuns);
        texture = RasterTexture{pixels.data(), w, h, runs.data(), rowRuns.data()};
    }
};

// ---- untransformed alpha blits ----

void OursOver(benchmark::State& state, int size, bool mixed, PixelFormat format) {
    int dw = size == 800 ? 800 : 256, dh = size == 800 ? 600 : 256;
    int sw = size == 800 ? 800 : size, sh = size == 800 ? 600 : size;
    Runs sprite(Premultiplied(MakeSprite(sw, sh, mixed, 1)), sw, sh);
    Ours ours(dw, dh, format);
    int i = 0;
    for (auto _ : state) {
        int x = size == 800 ? 0 : (i * 37) % (dw - sw), y = size == 800 ? 0 : (i * 53) % (dh - sh);
        SoftwareRasterizer::BlitSprite(ours.target, sprite.texture, x, y, 0xFFFFFFFF, false);
        ++i;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(sw) * sh);
}

void PixmanOver(benchmark::State& state, int size, bool mixed) {
    int dw = size == 800 ? 800 : 256, dh = size == 800 ? 600 : 256;
    int sw = size == 800 ? 800 : size, sh = size == 800 ? 600 : size;
    Pixman p(dw, dh, Premultiplied(MakeSprite(sw, sh, mixed, 1)), sw, sh);
    int i = 0;
    for (auto _ : state) {
        int x = size == 800 ? 0 : (i * 37) % (dw - sw), y = size == 800 ? 0 : (i * 53) % (dh - sh);
        pixman_image_composite32(PIXMAN_OP_OVER, p.srcImage, nullptr, p.dstImage, 0, 0, 0, 0, x, y, sw, sh);
        ++i;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(sw) * sh);
}

BENCHMARK_CAPTURE(OursOver, translucent64, 64, false, PixelFormat::kArgb8888);
BENCHMARK_CAPTURE(PixmanOver, translucent64, 64, false);
BENCHMARK_CAPTURE(OursOver, mixed64, 64, true, PixelFormat::kArgb8888);
BENCHMARK_CAPTURE(PixmanOver, mixed64, 64, true);
BENCHMARK_CAPTURE(OursOver, translucent800x600, 800, false, PixelFormat::kArgb8888);
BENCHMARK_CAPTURE(PixmanOver, translucent800x600, 800, false);
BENCHMARK_CAPTURE(OursOver, mixed800x600, 800, true, PixelFormat::kArgb8888);
BENCHMARK_CAPTURE(PixmanOver, mixed800x600, 800, true);
BENCHMARK_CAPTURE(OursOver, translucent64_565, 64, false, PixelFormat::kRgb565);
BENCHMARK_CAPTURE(OursOver, mixed64_565, 64, true, PixelFormat::kRgb565);

// ---- tint ----

void OursTint(benchmark::State& state, bool mixed, uint32_t tint) {
    Runs sprite(Premultiplied(MakeSprite(64, 64, mixed, 2)), 64, 64);
    Ours ours(256, 256);
    int i = 0;
    for (auto _ : state) {
        SoftwareRasterizer::BlitSprite(ours.target, sprite.texture, (i * 37) % 192, (i * 53) % 192, tint, false);
        ++i;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK_CAPTURE(OursTint, translucent64_none, false, 0xFFFFFFFFu);
BENCHMARK_CAPTURE(OursTint, translucent64_tinted, false, 0xC0FF8040u);
BENCHMARK_CAPTURE(OursTint, mixed64_none, true, 0xFFFFFFFFu);
BENCHMARK_CAPTURE(OursTint, mixed64_tinted, true, 0xC0FF8040u);
BENCHMARK_CAPTURE(OursTint, mixed64_opaquetint, true, 0xFFFF8040u);

// ---- additive particles ----

void OursAdd(benchmark::State& state) {
    Runs sprite(Premultiplied(MakeSprite(16, 16, true, 3)), 16, 16);
    Ours ours(256, 256);
    int i = 0;
    for (auto _ : state) {
        SoftwareRasterizer::BlitSprite(ours.target, sprite.texture, (i * 37) % 240, (i * 53) % 240, 0xFFFFFFFF, true);
        ++i;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 16 * 16);
}
void PixmanAdd(benchmark::State& state) {
    Pixman p(256, 256, Premultiplied(MakeSprite(16, 16, true, 3)), 16, 16);
    int i = 0;
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_ADD, p.srcImage, nullptr, p.dstImage, 0, 0, 0, 0, (i * 37) % 240,
                                 (i * 53) % 240, 16, 16);
        ++i;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 16 * 16);
}
BENCHMARK(OursAdd)->Name("OursAdd/particle16");
BENCHMARK(PixmanAdd)->Name("PixmanAdd/particle16");

// ---- rotated and scaled 64x64 sprites, bilinear ----

void Corners(float degrees, float scale, float cx, float cy, RasterVertex* v) {
    float c = std::cos(degrees * 3.14159265f / 180.0f) * scale, s = std::sin(degrees * 3.14159265f / 180.0f) * scale;
    float xs[4] = {-32, 32, 32, -32}, ys[4] = {-32, -32, 32, 32}, us[4] = {0, 64, 64, 0}, vs[4] = {0, 0, 64, 64};
    for (int i = 0; i < 4; ++i) {
        v[i].x = cx + c * xs[i] - s * ys[i];
        v[i].y = cy + s * xs[i] + c * ys[i];
        v[i].u = us[i];
        v[i].v = vs[i];
    }
}

void OursTransformed(benchmark::State& state, float degrees, float scale) {
    Runs sprite(Premultiplied(MakeSprite(64, 64, true, 4)), 64, 64);
    Ours ours(256, 256);
    RasterVertex v[4];
    Corners(degrees, scale, 128, 128, v);
    for (auto _ : state) {
        SoftwareRasterizer::RasterizeQuad(SoftwareRasterizer::kTextured | SoftwareRasterizer::kBlended, ours.target, v,
                                          &sprite.texture, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}

void PixmanTransformed(benchmark::State& state, float degrees, float scale) {
    Pixman p(256, 256, Premultiplied(MakeSprite(64, 64, true, 4)), 64, 64);
    // Destination to source: translate the centre, undo rotation and scale.
    double r = degrees * 3.14159265358979 / 180.0, c = std::cos(r) / scale, s = std::sin(r) / scale;
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    // src = M * (dst - centre) + 32, with M the inverse rotation-scale; bounds cover the sprite.
    double extent = 32 * scale * 1.5;
    double ox = 128 - extent, oy = 128 - extent;
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = c, f.m[0][1] = s, f.m[0][2] = c * (ox - 128) + s * (oy - 128) + 32;
    f.m[1][0] = -s, f.m[1][1] = c, f.m[1][2] = -s * (ox - 128) + c * (oy - 128) + 32;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(p.srcImage, &t);
    pixman_image_set_filter(p.srcImage, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(p.srcImage, PIXMAN_REPEAT_NONE);
    int size = int(2 * extent);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, p.srcImage, nullptr, p.dstImage, 0, 0, 0, 0, int(ox), int(oy), size,
                                 size);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK_CAPTURE(OursTransformed, rotated30, 30.0f, 1.0f);
BENCHMARK_CAPTURE(PixmanTransformed, rotated30, 30.0f, 1.0f);
BENCHMARK_CAPTURE(OursTransformed, scaled1_5, 0.0f, 1.5f);
BENCHMARK_CAPTURE(PixmanTransformed, scaled1_5, 0.0f, 1.5f);
BENCHMARK_CAPTURE(OursTransformed, rotated45_scaled0_8, 45.0f, 0.8f);
BENCHMARK_CAPTURE(PixmanTransformed, rotated45_scaled0_8, 45.0f, 0.8f);

// ---- the reference scene through the whole device ----

void Scene(benchmark::State& state, int width, int height, PixelFormat format) {
    SoftwareGraphics device(width, height, format);
    device.Init(nullptr);
    Image background;
    background.Create(800, 600);
    std::mt19937 rng(5);
    for (uint32_t& p : background.mPixels) p = 0xFF000000u | (rng() & 0xFFFFFF);
    Sprite back, ball, spark;
    back.SetImage(background);
    Image ballPicture, sparkPicture;
    ballPicture.Create(60, 60);
    ballPicture.mPixels = MakeSprite(60, 60, true, 6);
    sparkPicture.Create(16, 16);
    sparkPicture.mPixels = MakeSprite(16, 16, true, 7);
    ball.SetImage(ballPicture);
    spark.SetImage(sparkPicture);
    struct Item {
        float x, y, angle, scale;
    };
    std::vector<Item> balls(150), sparks(300);
    for (size_t i = 0; i < balls.size(); ++i) {
        balls[i] = Item{float(rng() % 740), float(rng() % 540), 0.0f, 1.0f};
        if (i % 3 == 0) balls[i].angle = float(rng() % 360), balls[i].scale = 0.6f + float(rng() % 80) / 100.0f;
    }
    for (Item& s : sparks) s = Item{float(rng() % 784), float(rng() % 584), 0.0f, 1.0f};
    for (auto _ : state) {
        device.BeginFrame();
        back.Draw(0, 0);
        for (const Item& b : balls) {
            if (b.angle != 0.0f || b.scale != 1.0f) ball.DrawRotatedScaled(b.x + 30, b.y + 30, b.angle, b.scale);
            else ball.Draw(b.x, b.y);
        }
        device.SetBlend(GraphicsDevice::Blend::kAdditive);
        device.SetColor(1.0f, 0.8f, 0.4f, 1.0f);
        for (const Item& s : sparks) spark.Draw(s.x, s.y);
        device.SetBlend(GraphicsDevice::Blend::kNormal);
        device.ResetColor();
        device.DrawSystemText(10, 10, "SCORE 123456  LEVEL 12  FPS: 100");
        device.EndFrame();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    // QS_SCENE_PNG=folder keeps a picture of the last frame, to look at what was measured.
    if (const char* folder = std::getenv("QS_SCENE_PNG")) {
        device.WritePng(std::string(folder) + "/scene" + std::to_string(width) + "-" + std::to_string(int(format)) +
                        ".png");
    }
}
BENCHMARK_CAPTURE(Scene, reference800x600, 800, 600, PixelFormat::kArgb8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Scene, reference640x480, 640, 480, PixelFormat::kArgb8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Scene, reference800x600_565, 800, 600, PixelFormat::kRgb565)->Unit(benchmark::kMicrosecond);

}  // namespace
