#pragma once

// One headless scene per test process: a scratch data folder with tiny
// solid-colour pictures, short sounds, the game's font and the test's own
// level files, a SceneDriver opened on it, and helpers to set up frames.

#include <SDL.h>

#include <cstdint>
#include <string>

#include "gameplay/SceneDriver.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace scenetest {

// Colours of the fixture pictures; each survives 16-bit conversion exactly.
using Rgb = fixtures::Rgb;
constexpr Rgb PaddleColour{248, 0, 0};
constexpr Rgb BallColour{0, 252, 0};
constexpr Rgb Brick1Colour{0, 0, 248};
constexpr Rgb Brick2Colour{248, 252, 0};
constexpr Rgb Brick3Colour{0, 252, 248};
constexpr Rgb SolidColour{248, 0, 248};
constexpr Rgb CapsuleColour{128, 128, 128};
constexpr Rgb ShotColour{248, 128, 0};
constexpr int PaddleWidth = 32;
constexpr int PaddleHeight = 6;

// Writes the scene's data files under root/data (font linked from the
// repository); the paddle picture is paddleWidth pixels wide.
void WriteSceneData(const testsupport::TempDir& root, int paddleWidth);

// The process's driver, opened on the fixture data (working directory is
// the fixture root for the whole process).
SceneDriver& Driver();
const testsupport::TempDir& Root();
// The process's log file (opened in the directory the test started in).
std::string LogPath();
// The fake clock the scene reads for its fire window.
extern uint32_t fakeNow;

// A fresh game on a grid written from levelBytes as level 1: keys released,
// fixed serve, fake clock, wedge guard on, all sounds stopped, state GetReady.
GameScene& StartGame(const std::string& levelBytes);
// As StartGame, then state Playing with the ball placed at (x, y) heading
// angle, exactly as given (no restriction applied).
GameScene& StartPlaying(const std::string& levelBytes, float x, float y, float angle);

uint32_t MapColour(Rgb c);
uint32_t PixelAt(int x, int y);
// Channels SDL_mixer is playing now.
int SoundsPlaying();

} // namespace scenetest
