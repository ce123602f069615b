// The hardware tester: the run decision, the tests on a render target, the verdict rules and the
// stored results. A failure ends the series through an exception caught in Run.
//
// Index: [decision] [tests] [helpers] [device]
#include "support/HardwareTester.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/RendererProbe.h"

namespace {

const char kFolder[] = "HardwareTestResults\\";
constexpr int kWidth = 64, kHeight = 16;

int Red(uint32_t p) { return (p >> 16) & 255; }
int Green(uint32_t p) { return (p >> 8) & 255; }
int Blue(uint32_t p) { return p & 255; }

bool Near(uint32_t p, int r, int g, int b, int tolerance) {
    return std::abs(Red(p) - r) <= tolerance && std::abs(Green(p) - g) <= tolerance &&
           std::abs(Blue(p) - b) <= tolerance;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

HardwareTester::HardwareTester(Device& device, Store& store, bool forceTest)
    : mDevice(device), mStore(store), mForceTest(forceTest) {}

// ---- [decision] ----------------------------------------------------------------------------------------

HardwareTester::Verdicts HardwareTester::Run(int minVideoMemoryMb, int recommendedVideoMemoryMb) {
    mVerdicts = Verdicts();
    mWarnings.clear();
    mFailReason.clear();
    mTested = false;
    bool store = false;
    try {
        int storedVersion = mStore.GetInt("HWTEST::HWTesterVersion");
        std::string storedLibrary = mStore.GetString("HWTEST::DXVersion");
        int8_t storedCard[16] = {};
        int storedBytes = mStore.GetBytes("HWTEST::CardGUID", storedCard, 16);
        std::string library = mDevice.LibraryVersion();
        bool libraryChanged = storedLibrary != library;

        std::string error;
        if (!mDevice.Open(&error)) {
            store = true;
            Fail("GetDeviceIdentifier: " + error);
        }
        std::vector<int8_t> card = CardIdentifier(mDevice.RendererName(), mDevice.DriverName());
        bool sameCard = storedBytes == 16 && std::equal(card.begin(), card.end(), storedCard);
        bool needed = !(sameCard && storedVersion == kTesterVersion && !mForceTest && !libraryChanged);
        mStore.SetBytes("HWTEST::CardGUID", card.data(), 16);
        mStore.SetInt("HWTEST::HWTesterVersion", kTesterVersion);
        mStore.SetBool("HWTEST::CardChanged", needed);
        mStore.SetString("HWTEST::DXVersion", library);
        mStore.SetBool("HWTEST::DXVersionChanged", libraryChanged);
        if (needed) {
            store = true;
            mTested = true;
            SetUp(minVideoMemoryMb, recommendedVideoMemoryMb);
            CheckAdapter();
            TestAlphaBlending();
            TestTextureSwitching();
            TestAdditive(false);
            TestAdditive(true);
            TestClipping();
        }
    } catch (const Failure&) {
        // The reason is stored below; the remaining tests are skipped.
    }
    mDevice.Close();
    if (store) {
        mStore.SetBool("HWTEST::SafeModeRequired", mVerdicts.safeModeRequired);
        mStore.SetBool("HWTEST::SafeModeRecommended", mVerdicts.safeModeRecommended);
        mStore.SetString("HWTEST::FailReason", mFailReason.empty() ? "(none)" : mFailReason);
        mStore.SetString("HWTEST::Warnings", mWarnings.empty() ? "(none)" : mWarnings);
    }
    // A skipped run gives the verdicts of the last real one.
    Verdicts stored;
    stored.safeModeRequired = mStore.GetBool("HWTEST::SafeModeRequired");
    stored.safeModeRecommended = mStore.GetBool("HWTEST::SafeModeRecommended");
    return stored;
}

void HardwareTester::Fail(const std::string& reason) {
    mVerdicts.safeModeRequired = mVerdicts.safeModeRecommended = true;
    mFailReason = reason;
    throw Failure(reason);
}

void HardwareTester::Warn(const std::string& text) {
    if (!mWarnings.empty()) mWarnings += "; ";
    mWarnings += text;
    mVerdicts.safeModeRecommended = true;
}

void HardwareTester::Check(bool ok, const char* call) {
    if (!ok) Fail(std::string(call) + ": " + mDevice.LastError());
}

void HardwareTester::Save(const char* name, const std::vector<uint32_t>& argb, int width, int height) {
    if (!mForceTest) return;
    std::vector<uint8_t> bitmap = Bitmap(argb, width, height);
    Files::WriteWholeAtomic(std::string(kFolder) + name, bitmap.data(), bitmap.size());
}

// ---- [tests] ---------------------------------------------------------------------------------------------

void HardwareTester::SetUp(int minVideoMemoryMb, int recommendedVideoMemoryMb) {
    int width = 0, height = 0, bits = 0;
    mDevice.DesktopMode(&width, &height, &bits);
    uint64_t free = 0;
    // Most drivers do not tell; then there is nothing to judge by.
    if (mDevice.FreeVideoMemory(&free)) {
        uint64_t total = (free + uint64_t(width) * uint64_t(height) * uint64_t(bits) / 8) >> 20;
        if (total < uint64_t(minVideoMemoryMb)) Fail("Not enought video memory");
        if (total < uint64_t(recommendedVideoMemoryMb)) Warn("Low video memory");
    }
    if (bits == 24) Fail("24-bit rendering not supported");
    if (mDevice.MaxTextureSize() < 2048) Fail("Large textures not supported");
    if (!mDevice.HasArgbTextures()) Fail("32-Bit (ARGB) texture format not supported");
    std::vector<uint32_t> texture(size_t(kWidth) * kHeight, 0xFFFFFFFFu);
    Check(mDevice.CreateTexture(kWidth, kHeight, texture.data()) != 0, "CreateTexture");
    Check(mDevice.BeginTarget(kWidth, kHeight, 0xFF000000u), "CreateSurface");
    std::vector<uint32_t> primary;
    Check(mDevice.ReadBack(&primary), "Lock");
    Save("InitialPrimarySurface.bmp", primary, kWidth, kHeight);
    Save("InitialTextureSurface.bmp", texture, kWidth, kHeight);
}

void HardwareTester::CheckAdapter() {
    std::string description = mDevice.AdapterDescription();
    mStore.SetString("HWTEST::DeviceDescription", description);
    std::string upper = Upper(description);
    std::vector<std::string> names;
    if (mStore.Exists("HWTEST::SupportedCards")) {
        std::string list = mStore.GetString("HWTEST::SupportedCards");
        size_t start = 0;
        while (start <= list.size()) {
            size_t comma = std::min(list.find(',', start), list.size());
            std::string name = Upper(Trim(list.substr(start, comma - start)));
            if (!name.empty()) names.push_back(name);
            start = comma + 1;
        }
    }
    for (const char* name : {"NVIDIA", "RADEON", "INTEL", "ATI"}) names.push_back(name);
    for (const std::string& name : names)
        if (upper.find(name) != std::string::npos) return;
    Warn("\"" + Trim(description) + "\" is an unsupported card");
}

void HardwareTester::TestAlphaBlending() {
    // White whose alpha rises along each row, over black: a smooth ramp when blending works.
    std::vector<uint32_t> texture(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) texture[size_t(y * kWidth + x)] = (uint32_t(x * 255 / (kWidth - 1)) << 24) | 0xFFFFFFu;
    int id = mDevice.CreateTexture(kWidth, kHeight, texture.data());
    Check(id != 0, "CreateTexture");
    Check(mDevice.BeginTarget(kWidth, kHeight, 0xFF000000u), "BeginScene");
    Check(mDevice.Draw(id, 0, 0, kWidth, kHeight, false), "DrawPrimitive");
    std::vector<uint32_t> primary;
    Check(mDevice.ReadBack(&primary), "Lock");
    Save("IsAlphaCapable_Primary.bmp", primary, kWidth, kHeight);
    Save("IsAlphaCapable_Texture.bmp", texture, kWidth, kHeight);
    std::vector<uint32_t> row(primary.begin() + kWidth * (kHeight / 2), primary.begin() + kWidth * (kHeight / 2 + 1));
    int steps = CountSteps(row);
    if (steps < 2) Fail("No alpha blending detected");
    if (steps < 12) Warn("Poor alpha blending detected");
}

void HardwareTester::TestTextureSwitching() {
    // Eight squares, red and blue in turn: each draw must use the texture bound for it.
    std::vector<uint32_t> red(64, 0xFFFF0000u), blue(64, 0xFF0000FFu);
    int redId = mDevice.CreateTexture(8, 8, red.data());
    int blueId = mDevice.CreateTexture(8, 8, blue.data());
    Check(redId != 0 && blueId != 0, "CreateTexture");
    Check(mDevice.BeginTarget(kWidth, kHeight, 0xFF000000u), "BeginScene");
    for (int i = 0; i < 8; ++i) Check(mDevice.Draw(i % 2 ? blueId : redId, i * 8.0f, 4, i * 8.0f + 8, 12, false), "DrawPrimitive");
    std::vector<uint32_t> primary;
    Check(mDevice.ReadBack(&primary), "Lock");
    Save("IsTextureSwitchingOK_Primary.bmp", primary, kWidth, kHeight);
    for (int i = 0; i < 8; ++i) {
        uint32_t p = primary[size_t(8 * kWidth + i * 8 + 4)];
        bool ok = i % 2 ? Near(p, 0, 0, 255, 24) : Near(p, 255, 0, 0, 24);
        if (!ok) Fail("Texture Switching Failed");
    }
}

void HardwareTester::TestAdditive(bool withAlpha) {
    // 100 added to a background of 64 gives 164: opaque, or 200 at half alpha.
    uint32_t colour = withAlpha ? 0x80C8C8C8u : 0xFF646464u;
    std::vector<uint32_t> texture(size_t(kWidth) * kHeight, colour);
    int id = mDevice.CreateTexture(kWidth, kHeight, texture.data());
    Check(id != 0, "CreateTexture");
    Check(mDevice.BeginTarget(kWidth, kHeight, 0xFF404040u), "BeginScene");
    Check(mDevice.Draw(id, 0, 0, kWidth, kHeight, true), "DrawPrimitive");
    std::vector<uint32_t> primary;
    Check(mDevice.ReadBack(&primary), "Lock");
    Save(withAlpha ? "IsAdditiveAlphaCapable_Primary.bmp" : "IsAdditiveCapable_Primary.bmp", primary, kWidth, kHeight);
    Save(withAlpha ? "IsAdditiveAlphaCapable_Texture.bmp" : "IsAdditiveCapable_Texture.bmp", texture, kWidth, kHeight);
    bool ok = std::all_of(primary.begin(), primary.end(), [](uint32_t p) { return Near(p, 164, 164, 164, 8); });
    if (!ok) Warn(withAlpha ? "No alpha+additive blending detected" : "No additive blending detected");
}

void HardwareTester::TestClipping() {
    // A quad reaching far past the target on every side, clipped to a rectangle in its middle.
    std::vector<uint32_t> white(64, 0xFFFFFFFFu);
    int id = mDevice.CreateTexture(8, 8, white.data());
    Check(id != 0, "CreateTexture");
    Check(mDevice.BeginTarget(kWidth, kHeight, 0xFF000000u), "CreateSurface(IsClipProblem)");
    Check(mDevice.SetClip(16, 4, 32, 8), "SetClipPlane");
    Check(mDevice.Draw(id, -200, -100, 300, 120, false), "DrawPrimitive");
    Check(mDevice.SetClip(0, 0, 0, 0), "SetClipPlane");
    std::vector<uint32_t> primary;
    Check(mDevice.ReadBack(&primary), "Lock");
    Save("IsClipProblem_Primary.bmp", primary, kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bool inside = x >= 16 && x < 48 && y >= 4 && y < 12;
            uint32_t p = primary[size_t(y * kWidth + x)];
            if (!Near(p, inside ? 255 : 0, inside ? 255 : 0, inside ? 255 : 0, 8)) Fail("3D Clipping problem detected");
        }
    }
}

// ---- [helpers] -------------------------------------------------------------------------------------------

std::vector<int8_t> HardwareTester::CardIdentifier(const std::string& renderer, const std::string& driver) {
    // Two 64-bit FNV-1a sums with different starts: stable across runs and builds.
    std::string text = renderer + '\n' + driver;
    uint64_t sums[2] = {14695981039346656037ull, 0x84222325cbf29ce4ull};
    for (uint64_t& sum : sums)
        for (unsigned char c : text) sum = (sum ^ c) * 1099511628211ull;
    std::vector<int8_t> bytes(16);
    for (int i = 0; i < 16; ++i) bytes[size_t(i)] = static_cast<int8_t>(sums[i / 8] >> (8 * (i % 8)));
    return bytes;
}

int HardwareTester::CountSteps(const std::vector<uint32_t>& row) {
    if (row.empty()) return 0;
    int steps = 0;
    uint32_t last = row[0];
    for (size_t i = 1; i < row.size(); ++i) {
        uint32_t p = row[i];
        if (Red(p) > Red(last) && Green(p) > Green(last) && Blue(p) > Blue(last)) {
            ++steps;
            last = p;
        }
    }
    return steps;
}

std::vector<uint8_t> HardwareTester::Bitmap(const std::vector<uint32_t>& argb, int width, int height) {
    const uint32_t imageSize = uint32_t(width) * uint32_t(height) * 4;
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    out.push_back('B'), out.push_back('M');
    put32(54 + imageSize), put32(0), put32(54);
    put32(40), put32(uint32_t(width)), put32(uint32_t(height)), put16(1), put16(32), put32(0), put32(imageSize);
    put32(2835), put32(2835), put32(0), put32(0);
    // Rows bottom up, each pixel blue, green, red, alpha.
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) put32(argb[size_t(y) * size_t(width) + size_t(x)]);
    return out;
}

