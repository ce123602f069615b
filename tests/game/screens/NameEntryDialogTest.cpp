// The high-score entry through the real loop: who is asked for a name, where the row lands, what
// an empty name stores, that the table's file holds it, and the end of a Gauntlet and a journey.
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
        app->mProfiles.Load(ConfigPath());
        app->mProfiles.Create("Kim");
        app->LoadStatistics();
    }
    static std::string Rows(const HighScoreTable& table) {
        std::string out;
        for (int i = 0; i < table.RowCount(); ++i) out += table.GetName(i) + " " + std::to_string(table.GetScore(i)) + ",";
        return out;
    }
    static std::string StoredRows(const char* file) {
        HighScoreTable table;
        table.Create(HighScoreTable::kRowCount);
        table.Load(file);
        return Rows(table);
    }
};

TEST_F(NameEntryDialogTest, OnlyAQualifyingScoreAsksAndAnEmptyNameIsAnon) {
    HighScoreTable& table = app->mGauntletScores;
    for (int32_t score : {1, 0, -5}) {
        int frames = app->mFramesDrawn;
        EXPECT_FALSE(NameEntryDialog::EnterHighScore(app, table, score)) << score;
        EXPECT_EQ(app->mFramesDrawn, frames) << "no dialog for " << score;
    }
    // Enter with nothing typed: "Anon.", below both rows of 5; the last Orlin drops out.
    TypeAndEnter("");
    EXPECT_TRUE(NameEntryDialog::EnterHighScore(app, table, 5));
    EXPECT_EQ(StoredRows("Gauntlet-Scores.dat"), "Corro 5,Corro 5,Anon. 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,Orlin 1,");

    // The field has the keyboard, and a name stops at its width with a beep.
    auto* dialog = new NameEntryDialog(app);
    app->mGadgets.Add(dialog);
    drive->Step();
    EXPECT_EQ(app->mKeyboardFocus, dialog->NameBox());
    TypeLong(std::string(40, 'M'));
    drive->Step();
    size_t kept = dialog->NameBox()->GetText().size();
    EXPECT_EQ(app->mBeeps, int(40 - kept));
    EXPECT_LE(app->mFont2.TextWidth(dialog->NameBox()->GetText()), NameEntryDialog::kFieldWidth);
    dialog->Kill();
    drive->Step(2);
}

TEST_F(NameEntryDialogTest, AnEndedGauntletAndAFinishedJourneyAskForANameAndKeepTheirStatistics) {
    auto* session = new GauntletSession(app);
    app->mGadgets.Add(session);
    session->TakeKeyboardFocus();
    drive->Step(2);
    Board* board = session->mBoard ? session->mBoard->GetBoard() : nullptr;
    ASSERT_NE(board, nullptr);
    session->mScore = 7000;
    session->mGold = 3;
    // The player types once the name field has the keyboard, inside the dialog's own loop.
    auto* typist = TypeWhen(
        [this] {
            Gadget* focus = app->mKeyboardFocus;
            return focus && dynamic_cast<NameEntryDialog*>(focus->mParent) != nullptr;
        },
        "ace");
    board->mSecondChances = 0;
    board->FakeNoMoves();
    ASSERT_TRUE(drive->StepUntil([&] { return session->mGameOver; }, 2000));
    EXPECT_EQ(Rows(app->mGauntletScores).substr(0, 9), "Ace 7000,");
    // The scores screen follows through the fader.
    EXPECT_TRUE(drive->StepUntil([&] { return app->mScoresScreen != nullptr; }, 100));
    GameStatistics stored;
    ASSERT_TRUE(stored.LoadFile("USERS\\Kim\\GameData.dat"));
    EXPECT_EQ(stored.mGauntletsCompleted, 1);
    EXPECT_EQ(stored.mMostGold, 3);
    typist->Kill();
    session->Kill();
    drive->Step(2);

    // The map counts a won journey as it ends; the click past the won screen does not again.
    auto* journey = new GameSession(app);
    app->mGadgets.Add(journey);
    journey->mScore = 12000;
    journey->mMoves = 80;
    journey->mJourneyTime = 30000;
    journey->RecordJourneyWon(2);
    TypeAndEnter("zed");
    journey->JourneyFinished(2);
    ASSERT_TRUE(stored.LoadFile("USERS\\Kim\\GameData.dat"));
    EXPECT_EQ(stored.mJourneysCompleted, 1);
    EXPECT_EQ(stored.mIdolCounts[2], 1);
    EXPECT_EQ(stored.mFewestMoves, 80);
    EXPECT_EQ(stored.mFewestLostLevels, 0);
    EXPECT_EQ(StoredRows("Journey-Scores.dat").substr(0, 10), "Zed 12000,");
    journey->Kill();
    drive->Step(2);
}

}  // namespace
