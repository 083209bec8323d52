#include "tools/levelcheck/LevelCheckCommand.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "gameplay/SceneDriver.h"
#include "tools/levelcheck/GameDataFolder.h"
#include "tools/levelcheck/LevelPlayer.h"
#include "tools/levelcheck/LevelReport.h"
#include "tools/levelcheck/LevelSweep.h"
#include "tools/levelcheck/PngWriter.h"

namespace {

const char* const Usage =
    "usage: levelcheck [--play N [--serve A]] [--frames F] [--png DIR] [--data DIR] [--quiet]\n"
    "                  [--sweep [--csv FILE] [--min-clear P] [--jobs J]] FILE...\n"
    "  --play N       play each level N times with the computer player (each run with a different "
    "serve)\n"
    "  --serve A      with --play: every serve at A degrees (47 to 135), as a sweep plays it\n"
    "  --frames F     give up a run after F frames (default 200000, about 53 minutes of play)\n"
    "  --png DIR      write DIR/<level name>.png, the level as the game shows it before the serve\n"
    "  --quiet        no preview and no per-run lines\n"
    "  --sweep        play each level once from every serve angle the game has, stopping runs that "
    "loop\n"
    "  --csv FILE     with --sweep: write one row per level and serve to FILE\n"
    "  --min-clear P  with --sweep: a level cleared from less than P per cent of the serves is an "
    "error\n"
    "  --jobs J       with --sweep: play on J processes (default: one per processor)\n"
    "  --data DIR     the game's data for --play, --png and --sweep (default: data/ in the\n"
    "                 working directory if there is one, else the installed game's data)\n"
    "Exit status: 0 no errors, 1 a file has errors, 2 bad usage.\n";

bool ParseCount(const char* text, long& value) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < 1 || v > 1000000000L)
        return false;
    value = v;
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// "dir/level1.txt" -> "level1"
std::string LevelName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

// The game's own number for "level<N>.txt", or 0 for any other name.
int LevelNumber(const std::string& name) {
    if (name.compare(0, 5, "level") != 0 || name.size() == 5 || name.size() > 14)
        return 0;
    for (size_t i = 5; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
    }
    return std::atoi(name.c_str() + 5);
}

bool ParseNumber(const char* text, double low, double high, double& value) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (*end != '\0' || !(v >= low && v <= high))
        return false;
    value = v;
    return true;
}

// Said of a caged ball, at the solid brick it keeps hitting.
const char* const CageText =
    ": the ball never comes back to the paddle; it keeps hitting this solid brick";

std::string BricksLeft(int count) {
    if (count <= 0)
        return "";
    return "; " + std::to_string(count) +
           (count == 1 ? " breakable brick left, here" : " breakable bricks left, the first here");
}

} // namespace

LevelCheckCommand::LevelCheckCommand(FILE* o) : out(o) {
    // The processors this process may run on (a container may allow fewer
    // than the machine has).
    cpu_set_t allowed;
    long processors = sched_getaffinity(0, sizeof allowed, &allowed) == 0
                          ? CPU_COUNT(&allowed)
                          : sysconf(_SC_NPROCESSORS_ONLN);
    jobs = static_cast<int>(std::clamp(processors, 1L, 16L));
}

LevelCheckCommand::~LevelCheckCommand() {
    if (csv)
        std::fclose(csv);
}

