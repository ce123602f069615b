// The journey's night sky, painted anew at every start: 200 stars of three kinds, five sizes and
// five colours and four planets over the two-screens-high sky picture, cut into an upper and a
// lower half that the map draws behind its nodes. Draws from the program-wide random source.
#pragma once

class BoardRandom;
class Image;
class Sprite;

class Starfield {
public:
    static constexpr int kStars = 200;
    static constexpr int kWidth = 800;
    static constexpr int kHalfHeight = 600;

    // Loads "Graphics\\journeyscreen", the star and planet pictures, paints the sky and fills the
    // two halves; false (and both halves empty) when the sky picture could not be loaded.
    static bool Make(BoardRandom& random, Sprite& upper, Sprite& lower);

    // Paints the stars and planets onto `canvas`. `stars` are star1 to star3, `planets` earth,
    // moon, mars and jupiter; empty pictures are skipped but their random draws still happen.
    static void Paint(Image& canvas, const Image stars[3], const Image planets[4], BoardRandom& random);
};
