// The page's sound effects: SDL_mixer's chunk calls in C, each sample's
// bytes handed once to library_quadrell.js, which decodes and plays them
// through Web Audio. Music and the channels' volumes are JavaScript only
// (library_quadrell.js).
#include <SDL_mixer.h>

#include <cstdlib>

#include "web/sdl/SdlFiles.h"

extern "C" {
// library_quadrell.js: a sample's id (0: not a WAV the page can play, with
// SDL's error set), and what is done with it.
int quadrell_wav_load(const Uint8* bytes, int size);
void quadrell_wav_free(int id);
int quadrell_wav_volume(int id, int volume);
int quadrell_wav_play(int channel, int id, int loops);
}

namespace {
// Larger files are not the game's sound effects.
constexpr long FileLimit = 32L * 1024 * 1024;
} // namespace

extern "C" {

Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* src, int freesrc) {
    FILE* stream = SdlStream(src);
    if (!stream) {
        SDL_SetError("Passed a NULL data source");
        return nullptr;
    }
    Mix_Chunk* chunk = nullptr;
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0)
        size = std::ftell(stream);
    if (size < 0 || size > FileLimit || std::fseek(stream, 0, SEEK_SET) != 0) {
        SDL_SetError("Couldn't read the sample");
    } else {
        auto* bytes = static_cast<Uint8*>(std::malloc(static_cast<size_t>(size) + 1));
        if (bytes &&
            std::fread(bytes, 1, static_cast<size_t>(size), stream) == static_cast<size_t>(size)) {
            const int id = quadrell_wav_load(bytes, static_cast<int>(size));
            if (id) {
                chunk = static_cast<Mix_Chunk*>(std::calloc(1, sizeof(Mix_Chunk)));
                if (chunk) {
                    chunk->allocated = id;
                    chunk->volume = MIX_MAX_VOLUME;
                } else {
                    quadrell_wav_free(id);
                }
            }
        } else {
            SDL_SetError("Couldn't read the sample");
        }
        std::free(bytes);
    }
    if (freesrc)
        SDL_RWclose(src);
    return chunk;
}

void Mix_FreeChunk(Mix_Chunk* chunk) {
    if (!chunk)
        return;
    quadrell_wav_free(chunk->allocated);
    std::free(chunk);
}

int Mix_VolumeChunk(Mix_Chunk* chunk, int volume) {
    if (!chunk)
        return -1;
    const int old = quadrell_wav_volume(chunk->allocated, volume);
    chunk->volume = static_cast<Uint8>(quadrell_wav_volume(chunk->allocated, -1));
    return old;
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk* chunk, int loops, int) {
    if (!chunk) {
        SDL_SetError("Tried to play a NULL chunk");
        return -1;
    }
    return quadrell_wav_play(channel, chunk->allocated, loops);
}

} // extern "C"