bool LevelCheckCommand::Parse(int argc, char** argv) {
    auto bad = [](const std::string& why) {
        std::fprintf(stderr, "levelcheck: %s\n%s", why.c_str(), Usage);
        return false;
    };
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!options || arg.empty() || arg[0] != '-' || arg == "-") {
            files.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (arg == "--play") {
            long n;
            if (!ParseCount(next, n) || n > 100000)
                return bad("--play needs a number of runs from 1 to 100000");
            plays = static_cast<int>(n);
            ++i;
        } else if (arg == "--frames") {
            if (!ParseCount(next, frames))
                return bad("--frames needs a positive number of frames");
            ++i;
        } else if (arg == "--png") {
            if (!next || !*next)
                return bad("--png needs a directory");
            pngDir = next;
            ++i;
        } else if (arg == "--data") {
            if (!next || !*next)
                return bad("--data needs a directory");
            dataDir = next;
            ++i;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--sweep") {
            sweep = true;
        } else if (arg == "--csv") {
            if (!next || !*next)
                return bad("--csv needs a file name");
            csvPath = next;
            ++i;
        } else if (arg == "--min-clear") {
            if (!ParseNumber(next, 0, 100, minClear))
                return bad("--min-clear needs a share from 0 to 100 per cent");
            ++i;
        } else if (arg == "--serve") {
            if (!ParseNumber(next, 47, 135, serve))
                return bad("--serve needs an angle from 47 to 135 degrees");
            ++i;
        } else if (arg == "--jobs") {
            long n;
            if (!ParseCount(next, n) || n > 64)
                return bad("--jobs needs a number of processes from 1 to 64");
            jobs = static_cast<int>(n);
            ++i;
        } else {
            return bad("unknown option " + arg);
        }
    }
    if (files.empty())
        return bad("no level file given");
    if (!sweep && (!csvPath.empty() || minClear >= 0))
        return bad("--csv and --min-clear go with --sweep");
    if (serve > 0 && plays == 0)
        return bad("--serve goes with --play");
    return true;
}

int LevelCheckCommand::Run(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, out);
            return ExitClean;
        }
    }
    if (!Parse(argc, argv))
        return ExitUsage;
    if (!pngDir.empty() && !IsDirectory(pngDir) && mkdir(pngDir.c_str(), 0777) != 0) {
        std::fprintf(stderr, "levelcheck: cannot create the picture directory %s (%s)\n",
                     pngDir.c_str(), std::strerror(errno));
        return ExitUsage;
    }
    if (!csvPath.empty()) {
        csv = std::fopen(csvPath.c_str(), "w");
        if (!csv) {
            std::fprintf(stderr, "levelcheck: cannot write %s (%s)\n", csvPath.c_str(),
                         std::strerror(errno));
            return ExitUsage;
        }
        std::fprintf(csv, "%s\n", LevelSweep::CsvHeader());
    }
    if ((plays > 0 || !pngDir.empty() || (sweep && !sweepSource)) && !OpenScene()) {
        return ExitUsage;
    }

    int failed = 0;
    for (const std::string& file : files) {
        if (!CheckFile(file))
            ++failed;
    }
    std::fprintf(out, "levelcheck: %zu %s checked, %d with errors, %d %s\n", files.size(),
                 files.size() == 1 ? "file" : "files", failed, warnings,
                 warnings == 1 ? "warning" : "warnings");
    std::fflush(out);
    if (csv && std::fclose(csv) != 0) {
        csv = nullptr;
        std::fprintf(stderr, "levelcheck: cannot write %s (%s)\n", csvPath.c_str(),
                     std::strerror(errno));
        return ExitUsage;
    }
    csv = nullptr;
    return failed ? ExitErrors : ExitClean;
}

bool LevelCheckCommand::OpenScene() {
    // The scene reads data/... relative to the working directory, as the
    // game does; find the game's data and let the scene load from there.
    GameDataFolder data;
    std::string error;
    if (!data.Find(dataDir, &error) || !data.Enter(&error)) {
        std::fprintf(stderr, "levelcheck: %s\n", error.c_str());
        return false;
    }
    if (sweep) {
        // Sweep workers fork before this process starts SDL, and each opens
        // a scene of its own.
        sweeper = std::make_unique<LevelSweep>(jobs);
        if (!sweeper->StartWorkers(&error)) {
            std::fprintf(stderr, "levelcheck: %s\n", error.c_str());
            return false;
        }
        if (jobs > 1 && plays == 0 && pngDir.empty())
            return true;
    }
    // Never a window and never a sound: the checker only simulates.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    driver = std::make_unique<SceneDriver>();
    // The shell greets on standard output at start-up; keep that line out
    // of the checker's report so every output line stays in its form.
    std::fflush(stdout);
    int savedOut = dup(STDOUT_FILENO);
    int devNull = open("/dev/null", O_WRONLY);
    if (savedOut >= 0 && devNull >= 0)
        dup2(devNull, STDOUT_FILENO);
    bool opened = driver->Open(&error);
    std::fflush(stdout);
    if (savedOut >= 0 && devNull >= 0)
        dup2(savedOut, STDOUT_FILENO);
    if (devNull >= 0)
        close(devNull);
    if (savedOut >= 0)
        close(savedOut);
    if (!opened) {
        std::fprintf(stderr, "levelcheck: cannot start the game scene: %s\n", error.c_str());
        return false;
    }
    return true;
}

