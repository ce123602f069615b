// Saved games as whole files: both modes round trip byte for byte and play on to the result the
// uninterrupted game reaches; damaged files are refused whole; and in the game, leaving writes the
// file, a finished game removes it, a damaged one is set aside with a message while the screens
// stay, and a folder that cannot be written is reported once with the old file kept.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>

#include "board/BoardRandom.h"
#include "game/AutoplayGame.h"
#include "game/GameApp.h"
#include "game/GameFileDump.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "persistence/DataBuffer.h"
#include "persistence/GameFiles.h"
#include "persistence/GameStatistics.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

struct SavedRun {
    bool gauntlet;
    int level;
    uint32_t seed;
    int before, after;  // moves before saving, then after resuming
};

std::string Outcome(const AutoplayGame::Result& r) {
    return "score " + std::to_string(r.mScore) + " cleared " + std::to_string(r.mCleared) + " over " +
           std::to_string(r.mGameOver) + " broken " + std::to_string(r.mDullbonesBroken);
}

// A GameApp whose message boxes are recorded instead of shown.
class QuietApp : public GameApp {
public:
    bool MessageBox(const std::string&, const std::string& text, const std::string&) override {
        mMessages.push_back(text);
        return true;
    }
    std::vector<std::string> mMessages;
};

// Which of the map's nodes answer a click ('o' open, '.' locked), then the idol ('I' or '-').
std::string OpenNodes(const Maze& map) {
    std::string open;
    for (const MazeButton* button : map.Buttons()) open += button->mDisabled ? '.' : 'o';
    open += map.IdolButton() && !map.IdolButton()->mDisabled ? 'I' : '-';
    return open;
}

class SavedGameFlow : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        ProgramRandom().Seed(5);
        mApp = std::make_unique<QuietApp>();
        mApp->mProfiles.Load(GameFiles::kConfigFile);
        ASSERT_TRUE(mApp->mProfiles.Create("Ann"));
    }
    void TearDown() override {
        mApp->ClearScreens();
        mApp.reset();
    }
    // Starts a game of the mode and plays its board a little.
    GameSession* Start(bool gauntlet) {
        mApp->mStartPlay = gauntlet ? 1 : 2;
        mApp->mStartLevel = 2033;
        GameSession* session = mApp->StartPlay();
        for (int i = 0; i < 30; ++i) mApp->mGadgets.Update();
        return session;
    }
    std::string Path(const char* file) { return mApp->mProfiles.GetProfilePath(file); }
    std::vector<uint8_t> Bytes(const char* file) { return TestSupport::ReadBytes(Files::PathForWrite(Path(file))); }

    std::unique_ptr<QuietApp> mApp;
};

}  // namespace

TEST(SavedGame, BothModesRoundTripAndPlayOnToTheUninterruptedResult) {
    const SavedRun runs[] = {
        {true, 0, 1, 40, 60},    {true, 0, 2, 5, 30},     {true, 0, 3, 70, 20},   {true, 0, 4, 0, 25},
        {false, 1000, 3, 20, 1000}, {false, 2033, 5, 8, 1000}, {false, 8000, 3, 10, 1000}, {false, 5012, 9, 1, 40},
    };
    for (const SavedRun& run : runs) {
        SCOPED_TRACE((run.gauntlet ? "Gauntlet seed " : "level " + std::to_string(run.level) + " seed ") +
                     std::to_string(run.seed));
        AutoplayGame saving(run.gauntlet, run.level, run.seed);
        AutoplayGame::Result before = saving.Play(run.before);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(saving.Save(&bytes));
        EXPECT_EQ(bytes.at(0), run.gauntlet ? 1 : 0) << "the mode tag";

        std::string problem;
        std::unique_ptr<AutoplayGame> resumed = AutoplayGame::Resume(bytes, 77, &problem);
        ASSERT_TRUE(resumed) << problem;
        std::vector<uint8_t> again;
        ASSERT_TRUE(resumed->Save(&again));
        EXPECT_EQ(again, bytes) << "save, load, save";

        resumed = AutoplayGame::Resume(bytes, 77, &problem);
        AutoplayGame::Result after = resumed->Play(run.after);
        {
            // A Gauntlet that has ended, or a journey whose idol is taken, leaves no saved game.
            AutoplayGame over(run.gauntlet, run.level, run.seed);
            if (run.gauntlet)
                over.GetSession()->mGameOver = true;
            else
                over.GetSession()->GetMap()->mIdolTaken = true;
            EXPECT_FALSE(over.Save(&again));
            EXPECT_TRUE(again.empty());
        }
        AutoplayGame uninterrupted(run.gauntlet, run.level, run.seed);
        AutoplayGame::Result whole = uninterrupted.Play(before.mMoves + run.after);
        EXPECT_EQ(Outcome(after), Outcome(whole));
        EXPECT_EQ(before.mMoves + after.mMoves, whole.mMoves);
        EXPECT_EQ(before.mUpdates + after.mUpdates, whole.mUpdates);
    }
}

