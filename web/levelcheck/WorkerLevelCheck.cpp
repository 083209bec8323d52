#include "web/levelcheck/WorkerLevelCheck.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "gameplay/SceneDriver.h"
#include "tools/levelcheck/LevelCheckCommand.h"
#include "tools/levelcheck/LevelPlayer.h"
#include "tools/levelcheck/LevelReport.h"
#include "tools/levelcheck/LevelSweep.h"

namespace {

// The worker's folder: the packaged game data lies in its data/, as the
// scene expects it relative to the working directory, and levels are
// written beside it.
const char* const Home = "/work";
const char* const CsvFile = "/tmp/levelcheck-sweep.csv";

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                // Everything the classes print is ASCII; a stray byte must
                // still leave valid JSON.
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string Failure(const std::string& why) {
    return "{\"error\":" + Quote(why) + "}";
}

// A level's name as the page gives it ("level3.txt"): a plain file name,
// since it is printed in every message and must not reach another folder.
bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.' || name[0] == '-')
        return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return name != "data";
}

using SweepSource = decltype(LevelCheckCommand::sweepSource);

// Runs the desktop command on args; its printout and exit status.
std::string RunCommand(std::vector<std::string> args, const SweepSource& source, int& status) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    if (!out) {
        status = LevelCheckCommand::ExitUsage;
        return "";
    }
    {
        LevelCheckCommand command(out);
        command.sweepSource = source;
        status = command.Run(static_cast<int>(args.size()), argv.data());
    }
    std::fclose(out);
    std::string printed(text, size);
    std::free(text);
    return printed;
}

// The frame limit as the command line takes it (--frames).
bool FrameLimit(double frames) {
    return frames >= 1 && frames <= 1e9 && frames == static_cast<long>(frames);
}

const char* const BadFrameLimit = "the frame limit is a whole number from 1 to 1000000000";

std::string ReadFile(const char* path) {
    std::string bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, got);
    std::fclose(file);
    return bytes;
}

} // namespace

WorkerLevelCheck::WorkerLevelCheck() : angles(LevelSweep::ServeAngles()) {
    if (chdir(Home) != 0) {
        sceneError = std::string("no folder ") + Home + " with the game's data";
    }
}

WorkerLevelCheck::~WorkerLevelCheck() = default;

bool WorkerLevelCheck::WriteLevel(const std::string& name, const std::string& bytes,
                                  std::string* error) const {
    if (!PlainName(name)) {
        *error = "a level's name is a plain file name of letters, digits, '.', '_' and '-'";
        return false;
    }
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) {
        *error = "cannot write the level into the worker's files";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        *error = "cannot write the level into the worker's files";
        return false;
    }
    return true;
}

bool WorkerLevelCheck::OpenScene(std::string* error) {
    if (driver)
        return true;
    if (!sceneError.empty()) {
        *error = sceneError;
        return false;
    }
    auto opened = std::make_unique<SceneDriver>();
    if (!opened->Open(&sceneError)) {
        *error = "cannot start the game scene: " + sceneError;
        return false;
    }
    driver = std::move(opened);
    return true;
}

std::string WorkerLevelCheck::Check(const std::string& name, const std::string& bytes, bool quiet) {
    std::string error;
    if (!WriteLevel(name, bytes, &error))
        return Failure(error);
    LevelReport report;
    report.Check(name);
    int status = 0;
    std::vector<std::string> args = {"levelcheck"};
    if (quiet)
        args.push_back("--quiet");
    args.push_back(name);
    const std::string printed = RunCommand(args, nullptr, status);

    std::ostringstream json;
    json << "{\"name\":" << Quote(name) << ",\"opened\":" << (report.opened ? "true" : "false")
         << ",\"exitStatus\":" << status << ",\"output\":" << Quote(printed);
    const LevelReport::Counts c = report.Count();
    json << ",\"summary\":" << Quote(report.opened ? report.Summary() : "")
         << ",\"counts\":{\"bricks\":" << c.bricks << ",\"oneHit\":" << c.byKind[1]
         << ",\"twoHit\":" << c.byKind[2] << ",\"threeHit\":" << c.byKind[3]
         << ",\"solid\":" << c.byKind[4] << ",\"capsuleBricks\":" << c.powerUps
         << ",\"hits\":" << c.hits << ",\"points\":" << c.points << "}";
    // The loader's cells in reading order; row and column from the place
    // the loader gave the brick (its rectangle), -1 where no pair reached.
    json << ",\"cells\":[";
    for (int n = 0; n < LevelData::CellCount; ++n) {
        const BrickCell& cell = report.grid.cells[n];
        const bool placed = cell.rect.w != 0;
        json << (n ? "," : "") << "{\"kind\":" << (cell.present ? cell.kind : 0)
             << ",\"capsule\":" << (cell.hasPowerUp == 1 ? "true" : "false")
             << ",\"row\":" << (placed ? (cell.rect.y - 1) / 10 : -1)
             << ",\"column\":" << (placed ? (cell.rect.x - 1) / 16 : -1);
        // Where in the text the brick's pair is, for pointing at it.
        int line = 0, column = 0;
        if (n < static_cast<int>(report.scan.pairs.size()))
            report.Locate(n, line, column);
        json << ",\"line\":" << line << ",\"textColumn\":" << column << "}";
    }
    // Every brick of each walled-in pocket (its message names the first).
    json << "],\"closedIn\":[";
    for (size_t p = 0; p < report.reach.closedIn.size(); ++p) {
        json << (p ? "," : "") << "[";
        const std::vector<int>& pocket = report.reach.closedIn[p];
        for (size_t i = 0; i < pocket.size(); ++i)
            json << (i ? "," : "") << pocket[i];
        json << "]";
    }
    json << "],\"messages\":[";
    for (size_t i = 0; i < report.diagnostics.size(); ++i) {
        const Diagnostic& d = report.diagnostics[i];
        json << (i ? "," : "") << "{\"severity\":" << (d.error ? "\"error\"" : "\"warning\"")
             << ",\"line\":" << d.line << ",\"column\":" << d.column
             << ",\"text\":" << Quote(d.message) << ",\"cell\":" << d.cell << "}";
    }
    json << "],\"preview\":[";
    const std::vector<std::string> preview =
        report.opened ? report.Preview() : std::vector<std::string>{};
    for (size_t i = 0; i < preview.size(); ++i)
        json << (i ? "," : "") << Quote(preview[i]);
    json << "]}";
    return json.str();
}

