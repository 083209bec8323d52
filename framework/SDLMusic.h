#pragma once

#include <SDL_mixer.h>

// One music stream (the title tune). Playback is global to SDL_mixer, so
// Play, FadeOut and a reload look at whether any music plays at all.
class SDLMusic {
  public:
    SDLMusic();
    ~SDLMusic();
    SDLMusic(const SDLMusic&) = delete;
    SDLMusic& operator=(const SDLMusic&) = delete;

    // Stops any playing music if something is held, frees it, then loads.
    // Failure: "SDLMusic::LoadFromFile" with SDL's error, nothing held.
    virtual bool LoadFromFile(const char* fileName);
    // Refused (false, silent) while any music plays, a fade-out included.
    // Sets the music volume, then fades in over fadeInMs and loops forever.
    // Failure to start: "SDLMusic::Play" with SDL's error.
    virtual bool Play(int volume, int fadeInMs);
    // Starts a one-second fade-out when music plays; does not wait.
    virtual bool FadeOut();

  private:
    Mix_Music* mixMusic;
};
