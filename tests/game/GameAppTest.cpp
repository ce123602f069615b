// The application object without a window: the loading steps over the generated art and over an
// empty resource folder, stopping when the game quits, the score tables of a new game, what
// shutdown writes, the start of play after loading, and the command line of the game binary.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GeneratedArt.h"
#include "TestSupport.h"
#include "app/Image.h"
#include "game/BoardContainer.h"
#include "game/GameApp.h"
#include "game/GameMain.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "persistence/GameStatistics.h"
#include "platform/FileSystem.h"

namespace fs = std::filesystem;

namespace {

// Pictures LoadResources asks for (every step's names, the large pieces and cracks included).
constexpr int kPictureLoads = 146;

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
    fs::path art = GeneratedArt::Root();
    if (art.empty()) GTEST_SKIP() << "this build generated no resources";
    Files::SetResourceRoot(art.string());

    GameApp app;
    app.LoadResourcesNow();
    EXPECT_EQ(app.mLoadingStep.load(), GameApp::kLoadingSteps);
    EXPECT_EQ(app.mLoadingTotal.load(), GameApp::kLoadingSteps);
    EXPECT_TRUE(mReported.empty()) << mReported.size() << " failed, first: " << mReported.front();

    for (int c = 0; c < QuorlImageSet::kColors; ++c)
        for (int f = 0; f < 2; ++f) {
            EXPECT_FALSE(app.mQuorls[c][f].Empty()) << "colour " << c << " frame " << f;
            EXPECT_FALSE(app.mLargeQuorls[c][f].Empty()) << "large colour " << c << " frame " << f;
            EXPECT_EQ(app.mQuorlImages.mFrames[c][f], &app.mQuorls[c][f]);
        }
    const Sprite* fields[] = {&app.mCracks[0], &app.mCracks[1], &app.mLargeCracks[0], &app.mLargeCracks[1],
                              &app.mPop, &app.mCircle, &app.mEdgeRim, &app.mGoldBrick, &app.mBoardFrame,
                              &app.mBackground, &app.mScoreBox, &app.mNoMovesLeft, &app.mSecondChanceWheel,
                              &app.mLevelCleared, &app.mRobot};
    for (const Sprite* sprite : fields) EXPECT_FALSE(sprite->Empty()) << sprite->mName;
    EXPECT_EQ(app.mSpark.Width(), 5);
    EXPECT_GT(app.mFont4.TextWidth("500x2"), 0);

    // Pictures without a field are found by name, in any case; unknown names give an empty one.
    EXPECT_FALSE(app.Picture("graphics\\IDOLS\\Pell").Empty());
    EXPECT_EQ(&app.Picture("Graphics\\robot"), &app.mRobot);
    EXPECT_TRUE(app.Picture("Graphics\\nosuchpicture").Empty());

    // The small tiles keep the colour of the frame they are made from.
    Image frame;
    ASSERT_TRUE(frame.Load("Graphics\\quorls\\ql30"));
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(app.mSmallTiles[c].Width(), 64);
        EXPECT_EQ(app.mSmallTiles[c].Height(), 64);
    }
    uint32_t source = *frame.PixelAt(frame.mWidth / 2, frame.mHeight / 2);
    uint32_t tile = app.mSmallTiles[3].mPixels[32 * 64 + 32];  // premultiplied; the centre is opaque
    ASSERT_EQ(source >> 24, 255u);
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(int((tile >> shift) & 255), int((source >> shift) & 255), 24) << "channel at bit " << shift;
}

TEST_F(GameAppTest, LoadingWithoutResourcesCountsEveryStepAndReportsEachPicture) {
    GameApp app;
    app.LoadResourcesNow();
    EXPECT_EQ(app.mLoadingStep.load(), GameApp::kLoadingSteps);
    EXPECT_EQ(int(mReported.size()), kPictureLoads);
    for (int c = 0; c < 8; ++c) EXPECT_TRUE(app.mSmallTiles[c].Empty());
    EXPECT_TRUE(app.mQuorls[0][0].Empty());
    EXPECT_TRUE(app.Picture("Graphics\\idols\\pell").Empty());
}

TEST_F(GameAppTest, QuittingStopsLoadingBeforeTheNextStep) {
    struct Case {
        const char* failing;  // the game quits while this picture is being loaded
        int steps;
    };
    const Case cases[] = {
        {"Graphics\\quorls\\ql00", 1},
        {"Graphics\\quorls\\large\\crack1", 19},
        {"Graphics\\qlpop", 20},
        {"Graphics\\edgerim", 27},
        {"Graphics\\ScrollUp1", 55},
        {"Graphics\\idols\\pell", 89},
        {"Graphics\\journeyscreen", 116},
    };
    for (const Case& c : cases) {
        GameApp app;
        Image::SetMessageHandler([&](const std::string&, const std::string& text) {
            if (text.size() >= std::string(c.failing).size() &&
                text.compare(text.size() - std::string(c.failing).size(), std::string::npos, c.failing) == 0)
                app.mQuit = true;
        });
        app.LoadResourcesNow();
        EXPECT_EQ(app.mLoadingStep.load(), c.steps) << c.failing;
    }
}

