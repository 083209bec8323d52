// The configuration reader: syntax, sections, quoting, lookups and every
// way a file can be refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/ConfigFileReader.h"
#include "tests/support/TestSupport.h"

using testsupport::ScopedLog;
using testsupport::TempDir;

namespace {

struct Parsed {
    bool ok;
    std::vector<std::pair<std::string, std::string>> entries;
    std::string log;
};

Parsed ReadText(const std::string& text) {
    TempDir dir;
    dir.Write("game.cfg", text);
    ScopedLog log;
    ConfigFileReader reader(dir.File("/nonexistent/none.cfg").c_str());
    Parsed result;
    // Only the second read is of interest; the constructor's failed read
    // leaves the reader empty.
    const std::string ctorLog = log.Text();
    result.ok = reader.Read(dir.File("game.cfg").c_str());
    result.entries = reader.Entries();
    result.log = log.Text().substr(ctorLog.size());

    // The same bytes from memory (as the fuzzer reads them): the same
    // pairs, result and messages.
    std::string bytes = text;
    if (FILE* memory = bytes.empty() ? nullptr : fmemopen(bytes.data(), bytes.size(), "r")) {
        ConfigFileReader fromMemory(dir.File("/nonexistent/none.cfg").c_str());
        const std::string before = log.Text();
        EXPECT_EQ(result.ok, fromMemory.ReadFrom(memory)) << text;
        std::fclose(memory);
        EXPECT_EQ(result.entries, fromMemory.Entries()) << text;
        EXPECT_EQ(result.log, log.Text().substr(before.size())) << text;
    }
    return result;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(ConfigFileReader, MissingFileIsReportedAndLeavesNothing) {
    ScopedLog log;
    ConfigFileReader reader("/nonexistent/settings.cfg");
    EXPECT_TRUE(reader.Entries().empty());
    EXPECT_EQ("Config file reader: unable to open\n", log.Text());
    EXPECT_FALSE(reader.Read("/nonexistent/settings.cfg"));
}

struct FailureRow {
    const char* text;
    const char* logged; // exact log text after the failing line
    Pairs keptBefore;
};

class ConfigFailures : public ::testing::TestWithParam<FailureRow> {};

TEST_P(ConfigFailures, StopWithTheirMessageAndKeepEarlierPairs) {
    const FailureRow& row = GetParam();
    Parsed parsed = ReadText(row.text);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(row.logged, parsed.log);
    EXPECT_EQ(row.keptBefore, parsed.entries);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, ConfigFailures,
    ::testing::Values(
        FailureRow{"a = 1\n[Video\nb = 2\n", "Config file reader: missing close bracket ']'\n",
                   Pairs{{"a", "1"}}},
        FailureRow{"Depth\n", "Config file reader: Unexpected end of line\n\n", Pairs{}},
        // A key that runs into the very end of the line (no line break
        // left) is reported first, then the same stop.
        FailureRow{"a = 1\nDepth",
                   "Config file reader: Missing '=' after key\n\n"
                   "Config file reader: Unexpected end of line\n\n",
                   Pairs{{"a", "1"}}},
        FailureRow{"Depth 16\n", "Config file reader: '=' expected\n\n", Pairs{}},
        FailureRow{"Name =\n", "Config file reader: Missing value after '='\n\n", Pairs{}},
        FailureRow{"Name =   \t\n", "Config file reader: Missing value after '='\n\n", Pairs{}},
        FailureRow{"Name = \"open\n", "Config file reader: missing closing quotation mark (\")\n\n",
                   Pairs{}},
        FailureRow{"Name = two words\n",
                   "Config file reader: Unexpected text at the end of the line\n\n", Pairs{}},
        FailureRow{"Width = 320 ; screen\n",
                   "Config file reader: Unexpected text at the end of the line\n\n", Pairs{}}));

struct GoodRow {
    const char* text;
    Pairs stored;
};

class ConfigSyntax : public ::testing::TestWithParam<GoodRow> {};

TEST_P(ConfigSyntax, StoresPairsInFileOrder) {
    Parsed parsed = ReadText(GetParam().text);
    EXPECT_TRUE(parsed.ok) << parsed.log;
    EXPECT_EQ("", parsed.log);
    EXPECT_EQ(GetParam().stored, parsed.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigSyntax,
    ::testing::Values(GoodRow{"", Pairs{}}, GoodRow{"\n   \n; comment\n  # another = x\n", Pairs{}},
                      GoodRow{"[Video]\nWidth = 320\n", Pairs{{"video.width", "320"}}},
                      GoodRow{"[Video] trailing words\nDepth=16\n", Pairs{{"video.depth", "16"}}},
                      GoodRow{"Title = \"Hello World\"\n", Pairs{{"title", "Hello World"}}},
                      GoodRow{"Name = \"\"\n", Pairs{{"name", ""}}},
                      GoodRow{"Name=\"two words\"   \r\n", Pairs{{"name", "two words"}}},
                      GoodRow{"= value\n[Sec]\n=other\n", Pairs{{"", "value"}, {"sec.", "other"}}},
                      GoodRow{"[A]\nx = 1\n[]\ny = 2\n", Pairs{{"a.x", "1"}, {"y", "2"}}},
                      GoodRow{"KEY = MiXeD\nkey = second\n",
                              Pairs{{"key", "MiXeD"}, {"key", "second"}}},
                      // The last line counts even without a line break after it.
                      GoodRow{"a = 1\nb = 2", Pairs{{"a", "1"}, {"b", "2"}}}));

TEST(ConfigFileReader, AFileThatOpensButCannotBeReadIsAFailure) {
    TempDir dir;
    ScopedLog log;
    ConfigFileReader reader(dir.Path().c_str()); // a folder opens, reads fail
    EXPECT_TRUE(reader.Entries().empty());
    EXPECT_EQ("Config file reader: unable to read\n", log.Text());
    EXPECT_FALSE(reader.Read(dir.Path().c_str()));
}

TEST(ConfigFileReader, LookupsAreFirstMatchCaseSensitiveAndLowerCaseTheValue) {
    TempDir dir;
    dir.Write("game.cfg", "[Video]\nWidth = 320\nTitle = \"Hello World\"\nwidth = 640\n");
    ScopedLog log;
    ConfigFileReader reader(dir.File("game.cfg").c_str());
    EXPECT_EQ("320", reader.Get("video.width"));
    EXPECT_EQ("320", reader.Get("video", "width"));
    EXPECT_EQ("hello world", reader.Get("video.title"));
    EXPECT_EQ("", reader.Get("Video.Width"));
    EXPECT_EQ("", reader.Get("Video", "width"));
    EXPECT_EQ("", reader.Get("height"));
}

TEST(ConfigFileReader, LongLinesAreParsedInPiecesWithoutOverrun) {
    // 999 characters fill one piece exactly; the rest is a line of its own.
    std::string longKey(999, 'k');
    Parsed parsed = ReadText(longKey + "= 5\n");
    EXPECT_TRUE(parsed.log.find("Unexpected end of line") != std::string::npos);
    EXPECT_FALSE(parsed.ok);

    std::string padded = "a = 1" + std::string(994, ' ') + "b = 2\n";
    Parsed pieces = ReadText(padded);
    EXPECT_TRUE(pieces.ok) << pieces.log;
    EXPECT_EQ((Pairs{{"a", "1"}, {"b", "2"}}), pieces.entries);
}

TEST(ConfigFileReader, AFailedReaderStillAnswersFromWhatItRead) {
    TempDir dir;
    dir.Write("game.cfg", "Speed = Fast\nbroken\nLater = 1\n");
    ScopedLog log;
    ConfigFileReader reader(dir.File("game.cfg").c_str());
    EXPECT_EQ("fast", reader.Get("speed"));
    EXPECT_EQ("", reader.Get("later"));
}
