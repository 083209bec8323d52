#pragma once

// The built game in a real X window: started in a scratch directory that
// links to the repository's data, with the level files of one of the tests'
// own folders (tests/e2e/levels/), driven with xdotool and looked at with
// ImageMagick's import. Needs DISPLAY (the tests run under xvfb-run).

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace e2e {

// One 320x240 screenshot as 8-bit RGB.
class Shot {
  public:
    static constexpr int Width = 320;
    static constexpr int Height = 240;

    explicit Shot(std::vector<uint8_t> rgb = {}) : rgb(std::move(rgb)) {}
    bool Valid() const { return rgb.size() == static_cast<size_t>(Width * Height * 3); }

    // Pixels in the rectangle whose three channels all exceed 180: text.
    int Bright(int x, int y, int w, int h) const;
    // Pixels in the rectangle that are not black.
    int Lit(int x, int y, int w, int h) const;
    // Pixels in the rectangle with clearly unequal channels: bricks.
    int Coloured(int x, int y, int w, int h) const;
    bool SameAs(const Shot& other, int x, int y, int w, int h) const;

    // Screen recognisers, by where each screen has text and where not.
    bool IsTitleMenu() const;
    bool IsOptions() const;
    bool IsCredits() const;
    // A game screen: the heads-up line at the top and no menu.
    bool IsGame() const;
    // The game's state text (select key, paused, game over) is shown.
    bool HasStateText() const;
    // Row of the menu arrow (0 = the row at y 50), or -1.
    int ArrowRow() const;

    const std::vector<uint8_t>& Bytes() const { return rgb; }

  private:
    template <typename Test> int Count(int x, int y, int w, int h, Test test) const;

    std::vector<uint8_t> rgb;
};

class Game {
  public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Starts the program on the levels in tests/e2e/levels/<levels>/ and
    // waits for its window; false on failure. The game draws its serve from
    // the clock, so each folder's levels are made for what a test waits
    // for to happen from every serve.
    bool Start(const std::string& levels);
    Shot Take() const;
    // Holds a key about 100 ms and lets it go (menus act on release).
    void Press(const std::string& key) const;
    // Holds (or lets go of) a key until told otherwise.
    void Hold(const std::string& key, bool held) const;
    // Holds A and B together briefly.
    void PressAAndB() const;
    // Screenshots until test passes or timeoutMs runs out. On a timeout the
    // last screenshot is kept as <what>.png in the e2e output folder.
    bool WaitFor(const std::function<bool(const Shot&)>& test, int timeoutMs,
                 const std::string& what, Shot* last = nullptr) const;
    // Presses key until test passes: once, then once more if nothing
    // happened within a few seconds (a press lost on a very busy machine).
    bool PressUntil(const std::string& key, const std::function<bool(const Shot&)>& test,
                    const std::string& what) const;
    // Presses key (A+B when key is empty) until the program ends, as
    // PressUntil does; its exit status, or -1 when it keeps running.
    int PressUntilExit(const std::string& key);
    // The exit status once the program ends within timeoutMs, else -1.
    int WaitExit(int timeoutMs);
    bool Running();
    std::string Log() const;
    // What the program printed on standard output and standard error.
    std::string Output() const;
    void Save(const Shot& shot, const std::string& name) const;

  private:
    testsupport::TempDir dir;
    pid_t pid = -1;
    std::string window;
};

} // namespace e2e
