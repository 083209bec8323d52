#pragma once

// An application shell for tests: it records what the loop does, can run a
// fake clock, and lets a test script each frame.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/SDLApp.h"
#include "tests/support/TestSupport.h"

class ProbeApp : public SDLApp {
  public:
    // Called from DrawFrame with the number of the frame (0-based).
    std::function<void(int)> onDraw;
    // Called on every sleep the shell asks for, after recording it.
    std::function<void()> onSleep;
    // Called from OnEvent before the shell's own handling.
    std::function<void(SDL_Event*)> onEvent;

    int frames = 0;
    int flips = 0;
    std::vector<uint32_t> frameStarts; // clock at BeginFrame
    std::vector<uint32_t> sleeps;      // every sleep the loop asked for
    std::vector<float> fpsAfterFrame;  // GetFPS after each RunFrame

    // With a fake clock, time moves only by Advance and by the loop's sleeps.
    bool fakeClock = false;
    uint32_t now = 1000;
    void Advance(uint32_t ms) { now += ms; }

    void BeginFrame(SDL_Surface*) override { frameStarts.push_back(Ticks()); }
    void DrawFrame(SDL_Surface*) override {
        if (onDraw) {
            onDraw(frames);
        }
    }
    void UpdateFrame(SDL_Surface*) override { ++frames; }
    void FlipScreen() override {
        ++flips;
        SDLApp::FlipScreen();
    }
    void OnEvent(SDL_Event* event) override {
        if (onEvent) {
            onEvent(event);
        }
        SDLApp::OnEvent(event);
    }

    uint32_t Ticks() const override { return fakeClock ? now : SDLApp::Ticks(); }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        if (onSleep) {
            onSleep();
        }
        if (fakeClock) {
            now += ms;
        } else {
            SDLApp::Sleep(ms);
        }
    }

    // Test access to the shell's state.
    void ReadKeys() { keyState = SDL_GetKeyState(nullptr); }
    bool HasKeyState() const { return keyState != nullptr; }
    SDL_Surface* Screen() const { return screen; }
};

// A started shell (SDL with the dummy drivers, audio, the 320x240 screen)
// and a log of the test's own.
class SdlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::UseDummyDrivers();
        app = std::make_unique<ProbeApp>();
        app->Init();
        testsupport::ReleaseAllKeys();
    }
    void TearDown() override { testsupport::ReleaseAllKeys(); }

    testsupport::ScopedLog log;
    std::unique_ptr<ProbeApp> app;
};

// Pushes a user event whose code tells the probe what to do.
inline void PushUserEvent(int code) {
    SDL_Event event = {};
    event.type = SDL_USEREVENT;
    event.user.code = code;
    SDL_PushEvent(&event);
}

inline void PushKeyDown(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

inline void PushQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
