// Hardware tester: when it runs, what it stores, its verdict rules, and its pictures, against a
// simulated renderer that can be told to get things wrong; and the real one under the dummy
// video driver, where no accelerated renderer exists.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "TestSupport.h"
#include "platform/FileSystem.h"
#include "support/HardwareTester.h"

namespace {

class MapStore : public HardwareTester::Store {
public:
    bool Exists(const std::string& name) const override { return mValues.count(name) != 0; }
    int GetInt(const std::string& name) const override { return Exists(name) ? std::stoi(mValues.at(name)) : 0; }
    void SetInt(const std::string& name, int value) override { mValues[name] = std::to_string(value); }
    bool GetBool(const std::string& name) const override { return Exists(name) && mValues.at(name) == "1"; }
    void SetBool(const std::string& name, bool value) override { mValues[name] = value ? "1" : "0"; }
    std::string GetString(const std::string& name) const override { return Exists(name) ? mValues.at(name) : ""; }
    void SetString(const std::string& name, const std::string& value) override { mValues[name] = value; }
    int GetBytes(const std::string& name, int8_t* bytes, int count) const override {
        std::string value = GetString(name);
        int n = 0;
        for (; n < count && size_t(n) < value.size(); ++n) bytes[n] = static_cast<int8_t>(value[size_t(n)]);
        return n;
    }
    void SetBytes(const std::string& name, const int8_t* bytes, int count) override {
        mValues[name] = std::string(reinterpret_cast<const char*>(bytes), size_t(count));
    }
    std::map<std::string, std::string> mValues;
};

// Draws nearest-texel rectangles in memory with the game's blend modes (premultiplied over and add).
class SimulatedRenderer : public HardwareTester::Device {
public:
    std::string LibraryVersion() override { return mLibrary; }
    bool Open(std::string* error) override {
        ++mOpened;
        if (!mPresent) *error = "no accelerated renderer";
        return mPresent;
    }
    std::string RendererName() override { return "sim"; }
    std::string DriverName() override { return mDriver; }
    std::string AdapterDescription() override { return mDescription; }
    bool FreeVideoMemory(uint64_t* bytes) override {
        *bytes = mVideoMemory;
        return mVideoMemory != 0;
    }
    void DesktopMode(int* width, int* height, int* bits) override { *width = 0, *height = 0, *bits = mDepth; }
    int MaxTextureSize() override { return 8192; }
    bool HasArgbTextures() override { return true; }
    int CreateTexture(int width, int height, const uint32_t* argb) override {
        mTextures.push_back({width, height, std::vector<uint32_t>(argb, argb + width * height)});
        return int(mTextures.size());
    }
    bool BeginTarget(int width, int height, uint32_t argb) override {
        mWidth = width, mHeight = height;
        mPixels.assign(size_t(width * height), argb);
        mClipW = 0;
        ++mDraws;
        return true;
    }
    bool SetClip(int x, int y, int w, int h) override {
        mClipX = x, mClipY = y, mClipW = w, mClipH = h;
        return true;
    }
    bool Draw(int texture, float x0, float y0, float x1, float y1, bool additive) override {
        const Texture& t = mTextures[size_t(mStuckTexture ? mTextures.size() - 1 : texture - 1)];
        for (int y = 0; y < mHeight; ++y) {
            for (int x = 0; x < mWidth; ++x) {
                float cx = x + 0.5f, cy = y + 0.5f;
                if (cx < x0 || cx >= x1 || cy < y0 || cy >= y1) continue;
                bool clipped = mClipW > 0 && (x < mClipX || x >= mClipX + mClipW || y < mClipY || y >= mClipY + mClipH);
                if (clipped && !mIgnoreClip) continue;
                int u = std::min(t.w - 1, int((cx - x0) / (x1 - x0) * float(t.w)));
                int v = std::min(t.h - 1, int((cy - y0) / (y1 - y0) * float(t.h)));
                uint32_t s = t.pixels[size_t(v * t.w + u)];
                uint32_t a = mNoAlpha ? 255 : s >> 24;
                uint32_t& d = mPixels[size_t(y * mWidth + x)];
                uint32_t out = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    uint32_t sc = ((s >> shift) & 255) * a / 255, dc = (d >> shift) & 255;
                    uint32_t c = additive && !mNoAdd ? std::min<uint32_t>(255, sc + dc) : sc + dc * (255 - a) / 255;
                    out |= c << shift;
                }
                d = out;
            }
        }
        return true;
    }
    bool ReadBack(std::vector<uint32_t>* argb) override {
        *argb = mPixels;
        return true;
    }
    std::string LastError() override { return "DEVICE_ERROR"; }
    void Close() override {}

