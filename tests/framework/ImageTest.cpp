// Images against a real 16-bit screen: loading, drawing, clipping, pixel
// access, and the application's own image list.
#include <gtest/gtest.h>

#include "ProbeApp.h"
#include "framework/fwSDLImage.h"
#include "framework/fwSDLSprite.h"
#include "tests/support/MediaFixtures.h"

using fixtures::Rgb;

namespace {

// 4x3 picture: red top row, green middle, blue bottom; the last column of
// the top row is white.
std::vector<Rgb> Stripes() {
    std::vector<Rgb> p;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            Rgb c = y == 0 ? Rgb{255, 0, 0} : y == 1 ? Rgb{0, 255, 0} : Rgb{0, 0, 255};
            if (y == 0 && x == 3) {
                c = {255, 255, 255};
            }
            p.push_back(c);
        }
    }
    return p;
}

class ImageTest : public SdlTest {
  protected:
    void SetUp() override {
        SdlTest::SetUp();
        path = dir.File("stripes.png");
        ASSERT_TRUE(fixtures::WritePng(path, 4, 3, Stripes()));
    }
    uint32_t ScreenPixel(int x, int y) {
        SDL_LockSurface(app->Screen());
        uint32_t v = ReadPixel(app->Screen(), x, y);
        SDL_UnlockSurface(app->Screen());
        return v;
    }
    void ClearScreen() { SDL_FillRect(app->Screen(), nullptr, 0); }

    testsupport::TempDir dir;
    std::string path;
    const uint32_t red = 0xF800, green = 0x07E0, blue = 0x001F, white = 0xFFFF;
};

} // namespace

TEST_F(ImageTest, LoadsWithSizesRectsAndRawSourcePixels) {
    fwSDLImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    EXPECT_EQ(4, image.GetWidth());
    EXPECT_EQ(3, image.GetHeight());
    EXPECT_EQ(16, image.GetDisplaySurface()->format->BitsPerPixel);
    SDL_Rect r = image.GetRect(10, 200);
    EXPECT_EQ(10, r.x);
    EXPECT_EQ(200, r.y);
    EXPECT_EQ(4, r.w);
    EXPECT_EQ(3, r.h);
    r = image.GetRect();
    EXPECT_EQ(0, r.x);
    EXPECT_EQ(4, r.w);
    // The source keeps the file's own 24-bit format, read least significant
    // byte first.
    ASSERT_EQ(3, image.GetSourceSurface()->format->BytesPerPixel);
    SDL_PixelFormat* f = image.GetSourceSurface()->format;
    EXPECT_EQ(SDL_MapRGB(f, 255, 255, 255), image.GetPixel(3, 0));
    EXPECT_EQ(SDL_MapRGB(f, 0, 0, 255), image.GetPixel(1, 2));
    EXPECT_EQ("", log.Text().substr(log.Text().find("Done\n") + 5));
}

TEST_F(ImageTest, DrawsWholeAtThePositionWhateverSizeIsGiven) {
    fwSDLImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    ClearScreen();
    SDL_Rect where = {100, 50, 1, 1};
    image.Draw(app->Screen(), where);
    EXPECT_EQ(red, ScreenPixel(100, 50));
    EXPECT_EQ(white, ScreenPixel(103, 50));
    EXPECT_EQ(blue, ScreenPixel(103, 52));
    EXPECT_EQ(0u, ScreenPixel(104, 50));
    EXPECT_EQ(0u, ScreenPixel(100, 53));

    ClearScreen();
    image.Draw(app->Screen(), 7, 9);
    EXPECT_EQ(green, ScreenPixel(7, 10));
    EXPECT_EQ(0u, ScreenPixel(6, 9));
}

TEST_F(ImageTest, DrawingPartlyOffScreenIsClippedSilently) {
    fwSDLImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    const std::string before = log.Text();
    ClearScreen();
    SDL_Rect where = {318, 238, 4, 3};
    image.Draw(app->Screen(), where);
    EXPECT_EQ(318, where.x); // the caller's rectangle never changes
    EXPECT_EQ(4, where.w);
    EXPECT_EQ(red, ScreenPixel(318, 238));
    EXPECT_EQ(green, ScreenPixel(319, 239));
    image.Draw(app->Screen(), -3, -2);
    EXPECT_EQ(blue, ScreenPixel(0, 0));
    image.Draw(app->Screen(), 400, 400); // wholly outside
    EXPECT_EQ(before, log.Text());
}

