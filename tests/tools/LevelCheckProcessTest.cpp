// Runs the built levelcheck program the way a designer or CI does and
// checks its output lines and exit status.
#include <dirent.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

using testsupport::Lines;

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs levelcheck with args in dir (the dummy drivers come from the test's
// environment, and the tool insists on them anyway).
Result RunTool(const std::string& dir, const std::string& args) {
    testsupport::TempDir scratch;
    std::string command =
        "cd '" + dir + "' && '" LEVELCHECK_PATH "' " + args + " 2>'" + scratch.File("err") + "'";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, pipe)) > 0)
        result.out.append(block, got);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = testsupport::ReadFile(scratch.File("err"));
    return result;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        }
        closedir(d);
    }
    return names;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A folder to run in, with the game's data directory linked in.
struct Workspace {
    testsupport::TempDir dir;
    Workspace() { dir.Link("data", testsupport::SourceDir() + "/data"); }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<png_byte> rgb;
    const png_byte* At(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * width + x) * 3];
    }
};

bool ReadPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

TEST(LevelCheckUsage, BadUsageExitsWithTwo) {
    testsupport::TempDir dir;
    dir.Write("level.txt", "1 ");
    for (const char* args : {"", "--play level.txt", "--play 0 level.txt", "--play x level.txt",
                             "--frames -5 level.txt", "--png", "--bogus level.txt", "--quiet"}) {
        SCOPED_TRACE(args);
        Result r = RunTool(dir.Path(), args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(Contains(r.err, "usage: levelcheck"));
    }
    Result help = RunTool(dir.Path(), "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Contains(help.out, "--play N"));
}

TEST(LevelCheckUsage, PlayPngAndSweepNeedTheGameData) {
    testsupport::TempDir dir;
    dir.Write("level.txt", "1 ");
    for (const char* args :
         {"--play 1 level.txt", "--png pictures level.txt", "--sweep level.txt"}) {
        SCOPED_TRACE(args);
        Result r = RunTool(dir.Path(), args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(Contains(r.err, "no data/ directory"));
    }
    Result missing = RunTool(dir.Path(), "--data nowhere --play 1 level.txt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(Contains(missing.err, "the data folder nowhere given with --data does not exist"));
    // The static check needs nothing but the file.
    EXPECT_EQ(RunTool(dir.Path(), "level.txt").status, 0);
    // Named data serves a folder without it, the sweep's workers included:
    // they load the data elsewhere and must still find the level named
    // relative to this folder. One brick in the corner clears from every serve.
    const std::string data = "--data '" + testsupport::SourceDir() + "/data' ";
    Result named = RunTool(dir.Path(), data + "--quiet --sweep --jobs 2 level.txt");
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_TRUE(Contains(named.out, "level.txt: sweep: 60 serves, cleared 60 (100.0%)"))
        << named.out;
}

// A checker must not litter the folder it is run in: no log.txt (the game
// library's log) and nothing else, whatever it does.
TEST(LevelCheckUsage, LeavesTheFolderItRunsInEmpty) {
    testsupport::TempDir files;
    files.Write("level.txt", "1 ");
    testsupport::TempDir empty;
    const std::string level = "'" + files.File("level.txt") + "'";
    const std::string data = "--data '" + testsupport::SourceDir() + "/data' --quiet ";
    for (const std::string& args : {std::string("--help"), level, data + "--play 1 " + level,
                                    data + "--png '" + files.File("pictures") + "' " + level,
                                    data + "--sweep --jobs 2 " + level}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunTool(empty.Path(), args).status, 0);
        EXPECT_EQ(Entries(empty.Path()), std::vector<std::string>{});
    }
}

TEST(LevelCheckStatic, ExitStatusFollowsTheWorstFile) {
    testsupport::TempDir dir;
    dir.Write("good.txt", "1 2 \n");
    dir.Write("warned.txt", "1x\n");
    dir.Write("bad.txt", "1 \n2\n3 \n");
    Result good = RunTool(dir.Path(), "good.txt warned.txt");
    EXPECT_EQ(good.status, 0);
    EXPECT_TRUE(Contains(
        good.out,
        "good.txt: 2 bricks (1-hit 1, 2-hit 1, 3-hit 0, solid 0), 0 power-up bricks, 35 points\n"));
    EXPECT_TRUE(Contains(good.out, "warned.txt:1:2: warning: modifier 'x'"));
    EXPECT_TRUE(Contains(good.out, "    12..................\n"));

    Result bad = RunTool(dir.Path(), "--quiet good.txt bad.txt missing.txt");
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Contains(bad.out, "bad.txt:2:1: error: line feed right after brick character '2'"));
    EXPECT_TRUE(Contains(bad.out, "missing.txt:1:1: error: cannot open level file"));
    EXPECT_FALSE(Contains(bad.out, "\n    "));
    EXPECT_TRUE(Contains(bad.out, "levelcheck: 3 files checked, 2 with errors, 0 warnings\n"));
}

TEST(LevelCheckStatic, WalledInBrickIsFoundWithoutPlaying) {
    testsupport::TempDir dir;
    dir.Write("ring.txt", "\n    # # # \n    # 3 # \n    # # # \n");
    dir.Write("open.txt", "\n    # . # \n    # 3 # \n    # # # \n");
    Result r = RunTool(dir.Path(), "--quiet ring.txt open.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(
        r.out, "ring.txt:3:7: error: breakable brick walled in by solid bricks: the ball can "
               "never reach it, so the level can never be cleared\n"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "levelcheck: 2 files checked, 1 with errors, 0 warnings\n"))
        << r.out;
}

TEST(LevelCheckPlay, TinyLevelClearsInEveryRun) {
    Workspace ws;
    ws.dir.Write("tiny.txt", "      1 2S\n");
    Result r = RunTool(ws.dir.Path(), "--quiet --play 3 tiny.txt");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "tiny.txt: play: cleared 3 of 3 runs; frames to clear median "))
        << r.out;
    // The computer player never fires, so the marked "2" is broken by two
    // ball hits in every run, each releasing one capsule.
    EXPECT_TRUE(Contains(r.out, "; capsules released 6\n")) << r.out;
    // Nothing but the tool's own lines on standard output.
    EXPECT_FALSE(Contains(r.out, "Init SDL"));
}

