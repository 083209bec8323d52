// The browser SDL's SDL_ttf. A font opened at a size that has a glyph file
// beside it (nocontrol.ttf at 24 points: nocontrol-24.glyphs, made by
// tools/fontglyphs from the desktop's SDL_ttf) draws from that file, with
// the desktop's pixels; any other size falls back to the .ttf, each glyph
// rasterised once by stb_truetype (close to the desktop's, not exact).
// Either way text is put together as SDL_ttf's blended text is, in a 32-bit
// ARGB surface as tall as the font: the text's colour in every pixel, pens
// advanced by the advances and the kerning, the whole string shifted right
// by a negative left bearing of its first glyph, and the glyphs' coverages
// OR'd as alpha where they overlap (tools/fontglyphs/main.cpp checks all
// of that against the desktop's drawing).
#include <SDL_ttf.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "web/sdl/SdlFiles.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_assert(x) ((void)0)
#include <stb/stb_truetype.h>

namespace {

// Larger files are not fonts the game packages.
constexpr size_t FileLimit = 32 * 1024 * 1024;

struct Glyph {
    int left = 0;  // the left bearing: a first glyph's negative one shifts the string
    int right = 0; // how far from the pen the string must reach past this glyph
    int advance = 0;
    int x = 0, y = 0; // the coverage's corner from the pen, from the surface's top
    int w = 0, h = 0;
    std::vector<unsigned char> coverage;
};

// A glyph file's bytes, read with bounds checked at every step.
class GlyphReader {
  public:
    GlyphReader(const unsigned char* bytes, size_t size) : at(bytes), end(bytes + size) {}
    bool Ok() const { return ok; }
    bool AtEnd() const { return ok && at == end; }
    int Int16() {
        if (end - at < 2) {
            ok = false;
            return 0;
        }
        const int value = static_cast<int16_t>(at[0] | (at[1] << 8));
        at += 2;
        return value;
    }
    int Byte() {
        if (at == end) {
            ok = false;
            return 0;
        }
        return *at++;
    }
    const unsigned char* Take(size_t count) {
        if (static_cast<size_t>(end - at) < count) {
            ok = false;
            return nullptr;
        }
        const unsigned char* taken = at;
        at += count;
        return taken;
    }

  private:
    const unsigned char* at;
    const unsigned char* end;
    bool ok = true;
};

std::string GlyphFileOf(const char* file, int ptsize) {
    std::string name = file;
    const size_t suffix = name.size() >= 4 ? name.size() - 4 : std::string::npos;
    if (suffix != std::string::npos && name.compare(suffix, 4, ".ttf") == 0)
        name.erase(suffix);
    return name + "-" + std::to_string(ptsize) + ".glyphs";
}

} // namespace

struct _TTF_Font {
    // From a glyph file: every glyph and the kerning, read at opening.
    std::map<int, std::unique_ptr<Glyph>> glyphs;
    std::map<int, int> kerning; // first * 256 + second
    // From a .ttf: glyphs rasterised when first drawn.
    unsigned char* bytes = nullptr;
    stbtt_fontinfo info{};
    float scale = 0;
    int ascent = 0, height = 0;
    ~_TTF_Font() { std::free(bytes); }

    bool ReadGlyphs(const unsigned char* file, size_t size) {
        GlyphReader in(file, size);
        const unsigned char* magic = in.Take(8);
        if (!magic || std::memcmp(magic, "QGLYPHS1", 8) != 0)
            return false;
        height = in.Int16();
        ascent = in.Int16();
        in.Int16(); // descent
        in.Int16(); // line skip
        const int count = in.Int16(), pairs = in.Int16();
        if (!in.Ok() || height <= 0 || height > 4096 || count != 255 || pairs < 0)
            return false;
        for (int ch = 1; ch <= count; ++ch) {
            auto glyph = std::make_unique<Glyph>();
            glyph->left = in.Int16();
            glyph->right = in.Int16();
            glyph->advance = in.Int16();
            glyph->x = in.Int16();
            glyph->y = in.Int16();
            glyph->w = in.Int16();
            glyph->h = in.Int16();
            if (glyph->w < 0 || glyph->h < 0 || glyph->y < 0 || glyph->y + glyph->h > height)
                return false;
            const size_t area = static_cast<size_t>(glyph->w) * static_cast<size_t>(glyph->h);
            const unsigned char* coverage = in.Take(area);
            if (!coverage)
                return false;
            glyph->coverage.assign(coverage, coverage + area);
            glyphs[ch] = std::move(glyph);
        }
        for (int i = 0; i < pairs; ++i) {
            const int first = in.Byte(), second = in.Byte();
            kerning[first * 256 + second] = in.Int16();
        }
        return in.AtEnd();
    }

