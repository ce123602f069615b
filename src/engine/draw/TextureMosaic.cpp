// Tile sizing for texture mosaics.
#include "engine/draw/TextureMosaic.h"

#include <algorithm>
#include <array>

namespace {

// For each size below 1024, the first texture size to use: the smallest power of two covering
// it, unless that wastes more than 64 pixels, in which case the largest smaller power of two
// (the rest is covered by further textures).
const std::array<int, 1024>& FirstTileTable() {
    static const std::array<int, 1024> table = [] {
        std::array<int, 1024> t{};
        for (int size = 0; size < 1024; ++size) {
            int p = 1;
            while (p < size) p *= 2;
            t[size_t(size)] = (p - size > 64 && p > 1) ? p / 2 : p;
        }
        return t;
    }();
    return table;
}

}  // namespace

std::vector<int> TextureMosaic::SplitDimension(int size, int minTextureSize, int maxTextureSize) {
    std::vector<int> tiles;
    int largest = 1;
    while (largest * 2 <= std::max(1, maxTextureSize)) largest *= 2;
    int left = size;
    while (left > 0) {
        int tile = left >= 1024 ? kSingleTextureLimit : FirstTileTable()[size_t(left)];
        tile = std::min(tile, largest);
        tile = std::max(tile, std::max(1, minTextureSize));
        tiles.push_back(tile);
        left -= tile;
    }
    return tiles;
}

void TextureMosaic::Layout(int width, int height, int maxTextureSize, int minTextureSize, int maxAspect) {
    mTiles.clear();
    if (width <= 0 || height <= 0) return;
    if (width <= kSingleTextureLimit && height <= kSingleTextureLimit && width <= maxTextureSize &&
        height <= maxTextureSize) {
        mTiles.push_back(Tile{0, 0, width, height, width, height, 0});
        return;
    }
    std::vector<int> columns = SplitDimension(width, minTextureSize, maxTextureSize);
    std::vector<int> rows = SplitDimension(height, minTextureSize, maxTextureSize);
    int y = 0;
    for (int rowSize : rows) {
        int x = 0;
        for (int columnSize : columns) {
            Tile tile;
            tile.x = x;
            tile.y = y;
            tile.width = std::min(columnSize, width - x);
            tile.height = std::min(rowSize, height - y);
            tile.textureWidth = columnSize;
            tile.textureHeight = rowSize;
            // The shorter side grows until the device accepts the shape.
            if (maxAspect > 0) {
                while (tile.textureWidth > tile.textureHeight * maxAspect) tile.textureHeight *= 2;
                while (tile.textureHeight > tile.textureWidth * maxAspect) tile.textureWidth *= 2;
            }
            mTiles.push_back(tile);
            x += columnSize;
        }
        y += rowSize;
    }
}
