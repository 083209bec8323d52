#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdio>

// What the headless SDL's parts share.

// The stream under an SDL_RWops (for the mixer's WAV loader).
FILE* HeadlessStream(SDL_RWops* ops);
// Reads up to size bytes from the start of file into head: the count read,
// or -1 (with SDL's error set to "Couldn't open FILE") when it cannot be
// opened.
long ReadFileHead(const char* file, unsigned char* head, size_t size);
