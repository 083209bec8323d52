#include "framework/fwSDLSprite.h"

#include "framework/LogFile.h"

fwSDLSprite::fwSDLSprite()
    : image(nullptr), state(Inactive), x(0.0f), y(0.0f), dirX(0.0f), dirY(1.0f), frameWidth(0),
      frameHeight(0), speed(1.0f), columns(0), rows(0), column(0), row(0) {}

void fwSDLSprite::SetPosition(int newX, int newY) {
    x = static_cast<float>(newX);
    y = static_cast<float>(newY);
}

void fwSDLSprite::SetSize(int width, int height) {
    frameWidth = width;
    frameHeight = height;
}

void fwSDLSprite::SetDirection(float dx, float dy) {
    dirX = dx;
    dirY = dy;
}

void fwSDLSprite::SetSpeed(float s) {
    speed = s;
}

void fwSDLSprite::Move() {
    x = x + dirX * speed;
    y = y + dirY * speed;
}

void fwSDLSprite::Deactivate() {
    state = Inactive;
}

void fwSDLSprite::Activate() {
    state = Active;
}

void fwSDLSprite::Kill() {
    state = Dead;
}

void fwSDLSprite::SetImage(fwSDLImage* newImage, int newColumns, int newRows) {
    image = newImage;
    columns = newColumns;
    rows = newRows;
    if (!image) {
        return;
    }
    frameWidth = image->GetWidth();
    frameHeight = image->GetHeight();
    column = 0;
    row = 0;
    // A count below 1 means one frame across that dimension.
    if (columns >= 1) {
        frameWidth /= columns;
    }
    if (rows >= 1) {
        frameHeight /= rows;
    }
}

SDL_Rect fwSDLSprite::GetRect() const {
    SDL_Rect rect;
    // The conversion truncates toward zero: -0.5 lands on 0, -1.5 on -1.
    rect.x = static_cast<Sint16>(static_cast<int>(x));
    rect.y = static_cast<Sint16>(static_cast<int>(y));
    rect.w = static_cast<Uint16>(frameWidth);
    rect.h = static_cast<Uint16>(frameHeight);
    return rect;
}

void fwSDLSprite::Draw(SDL_Surface* target) {
    if (!image || !image->GetDisplaySurface() || !target) {
        return;
    }
    SDL_Rect source;
    source.x = static_cast<Sint16>(column * frameWidth);
    source.y = static_cast<Sint16>(row * frameHeight);
    source.w = static_cast<Uint16>(frameWidth);
    source.h = static_cast<Uint16>(frameHeight);
    SDL_Rect destination = GetRect();
    if (SDL_UpperBlit(image->GetDisplaySurface(), &source, target, &destination) == -1) {
        logFile.Write("SDLImage::Draw", SDL_GetError());
    }
}