TEST(LevelCheckPlay, RunsAreRepeatableAndSeededApart) {
    Workspace ws;
    ws.dir.Write("level.txt", "3 3 3 3 3 3 3 3 \n. . 2S2 2 2S\n");
    Result first = RunTool(ws.dir.Path(), "--play 4 level.txt");
    Result second = RunTool(ws.dir.Path(), "--play 4 level.txt");
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.out, second.out);
    EXPECT_TRUE(Contains(first.out, "level.txt: run 4 (seed "));
}

TEST(LevelCheckPlay, WalledInBrickIsAnErrorAtThatBrick) {
    Workspace ws;
    // The computer player can never reach the "1": solid bricks close it in
    // on every side.
    ws.dir.Write("walled.txt", "# # # \n# 1 # \n# # # \n");
    Result r = RunTool(ws.dir.Path(), "--quiet --play 2 --frames 4000 walled.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.out, "walled.txt: play: cleared 0 of 2 runs; frames to clear none;"))
        << r.out;
    EXPECT_TRUE(Contains(
        r.out,
        "walled.txt:2:3: error: run with seed 1 did not clear the level: still playing after "
        "4000 frames; 1 breakable brick left, here"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "walled.txt:2:3: error: run with seed 2"));
}

TEST(LevelCheckPng, PictureShowsTheBricksWhereTheyAre) {
    Workspace ws;
    ws.dir.Write("pic.txt", "1 . # \n\n. 3 \n");
    Result r = RunTool(ws.dir.Path(), "--png shots pic.txt");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "pic.txt: wrote shots/pic.png"));
    Picture picture;
    ASSERT_TRUE(ReadPng(ws.dir.File("shots/pic.png"), picture));
    ASSERT_EQ(picture.width, 320);
    ASSERT_EQ(picture.height, 240);

    Picture brick1, solid, brick3;
    ASSERT_TRUE(ReadPng(testsupport::SourceDir() + "/data/images/brick001.png", brick1));
    ASSERT_TRUE(ReadPng(testsupport::SourceDir() + "/data/images/brick501.png", solid));
    ASSERT_TRUE(ReadPng(testsupport::SourceDir() + "/data/images/brick003.png", brick3));
    // Cell (column, row) has its top-left pixel at (16 column + 1, 20 + 10 row + 1);
    // the screen is 16 bits deep, so colours match to within a few steps.
    struct Cell {
        int column, row;
        const Picture* image;
    };
    for (const Cell& cell : {Cell{0, 0, &brick1}, Cell{2, 0, &solid}, Cell{1, 2, &brick3},
                             Cell{1, 0, nullptr}, Cell{0, 2, nullptr}, Cell{5, 5, nullptr}}) {
        SCOPED_TRACE(testing::Message() << "cell " << cell.column << "," << cell.row);
        int left = 16 * cell.column + 1, top = 21 + 10 * cell.row;
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 15; ++x) {
                const png_byte* shown = picture.At(left + x, top + y);
                for (int c = 0; c < 3; ++c) {
                    int expected = cell.image ? cell.image->At(x, y)[c] : 0;
                    ASSERT_NEAR(shown[c], expected, 8) << "pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(LevelCheckPng, ShippedLevelShowsItsOwnNumber) {
    Workspace ws;
    ws.dir.Write("level7.txt", "1 ");
    ws.dir.Write("custom.txt", "1 ");
    ASSERT_EQ(RunTool(ws.dir.Path(), "--png shots level7.txt custom.txt").status, 0);
    Picture seven, custom;
    ASSERT_TRUE(ReadPng(ws.dir.File("shots/level7.png"), seven));
    ASSERT_TRUE(ReadPng(ws.dir.File("shots/custom.png"), custom));
    // Only the level number after "Level" differs.
    bool numberDiffers = false;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            bool same = std::equal(seven.At(x, y), seven.At(x, y) + 3, custom.At(x, y));
            if (x >= 55 && x < 80 && y < 20) {
                numberDiffers = numberDiffers || !same;
            } else {
                ASSERT_TRUE(same) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(numberDiffers);
}

TEST(LevelCheckPng, UnwritablePictureIsAnError) {
    Workspace ws;
    ws.dir.Write("pic.txt", "1 ");
    ws.dir.Write("shots/pic.png/blocker", "");
    Result r = RunTool(ws.dir.Path(), "--png shots pic.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.out, "pic.txt:1:1: error: cannot write shots/pic.png")) << r.out;
}

} // namespace

// ---------------------------------------------------------------- --sweep

namespace {

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The value of a CSV row's column (plain rows only: no quoted file names).
std::string Column(const std::string& row, int column) {
    size_t start = 0;
    for (int i = 0; i < column; ++i)
        start = row.find(',', start) + 1;
    return row.substr(start, row.find(',', start) - start);
}

TEST(LevelCheckSweep, CountsFollowWhatTheBallCanReach) {
    Workspace ws;
    // Solid bricks only: cleared by the first full scan after the serve.
    ws.dir.Write("solid.txt", "# # \n");
    // A brick closed in by solid bricks: no serve can ever clear it, and
    // every run ends in a loop long before the frame cap.
    ws.dir.Write("walled.txt", "# # # \n# 1 # \n# # # \n");
    // One row of three-hit bricks: the computer player's loops miss the
    // last bricks from some serves.
    ws.dir.Write("row.txt", "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 \n");
    Result r = RunTool(ws.dir.Path(), "--quiet --sweep solid.txt walled.txt row.txt");
    // Only the static check's errors: the level without a breakable brick,
    // and the walled-in brick.
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(CountOf(r.out, ": error: "), 2) << r.out;
    EXPECT_EQ(CountOf(r.out, "walled.txt:2:3: error: breakable brick walled in"), 1) << r.out;
    EXPECT_TRUE(Contains(
        r.out, "solid.txt: sweep: 60 serves, cleared 60 (100.0%); frames to clear min 2 (0.0 min), "
               "median 2 (0.0 min), max 2 (0.0 min); balls lost median 0\n"))
        << r.out;
    EXPECT_TRUE(
        Contains(r.out, "walled.txt: sweep: 60 serves, cleared 0 (0.0%); frames to clear none\n"))
        << r.out;
    EXPECT_EQ(CountOf(r.out, "walled.txt:2:3: note: serve at "), 60);
    EXPECT_EQ(CountOf(r.out, "walled.txt:2:3: note: serve at 47 degrees loops from frame "), 1);
    EXPECT_EQ(CountOf(r.out, " degrees loops from frame "), 60 + 10);
    EXPECT_EQ(CountOf(r.out, "; 1 breakable brick left, here\n"), 60);
    EXPECT_TRUE(
        Contains(r.out, "row.txt: sweep: 60 serves, cleared 50 (83.3%); frames to clear min "))
        << r.out;
}

TEST(LevelCheckSweep, CsvHasOneRowPerServeInAngleOrder) {
    Workspace ws;
    ws.dir.Write("walled.txt", "# # # \n# 1 # \n# # # \n");
    ws.dir.Write("row.txt", "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 \n");
    Result r = RunTool(ws.dir.Path(), "--quiet --sweep --csv runs.csv row.txt walled.txt");
    // The walled-in brick is the static check's error; the sweep still runs.
    ASSERT_EQ(r.status, 1) << r.out << r.err;
    std::vector<std::string> rows = Lines(testsupport::ReadFile(ws.dir.File("runs.csv")));
    ASSERT_EQ(rows.size(), 121u);
    EXPECT_EQ(rows[0],
              "file,angle,cleared,frames,balls_lost,points,outcome,loop_start,bricks_left");
    int cleared = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i]);
        const std::string file = i <= 60 ? "row.txt" : "walled.txt";
        const int serve = static_cast<int>((i - 1) % 60);
        EXPECT_EQ(Column(rows[i], 0), file);
        EXPECT_EQ(Column(rows[i], 1), std::to_string(serve < 34 ? 47 + serve : 110 + serve - 34));
        const bool clear = Column(rows[i], 2) == "1";
        cleared += clear;
        EXPECT_EQ(Column(rows[i], 6), clear ? "cleared" : "loops");
        EXPECT_EQ(Column(rows[i], 8), clear ? "0" : Column(rows[i], 8));
        // Every hit of a three-hit brick scores 5: 20 bricks, 300 points.
        if (clear) {
            EXPECT_EQ(Column(rows[i], 5), "300");
        }
    }
    EXPECT_EQ(cleared, 50);
}

