// The browser SDL's system part for levelcheck's worker (and the native
// build of the layer's tests): a screen that is never shown, no events, the
// key-state array, the clock. It stands where SDL's dummy video driver
// stands on the desktop: no event ever arrives, as in the checker's desktop
// runs, which pump none either; keys exist only as the checker holds them
// in the array.
#include <SDL.h>

#include <chrono>

namespace {
Uint8 keys[SDLK_LAST] = {};
const std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();
} // namespace

extern "C" {

int SDL_Flip(SDL_Surface*) {
    return 0;
}

int SDL_PollEvent(SDL_Event*) {
    return 0;
}

Uint8* SDL_GetKeyState(int* numkeys) {
    if (numkeys)
        *numkeys = SDLK_LAST;
    return keys;
}

Uint32 SDL_GetTicks(void) {
    const auto since = std::chrono::steady_clock::now() - startTime;
    return static_cast<Uint32>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SDL_Delay(Uint32 ms) {
    // A worker has nothing else to run meanwhile, so waiting on the clock is
    // a true delay. The checker's scene asks for none (its select pause is 0).
    const Uint32 until = SDL_GetTicks() + ms;
    while (static_cast<Sint32>(until - SDL_GetTicks()) > 0) {
    }
}

} // extern "C"
