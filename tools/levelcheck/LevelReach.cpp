#include "tools/levelcheck/LevelReach.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "gameplay/GameScene.h"

namespace {

// LevelData keeps brick rectangles relative to the grid's origin, which
// lies this far below the top of the screen (under the top line).
constexpr int GridTop = 20;

// The brick's rectangle where the play update tests the ball against it,
// with the same 16-bit arithmetic.
SDL_Rect ScreenRect(const BrickCell& cell) {
    SDL_Rect rect = cell.rect;
    rect.y = static_cast<Sint16>(rect.y + GridTop);
    return rect;
}

bool IsSolid(const BrickCell& cell) {
    return cell.present && cell.kind != 0 && !cell.breakable;
}
bool IsBreakable(const BrickCell& cell) {
    return cell.present && cell.kind != 0 && cell.breakable;
}

// The ball at half-pixel lattice point (hx, hy).
void Place(Ball& ball, int hx, int hy) {
    ball.x = static_cast<float>(hx) / 2.0f;
    ball.y = static_cast<float>(hy) / 2.0f;
}

} // namespace

Ball LevelReach::ServedBall() {
    GameScene scene;
    scene.serveSeed = 1;
    scene.clock = [] { return 0u; };
    scene.StartLevel(false);
    return scene.ball;
}

void LevelReach::Compute(const LevelData& grid) {
    Compute(grid, ServedBall());
}

// Move keeps the centre from bounds.x + r to bounds.x + w - r across (the
// right wall puts it exactly there) and from bounds.y + r down to just
// above bounds.y + h - r, where the ball is lost.
void LevelReach::Layout(const Ball& served) {
    const int r = served.radius;
    const SDL_Rect& b = served.bounds;
    left = 2 * (b.x + r);
    top = 2 * (b.y + r);
    width = 2 * (b.x + b.w - r) - left + 1;
    height = 2 * (b.y + b.h - r) - 1 - top + 1;
}

void LevelReach::Compute(const LevelData& grid, const Ball& served) {
    known = false;
    closedIn.clear();
    Layout(served);
    if (width <= 0 || height <= 0)
        return;
    const size_t points = static_cast<size_t>(width) * static_cast<size_t>(height);
    place.assign(points, Unvisited);

    for (const BrickCell& cell : grid.cells) {
        if (IsSolid(cell))
            MarkSolid(served, ScreenRect(cell));
    }
    // The half pixel holding the serve spot: the contact test gives the
    // same answer everywhere in it.
    const int sx = static_cast<int>(std::floor(2.0 * served.x)) - left;
    const int sy = static_cast<int>(std::floor(2.0 * served.y)) - top;
    if (sx < 0 || sx >= width || sy < 0 || sy >= height)
        return;
    const int start = sy * width + sx;
    if (place[static_cast<size_t>(start)] == Blocked)
        return;
    known = true;
    Flood(start, ServeRegion);

    // Pockets get labels from 2 in the order their first brick is met, so
    // the map hands the groups out by first cell.
    std::map<int, std::vector<int>> pockets;
    int nextLabel = ServeRegion + 1;
    for (int n = 0; n < LevelData::CellCount; ++n) {
        const BrickCell& cell = grid.cells[n];
        if (!IsBreakable(cell))
            continue;
        std::vector<int> touches = FreeTouches(served, ScreenRect(cell));
        bool reached = false;
        for (int t : touches) {
            if (place[static_cast<size_t>(t)] == ServeRegion) {
                reached = true;
                break;
            }
        }
        if (reached)
            continue;
        int label;
        if (touches.empty()) {
            label = nextLabel++; // off the playfield: a pocket of its own
        } else {
            const size_t first = static_cast<size_t>(touches.front());
            if (place[first] == Unvisited)
                Flood(touches.front(), static_cast<uint16_t>(nextLabel++));
            label = place[first];
        }
        pockets[label].push_back(n);
    }
    for (auto& pocket : pockets)
        closedIn.push_back(std::move(pocket.second));
}

