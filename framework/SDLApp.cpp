#include "framework/SDLApp.h"

#include <SDL_mixer.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/LogFile.h"

SDLApp* SDLApp::instance = nullptr;

namespace {

// Mend: the program used to hang when the display went away. Xlib's fatal
// I/O handler calls exit(), and SDL_Quit, run at exit, then loops on the dead
// connection for ever; SDL's own SIGTERM handler only queues a quit event, so
// nothing but SIGKILL ended it. Hence these handlers.

// The first SIGINT or SIGTERM; the frame loop reads it and stops cleanly.
volatile sig_atomic_t stopSignal = 0;
// When it came (CLOCK_MONOTONIC). Written and read only in the handler,
// which blocks both signals while it runs.
timespec stopSignalTime = {};
// Where the program is: before the frame loop, in it (an exit() then comes
// from inside a library, not from main), or past it.
enum LoopPhase : sig_atomic_t { BeforeLoop, InLoop, AfterLoop };
volatile sig_atomic_t loopPhase = BeforeLoop;
// How long the clean stop after a signal may take before the process is
// ended without it (a frame is 16 ms; this covers a slow one many times).
constexpr unsigned StopDeadlineSeconds = 1;
// A signal to the launcher's whole process group (Ctrl+C in a terminal,
// `timeout`, a session that ends) reaches the game twice within
// milliseconds: once from the group and once passed on by the launcher.
// A repeat this soon after the first is the same request to stop; a later
// one is a player who means "now".
constexpr long RepeatWindowNs = 500L * 1000 * 1000;

bool IsRepeatOfFirstSignal(const timespec& now) {
    const long long elapsed = (now.tv_sec - stopSignalTime.tv_sec) * 1000000000LL +
                              (now.tv_nsec - stopSignalTime.tv_nsec);
    return elapsed < RepeatWindowNs;
}

void OnStopSignal(int signal) {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (stopSignal != 0) {
        if (IsRepeatOfFirstSignal(now))
            return;
        // A second request: nothing more would read the flag.
        _exit(128 + signal);
    }
    // A first signal in a shutdown (which may be stuck on a dead display).
    if (loopPhase == AfterLoop)
        _exit(128 + signal);
    stopSignal = signal;
    stopSignalTime = now;
    alarm(StopDeadlineSeconds);
}

void OnStopDeadline(int) {
    _exit(128 + stopSignal);
}

void InstallStopHandlers() {
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_handler = OnStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = OnStopDeadline;
    sigaction(SIGALRM, &action, nullptr);
}

// Registered with atexit in place of SDL_Quit.
void QuitSDLAtExit() {
    if (loopPhase == InLoop) {
        // exit() from inside a frame: Xlib's handler for a lost display
        // (which exits with 1). SDL_Quit would loop on the dead connection.
        logFile.Write("SDLApp::Run", "the display went away; ending without SDL_Quit");
        _exit(1);
    }
    SDL_Quit();
}

} // namespace

SDLApp::SDLApp()
    : videoInfo(nullptr), screen(nullptr), videoFlags(0), fpsWindowStart(0), frameCount(0),
      keyState(nullptr), quit(false), fps(0.0f) {
    if (instance) {
        std::fprintf(stderr, "SDLApp already exists\n");
        std::exit(2);
    }
    instance = this;
    // Before SDL_Init, which then leaves SIGINT and SIGTERM to these.
    InstallStopHandlers();
    loopPhase = BeforeLoop;
}

SDLApp::~SDLApp() {
    instance = nullptr;
    // images releases every image it holds in its own destructor.
}

void SDLApp::Init() {
    InitSDL();
    InitApp();
}

void SDLApp::FailInitSDL(const char* tag, const char* step) {
    const char* reason = SDL_GetError();
    logFile.Write(tag, reason);
    initSDLError = std::string(step) + ": " + reason;
    throw "InitSDL failed";
}

