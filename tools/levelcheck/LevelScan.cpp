#include "tools/levelcheck/LevelScan.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// A cursor over the bytes that knows its text line and column.
struct Cursor {
    const std::string& bytes;
    size_t at = 0;
    int line = 1;
    int column = 1;

    explicit Cursor(const std::string& b) : bytes(b) {}
    bool AtEnd() const { return at >= bytes.size(); }
    int Peek() const { return AtEnd() ? -1 : static_cast<unsigned char>(bytes[at]); }
    int Next() {
        int b = Peek();
        if (b < 0)
            return b;
        ++at;
        if (b == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        return b;
    }
};

} // namespace

bool LevelScan::ScanFile(const std::string& path) {
    pairs.clear();
    endings.clear();
    reason.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    std::string bytes;
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, got);
    }
    // A directory opens but cannot be read; say so rather than check nothing.
    bool failed = std::ferror(file) != 0;
    int readErrno = errno;
    std::fclose(file);
    if (failed) {
        reason = std::strerror(readErrno);
        return false;
    }
    ScanBytes(bytes);
    return true;
}

void LevelScan::ScanBytes(const std::string& bytes) {
    pairs.clear();
    endings.clear();

    // Text line endings, independent of how the loader pairs the bytes: a
    // line feed still ends the editor's line when the loader took it as a
    // modifier.
    {
        Cursor c(bytes);
        while (!c.AtEnd()) {
            int line = c.line, column = c.column;
            int b = c.Next();
            if (b == '\r') {
                if (c.Peek() == '\n') {
                    c.Next();
                    endings.push_back({EndCRLF, line, column});
                } else {
                    endings.push_back({EndCR, line, column});
                }
            } else if (b == '\n') {
                endings.push_back({EndLF, line, column});
            }
        }
    }

    Cursor c(bytes);
    int row = 0, col = 0;
    while (!c.AtEnd()) {
        int line = c.line, column = c.column;
        int brick = c.Next();
        if (brick < 32) {
            if (brick == '\n') {
                ++row;
                col = 0;
            }
            continue;
        }
        Pair p;
        p.index = static_cast<int>(pairs.size());
        p.line = line;
        p.column = column;
        p.modLine = c.line;
        p.modColumn = c.column;
        p.modifier = c.Next();
        p.row = row;
        p.col = col;
        p.brick = static_cast<unsigned char>(brick);
        pairs.push_back(p);
        ++col;
    }
}

std::string DescribeByte(int byte) {
    char text[32];
    if (byte < 0)
        return "end of file";
    if (byte == '\n')
        return "line feed";
    if (byte == '\r')
        return "carriage return";
    if (byte == '\t')
        return "tab";
    if (byte == ' ')
        return "space";
    if (byte > 32 && byte < 127) {
        std::snprintf(text, sizeof text, "'%c'", byte);
    } else {
        std::snprintf(text, sizeof text, "byte 0x%02X", byte);
    }
    return text;
}
