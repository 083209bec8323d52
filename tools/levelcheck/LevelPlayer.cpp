#include "tools/levelcheck/LevelPlayer.h"

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
            Serve(seed, serves++);
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

void LevelPlayer::Serve(unsigned seed, int serve) {
    std::srand(seed * 7919u + static_cast<unsigned>(serve));
    driver.scene.ball.SetAngle(static_cast<float>(90 + RandomInt(45, -45)));
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
