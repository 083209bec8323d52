// The recorded replay built for the browser: the game's sources compiled by
// emscripten with the browser build's C library and its glibc-compatible
// rand(), run under node on the browser SDL (web/sdl/, headless). Prints the first
// line that differs from expected.txt and exits 1, or exits 0 when the run
// matches it.
//
//   node replay-web.js <tests/gameplay/replay> <scratch folder>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "tests/gameplay/ReplayDump.h"
#include "tests/support/MediaFixtures.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

// The scene's data as the desktop test writes it (tests/gameplay/SceneHarness):
// only the pictures' sizes count for play.
bool WriteSceneData(const std::string& root, const std::string& replayDir,
                    const std::string& font) {
    using fixtures::Rgb;
    for (const char* dir :
         {"/data", "/data/images", "/data/sounds", "/data/fonts", "/data/levels"}) {
        mkdir((root + dir).c_str(), 0755);
    }
    struct Picture {
        const char* name;
        int w, h;
    };
    const Picture pictures[] = {{"paddle", 32, 6},   {"ball", 4, 4},      {"brick001", 15, 9},
                                {"brick002", 15, 9}, {"brick003", 15, 9}, {"brick501", 15, 9},
                                {"pshot", 16, 16},   {"fire", 8, 12}};
    bool ok = true;
    for (const Picture& p : pictures) {
        ok = ok && fixtures::WriteBytes(root + "/data/images/" + p.name + ".png",
                                        fixtures::SolidPngBytes(p.w, p.h, Rgb{248, 0, 0}));
    }
    ok = ok && fixtures::WriteBytes(root + "/data/sounds/hit.wav", fixtures::WavBytes(2000));
    ok = ok && fixtures::WriteBytes(root + "/data/sounds/gameover.wav", fixtures::WavBytes(2000));
    ok = ok && Write(root + "/data/fonts/nocontrol.ttf", Read(font));
    for (const char* level : {"level1.txt", "level2.txt"}) {
        ok = ok && Write(root + "/data/levels/" + level, Read(replayDir + "/" + level));
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: replay-web REPLAY_DIR SCRATCH_DIR FONT\n");
        return 2;
    }
    const std::string replayDir = argv[1], root = argv[2];
    if (!WriteSceneData(root, replayDir, argv[3]) || chdir(root.c_str()) != 0) {
        std::fprintf(stderr, "replay-web: cannot write the scene's data in %s\n", root.c_str());
        return 2;
    }
    SceneDriver driver;
    std::string error;
    if (!driver.Open(&error)) {
        std::fprintf(stderr, "replay-web: %s\n", error.c_str());
        return 2;
    }
    GameScene& scene = driver.scene;
    // As the desktop test's StartGame: a fixed serve and clock, guard on.
    uint32_t now = 1000;
    static uint32_t* clock = &now;
    scene.clock = [] { return *clock; };
    scene.serveSeed = 7u;
    scene.wedgeGuard = true;
    scene.NewGame();
    if (!scene.StartLevel(true)) {
        std::fprintf(stderr, "replay-web: cannot read %s/level1.txt\n", replayDir.c_str());
        return 2;
    }
    const std::string dump = replay::Record(driver, now);
    const std::string expected = Read(replayDir + "/expected.txt");
    std::istringstream got(dump), want(expected);
    std::string a, b;
    for (int line = 1; std::getline(want, b); ++line) {
        if (!std::getline(got, a) || a != b) {
            std::printf("line %d differs\nexpected: %s\n     got: %s\n", line, b.c_str(),
                        a.c_str());
            return 1;
        }
    }
    if (std::getline(got, a)) {
        std::printf("more lines than expected: %s\n", a.c_str());
        return 1;
    }
    std::printf("the replay matches expected.txt (%zu bytes)\n", dump.size());
    return 0;
}
