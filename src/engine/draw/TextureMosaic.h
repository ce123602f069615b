// How a large picture is cut into device textures: per dimension, tile sizes from a table built
// once for sizes 0 to 1023 (powers of two, never wasting more than 64 pixels), within the
// device's smallest texture size and largest aspect ratio. Holds the textures of one sprite.
#pragma once

#include <vector>

class TextureMosaic {
public:
    struct Tile {
        int x = 0, y = 0;                    // position in the picture
        int width = 0, height = 0;           // picture pixels the tile covers
        int textureWidth = 0, textureHeight = 0;
        int texture = 0;                     // device texture id, 0 when not made yet
    };
    // Pictures up to this size in both directions (and within the device's largest texture)
    // use one texture of their own size.
    static constexpr int kSingleTextureLimit = 512;

    // Texture sizes covering one dimension of `size` pixels; the last may be larger than what
    // is left of the picture.
    static std::vector<int> SplitDimension(int size, int minTextureSize, int maxTextureSize);
    // Lays out the tiles for a picture; forgets any previous textures (the caller frees them).
    void Layout(int width, int height, int maxTextureSize, int minTextureSize, int maxAspect);
    bool Single() const { return mTiles.size() == 1; }

    std::vector<Tile> mTiles;
};
