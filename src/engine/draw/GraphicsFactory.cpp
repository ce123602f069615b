// Device choice with fallback. The software device keeps the renderer that shows its frames.
#include "engine/draw/GraphicsFactory.h"

#include <memory>

#include "engine/draw/DisplaySettings.h"
#include "engine/draw/RendererGraphics.h"
#include "engine/draw/SoftwareGraphics.h"
#include "persistence/Registry.h"
#include "platform/FileSystem.h"
#include "platform/RendererDevice.h"
#include "support/DebugLog.h"
#include "support/HardwareTester.h"

namespace {

// The software device with its presenter: a plain renderer that only shows finished frames.
// Its buffer is the logical screen itself: the art is drawn one to one (the rasterizer's fastest
// path, and pixel-exact), and the presenter scales the finished frame once to the window or the
// full screen, keeping its shape.
class PresentedSoftwareGraphics : public SoftwareGraphics {
public:
    PresentedSoftwareGraphics() : SoftwareGraphics(800, 600) {}

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

// The tester's results in the settings store.
class RegistryStore : public HardwareTester::Store {
public:
    explicit RegistryStore(Registry& registry) : mRegistry(registry) {}
    bool Exists(const std::string& name) const override { return mRegistry.Exists(name); }
    int GetInt(const std::string& name) const override { return mRegistry.GetInt(name); }
    void SetInt(const std::string& name, int value) override { mRegistry.SetInt(name, value); }
    bool GetBool(const std::string& name) const override { return mRegistry.GetBool(name); }
    void SetBool(const std::string& name, bool value) override { mRegistry.SetBool(name, value); }
    std::string GetString(const std::string& name) const override { return mRegistry.GetString(name); }
    void SetString(const std::string& name, const std::string& value) override { mRegistry.SetString(name, value); }
    int GetBytes(const std::string& name, int8_t* bytes, int count) const override {
        return mRegistry.GetByteList(name, bytes, count);
    }
    void SetBytes(const std::string& name, const int8_t* bytes, int count) override {
        mRegistry.SetByteList(name, bytes, count);
    }

private:
    Registry& mRegistry;
};

bool gHaveVerdicts = false;
bool gRequired = false;
bool gRecommended = false;

// Word match, so that "-hwtests" or a folder name does not count.
bool HasSwitch(const std::string& commandLine, const std::string& word) {
    size_t at = 0;
    while ((at = commandLine.find(word, at)) != std::string::npos) {
        bool startOk = at == 0 || commandLine[at - 1] == ' ';
        size_t end = at + word.size();
        if (startOk && (end == commandLine.size() || commandLine[end] == ' ')) return true;
        at = end;
    }
    return false;
}

}  // namespace

void GraphicsFactory::HardwareVerdicts(const std::string& commandLine, bool* softwareRequired,
                                       bool* softwareRecommended) {
    *softwareRequired = *softwareRecommended = false;
    if (DisplaySettings::SwitchGiven(commandLine)) return;
    if (!gHaveVerdicts) {
        Files::CreateDirectories("HardwareTestResults");
        Registry registry;
        registry.Load(Files::PathForWrite("HardwareTestResults\\Hardware.registry"));
        RegistryStore store(registry);
        std::unique_ptr<HardwareTester::Device> device = HardwareTester::AcceleratedDevice();
        HardwareTester tester(*device, store, HasSwitch(commandLine, "-hwtest"));
        HardwareTester::Verdicts verdicts = tester.Run(6, 14);
        registry.Flush();
        gRequired = verdicts.safeModeRequired;
        gRecommended = verdicts.safeModeRecommended;
        gHaveVerdicts = true;
        if (tester.Tested() || !tester.FailReason().empty())
            DebugLog::Log("Hardware test: %s (failure: %s; warnings: %s)",
                          gRequired ? "software drawing required" : gRecommended ? "software drawing recommended"
                                                                                 : "accelerated drawing is fine",
                          tester.FailReason().empty() ? "none" : tester.FailReason().c_str(),
                          tester.Warnings().empty() ? "none" : tester.Warnings().c_str());
    }
    *softwareRequired = gRequired;
    *softwareRecommended = gRecommended;
}

void GraphicsFactory::ForgetHardwareVerdicts() { gHaveVerdicts = false; }

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
