// The scores screen through the real loop: the arrows and their labels, the slide and its end,
// the software renderer's instant turn, and the statistics page's texts for a record.
#include <gtest/gtest.h>

#include <limits>

#include "engine/controls/Button.h"
#include "game/screens/ScoresScreen.h"
#include "persistence/GameStatistics.h"
#include "ScreenTestApp.h"

namespace {

class ScoresScreenTest : public ::testing::Test, public ScreenTestBase {
protected:
    void SetUp() override {
        screen = new ScoresScreen(app);
        app->mGadgets.Add(screen);
        drive->Step();
    }
    void TearDown() override {
        screen->Kill();
        drive->Step(2);
    }
    void ClickButton(Button* button) {
        Click(button->mRect.x + button->mRect.w / 2.0f, button->mRect.y + button->mRect.h / 2.0f);
        drive->Step();
    }

    ScoresScreen* screen = nullptr;
};

TEST_F(ScoresScreenTest, ArrowsTurnThePagesAndCarryTheirLabels) {
    EXPECT_EQ(screen->CurrentPage(), ScoresScreen::kScoresPage);
    EXPECT_EQ(screen->PreviousPage(), -1);
    EXPECT_EQ(screen->RemainingSlide(), 0.0f);
    struct Step {
        bool left;
        int page;
        const char* leftLabel;
        const char* rightLabel;
    } steps[] = {
        {false, 0, "Stats", "Idols"},  // as the screen opens
        {true, 2, "Idols", "Scores"},  // left from the scores wraps round to the statistics
        {true, 1, "Scores", "Stats"},
        {false, 2, "Idols", "Scores"},
        {false, 0, "Stats", "Idols"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        SCOPED_TRACE(i);
        if (i > 0) {
            int from = screen->CurrentPage();
            ClickButton(s.left ? screen->LeftArrow() : screen->RightArrow());
            EXPECT_EQ(screen->PreviousPage(), from);
            // The new page comes in from the side it was turned to, ten pixels an update.
            EXPECT_EQ(screen->RemainingSlide(), s.left ? -790.0f : 790.0f);
            drive->Step(78);
            EXPECT_EQ(screen->PreviousPage(), from);
            drive->Step();
            EXPECT_EQ(screen->RemainingSlide(), 0.0f);
            EXPECT_EQ(screen->PreviousPage(), -1);
        }
        EXPECT_EQ(screen->CurrentPage(), s.page);
        EXPECT_EQ(screen->LeftLabel(), s.leftLabel);
        EXPECT_EQ(screen->RightLabel(), s.rightLabel);
    }
    // A turn in the middle of a slide starts a fresh slide from the page then current.
    screen->SetPage(screen->CurrentPage() + 1, 1);
    drive->Step(20);
    screen->SetPage(-4, -1);
    EXPECT_EQ(screen->CurrentPage(), 2);
    EXPECT_EQ(screen->PreviousPage(), 1);
    EXPECT_EQ(screen->RemainingSlide(), -800.0f);
}

TEST_F(ScoresScreenTest, TheSoftwareRendererTurnsAtOnce) {
    app->mGraphics->mSoftware = true;
    ClickButton(screen->RightArrow());
    EXPECT_EQ(screen->CurrentPage(), ScoresScreen::kIdolsPage);
    EXPECT_EQ(screen->RemainingSlide(), 0.0f);
    EXPECT_EQ(screen->PreviousPage(), -1);
    app->mGraphics->mSoftware = false;
}

TEST(ScoresScreenStatistics, EmptyFieldsReadNotAvailableAndTimesReadMinutes) {
    auto values = [](const GameStatistics& s) {
        std::vector<std::string> out;
        for (const auto& row : ScoresScreen::StatisticsRows(s)) out.push_back(row.mValue);
        return out;
    };
    GameStatistics fresh;
    EXPECT_EQ(values(fresh), (std::vector<std::string>{"0", "N/A", "N/A", "N/A", "N/A", "N/A", "N/A", "0", "0", "0",
                                                       "0", "0", "0x"}));
    auto rows = ScoresScreen::StatisticsRows(fresh);
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[4].mLabel, "Fastest Journey:");
    EXPECT_EQ(rows[7].mY, 350.0f);

    GameStatistics played;
    played.mJourneysCompleted = 3;
    played.mFewestMoves = 41;
    played.mBestRatioSmall = 2;
    played.mBestRatioLarge = 7;
    played.mFastestJourney = 12345;  // 123 seconds
    played.mFewestLostLevels = 0;    // a journey without a lost level: "0", not "N/A"
    played.mMostLevelsWonBeforeLosing = 0;
    played.mGauntletsCompleted = 2;
    played.mMostGold = 9;
    played.mQuorlsTransported = 1234;
    played.mDullbonesBroken = 5;
    played.mMostQuorlsInOneMove = 12;
    played.mLongestCascade = 4;
    EXPECT_EQ(values(played), (std::vector<std::string>{"3", "41", "2:1", "7:1", "2:03", "0", "0", "2", "9", "1234",
                                                        "5", "12", "4x"}));
    // Times from a damaged record stay readable numbers.
    played.mFastestJourney = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(values(played)[4], "357913:56");
}

}  // namespace
