#include "core/trust.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "core/url_log.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;

TEST(TrustPattern, EveryKindOfEntryMakesItsPattern) {
  const std::pair<const char*, const char*> table[] = {
      {"alpha", ".alpha."},         {"alpha.xy", ".alpha.xy"}, {"alpha.*", ".alpha."},
      {"web.alpha.xy", ".alpha.xy"}, {"*.xy", ".xy"},          {"web.*.xy", "web.xy"},
      {"alpha.co.xy", ".co.xy"},     {"*.*", "*.*"},           {"", "."},
      {"a.b.c.d", ".b.c.d"},         {"..", "."},              {".", "."},
      {"*", "."},                    {" ", ". ."},              {"alpha. * ", ".alpha."}};
  for (const auto& [entry, pattern] : table) EXPECT_EQ(TrustPattern(entry), pattern) << entry;
}

// An entry's pattern is found anywhere in the address, in any case; an entry also trusts the
// host it names (what "Add to Trusted Sites" stores); a blank entry trusts nothing.
TEST(IsTrustedUrl, EachEntryTrustsItsPatternAnywhereAndItsOwnHost) {
  const struct {
    std::vector<std::string> trust;
    const char* url;
    bool trusted;
  } table[] = {
      {{"alpha.xy"}, "HTTP://WEB.ALPHA.XY/page", true},
      {{"alpha.xy"}, "http://news.alpha.xy", true},
      {{"alpha.xy"}, "http://other.zz/go?to=www.alpha.xy", true},
      {{"alpha.xy"}, "http://www.alpha.xz/", false},
      {{}, "http://web.alpha.xy/", false},
      {{"alpha.xy"}, "http://alpha.xy/", true},
      {{" example.com "}, "http://example.com/", true},
      {{" example.com "}, "http://EXAMPLE.com", true},
      {{" example.com "}, "https://example.com:8080/x", true},
      {{" example.com "}, "http://example.com?q=1", true},
      {{" example.com "}, "http://example.com#top", true},
      {{" example.com "}, "http://notexample.com/", false},
      {{" example.com "}, "http://example.community/", false},
      {{" example.com "}, "example.com", false},
      {{"web.beta.xy", "alphabet"}, "http://www.alphabet.zz/", true},
      {{"web.beta.xy", "alphabet"}, "http://www.alphabet/", false},
      {{""}, "http://any.where/", false},
      {{" "}, "file:///C:/x.html", false},
      {{"\t \t"}, "http://any.where/", false},
      {{"", "any.where"}, "http://any.where/", true},
      {{"*.*"}, "http://x/*.*", true},
      {{"*.*"}, "http://web.alpha.xy/", false},
  };
  for (const auto& row : table) EXPECT_EQ(IsTrustedUrl(row.trust, row.url), row.trusted) << row.url;
}

TEST(IsTrustedUrl, LongAndOddInputsNeitherCrashNorHang) {
  std::string longUrl = "http://" + std::string(100000, 'a') + ".alpha.xy/";
  std::vector<std::string> trust{std::string(5000, '.'), "*", std::string(100000, 'x') + ".xy",
                                 std::string("nul\0in.side", 11), "\xff\xfe.\x80"};
  EXPECT_TRUE(IsTrustedUrl(trust, longUrl));  // "*" searches for ".", which the address holds
  EXPECT_FALSE(IsTrustedUrl({std::string(100000, 'x') + ".xy"}, longUrl));
  EXPECT_TRUE(IsTrustedUrl({"\xff\xfe.\x80"}, std::string("a.\xff\xfe.\x80", 6)));
}

class RecordClosedPopupTest : public ::testing::Test {
 protected:
  Settings& S() { return world.state.settings; }
  bool Record(const std::string& url) { return RecordClosedPopup(world.services, world.state, url); }
  std::string Log() { return world.ReadFile("url.log").value_or("<none>"); }

  SimWorld world;
};

