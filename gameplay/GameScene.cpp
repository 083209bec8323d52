#include "gameplay/GameScene.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "framework/LogFile.h"

namespace {

const char* const PaddleFile = "data/images/paddle.png";

// The paddle must be wider than this for the bounce angle's divisors.
constexpr int MinPaddleWidth = 4;

constexpr int ScreenWidth = 320;
constexpr int GridTop = 20; // grid rectangles are kept relative to this
constexpr int PaddleStep = 3;
constexpr uint32_t FireWindowMs = 100;
constexpr int CapsuleStopY = 240;

// Draws a whole image only when it loaded; a missing picture leaves a gap
// rather than a failed blit.
void DrawImage(fwSDLImage& image, SDL_Surface* screen, int x, int y) {
    if (image.GetDisplaySurface()) {
        image.Draw(screen, x, y);
    }
}

} // namespace

int RandomInt(int a, int b) {
    // The C library's rand() may reach 2^31 - 1; the formula expects 15 bits.
    const int r = std::rand() % 32768;
    return a + static_cast<int>(static_cast<double>(r) * (b - a + 1) / 32768.0);
}

std::unique_ptr<fwSDLImage> LoadNewImage(const char* path) {
    auto image = std::make_unique<fwSDLImage>();
    if (!image->Load(path)) {
        return nullptr;
    }
    return image;
}

GameScene::GameScene()
    : effectsVolume(100), state(Created), leaveRequested(false), autoPlay(false), shownFps(0),
      fireTicks(0), level(0), points(0), lives(0), paddleX(0), paddleY(0) {}

GameScene::~GameScene() = default;

bool GameScene::LoadResources() {
    state = Idle;
    failedResource = nullptr;
    // Each failure is logged by its wrapper; the scene only remembers which
    // file it stopped on, for the application's own report.
    auto fail = [this](const char* file) {
        failedResource = file;
        return false;
    };
    if (!paddleImage.Load(PaddleFile)) {
        return fail(PaddleFile);
    }
    if (paddleImage.GetWidth() < MinPaddleWidth) {
        logFile.Write("GameScene::LoadResources - Paddle image 3 pixels wide or less", PaddleFile);
        return fail(PaddleFile);
    }
    fwSDLImage* const images[] = {&ballImage,   &brickImage1,     &brickImage2,
                                  &brickImage3, &solidBrickImage, &powerUpImage};
    const char* const files[] = {"data/images/ball.png",     "data/images/brick001.png",
                                 "data/images/brick002.png", "data/images/brick003.png",
                                 "data/images/brick501.png", "data/images/pshot.png"};
    for (int i = 0; i < 6; ++i) {
        if (!images[i]->Load(files[i])) {
            return fail(files[i]);
        }
    }
    const char* const shotFile = "data/images/fire.png";
    shotImage = LoadNewImage(shotFile);
    if (!shotImage) {
        return fail(shotFile);
    }
    const char* const fontFile = "data/fonts/nocontrol.ttf";
    if (!font.Load(fontFile, 14)) {
        return fail(fontFile);
    }
    const char* const hitFile = "data/sounds/hit.wav";
    if (!hitSound.LoadFromFile(hitFile)) {
        return fail(hitFile);
    }
    const char* const gameOverFile = "data/sounds/gameover.wav";
    if (!gameOverSound.LoadFromFile(gameOverFile)) {
        return fail(gameOverFile);
    }
    levelLabel.SetText(font, "Level");
    ballsLabel.SetText(font, "Balls");
    pointsLabel.SetText(font, "Points");
    return true;
}

void GameScene::NewGame() {
    level = 1;
    lives = 3;
    shownFps = 0;
    state = Idle;
    points = 0;
    leaveRequested = false;
    heldPowerUp.reset();
}

bool GameScene::StartLevel(bool loadLevelFile) {
    std::srand(serveSeed ? *serveSeed : static_cast<unsigned>(std::time(nullptr)));
    powerUps.DeleteAll();
    shots.DeleteAll();
    heldPowerUp.reset();
    paddleX = 133;
    paddleY = 226;
    fireTicks = Ticks();
    lastSolidHit = -1;
    lastStart = BallPose{};

    ball.x = 156.0f;
    ball.y = 220.0f;
    ball.radius = 3;
    ball.SetAngle(static_cast<float>(90 + RandomInt(45, -45)));
    ball.SetBounds(SDL_Rect{0, 0, 319, 236});

    if (loadLevelFile) {
        char path[64];
        std::snprintf(path, sizeof path, "data/levels/level%d.txt", level);
        if (!levelFile.Loading(path)) {
            state = Finished;
            return false;
        }
        levelFile.CopyTo(bricks);
    }
    state = GetReady;
    return true;
}

