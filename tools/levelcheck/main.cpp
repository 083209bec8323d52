// levelcheck: checks, plays and pictures Quadrell level files with the
// game's own loader and scene. See LevelCheckCommand.h for the options.
#include <cstdio>

#include "tools/levelcheck/LevelCheckCommand.h"

int main(int argc, char** argv) {
    LevelCheckCommand command(stdout);
    return command.Run(argc, argv);
}
