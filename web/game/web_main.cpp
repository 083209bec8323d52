// The browser build's entry. The program's own main (main.cpp, compiled as
// quadrell_main here) returns its status after the main loop has slept many
// times, each sleep unwinding the wasm stack to the browser; the runtime
// then loses main's return value and ends with status 0. Passing it to
// exit() keeps it, so that a failed start ends the run with status 1 as on
// the desktop.
#include <emscripten.h>

#include <cstdlib>

#include "frontend/QuadrellApp.h"

int quadrell_main(int argc, char* argv[]); // main.cpp

int main(int argc, char* argv[]) {
    std::exit(quadrell_main(argc, argv));
}

namespace {

const QuadrellApp* RunningApp() { return dynamic_cast<const QuadrellApp*>(SDLApp::Instance()); }

} // namespace

// What the page may read of the running game, never change: whether to
// press the game's pause key when the page is hidden, and what the tests
// check the game's own state by.
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
}
