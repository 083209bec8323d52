// The worker build's PngWriter: the same pictures as the desktop's (each
// pixel through SDL_GetRGB to 8-bit RGB), written by stb_image_write in
// place of libpng, which the browser build does not have.
#include "tools/levelcheck/PngWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_SIMD
#include <stb/stb_image_write.h>

bool PngWriter::Write(const std::string& path, SDL_Surface* surface, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!surface)
        return fail("no surface to save");
    const int w = surface->w, h = surface->h, bpp = surface->format->BytesPerPixel;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    for (int y = 0; y < h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < w; ++x) {
            const Uint8* p = row + x * bpp;
            Uint32 pixel = 0;
            std::memcpy(&pixel, p, static_cast<size_t>(bpp)); // little-endian, as wasm is
            unsigned char* out = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            SDL_GetRGB(pixel, surface->format, &out[0], &out[1], &out[2]);
        }
    }
    errno = 0;
    if (!stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3)) {
        const std::string why = errno ? std::strerror(errno) : "the picture could not be written";
        std::remove(path.c_str());
        return fail(why);
    }
    return true;
}
