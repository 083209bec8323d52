// Cost of levelcheck's static check of one level file (what a designer's
// editor reruns after every change), and of its walled-in brick part alone.
// Run: bench/levelcheck_bench from the build folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "tools/levelcheck/LevelReach.h"
#include "tools/levelcheck/LevelReport.h"

namespace {

// Full grids: every cell a three-hit brick (one open playfield to flood),
// and rows of one-hit bricks each walled in by solid ones (150 pockets).
std::string WriteLevel(const char* name, bool pockets) {
    std::string path = std::string("/tmp/quadrell-bench-") + name + ".txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    for (int row = 0; row < 15; ++row) {
        for (int col = 0; col < 20; ++col) {
            bool solid = pockets && (row % 2 == 0 || col % 2 == 0);
            std::fputs(solid ? "# " : pockets ? "1 " : "3 ", f);
        }
        std::fputs("\n", f);
    }
    std::fclose(f);
    return path;
}

void BM_Check(benchmark::State& state, bool pockets) {
    const std::string path = WriteLevel(pockets ? "pockets" : "full", pockets);
    for (auto _ : state) {
        LevelReport report;
        report.Check(path);
        benchmark::DoNotOptimize(report.diagnostics.data());
    }
}
BENCHMARK_CAPTURE(BM_Check, full_grid, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Check, walled_pockets, true)->Unit(benchmark::kMillisecond);

void BM_Reach(benchmark::State& state) {
    LevelData grid;
    grid.Loading(WriteLevel("full", false).c_str());
    LevelReach reach;
    for (auto _ : state) {
        reach.Compute(grid);
        benchmark::DoNotOptimize(reach.closedIn.data());
    }
}
BENCHMARK(BM_Reach)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
