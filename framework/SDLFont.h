#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

// One TrueType font at one point size; text is always white and blended.
// Each draw renders anew and frees the result. A font that failed to load
// draws nothing. Fonts stay open for the whole process (never closed).
class SDLFont {
  public:
    SDLFont();
    virtual ~SDLFont() = default;
    SDLFont(const SDLFont&) = delete;
    SDLFont& operator=(const SDLFont&) = delete;

    virtual void Hook() {}
    // Initialises SDL_ttf on the first load of the process, then opens the
    // font. On failure writes "TrueType \"<file>\" font not loaded" (no line
    // break) to standard error and returns false.
    virtual bool Load(const char* fileName, int pointSize);
    // A new surface the caller frees, or null when not loaded or SDL_ttf fails.
    virtual SDL_Surface* RenderText(const char* text);
    // Draws text with its top-left corner at (x, y); failures are silent.
    virtual void DrawText(SDL_Surface* target, int x, int y, const char* text);
    // "%d".
    virtual void DrawInt(SDL_Surface* target, int x, int y, int value);
    // "%0.2f".
    virtual void DrawFloat(SDL_Surface* target, int x, int y, float value);

    bool IsLoaded() const { return loaded; }

    // True once a failed Load has left its message on standard error
    // without a line break: whoever writes there next must start a new line.
    static bool ErrorLineOpen();

  protected:
    TTF_Font* font;
    bool loaded;
};

// Process-wide font registry behind SDLApp::GetFont: the first request of a
// name loads and registers the font; later requests of that name return the
// same font whatever file and size they pass. Registered fonts live until
// the process ends.
SDLFont* RegisteredFont(const char* name, const char* fileName, int pointSize);
