#include "tests/frontend/FrontendFixture.h"

#include <chrono>
#include <cstdint>

#include "framework/fwSDLImage.h"

namespace fetest {

namespace {

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutBE16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value & 0xFF));
}

// A BMP under a .png name: the image loader goes by the file's content.
void WritePicture(const testsupport::TempDir& dir, const std::string& relative, int w, int h,
                  Rgb colour) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
    dir.Write(relative, "");
    SDL_SaveBMP(surface, dir.File(relative).c_str());
    SDL_FreeSurface(surface);
}

} // namespace

std::string MakeWav(int ms) {
    const uint32_t rate = 22050;
    const uint32_t samples = rate * static_cast<uint32_t>(ms) / 1000;
    std::string out = "RIFF";
    PutLE(out, 36 + samples * 2, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2); // PCM
    PutLE(out, 1, 2); // mono
    PutLE(out, rate, 4);
    PutLE(out, rate * 2, 4);
    PutLE(out, 2, 2);
    PutLE(out, 16, 2);
    out += "data";
    PutLE(out, samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        PutLE(out, (i / 25) % 2 ? 0x1000 : 0xF000, 2);
    }
    return out;
}

std::string MakeMod() {
    std::string out(20, '\0'); // title
    for (int s = 0; s < 31; ++s) {
        std::string header(22, '\0');
        const bool first = s == 0;
        PutBE16(header, first ? 16 : 0); // length in words
        header.push_back(0);              // finetune
        header.push_back(first ? 64 : 0); // volume
        PutBE16(header, 0);               // loop start
        PutBE16(header, first ? 16 : 1);  // loop length
        out += header;
    }
    out.push_back(1);    // song length
    out.push_back(127);  // restart
    out += std::string(128, '\0');
    out += "M.K.";
    std::string pattern(64 * 4 * 4, '\0');
    const uint16_t period = 428;
    pattern[0] = static_cast<char>((period >> 8) & 0x0F);
    pattern[1] = static_cast<char>(period & 0xFF);
    pattern[2] = static_cast<char>(1 << 4);
    out += pattern;
    for (int i = 0; i < 32; ++i) out.push_back(static_cast<char>(i < 16 ? 64 : -64));
    return out;
}

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
        if (!omit.count(p.file)) WritePicture(dir, p.file, p.w, p.h, p.colour);
    }
    auto put = [&](const std::string& file, const std::string& bytes) {
        if (!omit.count(file)) dir.Write(file, bytes);
    };
    put("data/sounds/hit.wav", MakeWav(50));
    // Long enough to be still playing when a test looks right after Play.
    put("data/sounds/gameover.wav", MakeWav(1500));
    put("data/sounds/title.mod", MakeMod());
    put("data/levels/level1.txt", "1 2 3 # 1 \n");
    for (const char* font : {"data/fonts/nocontrol.ttf", "data/fonts/arial.ttf"}) {
        if (!omit.count(font)) dir.Link(font, testsupport::SourceDir() + "/" + font);
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
    if (releases.empty() || (lastRelease != 0 && now - lastRelease < 20)) return;
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
            if (ReadPixel(screen, xx, yy) != 0) return true;
        }
    }
    return false;
}

} // namespace fetest
