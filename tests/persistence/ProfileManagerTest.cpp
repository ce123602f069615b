// Profile list, folders and the statistics record that follows the current profile.
#include <gtest/gtest.h>

#include <filesystem>

#include "persistence/GameStatistics.h"
#include "persistence/ProfileManager.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

class ProfileManagerTest : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::EmptyDataFolder(); }

    static std::string DataPath(const std::string& relative) { return Files::DataRoot() + "/" + relative; }
    static void WriteConfig(const std::string& text) { TestSupport::WriteBytes(DataPath("game.cfg"), text); }
    static std::string ListOf(const ProfileManager& profiles) {
        std::string out;
        for (int i = 0; i < profiles.Count(); ++i) out += (i ? "," : "") + profiles.GetName(i);
        return out;
    }
};

TEST_F(ProfileManagerTest, CreateAddsSuffixesAndRefusesNonFolderNames) {
    ProfileManager profiles;
    profiles.Load("game.cfg");
    ASSERT_TRUE(profiles.Create("ann"));
    ASSERT_TRUE(profiles.Create("Ann"));
    ASSERT_TRUE(profiles.Create("Ann"));
    EXPECT_EQ(ListOf(profiles), "ann,Ann2,Ann3");
    EXPECT_EQ(profiles.GetCurrentName(), "Ann3");
    EXPECT_TRUE(profiles.Exists("ANN2"));
    EXPECT_EQ(profiles.GetName(3), "");

    for (const char* bad : {"", ".", "..", "../x", "a\\b", "a,b", "tab\there", "bell\x07"})
        EXPECT_FALSE(profiles.Create(bad)) << bad;
    EXPECT_EQ(profiles.Count(), 3);
    EXPECT_TRUE(profiles.Create("Zoë O'Neil"));
    EXPECT_EQ(profiles.GetProfileDir(), "USERS\\Zoë O'Neil");
}

TEST_F(ProfileManagerTest, LoadReadsCurrentProfileRules) {
    struct Case {
        const char* config;
        const char* list;
        bool hasCurrent;
        const char* current;
        const char* folder;
    } cases[] = {
        {"Profiles=Ann,Bob\r\nCurrentProfile=Bob\r\n", "Ann,Bob", true, "Bob", "USERS\\Bob"},
        {"Profiles=Ann,Bob\r\nCurrentProfile=\r\n", "Ann,Bob", true, "Ann", "USERS\\Ann"},
        {"Profiles=Ann,Bob\r\n", "Ann,Bob", true, "", "USERS\\NULL"},
        {"Profiles=\r\nCurrentProfile=\r\n", "", true, "", "USERS\\NULL"},
        {"", "", true, "", "USERS\\NULL"},
        // Edited files: names that would leave the profile folder, empty pieces, repeats.
        {"Profiles=..,Ann,,.,a/b,c\\d,ANN,e\x01,Bob\r\nCurrentProfile=../../etc\r\n", "Ann,Bob", true, "Ann",
         "USERS\\Ann"},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        ProfileManager profiles;
        profiles.Load("game.cfg");
        EXPECT_EQ(ListOf(profiles), c.list) << c.config;
        EXPECT_EQ(profiles.HasCurrentName(), c.hasCurrent) << c.config;
        EXPECT_EQ(profiles.GetCurrentName(), c.current) << c.config;
        EXPECT_EQ(profiles.GetProfileDir(), c.folder) << c.config;
        EXPECT_TRUE(Files::IsDirectory(Files::PathForWrite(c.folder))) << c.folder;
    }
}

