#include <gtest/gtest.h>

#include <string>

#include "gameplay/LevelData.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::TempDir;

struct Loaded {
    bool ok;
    LevelData grid;
};

Loaded LoadBytes(const std::string& bytes) {
    TempDir dir;
    dir.Write("level.txt", bytes);
    Loaded result;
    result.ok = result.grid.Loading(dir.File("level.txt").c_str());
    return result;
}

void ExpectCellAt(const LevelData& grid, int index, int x, int y) {
    const BrickCell& cell = grid.cells[index];
    EXPECT_EQ(x, cell.rect.x) << "cell " << index;
    EXPECT_EQ(y, cell.rect.y) << "cell " << index;
    EXPECT_EQ(15, cell.rect.w) << "cell " << index;
    EXPECT_EQ(9, cell.rect.h) << "cell " << index;
}

void ExpectEmpty(const BrickCell& cell) {
    EXPECT_FALSE(cell.present);
    EXPECT_TRUE(cell.breakable);
    EXPECT_EQ(0, cell.kind);
    EXPECT_EQ(0, cell.points);
}

TEST(LevelDataLoading, BrickCharactersFromTheTable) {
    const Loaded l = LoadBytes("1 2S3 # ");
    ASSERT_TRUE(l.ok);
    struct Expect {
        int kind;
        bool breakable;
        int points;
        int powerUp;
        int x;
    };
    const Expect expect[] = {
        {1, true, 15, 0, 1}, {2, true, 10, 1, 17}, {3, true, 5, 0, 33}, {4, false, 0, 0, 49}};
    for (int i = 0; i < 4; ++i) {
        const BrickCell& cell = l.grid.cells[i];
        EXPECT_TRUE(cell.present) << i;
        EXPECT_EQ(expect[i].kind, cell.kind) << i;
        EXPECT_EQ(expect[i].breakable, cell.breakable) << i;
        EXPECT_EQ(expect[i].points, cell.points) << i;
        EXPECT_EQ(expect[i].powerUp, cell.hasPowerUp) << i;
        ExpectCellAt(l.grid, i, expect[i].x, 1);
    }
    for (int i = 4; i < LevelData::CellCount; ++i) {
        ExpectEmpty(l.grid.cells[i]);
        EXPECT_EQ(0, l.grid.cells[i].rect.w);
    }
}

TEST(LevelDataLoading, LineStructureToldAsBytes) {
    struct Case {
        const char* what;
        std::string bytes;
        int x1, y1; // cell 1
    };
    const Case cases[] = {
        {"line feed starts a new row", "1 \n2 \n", 1, 11},
        {"line feed taken as a modifier", "1\n2 ", 17, 1},
        {"carriage returns skipped", "1 \r\n2 \r\n", 1, 11},
        {"tabs and other control bytes skipped",
         "1 \t\x01\x1f"
         "2 ",
         17, 1},
        {"blank lines still advance", "1 \n\n\n2 ", 1, 31},
    };
    for (const Case& c : cases) {
        const Loaded l = LoadBytes(c.bytes);
        ASSERT_TRUE(l.ok) << c.what;
        ExpectCellAt(l.grid, 0, 1, 1);
        ExpectCellAt(l.grid, 1, c.x1, c.y1);
        EXPECT_EQ(1, l.grid.cells[0].kind) << c.what;
        EXPECT_EQ(2, l.grid.cells[1].kind) << c.what;
    }
}

TEST(LevelDataLoading, OrdinaryAndHighBytesMakeEmptyCellsThatKeepTheirPlace) {
    const Loaded l = LoadBytes(std::string("  ") + " S" + ".0" + "a\xe9" + "\x80\xff" + "1 ");
    ASSERT_TRUE(l.ok);
    for (int i = 0; i < 5; ++i) {
        ExpectEmpty(l.grid.cells[i]);
    }
    EXPECT_EQ(1, l.grid.cells[1].hasPowerUp); // (space, S) marks an empty cell
    EXPECT_EQ(1, l.grid.cells[5].kind);
    ExpectCellAt(l.grid, 5, 81, 1);
}

TEST(LevelDataLoading, ModifierMayBeEndOfFileAndLinesAreUnlimited) {
    const Loaded l = LoadBytes(std::string(42, '1') + "3");
    ASSERT_TRUE(l.ok);
    ExpectCellAt(l.grid, 20, 321, 1); // 21st pair lies right of the screen
    EXPECT_EQ(3, l.grid.cells[21].kind);
    ExpectCellAt(l.grid, 21, 337, 1);
}

TEST(LevelDataLoading, EmptyFileAndSolidOnlyGridsLoad) {
    const Loaded empty = LoadBytes("");
    EXPECT_TRUE(empty.ok);
    for (const BrickCell& cell : empty.grid.cells) {
        EXPECT_FALSE(cell.present);
    }
    const Loaded solid = LoadBytes("# # ");
    EXPECT_TRUE(solid.ok);
    EXPECT_FALSE(solid.grid.cells[1].breakable);
}

TEST(LevelDataLoading, MissingFileEmptiesOnlyTheGridBeingLoadedAndIsLogged) {
    LevelData file;
    LevelData live;
    ASSERT_TRUE(LoadBytes("3S").grid.cells[0].present);
    TempDir dir;
    dir.Write("level.txt", "3S");
    ASSERT_TRUE(file.Loading(dir.File("level.txt").c_str()));
    file.CopyTo(live);
    EXPECT_EQ(3, live.cells[0].kind);
    EXPECT_EQ(1, live.cells[0].hasPowerUp);

    // Missing, or a folder that opens but cannot be read: both unreadable.
    dir.Write("folder.txt/keep", "");
    for (const std::string& unreadable : {dir.File("nope.txt"), dir.File("folder.txt")}) {
        ASSERT_TRUE(file.Loading(dir.File("level.txt").c_str()));
        EXPECT_FALSE(file.Loading(unreadable.c_str())) << unreadable;
        EXPECT_FALSE(file.cells[0].present) << unreadable;
        EXPECT_TRUE(live.cells[0].present);
        const std::string log = testsupport::ReadFile("log.txt");
        EXPECT_NE(std::string::npos,
                  log.find("  LevelData::Loading - Unknown level file: " + unreadable));
    }
}

TEST(LevelDataLoading, PairsBeyondThe300thAreIgnoredWithOneLogLine) {
    TempDir dir;
    std::string bytes;
    for (int row = 0; row < 20; ++row) { // 400 pairs
        bytes += std::string(20, '2').replace(0, 2, "3S") + std::string(20, '1') + "\n";
    }
    dir.Write("big.txt", bytes);
    LevelData grid;
    ASSERT_TRUE(grid.Loading(dir.File("big.txt").c_str()));
    EXPECT_EQ(3, grid.cells[0].kind);
    EXPECT_EQ(1, grid.cells[299].kind);
    ExpectCellAt(grid, 299, 16 * 19 + 1, 141);
    const std::string log = testsupport::ReadFile("log.txt");
    const std::string line =
        "  LevelData::Loading - More than 300 bricks, the rest ignored: " + dir.File("big.txt");
    const size_t first = log.find(line);
    EXPECT_NE(std::string::npos, first);
    EXPECT_EQ(std::string::npos, log.find(line, first + 1)) << "logged once";
}

} // namespace
