// The worker build's IMG_Load: a PNG file becomes a surface of the file's
// own size and kind of pixel, read from its header alone; no pixel is
// decoded. The game takes only sizes from its images (the paddle's width
// and height decide the bounces and the catches), and the checker draws
// nothing, so the decoded pixels could not change a check or a sweep.
#include <SDL_image.h>

#include "web/levelcheck/headless/Headless.h"

namespace {

Uint32 BigEndian(const unsigned char* p) {
    return (Uint32(p[0]) << 24) | (Uint32(p[1]) << 16) | (Uint32(p[2]) << 8) | Uint32(p[3]);
}

} // namespace

extern "C" SDL_Surface* IMG_Load(const char* file) {
    // Signature, then the IHDR chunk: length, type, width, height, bit
    // depth, colour type.
    unsigned char head[26];
    const long got = ReadFileHead(file, head, sizeof head);
    if (got < 0)
        return nullptr;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bool png = got == static_cast<long>(sizeof head);
    for (int i = 0; png && i < 8; ++i)
        png = head[i] == signature[i];
    if (!png) {
        SDL_SetError("Unsupported image format");
        return nullptr;
    }
    const Uint32 width = BigEndian(head + 16), height = BigEndian(head + 20);
    const int colourType = head[25];
    if (BigEndian(head + 8) != 13 || head[12] != 'I' || head[13] != 'H' || head[14] != 'D' ||
        head[15] != 'R' || width == 0 || height == 0 || width > 8192 || height > 8192) {
        SDL_SetError("Error reading the PNG file.");
        return nullptr;
    }
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    // The surface SDL_image makes for each kind: palette and grey images are
    // 8-bit, true colour 24-bit, anything with an alpha channel 32-bit RGBA
    // with the alpha-blend flag.
    if (colourType == 0 || colourType == 3)
        return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    if (colourType == 2)
        return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    if (colourType == 4 || colourType == 6) {
        return SDL_CreateRGBSurface(SDL_SRCALPHA, w, h, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    }
    SDL_SetError("Unknown PNG colour type");
    return nullptr;
}
