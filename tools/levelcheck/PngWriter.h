#pragma once

#include <SDL.h>

#include <string>

// Saves an SDL surface of any pixel format as an 8-bit RGB PNG file.
class PngWriter {
  public:
    // Writes surface to path, replacing it. False with a reason in *error
    // (may be null) when the file cannot be written; a partly written file
    // is removed.
    static bool Write(const std::string& path, SDL_Surface* surface, std::string* error);
};
