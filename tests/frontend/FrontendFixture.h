#pragma once

// A throwaway data directory and a QuadrellApp that tests drive frame by
// frame, with menu keys that are let go while the screen waits for them.

#include <SDL.h>

#include <atomic>
#include <deque>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "frontend/QuadrellApp.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace fetest {

// Colours of the fixture's pictures, so that tests can find them on screen.
using Rgb = fixtures::Rgb;
constexpr Rgb LoadingColour{0, 0, 255};
constexpr Rgb ProgressColour{255, 0, 0};
constexpr Rgb ArrowColour{0, 255, 0};

// Writes a complete data/ tree under dir: plain-coloured pictures, short
// generated sounds, a small tracker tune, one level and the repository's
// two fonts. Files named in `omit` (paths relative to dir, such as
// "data/fonts/arial.ttf") are left out.
void MakeDataDir(const testsupport::TempDir& dir, const std::set<std::string>& omit = {});

// QuadrellApp with test hooks. Construct one per test (one application per
// process at a time), inside the fixture's working directory.
class TestApp : public QuadrellApp {
  public:
    TestApp();
    ~TestApp() override;

    // Init and the key-state pointer the main loop would have set.
    void Start();
    // One frame as the main loop runs it, without event pump or sleep.
    void Frame();
    // Loads everything through the loading frame and the black frame.
    void ReachTitleMenu();
    // Holds keys and lets them go again, in the given order, one at a time
    // while the game waits for their release. Call before Frame.
    void Tap(const std::vector<SDLKey>& keys);
    // Let go of every key and forget pending releases.
    void LetGo();

    // Whether this SDLApp's quit flag is set.
    bool Quitting() const { return quit; }

    void FlipScreen() override;
    void OnEvent(SDL_Event* event) override;

    // Pixel (x, y) of the screen against a colour, as the screen stores it.
    bool ScreenIs(int x, int y, Rgb colour) const;
    // True when any pixel in the rectangle is not black.
    bool AnyLit(int x, int y, int w, int h) const;

    // One entry per flip: which progress blocks were on screen.
    std::vector<std::vector<bool>> flips;
    // Whether the screen was all black at each flip.
    std::vector<bool> blackFlips;

  private:
    void PushReleases();

    std::deque<SDLKey> releases;
    Uint32 lastRelease = 0;
    std::atomic<bool> wantRelease{false};
    std::atomic<bool> stopPusher{false};
    std::thread pusher;
};

} // namespace fetest
