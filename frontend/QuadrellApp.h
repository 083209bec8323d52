#pragma once

#include <SDL.h>

#include "framework/SDLApp.h"
#include "framework/SDLFont.h"
#include "framework/SDLMusic.h"
#include "framework/SDLSoundFX.h"
#include "framework/fwSDLImage.h"
#include "gameplay/GameScene.h"

// The game's application object: the loading screen, the title menu,
// options and credits screens, the start of a game and the running game,
// as a small state machine over the shell's frame hooks. Holds the player's
// settings for this run only (nothing is saved).
class QuadrellApp : public SDLApp {
public:
    enum AppState {
        AppLoading = 0,
        AppLoaded = 1,
        AppTitleMenu = 2,
        AppGameStart = 3,
        AppInGame = 4,
        AppOptions = 5,
        AppCredits = 6,
        AppExit = 7
    };

    QuadrellApp();
    ~QuadrellApp() override;

    // Settings to their start values: music on at 70, sounds at 100,
    // computer player off, both cursors on their first row.
    void InitApp() override;
    // Runs the current top-level state.
    void DrawFrame(SDL_Surface* screen) override;
    // A+B held together (leave the game, or the program from the title
    // menu), then the game's round step.
    void UpdateFrame(SDL_Surface* screen) override;
    const char* StartupFailure() const override;

    // The loading screen: six steps with a growing progress bar, all within
    // one frame. Any failure of steps 1-4 (or of the screen's own images)
    // sets quit and records what failed.
    void RunLoading(SDL_Surface* screen);
    void RunTitleMenu(SDL_Surface* screen);
    void RunOptions(SDL_Surface* screen);
    void RunCredits(SDL_Surface* screen);

    int state;
    SDLFont menuFont;
    SDLFont smallFont;
    fwSDLImage arrow;
    SDLMusic music;
    SDLSoundFX sound;
    GameScene game;
    int musicVolume;
    int soundVolume;
    int menuCursor;
    int optionsCursor;
    bool playMusic;
    bool computerPlayer;

private:
    const char* startupFailure = nullptr;
};
