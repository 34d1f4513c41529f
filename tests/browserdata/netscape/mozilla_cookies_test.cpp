// The Netscape-format cookie store over real profile folders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browserdata/netscape/mozilla_cookies.h"
#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using test::ReadFileBytes;
using test::TTempDir;

// Dates in a fixed form for the whole test: the expiry texts are the user's
// locale's, and the store must not depend on which one that is.
class TFixedLocale {
 public:
  explicit TFixedLocale(const char* shortDate = "yyyy-mm-dd") : saved_(FormatSettings()) {
    TFormatSettings fs;
    fs.ShortDateFormat = shortDate;
    fs.DateSeparator = '-';
    fs.LongTimeFormat = "hh:nn:ss";
    fs.TimeSeparator = ':';
    SetFormatSettings(fs);
  }
  ~TFixedLocale() { SetFormatSettings(saved_); }

 private:
  TFormatSettings saved_;
};

TQbCookie GridCookie(const char* host, const char* path, const char* name, const char* value, const char* expires) {
  TQbCookie c;
  c.Host = host;
  c.Path = path;
  c.Name = name;
  c.Value = value;
  c.Expires = expires;
  return c;
}

const char* kCookies =
    "# HTTP Cookie File\r\n"
    "\r\n"
    ".a.test\tTRUE\t/\tFALSE\t4102444800\tsid\t1\r\n"       // 2100-01-01, midnight
    "b.test\tFALSE\t/x\tTRUE\t1700000000\tpref\tdark\r\n";  // 2023-11-14 22:13:20

TEST(MozillaCookies, ReadsAProfileFolder) {
  TFixedLocale locale;
  TTempDir dir;
  dir.Write("cookies.txt", kCookies);
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path() + "\\");
  ASSERT_NE(store->GetProfiles(), nullptr);
  ASSERT_EQ(store->GetProfiles()->Count(), 1);
  const std::string caption = store->GetProfiles()->Strings(0);
  EXPECT_EQ(store->CurrentProfile, caption);
  EXPECT_EQ(caption.substr(caption.size() - 4), " (*)");
  std::string d;
  store->GetProfileDir(0, d);
  EXPECT_EQ(d, dir.Path());
  EXPECT_EQ(store->ProfileDirs.Count(), 1);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  ASSERT_EQ(cookies.size(), 2u);
  EXPECT_EQ(cookies[0].Expires, "2100-01-01");
  EXPECT_EQ(cookies[1].Expires, "2023-11-14 22:13:20");
  EXPECT_EQ(cookies[1].LineEnd, "\r");
  store->GetCookies(-1, cookies);
  EXPECT_TRUE(cookies.empty());
  store->GetProfileDir(-1, d);
  EXPECT_EQ(d, "");
}

TEST(MozillaCookies, EditsAndSavesKeepingLineEnds) {
  TFixedLocale locale;
  TTempDir dir;
  dir.Write("cookies.txt", kCookies);
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);

  // As the grid gives it: no line end, no file fields.
  const TQbCookie edit = GridCookie("b.test", "/x", "pref", "light", "2030-01-02 03:04:05");
  store->SetCookie(p, edit);
  TQbCookie added = edit;
  added.Name = "new";
  store->SetCookie(p, added);
  store->DeleteCookie(p, GridCookie(".a.test", "/", "sid", "", ""));
  store->SaveCookies(p);
  EXPECT_EQ(ReadFileBytes(dir.File("cookies.txt")),
            "# HTTP Cookie File\r\n\r\n"
            "b.test\tFALSE\t/x\tFALSE\t1893553445\tpref\tlight\r\n"
            "b.test\tFALSE\t/x\tFALSE\t1893553445\tnew\tlight\r\n");
  store->ReloadCookies(p);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  ASSERT_EQ(cookies.size(), 2u);
  EXPECT_EQ(cookies[1].Expires, "2030-01-02 03:04:05");
  // An unknown caption changes nothing.
  store->SetCookie("nobody", edit);
  store->SaveCookies("nobody");
}

