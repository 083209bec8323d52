#pragma once

#include <SDL.h>
#include <cstdint>
#include <string>

#include "framework/SDLFont.h"
#include "framework/fwSDLImage.h"
#include "framework/fwSDLImages.h"

// The application shell: SDL start-up, the 320x240x16 display, the frame
// loop with its 16 ms budget, events, keyboard queries and the frame rate.
// The game derives from it and fills in the per-frame hooks. At most one
// exists per process: constructing a second prints "SDLApp already exists"
// on standard error and exits with status 2. Constructing one takes over
// SIGINT and SIGTERM (see Run).
class SDLApp {
  public:
    static constexpr uint32_t FrameBudgetMs = 16;
    static constexpr uint32_t FpsWindowMs = 990;

    SDLApp();
    virtual ~SDLApp();
    SDLApp(const SDLApp&) = delete;
    SDLApp& operator=(const SDLApp&) = delete;

    // InitSDL then InitApp. A failed InitSDL leaves as the thrown C string
    // "InitSDL failed" (already logged); InitApp is then not called.
    void Init();
    // Frames until quit is set, then Shutdown and Mix_CloseAudio. A first
    // SIGINT or SIGTERM, here or before, sets quit at the next frame's start
    // (that frame is not run) and is logged once the loop ends. A repeat
    // within half a second (a process group's signal passed on again by
    // the launcher) is part of the same stop. If the loop has not ended a
    // second after the first, or a later signal comes, or a first one
    // comes after the loop, the process ends at once with status
    // 128 + the signal.
    void Run();
    // The main loop ends after the current frame.
    void Quit() { quit = true; }
    bool QuitRequested() const { return quit; }
    // True once a SIGINT or SIGTERM has asked the program to stop (see Run);
    // work that spans several frames' time ends early on it.
    bool StopRequested() const;

    // True when key is held. With waitRelease it keeps pumping events
    // (handing them to OnEvent) until the key is let go, sleeping about 1 ms
    // between polls, and only then answers true. A key that is not held
    // answers false at once without reading any event; a SIGINT or SIGTERM
    // during the wait sets quit and answers false.
    bool KeyPressed(SDLKey key, bool waitRelease);
    // Frames per second over the last window of at least 990 ms; 0 until
    // the first window closes.
    float GetFPS() const { return fps; }
    uint32_t MapRGB(uint8_t r, uint8_t g, uint8_t b) const;
    SDL_Surface* GetScreen() const { return screen; }

    // Loads file into a new image owned by the application's list. A failed
    // load still yields (and keeps) an image without surfaces.
    fwSDLImage* LoadImage(const char* file);
    // The process-wide font registry (see RegisteredFont).
    SDLFont* GetFont(const char* name, const char* fileName, int pointSize);

    // SDL, audio and video start-up; logs and throws "InitSDL failed" on
    // the first failing step, undoing nothing. After SDL_Init it has
    // SDL_Quit run at exit, except for an exit from inside a frame
    // (Xlib's, when the display goes away): that ends the process at once,
    // as SDL_Quit would hang on the dead display.
    virtual void InitSDL();
    // Sets the application's settings; called once after InitSDL.
    virtual void InitApp() {}
    // Called once after the loop ends.
    virtual void Shutdown() {}
    virtual void ClearScreen();
    virtual void FlipScreen();
    // Window close, or any key-down while Escape is held, sets quit.
    virtual void OnEvent(SDL_Event* event);
    // Per-frame hooks, called in this order with the screen surface.
    virtual void BeginFrame(SDL_Surface*) {}
    virtual void DrawFrame(SDL_Surface*) {}
    virtual void UpdateFrame(SDL_Surface*) {}

    // One frame's hooks, flip and frame-rate bookkeeping (without the
    // event pump and the sleep that Run adds around it).
    void RunFrame();

    // What kept the program from starting (for example a data file that
    // could not be loaded), or null when nothing did. main reports it on
    // standard error and exits with status 1.
    virtual const char* StartupFailure() const { return nullptr; }

    // After a failed InitSDL: the step that failed and SDL's reason (for
    // example "SDL_Init: No available video device"); empty otherwise.
    const std::string& InitSDLError() const { return initSDLError; }

    // The live application, or null.
    static SDLApp* Instance() { return instance; }

  protected:
    // The loop's clock and sleep (SDL_GetTicks, SDL_Delay); a test can put
    // a clock of its own in their place.
    virtual uint32_t Ticks() const { return SDL_GetTicks(); }
    virtual void Sleep(uint32_t ms) { SDL_Delay(ms); }

    const SDL_VideoInfo* videoInfo;
    SDL_Surface* screen;
    uint32_t videoFlags;
    uint32_t fpsWindowStart;
    uint32_t frameCount;
    uint8_t* keyState;
    fwSDLImages images;
    bool quit;
    float fps;

  private:
    [[noreturn]] void FailInitSDL(const char* tag, const char* step);

    std::string initSDLError;
    static SDLApp* instance;
};
