// Checks the shipped data directory: every file the game opens is there, in
// the format and size the game relies on, and the level files keep to the
// pair format. Regenerating the data with tools/assets/ must keep these true.

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::SourceDir;

std::string DataPath(const std::string& relative) {
    return SourceDir() + "/data/" + relative;
}

uint32_t Le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
uint16_t Be16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) << 8 | uint8_t(b[at + 1]));
}

Uint32 PixelAt(SDL_Surface* s, int x, int y) {
    const Uint8* p =
        static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1:
        return *p;
    case 2:
        return *reinterpret_cast<const Uint16*>(p);
    case 3:
        return SDL_BYTEORDER == SDL_BIG_ENDIAN ? (p[0] << 16 | p[1] << 8 | p[2])
                                               : (p[0] | p[1] << 8 | p[2] << 16);
    default:
        return *reinterpret_cast<const Uint32*>(p);
    }
}

class SdlMedia : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        testsupport::UseDummyDrivers();
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO)) << SDL_GetError();
        ASSERT_EQ(0, TTF_Init()) << TTF_GetError();
    }
    static void TearDownTestSuite() {
        TTF_Quit();
        SDL_Quit();
    }
};

// ---------------------------------------------------------------- images

struct ExpectedImage {
    const char* file;
    int minW, maxW, minH, maxH;
};

// Sizes the game depends on: bricks fill their 15x9 cell, the progress block
// fits its 15-pixel step, a shot shows the top-left 8x12 of its picture, the
// loading picture fills the screen, the paddle is wider than 3 pixels.
const ExpectedImage kImages[] = {
    {"loading.png", 320, 320, 240, 240},
    {"progress.png", 1, 14, 1, 20},
    {"arrow.png", 12, 20, 12, 20},
    {"paddle.png", 32, 32, 4, 12},
    {"ball.png", 4, 8, 4, 8},
    {"brick001.png", 15, 15, 9, 9},
    {"brick002.png", 15, 15, 9, 9},
    {"brick003.png", 15, 15, 9, 9},
    {"brick501.png", 15, 15, 9, 9},
    {"pshot.png", 16, 16, 16, 16},
    {"fire.png", 8, 16, 12, 16},
};

TEST_F(SdlMedia, EveryImageLoadsOpaqueAtItsSize) {
    for (const ExpectedImage& image : kImages) {
        SCOPED_TRACE(image.file);
        SDL_Surface* s = IMG_Load(DataPath(std::string("images/") + image.file).c_str());
        ASSERT_NE(nullptr, s) << IMG_GetError();
        EXPECT_GE(s->w, image.minW);
        EXPECT_LE(s->w, image.maxW);
        EXPECT_GE(s->h, image.minH);
        EXPECT_LE(s->h, image.maxH);
        // The game drops the alpha channel when it converts a picture, so a
        // see-through pixel would show its raw colour: all must be opaque.
        int seeThrough = 0;
        if (s->format->Amask) {
            SDL_LockSurface(s);
            for (int y = 0; y < s->h; ++y)
                for (int x = 0; x < s->w; ++x) {
                    Uint8 r, g, b, a;
                    SDL_GetRGBA(PixelAt(s, x, y), s->format, &r, &g, &b, &a);
                    if (a != 255)
                        ++seeThrough;
                }
            SDL_UnlockSurface(s);
        }
        EXPECT_EQ(0, seeThrough);
        SDL_FreeSurface(s);
    }
}

TEST_F(SdlMedia, LoadingPictureLeavesTheProgressBarStripDark) {
    // Six blocks are drawn at x = 10 + 15 i, y = 210; the artwork under them
    // must stay dark so the bar reads clearly.
    SDL_Surface* s = IMG_Load(DataPath("images/loading.png").c_str());
    ASSERT_NE(nullptr, s) << IMG_GetError();
    SDL_Surface* block = IMG_Load(DataPath("images/progress.png").c_str());
    ASSERT_NE(nullptr, block) << IMG_GetError();
    SDL_LockSurface(s);
    int bright = 0;
    for (int y = 210; y < 210 + block->h; ++y)
        for (int x = 10; x < 10 + 15 * 5 + block->w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(PixelAt(s, x, y), s->format, &r, &g, &b);
            if (r + g + b > 120)
                ++bright;
        }
    SDL_UnlockSurface(s);
    EXPECT_EQ(0, bright);
    SDL_FreeSurface(block);
    SDL_FreeSurface(s);
}

// ---------------------------------------------------------------- sounds

