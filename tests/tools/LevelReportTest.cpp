#include "tools/levelcheck/LevelReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

struct Expected {
    bool error;
    int line;
    int column;
    const char* text; // a part of the message
};

struct ProblemCase {
    const char* name;
    std::string bytes;
    std::vector<Expected> problems; // in file order, and nothing else
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

class LevelReportProblems : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(LevelReportProblems, ReportsExactlyTheLocatedProblems) {
    const ProblemCase& c = GetParam();
    testsupport::TempDir dir;
    dir.Write("level.txt", c.bytes);
    LevelReport report;
    report.Check(dir.File("level.txt"));
    ASSERT_TRUE(report.opened);
    ASSERT_EQ(report.diagnostics.size(), c.problems.size());
    bool anyError = false;
    for (size_t i = 0; i < c.problems.size(); ++i) {
        SCOPED_TRACE(report.diagnostics[i].message);
        EXPECT_EQ(report.diagnostics[i].error, c.problems[i].error);
        EXPECT_EQ(report.diagnostics[i].line, c.problems[i].line);
        EXPECT_EQ(report.diagnostics[i].column, c.problems[i].column);
        EXPECT_NE(report.diagnostics[i].message.find(c.problems[i].text), std::string::npos);
        anyError = anyError || c.problems[i].error;
    }
    EXPECT_EQ(report.HasErrors(), anyError);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelReportProblems,
    ::testing::Values(
        ProblemCase{"Clean", "1 2S3 # \n# 1 \n", {}},
        ProblemCase{"CleanCrLf", "1 2 \r\n3S\r\n", {}},
        ProblemCase{"TwentyColumnsFit", Repeat("1 ", 20) + "\n", {}},
        ProblemCase{"FifteenRowsFit", Repeat("1 \n", 15), {}},
        ProblemCase{"ExactlyThreeHundredPairs", Repeat(Repeat("1 ", 20) + "\n", 15), {}},
        ProblemCase{"EmptyFile", "", {{true, 1, 1, "no breakable brick"}}},
        ProblemCase{"OnlySolid", "# # \n", {{true, 1, 1, "no breakable brick"}}},
        ProblemCase{"LineFeedAsModifier",
                    "1 2 \n3\n1 \n",
                    {{true, 2, 1, "line feed right after brick character '3'"}}},
        // The line feed is eaten even after an empty cell's character.
        ProblemCase{"LineFeedAfterEmptyCell",
                    "1 .\n2 \n",
                    {{true, 1, 3, "line feed right after brick character '.'"}}},
        ProblemCase{"RightOfScreen",
                    Repeat("1 ", 20) + "2 . 3 \n1 \n",
                    {{true, 1, 41, "2 bricks of grid row 1 right of the screen"}}},
        // A dropped space shifts the rest of the level: one message per row.
        ProblemCase{
            "ShiftedRowsEachReported",
            Repeat("1 ", 19) + "1\n" + Repeat("2 ", 19) + "\n",
            {{true, 1, 39, "line feed right after"}, {true, 2, 1, "19 bricks of grid row 1"}}},
        ProblemCase{"EmptyCellsRightOfScreenAreFine", "1 " + Repeat(". ", 25) + "\n", {}},
        ProblemCase{
            "BelowTheGrid",
            Repeat("\n", 15) + "2 3 \n\n# \n",
            {{true, 16, 1, "2 bricks in grid row 16"}, {true, 18, 1, "1 brick in grid row 18"}}},
        // Pairs past the 300th never reach the grid, so only their count
        // is reported, not where they would have stood.
        ProblemCase{"TooManyPairs",
                    Repeat(Repeat("1 ", 20) + "\n", 15) + "3 3 \n",
                    {{true, 16, 1, "302 brick pairs, but the grid holds 300"}}},
        ProblemCase{"OddModifiers",
                    "1x2s3S\n",
                    {{false, 1, 2, "modifier 'x' of brick character '1'"},
                     {false, 1, 4, "upper-case 'S'"}}},
        ProblemCase{"HighByteModifier",
                    "1\xE9"
                    "2 \n",
                    {{false, 1, 2, "modifier byte 0xE9"}}},
        ProblemCase{"PowerUpOnEmptyCell",
                    "1  S.S# \n",
                    {{false, 1, 4, "'S' on an empty cell"},
                     {false, 1, 6, "'S' on an empty cell (brick character '.')"}}},
        ProblemCase{"PowerUpOnSolidIsFine", "1 #S\n", {}},
        ProblemCase{"CarriageReturnAsModifier",
                    "1 2\r\n",
                    {{false, 1, 4, "carriage return read as the modifier"}}},
        ProblemCase{
            "MixedLineEndings",
            "1 \n2 \r\n3 \n",
            {{false, 2, 3,
              "this line ends with carriage return and line feed, line 1 with line feed alone"}}},
        // The mark's bytes become cells and shift the first row.
        ProblemCase{"ByteOrderMark",
                    "\xEF\xBB\xBF"
                    "1 1 \n2 \n",
                    {{false, 1, 1, "byte order mark"},
                     {false, 1, 2, "modifier byte 0xBB"},
                     {false, 1, 4, "modifier '1' of brick character byte 0xBF"},
                     {false, 1, 6, "modifier '1'"},
                     {true, 1, 7, "line feed right after brick character space"}}},
        // One error per closed-in pocket, at its first brick in the file.
        ProblemCase{"WalledInBrick",
                    "    # # # \n    # 2S# \n    # # # \n",
                    {{true, 2, 7,
                      "breakable brick walled in by solid bricks: the ball can never reach it"}}},
        ProblemCase{"WalledInPocket",
                    "\n  1 \n1 \n" + Repeat("# ", 20) + "\n1 \n",
                    {{true, 2, 3, "2 breakable bricks walled in by solid bricks, the first here"}}},
        ProblemCase{"CarriageReturnAloneIsAnEnding",
                    "1 \r\n2 \r3 \r\n",
                    {{false, 2, 3, "carriage return alone"}}}),
    [](const ::testing::TestParamInfo<ProblemCase>& info) { return std::string(info.param.name); });

TEST(LevelReport, UnopenableFileIsAnErrorAtItsStart) {
    testsupport::TempDir dir;
    LevelReport report;
    report.Check(dir.File("nothing.txt"));
    EXPECT_FALSE(report.opened);
    ASSERT_EQ(report.diagnostics.size(), 1u);
    EXPECT_TRUE(report.diagnostics[0].error);
    EXPECT_EQ(report.diagnostics[0].line, 1);
    EXPECT_NE(report.diagnostics[0].message.find("cannot open level file"), std::string::npos);
}

TEST(LevelReport, SummaryCountsKindsPowerUpsAndEveryHitsPoints) {
    testsupport::TempDir dir;
    // A "3" brick scores 3 x 5, a "2" 2 x 10, a "1" 15; solid bricks score
    // nothing, and "S" on a solid brick still counts as a power-up brick.
    dir.Write("level.txt", "1 1S2 3S# #S. \n3 \n");
    LevelReport report;
    report.Check(dir.File("level.txt"));
    EXPECT_EQ(report.Summary(),
              "7 bricks (1-hit 2, 2-hit 1, 3-hit 2, solid 2), 3 power-up bricks, 80 points");
    EXPECT_EQ(report.MaxPoints(), 15 + 15 + 20 + 15 + 15);
    EXPECT_EQ(report.BreakableCount(), 5);
    const LevelReport::Counts counts = report.Count();
    EXPECT_EQ(counts.bricks, 7);
    EXPECT_EQ(counts.byKind[4], 2);
    EXPECT_EQ(counts.powerUps, 3);
    EXPECT_EQ(counts.hits, 1 + 1 + 2 + 3 + 3); // solid bricks need none
    EXPECT_EQ(counts.points, report.MaxPoints());
}

// The editor marks the cell a message is about; messages about the file as
// a whole, or about pairs that never reach the grid, name none.
TEST(LevelReport, MessagesNameTheCellTheyAreAbout) {
    struct CellCase {
        std::string bytes;
        std::vector<int> cells; // one per message, in order
    };
    const std::vector<CellCase> cases = {
        {"1 2 \n3\n1 \n", {2}},                // line feed as a modifier
        {Repeat("1 ", 20) + "2 . 3 \n", {20}}, // right of the screen: its first brick
        {Repeat("\n", 15) + ". 2 \n", {1}},    // below the grid
        {"1  S.x\n", {1, 2}},                  // 'S' on an empty cell; odd modifier
        {"1 2\r\n", {1}},                      // carriage return as a modifier
        {"# \n", {-1}},                        // no breakable brick
        {Repeat(Repeat("1 ", 20) + "\n", 15) + "3 \n", {-1}}, // pairs past the 300th
        // The mark, no breakable brick, the pairs the mark shifted.
        {std::string("\xEF\xBB\xBF") + "1 \n", {-1, -1, 0, 1, 2}},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        testsupport::TempDir dir;
        dir.Write("level.txt", c.bytes);
        LevelReport report;
        report.Check(dir.File("level.txt"));
        std::vector<int> cells;
        for (const Diagnostic& d : report.diagnostics)
            cells.push_back(d.cell);
        EXPECT_EQ(cells, c.cells);
    }
}

TEST(LevelReport, PreviewShowsTheScreenAndWhatLiesBeyondIt) {
    testsupport::TempDir dir;
    dir.Write("plain.txt", "1 . 2 \n\n# 3S\n");
    LevelReport plain;
    plain.Check(dir.File("plain.txt"));
    std::vector<std::string> lines = plain.Preview();
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "1.2.................");
    EXPECT_EQ(lines[1], "....................");
    EXPECT_EQ(lines[2], "#3..................");

