#pragma once

#include <SDL.h>

#include <string>

#include "framework/SDLApp.h"
#include "gameplay/GameScene.h"

// Drives one game scene without the front end: for tests, benchmarks and
// the level checker. It is the process's one application object, so no
// other SDLApp (QuadrellApp included) may exist while it does.
//
//   setenv SDL_VIDEODRIVER=dummy and SDL_AUDIODRIVER=dummy first (headless);
//   SceneDriver driver;
//   std::string error;
//   if (!driver.Open(&error)) ...          // SDL up, scene.LoadResources()
//   driver.StartLevelFile("my/level.txt"); // new game at that grid, GetReady
//   driver.scene.autoPlay = true;          // or driver.Hold(SDLK_LEFT, true)
//   driver.Hold(SDLK_SPACE, true);         // the select key starts play
//   for (...) driver.Step(false);          // one frame each, no sleeping
//   ... inspect driver.scene (state, points, lives, bricks, ball) ...
//
// Resources load relative to the working directory ("data/..."), exactly
// as in the game. After Open the select-key pause is 0 ms (play runs as fast
// as the machine allows); set scene.selectDelayMs back to 200 for the
// game's own timing. Keys are held through SDL's key-state array, as the
// game reads them.
class SceneDriver : public SDLApp {
  public:
    SceneDriver() = default;

    // Starts SDL (video and audio, as the game does) and loads the scene's
    // resources. False with a reason in *error (may be null) when SDL does
    // not start or a resource is missing, naming the step or the file.
    bool Open(std::string* error);
    // NewGame, then the serve as a level start does, but with the grid read
    // from path instead of "data/levels/level1.txt". False (scene state
    // Finished) when the file cannot be opened. Later cleared levels go on
    // with the game's numbered files, from level 2.
    bool StartLevelFile(const char* path);
    // Holds or releases a key as the game sees it.
    void Hold(SDLKey key, bool held);
    // Releases every key.
    void ReleaseAll();
    // One frame as the game runs it: with draw, the screen is cleared to
    // black and the scene drawn; then the round step. No flip, no sleep.
    void Step(bool draw);
    // Steps until the scene's state differs from Playing, or maxFrames have
    // run; returns the number of frames stepped.
    int RunWhilePlaying(int maxFrames, bool draw);

    GameScene scene;
};
