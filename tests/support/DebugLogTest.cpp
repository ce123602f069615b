// Debug log: a fresh file per start, CR LF line ends, long lines cut, a missing folder survived.
#include <gtest/gtest.h>

#include <string>

#include "platform/FileSystem.h"
#include "support/DebugLog.h"
#include "TestSupport.h"

TEST(DebugLog, EachStartEmptiesTheFileAndLinesEndWithCrLf) {
    DebugLog::Start();
    DebugLog::Log("Crash String: %s", "boom");
    DebugLog::Log("%d devices", 2);
    const std::string path = Files::DataRoot() + "/DEBUG.TXT";
    EXPECT_EQ(DebugLog::FilePath(), path);
    EXPECT_EQ(TestSupport::ReadText(path), "Crash String: boom\r\n2 devices\r\n");

    DebugLog::Start();
    EXPECT_EQ(TestSupport::ReadText(path), "");
    DebugLog::Log("again");
    EXPECT_EQ(TestSupport::ReadText(path), "again\r\n");
}

TEST(DebugLog, LongMessagesAreCutTo2047Characters) {
    DebugLog::Start();
    DebugLog::Log("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(TestSupport::ReadText(DebugLog::FilePath()), std::string(2047, 'x') + "\r\n");
}

TEST(DebugLog, NothingIsWrittenWhenStopped) {
    DebugLog::Start();
    DebugLog::Stop();
    DebugLog::Log("ignored");
    EXPECT_FALSE(DebugLog::Enabled());
    EXPECT_EQ(TestSupport::ReadText(Files::DataRoot() + "/DEBUG.TXT"), "");
}

TEST(DebugLog, UnusableDataFolderFallsBackToStandardError) {
    // A file standing where the data folder should be.
    const std::string root = Files::DataRoot();
    TestSupport::WriteBytes(root + "/notafolder", "x");
    Files::SetDataRoot(root + "/notafolder/data");
    DebugLog::Start();
    EXPECT_TRUE(DebugLog::Enabled());
    EXPECT_EQ(DebugLog::FilePath(), "");
    testing::internal::CaptureStderr();
    DebugLog::Log("still %s", "heard");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("still heard"), std::string::npos);
    // The suites after this one keep a usable data folder.
    DebugLog::Stop();
    Files::SetDataRoot(root);
}