    // A 22nd column and a 17th row widen the picture, marked at the edges.
    dir.Write("wide.txt", Repeat("1 ", 21) + "2 \n" + Repeat("\n", 15) + "3 ");
    LevelReport wide;
    wide.Check(dir.File("wide.txt"));
    lines = wide.Preview();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], std::string(20, '1') + "|12");
    EXPECT_EQ(lines[15], std::string(23, '-'));
    EXPECT_EQ(lines[17], "3...................|..");
}

TEST(LevelReport, RunawayFilePreviewStaysBounded) {
    testsupport::TempDir dir;
    // Thousands of blank lines push a brick past where 16-bit rectangles
    // can even hold its position; the checker still locates it.
    dir.Write("far.txt", "1 \n" + Repeat("\n", 5000) + "2 ");
    LevelReport report;
    report.Check(dir.File("far.txt"));
    ASSERT_EQ(report.diagnostics.size(), 1u);
    EXPECT_EQ(report.diagnostics[0].line, 5002);
    EXPECT_NE(report.diagnostics[0].message.find("grid row 5002"), std::string::npos);
    EXPECT_LE(report.Preview().size(), 31u);
}

TEST(LevelReport, LocateFallsBackToTheFileStart) {
    testsupport::TempDir dir;
    dir.Write("level.txt", "\n  1 ");
    LevelReport report;
    report.Check(dir.File("level.txt"));
    int line = 0, column = 0;
    report.Locate(1, line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 3);
    report.Locate(-1, line, column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 1);
    report.Locate(7, line, column);
    EXPECT_EQ(line, 1);
}

} // namespace
