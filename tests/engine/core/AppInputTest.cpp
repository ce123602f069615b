// The application's event path and start-up faults: bursts of events, the far-away point,
// activation, second launches, a missing data folder, the cache version and screenshots.
#include <gtest/gtest.h>

#include "AppTestDriver.h"
#include "engine/core/Graphics.h"
#include "persistence/Registry.h"
#include "platform/Cursor.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "platform/SingleInstance.h"
#include "Recorder.h"
#include "TestSupport.h"

TEST(AppInputTest, BurstOfTenThousandEventsIsHandledInOneStep) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    Recorder* g = new Recorder("g", &log, 0, 0, 800, 600);
    drive.app->mGadgets.Add(g);
    for (int i = 0; i < 10000; ++i) {
        int x = (i * 37) % 900 - 50, y = (i * 53) % 700 - 50;
        switch (i % 5) {
        case 0: drive.app->QueueEvent(kMsgMouseMove, 0, PackMousePosition(x, y)); break;
        case 1: drive.app->QueueEvent(kMsgLeftDown, 0, PackMousePosition(x, y)); break;
        case 2: drive.app->QueueEvent(kMsgLeftUp, 0, PackMousePosition(-9999, -9999)); break;
        case 3: drive.app->QueueEvent(kMsgRightUp, 0, PackMousePosition(x, y)); break;
        default: drive.app->QueueEvent(kMsgKeyDown, i, 0); break;
        }
    }
    EXPECT_EQ(drive.app->QueuedEventCount(), 10000u);
    drive.Step();
    EXPECT_EQ(drive.app->QueuedEventCount(), 0u);
    EXPECT_GE(drive.app->mMouseButtonsDown, 0);
    EXPECT_GT(Only(log, "g down").size(), 0u);
}

TEST(AppInputTest, LosingTheFocusEndsHoverAndPressAndForgetsHeldKeys) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    Recorder* g = new Recorder("g", &log, 0, 0, 100, 100);
    drive.app->mGadgets.Add(g);
    drive.MoveTo(10, 10);
    drive.Press(10, 10);
    drive.Hold(kScanLeftShift);
    drive.Step();
    EXPECT_TRUE(drive.app->mInput.IsDown(kScanLeftShift));
    drive.Focus(false);
    drive.RunFrame();
    EXPECT_FALSE(drive.app->mActive);
    EXPECT_EQ(Only(log, "g leave").size(), 1u);
    EXPECT_EQ(Only(log, "g up "), std::vector<std::string>{"g up -9999,-9999 b-1"});
    EXPECT_EQ(drive.app->mCapture, nullptr);
    EXPECT_FALSE(drive.app->mInput.IsDown(kScanLeftShift));
    // Back in front with the key still held: that counts as a fresh press.
    drive.Focus(true);
    drive.Step();
    EXPECT_TRUE(drive.app->mInput.WasPressed(kScanLeftShift));
}

TEST(AppInputTest, PointerLeavingTheWindowEndsHoverWithinTenSteps) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    Recorder* g = new Recorder("g", &log, 0, 0, 100, 100);
    drive.app->mGadgets.Add(g);
    drive.MoveTo(10, 10);
    drive.Step();
    ASSERT_TRUE(g->mHover);
    drive.app->mWindow->PushMouseLeave();
    drive.Step(10);
    EXPECT_FALSE(g->mHover);
    EXPECT_EQ(Only(log, "g leave").size(), 1u);
}

TEST(AppInputTest, DoubleClickAndOtherButtonsReachTheGadgetWithTheirCodes) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    drive.app->mGadgets.Add(new Recorder("g", &log, 0, 0, 100, 100));
    drive.DoubleClick(5, 6);
    drive.Press(7, 8, 1);
    drive.Release(7, 8, 1);
    drive.Press(9, 9, 0);
    drive.Release(9, 9, 0);
    drive.Step();
    EXPECT_EQ(Only(log, "g double"), std::vector<std::string>{"g double 5,6 b-1"});
    EXPECT_EQ(Only(log, "g down"), (std::vector<std::string>{"g down 5,6 b-1", "g down 7,8 b1", "g down 9,9 b0"}));
    EXPECT_EQ(Only(log, "g up ").size(), 4u);
    EXPECT_EQ(drive.app->mMouseButtonsDown, 0);
}

