// The worker build's PngWriter: the browser makes no picture files (the
// page shows the level with the game itself), and libpng is not there.
#include "tools/levelcheck/PngWriter.h"

bool PngWriter::Write(const std::string&, SDL_Surface*, std::string* error) {
    if (error)
        *error = "pictures are written by the desktop levelcheck only";
    return false;
}
