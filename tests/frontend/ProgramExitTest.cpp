// The built program with a broken data directory: it must end by itself,
// with status 1 and one line on standard error naming what failed.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/frontend/FrontendFixture.h"

namespace {

struct Outcome {
    int status;
    std::string errors;
    std::string log;
};

Outcome RunProgramWithout(const std::string& missing) {
    testsupport::TempDir dir;
    fetest::MakeDataDir(dir, {missing});
    const std::string command = "cd '" + dir.Path() +
                                "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 '" +
                                QUADRELL_PROGRAM + "' >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.errors = testsupport::ReadFile(dir.File("err.txt"));
    outcome.log = testsupport::ReadFile(dir.File("log.txt"));
    return outcome;
}

int Lines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST(Program, AMissingFontEndsItWithStatusOneAndOneLine) {
    const Outcome outcome = RunProgramWithout("data/fonts/arial.ttf");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("could not load data/fonts/arial.ttf"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(Lines(outcome.errors), 1) << outcome.errors;
    EXPECT_NE(outcome.log.find("stopping application"), std::string::npos);
}

TEST(Program, AMissingLoadingPictureEndsItInsteadOfShowingAnEmptyMenu) {
    const Outcome outcome = RunProgramWithout("data/images/loading.png");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("could not load data/images/loading.png"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(Lines(outcome.errors), 1) << outcome.errors;
}

TEST(Program, AMissingGamePictureIsNamed) {
    const Outcome outcome = RunProgramWithout("data/images/ball.png");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("could not load data/images/ball.png"), std::string::npos)
        << outcome.errors;
}

} // namespace
