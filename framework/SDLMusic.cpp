#include "framework/SDLMusic.h"

#include "framework/LogFile.h"

SDLMusic::SDLMusic() : mixMusic(nullptr) {}

SDLMusic::~SDLMusic() {
    if (mixMusic) {
        Mix_FreeMusic(mixMusic);
        mixMusic = nullptr;
    }
}

bool SDLMusic::LoadFromFile(const char* fileName) {
    if (mixMusic) {
        // Freeing music that might be the one playing is unsafe in
        // SDL_mixer, so whatever plays is stopped first.
        if (Mix_PlayingMusic()) {
            Mix_HaltMusic();
        }
        Mix_FreeMusic(mixMusic);
        mixMusic = nullptr;
    }
    mixMusic = Mix_LoadMUS(fileName);
    if (!mixMusic) {
        logFile.Write("SDLMusic::LoadFromFile", SDL_GetError());
        return false;
    }
    return true;
}

bool SDLMusic::Play(int volume, int fadeInMs) {
    if (Mix_PlayingMusic()) {
        return false;
    }
    Mix_VolumeMusic(volume);
    if (Mix_FadeInMusic(mixMusic, -1, fadeInMs) == -1) {
        logFile.Write("SDLMusic::Play", SDL_GetError());
        return false;
    }
    return true;
}

bool SDLMusic::FadeOut() {
    if (!Mix_PlayingMusic()) {
        return false;
    }
    Mix_FadeOutMusic(1000);
    return true;
}
