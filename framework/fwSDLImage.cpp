#include "framework/fwSDLImage.h"

#include <SDL_image.h>
#include <cstdio>

#include "framework/LogFile.h"

fwSDLImage::fwSDLImage() : sourceSurface(nullptr), displaySurface(nullptr) {}

fwSDLImage::~fwSDLImage() {
    ReleaseSurface(sourceSurface);
    if (displaySurface) {
        SDL_FreeSurface(displaySurface);
    }
}

bool fwSDLImage::Load(const char* fileName) {
    // An image is loaded once; should it be loaded again, drop the old
    // surfaces rather than leak them.
    ReleaseSurface(sourceSurface);
    sourceSurface = nullptr;
    if (displaySurface) {
        SDL_FreeSurface(displaySurface);
        displaySurface = nullptr;
    }

    SDL_Surface* loaded = IMG_Load(fileName);
    if (!loaded) {
        logFile.Write(SDL_GetError());
        return false;
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    if (!converted) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        SDL_FreeSurface(loaded);
        return false;
    }
    // The file's own surface stays locked so its pixels can be read at any
    // time without a lock/unlock pair around every read.
    sourceSurface = loaded;
    SDL_LockSurface(sourceSurface);
    // The converted 16-bit copy has no alpha channel left but may keep the
    // file's alpha-blend flag at full opacity: blending then yields exactly
    // the copied pixels, only many times slower per blit. Drop the flag so
    // every picture blits as a plain copy.
    const bool opaque = converted->format->alpha == SDL_ALPHA_OPAQUE;
    if ((converted->flags & SDL_SRCALPHA) && converted->format->Amask == 0 && opaque) {
        SDL_SetAlpha(converted, 0, SDL_ALPHA_OPAQUE);
    }
    displaySurface = converted;
    return true;
}

int fwSDLImage::GetWidth() const {
    return displaySurface ? displaySurface->w : 0;
}

int fwSDLImage::GetHeight() const {
    return displaySurface ? displaySurface->h : 0;
}

int fwSDLImage::SetColorKey(uint8_t r, uint8_t g, uint8_t b) {
    if (!displaySurface) {
        return -1;
    }
    Uint32 key = SDL_MapRGB(displaySurface->format, r, g, b);
    return SDL_SetColorKey(displaySurface, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
}

uint32_t fwSDLImage::GetPixel(int x, int y) const {
    return ReadPixel(sourceSurface, x, y);
}

SDL_Rect fwSDLImage::GetRect() const {
    return GetRect(0, 0);
}

SDL_Rect fwSDLImage::GetRect(int x, int y) const {
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(y);
    rect.w = static_cast<Uint16>(GetWidth());
    rect.h = static_cast<Uint16>(GetHeight());
    return rect;
}

void fwSDLImage::Draw(SDL_Surface* target, SDL_Rect rect) {
    // An image that failed to load was reported by Load; drawing it every
    // frame must not flood the log.
    if (!displaySurface || !target) {
        return;
    }
    // SDL writes the clipped rectangle back into its argument; rect is our
    // own copy, so the caller's never changes.
    if (SDL_UpperBlit(displaySurface, nullptr, target, &rect) == -1) {
        logFile.Write("SDLImage::Draw", SDL_GetError());
    }
}

void fwSDLImage::Draw(SDL_Surface* target, int x, int y, int w, int h) {
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(y);
    rect.w = static_cast<Uint16>(w);
    rect.h = static_cast<Uint16>(h);
    Draw(target, rect);
}

void fwSDLImage::Draw(SDL_Surface* target, int x, int y) {
    Draw(target, x, y, GetWidth(), GetHeight());
}

void ReleaseSurface(SDL_Surface* surface) {
    if (!surface) {
        return;
    }
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    SDL_FreeSurface(surface);
}

namespace {
bool Inside(const SDL_Surface* surface, int x, int y) {
    return x >= 0 && y >= 0 && x < surface->w && y < surface->h;
}
} // namespace

uint32_t ReadPixel(SDL_Surface* surface, int x, int y) {
    // Out-of-range reads answer 0 instead of reading past the pixels.
    if (!surface || !surface->pixels || !Inside(surface, x, y)) {
        return 0;
    }
    const int bpp = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    switch (bpp) {
    case 1:
        return p[0];
    case 2:
        return *reinterpret_cast<const Uint16*>(p);
    case 3:
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16);
    case 4:
        return *reinterpret_cast<const Uint32*>(p);
    default:
        return 0;
    }
}

void WritePixel(SDL_Surface* surface, int x, int y, uint32_t value) {
    if (!surface || !surface->pixels || !Inside(surface, x, y)) {
        return;
    }
    const int bpp = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    switch (bpp) {
    case 1:
        p[0] = static_cast<Uint8>(value);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value);
        break;
    case 3:
        p[0] = static_cast<Uint8>(value);
        p[1] = static_cast<Uint8>(value >> 8);
        p[2] = static_cast<Uint8>(value >> 16);
        break;
    case 4:
        *reinterpret_cast<Uint32*>(p) = value;
        break;
    default:
        break;
    }
}
