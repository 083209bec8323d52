/* The SDL 1.2 interface as the game uses it, for the browser builds: the
 * game's page and levelcheck's Web Worker both link the SDL in web/sdl/
 * (surfaces, blits and text in WebAssembly memory), each with its own system
 * part (web/game/PageSystem.cpp, web/sdl/HeadlessSystem.cpp).
 *
 * Only what framework/, frontend/ and gameplay/ call is declared. The types and
 * constants keep SDL 1.2's layout and values, so the shared sources compile
 * unchanged (SDL_PixelFormat still has its alpha field, SDL_GetKeyState is
 * declared). */
#ifndef QUADRELL_BROWSER_SDL_H
#define QUADRELL_BROWSER_SDL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t Uint8;
typedef int8_t Sint8;
typedef uint16_t Uint16;
typedef int16_t Sint16;
typedef uint32_t Uint32;
typedef int32_t Sint32;

#define SDL_LIL_ENDIAN 1234
#define SDL_BIG_ENDIAN 4321
#define SDL_BYTEORDER SDL_LIL_ENDIAN

#define SDL_INIT_AUDIO 0x00000010
#define SDL_INIT_VIDEO 0x00000020

int SDL_Init(Uint32 flags);
void SDL_Quit(void);
char* SDL_GetError(void);
void SDL_SetError(const char* fmt, ...);

/* Video. */
typedef struct SDL_Rect {
    Sint16 x, y;
    Uint16 w, h;
} SDL_Rect;

typedef struct SDL_Color {
    Uint8 r, g, b, unused;
} SDL_Color;

typedef struct SDL_Palette {
    int ncolors;
    SDL_Color* colors;
} SDL_Palette;

typedef struct SDL_PixelFormat {
    SDL_Palette* palette;
    Uint8 BitsPerPixel, BytesPerPixel;
    Uint8 Rloss, Gloss, Bloss, Aloss;
    Uint8 Rshift, Gshift, Bshift, Ashift;
    Uint32 Rmask, Gmask, Bmask, Amask;
    Uint32 colorkey;
    Uint8 alpha;
} SDL_PixelFormat;

typedef struct SDL_Surface {
    Uint32 flags;
    SDL_PixelFormat* format;
    int w, h;
    Uint16 pitch;
    void* pixels;
    int offset;
    void* hwdata;
    SDL_Rect clip_rect;
    Uint32 unused1;
    Uint32 locked;
    void* map;
    unsigned int format_version;
    int refcount;
} SDL_Surface;

typedef struct SDL_VideoInfo {
    Uint32 hw_available : 1;
    Uint32 wm_available : 1;
    Uint32 UnusedBits1 : 6;
    Uint32 UnusedBits2 : 1;
    Uint32 blit_hw : 1;
    Uint32 blit_hw_CC : 1;
    Uint32 blit_hw_A : 1;
    Uint32 blit_sw : 1;
    Uint32 blit_sw_CC : 1;
    Uint32 blit_sw_A : 1;
    Uint32 blit_fill : 1;
    Uint32 UnusedBits3 : 16;
    Uint32 video_mem;
    SDL_PixelFormat* vfmt;
    int current_w, current_h;
} SDL_VideoInfo;

#define SDL_SWSURFACE 0x00000000
#define SDL_HWSURFACE 0x00000001
#define SDL_ASYNCBLIT 0x00000004
#define SDL_HWACCEL 0x00000100
#define SDL_SRCCOLORKEY 0x00001000
#define SDL_RLEACCELOK 0x00002000
#define SDL_RLEACCEL 0x00004000
#define SDL_SRCALPHA 0x00010000
#define SDL_PREALLOC 0x01000000
#define SDL_HWPALETTE 0x20000000
#define SDL_DOUBLEBUF 0x40000000
#define SDL_FULLSCREEN 0x80000000

#define SDL_ALPHA_OPAQUE 255
#define SDL_ALPHA_TRANSPARENT 0

#define SDL_MUSTLOCK(surface)                                                                      \
    ((surface)->offset ||                                                                          \
     (((surface)->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0))

const SDL_VideoInfo* SDL_GetVideoInfo(void);
SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
SDL_Surface* SDL_GetVideoSurface(void);
void SDL_WM_SetCaption(const char* title, const char* icon);
SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 Rmask,
                                  Uint32 Gmask, Uint32 Bmask, Uint32 Amask);
SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface);
void SDL_FreeSurface(SDL_Surface* surface);
int SDL_LockSurface(SDL_Surface* surface);
void SDL_UnlockSurface(SDL_Surface* surface);
int SDL_Flip(SDL_Surface* screen);
int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color);
int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
#define SDL_BlitSurface SDL_UpperBlit
Uint32 SDL_MapRGB(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b);
void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b);
int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key);
int SDL_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 alpha);

#define SDL_QUERY -1
#define SDL_DISABLE 0
#define SDL_ENABLE 1
int SDL_ShowCursor(int toggle);

/* Keyboard and events. Key codes are SDL 1.2's: printable keys are their
 * ASCII codes. */
typedef enum {
    SDLK_UNKNOWN = 0,
    SDLK_BACKSPACE = 8,
    SDLK_TAB = 9,
    SDLK_RETURN = 13,
    SDLK_ESCAPE = 27,
    SDLK_SPACE = 32,
    SDLK_0 = 48,
    SDLK_1,
    SDLK_2,
    SDLK_3,
    SDLK_4,
    SDLK_5,
    SDLK_6,
    SDLK_7,
    SDLK_8,
    SDLK_9,
    SDLK_a = 97,
    SDLK_b,
    SDLK_c,
    SDLK_d,
    SDLK_e,
    SDLK_f,
    SDLK_g,
    SDLK_h,
    SDLK_i,
    SDLK_j,
    SDLK_k,
    SDLK_l,
    SDLK_m,
    SDLK_n,
    SDLK_o,
    SDLK_p,
    SDLK_q,
    SDLK_r,
    SDLK_s,
    SDLK_t,
    SDLK_u,
    SDLK_v,
    SDLK_w,
    SDLK_x,
    SDLK_y,
    SDLK_z,
    SDLK_DELETE = 127,
    SDLK_UP = 273,
    SDLK_DOWN = 274,
    SDLK_RIGHT = 275,
    SDLK_LEFT = 276,
    SDLK_LAST = 323
} SDLKey;

typedef enum { KMOD_NONE = 0 } SDLMod;

typedef struct SDL_keysym {
    Uint8 scancode;
    SDLKey sym;
    SDLMod mod;
    Uint16 unicode;
} SDL_keysym;

enum { SDL_NOEVENT = 0, SDL_ACTIVEEVENT, SDL_KEYDOWN, SDL_KEYUP, SDL_QUIT = 12 };

typedef struct SDL_KeyboardEvent {
    Uint8 type;
    Uint8 which;
    Uint8 state;
    SDL_keysym keysym;
} SDL_KeyboardEvent;

typedef union SDL_Event {
    Uint8 type;
    SDL_KeyboardEvent key;
} SDL_Event;

int SDL_PollEvent(SDL_Event* event);
Uint8* SDL_GetKeyState(int* numkeys);

/* Time. */
Uint32 SDL_GetTicks(void);
void SDL_Delay(Uint32 ms);

/* Files. */
typedef struct SDL_RWops SDL_RWops;
SDL_RWops* SDL_RWFromFile(const char* file, const char* mode);
int SDL_RWclose(SDL_RWops* context);

#ifdef __cplusplus
}
#endif

#endif
