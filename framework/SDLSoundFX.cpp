#include "framework/SDLSoundFX.h"

#include <sys/stat.h>

#include "framework/LogFile.h"

bool FileExists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

SDLSoundFX::SDLSoundFX() : mixChunk(nullptr) {}

SDLSoundFX::~SDLSoundFX() {
    if (mixChunk) {
        Mix_FreeChunk(mixChunk);
        mixChunk = nullptr;
    }
}

bool SDLSoundFX::LoadFromFile(const char* fileName) {
    if (mixChunk) {
        Mix_FreeChunk(mixChunk);
        mixChunk = nullptr;
    }
    // Checked here so a missing file gets a report naming the path rather
    // than SDL's generic open error.
    if (!FileExists(fileName)) {
        logFile.Write("SDLSoundFX::LoadFromFile - File not found", fileName);
        return false;
    }
    SDL_RWops* stream = SDL_RWFromFile(fileName, "rb");
    mixChunk = stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (!mixChunk) {
        logFile.Write("SDLSoundFX::LoadFromFile", SDL_GetError());
        return false;
    }
    return true;
}

bool SDLSoundFX::Play(int volume) {
    if (!mixChunk) {
        return false;
    }
    if (Mix_PlayChannelTimed(-1, mixChunk, 0, -1) == -1) {
        logFile.Write("SDLSoundFX::Play", SDL_GetError());
        return false;
    }
    // Set after the start; the volume stays on the sample for later plays.
    Mix_VolumeChunk(mixChunk, volume);
    return true;
}