std::string WorkerLevelCheck::ServeAngles() const {
    std::ostringstream json;
    json << "{\"angles\":[";
    for (size_t i = 0; i < angles.size(); ++i)
        json << (i ? "," : "") << angles[i];
    json << "]}";
    return json.str();
}

std::string WorkerLevelCheck::PrepareServe(const std::string& name, const std::string& bytes,
                                           int index, double frames) {
    std::string error;
    if (index < 0 || index >= static_cast<int>(angles.size()))
        return Failure("no serve angle has that index");
    if (!FrameLimit(frames))
        return Failure(BadFrameLimit);
    if (!OpenScene(&error) || !WriteLevel(name, bytes, &error))
        return Failure(error);
    return "";
}

std::string WorkerLevelCheck::Play(const std::string& name, const std::string& bytes, int index,
                                   double frames) {
    const std::string refused = PrepareServe(name, bytes, index, frames);
    if (!refused.empty())
        return refused;
    LevelPlayer player(*driver);
    const LevelPlayer::Run run =
        player.PlayAt(name, angles[static_cast<size_t>(index)], static_cast<long>(frames), true);
    std::string line = LevelSweep::EncodeRun(index, run);
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return "{\"index\":" + std::to_string(index) + ",\"line\":" + Quote(line) +
           ",\"csv\":" + Quote(LevelSweep::CsvRow(name, run)) +
           ",\"header\":" + Quote(LevelSweep::CsvHeader()) + "}";
}

std::string WorkerLevelCheck::Trace(const std::string& name, const std::string& bytes, int index,
                                    double frames) {
    const std::string refused = PrepareServe(name, bytes, index, frames);
    if (!refused.empty())
        return refused;
    GameScene& scene = driver->scene;
    std::ostringstream ball, paddle, bricks, lives, points, start;
    std::vector<int> kinds;
    int lastLives = -1, lastPoints = -1;
    // Called after each round step; the first call also takes the grid as
    // the level began (StartLevelFile has read it by then, and the first
    // step is the serve, which breaks nothing).
    auto record = [&](long frame) {
        if (kinds.empty()) {
            for (const BrickCell& cell : scene.bricks.cells) {
                const int kind = cell.present ? cell.kind : 0;
                // Where the game draws the brick (grid-relative); an
                // unplaced cell is never present.
                start << (kinds.empty() ? "" : ",") << kind << "," << cell.rect.x << ","
                      << cell.rect.y;
                kinds.push_back(kind);
            }
        }
        const char* comma = frame > 1 ? "," : "";
        ball << comma << static_cast<int>(scene.ball.x) << "," << static_cast<int>(scene.ball.y);
        paddle << comma << scene.paddleX;
        for (size_t n = 0; n < kinds.size(); ++n) {
            const BrickCell& cell = scene.bricks.cells[n];
            const int kind = cell.present ? cell.kind : 0;
            if (kind == kinds[n])
                continue;
            kinds[n] = kind;
            bricks << (bricks.tellp() > 0 ? "," : "") << frame << "," << n << "," << kind;
        }
        if (scene.lives != lastLives) {
            lives << (lives.tellp() > 0 ? "," : "") << frame << "," << scene.lives;
            lastLives = scene.lives;
        }
        if (scene.points != lastPoints) {
            points << (points.tellp() > 0 ? "," : "") << frame << "," << scene.points;
            lastPoints = scene.points;
        }
    };
    LevelPlayer player(*driver);
    player.afterFrame = record;
    const LevelPlayer::Run run =
        player.PlayAt(name, angles[static_cast<size_t>(index)], static_cast<long>(frames), true);
    std::ostringstream json;
    json << "{\"index\":" << index << ",\"angle\":" << angles[static_cast<size_t>(index)]
         << ",\"csv\":" << Quote(LevelSweep::CsvRow(name, run))
         << ",\"header\":" << Quote(LevelSweep::CsvHeader()) << ",\"frames\":" << run.frames
         << ",\"paddleY\":" << scene.paddleY << ",\"ball\":[" << ball.str() << "],\"paddle\":["
         << paddle.str() << "],\"paddleWidth\":" << scene.paddleImage.GetWidth() << ",\"bricks\":["
         << bricks.str() << "],\"lives\":[" << lives.str() << "],\"points\":[" << points.str()
         << "],\"cells\":[" << start.str() << "]}";
    return json.str();
}

