#pragma once

#include <string>
#include <vector>

#include "gameplay/LevelData.h"
#include "tools/levelcheck/LevelReach.h"
#include "tools/levelcheck/LevelScan.h"

// One located problem of a level file, printed like a compiler message:
// "FILE:LINE:COL: error: text".
struct Diagnostic {
    bool error;
    int line;
    int column;
    std::string message;
    int cell = -1; // the grid cell the problem is at, or -1 for none
};

// The static check of one level file: loads it with the game's loader,
// locates every pair with LevelScan, and from the two derives the summary,
// the preview and the problems. Needs no SDL start-up.
class LevelReport {
  public:
    // The visible screen: 20 columns of bricks by 15 rows.
    static constexpr int ScreenColumns = 20;
    static constexpr int GridRows = 15;
    static constexpr int ScreenWidth = 320;

    // Loads and checks path. Afterwards opened tells whether the file could
    // be read; diagnostics holds the problems in file order.
    void Check(const std::string& path);

    // The loaded grid's bricks by kind, as the summary counts them.
    struct Counts {
        int bricks = 0;
        int byKind[5] = {0, 0, 0, 0, 0}; // [1] to [3] breakable by hits, [4] solid
        int powerUps = 0;                // bricks marked to release a capsule
        int hits = 0;                    // ball hits that clear the level
        int points = 0;                  // MaxPoints
    };
    Counts Count() const;
    // "N bricks (1-hit a, 2-hit b, 3-hit c, solid d), p power-up bricks,
    // q points", counted from the loaded grid.
    std::string Summary() const;
    // The grid as the player sees it, one character per cell ("1", "2",
    // "3", "#", "." for empty), one text line per grid row. Rows and columns
    // beyond the screen are included when bricks lie there, set off by "|"
    // and a line of "-" (up to 40 columns and 30 rows).
    std::vector<std::string> Preview() const;
    // Text position of the brick character that filled cell index, or of
    // the start of the file when there is none.
    void Locate(int index, int& line, int& column) const;

    bool HasErrors() const;
    // Breakable bricks and the points they give when all are broken.
    int BreakableCount() const;
    int MaxPoints() const;

    std::string path;
    bool opened = false;
    LevelScan scan;
    LevelData grid;
    // Which breakable bricks the ball can reach (bricks off the screen are
    // left to the placement errors).
    LevelReach reach;
    std::vector<Diagnostic> diagnostics;

  private:
    void Add(bool error, int line, int column, const std::string& message, int cell = -1);
    void CrossCheck();
    void CheckByteOrderMark();
    void CheckPairs();
    void CheckPlacement();
    void CheckLineEndings();
    void CheckBreakable();
    void CheckReach();
};
