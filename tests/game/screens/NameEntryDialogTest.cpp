// The high-score entry through the real loop: who is asked for a name, where the row lands, what
// an empty name stores, and that the table's file holds the row afterwards.
#include <gtest/gtest.h>

#include "engine/controls/EditBox.h"
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

}  // namespace
