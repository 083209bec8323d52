#pragma once

#include <SDL.h>

// A framework scene: a base for a screen or game that wants the shell's
// rhythm (load once, start, events, update and draw every frame) without
// being an application itself. Every operation is an empty hook, so a scene
// overrides only what it needs. Nothing in the game creates one; the game
// scene keeps its own interface.
class SDLScene {
  public:
    SDLScene() = default;
    virtual ~SDLScene() = default;
    SDLScene(const SDLScene&) = delete;
    SDLScene& operator=(const SDLScene&) = delete;

    // Free for a derived class's own use; nothing calls it.
    virtual void Hook() {}
    // Loads what the scene draws and plays; called once before Start.
    virtual void Load() {}
    // Puts the scene in its starting state; may be called again to restart.
    virtual void Start() {}
    // One SDL event, before the frame's Update.
    virtual void OnEvent(SDL_Event*) {}
    // One frame's step.
    virtual void Update() {}
    // Draws the scene onto target.
    virtual void Draw(SDL_Surface*) {}
};