TEST(SavedGame, DamagedFilesAreRefusedWhole) {
    AutoplayGame game(true, 0, 8);
    game.Play(12);
    std::vector<uint8_t> good;
    ASSERT_TRUE(game.Save(&good));
    std::string problem;
    ASSERT_TRUE(SavedGame::Read(good, nullptr, &problem)) << problem;

    // Cut short anywhere: every length is refused (densely in the headers, sparsely in the pieces).
    for (size_t length = 0; length < good.size(); length += length < 500 ? 1 : 61) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(length));
        EXPECT_FALSE(SavedGame::Read(cut, nullptr, &problem)) << "cut at " << length;
    }
    // Longer than what was written, or larger than any saved game.
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(SavedGame::Read(longer, nullptr, &problem));
    EXPECT_NE(problem.find("follow the end"), std::string::npos) << problem;
    std::vector<uint8_t> huge(size_t(SavedGame::kMaxFileSize) + 1, 1);
    EXPECT_FALSE(SavedGame::Read(huge, nullptr, &problem));
    // Flipped bits: each file is refused or makes a game that plays on.
    BoardRandom random(3);
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> flipped = good;
        flipped[size_t(random.Range(int32_t(flipped.size())))] ^= uint8_t(1 << random.Range(8));
        std::unique_ptr<GameSession> session = SavedGame::Read(flipped, nullptr, &problem);
        if (!session) {
            ++refused;
            continue;
        }
        for (int step = 0; step < 50; ++step) session->DoUpdate();
    }
    EXPECT_GT(refused, 100);
}

TEST(SavedGame, FuzzSeedsAndRegressionsReadAsTheHarnessReadsThem) {
    // The harness's seeds and every input that once troubled it: described, and a file that is
    // taken saves again to bytes that read back to themselves.
    std::vector<std::string> files;
    for (const char* folder : {"/fuzz/corpus/savedgame", "/tests/data/fuzz-regressions/fuzz_savedgame"})
        for (const std::string& name : Files::ListDirectory(TestSupport::SourceDir() + folder))
            files.push_back(TestSupport::SourceDir() + folder + "/" + name);
    ASSERT_GE(files.size(), 5u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::vector<uint8_t> bytes = TestSupport::ReadBytes(file);
        std::string json, problem;
        GameFileDump::Describe("GameData.dat", bytes, &json, &problem);
        GameFileDump::Describe("SAVEGAME_GAUNTLET.DAT", bytes, &json, &problem);
        std::unique_ptr<GameSession> session = SavedGame::Read(bytes, nullptr, &problem);
        if (!session) continue;
        std::vector<uint8_t> saved = SavedGame::Write(*session);
        std::unique_ptr<GameSession> again = SavedGame::Read(saved, nullptr, &problem);
        ASSERT_TRUE(again) << problem;
        EXPECT_EQ(SavedGame::Write(*again), saved);
    }
}

TEST(SavedGame, TheDumpDescribesWhatTheGameWouldResume) {
    AutoplayGame game(false, 2033, 4);
    game.Play(6);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(game.Save(&bytes));
    std::string json, problem;
    ASSERT_TRUE(GameFileDump::Describe("SAVEGAME_JOURNEY.DAT", bytes, &json, &problem)) << problem;
    for (const char* part : {"\"mode\":\"journey\"", "\"moves\":6", "\"multipliers\":[0,0,0,0,0]", "\"level_id\":2033",
                             "\"freeform\":false", "\"code\":\"TS6N1ND2S2\"", "\"pieces\":"})
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    GameStatistics stats;
    stats.mMostGold = 77;
    DataBuffer record;
    stats.Serialize(record);
    std::vector<uint8_t> statsBytes(record.Data(), record.Data() + record.Size());
    ASSERT_TRUE(GameFileDump::Describe("GameData.dat", statsBytes, &json, &problem));
    EXPECT_NE(json.find("\"most_gold\":77"), std::string::npos) << json;
    EXPECT_NE(json.find("\"fewest_lost_levels\":-1"), std::string::npos) << json;
    statsBytes.pop_back();
    EXPECT_FALSE(GameFileDump::Describe("GameData.dat", statsBytes, &json, &problem));
}

