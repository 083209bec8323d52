// The log's two line forms, emptying on open and life without a file.
#include <gtest/gtest.h>

#include "framework/LogFile.h"
#include "tests/support/TestSupport.h"

using testsupport::ReadFile;
using testsupport::TempDir;

TEST(LogFile, WritesBothFormsAndEachWriteIsOnDiskAtOnce) {
    TempDir dir;
    const std::string path = dir.File("log.txt");
    LogFile log(path.c_str());
    ASSERT_TRUE(log.IsOpen());
    log.Write("starting application");
    // Read while the file is still open: nothing may wait in a buffer.
    EXPECT_EQ("starting application\n", ReadFile(path));
    log.Write("SDLApp::InitSDL", "Done");
    EXPECT_EQ("starting application\n  SDLApp::InitSDL: Done\n", ReadFile(path));
    log.Write("100% %s %d");
    EXPECT_EQ("starting application\n  SDLApp::InitSDL: Done\n100% %s %d\n", ReadFile(path));
}

TEST(LogFile, OpeningEmptiesAnEarlierLog) {
    TempDir dir;
    dir.Write("log.txt", "a previous run\n");
    LogFile log(dir.File("log.txt").c_str());
    EXPECT_EQ("", ReadFile(dir.File("log.txt")));
}

TEST(LogFile, WithoutAFileEveryWriteIsSkipped) {
    LogFile log("/nonexistent/dir/log.txt");
    EXPECT_FALSE(log.IsOpen());
    log.Write("lost");
    log.Write("Tag::Op", "lost too");
    TempDir dir;
    EXPECT_TRUE(log.Open(dir.File("log.txt").c_str()));
    log.Write("found");
    log.Close();
    log.Write("after close");
    EXPECT_EQ("found\n", ReadFile(dir.File("log.txt")));
}
