// Music and sound wrappers with real files on SDL_mixer's dummy device.
#include <gtest/gtest.h>

#include "ProbeApp.h"
#include "framework/SDLMusic.h"
#include "framework/SDLSoundFX.h"
#include "tests/support/MediaFixtures.h"

namespace {

class AudioTest : public SdlTest {
  protected:
    void SetUp() override {
        SdlTest::SetUp();
        ASSERT_TRUE(fixtures::WriteWav(dir.File("hit.wav"), 2000));
        ASSERT_TRUE(fixtures::WriteMod(dir.File("title.mod")));
        startLog = log.Text();
    }
    void TearDown() override {
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        SdlTest::TearDown();
    }
    // What was logged since the test's own start.
    std::string NewLog() const { return log.Text().substr(startLog.size()); }
    std::string File(const char* name) const { return dir.File(name); }

    testsupport::TempDir dir;
    std::string startLog;
};

} // namespace

TEST_F(AudioTest, MusicLoadsPlaysLoopingAndRefusesASecondStart) {
    SDLMusic music;
    ASSERT_TRUE(music.LoadFromFile(File("title.mod").c_str())) << NewLog();
    EXPECT_TRUE(music.Play(70, 0));
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(70, Mix_VolumeMusic(-1));
    // Already playing: neither the volume nor the playback changes.
    EXPECT_FALSE(music.Play(10, 0));
    EXPECT_EQ(70, Mix_VolumeMusic(-1));
    EXPECT_EQ("", NewLog());
}

TEST_F(AudioTest, FadeOutCountsAsPlayingUntilItEnds) {
    SDLMusic music;
    ASSERT_TRUE(music.LoadFromFile(File("title.mod").c_str()));
    EXPECT_FALSE(music.FadeOut());
    ASSERT_TRUE(music.Play(100, 0));
    EXPECT_TRUE(music.FadeOut());
    EXPECT_EQ(MIX_FADING_OUT, Mix_FadingMusic());
    EXPECT_FALSE(music.Play(100, 0));
    // Once halted the same music starts again.
    Mix_HaltMusic();
    EXPECT_TRUE(music.Play(100, 500));
}

TEST_F(AudioTest, PlayWithoutMusicFailsAfterSettingTheVolume) {
    SDLMusic music;
    Mix_VolumeMusic(5);
    EXPECT_FALSE(music.Play(90, 0));
    EXPECT_EQ(90, Mix_VolumeMusic(-1));
    EXPECT_EQ(0u, NewLog().find("  SDLMusic::Play: ")) << NewLog();
}

TEST_F(AudioTest, ReloadingMusicStopsWhatPlaysOnlyWhenMusicIsHeld) {
    SDLMusic playing;
    ASSERT_TRUE(playing.LoadFromFile(File("title.mod").c_str()));
    ASSERT_TRUE(playing.Play(64, 0));
    SDLMusic fresh;
    ASSERT_TRUE(fresh.LoadFromFile(File("title.mod").c_str()));
    EXPECT_TRUE(Mix_PlayingMusic()); // an empty wrapper leaves playback alone
    ASSERT_TRUE(playing.LoadFromFile(File("title.mod").c_str()));
    EXPECT_FALSE(Mix_PlayingMusic());
}

TEST_F(AudioTest, BadMusicFilesAreLoggedAndLeaveNothingHeld) {
    fixtures::WriteBytes(File("noise.mod"), std::vector<uint8_t>(300, 0x5A));
    SDLMusic music;
    for (const char* name : {"missing.mod", "noise.mod"}) {
        EXPECT_FALSE(music.LoadFromFile(File(name).c_str())) << name;
    }
    EXPECT_EQ(0u, NewLog().find("  SDLMusic::LoadFromFile: ")) << NewLog();
    EXPECT_FALSE(music.Play(10, 0)); // nothing held: refused by SDL_mixer
}

TEST_F(AudioTest, SoundPlaysAndKeepsItsVolumeForLaterPlays) {
    SDLSoundFX sound;
    ASSERT_TRUE(sound.LoadFromFile(File("hit.wav").c_str())) << NewLog();
    EXPECT_TRUE(sound.Play(100));
    EXPECT_EQ(1, Mix_Playing(-1));
    // The same sample again, still sounding, takes a second channel; both
    // share the newest volume, which lives on the sample.
    EXPECT_TRUE(sound.Play(30));
    EXPECT_EQ(2, Mix_Playing(-1));
    EXPECT_EQ(30, Mix_VolumeChunk(Mix_GetChunk(0), -1));
    EXPECT_EQ("", NewLog());
}

TEST_F(AudioTest, AllChannelsBusyIsLogged) {
    SDLSoundFX sound;
    ASSERT_TRUE(sound.LoadFromFile(File("hit.wav").c_str()));
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(sound.Play(100)) << i;
    }
    EXPECT_FALSE(sound.Play(100));
    EXPECT_EQ(0u, NewLog().find("  SDLSoundFX::Play: ")) << NewLog();
}

TEST_F(AudioTest, MissingAndBrokenSoundsAreLoggedAndLeaveTheWrapperEmpty) {
    SDLSoundFX sound;
    ASSERT_TRUE(sound.LoadFromFile(File("hit.wav").c_str()));
    const std::string missing = File("gone.wav");
    EXPECT_FALSE(sound.LoadFromFile(missing.c_str()));
    EXPECT_EQ("  SDLSoundFX::LoadFromFile - File not found: " + missing + "\n", NewLog());
    EXPECT_FALSE(sound.IsLoaded());
    EXPECT_FALSE(sound.Play(100)); // silently
    EXPECT_EQ("  SDLSoundFX::LoadFromFile - File not found: " + missing + "\n", NewLog());

    std::vector<uint8_t> cut = fixtures::WavBytes(100);
    cut.resize(20);
    fixtures::WriteBytes(File("cut.wav"), cut);
    startLog = log.Text();
    EXPECT_FALSE(sound.LoadFromFile(File("cut.wav").c_str()));
    EXPECT_EQ(0u, NewLog().find("  SDLSoundFX::LoadFromFile: ")) << NewLog();
    startLog = log.Text();
    EXPECT_FALSE(sound.LoadFromFile(dir.Path().c_str())); // a folder, not a file
    EXPECT_EQ(0u, NewLog().find("  SDLSoundFX::LoadFromFile: ")) << NewLog();
    EXPECT_FALSE(sound.IsLoaded());
}

TEST(FileExists, FollowsStat) {
    testsupport::TempDir dir;
    dir.Write("a.wav", "x");
    EXPECT_TRUE(FileExists(dir.File("a.wav").c_str()));
    EXPECT_TRUE(FileExists(dir.Path().c_str()));
    EXPECT_FALSE(FileExists(dir.File("b.wav").c_str()));
    EXPECT_FALSE(FileExists(""));
}
