#include "gameplay/SceneDriver.h"

#include <cstring>

bool SceneDriver::Open(std::string* error) {
    try {
        InitSDL();
    } catch (const char* message) {
        if (error) {
            *error = std::string(message) + " (" + InitSDLError() + ")";
        }
        return false;
    }
    keyState = SDL_GetKeyState(nullptr);
    if (!scene.LoadResources()) {
        if (error) {
            // Said here in full: the tools that drive a scene keep no log.
            *error = std::string("could not load ") +
                     (scene.failedResource ? scene.failedResource : "the game scene's resources");
        }
        return false;
    }
    scene.selectDelayMs = 0;
    return true;
}

bool SceneDriver::StartLevelFile(const char* path) {
    scene.NewGame();
    scene.StartLevel(false);
    if (!scene.levelFile.Loading(path)) {
        scene.state = GameScene::Finished;
        return false;
    }
    scene.levelFile.CopyTo(scene.bricks);
    return true;
}

void SceneDriver::Hold(SDLKey key, bool held) {
    keyState = SDL_GetKeyState(nullptr);
    if (keyState) {
        keyState[key] = held ? 1 : 0;
    }
}

void SceneDriver::ReleaseAll() {
    int count = 0;
    keyState = SDL_GetKeyState(&count);
    if (keyState) {
        std::memset(keyState, 0, static_cast<size_t>(count));
    }
}

void SceneDriver::Step(bool draw) {
    keyState = SDL_GetKeyState(nullptr);
    if (draw && screen) {
        ClearScreen();
        scene.Draw(screen);
    }
    scene.RunRound(*this);
}

int SceneDriver::RunWhilePlaying(int maxFrames, bool draw) {
    int frames = 0;
    while (frames < maxFrames && scene.state == GameScene::Playing) {
        Step(draw);
        ++frames;
    }
    return frames;
}
