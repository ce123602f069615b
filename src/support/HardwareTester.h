// The hardware tester: decides, once per adapter and drawing-library version, whether the
// accelerated renderer can be trusted, by drawing test pictures into a render target and reading
// them back. Its verdicts (software drawing required / recommended) and findings are kept in
// "HardwareTestResults/Hardware.registry"; later starts with the same identifiers reuse them.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class HardwareTester {
public:
    // The key=value store the results live in (the engine hands in its settings store).
    class Store {
    public:
        virtual ~Store() = default;
        virtual bool Exists(const std::string& name) const = 0;
        virtual int GetInt(const std::string& name) const = 0;
        virtual void SetInt(const std::string& name, int value) = 0;
        virtual bool GetBool(const std::string& name) const = 0;
        virtual void SetBool(const std::string& name, bool value) = 0;
        virtual std::string GetString(const std::string& name) const = 0;
        virtual void SetString(const std::string& name, const std::string& value) = 0;
        virtual int GetBytes(const std::string& name, int8_t* bytes, int count) const = 0;
        virtual void SetBytes(const std::string& name, const int8_t* bytes, int count) = 0;
    };

    // The device under test. Drawing calls return false on failure; `Call` names them.
    class Device {
    public:
        virtual ~Device() = default;
        // The drawing library's version text.
        virtual std::string LibraryVersion() = 0;
        // Opens the accelerated device; false with the reason when there is none.
        virtual bool Open(std::string* error) = 0;
        virtual std::string RendererName() = 0;
        virtual std::string DriverName() = 0;
        virtual std::string AdapterDescription() = 0;
        // Free video memory in bytes; false when the device cannot tell.
        virtual bool FreeVideoMemory(uint64_t* bytes) = 0;
        // The desktop's size and bits per pixel.
        virtual void DesktopMode(int* width, int* height, int* bitsPerPixel) = 0;
        virtual int MaxTextureSize() = 0;
        virtual bool HasArgbTextures() = 0;
        virtual int CreateTexture(int width, int height, const uint32_t* argb) = 0;
        virtual bool BeginTarget(int width, int height, uint32_t argb) = 0;
        virtual bool SetClip(int x, int y, int width, int height) = 0;
        virtual bool Draw(int texture, float x0, float y0, float x1, float y1, bool additive) = 0;
        virtual bool ReadBack(std::vector<uint32_t>* argb) = 0;
        virtual std::string LastError() = 0;
        virtual void Close() = 0;
    };

    struct Verdicts {
        bool safeModeRequired = false;
        bool safeModeRecommended = false;
    };

    static constexpr int kTesterVersion = 1;

    // `forceTest` ("-hwtest") runs the tests whatever is stored and writes the read-back
    // pictures as bitmaps into "HardwareTestResults" in the data folder.
    HardwareTester(Device& device, Store& store, bool forceTest);

    // Decides whether to test, tests when needed, stores the results and returns the stored
    // verdicts. Never fails: a device that cannot be tested only yields safe mode required.
    Verdicts Run(int minVideoMemoryMb, int recommendedVideoMemoryMb);

    // Whether the last Run drew any test.
    bool Tested() const { return mTested; }
    const std::string& Warnings() const { return mWarnings; }
    const std::string& FailReason() const { return mFailReason; }

    // The 16-byte adapter identifier made from the renderer and driver names.
    static std::vector<int8_t> CardIdentifier(const std::string& renderer, const std::string& driver);
    // Steps in a row of pixels whose red, green and blue all rise above the last counted one.
    static int CountSteps(const std::vector<uint32_t>& row);
    // The accelerated renderer of this machine, drawn on in a hidden window.
    static std::unique_ptr<Device> AcceleratedDevice();
    // A 32-bit Windows bitmap of ARGB pixels.
    static std::vector<uint8_t> Bitmap(const std::vector<uint32_t>& argb, int width, int height);

private:
    struct Failure : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    [[noreturn]] void Fail(const std::string& reason);
    void Warn(const std::string& text);
    void Check(bool ok, const char* call);
    void Save(const char* name, const std::vector<uint32_t>& argb, int width, int height);

    void SetUp(int minVideoMemoryMb, int recommendedVideoMemoryMb);
    void CheckAdapter();
    void TestAlphaBlending();
    void TestTextureSwitching();
    void TestAdditive(bool withAlpha);
    void TestClipping();

    Device& mDevice;
    Store& mStore;
    bool mForceTest;
    bool mTested = false;
    Verdicts mVerdicts;
    std::string mWarnings;
    std::string mFailReason;
};
