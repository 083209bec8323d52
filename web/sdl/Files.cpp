// SDL's file streams, as the game uses them: opened by name, read through
// stdio (emscripten's file system in the browser).
#include <SDL.h>

#include <cstdlib>
#include <new>

#include "web/sdl/SdlFiles.h"

struct SDL_RWops {
    FILE* file;
};

extern "C" {

SDL_RWops* SDL_RWFromFile(const char* file, const char* mode) {
    FILE* stream = std::fopen(file, mode);
    if (!stream) {
        SDL_SetError("Couldn't open %s", file);
        return nullptr;
    }
    auto* ops = new (std::nothrow) SDL_RWops{stream};
    if (!ops)
        std::fclose(stream);
    return ops;
}

int SDL_RWclose(SDL_RWops* context) {
    if (!context)
        return -1;
    std::fclose(context->file);
    delete context;
    return 0;
}

} // extern "C"

FILE* SdlStream(SDL_RWops* ops) {
    return ops ? ops->file : nullptr;
}

long ReadFileHead(const char* file, unsigned char* head, size_t size) {
    FILE* stream = std::fopen(file, "rb");
    if (!stream) {
        SDL_SetError("Couldn't open %s", file);
        return -1;
    }
    const size_t got = std::fread(head, 1, size, stream);
    std::fclose(stream);
    return static_cast<long>(got);
}

unsigned char* ReadWholeFile(const char* file, size_t limit, size_t* size) {
    FILE* stream = std::fopen(file, "rb");
    if (!stream) {
        SDL_SetError("Couldn't open %s", file);
        return nullptr;
    }
    size_t capacity = 0, used = 0;
    unsigned char* bytes = nullptr;
    for (;;) {
        if (used == capacity) {
            capacity = capacity ? capacity * 2 : 64 * 1024;
            if (capacity > limit + 1)
                capacity = limit + 1;
            auto* grown = static_cast<unsigned char*>(std::realloc(bytes, capacity));
            if (!grown || used == capacity) {
                std::free(grown ? grown : bytes);
                std::fclose(stream);
                SDL_SetError(grown ? "%s is too large" : "Out of memory", file);
                return nullptr;
            }
            bytes = grown;
        }
        const size_t got = std::fread(bytes + used, 1, capacity - used, stream);
        used += got;
        if (got == 0)
            break;
    }
    std::fclose(stream);
    if (used > limit) {
        std::free(bytes);
        SDL_SetError("%s is too large", file);
        return nullptr;
    }
    *size = used;
    return bytes;
}
