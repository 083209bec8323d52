// The built program with a broken data directory: it must end by itself,
// with status 1, main's line naming what failed as the last line on
// standard error, and in the log only what the failing resource reports.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/frontend/FrontendFixture.h"

using testsupport::Lines;

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

// The log between SDL's start-up and "stopping application", which must
// end it.
std::vector<std::string> LoggedWhileRunning(const std::string& log) {
    std::vector<std::string> lines = Lines(log);
    std::vector<std::string> between;
    size_t i = 0;
    while (i < lines.size() && lines[i] != "  SDLApp::InitSDL: Done")
        ++i;
    EXPECT_LT(i, lines.size()) << log;
    EXPECT_FALSE(lines.empty() || lines.back() != "stopping application") << log;
    for (++i; i + 1 < lines.size(); ++i)
        between.push_back(lines[i]);
    return between;
}

struct MissingFile {
    const char* file;
    std::vector<std::string> errors; // standard error, line by line
    std::vector<std::string> logged; // the log while the game ran
};

class Program : public ::testing::TestWithParam<MissingFile> {};

TEST_P(Program, EndsWithStatusOneAndMainsLineLast) {
    const MissingFile& c = GetParam();
    const Outcome outcome = RunProgramWithout(c.file);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(Lines(outcome.errors), c.errors) << outcome.errors;
    ASSERT_FALSE(outcome.errors.empty());
    EXPECT_EQ(outcome.errors.back(), '\n');
    EXPECT_EQ(LoggedWhileRunning(outcome.log), c.logged) << outcome.log;
}

std::string MainsLine(const std::string& file) {
    return "Quadrell could not start: could not load " + file + ". See log.txt.";
}

// A font's message has no line break of its own; main's line still starts
// a line. The menu and the game both open nocontrol.ttf, so it fails twice.
INSTANTIATE_TEST_SUITE_P(
    BrokenData, Program,
    ::testing::Values(MissingFile{"data/fonts/arial.ttf",
                                  {"TrueType \"data/fonts/arial.ttf\" font not loaded",
                                   MainsLine("data/fonts/arial.ttf")},
                                  {}},
                      MissingFile{"data/fonts/nocontrol.ttf",
                                  {"TrueType \"data/fonts/nocontrol.ttf\" font not loaded"
                                   "TrueType \"data/fonts/nocontrol.ttf\" font not loaded",
                                   MainsLine("data/fonts/nocontrol.ttf")},
                                  {}},
                      MissingFile{"data/images/loading.png",
                                  {MainsLine("data/images/loading.png")},
                                  {"Couldn't open data/images/loading.png"}},
                      MissingFile{"data/images/ball.png",
                                  {MainsLine("data/images/ball.png")},
                                  {"Couldn't open data/images/ball.png"}}),
    [](const ::testing::TestParamInfo<MissingFile>& info) {
        std::string name = std::string(info.param.file).substr(5);
        for (char& c : name) {
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

} // namespace
