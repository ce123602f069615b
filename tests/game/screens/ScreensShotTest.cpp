// The profile screen, the name entry and the scores screen drawn with the real art through the
// software device, each written as a PNG ($QS_SHOT_DIR, else /tmp) to be looked at; a few pixels
// are checked where a fault would show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "engine/controls/EditBox.h"
#include "engine/draw/HeadlessShot.h"
#include "game/GauntletSession.h"
#include "game/screens/NameEntryDialog.h"
#include "game/screens/ProfileScreen.h"
#include "game/screens/ScoresScreen.h"
#include "ScreenTestApp.h"

namespace {

std::string ShotPath(const std::string& name) {
    const char* dir = std::getenv("QS_SHOT_DIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

// Pixels of the last frame inside a rectangle whose colour passes `test`.
template <class Test>
int CountPixels(ScreenTestApp& app, int x0, int y0, int x1, int y1, Test test) {
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    auto* device = dynamic_cast<SoftwareGraphics*>(app.mGraphics);
    if (!device || !device->ReadPixels(argb, w, h)) return -1;
    int count = 0;
    for (int y = y0; y < std::min(y1, h); ++y)
        for (int x = x0; x < std::min(x1, w); ++x) count += test(argb[size_t(y) * size_t(w) + size_t(x)]) ? 1 : 0;
    return count;
}

// The name field's ink: dark purple on the white well.
bool Ink(uint32_t argb) { return ((argb >> 16) & 255) < 0x90 && ((argb >> 8) & 255) < 0x50; }

class ScreensShot : public ::testing::Test, public ScreenTestBase {
protected:
    ScreensShot() : ScreenTestBase(true) {}
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
        app->LoadResourcesNow();
    }
    void Shot(const std::string& name) { ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath(name))); }
};

TEST_F(ScreensShot, ProfileScreenViews) {
    app->mProfiles.Load(ConfigPath());
    auto* screen = new ProfileScreen(app, true);
    ASSERT_TRUE(screen->Open());
    drive->Type("kim");
    drive->Step(ProfileScreen::kFadeSteps + 1);
    Shot("profile-first-run.png");
    TypeAndEnter("");
    drive->Step();
    ASSERT_TRUE(screen->IsFinished());
    screen->Kill();
    drive->Step(2);

    const char* names[] = {"Alexandria", "Bo", "Corro", "Dee", "Evangelina Mossbottom", "Fitz", "Gwen", "Hal",
                           "Ida", "Jun", "Kip", "Lou", "Mab"};
    for (const char* name : names) app->mProfiles.Create(name);
    app->mProfiles.Select(3);
    screen = new ProfileScreen(app, false);
    ASSERT_TRUE(screen->Open());
    drive->Step(ProfileScreen::kFadeSteps + 1);
    Shot("profile-list.png");
    screen->List()->SetScroll(0.0f, 1000.0f);
    drive->MoveTo(400, 449);
    drive->Step();
    Shot("profile-list-scrolled.png");
    screen->Kill();
    drive->Step(2);
}

TEST_F(ScreensShot, NameEntryOverAFinishedGauntlet) {
    auto* session = new GauntletSession(app);
    app->mGadgets.Add(session);
    drive->Step(30);
    auto* dialog = new NameEntryDialog(app);
    app->mGadgets.Add(dialog);
    drive->Type("quorlmaster");
    drive->Step(2);
    Shot("name-entry.png");
    // The typed name sits inside the white well, from its left end.
    EXPECT_GT(CountPixels(*app, 252, 405, 300, 440, Ink), 40);
    EXPECT_EQ(CountPixels(*app, 450, 405, 545, 440, Ink), 0);
    dialog->Kill();
    session->Kill();
    drive->Step(2);
}


TEST_F(ScreensShot, ScoresPagesAtRestAndSliding) {
    app->mJourneyScores.Add("Wilhelmina Quorlcatcher the Third", 123456789);
    app->mGauntletScores.Add("Bo", 48210);
    GameStatistics& stats = app->mStatistics;
    stats.mIdolCounts[0] = 1;
    stats.mIdolCounts[4] = 2;
    stats.mIdolCounts[10] = std::numeric_limits<int32_t>::max();  // a damaged record draws a few copies only
    stats.mJourneysCompleted = 3;
    stats.mFastestJourney = 12345;
    stats.mQuorlsTransported = 1234;

    auto* screen = new ScoresScreen(app);
    app->mGadgets.Add(screen);
    // The software device would turn pages at once; slides are drawn as the accelerated one does.
    app->mGraphics->mSoftware = false;
    drive->Step();
    const char* names[] = {"scores", "idols", "stats"};
    for (int page = 0; page < 3; ++page) {
        if (page > 0) {
            drive->MoveTo(645, 550);
            drive->Press(645, 550);
            drive->Release(645, 550);
            drive->Step(30);
            Shot(std::string("scores-") + names[page] + "-sliding.png");
            drive->Step(60);
        }
        ASSERT_EQ(screen->CurrentPage(), page);
        Shot(std::string("scores-") + names[page] + ".png");
    }
    // Every idol found: each stands on its place, in front of the ones behind it.
    for (int32_t& count : stats.mIdolCounts) count = 1;
    screen->SetPage(ScoresScreen::kIdolsPage, 1);
    drive->Step(81);
    Shot("scores-idols-all.png");
    // With no idol found the page says how to find one.
    for (int32_t& count : stats.mIdolCounts) count = 0;
    screen->SetPage(ScoresScreen::kIdolsPage, -1);
    drive->MoveTo(5, 5);
    drive->Step(81);
    Shot("scores-idols-none.png");
    screen->Kill();
    drive->Step(2);
}

}  // namespace
