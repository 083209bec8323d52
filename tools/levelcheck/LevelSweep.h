#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/levelcheck/LevelPlayer.h"

class SceneDriver;

// Plays a level once for every angle the game's serve can leave at, with
// the computer player and loop detection (LevelPlayer::PlayAt), and sums
// the runs up. The runs can be shared out to worker processes, each with
// its own scene; the results are the same, in the same order, however many
// workers play them.
class LevelSweep {
  public:
    using Run = LevelPlayer::Run;

    // Every distinct angle a serve leaves at, ascending (60 of them).
    static std::vector<float> ServeAngles();

    // workers below 2 play in this process, on the driver given to Sweep.
    explicit LevelSweep(int workers);
    ~LevelSweep();
    LevelSweep(const LevelSweep&) = delete;
    LevelSweep& operator=(const LevelSweep&) = delete;

    // Starts the worker processes, each opening its own scene. Call before
    // this process starts SDL (a forked SDL is not safe to use). False with
    // a reason when a worker cannot start or open its scene.
    bool StartWorkers(std::string* error);
    // One run per serve angle, in angle order. driver (open) is used when
    // there are no workers. False with a reason when a worker failed; the
    // runs are then incomplete.
    bool Sweep(const std::string& path, long maxFrames, SceneDriver* driver, std::vector<Run>& runs,
               std::string* error);

    // Share of the runs that cleared, in per cent (0 for no runs).
    static double ClearShare(const std::vector<Run>& runs);
    // "60 serves, cleared 57 (95.0%); frames to clear min ..., median ...,
    // max ...; balls lost median 0", with ", caged N" after the share when
    // N serves cage the ball.
    static std::string Summary(const std::vector<Run>& runs);
    // Why a run did not clear: "serve at 63 degrees loops from frame 1234
    // (every 456 frames)" or "... cages the ball from frame ...", without
    // the bricks left.
    static std::string Failure(const Run& run);
    // The CSV header line and one row per run (file quoted when needed).
    // The outcome column is one of: cleared; loops (the computer player's
    // own loop, the ball still meeting the paddle); caged (a loop in which
    // the ball never comes back to the paddle); lost (every ball); limit
    // (the frame cap); stopped or not-started (the level could not be
    // played). loop_start is the frame a loop or cage began, else -1.
    static const char* CsvHeader();
    static std::string CsvRow(const std::string& path, const Run& run);

    // One run as the line a worker sends for it (index is its angle's
    // place in ServeAngles), and back; for hosts whose workers are not this
    // class's processes. DecodeRun is false for a line that is not one.
    static std::string EncodeRun(int index, const Run& run);
    static bool DecodeRun(const std::string& line, int& index, Run& run);

  private:
    struct Worker {
        pid_t pid = -1;
        FILE* jobs = nullptr;    // to the worker
        FILE* results = nullptr; // from the worker
    };
    [[noreturn]] static void WorkerMain(int jobsFd, int resultsFd);
    void StopWorkers();

    int workerCount;
    std::vector<Worker> workers;
};
