// The browser SDL's system part for the game's page: showing a frame, key
// events, the clock and the frame loop's sleep. The drawing itself is
// web/sdl/'s, in WebAssembly memory; what must be JavaScript (the canvas,
// the keys) is in library_quadrell.js.
#include <SDL.h>
#include <emscripten.h>

#include <cmath>
#include <cstdlib>

extern "C" {
// library_quadrell.js
void quadrell_show_frame(const Uint32* rgba, int width, int height, int top, int rows);
int quadrell_next_key(void);
void quadrell_slept(void);
}

namespace {

Uint8 keys[SDLK_LAST] = {};
const double startTime = emscripten_get_now();
// How late a sleep's timer fires, in ms: a running mean; and how far past
// its deadline the last sleep ended (below 0: how far before).
double timerLateness = 1.0;
double sleepDebt = 0;

// The colour the desktop's window shows for each RGB565 pixel, as RGBA
// bytes in memory order: red and blue q * 255 / 31, green q * 97 / 24, both
// rounded down (read off the desktop's screenshots).
const Uint32* ShownColours() {
    static Uint32* table = nullptr;
    if (!table) {
        table = static_cast<Uint32*>(std::malloc(65536 * sizeof(Uint32)));
        for (Uint32 p = 0; p < 65536; ++p) {
            const Uint32 r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 97 / 24,
                         b = (p & 31) * 255 / 31;
            table[p] = r | (g << 8) | (b << 16) | 0xFF000000u;
        }
    }
    return table;
}

// The game's keys by the DOM's key codes: arrows, and letters in lower case.
SDLKey KeyOf(int domCode) {
    switch (domCode) {
    case 37:
        return SDLK_LEFT;
    case 38:
        return SDLK_UP;
    case 39:
        return SDLK_RIGHT;
    case 40:
        return SDLK_DOWN;
    default:
        break;
    }
    if (domCode >= 'A' && domCode <= 'Z')
        return static_cast<SDLKey>(domCode - 'A' + 'a');
    if (domCode == 8 || domCode == 9 || domCode == 13 || domCode == 27 || domCode == 32 ||
        (domCode >= '0' && domCode <= '9'))
        return static_cast<SDLKey>(domCode);
    return SDLK_UNKNOWN;
}

} // namespace

extern "C" {

// One conversion to the page's colours and one hand-over a frame; nothing
// is read back. Only the band of rows that changed since the last frame is
// handed over: a still screen (a menu, a pause) costs the browser no new
// picture to show, which is most of what showing a frame costs it.
int SDL_Flip(SDL_Surface* surface) {
    if (!surface || surface != SDL_GetVideoSurface() || surface->format->BytesPerPixel != 2)
        return 0;
    static Uint32* frame = nullptr;
    static int frameSize = 0;
    const int size = surface->w * surface->h;
    bool fresh = false;
    if (size != frameSize) {
        std::free(frame);
        frame = static_cast<Uint32*>(std::malloc(static_cast<size_t>(size) * sizeof(Uint32)));
        frameSize = frame ? size : 0;
        if (!frame)
            return -1;
        fresh = true;
    }
    const Uint32* shown = ShownColours();
    int top = surface->h, bottom = 0;
    for (int y = 0; y < surface->h; ++y) {
        const Uint16* row = reinterpret_cast<const Uint16*>(
            static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
        Uint32* out = frame + y * surface->w;
        Uint32 changed = fresh;
        for (int x = 0; x < surface->w; ++x) {
            const Uint32 colour = shown[row[x]];
            changed |= out[x] ^ colour;
            out[x] = colour;
        }
        if (changed) {
            top = top < y ? top : y;
            bottom = y + 1;
        }
    }
    quadrell_show_frame(frame, surface->w, surface->h, top, bottom > top ? bottom - top : 0);
    return 0;
}

int SDL_PollEvent(SDL_Event* event) {
    for (;;) {
        const int next = quadrell_next_key();
        if (!next)
            return 0;
        const SDLKey sym = KeyOf(next & 0xFFFF);
        if (sym == SDLK_UNKNOWN)
            continue;
        const bool down = (next & 0x10000) != 0;
        keys[sym] = down ? 1 : 0;
        if (event) {
            *event = SDL_Event{};
            event->key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
            event->key.state = down ? 1 : 0;
            event->key.keysym.sym = sym;
        }
        return 1;
    }
}

Uint8* SDL_GetKeyState(int* numkeys) {
    if (numkeys)
        *numkeys = SDLK_LAST;
    return keys;
}

Uint32 SDL_GetTicks(void) {
    return static_cast<Uint32>(emscripten_get_now() - startTime);
}

// The frame loop sleeps out each frame's rest here, a yield to the browser.
// A browser's timer fires late, by a millisecond on a quiet machine and by
// many on a busy one (and counts timeouts in whole milliseconds), where the
// desktop's SDL_Delay is all but exact; every late wake would make a long
// frame, and the loop does not make up an overrun. So the timer is set
// early by the lateness seen so far (a running mean), and a wake past its
// deadline shortens the next sleep by as much, one before it lengthens the
// next (up to 4 ms either way, so that a long pause such as the one that
// lets the player let go of A+B stays nearly whole): the sleeps add up to
// what was asked, so the frames keep the desktop's pace on average (never
// above it), and no rest of a sleep is waited out busily. What it costs:
// one timer a frame, and on a loaded machine a short frame after a long one.
void SDL_Delay(Uint32 ms) {
    const double asked = emscripten_get_now();
    const double owed = sleepDebt < ms ? sleepDebt : static_cast<double>(ms);
    const double deadline = asked + ms - owed;
    const long wait = std::lround(deadline - asked - timerLateness);
    const unsigned timer = wait > 0 ? static_cast<unsigned>(wait) : 0;
    // Once per sleep: the stack's rewind after the wake does not run the
    // code before the sleep again.
    quadrell_slept();
    emscripten_sleep(timer);
    const double woke = emscripten_get_now();
    const double late = woke - (asked + timer);
    timerLateness += ((late < 0 ? 0 : late > 4 ? 4 : late) - timerLateness) / 8;
    sleepDebt = woke - deadline;
    sleepDebt = sleepDebt < -4 ? -4 : sleepDebt > 4 ? 4 : sleepDebt;
}

EMSCRIPTEN_KEEPALIVE void quadrell_set_error(const char* text) {
    SDL_SetError("%s", text);
}

} // extern "C"
