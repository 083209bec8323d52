// Per-frame cost of the game scene on a full 300-brick grid, headless.
// Run: SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy bench/scene_bench
// (it sets both itself when they are missing). Uses the game's data folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "gameplay/SceneDriver.h"

namespace {

const char* const FullLevel = "/tmp/quadrell-bench-full-level.txt";

void WriteFullLevel() {
    FILE* f = std::fopen(FullLevel, "wb");
    for (int row = 0; row < 15; ++row) {
        for (int col = 0; col < 20; ++col) {
            std::fputs((row + col) % 7 == 0 ? "3S" : "3 ", f);
        }
        std::fputs("\n", f);
    }
    std::fclose(f);
}

SceneDriver& Driver() {
    static std::unique_ptr<SceneDriver> driver;
    if (!driver) {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (chdir(QUADRELL_SOURCE_DIR) != 0) {
            std::abort();
        }
        WriteFullLevel();
        driver = std::make_unique<SceneDriver>();
        std::string error;
        if (!driver->Open(&error)) {
            std::fprintf(stderr, "scene did not open: %s\n", error.c_str());
            std::abort();
        }
    }
    return *driver;
}

// A full grid in play, the ball flying free below it so every frame scans
// all 300 cells without a hit (the most work a frame can do), the computer
// player moving the paddle.
GameScene& PlayingFullGrid() {
    SceneDriver& d = Driver();
    d.ReleaseAll();
    d.StartLevelFile(FullLevel);
    d.scene.autoPlay = true;
    d.scene.state = GameScene::Playing;
    return d.scene;
}

void Park(GameScene& scene) {
    scene.ball.x = 160.0f;
    scene.ball.y = 200.0f;
    scene.ball.angle = 30.0f;
}

void BM_SceneFrame(benchmark::State& state) {
    SceneDriver& d = Driver();
    GameScene& scene = PlayingFullGrid();
    for (auto _ : state) {
        Park(scene);
        d.Step(true); // clear, Draw, RunRound
    }
    if (scene.state != GameScene::Playing || scene.BreakableLeft() != 300) {
        state.SkipWithError("the frame did not stay a full-grid Playing frame");
    }
}
BENCHMARK(BM_SceneFrame)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SceneDraw(benchmark::State& state) {
    SceneDriver& d = Driver();
    GameScene& scene = PlayingFullGrid();
    Park(scene);
    for (auto _ : state) {
        scene.Draw(d.GetScreen());
    }
}
BENCHMARK(BM_SceneDraw)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UpdatePlay(benchmark::State& state) {
    SceneDriver& d = Driver();
    GameScene& scene = PlayingFullGrid();
    for (auto _ : state) {
        Park(scene);
        scene.UpdatePlay(d);
    }
    if (scene.state != GameScene::Playing || scene.BreakableLeft() != 300) {
        state.SkipWithError("the update did not stay a full-grid Playing frame");
    }
}
BENCHMARK(BM_UpdatePlay)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_HudNumbers(benchmark::State& state) {
    SceneDriver& d = Driver();
    GameScene& scene = PlayingFullGrid();
    for (auto _ : state) {
        scene.font.DrawInt(d.GetScreen(), 55, 0, 1);
        scene.font.DrawInt(d.GetScreen(), 130, 0, 3);
        scene.font.DrawInt(d.GetScreen(), 210, 0, 12345);
        scene.font.DrawInt(d.GetScreen(), 300, 0, 62);
    }
}
BENCHMARK(BM_HudNumbers)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LevelLoading(benchmark::State& state) {
    Driver();
    LevelData grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.Loading(FullLevel));
    }
}
BENCHMARK(BM_LevelLoading)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