void GameScene::RunRound(SDLApp& app) {
    switch (state) {
    case LevelCleared:
        ++level;
        StartLevel(true); // sets GetReady, or Finished after the last level
        break;
    case GetReady:
    case Paused:
    case GameOver:
    case 7: // unused value; nothing enters it, it would wait like the others
        RunSelectWait(app);
        break;
    case Playing:
        UpdatePlay(app);
        break;
    case Finished:
        leaveRequested = true;
        break;
    default: // Created, Idle and anything unknown wait for the caller
        break;
    }
}

void GameScene::RunSelectWait(SDLApp& app) {
    if (!app.KeyPressed(SelectKey, false)) {
        return;
    }
    SDL_Delay(selectDelayMs);
    state = (state == GameOver) ? Finished : Playing;
}

uint32_t GameScene::Ticks() const {
    return clock ? clock() : SDL_GetTicks();
}

double GameScene::PaddleBounceAngle(int hit) const {
    const int w = paddleImage.GetWidth();
    const int h = w / 2;
    if (hit < h) {
        return static_cast<double>((h - hit - 1) * 50) / static_cast<double>(w - h - (w % 2) - 1);
    }
    return static_cast<double>((hit - h) * -50) / static_cast<double>(w - h - 1);
}

void GameScene::ReleasePowerUp(int x, int y) {
    auto* capsule = new CPowerUp();
    capsule->SetSize(16, 16);
    capsule->SetPosition(x, y);
    capsule->Activate();
    powerUps.Add(capsule);
}

void GameScene::FireShot() {
    auto* shot = new qdSprite();
    shot->SetImage(shotImage.get(), 1, 0);
    shot->SetPosition(paddleX + paddleImage.GetWidth() / 2, paddleY - 12);
    shot->SetSize(8, 12);
    shot->SetDirection(0.0f, -2.0f);
    shot->Activate();
    shots.Add(shot);
}

int GameScene::BreakableLeft() const {
    int count = 0;
    for (const BrickCell& cell : bricks.cells) {
        if (cell.present && cell.breakable && cell.kind != 0) {
            ++count;
        }
    }
    return count;
}

// ---------------------------------------------------------------------------
// Play update. The order of the steps decides several outcomes (a lost ball
// ends the frame before the paddle moves, a paddle bounce before any brick),
// so it is kept exactly as one frame of the game has always run.

void GameScene::UpdatePlay(SDLApp& app) {
    const BallPose start{ball.x, ball.y, ball.angle};
    const int savedX = static_cast<int>(ball.x);
    const int savedY = static_cast<int>(ball.y);

    if (!ball.Move()) {
        --lives;
        if (lives > 0) {
            StartLevel(false);
        } else {
            state = GameOver;
            gameOverSound.Play(effectsVolume);
            lastSolidHit = -1;
        }
        return;
    }

    // From here on the frame leaves its own memory for the wedge guard;
    // only a hit on a solid brick (ScanBricks) marks it.
    const bool previousHitSolid = lastSolidHit >= 0;
    const BallPose previousStart = lastStart;
    lastSolidHit = -1;
    lastStart = start;

    MovePaddle(app);

    if (app.KeyPressed(PauseKey, false)) {
        state = Paused;
        return;
    }

    UpdateFireWindow(app);

    const SDL_Rect paddleRect = paddleImage.GetRect(paddleX, paddleY);
    UpdateShots();
    UpdatePowerUps(paddleRect);
    if (BounceOffPaddle(paddleRect)) {
        return;
    }
    ScanBricks(savedX, savedY, previousHitSolid ? &previousStart : nullptr);
}

void GameScene::MovePaddle(SDLApp& app) {
    const int w = paddleImage.GetWidth();
    if (autoPlay) {
        paddleX = static_cast<int>(ball.x) - w / 2;
        if (paddleX < 0) {
            paddleX = 0;
        }
        if (paddleX > ScreenWidth - w) {
            paddleX = ScreenWidth - w;
        }
    } else if (app.KeyPressed(SDLK_LEFT, false)) {
        paddleX -= PaddleStep;
        if (paddleX < 0) {
            paddleX = 0;
        }
    }
    // The right key is read in both modes, on top of the computer's placement.
    if (app.KeyPressed(SDLK_RIGHT, false)) {
        paddleX += PaddleStep;
        if (paddleX > ScreenWidth - w) {
            paddleX = ScreenWidth - w;
        }
    }
}

