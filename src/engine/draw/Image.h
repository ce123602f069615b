// A picture in main memory: 32-bit ARGB pixels (alpha in the top byte), loaded from ".cached",
// GIF, JPEG or PNG files by name without extension, with transparency from an "_alpha" mask.
// Also the painting operations the loaders' users need (resize, paint with a tint).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/AlphaSource.h"

class Image : public AlphaSource {
public:
    Image();
    Image(const Image& other);
    // A copy of the rectangle (x, y, width, height) of `other`; parts outside it are clear.
    Image(const Image& other, int x, int y, int width, int height);
    Image& operator=(const Image& other);
    ~Image() override;

    // Loads by the file rules: ".cached" first (no mask), then GIF, JPEG, PNG, then a mask-only
    // picture; finally the mask (`mask`, or the name's "_alpha" picture). Shows the load-error
    // message box when nothing can be loaded (never for names containing "_alpha").
    bool Load(const std::string& name, const std::string& mask = std::string());
    // True when the name or its "_alpha" mask exists in one of the known formats.
    static bool Exists(const std::string& name);
    // Loads `maskName` and copies its red byte into every pixel's alpha, when the sizes match.
    void ApplyMask(const std::string& maskName);
    void ApplyMask(const Image& mask);
    // Pointer to the pixel or null outside the picture.
    uint32_t* PixelAt(int x, int y);
    const uint32_t* PixelAt(int x, int y) const;
    // Frees the pixels and the extra block; the size goes back to -1.
    void Clear();
    // A blank picture of the given size (false and empty above the pixel limit).
    bool Create(int width, int height, uint32_t fill = 0);
    bool Empty() const { return mWidth <= 0 || mHeight <= 0; }

    // The ".cached" file form: width, height, pixels, extra block size and extra block.
    bool ReadCached(const uint8_t* data, size_t size);
    // Decodes a file's bytes by its extension ("gif", "jpg", "png", "cached").
    bool Decode(const std::string& extension, const uint8_t* data, size_t size, std::string* error = nullptr);

    // A copy scaled to the new size (bilinear, on straight colours weighted by alpha).
    Image Resized(int width, int height) const;
    // Paints `source` with its top-left corner at (x, y) over this picture, tinted by the colour
    // (channels 0..1) with normal alpha blending.
    void Paint(const Image& source, int x, int y, float r = 1, float g = 1, float b = 1, float a = 1);

    int AlphaWidth() const override { return mWidth; }
    int AlphaHeight() const override { return mHeight; }
    int AlphaAt(int x, int y) const override;

    // The message box shown for pictures that cannot be loaded (title, text). Tests and tools
    // replace it; the default logs the text and shows the platform message box.
    using MessageHandler = std::function<void(const std::string& title, const std::string& text)>;
    static void SetMessageHandler(MessageHandler handler);

    int mWidth = -1;
    int mHeight = -1;
    std::vector<uint32_t> mPixels;
    std::vector<uint8_t> mExtra;
    int mExtraSize = 0;

private:
    // One picture file without masks or messages: ".cached" (when allowed), GIF, JPEG, PNG.
    bool LoadPicture(const std::string& name, bool allowCached, bool* fromCache);
    bool LoadFile(const std::string& path, const std::string& extension);
};
