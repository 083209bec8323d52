// A ball put back on the whole-pixel spot where its frame began can close a
// two-frame loop at a solid brick and turn there for ever; the play update
// frees it. Frames run through the real round step, with the guard switched
// off where they compare against the rule without it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

// The brick given (a character pair) in cell 35, column 5 of the fourth
// row: screen x 81 to 95, y 51 to 59. A one-hit brick far off keeps the
// level from being cleared.
std::string OneBrick(const char* pair) {
    const std::string empty = ". . . . . . . . . . \n";
    return "1 . . . . . . . . . \n" + empty + empty + ". . . . . " + pair + ". . . . \n";
}
constexpr int BrickCell = 35;
const std::string OneSolid = OneBrick("#S");

bool BallAt(const GameScene& s, float x, float y) {
    return s.ball.x == x && s.ball.y == y;
}

TEST(PlayWedge, SolidBrickCornersAndSidesLetTheBallGoOnTheSecondHit) {
    struct Case {
        const char* where;
        float x, y, angle;
        float bounced; // the ordinary reflection on the first hit
        float turned;  // the guard's on the second
        int toLeave;   // frames from then until the ball leaves the spot
    };
    const Case cases[] = {
        {"bottom-left, climbing", 78, 61, 30, 330, 210, 1},
        {"bottom-left, falling", 78, 61, 330, 30, 150, 1},
        {"bottom-right, climbing", 100, 61, 150, 210, 330, 1},
        {"bottom-right, falling", 100, 61, 210, 150, 30, 1},
        {"right side, steeply down", 98, 55, 257, 283, 77, 3},
        {"left side, steeply down", 79, 55, 283, 257, 110, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        // Without the guard the ball is back where it began every second frame.
        GameScene& scene = StartPlaying(OneSolid, c.x, c.y, c.angle);
        scene.wedgeGuard = false;
        for (int frame = 0; frame < 4; ++frame) {
            Driver().Step(false);
        }
        EXPECT_TRUE(BallAt(scene, c.x, c.y));
        EXPECT_FLOAT_EQ(c.angle, scene.ball.angle);

        // With it the second hit reflects about the other axis, and is an
        // ordinary hit otherwise (the capsule comes out again).
        scene.wedgeGuard = true;
        StartPlaying(OneSolid, c.x, c.y, c.angle);
        const long turns = scene.wedgeTurns;
        Driver().Step(false);
        EXPECT_FLOAT_EQ(c.bounced, scene.ball.angle);
        Driver().Step(false);
        EXPECT_FLOAT_EQ(c.turned, scene.ball.angle);
        EXPECT_TRUE(BallAt(scene, c.x, c.y));
        EXPECT_EQ(turns + 1, scene.wedgeTurns);
        EXPECT_EQ(2, scene.powerUps.GetCount());
        EXPECT_EQ(BrickCell, scene.lastSolidHit);
        // It may bounce off the brick on the spot a few times more, at new
        // angles (so the guard stays out), before it leaves.
        int more = 0;
        while (more < 4 && BallAt(scene, c.x, c.y)) {
            Driver().Step(false);
            ++more;
        }
        EXPECT_EQ(c.toLeave, more);
        EXPECT_EQ(-1, scene.lastSolidHit);
        EXPECT_EQ(turns + 1, scene.wedgeTurns);
    }
}

TEST(PlayWedge, OnlyTwoSolidHitsInARowThatRestoreTheFrameTurnTheBall) {
    // A breakable brick in the same corner just takes its two hits.
    GameScene& scene = StartPlaying(OneBrick("3 "), 78, 61, 30);
    Driver().Step(false);
    Driver().Step(false);
    EXPECT_FLOAT_EQ(30, scene.ball.angle);
    EXPECT_EQ(1, scene.bricks.cells[BrickCell].kind);

    // A serve after a lost ball, or a paused frame, between the two hits of a
    // solid brick: the memory is gone and the second bounces as always.
    for (bool serve : {true, false}) {
        SCOPED_TRACE(serve ? "serve" : "pause");
        StartPlaying(OneSolid, 78, 61, 30);
        Driver().Step(false);
        EXPECT_EQ(BrickCell, scene.lastSolidHit);
        if (serve) {
            scene.StartLevel(false);
        } else {
            Driver().Hold(SDLK_p, true);
            Driver().Step(false);
            Driver().Hold(SDLK_p, false);
        }
        EXPECT_EQ(-1, scene.lastSolidHit);
        scene.state = GameScene::Playing;
        scene.ball.x = 78;
        scene.ball.y = 61;
        scene.ball.angle = 330;
        Driver().Step(false);
        EXPECT_FLOAT_EQ(30, scene.ball.angle);
    }
}

// ---------------------------------------------------------------------------
// Whole games: the computer player from a serve at a fixed angle.

// What the comparisons look at after each frame, and the guard's count.
struct Frame {
    float x, y, angle;
    int paddleX, points, lives, state;
    long turns;
    bool SameBall(const Frame& o) const { return x == o.x && y == o.y && angle == o.angle; }
    bool operator==(const Frame& o) const {
        return SameBall(o) && paddleX == o.paddleX && points == o.points && lives == o.lives &&
               state == o.state;
    }
};

// Serves level at angle (guard on or off) and plays up to frames frames,
// or until the game leaves play; the guard's turns count from 0.
std::vector<Frame> Play(const std::string& level, float angle, bool guard, int frames) {
    GameScene& scene = StartGame(level);
    scene.autoPlay = true;
    scene.wedgeGuard = guard;
    scene.ball.SetAngle(angle);
    const long turns = scene.wedgeTurns;
    Driver().Hold(SDLK_SPACE, true);
    Driver().Step(false);
    Driver().Hold(SDLK_SPACE, false);
    std::vector<Frame> run;
    for (int i = 0; i < frames && scene.state == GameScene::Playing; ++i) {
        Driver().Step(false);
        run.push_back(Frame{scene.ball.x, scene.ball.y, scene.ball.angle, scene.paddleX,
                            scene.points, scene.lives, scene.state, scene.wedgeTurns - turns});
    }
    return run;
}

// The first frame in which the two runs differ (the shorter run's length
// when they never do).
size_t FirstDifference(const std::vector<Frame>& a, const std::vector<Frame>& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        ++i;
    }
    return i;
}

