// The worker build's SDL_ttf: a font opens when its file is there and
// starts like a TrueType or OpenType font; rendered text is a blank
// surface of a plausible size. Text is only ever drawn, and the checker
// draws nothing, so no check or sweep depends on a glyph or a text width.
#include <SDL_ttf.h>

#include <cstdlib>
#include <cstring>

#include "web/levelcheck/headless/Headless.h"

struct _TTF_Font {
    int size;
};

extern "C" {

int TTF_Init(void) {
    return 0;
}

TTF_Font* TTF_OpenFont(const char* file, int ptsize) {
    unsigned char tag[4];
    const long got = ReadFileHead(file, tag, sizeof tag);
    if (got < 0)
        return nullptr;
    static const unsigned char trueType[4] = {0, 1, 0, 0};
    if (got != 4 || (std::memcmp(tag, trueType, 4) != 0 && std::memcmp(tag, "OTTO", 4) != 0 &&
                     std::memcmp(tag, "true", 4) != 0 && std::memcmp(tag, "ttcf", 4) != 0)) {
        SDL_SetError("Couldn't load font file");
        return nullptr;
    }
    auto* font = static_cast<TTF_Font*>(std::calloc(1, sizeof(TTF_Font)));
    if (font)
        font->size = ptsize > 0 ? ptsize : 1;
    return font;
}

void TTF_CloseFont(TTF_Font* font) {
    std::free(font);
}

SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, SDL_Color) {
    if (!font || !text || !*text) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    const size_t length = std::strlen(text);
    const int width = static_cast<int>(length > 1000 ? 1000 : length) * (font->size / 2 + 1);
    return SDL_CreateRGBSurface(SDL_SRCALPHA, width, font->size + font->size / 4, 32, 0xFF0000,
                                0xFF00, 0xFF, 0xFF000000);
}

} // extern "C"