TEST_F(GameAppTest, NewScoreTablesHoldTheDefaultRowsAndAreWritten) {
    const std::pair<const char*, int> expected[] = {{"Corro", 5}, {"Corro", 5}, {"Tamsy", 4}, {"Tamsy", 4},
                                                    {"Bexa", 3},  {"Bexa", 3},  {"Tob", 2},   {"Tob", 2},
                                                    {"Orlin", 1}, {"Orlin", 1}};
    GameApp app;
    app.LoadScoreTables();
    for (const HighScoreTable* table : {&app.mJourneyScores, &app.mGauntletScores}) {
        ASSERT_EQ(table->RowCount(), 10);
        for (int row = 0; row < 10; ++row) {
            EXPECT_EQ(table->GetName(row), expected[row].first) << table->FileName() << " row " << row;
            EXPECT_EQ(table->GetScore(row), expected[row].second) << table->FileName() << " row " << row;
        }
    }
    EXPECT_TRUE(Files::Exists("Journey-Scores.dat"));
    EXPECT_TRUE(Files::Exists("Gauntlet-Scores.dat"));
}

TEST_F(GameAppTest, ShutdownWritesScoresAndOnlyALoadedStatisticsRecord) {
    // A record for a profile, written by an earlier run.
    {
        ProfileManager profiles;
        profiles.Load("game.cfg");
        ASSERT_TRUE(profiles.Create("Ann"));
        GameStatistics earlier;
        earlier.mGauntletsCompleted = 7;
        ASSERT_TRUE(earlier.SaveFile(profiles.GetProfilePath("GameData.dat")));
        profiles.Shutdown();
    }
    // A run that ends before its record was loaded (quit during loading) leaves the file alone.
    {
        GameApp app;
        app.LoadScoreTables();
        app.mProfiles.Load("game.cfg");
        app.mJourneyScores.Add("Zed", 50);
    }
    GameStatistics stored;
    ASSERT_TRUE(stored.LoadFile("USERS\\Ann\\GameData.dat"));
    EXPECT_EQ(stored.mGauntletsCompleted, 7);
    HighScoreTable journey;
    journey.Create(10);
    journey.Load("Journey-Scores.dat");
    EXPECT_EQ(journey.GetName(0), "Zed");

    // A loaded record is written back with what the run added.
    {
        GameApp app;
        app.mProfiles.Load("game.cfg");
        ASSERT_TRUE(app.LoadStatistics());
        ++app.mStatistics.mGauntletsCompleted;
    }
    ASSERT_TRUE(stored.LoadFile("USERS\\Ann\\GameData.dat"));
    EXPECT_EQ(stored.mGauntletsCompleted, 8);
}

TEST_F(GameAppTest, LoadingDoneStartsTheChosenPlay) {
    struct Case {
        int startPlay, startLevel;
        bool gauntlet;
        int levelId;
    };
    for (const Case& c : {Case{0, 0, true, 1006}, Case{1, 0, true, 1006}, Case{2, 3005, false, 3005}}) {
        GameApp app;
        app.mStartPlay = c.startPlay;
        app.mStartLevel = c.startLevel;
        app.LoadingDone();
        GameSession* session = app.mSession;
        ASSERT_NE(session, nullptr);
        EXPECT_TRUE(app.mGadgets.Contains(session));
        EXPECT_EQ(app.mKeyboardFocus, session);
        EXPECT_EQ(dynamic_cast<GauntletSession*>(session) != nullptr, c.gauntlet);
        EXPECT_EQ(app.mMode, c.gauntlet ? GameApp::kGauntlet : GameApp::kJourney);
        app.mGadgets.Update();
        ASSERT_NE(session->mBoard, nullptr) << "start " << c.startPlay;
        EXPECT_EQ(session->mBoard->mLevelId, c.levelId);
        EXPECT_EQ(session->mBoard->mFreeForm, c.gauntlet);
    }
}

TEST_F(GameAppTest, LoadingDoneLoadsTheCurrentProfilesStatistics) {
    {
        GameApp app;
        app.mProfiles.Load("game.cfg");
        app.LoadingDone();
        EXPECT_FALSE(app.mStatistics.IsBound()) << "no profile yet";
    }
    {
        ProfileManager profiles;
        profiles.Load("game.cfg");
        ASSERT_TRUE(profiles.Create("Ann"));
        GameStatistics earlier;
        earlier.mMostGold = 12;
        ASSERT_TRUE(earlier.SaveFile(profiles.GetProfilePath("GameData.dat")));
        profiles.Shutdown();
    }
    GameApp app;
    app.mProfiles.Load("game.cfg");
    app.LoadingDone();
    EXPECT_TRUE(app.mStatistics.IsBound());
    EXPECT_EQ(app.mStatistics.mMostGold, 12);
}

TEST(GameMainTest, LevelSwitchNeedsAWholeNumberInRange) {
    struct Case {
        std::vector<const char*> args;
        int status;
    };
    const Case cases[] = {
        {{"--level"}, 2},
        {{"--level", "x"}, 2},
        {{"--level", ""}, 2},
        {{"--level", "12abc"}, 2},
        {{"--level", "2147483648"}, 2},
        {{"--level", "-2147483649"}, 2},
        {{"--level", "99999999999999999999999"}, 2},
        {{"--gauntlet", "--level", "3.5"}, 2},
        // A good level id lets the parsing go on to the next switch.
        {{"--level", "2147483647", "--help"}, 0},
        {{"--level", "-1000", "--help"}, 0},
        {{"--gauntlet", "--help"}, 0},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv{const_cast<char*>("quorlslide")};
        for (const char* arg : c.args) argv.push_back(const_cast<char*>(arg));
        argv.push_back(nullptr);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int status = GameMain(int(argv.size()) - 1, argv.data());
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << c.args.back();
        if (c.status == 2) {
            EXPECT_NE(err.find("--level"), std::string::npos) << err;
        }
        if (c.status == 0) {
            EXPECT_NE(out.find("--gauntlet"), std::string::npos);
        }
    }
}

}  // namespace
