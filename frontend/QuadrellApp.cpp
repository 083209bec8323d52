// Placeholder until the front end lands: a black window that quits on Escape.
#include "frontend/QuadrellApp.h"

QuadrellApp::QuadrellApp()
    : state(AppLoading), musicVolume(70), soundVolume(100), menuCursor(0), optionsCursor(0),
      playMusic(true), computerPlayer(false) {}
QuadrellApp::~QuadrellApp() = default;
void QuadrellApp::InitApp() {}
void QuadrellApp::DrawFrame(SDL_Surface*) {}
void QuadrellApp::UpdateFrame(SDL_Surface*) {}
const char* QuadrellApp::StartupFailure() const { return startupFailure; }
void QuadrellApp::RunLoading(SDL_Surface*) {}
void QuadrellApp::RunTitleMenu(SDL_Surface*) {}
void QuadrellApp::RunOptions(SDL_Surface*) {}
void QuadrellApp::RunCredits(SDL_Surface*) {}
