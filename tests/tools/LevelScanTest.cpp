#include "tools/levelcheck/LevelScan.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/TestSupport.h"

namespace {

struct PairCase {
    const char* name;
    std::string bytes;
    // Expected per pair: text line, column, grid row, grid column, brick byte.
    std::vector<std::array<int, 5>> pairs;
};

class LevelScanPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(LevelScanPairs, PlacesEveryPairWhereTheLoaderDoes) {
    const PairCase& c = GetParam();
    LevelScan scan;
    scan.ScanBytes(c.bytes);
    ASSERT_EQ(scan.pairs.size(), c.pairs.size());
    for (size_t i = 0; i < c.pairs.size(); ++i) {
        SCOPED_TRACE(i);
        const LevelScan::Pair& p = scan.pairs[i];
        EXPECT_EQ(p.index, static_cast<int>(i));
        EXPECT_EQ(p.line, c.pairs[i][0]);
        EXPECT_EQ(p.column, c.pairs[i][1]);
        EXPECT_EQ(p.row, c.pairs[i][2]);
        EXPECT_EQ(p.col, c.pairs[i][3]);
        EXPECT_EQ(p.brick, c.pairs[i][4]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, LevelScanPairs,
    ::testing::Values(
        PairCase{"OneLine",
                 "1 2S3 # ",
                 {{1, 1, 0, 0, '1'}, {1, 3, 0, 1, '2'}, {1, 5, 0, 2, '3'}, {1, 7, 0, 3, '#'}}},
        PairCase{"TwoLines", "1 \n2 \n", {{1, 1, 0, 0, '1'}, {2, 1, 1, 0, '2'}}},
        // The line feed is the first pair's modifier: the second line
        // continues grid row 0, though it is text line 2.
        PairCase{"LineFeedAsModifier", "1\n2 ", {{1, 1, 0, 0, '1'}, {2, 1, 0, 1, '2'}}},
        PairCase{"CrLf", "1 \r\n2 \r\n", {{1, 1, 0, 0, '1'}, {2, 1, 1, 0, '2'}}},
        // Tabs and other control bytes are skipped where a brick would stand.
        PairCase{"ControlSkipped",
                 "\t1 \x01"
                 "2 ",
                 {{1, 2, 0, 0, '1'}, {1, 5, 0, 1, '2'}}},
        PairCase{"BlankLinesMoveDown", "\n\n\n1 ", {{4, 1, 3, 0, '1'}}},
        PairCase{"HighBytesArePairs", "\xE9 1 ", {{1, 1, 0, 0, 0xE9}, {1, 3, 0, 1, '1'}}},
        PairCase{"LastByteHasNoModifier", "1 2", {{1, 1, 0, 0, '1'}, {1, 3, 0, 1, '2'}}},
        PairCase{"Empty", "", {}}),
    [](const ::testing::TestParamInfo<PairCase>& info) { return std::string(info.param.name); });

TEST(LevelScan, RecordsModifierAndItsPosition) {
    LevelScan scan;
    scan.ScanBytes("1S2\n3");
    ASSERT_EQ(scan.pairs.size(), 3u);
    EXPECT_EQ(scan.pairs[0].modifier, 'S');
    EXPECT_EQ(scan.pairs[0].modColumn, 2);
    EXPECT_EQ(scan.pairs[1].modifier, '\n');
    EXPECT_EQ(scan.pairs[1].modLine, 1);
    EXPECT_EQ(scan.pairs[1].modColumn, 4);
    EXPECT_EQ(scan.pairs[2].modifier, -1);
}

TEST(LevelScan, ClassifiesEveryLineEnding) {
    LevelScan scan;
    scan.ScanBytes("1 \n2 \r\n3 \r4 ");
    ASSERT_EQ(scan.endings.size(), 3u);
    EXPECT_EQ(scan.endings[0].kind, LevelScan::EndLF);
    EXPECT_EQ(scan.endings[0].line, 1);
    EXPECT_EQ(scan.endings[0].column, 3);
    EXPECT_EQ(scan.endings[1].kind, LevelScan::EndCRLF);
    EXPECT_EQ(scan.endings[1].line, 2);
    EXPECT_EQ(scan.endings[2].kind, LevelScan::EndCR);
    EXPECT_EQ(scan.endings[2].line, 3);
}

TEST(LevelScan, FileThatCannotBeReadGivesAReason) {
    testsupport::TempDir dir;
    LevelScan scan;
    EXPECT_FALSE(scan.ScanFile(dir.File("missing.txt")));
    EXPECT_NE(scan.reason.find("No such file"), std::string::npos);
    // A directory opens but cannot be read.
    EXPECT_FALSE(scan.ScanFile(dir.Path()));
    EXPECT_FALSE(scan.reason.empty());
    dir.Write("ok.txt", "1 ");
    EXPECT_TRUE(scan.ScanFile(dir.File("ok.txt")));
    EXPECT_EQ(scan.pairs.size(), 1u);
}

TEST(DescribeByte, NamesBytesReadably) {
    EXPECT_EQ(DescribeByte('1'), "'1'");
    EXPECT_EQ(DescribeByte('\n'), "line feed");
    EXPECT_EQ(DescribeByte('\r'), "carriage return");
    EXPECT_EQ(DescribeByte(' '), "space");
    EXPECT_EQ(DescribeByte(0xE9), "byte 0xE9");
    EXPECT_EQ(DescribeByte(-1), "end of file");
}

} // namespace
