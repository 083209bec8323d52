#pragma once

// The recorded replay's run: a fixed game played by the computer player,
// dumped every 100 frames. Shared by the desktop's replay test and the
// browser build's (tests/web/game/replay/), which compare it with the same
// expected.txt.

#include <cstdint>
#include <cstdio>
#include <string>

#include "gameplay/SceneDriver.h"

namespace replay {

constexpr int Frames = 13200;
constexpr int HandsOff = 12000; // then the paddle stands still until the game is over
constexpr int Every = 100;

inline std::string DumpLine(int frame, const GameScene& scene) {
    char line[256];
    std::snprintf(
        line, sizeof line,
        "frame %d state %d level %d points %d lives %d bricks %d ball %.3f %.3f angle %.3f "
        "paddle %d capsules %d shots %d held %d\n",
        frame, scene.state, scene.level, scene.points, scene.lives, scene.BreakableLeft(),
        static_cast<double>(scene.ball.x), static_cast<double>(scene.ball.y),
        static_cast<double>(scene.ball.angle), scene.paddleX, scene.powerUps.GetCount(),
        scene.shots.GetCount(), scene.heldPowerUp ? 1 : 0);
    return line;
}

// Plays the game the driver has started (level 1 in GetReady); now is the
// clock the scene reads, advanced 16 ms per frame.
inline std::string Record(SceneDriver& driver, uint32_t& now) {
    GameScene& scene = driver.scene;
    scene.autoPlay = true;
    // The select key stays down: it starts every serve and fires whenever a
    // capsule has been caught.
    driver.Hold(SDLK_SPACE, true);
    std::string dump;
    for (int frame = 0; frame <= Frames; ++frame) {
        if (frame % Every == 0) {
            dump += DumpLine(frame, scene);
        }
        if (frame == HandsOff) {
            scene.autoPlay = false;
        }
        now += 16;
        driver.Step(true);
    }
    driver.Hold(SDLK_SPACE, false);
    return dump;
}

} // namespace replay
