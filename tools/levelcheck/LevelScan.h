#pragma once

#include <string>
#include <vector>

// Where every brick character pair of a level file came from. The scan walks
// the file's bytes the way the game's loader pairs them (a byte from space up
// starts a pair and takes the next byte as its modifier; a line feed in that
// place starts the next grid row; other control bytes are skipped) and
// records, for each pair, the text line and column of its bytes together
// with the grid row and column the loader gives it. It does not interpret
// brick characters: what a character means is the loader's business, and
// the checker takes it from the loaded grid.
class LevelScan {
  public:
    // One brick character pair, in reading order (pair n fills cell n).
    struct Pair {
        int index;              // reading order from 0
        int line, column;       // 1-based text position of the brick character
        int modLine, modColumn; // text position of the modifier byte
        int row, col;           // grid row and column the loader places it in
        unsigned char brick;
        int modifier; // the modifier byte, or -1 at end of file
    };

    // How a text line ended.
    enum LineEnding { EndLF = 0, EndCRLF = 1, EndCR = 2 };
    struct Ending {
        LineEnding kind;
        int line, column; // position of its first byte
    };

    // Reads path; false (with reason set to the system's message) when the
    // file cannot be opened.
    bool ScanFile(const std::string& path);
    // Scans bytes already in memory; always succeeds.
    void ScanBytes(const std::string& bytes);

    std::vector<Pair> pairs;
    // Every line ending in file order, whatever the loader made of it.
    std::vector<Ending> endings;
    std::string reason;
};

// A byte as a designer would want to read it in a message: '1', 'S',
// "line feed", "byte 0xE9".
std::string DescribeByte(int byte);
