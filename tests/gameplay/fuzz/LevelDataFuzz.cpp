// Any byte string as a level file: the reader must stop at its end, never
// write past the 300 cells, and leave only well-formed cells behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "framework/LogFile.h"
#include "gameplay/LevelData.h"

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

} // namespace

// The harness builds the reader from its sources without the game's library,
// so it defines the log the reader writes to; opened on /dev/null below.
LogFile logFile(nullptr);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Long inputs log their extra pairs; over a long run log.txt would grow
    // without end.
    logFile.Open("/dev/null");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LevelData grid;
    grid = LevelData(); // an emptied grid, as Loading starts
    if (size > 0) {
        FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (!stream) {
            return 0;
        }
        grid.ReadFrom(stream, "fuzz input");
        std::fclose(stream);
    }
    for (const BrickCell& cell : grid.cells) {
        Check(cell.kind >= 0 && cell.kind <= 4);
        Check(cell.present == (cell.kind != 0));
        Check(cell.breakable == (cell.kind != 4));
        Check(cell.hasPowerUp == 0 || cell.hasPowerUp == 1);
        Check(cell.rect.w == 0 || (cell.rect.w == 15 && cell.rect.h == 9));
        Check(cell.rect.w != 0 || !cell.present);
        if (cell.present) {
            Check(cell.points == (cell.kind == 1   ? 15
                                  : cell.kind == 2 ? 10
                                  : cell.kind == 3 ? 5
                                                   : 0));
        }
    }
    return 0;
}