// ---- [device] --------------------------------------------------------------------------------------------

namespace {

class AcceleratedRenderer : public HardwareTester::Device {
public:
    std::string LibraryVersion() override { return Desktop::DrawingLibraryVersion(); }
    bool Open(std::string* error) override { return mProbe.Open(error); }
    std::string RendererName() override { return mProbe.RendererName(); }
    std::string DriverName() override { return mProbe.DriverName(); }
    std::string AdapterDescription() override { return mProbe.AdapterDescription(); }
    bool FreeVideoMemory(uint64_t*) override { return false; }
    void DesktopMode(int* width, int* height, int* bitsPerPixel) override {
        *width = *height = *bitsPerPixel = 0;
        Desktop::DesktopMode(width, height, bitsPerPixel);
        // A 24-bit desktop here keeps its pixels in 32 bits; the renderer draws it happily.
        if (*bitsPerPixel == 24) *bitsPerPixel = 32;
    }
    int MaxTextureSize() override { return mProbe.MaxTextureSize(); }
    bool HasArgbTextures() override { return mProbe.HasArgbTextures(); }
    int CreateTexture(int w, int h, const uint32_t* argb) override { return mProbe.CreateTexture(w, h, argb); }
    bool BeginTarget(int w, int h, uint32_t argb) override { return mProbe.BeginTarget(w, h, argb); }
    bool SetClip(int x, int y, int w, int h) override { return mProbe.SetClip(x, y, w, h); }
    bool Draw(int texture, float x0, float y0, float x1, float y1, bool additive) override {
        return mProbe.Draw(texture, x0, y0, x1, y1, additive);
    }
    bool ReadBack(std::vector<uint32_t>* argb) override { return mProbe.ReadBack(argb); }
    std::string LastError() override { return RendererProbe::LastError(); }
    void Close() override { mProbe.Close(); }

private:
    RendererProbe mProbe;
};

}  // namespace

std::unique_ptr<HardwareTester::Device> HardwareTester::AcceleratedDevice() {
    return std::make_unique<AcceleratedRenderer>();
}
