#include "framework/SDLLabel.h"

SDLLabel::SDLLabel() : surface(nullptr) {}

SDLLabel::~SDLLabel() {
    if (surface) {
        SDL_FreeSurface(surface);
    }
}

void SDLLabel::SetText(SDLFont& font, const char* text) {
    if (surface) {
        SDL_FreeSurface(surface);
        surface = nullptr;
    }
    surface = font.RenderText(text);
}

void SDLLabel::Draw(SDL_Surface* target, int x, int y) {
    if (!surface) {
        return;
    }
    SDL_Rect where = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(surface, nullptr, target, &where);
}
