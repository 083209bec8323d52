#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class LevelReport;
class SceneDriver;

// The levelcheck command line:
//   levelcheck [--play N] [--frames F] [--png DIR] [--data DIR] [--quiet] FILE...
// For each file: a summary line, a preview (unless --quiet), the located
// problems, and with --play / --png the results of playing it and a picture
// of it. Messages go to out in the form "FILE:LINE:COL: error: text".
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

private:
    bool OpenScene();
    // Checks one file; true when it has no error.
    bool CheckFile(const std::string& path);
    bool PlayFile(const std::string& path, const LevelReport& report);
    bool PictureFile(const std::string& path);
    void Message(const std::string& path, int line, int column, bool error, const std::string& text);

    FILE* out;
    std::unique_ptr<SceneDriver> driver;
    int warnings = 0;
};