TEST(LevelCheckSweep, MinClearTurnsALowShareIntoAnError) {
    Workspace ws;
    ws.dir.Write("row.txt", "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 \n");
    struct Case {
        const char* share;
        int status;
    };
    for (const Case& c : {Case{"0", 0}, Case{"83.3", 0}, Case{"83.4", 1}, Case{"100", 1}}) {
        SCOPED_TRACE(c.share);
        Result r = RunTool(ws.dir.Path(),
                           std::string("--quiet --sweep --min-clear ") + c.share + " row.txt");
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_EQ(
            Contains(
                r.out,
                std::string("row.txt:1:1: error: cleared from 50 of 60 serves (83.3%), below the "
                            "required ") +
                    c.share + "%\n"),
            c.status == 1)
            << r.out;
    }
    for (const char* args :
         {"--min-clear 50 row.txt", "--csv out.csv row.txt", "--sweep --min-clear 101 row.txt",
          "--sweep --min-clear x row.txt", "--serve 60 row.txt", "--play 1 --serve 40 row.txt",
          "--sweep --jobs 0 row.txt"}) {
        SCOPED_TRACE(args);
        Result bad = RunTool(ws.dir.Path(), args);
        EXPECT_EQ(bad.status, 2);
        EXPECT_TRUE(Contains(bad.err, "usage: levelcheck"));
    }
}

