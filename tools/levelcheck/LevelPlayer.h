#pragma once

#include <functional>
#include <string>
#include <vector>

class SceneDriver;

// Plays one level with the game's own scene and computer player, headless
// and as fast as the machine allows. Each serve's angle comes from the
// game's serve rule fed by a generator seeded from the run's seed and the
// serve's number, so a run is the same every time it is played.
class LevelPlayer {
  public:
    // Loops: the computer player's own loop; the ball comes back to the
    // paddle in every round of it, so a person meeting it elsewhere on the
    // paddle would break it. Caged: a loop in which the ball never touches
    // the paddle, bouncing among solid bricks and walls for good; nobody can
    // free it, so it is the level's fault.
    enum Outcome { Cleared, AllBallsLost, FrameLimit, NotStarted, Stopped, Loops, Caged };

    struct Run {
        unsigned seed = 0;
        Outcome outcome = NotStarted;
        long frames = 0; // round steps from the first serve to the end
        int ballsLost = 0;
        int capsules = 0;   // capsules released by ball hits
        int bricksLeft = 0; // breakable bricks still present at the end
        int firstLeft = -1; // cell index of the first of them, or -1
        int endState = 0;   // the scene's round state at the end
        int points = 0;
        float angle = 0; // the first serve's angle, as the ball took it
        // Loops and Caged: from the end of frame loopStart on, play repeats
        // itself every loopLength frames.
        long loopStart = -1;
        long loopLength = 0;
        // Caged: the cell of a solid brick the ball keeps hitting, or -1.
        int cageCell = -1;
        // The angle of the serve in play when the run ended.
        float servedAt = 0;
    };

    // driver must be open (resources loaded) and outlive the player.
    explicit LevelPlayer(SceneDriver& driver);

    // One game of the level in path: new game, serve, select key, play with
    // the computer player until the level is cleared, the last ball is lost
    // or maxFrames round steps have run.
    Run Play(const std::string& path, unsigned seed, long maxFrames);
    // The same with every serve of the run leaving at angle (47 to 135
    // degrees, restricted by the ball as the game's serve is). With
    // detectLoops a run that comes back to an earlier frame's whole play
    // state (PlayState) ends there as Loops: it would never clear. Any run,
    // with detectLoops or not, ends as Caged at a loop in which the ball
    // never touches the paddle.
    Run PlayAt(const std::string& path, float angle, long maxFrames, bool detectLoops);

    // Seeds for a number of runs, from 1 upward, skipping seeds whose first
    // serve would leave at the same angle as an earlier run's, so that each
    // run starts differently (as long as unused angles remain).
    static std::vector<unsigned> Seeds(int runs);
    // The angle the first serve of a run with this seed leaves at.
    static float FirstServeAngle(unsigned seed);

    // Frames as minutes of play at the game's 62.5 frames per second.
    static double Minutes(long frames) { return frames / 62.5 / 60.0; }
    // The middle value (the mean of the middle two for an even count);
    // values must not be empty.
    static long Median(std::vector<long> values);

    // Called after every round step of a run with the run's frames so far,
    // for tools that follow a run frame by frame; empty: nothing is called.
    std::function<void(long frames)> afterFrame;

  private:
    Run PlayRun(const std::string& path, unsigned seed, const float* angle, long maxFrames,
                bool detectLoops);
    static float ServeAngle(unsigned seed, int serve);
    int NewCapsules(int& newestId) const;

    SceneDriver& driver;
};
