#include "tests/gameplay/SceneHarness.h"

#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "framework/fwSDLImage.h"

namespace scenetest {

uint32_t fakeNow = 0;

namespace {

void WriteImage(const testsupport::TempDir& root, const std::string& name, int w, int h, Rgb c) {
    root.Write("data/images/" + name, fixtures::SolidPngBytes(w, h, c));
}

struct Harness {
    std::string startDir;
    testsupport::TempDir root;
    std::unique_ptr<testsupport::ScopedChdir> cwd;
    std::unique_ptr<SceneDriver> driver;
};

Harness* harness = nullptr;

class SceneEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        testsupport::UseDummyDrivers();
        harness = new Harness();
        harness->startDir = std::filesystem::current_path().string();
        WriteSceneData(harness->root, PaddleWidth);
        harness->cwd = std::make_unique<testsupport::ScopedChdir>(harness->root.Path());
        harness->driver = std::make_unique<SceneDriver>();
        std::string error;
        ASSERT_TRUE(harness->driver->Open(&error)) << error;
    }
    void TearDown() override {
        harness->driver.reset();
        harness->cwd.reset();
        delete harness;
        harness = nullptr;
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new SceneEnvironment);

} // namespace

void WriteSceneData(const testsupport::TempDir& root, int paddleWidth) {
    WriteImage(root, "paddle.png", paddleWidth, PaddleHeight, PaddleColour);
    WriteImage(root, "ball.png", 4, 4, BallColour);
    WriteImage(root, "brick001.png", 15, 9, Brick1Colour);
    WriteImage(root, "brick002.png", 15, 9, Brick2Colour);
    WriteImage(root, "brick003.png", 15, 9, Brick3Colour);
    WriteImage(root, "brick501.png", 15, 9, SolidColour);
    WriteImage(root, "pshot.png", 16, 16, CapsuleColour);
    WriteImage(root, "fire.png", 8, 12, ShotColour);
    root.Write("data/sounds/hit.wav", fixtures::WavBytes(2000));
    root.Write("data/sounds/gameover.wav", fixtures::WavBytes(2000));
    root.Link("data/fonts/nocontrol.ttf", testsupport::SourceDir() + "/data/fonts/nocontrol.ttf");
    root.Write("data/levels/.keep", "");
}

std::string LogPath() {
    return harness->startDir + "/log.txt";
}

SceneDriver& Driver() {
    return *harness->driver;
}
const testsupport::TempDir& Root() {
    return harness->root;
}

GameScene& StartGame(const std::string& levelBytes) {
    SceneDriver& d = Driver();
    GameScene& scene = d.scene;
    Mix_HaltChannel(-1);
    d.ReleaseAll();
    Root().Write("data/levels/level1.txt", levelBytes);
    std::remove(Root().File("data/levels/level2.txt").c_str());
    fakeNow = 1000;
    scene.clock = [] { return fakeNow; };
    scene.serveSeed = 7u;
    scene.autoPlay = false;
    scene.wedgeGuard = true;
    scene.NewGame();
    EXPECT_TRUE(scene.StartLevel(true));
    return scene;
}

GameScene& StartPlaying(const std::string& levelBytes, float x, float y, float angle) {
    GameScene& scene = StartGame(levelBytes);
    scene.state = GameScene::Playing;
    scene.ball.x = x;
    scene.ball.y = y;
    scene.ball.angle = angle;
    return scene;
}

uint32_t MapColour(Rgb c) {
    return SDL_MapRGB(Driver().GetScreen()->format, c.r, c.g, c.b);
}

uint32_t PixelAt(int x, int y) {
    return ReadPixel(Driver().GetScreen(), x, y);
}

int SoundsPlaying() {
    return Mix_Playing(-1);
}

} // namespace scenetest