TEST(ShippedSounds, EffectsArePcm16At22050Hz) {
    struct ExpectedSound {
        const char* file;
        double minSeconds, maxSeconds;
    } sounds[] = {{"hit.wav", 0.02, 0.25}, {"gameover.wav", 0.5, 3.0}};
    for (const ExpectedSound& sound : sounds) {
        SCOPED_TRACE(sound.file);
        const std::string b = ReadFile(DataPath(std::string("sounds/") + sound.file));
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ("RIFF", b.substr(0, 4));
        EXPECT_EQ("WAVE", b.substr(8, 4));
        // Walk the chunks: the format chunk, then the data chunk.
        size_t at = 12;
        uint16_t format = 0, channels = 0, bits = 0;
        uint32_t rate = 0, dataBytes = 0;
        while (at + 8 <= b.size()) {
            const std::string id = b.substr(at, 4);
            const uint32_t size = Le32(b, at + 4);
            if (id == "fmt " && at + 24 <= b.size()) {
                format = Le16(b, at + 8);
                channels = Le16(b, at + 10);
                rate = Le32(b, at + 12);
                bits = Le16(b, at + 22);
            } else if (id == "data") {
                dataBytes = size;
                EXPECT_LE(at + 8 + size, b.size()) << "data chunk runs past the file";
            }
            at += 8 + size + (size & 1);
        }
        EXPECT_EQ(1, format);
        EXPECT_TRUE(channels == 1 || channels == 2);
        EXPECT_EQ(22050u, rate);
        EXPECT_EQ(16, bits);
        ASSERT_GT(channels, 0);
        const double seconds = dataBytes / (2.0 * channels * 22050);
        EXPECT_GE(seconds, sound.minSeconds);
        EXPECT_LE(seconds, sound.maxSeconds);
    }
}

// The module's layout: 20-byte name, 31 sample headers of 30 bytes, song
// length, restart byte, 128 orders, "M.K.", 1024-byte patterns, samples.
TEST(ShippedSounds, TitleModuleIsACompleteFourChannelModuleOfHalfAMinuteOrMore) {
    const std::string b = ReadFile(DataPath("sounds/title.mod"));
    ASSERT_GE(b.size(), 1084u);
    EXPECT_EQ("M.K.", b.substr(1080, 4));
    const int songLength = uint8_t(b[950]);
    ASSERT_GE(songLength, 1);
    ASSERT_LE(songLength, 128);
    int patterns = 0;
    for (int i = 0; i < 128; ++i)
        patterns = std::max(patterns, uint8_t(b[952 + i]) + 1);
    size_t sampleBytes = 0;
    for (int i = 0; i < 31; ++i) {
        const size_t h = 20 + 30 * i;
        const size_t len = 2u * Be16(b, h + 22);
        const size_t loopStart = 2u * Be16(b, h + 26), loopLen = 2u * Be16(b, h + 28);
        EXPECT_LE(uint8_t(b[h + 25]), 64) << "sample " << i + 1 << " volume";
        if (loopLen > 2) {
            EXPECT_LE(loopStart + loopLen, len) << "sample " << i + 1 << " loop";
        }
        sampleBytes += len;
    }
    EXPECT_EQ(1084u + 1024u * patterns + sampleBytes, b.size());
    // Every order's pattern holds 64 rows; speed changes only to 6 and the
    // tempo stays 125, so a row lasts 0.12 s.
    for (int p = 0; p < patterns; ++p)
        for (int cell = 0; cell < 256; ++cell) {
            const size_t at = 1084 + 1024u * p + 4u * cell;
            if ((uint8_t(b[at + 2]) & 0x0F) == 0x0F) {
                const int v = uint8_t(b[at + 3]);
                EXPECT_TRUE(v == 6 || v == 125) << "pattern " << p << " speed/tempo " << v;
            }
        }
    EXPECT_GE(songLength * 64 * 0.12, 30.0);
}

TEST_F(SdlMedia, SoundsAndModuleLoadAndTheModulePlays) {
    ASSERT_EQ(0, Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024)) << Mix_GetError();
    for (const char* f : {"sounds/hit.wav", "sounds/gameover.wav"}) {
        Mix_Chunk* c = Mix_LoadWAV(DataPath(f).c_str());
        EXPECT_NE(nullptr, c) << f << ": " << Mix_GetError();
        if (c)
            Mix_FreeChunk(c);
    }
    Mix_Music* m = Mix_LoadMUS(DataPath("sounds/title.mod").c_str());
    ASSERT_NE(nullptr, m) << Mix_GetError();
    EXPECT_EQ(0, Mix_PlayMusic(m, -1)) << Mix_GetError();
    SDL_Delay(200);
    EXPECT_EQ(1, Mix_PlayingMusic());
    Mix_HaltMusic();
    Mix_FreeMusic(m);
    Mix_CloseAudio();
}

// ---------------------------------------------------------------- fonts

// The rightmost column of the rendered text that holds a visible pixel.
int LastInkedColumn(TTF_Font* font, const char* text) {
    SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* s = TTF_RenderText_Blended(font, text, white);
    if (!s)
        return 100000;
    int last = -1;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = s->w - 1; x > last; --x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(PixelAt(s, x, y), s->format, &r, &g, &b, &a);
            if (a > 0) {
                last = x;
                break;
            }
        }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return last;
}

