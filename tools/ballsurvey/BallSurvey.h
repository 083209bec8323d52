#pragma once

#include <cstdint>
#include <string>

#include "tools/levelcheck/LevelPlayer.h"

class SceneDriver;

// Measures what the wedge guard does: plays every serve angle of a level
// with the computer player twice, with the guard off (the ball-against-brick
// rule as it was before the guard) and on, sorts each run's end, and checks
// frame by frame that the two runs are the same until the guard first acts
// and differ from exactly that frame on.
class BallSurvey {
  public:
    // How a run ended. A wedge is a ball stuck on one spot: a cage (a loop
    // without a paddle bounce) that repeats every 1 or 2 frames.
    enum End { Cleared, Wedged, Caged, Loops, Lost, Limit, Other, EndCount };
    static const char* EndName(int end);
    static End EndOf(const LevelPlayer::Run& run);

    struct Tally {
        long serves = 0;
        long before[EndCount] = {};
        long after[EndCount] = {};
        long guardActed = 0;    // runs in which the guard turned the ball
        long diffAtTurn = 0;    // ... and whose first difference is that frame
        long untouchedSame = 0; // runs without a turn, the same in every frame
        long mismatches = 0;    // runs that break either rule
        std::string firstMismatch;
    };

    // driver must be open and outlive the survey; maxFrames caps each run.
    BallSurvey(SceneDriver& driver, long maxFrames);

    // Plays every serve angle of the level file at path (absolute: the
    // scene's data folder may be the working directory) and adds to tally.
    void Survey(const std::string& path, Tally& tally);

    // A random level of 4 to 11 full rows: half the cells empty, one in
    // eight solid, the rest breakable (one, two or three hits), at least
    // one solid and one breakable; the same text for the same seed on
    // every machine.
    static std::string RandomLevel(uint32_t seed);

  private:
    SceneDriver& driver;
    long maxFrames;
};
