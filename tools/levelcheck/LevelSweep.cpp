#include "tools/levelcheck/LevelSweep.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "gameplay/Ball.h"
#include "gameplay/SceneDriver.h"

namespace {

const char* OutcomeName(LevelPlayer::Outcome outcome) {
    switch (outcome) {
    case LevelPlayer::Cleared:
        return "cleared";
    case LevelPlayer::Loops:
        return "loops";
    case LevelPlayer::Caged:
        return "caged";
    case LevelPlayer::AllBallsLost:
        return "lost";
    case LevelPlayer::FrameLimit:
        return "limit";
    case LevelPlayer::Stopped:
        return "stopped";
    default:
        return "not-started";
    }
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// One run as a line between worker and parent; %a keeps the angle exact.
void WriteRun(FILE* to, int index, const LevelPlayer::Run& r) {
    std::fprintf(to, "%d %d %ld %d %d %d %d %d %d %a %ld %ld %d %a\n", index,
                 static_cast<int>(r.outcome), r.frames, r.ballsLost, r.capsules, r.bricksLeft,
                 r.firstLeft, r.endState, r.points, static_cast<double>(r.angle), r.loopStart,
                 r.loopLength, r.cageCell, static_cast<double>(r.servedAt));
    std::fflush(to);
}

bool ReadRun(const char* line, int& index, LevelPlayer::Run& r) {
    int outcome;
    double angle, servedAt;
    if (std::sscanf(line, "%d %d %ld %d %d %d %d %d %d %la %ld %ld %d %la", &index, &outcome,
                    &r.frames, &r.ballsLost, &r.capsules, &r.bricksLeft, &r.firstLeft, &r.endState,
                    &r.points, &angle, &r.loopStart, &r.loopLength, &r.cageCell, &servedAt) != 14) {
        return false;
    }
    r.outcome = static_cast<LevelPlayer::Outcome>(outcome);
    r.angle = static_cast<float>(angle);
    r.servedAt = static_cast<float>(servedAt);
    return true;
}

} // namespace

std::string LevelSweep::EncodeRun(int index, const Run& run) {
    char* text = nullptr;
    size_t size = 0;
    FILE* line = open_memstream(&text, &size);
    if (!line)
        return "";
    WriteRun(line, index, run);
    std::fclose(line);
    std::string encoded(text, size);
    std::free(text);
    return encoded;
}

bool LevelSweep::DecodeRun(const std::string& line, int& index, Run& run) {
    return ReadRun(line.c_str(), index, run);
}

std::vector<float> LevelSweep::ServeAngles() {
    // A serve leaves at 90 + RandomInt(45, -45) degrees through the ball's
    // SetAngle. RandomInt takes r = rand() % 32768 to 45 + trunc(r * -89 /
    // 32768): every integer from 45 down to -43 (a step in r moves it by
    // less than one), so the serve is an integer from 47 to 135. SetAngle
    // folds 80 to 89 into 80 and 90 to 110 into 110, which leaves 60
    // distinct angles: 47 to 80 and 110 to 135. Going through every r
    // (cheap) and the ball's own SetAngle keeps this list tied to the game.
    std::vector<float> angles;
    for (int r = 0; r < 32768; ++r) {
        const int value = 45 + static_cast<int>(static_cast<double>(r) * (-45 - 45 + 1) / 32768.0);
        Ball ball;
        ball.SetAngle(static_cast<float>(90 + value));
        if (std::find(angles.begin(), angles.end(), ball.angle) == angles.end())
            angles.push_back(ball.angle);
    }
    std::sort(angles.begin(), angles.end());
    return angles;
}

LevelSweep::LevelSweep(int count) : workerCount(count) {}

LevelSweep::~LevelSweep() {
    StopWorkers();
}

bool LevelSweep::StartWorkers(std::string* error) {
    if (workerCount < 2)
        return true;
    // A worker that dies must not take the parent down with a write.
    signal(SIGPIPE, SIG_IGN);
    // Anything buffered would be written again by every child.
    std::fflush(nullptr);
    for (int k = 0; k < workerCount; ++k) {
        int toWorker[2], fromWorker[2];
        if (pipe(toWorker) != 0) {
            if (error)
                *error = std::string("cannot make a pipe: ") + std::strerror(errno);
            return false;
        }
        if (pipe(fromWorker) != 0) {
            close(toWorker[0]);
            close(toWorker[1]);
            if (error)
                *error = std::string("cannot make a pipe: ") + std::strerror(errno);
            return false;
        }
        pid_t pid = fork();
        if (pid == 0) {
            close(toWorker[1]);
            close(fromWorker[0]);
            for (const Worker& other : workers) {
                close(fileno(other.jobs));
                close(fileno(other.results));
            }
            WorkerMain(toWorker[0], fromWorker[1]);
        }
        close(toWorker[0]);
        close(fromWorker[1]);
        if (pid < 0) {
            close(toWorker[1]);
            close(fromWorker[0]);
            if (error)
                *error = std::string("cannot start a worker: ") + std::strerror(errno);
            return false;
        }
        Worker worker;
        worker.pid = pid;
        worker.jobs = fdopen(toWorker[1], "w");
        worker.results = fdopen(fromWorker[0], "r");
        workers.push_back(worker);
    }
    for (const Worker& worker : workers) {
        char line[512] = "";
        if (!std::fgets(line, sizeof line, worker.results) || std::strcmp(line, "ready\n") != 0) {
            std::string why = std::strncmp(line, "error ", 6) == 0 ? line + 6 : "it stopped";
            if (!why.empty() && why.back() == '\n')
                why.pop_back();
            if (error)
                *error = "a sweep worker could not start: " + why;
            StopWorkers();
            return false;
        }
    }
    return true;
}

void LevelSweep::WorkerMain(int jobsFd, int resultsFd) {
    FILE* jobs = fdopen(jobsFd, "r");
    FILE* results = fdopen(resultsFd, "w");
    // The shell greets on standard output at start-up; the parent's report
    // is the only thing that belongs there.
    int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0)
        dup2(devNull, STDOUT_FILENO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    {
        SceneDriver driver;
        std::string why;
        if (!jobs || !results || !driver.Open(&why)) {
            if (results)
                std::fprintf(results, "error %s\n", why.c_str());
            if (results)
                std::fflush(results);
            _exit(1);
        }
        std::fprintf(results, "ready\n");
        std::fflush(results);
        const std::vector<float> angles = ServeAngles();
        LevelPlayer player(driver);
        // Job: "index frames length\n" and the path's bytes.
        char header[128];
        while (std::fgets(header, sizeof header, jobs)) {
            int index;
            long frames;
            size_t length;
            if (std::sscanf(header, "%d %ld %zu", &index, &frames, &length) != 3 || index < 0 ||
                index >= static_cast<int>(angles.size()) || length > 65536) {
                break;
            }
            std::string path(length, '\0');
            if (std::fread(&path[0], 1, length, jobs) != length)
                break;
            WriteRun(results, index,
                     player.PlayAt(path, angles[static_cast<size_t>(index)], frames, true));
        }
    }
    // No exit handlers: they belong to the parent (and so does its log).
    _exit(0);
}

void LevelSweep::StopWorkers() {
    for (Worker& worker : workers) {
        if (worker.jobs)
            std::fclose(worker.jobs);
        if (worker.results)
            std::fclose(worker.results);
        int status;
        while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    workers.clear();
}

bool LevelSweep::Sweep(const std::string& path, long maxFrames, SceneDriver* driver,
                       std::vector<Run>& runs, std::string* error) {
    const std::vector<float> angles = ServeAngles();
    const int count = static_cast<int>(angles.size());
    runs.assign(angles.size(), Run{});
    if (workers.empty()) {
        if (!driver) {
            if (error)
                *error = "no scene to play on";
            return false;
        }
        LevelPlayer player(*driver);
        for (int i = 0; i < count; ++i)
            runs[static_cast<size_t>(i)] = player.PlayAt(path, angles[i], maxFrames, true);
        return true;
    }
    // The workers stay in the folder their scene loaded its data from, not
    // in ours, so they get the level's absolute path.
    std::string where = path;
    if (where.empty() || where[0] != '/') {
        char* cwd = getcwd(nullptr, 0);
        if (cwd)
            where = std::string(cwd) + "/" + path;
        std::free(cwd);
    }
    // Each worker has at most one run outstanding and gets the next angle as
    // soon as it answers; every answer carries its angle's index.
    auto send = [&](Worker& worker, int index) {
        std::fprintf(worker.jobs, "%d %ld %zu\n", index, maxFrames, where.size());
        std::fwrite(where.data(), 1, where.size(), worker.jobs);
        return std::fflush(worker.jobs) == 0;
    };
    std::vector<int> busy(workers.size(), -1);
    int next = 0, done = 0;
    bool failed = false;
    for (size_t k = 0; k < workers.size() && next < count; ++k) {
        if (!send(workers[k], next))
            failed = true;
        busy[k] = next++;
    }
    while (!failed && done < count) {
        std::vector<pollfd> waits;
        std::vector<size_t> owners;
        for (size_t k = 0; k < workers.size(); ++k) {
            if (busy[k] < 0)
                continue;
            waits.push_back(pollfd{fileno(workers[k].results), POLLIN, 0});
            owners.push_back(k);
        }
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            failed = true;
            break;
        }
        for (size_t w = 0; w < waits.size() && !failed; ++w) {
            if (!waits[w].revents)
                continue;
            Worker& worker = workers[owners[w]];
            char line[512];
            int index;
            Run run;
            if (!std::fgets(line, sizeof line, worker.results) || !ReadRun(line, index, run) ||
                index != busy[owners[w]]) {
                failed = true;
                break;
            }
            runs[static_cast<size_t>(index)] = run;
            ++done;
            busy[owners[w]] = -1;
            if (next < count) {
                if (!send(worker, next))
                    failed = true;
                busy[owners[w]] = next++;
            }
        }
    }
    if (failed) {
        if (error)
            *error = "a sweep worker stopped before the sweep was done";
        StopWorkers();
        return false;
    }
    return true;
}

double LevelSweep::ClearShare(const std::vector<Run>& runs) {
    if (runs.empty())
        return 0.0;
    auto cleared = std::count_if(runs.begin(), runs.end(),
                                 [](const Run& r) { return r.outcome == LevelPlayer::Cleared; });
    return 100.0 * static_cast<double>(cleared) / static_cast<double>(runs.size());
}

std::string LevelSweep::Summary(const std::vector<Run>& runs) {
    std::vector<long> frames, lost;
    size_t caged = 0;
    for (const Run& run : runs) {
        if (run.outcome == LevelPlayer::Caged)
            ++caged;
        if (run.outcome != LevelPlayer::Cleared)
            continue;
        frames.push_back(run.frames);
        lost.push_back(run.ballsLost);
    }
    std::string text =
        Format("%zu serves, cleared %zu (%.1f%%)", runs.size(), frames.size(), ClearShare(runs));
    if (caged)
        text += Format(", caged %zu", caged);
    text += "; frames to clear ";
    if (frames.empty())
        return text + "none";
    long least = *std::min_element(frames.begin(), frames.end());
    long most = *std::max_element(frames.begin(), frames.end());
    long middle = LevelPlayer::Median(frames);
    return text + Format("min %ld (%.1f min), median %ld (%.1f min), max %ld (%.1f min); balls "
                         "lost median %ld",
                         least, LevelPlayer::Minutes(least), middle, LevelPlayer::Minutes(middle),
                         most, LevelPlayer::Minutes(most), LevelPlayer::Median(lost));
}

std::string LevelSweep::Failure(const Run& run) {
    const std::string serve = Format("serve at %g degrees", static_cast<double>(run.angle));
    switch (run.outcome) {
    case LevelPlayer::Loops:
        return serve +
               Format(" loops from frame %ld (every %ld frames)", run.loopStart, run.loopLength);
    case LevelPlayer::Caged:
        return serve + Format(" cages the ball from frame %ld (every %ld frames)", run.loopStart,
                              run.loopLength);
    case LevelPlayer::FrameLimit:
        return serve + Format(" still playing after %ld frames", run.frames);
    case LevelPlayer::AllBallsLost:
        return serve + Format(" lost every ball after %ld frames", run.frames);
    case LevelPlayer::Stopped:
        return serve + Format(" stopped in round state %d", run.endState);
    case LevelPlayer::Cleared:
        return serve + " cleared the level";
    default:
        return serve + ": the game did not start the level";
    }
}

const char* LevelSweep::CsvHeader() {
    return "file,angle,cleared,frames,balls_lost,points,outcome,loop_start,bricks_left";
}

std::string LevelSweep::CsvRow(const std::string& path, const Run& run) {
    std::string file = path;
    if (file.find_first_of(",\"\r\n") != std::string::npos) {
        std::string quoted = "\"";
        for (char c : file) {
            if (c == '"')
                quoted += '"';
            quoted += c;
        }
        file = quoted + "\"";
    }
    return file + Format(",%g,%d,%ld,%d,%d,%s,%ld,%d", static_cast<double>(run.angle),
                         run.outcome == LevelPlayer::Cleared ? 1 : 0, run.frames, run.ballsLost,
                         run.points, OutcomeName(run.outcome), run.loopStart, run.bricksLeft);
}
