// The browser build's entry. The program's own main (main.cpp, compiled as
// quadrell_main here) returns its status after the main loop has slept many
// times, each sleep unwinding the wasm stack to the browser; the runtime
// then loses main's return value and ends with status 0. Passing it to
// exit() keeps it, so that a failed start ends the run with status 1 as on
// the desktop.
//
// The page also reads, between frames, a little of the running game: where
// the paddle is while a ball is in play (a finger dragged over the screen
// holds Left or Right until the paddle is under it), whether to press the
// pause key when the page is hidden, and what the tests check the game's
// own state by. It only reads: the game moves by its own keys and rules.
#include <emscripten.h>

#include <cstdlib>

#include "frontend/QuadrellApp.h"

int quadrell_main(int argc, char* argv[]); // main.cpp

int main(int argc, char* argv[]) {
    std::exit(quadrell_main(argc, argv));
}

namespace {

const QuadrellApp* RunningApp() {
    return dynamic_cast<const QuadrellApp*>(SDLApp::Instance());
}

} // namespace

// What the page may read of the running game, never change.
extern "C" {

// 1 while a ball is in play (a game on screen, not paused, not waiting
// for the select key).
EMSCRIPTEN_KEEPALIVE int quadrell_in_play() {
    const QuadrellApp* app = RunningApp();
    return app && app->state == QuadrellApp::AppInGame && app->game.state == GameScene::Playing;
}

// The round state of the game on screen (GameScene::RoundState), or -1
// outside a game.
EMSCRIPTEN_KEEPALIVE int quadrell_round_state() {
    const QuadrellApp* app = RunningApp();
    return app && app->state == QuadrellApp::AppInGame ? app->game.state : -1;
}

// The balls left in the game on screen, or -1 outside a game.
EMSCRIPTEN_KEEPALIVE int quadrell_balls() {
    const QuadrellApp* app = RunningApp();
    return app && app->state == QuadrellApp::AppInGame ? app->game.lives : -1;
}

// The x of the paddle's middle in screen pixels while a ball is in play,
// or -1 at any other time (menus, get ready, paused, game over, loading).
EMSCRIPTEN_KEEPALIVE int quadrell_paddle_middle() {
    const QuadrellApp* app = RunningApp();
    if (!app || app->state != QuadrellApp::AppInGame || app->game.state != GameScene::Playing) {
        return -1;
    }
    return app->game.paddleX + app->game.paddleImage.GetWidth() / 2;
}

} // extern "C"