void SDLApp::InitSDL() {
    std::printf("Init SDL...\n");
    std::fflush(stdout);

    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        FailInitSDL("SDLApp::InitSDL", "SDL_Init");
    }
    std::atexit(QuitSDLAtExit);

    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) == -1) {
        FailInitSDL("SDLApp::InitSDL", "Mix_OpenAudio");
    }

    videoInfo = SDL_GetVideoInfo();
    if (!videoInfo) {
        FailInitSDL("SDLApp::InitSDL - SDL_GetVideoInfo", "SDL_GetVideoInfo");
    }

    videoFlags = SDL_HWACCEL | SDL_HWPALETTE | SDL_DOUBLEBUF;
    if (videoInfo->hw_available) {
        logFile.Write("SDLApp::InitSDL", "Hardware Surface enabled...");
        videoFlags |= SDL_HWSURFACE;
    } else {
        logFile.Write("SDLApp::InitSDL", "Surface Surface enabled...");
    }

    screen = SDL_SetVideoMode(320, 240, 16, videoFlags);
    if (!screen) {
        FailInitSDL("SDLApp::InitSDL", "SDL_SetVideoMode");
    }
    SDL_ShowCursor(SDL_DISABLE);
    logFile.Write("SDLApp::InitSDL", "Done");
}

void SDLApp::Run() {
    quit = false;
    frameCount = 0;
    fpsWindowStart = Ticks();
    loopPhase = InLoop;
    do {
        const Uint32 frameStart = Ticks();
        keyState = SDL_GetKeyState(nullptr);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            OnEvent(&event);
        }
        if (stopSignal) {
            quit = true;
            break;
        }
        ClearScreen();
        RunFrame();
        // Sleep out the rest of the budget; an overrun is not made up for.
        const Uint32 elapsed = Ticks() - frameStart;
        if (elapsed < FrameBudgetMs) {
            Sleep(FrameBudgetMs - elapsed);
        }
    } while (!quit);
    loopPhase = AfterLoop;
    if (stopSignal) {
        // The clean stop has been reached; the ordinary shutdown (and, in a
        // sanitizer build, the leak check at exit) may take its time.
        alarm(0);
        logFile.Write("SDLApp::Run", ("stopped by signal " + std::to_string(stopSignal)).c_str());
    }
    Shutdown();
    Mix_CloseAudio();
}

void SDLApp::RunFrame() {
    BeginFrame(screen);
    DrawFrame(screen);
    UpdateFrame(screen);
    FlipScreen();
    ++frameCount;
    const Uint32 now = Ticks();
    const Uint32 windowLength = now - fpsWindowStart;
    if (windowLength >= FpsWindowMs) {
        fps = static_cast<float>(frameCount * 1000.0 / windowLength);
        frameCount = 0;
        fpsWindowStart = now;
    }
}

void SDLApp::ClearScreen() {
    if (!screen) {
        return;
    }
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
}

void SDLApp::FlipScreen() {
    if (screen) {
        SDL_Flip(screen);
    }
}

void SDLApp::OnEvent(SDL_Event* event) {
    switch (event->type) {
    case SDL_QUIT:
        quit = true;
        break;
    case SDL_KEYDOWN:
        // The held state of Escape decides, not the key of the event.
        if (keyState && keyState[SDLK_ESCAPE]) {
            quit = true;
        }
        break;
    default:
        break;
    }
}

bool SDLApp::KeyPressed(SDLKey key, bool waitRelease) {
    if (!keyState || !keyState[key]) {
        return false;
    }
    if (!waitRelease) {
        return true;
    }
    // Wait for the release so a menu sees each press once. A quit event
    // arriving meanwhile is only recorded. The short sleep keeps a held key
    // from burning a whole core.
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            OnEvent(&event);
        }
        keyState = SDL_GetKeyState(nullptr);
        if (!keyState[key]) {
            return true;
        }
        // A held key must not keep the program from stopping.
        if (stopSignal) {
            quit = true;
            return false;
        }
        Sleep(1);
    }
}

bool SDLApp::StopRequested() const {
    return stopSignal != 0;
}

uint32_t SDLApp::MapRGB(uint8_t r, uint8_t g, uint8_t b) const {
    return screen ? SDL_MapRGB(screen->format, r, g, b) : 0;
}

fwSDLImage* SDLApp::LoadImage(const char* file) {
    fwSDLImage* image = new fwSDLImage();
    image->Load(file);
    images.Add(image);
    return image;
}

SDLFont* SDLApp::GetFont(const char* name, const char* fileName, int pointSize) {
    return RegisteredFont(name, fileName, pointSize);
}
