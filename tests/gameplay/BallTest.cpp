#include <gtest/gtest.h>

#include <cmath>

#include "gameplay/Ball.h"

namespace {

Ball ServeBall(float x, float y, float angle) {
    Ball ball;
    ball.radius = 3;
    ball.SetBounds(SDL_Rect{0, 0, 319, 236});
    ball.x = x;
    ball.y = y;
    ball.angle = angle;
    return ball;
}

TEST(BallSetAngle, RestrictsEveryDirectionToThePlayableRanges) {
    struct Case {
        float in;
        float out;
    };
    const Case cases[] = {
        {-10, 330},     {0, 30},      {29.9f, 30},    {45, 45},       {79.9f, 79.9f},
        {80, 80},       {89.99f, 80}, {90, 110},      {100, 110},     {110.01f, 110.01f},
        {150.01f, 150}, {180, 150},   {180.01f, 210}, {209.99f, 210}, {270, 270},
        {330.01f, 330}, {360, 30},    {400, 40},      {1000, 280},    {-370, 330}};
    for (const Case& c : cases) {
        Ball ball;
        ball.SetAngle(c.in);
        EXPECT_FLOAT_EQ(c.out, ball.angle) << "SetAngle(" << c.in << ")";
        const float a = ball.angle;
        EXPECT_TRUE((a >= 30 && a <= 80) || (a >= 110 && a <= 150) || (a >= 210 && a <= 330)) << a;
    }
}

TEST(BallMove, WallsAndFreeFlight) {
    struct Case {
        const char* what;
        float x, y, angle;
        bool moved;
        float nx, ny, nangle;
        int status;
    };
    const Case cases[] = {
        {"free flight left", 10, 100, 180, true, 8, 100, 180, Ball::Moving},
        {"left edge exactly at bound is no hit", 6, 100, 180, true, 4, 100, 180, Ball::Moving},
        {"left wall", 4, 100, 180, true, 3, 100, 30, Ball::Moving},
        {"right wall is inclusive", 314, 100, 0, true, 316, 100, 150, Ball::Moving},
        {"short of the right wall", 313, 100, 0, true, 315, 100, 0, Ball::Moving},
        {"top wall", 100, 4, 90, true, 100, 3, 270, Ball::Moving},
        {"free flight keeps a steep angle", 100, 5, 90, true, 100, 3, 90, Ball::Moving},
        {"bottom is reported and the ball stays", 100, 232, 270, false, 100, 232, 110,
         Ball::ReachedBottom},
        {"corner: left wall only", 4, 4, 135, true, 3, 2.5857865f, 45, Ball::Moving},
    };
    for (const Case& c : cases) {
        Ball ball = ServeBall(c.x, c.y, c.angle);
        EXPECT_EQ(c.moved, ball.Move()) << c.what;
        EXPECT_NEAR(c.nx, ball.x, 1e-4) << c.what;
        EXPECT_NEAR(c.ny, ball.y, 1e-4) << c.what;
        EXPECT_FLOAT_EQ(c.nangle, ball.angle) << c.what;
        EXPECT_EQ(c.status, ball.status) << c.what;
    }
}

TEST(BallMove, CornerIsResolvedOneWallPerStep) {
    Ball ball = ServeBall(4, 4, 135);
    ASSERT_TRUE(ball.Move());
    ASSERT_TRUE(ball.Move());
    EXPECT_FLOAT_EQ(315, ball.angle);
    EXPECT_FLOAT_EQ(3, ball.y);
}

TEST(BallMove, StepIsTwoPixelsAndPositionsAreFloats) {
    Ball ball = ServeBall(100, 100, 45);
    ASSERT_TRUE(ball.Move());
    // cos/sin of 45 degrees with pi taken as 3.1415927, rounded to float.
    EXPECT_FLOAT_EQ(static_cast<float>(100.0 + 2.0 * std::cos(45 * 3.1415927 / 180)), ball.x);
    EXPECT_FLOAT_EQ(static_cast<float>(100.0 - 2.0 * std::sin(45 * 3.1415927 / 180)), ball.y);
    EXPECT_EQ(Ball::Moving, ball.status);
}

TEST(BallCollideRect, SidesAgainstABrick) {
    struct Case {
        float x, y;
        int side;
    };
    const Case cases[] = {
        {97.5f, 104, Ball::SideLeft},    {97, 104, Ball::SideNone},
        {107, 97.5f, Ball::SideTop},     {107, 97.4f, Ball::SideNone},
        {107, 111.4f, Ball::SideBottom}, {107, 111.5f, Ball::SideNone},
        {117.4f, 104, Ball::SideRight},  {117.5f, 104, Ball::SideNone},
        {107, 104, Ball::SideNone},      {102, 104, Ball::SideBottom},
        {100, 100, Ball::SideTop},       {97, 97, Ball::SideNone},
    };
    const SDL_Rect brick{100, 100, 15, 9};
    for (const Case& c : cases) {
        Ball ball = ServeBall(c.x, c.y, 45);
        EXPECT_EQ(c.side, ball.CollideRect(100, 100, 15, 9)) << "(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(c.side, ball.CollideRect(brick)) << "rect form (" << c.x << ", " << c.y << ")";
        EXPECT_FLOAT_EQ(c.x, ball.x);
    }
}

TEST(BallCollideRect, BoxRoundsHalvesAwayFromZeroOnNegativeCoordinates) {
    // x - r = -0.5 rounds to -1, so the box reaches one pixel left of 0 and
    // overlaps a rectangle ending at x = 0 (exclusive).
    Ball ball = ServeBall(2.5f, 50, 45);
    EXPECT_NE(Ball::SideNone, ball.CollideRect(-10, 45, 10, 10));
}

TEST(GeometryRectsOverlap, SharedEdgesDoNotOverlap) {
    struct Case {
        SDL_Rect a, b;
        bool overlap;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {10, 0, 10, 10}, false},
        {{0, 0, 10, 10}, {9, 9, 10, 10}, true},
        {{0, 0, 10, 10}, {0, 10, 10, 10}, false},
        {{-5, -5, 10, 10}, {4, 4, 1, 1}, true},
        {{0, 0, 0, 0}, {0, 0, 10, 10}, false},
        {{32000, 0, 1000, 10}, {32700, 0, 100, 10}, true}, // no 16-bit wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.overlap, RectsOverlap(c.a, c.b));
        EXPECT_EQ(c.overlap, RectsOverlap(c.b, c.a)) << "symmetric";
    }
}

