// ballsurvey: how often the ball gets stuck, with and without the wedge
// guard, on random levels with solid bricks. Every serve angle of every
// level is played twice with the computer player (guard off, then on);
// see BallSurvey.h. CPU-heavy: a thousand levels take some 25 minutes on
// one core, so run it niced:
//
//   nice -n 10 build/tools/ballsurvey [--levels N] [--seed S] [--frames F] [--data DIR]
//
// Exit status: 0 when no run with the guard wedges the ball and every run
// keeps to the old rule until the guard first acts, 1 when one does not,
// 2 for a wrong command line or when the game's data cannot be opened.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/LogFile.h"
#include "gameplay/SceneDriver.h"
#include "tools/ballsurvey/BallSurvey.h"
#include "tools/levelcheck/GameDataFolder.h"

// Like levelcheck, no log.txt in the folder it is run from.
LogFile logFile(nullptr);

namespace {

const char* const Usage =
    "usage: ballsurvey [--levels N] [--seed S] [--frames F] [--data DIR]\n"
    "  --levels N  random levels to play (default 1000)\n"
    "  --seed S    the first level's seed; level k has seed S + k (default 1)\n"
    "  --frames F  give up a run after F frames (default 200000)\n"
    "  --data DIR  the game's data (default: data/ here, else the installed data)\n";

bool Number(const char* text, long low, long& value) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < low)
        return false;
    value = v;
    return true;
}

double PerThousand(long count, long serves) {
    return serves ? 1000.0 * count / serves : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    long levels = 1000, seed = 1, frames = 200000;
    std::string data;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = next != nullptr;
        if (arg == "--levels") {
            ok = ok && Number(next, 1, levels);
        } else if (arg == "--seed") {
            ok = ok && Number(next, 0, seed);
        } else if (arg == "--frames") {
            ok = ok && Number(next, 1, frames);
        } else if (arg == "--data") {
            data = next ? next : "";
            ok = ok && !data.empty();
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "ballsurvey: bad argument %s\n%s", arg.c_str(), Usage);
            return 2;
        }
        ++i;
    }

    char scratch[] = "/tmp/ballsurvey.XXXXXX";
    if (!mkdtemp(scratch)) {
        std::fprintf(stderr, "ballsurvey: cannot make a scratch folder (%s)\n",
                     std::strerror(errno));
        return 2;
    }
    const std::string levelPath = std::string(scratch) + "/level.txt";
    GameDataFolder folder;
    std::string error;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SceneDriver driver;
    if (!folder.Find(data, &error) || !folder.Enter(&error) || !driver.Open(&error)) {
        std::fprintf(stderr, "ballsurvey: %s\n", error.c_str());
        rmdir(scratch);
        return 2;
    }

    BallSurvey survey(driver, frames);
    BallSurvey::Tally tally;
    for (long k = 0; k < levels; ++k) {
        FILE* file = std::fopen(levelPath.c_str(), "wb");
        const std::string text = BallSurvey::RandomLevel(static_cast<uint32_t>(seed + k));
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "ballsurvey: cannot write %s\n", levelPath.c_str());
            return 2;
        }
        survey.Survey(levelPath, tally);
        if ((k + 1) % 100 == 0)
            std::fprintf(stderr, "ballsurvey: %ld levels played\n", k + 1);
    }
    std::remove(levelPath.c_str());
    rmdir(scratch);

    std::printf("\nballsurvey: %ld random levels with solid bricks (seeds %ld to %ld), %ld serves: "
                "every serve\n"
                "angle, computer player, frame cap %ld\n\n",
                levels, seed, seed + levels - 1, tally.serves, frames);
    std::printf("%-36s %20s %20s\n", "per 1,000 serves", "guard off (old rule)", "guard on");
    for (int end = 0; end < BallSurvey::EndCount; ++end) {
        std::printf("%-36s %12.1f (%5ld) %12.1f (%5ld)\n", BallSurvey::EndName(end),
                    PerThousand(tally.before[end], tally.serves), tally.before[end],
                    PerThousand(tally.after[end], tally.serves), tally.after[end]);
    }
    std::printf("\nthe guard acted in %ld runs; in %ld of them the first frame that differs from "
                "the old rule is\n"
                "the guard's first turn; %ld of the %ld runs in which it never acted are the old "
                "run in every frame\n"
                "(each frame's whole play state compared as a 64-bit hash)\n",
                tally.guardActed, tally.diffAtTurn, tally.untouchedSame,
                tally.serves - tally.guardActed);
    const bool good = tally.after[BallSurvey::Wedged] == 0 && tally.mismatches == 0;
    if (tally.mismatches)
        std::printf("first mismatch: %s\n", tally.firstMismatch.c_str());
    std::printf("%s\n",
                good ? "ok: no wedged ball with the guard, and the old rule kept until it acts"
                     : "FAILED: see above");
    return good ? 0 : 1;
}
