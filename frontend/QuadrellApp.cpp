#include "frontend/QuadrellApp.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <string>

namespace {

const char* const LoadingImageFile = "data/images/loading.png";
const char* const ProgressImageFile = "data/images/progress.png";
const char* const ArrowImageFile = "data/images/arrow.png";
const char* const MusicFile = "data/sounds/title.mod";
const char* const SampleFile = "data/sounds/gameover.wav";
const char* const MenuFontFile = "data/fonts/nocontrol.ttf";
const char* const SmallFontFile = "data/fonts/arial.ttf";

constexpr int LoadingSteps = 6;
constexpr int ProgressX = 10;
constexpr int ProgressSpacing = 15;
constexpr int ProgressY = 210;
constexpr Uint32 LoadingPauseMs = 100;
constexpr Uint32 LeaveGamePauseMs = 100;
constexpr int MusicFadeInMs = 0;

constexpr int RowX = 40;
constexpr int FirstRowY = 50;
constexpr int RowSpacing = 30;
constexpr int ValueX = 220;
constexpr int ArrowX = 15;
constexpr int ArrowDrop = 8;
constexpr int BannerY = 190;
constexpr int AuthorY = 210;

constexpr int TitleRows = 4;
constexpr int OptionRows = 5;
enum TitleRow { RowNewGame, RowOptions, RowCredits, RowExit };
enum OptionRow { RowPlayMusic, RowMusicVolume, RowSoundVolume, RowComputerPlayer, RowLeaveOptions };

int RowY(int row) {
    return FirstRowY + RowSpacing * row;
}

// Past either end the cursor comes round to the other end.
int WrapCursor(int cursor, int rows) {
    if (cursor < 0)
        return rows - 1;
    if (cursor >= rows)
        return 0;
    return cursor;
}

const char* OnOff(bool on) {
    return on ? "On" : "Off";
}

} // namespace

QuadrellApp::QuadrellApp()
    : state(AppLoading), musicVolume(70), soundVolume(100), menuCursor(0), optionsCursor(0),
      playMusic(true), computerPlayer(false) {}

QuadrellApp::~QuadrellApp() = default;

void QuadrellApp::InitApp() {
    menuCursor = 0;
    optionsCursor = 0;
    musicVolume = 70;
    soundVolume = 100;
    playMusic = true;
    computerPlayer = false;
    // Name the window so players (and window tools) can tell it apart.
    SDL_WM_SetCaption(WindowTitle, WindowTitle);
}

const char* QuadrellApp::StartupFailure() const {
    return startupFailure.empty() ? nullptr : startupFailure.c_str();
}

void QuadrellApp::DrawFrame(SDL_Surface* screen) {
    switch (state) {
    case AppLoading:
        LoadingState(screen);
        break;
    case AppLoaded:
        LoadedState();
        break;
    case AppTitleMenu:
        RunTitleMenu(screen);
        break;
    case AppGameStart:
        GameStartState();
        break;
    case AppInGame:
        InGameState(screen);
        break;
    case AppOptions:
        RunOptions(screen);
        break;
    case AppCredits:
        RunCredits(screen);
        break;
    case AppExit:
        ExitState();
        break;
    default:
        state = AppTitleMenu;
        break;
    }
}

void QuadrellApp::LoadingState(SDL_Surface* screen) {
    RunLoading(screen);
    // A failed load has set quit; the loop ends before the menu is shown.
    state = AppLoaded;
}

void QuadrellApp::LoadedState() {
    state = AppTitleMenu;
}

void QuadrellApp::GameStartState() {
    game.NewGame();
    // A missing first level leaves the scene finished; it then says so itself.
    game.StartLevel(true);
    game.autoPlay = computerPlayer;
    state = AppInGame;
}

void QuadrellApp::InGameState(SDL_Surface* screen) {
    game.Draw(screen);
    game.shownFps = static_cast<int>(GetFPS());
}

void QuadrellApp::ExitState() {
    Quit();
}

