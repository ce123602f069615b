// What the alpha hit modes of gadgets read: anything with a coverage value per pixel.
// Pictures and sprites implement it; gadgets never need to know which one they hold.
#pragma once

class AlphaSource {
public:
    virtual ~AlphaSource() = default;
    virtual int AlphaWidth() const = 0;
    virtual int AlphaHeight() const = 0;
    // Coverage at a pixel, 0 (clear) to 255 (opaque); 0 outside the picture.
    virtual int AlphaAt(int x, int y) const = 0;
};
