#include "gameplay/Ball.h"

#include <cmath>

namespace {

// Degrees to radians with the fixed decimal pi the game has always used;
// replays depend on these exact digits.
constexpr double Pi = 3.1415927;

// Rounds halves away from zero, as std::lround does, into an int.
int RoundHalfAway(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

Ball::Ball()
    : status(Unmoved), x(0.0f), y(0.0f), angle(0.0f), speed(1.0f), extraSpeed(1.0f),
      radius(0), bounds{0, 0, 0, 0} {}

void Ball::SetAngle(float a) {
    while (a < 0.0f) {
        a += 360.0f;
    }
    while (a >= 360.0f) {
        a -= 360.0f;
    }
    // Near-horizontal paths would let the ball crawl across the screen.
    if (a < 30.0f) {
        a = 30.0f;
    } else if (a > 150.0f && a <= 180.0f) {
        a = 150.0f;
    } else if (a > 180.0f && a < 210.0f) {
        a = 210.0f;
    } else if (a > 330.0f && a < 360.0f) {
        a = 330.0f;
    }
    // A steep climb would bounce forever between paddle and ceiling.
    if (a >= 80.0f && a <= 110.0f) {
        a = (a < 90.0f) ? 80.0f : 110.0f;
    }
    angle = a;
}

void Ball::SetBounds(const SDL_Rect& rect) {
    bounds = rect;
}

bool Ball::Move() {
    const double s = static_cast<double>(speed + extraSpeed);
    const double theta = static_cast<double>(angle) * Pi / 180.0;
    const float nx = static_cast<float>(static_cast<double>(x) + std::cos(theta) * s);
    const float ny = static_cast<float>(static_cast<double>(y) - std::sin(theta) * s);

    const int bx = bounds.x;
    const int by = bounds.y;
    const int bw = bounds.w;
    const int bh = bounds.h;
    const double r = radius;

    // Only the new position is looked at; a corner is resolved one wall per step.
    if (nx - r < bx) {
        status = Moving;
        SetAngle(540.0f - angle);
        x = static_cast<float>(bx + radius);
        y = ny;
        return true;
    }
    if (nx + r >= bx + bw) {
        status = Moving;
        SetAngle(180.0f - angle);
        x = static_cast<float>(bx + bw - radius);
        y = ny;
        return true;
    }
    if (ny - r < by) {
        status = Moving;
        SetAngle(360.0f - angle);
        x = nx;
        y = static_cast<float>(by + radius);
        return true;
    }
    if (ny + r >= by + bh) {
        status = ReachedBottom;
        SetAngle(360.0f - angle);
        return false;
    }
    status = Moving;
    x = nx;
    y = ny;
    return true;
}

int Ball::CollideRect(int rx, int ry, int rw, int rh) const {
    const SDL_Rect rect{static_cast<Sint16>(rx), static_cast<Sint16>(ry), static_cast<Uint16>(rw),
                        static_cast<Uint16>(rh)};
    if (!RectsOverlap(rect, Box())) {
        return SideNone;
    }
    const int cx = static_cast<int>(x);
    const int cy = static_cast<int>(y);
    if (!CircleTouchesRect(rx, ry, rw, rh, cx, cy, radius)) {
        return SideNone;
    }
    const double fx = x;
    const double fy = y;
    const bool withinRows = ry <= fy && fy < ry + rh;
    if (rx > fx && withinRows) {
        return SideLeft;
    }
    if (fx >= rx + rw - 1 && withinRows) {
        return SideRight;
    }
    if (fy <= ry) {
        return SideTop;
    }
    return SideBottom;
}

SDL_Rect Ball::Box() const {
    return SDL_Rect{static_cast<Sint16>(RoundHalfAway(static_cast<double>(x) - radius)),
                    static_cast<Sint16>(RoundHalfAway(static_cast<double>(y) - radius)),
                    static_cast<Uint16>(2 * radius), static_cast<Uint16>(2 * radius)};
}

int Ball::CollideRect(const SDL_Rect& rect) const {
    return CollideRect(static_cast<int>(rect.x), static_cast<int>(rect.y), static_cast<int>(rect.w),
                       static_cast<int>(rect.h));
}

bool RectsOverlap(const SDL_Rect& a, const SDL_Rect& b) {
    const int32_t ax = a.x, ay = a.y, aw = a.w, ah = a.h;
    const int32_t bx = b.x, by = b.y, bw = b.w, bh = b.h;
    return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

bool CircleTouchesSegment(int x1, int y1, int x2, int y2, int px, int py, int r) {
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int length2 = dx * dx + dy * dy;
    double t = 0.0;
    if (length2 != 0) {
        t = static_cast<double>((px - x1) * dx + (py - y1) * dy) / length2;
    }
    if (t < 0.0) {
        t = 0.0;
    } else if (t > 1.0) {
        t = 1.0;
    }
    const double nearX = x1 + t * dx;
    const double nearY = y1 + t * dy;
    const double ex = px - nearX;
    const double ey = py - nearY;
    return static_cast<double>(r) * r >= ex * ex + ey * ey;
}

bool CircleTouchesRect(int x, int y, int w, int h, int px, int py, int r) {
    return CircleTouchesSegment(x, y, x + w, y, px, py, r) ||         // top
           CircleTouchesSegment(x, y, x, y + h, px, py, r) ||         // left
           CircleTouchesSegment(x, y + h, x + w, y + h, px, py, r) || // bottom
           CircleTouchesSegment(x + w, y, x + w, y + h, px, py, r);   // right
}
