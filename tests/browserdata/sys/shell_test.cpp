// Opening URLs and composing mail, watched through the system services: no
// browser or mail program is started.
#include <gtest/gtest.h>

#include <algorithm>

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/ui/services.h"
#include "support/test_env.h"

namespace morvane {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFolder() {
  char tmp[MAX_PATH + 1];
  GetTempPathA(sizeof tmp, tmp);
  return tmp;
}

struct TShellCall {
  std::string file, params;
};

// Records every shell call; the first `failOpens` opens fail as when no
// program is registered for the URL.
struct TFakeShell {
  int failOpens = 0;
  std::string program = "C:\\Programs\\browser.exe";  // what FindExecutable answers ("" = nothing)
  bool answerWithDocument = false;                    // FindExecutable names the document itself
  std::vector<TShellCall> opens;
  std::vector<std::string> lookups;
  bool documentExisted = false;

  TSystemServices Services() {
    TSystemServices s = RealSystemServices();
    s.ShellExecute = [this](HWND, const std::string&, const std::string& file, const std::string& params,
                            const std::string&, int) -> intptr_t {
      opens.push_back({file, params});
      return static_cast<int>(opens.size()) <= failOpens ? 2 : 42;
    };
    s.FindExecutable = [this](const std::string& file, const std::string&, std::string& found) -> intptr_t {
      lookups.push_back(file);
      documentExisted = Exists(file);
      if (answerWithDocument) {
        found = file;
        return 42;
      }
      found = program;
      return program.empty() ? 31 : 42;
    };
    s.ExitWindows = [](UINT) -> bool { throw std::logic_error("no restart in tests"); };
    return s;
  }
};

TEST(SysOpenURL, TextWithoutSchemeOpensAsHttp) {
  struct Case {
    const char* text;
    const char* opened;
  } cases[] = {
      {"example.com", "http://example.com"},
      {"www.example.org/path/", "http://www.example.org/path/"},
      {"example.com:8080/a", "http://example.com:8080/a"},
      {"http://example.com/", "http://example.com/"},
      {"https://example.com/x?y=1", "https://example.com/x?y=1"},
      {"file:///C:/x/page.html", "file:///C:/x/page.html"},
      {"C:\\help\\Morvane.chm", "C:\\help\\Morvane.chm"},
  };
  for (const Case& c : cases) {
    TFakeShell shell;
    TSystemServicesScope scope(shell.Services());
    OpenURL(c.text);
    ASSERT_EQ(shell.opens.size(), 1u) << c.text;
    EXPECT_EQ(shell.opens[0].file, c.opened);
    EXPECT_TRUE(shell.lookups.empty());
  }
}

// No browser takes a longer URL, and Wine's shell ends the process on one of
// about a thousand letters: it is not handed on, nor to the fallback.
TEST(SysOpenURL, UrlsLongerThanBrowsersTakeAreNotOpened) {
  for (const size_t length : {2083u, 2084u, 40000u}) {
    TFakeShell shell;
    shell.failOpens = 1;
    TSystemServicesScope scope(shell.Services());
    const std::string url = "http://example.com/?q=" + std::string(length - 22, 'q');
    OpenURL(url);
    EXPECT_EQ(shell.opens.size(), length <= 2083 ? 2u : 0u) << length;
    EXPECT_EQ(shell.lookups.size(), length <= 2083 ? 1u : 0u) << length;
  }
}

TEST(SysOpenURL, FallbackHandsTheUrlToTheDocumentsProgram) {
  struct Case {
    const char* url;
    const char* extension;  // of the lookup document
    const char* param;      // what the found program gets
  } cases[] = {
      {"http://example.com/report.pdf", ".pdf", "http://example.com/report.pdf"},
      {"http://example.com/", ".html", "http://example.com/"},
      {"http://example.com/page.php?a=1", ".php", "http://example.com/page.php?a=1"},
      {"http://example.com/a%20b.htm", ".htm", "\"http://example.com/a b.htm\""},
      // Executable kinds never name the document: it could be run.
      {"example.com", ".html", "http://example.com"},
      {"http://example.com/setup.exe", ".html", "http://example.com/setup.exe"},
      {"http://example.com/x.BAT", ".html", "http://example.com/x.BAT"},
      {"file:///C:/pages/index.html", ".html", "C:/pages/index.html"},
  };
  for (const Case& c : cases) {
    TFakeShell shell;
    shell.failOpens = 1;
    TSystemServicesScope scope(shell.Services());
    OpenURL(c.url);
    ASSERT_EQ(shell.lookups.size(), 1u) << c.url;
    const std::string doc = shell.lookups[0];
    EXPECT_TRUE(shell.documentExisted) << c.url;
    EXPECT_EQ(doc.rfind(TempFolder(), 0), 0u) << doc;
    EXPECT_EQ(doc.substr(doc.size() - std::string(c.extension).size()), c.extension) << c.url;
    EXPECT_FALSE(Exists(doc)) << "lookup document left behind: " << doc;
    ASSERT_EQ(shell.opens.size(), 2u) << c.url;
    EXPECT_EQ(shell.opens[1].file, "C:\\Programs\\browser.exe");
    EXPECT_EQ(shell.opens[1].params, c.param);
  }
}

TEST(SysOpenURL, DecodedQuotesAndControlsNeverReachTheCommandLine) {
  // Cookie and history files are written by web sites: whatever their URLs
  // decode to, the program gets exactly one argument.
  struct Case {
    const char* url;
    const char* param;
  } cases[] = {
      {"foo:x%22%20--some-switch", "\"foo:x%22 --some-switch\""},
      {"http://e.com/%22%0A%22calc", "http://e.com/%22%0A%22calc"},
      {"http://e.com/a%09b%13c\x7f", "http://e.com/a%09b%13c%7F"},
      {"http://e.com/x\"y", "http://e.com/x%22y"},
      {"http://e.com/x%20\"%20-y", "\"http://e.com/x %22 -y\""},
      // A closing quote is not escaped by the backslashes before it.
      {"file:///C:/a%20b\\", "\"C:/a b\\\\\""},
  };
  for (const Case& c : cases) {
    TFakeShell shell;
    shell.failOpens = 1;
    TSystemServicesScope scope(shell.Services());
    OpenURL(c.url);
    ASSERT_EQ(shell.opens.size(), 2u) << c.url;
    EXPECT_EQ(shell.opens[1].file, "C:\\Programs\\browser.exe");
    EXPECT_EQ(shell.opens[1].params, c.param) << c.url;
  }
  // Without a program for the kind, the shell gets the re-encoded URL.
  TFakeShell shell;
  shell.failOpens = 1;
  shell.program.clear();
  TSystemServicesScope scope(shell.Services());
  OpenURL("foo:x%22%20--some-switch");
  ASSERT_EQ(shell.opens.size(), 2u);
  EXPECT_EQ(shell.opens[1].file, "foo:x%22 --some-switch");
  EXPECT_EQ(shell.opens[1].params, "");
}

TEST(SysOpenURL, NeverRunsTheLookupDocument) {
  // A file an earlier run or someone else left under a lookup name is neither
  // used, run nor deleted.
  const std::string planted = TempFolder() + "$TMP$_HTML1.html";
  const bool plantedHere = !Exists(planted);
  if (plantedHere) {
    HANDLE h = CreateFileA(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  {
    TFakeShell shell;
    shell.failOpens = 1;
    shell.answerWithDocument = true;
    TSystemServicesScope scope(shell.Services());
    OpenURL("example.com");
    ASSERT_EQ(shell.lookups.size(), 1u);
    EXPECT_NE(shell.lookups[0], planted);
    ASSERT_EQ(shell.opens.size(), 2u);
    EXPECT_EQ(shell.opens[1].file, "http://example.com");
    EXPECT_EQ(shell.opens[1].params, "");
  }
  {
    TFakeShell shell;
    shell.failOpens = 1;
    shell.program.clear();
    TSystemServicesScope scope(shell.Services());
    OpenURL("http://example.com/a.txt");
    ASSERT_EQ(shell.opens.size(), 2u);
    EXPECT_EQ(shell.opens[1].file, "http://example.com/a.txt");
  }
  EXPECT_TRUE(Exists(planted));
  if (plantedHere) DeleteFileA(planted.c_str());
}

TEST(SysComposeMail, PrefixAndEscapedFields) {
  TFakeShell shell;
  TSystemServicesScope scope(shell.Services());
  EXPECT_TRUE(ComposeMail("MAILTO:support@example.com", "Error in Morvane",
                          "Error Message: \r\n\r\nA & B #1 100% ?x=y+z\xE9"));
  EXPECT_TRUE(ComposeMail("support@example.com", "", ""));
  ASSERT_EQ(shell.opens.size(), 2u);
  EXPECT_EQ(shell.opens[0].file,
            "MAILTO:support@example.com?subject=Error%20in%20Morvane"
            "&body=Error%20Message%3A%20%0D%0A%0D%0AA%20%26%20B%20%231%20100%25%20%3Fx%3Dy%2Bz%C3%A9");
  EXPECT_EQ(shell.opens[1].file, "mailto:support@example.com?subject=&body=");
  shell.failOpens = 5;
  EXPECT_FALSE(ComposeMail("x@example.com", "s", "b"));
}

TEST(SysComposeMail, ALongMessageIsCutToWhatALinkCarries) {
  TFakeShell shell;
  TSystemServicesScope scope(shell.Services());
  // Every letter of the body is escaped ("%2F"); the three subjects put the
  // limit on each of the three places of an escape.
  for (const std::string subject : {"", "s", "ss"})
    for (const size_t letters : {10u, 5000u}) {
      ASSERT_TRUE(ComposeMail("support@example.com", subject, std::string(letters, '/'))) << letters;
      const std::string& url = shell.opens.back().file;
      const std::string head = "mailto:support@example.com?subject=" + subject + "&body=";
      ASSERT_EQ(url.substr(0, head.size()), head);
      const std::string body = url.substr(head.size());
      EXPECT_EQ(body.size() % 3, 0u) << subject << letters;
      EXPECT_EQ(body.size() / 3, std::min<size_t>(letters, (2083 - head.size()) / 3)) << subject << letters;
    }
  EXPECT_FALSE(ComposeMail(std::string(2100, 'a') + "@example.com", "s", "b"));
}

TEST(SysComposeMail, UnescapeURLDecimalEscapesOnly) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"a%20b%2Fc%41", "a b%2Fc%41"},
      {"%41%42", "AB"},
      {"100%", "100%"},
      {"%4", "%4"},
      {"%2541", "A"},  // decoding starts again from the front
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    std::string t;
    UnescapeURL(c.in, t);
    EXPECT_EQ(t, c.out) << c.in;
  }
}

TEST(SysRestart, GoesThroughTheRestartService) {
  std::vector<uint32_t> asked;
  TSystemServices s = RealSystemServices();
  s.ExitWindows = [&](UINT f) {
    asked.push_back(f);
    return true;
  };
  TSystemServicesScope scope(s);
  EXPECT_TRUE(RebootWindows(6));
  EXPECT_EQ(asked, std::vector<uint32_t>{6});
}

}  // namespace
}  // namespace morvane
