// The high-score entry through the real loop: who is asked for a name, where the row lands, what
// an empty name stores, and that the table's file holds the row afterwards.
#include <gtest/gtest.h>

#include "engine/controls/EditBox.h"
#include "game/GauntletSession.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/screens/NameEntryDialog.h"
#include "persistence/HighScoreTable.h"
#include "ScreenTestApp.h"

namespace {

class NameEntryDialogTest : public ::testing::Test, public ScreenTestBase {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no fonts";
    }
    static std::string Rows(const HighScoreTable& table) {
        std::string out;
        for (int i = 0; i < table.RowCount(); ++i) out += table.GetName(i) + " " + std::to_string(table.GetScore(i)) + ",";
        return out;
    }
};

TEST_F(NameEntryDialogTest, QualifyingScoresAskForANameAndTheFileKeepsIt) {
    HighScoreTable& table = app->mGauntletScores;
    ASSERT_EQ(Rows(table), "Corro 5,Corro 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,Orlin 1,Orlin 1,");

    // Scores that beat no row: no dialog, nothing drawn, nothing written.
    for (int32_t score : {1, 0, -5}) {
        int frames = app->mFramesDrawn;
        EXPECT_FALSE(NameEntryDialog::EnterHighScore(app, table, score)) << score;
        EXPECT_EQ(app->mFramesDrawn, frames);
    }

    // Enter with nothing typed: "Anon.", below both rows of 5; the last Orlin drops out.
    TypeAndEnter("");
    EXPECT_TRUE(NameEntryDialog::EnterHighScore(app, table, 5));
    EXPECT_EQ(Rows(table), "Corro 5,Corro 5,Anon. 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,Orlin 1,");

    // A typed name gets its capital; the row is in the file before anything else happens.
    TypeAndEnter("bo");
    EXPECT_TRUE(NameEntryDialog::EnterHighScore(app, table, 9000));
    HighScoreTable reread;
    reread.Create(HighScoreTable::kRowCount);
    reread.Load("Gauntlet-Scores.dat");
    EXPECT_EQ(Rows(reread), "Bo 9000,Corro 5,Corro 5,Anon. 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,");
}

TEST_F(NameEntryDialogTest, TheFieldHasTheKeyboardAndStopsAtItsWidth) {
    auto* dialog = new NameEntryDialog(app);
    app->mGadgets.Add(dialog);
    drive->Step();
    EXPECT_EQ(app->mKeyboardFocus, dialog->NameBox());
    TypeLong(std::string(40, 'M'));
    drive->Step();
    size_t kept = dialog->NameBox()->GetText().size();
    EXPECT_GT(kept, 4u);
    EXPECT_LT(kept, 40u);
    EXPECT_EQ(app->mBeeps, int(40 - kept));
    EXPECT_LE(app->mFont2.TextWidth(dialog->NameBox()->GetText()), NameEntryDialog::kFieldWidth);
    // A space cannot start the name.
    dialog->NameBox()->SetText("");
    drive->Type(" x");
    drive->Step();
    EXPECT_EQ(dialog->NameBox()->GetText(), "X");
    dialog->Kill();
    drive->Step(2);
}

TEST_F(NameEntryDialogTest, AGauntletEndingWithAQualifyingScoreAsksForAName) {
    app->mProfiles.Load(ConfigPath());
    app->mProfiles.Create("Kim");
    app->LoadStatistics();
    auto* session = new GauntletSession(app);
    app->mGadgets.Add(session);
    session->TakeKeyboardFocus();
    drive->Step(2);
    Board* board = session->mBoard ? session->mBoard->GetBoard() : nullptr;
    ASSERT_NE(board, nullptr);
    session->mScore = 7000;
    session->mGold = 3;
    // The player types a name once the field has the keyboard.
    auto asked = [this] {
        Gadget* focus = app->mKeyboardFocus;
        return focus && focus->mParent && dynamic_cast<NameEntryDialog*>(focus->mParent) != nullptr;
    };
    auto* typist = TypeWhen(asked, "ace");
    board->mSecondChances = 0;
    board->FakeNoMoves();
    ASSERT_TRUE(drive->StepUntil([&] { return session->mGameOver; }, 2000));
    EXPECT_TRUE(typist->mDone);
    EXPECT_EQ(app->mGauntletScores.GetName(0), "Ace");
    EXPECT_EQ(app->mGauntletScores.GetScore(0), 7000);
    // The end of the run is in the profile's record on disk at once, not only at shutdown.
    GameStatistics stored;
    ASSERT_TRUE(stored.LoadFile("USERS\\Kim\\GameData.dat"));
    EXPECT_EQ(stored.mGauntletsCompleted, 1);
    EXPECT_EQ(stored.mMostGold, 3);
    typist->Kill();
    session->Kill();
    drive->Step(2);
}

TEST_F(NameEntryDialogTest, AFinishedJourneyCountsOnceAndOffersItsScore) {
    app->mProfiles.Load(ConfigPath());
    app->mProfiles.Create("Kim");
    app->LoadStatistics();
    auto* session = new GameSession(app);
    app->mGadgets.Add(session);
    drive->Step();
    session->mScore = 12000;
    session->mMoves = 80;
    session->mJourneyTime = 30000;
    session->mLevelsLost = 0;
    // The map counts the journey as it ends; the click past the won screen must not count it again.
    session->RecordJourneyWon(2);
    TypeAndEnter("zed");
    session->JourneyFinished(2);
    const GameStatistics& stats = app->mStatistics;
    EXPECT_EQ(stats.mJourneysCompleted, 1);
    EXPECT_EQ(stats.mIdolCounts[2], 1);
    EXPECT_EQ(stats.mFewestMoves, 80);
    EXPECT_EQ(stats.mFastestJourney, 30000);
    EXPECT_EQ(stats.mFewestLostLevels, 0);
    GameStatistics stored;
    ASSERT_TRUE(stored.LoadFile("USERS\\Kim\\GameData.dat"));
    EXPECT_EQ(stored, stats);
    HighScoreTable reread;
    reread.Create(HighScoreTable::kRowCount);
    reread.Load("Journey-Scores.dat");
    EXPECT_EQ(reread.GetName(0), "Zed");
    EXPECT_EQ(reread.GetScore(0), 12000);
    session->Kill();
    drive->Step(2);
}

}  // namespace
