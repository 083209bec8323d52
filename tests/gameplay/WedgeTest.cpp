// A ball put back on the whole-pixel spot where its frame began can close a
// two-frame loop at a solid brick and turn there for ever; the play update
// frees it. These frames run through the real round step, with the guard
// switched off where they compare against the rule without it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

// The brick given (a character pair) at column 5 of the fourth row, cell
// 35: screen rectangle x 81 to 95, y 51 to 59. A one-hit brick far off in
// the top-left corner keeps the level from being cleared.
std::string OneBrick(const char* pair) {
    const std::string empty = ". . . . . . . . . . \n";
    return "1 . . . . . . . . . \n" + empty + empty + ". . . . . " + pair + ". . . . \n";
}
constexpr int BrickCell = 35;
const std::string OneSolid = OneBrick("#S");

TEST(PlayWedge, SolidBrickCornersAndSidesLetTheBallGoOnTheSecondHit) {
    struct Case {
        const char* where;
        float x, y, angle;
        float bounced; // the ordinary reflection on the first hit
        float turned;  // the guard's reflection on the second
        int toLeave;   // frames from then until the ball leaves the spot
    };
    const Case cases[] = {
        {"bottom-left corner, climbing", 78, 61, 30, 330, 210, 1},
        {"bottom-left corner, falling", 78, 61, 330, 30, 150, 1},
        {"bottom-right corner, climbing", 100, 61, 150, 210, 330, 1},
        {"bottom-right corner, falling", 100, 61, 210, 150, 30, 1},
        {"right side, steeply down", 98, 55, 257, 283, 77, 3},
        {"left side, steeply down", 79, 55, 283, 257, 110, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        // Without the guard the ball turns on the spot: back where it began
        // after every second frame.
        GameScene& scene = StartPlaying(OneSolid, c.x, c.y, c.angle);
        scene.wedgeGuard = false;
        const long unguardedTurns = scene.wedgeTurns;
        for (int frame = 0; frame < 4; ++frame) {
            Driver().Step(false);
        }
        EXPECT_FLOAT_EQ(c.x, scene.ball.x);
        EXPECT_FLOAT_EQ(c.y, scene.ball.y);
        EXPECT_FLOAT_EQ(c.angle, scene.ball.angle);
        EXPECT_EQ(unguardedTurns, scene.wedgeTurns);

        // With it, the second hit turns the ball about the other axis; the
        // frame is otherwise an ordinary hit (the capsule comes out again).
        GameScene& guarded = StartPlaying(OneSolid, c.x, c.y, c.angle);
        guarded.wedgeGuard = true;
        const long turnsBefore = guarded.wedgeTurns;
        Driver().Step(false);
        EXPECT_FLOAT_EQ(c.bounced, guarded.ball.angle);
        EXPECT_EQ(turnsBefore, guarded.wedgeTurns);
        Driver().Step(false);
        EXPECT_FLOAT_EQ(c.turned, guarded.ball.angle);
        EXPECT_FLOAT_EQ(c.x, guarded.ball.x);
        EXPECT_FLOAT_EQ(c.y, guarded.ball.y);
        EXPECT_EQ(turnsBefore + 1, guarded.wedgeTurns);
        EXPECT_EQ(2, guarded.powerUps.GetCount());
        EXPECT_EQ(BrickCell, guarded.lastSolidHit);
        // And the ball gets away; it may bounce off the brick on the spot a
        // few times more first (at new angles, so the guard stays out).
        int more = 0;
        while (more < 4 && guarded.ball.x == c.x && guarded.ball.y == c.y) {
            Driver().Step(false);
            ++more;
        }
        EXPECT_FALSE(c.x == guarded.ball.x && c.y == guarded.ball.y);
        EXPECT_EQ(-1, guarded.lastSolidHit);
        EXPECT_EQ(turnsBefore + 1, guarded.wedgeTurns);
        EXPECT_EQ(c.toLeave, more);
    }
}

TEST(PlayWedge, OnlyASolidBrickTwiceInARowThatRestoresTheFrameTurnsTheBall) {
    // The same corner with a breakable brick: the first hit breaks it.
    GameScene& breakable = StartPlaying(OneBrick("3 "), 78, 61, 30);
    Driver().Step(false);
    Driver().Step(false);
    EXPECT_FLOAT_EQ(30, breakable.ball.angle) << "an ordinary second bounce";
    EXPECT_EQ(1, breakable.bricks.cells[BrickCell].kind);

    // A serve after a lost ball, and a pause, come between two hits: the
    // second bounces as always.
    for (const char* between : {"serve", "pause"}) {
        SCOPED_TRACE(between);
        GameScene& scene = StartPlaying(OneSolid, 78, 61, 30);
        Driver().Step(false);
        EXPECT_EQ(BrickCell, scene.lastSolidHit);
        if (std::string(between) == "serve") {
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

// What the comparisons look at after each frame.
struct Frame {
    bool SameBall(const Frame& o) const { return x == o.x && y == o.y && angle == o.angle; }
    float x, y, angle;
    int paddleX, points, lives, state, left;
    bool operator==(const Frame& o) const {
        return x == o.x && y == o.y && angle == o.angle && paddleX == o.paddleX &&
               points == o.points && lives == o.lives && state == o.state && left == o.left;
    }
};

Frame Snapshot(const GameScene& s) {
    return Frame{s.ball.x, s.ball.y, s.ball.angle, s.paddleX,
                 s.points, s.lives,  s.state,      s.BreakableLeft()};
}

// A new game of level, served at angle, with the guard on or off; the
// select key is pressed for the serve and let go.
GameScene& Serve(const std::string& level, float angle, bool guard) {
    GameScene& scene = StartGame(level);
    scene.autoPlay = true;
    scene.wedgeGuard = guard;
    scene.ball.SetAngle(angle);
    Driver().Hold(SDLK_SPACE, true);
    Driver().Step(false);
    Driver().Hold(SDLK_SPACE, false);
    return scene;
}

// Plays frames (or until the game leaves play) and records every frame.
std::vector<Frame> Record(GameScene& scene, int frames) {
    std::vector<Frame> run;
    for (int i = 0; i < frames && scene.state == GameScene::Playing; ++i) {
        Driver().Step(false);
        run.push_back(Snapshot(scene));
    }
    return run;
}

TEST(PlayWedge, ReportedWedgesFromTheServeAreFreedWhereTheyBegan) {
    struct Case {
        const char* level;
        float serve;
        float x, y;
    };
    const Case cases[] = {
        {". . # . . . . . . . 1 . . . . . . . . . \n", 135, 30, 31},
        {". . . . . . . . . . 1 . . . . . . . . . \n\n\n. . . . . # . . . . . . . . . . . . . . \n",
         134, 99, 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const std::vector<Frame> old = Record(Serve(c.level, c.serve, false), 3000);
        GameScene& scene = Serve(c.level, c.serve, true);
        const long turns = scene.wedgeTurns;
        size_t frame = 0;
        while (frame < old.size() && scene.wedgeTurns == turns) {
            Driver().Step(false);
            if (scene.wedgeTurns == turns) {
                ASSERT_TRUE(Snapshot(scene) == old[frame]) << "frame " << frame;
            }
            ++frame;
        }
        ASSERT_EQ(turns + 1, scene.wedgeTurns);
        // In this frame the old rule put the ball back as the frame before
        // had found it, and turned on this spot from then on; the guard
        // sends it off, reflecting the angle it came in at about the other
        // axis (both wedges are at a brick's bottom).
        const size_t k = frame - 1;
        ASSERT_GE(k, 2u);
        EXPECT_FLOAT_EQ(c.x, old[k].x);
        EXPECT_FLOAT_EQ(c.y, old[k].y);
        EXPECT_TRUE(old[k].SameBall(old[k - 2]));
        EXPECT_TRUE(old[k + 2].SameBall(old[k]));
        EXPECT_FLOAT_EQ(c.x, scene.ball.x);
        EXPECT_FLOAT_EQ(c.y, scene.ball.y);
        Ball turned;
        turned.SetAngle(180.0f - old[k - 1].angle);
        EXPECT_FLOAT_EQ(turned.angle, scene.ball.angle);
        Driver().Step(false);
        EXPECT_FALSE(scene.ball.x == c.x && scene.ball.y == c.y);
        // The one brick left is reached in the end.
        Driver().RunWhilePlaying(20000, false);
        EXPECT_EQ(GameScene::LevelCleared, scene.state);
    }
}

// Random levels of one-, two- and three-hit bricks among solid ones, from
// a fixed linear congruential generator (the same on every machine).
std::string RandomLevel(uint32_t seed) {
    uint32_t state = seed * 2654435761u + 12345u;
    auto next = [&state](uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 16) % n;
    };
    std::string text;
    const uint32_t rows = 4 + next(8);
    for (uint32_t r = 0; r < rows; ++r) {
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

// The ball's spot, angle and the score recur within at most 10 frames.
bool ShortLoop(const std::vector<Frame>& run, size_t at) {
    for (size_t back = 1; back <= 10 && back <= at; ++back) {
        const Frame& a = run[at];
        const Frame& b = run[at - back];
        if (a.SameBall(b) && a.points == b.points && a.lives == b.lives) {
            return true;
        }
    }
    return false;
}

TEST(PlayWedge, RandomLevelsNeverStickAndPlayAsBeforeUntilTheGuardFirstActs) {
    constexpr int Levels = 5;
    constexpr int Frames = 4000;
    int servesPlayed = 0, stuckBefore = 0, turnedRuns = 0;
    for (uint32_t seed = 1; seed <= Levels; ++seed) {
        const std::string level = RandomLevel(seed);
        // Every angle a serve leaves at: 47 to 80 and 110 to 135.
        for (int serve = 47; serve <= 135; serve = serve == 80 ? 110 : serve + 1) {
            SCOPED_TRACE("level seed " + std::to_string(seed) + ", serve " + std::to_string(serve));
            ++servesPlayed;
            const std::vector<Frame> old = Record(Serve(level, serve, false), Frames);
            for (size_t i = 0; i < old.size(); ++i) {
                if (ShortLoop(old, i)) {
                    ++stuckBefore;
                    break;
                }
            }
            GameScene& scene = Serve(level, serve, true);
            const long turns = scene.wedgeTurns;
            const std::vector<Frame> now = Record(scene, Frames);
            // Frame for frame as before while the guard has not acted; it
            // acts exactly at the first frame that differs.
            size_t same = 0;
            while (same < now.size() && same < old.size() && now[same] == old[same]) {
                ++same;
            }
            if (scene.wedgeTurns == turns) {
                EXPECT_EQ(old.size(), now.size());
                EXPECT_EQ(now.size(), same);
            } else {
                ++turnedRuns;
                ASSERT_LT(same, now.size());
                GameScene& again = Serve(level, serve, true);
                const long before = again.wedgeTurns;
                Record(again, static_cast<int>(same));
                EXPECT_EQ(before, again.wedgeTurns);
                Driver().Step(false);
                EXPECT_EQ(before + 1, again.wedgeTurns) << "first difference at frame " << same;
            }
            for (size_t i = 0; i < now.size(); ++i) {
                ASSERT_FALSE(ShortLoop(now, i)) << "stuck from frame " << i;
            }
        }
    }
    // The levels must give the guard work, or the test proves nothing.
    EXPECT_EQ(Levels * 60, servesPlayed);
    EXPECT_GE(stuckBefore, 5);
    EXPECT_GE(turnedRuns, stuckBefore);
}

} // namespace