    struct Texture {
        int w, h;
        std::vector<uint32_t> pixels;
    };
    bool mPresent = true;
    std::string mLibrary = "SDL 2.26.5";
    std::string mDriver = "x11";
    std::string mDescription = "Intel(R) UHD Graphics 620";
    uint64_t mVideoMemory = 0;
    int mDepth = 32;
    bool mNoAlpha = false, mNoAdd = false, mIgnoreClip = false, mStuckTexture = false;
    int mOpened = 0, mDraws = 0;
    std::vector<Texture> mTextures;
    std::vector<uint32_t> mPixels;
    int mWidth = 0, mHeight = 0, mClipX = 0, mClipY = 0, mClipW = 0, mClipH = 0;
};

}  // namespace

TEST(HardwareTester, RunsOncePerAdapterLibraryAndTesterVersion) {
    MapStore store;
    SimulatedRenderer device;
    HardwareTester first(device, store, false);
    HardwareTester::Verdicts verdicts = first.Run(6, 14);
    EXPECT_TRUE(first.Tested());
    EXPECT_FALSE(verdicts.safeModeRequired || verdicts.safeModeRecommended) << first.Warnings() << first.FailReason();
    EXPECT_EQ(store.GetString("HWTEST::FailReason"), "(none)");
    EXPECT_EQ(store.GetString("HWTEST::Warnings"), "(none)");
    EXPECT_EQ(store.GetInt("HWTEST::HWTesterVersion"), 1);
    EXPECT_EQ(store.GetString("HWTEST::DXVersion"), "SDL 2.26.5");
    EXPECT_TRUE(store.GetBool("HWTEST::CardChanged"));
    EXPECT_EQ(store.GetString("HWTEST::DeviceDescription"), "Intel(R) UHD Graphics 620");

    // Same identifiers: nothing is drawn and the stored verdicts come back, even changed ones.
    store.SetBool("HWTEST::SafeModeRecommended", true);
    int draws = device.mDraws;
    HardwareTester second(device, store, false);
    verdicts = second.Run(6, 14);
    EXPECT_FALSE(second.Tested());
    EXPECT_EQ(device.mDraws, draws);
    EXPECT_TRUE(verdicts.safeModeRecommended);
    EXPECT_FALSE(store.GetBool("HWTEST::CardChanged"));
    EXPECT_FALSE(store.GetBool("HWTEST::DXVersionChanged"));

    struct Change {
        const char* what;
        std::function<void()> apply;
        bool force;
    };
    const Change changes[] = {
        {"new library version", [&] { device.mLibrary = "SDL 2.28.0"; }, false},
        {"new driver", [&] { device.mDriver = "wayland"; }, false},
        {"old tester version", [&] { store.SetInt("HWTEST::HWTesterVersion", 0); }, false},
        {"forced", [] {}, true},
    };
    for (const Change& change : changes) {
        change.apply();
        HardwareTester tester(device, store, change.force);
        tester.Run(6, 14);
        EXPECT_TRUE(tester.Tested()) << change.what;
        EXPECT_TRUE(store.GetBool("HWTEST::CardChanged")) << change.what;
        EXPECT_EQ(store.GetBool("HWTEST::DXVersionChanged"), std::string(change.what) == "new library version")
            << change.what;
    }
}