void QuadrellApp::UpdateFrame(SDL_Surface*) {
    // B is only asked while A is held.
    if (KeyPressed(SDLK_a, false) && KeyPressed(SDLK_b, false)) {
        if (state == AppTitleMenu) {
            Quit();
            return;
        }
        state = AppTitleMenu;
        // Gives the player time to let go before the menu sees the keys.
        SDL_Delay(LeaveGamePauseMs);
    }
    if (state == AppInGame) {
        game.RunRound(*this);
        if (game.leaveRequested)
            state = AppTitleMenu;
    }
}

void QuadrellApp::FailLoading(const char* file) {
    Quit();
    // The resource has already reported its own failure (in the log, or on
    // standard error for a font); only main's closing line names it again.
    if (startupFailure.empty())
        startupFailure = std::string("could not load ") + file;
}

void QuadrellApp::RunLoading(SDL_Surface* screen) {
    fwSDLImage background;
    fwSDLImage block;
    // Without its own pictures the screen cannot show anything; nothing
    // further is loaded, so the program must end rather than reach a menu
    // whose fonts and cursor do not exist.
    if (!background.Load(LoadingImageFile)) {
        FailLoading(LoadingImageFile);
        return;
    }
    if (!block.Load(ProgressImageFile)) {
        FailLoading(ProgressImageFile);
        return;
    }
    Mix_VolumeMusic(musicVolume);
    Mix_Volume(-1, soundVolume);

    for (int step = 0;; ++step) {
        LoadStep(step);
        // A signal to stop need not wait for the whole bar.
        if (step == LoadingSteps || StopRequested())
            return;
        background.Draw(screen, 0, 0, 320, 240);
        for (int i = 0; i <= step; ++i) {
            block.Draw(screen, ProgressX + ProgressSpacing * i, ProgressY);
        }
        FlipScreen();
        SDL_Delay(LoadingPauseMs);
    }
}

void QuadrellApp::LoadStep(int step) {
    // A failing step still shows its picture: the bar runs to its end and
    // quit then ends the program after this frame.
    switch (step) {
    case 1:
        if (music.LoadFromFile(MusicFile)) {
            music.Play(musicVolume, MusicFadeInMs);
        } else {
            FailLoading(MusicFile);
        }
        break;
    case 2: {
        bool menuLoaded = menuFont.Load(MenuFontFile, 24);
        bool smallLoaded = smallFont.Load(SmallFontFile, 14); // tried either way
        if (!menuLoaded)
            FailLoading(MenuFontFile);
        if (!smallLoaded)
            FailLoading(SmallFontFile);
        break;
    }
    case 3:
        if (!arrow.Load(ArrowImageFile))
            FailLoading(ArrowImageFile);
        break;
    case 4:
        if (!game.LoadResources())
            FailLoading(game.failedResource);
        break;
    case 5:
        // Only the options screen's volume sample: it may stay silent.
        sound.LoadFromFile(SampleFile);
        break;
    default:
        break;
    }
}

void QuadrellApp::DrawArrow(SDL_Surface* screen, int row) {
    // An arrow that failed to load is never drawn (the program is ending).
    if (!arrow.GetDisplaySurface())
        return;
    arrow.Draw(screen, ArrowX, RowY(row) + ArrowDrop);
}

void QuadrellApp::DrawFooter(SDL_Surface* screen, const char* banner) {
    menuFont.DrawText(screen, RowX, BannerY, banner);
    menuFont.DrawText(screen, RowX, AuthorY, AuthorLine);
}

