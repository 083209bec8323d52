#include "tools/levelcheck/LevelReport.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

const char* EndingName(LevelScan::LineEnding kind) {
    switch (kind) {
    case LevelScan::EndLF:
        return "line feed alone";
    case LevelScan::EndCRLF:
        return "carriage return and line feed";
    case LevelScan::EndCR:
        return "carriage return alone";
    }
    return "?";
}

bool IsBrick(const BrickCell& cell) {
    return cell.present && cell.kind != 0;
}

// The cell a pair fills, or -1 for a pair past the grid's 300 cells.
int CellOf(const LevelScan::Pair& p) {
    return p.index < LevelData::CellCount ? p.index : -1;
}

// Preview limits: enough to show bricks just past the screen's edges
// without printing thousands of empty rows for a runaway file.
constexpr int PreviewColumns = 40;
constexpr int PreviewRows = 30;

} // namespace

void LevelReport::Check(const std::string& file) {
    path = file;
    diagnostics.clear();
    // The game's loader decides what the file means; the scan only says
    // where each pair came from.
    bool loaded = grid.Loading(path.c_str());
    bool scanned = scan.ScanFile(path);
    opened = loaded && scanned;
    if (!opened) {
        std::string reason =
            scan.reason.empty() ? "the game's loader could not open it" : scan.reason;
        Add(true, 1, 1, "cannot open level file (" + reason + ")");
        return;
    }
    CrossCheck();
    CheckByteOrderMark();
    CheckPairs();
    CheckPlacement();
    CheckLineEndings();
    CheckBreakable();
    CheckReach();
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
}

void LevelReport::Add(bool error, int line, int column, const std::string& message, int cell) {
    diagnostics.push_back({error, line, column, message, cell});
}

// The scan and the loader must agree on every cell's place and mark, or the
// locations printed would point at the wrong bytes.
void LevelReport::CrossCheck() {
    int count = static_cast<int>(scan.pairs.size());
    for (int n = 0; n < LevelData::CellCount; ++n) {
        const BrickCell& cell = grid.cells[n];
        bool agrees;
        if (n < count) {
            const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(n)];
            // The rectangle stores 16-bit coordinates; compare in that width.
            agrees = cell.rect.x == static_cast<Sint16>(16 * p.col + 1) &&
                     cell.rect.y == static_cast<Sint16>(10 * p.row + 1) && cell.rect.w == 15 &&
                     cell.rect.h == 9 && (cell.hasPowerUp == 1) == (p.modifier == 'S');
        } else {
            agrees = !cell.present && cell.hasPowerUp == 0 && cell.rect.w == 0 && cell.rect.h == 0;
        }
        if (!agrees) {
            int line, column;
            Locate(n, line, column);
            Add(true, line, column,
                "internal: levelcheck and the game's loader read cell " + std::to_string(n) +
                    " differently; the locations below may be wrong",
                n);
            return;
        }
    }
}

// Some editors put a byte order mark in front of the text; the game reads
// its three bytes as cells, which shifts the first row.
void LevelReport::CheckByteOrderMark() {
    const auto& p = scan.pairs;
    if (p.size() >= 2 && p[0].brick == 0xEF && p[0].modifier == 0xBB && p[1].brick == 0xBF &&
        p[1].line == 1 && p[1].column == 3) {
        Add(false, 1, 1,
            "the file starts with a UTF-8 byte order mark, which the game reads as two cells; "
            "save the level without it");
    }
}

