#include "tools/levelcheck/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The surface's pixels as rows of 8-bit R, G, B, whatever its depth.
std::vector<png_byte> ToRgb(SDL_Surface* surface) {
    const int w = surface->w, h = surface->h;
    std::vector<png_byte> rgb(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    const int bpp = surface->format->BytesPerPixel;
    SDL_LockSurface(surface);
    for (int y = 0; y < h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < w; ++x) {
            const Uint8* p = row + x * bpp;
            Uint32 pixel = 0;
            switch (bpp) {
            case 1:
                pixel = *p;
                break;
            case 2:
                pixel = *reinterpret_cast<const Uint16*>(p);
                break;
            case 3:
                pixel = SDL_BYTEORDER == SDL_LIL_ENDIAN ? (p[0] | p[1] << 8 | p[2] << 16)
                                                        : (p[2] | p[1] << 8 | p[0] << 16);
                break;
            default:
                pixel = *reinterpret_cast<const Uint32*>(p);
                break;
            }
            png_byte* out = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            SDL_GetRGB(pixel, surface->format, &out[0], &out[1], &out[2]);
        }
    }
    SDL_UnlockSurface(surface);
    return rgb;
}

} // namespace

bool PngWriter::Write(const std::string& path, SDL_Surface* surface, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!surface)
        return fail("no surface to save");
    std::vector<png_byte> rgb = ToRgb(surface);

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return fail(std::strerror(errno));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::remove(path.c_str());
        return fail("libpng could not start");
    }
    std::vector<png_bytep> rows(static_cast<size_t>(surface->h));
    for (int y = 0; y < surface->h; ++y) {
        rows[static_cast<size_t>(y)] = &rgb[static_cast<size_t>(y) * surface->w * 3];
    }
    // libpng reports its errors by jumping back here.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::remove(path.c_str());
        return fail("libpng failed while writing");
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface->w),
                 static_cast<png_uint_32>(surface->h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    bool closed = std::fclose(file) == 0;
    if (!closed) {
        std::remove(path.c_str());
        return fail(std::strerror(errno));
    }
    return true;
}