TEST(LevelCheckSweep, SameResultsEveryTimeAndOnAnyNumberOfWorkers) {
    Workspace ws;
    ws.dir.Write("level.txt", ". 3 3 2S3 3 . 3 3 \n. # 1 1 1 # . 2 \n");
    ws.dir.Write("row.txt", "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 \n");
    Result one = RunTool(ws.dir.Path(), "--sweep --jobs 1 --csv one.csv level.txt row.txt");
    Result again = RunTool(ws.dir.Path(), "--sweep --jobs 1 --csv again.csv level.txt row.txt");
    Result two = RunTool(ws.dir.Path(), "--sweep --jobs 2 --csv two.csv level.txt row.txt");
    ASSERT_EQ(one.status, 0) << one.out << one.err;
    EXPECT_EQ(one.out, again.out);
    EXPECT_EQ(one.out, two.out);
    const std::string csv = testsupport::ReadFile(ws.dir.File("one.csv"));
    EXPECT_EQ(Lines(csv).size(), 121u);
    EXPECT_EQ(csv, testsupport::ReadFile(ws.dir.File("again.csv")));
    EXPECT_EQ(csv, testsupport::ReadFile(ws.dir.File("two.csv")));
}

TEST(LevelCheckSweep, ACagedBallIsAnErrorAtASolidBrickWhateverTheShare) {
    Workspace ws;
    // Through a gap in the solid row the ball can get above it, and from
    // some serves it stays there for good, never back at the paddle.
    ws.dir.Write("cage.txt", ". . . . . . . . . . . . . . . . . . . . \n"
                             "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 \n\n\n"
                             "# # # # # . # # # # # # # . # # # # # # \n");
    const std::string cage =
        "cage.txt:5:5: error: serve at 124 degrees cages the ball from frame 4365 (every 462 "
        "frames): the ball never comes back to the paddle; it keeps hitting this solid brick\n";
    Result one =
        RunTool(ws.dir.Path(), "--quiet --sweep --min-clear 0 --jobs 1 --csv runs.csv cage.txt");
    EXPECT_EQ(one.status, 1) << one.out << one.err;
    EXPECT_TRUE(Contains(one.out, "cage.txt: sweep: 60 serves, cleared 53 (88.3%), caged 5; "))
        << one.out;
    EXPECT_TRUE(Contains(one.out, cage)) << one.out;
    EXPECT_EQ(CountOf(one.out, " cages the ball from frame "), 5);
    EXPECT_EQ(CountOf(one.out, ": error: "), 5);
    EXPECT_EQ(CountOf(one.out, ": note: "), 2);
    // The workers hand the cage's brick back as well.
    EXPECT_EQ(RunTool(ws.dir.Path(), "--quiet --sweep --min-clear 0 --jobs 2 cage.txt").out,
              one.out);
    int caged = 0;
    for (const std::string& row : Lines(testsupport::ReadFile(ws.dir.File("runs.csv")))) {
        if (Column(row, 6) != "caged")
            continue;
        ++caged;
        if (Column(row, 1) == "124") {
            EXPECT_EQ(Column(row, 7), "4365");
        }
    }
    EXPECT_EQ(caged, 5);

    // --play stops at the cage and says so.
    Result played = RunTool(ws.dir.Path(), "--quiet --play 1 --serve 124 cage.txt");
    EXPECT_EQ(played.status, 1);
    EXPECT_TRUE(Contains(
        played.out, "cage.txt:5:5: error: run with every serve at 124 degrees cages the ball from "
                    "frame 4365 (every 462 frames): the ball never comes back"))
        << played.out;
}

