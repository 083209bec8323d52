// Draws the game's pictures, text and fills the ways the game draws them and
// writes every result's pixels to one file. Built twice: on the desktop's
// SDL 1.2 (the reference) and on the browser's own SDL layer (web/sdl/,
// compiled natively); blits.test.mjs compares the two files.
//
//   sdl-blit-dump <data folder> <output file>
//
// Records: the name, a NUL, then width, height and bytes per pixel (int32
// each, little-endian) and the rows' pixels packed.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

FILE* out = nullptr;

void Put32(int value) {
    unsigned char bytes[4] = {Uint8(value), Uint8(value >> 8), Uint8(value >> 16),
                              Uint8(value >> 24)};
    std::fwrite(bytes, 1, 4, out);
}

void Record(const std::string& name, SDL_Surface* surface) {
    std::fwrite(name.c_str(), 1, name.size() + 1, out);
    const int bpp = surface->format->BytesPerPixel;
    Put32(surface->w);
    Put32(surface->h);
    Put32(bpp);
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y)
        std::fwrite(static_cast<Uint8*>(surface->pixels) + y * surface->pitch, 1,
                    static_cast<size_t>(surface->w * bpp), out);
    SDL_UnlockSurface(surface);
}

// A record of a few numbers (sizes, rectangles written back, flags).
void Numbers(const std::string& name, std::vector<int> values) {
    std::fwrite(name.c_str(), 1, name.size() + 1, out);
    Put32(static_cast<int>(values.size()));
    Put32(1);
    Put32(4);
    for (int v : values)
        Put32(v);
}

SDL_Surface* Screen16() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 48, 16, 0xF800, 0x07E0, 0x001F, 0);
}

// Every 565 value somewhere, so that blends meet all kinds of background.
void Pattern(SDL_Surface* s, Uint32 seed) {
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            seed = seed * 1103515245u + 12345u;
            reinterpret_cast<Uint16*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] =
                Uint16(seed >> 16);
        }
    SDL_UnlockSurface(s);
}

void Blit(SDL_Surface* src, SDL_Rect* part, SDL_Surface* dst, int x, int y,
          const std::string& name) {
    SDL_Rect at = {Sint16(x), Sint16(y), 0, 0};
    const int result = SDL_UpperBlit(src, part, dst, &at);
    Numbers(name + " rect", {result, at.x, at.y, at.w, at.h});
}

void Pictures(const std::string& data) {
    const char* names[] = {"arrow", "ball",    "brick001", "brick002", "brick003", "brick501",
                           "fire",  "loading", "paddle",   "progress", "pshot"};
    for (const char* n : names) {
        const std::string file = data + "/images/" + n + ".png";
        SDL_Surface* loaded = IMG_Load(file.c_str());
        if (!loaded) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), SDL_GetError());
            continue;
        }
        Record(std::string(n) + " loaded", loaded);
        SDL_Surface* shown = SDL_DisplayFormat(loaded);
        Record(std::string(n) + " display format", shown);
        Numbers(std::string(n) + " display flags",
                {int(shown->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY)), shown->format->alpha});
        // As fwSDLImage keeps it: a plain copy.
        SDL_SetAlpha(shown, 0, SDL_ALPHA_OPAQUE);
        SDL_Surface* target = Screen16();
        Pattern(target, 1);
        Blit(shown, nullptr, target, 3, 2, std::string(n) + " copy");
        Blit(shown, nullptr, target, -4, -3, std::string(n) + " copy clipped top left");
        Blit(shown, nullptr, target, target->w - 5, target->h - 2,
             std::string(n) + " copy clipped bottom right");
        SDL_Rect part = {1, 2, 5, 4};
        Blit(shown, &part, target, 20, 30, std::string(n) + " part");
        Blit(shown, nullptr, target, 100, 5, std::string(n) + " copy clipped away right");
        Blit(shown, nullptr, target, 5, -100, std::string(n) + " copy clipped away above");
        Record(std::string(n) + " copies", target);
        // Colour keyed (RLE as fwSDLImage asks): black, and the picture's
        // own middle pixel.
        Pattern(target, 2);
        Uint8 r, g, b;
        const Uint16 middle = reinterpret_cast<Uint16*>(
            static_cast<Uint8*>(shown->pixels) + (shown->h / 2) * shown->pitch)[shown->w / 2];
        SDL_GetRGB(middle, shown->format, &r, &g, &b);
        SDL_SetColorKey(shown, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(shown->format, 0, 0, 0));
        Blit(shown, nullptr, target, 1, 1, std::string(n) + " keyed black");
        SDL_SetColorKey(shown, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(shown->format, r, g, b));
        Blit(shown, nullptr, target, -2, 9, std::string(n) + " keyed middle");
        Record(std::string(n) + " keyed", target);
        // The file's own surface blended straight onto 16 bits.
        Pattern(target, 3);
        Blit(loaded, nullptr, target, 2, 3, std::string(n) + " blended");
        Blit(loaded, nullptr, target, -3, 20, std::string(n) + " blended clipped");
        Record(std::string(n) + " blends", target);
        SDL_FreeSurface(target);
        SDL_FreeSurface(shown);
        SDL_FreeSurface(loaded);
    }
}

