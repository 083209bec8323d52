// The application's states, loading screen and menu screens, driven frame
// by frame with the dummy video and audio drivers.

#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/frontend/FrontendFixture.h"

using fetest::TestApp;
using testsupport::SetKey;

namespace {

class FrontEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::UseDummyDrivers();
        fetest::MakeDataDir(dir, Omitted());
        cwd = std::make_unique<testsupport::ScopedChdir>(dir.Path());
        app = std::make_unique<TestApp>();
        app->Start();
    }
    void TearDown() override {
        app.reset();
        cwd.reset();
    }
    virtual std::set<std::string> Omitted() const { return {}; }

    // Options screen with the cursor on `row`.
    void OpenOptionsAt(int row) {
        app->ReachTitleMenu();
        app->state = QuadrellApp::AppOptions;
        app->optionsCursor = row;
    }

    testsupport::TempDir dir;
    std::unique_ptr<testsupport::ScopedChdir> cwd;
    std::unique_ptr<TestApp> app;
};

const std::vector<bool> Bar(int blocks) {
    std::vector<bool> bar(8, false);
    for (int i = 0; i < blocks; ++i)
        bar[i] = true;
    return bar;
}

TEST_F(FrontEnd, StartsWithTheSettingsOfEveryRun) {
    EXPECT_EQ(app->state, QuadrellApp::AppLoading);
    EXPECT_EQ(app->musicVolume, 70);
    EXPECT_EQ(app->soundVolume, 100);
    EXPECT_TRUE(app->playMusic);
    EXPECT_FALSE(app->computerPlayer);
    EXPECT_EQ(app->menuCursor, 0);
    EXPECT_EQ(app->optionsCursor, 0);
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Quadrell");
}

TEST_F(FrontEnd, LoadingShowsSixPicturesWithAGrowingBarThenABlackFrameThenTheMenu) {
    const Uint32 start = SDL_GetTicks();
    app->Frame();
    // Six loading pictures and the shell's own flip at the end of the frame.
    ASSERT_EQ(app->flips.size(), 7u);
    for (int step = 0; step < 6; ++step) {
        EXPECT_EQ(app->flips[step], Bar(step + 1)) << "picture " << step;
    }
    EXPECT_GE(SDL_GetTicks() - start, 600u) << "each picture is held for 100 ms";
    EXPECT_EQ(app->state, QuadrellApp::AppLoaded);
    EXPECT_FALSE(app->Quitting());
    EXPECT_EQ(app->StartupFailure(), nullptr);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 70);
    EXPECT_EQ(Mix_Volume(0, -1), 100);

    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    EXPECT_TRUE(app->blackFlips.back());

    app->Frame();
    EXPECT_FALSE(app->blackFlips.back());
    EXPECT_TRUE(app->ScreenIs(16, 59, fetest::ArrowColour)) << "arrow beside New Game";
}

// One missing data file: what the loading screen shows and what it reports.
// The log holds only the failing resource's own lines (a font reports on
// standard error instead).
struct MissingFile {
    const char* file;
    size_t loadingPictures;
    const char* failure; // null: the program goes on
    const char* logged;  // the loading frame's log, exactly
};

class LoadingFailure : public FrontEnd, public ::testing::WithParamInterface<MissingFile> {
  protected:
    std::set<std::string> Omitted() const override { return {GetParam().file}; }
};

