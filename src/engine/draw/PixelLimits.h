// The largest picture any decoder accepts, checked before a single pixel is allocated, so a
// hostile or corrupt file can never ask for gigabytes. Tools and fuzzers may lower the limit.
#pragma once

#include <cstdint>

class PixelLimits {
public:
    static constexpr int kMaxDimension = 16384;
    // Pixels of the largest picture accepted (width times height).
    static int64_t MaxPixels();
    static void SetMaxPixels(int64_t pixels);
    // True when width by height is a picture the decoders may allocate.
    static bool Allowed(int64_t width, int64_t height);
};
