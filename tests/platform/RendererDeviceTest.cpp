// Software-drawn frames shown in windows of other sizes: the whole frame, centred between black
// bars, never stretched or cut; at a whole-number scale every pixel becomes an exact square.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/RendererDevice.h"
#include "platform/Window.h"

namespace {

uint32_t FramePixel(int x, int y) { return 0xFF000000u | uint32_t((x * 7 + y * 13) & 0xFF) << 16 | 0x4000u | 0x20u; }

TEST(RendererDevice, FramesKeepTheirShapeAndWholeScalesStayCrisp) {
    ASSERT_TRUE(Window::InitVideo()) << Window::LastError();
    std::vector<uint32_t> frame(800 * 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) frame[size_t(y) * 800 + size_t(x)] = FramePixel(x, y);

    const struct {
        int w, h;  // the window
        int x0, y0, dw, dh;  // where the frame lands
        bool exact;
    } cases[] = {
        {1600, 1200, 0, 0, 1600, 1200, true},  // twice the size: squares of 2 by 2
        {800, 600, 0, 0, 800, 600, true},
        {1280, 800, 106, 0, 1067, 800, false},  // bars left and right
        {800, 800, 0, 100, 800, 600, true},     // bars above and below
    };
    for (const auto& c : cases) {
        Window window;
        Window::Options options;
        options.title = "frames";
        options.width = c.w;
        options.height = c.h;
        ASSERT_TRUE(window.Create(options));
        RendererDevice device;
        ASSERT_TRUE(device.Create(window, false, false)) << RendererDevice::LastError();
        int ow = 0, oh = 0;
        ASSERT_TRUE(device.OutputSize(ow, oh));
        if (ow != c.w || oh != c.h) {
            ADD_FAILURE() << "the window came out " << ow << "x" << oh;
            continue;
        }
        ASSERT_TRUE(device.PresentFrame(frame.data(), 800, 600, 800 * 4, RendererDevice::FrameFormat::kArgb8888));
        std::vector<uint32_t> out;
        int w = 0, h = 0;
        ASSERT_TRUE(device.ReadPixels(out, w, h));
        auto at = [&](int x, int y) { return out[size_t(y) * size_t(w) + size_t(x)] | 0xFF000000u; };
        // The bars are black; the frame's corners are inside the picture.
        if (c.x0 > 0) EXPECT_EQ(at(c.x0 - 1, c.h / 2), 0xFF000000u) << c.w << "x" << c.h;
        if (c.x0 + c.dw < c.w) EXPECT_EQ(at(c.x0 + c.dw, c.h / 2), 0xFF000000u) << c.w << "x" << c.h;
        if (c.y0 > 0) EXPECT_EQ(at(c.w / 2, c.y0 - 1), 0xFF000000u) << c.w << "x" << c.h;
        if (c.y0 + c.dh < c.h) EXPECT_EQ(at(c.w / 2, c.y0 + c.dh), 0xFF000000u) << c.w << "x" << c.h;
        for (int corner = 0; corner < 4; ++corner) {
            int x = corner % 2 ? c.x0 + c.dw - 1 : c.x0, y = corner / 2 ? c.y0 + c.dh - 1 : c.y0;
            EXPECT_NE(at(x, y), 0xFF000000u) << c.w << "x" << c.h << " corner " << corner;
        }
        if (c.exact) {
            int scale = c.dw / 800;
            int mismatches = 0;
            for (int y = 0; y < c.dh; ++y)
                for (int x = 0; x < c.dw; ++x)
                    if (at(c.x0 + x, c.y0 + y) != FramePixel(x / scale, y / scale)) ++mismatches;
            EXPECT_EQ(mismatches, 0) << c.w << "x" << c.h;
        }
        device.Destroy();
        window.Destroy();
    }
}

}  // namespace