void QuadrellApp::RunTitleMenu(SDL_Surface* screen) {
    menuFont.DrawText(screen, RowX, RowY(RowNewGame), "New Game");
    menuFont.DrawText(screen, RowX, RowY(RowOptions), "Options");
    menuFont.DrawText(screen, RowX, RowY(RowCredits), "Credits");
    menuFont.DrawText(screen, RowX, RowY(RowExit), "Exit");
    DrawFooter(screen, MenuBanner);
    DrawArrow(screen, menuCursor);

    if (KeyPressed(SDLK_UP, true))
        menuCursor -= 1;
    if (KeyPressed(SDLK_DOWN, true))
        menuCursor += 1;
    if (KeyPressed(SDLK_SPACE, true)) {
        // A cursor moved past an end in this same frame chooses nothing.
        switch (menuCursor) {
        case RowNewGame:
            state = AppGameStart;
            return;
        case RowOptions:
            state = AppOptions;
            return;
        case RowCredits:
            state = AppCredits;
            return;
        case RowExit:
            state = AppExit;
            return;
        default:
            break;
        }
    }
    menuCursor = WrapCursor(menuCursor, TitleRows);
}

void QuadrellApp::RunOptions(SDL_Surface* screen) {
    menuFont.DrawText(screen, RowX, RowY(RowPlayMusic), "Play Music");
    menuFont.DrawText(screen, ValueX, RowY(RowPlayMusic), OnOff(playMusic));
    menuFont.DrawText(screen, RowX, RowY(RowMusicVolume), "Music Volume");
    menuFont.DrawInt(screen, ValueX, RowY(RowMusicVolume), musicVolume);
    menuFont.DrawText(screen, RowX, RowY(RowSoundVolume), "Sound Volume");
    menuFont.DrawInt(screen, ValueX, RowY(RowSoundVolume), soundVolume);
    menuFont.DrawText(screen, RowX, RowY(RowComputerPlayer), "Computer Player");
    menuFont.DrawText(screen, ValueX, RowY(RowComputerPlayer), OnOff(computerPlayer));
    menuFont.DrawText(screen, RowX, RowY(RowLeaveOptions), "Exit");
    DrawFooter(screen, MenuBanner);
    DrawArrow(screen, optionsCursor);

    if (KeyPressed(SDLK_UP, true))
        optionsCursor -= 1;
    if (KeyPressed(SDLK_DOWN, true))
        optionsCursor += 1;
    if (KeyPressed(SDLK_LEFT, true))
        ChangeVolume(-VolumeStep);
    if (KeyPressed(SDLK_RIGHT, true))
        ChangeVolume(VolumeStep);
    if (KeyPressed(SDLK_SPACE, true)) {
        switch (optionsCursor) {
        case RowPlayMusic:
            ToggleMusic();
            break;
        case RowComputerPlayer:
            computerPlayer = !computerPlayer;
            return;
        case RowLeaveOptions:
            state = AppTitleMenu;
            break;
        default:
            break; // the volume rows change with Left and Right only
        }
    }
    optionsCursor = WrapCursor(optionsCursor, OptionRows);
}

void QuadrellApp::ChangeVolume(int delta) {
    if (optionsCursor == RowMusicVolume) {
        musicVolume = std::clamp(musicVolume + delta, 0, MaxVolume);
        Mix_VolumeMusic(musicVolume);
    } else if (optionsCursor == RowSoundVolume) {
        soundVolume = std::clamp(soundVolume + delta, 0, MaxVolume);
        Mix_Volume(-1, soundVolume);
        // A sample at the new volume, so the player hears the change.
        sound.Play(soundVolume);
    }
}

void QuadrellApp::ToggleMusic() {
    if (playMusic) {
        playMusic = false;
        music.FadeOut();
        return;
    }
    playMusic = true;
    // The music refuses to start while the last fade-out still plays; that
    // tail is cut short so that "On" really means music, at the volume the
    // options screen shows.
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    music.Play(musicVolume, MusicFadeInMs);
}

void QuadrellApp::RunCredits(SDL_Surface* screen) {
    smallFont.DrawText(screen, 10, 30, "My Credits to:");
    smallFont.DrawText(screen, 30, 50, "The SDL community, for its libraries");
    smallFont.DrawText(screen, 30, 70, "The makers of the free fonts");
    smallFont.DrawText(screen, 30, 90, "All peopels that share there resources for free");
    smallFont.DrawText(screen, 30, 140, "press select key");
    DrawFooter(screen, CreditsBanner);

    if (KeyPressed(SDLK_SPACE, true))
        state = AppTitleMenu;
}
