// The playfield as a player sees it, read back from the dummy screen.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "tests/gameplay/SceneHarness.h"

namespace {

using namespace scenetest;

SDL_Surface* Screen() {
    return Driver().GetScreen();
}

void Clear() {
    SDL_FillRect(Screen(), nullptr, 0);
}

std::vector<uint32_t> Snapshot() {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            pixels.push_back(PixelAt(x, y));
        }
    }
    return pixels;
}

std::vector<uint32_t> RenderScene(GameScene& scene) {
    Clear();
    scene.Draw(Screen());
    return Snapshot();
}

// Every pixel that draw() lights on a black screen must look the same in
// the full frame: the item is there, at that exact place.
void ExpectDrawnAlone(const std::vector<uint32_t>& frame, const std::function<void()>& draw,
                      const char* what) {
    Clear();
    draw();
    const std::vector<uint32_t> alone = Snapshot();
    int lit = 0;
    int differing = 0;
    for (size_t i = 0; i < alone.size(); ++i) {
        if (alone[i] != 0) {
            ++lit;
            differing += frame[i] != alone[i];
        }
    }
    EXPECT_GT(lit, 5) << what << " draws something";
    EXPECT_EQ(0, differing) << what;
}

bool RegionBlack(const std::vector<uint32_t>& frame, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (frame[static_cast<size_t>(y * 320 + x)] != 0) {
                return false;
            }
        }
    }
    return true;
}

TEST(DrawPlayfield, BricksSitTwentyPixelsBelowTheirGridRectWithTheirKindsImage) {
    GameScene& scene = StartGame("1 2 3 # \n  3S");
    scene.bricks.cells[2].kind = 2;        // a "3" brick after one hit
    scene.bricks.cells[4].present = true;  // present but kind 0: not drawn
    scene.bricks.cells[5].present = false; // the marked "3" below, destroyed
    scene.bricks.cells[5].kind = 1;
    const std::vector<uint32_t> frame = RenderScene(scene);
    const Rgb expect[] = {Brick1Colour, Brick2Colour, Brick2Colour, SolidColour};
    for (int i = 0; i < 4; ++i) {
        const SDL_Rect r = scene.bricks.cells[i].rect;
        EXPECT_EQ(MapColour(expect[i]), PixelAt(r.x, r.y + 20)) << "cell " << i;
        EXPECT_EQ(MapColour(expect[i]), PixelAt(r.x + 14, r.y + 28)) << "cell " << i;
        EXPECT_EQ(0u, PixelAt(r.x, r.y + 19)) << "cell " << i;
        EXPECT_EQ(0u, PixelAt(r.x + 15, r.y + 20)) << "gap right of cell " << i;
        EXPECT_EQ(0u, PixelAt(r.x, r.y + 29)) << "gap below cell " << i;
    }
    EXPECT_TRUE(RegionBlack(frame, 0, 31, 320, 41)) << "second row empty";
}

TEST(DrawPlayfield, PaddleBallShotsAndCapsulesAtTheirPositions) {
    GameScene& scene = StartGame("1 ");
    scene.ball.x = 100.7f;
    scene.ball.y = 150.2f;
    scene.FireShot(); // (149, 214)
    scene.FireShot();
    static_cast<qdSprite*>(scene.shots.Get(1))->Kill();
    static_cast<qdSprite*>(scene.shots.Get(1))->x = 20;
    scene.ReleasePowerUp(40, 100);
    scene.ReleasePowerUp(70, 100);
    static_cast<CPowerUp*>(scene.powerUps.Get(1))->Deactivate();
    static_cast<CPowerUp*>(scene.powerUps.Get(0))->y = 100.9f;
    const std::vector<uint32_t> frame = RenderScene(scene);

    // The ball image's top-left corner is the ball's (truncated) position.
    EXPECT_EQ(MapColour(BallColour), PixelAt(100, 150));
    EXPECT_EQ(MapColour(BallColour), PixelAt(103, 153));
    EXPECT_EQ(0u, PixelAt(99, 150));
    EXPECT_EQ(0u, PixelAt(104, 150));
    EXPECT_EQ(MapColour(PaddleColour), PixelAt(133, 226));
    EXPECT_EQ(MapColour(PaddleColour), PixelAt(164, 231));
    EXPECT_EQ(0u, PixelAt(165, 226));
    EXPECT_EQ(0u, PixelAt(132, 226));
    // Active shot: top-left 8x12 of its image; the dead one is not drawn.
    EXPECT_EQ(MapColour(ShotColour), PixelAt(149, 214));
    EXPECT_EQ(MapColour(ShotColour), PixelAt(156, 225));
    EXPECT_TRUE(RegionBlack(frame, 20, 214, 28, 226));
    // Active capsule with the capsule image; the inactive one is not drawn.
    EXPECT_EQ(MapColour(CapsuleColour), PixelAt(40, 100));
    EXPECT_EQ(MapColour(CapsuleColour), PixelAt(55, 115));
    EXPECT_EQ(0u, PixelAt(40, 116));
    EXPECT_TRUE(RegionBlack(frame, 70, 100, 86, 116));
}