void GameScene::UpdateFireWindow(SDLApp& app) {
    if (!heldPowerUp) {
        return;
    }
    const uint32_t now = Ticks();
    if (static_cast<uint32_t>(now - fireTicks) <= FireWindowMs) {
        return;
    }
    fireTicks = Ticks();
    if (app.KeyPressed(SelectKey, false) && heldPowerUp->kind == 1) {
        FireShot();
    }
}

void GameScene::UpdateShots() {
    for (int i = 0; i < shots.GetCount(); ++i) {
        auto* shot = static_cast<qdSprite*>(shots.Get(i));
        if (shot->state != fwSDLSprite::Active) {
            continue;
        }
        shot->Move();
        if (static_cast<int>(shot->y) < 0) {
            shot->Kill();
        }
    }
    shots.Purge();
}

void GameScene::UpdatePowerUps(const SDL_Rect& paddleRect) {
    int i = 0;
    while (i < powerUps.GetCount()) {
        auto* capsule = static_cast<CPowerUp*>(powerUps.Get(i));
        if (capsule->state == fwSDLSprite::Active) {
            if (static_cast<int>(capsule->y) > CapsuleStopY) {
                capsule->Deactivate(); // stays in the list until the next level start
            } else if (capsule->Collides(paddleRect)) {
                capsule->Deactivate();
                heldPowerUp.reset(static_cast<CPowerUp*>(powerUps.RemoveAt(i)));
                continue; // the next capsule has moved into place i
            } else {
                capsule->Move();
            }
        }
        ++i;
    }
}

bool GameScene::BounceOffPaddle(const SDL_Rect& paddleRect) {
    if (ball.CollideRect(paddleRect) == Ball::SideNone) {
        return false;
    }
    const double a = 360.0 - static_cast<double>(ball.angle);
    const int hit = static_cast<int>(ball.x) - paddleX + 3;
    double turned = a + PaddleBounceAngle(hit);
    if (a >= 90.0) {
        if (turned > 150.0) {
            turned = 150.0;
        }
    } else if (turned < 30.0) {
        turned = 30.0;
    }
    ball.SetAngle(static_cast<float>(turned));
    ball.x = static_cast<float>(static_cast<int>(ball.x));
    ball.y = static_cast<float>(paddleY - 3);
    ++paddleBounces;
    return true;
}

namespace {

// A breakable brick loses one hit; at its last hit it disappears. Solid
// bricks (and unknown kinds) are unchanged.
void Weaken(BrickCell& cell) {
    if (cell.kind == 3) {
        cell.kind = 2;
    } else if (cell.kind == 2) {
        cell.kind = 1;
    } else if (cell.kind == 1) {
        cell.present = false;
    }
}

} // namespace

