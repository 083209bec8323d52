// The browser SDL's fonts from glyph files (web/sdl/Font.cpp): a glyph file
// stands in for its .ttf at its size, other sizes fall back to the .ttf,
// and a broken or cut glyph file is refused with a message, never read
// past its end.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& file, const std::vector<char>& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

class GlyphFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/glyph-file-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        folder = pattern;
        glyphs = Bytes(std::string(QUADRELL_GLYPHS) + "/nocontrol-14.glyphs");
        ASSERT_GT(glyphs.size(), 1000u);
    }
    void TearDown() override {
        for (const char* name : {"/nocontrol-14.glyphs", "/nocontrol.ttf"})
            std::remove((folder + name).c_str());
        std::remove(folder.c_str());
    }
    // The width of "Score: 10" at the font's file and size, or -1.
    int Width(const std::string& file, int size) {
        TTF_Font* font = TTF_OpenFont(file.c_str(), size);
        if (!font)
            return -1;
        SDL_Surface* text = TTF_RenderText_Blended(font, "Score: 10", SDL_Color{255, 255, 255, 0});
        const int width = text ? text->w : -1;
        SDL_FreeSurface(text);
        TTF_CloseFont(font);
        return width;
    }
    std::string folder;
    std::vector<char> glyphs;
};

TEST_F(GlyphFileTest, StandsInForItsFontAtItsSizeOnly) {
    Write(folder + "/nocontrol-14.glyphs", glyphs);
    const std::string font = folder + "/nocontrol.ttf";
    EXPECT_GT(Width(font, 14), 0) << "no .ttf needed at 14 points";
    EXPECT_EQ(-1, Width(font, 24)) << SDL_GetError();
    EXPECT_NE(std::string::npos, std::string(SDL_GetError()).find("nocontrol.ttf"));
    Write(font, Bytes(std::string(QUADRELL_DATA) + "/fonts/nocontrol.ttf"));
    EXPECT_GT(Width(font, 24), 0) << "24 points from the .ttf";
}

TEST_F(GlyphFileTest, BrokenFilesAreRefusedWithAMessage) {
    const std::string font = folder + "/nocontrol.ttf";
    std::vector<std::vector<char>> broken;
    for (size_t length : {size_t(0), size_t(5), size_t(8), size_t(15), size_t(20), size_t(300),
                          glyphs.size() / 2, glyphs.size() - 1})
        broken.emplace_back(glyphs.begin(), glyphs.begin() + long(length));
    std::vector<char> longer = glyphs;
    longer.push_back(0);
    broken.push_back(longer);
    std::vector<char> magic = glyphs;
    magic[7] = '2';
    broken.push_back(magic);
    // The first glyph's height (bytes 20..33 are its seven numbers) past
    // the font's, then negative.
    for (char high : {char(0x7F), char(0xFF)}) {
        std::vector<char> tall = glyphs;
        tall[33] = high;
        broken.push_back(tall);
    }
    for (const std::vector<char>& bytes : broken) {
        Write(folder + "/nocontrol-14.glyphs", bytes);
        EXPECT_EQ(nullptr, TTF_OpenFont(font.c_str(), 14)) << bytes.size() << " bytes";
        EXPECT_NE(std::string::npos, std::string(SDL_GetError()).find("not a glyph file"))
            << SDL_GetError();
    }
}

} // namespace