void LevelCheckCommand::Message(const std::string& path, int line, int column, bool error,
                                const std::string& text) {
    std::fprintf(out, "%s:%d:%d: %s: %s\n", path.c_str(), line, column, error ? "error" : "warning",
                 text.c_str());
    if (!error)
        ++warnings;
}

bool LevelCheckCommand::CheckFile(const std::string& path) {
    LevelReport report;
    report.Check(path);
    bool clean = !report.HasErrors();
    if (report.opened) {
        std::fprintf(out, "%s: %s\n", path.c_str(), report.Summary().c_str());
        if (!quiet) {
            for (const std::string& line : report.Preview())
                std::fprintf(out, "    %s\n", line.c_str());
        }
    }
    for (const Diagnostic& d : report.diagnostics)
        Message(path, d.line, d.column, d.error, d.message);
    if (report.opened && plays > 0 && !PlayFile(path, report))
        clean = false;
    if (report.opened && !pngDir.empty() && !PictureFile(path))
        clean = false;
    if (report.opened && sweep && !SweepFile(path, report))
        clean = false;
    std::fflush(out);
    return clean;
}

bool LevelCheckCommand::PlayFile(const std::string& path, const LevelReport& report) {
    LevelPlayer player(*driver);
    std::vector<long> clearFrames;
    int ballsLost = 0, capsules = 0;
    std::vector<LevelPlayer::Run> failures;
    std::vector<unsigned> seeds = LevelPlayer::Seeds(plays);
    auto RunName = [this](const LevelPlayer::Run& run) {
        if (serve <= 0)
            return "seed " + std::to_string(run.seed);
        char text[64];
        std::snprintf(text, sizeof text, "every serve at %g degrees", serve);
        return std::string(text);
    };
    for (int i = 0; i < plays; ++i) {
        LevelPlayer::Run run = serve > 0
                                   ? player.PlayAt(path, static_cast<float>(serve), frames, false)
                                   : player.Play(path, seeds[static_cast<size_t>(i)], frames);
        ballsLost += run.ballsLost;
        capsules += run.capsules;
        if (run.outcome == LevelPlayer::Cleared) {
            clearFrames.push_back(run.frames);
        } else {
            failures.push_back(run);
        }
        if (!quiet) {
            std::fprintf(
                out,
                "%s: run %d (%s): %s after %ld frames (%.1f min), %d balls lost, %d capsules\n",
                path.c_str(), i + 1, RunName(run).c_str(),
                run.outcome == LevelPlayer::Cleared ? "cleared" : "not cleared", run.frames,
                LevelPlayer::Minutes(run.frames), run.ballsLost, run.capsules);
        }
    }
    std::string framesText = "none";
    if (!clearFrames.empty()) {
        long median = LevelPlayer::Median(clearFrames);
        long most = *std::max_element(clearFrames.begin(), clearFrames.end());
        char text[160];
        std::snprintf(text, sizeof text, "median %ld (%.1f min), max %ld (%.1f min)", median,
                      LevelPlayer::Minutes(median), most, LevelPlayer::Minutes(most));
        framesText = text;
    }
    std::fprintf(out,
                 "%s: play: cleared %zu of %d runs; frames to clear %s; balls lost %d; capsules "
                 "released %d\n",
                 path.c_str(), clearFrames.size(), plays, framesText.c_str(), ballsLost, capsules);
    for (const LevelPlayer::Run& run : failures) {
        int line, column;
        if (run.outcome == LevelPlayer::Caged) {
            report.Locate(run.cageCell, line, column);
            // A seeded run names the serve in play, which a lost ball changes.
            char served[64] = "";
            if (serve <= 0) {
                std::snprintf(served, sizeof served, ", served at %g degrees",
                              static_cast<double>(run.servedAt));
            }
            char text[256];
            std::snprintf(text, sizeof text,
                          "run with %s cages the ball from frame %ld (every %ld frames)%s",
                          RunName(run).c_str(), run.loopStart, run.loopLength, served);
            Message(path, line, column, true, text + std::string(CageText));
            continue;
        }
        report.Locate(run.firstLeft, line, column);
        std::string why;
        switch (run.outcome) {
        case LevelPlayer::AllBallsLost:
            why = "all balls lost after " + std::to_string(run.frames) + " frames";
            break;
        case LevelPlayer::FrameLimit:
            why = "still playing after " + std::to_string(run.frames) + " frames";
            break;
        case LevelPlayer::Loops:
            why = "it loops from frame " + std::to_string(run.loopStart);
            break;
        case LevelPlayer::Stopped:
            why = "play stopped in round state " + std::to_string(run.endState);
            break;
        default:
            why = "the game did not start it";
            break;
        }
        Message(path, line, column, true,
                "run with " + RunName(run) + " did not clear the level: " + why +
                    BricksLeft(run.bricksLeft));
    }
    return failures.empty();
}