void LevelReport::CheckPairs() {
    int count = static_cast<int>(scan.pairs.size());
    if (count > LevelData::CellCount) {
        const LevelScan::Pair& extra = scan.pairs[LevelData::CellCount];
        Add(true, extra.line, extra.column,
            std::to_string(count) + " brick pairs, but the grid holds " +
                std::to_string(LevelData::CellCount) +
                "; the game ignores this pair and every one after it");
    }
    for (const LevelScan::Pair& p : scan.pairs) {
        std::string brick = DescribeByte(p.brick);
        if (p.modifier == '\n') {
            Add(true, p.line, p.column,
                "line feed right after brick character " + brick +
                    " is read as its modifier, so the next line continues this row (end the pair "
                    "with a space)",
                CellOf(p));
            continue;
        }
        if (p.modifier == '\r') {
            Add(false, p.modLine, p.modColumn,
                "carriage return read as the modifier of brick character " + brick +
                    " (the line holds an odd number of characters; end the pair with a space)",
                CellOf(p));
            continue;
        }
        if (p.modifier == 'S') {
            if (p.index < LevelData::CellCount && !IsBrick(grid.cells[p.index])) {
                Add(false, p.modLine, p.modColumn,
                    "'S' on an empty cell (brick character " + brick +
                        "): there is no brick to release a capsule",
                    p.index);
            }
            continue;
        }
        if (p.modifier != ' ' && p.modifier >= 0) {
            std::string hint = p.modifier == 's' ? " (the power-up mark is an upper-case 'S')" : "";
            Add(false, p.modLine, p.modColumn,
                "modifier " + DescribeByte(p.modifier) + " of brick character " + brick +
                    " is neither space nor 'S' and is ignored" + hint,
                CellOf(p));
        }
    }
}

void LevelReport::CheckPlacement() {
    // One message per grid row, at its first misplaced brick.
    struct RowTally {
        int first = -1;
        int count = 0;
    };
    std::map<int, RowTally> right, below;
    int loaded = std::min<int>(static_cast<int>(scan.pairs.size()), LevelData::CellCount);
    for (int n = 0; n < loaded; ++n) {
        if (!IsBrick(grid.cells[n]))
            continue;
        const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(n)];
        int row = p.row;
        if (16 * p.col + 1 + 15 > ScreenWidth) {
            RowTally& t = right[row];
            if (t.first < 0)
                t.first = n;
            ++t.count;
        }
        if (row >= GridRows) {
            RowTally& t = below[row];
            if (t.first < 0)
                t.first = n;
            ++t.count;
        }
    }
    for (const auto& [row, t] : right) {
        const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(t.first)];
        int x = 16 * p.col + 1;
        Add(true, p.line, p.column,
            std::to_string(t.count) + (t.count == 1 ? " brick" : " bricks") + " of grid row " +
                std::to_string(row + 1) + " right of the screen (this one in column " +
                std::to_string(p.col + 1) + ", x " + std::to_string(x) + " to " +
                std::to_string(x + 15) + "; the screen ends at x 320)",
            t.first);
    }
    for (const auto& [row, t] : below) {
        int line, column;
        Locate(t.first, line, column);
        Add(true, line, column,
            std::to_string(t.count) + (t.count == 1 ? " brick" : " bricks") + " in grid row " +
                std::to_string(row + 1) + ", below the grid's " + std::to_string(GridRows) +
                " rows",
            t.first);
    }
}

void LevelReport::CheckLineEndings() {
    if (scan.endings.empty())
        return;
    const LevelScan::Ending& first = scan.endings.front();
    for (const LevelScan::Ending& e : scan.endings) {
        if (e.kind != first.kind) {
            Add(false, e.line, e.column,
                std::string("mixed line endings: this line ends with ") + EndingName(e.kind) +
                    ", line " + std::to_string(first.line) + " with " + EndingName(first.kind));
            return;
        }
    }
}

void LevelReport::CheckBreakable() {
    if (BreakableCount() == 0) {
        Add(true, 1, 1, "no breakable brick: the level counts as cleared as soon as play starts");
    }
}

// One message per closed-in pocket, at its first brick: the cure is one
// opening in its wall however many bricks it holds, and a message per brick
// would bury the rest of the list under a big pocket.
void LevelReport::CheckReach() {
    reach.Compute(grid);
    const int located = static_cast<int>(scan.pairs.size());
    for (const std::vector<int>& pocket : reach.closedIn) {
        std::vector<int> shown;
        for (int n : pocket) {
            if (n >= located)
                continue;
            const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(n)];
            if (p.col < ScreenColumns && p.row < GridRows)
                shown.push_back(n);
        }
        if (shown.empty())
            continue;
        int line, column;
        Locate(shown.front(), line, column);
        const size_t count = shown.size();
        const std::string what = count == 1 ? std::string("breakable brick")
                                            : std::to_string(count) + " breakable bricks";
        const std::string them = count == 1 ? "it" : "them";
        Add(true, line, column,
            what + " walled in by solid bricks" + (count == 1 ? "" : ", the first here") +
                ": the ball can never reach " + them + ", so the level can never be cleared",
            shown.front());
    }
}