TEST(PlayWedge, ReportedWedgesFromTheServeAreFreedWhereTheyBegan) {
    struct Case {
        const char* level;
        float serve, x, y;
    };
    const Case cases[] = {
        {". . # . . . . . . . 1 . . . . . . . . . \n", 135, 30, 31},
        {". . . . . . . . . . 1 . . . . . . . . . \n\n\n. . . . . # . . . . . . . . . . . . . . \n",
         134, 99, 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const std::vector<Frame> old = Play(c.level, c.serve, false, 3000);
        const std::vector<Frame> now = Play(c.level, c.serve, true, 20000);
        // Frame k is the guard's first turn and the first that differs; the
        // old rule put the ball back there as frame k - 1 found it, and
        // from then on turned on that spot.
        const size_t k = FirstDifference(old, now);
        ASSERT_TRUE(k >= 2 && k + 2 < old.size());
        EXPECT_EQ(0, now[k - 1].turns);
        EXPECT_EQ(1, now[k].turns);
        EXPECT_TRUE(old[k].SameBall(old[k - 2]) && old[k + 2].SameBall(old[k]));
        EXPECT_FLOAT_EQ(c.x, old[k].x);
        EXPECT_FLOAT_EQ(c.y, old[k].y);
        // The guard sends the ball off from the same spot, reflecting the
        // angle it came in at about the other axis (both wedges are at a
        // brick's bottom), and the level is cleared in the end.
        Ball turned;
        turned.SetAngle(180.0f - old[k - 1].angle);
        EXPECT_FLOAT_EQ(turned.angle, now[k].angle);
        EXPECT_TRUE(now[k].x == c.x && now[k].y == c.y);
        EXPECT_FALSE(now[k + 1].x == c.x && now[k + 1].y == c.y);
        EXPECT_EQ(GameScene::LevelCleared, Driver().scene.state);
    }
}

// Random levels of one-, two- and three-hit bricks among solid ones, from a
// fixed linear congruential generator (the same on every machine).
std::string RandomLevel(uint32_t seed) {
    uint32_t state = seed * 2654435761u + 12345u;
    auto next = [&state](uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 16) % n;
    };
    std::string text;
    for (uint32_t rows = 4 + next(8); rows > 0; --rows) {
        for (int col = 0; col < 20; ++col) {
            const uint32_t roll = next(100);
            text += roll < 45   ? ". "
                    : roll < 70 ? "# "
                    : roll < 82 ? "1 "
                    : roll < 92 ? "2 "
                                : "3 ";
        }
        text += "\n";
    }
    return text;
}

// The ball's spot and angle and the score come back within 10 frames.
bool Stuck(const std::vector<Frame>& run) {
    for (size_t at = 1; at < run.size(); ++at) {
        for (size_t back = 1; back <= 10 && back <= at; ++back) {
            if (run[at].SameBall(run[at - back]) && run[at].points == run[at - back].points &&
                run[at].lives == run[at - back].lives) {
                return true;
            }
        }
    }
    return false;
}

TEST(PlayWedge, RandomLevelsNeverStickAndPlayAsBeforeUntilTheGuardFirstActs) {
    constexpr int Frames = 4000;
    int serves = 0, stuckBefore = 0, turned = 0;
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        const std::string level = RandomLevel(seed);
        // Every angle a serve leaves at: 47 to 80 and 110 to 135.
        for (int serve = 47; serve <= 135; serve = serve == 80 ? 110 : serve + 1) {
            SCOPED_TRACE("level " + std::to_string(seed) + ", serve " + std::to_string(serve));
            ++serves;
            const std::vector<Frame> old = Play(level, serve, false, Frames);
            const std::vector<Frame> now = Play(level, serve, true, Frames);
            stuckBefore += Stuck(old);
            ASSERT_FALSE(Stuck(now));
            // Frame for frame as before until the guard first acts, and
            // different from exactly that frame on.
            const size_t k = FirstDifference(old, now);
            if (now.empty() || now.back().turns == 0) {
                EXPECT_EQ(old.size(), now.size());
                EXPECT_EQ(now.size(), k);
            } else {
                ++turned;
                ASSERT_LT(k, now.size());
                EXPECT_EQ(1, now[k].turns);
                EXPECT_TRUE(k == 0 || now[k - 1].turns == 0);
            }
        }
    }
    // The levels must give the guard work, or the test proves nothing.
    EXPECT_EQ(300, serves);
    EXPECT_GE(stuckBefore, 5);
    EXPECT_GE(turned, stuckBefore);
}

} // namespace
