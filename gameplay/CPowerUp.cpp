#include "gameplay/CPowerUp.h"

#include "gameplay/Ball.h"

CPowerUp::CPowerUp() : kind(1) {}

bool CPowerUp::Collides(SDL_Rect rect) {
    return RectsOverlap(GetRect(), rect);
}
