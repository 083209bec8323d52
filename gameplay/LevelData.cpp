#include "gameplay/LevelData.h"

#include <cstdio>

#include "framework/LogFile.h"

namespace {

void ResetCell(BrickCell& cell) {
    cell.breakable = true;
    cell.present = false;
    cell.kind = 0;
    cell.hasPowerUp = 0;
    cell.rect = SDL_Rect{0, 0, 0, 0};
    cell.points = 0;
}

// Fills a cell from its brick character; unknown characters leave it empty
// but it still takes its place in the grid.
void SetBrick(BrickCell& cell, int ch) {
    switch (ch) {
    case '1':
        cell.kind = 1;
        cell.points = 15;
        break;
    case '2':
        cell.kind = 2;
        cell.points = 10;
        break;
    case '3':
        cell.kind = 3;
        cell.points = 5;
        break;
    case '#':
        cell.kind = 4;
        cell.points = 0;
        cell.breakable = false;
        break;
    default:
        return;
    }
    cell.present = true;
}

} // namespace

LevelData::LevelData() {
    for (BrickCell& cell : cells) {
        ResetCell(cell);
    }
}

bool LevelData::Loading(const char* path) {
    for (BrickCell& cell : cells) {
        ResetCell(cell);
    }
    FILE* stream = std::fopen(path, "rb");
    if (!stream) {
        logFile.Write("LevelData::Loading - Unknown level file", path);
        return false;
    }
    ReadFrom(stream, path);
    // A file that opens but cannot be read (a folder, a disk error) is no
    // level: taken as an empty grid it would count as cleared at once.
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    if (failed) {
        for (BrickCell& cell : cells) {
            ResetCell(cell);
        }
        logFile.Write("LevelData::Loading - Unknown level file", path);
        return false;
    }
    return true;
}

void LevelData::ReadFrom(FILE* stream, const char* name) {
    int y = 1;
    int column = 0;
    int index = 0;
    bool overflowReported = false;
    for (;;) {
        const int ch = std::fgetc(stream); // 0..255, or EOF
        if (ch == EOF) {
            break;
        }
        if (ch < 32) {
            // Control bytes only matter where a brick character would stand.
            if (ch == '\n') {
                y += 10;
                column = 0;
            }
            continue;
        }
        const int modifier = std::fgetc(stream); // anything, even a line feed or EOF
        if (index >= CellCount) {
            // No room left: the rest of the file is read but not stored.
            if (!overflowReported) {
                logFile.Write("LevelData::Loading - More than 300 bricks, the rest ignored", name);
                overflowReported = true;
            }
            continue;
        }
        BrickCell& cell = cells[index];
        cell.rect = SDL_Rect{static_cast<Sint16>(16 * column + 1), static_cast<Sint16>(y), 15, 9};
        SetBrick(cell, ch);
        if (modifier == 'S') {
            cell.hasPowerUp = 1;
        }
        ++column;
        ++index;
    }
}

void LevelData::CopyTo(LevelData& destination) const {
    for (int i = 0; i < CellCount; ++i) {
        destination.cells[i] = cells[i];
    }
}
