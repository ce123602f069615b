// The software device end to end: settings, sprites through transforms, clip and origin stacks,
// mosaic sizing, screenshots, and a gadget tree rendered headless to a PNG.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "engine/core/Gadget.h"
#include "engine/draw/BitmapWriter.h"
#include "engine/draw/ColorTable.h"
#include "engine/draw/DisplaySettings.h"
#include "engine/draw/GraphicsFactory.h"
#include "engine/draw/Image.h"
#include "engine/draw/PngCodec.h"
#include "engine/draw/SoftwareGraphics.h"
#include "engine/draw/Sprite.h"
#include "engine/draw/TextureMosaic.h"
#include "HeadlessShot.h"
#include "persistence/Registry.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "TestSupport.h"

namespace {

// An 8x8 picture in four coloured quadrants.
Image Quadrants() {
    Image image;
    image.Create(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            *image.PixelAt(x, y) = y < 4 ? (x < 4 ? 0xFFFF0000 : 0xFF00FF00) : (x < 4 ? 0xFF0000FF : 0xFFFFFFFF);
    return image;
}

struct Device {
    SoftwareGraphics graphics;
    explicit Device(int w = 800, int h = 600, PixelFormat f = PixelFormat::kArgb8888) : graphics(w, h, f) {
        EXPECT_TRUE(graphics.Init(nullptr));
        graphics.BeginFrame();
    }
    uint32_t At(int x, int y) const { return SoftwareRasterizer::ReadPixel(graphics.Target(), x, y); }
};

TEST(DisplaySettings, DefaultsSwitchesAndWriteBack) {
    struct Case {
        const char* what;
        const char* file;
        const char* commandLine;
        bool recommended;
        int width, height;
        bool fullscreen, software;
        const char* written;  // the file afterwards
    } cases[] = {
        {"empty file gets the preferences", "", "", false, 1024, 768, false, false,
         "Width=1024\r\nHeight=768\r\nFullscreen=false\r\nSoftware=false\r\n"},
        {"test verdict when Software is missing", "", "", true, 1024, 768, false, true,
         "Width=1024\r\nHeight=768\r\nFullscreen=false\r\nSoftware=true\r\n"},
        {"-software beats Software=0", "Software=0\r\n", "game -software", false, 1024, 768, false, true,
         "Software=0\r\nWidth=1024\r\nHeight=768\r\nFullscreen=false\r\n"},
        {"-hardware clears a recommendation, nothing written for Software", "", "game -hardware", true, 1024, 768,
         false, false, "Width=1024\r\nHeight=768\r\nFullscreen=false\r\n"},
        {"zero size: 800x600 full screen hardware", "Width=0\r\nSoftware=1\r\n", "", false, 800, 600, true, false,
         "Width=0\r\nSoftware=1\r\nHeight=768\r\nFullscreen=false\r\n"},
    };
    for (const Case& c : cases) {
        TestSupport::UseFreshDataFolder();
        std::string path = Files::PathForWrite("game.cfg");
        TestSupport::WriteBytes(path, c.file);
        Registry config;
        config.Load(path);
        DisplaySettings settings;
        DisplaySettings::Preferences prefs;
        prefs.width = 1024;
        prefs.height = 768;
        prefs.softwareRecommended = c.recommended;
        settings.Read(config, c.commandLine, prefs);
        EXPECT_EQ(c.width, settings.mWidth) << c.what;
        EXPECT_EQ(c.height, settings.mHeight) << c.what;
        EXPECT_EQ(c.fullscreen, settings.mFullscreen) << c.what;
        EXPECT_EQ(c.software, settings.mSoftware) << c.what;
        EXPECT_EQ(c.written, TestSupport::ReadText(path)) << c.what;
    }
}

TEST(DisplaySettings, NarrowOrOddDesktopForcesFullScreen) {
    DisplaySettings s;
    s.CheckDesktop(640, 480, 32);
    EXPECT_TRUE(s.mWindowedImpossible);
    EXPECT_TRUE(s.mFullscreen);
    EXPECT_EQ("Your desktop resolution must be set higher than 640x480", s.mWindowedImpossibleReason);
    s.mFullscreen = false;
    s.CheckDesktop(1920, 1080, 8);
    EXPECT_EQ("Your desktop color depth must be set to 16 bit or 32 bit color", s.mWindowedImpossibleReason);
    s.mFullscreen = false;
    s.CheckDesktop(1920, 1080, 32);
    EXPECT_FALSE(s.mWindowedImpossible);
    EXPECT_FALSE(s.mFullscreen);
}

// Rotations by quarter turns and scales by 2 put the quadrants where the accelerated path puts
// them; a tint multiplies.
TEST(GraphicsDevice, SpritesLandWhereTransformsSay) {
    Device d;
    Sprite sprite;
    sprite.SetImage(Quadrants());
    d.graphics.Clear(0xFF000000);
    sprite.Draw(10, 10);
    EXPECT_EQ(0xFFFF0000u, d.At(10, 10));
    EXPECT_EQ(0xFFFFFFFFu, d.At(17, 17));
    EXPECT_EQ(0xFF000000u, d.At(18, 18));

    sprite.DrawRotatedScaled(100, 100, 90, 1);  // top-left quadrant turns to the top-right
    EXPECT_EQ(0xFFFF0000u, d.At(102, 97));
    EXPECT_EQ(0xFF0000FFu, d.At(97, 97));
    EXPECT_EQ(0xFFFFFFFFu, d.At(97, 102));
    EXPECT_EQ(0xFF00FF00u, d.At(102, 102));

    sprite.DrawRotatedScaled(200, 200, 0, 2);  // 16x16 centred on (200, 200)
    EXPECT_EQ(0xFFFF0000u, d.At(193, 193));
    EXPECT_EQ(0xFFFFFFFFu, d.At(206, 206));
    EXPECT_EQ(0xFF000000u, d.At(191, 200));
    EXPECT_EQ(0xFF000000u, d.At(209, 200));

    d.graphics.SetColor(0.5f, 1.0f, 1.0f, 1.0f);
    sprite.Draw(300, 300);
    EXPECT_EQ(0xFF80FFFFu, d.At(307, 307));
    d.graphics.ResetColor();
}

TEST(GraphicsDevice, ClipOriginAndPartialDrawing) {
    Device d;
    Sprite sprite;
    Image white;
    white.Create(10, 10, 0xFFFFFFFF);
    sprite.SetImage(white);
    d.graphics.Clear(0xFF000000);
    d.graphics.PushOrigin();
    d.graphics.mOrigin = Point{50, 50};
    d.graphics.PushClip();
    d.graphics.SetClip(2, 0, 5, 100);  // relative to the origin
    sprite.Draw(0, 0);
    EXPECT_EQ(0xFF000000u, d.At(51, 51));
    EXPECT_EQ(0xFFFFFFFFu, d.At(52, 51));
    EXPECT_EQ(0xFFFFFFFFu, d.At(56, 51));
    EXPECT_EQ(0xFF000000u, d.At(57, 51));
    d.graphics.PopClip();
    d.graphics.PopOrigin();
    EXPECT_EQ(0.0f, d.graphics.mOrigin.x);
    EXPECT_EQ(-9999.0f, d.graphics.mClip.x);

    sprite.DrawPartialHorizontal(100, 100, 3);
    EXPECT_EQ(0xFFFFFFFFu, d.At(102, 105));
    EXPECT_EQ(0xFF000000u, d.At(103, 105));
    sprite.DrawPartialVertical(200, 100, -4);
    EXPECT_EQ(0xFF000000u, d.At(205, 105));
    EXPECT_EQ(0xFFFFFFFFu, d.At(205, 106));
    EXPECT_EQ(-9999.0f, d.graphics.mClip.x);

    d.graphics.SetColor(1, 0, 0, 0);
    d.graphics.FillRect(0, 0, 800, 600);
    EXPECT_EQ(0xFF000000u, d.At(400, 300));
    d.graphics.SetColor(1, 0, 0, 1);
    d.graphics.FillRect(400, 300, 1, 1);
    EXPECT_EQ(0xFFFF0000u, d.At(400, 300));
    EXPECT_EQ(0xFF000000u, d.At(401, 300));
}

// The game's 640x480 buffer scales the logical screen by 0.8 in every format.
TEST(GraphicsDevice, SoftwareBufferScalesTheLogicalScreen) {
    for (PixelFormat f : {PixelFormat::kArgb8888, PixelFormat::kRgb565, PixelFormat::kRgb555}) {
        Device d(640, 480, f);
        d.graphics.Clear(0xFF000000);
        d.graphics.SetColor(0, 1, 0, 1);
        d.graphics.FillRect(100, 100, 100, 50);
        EXPECT_EQ(0xFF00FF00u, d.At(80, 80)) << int(f);
        EXPECT_EQ(0xFF00FF00u, d.At(159, 119)) << int(f);
        EXPECT_EQ(0xFF000000u, d.At(160, 120)) << int(f);
    }
}

TEST(TextureMosaic, SizingRule) {
    struct Case {
        int size;
        std::vector<int> tiles;
    } cases[] = {{100, {128}}, {300, {256, 64}}, {600, {512, 128}}, {900, {512, 256, 128, 4}},
                 {1023, {1024}}, {1500, {512, 1024}}, {130, {128, 2}}, {5, {8}}};
    for (const Case& c : cases) EXPECT_EQ(c.tiles, TextureMosaic::SplitDimension(c.size, 1, 4096)) << c.size;
    EXPECT_EQ(std::vector<int>({128, 16}), TextureMosaic::SplitDimension(130, 16, 4096));
    EXPECT_EQ(std::vector<int>({256, 256, 256, 256}), TextureMosaic::SplitDimension(1023, 1, 256));
    TextureMosaic m;
    m.Layout(300, 200, 2048, 1, 0);
    ASSERT_EQ(1u, m.mTiles.size());
    m.Layout(800, 600, 2048, 1, 0);
    ASSERT_EQ(6u, m.mTiles.size());
    EXPECT_EQ(512, m.mTiles[1].x);
    EXPECT_EQ(256, m.mTiles[1].width);
    EXPECT_EQ(32, m.mTiles[2].width);
    m.Layout(1024, 16, 2048, 1, 8);
    for (const auto& t : m.mTiles) EXPECT_LE(t.textureWidth, t.textureHeight * 8);
}

TEST(GraphicsDevice, ScreenshotsAsBitmapAndPng) {
    Device d(4, 2);
    d.graphics.Clear(0xFF102030);
    RasterTarget t = d.graphics.Target();
    SoftwareRasterizer::WritePixel(t, 0, 0, 0xFFFF0000);
    std::string shot = d.graphics.SaveScreenshot();
    EXPECT_EQ("Screenshots\\screenshot1.bmp", shot);
    EXPECT_EQ("Screenshots\\screenshot2.bmp", d.graphics.SaveScreenshot());
    std::vector<uint8_t> bmp = TestSupport::ReadBytes(Files::PathForWrite(shot));
    ASSERT_EQ(size_t(54 + 2 * 12), bmp.size());
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ(24, bmp[28]);
    // Bottom row first: the red pixel at the top-left is the first pixel of the second row.
    EXPECT_EQ(0x30, bmp[54]);
    EXPECT_EQ(0x00, bmp[54 + 12]);
    EXPECT_EQ(0xFF, bmp[54 + 12 + 2]);

    std::string png = TestSupport::UseFreshDataFolder() + "/shot.png";
    ASSERT_TRUE(d.graphics.WritePng(png));
    std::vector<uint8_t> bytes = TestSupport::ReadBytes(png);
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    ASSERT_TRUE(PngCodec::Decode(bytes.data(), bytes.size(), w, h, px));
    EXPECT_EQ(0xFFFF0000u, px[0]);
    EXPECT_EQ(0xFF102030u, px[1]);
}

// Without an accelerated renderer (the dummy video driver has none) the factory hands out the
// software device, which still presents through the window.
TEST(GraphicsFactory, FallsBackToSoftware) {
    ASSERT_TRUE(Window::InitVideo()) << Window::LastError();
    Window window;
    Window::Options options;
    options.title = "test";
    ASSERT_TRUE(window.Create(options));
    bool software = false;
    std::unique_ptr<GraphicsDevice> device(GraphicsFactory::Create(&window, software));
    ASSERT_NE(nullptr, device);
    EXPECT_TRUE(software);
    EXPECT_TRUE(device->mSoftware);
    ASSERT_NE(nullptr, dynamic_cast<SoftwareGraphics*>(device.get()));
    // The logical screen one to one: the presenter does the scaling.
    EXPECT_EQ(800, device->BufferWidth());
    EXPECT_EQ(600, device->BufferHeight());
    device->BeginFrame();
    device->SetColor(1, 0, 0, 1);
    device->FillRect(0, 0, 800, 600);
    device->EndFrame();
    EXPECT_TRUE(device->Present());
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    ASSERT_TRUE(device->ReadPixels(px, w, h));
    EXPECT_EQ(0xFFFF0000u, px[size_t(300) * 800 + 400]);
    device->Shutdown();
    window.Destroy();
}

// The gadget tree's alpha hit modes read sprites and pictures through their alpha.
TEST(Sprite, ABigPictureKeepsOnlyWhatLiesInsideItsClearBorder) {
    Image picture;
    picture.Create(400, 300);
    for (int y = 50; y < 70; ++y)
        for (int x = 100; x < 140; ++x) *picture.PixelAt(x, y) = 0xFFFF0000u;
    *picture.PixelAt(139, 69) = 0x80402010u;
    Sprite sprite;
    sprite.SetImage(picture);
    EXPECT_EQ(sprite.Width(), 400);
    EXPECT_EQ(sprite.Height(), 300);
    // The red block and a one-pixel clear margin.
    EXPECT_EQ(sprite.mPixelsWidth, 42);
    EXPECT_EQ(sprite.mPixelsHeight, 22);
    EXPECT_EQ(sprite.mPixels.size(), size_t(42 * 22));
    EXPECT_EQ(sprite.AlphaAt(100, 50), 255);
    EXPECT_EQ(sprite.AlphaAt(139, 69), 0x80);
    EXPECT_EQ(sprite.AlphaAt(99, 50), 0);
    EXPECT_EQ(sprite.AlphaAt(0, 0), 0);
    Image back = sprite.ToImage();
    ASSERT_EQ(back.mWidth, 400);
    EXPECT_EQ(*back.PixelAt(120, 60), 0xFFFF0000u);
    EXPECT_EQ(*back.PixelAt(10, 10), 0u);
    EXPECT_EQ(*back.PixelAt(145, 75), 0u);

    // Drawn where the whole picture would be, plainly and turned about its centre.
    Device d;
    sprite.Draw(10, 10);
    EXPECT_EQ(d.At(110, 60) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(d.At(109, 60) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(d.At(148, 79) & 0xFFFFFF, 0xFF0000u);
    sprite.DrawRotatedScaled(400, 300, 180, 2);  // the block lands at (520..600, 460..500)
    EXPECT_EQ(d.At(560, 480) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(d.At(597, 463) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(d.At(515, 480) & 0xFFFFFF, 0x000000u);

    // Small pictures stay whole.
    Image small;
    small.Create(100, 100);
    *small.PixelAt(50, 50) = 0xFFFFFFFFu;
    sprite.SetImage(small);
    EXPECT_EQ(sprite.mPixelsWidth, 100);
    EXPECT_EQ(sprite.mPixels.size(), size_t(100 * 100));
}

TEST(Sprite, AlphaHitModesOfGadgets) {
    Image picture;
    picture.Create(4, 2, 0xFFFFFFFF);
    *picture.PixelAt(0, 0) = 0x00FFFFFF;
    *picture.PixelAt(1, 0) = 0x20FFFFFF;  // below the gadget's threshold of a quarter
    Sprite sprite;
    sprite.SetImage(picture);
    Gadget gadget;
    gadget.SetHitSprite(10, 20, &sprite);
    EXPECT_FALSE(gadget.HitTest(10.5f, 20.5f));
    EXPECT_FALSE(gadget.HitTest(11.5f, 20.5f));
    EXPECT_TRUE(gadget.HitTest(12.5f, 20.5f));
    EXPECT_FALSE(gadget.HitTest(14.5f, 20.5f));  // outside the sprite
    EXPECT_EQ(0x20, sprite.AlphaAt(1, 0));
    gadget.mHitMode = Gadget::kHitImageAlpha;
    gadget.mHitImage = &picture;
    EXPECT_TRUE(gadget.HitTest(13.5f, 21.5f));
    EXPECT_FALSE(gadget.HitTest(10.5f, 20.5f));
}

TEST(ColorTable, IndexWrapsModuloTen) {
    EXPECT_EQ(0.5f, ColorTable::Get(1).g);
    EXPECT_EQ(0.75f, ColorTable::Get(19).r);
    EXPECT_EQ(1.0f, ColorTable::Get(-3).r);  // -3 wraps to 7, white
    EXPECT_EQ(1.0f, ColorTable::Get(-3).b);
    EXPECT_EQ(0.0f, ColorTable::Get(8).r + ColorTable::Get(8).g + ColorTable::Get(8).b);
}

// A gadget tree drawn by the real application loop into the software device, written as PNG.
class PictureGadget : public Gadget {
public:
    Sprite* sprite = nullptr;
    void Draw() override {
        GraphicsDevice* g = GraphicsDevice::Current();
        g->SetColor(0.2f, 0.3f, 0.5f, 1.0f);
        g->FillRect(0, 0, mRect.w, mRect.h);
        g->ResetColor();
        sprite->Draw(10, 10);
        sprite->DrawRotatedScaled(150, 60, 30, 4);
        g->SetBlend(GraphicsDevice::Blend::kAdditive);
        g->SetColor(1.0f, 0.5f, 0.2f, 0.6f);
        sprite->DrawRotatedScaled(250, 60, -20, 6);
        g->SetBlend(GraphicsDevice::Blend::kNormal);
        g->ResetColor();
        g->DrawSystemText(10, 120, "QUORL SLIDE 0123456789 FPS: 100%");
    }
};

TEST(GraphicsDevice, HeadlessShotOfAGadgetTree) {
    AppTestDriver<ShotApp> drive;
    ASSERT_NE(nullptr, dynamic_cast<SoftwareGraphics*>(drive.app->mGraphics));
    Sprite sprite;
    sprite.SetImage(Quadrants());
    auto* gadget = new PictureGadget;
    gadget->sprite = &sprite;
    gadget->SetRect(100, 100, 400, 150);
    drive.app->mGadgets.Add(gadget);
    std::string path = Files::DataRoot() + "/tree.png";
    ASSERT_TRUE(HeadlessShot::Write(drive, path));
    std::vector<uint8_t> bytes = TestSupport::ReadBytes(path);
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    ASSERT_TRUE(PngCodec::Decode(bytes.data(), bytes.size(), w, h, px));
    ASSERT_EQ(800, w);
    EXPECT_EQ(0xFFFF0000u, px[size_t(110) * 800 + 110]);   // sprite corner at gadget + (10, 10)
    EXPECT_EQ(0xFF334D80u, px[size_t(105) * 800 + 105]);   // the gadget's background
    if (const char* keep = std::getenv("QS_KEEP_SHOTS")) {
        TestSupport::WriteBytes(std::string(keep) + "/tree.png", std::string(bytes.begin(), bytes.end()));
    }
}

// ---- Frames that did not change ---------------------------------------------------------------

// A square whose colour its update steps choose, with an optional sprite over it; `temporary`
// draws a picture made and dropped inside Draw.
class Swatch : public Gadget {
public:
    Swatch() { SetRect(200, 200, 40, 40); }
    void Update() override {
        ++steps;
        if (onUpdate) onUpdate(*this);
    }
    void Draw() override {
        GraphicsDevice* g = GraphicsDevice::Current();
        g->SetColor(color[0], color[1], color[2], color[3]);
        g->FillRect(0, 0, 40, 40);
        g->ResetColor();
        if (sprite) sprite->DrawPartialHorizontal(0, 0, 4);
        if (temporary) {
            Sprite made;
            made.SetImage(Quadrants());
            made.Draw(30, 30);
        }
    }
    float color[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    const Sprite* sprite = nullptr;
    bool temporary = false;
    int steps = 0;
    std::function<void(Swatch&)> onUpdate;
};

struct SwatchScreen {
    SwatchScreen() : swatch(new Swatch) {
        drive.app->mGadgets.Add(swatch);
        drive.Step();
        drive.Frame();
    }
    int Presented() const { return drive.app->mGraphics->mFramesPresented; }
    uint32_t At(int x, int y) const {
        auto* device = static_cast<SoftwareGraphics*>(drive.app->mGraphics);
        return SoftwareRasterizer::ReadPixel(device->Target(), x, y) & 0xFFFFFFu;
    }
    // Runs `steps` update steps, a frame after each; returns how many frames were presented.
    int Run(int steps) {
        int before = Presented();
        for (int i = 0; i < steps; ++i) {
            drive.Step();
            drive.Frame();
        }
        return Presented() - before;
    }
    AppTestDriver<ShotApp> drive;
    Swatch* swatch;
};

TEST(UnchangedFrames, AScreenAtRestIsDrawnOnceAndKeepsItsPicture) {
    SwatchScreen screen;
    EXPECT_EQ(screen.Presented(), 1);
    int skipped = screen.drive.app->mFramesSkipped;
    EXPECT_EQ(screen.Run(50), 0);
    EXPECT_EQ(screen.drive.app->mFramesSkipped, skipped + 50);
    EXPECT_EQ(screen.At(210, 210), 0xFF0000u) << "the back buffer still holds the last picture";
    EXPECT_EQ(screen.At(5, 5), 0x000000u);
    // The window lost its picture: the next frame is presented although nothing changed.
    screen.drive.app->WindowMessage(PlatformEvent{kMsgExposed, 0, 0});
    EXPECT_EQ(screen.Run(1), 1);
    EXPECT_EQ(screen.Run(5), 0);
    // So does a window of a new size.
    screen.drive.app->WindowMessage(PlatformEvent{kMsgResize, 1000, 700});
    EXPECT_EQ(screen.Run(1), 1);
    EXPECT_EQ(screen.Run(5), 0);
}

TEST(UnchangedFrames, FramesThatShouldChangeArePresentedAndShowTheChange) {
    SwatchScreen screen;
    // Blinking: the colour flips every 25 steps, so 100 steps present four frames.
    screen.swatch->onUpdate = [](Swatch& s) {
        if (s.steps % 25 == 0) s.color[1] = s.color[1] == 0.0f ? 1.0f : 0.0f;
    };
    for (int round = 0; round < 4; ++round) {
        int presented = 0;
        while (screen.swatch->steps % 25 != 24) presented += screen.Run(1);
        EXPECT_EQ(presented, 0) << "round " << round;
        EXPECT_EQ(screen.Run(1), 1) << "round " << round;
        EXPECT_EQ(screen.At(210, 210), screen.swatch->color[1] == 1.0f ? 0xFFFF00u : 0xFF0000u) << "round " << round;
    }
    // Pulsing: a new shade every step, so every frame is presented.
    screen.swatch->onUpdate = [](Swatch& s) { s.color[2] = float(s.steps % 200) / 200.0f; };
    EXPECT_EQ(screen.Run(30), 30);
}

TEST(UnchangedFrames, ANewPictureInTheSameSpriteOrOneDroppedWhileDrawingIsDrawnRight) {
    SwatchScreen screen;
    Sprite sprite;
    sprite.SetImage(Quadrants());
    screen.swatch->sprite = &sprite;
    EXPECT_EQ(screen.Run(3), 1);
    EXPECT_EQ(screen.At(201, 201), 0xFF0000u);
    EXPECT_EQ(screen.At(205, 201), 0xFF0000u) << "clipped to its first four columns: the red swatch";
    Image blue;
    blue.Create(8, 8, 0xFF0000FFu);
    sprite.SetImage(blue);  // same size, same place: only the pixels differ
    EXPECT_EQ(screen.Run(3), 1);
    EXPECT_EQ(screen.At(201, 201), 0x0000FFu);
    // A picture made and destroyed inside Draw is drawn before it goes, in its place.
    screen.swatch->temporary = true;
    screen.Run(2);
    EXPECT_EQ(screen.At(231, 231), 0xFF0000u);
    EXPECT_EQ(screen.At(237, 237), 0xFFFFFFu);
    EXPECT_EQ(screen.At(201, 201), 0x0000FFu);
}

TEST(UnchangedFrames, RecordedFramesDrawTheSamePixelsAsDirectOnes) {
    std::vector<uint32_t> pictures[2];
    for (int recorded = 0; recorded < 2; ++recorded) {
        AppTestDriver<ShotApp> drive;
        drive.app->mGraphics->mSkipUnchanged = recorded == 1;
        Sprite sprite;
        sprite.SetImage(Quadrants());
        auto* gadget = new PictureGadget;
        gadget->sprite = &sprite;
        gadget->SetRect(100, 100, 400, 150);
        drive.app->mGadgets.Add(gadget);
        drive.Step();
        drive.Frame();
        int w = 0, h = 0;
        ASSERT_TRUE(static_cast<SoftwareGraphics*>(drive.app->mGraphics)->ReadPixels(pictures[recorded], w, h));
        drive.app->mGadgets.DeleteAll();
    }
    EXPECT_TRUE(pictures[0] == pictures[1]);
}

}  // namespace
