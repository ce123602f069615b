// The journey's sky painted from plain test pictures: the planets always in their places (the
// moon on one of its two, jupiter cut off at the top), stars in the five table colours, and a
// different sky for a different seed.
#include <gtest/gtest.h>

#include <set>

#include "engine/draw/Image.h"
#include "board/BoardRandom.h"
#include "game/journey/Starfield.h"

namespace {

constexpr uint32_t kSky = 0xFF000000u;
constexpr uint32_t kEarth = 0xFF0000FEu, kMoon = 0xFF808081u, kMars = 0xFFFE0000u, kJupiter = 0xFFFEFE00u;

struct Pictures {
    Image canvas, stars[3], planets[4];
    Pictures() {
        canvas.Create(800, 1200, kSky);
        stars[0].Create(24, 24, 0xFFFFFFFFu);
        stars[1].Create(24, 24, 0xFFFFFFFFu);
        stars[2].Create(16, 16, 0xFFFFFFFFu);
        planets[0].Create(140, 140, kEarth);
        planets[1].Create(64, 64, kMoon);
        planets[2].Create(96, 96, kMars);
        planets[3].Create(360, 360, kJupiter);
    }
    uint32_t At(int x, int y) const { return *canvas.PixelAt(x, y); }
};

TEST(Starfield, PlanetsAlwaysAppearInTheirPlaces) {
    std::set<int> moonPlaces;
    for (uint32_t seed = 0; seed < 10; ++seed) {
        Pictures p;
        BoardRandom random(seed);
        Starfield::Paint(p.canvas, p.stars, p.planets, random);
        EXPECT_EQ(p.At(260 + 70, 800 + 70), kEarth) << seed;
        // Jupiter hangs over the top edge of the upper half: its lower part only.
        EXPECT_EQ(p.At(200 + 180, 0), kJupiter) << seed;
        EXPECT_EQ(p.At(200 + 180, 159), kJupiter) << seed;
        EXPECT_NE(p.At(200 + 180, 161), kJupiter) << seed;
        bool right = p.At(600 + 32, 900 + 32) == kMoon, left = p.At(100 + 32, 900 + 32) == kMoon;
        EXPECT_NE(right, left) << "the moon is at x 600 or x 100, seed " << seed;
        moonPlaces.insert(right ? 600 : 100);
        int marsColumns = 0;
        for (int x = 0; x < 800; ++x) marsColumns += p.At(x, 448) == kMars;
        EXPECT_EQ(marsColumns, 96) << seed;
    }
    EXPECT_EQ(moonPlaces.size(), 2u);
}

TEST(Starfield, StarsUseTheFirstFiveTableColoursAndDifferBySeed) {
    Pictures a, b;
    BoardRandom first(1), second(2);
    Starfield::Paint(a.canvas, a.stars, a.planets, first);
    Starfield::Paint(b.canvas, b.stars, b.planets, second);
    int differing = 0, starPixels = 0;
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 800; ++x) {
            uint32_t pixel = a.At(x, y);
            differing += pixel != b.At(x, y);
            if (pixel == kSky || pixel == kEarth || pixel == kMoon || pixel == kMars || pixel == kJupiter) continue;
            ++starPixels;
            // White at 0.8 over black (or over another star) in red, orange, yellow, green or
            // cyan: blue only ever comes with green, and the sky's blue stays 0 under red alone.
            int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, bl = pixel & 255;
            EXPECT_TRUE(r > 0 || g > 0) << std::hex << pixel;
            if (bl > 0) {
                EXPECT_GT(g, 0) << std::hex << pixel;
            }
        }
    EXPECT_GT(starPixels, 2000);
    EXPECT_GT(differing, 2000);
}

}  // namespace
