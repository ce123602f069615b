// Text and particles on the software device: one 40-character line, and 1,000 particles
// updated and drawn for one step.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/core/ObjectManager.h"
#include "engine/draw/Font.h"
#include "engine/draw/Image.h"
#include "engine/draw/Particle.h"
#include "engine/draw/SoftwareGraphics.h"
#include "engine/draw/Sprite.h"
#include "persistence/DataBuffer.h"

namespace {

// A text-form font of 95 printable glyphs, 12 x 16 each, cut from a generated layer.
void MakeFont(Font& font) {
    std::string chars, widths, rects;
    for (int c = 33; c < 127; ++c) {
        if (c == '\'') continue;
        int i = c - 33;
        chars += std::string(chars.empty() ? "" : ",") + "'" + char(c) + "'";
        widths += std::string(widths.empty() ? "" : ",") + "12";
        rects += std::string(rects.empty() ? "" : ",") + "(" + std::to_string((i % 16) * 12) + "," +
                 std::to_string((i / 16) * 16) + ",12,16)";
    }
    std::string text = "Define CharList (" + chars + "); Define WidthList (" + widths + "); Define RectList (" +
                       rects + "); LayerSetCharWidths 0 (' ') 6;";
    DataBuffer buffer;
    buffer.SetData(text.data(), text.size());
    font.ReadText(buffer, "", false);
    Image layer;
    layer.Create(192, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 192; ++x) *layer.PixelAt(x, y) = ((x + y) % 3) ? 0xFFFFFFFFu : 0x80FFFFFFu;
    font.BuildTextGlyphs(layer);
    font.MakeSprites();
    font.mLoaded = true;
}

void BM_DrawTextLine(benchmark::State& state) {
    SoftwareGraphics graphics(800, 600);
    graphics.Init(nullptr);
    graphics.BeginFrame();
    Font font;
    MakeFont(font);
    const std::string line = "The quick brown fox jumps over a lazy do";  // 40 characters
    for (auto _ : state) font.DrawText(line, 20.0f, 300.0f);
    state.SetItemsProcessed(state.iterations() * int64_t(line.size()));
}
BENCHMARK(BM_DrawTextLine);

void BM_ThousandParticlesOneStep(benchmark::State& state) {
    SoftwareGraphics graphics(800, 600);
    graphics.Init(nullptr);
    graphics.BeginFrame();
    Image glow;
    glow.Create(16, 16, 0xC0FFFF80u);
    Sprite sprite;
    sprite.SetImage(glow);
    ObjectManager manager;
    for (int i = 0; i < 1000; ++i) {
        auto* p = new Particle;
        p->mSprite = &sprite;
        p->mPos = {float((i * 37) % 800), float((i * 53) % 600)};
        p->mDirection = {float(i % 7) - 3.0f, float(i % 5) - 2.0f};
        p->mKeepWhenTransparent = p->mKeepWhenShrunk = p->mKeepOffscreen = true;
        p->AddScript(i % 2 ? "mScale+=.0001f;mColor.mAlpha-=.0001f" : "mDirection.mY+=.001f;mRotation--");
        manager.Add(p);
    }
    for (auto _ : state) {
        manager.Update();
        manager.Draw();
    }
}
BENCHMARK(BM_ThousandParticlesOneStep);

}  // namespace
