// The real-window tests draw no serve of their own: the game seeds it from
// the clock. They can only be sure of what they wait for because their
// levels make it happen from every serve the game can make; these tests
// play each of those serves headless to hold the levels to that.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gameplay/SceneDriver.h"
#include "tests/support/TestSupport.h"

namespace {

// Every angle a serve leaves at: 47 to 80 and 110 to 135 degrees.
std::vector<float> ServeAngles() {
    std::vector<float> angles;
    for (int a = 47; a <= 135; ++a) {
        if (a <= 80 || a >= 110)
            angles.push_back(static_cast<float>(a));
    }
    return angles;
}

class TestLevels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        testsupport::UseDummyDrivers();
        root = new testsupport::TempDir();
        const std::string data = testsupport::SourceDir() + "/data/";
        for (const char* folder : {"images", "sounds", "fonts"}) {
            root->Link(std::string("data/") + folder, data + folder);
        }
        cwd = new testsupport::ScopedChdir(root->Path());
        driver = new SceneDriver();
        std::string error;
        ASSERT_TRUE(driver->Open(&error)) << error;
    }
    static void TearDownTestSuite() {
        delete driver;
        delete cwd;
        delete root;
    }

    // A new game of tests/e2e/levels/<levels>/level1.txt, served at angle,
    // with the computer player as given.
    static GameScene& Serve(const std::string& levels, float angle, bool autoPlay) {
        const std::string file =
            testsupport::SourceDir() + "/tests/e2e/levels/" + levels + "/level1.txt";
        driver->ReleaseAll();
        EXPECT_TRUE(driver->StartLevelFile(file.c_str()));
        driver->scene.ball.SetAngle(angle);
        driver->scene.autoPlay = autoPlay;
        driver->Hold(SDLK_SPACE, true);
        driver->Step(false);
        driver->Hold(SDLK_SPACE, false);
        return driver->scene;
    }

    static testsupport::TempDir* root;
    static testsupport::ScopedChdir* cwd;
    static SceneDriver* driver;
};

testsupport::TempDir* TestLevels::root = nullptr;
testsupport::ScopedChdir* TestLevels::cwd = nullptr;
SceneDriver* TestLevels::driver = nullptr;

TEST_F(TestLevels, EveryServeOfTheBusyLevelBreaksBricksWithinSeconds) {
    for (float angle : ServeAngles()) {
        GameScene& scene = Serve("busy", angle, true);
        const int atStart = scene.BreakableLeft();
        // Ten seconds of play at 62.5 frames a second.
        driver->RunWhilePlaying(625, false);
        EXPECT_LE(scene.BreakableLeft(), atStart - 5) << "serve at " << angle;
    }
}

TEST_F(TestLevels, EveryServeOfTheWalledLevelMissesAPaddleAtTheLeftWall) {
    for (float angle : ServeAngles()) {
        GameScene& scene = Serve("walled", angle, false);
        driver->Hold(SDLK_LEFT, true);
        const int lives = scene.lives;
        bool falling = false, bounced = false;
        int frames = 0;
        while (scene.state == GameScene::Playing && frames < 1000) {
            driver->Step(false);
            ++frames;
            if (scene.state != GameScene::Playing)
                break; // lost: served again
            // Once falling, only the paddle can send the ball up again.
            if (scene.ball.angle > 180)
                falling = true;
            if (falling && scene.ball.angle < 180)
                bounced = true;
        }
        EXPECT_EQ(lives - 1, scene.lives) << "serve at " << angle;
        EXPECT_FALSE(bounced) << "serve at " << angle << " met the paddle";
        EXPECT_LT(frames, 300) << "serve at " << angle;
    }
}

} // namespace