TEST_F(ProfileManagerTest, MissingConfigGivesNoProfilesAndSaveKeepsOtherKeys) {
    ProfileManager profiles;
    profiles.Load("game.cfg");
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_EQ(profiles.GetProfilePath("GameData.dat"), "USERS\\NULL\\GameData.dat");

    WriteConfig("Width=800\r\nCurrentProfile=Old\r\nSound=true\r\n");
    profiles.Load("game.cfg");
    profiles.Create("Ann");
    profiles.Create("Bob");
    profiles.Shutdown();
    EXPECT_EQ(TestSupport::ReadText(DataPath("game.cfg")),
              "Width=800\r\nCurrentProfile=Bob\r\nSound=true\r\nProfiles=Ann,Bob\r\n");
    // The name outlives the list so the statistics can still be written at the very end.
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_EQ(profiles.GetProfileDir(), "USERS\\Bob");
    EXPECT_FALSE(profiles.Save());
}

TEST_F(ProfileManagerTest, DeleteRemovesFolderAndPicksNextCurrent) {
    ProfileManager profiles;
    profiles.Load("game.cfg");
    profiles.Create("Ann");
    std::string annFile = Files::PathForWrite(profiles.GetProfilePath("SAVEGAME_JOURNEY.DAT"));
    TestSupport::WriteBytes(annFile, "x");
    TestSupport::WriteBytes(Files::PathForWrite("USERS\\Ann\\sub\\deep.dat"), "y");
    profiles.Create("Bob");

    // Not current: current stays.
    profiles.Delete(0);
    EXPECT_EQ(ListOf(profiles), "Bob");
    EXPECT_EQ(profiles.GetCurrentName(), "Bob");
    EXPECT_FALSE(Files::Exists("USERS\\Ann"));
    EXPECT_TRUE(Files::Exists("USERS"));

    profiles.Delete(5);
    EXPECT_EQ(profiles.Count(), 1);

    // The only profile: no current name, files go to "NULL".
    profiles.Delete(0);
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_FALSE(profiles.HasCurrentName());
    EXPECT_EQ(profiles.GetProfilePath("GameData.dat"), "USERS\\NULL\\GameData.dat");
    profiles.Save();
    EXPECT_EQ(TestSupport::ReadText(DataPath("game.cfg")), "Profiles=\r\nCurrentProfile=\r\n");

    // The current name matches its listed profile in any case.
    WriteConfig("Profiles=Ann,Bob,Cid\r\nCurrentProfile=bob\r\n");
    profiles.Load("game.cfg");
    EXPECT_EQ(profiles.GetCurrentIndex(), 1);
    profiles.Delete(1);
    EXPECT_EQ(profiles.GetCurrentName(), "Ann");
}

TEST_F(ProfileManagerTest, DeleteStaysInsideUsersFolder) {
    // A file outside USERS that a hostile name would reach, and a link inside USERS pointing out.
    TestSupport::WriteBytes(DataPath("keep/precious.dat"), "keep");
    TestSupport::WriteBytes(DataPath("USERS/Ann/GameData.dat"), "a");
    std::filesystem::create_directory_symlink(Files::DataRoot() + "/keep", DataPath("USERS/Link"));
    WriteConfig("Profiles=..,../keep,Link,Ann\r\nCurrentProfile=Ann\r\n");
    ProfileManager profiles;
    profiles.Load("game.cfg");
    ASSERT_EQ(ListOf(profiles), "Link,Ann");
    profiles.Delete(0);
    EXPECT_TRUE(Files::Exists("keep/precious.dat")) << "a link is removed, never followed";
    EXPECT_FALSE(Files::Exists("USERS/Link"));
    EXPECT_TRUE(Files::Exists("USERS/Ann/GameData.dat"));
    EXPECT_EQ(profiles.GetCurrentName(), "Ann");
}

TEST_F(ProfileManagerTest, UnreadableConfigIsNeverOverwritten) {
    // A folder in place of the file stands for any file that exists but cannot be read.
    ASSERT_TRUE(Files::CreateDirectories("game.cfg\\inner"));
    ProfileManager profiles;
    profiles.Load("game.cfg");
    profiles.Create("Ann");
    EXPECT_FALSE(profiles.Save());
    EXPECT_TRUE(Files::IsDirectory(DataPath("game.cfg/inner")));
}

