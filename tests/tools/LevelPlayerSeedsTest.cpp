#include "tools/levelcheck/LevelPlayer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(LevelPlayerSeeds, RunsStartWithDifferentServes) {
    std::vector<unsigned> seeds = LevelPlayer::Seeds(40);
    ASSERT_EQ(seeds.size(), 40u);
    EXPECT_EQ(seeds[0], 1u);
    std::set<float> angles;
    for (size_t i = 0; i < seeds.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(seeds[i], seeds[i - 1]);
        }
        float angle = LevelPlayer::FirstServeAngle(seeds[i]);
        // A serve leaves upward, outside the steep zone the ball avoids.
        EXPECT_TRUE((angle >= 30 && angle <= 80) || (angle >= 110 && angle <= 150)) << angle;
        angles.insert(angle);
    }
    EXPECT_EQ(angles.size(), seeds.size());
    // The same seeds every time, so runs repeat.
    EXPECT_EQ(LevelPlayer::Seeds(40), seeds);
}

TEST(LevelPlayerSeeds, MoreRunsThanServeAnglesStillGetSeeds) {
    std::vector<unsigned> seeds = LevelPlayer::Seeds(200);
    ASSERT_EQ(seeds.size(), 200u);
    EXPECT_EQ(std::set<unsigned>(seeds.begin(), seeds.end()).size(), 200u);
}

} // namespace