TEST_F(SdlMedia, FontsOpenAndTheWidestTextsFitTheirColumns) {
    TTF_Font* menu = TTF_OpenFont(DataPath("fonts/nocontrol.ttf").c_str(), 24);
    TTF_Font* hud = TTF_OpenFont(DataPath("fonts/nocontrol.ttf").c_str(), 14);
    TTF_Font* small = TTF_OpenFont(DataPath("fonts/arial.ttf").c_str(), 14);
    ASSERT_NE(nullptr, menu) << TTF_GetError();
    ASSERT_NE(nullptr, hud) << TTF_GetError();
    ASSERT_NE(nullptr, small) << TTF_GetError();
    int w = 0, h = 0;
    // Option labels start at x 40 and their values at x 220.
    ASSERT_EQ(0, TTF_SizeText(menu, "Computer Player", &w, &h));
    EXPECT_LT(40 + w, 216);
    ASSERT_EQ(0, TTF_SizeText(menu, "QUADRELL V0.1", &w, &h));
    EXPECT_LE(40 + w, 320);
    // The credits lines start at x 30 on a 320-pixel screen: every inked
    // pixel of the longest one must land on it.
    EXPECT_LT(30 + LastInkedColumn(small, "All peopels that share there resources for free"), 320);
    // Heads-up line: each label ends before its number's column.
    struct Hud {
        const char* text;
        int x, numberX;
    } labels[] = {{"Level", 10, 55}, {"Balls", 80, 130}, {"Points", 160, 210}};
    for (const Hud& l : labels) {
        ASSERT_EQ(0, TTF_SizeText(hud, l.text, &w, &h));
        EXPECT_LT(l.x + w, l.numberX) << l.text;
    }
    TTF_CloseFont(small);
    TTF_CloseFont(hud);
    TTF_CloseFont(menu);
}

TEST(ShippedFonts, EachFontHasItsLicenceBesideIt) {
    for (const char* base : {"nocontrol", "arial"}) {
        const std::string licence =
            ReadFile(DataPath(std::string("fonts/") + base + ".LICENSE.txt"));
        EXPECT_NE(std::string::npos, licence.find("Open Font License")) << base;
    }
}

// ---------------------------------------------------------------- levels

std::vector<std::string> ShippedLevels() {
    std::vector<std::string> texts;
    for (int n = 1;; ++n) {
        const std::string path = DataPath("levels/level" + std::to_string(n) + ".txt");
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f)
            break;
        std::fclose(f);
        texts.push_back(ReadFile(path));
    }
    return texts;
}

TEST(ShippedLevels, AtLeastTwelveNumberedWithoutGaps) {
    const size_t count = ShippedLevels().size();
    EXPECT_GE(count, 12u);
    // The game stops at the first missing number, so a file after a gap
    // would never be played.
    for (size_t n = count + 2; n <= count + 10; ++n) {
        FILE* f = std::fopen(DataPath("levels/level" + std::to_string(n) + ".txt").c_str(), "rb");
        EXPECT_EQ(nullptr, f) << "level" << n << ".txt lies after a gap";
        if (f)
            std::fclose(f);
    }
}

TEST(ShippedLevels, EveryLineIsWholePairsInsideTheGrid) {
    const std::vector<std::string> levels = ShippedLevels();
    for (size_t i = 0; i < levels.size(); ++i) {
        SCOPED_TRACE("level" + std::to_string(i + 1) + ".txt");
        const std::string& text = levels[i];
        ASSERT_FALSE(text.empty());
        EXPECT_EQ('\n', text.back()) << "last line ends with a line feed";
        EXPECT_EQ(std::string::npos, text.find('\r'));
        int lines = 0, pairs = 0, breakable = 0;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            ++lines;
            EXPECT_EQ(0u, line.size() % 2) << "line " << lines << " has odd length";
            EXPECT_LE(line.size(), 40u) << "line " << lines << " wider than 20 cells";
            for (size_t c = 0; c + 1 < line.size(); c += 2) {
                EXPECT_NE(std::string::npos, std::string("123#. ").find(line[c]))
                    << "line " << lines << " cell " << c / 2 << " brick '" << line[c] << "'";
                EXPECT_TRUE(line[c + 1] == ' ' || line[c + 1] == 'S')
                    << "line " << lines << " cell " << c / 2 << " modifier '" << line[c + 1] << "'";
                if (line[c + 1] == 'S') {
                    EXPECT_NE(std::string::npos, std::string("123#").find(line[c]))
                        << "capsule mark on an empty cell, line " << lines;
                }
                if (line[c] >= '1' && line[c] <= '3')
                    ++breakable;
                ++pairs;
            }
            start = end + 1;
        }
        EXPECT_LE(lines, 15);
        EXPECT_LE(pairs, 300);
        EXPECT_GT(breakable, 0);
    }
}

} // namespace
