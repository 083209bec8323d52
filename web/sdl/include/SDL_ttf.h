/* SDL_ttf as the game uses it, for the browser builds
 * (see SDL.h beside this file). */
#ifndef QUADRELL_BROWSER_SDL_TTF_H
#define QUADRELL_BROWSER_SDL_TTF_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _TTF_Font TTF_Font;

int TTF_Init(void);
TTF_Font* TTF_OpenFont(const char* file, int ptsize);
void TTF_CloseFont(TTF_Font* font);
SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, SDL_Color fg);
#define TTF_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
