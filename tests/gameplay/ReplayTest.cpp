// A fixed game played by the computer player, compared frame by frame with
// a recorded run. Any change to the play rules shows up here as a diff.
// After an intended rule change, rerun with QUADRELL_UPDATE_REPLAY=1 to
// record the new run, and review the diff of expected.txt.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

constexpr int Frames = 13200;
constexpr int HandsOff = 12000; // then the paddle stands still until the game is over
constexpr int Every = 100;

std::string DumpLine(int frame, const GameScene& scene) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "frame %d state %d level %d points %d lives %d bricks %d ball %.3f %.3f angle %.3f "
                  "paddle %d capsules %d shots %d held %d\n",
                  frame, scene.state, scene.level, scene.points, scene.lives, scene.BreakableLeft(),
                  static_cast<double>(scene.ball.x), static_cast<double>(scene.ball.y),
                  static_cast<double>(scene.ball.angle), scene.paddleX, scene.powerUps.GetCount(),
                  scene.shots.GetCount(), scene.heldPowerUp ? 1 : 0);
    return line;
}

TEST(Replay, ComputerPlayerGameMatchesTheRecordedRun) {
    const std::string dir = QUADRELL_REPLAY_DIR;
    GameScene& scene = StartGame(testsupport::ReadFile(dir + "/level1.txt"));
    Root().Write("data/levels/level2.txt", testsupport::ReadFile(dir + "/level2.txt"));
    scene.autoPlay = true;
    // The select key stays down: it starts every serve and fires whenever a
    // capsule has been caught. The clock runs 16 ms per frame.
    Driver().Hold(SDLK_SPACE, true);
    std::string dump;
    for (int frame = 0; frame <= Frames; ++frame) {
        if (frame % Every == 0) {
            dump += DumpLine(frame, scene);
        }
        if (frame == HandsOff) {
            scene.autoPlay = false;
        }
        fakeNow += 16;
        Driver().Step(true);
    }
    Driver().Hold(SDLK_SPACE, false);

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
