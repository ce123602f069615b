// The scores screen through the real loop: the arrows, their labels and the slide (none in the
// software renderer), and the statistics page's texts for a record.
#include <gtest/gtest.h>

#include <limits>

#include "engine/controls/Button.h"
#include "game/screens/ScoresScreen.h"
#include "persistence/GameStatistics.h"
#include "ScreenTestApp.h"

namespace {

class ScoresScreenTest : public ::testing::Test, public ScreenTestBase {};

TEST_F(ScoresScreenTest, ArrowsTurnThePagesWithTheirLabelsAndSlide) {
    auto* screen = new ScoresScreen(app);
    app->mGadgets.Add(screen);
    drive->Step();
    auto click = [&](Button* b) {
        Click(b->mRect.x + b->mRect.w / 2.0f, b->mRect.y + b->mRect.h / 2.0f);
        drive->Step();
    };
    const struct {
        bool left;
        int page;
        std::string labels;
    } steps[] = {{false, 0, "Stats Idols"},  // as the screen opens
                 {true, 2, "Idols Scores"},  // left from the scores wraps round to the statistics
                 {true, 1, "Scores Stats"},
                 {false, 2, "Idols Scores"}};
    for (const auto& s : steps) {
        if (s.page != 0) {
            int from = screen->CurrentPage();
            click(s.left ? screen->LeftArrow() : screen->RightArrow());
            // The new page comes in from the side it was turned to, ten pixels an update.
            EXPECT_EQ(screen->RemainingSlide(), s.left ? -790.0f : 790.0f);
            drive->Step(78);
            EXPECT_EQ(screen->PreviousPage(), from);
            drive->Step();
            EXPECT_EQ(screen->RemainingSlide(), 0.0f);
            EXPECT_EQ(screen->PreviousPage(), -1);
        }
        EXPECT_EQ(screen->CurrentPage(), s.page);
        EXPECT_EQ(screen->LeftLabel() + " " + screen->RightLabel(), s.labels);
    }
    app->mGraphics->mSoftware = true;
    click(screen->RightArrow());
    EXPECT_EQ(screen->CurrentPage(), 0);
    EXPECT_EQ(screen->RemainingSlide(), 0.0f) << "the software renderer turns at once";
    EXPECT_EQ(screen->PreviousPage(), -1);
    app->mGraphics->mSoftware = false;
    screen->Kill();
    drive->Step(2);
}

TEST(ScoresScreenStatistics, EmptyFieldsReadNotAvailableAndTimesReadMinutes) {
    auto values = [](const GameStatistics& s) {
        std::string out;
        for (const auto& row : ScoresScreen::StatisticsRows(s)) out += row.mValue + " ";
        return out;
    };
    GameStatistics stats;
    EXPECT_EQ(values(stats), "0 N/A N/A N/A N/A N/A N/A 0 0 0 0 0 0x ");
    const int32_t played[] = {3, 41, 2, 7, 12345, 0, 0, 2, 9, 1234, 5, 12, 4};
    for (int i = 0; i < 13; ++i) stats.Field(11 + i) = played[i];
    // 12345 hundredths are 2:03; a journey without a lost level reads 0, not "N/A".
    EXPECT_EQ(values(stats), "3 41 2:1 7:1 2:03 0 0 2 9 1234 5 12 4x ");
    stats.mFastestJourney = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(ScoresScreen::StatisticsRows(stats)[4].mValue, "357913:56");
}

}  // namespace
