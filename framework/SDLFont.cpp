#include "framework/SDLFont.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {
// SDL_ttf is started by the first font of the process and never shut down,
// since fonts stay open until the end.
bool ttfInitialised = false;
// Set by a failure message, which has no line break of its own.
bool errorLineOpen = false;

// Fonts shared by name; they live until the process ends.
std::map<std::string, std::unique_ptr<SDLFont>>& Registry() {
    static std::map<std::string, std::unique_ptr<SDLFont>> registry;
    return registry;
}
} // namespace

SDLFont::SDLFont() : font(nullptr), loaded(false) {}

bool SDLFont::Load(const char* fileName, int pointSize) {
    if (!ttfInitialised) {
        TTF_Init();
        ttfInitialised = true;
    }
    font = TTF_OpenFont(fileName, pointSize);
    if (!font) {
        std::fprintf(stderr, "TrueType \"%s\" font not loaded", fileName);
        errorLineOpen = true;
        return false;
    }
    loaded = true;
    return true;
}

bool SDLFont::ErrorLineOpen() {
    return errorLineOpen;
}

SDL_Surface* SDLFont::RenderText(const char* text) {
    if (!loaded) {
        return nullptr;
    }
    SDL_Color white = {255, 255, 255, 0};
    return TTF_RenderText_Blended(font, text, white);
}

void SDLFont::DrawText(SDL_Surface* target, int x, int y, const char* text) {
    if (!loaded) {
        return;
    }
    SDL_Surface* rendered = RenderText(text);
    if (!rendered) {
        return;
    }
    SDL_Rect where = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    // Clipped or refused blits are not worth a report for text.
    SDL_UpperBlit(rendered, nullptr, target, &where);
    SDL_FreeSurface(rendered);
}

void SDLFont::DrawInt(SDL_Surface* target, int x, int y, int value) {
    char text[128];
    std::snprintf(text, sizeof text, "%d", value);
    DrawText(target, x, y, text);
}

void SDLFont::DrawFloat(SDL_Surface* target, int x, int y, float value) {
    char text[128];
    // Bounded: a huge value must not run past the buffer.
    std::snprintf(text, sizeof text, "%0.2f", static_cast<double>(value));
    DrawText(target, x, y, text);
}

SDLFont* RegisteredFont(const char* name, const char* fileName, int pointSize) {
    std::unique_ptr<SDLFont>& entry = Registry()[name];
    if (!entry) {
        entry = std::make_unique<SDLFont>();
        // A font that fails stays registered and simply draws nothing.
        entry->Load(fileName, pointSize);
    }
    return entry.get();
}
