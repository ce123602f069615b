// One running game per data folder: the second launch hands over and the first is asked to raise.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"

TEST(SingleInstanceTest, SecondLaunchHandsOverAndTheFirstHearsIt) {
    std::string folder = Files::DataRoot();
    std::filesystem::create_directories(folder);
    SingleInstance first, second, third;
    ASSERT_EQ(first.Acquire(folder, "Game"), SingleInstance::Result::kFirst);
    EXPECT_EQ(first.PollRaiseRequests(), 0);
    EXPECT_EQ(second.Acquire(folder, "Game"), SingleInstance::Result::kHandedOver);
    EXPECT_EQ(third.Acquire(folder, "Game"), SingleInstance::Result::kHandedOver);
    EXPECT_EQ(first.PollRaiseRequests(), 2);
    EXPECT_EQ(first.PollRaiseRequests(), 0);

    // Another name or another folder is another game.
    SingleInstance otherName, otherFolder;
    EXPECT_EQ(otherName.Acquire(folder, "Other"), SingleInstance::Result::kFirst);
    std::filesystem::create_directories(folder + "/elsewhere");
    EXPECT_EQ(otherFolder.Acquire(folder + "/elsewhere", "Game"), SingleInstance::Result::kFirst);

    // Once the first is gone the next launch runs.
    first.Release();
    EXPECT_EQ(second.Acquire(folder, "Game"), SingleInstance::Result::kFirst);
}

TEST(SingleInstanceTest, UnusableFolderRunsWithoutTheRule) {
    SingleInstance instance;
    EXPECT_EQ(instance.Acquire("/proc/quorlslide-no-such-folder", "Game"), SingleInstance::Result::kUnavailable);
    EXPECT_EQ(instance.PollRaiseRequests(), 0);
    // Odd names cannot escape the folder.
    std::string folder = Files::DataRoot();
    std::filesystem::create_directories(folder);
    EXPECT_EQ(instance.Acquire(folder, "../../x/y"), SingleInstance::Result::kFirst);
    EXPECT_TRUE(std::filesystem::exists(folder + "/.._.._x_yMutex.lock"));
}
