// Paddle bounce angles, and the paddle widths the scene accepts.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

TEST(PaddleBounceAngle, ChangePerHitOffsetFor32Pixels) {
    const GameScene& scene = Driver().scene;
    const struct {
        int hit;
        double change;
    } table[] = {{0, 50},   {1, 46.6667},  {8, 23.3333}, {14, 3.3333},   {15, 0},
                 {16, 0},   {17, -3.3333}, {19, -10},    {24, -26.6667}, {30, -46.6667},
                 {31, -50}, {34, -60},     {37, -70}};
    for (const auto& row : table) {
        EXPECT_NEAR(row.change, scene.PaddleBounceAngle(row.hit), 1e-3) << "hit " << row.hit;
    }
}

// The resulting angles come out of real frames: the ball falls onto the
// paddle at (133, 226) so that its truncated x after the move gives the hit.
TEST(PaddleBounceAngle, ResultingAnglesThroughThePlayUpdate) {
    const int hits[] = {0, 8, 15, 16, 19, 24, 31};
    const struct {
        float before;
        float after[7];
    } table[] = {
        {270, {140, 113.333f, 110, 110, 80, 63.333f, 40}},
        {300, {110, 80, 60, 60, 50, 33.333f, 30}},
        {240, {150, 143.333f, 120, 120, 110, 110, 70}},
        {315, {110, 68.333f, 45, 45, 35, 30, 30}},
        {225, {150, 150, 135, 135, 125, 110, 80}},
    };
    for (const auto& row : table) {
        for (int i = 0; i < 7; ++i) {
            const double theta = row.before * 3.1415927 / 180;
            const float x0 = static_cast<float>(133 + hits[i] - 3 + 0.5 - 2 * std::cos(theta));
            const float y0 = static_cast<float>(226.5 + 2 * std::sin(theta));
            GameScene& scene = StartPlaying("1 ", x0, y0, row.before);
            Driver().Step(false);
            EXPECT_NEAR(row.after[i], scene.ball.angle, 1e-3)
                << row.before << " at hit " << hits[i];
            EXPECT_FLOAT_EQ(223, scene.ball.y);
            EXPECT_FLOAT_EQ(static_cast<float>(133 + hits[i] - 3), scene.ball.x);
        }
    }
}

TEST(PaddleBounceAngle, OddWidthAndTooNarrowPaddles) {
    const struct {
        int width;
        bool loads;
    } widths[] = {{33, true}, {4, true}, {3, false}, {1, false}};
    for (const auto& w : widths) {
        testsupport::TempDir other;
        WriteSceneData(other, w.width);
        GameScene scene;
        {
            testsupport::ScopedChdir cwd(other.Path());
            EXPECT_EQ(w.loads, scene.LoadResources()) << "width " << w.width;
        }
        EXPECT_EQ(GameScene::Idle, scene.state);
        if (!w.loads) {
            EXPECT_FALSE(scene.ballImage.GetDisplaySurface()) << "stops at the paddle";
            continue;
        }
        if (w.width == 33) {
            EXPECT_DOUBLE_EQ(50, scene.PaddleBounceAngle(0));
            EXPECT_DOUBLE_EQ(0, scene.PaddleBounceAngle(15));
            EXPECT_DOUBLE_EQ(0, scene.PaddleBounceAngle(16));
            EXPECT_DOUBLE_EQ(-3.125, scene.PaddleBounceAngle(17));
            EXPECT_DOUBLE_EQ(-50, scene.PaddleBounceAngle(32));
        } else {
            EXPECT_DOUBLE_EQ(50, scene.PaddleBounceAngle(0));
            EXPECT_DOUBLE_EQ(-50, scene.PaddleBounceAngle(3));
        }
    }
    const std::string log = testsupport::ReadFile(LogPath());
    EXPECT_NE(std::string::npos, log.find("  GameScene::LoadResources - Paddle image 3 pixels wide "
                                          "or less: data/images/paddle.png"));
}

} // namespace