TEST(LevelCheckSweep, PlayWithTheServeReplaysASweepRun) {
    Workspace ws;
    ws.dir.Write("row.txt", "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 \n");
    ASSERT_EQ(RunTool(ws.dir.Path(), "--quiet --sweep --csv runs.csv row.txt").status, 0);
    std::vector<std::string> rows = Lines(testsupport::ReadFile(ws.dir.File("runs.csv")));
    ASSERT_EQ(rows.size(), 61u);
    std::string clearedRow, loopRow;
    for (size_t i = 1; i < rows.size(); ++i) {
        std::string& pick = Column(rows[i], 2) == "1" ? clearedRow : loopRow;
        if (pick.empty())
            pick = rows[i];
    }
    ASSERT_FALSE(clearedRow.empty());
    ASSERT_FALSE(loopRow.empty());
    // A cleared serve: the same frames and points as in the sweep.
    Result cleared =
        RunTool(ws.dir.Path(), "--play 1 --serve " + Column(clearedRow, 1) + " row.txt");
    EXPECT_EQ(cleared.status, 0);
    EXPECT_TRUE(Contains(cleared.out, "row.txt: run 1 (every serve at " + Column(clearedRow, 1) +
                                          " degrees): cleared after " + Column(clearedRow, 3) +
                                          " frames"))
        << cleared.out << clearedRow;
    // A serve the sweep stopped as a loop really never clears: played on
    // to the frame cap it still has the same bricks left.
    Result looped =
        RunTool(ws.dir.Path(), "--quiet --play 1 --serve " + Column(loopRow, 1) + " row.txt");
    EXPECT_EQ(looped.status, 1);
    const std::string left = Column(loopRow, 8);
    EXPECT_TRUE(Contains(looped.out,
                         "did not clear the level: still playing after 200000 frames; " + left +
                             (left == "1" ? " breakable brick left" : " breakable bricks left")))
        << looped.out << loopRow;
}

} // namespace
