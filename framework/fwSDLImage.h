#pragma once

#include <SDL.h>
#include <cstdint>

#include "framework/fwObject.h"

// One picture file read through SDL_image and converted once to the screen's
// pixel format. Owns both surfaces. Every operation but Load and GetPixel
// expects a loaded image.
class fwSDLImage : public fwObject {
  public:
    fwSDLImage();
    ~fwSDLImage() override;

    // Does nothing; kept as an extension point.
    virtual void Hook() {}
    // Reads fileName and converts it to the display format. A file SDL_image
    // cannot read is reported in the log (SDL's error text); a failed
    // conversion on standard error. Called once per image. Needs a video mode.
    virtual bool Load(const char* fileName);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    // Colour key on the display surface; returns SDL's result (0 on success).
    virtual int SetColorKey(uint8_t r, uint8_t g, uint8_t b);
    // Raw pixel of the file's own surface; 0 when nothing was loaded.
    // Coordinates are not checked.
    virtual uint32_t GetPixel(int x, int y) const;
    virtual SDL_Rect GetRect() const;
    virtual SDL_Rect GetRect(int x, int y) const;
    // Blits the whole image with its top-left corner at rect's position; the
    // size in rect is ignored and rect itself never changes. A refused blit
    // is logged under "SDLImage::Draw".
    virtual void Draw(SDL_Surface* target, SDL_Rect rect);
    virtual void Draw(SDL_Surface* target, int x, int y, int w, int h);
    virtual void Draw(SDL_Surface* target, int x, int y);

    SDL_Surface* GetSourceSurface() const { return sourceSurface; }
    SDL_Surface* GetDisplaySurface() const { return displaySurface; }

  protected:
    SDL_Surface* sourceSurface;
    SDL_Surface* displaySurface;
};

// Surface helpers beside the image class.
// Unlocks (when SDL requires locking) and frees surface; null is ignored.
void ReleaseSurface(SDL_Surface* surface);
// As fwSDLImage::GetPixel on any surface; 0 for null.
uint32_t ReadPixel(SDL_Surface* surface, int x, int y);
// Stores value at (x, y) by the surface's bytes per pixel; out-of-range
// coordinates change nothing. Does not lock.
void WritePixel(SDL_Surface* surface, int x, int y, uint32_t value);
