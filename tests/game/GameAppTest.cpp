// The application object without a window: the loading steps over the generated art and over an
// empty resource folder, stopping when the game quits, the score tables of a new game, what
// shutdown writes, the start of play after loading, and the game binary's --level switch.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "engine/draw/Image.h"
#include "game/GameApp.h"
#include "game/GameMain.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/journey/Maze.h"
#include "game/rules/BoardContainer.h"
#include "GeneratedArt.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

class GameAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        mResourceRoot = Files::ResourceRoot();
        Image::SetMessageHandler([this](const std::string&, const std::string& text) { mReported.push_back(text); });
    }
    void TearDown() override {
        Image::SetMessageHandler(nullptr);
        Files::SetResourceRoot(mResourceRoot);
    }

    std::string mResourceRoot;
    std::vector<std::string> mReported;
};

TEST_F(GameAppTest, LoadsEveryStepFromTheGeneratedArt) {
    if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
    Files::SetResourceRoot(GeneratedArt::Root().string());
    GameApp app;
    app.LoadResourcesNow();
    EXPECT_EQ(app.mLoadingStep.load(), GameApp::kLoadingSteps);
    EXPECT_TRUE(mReported.empty()) << mReported.size() << " failed, first: " << mReported.front();
    for (int c = 0; c < QuorlImageSet::kColors; ++c)
        EXPECT_FALSE(app.mQuorlImages.mLargeFrames[c][1]->Empty()) << "large colour " << c;
    for (const Sprite* sprite : {&app.mQuorls[8][1], &app.mLargeCracks[1], &app.mEdgeRim, &app.mSecondChanceWheel})
        EXPECT_FALSE(sprite->Empty());
    EXPECT_GT(app.mFont4.TextWidth("500x2"), 0);
    // Pictures without a field are found by name in any case; unknown names give an empty one.
    EXPECT_FALSE(app.Picture("graphics\\IDOLS\\Pell").Empty());
    EXPECT_EQ(&app.Picture("Graphics\\robot"), &app.mRobot);
    EXPECT_TRUE(app.Picture("Graphics\\nosuchpicture").Empty());

    // A small tile keeps the colour of the frame it is made from.
    Image frame;
    ASSERT_TRUE(frame.Load("Graphics\\quorls\\ql30"));
    ASSERT_EQ(app.mSmallTiles[3].Width(), 64);
    uint32_t source = *frame.PixelAt(frame.mWidth / 2, frame.mHeight / 2);
    uint32_t tile = app.mSmallTiles[3].PixelAt(32, 32);
    ASSERT_EQ(source >> 24, 255u);
    for (int shift : {16, 8, 0}) EXPECT_NEAR(int((tile >> shift) & 255), int((source >> shift) & 255), 24);
}

TEST_F(GameAppTest, LoadingWithoutResourcesCountsEveryStepAndReportsEachPicture) {
    GameApp app;
    app.LoadResourcesNow();
    EXPECT_EQ(app.mLoadingStep.load(), GameApp::kLoadingSteps);
    EXPECT_EQ(int(mReported.size()), 154);  // every picture of every step, large pieces and map arrows included
    EXPECT_TRUE(app.mSmallTiles[0].Empty());
}

TEST_F(GameAppTest, QuittingStopsLoadingBeforeTheNextStep) {
    // The game quits while the named picture loads: the step counter tells where loading ended.
    const std::pair<std::string, int> cases[] = {{"Graphics\\quorls\\ql00", 1}, {"Graphics\\qlpop", 20},
                                                 {"Graphics\\edgerim", 27},      {"Graphics\\idols\\pell", 89},
                                                 {"Graphics\\journeyscreen", 116}};
    for (const auto& [failing, steps] : cases) {
        GameApp app;
        Image::SetMessageHandler([&](const std::string&, const std::string& text) {
            if (text.ends_with(failing)) app.mQuit = true;
        });
        app.LoadResourcesNow();
        EXPECT_EQ(app.mLoadingStep.load(), steps) << failing;
    }
}

TEST_F(GameAppTest, NewScoreTablesHoldTheDefaultRowsAndAreWritten) {
    const char* names[] = {"Corro", "Corro", "Tamsy", "Tamsy", "Bexa", "Bexa", "Tob", "Tob", "Orlin", "Orlin"};
    GameApp app;
    app.LoadScoreTables();
    for (const HighScoreTable* table : {&app.mJourneyScores, &app.mGauntletScores}) {
        ASSERT_EQ(table->RowCount(), 10);
        for (int row = 0; row < 10; ++row) {
            EXPECT_EQ(table->GetName(row), names[row]) << table->FileName() << " row " << row;
            EXPECT_EQ(table->GetScore(row), 5 - row / 2) << table->FileName() << " row " << row;
        }
    }
    EXPECT_TRUE(Files::Exists("Journey-Scores.dat") && Files::Exists("Gauntlet-Scores.dat"));
}

