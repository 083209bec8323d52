// A fixed game played by the computer player, compared frame by frame with
// a recorded run. Any change to the play rules shows up here as a diff.
// After an intended rule change, rerun with QUADRELL_UPDATE_REPLAY=1 to
// record the new run, and review the diff of expected.txt.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/gameplay/ReplayDump.h"
#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

TEST(Replay, ComputerPlayerGameMatchesTheRecordedRun) {
    const std::string dir = QUADRELL_REPLAY_DIR;
    StartGame(testsupport::ReadFile(dir + "/level1.txt"));
    Root().Write("data/levels/level2.txt", testsupport::ReadFile(dir + "/level2.txt"));
    // The clock runs 16 ms per frame.
    const std::string dump = replay::Record(Driver(), fakeNow);

    const std::string expectedPath = dir + "/expected.txt";
    if (std::getenv("QUADRELL_UPDATE_REPLAY")) {
        std::ofstream(expectedPath, std::ios::binary) << dump;
        GTEST_SKIP() << "recorded " << expectedPath;
    }
    const std::string expected = testsupport::ReadFile(expectedPath);
    ASSERT_FALSE(expected.empty()) << "no recorded run at " << expectedPath;
    // Compare line by line so a failure names the first frame that differs.
    size_t a = 0;
    size_t b = 0;
    while (a < dump.size() && b < expected.size()) {
        const size_t ea = dump.find('\n', a);
        const size_t eb = expected.find('\n', b);
        ASSERT_EQ(expected.substr(b, eb - b), dump.substr(a, ea - a));
        a = ea + 1;
        b = eb + 1;
    }
    EXPECT_EQ(expected.size(), dump.size());
}

} // namespace