    bool ReadTrueType(unsigned char* file, size_t size, int ptsize) {
        bytes = file;
        static const unsigned char trueType[4] = {0, 1, 0, 0};
        const bool known = size >= 12 && (std::memcmp(bytes, trueType, 4) == 0 ||
                                          std::memcmp(bytes, "true", 4) == 0 ||
                                          std::memcmp(bytes, "OTTO", 4) == 0);
        if (!known || !stbtt_InitFont(&info, bytes, 0))
            return false;
        // SDL_ttf's sizes are pixels per em (72 dpi).
        scale = stbtt_ScaleForMappingEmToPixels(&info, static_cast<float>(ptsize));
        int fontAscent = 0, fontDescent = 0, gap = 0;
        stbtt_GetFontVMetrics(&info, &fontAscent, &fontDescent, &gap);
        ascent = static_cast<int>(std::ceil(fontAscent * scale));
        height = ascent - static_cast<int>(std::ceil(fontDescent * scale)) + 1;
        return true;
    }

    int Kerning(int first, int second) const {
        const auto found = kerning.find(first * 256 + second);
        return found == kerning.end() ? 0 : found->second;
    }

    const Glyph& GlyphOf(int codepoint) {
        std::unique_ptr<Glyph>& kept = glyphs[codepoint];
        if (kept)
            return *kept;
        kept = std::make_unique<Glyph>();
        if (!bytes)
            return *kept; // character 0 of a glyph file: never in a C string
        const int index = stbtt_FindGlyphIndex(&info, codepoint);
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
        kept->advance = static_cast<int>(std::lround(advance * scale));
        kept->right = kept->advance;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
        if (x1 > x0 && y1 > y0 && x1 - x0 < 4096 && y1 - y0 < 4096) {
            kept->left = kept->x = x0;
            kept->right = x1 > kept->advance ? x1 : kept->advance;
            kept->y = ascent + y0;
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
    if (!file || ptsize <= 0) {
        SDL_SetError("Couldn't load font file");
        return nullptr;
    }
    auto* font = new _TTF_Font;
    size_t size = 0;
    const std::string glyphFile = GlyphFileOf(file, ptsize);
    if (unsigned char* glyphs = ReadWholeFile(glyphFile.c_str(), FileLimit, &size)) {
        const bool read = font->ReadGlyphs(glyphs, size);
        std::free(glyphs);
        if (read)
            return font;
        delete font;
        SDL_SetError("Couldn't load font file %s: not a glyph file", glyphFile.c_str());
        return nullptr;
    }
    unsigned char* bytes = ReadWholeFile(file, FileLimit, &size);
    if (!bytes) {
        delete font;
        return nullptr;
    }
    if (!font->ReadTrueType(bytes, size, ptsize)) {
        delete font; // and its bytes
        SDL_SetError("Couldn't load font file");
        return nullptr;
    }
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
    std::vector<int> pens(length);
    int pen = 0, right = 0;
    for (size_t i = 0; i < length; ++i) {
        if (i > 0)
            pen += font->Kerning(chars[i - 1], chars[i]);
        pens[i] = pen;
        const Glyph& g = font->GlyphOf(chars[i]);
        if (pen + g.right > right)
            right = pen + g.right;
        pen += g.advance;
    }
    const int firstLeft = font->GlyphOf(chars[0]).left;
    const int left = firstLeft < 0 ? firstLeft : 0;
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
    for (size_t i = 0; i < length; ++i) {
        const Glyph& g = font->GlyphOf(chars[i]);
        for (int gy = 0; gy < g.h; ++gy) {
            const int y = g.y + gy;
            if (y < 0 || y >= surface->h)
                continue;
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                                  y * surface->pitch);
            for (int gx = 0; gx < g.w; ++gx) {
                const int x = pens[i] - left + g.x + gx;
                if (x >= 0 && x < surface->w)
                    row[x] |= Uint32(g.coverage[static_cast<size_t>(gy * g.w + gx)]) << 24;
            }
        }
    }
    return surface;
}

} // extern "C"
