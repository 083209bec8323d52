#pragma once

#include <SDL.h>

#include "framework/SDLFont.h"

// A caption rendered once and drawn with a single blit. Owns its surface.
class SDLLabel {
  public:
    SDLLabel();
    virtual ~SDLLabel();
    SDLLabel(const SDLLabel&) = delete;
    SDLLabel& operator=(const SDLLabel&) = delete;

    // Blits the caption at (x, y); nothing when empty.
    virtual void Draw(SDL_Surface* target, int x, int y);
    // Frees the old caption, then renders text with font (stays empty when
    // the font is not loaded).
    void SetText(SDLFont& font, const char* text);

    SDL_Surface* GetSurface() const { return surface; }

  private:
    SDL_Surface* surface;
};