TEST(MozillaCookies, ANewProfileGetsTheDefaultHeader) {
  TFixedLocale locale;
  TTempDir dir;
  dir.Write("cookies.txt", "");
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);
  store->SetCookie(p, GridCookie("n.test", "/", "n", "v", "1970-01-01"));
  store->SaveCookies(p);
  const std::string text = ReadFileBytes(dir.File("cookies.txt"));
  EXPECT_EQ(text.substr(0, 19), "# HTTP Cookie File\n");
  EXPECT_NE(text.find("Cookie Manager.\nn.test\tFALSE\t/\tFALSE\t0\tn\tv\n"), std::string::npos) << text;
  store->ReloadCookies(p);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  ASSERT_EQ(cookies.size(), 1u);
  EXPECT_EQ(cookies[0].LineEnd, "");
}

TEST(MozillaCookies, AFailedReloadKeepsTheCookiesAndWritesNothing) {
  TFixedLocale locale;
  TTempDir dir;
  dir.Write("cookies.txt", kCookies);
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);
  // Another program left a file the store cannot read.
  const std::string unreadable = "# HTTP Cookie File\nc.test\tTRUE\t/\tFALSE\tsoon\tn\tv\n";
  dir.Write("cookies.txt", unreadable);
  EXPECT_THROW(store->ReloadCookies(p), EConvertError);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  EXPECT_EQ(cookies.size(), 2u);
  // Saving would replace cookies nobody has seen with the ones shown.
  store->SetCookie(p, GridCookie("n.test", "/", "n", "v", "2030-01-01 00:00:00"));
  EXPECT_THROW(store->SaveCookies(p), EWriteError);
  EXPECT_EQ(ReadFileBytes(dir.File("cookies.txt")), unreadable);

  // Once the file reads again, saves go through.
  dir.Write("cookies.txt", kCookies);
  store->ReloadCookies(p);
  store->SetCookie(p, GridCookie("n.test", "/", "n", "v", "2030-01-01 00:00:00"));
  store->SaveCookies(p);
  EXPECT_EQ(ReadFileBytes(dir.File("cookies.txt")), std::string(kCookies) + "n.test\tFALSE\t/\tFALSE\t1893456000\tn\tv\r\n");
}

