// Sprite arithmetic without a window: movement, frames and the rectangle.
#include <gtest/gtest.h>

#include "framework/fwSDLSprite.h"

namespace {

// An image of a given size without any surface, so frame arithmetic can be
// checked without SDL.
struct SizedImage : fwSDLImage {
    SizedImage(int w, int h) : width(w), height(h) {}
    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    int width, height;
};

} // namespace

TEST(Sprite, StartsInactiveFallingOnePixelPerMove) {
    fwSDLSprite sprite;
    EXPECT_EQ(fwSDLSprite::Inactive, sprite.state);
    EXPECT_EQ(nullptr, sprite.image);
    sprite.SetPosition(5, 7);
    sprite.Move();
    EXPECT_FLOAT_EQ(5.0f, sprite.x);
    EXPECT_FLOAT_EQ(8.0f, sprite.y);
}

TEST(Sprite, MovesByDirectionTimesSpeed) {
    fwSDLSprite sprite;
    sprite.SetPosition(0, 100);
    sprite.SetDirection(0.0f, -2.0f);
    for (int i = 0; i < 10; ++i) {
        sprite.Move();
    }
    EXPECT_FLOAT_EQ(80.0f, sprite.y);

    sprite.SetDirection(0.5f, 0.25f);
    sprite.SetSpeed(4.0f);
    sprite.Move();
    EXPECT_FLOAT_EQ(2.0f, sprite.x);
    EXPECT_FLOAT_EQ(81.0f, sprite.y);
}

TEST(Sprite, LifeStatesAreJustRecorded) {
    fwSDLSprite sprite;
    sprite.Activate();
    EXPECT_EQ(fwSDLSprite::Active, sprite.state);
    sprite.Kill();
    EXPECT_EQ(fwSDLSprite::Dead, sprite.state);
    sprite.Deactivate();
    EXPECT_EQ(fwSDLSprite::Inactive, sprite.state);
}

struct FrameRow {
    int columns, rows;
    int frameWidth, frameHeight;
};

class SpriteFrames : public ::testing::TestWithParam<FrameRow> {};

TEST_P(SpriteFrames, SplitTheImageByColumnsAndRows) {
    SizedImage image(100, 30);
    fwSDLSprite sprite;
    sprite.column = 3;
    sprite.row = 2;
    sprite.SetImage(&image, GetParam().columns, GetParam().rows);
    EXPECT_EQ(GetParam().frameWidth, sprite.frameWidth);
    EXPECT_EQ(GetParam().frameHeight, sprite.frameHeight);
    EXPECT_EQ(0, sprite.column);
    EXPECT_EQ(0, sprite.row);
    EXPECT_EQ(GetParam().columns, sprite.columns);
    EXPECT_EQ(GetParam().rows, sprite.rows);
}

INSTANTIATE_TEST_SUITE_P(Grid, SpriteFrames,
                         ::testing::Values(FrameRow{4, 3, 25, 10}, FrameRow{3, 3, 33, 10},
                                           FrameRow{1, 0, 100, 30}, FrameRow{0, 0, 100, 30},
                                           FrameRow{-2, 7, 100, 4}));

TEST(Sprite, SetImageWithNoImageKeepsFrameButDropsThePicture) {
    SizedImage image(100, 30);
    fwSDLSprite sprite;
    sprite.SetImage(&image, 4, 3);
    sprite.SetSize(8, 12);
    sprite.column = 1;
    sprite.SetImage(nullptr, 2, 2);
    EXPECT_EQ(nullptr, sprite.image);
    EXPECT_EQ(8, sprite.frameWidth);
    EXPECT_EQ(12, sprite.frameHeight);
    EXPECT_EQ(1, sprite.column);
    EXPECT_EQ(2, sprite.columns);
}

struct RectRow {
    float x, y;
    Sint16 rectX, rectY;
};

class SpriteRect : public ::testing::TestWithParam<RectRow> {};

TEST_P(SpriteRect, TruncatesThePositionTowardZero) {
    fwSDLSprite sprite;
    sprite.SetSize(8, 12);
    sprite.x = GetParam().x;
    sprite.y = GetParam().y;
    SDL_Rect r = sprite.GetRect();
    EXPECT_EQ(GetParam().rectX, r.x);
    EXPECT_EQ(GetParam().rectY, r.y);
    EXPECT_EQ(8, r.w);
    EXPECT_EQ(12, r.h);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpriteRect,
                         ::testing::Values(RectRow{10.9f, 0.0f, 10, 0},
                                           RectRow{-0.5f, -1.5f, 0, -1},
                                           RectRow{319.9f, 239.99f, 319, 239}));
