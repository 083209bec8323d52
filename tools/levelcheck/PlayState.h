#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GameScene;

// Everything that decides how a scene in computer play goes on from the end
// of a frame, packed into words so that two frames of one run can be
// compared exactly. Taken while the scene is playing with no key held (the
// level player's runs); PlayState.cpp argues why nothing else matters.
class PlayState {
  public:
    // The state of scene as the last round step left it.
    static PlayState Of(const GameScene& scene);
    // Breakable hits still needed: the sum of the kinds of the present
    // breakable bricks. Every hit lowers it for good, so two frames with
    // different counts can never be the same state.
    static int HitsLeft(const GameScene& scene);

    bool operator==(const PlayState& other) const { return words == other.words; }
    bool operator!=(const PlayState& other) const { return words != other.words; }

    struct Hash {
        size_t operator()(const PlayState& state) const;
    };

    std::vector<uint32_t> words;
    int hitsLeft = 0; // also among the words
};
