#pragma once

#include <cstdint>
#include <vector>

#include "gameplay/Ball.h"
#include "gameplay/LevelData.h"

// Which breakable bricks of a grid the ball can ever reach, worked out from
// the game's own geometry: the brick rectangles the loader made, the ball
// the level start serves (its radius, its bounds and the serve spot) and the
// ball's own contact test against a rectangle.
//
// Solid bricks stay for good; a breakable brick the ball touches breaks in
// the end and the ball then moves through its place too. So a breakable
// brick is reachable exactly when the ball, treating every breakable brick
// as already gone, can go from the serve spot to a place where it touches
// that brick without touching a solid one.
class LevelReach {
  public:
    // Where the level start puts the ball, and how: position, radius and
    // bounds as a fresh scene's StartLevel leaves them. Builds a scene for
    // that, which seeds rand() and takes a few object ids, like any level
    // start.
    static Ball ServedBall();

    // Works out the reach in grid for the ball as the game serves it.
    void Compute(const LevelData& grid);
    // The same from a given ball: the places it can be lie within its
    // bounds as its moves keep it, starting from its position.
    void Compute(const LevelData& grid, const Ball& served);

    // False when the serve spot itself touches a solid brick: then the ball
    // cannot start and nothing is said about any brick (closedIn is empty).
    bool known = false;
    // Breakable cells the ball can never reach, grouped by the pocket that
    // closes them in: each group in grid order, groups by their first cell.
    std::vector<std::vector<int>> closedIn;

  private:
    // The places the ball's centre can take: a lattice of half pixels, which
    // is as fine as the contact test looks (it rounds the ball's box to
    // whole pixels and truncates its centre).
    int left = 0, top = 0; // the lattice's first point, in half pixels
    int width = 0, height = 0;
    // Per place: Unvisited, Blocked (touches or lies in a solid brick), or
    // the label of the region the ball can roam from there: ServeRegion
    // for the serve's, one label more for each pocket.
    static constexpr uint16_t Unvisited = 0, ServeRegion = 1, Blocked = 0xFFFF;
    std::vector<uint16_t> place;
    std::vector<int> pending; // Flood's spans still to look around

    // Where the centre of a ball of one radius touches (or lies in) a brick
    // of one size, as offsets in half pixels from twice the brick's corner.
    struct Footprint {
        int radius = -1, w = -1, h = -1;
        std::vector<int> dx, dy;
        std::vector<unsigned char> touches; // 0: in the brick, no contact
    };
    Footprint footprint;

    void Layout(const Ball& served);
    const Footprint& FootprintOf(const Ball& served, const SDL_Rect& brick);
    void MarkSolid(const Ball& served, const SDL_Rect& brick);
    void Flood(int start, uint16_t label);
    // The lattice indices at which the ball touches brick without touching
    // a solid brick.
    std::vector<int> FreeTouches(const Ball& served, const SDL_Rect& brick);
};
