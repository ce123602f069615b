// Text and particles on the software device: glyphs land where their offsets put them, the pen
// skips what the font lacks, and particles draw tinted and scaled under their transform.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/draw/Font.h"
#include "engine/draw/Image.h"
#include "engine/draw/Particle.h"
#include "engine/draw/SoftwareGraphics.h"
#include "engine/draw/Sprite.h"
#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kClear = 0u;

struct Device {
    SoftwareGraphics graphics{800, 600};
    Device() {
        EXPECT_TRUE(graphics.Init(nullptr));
        graphics.BeginFrame();
    }
    // Colour bits only: the back buffer keeps no alpha worth comparing.
    uint32_t At(int x, int y) const { return SoftwareRasterizer::ReadPixel(graphics.Target(), x, y) & 0xFFFFFFu; }
};

// A ".cached" picture under the data folder: width, height, pixels, no extra block.
void WriteCached(const std::string& gamePath, int w, int h, const std::vector<uint32_t>& pixels) {
    DataBuffer b;
    b.WriteInt(w);
    b.WriteInt(h);
    b.WriteBytes(pixels.data(), int32_t(pixels.size() * 4));
    b.WriteInt(0);
    ASSERT_TRUE(b.Save(gamePath));
}

// A 6x3 layer: a red 3x3 block, then a green one.
std::vector<uint32_t> Layer() {
    std::vector<uint32_t> p(18);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) p[size_t(y * 6 + x)] = x < 3 ? kRed : kGreen;
    return p;
}

}  // namespace

TEST(FontDraw, TextFormGlyphsLandAtTheirOffsetsAndSkipWhatIsMissing) {
    TestSupport::UseFreshDataFolder();
    Files::CreateDirectories("Fonts");
    WriteCached("Fonts\\layer.cached", 6, 3, Layer());
    std::string text = "Define CharList ('R','G'); Define WidthList (5,7); Define RectList ((0,0,3,3),(3,0,3,3));"
                       "Define OffsetList ((0,0),(1,2)); LayerSetImage 0 'layer.png'; LayerSetCharWidths 0 (' ') 4;";
    ASSERT_TRUE(Files::WriteWholeAtomic("Fonts\\test.txt", text.data(), text.size()));
    Font font;
    ASSERT_TRUE(font.Load("fonts\\TEST"));
    ASSERT_TRUE(font.mGlyphs[int('R')].mSprite);
    EXPECT_EQ(font.mGlyphs[int('R')].mSprite->Width(), 5);  // the cut carries a clear border

    Device d;
    // "R", an absent "z", a byte above 127, "G", a space, "R"; then the second line.
    font.DrawText("Rz\xE9G R\nG", 10, 20);
    struct Probe {
        int x, y;
        uint32_t colour;
    } probes[] = {
        {10, 20, kRed},   {12, 22, kRed},   {13, 20, kClear}, {9, 20, kClear},   // R at pen 10
        {15, 21, kClear}, {16, 22, kGreen}, {18, 24, kGreen}, {19, 24, kClear},  // G at 15 + (1,2)
        {26, 20, kRed},   {28, 22, kRed},                                        // R after 15+7+4
        {11, 25, kGreen}, {13, 27, kGreen}, {10, 25, kClear},  // line 2: y 20 + the tallest rectangle
    };
    for (const Probe& p : probes)
        EXPECT_EQ(d.At(p.x, p.y), p.colour & 0xFFFFFFu) << "pixel " << p.x << "," << p.y;
}

TEST(FontDraw, DescriptionFormCutsGlyphsFromItsPages) {
    TestSupport::UseFreshDataFolder();
    Files::CreateDirectories("big");
    WriteCached("big\\data0.cached", 6, 3, Layer());
    DataBuffer b;
    b.WriteInt(1);
    b.WriteInt(3);
    auto record = [&](char c, int x, float w, int advance) {
        b.WriteByte(uint8_t(c));
        b.WriteInt(0);
        b.WriteInt(x);
        b.WriteInt(0);
        b.WriteFloat(w);
        b.WriteFloat(2.0f);
        b.WriteInt(advance);
        b.WriteInt(0);
        b.WriteInt(0);
    };
    record('G', 3, 2.0f, 4);  // 2 + 1 pixels wide
    record('G', 0, 2.0f, 9);  // a second record for G is ignored
    record('R', 0, 2.0f, 4);
    ASSERT_TRUE(b.Save("big\\font.description"));
    Font font;
    ASSERT_TRUE(font.Load("big"));
    Device d;
    font.DrawText("GR", 50, 50);
    EXPECT_EQ(d.At(50, 50), kGreen & 0xFFFFFFu);
    EXPECT_EQ(d.At(52, 52), kGreen & 0xFFFFFFu);
    EXPECT_EQ(d.At(54, 50), kRed & 0xFFFFFFu);
    EXPECT_EQ(font.TextWidth("GR"), 8);
}

TEST(ParticleDraw, TintedScaledAndCentredOnItsPosition) {
    Device d;
    Image white;
    white.Create(4, 4, 0xFFFFFFFFu);
    Sprite sprite;
    sprite.SetImage(white);
    Particle p;
    p.mSprite = &sprite;
    p.mPos = {100, 50};
    p.mScale = 2.0f;
    p.mColor = {1, 0, 0, 1};
    p.Draw();
    EXPECT_EQ(d.At(100, 50), 0xFF0000u);
    EXPECT_EQ(d.At(93, 50), 0u);
    EXPECT_EQ(d.At(96, 46), 0xFF0000u);  // 8 x 8 around the centre
    EXPECT_EQ(d.At(103, 53), 0xFF0000u);
    EXPECT_EQ(d.At(105, 50), 0u);
    // The device colour is opaque white again afterwards.
    EXPECT_EQ(d.graphics.mColor[1], 1.0f);
    // Its box now has the sprite's size: 256 beyond the edge plus half the sprite.
    Particle edge;
    edge.mSprite = &sprite;
    edge.mPos = {-257.5f, 50};
    edge.Update();
    EXPECT_FALSE(edge.mKilled);
    edge.mPos = {-258.5f, 50};
    edge.Update();
    EXPECT_TRUE(edge.mKilled);
}
