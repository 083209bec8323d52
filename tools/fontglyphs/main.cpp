// font-glyphs: one font at one size as the desktop's SDL_ttf draws it, in a
// small file the browser's SDL layer (web/sdl/Font.cpp) draws text from, so
// that the browser's text has the desktop's pixels without shipping a font
// engine or the font itself.
//
//   font-glyphs <font.ttf> <point size> <output file>
//
// Each character SDL_ttf's RenderText takes (Latin-1, 1 to 255) is drawn
// alone by SDL_ttf's blended text and kept as its coverage (the alpha), with
// the metrics that place it. How glyphs are put together into a string was
// found by comparing against SDL_ttf's own strings:
// - pens advance by the glyphs' advances plus the font's kerning of each
//   pair (FreeType's, the one SDL_ttf reports);
// - the first glyph's negative left bearing shifts the whole string right;
// - the surface is as tall as the font and as wide as the furthest of each
//   glyph's pen plus the larger of its advance and its right edge;
// - where glyphs overlap, their coverages are OR'd bit for bit.
// Before writing, the file's glyphs are put together that way for every
// pair of characters and a set of longer strings and compared with
// SDL_ttf's own drawing; any difference fails the tool (exit 1), so a file
// is only ever made when it draws exactly as the desktop does.
//
// File (little-endian): "QGLYPHS1"; int16 height, ascent, descent, line
// skip, glyph count (255, for characters 1 to 255), kerning pair count;
// per glyph int16 left bearing, right edge, advance, the coverage's corner
// from the pen at the surface's top (x, y), its width and height, then its
// bytes row by row; per kerning pair the two characters (one byte each) and
// the int16 pen change between them.
#include <SDL.h>
#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Glyph {
    int left = 0, right = 0, advance = 0; // right: the larger of advance and right edge
    int x = 0, y = 0, w = 0, h = 0;       // the coverage's box from the pen, top of surface
    std::vector<Uint8> coverage;
    unsigned index = 0; // FreeType's glyph index, for the kerning
};

struct Kerning {
    int first, second, change;
};

struct Face {
    TTF_Font* font = nullptr;
    int height = 0;
    std::vector<Glyph> glyphs = std::vector<Glyph>(256);
    std::vector<Kerning> kerning;
    std::vector<std::vector<int>> kern = std::vector<std::vector<int>>(256, std::vector<int>(256));
};

Uint8 AlphaAt(SDL_Surface* s, int x, int y) {
    return Uint8(reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] >> 24);
}

SDL_Surface* Draw(TTF_Font* font, const std::string& text) {
    return TTF_RenderText_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 0});
}

bool ReadGlyph(Face& face, FT_Face ft, int ch) {
    Glyph& g = face.glyphs[static_cast<size_t>(ch)];
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics(face.font, Uint16(ch), &minx, &maxx, &miny, &maxy, &advance) != 0)
        return false;
    g.left = minx;
    g.right = std::max(maxx, advance);
    g.advance = advance;
    g.index = FT_Get_Char_Index(ft, FT_ULong(ch));
    SDL_Surface* alone = Draw(face.font, std::string(1, char(ch)));
    if (!alone || alone->h != face.height)
        return false;
    // Alone, the pen starts right of a negative left bearing.
    const int pen = std::max(0, -minx);
    int x0 = alone->w, y0 = alone->h, x1 = -1, y1 = -1;
    for (int y = 0; y < alone->h; ++y)
        for (int x = 0; x < alone->w; ++x)
            if (AlphaAt(alone, x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 >= 0) {
        g.x = x0 - pen;
        g.y = y0;
        g.w = x1 - x0 + 1;
        g.h = y1 - y0 + 1;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                g.coverage.push_back(AlphaAt(alone, x, y));
    }
    SDL_FreeSurface(alone);
    return true;
}

// The string from the kept glyphs: its width and alpha, row by row.
std::vector<Uint8> Compose(const Face& face, const std::string& text, int* width) {
    const auto* chars = reinterpret_cast<const unsigned char*>(text.c_str());
    std::vector<int> pens(text.size());
    int pen = 0, right = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0)
            pen += face.kern[chars[i - 1]][chars[i]];
        pens[i] = pen;
        const Glyph& g = face.glyphs[chars[i]];
        right = std::max(right, pen + g.right);
        pen += g.advance;
    }
    const int left = std::min(0, face.glyphs[chars[0]].left);
    *width = right - left;
    std::vector<Uint8> alpha(static_cast<size_t>(std::max(0, *width) * face.height));
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = face.glyphs[chars[i]];
        for (int y = 0; y < g.h; ++y)
            for (int x = 0; x < g.w; ++x) {
                const int at = pens[i] - left + g.x + x;
                if (at >= 0 && at < *width)
                    alpha[static_cast<size_t>((g.y + y) * *width + at)] |=
                        g.coverage[static_cast<size_t>(y * g.w + x)];
            }
    }
    return alpha;
}