TEST_F(GameAppTest, StatisticsAreReadAfterLoadingAndOnlyALoadedRecordIsWritten) {
    {
        ProfileManager profiles;
        profiles.Load("game.cfg");
        ASSERT_TRUE(profiles.Create("Ann"));
        GameStatistics earlier;
        earlier.mGauntletsCompleted = 7;
        ASSERT_TRUE(earlier.SaveFile(profiles.GetProfilePath("GameData.dat")));
        profiles.Shutdown();
    }
    {
        // Quit before loading was done: the empty record must not replace Ann's; scores are kept.
        GameApp app;
        app.LoadScoreTables();
        app.mProfiles.Load("game.cfg");
        app.mJourneyScores.Add("Zed", 50);
    }
    {
        GameApp app;
        app.mProfiles.Load("game.cfg");
        app.LoadingDone();
        EXPECT_EQ(app.mStatistics.mGauntletsCompleted, 7);
        ++app.mStatistics.mGauntletsCompleted;
    }
    GameStatistics stored;
    ASSERT_TRUE(stored.LoadFile("USERS\\Ann\\GameData.dat"));
    EXPECT_EQ(stored.mGauntletsCompleted, 8);
    HighScoreTable journey;
    journey.Create(10);
    journey.Load("Journey-Scores.dat");
    EXPECT_EQ(journey.GetName(0), "Zed");
}

TEST_F(GameAppTest, LoadingDoneStartsTheChosenPlay) {
    {
        // Without a developer switch the title screen's play button leads on.
        GameApp app;
        app.LoadingDone();
        EXPECT_EQ(app.mSession, nullptr);
    }
    // Start choice and level, then the level played (free-form: a Gauntlet).
    for (const auto& c : {std::array{1, 0, 1006}, std::array{2, 3005, 3005}}) {
        GameApp app;
        app.mStartPlay = c[0];
        app.mStartLevel = c[1];
        app.LoadingDone();
        GameSession* session = app.mSession;
        ASSERT_TRUE(session && app.mGadgets.Contains(session) && app.mKeyboardFocus == session);
        app.mGadgets.Update();
        ASSERT_NE(session->mBoard, nullptr) << "start " << c[0];
        EXPECT_EQ(session->mBoard->mLevelId, c[2]);
        EXPECT_EQ(session->mBoard->mFreeForm, c[0] != 2);
        EXPECT_EQ(app.mMode, c[0] != 2 ? GameApp::kGauntlet : GameApp::kJourney);
    }
    // A journey starts on its map, made from the seed given on the command line.
    GameApp app;
    app.mStartPlay = 3;
    app.SetMapSeed(4);
    app.LoadingDone();
    ASSERT_NE(app.mSession, nullptr);
    app.mGadgets.Update();
    Maze* map = app.mSession->GetMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(app.mSession->mBoard, nullptr);
    Maze expected(nullptr, nullptr);
    expected.Generate(4);
    EXPECT_EQ(std::memcmp(map->mGrid, expected.mGrid, sizeof expected.mGrid), 0);
    EXPECT_EQ(app.mMode, GameApp::kJourney);
}

// The game's main with these switches; what it wrote to standard error in `error`.
int RunMain(const std::vector<const char*>& args, std::string* error) {
    std::vector<char*> argv{const_cast<char*>("quorlslide")};
    for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = GameMain(int(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    *error = testing::internal::GetCapturedStderr();
    return status;
}

TEST(GameMainTest, LevelSwitchNeedsAWholeNumberInRange) {
    const std::pair<std::vector<const char*>, int> cases[] = {
        {{"--level"}, 2},           {{"--level", "x"}, 2},          {{"--level", "12abc"}, 2},
        {{"--level", "2147483648"}, 2}, {{"--level", "-2147483649"}, 2}, {{"--level", ""}, 2},
        // A good level id lets the parsing go on to the next switch.
        {{"--level", "-1000", "--help"}, 0}, {{"--gauntlet", "--level", "2147483647", "--help"}, 0},
    };
    for (const auto& [args, status] : cases) {
        std::string error;
        EXPECT_EQ(RunMain(args, &error), status) << args.back();
        EXPECT_EQ(error.find("--level needs a whole number") != std::string::npos, status == 2) << error;
    }
}

TEST(GameMainTest, SoakSwitchNeedsSecondsInRange) {
    const std::pair<std::vector<const char*>, int> cases[] = {
        {{"--soak"}, 2}, {{"--soak", "0"}, 2}, {{"--soak", "-5"}, 2}, {{"--soak", "10s"}, 2},
        {{"--soak", "604801"}, 2}, {{"--soak", "--help"}, 2},
        {{"--soak", "604800", "--help"}, 0}, {{"--soak", "1", "--help"}, 0},
    };
    for (const auto& [args, status] : cases) {
        std::string error;
        EXPECT_EQ(RunMain(args, &error), status) << args.back();
        EXPECT_EQ(error.find("--soak needs a number of seconds") != std::string::npos, status == 2) << error;
    }
}

}  // namespace