TEST_P(LoadingFailure, EndsAfterTheLoadingScreenNamingTheFile) {
    const MissingFile& c = GetParam();
    std::unique_ptr<testsupport::ScopedLog> log = std::make_unique<testsupport::ScopedLog>();
    app->Frame();
    EXPECT_EQ(log->Text(), c.logged);
    log.reset();
    // The shell's flip ends every frame; the rest are loading pictures.
    EXPECT_EQ(app->flips.size() - 1, c.loadingPictures);
    EXPECT_EQ(app->state, QuadrellApp::AppLoaded);
    if (!c.failure) {
        EXPECT_FALSE(app->Quitting());
        EXPECT_EQ(app->StartupFailure(), nullptr);
        return;
    }
    EXPECT_TRUE(app->Quitting());
    ASSERT_NE(app->StartupFailure(), nullptr);
    EXPECT_STREQ(app->StartupFailure(), c.failure);
    // Should frames still run, nothing unloaded is drawn and nothing breaks.
    app->Frame();
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    EXPECT_EQ(app->ScreenIs(16, 59, fetest::ArrowColour),
              app->arrow.GetDisplaySurface() != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    FrontEnd, LoadingFailure,
    ::testing::Values(
        MissingFile{"data/images/loading.png", 0, "could not load data/images/loading.png",
                    "Couldn't open data/images/loading.png\n"},
        MissingFile{"data/images/progress.png", 0, "could not load data/images/progress.png",
                    "Couldn't open data/images/progress.png\n"},
        MissingFile{"data/sounds/title.mod", 6, "could not load data/sounds/title.mod",
                    "  SDLMusic::LoadFromFile: Couldn't open 'data/sounds/title.mod'\n"},
        MissingFile{"data/fonts/nocontrol.ttf", 6, "could not load data/fonts/nocontrol.ttf", ""},
        MissingFile{"data/fonts/arial.ttf", 6, "could not load data/fonts/arial.ttf", ""},
        MissingFile{"data/images/arrow.png", 6, "could not load data/images/arrow.png",
                    "Couldn't open data/images/arrow.png\n"},
        MissingFile{"data/images/paddle.png", 6, "could not load data/images/paddle.png",
                    "Couldn't open data/images/paddle.png\n"},
        MissingFile{"data/images/fire.png", 6, "could not load data/images/fire.png",
                    "Couldn't open data/images/fire.png\n"},
        MissingFile{"data/sounds/hit.wav", 6, "could not load data/sounds/hit.wav",
                    "  SDLSoundFX::LoadFromFile - File not found: data/sounds/hit.wav\n"},
        // The game's own game-over sound is the same file, so it is required.
        MissingFile{"data/sounds/gameover.wav", 6, "could not load data/sounds/gameover.wav",
                    "  SDLSoundFX::LoadFromFile - File not found: data/sounds/gameover.wav\n"
                    "  SDLSoundFX::LoadFromFile - File not found: data/sounds/gameover.wav\n"},
        // Levels are read when a game starts, not while loading.
        MissingFile{"data/levels/level1.txt", 6, nullptr, ""}),
    [](const ::testing::TestParamInfo<MissingFile>& info) {
        std::string name = std::string(info.param.file).substr(5);
        for (char& c : name) {
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

TEST_F(FrontEnd, AnUnknownStateFallsBackToTheTitleMenu) {
    app->ReachTitleMenu();
    app->state = 42;
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
}

TEST_F(FrontEnd, ANewGameCopiesTheComputerPlayerOptionAndStartsLevelOne) {
    app->ReachTitleMenu();
    app->computerPlayer = true;
    app->state = QuadrellApp::AppGameStart;
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppInGame);
    EXPECT_TRUE(app->game.autoPlay);
    EXPECT_EQ(app->game.level, 1);
    EXPECT_EQ(app->game.lives, 3);
    EXPECT_TRUE(app->game.bricks.cells[0].present);

    // Changing the option mid-game leaves the running game alone.
    app->computerPlayer = false;
    app->Frame();
    EXPECT_TRUE(app->game.autoPlay);
}

TEST_F(FrontEnd, TheGameReturnsToTheMenuWhenItAsksToLeave) {
    app->ReachTitleMenu();
    app->state = QuadrellApp::AppGameStart;
    app->Frame();
    app->game.state = GameScene::Finished;
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    EXPECT_EQ(app->menuCursor, 0) << "the arrow still points at New Game";
    EXPECT_FALSE(app->Quitting());
}

TEST_F(FrontEnd, AFirstLevelThatOpensButCannotBeReadEndsTheGameInsteadOfSkippingIt) {
    // A folder opens like a file but reads nothing; as an empty grid it
    // would count as cleared at once and level 2 would follow.
    std::remove(dir.File("data/levels/level1.txt").c_str());
    dir.Write("data/levels/level1.txt/keep", "");
    dir.Write("data/levels/level2.txt", "1 \n");
    app->ReachTitleMenu();
    testsupport::ScopedLog log;
    app->state = QuadrellApp::AppGameStart;
    app->Frame();
    EXPECT_EQ(app->game.state, GameScene::Finished);
    EXPECT_EQ(log.Text(), "  LevelData::Loading - Unknown level file: data/levels/level1.txt\n");
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    EXPECT_EQ(app->game.level, 1);
}

TEST_F(FrontEnd, ExitStateEndsTheProgram) {
    app->ReachTitleMenu();
    app->state = QuadrellApp::AppExit;
    app->Frame();
    EXPECT_TRUE(app->Quitting());
}

// A and B held together: the title menu ends the program, every other
// state returns to the title menu.
class AAndB : public FrontEnd, public ::testing::WithParamInterface<int> {};

TEST_P(AAndB, LeaveToTheMenuOrEndOnTheMenu) {
    app->ReachTitleMenu();
    if (GetParam() == QuadrellApp::AppInGame) {
        app->state = QuadrellApp::AppGameStart;
        app->Frame();
    }
    app->state = GetParam();
    SetKey(SDLK_a, true);
    SetKey(SDLK_b, true);
    const Uint32 start = SDL_GetTicks();
    app->UpdateFrame(app->GetScreen());
    if (GetParam() == QuadrellApp::AppTitleMenu) {
        EXPECT_TRUE(app->Quitting());
        EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    } else {
        EXPECT_FALSE(app->Quitting());
        EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
        EXPECT_GE(SDL_GetTicks() - start, 100u);
        // Still held at the next frame: now the program ends.
        app->UpdateFrame(app->GetScreen());
        EXPECT_TRUE(app->Quitting());
    }
    app->LetGo();
}

INSTANTIATE_TEST_SUITE_P(EveryState, AAndB,
                         ::testing::Values(QuadrellApp::AppLoading, QuadrellApp::AppLoaded,
                                           QuadrellApp::AppTitleMenu, QuadrellApp::AppGameStart,
                                           QuadrellApp::AppInGame, QuadrellApp::AppOptions,
                                           QuadrellApp::AppCredits, QuadrellApp::AppExit),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "State" + std::to_string(info.param);
                         });

TEST_F(FrontEnd, AAloneOrBAloneDoesNothing) {
    app->ReachTitleMenu();
    for (SDLKey key : {SDLK_a, SDLK_b}) {
        SetKey(key, true);
        app->UpdateFrame(app->GetScreen());
        app->LetGo();
    }
    EXPECT_FALSE(app->Quitting());
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
}

// Title menu: one frame with keys tapped from a given cursor.
struct MenuCase {
    const char* name;
    int cursor;
    std::vector<SDLKey> keys;
    int cursorAfter;
    int stateAfter;
};

class TitleMenuKeys : public FrontEnd, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(TitleMenuKeys, MoveWrapAndChoose) {
    const MenuCase& c = GetParam();
    app->ReachTitleMenu();
    app->menuCursor = c.cursor;
    // Let go in the order the menu asks for them.
    app->Tap(c.keys);
    app->Frame();
    EXPECT_EQ(app->menuCursor, c.cursorAfter);
    EXPECT_EQ(app->state, c.stateAfter);
    EXPECT_FALSE(app->Quitting());
}

INSTANTIATE_TEST_SUITE_P(
    FrontEnd, TitleMenuKeys,
    ::testing::Values(
        MenuCase{"UpOnNewGameWrapsToExit", 0, {SDLK_UP}, 3, QuadrellApp::AppTitleMenu},
        MenuCase{"DownOnExitWrapsToNewGame", 3, {SDLK_DOWN}, 0, QuadrellApp::AppTitleMenu},
        MenuCase{"DownMovesOneRow", 1, {SDLK_DOWN}, 2, QuadrellApp::AppTitleMenu},
        MenuCase{"UpMovesOneRow", 2, {SDLK_UP}, 1, QuadrellApp::AppTitleMenu},
        MenuCase{"UpWithSelectOnNewGameChoosesNothing",
                 0,
                 {SDLK_UP, SDLK_SPACE},
                 3,
                 QuadrellApp::AppTitleMenu},
        MenuCase{"DownWithSelectOnExitChoosesNothing",
                 3,
                 {SDLK_DOWN, SDLK_SPACE},
                 0,
                 QuadrellApp::AppTitleMenu},
        MenuCase{"DownThenSelectChoosesTheNewRow",
                 1,
                 {SDLK_DOWN, SDLK_SPACE},
                 2,
                 QuadrellApp::AppCredits},
        MenuCase{"SelectNewGame", 0, {SDLK_SPACE}, 0, QuadrellApp::AppGameStart},
        MenuCase{"SelectOptions", 1, {SDLK_SPACE}, 1, QuadrellApp::AppOptions},
        MenuCase{"SelectCredits", 2, {SDLK_SPACE}, 2, QuadrellApp::AppCredits},
        MenuCase{"SelectExit", 3, {SDLK_SPACE}, 3, QuadrellApp::AppExit}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return info.param.name; });

TEST_F(FrontEnd, TheArrowFollowsTheCursorFromTheNextFrame) {
    app->ReachTitleMenu();
    app->Frame();
    EXPECT_TRUE(app->ScreenIs(16, 59, fetest::ArrowColour));
    app->Tap({SDLK_DOWN});
    app->Frame();
    // Drawn before the key was read: still on the first row.
    EXPECT_TRUE(app->ScreenIs(16, 59, fetest::ArrowColour));
    app->Frame();
    EXPECT_FALSE(app->ScreenIs(16, 59, fetest::ArrowColour));
    EXPECT_TRUE(app->ScreenIs(16, 89, fetest::ArrowColour));
}

// Options screen.
TEST_F(FrontEnd, OptionsCursorWrapsBothWays) {
    OpenOptionsAt(0);
    app->Tap({SDLK_UP});
    app->Frame();
    EXPECT_EQ(app->optionsCursor, 4);
    app->Tap({SDLK_DOWN});
    app->Frame();
    EXPECT_EQ(app->optionsCursor, 0);
    EXPECT_EQ(app->state, QuadrellApp::AppOptions);
}

TEST_F(FrontEnd, MusicVolumeStepsByFiveAndStopsAtTheEnds) {
    OpenOptionsAt(1);
    std::vector<int> up;
    for (int i = 0; i < 13; ++i) {
        app->Tap({SDLK_RIGHT});
        app->Frame();
        up.push_back(app->musicVolume);
        ASSERT_EQ(Mix_VolumeMusic(-1), app->musicVolume);
    }
    EXPECT_EQ(up, (std::vector<int>{75, 80, 85, 90, 95, 100, 105, 110, 115, 120, 125, 128, 128}));
    std::vector<int> down;
    for (int i = 0; i < 27; ++i) {
        app->Tap({SDLK_LEFT});
        app->Frame();
        down.push_back(app->musicVolume);
        ASSERT_EQ(Mix_VolumeMusic(-1), app->musicVolume);
    }
    EXPECT_EQ(down.front(), 123);
    EXPECT_EQ(down[23], 8);
    EXPECT_EQ(down[24], 3);
    EXPECT_EQ(down[25], 0);
    EXPECT_EQ(down[26], 0);
    EXPECT_EQ(app->soundVolume, 100) << "the other setting stays";
}

TEST_F(FrontEnd, SoundVolumeStepsAndPlaysASampleEachTime) {
    OpenOptionsAt(2);
    const int expected[] = {105, 110, 115, 120, 125, 128, 128};
    for (int volume : expected) {
        Mix_HaltChannel(-1);
        app->Tap({SDLK_RIGHT});
        app->Frame();
        ASSERT_EQ(app->soundVolume, volume);
        EXPECT_EQ(Mix_Volume(0, -1), volume);
        EXPECT_EQ(Mix_Playing(-1), 1) << "one sample at volume " << volume;
    }
    for (int i = 0; i < 30; ++i) {
        app->Tap({SDLK_LEFT});
        app->Frame();
    }
    EXPECT_EQ(app->soundVolume, 0);
    EXPECT_EQ(app->musicVolume, 70);
}

TEST_F(FrontEnd, LeftAndRightOnOtherRowsChangeNothing) {
    for (int row : {0, 3, 4}) {
        OpenOptionsAt(row);
        app->Tap({SDLK_LEFT});
        app->Frame();
        app->Tap({SDLK_RIGHT});
        app->Frame();
        EXPECT_EQ(app->musicVolume, 70) << "row " << row;
        EXPECT_EQ(app->soundVolume, 100) << "row " << row;
        EXPECT_EQ(app->optionsCursor, row);
    }
}

TEST_F(FrontEnd, SelectOnTheVolumeRowsDoesNothing) {
    for (int row : {1, 2}) {
        OpenOptionsAt(row);
        app->Tap({SDLK_SPACE});
        app->Frame();
        EXPECT_EQ(app->state, QuadrellApp::AppOptions) << "row " << row;
        EXPECT_TRUE(app->playMusic);
        EXPECT_FALSE(app->computerPlayer);
        EXPECT_EQ(app->musicVolume, 70);
        EXPECT_EQ(app->soundVolume, 100);
    }
}

TEST_F(FrontEnd, ComputerPlayerTakesEffectAtTheNextNewGame) {
    OpenOptionsAt(3);
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_TRUE(app->computerPlayer);
    EXPECT_FALSE(app->game.autoPlay);
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_FALSE(app->computerPlayer);
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppOptions);

    app->optionsCursor = 4;
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
    EXPECT_EQ(app->optionsCursor, 4) << "kept for the next visit";
    app->Tap({SDLK_SPACE});
    app->menuCursor = 0;
    app->Frame();
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppInGame);
    EXPECT_TRUE(app->game.autoPlay);
}

