#include "tools/levelcheck/PlayState.h"

#include <cstring>

#include "gameplay/GameScene.h"

// Why these words are the whole state. A frame of play (RunRound, then
// UpdatePlay) reads the scene's members, SDL's key-state array, the clock
// and nothing else; rand() is drawn only when a serve is set up. In the
// level player's runs:
// - Keys: none is held while playing (the select key is let go right after
//   the serve), and the scene reads keys only from the key-state array, which
//   nothing but the player writes (no events are pumped).
// - Clock: it feeds only the fire window, and a window that opens without
//   the select key held fires nothing, so fireTicks decides nothing. The
//   pause after the select key only sleeps.
// - rand(): drawn at a serve only, which follows a lost ball and so comes
//   with a change of lives, compared below.
// - Bricks: within one level cells change only by losing hits (3 to 2 to 1
//   to gone); solid bricks never change and nothing puts a brick back until
//   the next level, which ends the run. So two frames of one run have the
//   same grid exactly when they have the same HitsLeft, which is compared
//   instead of the 300 cells. (States of different runs are never compared.)
// - Capsules: an inactive capsule is never moved, caught or drawn again and
//   only leaves the list at the next serve, so only the active ones count,
//   in list order, with every field their fall and catch use. Shots likewise,
//   though the computer player never fires.
// - The ball, paddle, held power-up and counters are compared whole. What
//   is left out (images, sounds, font, labels, shownFps, effectsVolume, the
//   level file's copy of the grid, object ids, the tools' counters) is never
//   read in play or only read when a level starts.
// - The wedge guard's memory: the next frame reads only whether the last
//   one hit a solid brick (not which) and, only then, where that frame's
//   ball began, which it compares with a ball put back on whole pixels; so
//   the start counts only after such a hit and from a whole-pixel spot.
//   Leaving the memory out would make two frames look alike whose next
//   frames differ; keeping more would find loops later than they begin.
PlayState PlayState::Of(const GameScene& scene) {
    PlayState s;
    std::vector<uint32_t>& w = s.words;
    w.reserve(32);
    auto add = [&w](int v) { w.push_back(static_cast<uint32_t>(v)); };
    auto addFloat = [&w](float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        w.push_back(bits);
    };
    add(scene.state);
    add(scene.level);
    add(scene.lives);
    add(scene.points);
    s.hitsLeft = HitsLeft(scene);
    add(s.hitsLeft);
    add(scene.paddleX);
    add(scene.paddleY);
    add(scene.autoPlay ? 1 : 0);
    const Ball& ball = scene.ball;
    add(ball.status);
    addFloat(ball.x);
    addFloat(ball.y);
    addFloat(ball.angle);
    addFloat(ball.speed);
    addFloat(ball.extraSpeed);
    add(ball.radius);
    add(ball.bounds.x);
    add(ball.bounds.y);
    add(ball.bounds.w);
    add(ball.bounds.h);
    const GameScene::BallPose& start = scene.lastStart;
    const bool guardMayAct = scene.lastSolidHit >= 0 &&
                             start.x == static_cast<float>(static_cast<int>(start.x)) &&
                             start.y == static_cast<float>(static_cast<int>(start.y));
    add(guardMayAct ? 1 : 0);
    addFloat(guardMayAct ? start.x : 0.0f);
    addFloat(guardMayAct ? start.y : 0.0f);
    addFloat(guardMayAct ? start.angle : 0.0f);
    add(scene.heldPowerUp ? 1 : 0);
    add(scene.heldPowerUp ? scene.heldPowerUp->kind : 0);
    auto addSprite = [&](const fwSDLSprite& sprite) {
        addFloat(sprite.x);
        addFloat(sprite.y);
        addFloat(sprite.dirX);
        addFloat(sprite.dirY);
        addFloat(sprite.speed);
        add(sprite.frameWidth);
        add(sprite.frameHeight);
    };
    // Counts first, so that lists of different lengths never line up.
    add(scene.shots.GetCount());
    for (int i = 0; i < scene.shots.GetCount(); ++i) {
        const auto* shot = static_cast<const fwSDLSprite*>(scene.shots.Get(i));
        add(shot->state);
        addSprite(*shot);
    }
    for (int i = 0; i < scene.powerUps.GetCount(); ++i) {
        const auto* capsule = static_cast<const CPowerUp*>(scene.powerUps.Get(i));
        if (capsule->state != fwSDLSprite::Active)
            continue;
        add(capsule->kind);
        addSprite(*capsule);
    }
    return s;
}

int PlayState::HitsLeft(const GameScene& scene) {
    int hits = 0;
    for (const BrickCell& cell : scene.bricks.cells) {
        if (cell.present && cell.breakable && cell.kind > 0)
            hits += cell.kind;
    }
    return hits;
}

size_t PlayState::Hash::operator()(const PlayState& state) const {
    // FNV-1a over the words.
    uint64_t h = 1469598103934665603ull;
    for (uint32_t word : state.words) {
        h = (h ^ word) * 1099511628211ull;
    }
    return static_cast<size_t>(h);
}