TEST(AppInputTest, MousePositionsAreScaledIntoTheLogicalScreen) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    drive.app->mGadgets.Add(new Recorder("g", &log, 0, 0, 800, 600));
    // A 1600x1400 window: scale 2, with 100-pixel bars above and below.
    drive.app->mGraphics->Resize(1600, 1400);
    drive.MoveTo(200, 300);
    drive.Step();
    EXPECT_EQ(Only(log, "g move"), std::vector<std::string>{"g move 100,100"});
}

TEST(AppInputTest, SecondLaunchRaisesTheFirstAndStartsNoWindow) {
    // This game runs; another launch on the same data folder hands over and raises it.
    {
        AppTestDriver<> first;
        ASSERT_TRUE(first.app->mWindow && first.app->mWindow->IsOpen());
        SingleInstance second;
        EXPECT_EQ(second.Acquire(Files::DataRoot(), first.app->mName), SingleInstance::Result::kHandedOver);
        first.RunFrame();
        EXPECT_EQ(first.app->mRaiseRequests, 1);
    }
    // Another game holds the lock: this one exits before making a window, and leaves the
    // running game's cache alone even when it thinks the cache is stale.
    SingleInstance running;
    ASSERT_EQ(running.Acquire(Files::DataRoot(), "Unnamed App"), SingleInstance::Result::kFirst);
    TestSupport::WriteBytes(Files::DataRoot() + "/cached/in-use.cached", "data");
    AppTestDriver<> late(false);
    late.app->mCheckCacheVersion = true;
    late.app->SetVersion("9.9.9");
    late.Start();
    EXPECT_TRUE(Files::IsRegularFile(Files::DataRoot() + "/cached/in-use.cached"));
    EXPECT_TRUE(late.app->mSecondInstance);
    EXPECT_TRUE(late.app->mQuit);
    EXPECT_FALSE(late.app->mWindow);
    EXPECT_EQ(running.PollRaiseRequests(), 1);
}

TEST(AppInputTest, MissingOrUnwritableDataFolderStillStartsTheGame) {
    std::string saved = Files::DataRoot();
    Files::SetDataRoot("/proc/quorlslide-cannot-exist/data");
    {
        AppTestDriver<> drive(false);
        EXPECT_FALSE(drive.app->SetupDataFolder());
        drive.Start();
        EXPECT_FALSE(drive.app->mQuit);
        EXPECT_TRUE(drive.app->mWindow && drive.app->mWindow->IsOpen());
        drive.Step(3);
        drive.Frame();
    }
    Files::SetDataRoot(saved);
}

TEST(AppInputTest, StaleCacheIsDeletedAndRecreatedWithTheVersion) {
    TestSupport::WriteBytes(Files::DataRoot() + "/cached/cacheinfo.cfg", "Version=0.0.1\r\n");
    TestSupport::WriteBytes(Files::DataRoot() + "/cached/old.cached", "stale");
    AppTestDriver<> drive(false);
    drive.app->SetVersion("1.2.3");
    drive.app->mCheckCacheVersion = true;
    drive.app->PrepareCache();
    EXPECT_FALSE(Files::IsRegularFile(Files::DataRoot() + "/cached/old.cached"));
    Registry info;
    info.Load("cached\\cacheinfo.cfg");
    EXPECT_EQ(info.GetString("Version"), "1.2.3");
    // Current cache: kept.
    TestSupport::WriteBytes(Files::DataRoot() + "/cached/new.cached", "fresh");
    drive.app->PrepareCache();
    EXPECT_TRUE(Files::IsRegularFile(Files::DataRoot() + "/cached/new.cached"));
}

namespace {

class ShotGraphics : public Graphics {
public:
    bool WriteScreenshot(const std::string& path) override {
        TestSupport::WriteBytes(path, "BM");
        return true;
    }
};

class ShotApp : public App {
public:
    Graphics* CreateGraphics() override { return new ShotGraphics(); }
};

}  // namespace