// Every alpha against many colours and backgrounds: 32-bit ARGB (as text
// is) and ABGR (as a PNG loads) onto 16 bits.
void Alphas() {
    const Uint32 masks[2][4] = {{0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                {0xFF, 0xFF00, 0xFF0000, 0xFF000000}};
    for (int m = 0; m < 2; ++m) {
        SDL_Surface* src = SDL_CreateRGBSurface(SDL_SRCALPHA, 256, 64, 32, masks[m][0], masks[m][1],
                                                masks[m][2], masks[m][3]);
        Uint32 seed = 7;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 256; ++x) {
                seed = seed * 1103515245u + 12345u;
                const Uint32 rgb = (seed >> 8) & 0xFFFFFF;
                reinterpret_cast<Uint32*>(static_cast<Uint8*>(src->pixels) + y * src->pitch)[x] =
                    (rgb & ~masks[m][3]) | (Uint32(x) << 24);
            }
        SDL_Surface* dst =
            SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
        for (int pass = 0; pass < 4; ++pass) {
            Pattern(dst, 10 + pass + 4 * m);
            Blit(src, nullptr, dst, 0, 0, "alpha pass");
            Record("alphas " + std::to_string(m) + " " + std::to_string(pass), dst);
        }
        // Surface alpha on top of per-pixel alpha is not used by the game.
        SDL_FreeSurface(dst);
        SDL_FreeSurface(src);
    }
}

void Fills() {
    SDL_Surface* target = Screen16();
    Pattern(target, 4);
    const int rects[][4] = {{2, 3, 10, 5},  {-5, -4, 9, 8}, {60, 40, 30, 30},
                            {70, 10, 4, 4}, {10, 50, 5, 5}, {-9, -9, 4, 30}};
    int i = 0;
    for (const auto& r : rects) {
        SDL_Rect rect = {Sint16(r[0]), Sint16(r[1]), Uint16(r[2]), Uint16(r[3])};
        const Uint8 c = Uint8(40 * i + 17);
        const int result = SDL_FillRect(
            target, &rect, SDL_MapRGB(target->format, c, Uint8(255 - c), Uint8(c * 3)));
        Numbers("fill rect " + std::to_string(i++), {result, rect.x, rect.y, rect.w, rect.h});
    }
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    Record("fills then all black", target);
    Numbers("map rgb", {int(SDL_MapRGB(target->format, 255, 255, 255)),
                        int(SDL_MapRGB(target->format, 7, 3, 7)),
                        int(SDL_MapRGB(target->format, 200, 100, 50))});
    Uint8 r, g, b;
    std::vector<int> widened;
    for (Uint32 p : {0x0000u, 0xFFFFu, 0x8410u, 0x0821u, 0xF81Fu}) {
        SDL_GetRGB(p, target->format, &r, &g, &b);
        widened.insert(widened.end(), {r, g, b});
    }
    Numbers("get rgb", widened);
    SDL_FreeSurface(target);
}

void Text(const std::string& data) {
    TTF_Init();
    const struct {
        const char* file;
        int size;
    } fonts[] = {{"fonts/nocontrol.ttf", 24}, {"fonts/arial.ttf", 14}, {"fonts/nocontrol.ttf", 14}};
    const char* lines[] = {"New Game",
                           "Options",
                           "Credits",
                           "Exit",
                           "Play Music",
                           "On",
                           "Off",
                           "Score: 1234567890",
                           "GAME OVER",
                           "V0.1",
                           "Ready?",
                           "62.50 fps",
                           "AaBbCcXxYyZz !?.,:;-_()",
                           "W",
                           "j",
                           "All peopels that share there resources for free",
                           "AVATAR To, Ty. WAVY j(j)f/f",
                           "\xC9t\xE9 \xE0 l'\xEEle, \xA9 \xBD \xFF\x01"};
    for (const auto& f : fonts) {
        TTF_Font* font = TTF_OpenFont((data + "/" + f.file).c_str(), f.size);
        if (!font) {
            std::fprintf(stderr, "%s: %s\n", f.file, SDL_GetError());
            continue;
        }
        for (const char* line : lines) {
            const std::string name =
                std::string("text ") + f.file + " " + std::to_string(f.size) + " " + line;
            SDL_Surface* text = TTF_RenderText_Blended(font, line, SDL_Color{255, 255, 255, 0});
            if (!text)
                continue;
            Numbers(name + " size", {text->w, text->h});
            SDL_Surface* target = SDL_CreateRGBSurface(SDL_SWSURFACE, text->w + 4, text->h + 4, 16,
                                                       0xF800, 0x07E0, 0x001F, 0);
            SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 80));
            Blit(text, nullptr, target, 2, 2, name);
            Record(name + " drawn", target);
            SDL_FreeSurface(target);
            SDL_FreeSurface(text);
        }
        TTF_CloseFont(font);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data folder> <output file>\n", argv[0]);
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(320, 240, 16, 0)) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    Pictures(argv[1]);
    Alphas();
    Fills();
    Text(argv[1]);
    std::fclose(out);
    SDL_Quit();
    return 0;
}
