/* SDL_image as the game uses it, for the browser builds
 * (see SDL.h beside this file). */
#ifndef QUADRELL_BROWSER_SDL_IMAGE_H
#define QUADRELL_BROWSER_SDL_IMAGE_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

SDL_Surface* IMG_Load(const char* file);
#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
