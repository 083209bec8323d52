// The browser SDL's SDL_ttf: fonts read once from their files, each glyph
// rasterised once by stb_truetype and kept, and text put together from the
// kept glyphs in a 32-bit ARGB surface as SDL_ttf's blended text is: the
// text's colour in every pixel, the glyphs' coverage as alpha, the surface
// as tall as the font and the baseline at the font's ascent.
#include <SDL_ttf.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "web/sdl/SdlFiles.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_assert(x) ((void)0)
#include <stb/stb_truetype.h>

namespace {

// Larger files are not fonts the game packages.
constexpr size_t FileLimit = 32 * 1024 * 1024;

struct Glyph {
    int minx = 0, top = 0; // the bitmap's corner from the pen on the baseline
    int w = 0, h = 0;
    int advance = 0;
    std::vector<unsigned char> coverage;
};

} // namespace

struct _TTF_Font {
    unsigned char* bytes = nullptr;
    stbtt_fontinfo info{};
    float scale = 0;
    int ascent = 0, descent = 0, height = 0;
    std::map<int, std::unique_ptr<Glyph>> glyphs;
    ~_TTF_Font() { std::free(bytes); }

    const Glyph& GlyphOf(int codepoint) {
        std::unique_ptr<Glyph>& kept = glyphs[codepoint];
        if (kept)
            return *kept;
        kept = std::make_unique<Glyph>();
        const int index = stbtt_FindGlyphIndex(&info, codepoint);
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
        kept->advance = static_cast<int>(std::lround(advance * scale));
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
        if (x1 > x0 && y1 > y0 && x1 - x0 < 4096 && y1 - y0 < 4096) {
            kept->minx = x0;
            kept->top = y0;
            kept->w = x1 - x0;
            kept->h = y1 - y0;
            kept->coverage.resize(static_cast<size_t>(kept->w * kept->h));
            stbtt_MakeGlyphBitmap(&info, kept->coverage.data(), kept->w, kept->h, kept->w, scale,
                                  scale, index);
        }
        return *kept;
    }
};

extern "C" {

int TTF_Init(void) {
    return 0;
}

TTF_Font* TTF_OpenFont(const char* file, int ptsize) {
    size_t size = 0;
    unsigned char* bytes = ReadWholeFile(file, FileLimit, &size);
    if (!bytes)
        return nullptr;
    static const unsigned char trueType[4] = {0, 1, 0, 0};
    const bool known =
        size >= 12 && (std::memcmp(bytes, trueType, 4) == 0 || std::memcmp(bytes, "true", 4) == 0 ||
                       std::memcmp(bytes, "OTTO", 4) == 0);
    auto* font = new _TTF_Font;
    font->bytes = bytes;
    if (!known || !stbtt_InitFont(&font->info, bytes, 0) || ptsize <= 0) {
        delete font;
        SDL_SetError("Couldn't load font file");
        return nullptr;
    }
    // SDL_ttf's sizes are pixels per em (72 dpi).
    font->scale = stbtt_ScaleForMappingEmToPixels(&font->info, static_cast<float>(ptsize));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font->info, &ascent, &descent, &gap);
    font->ascent = static_cast<int>(std::ceil(ascent * font->scale));
    font->descent = static_cast<int>(std::ceil(descent * font->scale));
    font->height = font->ascent - font->descent + 1;
    return font;
}

void TTF_CloseFont(TTF_Font* font) {
    delete font;
}

SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, SDL_Color fg) {
    if (!font || !text || !*text) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    // Latin-1, one byte a character, as SDL_ttf's RenderText reads it.
    const auto* chars = reinterpret_cast<const unsigned char*>(text);
    const size_t length = std::strlen(text);
    int pen = 0, left = 0, right = 0;
    for (size_t i = 0; i < length; ++i) {
        const Glyph& g = font->GlyphOf(chars[i]);
        if (pen + g.minx < left)
            left = pen + g.minx;
        const int end = pen + (g.minx + g.w > g.advance ? g.minx + g.w : g.advance);
        if (end > right)
            right = end;
        pen += g.advance;
    }
    const int width = right - left;
    if (width <= 0) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SRCALPHA, width, font->height, 32, 0xFF0000,
                                                0xFF00, 0xFF, 0xFF000000);
    if (!surface)
        return nullptr;
    const Uint32 colour = (Uint32(fg.r) << 16) | (Uint32(fg.g) << 8) | fg.b;
    for (int y = 0; y < surface->h; ++y) {
        auto* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x)
            row[x] = colour;
    }
    pen = -left;
    for (size_t i = 0; i < length; ++i) {
        const Glyph& g = font->GlyphOf(chars[i]);
        for (int gy = 0; gy < g.h; ++gy) {
            const int y = font->ascent + g.top + gy;
            if (y < 0 || y >= surface->h)
                continue;
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                                  y * surface->pitch);
            for (int gx = 0; gx < g.w; ++gx) {
                const int x = pen + g.minx + gx;
                const Uint32 a = g.coverage[static_cast<size_t>(gy * g.w + gx)];
                if (x < 0 || x >= surface->w || a <= (row[x] >> 24))
                    continue;
                row[x] = colour | (a << 24);
            }
        }
        pen += g.advance;
    }
    return surface;
}

} // extern "C"