TEST(HardwareTester, VerdictRules) {
    struct Case {
        const char* what;
        std::function<void(SimulatedRenderer&, MapStore&)> setUp;
        bool required, recommended;
        std::string failure;
        std::string warnings;
    };
    const uint64_t mb = 1 << 20;
    const Case cases[] = {
        {"fine", [](SimulatedRenderer&, MapStore&) {}, false, false, "(none)", "(none)"},
        {"8 MB", [mb](SimulatedRenderer& d, MapStore&) { d.mVideoMemory = 8 * mb; }, false, true, "(none)",
         "Low video memory"},
        {"4 MB", [mb](SimulatedRenderer& d, MapStore&) { d.mVideoMemory = 4 * mb; }, true, true,
         "Not enought video memory", "(none)"},
        {"24-bit desktop", [](SimulatedRenderer& d, MapStore&) { d.mDepth = 24; }, true, true,
         "24-bit rendering not supported", "(none)"},
        {"unknown card", [](SimulatedRenderer& d, MapStore&) { d.mDescription = "  Mesa llvmpipe  "; }, false, true,
         "(none)", "\"Mesa llvmpipe\" is an unsupported card"},
        {"card named as supported",
         [](SimulatedRenderer& d, MapStore& s) {
             d.mDescription = "Mesa llvmpipe";
             s.SetString("HWTEST::SupportedCards", "virgl, LLVMpipe");
         },
         false, false, "(none)", "(none)"},
        {"no alpha", [](SimulatedRenderer& d, MapStore&) { d.mNoAlpha = true; }, true, true,
         "No alpha blending detected", "(none)"},
        {"stuck texture", [](SimulatedRenderer& d, MapStore&) { d.mStuckTexture = true; }, true, true,
         "Texture Switching Failed", "(none)"},
        {"no additive", [](SimulatedRenderer& d, MapStore&) { d.mNoAdd = true; }, false, true, "(none)",
         "No additive blending detected; No alpha+additive blending detected"},
        {"clip ignored", [](SimulatedRenderer& d, MapStore&) { d.mIgnoreClip = true; }, true, true,
         "3D Clipping problem detected", "(none)"},
        {"no accelerated renderer", [](SimulatedRenderer& d, MapStore&) { d.mPresent = false; }, true, true,
         "GetDeviceIdentifier: no accelerated renderer", "(none)"},
    };
    for (const Case& c : cases) {
        MapStore store;
        SimulatedRenderer device;
        c.setUp(device, store);
        HardwareTester tester(device, store, false);
        HardwareTester::Verdicts verdicts = tester.Run(6, 14);
        EXPECT_EQ(verdicts.safeModeRequired, c.required) << c.what;
        EXPECT_EQ(verdicts.safeModeRecommended, c.recommended) << c.what;
        EXPECT_EQ(store.GetString("HWTEST::FailReason"), c.failure) << c.what;
        EXPECT_EQ(store.GetString("HWTEST::Warnings"), c.warnings) << c.what;
        EXPECT_EQ(store.GetBool("HWTEST::SafeModeRequired"), c.required) << c.what;
    }
}

TEST(HardwareTester, ForcedRunWritesItsPictures) {
    MapStore store;
    SimulatedRenderer device;
    HardwareTester tester(device, store, true);
    tester.Run(6, 14);
    for (const char* name : {"InitialPrimarySurface", "InitialTextureSurface", "IsAlphaCapable_Primary",
                             "IsAlphaCapable_Texture", "IsTextureSwitchingOK_Primary", "IsAdditiveCapable_Primary",
                             "IsAdditiveCapable_Texture", "IsAdditiveAlphaCapable_Primary",
                             "IsAdditiveAlphaCapable_Texture", "IsClipProblem_Primary"}) {
        std::vector<uint8_t> bytes = TestSupport::ReadBytes(Files::PathForWrite(std::string("HardwareTestResults\\") + name + ".bmp"));
        ASSERT_EQ(bytes.size(), 54u + 64 * 16 * 4) << name;
        EXPECT_EQ(bytes[0], 'B') << name;
        EXPECT_EQ(bytes[1], 'M') << name;
    }
}

TEST(HardwareTester, AlphaStepsAndCardIdentifier) {
    EXPECT_EQ(HardwareTester::CountSteps({0xFF000000, 0xFF101010, 0xFF101010, 0xFF202010, 0xFF303030, 0xFF404040}), 3);
    EXPECT_EQ(HardwareTester::CountSteps({}), 0);
    std::vector<int8_t> a = HardwareTester::CardIdentifier("opengl", "x11 4.5");
    EXPECT_EQ(a.size(), 16u);
    EXPECT_EQ(a, HardwareTester::CardIdentifier("opengl", "x11 4.5"));
    EXPECT_NE(a, HardwareTester::CardIdentifier("opengl", "x11 4.6"));
    EXPECT_NE(a, HardwareTester::CardIdentifier("opengl\nx11", "4.5"));
}

TEST(HardwareTester, DummyVideoDriverHasNoAcceleratedRenderer) {
    // SDL_VIDEODRIVER=dummy: the verdicts say so, and nothing stops.
    MapStore store;
    std::unique_ptr<HardwareTester::Device> device = HardwareTester::AcceleratedDevice();
    HardwareTester tester(*device, store, false);
    HardwareTester::Verdicts verdicts = tester.Run(6, 14);
    EXPECT_TRUE(verdicts.safeModeRequired);
    EXPECT_TRUE(verdicts.safeModeRecommended);
    EXPECT_EQ(store.GetString("HWTEST::FailReason").rfind("GetDeviceIdentifier: ", 0), 0u)
        << store.GetString("HWTEST::FailReason");
    EXPECT_FALSE(tester.Tested());
}
