// Force-included into every source of the browser build. emscripten's SDL
// headers are of the SDL 1.3 era: SDL 1.2's SDL_GetKeyState is in its
// library but not declared. Its key array holds 64 KB, so SDL 1.2's key
// codes index it safely.
#pragma once
#include <SDL.h>

#ifdef __cplusplus
extern "C" {
#endif
Uint8* SDL_GetKeyState(int* numkeys);
#ifdef __cplusplus
}
#endif
