#include "tests/e2e/RealWindow.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace e2e {

namespace {

std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "e2e: command failed: %s\n", command.c_str());
    }
}

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point since) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

} // namespace

template <typename Test> int Shot::Count(int x, int y, int w, int h, Test test) const {
    if (!Valid())
        return 0;
    int count = 0;
    for (int yy = std::max(y, 0); yy < std::min(y + h, Height); ++yy) {
        for (int xx = std::max(x, 0); xx < std::min(x + w, Width); ++xx) {
            const uint8_t* p = &rgb[(yy * Width + xx) * 3];
            count += test(p[0], p[1], p[2]) ? 1 : 0;
        }
    }
    return count;
}

int Shot::Bright(int x, int y, int w, int h) const {
    return Count(x, y, w, h, [](int r, int g, int b) { return r > 180 && g > 180 && b > 180; });
}

int Shot::Lit(int x, int y, int w, int h) const {
    return Count(x, y, w, h, [](int r, int g, int b) { return r + g + b > 30; });
}

int Shot::Coloured(int x, int y, int w, int h) const {
    return Count(x, y, w, h, [](int r, int g, int b) {
        return std::max({r, g, b}) - std::min({r, g, b}) > 60;
    });
}

bool Shot::SameAs(const Shot& other, int x, int y, int w, int h) const {
    if (!Valid() || !other.Valid())
        return false;
    for (int yy = y; yy < y + h; ++yy) {
        for (int xx = x; xx < x + w; ++xx) {
            const size_t i = (yy * Width + xx) * 3;
            if (rgb[i] != other.rgb[i] || rgb[i + 1] != other.rgb[i + 1] ||
                rgb[i + 2] != other.rgb[i + 2]) {
                return false;
            }
        }
    }
    return true;
}

bool Shot::IsTitleMenu() const {
    // "New Game" on the first row, nothing at the top or right of it, and
    // no "Exit" row below "Exit" as the options screen has.
    return Bright(40, 52, 150, 22) > 30 && Lit(0, 0, 320, 40) == 0 && Lit(200, 48, 120, 120) == 0 &&
           Bright(40, 172, 150, 14) == 0;
}

bool Shot::IsOptions() const {
    // Values at x 220 on the first four rows, nothing above the menu.
    return Lit(0, 0, 320, 40) == 0 && Bright(218, 52, 90, 22) > 10 && Bright(218, 142, 90, 22) > 10;
}

bool Shot::IsCredits() const {
    // Small text from y 30 on, nothing at the left where the arrow would be.
    return Bright(10, 30, 120, 16) > 20 && Lit(0, 0, 320, 28) == 0 && Lit(12, 50, 17, 130) == 0;
}

bool Shot::IsGame() const {
    return Bright(0, 0, 320, 18) > 30 && Coloured(0, 20, 320, 150) > 0;
}

bool Shot::HasStateText() const {
    return Bright(100, 160, 130, 18) > 20;
}

int Shot::ArrowRow() const {
    int found = -1;
    for (int row = 0; row < 5; ++row) {
        if (Lit(12, 55 + 30 * row, 22, 22) > 20) {
            if (found != -1)
                return -1;
            found = row;
        }
    }
    return found;
}

Game::Game() {
    const std::string data = testsupport::SourceDir() + "/data/";
    for (const char* folder : {"images", "sounds", "fonts"})
        dir.Link(std::string("data/") + folder, data + folder);
}

Game::~Game() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool Game::Start(const std::string& levels) {
    dir.Link("data/levels", testsupport::SourceDir() + "/tests/e2e/levels/" + levels);
    pid = fork();
    if (pid == 0) {
        if (chdir(dir.Path().c_str()) != 0)
            _exit(126);
        if (!freopen("output.txt", "w", stdout) || !freopen("output.txt", "a", stderr))
            _exit(126);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL12COMPAT_WINDOW_SCALING");
        execl(QUADRELL_PROGRAM, QUADRELL_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        return false;
    const auto start = Clock::now();
    while (ElapsedMs(start) < 30000) {
        const std::string found = CommandOutput("xdotool search --onlyvisible --pid " +
                                                std::to_string(pid) + " 2>/dev/null");
        if (!found.empty()) {
            window = found.substr(0, found.find('\n'));
            Run("xdotool windowfocus --sync " + window);
            return true;
        }
        if (!Running())
            return false;
        Sleep(100);
    }
    return false;
}

Shot Game::Take() const {
    std::string bytes = CommandOutput("import -window " + window + " -depth 8 rgb:- 2>/dev/null");
    return Shot(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void Game::Press(const std::string& key) const {
    // One xdotool process, so the hold time does not depend on start-up.
    Run("xdotool keydown " + key + " sleep 0.1 keyup " + key);
}

void Game::Hold(const std::string& key, bool held) const {
    Run(std::string("xdotool ") + (held ? "keydown " : "keyup ") + key);
}

void Game::PressAAndB() const {
    // Short: a combination still held 100 ms later would also end the
    // program from the title menu it has just returned to.
    Run("xdotool keydown a keydown b sleep 0.05 keyup b keyup a");
}

bool Game::WaitFor(const std::function<bool(const Shot&)>& test, int timeoutMs,
                   const std::string& what, Shot* last) const {
    const auto start = Clock::now();
    Shot shot;
    do {
        shot = Take();
        if (shot.Valid() && test(shot)) {
            if (last)
                *last = shot;
            return true;
        }
        Sleep(50);
    } while (ElapsedMs(start) < timeoutMs);
    Save(shot, what);
    if (last)
        *last = shot;
    return false;
}

bool Game::PressUntil(const std::string& key, const std::function<bool(const Shot&)>& test,
                      const std::string& what) const {
    Press(key);
    if (WaitFor(test, 4000, what + "-first-try"))
        return true;
    Press(key);
    return WaitFor(test, 8000, what);
}

int Game::PressUntilExit(const std::string& key) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (key.empty()) {
            PressAAndB();
        } else {
            Press(key);
        }
        const int status = WaitExit(attempt == 0 ? 4000 : 10000);
        if (status != -1)
            return status;
    }
    return -1;
}

bool Game::Running() {
    if (pid <= 0)
        return false;
    return waitpid(pid, nullptr, WNOHANG) == 0;
}

int Game::WaitExit(int timeoutMs) {
    const auto start = Clock::now();
    while (pid > 0 && ElapsedMs(start) < timeoutMs) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        Sleep(50);
    }
    return -1;
}

std::string Game::Log() const {
    return testsupport::ReadFile(dir.File("log.txt"));
}

std::string Game::Output() const {
    return testsupport::ReadFile(dir.File("output.txt"));
}

void Game::Save(const Shot& shot, const std::string& name) const {
    if (!shot.Valid())
        return;
    const std::string raw = std::string(QUADRELL_E2E_OUTPUT) + "/" + name + ".rgb";
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(shot.Bytes().data()),
               static_cast<std::streamsize>(shot.Bytes().size()));
    Run("/usr/bin/convert -size 320x240 -depth 8 rgb:" + raw + " " + QUADRELL_E2E_OUTPUT + "/" +
        name + ".png && rm -f " + raw);
    std::fprintf(stderr, "e2e: screenshot kept as %s/%s.png\n", QUADRELL_E2E_OUTPUT, name.c_str());
}

} // namespace e2e
