// The browser SDL's video core: start-up, errors, surfaces in memory, the
// 16-bit screen, conversion, blits and fills. Shared by the game's page and
// levelcheck's worker; what differs between them (showing a frame, events,
// the clock) is in PageSystem.cpp and HeadlessSystem.cpp.
//
// The pixels are the desktop's (Debian's SDL 1.2, sdl12-compat on SDL 2),
// as measured by tests/web/sdl/BlitDump.cpp on both:
// - a picture converted to a 16-bit screen keeps the top bits of each
//   channel and drops its alpha;
// - a 32-bit ARGB surface (rendered text) blended onto RGB565 uses five
//   bits of alpha: a >> 3 of 31 copies, 0 keeps the target, anything
//   between moves every channel by (source - target) * a / 32 in 565 units,
//   all three at once in one 32-bit word;
// - any other blend widens the target's channels to 8 bits (v * 255 / max,
//   rounded down), moves them by (source - target) * alpha / 255 rounded
//   towards zero, and keeps the top bits again.
#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char errorText[512] = "";
bool started = false;
SDL_Surface* screen = nullptr;
SDL_VideoInfo videoInfo = {};
int cursorShown = SDL_ENABLE;

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

bool Is565(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 2 && f->Rmask == 0xF800 && f->Gmask == 0x07E0 && f->Bmask == 0x001F;
}

Uint32 ReadAt(const Uint8* p, int bytes) {
    switch (bytes) {
    case 1:
        return p[0];
    case 2:
        return *reinterpret_cast<const Uint16*>(p);
    case 3:
        return Uint32(p[0]) | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16);
    default:
        return *reinterpret_cast<const Uint32*>(p);
    }
}

void WriteAt(Uint8* p, int bytes, Uint32 v) {
    switch (bytes) {
    case 1:
        p[0] = Uint8(v);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = Uint16(v);
        break;
    case 3:
        p[0] = Uint8(v);
        p[1] = Uint8(v >> 8);
        p[2] = Uint8(v >> 16);
        break;
    default:
        *reinterpret_cast<Uint32*>(p) = v;
        break;
    }
}

// A channel widened to 8 bits: v * 255 / max, rounded down.
Uint8 Widen(Uint32 pixel, Uint32 mask, Uint8 shift, Uint8 loss) {
    if (!mask)
        return 0;
    const Uint32 max = mask >> shift;
    const Uint32 v = (pixel & mask) >> shift;
    return loss == 0 ? Uint8(v) : Uint8(v * 255 / max);
}

void ReadRGBA(Uint32 pixel, const SDL_PixelFormat* f, Uint8& r, Uint8& g, Uint8& b, Uint8& a) {
    if (f->palette) {
        const SDL_Color c = f->palette->colors[pixel & 0xFF];
        r = c.r;
        g = c.g;
        b = c.b;
        a = 255;
        return;
    }
    r = Widen(pixel, f->Rmask, f->Rshift, f->Rloss);
    g = Widen(pixel, f->Gmask, f->Gshift, f->Gloss);
    b = Widen(pixel, f->Bmask, f->Bshift, f->Bloss);
    a = f->Amask ? Widen(pixel, f->Amask, f->Ashift, f->Aloss) : 255;
}

Uint32 MapRGBA(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    if (f->palette)
        return (Uint32(r) * 30 + g * 59 + b * 11) / 100; // the nearest grey
    return (Uint32(r >> f->Rloss) << f->Rshift) | (Uint32(g >> f->Gloss) << f->Gshift) |
           (Uint32(b >> f->Bloss) << f->Bshift) | ((Uint32(a >> f->Aloss) << f->Ashift) & f->Amask);
}

// One 8-bit channel moved towards the source by alpha / 255.
inline int Towards(int target, int source, int alpha) {
    return target + (source - target) * alpha / 255;
}

// The clipped copy a blit or fill makes: source and target corners and size.
struct Span {
    int sx, sy, dx, dy, w, h;
};