TEST_F(SavedGameFlow, LeavingAGauntletWritesItAndResumingThenLosingItRemovesIt) {
    GameSession* session = Start(true);
    int score = session->mScore = 1234;
    mApp->ClearScreens();
    std::vector<uint8_t> bytes = Bytes(GameFiles::kGauntletSaveFile);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 1);

    ASSERT_TRUE(mApp->ResumeSession(Path(GameFiles::kGauntletSaveFile)));
    auto* resumed = dynamic_cast<GauntletSession*>(mApp->mSession);
    ASSERT_NE(resumed, nullptr);
    EXPECT_EQ(mApp->mMode, GameApp::kGauntlet);
    EXPECT_EQ(resumed->mScore, score);
    EXPECT_EQ(mApp->mKeyboardFocus, resumed);
    ASSERT_NE(resumed->mBoard, nullptr);
    EXPECT_TRUE(resumed->mBoard->mFreeForm);
    // Play on a little, then lose: the session's end removes the saved game.
    for (int i = 0; i < 10; ++i) mApp->mGadgets.Update();
    resumed->GameOver();
    mApp->ClearScreens();
    EXPECT_FALSE(Files::Exists(Path(GameFiles::kGauntletSaveFile)));
    EXPECT_EQ(mApp->mStatistics.mGauntletsCompleted, 1);
}

TEST_F(SavedGameFlow, AJourneyLevelIsResumedWhereItWasLeft) {
    GameSession* session = Start(false);
    Board* board = session->mBoard->GetBoard();
    ASSERT_NE(board, nullptr);
    std::vector<uint8_t> firstSave = SavedGame::Write(*session);
    mApp->ClearScreens();
    ASSERT_TRUE(mApp->ResumeSession(Path(GameFiles::kJourneySaveFile)));
    ASSERT_NE(mApp->mSession, nullptr);
    EXPECT_EQ(mApp->mMode, GameApp::kJourney);
    EXPECT_EQ(SavedGame::Write(*mApp->mSession), firstSave);
}

TEST_F(SavedGameFlow, AJourneyLeftOnItsMapOrInALevelOfItComesBackWithItsMap) {
    mApp->SetMapSeed(12);
    mApp->mStartPlay = 3;
    GameSession* session = mApp->StartPlay();
    for (int i = 0; i < 5; ++i) mApp->mGadgets.Update();
    ASSERT_NE(session->GetMap(), nullptr);
    const std::string openNodes = OpenNodes(*session->GetMap());
    ASSERT_EQ(openNodes.find('I'), std::string::npos) << "the idol is locked on a new map";
    std::vector<uint8_t> onMap = SavedGame::Write(*session);
    mApp->ClearScreens();
    ASSERT_TRUE(mApp->ResumeSession(Path(GameFiles::kJourneySaveFile)));
    GameSession* resumed = mApp->mSession;
    ASSERT_NE(resumed->GetMap(), nullptr);
    EXPECT_EQ(resumed->mBoard, nullptr);
    EXPECT_TRUE(resumed->Children()->Contains(resumed->GetMap())) << "the map is shown";
    EXPECT_EQ(SavedGame::Write(*resumed), onMap);
    EXPECT_EQ(OpenNodes(*resumed->GetMap()), openNodes) << "only the nodes that were open answer a click";

    // Into the first level from the map, then left: the level comes back with the map held.
    for (int i = 0; i < 5; ++i) mApp->mGadgets.Update();
    // Only what can be played takes clicks (joining the screen tree enables every gadget).
    int enabled = 0;
    for (const MazeButton* button : resumed->GetMap()->Buttons()) {
        int32_t flags = resumed->GetMap()->Cell(button->mLane, button->mStep);
        bool playable = (flags & Maze::kRevealed) && !(flags & Maze::kDone);
        EXPECT_EQ(!button->mDisabled, playable) << "node " << button->mLane << "," << button->mStep;
        enabled += !button->mDisabled;
    }
    EXPECT_EQ(enabled, 1);
    EXPECT_TRUE(resumed->GetMap()->IdolButton()->mDisabled);
    ASSERT_TRUE(resumed->GetMap()->Play(Maze::kLanes / 2, 0));
    for (int i = 0; i < 60 && !(resumed->mBoard && resumed->mBoard->GetBoard()); ++i) mApp->mGadgets.Update();
    ASSERT_NE(resumed->mBoard, nullptr);
    int levelId = resumed->mBoard->mLevelId;
    mApp->ClearScreens();
    ASSERT_TRUE(mApp->ResumeSession(Path(GameFiles::kJourneySaveFile)));
    resumed = mApp->mSession;
    ASSERT_NE(resumed->mBoard, nullptr);
    EXPECT_EQ(resumed->mBoard->mLevelId, levelId);
    ASSERT_NE(resumed->GetMap(), nullptr);
    EXPECT_FALSE(resumed->Children()->Contains(resumed->GetMap())) << "the map waits for the level";
    EXPECT_EQ(resumed->GetMap()->Current().mStep, 0);
}

