#include "browserdata/net/update_list.h"

#include <gtest/gtest.h>

#include "browserdata/net/http_codec.h"
#include "browserdata/net/software_update.h"

namespace morvane {
namespace {

TEST(UpdateList, VersionComparison) {
  struct Case {
    const char* running;
    const char* newest;
    std::optional<bool> newer;
  };
  const Case cases[] = {
      {"1.2.3.4", "1.2.4", true},
      {"1.2.3.9", "1.2.3.10", false},  // only three parts count
      {"1.10", "1.9.9", false},        // the shorter version decides how many
      {"1.9.0.0", "1.9.0", false},
      {"1.9.0.0", "2.0", true},
      // Parts of 100 and more stay in their place.
      {"2.0.0", "1.100.0", false},
      {"1.3.0", "1.2.100", false},
      {"1.2.100", "1.3.0", true},
      {"1.x.0", "1.2.0", std::nullopt},
      {"1.2", "1.b", std::nullopt},
      {"", "1.0", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.running, c.newest), c.newer) << c.running << " vs " << c.newest;
  }
}

TEST(UpdateList, ParsesHeadAndNotes) {
  const auto list = ParseUpdateList({"2.1.0#/files/new.exe#ignored", "#First", "no hash", "a#b#Third", "ends#"});
  ASSERT_TRUE(list);
  EXPECT_EQ(list->NewestVersion, "2.1.0");
  EXPECT_EQ(list->DownloadPath, "/files/new.exe");
  EXPECT_EQ(list->Notes, (std::vector<std::string>{"First", "", "Third", "ends"}));

  EXPECT_FALSE(ParseUpdateList({}));
  EXPECT_FALSE(ParseUpdateList({"2.1.0"}));
  EXPECT_FALSE(ParseUpdateList({"2.1.0#"}));  // a final separator adds no empty field
}

TEST(HttpCodec, RequestBytesAndTarget) {
  const THttpTarget t = NormalizeHttpTarget("http://www.example.test", "morvane/updates.txt");
  EXPECT_EQ(t.Host, "www.example.test");
  EXPECT_EQ(t.Path, "/morvane/updates.txt");
  EXPECT_EQ(NormalizeHttpTarget("h", "").Path, "/");
  EXPECT_EQ(BuildHttpGetRequest(t), "GET /morvane/updates.txt HTTP/1.0\r\nHost: www.example.test\r\n\r\n");
}

TEST(HttpCodec, HeaderEndAcrossChunksAndStatus) {
  // Every split point of the same answer gives the same body.
  const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody";
  for (size_t cut = 0; cut <= answer.size(); ++cut) {
    THttpResponseScanner s;
    std::string body(s.Feed(std::string_view(answer).substr(0, cut)));
    body += s.Feed(std::string_view(answer).substr(cut));
    ASSERT_TRUE(s.HeaderComplete()) << cut;
    EXPECT_EQ(body, "body") << cut;
    EXPECT_TRUE(s.StatusOk());
    EXPECT_EQ(s.ContentLength(), 4u);
  }
  struct Case {
    const char* status;
    bool ok;
  };
  for (const Case& c : {Case{"HTTP/1.0 200 OK", true}, Case{"HTTP/1.1 200", true}, Case{"HTTP/1.0 404 Not Found", false},
                        Case{"HTTP/1.0 2000", false}, Case{"HTTP/2 200", false}, Case{"garbage", false}}) {
    THttpResponseScanner s;
    s.Feed(std::string(c.status) + "\r\n\r\n");
    EXPECT_EQ(s.StatusOk(), c.ok) << c.status;
  }
}

TEST(HttpCodec, BodyLines) {
  EXPECT_EQ(SplitBodyLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitBodyLines("a\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitBodyLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitBodyLines(std::string("x\r\ny\0z\r\n", 9)), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(SplitBodyLines("").empty());
}

// A mirror named in the environment: host and port as given, the maker's
// server when nothing is named, and no request at all for a text that would
// otherwise send it to a half-read address.
TEST(UpdateList, UpdateServerFromTheEnvironment) {
  struct Case {
    const char* text;
    const char* host;
    int port;
  };
  const Case cases[] = {
      {"", kUpdateHost, 80},
      {"127.0.0.1:8080", "127.0.0.1", 8080},
      {"mirror.example.test", "mirror.example.test", 80},
      {"127.0.0.1:1", "127.0.0.1", 1},
      {"127.0.0.1:", "", 0},
      {"127.0.0.1:0", "", 0},
      {"127.0.0.1:65536", "", 0},
      {"127.0.0.1:80x", "", 0},
      {":8080", "", 0},
      {"http://mirror.example.test", "", 0},
      {"mirror example:80", "", 0},
  };
  for (const Case& c : cases) {
    const TUpdateServer s = ParseUpdateServer(c.text);
    EXPECT_EQ(s.Host, c.host) << c.text;
    if (*c.host) EXPECT_EQ(s.Port, c.port) << c.text;
  }
}

}  // namespace
}  // namespace morvane