TEST_F(FrontEnd, PlayMusicOffFadesOutAndOnAgainPlaysAtTheShownVolume) {
    OpenOptionsAt(1);
    for (int i = 0; i < 4; ++i) {
        app->Tap({SDLK_RIGHT});
        app->Frame();
    }
    ASSERT_EQ(app->musicVolume, 90);
    app->optionsCursor = 0;
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_FALSE(app->playMusic);
    EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);

    // At once, while the fade still runs: the music must really start.
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_TRUE(app->playMusic);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_NE(Mix_FadingMusic(), MIX_FADING_OUT);
    EXPECT_EQ(Mix_VolumeMusic(-1), 90);
    EXPECT_EQ(app->musicVolume, 90);
}

TEST_F(FrontEnd, PlayMusicOnAfterTheFadeEndedStartsTheMusic) {
    OpenOptionsAt(0);
    app->Tap({SDLK_SPACE});
    app->Frame();
    const Uint32 start = SDL_GetTicks();
    while (Mix_PlayingMusic() && SDL_GetTicks() - start < 10000)
        SDL_Delay(20);
    ASSERT_FALSE(Mix_PlayingMusic());
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 70);
}

TEST_F(FrontEnd, OptionsScreenDrawsItsValuesAndArrow) {
    OpenOptionsAt(3);
    app->Frame();
    EXPECT_TRUE(app->AnyLit(220, 50, 60, 20)) << "Play Music value";
    EXPECT_TRUE(app->AnyLit(220, 80, 60, 20)) << "Music Volume value";
    EXPECT_TRUE(app->AnyLit(40, 170, 60, 20)) << "Exit row";
    EXPECT_TRUE(app->ScreenIs(16, 58 + 90 + 1, fetest::ArrowColour));
}

// Credits.
TEST_F(FrontEnd, CreditsShowTextWithoutArrowAndSelectReturns) {
    app->ReachTitleMenu();
    app->state = QuadrellApp::AppCredits;
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppCredits);
    EXPECT_TRUE(app->AnyLit(10, 30, 100, 14));
    EXPECT_TRUE(app->AnyLit(30, 90, 200, 14));
    EXPECT_TRUE(app->AnyLit(30, 140, 100, 14));
    EXPECT_TRUE(app->AnyLit(40, 190, 100, 20));
    EXPECT_FALSE(app->AnyLit(12, 50, 17, 130)) << "no arrow";
    app->Tap({SDLK_SPACE});
    app->Frame();
    EXPECT_EQ(app->state, QuadrellApp::AppTitleMenu);
}

} // namespace
