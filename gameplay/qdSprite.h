#pragma once

#include <SDL.h>

#include "framework/fwSDLSprite.h"

// A paddle shot flying straight up.
class qdSprite : public fwSDLSprite {
  public:
    // True when the shot's rectangle overlaps rect.
    virtual bool Collides(SDL_Rect rect);
};
