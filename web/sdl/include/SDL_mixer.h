/* SDL_mixer as the game uses it, for the browser builds
 * (see SDL.h beside this file). */
#ifndef QUADRELL_BROWSER_SDL_MIXER_H
#define QUADRELL_BROWSER_SDL_MIXER_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

#define AUDIO_S16LSB 0x8010
#define MIX_MAX_VOLUME 128

typedef struct Mix_Chunk {
    int allocated;
    Uint8* abuf;
    Uint32 alen;
    Uint8 volume;
} Mix_Chunk;

typedef struct Mix_Music Mix_Music;

int Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize);
void Mix_CloseAudio(void);
Mix_Music* Mix_LoadMUS(const char* file);
void Mix_FreeMusic(Mix_Music* music);
int Mix_PlayingMusic(void);
int Mix_HaltMusic(void);
int Mix_FadeInMusic(Mix_Music* music, int loops, int ms);
int Mix_FadeOutMusic(int ms);
int Mix_VolumeMusic(int volume);
Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc);
void Mix_FreeChunk(Mix_Chunk* chunk);
int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int ticks);
int Mix_VolumeChunk(Mix_Chunk* chunk, int volume);
int Mix_Volume(int channel, int volume);
#define Mix_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
