#include "tools/levelcheck/LevelReach.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A grid drawn one character per cell, as levelcheck's preview shows it
// ("1", "2", "3", "#", "." for empty), read by the game's loader.
LevelData Grid(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        for (char c : row)
            text += std::string(1, c) + " ";
        text += "\n";
    }
    LevelData grid;
    FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    grid.ReadFrom(stream, "test");
    std::fclose(stream);
    return grid;
}

// Cell index of a grid position; the rows above hold 20 cells each.
int Cell(const LevelData& grid, int row, int col) {
    for (int n = 0; n < LevelData::CellCount; ++n) {
        if (grid.cells[n].rect.x == 16 * col + 1 && grid.cells[n].rect.y == 10 * row + 1)
            return n;
    }
    return -1;
}

using Groups = std::vector<std::vector<int>>;

Groups ClosedIn(const LevelData& grid) {
    LevelReach reach;
    reach.Compute(grid);
    EXPECT_TRUE(reach.known);
    return reach.closedIn;
}

TEST(LevelReach, SolidRingsCloseInWhateverCornersTheyLeaveOpen) {
    // Two pockets, one message each: the ball cannot pass the 1-pixel gaps.
    LevelData rings =
        Grid({"", "", "", "", "....###....####", "....#1#....#23#", "....###....####"});
    EXPECT_EQ(ClosedIn(rings),
              (Groups{{Cell(rings, 5, 5)}, {Cell(rings, 5, 12), Cell(rings, 5, 13)}}));
    // Nor squeeze past two bricks that meet only at a corner.
    for (const std::vector<std::string>& rows :
         {std::vector<std::string>{"", "", "", "", ".....##", "....#1#", "....###"},
          std::vector<std::string>{"", "", "", "", ".....#.", "....#1#", ".....#."}}) {
        LevelData grid = Grid(rows);
        EXPECT_EQ(ClosedIn(grid), (Groups{{Cell(grid, 5, 5)}})) << rows[4] << "/" << rows[6];
    }
}

TEST(LevelReach, OneCellOpensAPocketAndBreakableWallsGiveWay) {
    for (const std::vector<std::string>& rows :
         {std::vector<std::string>{"", "", "", "", "....#.#", "....#1#", "....###"},
          std::vector<std::string>{"", "", "", "", "....###", "....#1.", "....###"},
          std::vector<std::string>{"", "", "", "", "....###", "....#1#", "....#.#"},
          // The wall's one breakable brick breaks, and the ball goes in.
          std::vector<std::string>{"", "", "", "", "....###", "....#12", "....###"}}) {
        EXPECT_EQ(ClosedIn(Grid(rows)), Groups{}) << rows[4] << "/" << rows[5] << "/" << rows[6];
    }
}

TEST(LevelReach, WallsCloseAndTheCorridorAboveOpens) {
    // Against the left and the right wall, the wall is the pocket's side.
    LevelData sides =
        Grid({"", "", "", "##................##", "1#................#3", "##................##"});
    EXPECT_EQ(ClosedIn(sides), (Groups{{Cell(sides, 4, 0)}, {Cell(sides, 4, 19)}}));
    // In the top row a cup is open to the corridor above the grid...
    LevelData cup = Grid({"#1#..........#2", "###..........##"});
    EXPECT_EQ(ClosedIn(cup), Groups{});
    // ...unless a solid row from wall to wall shuts the corridor off: then
    // everything above it is one pocket.
    LevelData shut = Grid({"1..........2.3", "", "####################"});
    EXPECT_EQ(ClosedIn(shut), (Groups{{Cell(shut, 0, 0), Cell(shut, 0, 11), Cell(shut, 0, 13)}}));
}

TEST(LevelReach, TheBallsSizeDecides) {
    // A ball much bigger than the game's cannot pass a one-cell opening.
    LevelData ring = Grid({"", "", "", "", "....#.#", "....#1#", "....###"});
    Ball big = LevelReach::ServedBall();
    big.radius = 9;
    LevelReach reach;
    reach.Compute(ring, big);
    EXPECT_EQ(reach.closedIn, (Groups{{Cell(ring, 5, 5)}}));
}

TEST(LevelReach, AServeSpotInsideASolidBrickTellsNothing) {
    LevelData grid = Grid({"###"});
    Ball ball = LevelReach::ServedBall();
    ball.x = 17;
    ball.y = 25;
    LevelReach reach;
    reach.Compute(grid, ball);
    EXPECT_FALSE(reach.known);
    EXPECT_EQ(reach.closedIn, Groups{});
}

} // namespace
