#include "tools/ballsurvey/BallSurvey.h"

#include <vector>

#include "gameplay/SceneDriver.h"
#include "tools/levelcheck/LevelSweep.h"
#include "tools/levelcheck/PlayState.h"

const char* BallSurvey::EndName(int end) {
    static const char* const names[EndCount] = {"cleared",
                                                "wedged (stuck on one spot)",
                                                "caged (never back at the paddle)",
                                                "computer player's loops",
                                                "every ball lost",
                                                "frame cap",
                                                "other"};
    return end >= 0 && end < EndCount ? names[end] : "?";
}

BallSurvey::End BallSurvey::EndOf(const LevelPlayer::Run& run) {
    switch (run.outcome) {
    case LevelPlayer::Cleared:
        return Cleared;
    case LevelPlayer::Caged:
        return run.loopLength <= 2 ? Wedged : Caged;
    case LevelPlayer::Loops:
        return Loops;
    case LevelPlayer::AllBallsLost:
        return Lost;
    case LevelPlayer::FrameLimit:
        return Limit;
    default:
        return Other;
    }
}

BallSurvey::BallSurvey(SceneDriver& d, long frames) : driver(d), maxFrames(frames) {}

void BallSurvey::Survey(const std::string& path, Tally& tally) {
    GameScene& scene = driver.scene;
    LevelPlayer player(driver);
    const PlayState::Hash hash;
    // The old run's whole play state after every frame, as 64-bit hashes.
    std::vector<size_t> trace;
    // A level start leaves the ball's status as the last run left it. Play
    // never reads it, but the play state holds it, so both runs of a serve
    // start from the same one.
    auto play = [&](float angle) {
        scene.ball.status = Ball::Moving;
        return player.PlayAt(path, angle, maxFrames, true);
    };
    for (float angle : LevelSweep::ServeAngles()) {
        trace.clear();
        scene.wedgeGuard = false;
        player.afterFrame = [&](long) { trace.push_back(hash(PlayState::Of(scene))); };
        const LevelPlayer::Run old = play(angle);

        scene.wedgeGuard = true;
        const long turns = scene.wedgeTurns;
        long firstTurn = -1, firstDiff = -1;
        player.afterFrame = [&](long frame) {
            if (firstTurn < 0 && scene.wedgeTurns != turns)
                firstTurn = frame;
            if (firstDiff < 0 && frame <= static_cast<long>(trace.size()) &&
                hash(PlayState::Of(scene)) != trace[static_cast<size_t>(frame - 1)]) {
                firstDiff = frame;
            }
        };
        const LevelPlayer::Run now = play(angle);
        player.afterFrame = nullptr;

        ++tally.serves;
        ++tally.before[EndOf(old)];
        ++tally.after[EndOf(now)];
        bool kept;
        if (firstTurn < 0) {
            kept = firstDiff < 0 && now.outcome == old.outcome && now.frames == old.frames &&
                   now.points == old.points;
            if (kept)
                ++tally.untouchedSame;
        } else {
            ++tally.guardActed;
            kept = firstDiff == firstTurn;
            if (kept)
                ++tally.diffAtTurn;
        }
        if (!kept && tally.mismatches++ == 0) {
            tally.firstMismatch = path + ", serve at " + std::to_string(static_cast<int>(angle)) +
                                  " degrees: first turn at frame " + std::to_string(firstTurn) +
                                  ", first difference at frame " + std::to_string(firstDiff);
        }
    }
}

std::string BallSurvey::RandomLevel(uint32_t seed) {
    uint32_t state = seed * 2654435761u + 7u;
    auto next = [&state](uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 16) % n;
    };
    for (;;) {
        std::string text;
        bool solid = false, breakable = false;
        const uint32_t rows = 4 + next(8);
        for (uint32_t r = 0; r < rows; ++r) {
            for (int col = 0; col < 20; ++col) {
                const uint32_t roll = next(100);
                const char* pair = roll < 50   ? ". "
                                   : roll < 62 ? "# "
                                   : roll < 80 ? "1 "
                                   : roll < 92 ? "2 "
                                               : "3 ";
                solid = solid || pair[0] == '#';
                breakable = breakable || (pair[0] >= '1' && pair[0] <= '3');
                text += pair;
            }
            text += '\n';
        }
        if (solid && breakable)
            return text;
    }
}
