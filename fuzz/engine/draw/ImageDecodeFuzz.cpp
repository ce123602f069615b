// One harness per picture format, chosen at build time: the bytes go straight into the decoder
// the image loader would use for that file extension. Sizes are capped so runs stay fast.
#include <cstddef>
#include <cstdint>

#include "engine/draw/Image.h"
#include "engine/draw/PixelLimits.h"

#ifndef QS_FUZZ_EXTENSION
#error "QS_FUZZ_EXTENSION must name the format"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool limited = (PixelLimits::SetMaxPixels(4 << 20), true);
    (void)limited;
    Image image;
    if (image.Decode(QS_FUZZ_EXTENSION, data, size)) {
        // A decoded picture must be whole: its pixel count matches its size.
        if (image.mWidth <= 0 || image.mHeight <= 0 ||
            image.mPixels.size() != size_t(image.mWidth) * size_t(image.mHeight))
            __builtin_trap();
        volatile uint32_t sink = image.mPixels.back();
        (void)sink;
    } else if (!image.mPixels.empty() || image.mWidth != -1) {
        __builtin_trap();
    }
    return 0;
}
