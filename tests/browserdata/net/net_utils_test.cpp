// ctest: fixture=http_server
#include "browserdata/net/qb_net_utils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "browserdata/net/version_info.h"
#include "platform/core/exceptions.h"
#include "support/test_env.h"

namespace morvane {
namespace {

int ServerPort() {
  const char* file = std::getenv("MORVANE_HTTP_PORT_FILE");
  if (!file) return 0;
  return std::atoi(test::ReadFileBytes(file).c_str());
}

class HttpGet : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = ServerPort();
    ASSERT_GT(port_, 0) << "the test HTTP server is not running";
    saved_ = HttpTimeout();
    SetHttpTimeout(2000);
  }
  void TearDown() override { SetHttpTimeout(saved_); }
  int port_ = 0;
  unsigned saved_ = 0;
};

const std::vector<std::string> kList = {"9.1.0#/files/morvane-9.1.exe", "#First note", "no hash here",
                                        "a#b#Third field"};

TEST_F(HttpGet, LinesInOneOrTwoWrites) {
  EXPECT_EQ(HttpGetLines("127.0.0.1", port_, "list"), kList);
  // Header and body arriving apart must not cut the list.
  EXPECT_EQ(HttpGetLines("http://127.0.0.1", port_, "/list-split"), kList);
}

TEST_F(HttpGet, ACompleteAnswerEndsTheRequestWhileTheConnectionStaysOpen) {
  // The server has sent Content-Length bytes of body and keeps the
  // connection: the answer is complete, waiting for the close would fail it.
  EXPECT_EQ(HttpGetLines("127.0.0.1", port_, "/list-held"), kList);
  test::TTempDir dir;
  HttpGetToFile("127.0.0.1", port_, "/download-held", dir.File("morvane1.exe"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("morvane1.exe")).size(), 40u * 256 + 26);
}

TEST_F(HttpGet, NothingUnlessTheAnswerIsA200) {
  EXPECT_TRUE(HttpGetLines("127.0.0.1", port_, "/missing").empty());
  EXPECT_TRUE(HttpGetLines("127.0.0.1", port_, "/big-header").empty());
  EXPECT_TRUE(HttpGetLines("127.0.0.1", port_, "/header-only").empty());
  EXPECT_EQ(HttpGetLines("127.0.0.1", port_, "/nul"), (std::vector<std::string>{"before", "half"}));
}

TEST_F(HttpGet, RequestBytes) {
  test::TTempDir dir;
  HttpGetToFile("127.0.0.1", port_, "echo", dir.File("request"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("request")), "GET /echo HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

TEST_F(HttpGet, DownloadKeepsEveryByteAfterAHeaderEndAcrossReceives) {
  test::TTempDir dir;
  const std::string target = dir.File("morvane1.exe");
  HttpGetToFile("127.0.0.1", port_, "/download", target);
  std::string expected;
  for (int r = 0; r < 40; ++r)
    for (int b = 0; b < 256; ++b) expected += static_cast<char>(b);
  expected += std::string("\r\n\r\nafter a blank line\0end", 26);
  const std::string got = test::ReadFileBytes(target);
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST_F(HttpGet, FailedDownloadLeavesTheOldFileAndNoPartialOne) {
  test::TTempDir dir;
  const std::string target = dir.Write("morvane1.exe", "old program");
  for (const char* path : {"/missing", "/short", "/header-only-but-404"}) {
    EXPECT_THROW(HttpGetToFile("127.0.0.1", port_, path, target), Exception) << path;
    EXPECT_EQ(test::ReadFileBytes(target), "old program") << path;
  }
  EXPECT_TRUE(test::ReadFileBytes(target + ".part").empty());
}

TEST_F(HttpGet, SilentServerGivesUpWithinTheTimeOut) {
  SetHttpTimeout(500);
  const auto start = std::chrono::steady_clock::now();
  try {
    HttpGetLines("127.0.0.1", port_, "/silent");
    ADD_FAILURE() << "a silent server must fail the request";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("No connection ", 0), 0u) << e.Message();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(HttpGet, NoServerIsNoConnection) {
  // Port 1 on loopback: nothing listens there.
  try {
    HttpGetLines("127.0.0.1", 1, "/");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message().rfind("No connection ", 0), 0u) << e.Message();
  }
}

TEST(NetUtils, DomainFromURL) {
  struct Case {
    const char* url;
    const char* domain;  // "(unchanged)" keeps the old value
  };
  const Case cases[] = {
      {"http://w.abc.xy.zz:8080/x", "abc.xy.zz"},
      {"http://a.b.abc.def/", "abc.def"},
      {"http://user@www.example.com:81/p", "example.com"},
      {"www.site.co.uk", "site.co.uk"},
      {"http://localhost/", "(unchanged)"},
      {"http://.hidden.com/", "(unchanged)"},
      {"http://abc./", "(unchanged)"},
      {"", "(unchanged)"},
  };
  for (const auto& c : cases) {
    std::string d = "(unchanged)";
    GetDomainFromURL(c.url, d);
    EXPECT_EQ(d, c.domain) << c.url;
  }
}

TEST(NetUtils, StatusTextsAfterBinding) {
  InitNetUtils();
  InitNetUtils();  // counted
  std::string inet = "x", net = "x";
  GetInternetConnectionState(inet);
  GetNetworkState(net);
  // Wine provides both libraries; the words are the program's own.
  EXPECT_TRUE(inet == "on-line" || inet == "off-line" || inet.empty()) << inet;
  EXPECT_TRUE(net == "LAN" || net == "WAN" || net == "AOL" || net == "not connected" || net.empty()) << net;
  DoneNetUtils();
  DoneNetUtils();
  GetInternetConnectionState(inet);
  EXPECT_EQ(inet, "");
}

TEST(VersionInfo, ReadsTheProgramsResource) {
  TqbVersionInfo info(test::BinPath("Morvane.exe"));
  EXPECT_EQ(info.Translation(), "040904b0");
  EXPECT_EQ(info.FileVersion, "1.9.0.0");
  EXPECT_EQ(info.ProductName, "Morvane");
  EXPECT_EQ(info.OriginalFilename, "Morvane.exe");
  EXPECT_EQ(info.LegalTrademarks, "");
  EXPECT_GT(info.OSMajorVersion(), 0u);

  TqbVersionInfo none(test::FixturePath("no-such-file.exe"));
  EXPECT_EQ(none.FileVersion, "");
  EXPECT_EQ(none.CompanyName, "");
  EXPECT_EQ(TranslationText(0x0409, 0x04B0), "040904b0");
  // Only one "0" is put in front, as the resource readers expect.
  EXPECT_EQ(TranslationText(0x0000, 0x04E4), "04e4");
}

}  // namespace
}  // namespace morvane