// The contact test looks only at where the ball is against the brick, to
// the half pixel (its box and centre round the same way wherever both lie
// at positive coordinates, as every place in the bounds does), so it is
// asked once per brick size, against a brick at a place of that kind, and
// the answer is laid at each brick. Only a ball whose box reaches the
// brick can touch it, so a margin of r + 1 pixels is enough. A centre
// inside the brick counts too: the test reads no contact deep inside, but
// no ball is ever there.
const LevelReach::Footprint& LevelReach::FootprintOf(const Ball& served, const SDL_Rect& brick) {
    if (footprint.radius == served.radius && footprint.w == brick.w && footprint.h == brick.h) {
        return footprint;
    }
    footprint = Footprint{};
    footprint.radius = served.radius;
    footprint.w = brick.w;
    footprint.h = brick.h;
    const int r = served.radius;
    const int w = brick.w, h = brick.h, at = 4 * (r + 1);
    Ball probe = served;
    for (int dy = -2 * (r + 1); dy <= 2 * (h + r + 1); ++dy) {
        for (int dx = -2 * (r + 1); dx <= 2 * (w + r + 1); ++dx) {
            Place(probe, 2 * at + dx, 2 * at + dy);
            const bool inside =
                probe.x >= at && probe.x < at + w && probe.y >= at && probe.y < at + h;
            const bool touches = probe.CollideRect(at, at, w, h) != Ball::SideNone;
            if (!inside && !touches)
                continue;
            footprint.dx.push_back(dx);
            footprint.dy.push_back(dy);
            footprint.touches.push_back(touches ? 1 : 0);
        }
    }
    return footprint;
}

void LevelReach::MarkSolid(const Ball& served, const SDL_Rect& brick) {
    const Footprint& f = FootprintOf(served, brick);
    for (size_t i = 0; i < f.dx.size(); ++i) {
        const int lx = 2 * brick.x + f.dx[i] - left, ly = 2 * brick.y + f.dy[i] - top;
        if (lx >= 0 && lx < width && ly >= 0 && ly < height)
            place[static_cast<size_t>(ly * width + lx)] = Blocked;
    }
}

std::vector<int> LevelReach::FreeTouches(const Ball& served, const SDL_Rect& brick) {
    const Footprint& f = FootprintOf(served, brick);
    std::vector<int> touches;
    for (size_t i = 0; i < f.dx.size(); ++i) {
        const int lx = 2 * brick.x + f.dx[i] - left, ly = 2 * brick.y + f.dy[i] - top;
        if (!f.touches[i] || lx < 0 || lx >= width || ly < 0 || ly >= height)
            continue;
        const int at = ly * width + lx;
        if (place[static_cast<size_t>(at)] != Blocked)
            touches.push_back(at);
    }
    return touches;
}

// Neighbours across corners count as joined. The ball moves 2 pixels a
// step and lands on places rather than tracing paths, but no run of
// blocked places between two free ones is that thin: a solid brick's band
// reaches 2 pixels out from its edges and covers the brick, and where two
// bricks meet only at a corner their bands overlap by more than the ball.
void LevelReach::Flood(int start, uint16_t label) {
    // Span by span: fill the free run of a row, then look for free runs in
    // the rows above and below, one pixel wider each side for the corners.
    pending.assign(1, start);
    while (!pending.empty()) {
        const int at = pending.back();
        pending.pop_back();
        const int y = at / width;
        uint16_t* row = &place[static_cast<size_t>(y) * static_cast<size_t>(width)];
        int x0 = at % width, x1 = x0;
        if (row[x0] != Unvisited)
            continue;
        while (x0 > 0 && row[x0 - 1] == Unvisited)
            --x0;
        while (x1 + 1 < width && row[x1 + 1] == Unvisited)
            ++x1;
        for (int x = x0; x <= x1; ++x)
            row[x] = label;
        for (int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            const uint16_t* next = &place[static_cast<size_t>(ny) * static_cast<size_t>(width)];
            bool inRun = false;
            for (int x = std::max(x0 - 1, 0); x <= std::min(x1 + 1, width - 1); ++x) {
                const bool open = next[x] == Unvisited;
                if (open && !inRun)
                    pending.push_back(ny * width + x);
                inRun = open;
            }
        }
    }
}
