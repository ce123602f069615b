// The decoders' shared size limit. The default allows the largest side squared; the atomic keeps
// the loader thread and the main thread agreeing on it.
#include "engine/draw/PixelLimits.h"

#include <atomic>

namespace {
std::atomic<int64_t> gMaxPixels{int64_t(PixelLimits::kMaxDimension) * PixelLimits::kMaxDimension};
}

int64_t PixelLimits::MaxPixels() { return gMaxPixels.load(); }

void PixelLimits::SetMaxPixels(int64_t pixels) { gMaxPixels.store(pixels > 0 ? pixels : 1); }

bool PixelLimits::Allowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension &&
           width * height <= gMaxPixels.load();
}
