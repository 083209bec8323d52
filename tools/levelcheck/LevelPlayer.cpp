#include "tools/levelcheck/LevelPlayer.h"

#include <algorithm>
#include <cstdlib>

#include "framework/fwObject.h"
#include "gameplay/SceneDriver.h"

LevelPlayer::LevelPlayer(SceneDriver& d) : driver(d) {}

LevelPlayer::Run LevelPlayer::Play(const std::string& path, unsigned seed, long maxFrames) {
    Run run;
    run.seed = seed;
    GameScene& scene = driver.scene;
    driver.ReleaseAll();
    if (!driver.StartLevelFile(path.c_str())) return run;
    scene.autoPlay = true;
    const int startLives = scene.lives;
    // Capsules are new objects: anything in the capsule list with an id
    // above the newest seen so far was released since the last look.
    int newestId = fwObjectCounter();
    int serves = 0;
    bool playing = true;
    while (playing && run.frames < maxFrames) {
        switch (scene.state) {
        case GameScene::GetReady:
            // The game's serve was seeded from the clock; replace it with
            // the same rule fed from this run's seed, then press select.
            scene.ball.SetAngle(ServeAngle(seed, serves++));
            driver.Hold(GameScene::SelectKey, true);
            driver.Step(false);
            driver.Hold(GameScene::SelectKey, false);
            ++run.frames;
            break;
        case GameScene::Playing:
            driver.Step(false);
            ++run.frames;
            run.capsules += NewCapsules(newestId);
            break;
        case GameScene::LevelCleared:
            run.outcome = Cleared;
            playing = false;
            break;
        case GameScene::GameOver:
            run.outcome = AllBallsLost;
            playing = false;
            break;
        default:
            // Paused or finished cannot happen without keys; stop rather
            // than spin.
            run.outcome = Stopped;
            playing = false;
            break;
        }
    }
    if (playing) run.outcome = FrameLimit;
    run.endState = scene.state;
    run.ballsLost = startLives - scene.lives;
    for (int n = 0; n < LevelData::CellCount; ++n) {
        const BrickCell& cell = scene.bricks.cells[n];
        if (cell.present && cell.kind != 0 && cell.breakable) {
            if (run.firstLeft < 0) run.firstLeft = n;
            ++run.bricksLeft;
        }
    }
    driver.ReleaseAll();
    return run;
}

// The game's serve rule, drawn from a generator seeded per run and serve.
float LevelPlayer::ServeAngle(unsigned seed, int serve) {
    std::srand(seed * 7919u + static_cast<unsigned>(serve));
    return static_cast<float>(90 + RandomInt(45, -45));
}

float LevelPlayer::FirstServeAngle(unsigned seed) {
    // The ball's own restrictions fold some serves together (80 to 110
    // leave at 80 or 110), so compare what the ball makes of them.
    Ball ball;
    ball.SetAngle(ServeAngle(seed, 0));
    return ball.angle;
}

std::vector<unsigned> LevelPlayer::Seeds(int runs) {
    constexpr unsigned Tries = 500;
    std::vector<unsigned> seeds;
    std::vector<float> used;
    unsigned next = 1;
    for (int i = 0; i < runs; ++i) {
        unsigned chosen = next;
        for (unsigned t = 0; t < Tries; ++t) {
            float angle = FirstServeAngle(next + t);
            if (std::find(used.begin(), used.end(), angle) == used.end()) {
                chosen = next + t;
                used.push_back(angle);
                break;
            }
        }
        seeds.push_back(chosen);
        next = chosen + 1;
    }
    return seeds;
}

int LevelPlayer::NewCapsules(int& newestId) const {
    int found = 0;
    const QDPowerUps& list = driver.scene.powerUps;
    int newest = newestId;
    for (int i = 0; i < list.GetCount(); ++i) {
        const fwObject* item = list.Get(i);
        if (item && item->id > newestId) {
            ++found;
            if (item->id > newest) newest = item->id;
        }
    }
    newestId = newest;
    return found;
}