TEST_F(SavedGameFlow, StatisticsReachTheDiskWhenALevelOrAGameEndsNotOnlyAtShutdown) {
    mApp->LoadStatistics();
    mApp->LoadScoreTables();
    std::string stats = Files::PathForWrite(Path(GameFiles::kStatisticsFile));
    auto onDisk = [&] {
        GameStatistics read;
        EXPECT_TRUE(read.LoadFile(Path(GameFiles::kStatisticsFile)));
        return read;
    };
    // A journey level won: the record with its new best is on disk at once.
    GameSession* journey = Start(false);
    Files::RemoveFile(stats);
    journey->LevelWon();
    EXPECT_EQ(onDisk().mMostLevelsWonBeforeLosing, 1);
    // A level lost, then the Gauntlet over: each is written as it happens.
    journey = Start(false);
    Files::RemoveFile(stats);
    journey->GameOver();
    EXPECT_TRUE(Files::IsRegularFile(stats));
    auto* gauntlet = dynamic_cast<GauntletSession*>(Start(true));
    ASSERT_NE(gauntlet, nullptr);
    gauntlet->mGold = 12;
    Files::RemoveFile(stats);
    gauntlet->GameOver();
    EXPECT_EQ(onDisk().mGauntletsCompleted, 1);
    EXPECT_EQ(onDisk().mMostGold, 12);
}

TEST_F(SavedGameFlow, ADamagedFileIsRefusedSetAsideAndTheScreensStay) {
    Start(true);
    mApp->ClearScreens();
    const std::vector<uint8_t> good = Bytes(GameFiles::kGauntletSaveFile);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> flipped = good;
    flipped[40] ^= 0x80;  // the level id of the level screen
    std::vector<uint8_t> oversized = good;
    oversized.resize(size_t(SavedGame::kMaxFileSize) + 10, 0);
    const Case cases[] = {{"truncated", std::vector<uint8_t>(good.begin(), good.begin() + 3000)},
                          {"bit-flipped", flipped},
                          {"oversized", oversized},
                          {"empty", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameSession* current = Start(false);
        mApp->mMessages.clear();
        std::string real = Files::PathForWrite(Path(GameFiles::kGauntletSaveFile));
        TestSupport::WriteBytes(real, std::string(c.bytes.begin(), c.bytes.end()));
        EXPECT_FALSE(mApp->ResumeSession(Path(GameFiles::kGauntletSaveFile)));
        EXPECT_EQ(mApp->mSession, current) << "the screens are as they were";
        EXPECT_EQ(mApp->mMode, GameApp::kJourney);
        ASSERT_EQ(mApp->mMessages.size(), 1u);
        EXPECT_EQ(mApp->mMessages[0], "This saved game is damaged and cannot be continued.");
        EXPECT_FALSE(Files::IsRegularFile(real));
        EXPECT_EQ(TestSupport::ReadBytes(real + ".damaged"), c.bytes) << "kept as it was";
    }
}

TEST_F(SavedGameFlow, AFolderThatCannotBeWrittenIsReportedOnceAndTheOldFileIsKept) {
    mApp->LoadStatistics();
    mApp->LoadScoreTables();
    GameSession* session = Start(true);
    ASSERT_TRUE(mApp->SaveSession(*session));
    std::vector<uint8_t> old = Bytes(GameFiles::kGauntletSaveFile);
    // The folder refuses new files: where each write puts its temporary file stands a folder.
    std::string folder = Files::PathForWrite(mApp->mProfiles.GetProfileDir());
    auto block = [&](const std::string& file, bool on) {
        std::string temp = folder + "/" + file + ".tmp" + std::to_string(getpid());
        on ? Files::CreateDirectories(temp) : Files::RemoveTree(temp, folder);
    };
    block(GameFiles::kGauntletSaveFile, true);
    block(GameFiles::kStatisticsFile, true);
    session->mScore = 999;
    EXPECT_FALSE(mApp->SaveSession(*session));
    EXPECT_FALSE(mApp->SaveProgressNow());
    EXPECT_FALSE(mApp->SaveSession(*session));
    EXPECT_EQ(Bytes(GameFiles::kGauntletSaveFile), old);
    ASSERT_EQ(mApp->mMessages.size(), 1u) << "told once";
    EXPECT_NE(mApp->mMessages[0].find(folder), std::string::npos) << mApp->mMessages[0];
    // Writable again: the next failure is told again.
    block(GameFiles::kGauntletSaveFile, false);
    block(GameFiles::kStatisticsFile, false);
    EXPECT_TRUE(mApp->SaveSession(*session));
    block(GameFiles::kGauntletSaveFile, true);
    EXPECT_FALSE(mApp->SaveSession(*session));
    EXPECT_EQ(mApp->mMessages.size(), 2u);
    block(GameFiles::kGauntletSaveFile, false);
}