// A ball hit reflects the ball and puts it back where the frame began, in
// whole pixels. Next to a solid brick's corner (or, at steep angles, its
// side) that can bring the ball back to the very spot and angle of the
// frame before, so that it turns between two angles on one spot for ever:
// a solid brick never breaks and the ball never comes down. wedgedFrom is
// the previous frame's start when that frame also hit a solid brick; a hit
// on a solid brick that would restore it exactly reflects about the other
// axis instead, which sends the ball away from the brick. Nothing else in
// the frame changes, and a hit that would not close that two-frame loop is
// reflected as always.
void GameScene::ScanBricks(int savedX, int savedY, const BallPose* wedgedFrom) {
    bool cleared = true;
    // The ball stays put during the scan (it ends at the first hit), so its
    // box is formed once; cells outside it are no contact.
    const SDL_Rect ballBox = ball.Box();
    for (int index = 0; index < LevelData::CellCount; ++index) {
        BrickCell& cell = bricks.cells[index];
        if (!cell.present || cell.kind == 0) {
            continue;
        }
        if (cell.breakable) {
            cleared = false;
        }
        SDL_Rect screenRect = cell.rect;
        screenRect.y = static_cast<Sint16>(screenRect.y + GridTop);

        const int shotCount = shots.GetCount();
        for (int i = 0; i < shotCount; ++i) {
            auto* shot = static_cast<qdSprite*>(shots.Get(i));
            if (shot->state != fwSDLSprite::Active || !shot->Collides(screenRect)) {
                continue;
            }
            shot->Kill();
            points += cell.points;
            if (cell.breakable) {
                Weaken(cell);
            }
        }
        if (!cell.present) {
            continue;
        }

        if (!RectsOverlap(screenRect, ballBox)) {
            continue;
        }
        const int side = ball.CollideRect(screenRect);
        if (side == Ball::SideNone) {
            continue;
        }
        const float before = ball.angle;
        const bool sideways = side == Ball::SideLeft || side == Ball::SideRight;
        if (side == Ball::SideLeft) {
            ball.SetAngle(180.0f - before);
        } else if (side == Ball::SideRight) {
            ball.SetAngle(540.0f - before);
        } else {
            ball.SetAngle(360.0f - before);
        }
        ball.x = static_cast<float>(savedX);
        ball.y = static_cast<float>(savedY);
        if (!cell.breakable) {
            if (wedgedFrom && wedgeGuard && ball.x == wedgedFrom->x && ball.y == wedgedFrom->y &&
                ball.angle == wedgedFrom->angle) {
                ball.SetAngle(sideways ? 360.0f - before : 180.0f - before);
                ++wedgeTurns;
            }
            lastSolidHit = index;
        }
        if (cell.hasPowerUp == 1) {
            ReleasePowerUp(savedX, savedY);
        }
        points += cell.points;
        if (cell.breakable) {
            Weaken(cell);
        }
        hitSound.Play(effectsVolume);
        return; // one brick per frame, and no cleared test in a frame with a hit
    }
    if (cleared) {
        state = LevelCleared;
    }
}

// ---------------------------------------------------------------------------
// Drawing: reads the scene, changes nothing.

void GameScene::Draw(SDL_Surface* screen) {
    levelLabel.Draw(screen, 10, 0);
    ballsLabel.Draw(screen, 80, 0);
    pointsLabel.Draw(screen, 160, 0);
    font.DrawInt(screen, 55, 0, level);
    font.DrawInt(screen, 130, 0, lives);
    font.DrawInt(screen, 210, 0, points);
    font.DrawInt(screen, 300, 0, shownFps);

    if (heldPowerUp && heldPowerUp->kind == 1) {
        DrawImage(powerUpImage, screen, 0, 220);
    }

    if (state == LevelCleared) {
        font.DrawText(screen, 100, 160, "Loading Level");
    } else {
        DrawBricks(screen);
        DrawStateText(screen);
    }

    for (int i = 0; i < shots.GetCount(); ++i) {
        auto* shot = static_cast<qdSprite*>(shots.Get(i));
        if (shot->state == fwSDLSprite::Active && shot->image && shot->image->GetDisplaySurface()) {
            shot->Draw(screen);
        }
    }
    for (int i = 0; i < powerUps.GetCount(); ++i) {
        auto* capsule = static_cast<CPowerUp*>(powerUps.Get(i));
        if (capsule->state == fwSDLSprite::Active && capsule->kind == 1) {
            DrawImage(powerUpImage, screen, static_cast<int>(capsule->x),
                      static_cast<int>(capsule->y));
        }
    }
    DrawImage(paddleImage, screen, paddleX, paddleY);
    DrawImage(ballImage, screen, static_cast<int>(ball.x), static_cast<int>(ball.y));
}

void GameScene::DrawBricks(SDL_Surface* screen) {
    fwSDLImage* const byKind[] = {nullptr, &brickImage1, &brickImage2, &brickImage3,
                                  &solidBrickImage};
    for (const BrickCell& cell : bricks.cells) {
        if (!cell.present || cell.kind < 1 || cell.kind > 4) {
            continue;
        }
        fwSDLImage* image = byKind[cell.kind];
        if (!image->GetDisplaySurface()) {
            continue;
        }
        SDL_Rect at = cell.rect;
        at.y = static_cast<Sint16>(at.y + GridTop);
        image->Draw(screen, at);
    }
}

void GameScene::DrawStateText(SDL_Surface* screen) {
    const char* text = nullptr;
    switch (state) {
    case GetReady:
        text = "Press select key";
        break;
    case Paused:
        text = "Paused";
        break;
    case GameOver:
        text = "GAME OVER";
        break;
    default:
        return;
    }
    font.DrawText(screen, 100, 160, text);
}
