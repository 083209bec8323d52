#include "tools/levelcheck/LevelPlayer.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "framework/fwObject.h"
#include "gameplay/SceneDriver.h"
#include "tools/levelcheck/PlayState.h"

LevelPlayer::LevelPlayer(SceneDriver& d) : driver(d) {}

long LevelPlayer::Median(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

LevelPlayer::Run LevelPlayer::Play(const std::string& path, unsigned seed, long maxFrames) {
    return PlayRun(path, seed, nullptr, maxFrames, false);
}

LevelPlayer::Run LevelPlayer::PlayAt(const std::string& path, float angle, long maxFrames,
                                     bool detectLoops) {
    return PlayRun(path, 0, &angle, maxFrames, detectLoops);
}

LevelPlayer::Run LevelPlayer::PlayRun(const std::string& path, unsigned seed, const float* angle,
                                      long maxFrames, bool detectLoops) {
    Run run;
    run.seed = seed;
    GameScene& scene = driver.scene;
    driver.ReleaseAll();
    if (!driver.StartLevelFile(path.c_str()))
        return run;
    scene.autoPlay = true;
    const int startLives = scene.lives;
    // Capsules are new objects: anything in the capsule list with an id
    // above the newest seen so far was released since the last look.
    int newestId = fwObjectCounter();
    int serves = 0;
    bool playing = true;
    // Loop watch. States are taken at the frames in which the ball changes
    // direction: a run that repeats itself from frame t every p frames
    // changes direction somewhere in every stretch of p frames (a ball
    // flying straight would leave the playfield), so such a frame recurs
    // too, and looking only there makes the watch almost free. The table
    // holds every such state since the last change that cannot be undone
    // (a brick hit or a lost ball): a state from before it can never come
    // back, so forgetting it keeps the table small without missing a loop.
    // With each state goes the count of paddle bounces so far: a loop
    // between two equal states without a bounce is a cage. A run that has
    // looped repeats for ever, so without detectLoops the watch stops at its
    // first loop that is not a cage and the run plays on to the frame cap.
    struct Seen {
        long frame;
        long paddleBounces;
    };
    std::unordered_map<PlayState, Seen, PlayState::Hash> seen;
    int seenHits = -1, seenLives = -1;
    float lastAngle = 0;
    bool watching = true;
    int lastSolid = -1; // the latest solid brick the ball hit
    while (playing && run.frames < maxFrames) {
        switch (scene.state) {
        case GameScene::GetReady:
            // The game's serve was seeded from the clock; replace it with
            // the same rule fed from this run's seed (or the run's own
            // angle), then press select.
            scene.ball.SetAngle(angle ? *angle : ServeAngle(seed, serves));
            if (serves++ == 0)
                run.angle = scene.ball.angle;
            run.servedAt = scene.ball.angle;
            lastAngle = scene.ball.angle;
            driver.Hold(GameScene::SelectKey, true);
            driver.Step(false);
            driver.Hold(GameScene::SelectKey, false);
            ++run.frames;
            if (afterFrame)
                afterFrame(run.frames);
            break;
        case GameScene::Playing:
            driver.Step(false);
            ++run.frames;
            run.capsules += NewCapsules(newestId);
            if (scene.lastSolidHit >= 0)
                lastSolid = scene.lastSolidHit;
            if (afterFrame)
                afterFrame(run.frames);
            if (watching && scene.state == GameScene::Playing && scene.ball.angle != lastAngle) {
                lastAngle = scene.ball.angle;
                PlayState now = PlayState::Of(scene);
                if (now.hitsLeft != seenHits || scene.lives != seenLives) {
                    seen.clear();
                    seenHits = now.hitsLeft;
                    seenLives = scene.lives;
                }
                auto placed = seen.emplace(std::move(now), Seen{run.frames, scene.paddleBounces});
                if (!placed.second) {
                    const bool caged = placed.first->second.paddleBounces == scene.paddleBounces;
                    if (caged || detectLoops) {
                        run.outcome = caged ? Caged : Loops;
                        run.loopStart = placed.first->second.frame;
                        run.loopLength = run.frames - run.loopStart;
                        // Only solid bricks are hit in a loop (a breakable
                        // one changes for good), and a cage hits one in
                        // every round, or the ball would come down.
                        if (caged)
                            run.cageCell = lastSolid;
                        playing = false;
                    } else {
                        watching = false;
                    }
                }
            }
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
    if (playing)
        run.outcome = FrameLimit;
    run.endState = scene.state;
    run.ballsLost = startLives - scene.lives;
    run.points = scene.points;
    for (int n = 0; n < LevelData::CellCount; ++n) {
        const BrickCell& cell = scene.bricks.cells[n];
        if (cell.present && cell.kind != 0 && cell.breakable) {
            if (run.firstLeft < 0)
                run.firstLeft = n;
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
            if (item->id > newest)
                newest = item->id;
        }
    }
    newestId = newest;
    return found;
}