// Logging, sounding and counting an untrusted page, and leaving a trusted one alone, are shown by
// the scenarios.
TEST_F(RecordClosedPopupTest, OnlyLogOneLogsAndOnlySoundOneOrTwoSounds) {
  for (std::int16_t log : {std::int16_t{0}, std::int16_t{2}}) {
    S().Log = log;
    S().Sound = "0";
    EXPECT_TRUE(Record("http://a.b/"));
  }
  EXPECT_EQ(Log(), "<none>");
  EXPECT_TRUE(world.sound.played.empty());
  EXPECT_EQ(S().ClosedSinceStart, 2);

  S().Sound = "1";
  Record("http://a.b/");
  S().Sound = " 2 ";
  S().WaveFile = "w.wav";
  Record("http://a.b/");
  S().Sound = "beep";
  Record("http://a.b/");
  EXPECT_EQ(world.sound.played, (std::vector<std::string>{"beep 50 500", "wave w.wav"}));
  EXPECT_EQ(S().WindowsLeft, 5);
}

TEST_F(RecordClosedPopupTest, AnUnwritableLogStillClosesSoundsAndCounts) {
  S().Log = 1;
  S().Sound = "1";
  std::filesystem::create_directory(world.File("url.log"));  // cannot be opened for appending
  EXPECT_TRUE(Record("http://ads.example/"));
  EXPECT_EQ(world.sound.played.size(), 1u);
  EXPECT_EQ(S().WindowsLeft, 1);
  EXPECT_EQ(S().ClosedSinceStart, 1);
}