int LevelReport::BreakableCount() const {
    int count = 0;
    for (const BrickCell& cell : grid.cells) {
        if (IsBrick(cell) && cell.breakable)
            ++count;
    }
    return count;
}

int LevelReport::MaxPoints() const {
    // Every hit scores the brick's points, and a brick of kind k takes k hits.
    int total = 0;
    for (const BrickCell& cell : grid.cells) {
        if (IsBrick(cell) && cell.breakable)
            total += cell.kind * cell.points;
    }
    return total;
}

bool LevelReport::HasErrors() const {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.error; });
}

void LevelReport::Locate(int index, int& line, int& column) const {
    if (index >= 0 && index < static_cast<int>(scan.pairs.size())) {
        line = scan.pairs[static_cast<size_t>(index)].line;
        column = scan.pairs[static_cast<size_t>(index)].column;
    } else {
        line = 1;
        column = 1;
    }
}

LevelReport::Counts LevelReport::Count() const {
    Counts counts;
    for (const BrickCell& cell : grid.cells) {
        if (!IsBrick(cell))
            continue;
        if (cell.kind >= 1 && cell.kind <= 4)
            ++counts.byKind[cell.kind];
        if (cell.hasPowerUp == 1)
            ++counts.powerUps;
        if (cell.breakable)
            counts.hits += cell.kind;
    }
    counts.bricks = counts.byKind[1] + counts.byKind[2] + counts.byKind[3] + counts.byKind[4];
    counts.points = MaxPoints();
    return counts;
}

std::string LevelReport::Summary() const {
    const Counts c = Count();
    char text[256];
    std::snprintf(text, sizeof text,
                  "%d bricks (1-hit %d, 2-hit %d, 3-hit %d, solid %d), %d power-up %s, %d points",
                  c.bricks, c.byKind[1], c.byKind[2], c.byKind[3], c.byKind[4], c.powerUps,
                  c.powerUps == 1 ? "brick" : "bricks", c.points);
    return text;
}

std::vector<std::string> LevelReport::Preview() const {
    int loaded = std::min<int>(static_cast<int>(scan.pairs.size()), LevelData::CellCount);
    int columns = ScreenColumns, rows = GridRows;
    for (int n = 0; n < loaded; ++n) {
        if (!IsBrick(grid.cells[n]))
            continue;
        const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(n)];
        columns = std::max(columns, std::min(p.col + 1, PreviewColumns));
        rows = std::max(rows, std::min(p.row + 1, PreviewRows));
    }
    std::vector<std::string> picture(static_cast<size_t>(rows),
                                     std::string(static_cast<size_t>(columns), '.'));
    for (int n = 0; n < loaded; ++n) {
        const BrickCell& cell = grid.cells[n];
        const LevelScan::Pair& p = scan.pairs[static_cast<size_t>(n)];
        if (!IsBrick(cell) || p.row >= rows || p.col >= columns)
            continue;
        char shown = cell.kind == 4 ? '#' : static_cast<char>('0' + std::min(cell.kind, 9));
        picture[static_cast<size_t>(p.row)][static_cast<size_t>(p.col)] = shown;
    }
    std::vector<std::string> lines;
    for (int r = 0; r < rows; ++r) {
        if (r == GridRows) {
            lines.push_back(
                std::string(static_cast<size_t>(columns + (columns > ScreenColumns ? 1 : 0)), '-'));
        }
        std::string line = picture[static_cast<size_t>(r)];
        if (columns > ScreenColumns)
            line.insert(static_cast<size_t>(ScreenColumns), "|");
        lines.push_back(line);
    }
    return lines;
}