namespace {

std::string Base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        const Uint32 group = (Uint32(Uint8(bytes[i])) << 16) |
                             (left > 1 ? Uint32(Uint8(bytes[i + 1])) << 8 : 0) |
                             (left > 2 ? Uint32(Uint8(bytes[i + 2])) : 0);
        text += digits[(group >> 18) & 63];
        text += digits[(group >> 12) & 63];
        text += left > 1 ? digits[(group >> 6) & 63] : '=';
        text += left > 2 ? digits[group & 63] : '=';
    }
    return text;
}

const char* const PictureDir = "pictures";

} // namespace

std::string WorkerLevelCheck::Picture(const std::string& name, const std::string& bytes,
                                      bool quiet) {
    std::string error;
    if (!WriteLevel(name, bytes, &error))
        return Failure(error);
    // The command names the picture after the level, without its extension.
    const size_t dot = name.find_last_of('.');
    const std::string target = std::string(PictureDir) + "/" +
                               (dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name) +
                               ".png";
    std::remove(target.c_str());
    std::vector<std::string> args = {"levelcheck", "--png", PictureDir};
    if (quiet)
        args.push_back("--quiet");
    args.push_back(name);
    int status = 0;
    const std::string printed = RunCommand(args, nullptr, status);
    const std::string png = ReadFile(target.c_str());
    std::remove(target.c_str());
    return "{\"exitStatus\":" + std::to_string(status) + ",\"output\":" + Quote(printed) +
           ",\"png\":\"" + Base64(png) + "\"}";
}

std::string WorkerLevelCheck::Report(const std::string& name, const std::string& bytes,
                                     const std::string& lines, double frames, double minClear,
                                     bool quiet) {
    std::string error;
    if (!FrameLimit(frames))
        return Failure(BadFrameLimit);
    if (!(minClear <= 100))
        return Failure("the least cleared share is a number up to 100 per cent");
    if (!WriteLevel(name, bytes, &error))
        return Failure(error);
    std::vector<LevelPlayer::Run> runs(angles.size());
    std::vector<bool> have(angles.size(), false);
    std::istringstream in(lines);
    std::string line;
    size_t count = 0;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        int index = -1;
        LevelPlayer::Run run;
        if (!LevelSweep::DecodeRun(line, index, run) || index < 0 ||
            index >= static_cast<int>(runs.size()) || have[static_cast<size_t>(index)]) {
            return Failure("the sweep's runs are not one for each serve angle");
        }
        runs[static_cast<size_t>(index)] = run;
        have[static_cast<size_t>(index)] = true;
        ++count;
    }
    if (count != runs.size())
        return Failure("the sweep's runs are not one for each serve angle");

    const SweepSource source = [&runs](const std::string&, long, std::vector<LevelPlayer::Run>& out,
                                       std::string*) {
        out = runs;
        return true;
    };
    std::remove(CsvFile);
    std::vector<std::string> args = {"levelcheck", "--sweep",
                                     "--jobs",     "1",
                                     "--frames",   std::to_string(static_cast<long>(frames)),
                                     "--csv",      CsvFile};
    if (minClear >= 0) {
        char share[32];
        std::snprintf(share, sizeof share, "%.17g", minClear);
        args.insert(args.end(), {"--min-clear", share});
    }
    if (quiet)
        args.push_back("--quiet");
    args.push_back(name);
    int status = 0;
    const std::string printed = RunCommand(args, source, status);
    return "{\"exitStatus\":" + std::to_string(status) + ",\"output\":" + Quote(printed) +
           ",\"csv\":" + Quote(ReadFile(CsvFile)) + "}";
}
