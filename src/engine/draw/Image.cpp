// Pictures and the image file rules. Decoding is delegated to GifDecoder, JpegDecoder and
// PngCodec; this file knows the order of extensions, masks and the ".cached" form.
#include "engine/draw/Image.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "engine/draw/GifDecoder.h"
#include "engine/draw/JpegDecoder.h"
#include "engine/draw/PixelLimits.h"
#include "engine/draw/PngCodec.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

std::mutex gHandlerMutex;
Image::MessageHandler gHandler;

void ShowLoadError(const std::string& name) {
    std::string text = "Could not load image: " + name;
    Image::MessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(gHandlerMutex);
        handler = gHandler;
    }
    if (handler) {
        handler("Image Load Error", text);
    } else {
        DebugLog::Log("Image Load Error: %s", text.c_str());
        Desktop::ShowMessageBox("Image Load Error", text, Desktop::Buttons::kOk);
    }
}

bool ContainsAlphaSuffix(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("_alpha") != std::string::npos;
}

int32_t ReadInt32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

}  // namespace

Image::Image() = default;
Image::Image(const Image& other) = default;
Image& Image::operator=(const Image& other) = default;
Image::~Image() = default;

Image::Image(const Image& other, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !PixelLimits::Allowed(width, height)) return;
    mWidth = width;
    mHeight = height;
    mPixels.assign(size_t(width) * height, 0);
    for (int row = 0; row < height; ++row) {
        int sy = y + row;
        if (sy < 0 || sy >= other.mHeight) continue;
        for (int col = 0; col < width; ++col) {
            int sx = x + col;
            if (sx >= 0 && sx < other.mWidth) mPixels[size_t(row) * width + col] = other.mPixels[size_t(sy) * other.mWidth + sx];
        }
    }
    mExtra = other.mExtra;
    mExtraSize = other.mExtraSize;
}

void Image::SetMessageHandler(MessageHandler handler) {
    std::lock_guard<std::mutex> lock(gHandlerMutex);
    gHandler = std::move(handler);
}

void Image::Clear() {
    mWidth = mHeight = -1;
    mPixels.clear();
    mPixels.shrink_to_fit();
    mExtra.clear();
    mExtraSize = 0;
}

bool Image::Create(int width, int height, uint32_t fill) {
    Clear();
    if (!PixelLimits::Allowed(width, height)) return false;
    mWidth = width;
    mHeight = height;
    mPixels.assign(size_t(width) * height, fill);
    return true;
}

uint32_t* Image::PixelAt(int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return nullptr;
    return &mPixels[size_t(y) * mWidth + x];
}

const uint32_t* Image::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return nullptr;
    return &mPixels[size_t(y) * mWidth + x];
}

int Image::AlphaAt(int x, int y) const {
    const uint32_t* p = PixelAt(x, y);
    return p ? int(*p >> 24) : 0;
}

bool Image::ReadCached(const uint8_t* data, size_t size) {
    Clear();
    if (!data || size < 12) return false;
    int32_t width = ReadInt32(data), height = ReadInt32(data + 4);
    if (!PixelLimits::Allowed(width, height)) return false;
    uint64_t pixelBytes = uint64_t(width) * uint64_t(height) * 4;
    if (uint64_t(size) < 12 + pixelBytes) return false;
    int32_t extra = ReadInt32(data + 8 + pixelBytes);
    if (extra < 0 || uint64_t(size) < 12 + pixelBytes + uint64_t(extra)) return false;
    mPixels.resize(size_t(width) * height);
    std::memcpy(mPixels.data(), data + 8, size_t(pixelBytes));
    mExtra.assign(data + 12 + pixelBytes, data + 12 + pixelBytes + extra);
    mExtraSize = extra;
    mWidth = width;
    mHeight = height;
    return true;
}

bool Image::Decode(const std::string& extension, const uint8_t* data, size_t size, std::string* error) {
    Clear();
    if (extension == "cached") {
        bool ok = ReadCached(data, size);
        if (!ok && error) *error = "bad cached image";
        return ok;
    }
    int w = -1, h = -1;
    std::vector<uint32_t> pixels;
    bool ok = false;
    if (extension == "gif") ok = GifDecoder::Decode(data, size, w, h, pixels, error);
    else if (extension == "jpg") ok = JpegDecoder::Decode(data, size, w, h, pixels, error);
    else if (extension == "png") ok = PngCodec::Decode(data, size, w, h, pixels, error);
    if (!ok) return false;
    mWidth = w;
    mHeight = h;
    mPixels.swap(pixels);
    return true;
}

bool Image::LoadFile(const std::string& path, const std::string& extension) {
    std::vector<uint8_t> bytes;
    if (!Files::ReadWhole(path, bytes)) return false;
    std::string error;
    if (Decode(extension, bytes.data(), bytes.size(), &error)) return true;
    DebugLog::Log("Image %s: %s", path.c_str(), error.c_str());
    return false;
}

bool Image::LoadPicture(const std::string& name, bool allowCached, bool* fromCache) {
    if (fromCache) *fromCache = false;
    if (allowCached && Files::Exists(name + ".cached") && LoadFile(name + ".cached", "cached")) {
        if (fromCache) *fromCache = true;
        return true;
    }
    for (const char* extension : {"gif", "jpg", "png"}) {
        std::string path = name + "." + extension;
        if (Files::Exists(path) && LoadFile(path, extension)) return true;
    }
    Clear();
    return false;
}

