// The journey's sky: the random stars and the planets painted onto the sky picture. The order of
// the random draws is fixed, so a seeded run paints the same sky.
#include "game/journey/Starfield.h"

#include "engine/draw/ColorTable.h"
#include "engine/draw/Image.h"
#include "engine/draw/Sprite.h"
#include "board/BoardRandom.h"

namespace {

constexpr float kSizes[5] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f};
constexpr float kStarAlpha = 0.8f;

}  // namespace

void Starfield::Paint(Image& canvas, const Image stars[3], const Image planets[4], BoardRandom& random) {
    // Sprite 5 × kind + size: each star picture in the five sizes.
    Image sized[15];
    for (int kind = 0; kind < 3; ++kind)
        for (int size = 0; size < 5; ++size) {
            const Image& star = stars[kind];
            if (star.Empty()) continue;
            int w = static_cast<int>(float(star.mWidth) * kSizes[size] + 0.5f);
            int h = static_cast<int>(float(star.mHeight) * kSizes[size] + 0.5f);
            if (w > 0 && h > 0) sized[5 * kind + size] = star.Resized(w, h);
        }

    // Without the sky picture the draws still follow its size, so the sequence never changes.
    int width = canvas.Empty() ? kWidth : canvas.mWidth;
    int height = canvas.Empty() ? 2 * kHalfHeight : canvas.mHeight;
    for (int i = 0; i < kStars; ++i) {
        int size = random.Range(5);
        int kind = 0;
        if (random.Range(5) == 3) kind = random.Range(3);
        ColorTable::Color color = ColorTable::Get(random.Range(5));
        int x = random.Range(width);
        int y = random.Range(height);
        const Image& star = sized[5 * kind + size];
        if (!star.Empty()) canvas.Paint(star, x, y, color.r, color.g, color.b, kStarAlpha);
    }

    // Earth, the moon on one side of it or the other, mars anywhere across, jupiter cut off at
    // the top.
    canvas.Paint(planets[0], 260, 800);
    canvas.Paint(planets[1], random.Range(2) == 0 ? 600 : 100, 900);
    canvas.Paint(planets[2], random.Range(650), 400);
    canvas.Paint(planets[3], 200, -200);
}

bool Starfield::Make(BoardRandom& random, Sprite& upper, Sprite& lower) {
    Image canvas, stars[3], planets[4];
    const char* const kStarNames[3] = {"Graphics\\star1", "Graphics\\star2", "Graphics\\star3"};
    const char* const kPlanetNames[4] = {"Graphics\\earth", "Graphics\\moon", "Graphics\\mars", "Graphics\\jupiter"};
    bool ok = canvas.Load("Graphics\\journeyscreen");
    for (int i = 0; i < 3; ++i) stars[i].Load(kStarNames[i]);
    for (int i = 0; i < 4; ++i) planets[i].Load(kPlanetNames[i]);
    Paint(canvas, stars, planets, random);
    if (!ok || canvas.Empty()) {
        upper.Clear();
        lower.Clear();
        return false;
    }
    upper.SetImage(Image(canvas, 0, 0, kWidth, kHalfHeight));
    lower.SetImage(Image(canvas, 0, kHalfHeight, kWidth, kHalfHeight));
    return true;
}
