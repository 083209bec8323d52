// The worker build's SDL core: start-up, errors, in-memory surfaces, a
// screen that is never shown, no events, the key-state array, the clock and
// files. It stands where SDL's dummy video driver stands on the desktop.
//
// What is faked, and why no check or sweep can tell: surfaces have their
// true sizes and pixel formats and their memory, but blits and fills only
// clip (as SDL does, writing the clipped rectangle back) and move no pixel;
// the checker never looks at a picture, and the game reads no pixel in
// play. No event ever arrives, as in the checker's desktop runs, which pump
// none either: keys exist only as the checker holds them in the array.
#include <SDL.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "web/levelcheck/headless/Headless.h"

namespace {

char errorText[512] = "";
bool started = false;
SDL_Surface* screen = nullptr;
SDL_VideoInfo videoInfo = {};
Uint8 keys[SDLK_LAST] = {};
int cursorShown = SDL_ENABLE;
std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();

int CountBits(Uint32 mask) {
    int n = 0;
    for (; mask; mask >>= 1)
        n += static_cast<int>(mask & 1);
    return n;
}

int LowestBit(Uint32 mask) {
    if (!mask)
        return 0;
    int n = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++n;
    }
    return n;
}

void SetChannel(Uint32 mask, Uint8& shift, Uint8& loss) {
    shift = static_cast<Uint8>(LowestBit(mask));
    loss = static_cast<Uint8>(8 - (mask ? CountBits(mask) : 0));
}

// The part of rect (clipped to the surface's clip rectangle), or false when
// nothing of it is left.
bool Clip(const SDL_Surface* surface, int x, int y, int w, int h, SDL_Rect& out) {
    const SDL_Rect& c = surface->clip_rect;
    int left = x > c.x ? x : c.x;
    int top = y > c.y ? y : c.y;
    int right = x + w < c.x + c.w ? x + w : c.x + c.w;
    int bottom = y + h < c.y + c.h ? y + h : c.y + c.h;
    if (right <= left || bottom <= top) {
        out = SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
        return false;
    }
    out = SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(top),
                   static_cast<Uint16>(right - left), static_cast<Uint16>(bottom - top)};
    return true;
}

void Release(SDL_Surface* surface) {
    if (!surface || --surface->refcount > 0)
        return;
    if (surface->format->palette)
        std::free(surface->format->palette->colors);
    std::free(surface->format->palette);
    std::free(surface->format);
    std::free(surface->pixels);
    std::free(surface);
}

} // namespace

extern "C" {

int SDL_Init(Uint32) {
    started = true;
    startTime = std::chrono::steady_clock::now();
    return 0;
}

void SDL_Quit(void) {
    Release(screen);
    screen = nullptr;
    started = false;
}

char* SDL_GetError(void) {
    return errorText;
}

void SDL_SetError(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(errorText, sizeof errorText, fmt, args);
    va_end(args);
}

const SDL_VideoInfo* SDL_GetVideoInfo(void) {
    if (!started) {
        SDL_SetError("Video subsystem has not been initialized");
        return nullptr;
    }
    // No hardware surfaces, as SDL's dummy driver reports.
    videoInfo.hw_available = 0;
    videoInfo.current_w = screen ? screen->w : 0;
    videoInfo.current_h = screen ? screen->h : 0;
    videoInfo.vfmt = screen ? screen->format : nullptr;
    return &videoInfo;
}

SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 Rmask,
                                  Uint32 Gmask, Uint32 Bmask, Uint32 Amask) {
    // Bounded so that a hostile size cannot exhaust the worker's memory.
    if (width < 0 || height < 0 || width > 8192 || height > 8192 ||
        static_cast<long>(width) * height > 4L * 1024 * 1024 ||
        (depth != 8 && depth != 16 && depth != 24 && depth != 32)) {
        SDL_SetError("Out of memory");
        return nullptr;
    }
    auto* surface = static_cast<SDL_Surface*>(std::calloc(1, sizeof(SDL_Surface)));
    auto* format = static_cast<SDL_PixelFormat*>(std::calloc(1, sizeof(SDL_PixelFormat)));
    const int bytes = depth / 8;
    const int pitch = (width * bytes + 3) & ~3;
    void* pixels = std::calloc(static_cast<size_t>(pitch) * static_cast<size_t>(height) + 1, 1);
    if (!surface || !format || !pixels) {
        std::free(surface);
        std::free(format);
        std::free(pixels);
        SDL_SetError("Out of memory");
        return nullptr;
    }
    format->BitsPerPixel = static_cast<Uint8>(depth);
    format->BytesPerPixel = static_cast<Uint8>(bytes);
    if (depth == 8) {
        // A palette of 256 greys, as a freshly made 8-bit surface has entries.
        auto* palette = static_cast<SDL_Palette*>(std::calloc(1, sizeof(SDL_Palette)));
        auto* colors = static_cast<SDL_Color*>(std::calloc(256, sizeof(SDL_Color)));
        if (palette && colors) {
            for (int i = 0; i < 256; ++i)
                colors[i] = SDL_Color{Uint8(i), Uint8(i), Uint8(i), 0};
            palette->ncolors = 256;
            palette->colors = colors;
            format->palette = palette;
        } else {
            std::free(palette);
            std::free(colors);
        }
        format->Rloss = format->Gloss = format->Bloss = format->Aloss = 8;
    } else {
        format->Rmask = Rmask;
        format->Gmask = Gmask;
        format->Bmask = Bmask;
        format->Amask = Amask;
        SetChannel(Rmask, format->Rshift, format->Rloss);
        SetChannel(Gmask, format->Gshift, format->Gloss);
        SetChannel(Bmask, format->Bshift, format->Bloss);
        SetChannel(Amask, format->Ashift, format->Aloss);
    }
    format->alpha = SDL_ALPHA_OPAQUE;
    surface->flags = flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY);
    surface->format = format;
    surface->w = width;
    surface->h = height;
    surface->pitch = static_cast<Uint16>(pitch);
    surface->pixels = pixels;
    surface->clip_rect = SDL_Rect{0, 0, static_cast<Uint16>(width), static_cast<Uint16>(height)};
    surface->refcount = 1;
    return surface;
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32) {
    if (!started) {
        SDL_SetError("Video subsystem has not been initialized");
        return nullptr;
    }
    Release(screen);
    // A 16-bit screen is RGB565, as the desktop's.
    screen =
        bpp == 16
            ? SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 16, 0xF800, 0x07E0, 0x001F, 0)
            : SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bpp, 0xFF0000, 0xFF00, 0xFF, 0);
    return screen;
}

SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    if (!surface) {
        SDL_SetError("Passed a NULL surface");
        return nullptr;
    }
    if (!screen) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    const SDL_PixelFormat* f = screen->format;
    // SDL keeps the colour key and alpha flags of the source.
    return SDL_CreateRGBSurface(surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA), surface->w,
                                surface->h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask,
                                f->Amask);
}

void SDL_FreeSurface(SDL_Surface* surface) {
    // The screen belongs to SDL until SDL_Quit, as on the desktop.
    if (surface != screen)
        Release(surface);
}

int SDL_LockSurface(SDL_Surface* surface) {
    ++surface->locked;
    return 0;
}

void SDL_UnlockSurface(SDL_Surface* surface) {
    if (surface->locked > 0)
        --surface->locked;
}

int SDL_Flip(SDL_Surface*) {
    return 0;
}

int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32) {
    if (!dst) {
        SDL_SetError("Passed a NULL surface");
        return -1;
    }
    SDL_Rect area;
    if (dstrect) {
        Clip(dst, dstrect->x, dstrect->y, dstrect->w, dstrect->h, area);
        *dstrect = area;
    }
    return 0;
}

int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    if (!src || !dst) {
        SDL_SetError("SDL_UpperBlit: passed a NULL surface");
        return -1;
    }
    if (src->locked || dst->locked) {
        SDL_SetError("Surfaces must not be locked during blit");
        return -1;
    }
    const int w = srcrect ? srcrect->w : src->w;
    const int h = srcrect ? srcrect->h : src->h;
    SDL_Rect area;
    Clip(dst, dstrect ? dstrect->x : 0, dstrect ? dstrect->y : 0, w, h, area);
    if (dstrect)
        *dstrect = area;
    return 0;
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b) {
    if (!f->palette) {
        return (static_cast<Uint32>(r >> f->Rloss) << f->Rshift) |
               (static_cast<Uint32>(g >> f->Gloss) << f->Gshift) |
               (static_cast<Uint32>(b >> f->Bloss) << f->Bshift) | f->Amask;
    }
    return (static_cast<Uint32>(r) * 30 + g * 59 + b * 11) / 100; // the nearest grey
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* f, Uint8* r, Uint8* g, Uint8* b) {
    if (f->palette) {
        const SDL_Color c = f->palette->colors[pixel & 0xFF];
        *r = c.r;
        *g = c.g;
        *b = c.b;
        return;
    }
    // SDL's own widening of a channel back to 8 bits.
    auto channel = [pixel](Uint32 mask, Uint8 shift, Uint8 loss) {
        const Uint32 v = (pixel & mask) >> shift;
        return static_cast<Uint8>(
            loss >= 8 ? 0 : (v << loss) + (2 * loss < 8 ? v >> (8 - 2 * loss) : 0));
    };
    *r = channel(f->Rmask, f->Rshift, f->Rloss);
    *g = channel(f->Gmask, f->Gshift, f->Gloss);
    *b = channel(f->Bmask, f->Bshift, f->Bloss);
}

int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key) {
    surface->flags = (surface->flags & ~(SDL_SRCCOLORKEY | SDL_RLEACCEL)) |
                     (flag & (SDL_SRCCOLORKEY | SDL_RLEACCEL));
    surface->format->colorkey = key;
    return 0;
}

int SDL_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 alpha) {
    surface->flags = (surface->flags & ~SDL_SRCALPHA) | (flag & SDL_SRCALPHA);
    surface->format->alpha = alpha;
    return 0;
}

int SDL_ShowCursor(int toggle) {
    const int was = cursorShown;
    if (toggle != SDL_QUERY)
        cursorShown = toggle;
    return was;
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

struct SDL_RWops {
    FILE* file;
};

SDL_RWops* SDL_RWFromFile(const char* file, const char* mode) {
    FILE* stream = std::fopen(file, mode);
    if (!stream) {
        SDL_SetError("Couldn't open %s", file);
        return nullptr;
    }
    auto* ops = new (std::nothrow) SDL_RWops{stream};
    if (!ops)
        std::fclose(stream);
    return ops;
}

int SDL_RWclose(SDL_RWops* context) {
    if (!context)
        return -1;
    std::fclose(context->file);
    delete context;
    return 0;
}

} // extern "C"

FILE* HeadlessStream(SDL_RWops* ops) {
    return ops ? ops->file : nullptr;
}

long ReadFileHead(const char* file, unsigned char* head, size_t size) {
    FILE* stream = std::fopen(file, "rb");
    if (!stream) {
        SDL_SetError("Couldn't open %s", file);
        return -1;
    }
    const size_t got = std::fread(head, 1, size, stream);
    std::fclose(stream);
    return static_cast<long>(got);
}