bool SameAsDesktop(const Face& face, const std::string& text) {
    SDL_Surface* drawn = Draw(face.font, text);
    int width = 0;
    const std::vector<Uint8> alpha = Compose(face, text, &width);
    bool same = drawn && drawn->w == width && drawn->h == face.height;
    for (int y = 0; same && y < face.height; ++y)
        for (int x = 0; same && x < width; ++x)
            same = AlphaAt(drawn, x, y) == alpha[static_cast<size_t>(y * width + x)];
    if (drawn)
        SDL_FreeSurface(drawn);
    return same;
}

void Put16(std::string& out, int value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

std::string Serialise(const Face& face) {
    std::string out = "QGLYPHS1";
    for (int v : {face.height, TTF_FontAscent(face.font), TTF_FontDescent(face.font),
                  TTF_FontLineSkip(face.font), 255, static_cast<int>(face.kerning.size())})
        Put16(out, v);
    for (int ch = 1; ch < 256; ++ch) {
        const Glyph& g = face.glyphs[static_cast<size_t>(ch)];
        for (int v : {g.left, g.right, g.advance, g.x, g.y, g.w, g.h})
            Put16(out, v);
        out.append(g.coverage.begin(), g.coverage.end());
    }
    for (const Kerning& k : face.kerning) {
        out += char(k.first);
        out += char(k.second);
        Put16(out, k.change);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: font-glyphs <font.ttf> <point size> <output file>\n");
        return 2;
    }
    const char* file = argv[1];
    const int size = std::atoi(argv[2]);
    FT_Library library = nullptr;
    FT_Face ft = nullptr;
    if (SDL_Init(0) < 0 || TTF_Init() < 0 || FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "font-glyphs: SDL_ttf or FreeType did not start\n");
        return 3;
    }
    Face face;
    face.font = TTF_OpenFont(file, size);
    if (size <= 0 || !face.font || FT_New_Face(library, file, 0, &ft) != 0) {
        std::fprintf(stderr, "font-glyphs: %s at %s points: %s\n", file, argv[2], TTF_GetError());
        return 3;
    }
    face.height = TTF_FontHeight(face.font);
    for (int ch = 1; ch < 256; ++ch)
        if (!ReadGlyph(face, ft, ch)) {
            std::fprintf(stderr, "font-glyphs: character %d not drawn: %s\n", ch, TTF_GetError());
            return 3;
        }
    for (int a = 1; a < 256; ++a)
        for (int b = 1; b < 256; ++b) {
            const int change = TTF_GetFontKerningSize(face.font, int(face.glyphs[a].index),
                                                      int(face.glyphs[b].index));
            face.kern[a][b] = change;
            if (change)
                face.kerning.push_back({a, b, change});
        }
    if (face.kerning.size() > 32767) {
        std::fprintf(stderr, "font-glyphs: more kerning pairs than the file holds\n");
        return 3;
    }
    // Every pair, then strings long enough for kerning, bearings and
    // overlaps to meet.
    std::vector<std::string> texts;
    for (int a = 1; a < 256; ++a)
        for (int b = 1; b < 256; ++b)
            texts.push_back({char(a), char(b)});
    std::string all;
    for (int ch = 1; ch < 256; ++ch)
        all += char(ch);
    texts.push_back(all);
    for (const char* line : {"New Game", "Score: 1234567890", "AVATAR To, Ty. WAVY j(j)f/f",
                             "All peopels that share there resources for free", "62.50 fps"})
        texts.push_back(line);
    Uint32 seed = 25;
    for (int n = 0; n < 2000; ++n) {
        std::string text;
        for (int i = 0; i < 2 + n % 12; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += char(1 + (seed >> 16) % 255);
        }
        texts.push_back(text);
    }
    int differing = 0;
    for (const std::string& text : texts)
        differing += SameAsDesktop(face, text) ? 0 : 1;
    if (differing) {
        std::fprintf(stderr,
                     "font-glyphs: %d of %zu strings are not drawn as SDL_ttf draws them; "
                     "no file written\n",
                     differing, texts.size());
        return 1;
    }
    const std::string bytes = Serialise(face);
    FILE* out = std::fopen(argv[3], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[3]);
        return 4;
    }
    FT_Done_Face(ft);
    FT_Done_FreeType(library);
    TTF_CloseFont(face.font);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
