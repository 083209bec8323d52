// The framework's scene base: every hook is there, does nothing, and a
// derived scene is reached through it.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "framework/SDLScene.h"

namespace {

static_assert(std::has_virtual_destructor<SDLScene>::value, "scenes are deleted through the base");

struct DrawingScene : SDLScene {
    std::string calls;
    void Start() override { calls += "start "; }
    void Draw(SDL_Surface*) override { calls += "draw "; }
};

TEST(SDLScene, HooksAreEmptyAndADerivedSceneOverridesOnlyWhatItNeeds) {
    DrawingScene derived;
    SDLScene& scene = derived;
    SDL_Event event{};
    scene.Hook();
    scene.Load();
    scene.Start();
    scene.OnEvent(&event);
    scene.Update();
    scene.Draw(nullptr);
    EXPECT_EQ(derived.calls, "start draw ");

    SDLScene plain; // nothing to load or draw: every hook is a safe no-op
    plain.Load();
    plain.Draw(nullptr);
}

} // namespace
