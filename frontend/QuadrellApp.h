#pragma once

#include <SDL.h>

#include <string>

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

    // Banner and author lines shown at the foot of the menu screens.
    static constexpr const char* MenuBanner = "QUADRELL V0.1";
    static constexpr const char* CreditsBanner = "QUADRELL V0.2";
    static constexpr const char* AuthorLine = "by the Quadrell team";
    // Volume settings move in steps of this size and stay within 0..128.
    static constexpr int VolumeStep = 5;
    static constexpr int MaxVolume = 128;

    // Nothing is loaded and SDL is not touched until Init and the first frame.
    // The window's caption.
    static constexpr const char* WindowTitle = "Quadrell";

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
    // After a failed loading screen: "could not load <what>"; else null.
    const char* StartupFailure() const override;

    // The loading screen: six steps with a growing progress bar, all within
    // one frame. Any failure of steps 1-4 (or of the screen's own images)
    // sets quit and records what failed.
    void RunLoading(SDL_Surface* screen);
    // One frame of each menu screen: draws it, then reads its keys (each
    // key acts once, on release). Up/Down move the arrow with wrap-around,
    // the select key (space) chooses; Left/Right change the volumes.
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
    // One short step per top-level state that is not a menu screen.
    void LoadingState(SDL_Surface* screen);
    void LoadedState();
    void GameStartState();
    void InGameState(SDL_Surface* screen);
    void ExitState();

    // Does the loading work of one step; a required resource that fails
    // goes through FailLoading.
    void LoadStep(int step);
    // Sets quit and keeps the first "could not load <file>" for
    // StartupFailure; logs nothing of its own.
    void FailLoading(const char* file);
    // Draws the cursor left of row `row` (0 = the row at y 50).
    void DrawArrow(SDL_Surface* screen, int row);
    void DrawFooter(SDL_Surface* screen, const char* banner);
    void ToggleMusic();
    void ChangeVolume(int delta);

    std::string startupFailure;
};
