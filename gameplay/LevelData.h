#pragma once

#include <SDL.h>
#include <cstdio>

// One cell of the brick grid. rect is relative to the grid origin, which
// lies at screen position (0, 20).
struct BrickCell {
    bool breakable;
    bool present;
    int kind;       // 0 empty; 1..3 hits a breakable brick still takes; 4 solid
    int hasPowerUp; // 1: every ball hit releases a capsule
    SDL_Rect rect;
    int points; // scored on every hit
};

// The 300-cell brick grid and its level-file loader. A plain value: copied
// by value, no SDL calls beyond the rectangle type.
//
// File format: pairs of (brick character, modifier). "1", "2", "3" are
// breakable bricks taking that many hits (15, 10, 5 points per hit), "#" is
// solid; any other printable byte leaves an empty cell. A modifier "S" marks
// the cell as releasing a capsule. Control bytes are skipped where a brick
// character would stand, a line feed there starting the next row.
class LevelData {
  public:
    static constexpr int CellCount = 300;

    LevelData();

    // Empties the grid, then reads path. A file that cannot be opened, or
    // opens but cannot be read (a folder), is logged under
    // "LevelData::Loading - Unknown level file" and answers false (the grid
    // stays empty). Pairs beyond the 300th are ignored with one log line.
    bool Loading(const char* path);
    // The reading half of Loading, for a stream the caller opened (and
    // closes) and on a grid the caller emptied; name only labels the log
    // line about extra pairs. Never writes past the grid, stops at end of
    // stream.
    void ReadFrom(FILE* stream, const char* name);
    // Copies every cell into destination.
    void CopyTo(LevelData& destination) const;

    BrickCell cells[CellCount];
};
