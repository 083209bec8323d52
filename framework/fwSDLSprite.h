#pragma once

#include <SDL.h>

#include "framework/fwObject.h"
#include "framework/fwSDLImage.h"

// A moving picture: float position, direction and speed applied once per
// Move, a life state, and frame (column, row) cut from an image it does not
// own. The sprite attaches no behaviour to its state; callers test it.
class fwSDLSprite : public fwObject {
  public:
    enum State { Inactive = 0, Active = 1, Dead = 2 };

    // Inactive, direction (0, 1), speed 1, no image, everything else 0.
    fwSDLSprite();
    ~fwSDLSprite() override = default;

    virtual void SetPosition(int x, int y);
    virtual void SetSize(int width, int height);
    virtual void SetDirection(float dx, float dy);
    virtual void SetSpeed(float s);
    // x += dirX * speed; y += dirY * speed.
    virtual void Move();
    virtual void Deactivate();
    virtual void Activate();
    virtual void Kill();

    // Stores image, columns and rows; with an image, the frame becomes
    // width/columns by height/rows (a count below 1 means one frame across)
    // and the current frame (0, 0). With null only the pointer changes.
    void SetImage(fwSDLImage* image, int columns, int rows);
    // {trunc(x), trunc(y), frameWidth, frameHeight}.
    SDL_Rect GetRect() const;
    // Blits the current frame at the truncated position; a refused blit is
    // logged under "SDLImage::Draw". Needs an image.
    void Draw(SDL_Surface* target);

    fwSDLImage* image;
    int state;
    float x;
    float y;
    float dirX;
    float dirY;
    int frameWidth;
    int frameHeight;
    float speed;
    int columns;
    int rows;
    int column;
    int row;
};
