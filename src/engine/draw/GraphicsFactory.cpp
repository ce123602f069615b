// Device choice with fallback. The software device keeps the renderer that shows its frames.
#include "engine/draw/GraphicsFactory.h"

#include <memory>

#include "engine/draw/RendererGraphics.h"
#include "engine/draw/SoftwareGraphics.h"
#include "platform/RendererDevice.h"
#include "support/DebugLog.h"

namespace {

// The software device with its presenter: a plain renderer that only shows finished frames.
class PresentedSoftwareGraphics : public SoftwareGraphics {
public:
    bool Init(Window* window) override {
        if (window && !mPresenterDevice.IsOpen()) {
            if (mPresenterDevice.Create(*window, false, true)) {
                SetPresenter([this](const void* pixels, int w, int h, int pitch, PixelFormat format) {
                    auto f = format == PixelFormat::kRgb565   ? RendererDevice::FrameFormat::kRgb565
                             : format == PixelFormat::kRgb555 ? RendererDevice::FrameFormat::kRgb555
                                                              : RendererDevice::FrameFormat::kArgb8888;
                    return mPresenterDevice.PresentFrame(pixels, w, h, pitch, f);
                });
            } else {
                DebugLog::Log("CreateSurface Error: %s", RendererDevice::LastError().c_str());
            }
        }
        return SoftwareGraphics::Init(window);
    }
    void Shutdown() override {
        SoftwareGraphics::Shutdown();
        mPresenterDevice.Destroy();
    }
    ~PresentedSoftwareGraphics() override { mPresenterDevice.Destroy(); }

private:
    RendererDevice mPresenterDevice;
};

}  // namespace

GraphicsDevice* GraphicsFactory::Create(Window* window, bool& software) {
    if (!software && window) {
        auto accelerated = std::make_unique<RendererGraphics>();
        if (accelerated->Init(window)) return accelerated.release();
        DebugLog::Log("Falling back to software drawing");
    }
    software = true;
    auto device = std::make_unique<PresentedSoftwareGraphics>();
    device->Init(window);
    return device.release();
}
