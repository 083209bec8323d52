#pragma once

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "framework/SDLApp.h"
#include "framework/SDLFont.h"
#include "framework/SDLLabel.h"
#include "framework/SDLSoundFX.h"
#include "framework/fwSDLImage.h"
#include "gameplay/Ball.h"
#include "gameplay/CPowerUp.h"
#include "gameplay/LevelData.h"
#include "gameplay/QDPowerUps.h"
#include "gameplay/qdSprite.h"
#include "gameplay/qdSprites.h"

// a + trunc(r * (b - a + 1) / 32768) for a 15-bit draw r of rand(). With
// a > b it yields a value from a down to b + 2.
int RandomInt(int a, int b);
// A new image loaded from path, or null (the image discarded) on failure.
std::unique_ptr<fwSDLImage> LoadNewImage(const char* path);

// The one game in progress: the live brick grid, paddle, ball, capsules and
// shots, counters, and the artwork and sounds they are drawn and heard
// with; plus the round state machine from "Press select key" through play,
// pause, cleared levels and game over to leaving.
//
// Calling order: LoadResources once (needs a video mode); per game NewGame
// then StartLevel(true); per frame Draw then RunRound.
class GameScene {
  public:
    enum RoundState {
        Created = 0,
        Idle = 1,
        LevelCleared = 2,
        GetReady = 3,
        Playing = 4,
        Paused = 5,
        GameOver = 6,
        Finished = 8
    };
    static constexpr SDLKey SelectKey = SDLK_SPACE;
    static constexpr SDLKey PauseKey = SDLK_p;

    GameScene();
    ~GameScene();
    GameScene(const GameScene&) = delete;
    GameScene& operator=(const GameScene&) = delete;

    // Loads images, font, sounds and labels; false at the first failure
    // (the wrappers log why). A paddle 3 pixels wide or less is refused.
    bool LoadResources();
    // Level 1, 3 balls, 0 points; drops a held power-up.
    void NewGame();
    // Serve positions, empties shots and capsules, drops the held power-up;
    // with loadLevelFile reads "data/levels/level<level>.txt" into the grid.
    // False (state Finished) only when that file cannot be read.
    bool StartLevel(bool loadLevelFile);
    // One round step; reads keys through app without waiting for release.
    void RunRound(SDLApp& app);
    // One frame of play (state Playing only).
    void UpdatePlay(SDLApp& app);
    // Angle change for a ball meeting the paddle at hit pixels from its left.
    double PaddleBounceAngle(int hit) const;
    // Draws the HUD and the playfield as the last round step left them.
    void Draw(SDL_Surface* screen);

    int effectsVolume;
    int state;
    LevelData bricks;
    bool leaveRequested;
    bool autoPlay;
    int shownFps;
    uint32_t fireTicks;
    fwSDLImage brickImage1;
    fwSDLImage brickImage2;
    fwSDLImage brickImage3;
    fwSDLImage solidBrickImage;
    fwSDLImage paddleImage;
    fwSDLImage ballImage;
    fwSDLImage powerUpImage;
    std::unique_ptr<fwSDLImage> shotImage;
    SDLFont font;
    QDPowerUps powerUps;
    qdSprites shots;
    std::unique_ptr<CPowerUp> heldPowerUp;
    SDLLabel levelLabel;
    SDLLabel ballsLabel;
    SDLLabel pointsLabel;
    SDLSoundFX hitSound;
    SDLSoundFX gameOverSound;
    LevelData levelFile;
    Ball ball;
    int level;
    int points;
    int lives;
    int paddleX;
    int paddleY;

    // Where the ball stood and headed when a frame of play began.
    struct BallPose {
        float x = 0;
        float y = 0;
        float angle = 0;
    };
    // The wedge guard's memory of the previous frame of play: the cell of
    // the solid brick the ball hit in it (-1: no hit on a solid brick) and
    // the ball as that frame began. StartLevel clears it, so every level
    // and every serve after a lost ball starts without it.
    int lastSolidHit = -1;
    BallPose lastStart;

    // Test and tool seams; the defaults give the game's own behaviour.
    // When set, StartLevel seeds the serve with this instead of the time.
    std::optional<unsigned> serveSeed;
    // After LoadResources returned false: the path of the file it stopped
    // on; null otherwise.
    const char* failedResource = nullptr;
    // The millisecond clock for the fire window; empty means SDL_GetTicks.
    std::function<uint32_t()> clock;
    // The pause after the select key leaves GetReady, Paused or GameOver.
    uint32_t selectDelayMs = 200;
    // False plays ball hits on bricks without the wedge guard, as the game
    // did before it, for tests and measurements that compare the two; the
    // guard's memory is kept either way.
    bool wedgeGuard = true;
    // Counts since construction, for tools; play never reads them: the
    // times the wedge guard turned the ball, and ball bounces off the
    // paddle.
    long wedgeTurns = 0;
    long paddleBounces = 0;

    // Play-update steps, public so tests can set up a scene directly.
    // A falling kind-1 capsule with its top-left corner at (x, y).
    void ReleasePowerUp(int x, int y);
    // A shot leaving the paddle's middle (needs shotImage for drawing).
    void FireShot();
    // Number of cells that are present and breakable.
    int BreakableLeft() const;

  private:
    uint32_t Ticks() const;
    void RunSelectWait(SDLApp& app);
    void MovePaddle(SDLApp& app);
    void UpdateFireWindow(SDLApp& app);
    void UpdateShots();
    void UpdatePowerUps(const SDL_Rect& paddleRect);
    bool BounceOffPaddle(const SDL_Rect& paddleRect);
    void ScanBricks(int savedX, int savedY, const BallPose* wedgedFrom);
    void DrawBricks(SDL_Surface* screen);
    void DrawStateText(SDL_Surface* screen);
};
