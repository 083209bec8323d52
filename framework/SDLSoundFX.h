#pragma once

#include <SDL_mixer.h>

// One sound effect sample (a WAV file).
class SDLSoundFX {
  public:
    SDLSoundFX();
    ~SDLSoundFX();
    SDLSoundFX(const SDLSoundFX&) = delete;
    SDLSoundFX& operator=(const SDLSoundFX&) = delete;

    // Frees what is held, then loads. A missing file is logged under
    // "SDLSoundFX::LoadFromFile - File not found" with the path and never
    // reaches SDL_mixer; a file it cannot decode under
    // "SDLSoundFX::LoadFromFile" with SDL's error.
    virtual bool LoadFromFile(const char* fileName);
    // Starts the sample once on the first free channel, then sets the
    // sample's own volume. False silently when nothing is loaded; logged
    // under "SDLSoundFX::Play" when no channel is free.
    virtual bool Play(int volume);

    bool IsLoaded() const { return mixChunk != nullptr; }

  private:
    Mix_Chunk* mixChunk;
};

// True when stat succeeds on path.
bool FileExists(const char* path);
