// The shell against the real SDL (dummy drivers): start-up, the frame loop,
// its budget and frame-rate window, quitting, and keyboard queries.
#include <gtest/gtest.h>

#include "ProbeApp.h"

using testsupport::SetKey;

TEST_F(SdlTest, InitOpensA320x240x16ScreenAndLogsTheStartUp) {
    SDL_Surface* screen = app->Screen();
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(320, screen->w);
    EXPECT_EQ(240, screen->h);
    EXPECT_EQ(16, screen->format->BitsPerPixel);
    const std::string text = log.Text();
    EXPECT_TRUE(text ==
                    "  SDLApp::InitSDL: Surface Surface enabled...\n  SDLApp::InitSDL: Done\n" ||
                text == "  SDLApp::InitSDL: Hardware Surface enabled...\n  SDLApp::InitSDL: Done\n")
        << text;
    EXPECT_TRUE(app->InitSDLError().empty());
}

TEST_F(SdlTest, EachFrameIsClearedDrawnFlippedAndGivenTheRestOf16ms) {
    app->fakeClock = true;
    const uint32_t work[] = {0, 5, 15, 16, 40, 3};
    app->onDraw = [&](int frame) {
        // Paint a pixel: the next frame must start on a black screen.
        SDL_Surface* s = app->Screen();
        SDL_LockSurface(s);
        EXPECT_EQ(0u, ReadPixel(s, 10, 10)) << "frame " << frame;
        WritePixel(s, 10, 10, 0xFFFF);
        SDL_UnlockSurface(s);
        app->Advance(work[frame]);
        if (frame == 5) {
            app->Quit();
        }
    };
    app->Run();
    EXPECT_EQ(6, app->frames);
    EXPECT_EQ(6, app->flips);
    // 16 - work for the quick frames, nothing at all for 16 ms or more.
    EXPECT_EQ((std::vector<uint32_t>{16, 11, 1, 13}), app->sleeps);
}

TEST_F(SdlTest, FrameRateIsZeroUntilA990msWindowCloses) {
    app->fakeClock = true;
    std::vector<float> seen;
    app->onDraw = [&](int frame) {
        seen.push_back(app->GetFPS());
        if (frame == 63) {
            app->Quit();
        }
    };
    app->Run();
    // Frames start every 16 ms; the window closes in the frame that ends
    // 992 ms after the start, the 63rd.
    for (int i = 0; i <= 62; ++i) {
        ASSERT_FLOAT_EQ(0.0f, seen[static_cast<size_t>(i)]) << "frame " << i;
    }
    EXPECT_FLOAT_EQ(63 * 1000.0f / 992.0f, seen[63]);
    EXPECT_FLOAT_EQ(63 * 1000.0f / 992.0f, app->GetFPS());
}

TEST_F(SdlTest, RealClockFramesLastAtLeast16msEach) {
    app->onDraw = [&](int frame) {
        if (frame == 9) {
            app->Quit();
        }
    };
    // Only a lower bound: each frame sleeps out its 16 ms, so ten frames
    // cannot end sooner than 160 ms after they began.
    const Uint32 before = SDL_GetTicks();
    app->Run();
    const Uint32 after = SDL_GetTicks();
    EXPECT_EQ(10, app->frames);
    EXPECT_GE(after - before, 160u);
}

TEST_F(SdlTest, QuitBeforeRunHasNoEffect) {
    app->Quit();
    app->onDraw = [&](int frame) {
        if (frame == 2) {
            app->Quit();
        }
    };
    app->Run();
    EXPECT_EQ(3, app->frames);
}

TEST_F(SdlTest, WindowCloseEndsTheLoopAfterAFullFrame) {
    app->fakeClock = true;
    PushQuit();
    app->Run();
    EXPECT_EQ(1, app->frames);
    EXPECT_EQ(1, app->flips);
    EXPECT_EQ(std::vector<uint32_t>{16}, app->sleeps);
}

TEST_F(SdlTest, AnyKeyDownWhileEscapeIsHeldQuits) {
    app->onDraw = [&](int frame) {
        if (frame == 0) {
            // Another key than Escape: the held Escape is what counts.
            SetKey(SDLK_ESCAPE, true);
            PushKeyDown(SDLK_SPACE);
        }
        if (frame > 5) {
            app->Quit(); // the test's own safety net
        }
    };
    app->Run();
    EXPECT_EQ(2, app->frames);
}

TEST_F(SdlTest, KeyDownWithoutEscapeAndOtherEventsAreIgnored) {
    app->onDraw = [&](int frame) {
        if (frame == 0) {
            PushKeyDown(SDLK_ESCAPE); // the event names Escape, but it is not held
            PushUserEvent(7);
        }
        if (frame == 3) {
            app->Quit();
        }
    };
    app->Run();
    EXPECT_EQ(4, app->frames);
}