// SDL 1.2's clipping: the source rectangle to the source, then the target
// rectangle to the target's clip rectangle, each cut moving the other.
bool ClipBlit(const SDL_Surface* src, const SDL_Rect* srcrect, const SDL_Surface* dst, int dx,
              int dy, Span& span) {
    int sx = 0, sy = 0, w = src->w, h = src->h;
    if (srcrect) {
        sx = srcrect->x;
        sy = srcrect->y;
        w = srcrect->w;
        h = srcrect->h;
        if (sx < 0) {
            w += sx;
            dx -= sx;
            sx = 0;
        }
        if (sy < 0) {
            h += sy;
            dy -= sy;
            sy = 0;
        }
        if (sx + w > src->w)
            w = src->w - sx;
        if (sy + h > src->h)
            h = src->h - sy;
    }
    const SDL_Rect& c = dst->clip_rect;
    if (dx < c.x) {
        const int cut = c.x - dx;
        sx += cut;
        w -= cut;
        dx = c.x;
    }
    if (dy < c.y) {
        const int cut = c.y - dy;
        sy += cut;
        h -= cut;
        dy = c.y;
    }
    if (dx + w > c.x + c.w)
        w = c.x + c.w - dx;
    if (dy + h > c.y + c.h)
        h = c.y + c.h - dy;
    span = Span{sx, sy, dx, dy, w, h};
    return w > 0 && h > 0;
}

// A 32-bit ARGB pixel onto RGB565, as the desktop blends text.
inline Uint16 BlendArgbOn565(Uint32 s, Uint16 d) {
    const Uint32 a = s >> 27;
    const Uint32 s565 = ((s >> 8) & 0xF800) | ((s >> 5) & 0x07E0) | ((s >> 3) & 0x001F);
    if (a == 31)
        return Uint16(s565);
    if (a == 0)
        return d;
    const Uint32 sw = (s565 | (s565 << 16)) & 0x07E0F81F;
    const Uint32 dw = (d | (Uint32(d) << 16)) & 0x07E0F81F;
    const Uint32 r = (dw + (((sw - dw) * a) >> 5)) & 0x07E0F81F;
    return Uint16(r | (r >> 16));
}

void BlitRows(SDL_Surface* src, SDL_Surface* dst, const Span& s) {
    const SDL_PixelFormat* sf = src->format;
    const SDL_PixelFormat* df = dst->format;
    const int sb = sf->BytesPerPixel, db = df->BytesPerPixel;
    const bool keyed = (src->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = sf->colorkey;
    const bool perPixel = (src->flags & SDL_SRCALPHA) && sf->Amask;
    const bool surfaceAlpha =
        (src->flags & SDL_SRCALPHA) && !sf->Amask && sf->alpha != SDL_ALPHA_OPAQUE;
    const bool argbOn565 = perPixel && sb == 4 && sf->Amask == 0xFF000000 &&
                           sf->Rmask == 0xFF0000 && sf->Gmask == 0xFF00 && sf->Bmask == 0xFF &&
                           Is565(df);
    const bool sameFormat = !perPixel && !surfaceAlpha && sb == db && !sf->palette &&
                            !df->palette && sf->Rmask == df->Rmask && sf->Gmask == df->Gmask &&
                            sf->Bmask == df->Bmask && sf->Amask == df->Amask;
    for (int y = 0; y < s.h; ++y) {
        const Uint8* sp =
            static_cast<const Uint8*>(src->pixels) + (s.sy + y) * src->pitch + s.sx * sb;
        Uint8* dp = static_cast<Uint8*>(dst->pixels) + (s.dy + y) * dst->pitch + s.dx * db;
        if (sameFormat && !keyed) {
            std::memmove(dp, sp, static_cast<size_t>(s.w * sb));
            continue;
        }
        if (argbOn565) {
            const Uint32* from = reinterpret_cast<const Uint32*>(sp);
            Uint16* to = reinterpret_cast<Uint16*>(dp);
            for (int x = 0; x < s.w; ++x)
                to[x] = BlendArgbOn565(from[x], to[x]);
            continue;
        }
        for (int x = 0; x < s.w; ++x, sp += sb, dp += db) {
            const Uint32 pixel = ReadAt(sp, sb);
            if (keyed && pixel == key)
                continue;
            if (sameFormat) {
                WriteAt(dp, db, pixel);
                continue;
            }
            Uint8 r, g, b, a;
            ReadRGBA(pixel, sf, r, g, b, a);
            if (surfaceAlpha)
                a = sf->alpha;
            else if (!perPixel)
                a = 255;
            if (a != 255) {
                Uint8 tr, tg, tb, ta;
                ReadRGBA(ReadAt(dp, db), df, tr, tg, tb, ta);
                r = Uint8(Towards(tr, r, a));
                g = Uint8(Towards(tg, g, a));
                b = Uint8(Towards(tb, b, a));
                a = ta;
            }
            WriteAt(dp, db, MapRGBA(df, r, g, b, a));
        }
    }
}

} // namespace