bool LevelCheckCommand::PictureFile(const std::string& path) {
    driver->ReleaseAll();
    driver->StartLevelFile(path.c_str());
    // A shipped level shows its own number on the heads-up line.
    std::string name = LevelName(path);
    if (int number = LevelNumber(name))
        driver->scene.level = number;
    // The first frame of a new game as the player sees it, before the
    // serve: "Press select key" over the bricks, paddle and ball.
    driver->ClearScreen();
    driver->scene.Draw(driver->GetScreen());
    std::string target = pngDir + "/" + name + ".png";
    std::string error;
    if (!PngWriter::Write(target, driver->GetScreen(), &error)) {
        std::fprintf(out, "%s:1:1: error: cannot write %s (%s)\n", path.c_str(), target.c_str(),
                     error.c_str());
        return false;
    }
    if (!quiet)
        std::fprintf(out, "%s: wrote %s\n", path.c_str(), target.c_str());
    return true;
}

bool LevelCheckCommand::SweepFile(const std::string& path, const LevelReport& report) {
    std::vector<LevelSweep::Run> runs;
    std::string error;
    if (sweepSource ? !sweepSource(path, frames, runs, &error)
                    : !sweeper->Sweep(path, frames, driver.get(), runs, &error)) {
        Message(path, 1, 1, true, "the sweep did not finish: " + error);
        return false;
    }
    std::fprintf(out, "%s: sweep: %s\n", path.c_str(), LevelSweep::Summary(runs).c_str());
    size_t cleared = 0;
    bool caged = false;
    for (const LevelSweep::Run& run : runs) {
        if (csv)
            std::fprintf(csv, "%s\n", LevelSweep::CsvRow(path, run).c_str());
        if (run.outcome == LevelPlayer::Cleared) {
            ++cleared;
            continue;
        }
        int line, column;
        // No player can free a caged ball: the level's fault, whatever the
        // share of cleared serves.
        if (run.outcome == LevelPlayer::Caged) {
            report.Locate(run.cageCell, line, column);
            Message(path, line, column, true, LevelSweep::Failure(run) + CageText);
            caged = true;
            continue;
        }
        // Not a fault of the file as such: the share below is what counts.
        report.Locate(run.firstLeft, line, column);
        std::fprintf(out, "%s:%d:%d: note: %s%s\n", path.c_str(), line, column,
                     LevelSweep::Failure(run).c_str(), BricksLeft(run.bricksLeft).c_str());
    }
    if (minClear >= 0 &&
        static_cast<double>(cleared) * 100.0 < minClear * static_cast<double>(runs.size())) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "cleared from %zu of %zu serves (%.1f%%), below the required %g%%", cleared,
                      runs.size(), LevelSweep::ClearShare(runs), minClear);
        Message(path, 1, 1, true, text);
        return false;
    }
    return !caged;
}