TEST(GeometryCircleTouches, SegmentsAndRectangleEdges) {
    // Zero-length segment: distance to its one point, exactly r touches.
    EXPECT_TRUE(CircleTouchesSegment(5, 5, 5, 5, 8, 5, 3));
    EXPECT_FALSE(CircleTouchesSegment(5, 5, 5, 5, 8, 6, 3));
    // Beyond the segment's end the end point is nearest.
    EXPECT_TRUE(CircleTouchesSegment(0, 0, 10, 0, 12, 0, 2));
    EXPECT_FALSE(CircleTouchesSegment(0, 0, 10, 0, 12, 1, 2));
    EXPECT_TRUE(CircleTouchesSegment(0, 0, 10, 0, 5, -3, 3));
    // Right and bottom edges lie one pixel past the last column and row.
    EXPECT_TRUE(CircleTouchesRect(0, 0, 10, 10, 13, 5, 3));
    EXPECT_TRUE(CircleTouchesRect(0, 0, 10, 10, 5, 13, 3));
    EXPECT_FALSE(CircleTouchesRect(0, 0, 10, 10, 14, 5, 3));
    // Centre deep inside touches no edge.
    EXPECT_FALSE(CircleTouchesRect(0, 0, 20, 20, 10, 10, 3));
}

} // namespace
