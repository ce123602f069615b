// libpng's simplified interface does the format conversions and keeps libpng's longjmp error
// handling inside the library, so nothing unwinds through our frames.
#include "engine/draw/PngCodec.h"

#include <png.h>

#include <cstring>

#include "engine/draw/PixelLimits.h"

bool PngCodec::Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                      std::string* error) {
    width = height = -1;
    pixels.clear();
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        if (error) *error = "not a PNG file";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        if (error) *error = image.message;
        png_image_free(&image);
        return false;
    }
    if (!PixelLimits::Allowed(image.width, image.height)) {
        if (error) *error = "PNG image size out of range";
        png_image_free(&image);
        return false;
    }
    // Memory order blue, green, red, alpha is our ARGB word on a little-endian machine.
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> buffer(size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, buffer.data(), int(image.width) * 4, nullptr)) {
        if (error) *error = image.message;
        png_image_free(&image);
        return false;
    }
    width = int(image.width);
    height = int(image.height);
    pixels.swap(buffer);
    png_image_free(&image);
    return true;
}

bool PngCodec::Encode(const uint32_t* pixels, int width, int height, bool opaque, std::vector<uint8_t>& out) {
    out.clear();
    if (!pixels || width <= 0 || height <= 0) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> copy;
    const void* source = pixels;
    if (opaque) {
        copy.assign(pixels, pixels + size_t(width) * height);
        for (uint32_t& p : copy) p |= 0xFF000000u;
        source = copy.data();
    }
    png_alloc_size_t bytes = 0;
    if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, source, width * 4, nullptr)) return false;
    out.resize(bytes);
    if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, source, width * 4, nullptr)) {
        out.clear();
        return false;
    }
    out.resize(bytes);
    return true;
}
