// File layer: game paths to POSIX paths, case-insensitive lookup, the two roots, atomic writes,
// and removal that never leaves its container.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/FileSystem.h"
#include "TestSupport.h"

TEST(FileSystem, TranslatesGamePaths) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Graphics\\quorls\\ql10", "Graphics/quorls/ql10"},
        {"USERS\\\\Ann\\.\\GameData.dat", "USERS/Ann/GameData.dat"},
        {"/abs\\path", "/abs/path"},
        {"a/../b", "a/../b"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Files::ToPosix(c.in), c.out) << c.in;
}

TEST(FileSystem, FindsResourcesWhateverTheCase) {
    const std::string res = Files::ResourceRoot();
    TestSupport::WriteBytes(res + "/Graphics/Quorls/ql10.png", "png");
    TestSupport::WriteBytes(res + "/fonts/font4.txt", "font");

    EXPECT_EQ(Files::FindForRead("Graphics\\quorls\\QL10.png"), res + "/Graphics/Quorls/ql10.png");
    EXPECT_EQ(Files::FindForRead("Fonts\\font4.txt"), res + "/fonts/font4.txt");
    EXPECT_EQ(Files::FindForRead("Graphics\\quorls\\ql11.png"), "");
    EXPECT_EQ(Files::FindForRead(""), "");
    EXPECT_TRUE(Files::Exists("GRAPHICS"));
}

TEST(FileSystem, DataFolderComesBeforeResources) {
    TestSupport::WriteBytes(Files::ResourceRoot() + "/game.cfg", "resource");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Files::ReadWhole("game.cfg", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "resource");

    ASSERT_TRUE(Files::WriteWholeAtomic("Game.CFG", "data", 4));
    ASSERT_TRUE(Files::ReadWhole("game.cfg", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "data");
    // Writes never reach the resources.
    EXPECT_EQ(TestSupport::ReadText(Files::ResourceRoot() + "/game.cfg"), "resource");
}

TEST(FileSystem, WritesKeepTheExistingSpellingAndCreateFolders) {
    TestSupport::WriteBytes(Files::DataRoot() + "/USERS/Ann/GameData.dat", "old");
    ASSERT_TRUE(Files::WriteWholeAtomic("users\\ann\\gamedata.dat", "new", 3));
    EXPECT_EQ(TestSupport::ReadText(Files::DataRoot() + "/USERS/Ann/GameData.dat"), "new");
    EXPECT_EQ(Files::ListDirectory(Files::DataRoot() + "/USERS/Ann"), std::vector<std::string>{"GameData.dat"});

    ASSERT_TRUE(Files::WriteWholeAtomic("Screenshots\\deep\\er\\shot.bmp", "", 0));
    EXPECT_TRUE(Files::IsRegularFile(Files::DataRoot() + "/Screenshots/deep/er/shot.bmp"));
}

TEST(FileSystem, FailedWriteLeavesNoTemporaryAndKeepsTheOldFile) {
    ASSERT_TRUE(Files::WriteWholeAtomic("save.dat", "previous", 8));
    Files::CreateDirectories("save.dat.tmp" + std::to_string(getpid()));
    EXPECT_FALSE(Files::WriteWholeAtomic("save.dat", "next", 4));
    EXPECT_EQ(TestSupport::ReadText(Files::DataRoot() + "/save.dat"), "previous");
}

TEST(FileSystem, AWholeWriteClearsTheTemporariesOfWritesThatWereKilled) {
    const std::string data = Files::DataRoot();
    // Process ids above the largest the system hands out belong to no running process.
    for (const char* name : {"kept.dat.tmp4999999", "kept.dat.tmpx1", "other.dat.tmp4999999"})
        TestSupport::WriteBytes(data + "/" + name, "cut off");
    std::string running = "kept.dat.tmp" + std::to_string(getppid());
    TestSupport::WriteBytes(data + "/" + running, "being written");
    ASSERT_TRUE(Files::WriteWholeAtomic("kept.dat", "whole", 5));
    EXPECT_FALSE(Files::IsRegularFile(data + "/kept.dat.tmp4999999")) << "a dead writer's leftover goes";
    EXPECT_TRUE(Files::IsRegularFile(data + "/" + running)) << "a running writer's file stays";
    EXPECT_TRUE(Files::IsRegularFile(data + "/kept.dat.tmpx1")) << "not a writer's temporary";
    EXPECT_TRUE(Files::IsRegularFile(data + "/other.dat.tmp4999999")) << "another file's";
}

TEST(FileSystem, RemoveTreeStaysInsideItsContainer) {
    const std::string data = Files::DataRoot();
    TestSupport::WriteBytes(data + "/USERS/Ann/GameData.dat", "x");
    TestSupport::WriteBytes(data + "/USERS/Ann/sub/more.dat", "y");
    TestSupport::WriteBytes(data + "/outside/precious.dat", "keep");
    // A link inside the profile pointing outside must be removed as a link, not followed.
    ASSERT_EQ(symlink((data + "/outside").c_str(), (data + "/USERS/Ann/link").c_str()), 0);

    const std::string users = data + "/USERS";
    EXPECT_FALSE(Files::RemoveTree(users + "/..", users));
    EXPECT_FALSE(Files::RemoveTree(users + "/../outside", users));
    EXPECT_FALSE(Files::RemoveTree(users, users));
    EXPECT_FALSE(Files::RemoveTree(users + "/.", users));
    EXPECT_TRUE(Files::RemoveTree(users + "/Ann", users));

    EXPECT_FALSE(Files::IsDirectory(users + "/Ann"));
    EXPECT_TRUE(Files::IsDirectory(users));
    EXPECT_EQ(TestSupport::ReadText(data + "/outside/precious.dat"), "keep");

    // A link standing for the profile folder itself is removed without touching its target.
    ASSERT_EQ(symlink((data + "/outside").c_str(), (users + "/Evil").c_str()), 0);
    EXPECT_TRUE(Files::RemoveTree(users + "/Evil", users));
    EXPECT_EQ(TestSupport::ReadText(data + "/outside/precious.dat"), "keep");
}

TEST(FileSystem, RefusesToReadFolders) {
    Files::CreateDirectories("afolder");
    std::vector<uint8_t> bytes{1, 2};
    EXPECT_FALSE(Files::ReadWhole("afolder", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(FileSystem, DefaultDataRootFollowsTheEnvironment) {
    const struct {
        const char* override;
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {nullptr, "/x/data", "/home/p", "/x/data/quorlslide"},
        {nullptr, nullptr, "/home/p", "/home/p/.local/share/quorlslide"},
        // A relative XDG_DATA_HOME is invalid and ignored.
        {nullptr, "relative", "/home/p", "/home/p/.local/share/quorlslide"},
        {"/tmp/mine", "/x/data", "/home/p", "/tmp/mine"},
    };
    auto set = [](const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    for (const auto& c : cases) {
        set("QS_DATA_DIR", c.override);
        set("XDG_DATA_HOME", c.xdg);
        set("HOME", c.home);
        Files::ResetRoots();
        EXPECT_EQ(Files::DataRoot(), c.expected);
    }
    unsetenv("QS_DATA_DIR");
    TestSupport::UseFreshDataFolder();
}
