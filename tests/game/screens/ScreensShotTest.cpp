// The profile screen, the name entry and the scores screen drawn with the real art through the
// software device, each written as a PNG ($QS_SHOT_DIR, else /tmp) to be looked at; a few pixels
// are checked where a fault would show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "engine/draw/HeadlessShot.h"
#include "game/GauntletSession.h"
#include "game/screens/NameEntryDialog.h"
#include "game/screens/ProfileScreen.h"
#include "game/screens/ScoresScreen.h"
#include "ScreenTestApp.h"

namespace {

class ScreensShot : public ::testing::Test, public ScreenTestBase {
protected:
    ScreensShot() : ScreenTestBase(true) {}
    void Shot(const std::string& name) {
        const char* dir = std::getenv("QS_SHOT_DIR");
        ASSERT_TRUE(HeadlessShot::Write(*drive, std::string(dir && *dir ? dir : "/tmp") + "/" + name));
    }
    // Pixels of the last frame in a rectangle that look like the name field's dark purple ink.
    int InkPixels(int x0, int y0, int x1, int y1) {
        std::vector<uint32_t> argb;
        int w = 0, h = 0;
        static_cast<SoftwareGraphics*>(app->mGraphics)->ReadPixels(argb, w, h);
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                uint32_t p = argb[size_t(y) * size_t(w) + size_t(x)];
                count += ((p >> 16) & 255) < 0x90 && ((p >> 8) & 255) < 0x50;
            }
        return count;
    }
};

TEST_F(ScreensShot, ProfileNameEntryAndScoresScreens) {
    if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
    app->LoadResourcesNow();

    // The first start's create panel, then the full list: long enough to scroll, a long name.
    app->mProfiles.Load(ConfigPath());
    auto* profiles = new ProfileScreen(app, true);
    ASSERT_TRUE(profiles->Open());
    drive->Type("kim");
    drive->Step(ProfileScreen::kFadeSteps + 1);
    Shot("profile-first-run.png");
    profiles->Kill();
    for (const char* name : {"Kim", "Alexandria", "Bo", "Corro", "Dee", "Evangelina Mossbottom", "Fitz", "Gwen", "Hal",
                             "Ida", "Jun", "Kip", "Lou", "Mab"})
        app->mProfiles.Create(name);
    app->mProfiles.Select(3);
    profiles = new ProfileScreen(app, false);
    ASSERT_TRUE(profiles->Open());
    drive->Step(ProfileScreen::kFadeSteps + 1);
    Shot("profile-list.png");
    profiles->List()->SetScroll(0.0f, 1000.0f);
    drive->MoveTo(400, 449);  // DELETE under the mouse
    drive->Step();
    Shot("profile-list-scrolled.png");

    // The delete question in the game's own message box, shot from inside its loop, then NO.
    app->mLoaded = true;
    app->mThemedMessages = true;
    int shown = 0;
    auto* player = When(
        [&] {
            for (void* item : app->mGadgets.mList.Items())
                if (static_cast<Gadget*>(item)->mName == std::string("MessageBox")) return ++shown > 30;
            return false;
        },
        [&] {
            const char* dir = std::getenv("QS_SHOT_DIR");
            static_cast<SoftwareGraphics*>(app->mGraphics)->WritePng(std::string(dir && *dir ? dir : "/tmp") + "/profile-delete.png");
            drive->KeyPress(kKeyEscape);
            drive->KeyRelease(kKeyEscape);
        });
    Click(400, 449);
    drive->Step();
    EXPECT_EQ(app->mProfiles.Count(), 14) << "NO keeps the profile";
    player->Kill();
    profiles->Kill();

    // The name entry over an ended Gauntlet: the typed name inside the white well, from its left.
    auto* session = new GauntletSession(app);
    app->mGadgets.Add(session);
    drive->Step(30);
    auto* dialog = new NameEntryDialog(app);
    app->mGadgets.Add(dialog);
    drive->Type("quorlmaster");
    drive->Step(2);
    Shot("name-entry.png");
    EXPECT_GT(InkPixels(252, 405, 300, 440), 40);
    EXPECT_EQ(InkPixels(450, 405, 545, 440), 0);
    dialog->Kill();
    session->Kill();

    // Each page of the scores screen at rest and mid-slide: a name too long for its column, a
    // damaged record's idol count (a few copies drawn, not billions).
    app->mJourneyScores.Add("Wilhelmina Quorlcatcher the Third", 123456789);
    app->mGauntletScores.Add("Bo", 48210);
    GameStatistics& stats = app->mStatistics;
    stats.mIdolCounts[0] = 1;
    stats.mIdolCounts[4] = 2;
    stats.mIdolCounts[10] = std::numeric_limits<int32_t>::max();
    stats.mJourneysCompleted = 3;
    stats.mFastestJourney = 12345;
    auto* scores = new ScoresScreen(app);
    app->mGadgets.Add(scores);
    app->mGraphics->mSoftware = false;  // slides drawn as the accelerated device would
    drive->Step();
    const char* names[] = {"scores", "idols", "stats"};
    for (int page = 0; page < 3; ++page) {
        if (page > 0) {
            Click(645, 550);
            drive->Step(30);
            Shot(std::string("scores-") + names[page] + "-sliding.png");
            drive->Step(60);
        }
        ASSERT_EQ(scores->CurrentPage(), page);
        Shot(std::string("scores-") + names[page] + ".png");
    }
    for (int32_t& count : stats.mIdolCounts) count = 1;
    scores->SetPage(ScoresScreen::kIdolsPage, 1);
    drive->Step(81);
    Shot("scores-idols-all.png");
    for (int32_t& count : stats.mIdolCounts) count = 0;
    drive->Step();
    Shot("scores-idols-none.png");
    scores->Kill();
    drive->Step(2);
}

}  // namespace
