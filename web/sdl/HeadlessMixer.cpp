// The worker build's SDL_mixer: an audio device that plays nothing. Music
// and samples load when their file is there and has the right kind of
// header (a WAV file's RIFF/WAVE mark), and every start succeeds on channel
// 0. Nothing the game decides depends on a sound: it never reads whether a
// sample started, nor how long one plays, so a check or a sweep cannot
// tell this mixer from the desktop's dummy audio.
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "web/sdl/SdlFiles.h"

struct Mix_Music {
    int unused;
};

namespace {
bool audioOpen = false;
bool musicPlaying = false;
int musicVolume = MIX_MAX_VOLUME;
int channelVolume[8] = {128, 128, 128, 128, 128, 128, 128, 128};
} // namespace

extern "C" {

int Mix_OpenAudio(int, Uint16, int, int) {
    audioOpen = true;
    return 0;
}

void Mix_CloseAudio(void) {
    audioOpen = false;
    musicPlaying = false;
}

Mix_Music* Mix_LoadMUS(const char* file) {
    unsigned char head[1];
    if (ReadFileHead(file, head, sizeof head) < 0)
        return nullptr;
    return static_cast<Mix_Music*>(std::calloc(1, sizeof(Mix_Music)));
}

void Mix_FreeMusic(Mix_Music* music) {
    if (music)
        musicPlaying = false;
    std::free(music);
}

int Mix_PlayingMusic(void) {
    return musicPlaying ? 1 : 0;
}

int Mix_HaltMusic(void) {
    musicPlaying = false;
    return 0;
}

int Mix_FadeInMusic(Mix_Music* music, int, int) {
    if (!music) {
        SDL_SetError("music parameter was NULL");
        return -1;
    }
    musicPlaying = true;
    return 0;
}

int Mix_FadeOutMusic(int) {
    // No time passes for a tune nobody hears: the fade ends at once.
    const bool was = musicPlaying;
    musicPlaying = false;
    return was ? 1 : 0;
}

int Mix_VolumeMusic(int volume) {
    const int was = musicVolume;
    if (volume >= 0)
        musicVolume = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
    return was;
}

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc) {
    if (!src) {
        SDL_SetError("Passed a NULL data source");
        return nullptr;
    }
    unsigned char head[12];
    const size_t got = std::fread(head, 1, sizeof head, SdlStream(src));
    if (freesrc)
        SDL_RWclose(src);
    if (!audioOpen) {
        SDL_SetError("Audio device hasn't been opened");
        return nullptr;
    }
    if (got != sizeof head || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        SDL_SetError("Unrecognized audio format");
        return nullptr;
    }
    auto* chunk = static_cast<Mix_Chunk*>(std::calloc(1, sizeof(Mix_Chunk)));
    if (chunk)
        chunk->volume = MIX_MAX_VOLUME;
    return chunk;
}

void Mix_FreeChunk(Mix_Chunk* chunk) {
    std::free(chunk);
}

int Mix_PlayChannelTimed(int, Mix_Chunk* chunk, int, int) {
    if (!chunk) {
        SDL_SetError("Tried to play a NULL chunk");
        return -1;
    }
    return 0;
}

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume) {
    if (!chunk)
        return -1;
    const int was = chunk->volume;
    if (volume >= 0)
        chunk->volume = static_cast<Uint8>(volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume);
    return was;
}

int Mix_Volume(int channel, int volume) {
    if (channel < 0) {
        if (volume >= 0) {
            for (int& v : channelVolume)
                v = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
        }
        return channelVolume[0];
    }
    if (channel >= 8)
        return 0;
    const int was = channelVolume[channel];
    if (volume >= 0)
        channelVolume[channel] = volume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : volume;
    return was;
}

} // extern "C"