TEST_F(ImageTest, MissingAndDamagedFilesFailWithALogLine) {
    fwSDLImage missing;
    const int before = fwObjectCounter();
    EXPECT_FALSE(missing.Load(dir.File("nope.png").c_str()));
    EXPECT_GT(missing.id, 0);
    EXPECT_EQ(nullptr, missing.GetDisplaySurface());
    EXPECT_EQ(0u, missing.GetPixel(0, 0));

    std::vector<uint8_t> bytes = fixtures::PngBytes(4, 3, Stripes());
    bytes.resize(bytes.size() / 2);
    fixtures::WriteBytes(dir.File("cut.png"), bytes);
    fwSDLImage damaged;
    EXPECT_FALSE(damaged.Load(dir.File("cut.png").c_str()));
    fixtures::WriteBytes(dir.File("empty.png"), {});
    fwSDLImage empty;
    EXPECT_FALSE(empty.Load(dir.File("empty.png").c_str()));
    EXPECT_EQ(before, fwObjectCounter() - 2);

    // One message-form line per failure, after the start-up lines.
    std::string text = log.Text();
    text = text.substr(text.find("Done\n") + 5);
    int lines = 0;
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at) {
        ++lines;
    }
    EXPECT_EQ(3, lines) << text;
    EXPECT_NE(' ', text[0]);
    // A failed image draws nothing and reports nothing.
    ClearScreen();
    missing.Draw(app->Screen(), 0, 0);
    EXPECT_EQ(text, log.Text().substr(log.Text().find("Done\n") + 5));
    EXPECT_EQ(0, missing.GetWidth());
}

TEST_F(ImageTest, ColorKeyLeavesKeyedPixelsUndrawn) {
    fwSDLImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    EXPECT_EQ(0, image.SetColorKey(0, 255, 0));
    SDL_FillRect(app->Screen(), nullptr, white);
    image.Draw(app->Screen(), 0, 0);
    EXPECT_EQ(white, ScreenPixel(0, 1));
    EXPECT_EQ(red, ScreenPixel(0, 0));
}

TEST_F(ImageTest, TheApplicationKeepsEveryImageItLoads) {
    fwSDLImage* good = app->LoadImage(path.c_str());
    fwSDLImage* bad = app->LoadImage(dir.File("nope.png").c_str());
    ASSERT_NE(nullptr, good);
    ASSERT_NE(nullptr, bad);
    EXPECT_EQ(4, good->GetWidth());
    EXPECT_EQ(nullptr, bad->GetDisplaySurface());
    // Both are released with the application (checked under the leak
    // checker); here only that they were distinct objects.
    EXPECT_NE(good->id, bad->id);
}

TEST_F(ImageTest, SpritesDrawTheirFrameAtTheTruncatedPosition) {
    fwSDLImage image;
    ASSERT_TRUE(image.Load(path.c_str()));
    fwSDLSprite sprite;
    sprite.SetImage(&image, 2, 3); // frames of 2x1
    sprite.x = -0.5f;
    sprite.y = 20.9f;
    ClearScreen();
    sprite.Draw(app->Screen());
    EXPECT_EQ(red, ScreenPixel(0, 20));
    EXPECT_EQ(red, ScreenPixel(1, 20));
    EXPECT_EQ(0u, ScreenPixel(2, 20));
    EXPECT_EQ(0u, ScreenPixel(0, 21));

    sprite.column = 1; // second frame of the top row: red then white
    sprite.x = 319.9f;
    sprite.y = 0;
    sprite.Draw(app->Screen());
    EXPECT_EQ(red, ScreenPixel(319, 0));

    const std::string before = log.Text();
    sprite.x = 500;
    sprite.Draw(app->Screen());
    sprite.SetImage(nullptr, 0, 0);
    sprite.Draw(app->Screen());
    EXPECT_EQ(before, log.Text());
}

TEST(SurfacePixels, ReadAndWriteEveryDepthAndIgnoreOutsideWrites) {
    for (int bits : {8, 16, 24, 32}) {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 4, bits, 0, 0, 0, 0);
        ASSERT_NE(nullptr, s) << bits;
        const uint32_t mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        const uint32_t value = 0x89ABCDEFu & mask;
        WritePixel(s, 4, 3, value);
        EXPECT_EQ(value, ReadPixel(s, 4, 3)) << bits;
        if (bits == 24) {
            const Uint8* p = static_cast<Uint8*>(s->pixels) + 3 * s->pitch + 12;
            EXPECT_EQ(0xEF, p[0]);
            EXPECT_EQ(0xCD, p[1]);
            EXPECT_EQ(0xAB, p[2]);
        }
        WritePixel(s, 5, 0, value);
        WritePixel(s, -1, 0, value);
        WritePixel(s, 0, 4, value);
        WritePixel(s, 0, -1, value);
        int set = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                set += ReadPixel(s, x, y) != 0;
            }
        }
        EXPECT_EQ(1, set) << bits;
        ReleaseSurface(s);
    }
    EXPECT_EQ(0u, ReadPixel(nullptr, 0, 0));
    ReleaseSurface(nullptr);
    WritePixel(nullptr, 0, 0, 1);
}
