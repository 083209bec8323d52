#include "gameplay/qdSprite.h"

#include "gameplay/Ball.h"

bool qdSprite::Collides(SDL_Rect rect) {
    return RectsOverlap(GetRect(), rect);
}