TEST(AppInputTest, CtrlPrintScreenWritesNumberedScreenshots) {
    AppTestDriver<ShotApp> drive;
    drive.Hold(kScanLeftCtrl);
    drive.Step();
    for (int i = 0; i < 2; ++i) {
        drive.KeyPress(kKeyPrintScreen);
        drive.KeyRelease(kKeyPrintScreen);
        drive.Step();
    }
    EXPECT_TRUE(Files::IsRegularFile(Files::DataRoot() + "/Screenshots/screenshot1.bmp"));
    EXPECT_TRUE(Files::IsRegularFile(Files::DataRoot() + "/Screenshots/screenshot2.bmp"));
    EXPECT_FALSE(Files::IsRegularFile(Files::DataRoot() + "/Screenshots/screenshot3.bmp"));
}

TEST(AppInputTest, CrashReportTagsComeInOrder) {
    AppTestDriver<> drive;
    drive.app->SetName("Quorl Slide");
    drive.app->SetVersion("0.1.0");
    drive.clock.Advance(3723 * 1000);
    std::string info = drive.app->GetExtendedInfo();
    size_t last = 0;
    for (const char* tag : {"<PRODUCT>Quorl Slide</PRODUCT>", "<VERSION>0.1.0</VERSION>", "<RUNTIME>", "<FULLSCREEN>false",
                            "<SAFEMODE>false", "<RESOLUTION>800 x 600 : 32", "<OS>", "<DDRAW>"}) {
        size_t at = info.find(tag);
        ASSERT_NE(at, std::string::npos) << tag << " in " << info;
        EXPECT_GE(at, last) << tag;
        last = at;
    }
    EXPECT_NE(info.find("<RUNTIME>01:02:03</RUNTIME>"), std::string::npos) << info;
}

TEST(AppInputTest, CursorsAndHeadlessMessageBoxes) {
    AppTestDriver<> drive;
    App& app = *drive.app;
    // Every standard kind exists even without system pointers (headless).
    const struct {
        Cursor* cursor;
        int kind;
    } cursors[] = {{app.mArrowCursor, 0}, {app.mWaitCursor, 1}, {app.mHandCursor, 2}, {app.mBeamCursor, 3},
                   {app.mGrabCursor, 4}};
    for (const auto& c : cursors) {
        ASSERT_NE(c.cursor, nullptr) << c.kind;
        app.SetCursor(c.cursor);
        EXPECT_EQ(app.mGraphics->mCursorKind, c.kind);
    }
    ASSERT_NE(app.mBlankCursor, nullptr);
    // While busy, every request shows the wait cursor.
    app.mBusyCount = 1;
    app.SetCursor(app.mHandCursor);
    EXPECT_EQ(app.mCurrentCursor, app.mWaitCursor);
    app.mBusyCount = 0;
    app.SetCursor(nullptr);
    EXPECT_EQ(app.mCurrentCursor, app.mArrowCursor);

    // No display: the message goes to standard error and the debug log, and nobody said No.
    EXPECT_TRUE(app.MessageBox("Image Load Error", "Graphics\\missing could not be loaded", "OK"));
    EXPECT_TRUE(app.MessageBox("Question", "Really?", "yes|no"));
    std::string log = TestSupport::ReadText(Files::DataRoot() + "/DEBUG.TXT");
    EXPECT_NE(log.find("Image Load Error: Graphics\\missing could not be loaded"), std::string::npos) << log;
}

TEST(AppInputTest, CommandLineHoldsTheArgumentsLowerCasedWithoutTheProgramPath) {
    AppTestDriver<> drive(false);
    char program[] = "/home/x/my-crash-tests/quorlslide";
    char software[] = "-SOFTWARE";
    char seed[] = "--seed";
    char* argv[] = {program, software, seed};
    drive.app->SetCommandLine(3, argv);
    EXPECT_EQ(drive.app->mCommandLine, "-software --seed");
}
