#include "tests/frontend/FrontendFixture.h"

#include <chrono>
#include <cstdint>

#include "framework/fwSDLImage.h"

namespace fetest {

void MakeDataDir(const testsupport::TempDir& dir, const std::set<std::string>& omit) {
    struct Picture {
        const char* file;
        int w, h;
        Rgb colour;
    };
    const Picture pictures[] = {
        {"data/images/loading.png", 320, 240, LoadingColour},
        {"data/images/progress.png", 12, 10, ProgressColour},
        {"data/images/arrow.png", 16, 16, ArrowColour},
        {"data/images/paddle.png", 32, 8, {200, 200, 200}},
        {"data/images/ball.png", 6, 6, {255, 255, 0}},
        {"data/images/brick001.png", 15, 9, {255, 128, 0}},
        {"data/images/brick002.png", 15, 9, {0, 200, 200}},
        {"data/images/brick003.png", 15, 9, {200, 0, 200}},
        {"data/images/brick501.png", 15, 9, {128, 128, 128}},
        {"data/images/pshot.png", 16, 16, {255, 255, 255}},
        {"data/images/fire.png", 8, 12, {255, 64, 64}},
    };
    for (const Picture& p : pictures) {
        if (!omit.count(p.file))
            dir.Write(p.file, fixtures::SolidPngBytes(p.w, p.h, p.colour));
    }
    auto put = [&](const std::string& file, const std::vector<uint8_t>& bytes) {
        if (!omit.count(file))
            dir.Write(file, bytes);
    };
    put("data/sounds/hit.wav", fixtures::WavBytes(50));
    // Long enough to be still playing when a test looks right after Play.
    put("data/sounds/gameover.wav", fixtures::WavBytes(1500));
    put("data/sounds/title.mod", fixtures::ModBytes());
    if (!omit.count("data/levels/level1.txt"))
        dir.Write("data/levels/level1.txt", "1 2 3 # 1 \n");
    for (const char* font : {"data/fonts/nocontrol.ttf", "data/fonts/arial.ttf"}) {
        if (!omit.count(font))
            dir.Link(font, testsupport::SourceDir() + "/" + font);
    }
}

TestApp::TestApp() {
    pusher = std::thread([this] {
        // Pushed events reach OnEvent through the screen's release wait.
        while (!stopPusher) {
            if (wantRelease) {
                SDL_Event event{};
                event.type = SDL_USEREVENT;
                SDL_PushEvent(&event);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
}

TestApp::~TestApp() {
    stopPusher = true;
    pusher.join();
    testsupport::ReleaseAllKeys();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
}

void TestApp::Start() {
    Init();
    keyState = SDL_GetKeyState(nullptr);
    testsupport::ReleaseAllKeys();
}

void TestApp::Frame() {
    ClearScreen();
    RunFrame();
    LetGo();
}

void TestApp::ReachTitleMenu() {
    Frame();
    Frame();
}

void TestApp::Tap(const std::vector<SDLKey>& keys) {
    for (SDLKey key : keys) {
        testsupport::SetKey(key, true);
        releases.push_back(key);
    }
    wantRelease = !releases.empty();
}

void TestApp::LetGo() {
    releases.clear();
    wantRelease = false;
    testsupport::ReleaseAllKeys();
}

void TestApp::OnEvent(SDL_Event* event) {
    if (event->type != SDL_USEREVENT) {
        QuadrellApp::OnEvent(event);
        return;
    }
    // One release per wait: events that pile up in one poll of the queue
    // would otherwise let go of the next key before it is asked for.
    const Uint32 now = SDL_GetTicks();
    if (releases.empty() || (lastRelease != 0 && now - lastRelease < 20))
        return;
    testsupport::SetKey(releases.front(), false);
    releases.pop_front();
    lastRelease = now;
    wantRelease = !releases.empty();
}

void TestApp::FlipScreen() {
    std::vector<bool> blocks;
    for (int i = 0; i < 8; ++i) {
        blocks.push_back(ScreenIs(10 + 15 * i + 1, 211, ProgressColour));
    }
    flips.push_back(blocks);
    blackFlips.push_back(!AnyLit(0, 0, 320, 240));
    QuadrellApp::FlipScreen();
}

bool TestApp::ScreenIs(int x, int y, Rgb colour) const {
    return ReadPixel(screen, x, y) == SDL_MapRGB(screen->format, colour.r, colour.g, colour.b);
}

bool TestApp::AnyLit(int x, int y, int w, int h) const {
    for (int yy = y; yy < y + h; ++yy) {
        for (int xx = x; xx < x + w; ++xx) {
            if (ReadPixel(screen, xx, yy) != 0)
                return true;
        }
    }
    return false;
}

} // namespace fetest
