#include "tools/levelcheck/LevelSweep.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "gameplay/GameScene.h"
#include "tests/support/TestSupport.h"
#include "tools/levelcheck/LevelCheckCommand.h"

namespace {

TEST(LevelSweepAngles, EveryServeTheGameCanGiveOnce) {
    const std::vector<float> angles = LevelSweep::ServeAngles();
    // 47 to 80 and 110 to 135: the ball folds 80..110 to its ends.
    std::vector<float> expected;
    for (int a = 47; a <= 80; ++a)
        expected.push_back(static_cast<float>(a));
    for (int a = 110; a <= 135; ++a)
        expected.push_back(static_cast<float>(a));
    EXPECT_EQ(angles, expected);

    // The game's own serve, drawn as StartLevel draws it, never leaves at
    // an angle outside the list, and over many seeds reaches all of it.
    std::set<float> served;
    for (unsigned seed = 1; seed <= 20000; ++seed) {
        std::srand(seed);
        Ball ball;
        ball.SetAngle(static_cast<float>(90 + RandomInt(45, -45)));
        served.insert(ball.angle);
    }
    EXPECT_EQ(std::vector<float>(served.begin(), served.end()), angles);
}

LevelSweep::Run Made(LevelPlayer::Outcome outcome, float angle, long frames, int ballsLost) {
    LevelSweep::Run run;
    run.outcome = outcome;
    run.angle = angle;
    run.frames = frames;
    run.ballsLost = ballsLost;
    return run;
}

TEST(LevelSweepReport, SummaryCountsOnlyClearedRunsForFramesAndBalls) {
    std::vector<LevelSweep::Run> runs = {
        Made(LevelPlayer::Cleared, 47, 6250, 0), Made(LevelPlayer::Loops, 48, 90000, 0),
        Made(LevelPlayer::Cleared, 49, 3750, 2), Made(LevelPlayer::Cleared, 50, 37500, 1)};
    EXPECT_DOUBLE_EQ(LevelSweep::ClearShare(runs), 75.0);
    EXPECT_EQ(LevelSweep::Summary(runs),
              "4 serves, cleared 3 (75.0%); frames to clear min 3750 (1.0 min), median 6250 "
              "(1.7 min), max 37500 (10.0 min); balls lost median 1");
    runs.resize(2);
    runs[0].outcome = LevelPlayer::FrameLimit;
    EXPECT_EQ(LevelSweep::Summary(runs), "2 serves, cleared 0 (0.0%); frames to clear none");
    EXPECT_DOUBLE_EQ(LevelSweep::ClearShare({}), 0.0);
}

TEST(LevelSweepReport, FailuresAndCsvRowsNameTheServe) {
    LevelSweep::Run loop = Made(LevelPlayer::Loops, 63, 5000, 0);
    loop.loopStart = 4000;
    loop.loopLength = 1000;
    loop.points = 120;
    loop.bricksLeft = 3;
    EXPECT_EQ(LevelSweep::Failure(loop),
              "serve at 63 degrees loops from frame 4000 (every 1000 frames)");
    EXPECT_EQ(LevelSweep::Failure(Made(LevelPlayer::FrameLimit, 110, 200000, 0)),
              "serve at 110 degrees still playing after 200000 frames");
    EXPECT_EQ(LevelSweep::Failure(Made(LevelPlayer::AllBallsLost, 80, 777, 3)),
              "serve at 80 degrees lost every ball after 777 frames");

    EXPECT_STREQ(LevelSweep::CsvHeader(),
                 "file,angle,cleared,frames,balls_lost,points,outcome,loop_start,bricks_left");
    EXPECT_EQ(LevelSweep::CsvRow("levels/a.txt", loop),
              "levels/a.txt,63,0,5000,0,120,loops,4000,3");
    EXPECT_EQ(LevelSweep::CsvRow("my \"best\", level.txt", Made(LevelPlayer::Cleared, 135, 900, 1)),
              "\"my \"\"best\"\", level.txt\",135,1,900,1,0,cleared,-1,0");
}

// Runs travel between workers as lines; nothing of a run may change on
// the way, the angle's float bits included.
TEST(LevelSweepRuns, EncodedRunsComeBackWhole) {
    LevelSweep::Run run = Made(LevelPlayer::Loops, 0.1f, 123456, 2);
    run.capsules = 7;
    run.bricksLeft = 3;
    run.firstLeft = 281;
    run.endState = 4;
    run.points = 990;
    run.loopStart = 100000;
    run.loopLength = 23456;
    const std::string line = LevelSweep::EncodeRun(59, run);
    int index = -1;
    LevelSweep::Run back;
    ASSERT_TRUE(LevelSweep::DecodeRun(line, index, back));
    EXPECT_EQ(index, 59);
    EXPECT_EQ(LevelSweep::EncodeRun(59, back), line);
    EXPECT_EQ(std::memcmp(&back.angle, &run.angle, sizeof run.angle), 0);
    EXPECT_EQ(back.outcome, LevelPlayer::Loops);
    EXPECT_FALSE(LevelSweep::DecodeRun("ready", index, back));
    EXPECT_FALSE(LevelSweep::DecodeRun("", index, back));
}

// A host that plays the runs itself (the browser) hands them in; the
// command sums them up as after its own sweep, and opens no scene: the data
// folder it is given does not even exist.
TEST(LevelSweepRuns, RunsPlayedElsewhereAreSummedUpAsTheCommandPrintsThem) {
    testsupport::TempDir dir;
    dir.Write("level.txt", "1 1 \n");
    const std::vector<float> angles = LevelSweep::ServeAngles();
    std::vector<LevelSweep::Run> runs;
    for (size_t i = 0; i < angles.size(); ++i) {
        runs.push_back(Made(i < 30 ? LevelPlayer::Cleared : LevelPlayer::Loops, angles[i],
                            1000 + static_cast<long>(i), 0));
    }
    FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    int status;
    {
        LevelCheckCommand command(out);
        command.sweepSource = [&](const std::string& path, long frames,
                                  std::vector<LevelSweep::Run>& given, std::string*) {
            EXPECT_EQ(path, dir.File("level.txt"));
            EXPECT_EQ(frames, 5000);
            given = runs;
            return true;
        };
        std::string csv = dir.File("runs.csv"), file = dir.File("level.txt");
        std::vector<std::string> args = {"levelcheck", "--sweep", "--quiet",
                                         "--frames",   "5000",    "--min-clear",
                                         "60",         "--data",  dir.File("no-such-folder"),
                                         "--csv",      csv,       file};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        status = command.Run(static_cast<int>(argv.size()), argv.data());
    }
    std::rewind(out);
    std::string printed;
    for (int c; (c = std::fgetc(out)) != EOF;)
        printed += static_cast<char>(c);
    std::fclose(out);
    EXPECT_EQ(status, LevelCheckCommand::ExitErrors);
    EXPECT_NE(printed.find("sweep: 60 serves, cleared 30 (50.0%)"), std::string::npos) << printed;
    EXPECT_NE(printed.find("note: serve at 77 degrees loops"), std::string::npos) << printed;
    EXPECT_NE(printed.find("error: cleared from 30 of 60 serves (50.0%), below the required 60%"),
              std::string::npos);
    std::ifstream csv(dir.File("runs.csv"));
    std::string header, first;
    std::getline(csv, header);
    std::getline(csv, first);
    EXPECT_EQ(header, LevelSweep::CsvHeader());
    EXPECT_EQ(first, LevelSweep::CsvRow(dir.File("level.txt"), runs[0]));
}

TEST(LevelSweepReport, CagedServesAreCountedAndToldApartFromLoops) {
    std::vector<LevelSweep::Run> runs = {Made(LevelPlayer::Cleared, 47, 6250, 0),
                                         Made(LevelPlayer::Caged, 48, 9000, 0),
                                         Made(LevelPlayer::Loops, 49, 8000, 0)};
    runs[1].loopStart = 4365;
    runs[1].loopLength = 462;
    runs[1].bricksLeft = 2;
    EXPECT_EQ(LevelSweep::Summary(runs),
              "3 serves, cleared 1 (33.3%), caged 1; frames to clear min 6250 (1.7 min), "
              "median 6250 (1.7 min), max 6250 (1.7 min); balls lost median 0");
    EXPECT_EQ(LevelSweep::Failure(runs[1]),
              "serve at 48 degrees cages the ball from frame 4365 (every 462 frames)");
    EXPECT_EQ(LevelSweep::CsvRow("a.txt", runs[1]), "a.txt,48,0,9000,0,0,caged,4365,2");
    EXPECT_EQ(LevelSweep::CsvRow("a.txt", runs[2]), "a.txt,49,0,8000,0,0,loops,-1,0");
}

} // namespace
