#include <gtest/gtest.h>

#include <cstdlib>

#include "gameplay/CPowerUp.h"
#include "gameplay/GameScene.h"
#include "gameplay/qdSprite.h"
#include "gameplay/qdSprites.h"

namespace {

TEST(PowerUpCollides, CapsuleAndShotOverlapByAtLeastOnePixel) {
    CPowerUp capsule;
    EXPECT_EQ(1, capsule.kind);
    EXPECT_EQ(fwSDLSprite::Inactive, capsule.state);
    capsule.SetSize(16, 16);
    capsule.SetPosition(100, 210);
    const SDL_Rect paddle{100, 226, 32, 8};
    EXPECT_FALSE(capsule.Collides(paddle)) << "touching edges";
    capsule.Move();
    EXPECT_TRUE(capsule.Collides(paddle));

    qdSprite shot;
    shot.SetSize(8, 12);
    shot.SetPosition(116, 214);
    EXPECT_TRUE(shot.Collides(SDL_Rect{123, 225, 10, 10}));
    EXPECT_FALSE(shot.Collides(SDL_Rect{124, 214, 10, 10}));
}

TEST(QdSpritesPurge, RemovesOnlyDeadShotsKeepingOrder) {
    qdSprites shots;
    qdSprite* items[5];
    const int states[5] = {fwSDLSprite::Dead, fwSDLSprite::Active, fwSDLSprite::Dead,
                           fwSDLSprite::Dead, fwSDLSprite::Inactive};
    for (int i = 0; i < 5; ++i) {
        items[i] = new qdSprite();
        items[i]->state = states[i];
        shots.Add(items[i]);
    }
    const int keep1 = items[1]->id;
    const int keep4 = items[4]->id;
    shots.Purge();
    ASSERT_EQ(2, shots.GetCount());
    EXPECT_EQ(keep1, shots.Get(0)->id);
    EXPECT_EQ(keep4, shots.Get(1)->id);
    EXPECT_FALSE(shots.Hook());
    shots.Purge();
    EXPECT_EQ(2, shots.GetCount());
}

TEST(RandomIntServe, FifteenBitDrawsGiveEveryServeAngleFrom47To135) {
    std::srand(12345);
    bool seen[136] = {};
    for (int i = 0; i < 200000; ++i) {
        const int angle = 90 + RandomInt(45, -45);
        ASSERT_GE(angle, 47);
        ASSERT_LE(angle, 135);
        seen[angle] = true;
    }
    for (int a = 47; a <= 135; ++a) {
        EXPECT_TRUE(seen[a]) << a;
    }
    for (int i = 0; i < 10000; ++i) {
        const int v = RandomInt(3, 7);
        ASSERT_GE(v, 3);
        ASSERT_LE(v, 7);
    }
}

} // namespace