TEST_F(ProfileManagerTest, EveryChangeReachesTheFileAtOnceAndFolderSpellingsAreRespected) {
    ProfileManager profiles;
    profiles.Load("game.cfg");
    // No shutdown in between: a crash right after any change still finds it on disk.
    profiles.Create("Ann");
    EXPECT_EQ(TestSupport::ReadText(DataPath("game.cfg")), "Profiles=Ann\r\nCurrentProfile=Ann\r\n");
    EXPECT_TRUE(Files::IsDirectory(DataPath("USERS/Ann")));
    profiles.Create("Bob");
    profiles.Select(0);
    EXPECT_EQ(TestSupport::ReadText(DataPath("game.cfg")), "Profiles=Ann,Bob\r\nCurrentProfile=Ann\r\n");
    profiles.Delete(0);
    EXPECT_EQ(TestSupport::ReadText(DataPath("game.cfg")), "Profiles=Bob\r\nCurrentProfile=Bob\r\n");

    // A folder left by a profile the list forgot: the file layer would find it as "Cid" too.
    TestSupport::WriteBytes(DataPath("USERS/cid/GameData.dat"), "c");
    EXPECT_EQ(profiles.FolderInOtherCase("Cid"), "cid");
    EXPECT_EQ(profiles.FolderInOtherCase("cid"), "") << "the same spelling is that folder's own name";
    EXPECT_EQ(profiles.FolderInOtherCase("Dee"), "");
    EXPECT_FALSE(profiles.Create("Cid"));
    EXPECT_EQ(ListOf(profiles), "Bob");
    EXPECT_TRUE(profiles.Create("cid"));
    // Both spellings on disk: the exact one is found first, so either name is safe.
    TestSupport::WriteBytes(DataPath("USERS/Eve/x"), "e");
    TestSupport::WriteBytes(DataPath("USERS/EVE/x"), "e");
    EXPECT_EQ(profiles.FolderInOtherCase("Eve"), "");
    EXPECT_EQ(profiles.FolderInOtherCase("eve"), "EVE");
}

// --- The statistics record follows the current profile ----------------------------------------

TEST_F(ProfileManagerTest, StatisticsStayWithTheirProfile) {
    ProfileManager profiles;
    profiles.Load("game.cfg");
    GameStatistics stats;
    profiles.AttachStatistics(&stats);
    // Choosing the first profile before the record was ever loaded writes nothing anywhere.
    profiles.Create("Ann");
    EXPECT_FALSE(Files::Exists("USERS\\NULL\\GameData.dat"));
    stats.LoadStatistics(profiles);
    stats.mJourneysCompleted = 7;

    profiles.Create("Bob");  // switch: Ann's record saved, Bob starts empty
    EXPECT_EQ(stats, GameStatistics());
    stats.mGauntletsCompleted = 3;

    profiles.Select(0);  // back to Ann
    EXPECT_EQ(stats.mJourneysCompleted, 7);
    EXPECT_EQ(stats.mGauntletsCompleted, 0);
    profiles.Select(0);  // same profile: nothing written or reread
    EXPECT_EQ(stats.mJourneysCompleted, 7);

    profiles.Select(1);
    EXPECT_EQ(stats.mGauntletsCompleted, 3);

    // Deleting the current profile drops its record instead of recreating its folder.
    profiles.Delete(1);
    EXPECT_FALSE(Files::Exists("USERS\\Bob"));
    EXPECT_EQ(profiles.GetCurrentName(), "Ann");
    EXPECT_EQ(stats.mJourneysCompleted, 7);

    stats.mJourneysCompleted = 8;
    stats.SaveStatistics(profiles);
    GameStatistics reread;
    reread.LoadFile("USERS\\Ann\\GameData.dat");
    EXPECT_EQ(reread.mJourneysCompleted, 8);
}

}  // namespace
