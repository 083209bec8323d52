// Fonts and labels against SDL_ttf: rendering into pixels, number formats,
// failed fonts and the registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProbeApp.h"
#include "framework/SDLFont.h"
#include "framework/SDLLabel.h"
#include "tests/support/MediaFixtures.h"

namespace {

// Counts the lit pixels of a region of the screen.
int LitPixels(SDL_Surface* s, int x0, int y0, int x1, int y1) {
    SDL_LockSurface(s);
    int lit = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            lit += ReadPixel(s, x, y) != 0;
        }
    }
    SDL_UnlockSurface(s);
    return lit;
}

// Remembers the text each draw was asked for.
struct SpyFont : SDLFont {
    std::vector<std::string> texts;
    void DrawText(SDL_Surface* target, int x, int y, const char* text) override {
        texts.push_back(text);
        SDLFont::DrawText(target, x, y, text);
    }
};

class FontTest : public SdlTest {
  protected:
    SDL_Surface* Clear() {
        SDL_FillRect(app->Screen(), nullptr, 0);
        return app->Screen();
    }
    const std::string font = fixtures::SystemFont();
};

} // namespace

TEST_F(FontTest, TextIsRenderedWhiteAtThePosition) {
    SDLFont f;
    ASSERT_TRUE(f.Load(font.c_str(), 14)) << font;
    SDL_Surface* screen = Clear();
    f.DrawText(screen, 50, 60, "Quadrell");
    EXPECT_GT(LitPixels(screen, 50, 60, 130, 80), 40);
    EXPECT_EQ(0, LitPixels(screen, 0, 0, 320, 60));
    EXPECT_EQ(0, LitPixels(screen, 0, 0, 50, 240));
    // The brightest pixel is pure white.
    SDL_LockSurface(screen);
    uint32_t brightest = 0;
    for (int y = 60; y < 80; ++y) {
        for (int x = 50; x < 130; ++x) {
            brightest = std::max(brightest, ReadPixel(screen, x, y));
        }
    }
    SDL_UnlockSurface(screen);
    EXPECT_EQ(0xFFFFu, brightest);

    SDL_Surface* rendered = f.RenderText("Hi");
    ASSERT_NE(nullptr, rendered);
    EXPECT_GT(rendered->w, 0);
    SDL_FreeSurface(rendered);
}

struct NumberRow {
    bool isFloat;
    double value;
    const char* text;
};

class NumberFormats : public FontTest, public ::testing::WithParamInterface<NumberRow> {};

TEST_P(NumberFormats, DrawTheFormattedTextExactly) {
    SpyFont spy;
    ASSERT_TRUE(spy.Load(font.c_str(), 14));
    SDL_Surface* screen = Clear();
    if (GetParam().isFloat) {
        spy.DrawFloat(screen, 0, 0, static_cast<float>(GetParam().value));
    } else {
        spy.DrawInt(screen, 0, 0, static_cast<int>(GetParam().value));
    }
    ASSERT_EQ(1u, spy.texts.size());
    EXPECT_EQ(GetParam().text, spy.texts[0]);

    // The pixels are those of the same text drawn directly.
    std::vector<uint16_t> viaNumber(static_cast<const uint16_t*>(screen->pixels),
                                    static_cast<const uint16_t*>(screen->pixels) + 320 * 40);
    SDLFont plain;
    plain.Load(font.c_str(), 14);
    Clear();
    plain.DrawText(screen, 0, 0, GetParam().text);
    std::vector<uint16_t> direct(static_cast<const uint16_t*>(screen->pixels),
                                 static_cast<const uint16_t*>(screen->pixels) + 320 * 40);
    EXPECT_EQ(direct, viaNumber);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberFormats,
                         ::testing::Values(NumberRow{false, -42, "-42"}, NumberRow{false, 0, "0"},
                                           NumberRow{false, 2147483647.0, "2147483647"},
                                           NumberRow{true, 3.14159, "3.14"},
                                           NumberRow{true, -0.004, "-0.00"},
                                           NumberRow{true, 1.5, "1.50"},
                                           NumberRow{true, 62.5, "62.50"}));

