// The built program, run in a scratch working directory: its log, its
// standard streams and its exit status.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/support/TestSupport.h"

using testsupport::Lines;
using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

struct Outcome {
    bool exited = false;
    int status = -1; // exit status, or the signal that ended it
    std::string out, err, log;
};

// Runs the game in dir with the given video driver. Once settleMs have
// passed and the file ready (in dir) holds readyText, the process gets
// signal (0: none); it is killed for good after 20 s. Waiting for the text
// keeps a busy machine's slow start from changing what the signal meets.
Outcome RunGame(const TempDir& dir, const char* videoDriver, int settleMs, int signal,
                const char* ready = "stdout.txt", const char* readyText = "Init SDL...") {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.Path().c_str()) != 0) {
            _exit(120);
        }
        int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        setenv("SDL_VIDEODRIVER", videoDriver, 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(QUADRELL_PROGRAM, QUADRELL_PROGRAM, static_cast<char*>(nullptr));
        _exit(121);
    }
    Outcome result;
    int status = 0;
    bool done = false;
    bool signalled = false;
    for (int waited = 0; waited < 20000 && !done; waited += 10) {
        if (signal != 0 && !signalled && waited >= settleMs &&
            ReadFile(dir.File(ready)).find(readyText) != std::string::npos) {
            kill(pid, signal);
            signalled = true;
        }
        done = waitpid(pid, &status, WNOHANG) == pid;
        if (!done) {
            usleep(10000);
        }
    }
    if (!done) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    result.exited = WIFEXITED(status);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
    result.out = ReadFile(dir.File("stdout.txt"));
    result.err = ReadFile(dir.File("stderr.txt"));
    result.log = ReadFile(dir.File("log.txt"));
    return result;
}

// A working directory that sees the game's data.
void LinkData(const TempDir& dir) {
    dir.Link("data", testsupport::SourceDir() + "/data");
}

} // namespace

TEST(Program, ANormalRunLogsItsStartAndEndsCleanlyOnSigterm) {
    TempDir dir;
    LinkData(dir);
    dir.Write("log.txt", "a previous run\nwith two lines\n");
    Outcome run = RunGame(dir, "dummy", 1500, SIGTERM);
    ASSERT_TRUE(run.exited) << "ended by signal " << run.status;
    std::vector<std::string> lines = Lines(run.log);
    ASSERT_GE(lines.size(), 4u) << run.log;
    EXPECT_EQ("starting application", lines[0]);
    EXPECT_TRUE(lines[1] == "  SDLApp::InitSDL: Surface Surface enabled..." ||
                lines[1] == "  SDLApp::InitSDL: Hardware Surface enabled...")
        << lines[1];
    EXPECT_EQ("  SDLApp::InitSDL: Done", lines[2]);
    EXPECT_EQ("stopping application", lines.back());
    EXPECT_EQ(std::string::npos, run.log.find("a previous run"));
    EXPECT_EQ(0u, run.out.find("Init SDL...\n"));
    // The game may fail to start only for want of its data; then it says so.
    if (run.status != 0) {
        EXPECT_EQ(1, run.status);
        EXPECT_NE(std::string::npos, run.err.find("log.txt")) << run.err;
    }
}

// A stop asked for during the start-up and loading is a clean stop too.
TEST(Program, SigtermWhileStartingStopsCleanly) {
    TempDir dir;
    LinkData(dir);
    Outcome run = RunGame(dir, "dummy", 0, SIGTERM);
    ASSERT_TRUE(run.exited) << "ended by signal " << run.status;
    EXPECT_EQ(0, run.status) << run.err;
    std::vector<std::string> lines = Lines(run.log);
    ASSERT_GE(lines.size(), 2u) << run.log;
    EXPECT_EQ("  SDLApp::Run: stopped by signal 15", lines[lines.size() - 2]);
    EXPECT_EQ("stopping application", lines.back());
}

TEST(Program, AFailedSdlStartLeavesFourLinesAndStatus1) {
    TempDir dir;
    Outcome run = RunGame(dir, "no-such-driver", 0, 0);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(1, run.status);
    std::vector<std::string> lines = Lines(run.log);
    ASSERT_EQ(4u, lines.size()) << run.log;
    EXPECT_EQ("starting application", lines[0]);
    EXPECT_EQ(0u, lines[1].find("  SDLApp::InitSDL: ")) << lines[1];
    EXPECT_GT(lines[1].size(), std::string("  SDLApp::InitSDL: ").size());
    EXPECT_EQ("InitSDL failed", lines[2]);
    EXPECT_EQ("stopping application", lines[3]);
    EXPECT_EQ("Init SDL...\n", run.out);
    // One line on standard error naming the failure and the log.
    std::vector<std::string> err = Lines(run.err);
    ASSERT_EQ(1u, err.size()) << run.err;
    EXPECT_NE(std::string::npos, err[0].find("InitSDL failed"));
    EXPECT_NE(std::string::npos, err[0].find("SDL_Init"));
    EXPECT_NE(std::string::npos, err[0].find("log.txt"));
}

TEST(Program, RunsWithoutALogWhenLogTxtCannotBeOpened) {
    TempDir dir;
    LinkData(dir);
    // A folder in the way makes the log impossible to open, even for root.
    dir.Write("log.txt/keep", "");
    Outcome run = RunGame(dir, "dummy", 800, SIGTERM);
    ASSERT_TRUE(run.exited) << "ended by signal " << run.status;
    EXPECT_EQ(0u, run.out.find("Init SDL...\n"));
}

TEST(Program, TheLogIsCompleteUpToTheLastWriteWhenKilled) {
    TempDir dir;
    LinkData(dir);
    Outcome run = RunGame(dir, "dummy", 1000, SIGKILL, "log.txt", "  SDLApp::InitSDL: Done");
    EXPECT_FALSE(run.exited);
    std::vector<std::string> lines = Lines(run.log);
    ASSERT_GE(lines.size(), 3u) << run.log;
    EXPECT_EQ("starting application", lines[0]);
    EXPECT_EQ("  SDLApp::InitSDL: Done", lines[2]);
}
