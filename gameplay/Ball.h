#pragma once

#include <SDL.h>

// The ball: a plain value record that moves itself in 2-pixel steps inside
// its bounds, reflects off the left, right and top walls, reports reaching
// the bottom, and tells which side of a rectangle it touches. Angles are
// degrees, 0 right and 90 up; positions are stored as 32-bit floats and
// computed in double precision.
class Ball {
  public:
    enum Status { Unmoved = 0, Moving = 1, ReachedBottom = 2 };
    enum Side { SideNone = 0, SideLeft = 1, SideTop = 2, SideRight = 3, SideBottom = 4 };

    Ball();

    // Normalises to [0, 360) and keeps the ball out of near-horizontal paths
    // and the steep upward zone 80..110; every result lies in [30, 80],
    // [110, 150] or [210, 330].
    void SetAngle(float a);
    void SetBounds(const SDL_Rect& rect);
    // One step. False exactly when the step would reach the lower side: the
    // position then stays, status becomes ReachedBottom.
    bool Move();
    // Side code of the ball's contact with the rectangle; changes nothing.
    int CollideRect(int rx, int ry, int rw, int rh) const;
    int CollideRect(const SDL_Rect& rect) const;
    // The ball's box as CollideRect tests it first: left x - r and top
    // y - r rounded half away from zero, 2r square. A rectangle that does
    // not overlap it has no contact.
    SDL_Rect Box() const;

    int status;
    float x;
    float y;
    float angle;
    float speed;
    float extraSpeed;
    int radius;
    SDL_Rect bounds;
};

// True when a and b share at least one pixel; touching edges do not count.
bool RectsOverlap(const SDL_Rect& a, const SDL_Rect& b);
// True when (px, py) lies within r of the segment (x1, y1)-(x2, y2).
bool CircleTouchesSegment(int x1, int y1, int x2, int y2, int px, int py, int r);
// True when (px, py) lies within r of any edge of the rectangle, whose right
// and bottom edges are at x + w and y + h.
bool CircleTouchesRect(int x, int y, int w, int h, int px, int py, int r);