TEST_F(FontTest, HugeFloatsStayInsideTheTextBuffer) {
    SpyFont spy;
    ASSERT_TRUE(spy.Load(font.c_str(), 8));
    spy.DrawFloat(Clear(), 0, 0, 3.0e38f);
    ASSERT_EQ(1u, spy.texts.size());
    EXPECT_EQ(42u, spy.texts[0].size()); // 39 digits, the point, two decimals
}

TEST_F(FontTest, AFailedFontDrawsNothingAndItsLabelsStayEmpty) {
    SpyFont broken;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(broken.Load("/nonexistent/font.ttf", 14));
    EXPECT_EQ("TrueType \"/nonexistent/font.ttf\" font not loaded",
              testing::internal::GetCapturedStderr());
    EXPECT_FALSE(broken.IsLoaded());
    EXPECT_EQ(nullptr, broken.RenderText("x"));
    SDL_Surface* screen = Clear();
    broken.SDLFont::DrawText(screen, 0, 0, "nothing");
    broken.DrawInt(screen, 0, 0, 5);
    EXPECT_EQ(0, LitPixels(screen, 0, 0, 320, 240));

    SDLLabel label;
    label.SetText(broken, "Level");
    EXPECT_EQ(nullptr, label.GetSurface());
    label.Draw(screen, 0, 0);
    EXPECT_EQ(0, LitPixels(screen, 0, 0, 320, 240));
}

TEST_F(FontTest, LabelsRenderOnceAndReplaceTheirCaption) {
    SDLFont f;
    ASSERT_TRUE(f.Load(font.c_str(), 14));
    SDLLabel label;
    label.SetText(f, "Balls");
    ASSERT_NE(nullptr, label.GetSurface());
    const int wide = label.GetSurface()->w;
    label.SetText(f, "B");
    ASSERT_NE(nullptr, label.GetSurface());
    EXPECT_LT(label.GetSurface()->w, wide);

    SDL_Surface* screen = Clear();
    label.Draw(screen, 315, 230); // partly outside: clipped, no complaint
    EXPECT_GT(LitPixels(screen, 315, 230, 320, 240), 0);
    EXPECT_EQ(0, LitPixels(screen, 0, 0, 315, 230));
}

TEST_F(FontTest, TheRegistryKeepsTheFirstFontOfEachName) {
    SDLFont* first = app->GetFont("menu", font.c_str(), 24);
    SDLFont* again = app->GetFont("menu", "/elsewhere.ttf", 8);
    EXPECT_EQ(first, again);
    EXPECT_TRUE(first->IsLoaded());
    SDL_Surface* big = first->RenderText("M");
    SDLFont* small = app->GetFont("small", font.c_str(), 8);
    EXPECT_NE(first, small);
    SDL_Surface* little = small->RenderText("M");
    EXPECT_GT(big->h, little->h);
    SDL_FreeSurface(big);
    SDL_FreeSurface(little);

    testing::internal::CaptureStderr();
    SDLFont* missing = app->GetFont("gone", "/nonexistent.ttf", 10);
    testing::internal::GetCapturedStderr();
    ASSERT_NE(nullptr, missing);
    EXPECT_FALSE(missing->IsLoaded());
    EXPECT_EQ(missing, app->GetFont("gone", font.c_str(), 10));
    EXPECT_EQ(missing, RegisteredFont("gone", font.c_str(), 10));
}

TEST_F(FontTest, SdlTtfIsStartedOnceByTheFirstFont) {
    SDLFont a, b;
    ASSERT_TRUE(a.Load(font.c_str(), 10));
    ASSERT_TRUE(b.Load(font.c_str(), 12));
    EXPECT_EQ(1, TTF_WasInit());
}