bool Image::Load(const std::string& name, const std::string& mask) {
    Clear();
    bool fromCache = false;
    if (LoadPicture(name, true, &fromCache)) {
        if (fromCache) return true;
    } else {
        if (ContainsAlphaSuffix(name)) return false;
        bool maskOnly = false;
        for (const char* extension : {"png", "gif", "jpg"}) {
            std::string path = name + "_alpha." + extension;
            if (Files::Exists(path) && LoadFile(path, extension)) {
                maskOnly = true;
                break;
            }
        }
        if (!maskOnly) {
            ShowLoadError(name);
            return false;
        }
        // Only the mask exists: an opaque white picture that takes its alpha from the mask.
        std::fill(mPixels.begin(), mPixels.end(), 0xFFFFFFFFu);
    }
    if (!mask.empty()) ApplyMask(mask);
    else if (!ContainsAlphaSuffix(name)) ApplyMask(name + "_alpha");
    return true;
}

bool Image::Exists(const std::string& name) {
    for (const char* extension : {".cached", ".png", ".gif", ".jpg"}) {
        if (Files::Exists(name + extension)) return true;
    }
    if (ContainsAlphaSuffix(name)) return false;
    return Exists(name + "_alpha");
}

void Image::ApplyMask(const std::string& maskName) {
    if (Empty()) return;
    Image mask;
    // The mask's own rules apply, but a missing mask is normal and never reported.
    if (!ContainsAlphaSuffix(maskName)) {
        if (!mask.LoadPicture(maskName, true, nullptr)) return;
    } else if (!mask.Load(maskName)) {
        return;
    }
    ApplyMask(mask);
}

void Image::ApplyMask(const Image& mask) {
    if (mask.mWidth != mWidth || mask.mHeight != mHeight || Empty()) return;
    for (size_t i = 0; i < mPixels.size(); ++i) {
        mPixels[i] = (mPixels[i] & 0x00FFFFFFu) | ((mask.mPixels[i] >> 16) & 0xFF) << 24;
    }
}

Image Image::Resized(int width, int height) const {
    Image out;
    if (Empty() || !out.Create(width, height)) return out;
    // Each target pixel averages the source over the area it covers, alpha-weighted, so
    // transparent pixels do not darken the edges.
    double sx = double(mWidth) / width, sy = double(mHeight) / height;
    for (int y = 0; y < height; ++y) {
        double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < width; ++x) {
            double x0 = x * sx, x1 = (x + 1) * sx;
            double a = 0, r = 0, g = 0, b = 0, area = 0;
            for (int iy = int(y0); iy < std::min(mHeight, int(std::ceil(y1))); ++iy) {
                double wy = std::min(y1, iy + 1.0) - std::max(y0, double(iy));
                if (wy <= 0) continue;
                for (int ix = int(x0); ix < std::min(mWidth, int(std::ceil(x1))); ++ix) {
                    double wx = std::min(x1, ix + 1.0) - std::max(x0, double(ix));
                    if (wx <= 0) continue;
                    double w = wx * wy;
                    uint32_t p = mPixels[size_t(iy) * mWidth + ix];
                    double pa = (p >> 24) * w;
                    a += pa;
                    r += ((p >> 16) & 0xFF) * pa;
                    g += ((p >> 8) & 0xFF) * pa;
                    b += (p & 0xFF) * pa;
                    area += w;
                }
            }
            uint32_t value = 0;
            if (a > 0 && area > 0) {
                auto c = [](double v) { return uint32_t(std::clamp(std::lround(v), 0L, 255L)); };
                value = c(a / area) << 24 | c(r / a) << 16 | c(g / a) << 8 | c(b / a);
            }
            out.mPixels[size_t(y) * width + x] = value;
        }
    }
    return out;
}

void Image::Paint(const Image& source, int x, int y, float r, float g, float b, float a) {
    if (Empty() || source.Empty()) return;
    auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    float tint[4] = {unit(a), unit(r), unit(g), unit(b)};
    for (int row = std::max(0, -y); row < source.mHeight && y + row < mHeight; ++row) {
        for (int col = std::max(0, -x); col < source.mWidth && x + col < mWidth; ++col) {
            uint32_t s = source.mPixels[size_t(row) * source.mWidth + col];
            uint32_t& d = mPixels[size_t(y + row) * mWidth + (x + col)];
            float sa = (s >> 24) / 255.0f * tint[0];
            if (sa <= 0.0f) continue;
            float da = (d >> 24) / 255.0f;
            float oa = sa + da * (1.0f - sa);
            uint32_t out = uint32_t(std::lround(oa * 255.0f)) << 24;
            for (int ch = 0; ch < 3; ++ch) {
                int shift = 16 - 8 * ch;
                float sc = ((s >> shift) & 0xFF) * tint[1 + ch];
                float dc = float((d >> shift) & 0xFF);
                float oc = oa > 0 ? (sc * sa + dc * da * (1.0f - sa)) / oa : 0.0f;
                out |= uint32_t(std::clamp(std::lround(oc), 0L, 255L)) << shift;
            }
            d = out;
        }
    }
}
