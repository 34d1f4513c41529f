#include "browserdata/history/index_dat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture-gen/index_dat_gen.h"

namespace morvane {
namespace {

using namespace fixturegen;

std::vector<TIndexDatUrl> Walk(const std::string& bytes) {
  TIndexDatSpanSource src(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  TIndexDatWalker w(src);
  std::vector<TIndexDatUrl> out;
  TIndexDatUrl e;
  for (bool ok = w.First(e); ok && out.size() < 100000; ok = w.Next(e)) out.push_back(e);
  EXPECT_TRUE(e.URL.empty());
  return out;
}

std::vector<std::string> Urls(const std::vector<TIndexDatUrl>& v) {
  std::vector<std::string> out;
  for (const auto& e : v) out.push_back(e.URL);
  return out;
}

TIndexDatGenRecord Url(const std::string& text, uint64_t t8 = 1, uint64_t t16 = 2) {
  TIndexDatGenRecord r;
  r.Location = text;
  r.Modified = t8;
  r.Accessed = t16;
  return r;
}

TEST(HistoryIndexWalk, ListsEveryUrlRecordInFileOrder) {
  auto records = MakeHistoryRecords(3 << 20);  // more than one hash table
  size_t urls = 0;
  for (const auto& r : records) urls += r.Signature == "URL ";
  ASSERT_GT(records.size(), 2000u);
  auto got = Walk(WriteIndexDat(records));
  ASSERT_EQ(got.size(), urls);
  size_t i = 0;
  for (const auto& r : records) {
    if (r.Signature != "URL ") continue;
    EXPECT_EQ(got[i].URL, HistoryUrlFromText(r.Location));
    EXPECT_EQ(got[i].FirstTime, r.Modified);
    EXPECT_EQ(got[i].SecondTime, r.Accessed);
    ++i;
  }
}

TEST(HistoryIndexWalk, UrlTexts) {
  const struct {
    std::string text, url;
  } cases[] = {
      {"Visited: user@file:///C:/a.htm", "file:///C:/a.htm"},
      {"user@:x", "x"},
      {"http://no.at/sign", "http://no.at/sign"},
      {"a@b@c", "b@c"},
      {std::string(5000, 'u'), std::string(4095, 'u')},
  };
  std::vector<TIndexDatGenRecord> recs;
  for (const auto& c : cases) recs.push_back(Url(c.text));
  auto got = Urls(Walk(WriteIndexDat(recs)));
  ASSERT_EQ(got.size(), std::size(cases));
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], cases[i].url) << i;
}

TEST(HistoryIndexWalk, DamagedRecordsAreSteppedOver) {
  struct Case {
    const char* name;
    std::vector<TIndexDatGenRecord> records;
    TIndexDatGenOptions options;
    std::vector<std::string> urls;
  };
  auto zeroBlocks = Url("Visited: u@http://zero/");
  zeroBlocks.BlockCount = 0;
  auto hugeBlocks = Url("Visited: u@http://huge/");
  hugeBlocks.BlockCount = 0xFFFFFFFF;
  auto offsetOutside = Url("Visited: u@http://outside/");
  offsetOutside.UrlOffset = 0x200;
  auto offsetFar = Url("Visited: u@http://far/");
  offsetFar.UrlOffset = 0xFFFFFFF0;
  auto empty = Url("Visited: u@");
  TIndexDatGenRecord leak = Url("Visited: u@http://leak/");
  leak.Signature = "LEAK";
  TIndexDatGenRecord redr = Url("http://redirected/");
  redr.Signature = "REDR";
  const auto a = Url("Visited: u@http://a/"), b = Url("Visited: u@http://b/");
  std::vector<Case> cases = {
      {"zero-block-count", {a, zeroBlocks, b}, {}, {"http://a/", "http://b/"}},
      {"block-count-past-the-end", {a, hugeBlocks, b}, {}, {"http://a/", "http://huge/"}},
      {"url-offset-beyond-record", {a, offsetOutside, b}, {}, {"http://a/", "http://b/"}},
      {"url-offset-beyond-file", {offsetFar, b}, {}, {"http://b/"}},
      {"empty-url", {a, empty, b}, {}, {"http://a/", "http://b/"}},
      {"leak-and-redirect", {leak, a, redr, b}, {}, {"http://a/", "http://b/"}},
      // The second record starts at 0x5080; cut inside its head.
      {"cut-in-record-head", {a, b}, {.CutAt = 0x5080 + 60}, {"http://a/"}},
      {"cut-in-url-text", {a, Url("Visited: u@http://abcdefgh/")}, {.CutAt = 0x5080 + 0x68 + 21}, {"http://a/", "http://abc"}},
      {"cut-in-hash-table", {a}, {.CutAt = 0x4000 + 50}, {}},
      {"cut-in-header", {a}, {.CutAt = 39}, {}},
      {"no-hash-table", {a}, {.Signature = "Client UrlCache MMF Ver 5.2"}, {"http://a/"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = WriteIndexDat(c.records, c.options);
    if (std::string(c.name) == "no-hash-table") {
      bytes.replace(0x4000, 4, "HASX");
      c.urls.clear();
    }
    EXPECT_EQ(Urls(Walk(bytes)), c.urls);
  }
}

TEST(HistoryIndexWalk, FileTimesAsUtcDays) {
  EXPECT_DOUBLE_EQ(FileTimeToDateTimeUtc(0), -109205.0);
  // 2022-06-18 04:26:40 UTC
  EXPECT_NEAR(FileTimeToDateTimeUtc(133000000000000000ull), 44730.0 + (4 * 3600 + 26 * 60 + 40) / 86400.0, 1e-9);
  // Milliseconds stay, finer parts go.
  EXPECT_DOUBLE_EQ(FileTimeToDateTimeUtc(116444736000000000ull + 12349999), 25569.0 + 1.234 / 86400.0);
  EXPECT_TRUE(HasUrlCacheSignature(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("Client UrlCache MMF"), 19)));
  EXPECT_FALSE(HasUrlCacheSignature(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("WINE URLCache Ver"), 17)));
}

}  // namespace
}  // namespace morvane