TEST_F(SdlTest, KeyPressedBeforeTheLoopReadsKeysIsFalse) {
    SetKey(SDLK_LEFT, true);
    EXPECT_FALSE(app->HasKeyState());
    EXPECT_FALSE(app->KeyPressed(SDLK_LEFT, false));
    EXPECT_FALSE(app->KeyPressed(SDLK_LEFT, true));
}

TEST_F(SdlTest, KeyPressedWithoutWaitingIsTrueOnEveryFrameTheKeyIsHeld) {
    std::vector<bool> answers;
    app->onDraw = [&](int frame) {
        SetKey(SDLK_LEFT, frame < 3);
        answers.push_back(app->KeyPressed(SDLK_LEFT, false));
        if (frame == 4) {
            app->Quit();
        }
    };
    app->Run();
    EXPECT_EQ((std::vector<bool>{true, true, true, false, false}), answers);
}

TEST_F(SdlTest, KeyPressedNotHeldAnswersFalseWithoutReadingEvents) {
    app->ReadKeys();
    PushUserEvent(42);
    EXPECT_FALSE(app->KeyPressed(SDLK_SPACE, true));
    SDL_Event event;
    ASSERT_EQ(1, SDL_PollEvent(&event));
    EXPECT_EQ(SDL_USEREVENT, event.type);
    EXPECT_EQ(42, event.user.code);
}

TEST_F(SdlTest, KeyPressedWaitingReturnsOnReleaseAndRecordsAQuitMeanwhile) {
    app->ReadKeys();
    SetKey(SDLK_SPACE, true);
    int quitEvents = 0;
    app->onEvent = [&](SDL_Event* event) { quitEvents += event->type == SDL_QUIT; };
    // The key is let go during the third pause between polls; a window
    // close arrives while it is held.
    app->onSleep = [&]() {
        if (app->sleeps.size() == 3) {
            SetKey(SDLK_SPACE, false);
        }
    };
    PushQuit();
    EXPECT_TRUE(app->KeyPressed(SDLK_SPACE, true));
    EXPECT_EQ(1, quitEvents);
    EXPECT_TRUE(app->QuitRequested());
    // It slept about a millisecond between polls instead of spinning.
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 1}), app->sleeps);
    EXPECT_FALSE(app->KeyPressed(SDLK_SPACE, true));
}

TEST_F(SdlTest, KeyPressedWaitingSeesEachPressOnceInTheLoop) {
    std::vector<bool> answers;
    app->onEvent = [&](SDL_Event* event) {
        if (event->type == SDL_USEREVENT) {
            SetKey(SDLK_DOWN, false);
        }
    };
    app->onDraw = [&](int frame) {
        if (frame == 0) {
            SetKey(SDLK_DOWN, true);
            PushUserEvent(1);
        }
        answers.push_back(app->KeyPressed(SDLK_DOWN, true));
        if (frame == 2) {
            app->Quit();
        }
    };
    app->Run();
    EXPECT_EQ((std::vector<bool>{true, false, false}), answers);
}

TEST_F(SdlTest, AWindowCloseDuringAWaitEndsTheLoopAfterThatFrame) {
    std::vector<bool> answers;
    app->onEvent = [&](SDL_Event* event) {
        if (event->type == SDL_USEREVENT) {
            SetKey(SDLK_SPACE, false);
        }
    };
    app->onDraw = [&](int frame) {
        if (frame == 0) {
            SetKey(SDLK_SPACE, true);
            PushQuit();
            PushUserEvent(0);
        }
        answers.push_back(app->KeyPressed(SDLK_SPACE, true));
        if (frame > 3) {
            app->Quit(); // the test's own safety net
        }
    };
    app->Run();
    EXPECT_EQ(std::vector<bool>{true}, answers);
    EXPECT_EQ(1, app->flips);
}

TEST_F(SdlTest, MapRGBUsesTheScreenFormat) {
    EXPECT_EQ(0xF800u, app->MapRGB(255, 0, 0));
    EXPECT_EQ(0xFFFFu, app->MapRGB(255, 255, 255));
    EXPECT_EQ(0u, app->MapRGB(0, 0, 0));
}

TEST(SDLAppInstance, ASecondApplicationObjectEndsTheProcessWithStatus2) {
    testsupport::TempDir dir;
    testsupport::ScopedChdir here(dir.Path());
    EXPECT_EXIT(
        {
            testsupport::ScopedLog log;
            ProbeApp first;
            ProbeApp second;
        },
        ::testing::ExitedWithCode(2), "^SDLApp already exists\n$");
}

TEST(SDLAppInstance, InstanceFollowsTheLiveObject) {
    EXPECT_EQ(nullptr, SDLApp::Instance());
    {
        ProbeApp app;
        EXPECT_EQ(&app, SDLApp::Instance());
    }
    EXPECT_EQ(nullptr, SDLApp::Instance());
    ProbeApp again; // a new one may follow once the first is gone
    EXPECT_EQ(&again, SDLApp::Instance());
}
