// levelcheck: checks, plays and pictures Quadrell level files with the
// game's own loader and scene. See LevelCheckCommand.h for the options.
#include <cstdio>

#include "framework/LogFile.h"
#include "tools/levelcheck/LevelCheckCommand.h"

// A checker must not leave a log.txt in the folder it checks: the game
// library's log stays closed here (everything it would hold, levelcheck
// reports itself).
LogFile logFile(nullptr);

int main(int argc, char** argv) {
    LevelCheckCommand command(stdout);
    return command.Run(argc, argv);
}