TEST(DrawPlayfield, HeadsUpLineItemsAtTheirColumns) {
    GameScene& scene = StartGame("1 ");
    scene.state = GameScene::Playing;
    scene.level = 7;
    scene.lives = 2;
    scene.points = 12345;
    scene.shownFps = 61;
    const std::vector<uint32_t> frame = RenderScene(scene);
    SDL_Surface* s = Screen();
    ExpectDrawnAlone(
        frame, [&] { scene.levelLabel.Draw(s, 10, 0); }, "Level label");
    ExpectDrawnAlone(
        frame, [&] { scene.ballsLabel.Draw(s, 80, 0); }, "Balls label");
    ExpectDrawnAlone(
        frame, [&] { scene.pointsLabel.Draw(s, 160, 0); }, "Points label");
    ExpectDrawnAlone(
        frame, [&] { scene.font.DrawText(s, 55, 0, "7"); }, "level number");
    ExpectDrawnAlone(
        frame, [&] { scene.font.DrawText(s, 130, 0, "2"); }, "balls number");
    ExpectDrawnAlone(
        frame, [&] { scene.font.DrawText(s, 210, 0, "12345"); }, "points number");
    ExpectDrawnAlone(
        frame, [&] { scene.font.DrawText(s, 300, 0, "61"); }, "frame rate");
    EXPECT_TRUE(RegionBlack(frame, 0, 0, 10, 20));
}

TEST(DrawPlayfield, StateTextsAt100By160) {
    const struct {
        int state;
        const char* text;
    } rows[] = {{GameScene::LevelCleared, "Loading Level"},
                {GameScene::GetReady, "Press select key"},
                {GameScene::Paused, "Paused"},
                {GameScene::GameOver, "GAME OVER"},
                {GameScene::Playing, nullptr},
                {GameScene::Finished, nullptr}};
    for (const auto& row : rows) {
        GameScene& scene = StartGame("1 1 1 ");
        scene.state = row.state;
        const std::vector<uint32_t> frame = RenderScene(scene);
        if (row.text) {
            ExpectDrawnAlone(
                frame, [&] { scene.font.DrawText(Screen(), 100, 160, row.text); }, row.text);
        } else {
            EXPECT_TRUE(RegionBlack(frame, 0, 150, 320, 200)) << "state " << row.state;
        }
        // The grid is left out only in the frame that shows "Loading Level".
        const bool bricksShown = frame[21 * 320 + 1] == MapColour(Brick1Colour);
        EXPECT_EQ(row.state != GameScene::LevelCleared, bricksShown) << "state " << row.state;
    }
}

TEST(DrawPlayfield, HeldPowerUpSignInEveryState) {
    GameScene& scene = StartGame("1 ");
    scene.heldPowerUp = std::make_unique<CPowerUp>();
    const int states[] = {GameScene::GetReady, GameScene::Playing, GameScene::GameOver,
                          GameScene::LevelCleared};
    for (int state : states) {
        scene.state = state;
        RenderScene(scene);
        EXPECT_EQ(MapColour(CapsuleColour), PixelAt(0, 220)) << state;
        EXPECT_EQ(MapColour(CapsuleColour), PixelAt(15, 235)) << state;
        EXPECT_EQ(0u, PixelAt(16, 220)) << state;
    }
    scene.heldPowerUp->kind = 2;
    RenderScene(scene);
    EXPECT_EQ(0u, PixelAt(0, 220)) << "only the shot kind shows";
    scene.heldPowerUp.reset();
    RenderScene(scene);
    EXPECT_EQ(0u, PixelAt(0, 220));
}

} // namespace

namespace {

using namespace scenetest;

// Loaded pictures drop the full-opacity blend flag of their converted
// surface for speed; with the game's own artwork the frame must come out the
// same as when every picture is blended.
TEST(DrawPlayfield, GameArtworkBlitsAsCopiesWithIdenticalPixels) {
    testsupport::TempDir game;
    for (const char* folder : {"images", "fonts", "sounds"}) {
        game.Link(std::string("data/") + folder, testsupport::SourceDir() + "/data/" + folder);
    }
    game.Write("level.txt", "1 2 3 # 1S\n3 3 2 2 1 1 # #\n");
    GameScene scene;
    {
        testsupport::ScopedChdir cwd(game.Path());
        ASSERT_TRUE(scene.LoadResources());
    }
    ASSERT_TRUE(scene.levelFile.Loading(game.File("level.txt").c_str()));
    scene.levelFile.CopyTo(scene.bricks);
    scene.NewGame();
    scene.state = GameScene::Playing;
    scene.paddleX = 100;
    scene.paddleY = 226;
    scene.ball.x = 60;
    scene.ball.y = 25; // over the bricks
    scene.heldPowerUp = std::make_unique<CPowerUp>();
    scene.FireShot();
    scene.ReleasePowerUp(10, 22);

    SDL_Surface* screen = Driver().GetScreen();
    auto render = [&] {
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 40, 80, 120));
        scene.Draw(screen);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                pixels.push_back(PixelAt(x, y));
            }
        }
        return pixels;
    };
    const std::vector<uint32_t> copied = render();
    for (fwSDLImage* image :
         {&scene.paddleImage, &scene.ballImage, &scene.brickImage1, &scene.brickImage2,
          &scene.brickImage3, &scene.solidBrickImage, &scene.powerUpImage, scene.shotImage.get()}) {
        SDL_SetAlpha(image->GetDisplaySurface(), SDL_SRCALPHA, SDL_ALPHA_OPAQUE);
    }
    const std::vector<uint32_t> blended = render();
    EXPECT_TRUE(copied == blended);
}

} // namespace
