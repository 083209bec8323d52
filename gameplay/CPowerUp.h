#pragma once

#include <SDL.h>

#include "framework/fwSDLSprite.h"

// A falling capsule, and once caught the scene's held power-up. Kind 1 is
// the only kind: it lets the paddle fire shots. Drawn by the scene with its
// capsule image, so the sprite itself has none.
class CPowerUp : public fwSDLSprite {
  public:
    CPowerUp();

    // True when the capsule's rectangle overlaps rect.
    virtual bool Collides(SDL_Rect rect);

    int kind;
};
