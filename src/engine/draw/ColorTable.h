// The engine's colour-by-index table: ten named colours, index taken modulo 10.
#pragma once

class ColorTable {
public:
    struct Color {
        float r, g, b, a;
    };
    static constexpr int kCount = 10;
    // 0 red, 1 orange, 2 yellow, 3 green, 4 cyan, 5 blue, 6 magenta, 7 white, 8 black, 9 grey;
    // negative indices wrap the same way.
    static Color Get(int index);
};
