// The browser build's entry. The program's own main (main.cpp, compiled as
// quadrell_main here) returns its status after the main loop has slept many
// times, each sleep unwinding the wasm stack to the browser; the runtime
// then loses main's return value and ends with status 0. Passing it to
// exit() keeps it, so that a failed start ends the run with status 1 as on
// the desktop.
//
// The page also asks, between frames, where the paddle is while a game is
// in play, so that a finger dragged over the screen can hold Left or Right
// until the paddle is under it. It only reads: the game moves the paddle
// by its own keys and rules.
#include <cstdlib>

#include <emscripten/emscripten.h>

#include "frontend/QuadrellApp.h"

int quadrell_main(int argc, char* argv[]); // main.cpp

int main(int argc, char* argv[]) {
    std::exit(quadrell_main(argc, argv));
}

// The x of the paddle's middle in screen pixels while a ball is in play,
// or -1 at any other time (menus, get ready, paused, game over, loading).
extern "C" EMSCRIPTEN_KEEPALIVE int quadrell_paddle_middle() {
    const auto* app = dynamic_cast<const QuadrellApp*>(SDLApp::Instance());
    if (!app || app->state != QuadrellApp::AppInGame || app->game.state != GameScene::Playing) {
        return -1;
    }
    return app->game.paddleX + app->game.paddleImage.GetWidth() / 2;
}