TEST_F(RecordClosedPopupTest, CountersStopAtTheTopOfTheirRangeAndTheWindowIsStillClosed) {
  S().WindowsLeft = std::numeric_limits<std::int32_t>::max() - 1;
  S().ClosedSinceStart = std::numeric_limits<std::int32_t>::max();
  EXPECT_TRUE(Record("http://a.b/"));
  EXPECT_TRUE(Record("http://a.b/"));
  EXPECT_EQ(S().WindowsLeft, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(S().ClosedSinceStart, std::numeric_limits<std::int32_t>::max());
}

TEST_F(RecordClosedPopupTest, LineBreaksInsideAnAddressCannotSplitTheLine) {
  S().Log = 1;
  std::string hostile = std::string("http://x/\r\n12/5/2026 1:00:00 PM - http://fake/\0end", 50);
  Record(hostile);
  std::string log = Log();
  EXPECT_EQ(log, "12/5/2026 1:05:09 PM - http://x/%0D%0A12/5/2026 1:00:00 PM - http://fake/%00end\r\n");
  EXPECT_EQ(UrlFromLogLine(log.substr(0, log.size() - 2)),
            "http://x/%0D%0A12/5/2026 1:00:00 PM - http://fake/%00end");
}

TEST(UrlLog, TheAddressIsEverythingAfterTheFirstSeparator) {
  EXPECT_EQ(UrlFromLogLine("1/2/2026 3:04:05 PM - http://a.b/x - y"), "http://a.b/x - y");
  EXPECT_EQ(UrlFromLogLine("ab"), "");
  EXPECT_EQ(UrlFromLogLine(""), "");
  EXPECT_EQ(UrlFromLogLine(" - "), "");
}

TEST(UrlLog, ClearingEmptiesTheFileOrCreatesIt) {
  SimWorld world;
  EXPECT_TRUE(ClearUrlLog(world.services));
  EXPECT_EQ(world.ReadFile("url.log"), "") << "created empty";
  world.WriteFile("url.log", "a\r\nb\r\n");
  EXPECT_TRUE(ClearUrlLog(world.services));
  EXPECT_EQ(world.ReadFile("url.log"), "");
}

TEST(UrlLogIndex, LinesEndAtCrLfOnlyWhereverTheReadsSplitTheFile) {
  SimWorld world;
  std::string path = world.File("url.log");
  // A CR LF across the boundary of the reads (1 MB), lone CRs and LFs inside lines.
  std::string first((1 << 20) - 1 - 2, 'a');
  std::string text = "x\ry\n" + first.substr(4) + "\r\nz\r\n" + "tail";
  ASSERT_EQ(text.find("\r\nz"), (1u << 20) - 3);
  text = "ab" + text;
  ASSERT_EQ(text[(1 << 20) - 1], '\r');
  world.WriteFile("url.log", text);
  UrlLogIndex index;
  ASSERT_TRUE(index.Update(path));
  EXPECT_EQ(index.Count(), 2u);
  EXPECT_EQ(index.Rows(), 3u) << "the last line has no CR LF";
  EXPECT_EQ(index.Row(path, 0).substr(0, 6), "abx\ry\n");
  EXPECT_EQ(index.Row(path, 0).size(), (1u << 20) - 1);
  EXPECT_EQ(index.Row(path, 1), "z");
  EXPECT_EQ(index.Row(path, 2), "tail");
  EXPECT_TRUE(index.HasLineBreak(1));
  EXPECT_FALSE(index.HasLineBreak(2));
  EXPECT_EQ(index.Row(path, 0, 3), "abx") << "cut where asked";
  EXPECT_EQ(index.Row(path, 3), "");
}

// After the first pass only the part the log grew by is read: a change made to the indexed
// part in between goes unseen, and the new lines are there.
TEST(UrlLogIndex, AGrownLogIsReadFromWhereTheIndexEnded) {
  SimWorld world;
  std::string path = world.File("url.log");
  std::string head(100, 'h');
  world.WriteFile("url.log", head + "\r\none\r\ntwo\r\n");
  UrlLogIndex index;
  ASSERT_TRUE(index.Update(path));
  EXPECT_EQ(index.Count(), 3u);
  world.WriteFile("url.log", head + "\r\noneXXtwo\r\nthree\r\n");  // the middle changed, then grew
  ASSERT_TRUE(index.Update(path));
  EXPECT_EQ(index.Count(), 4u) << "the old lines were not read again";
  EXPECT_EQ(index.Row(path, 3), "three");
  world.WriteFile("url.log", "other\r\n");  // another, shorter file
  ASSERT_TRUE(index.Update(path));
  EXPECT_EQ(index.Count(), 1u);
  EXPECT_EQ(index.Row(path, 0), "other");
  world.WriteFile("url.log", "");
  ASSERT_TRUE(index.Update(path));
  EXPECT_EQ(index.Rows(), 0u);
  EXPECT_FALSE(index.Update(world.File("missing.log"))) << "a file that cannot be read";
  EXPECT_EQ(index.Rows(), 0u);
}

// A sparse log of 64 GB costs nothing on disk; reading or rewriting it would not end in time
// (or would run out of memory or disk), so only an append that touches the end passes.
TEST(UrlLog, AHugeLogIsAppendedToWithoutBeingReadOrRewritten) {
  SimWorld world;
  const std::uintmax_t huge = std::uintmax_t{64} << 30;
  world.WriteFile("url.log", "first line\r\n");
  std::filesystem::resize_file(world.File("url.log"), huge);
  world.state.settings.Log = 1;
  EXPECT_TRUE(RecordClosedPopup(world.services, world.state, "http://a.b/"));
  std::string line = UrlLogLine("12/5/2026", "1:05:09 PM", "http://a.b/");
  EXPECT_EQ(std::filesystem::file_size(world.File("url.log")), huge + line.size());
  std::ifstream log(world.File("url.log"), std::ios::binary);
  std::string head(12, '\0'), tail(line.size(), '\0');
  log.read(head.data(), 12);
  log.seekg(static_cast<std::streamoff>(huge));
  log.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  EXPECT_EQ(head, "first line\r\n");
  EXPECT_EQ(tail, line);
}

}  // namespace
}  // namespace quellbox
