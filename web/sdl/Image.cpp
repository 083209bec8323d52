// The browser SDL's IMG_Load: a PNG file decoded once by stb_image into the
// surface SDL_image makes for it (RGBA bytes in a 32-bit surface with the
// alpha-blend flag when the file has alpha, RGB bytes in 24 bits when not).
#include <SDL_image.h>

#include <cstdlib>
#include <cstring>

#include "web/sdl/SdlFiles.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ASSERT(x) ((void)0)
#include <stb/stb_image.h>

namespace {
// Larger files are not the game's pictures.
constexpr size_t FileLimit = 16 * 1024 * 1024;
constexpr int SideLimit = 8192;
} // namespace

extern "C" SDL_Surface* IMG_Load(const char* file) {
    size_t size = 0;
    unsigned char* bytes = ReadWholeFile(file, FileLimit, &size);
    if (!bytes)
        return nullptr;
    int w = 0, h = 0, channels = 0;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(bytes, signature, 8) != 0) {
        std::free(bytes);
        SDL_SetError("Unsupported image format");
        return nullptr;
    }
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &w, &h, &channels) || w <= 0 ||
        h <= 0 || w > SideLimit || h > SideLimit) {
        std::free(bytes);
        SDL_SetError("Error reading the PNG file.");
        return nullptr;
    }
    const bool alpha = channels == 2 || channels == 4;
    const int wanted = alpha ? 4 : 3;
    unsigned char* pixels =
        stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, wanted);
    std::free(bytes);
    if (!pixels) {
        SDL_SetError("Error reading the PNG file.");
        return nullptr;
    }
    SDL_Surface* surface =
        alpha ? SDL_CreateRGBSurface(SDL_SRCALPHA, w, h, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
              : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    if (surface) {
        for (int y = 0; y < h; ++y)
            std::memcpy(static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                        pixels + y * w * wanted, static_cast<size_t>(w * wanted));
    }
    stbi_image_free(pixels);
    return surface;
}
