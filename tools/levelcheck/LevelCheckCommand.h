#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/levelcheck/LevelPlayer.h"

class LevelReport;
class LevelSweep;
class SceneDriver;

// The levelcheck command line:
//   levelcheck [--play N [--serve A]] [--frames F] [--png DIR] [--data DIR] [--quiet]
//              [--sweep [--csv FILE] [--min-clear P] [--jobs J]] FILE...
// For each file: a summary line, a preview (unless --quiet), the located
// problems, and with --play / --png / --sweep the results of playing it, a
// picture of it and its serve-angle sweep. Messages go to out in the form
// "FILE:LINE:COL: error: text" (also "warning" and, for the sweep, "note").
class LevelCheckCommand {
  public:
    static constexpr int ExitClean = 0;
    static constexpr int ExitErrors = 1;
    static constexpr int ExitUsage = 2;
    static constexpr long DefaultFrames = 200000;

    explicit LevelCheckCommand(FILE* out);
    ~LevelCheckCommand();
    LevelCheckCommand(const LevelCheckCommand&) = delete;
    LevelCheckCommand& operator=(const LevelCheckCommand&) = delete;

    // Parses arguments (argv[0] is the program) and checks every file.
    // Returns 0 when no file has an error, 1 when one has, 2 for bad usage
    // or when --play/--png cannot start the game's scene.
    int Run(int argc, char** argv);
    // Parses only; false (usage printed to standard error) on bad usage.
    bool Parse(int argc, char** argv);

    int plays = 0;
    long frames = DefaultFrames;
    std::string pngDir;
    bool quiet = false;
    std::string dataDir; // --data; empty: see GameDataFolder
    std::vector<std::string> files;
    bool sweep = false;
    std::string csvPath;
    double minClear = -1; // per cent; below 0: no minimum
    double serve = 0;     // with --play: every serve at this angle; 0: seeded serves
    int jobs = 1;         // sweep workers (processes), one per core by default
    // Where a sweep's runs come from when set: a host whose workers are not
    // processes (the browser's Web Workers) plays them itself and hands them
    // in here, one per serve angle in LevelSweep::ServeAngles order, and
    // this command only sums them up. A sweep then opens no scene.
    std::function<bool(const std::string& path, long frames, std::vector<LevelPlayer::Run>& runs,
                       std::string* error)>
        sweepSource;

  private:
    bool OpenScene();
    // Checks one file; true when it has no error.
    bool CheckFile(const std::string& path);
    bool PlayFile(const std::string& path, const LevelReport& report);
    bool PictureFile(const std::string& path);
    bool SweepFile(const std::string& path, const LevelReport& report);
    void Message(const std::string& path, int line, int column, bool error,
                 const std::string& text);

    FILE* out;
    std::unique_ptr<SceneDriver> driver;
    std::unique_ptr<LevelSweep> sweeper;
    FILE* csv = nullptr;
    int warnings = 0;
};