extern "C" {

int SDL_Init(Uint32) {
    started = true;
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
    // Bounded so that a hostile size cannot exhaust the memory.
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

SDL_Surface* SDL_GetVideoSurface(void) {
    return screen;
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
            : SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
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
    // The source's colour key and alpha flags stay; its alpha channel goes:
    // every pixel is copied as it is, not blended.
    SDL_Surface* copy =
        SDL_CreateRGBSurface(surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA), surface->w,
                             surface->h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (!copy)
        return nullptr;
    const Uint32 flags = surface->flags;
    surface->flags &= ~(SDL_SRCALPHA | SDL_SRCCOLORKEY);
    Span all{0, 0, 0, 0, surface->w, surface->h};
    BlitRows(surface, copy, all);
    surface->flags = flags;
    if (flags & SDL_SRCCOLORKEY) {
        Uint8 r, g, b, a;
        ReadRGBA(surface->format->colorkey, surface->format, r, g, b, a);
        copy->format->colorkey = MapRGBA(copy->format, r, g, b, 255);
    }
    return copy;
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

int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color) {
    if (!dst) {
        SDL_SetError("Passed a NULL surface");
        return -1;
    }
    const SDL_Rect& c = dst->clip_rect;
    int x0 = c.x, y0 = c.y, x1 = c.x + c.w, y1 = c.y + c.h;
    if (dstrect) {
        if (dstrect->x > x0)
            x0 = dstrect->x;
        if (dstrect->y > y0)
            y0 = dstrect->y;
        if (dstrect->x + dstrect->w < x1)
            x1 = dstrect->x + dstrect->w;
        if (dstrect->y + dstrect->h < y1)
            y1 = dstrect->y + dstrect->h;
        // Written back as the desktop does, each side on its own: a fill
        // clipped away across keeps its height, and the other way round.
        *dstrect = SDL_Rect{Sint16(x0), Sint16(y0), Uint16(x1 > x0 ? x1 - x0 : 0),
                            Uint16(y1 > y0 ? y1 - y0 : 0)};
        if (x1 <= x0 || y1 <= y0)
            return 0;
    }
    const int bytes = dst->format->BytesPerPixel;
    for (int y = y0; y < y1; ++y) {
        Uint8* p = static_cast<Uint8*>(dst->pixels) + y * dst->pitch + x0 * bytes;
        if (bytes == 2) {
            Uint16* row = reinterpret_cast<Uint16*>(p);
            for (int x = 0; x < x1 - x0; ++x)
                row[x] = Uint16(color);
        } else {
            for (int x = x0; x < x1; ++x, p += bytes)
                WriteAt(p, bytes, color);
        }
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
    Span span;
    const bool any =
        ClipBlit(src, srcrect, dst, dstrect ? dstrect->x : 0, dstrect ? dstrect->y : 0, span);
    if (!any) {
        if (dstrect)
            *dstrect = SDL_Rect{Sint16(span.dx), Sint16(span.dy), 0, 0};
        return 0;
    }
    if (dstrect)
        *dstrect = SDL_Rect{Sint16(span.dx), Sint16(span.dy), Uint16(span.w), Uint16(span.h)};
    BlitRows(src, dst, span);
    return 0;
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b) {
    return MapRGBA(f, r, g, b, 255) | f->Amask;
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* f, Uint8* r, Uint8* g, Uint8* b) {
    Uint8 a;
    ReadRGBA(pixel, f, *r, *g, *b, a);
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

void SDL_WM_SetCaption(const char*, const char*) {}

} // extern "C"
