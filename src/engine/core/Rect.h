// Rectangles and points in logical pixels (floats), shared by gadgets and the drawing device.
#pragma once

#include <algorithm>

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;

    bool Contains(float px, float py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    // The overlap of two rectangles; width or height 0 when they do not meet.
    Rect Intersect(const Rect& o) const {
        float left = std::max(x, o.x), top = std::max(y, o.y);
        float right = std::min(x + w, o.x + o.w), bottom = std::min(y + h, o.y + o.h);
        return Rect{left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
    }
    bool operator==(const Rect&) const = default;
};
