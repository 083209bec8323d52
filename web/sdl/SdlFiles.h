#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdio>

// What the browser SDL's parts share (web/sdl/).

// The stream under an SDL_RWops (for the mixers' WAV loaders).
FILE* SdlStream(SDL_RWops* ops);
// Reads up to size bytes from the start of file into head: the count read,
// or -1 (with SDL's error set to "Couldn't open FILE") when it cannot be
// opened.
long ReadFileHead(const char* file, unsigned char* head, size_t size);
// A whole file's bytes in a malloc'd block (*size set), or null with SDL's
// error set. Files past limit bytes are refused as corrupt.
unsigned char* ReadWholeFile(const char* file, size_t limit, size_t* size);
