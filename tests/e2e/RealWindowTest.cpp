// The real program in a real X window, driven by key presses as a player
// would: menus, options, a game played by the computer player, pause, A+B
// and Escape.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/e2e/RealWindow.h"

using e2e::Game;
using e2e::Shot;

namespace {

class RealWindow : public ::testing::Test {
  protected:
    // Seven full rows of one-hit bricks: every upward flight breaks one.
    virtual const char* Levels() const { return "busy"; }

    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(game.Start(Levels())) << "the window did not appear\n"
                                          << game.Output() << "\nlog:\n"
                                          << game.Log();
        ASSERT_TRUE(game.WaitFor([](const Shot& s) { return s.IsTitleMenu() && s.ArrowRow() == 0; },
                                 20000, "title-menu"))
            << "the title menu did not appear";
    }

    static auto ArrowOn(int row) {
        return [row](const Shot& s) { return s.ArrowRow() == row; };
    }

    Game game;
};

TEST_F(RealWindow, OptionsThenAComputerGameThenPauseAAndBAndEscape) {
    // Options: turn the computer player on and come back.
    ASSERT_TRUE(game.PressUntil("Down", ArrowOn(1), "arrow-on-options"));
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsOptions(); }, "options"));
    Shot options = game.Take();
    const int offWidth = options.Bright(218, 142, 90, 22);
    for (int row = 1; row <= 3; ++row) {
        ASSERT_TRUE(game.PressUntil("Down", ArrowOn(row), "options-row-" + std::to_string(row)));
    }
    ASSERT_TRUE(game.PressUntil(
        "space",
        [&](const Shot& s) { return s.IsOptions() && s.Bright(218, 142, 90, 22) != offWidth; },
        "computer-player-on"));
    ASSERT_TRUE(game.PressUntil("Down", ArrowOn(4), "options-exit-row"));
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsTitleMenu(); }, "back-to-title"));
    EXPECT_EQ(game.Take().ArrowRow(), 1) << "the menu keeps its row";

    // New Game: the level waits for the select key.
    ASSERT_TRUE(game.PressUntil("Up", ArrowOn(0), "arrow-on-new-game"));
    Shot ready;
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsGame() && s.HasStateText(); }, "get-ready"));
    ASSERT_TRUE(game.WaitFor([](const Shot& s) { return s.IsGame(); }, 5000, "game", &ready));
    const int bricksAtStart = ready.Coloured(0, 20, 320, 150);
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsGame() && !s.HasStateText(); }, "playing"));

    // The computer player keeps the ball and breaks bricks.
    EXPECT_TRUE(game.WaitFor(
        [&](const Shot& s) {
            return s.IsGame() && s.Coloured(0, 20, 320, 150) < bricksAtStart - 300;
        },
        60000, "bricks-broken"))
        << "no bricks broken";

    // p pauses: the text shows and the playfield stands still.
    ASSERT_TRUE(game.PressUntil(
        "p", [](const Shot& s) { return s.HasStateText(); }, "paused"));
    const Shot first = game.Take();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Shot second = game.Take();
    EXPECT_TRUE(first.SameAs(second, 0, 20, 320, 220)) << "the ball moved while paused";

    // A+B leaves the game for the title menu; the program keeps running.
    const auto title = [](const Shot& s) { return s.IsTitleMenu(); };
    game.PressAAndB();
    if (!game.WaitFor(title, 4000, "after-a-b-first-try") && game.Running())
        game.PressAAndB();
    EXPECT_TRUE(game.WaitFor(title, 8000, "after-a-b"));
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.Take().ArrowRow(), 0) << "the arrow still on New Game";

    EXPECT_EQ(game.PressUntilExit("Escape"), 0);
    const std::string log = game.Log();
    const std::string last = "stopping application\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last) << log;
}

TEST_F(RealWindow, CreditsAndBackThenTheExitRow) {
    ASSERT_TRUE(game.PressUntil("Down", ArrowOn(1), "credits-arrow-1"));
    ASSERT_TRUE(game.PressUntil("Down", ArrowOn(2), "credits-arrow-2"));
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsCredits(); }, "credits"));
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsTitleMenu(); }, "credits-back"));
    ASSERT_TRUE(game.PressUntil("Down", ArrowOn(3), "exit-row"));
    EXPECT_EQ(game.PressUntilExit("space"), 0);
    EXPECT_NE(game.Log().find("stopping application"), std::string::npos);
}

// A full row of solid bricks just above the paddle sends every serve
// straight back down, far from a paddle waiting at the left wall.
class RealWindowWalledIn : public RealWindow {
  protected:
    const char* Levels() const override { return "walled"; }
};

TEST_F(RealWindowWalledIn, LosingEveryBallEndsInGameOverAndBackToTheMenu) {
    ASSERT_TRUE(game.PressUntil(
        "space", [](const Shot& s) { return s.IsGame() && s.HasStateText(); }, "new-game"));
    // The paddle waits at the left wall while the ball is served again and
    // again; the select key answers each "Press select key" and "GAME OVER".
    game.Hold("Left", true);
    const auto start = std::chrono::steady_clock::now();
    bool backAtMenu = false;
    int serves = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(100)) {
        const Shot shot = game.Take();
        if (shot.IsTitleMenu()) {
            backAtMenu = true;
            break;
        }
        if (shot.IsGame() && shot.HasStateText()) {
            game.Press("space");
            ++serves;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    game.Hold("Left", false);
    ASSERT_TRUE(backAtMenu) << "no way back to the title menu";
    EXPECT_GE(serves, 4) << "three balls and the game-over screen";
    EXPECT_EQ(game.Take().ArrowRow(), 0) << "the arrow still on New Game";
    EXPECT_TRUE(game.Running());
    EXPECT_EQ(game.PressUntilExit("Escape"), 0);
}

TEST_F(RealWindow, AAndBOnTheTitleMenuEndTheProgram) {
    EXPECT_EQ(game.PressUntilExit(""), 0);
}

} // namespace