// A file another program held without letting others read it shows as a
// profile without cookies; an edit saved after that program let go must not
// write the one cookie shown over the file's own, whether the file was held
// at the first read or at the reload before the edit.
TEST(MozillaCookies, AFileThatCouldNotBeReadIsNotWrittenOver) {
  TFixedLocale locale;
  for (const bool heldAtFirstRead : {true, false}) {
    SCOPED_TRACE(heldAtFirstRead ? "held at the first read" : "held at the reload");
    TTempDir dir;
    const std::string file = dir.Write("cookies.txt", kCookies);
    auto hold = [&] {
      return ::CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE h = heldAtFirstRead ? hold() : INVALID_HANDLE_VALUE;
    auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
    const std::string p = store->GetProfiles()->Strings(0);
    if (!heldAtFirstRead) {
      h = hold();
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      store->ReloadCookies(p);
    }
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    TCookiesArray cookies;
    store->GetCookies(0, cookies);
    EXPECT_TRUE(cookies.empty());
    store->SetCookie(p, GridCookie("n.test", "/", "n", "v", "2030-01-01 00:00:00"));
    EXPECT_THROW(store->SaveCookies(p), EWriteError);
    EXPECT_EQ(ReadFileBytes(file), kCookies);

    // The next reload reads the file's cookies, and saves go through.
    store->ReloadCookies(p);
    store->GetCookies(0, cookies);
    EXPECT_EQ(cookies.size(), 2u);
    store->SaveCookies(p);
    EXPECT_EQ(ReadFileBytes(file), kCookies);
  }
}

// Saving one profile must not move the expiry of cookies nobody touched, even
// where the locale's texts cannot say it (two-digit years, no seconds).
TEST(MozillaCookies, UntouchedExpiriesSurviveALossyLocale) {
  TFixedLocale locale("yy-mm-dd");
  TTempDir dir;
  const std::string original =
      "# h\nfar.test\tFALSE\t/\tFALSE\t4291747199\tn\tv\n"  // 2105-12-31 23:59:59
      "big.test\tFALSE\t/\tFALSE\t99999999999\tn\tv\n"
      "edit.test\tFALSE\t/\tFALSE\t1\tn\tv\n";
  dir.Write("cookies.txt", original);
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  EXPECT_EQ(cookies[0].Expires, "05-12-31 23:59:59");
  TQbCookie e = cookies[2];
  e.ExpiresField.clear();  // rebuilt from the grid
  e.Expires = cookies[2].Expires;
  e.Value = "w";
  store->SetCookie(p, e);
  store->SaveCookies(p);
  EXPECT_EQ(ReadFileBytes(dir.File("cookies.txt")),
            "# h\nfar.test\tFALSE\t/\tFALSE\t4291747199\tn\tv\n"
            "big.test\tFALSE\t/\tFALSE\t99999999999\tn\tv\n"
            "edit.test\tFALSE\t/\tFALSE\t1\tn\tw\n");
}

TEST(MozillaCookies, AFailedSaveLeavesTheFileAsItWas) {
  TFixedLocale locale;
  TTempDir dir;
  const std::string file = dir.Write("cookies.txt", kCookies);
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  TQbCookie bad = cookies[0];
  bad.Expires = "next tuesday";
  store->SetCookie(p, bad);
  EXPECT_THROW(store->SaveCookies(p), EConvertError);
  EXPECT_EQ(ReadFileBytes(file), kCookies);

  bad.Expires = cookies[0].Expires;
  store->SetCookie(p, bad);
  ASSERT_EQ(FileSetAttr(file, FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_THROW(store->SaveCookies(p), EWriteError);
  FileSetAttr(file, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(file), kCookies);
}

// A cookie jar whose first cookie is HTTP-only: that cookie is shown like the
// others and written back with its mark, not kept out of sight as a comment.
TEST(MozillaCookies, HttpOnlyCookiesOfACurlJar) {
  TFixedLocale locale;
  auto store = QbMozillaCookiesClass::CreateForProfile(test::FixturePath("netscape\\curl-jar"));
  TCookiesArray cookies;
  store->GetCookies(0, cookies);
  ASSERT_EQ(cookies.size(), 3u);
  EXPECT_EQ(store->Profile(0)->Header->size(), 4u);
  EXPECT_EQ(cookies[0].Host, ".example.com");
  EXPECT_TRUE(cookies[0].HttpOnly);
  EXPECT_EQ(cookies[1].Expires, "1970-01-01");
  EXPECT_FALSE(cookies[1].HttpOnly);
  EXPECT_TRUE(cookies[2].HttpOnly);

  // An edit from the grid keeps the mark.
  TTempDir dir;
  auto copy = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = copy->GetProfiles()->Strings(0);
  for (const TQbCookie& c : cookies) copy->SetCookie(p, c);
  copy->Profile(0)->Header = store->Profile(0)->Header;
  TQbCookie edit = GridCookie(".example.com", "/", "sid", "changed", cookies[0].Expires.c_str());
  edit.DomainFlag = true;
  copy->SetCookie(p, edit);
  copy->SaveCookies(p);
  const std::string original = ReadFileBytes(test::FixturePath("netscape\\curl-jar\\cookies.txt"));
  std::string expected = original;
  expected.replace(expected.find("\tsid\tabc"), 8, "\tsid\tchanged");
  EXPECT_EQ(ReadFileBytes(dir.File("cookies.txt")), expected);
}

TEST(MozillaCookies, AnExpiryThatIsNoNumberFailsTheRead) {
  TTempDir dir;
  dir.Write("cookies.txt", "# h\na.test\tTRUE\t/\tFALSE\tsoon\tn\tv\n");
  EXPECT_THROW(QbMozillaCookiesClass::CreateForProfile(dir.Path()), EConvertError);
}

// The texts a file is read with are the locale's date-and-time texts.
TEST(MozillaCookies, ExpiryTextsAreTheLocalesDateTimes) {
  for (const char* shortDate : {"yyyy-mm-dd", "d/m/yy"}) {
    TFixedLocale locale(shortDate);
    std::string file = "# h\n";
    const uint32_t seconds[] = {0, 1, 86399, 86400, 1700000000, 1700006400, 4102444800u, 4294967295u};
    for (uint32_t s : seconds) file += "a.test\tTRUE\t/\tFALSE\t" + std::to_string(s) + "\tn\tv\n";
    TTempDir dir;
    std::optional<std::vector<std::string>> header;
    TCookiesArray cookies;
    QbMozillaCookiesClass::ReadCookiesFile(dir.Write("cookies.txt", file), header, cookies);
    ASSERT_EQ(cookies.size(), std::size(seconds));
    for (size_t i = 0; i < cookies.size(); ++i)
      EXPECT_EQ(cookies[i].Expires, DateTimeToStr(25569.0 + seconds[i] / 86400.0)) << shortDate << " " << seconds[i];
    EXPECT_EQ(QbMozillaCookiesClass::ExpiresSeconds(cookies[4].Expires), 1700000000u);
  }
}

TEST(MozillaCookies, StoresOfSeveralFolders) {
  TTempDir a, b, none;
  a.Write("cookies.txt", kCookies);
  b.Write("cookies.txt", kCookies);
  {
    TStringList dirs;
    dirs.Add(none.Path());
    dirs.Add(a.Path());
    auto store = QbMozillaCookiesClass::CreateForProfiles(dirs);
    EXPECT_EQ(store->GetProfiles()->Count(), 1);
    EXPECT_FALSE(store->AddProfileDir(a.Path() + "\\"));
    std::string upper = a.Path();
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_FALSE(store->AddProfileDir(upper));
    EXPECT_TRUE(store->AddProfileDir(b.Path()));
    EXPECT_EQ(store->GetProfiles()->Count(), 2);
    EXPECT_EQ(store->ProfileDirs.Count(), 2);
  }
  TStringList empty;
  empty.Add(none.Path());
  try {
    QbMozillaCookiesClass::CreateForProfiles(empty);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "cannot create mozilla cookies class");
  }
}

TEST(MozillaCookies, SetPermission) {
  TTempDir dir;
  dir.Write("cookies.txt", kCookies);
  dir.Write("hostperm.1", "# h\n\nhost\tcookie\t2\ta.test\nhost\timage\t2\ta.test\nhost\tcookie\t2\tb.test\n");
  auto store = QbMozillaCookiesClass::CreateForProfile(dir.Path());
  const std::string p = store->GetProfiles()->Strings(0);
  EXPECT_EQ(store->GetPermissionFileFormat(p), 1);
  EXPECT_EQ(store->GetPermissionFileFormat("nobody"), 1);
  store->SetPermission(p, ".a.test", 0, 0);
  ASSERT_EQ(store->GetBlockedHosts(p)->Count(), 2);  // images still blocked
  store->SetPermission(p, "a.test", 0, 1);
  ASSERT_EQ(store->GetBlockedHosts(p)->Count(), 1);  // that host's record, and no other
  EXPECT_EQ(store->GetBlockedHosts(p)->Strings(0), "b.test");
  store->SetPermission(p, ".new.test", 2, 2);
  EXPECT_EQ(store->GetBlockedHosts(p)->Strings(1), "new.test");  // a new host has no leading dot
  EXPECT_EQ(store->GetBlockedHosts(p)->Objects(1)->Popup, 2);
  EXPECT_EQ(store->GetBlockedHosts(p)->Objects(1)->Kind, "host");
  ASSERT_TRUE(store->SavePermissions(p));
  EXPECT_EQ(ReadFileBytes(dir.File("hostperm.1")), "# h\n\nhost\tcookie\t2\tb.test\nhost\tpopup\t2\tnew.test\n");
  store->DeletePermission(p, *store->GetBlockedHosts(p)->Objects(0));
  EXPECT_EQ(store->GetBlockedHosts(p)->Count(), 1);
  store->ReloadPermissions(p);
  EXPECT_EQ(store->GetBlockedHosts(p)->Count(), 2);
  EXPECT_EQ(store->GetBlockedHosts("nobody"), nullptr);
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

std::string CookieFields(const TQbCookie& c) {
  return c.Host + "|" + (c.DomainFlag ? "T" : "F") + "|" + c.Path + "|" + (c.Secure ? "T" : "F") + "|" + c.Expires +
         "|" + c.ExpiresField + "|" + c.Name + "|" + c.Value + "|" + c.LineEnd + "|" + (c.HttpOnly ? "H" : "-");
}

// Everything a store shows of its profiles, one line each.
std::vector<std::string> StoreContents(const QbMozillaCookiesClass& store) {
  std::vector<std::string> lines;
  if (!store.GetProfiles()) return lines;
  for (int i = 0; i < store.GetProfiles()->Count(); ++i) {
    const qbMozillaProfileInfo* p = store.Profile(i);
    lines.push_back("profile " + store.GetProfiles()->Strings(i) + " " + p->Dir + (p->Unreadable ? " unreadable" : ""));
    if (p->Header)
      for (const std::string& h : *p->Header) lines.push_back("header " + h);
    else
      lines.push_back("no header");
    for (const TQbCookie& c : p->Cookies) lines.push_back(CookieFields(c));
  }
  return lines;
}

// A store made again over the one it replaces reads the files into the old
// store's memory: what it then holds must be what a store made from nothing
// holds, whatever the files became in between.
TEST(MozillaCookies, AStoreMadeAgainOverTheOldOneHoldsWhatAFreshOneHolds) {
  TFixedLocale locale;
  const char* three =
      "# h\r\n\r\n#HttpOnly_.a.test\tTRUE\t/\tTRUE\t4102444800\tsid\tlong-value-of-the-first-cookie\r\n"
      "b.test\tFALSE\t/x\tFALSE\t1700000000\tpref\tdark\r\n"
      "c.test\tFALSE\t/a/longer/path/than/fits\tFALSE\t1\tthird\tthree\r\n";
  const char* oneChanged = "# other header\nz.test\tFALSE\t/\tFALSE\t42\tz\tv\n";
  const char* threeChanged =
      "# h\n.a.test\tFALSE\t/\tFALSE\t0\tsid\tshort\nb.test\tTRUE\t/y\tTRUE\t99\tpref\t\n"
      "c.test\tFALSE\t/\tFALSE\t2\tthird\t3\n";
  const char* four =
      "a\tTRUE\t/\tFALSE\t1\tn1\tv1\nb\tTRUE\t/\tFALSE\t2\tn2\tv2\nc\tTRUE\t/\tFALSE\t3\tn3\tv3\n"
      "d\tTRUE\t/\tFALSE\t4\tn4\tv4\n";
  const char* broken = "# h\nx.test\tFALSE\t/\tFALSE\tsoon\tn\tv\n";
  const std::string inOrder =
      "[Profile0]\nName=one\nIsRelative=1\nPath=one\n\n[Profile1]\nName=two\nIsRelative=1\nPath=two\n";
  const std::string swapped =
      "[Profile0]\nName=two\nIsRelative=1\nPath=two\n\n[Profile1]\nName=one\nIsRelative=1\nPath=one\n";
  struct TCase {
    const char* what;
    const char *oneBefore, *twoBefore, *oneAfter, *twoAfter;
    bool swap;
  };
  const TCase cases[] = {
      {"same cookies, other texts", three, three, threeChanged, three, false},
      {"fewer cookies", three, four, oneChanged, three, false},
      {"more cookies", oneChanged, three, four, four, false},
      {"a file removed", three, three, nullptr, oneChanged, false},
      {"a file made", nullptr, three, four, three, false},
      {"a file that does not parse", three, three, three, broken, false},
      {"the profiles in another order", three, oneChanged, four, threeChanged, true},
  };
  for (const TCase& c : cases) {
    TTempDir appData;
    ForceDirectories(appData.File("Mozilla\\FireFox\\one"));
    ForceDirectories(appData.File("Mozilla\\FireFox\\two"));
    TTempDir extra;
    auto put = [](const TTempDir& dir, const std::string& name, const char* bytes) {
      if (bytes)
        dir.Write(name, bytes);
      else
        DeleteFileA(dir.File(name).c_str());
    };
    appData.Write("Mozilla\\FireFox\\profiles.ini", inOrder);
    put(appData, "Mozilla\\FireFox\\one\\cookies.txt", c.oneBefore);
    put(appData, "Mozilla\\FireFox\\two\\cookies.txt", c.twoBefore);
    put(extra, "cookies.txt", c.twoBefore);
    QbMozillaCookiesClass old(1, appData.Path(), {});
    old.AddProfileDir(extra.Path());

    if (c.swap) appData.Write("Mozilla\\FireFox\\profiles.ini", swapped);
    put(appData, "Mozilla\\FireFox\\one\\cookies.txt", c.oneAfter);
    put(appData, "Mozilla\\FireFox\\two\\cookies.txt", c.twoAfter);
    put(extra, "cookies.txt", c.oneAfter);
    QbMozillaCookiesClass fresh(1, appData.Path(), {});
    fresh.AddProfileDir(extra.Path());
    QbMozillaCookiesClass again(1, appData.Path(), {}, &old);
    again.AddProfileDir(extra.Path());
    again.ReleaseCookieMemory();

    EXPECT_EQ(StoreContents(again), StoreContents(fresh)) << c.what;
    // The old store lent its cookies: it shows none rather than stale ones.
    for (int i = 0; i < old.GetProfiles()->Count(); ++i) EXPECT_TRUE(old.Profile(i)->Cookies.empty()) << c.what;
  }
}

}  // namespace
}  // namespace morvane
