#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "browserdata/ie/cookie_info.h"
#include "browserdata/ie/ie_test_support.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "browserdata/sys/tell_user.h"

namespace morvane {
namespace {

using test::FileExists;
using test::ReadFileBytes;

std::vector<std::string> Names(const TCookieInfoDetails& d) {
  std::vector<std::string> n;
  for (const auto& c : d.Cookies) n.push_back(c.Name);
  return n;
}

TCookieInfoDetails Details(TCookieInfo& info, const std::string& file) {
  TCookieInfoDetails d;
  d.FileSize = -1;
  info.GetFileDetails(info.IndexOfFile(file), d);
  return d;
}

void SetReadOnly(const std::string& path, bool on) {
  DWORD a = GetFileAttributesA(path.c_str());
  SetFileAttributesA(path.c_str(), on ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY));
}

using IECookieScan = test::TIECookieFolderTest;

TEST_F(IECookieScan, SubfoldersAndNamesFoundTwice) {
  const std::string root = CopyFixtureFolder("folder");
  TCookieInfo info(root);
  // Four cookie files, one name twice: listed once, counted twice.
  EXPECT_EQ(info.GetFoundFileCount(), 4);
  ASSERT_EQ(info.GetFileCount(), 3);
  EXPECT_EQ(info.GetFolderCount(), 3);
  std::string folder;
  info.GetCookieFolder(folder);
  EXPECT_EQ(folder, root);

  // Whatever order the scan met the files in, each is read from its own folder.
  const std::map<std::string, std::vector<std::string>> byFolder = {
      {root + "|root@example[1].txt", {"name1", "sid"}},
      {root + "\\Low\\deeper|root@example[1].txt", {"shadowed"}},
      {root + "|root@crlf[2].TXT", {"crlf"}},
      {root + "\\Low|root@other[1].txt", {"o"}},
  };
  for (int i = 0; i < info.GetFoundFileCount(); ++i) {
    TCookieInfoDetails d;
    d.FileSize = -1;
    info.GetFileDetails(i, d);
    if (i >= info.GetFileCount()) {
      EXPECT_EQ(d.FileSize, 0) << i;
      EXPECT_TRUE(d.FileName.empty());
      continue;
    }
    auto want = byFolder.find(d.Folder + "|" + d.FileName);
    ASSERT_NE(want, byFolder.end()) << d.Folder << " " << d.FileName;
    EXPECT_EQ(Names(d), want->second) << d.FileName;
    EXPECT_GT(d.FileSize, 0);
    EXPECT_GT(d.FileDate, 40000.0);
    EXPECT_EQ(info.GetFilePath(i), (d.Folder.back() == '\\' ? d.Folder : d.Folder + "\\") + d.FileName);
  }
  EXPECT_GE(info.IndexOfFile("ROOT@OTHER[1].TXT"), 0);
  EXPECT_EQ(info.IndexOfFile("index.dat"), -1);
  EXPECT_EQ(info.IndexOfFile("readme.txt"), -1);

  TCookieInfoDetails none;
  none.FileSize = 9;
  info.GetFileDetails(-1, none);
  EXPECT_EQ(none.FileSize, 0);
}

TEST_F(IECookieScan, FolderTextIsExpandedAndCutAtNul) {
  CopyFixtureFolder("folder");
  dir_.Write("big@example[1].txt", std::string(65536, 'x'));
  SetEnvironmentVariableA("MORVANE_IE_TEST_DIR", dir_.Path().c_str());
  TCookieInfo info(std::string("%MORVANE_IE_TEST_DIR%") + '\0' + "rest");
  SetEnvironmentVariableA("MORVANE_IE_TEST_DIR", nullptr);
  EXPECT_EQ(info.GetFileCount(), 3);  // not the file over 65,535 bytes
  EXPECT_EQ(info.IndexOfFile("big@example[1].txt"), -1);
  TCookieInfo missing(dir_.File("absent"));
  EXPECT_EQ(missing.GetFoundFileCount(), 0);
}

TEST_F(IECookieScan, FieldsAndTimes) {
  CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  CopyFixtureFile("folder\\root@crlf[2].TXT", "root@crlf[2].TXT");
  CopyFixtureFile("after2107@example[1].txt", "after2107@example[1].txt");
  CopyFixtureFile("skips@example[1].txt", "skips@example[1].txt");
  TCookieInfo info(dir_.Path());
  TCookieInfoDetails d = Details(info, "root@example[1].txt");
  ASSERT_EQ(d.Cookies.size(), 2u);
  const TCookieValueInfo& sid = d.Cookies[1];
  EXPECT_EQ(sid.Value, "abc def");
  EXPECT_EQ(sid.HostPath, "www.example.com/path/");
  EXPECT_EQ(sid.Flags, "8193");
  EXPECT_FALSE(sid.Secure);
  EXPECT_FALSE(sid.HttpOnly);
  EXPECT_EQ(sid.ExpiresLowText, "885243904");
  EXPECT_EQ(sid.ExpiresHighText, "31740926");
  EXPECT_EQ(sid.CreatedLowText, "2916345600");
  EXPECT_EQ(sid.CreatedHighText, "30121421");
  // Local time is UTC here.
  EXPECT_DOUBLE_EQ(sid.Expires, EncodeDate(2033, 1, 1));
  EXPECT_DOUBLE_EQ(sid.Created, EncodeDate(2010, 12, 17) + EncodeTime(9, 35, 2, 0));

  EXPECT_EQ(Names(Details(info, "root@crlf[2].TXT")), std::vector<std::string>{"crlf"});
  EXPECT_EQ(Names(Details(info, "skips@example[1].txt")), (std::vector<std::string>{"first", "second"}));

  // A cookie that lives beyond 2107 has no local date but is still a cookie.
  TCookieInfoDetails longLived = Details(info, "after2107@example[1].txt");
  ASSERT_EQ(Names(longLived), (std::vector<std::string>{"edited", "longlived"}));
  EXPECT_EQ(longLived.Cookies[1].Expires, 0.0);
  EXPECT_EQ(longLived.Cookies[1].ExpiresHighText, "40000000");
}

using IECookieEdit = test::TIECookieFolderTest;

TCookieValueInfo Edit(const std::string& name, const std::string& value, bool secure, bool httpOnly, TDateTime expires) {
  TCookieValueInfo c;
  c.Name = name;
  c.Value = value;
  c.Secure = secure;
  c.HttpOnly = httpOnly;
  c.Expires = expires;
  return c;
}

TEST_F(IECookieEdit, KeepsLengthsAndWritesTheExactExpiry) {
  const std::string path = CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  const std::string before = ReadFileBytes(path);
  TCookieInfo info(dir_.Path());
  // 2031-03-03 03:03:04 UTC has one expiry digit more than 2033-01-01.
  const TDateTime t2031 = EncodeDate(2031, 3, 3) + EncodeTime(3, 3, 4, 0);
  ASSERT_TRUE(info.UpdateCookie("root@example[1].txt", "name1", Edit("longer than before", "v", true, false, t2031)));
  const std::string second = before.substr(before.find("*\n") + 2);
  EXPECT_EQ(ReadFileBytes(path),
            "longe\nv     \nexample.com/\n1025\n3338183680\n31606170\n2916345600\n30121421\n*\n" + second);
  TCookieInfoDetails d = Details(info, "root@example[1].txt");
  ASSERT_EQ(Names(d), (std::vector<std::string>{"longe", "sid"}));
  EXPECT_DOUBLE_EQ(d.Cookies[0].Expires, t2031);

  // Back to fewer digits: the low line takes leading zeros.
  ASSERT_TRUE(info.UpdateCookie("root@example[1].txt", "longe", Edit("n", "value1", false, false, EncodeDate(2033, 1, 1))));
  EXPECT_EQ(ReadFileBytes(path),
            "n    \nvalue1\nexample.com/\n1024\n0885243904\n31740926\n2916345600\n30121421\n*\n" + second);

  // Flags that shrink are padded; the padded text can be edited again.
  ASSERT_TRUE(info.UpdateCookie("root@example[1].txt", "sid", Edit("sid", "abc def", false, false, EncodeDate(2033, 1, 1))));
  EXPECT_NE(ReadFileBytes(path).find("\n0   \n"), std::string::npos);
  ASSERT_TRUE(info.UpdateCookie("root@example[1].txt", "sid", Edit("sid", "abc def", true, true, EncodeDate(2033, 1, 1))));
  EXPECT_NE(ReadFileBytes(path).find("\n8193\n"), std::string::npos);
  EXPECT_EQ(Details(info, "root@example[1].txt").Cookies[1].Flags, "8193");
}

TEST_F(IECookieEdit, NothingWrittenForUnknownCookiesOrBadFlags) {
  const std::string path = CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  const std::string bad = dir_.Write("bad@example[1].txt", "n\nv\nh/\nsecure\n1\n2\n3\n4\n*\n");
  const std::string before = ReadFileBytes(path);
  TCookieInfo info(dir_.Path());
  const TCookieValueInfo c = Edit("x", "y", false, false, EncodeDate(2030, 1, 1));
  EXPECT_FALSE(info.UpdateCookie("root@example[1].txt", "NAME1", c));  // names match exactly
  EXPECT_FALSE(info.UpdateCookie("absent@example[1].txt", "name1", c));
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_THROW(info.UpdateCookie("bad@example[1].txt", "n", c), EConvertError);
  EXPECT_EQ(ReadFileBytes(bad), "n\nv\nh/\nsecure\n1\n2\n3\n4\n*\n");
}

TEST_F(IECookieEdit, KeepsRecordsWithoutALocalDate) {
  const std::string path = CopyFixtureFile("after2107@example[1].txt", "after2107@example[1].txt");
  TCookieInfo info(dir_.Path());
  ASSERT_TRUE(info.UpdateCookie("after2107@example[1].txt", "edited", Edit("edited", "new-value", false, false,
                                                                           EncodeDate(2033, 1, 1))));
  const std::string after = ReadFileBytes(path);
  EXPECT_NE(after.find("new-value"), std::string::npos);
  EXPECT_NE(after.find("longlived\nkeep\nexample.com/\n0\n3000000000\n40000000\n"), std::string::npos);
}

TEST_F(IECookieEdit, FailedWritesAreReported) {
  const std::string path = CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  const std::string before = ReadFileBytes(path);
  TCookieInfo info(dir_.Path());
  TCookieInfoDetails d = Details(info, "root@example[1].txt");
  ASSERT_EQ(d.Cookies.size(), 2u);
  const TCookieValueInfo c = Edit("name1", "value1", true, false, EncodeDate(2030, 1, 1));

  // A read-only cookie file cannot be replaced.
  SetReadOnly(path, true);
  EXPECT_FALSE(info.UpdateCookie("root@example[1].txt", "name1", c));
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("root@example[1].txt", "sid", 4));
  EXPECT_TRUE(info.ApplyDeletions().empty());
  SetReadOnly(path, false);
  EXPECT_EQ(ReadFileBytes(path), before);

  // Every temporary name taken: nothing is written, and the files that hold
  // those names are left alone.
  for (int n = 1; n <= 1000; ++n) work_.Write("$TMP$_" + std::to_string(n), "someone else's");
  EXPECT_FALSE(info.UpdateCookie("root@example[1].txt", "name1", c));
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(ReadFileBytes(work_.File("$TMP$_1")), "someone else's");

  // With a free name the edit goes through and leaves no temporary file.
  DeleteFileA(work_.File("$TMP$_7").c_str());
  EXPECT_TRUE(info.UpdateCookie("root@example[1].txt", "name1", c));
  EXPECT_FALSE(FileExists(work_.File("$TMP$_7")));
  EXPECT_NE(ReadFileBytes(path), before);
}

using IECookieDelete = test::TIECookieFolderTest;

TEST_F(IECookieDelete, WholeFilesGoAndPartialFilesAreBlanked) {
  CopyFixtureFolder("folder");
  DeleteFileA(dir_.File("Low\\deeper\\root@example[1].txt").c_str());
  const std::string example = dir_.File("root@example[1].txt");
  const std::string crlf = dir_.File("root@crlf[2].TXT");
  const size_t exampleSize = ReadFileBytes(example).size();
  SetReadOnly(crlf, true);  // a read-only cookie file is still deleted
  TCookieInfo info(dir_.Path());
  for (int i = 0; i < info.GetFoundFileCount(); ++i) {
    TCookieInfoDetails d;
    info.GetFileDetails(i, d);
  }
  EXPECT_FALSE(TCookieInfo(dir_.Path()).MarkCookieForDeletion("root@crlf[2].TXT", "crlf", 1));  // no ClearDeletions
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("root@example[1].txt", "sid", 7));
  ASSERT_TRUE(info.MarkCookieForDeletion("root@crlf[2].TXT", "crlf", 3));
  ASSERT_TRUE(info.MarkCookieForDeletion("ROOT@OTHER[1].TXT", "o", 5));
  EXPECT_EQ(info.ApplyDeletions(), (std::vector<intptr_t>{3, 5, 7}));
  EXPECT_FALSE(FileExists(crlf));
  EXPECT_FALSE(FileExists(dir_.File("Low\\root@other[1].txt")));
  EXPECT_EQ(info.GetFileCount(), 1);
  EXPECT_EQ(ReadFileBytes(example).size(), exampleSize);
  EXPECT_EQ(Names(Details(info, "root@example[1].txt")), std::vector<std::string>{"name1"});
  // A new store sees the same.
  TCookieInfo again(dir_.Path());
  EXPECT_EQ(Names(Details(again, "root@example[1].txt")), std::vector<std::string>{"name1"});
}

TEST_F(IECookieDelete, FileInUseIsReportedAndKept) {
  const std::string path = CopyFixtureFile("folder\\root@crlf[2].TXT", "root@crlf[2].TXT");
  std::vector<std::string> shown;
  TTellUserScope answer([&](const std::string& text) { shown.push_back(text); });
  TCookieInfo info(dir_.Path());
  Details(info, "root@crlf[2].TXT");
  HANDLE open = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  info.ClearDeletions();
  info.MarkCookieForDeletion("root@crlf[2].TXT", "crlf", 0);
  EXPECT_TRUE(info.ApplyDeletions().empty());
  CloseHandle(open);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "There was a problem deleting cookie file: " + path +
                          "\r\nBefore trying again close all instances of Internet Explorer.");
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(info.IndexOfFile("root@crlf[2].TXT"), 0);
}

TEST_F(IECookieDelete, AFailedBlankLeavesTheCountSoNothingUnmarkedIsDeletedLater) {
  const std::string path = CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  const std::string before = ReadFileBytes(path);
  TCookieInfo info(dir_.Path());
  ASSERT_EQ(Details(info, "root@example[1].txt").Cookies.size(), 2u);
  // Blanking "sid" fails twice; the second try must not take the file for
  // one whose every cookie is marked, which would delete "name1" with it.
  SetReadOnly(path, true);
  for (int round = 0; round < 2; ++round) {
    info.ClearDeletions();
    ASSERT_TRUE(info.MarkCookieForDeletion("root@example[1].txt", "sid", 4));
    EXPECT_TRUE(info.ApplyDeletions().empty()) << round;
  }
  SetReadOnly(path, false);
  EXPECT_EQ(ReadFileBytes(path), before);
}

const char* const kRecordTimes = "885243904\n31740926\n2916345600\n30121421\n*\n";

std::string Record(const std::string& name, const std::string& value, const std::string& hostPath) {
  return name + "\n" + value + "\n" + hostPath + "\n0\n" + kRecordTimes;
}

TEST_F(IECookieDelete, TheCountFollowsTheRecordsReallyBlanked) {
  const std::string path = dir_.Write("three@example[1].txt", Record("a", "1", "example.com/") +
                                                                 Record("b", "2", "example.com/") +
                                                                 Record("c", "3", "example.com/"));
  TCookieInfo info(dir_.Path());
  ASSERT_EQ(Details(info, "three@example[1].txt").Cookies.size(), 3u);
  info.ClearDeletions();
  info.MarkCookieForDeletion("three@example[1].txt", "a", 1);
  info.MarkCookieForDeletion("three@example[1].txt", "b", 2);
  EXPECT_EQ(info.ApplyDeletions(), (std::vector<intptr_t>{1, 2}));
  // One cookie is left, so marking it removes the file.
  info.ClearDeletions();
  info.MarkCookieForDeletion("three@example[1].txt", "c", 3);
  EXPECT_EQ(info.ApplyDeletions(), std::vector<intptr_t>{3});
  EXPECT_FALSE(FileExists(path));
}

TEST_F(IECookieDelete, AFileThatCannotBeReadIsNotWrittenBack) {
  const std::string path = CopyFixtureFile("folder\\root@example[1].txt", "root@example[1].txt");
  TCookieInfo info(dir_.Path());
  Details(info, "root@example[1].txt");
  // After the scan the file has grown past what a cookie file can be.
  const LONGLONG grown = 65536;
  {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = grown;
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
  }
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("root@example[1].txt", "sid", 4));
  EXPECT_TRUE(info.ApplyDeletions().empty());
  WIN32_FILE_ATTRIBUTE_DATA a;
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a));
  EXPECT_EQ((static_cast<LONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow, grown);
}

TEST_F(IECookieDelete, MarksMatchNameAndHostPath) {
  // One file, two cookies of one name on two paths.
  const std::string first = Record("id", "a", "example.com/");
  const std::string path =
      dir_.Write("same@example[1].txt", first + Record("id", "b", "example.com/shop/") + Record("x", "c", "example.com/"));
  TCookieInfo info(dir_.Path());
  ASSERT_EQ(Details(info, "same@example[1].txt").Cookies.size(), 3u);
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("same@example[1].txt", "id", "example.com/shop/", 1));
  ASSERT_TRUE(info.MarkCookieForDeletion("same@example[1].txt", "id", "example.com/gone/", 2));
  EXPECT_EQ(info.ApplyDeletions(), std::vector<intptr_t>{1});  // no tag for a mark that matched nothing
  const std::string after = ReadFileBytes(path);
  EXPECT_EQ(after, first + "  \n \nexample.com/shop/\n0\n000000000\n00000000\n2916345600\n30121421\n*\n" +
                       Record("x", "c", "example.com/"));
  TCookieInfoDetails d = Details(info, "same@example[1].txt");
  ASSERT_EQ(Names(d), (std::vector<std::string>{"id", "x"}));
  EXPECT_EQ(d.Cookies[0].Value, "a");

  // Nothing matched: no tag, and the file is not rewritten.
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("same@example[1].txt", "x", "example.com/shop/", 3));
  EXPECT_TRUE(info.ApplyDeletions().empty());
  EXPECT_EQ(ReadFileBytes(path), after);
  // The count is still two, so both marks of the file delete it.
  info.ClearDeletions();
  ASSERT_TRUE(info.MarkCookieForDeletion("same@example[1].txt", "id", "example.com/", 5));
  ASSERT_TRUE(info.MarkCookieForDeletion("same@example[1].txt", "x", "example.com/", 6));
  EXPECT_EQ(info.ApplyDeletions(), (std::vector<intptr_t>{5, 6}));
  EXPECT_FALSE(FileExists(path));
}

uint64_t WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (static_cast<uint64_t>(a.ftLastWriteTime.dwHighDateTime) << 32) | a.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::string& path, uint64_t time) {
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  const FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
}

using IECookieReread = test::TIECookieFolderTest;

// A store takes the records of a file it read before while the listing shows
// the file unchanged. Each case changes the file between a first store's read
// and a second store's, in a way that a check of size and times alone could
// miss; the second store must show what the file holds.
TEST_F(IECookieReread, AChangedFileIsReadAgain) {
  const uint64_t old = 132000000000000000ull;  // 2019: long settled
  const std::string rest = Record("x", "keep", "example.com/");
  const std::string before = Record("id", "aaaa", "example.com/") + rest;
  const std::string same = Record("id", "bbbb", "example.com/") + rest;  // the same size
  struct Case {
    const char* what;
    bool writtenJustBefore;  // the file's time is that of the first read
    std::function<void(TCookieInfo&, const std::string&)> change;
    const char* want;
  };
  const Case cases[] = {
      {"rewritten, another size", false,
       [&](TCookieInfo&, const std::string&) { dir_.Write("c@example[1].txt", Record("id", "longer value", "example.com/") + rest); },
       "longer value"},
      {"rewritten, same size, a later settled time", false,
       [&](TCookieInfo&, const std::string& path) {
         dir_.Write("c@example[1].txt", same);
         SetWriteTime(path, old + 10000000);
       },
       "bbbb"},
      {"rewritten, same size, the write time set back", false,
       [&](TCookieInfo&, const std::string& path) {
         dir_.Write("c@example[1].txt", same);
         SetWriteTime(path, old);
       },
       "bbbb"},
      {"rewritten, same size and time, first read just after a write", true,
       [&](TCookieInfo&, const std::string& path) {
         const uint64_t t = WriteTime(path);
         dir_.Write("c@example[1].txt", same);
         SetWriteTime(path, t);
       },
       "bbbb"},
      {"edited by the store, time set back", false,
       [&](TCookieInfo& first, const std::string& path) {
         TCookieValueInfo c = Edit("id", "cccc", false, false, 0);
         c.KeepExpiry = true;
         ASSERT_TRUE(first.UpdateCookie("c@example[1].txt", "id", "example.com/", c));
         SetWriteTime(path, old);
       },
       "cccc"},
      {"blanked by the store, time set back", false,
       [&](TCookieInfo& first, const std::string& path) {
         first.ClearDeletions();
         ASSERT_TRUE(first.MarkCookieForDeletion("c@example[1].txt", "id", "example.com/", 1));
         ASSERT_EQ(first.ApplyDeletions(), std::vector<intptr_t>{1});
         SetWriteTime(path, old);
       },
       nullptr},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const std::string path = dir_.Write("c@example[1].txt", before);
    if (!k.writtenJustBefore) SetWriteTime(path, old);
    TCookieInfo first(dir_.Path());
    ASSERT_EQ(Details(first, "c@example[1].txt").Cookies.at(0).Value, "aaaa");
    k.change(first, path);
    TCookieInfo second(dir_.Path());
    const TCookieInfoDetails d = Details(second, "c@example[1].txt");
    if (k.want) {
      ASSERT_EQ(d.Cookies.size(), 2u);
      EXPECT_EQ(d.Cookies[0].Value, k.want);
    } else {
      EXPECT_EQ(Names(d), std::vector<std::string>{"x"});
    }
    EXPECT_EQ(Names(d).back(), "x");
  }
}

using IECookieReadInTurn = test::TIECookieFolderTest;

// What a store gives for each file, fields and all, keyed by folder and name.
std::map<std::string, std::string> Everything(TCookieInfo& info, bool backwards) {
  std::map<std::string, std::string> out;
  const int n = info.GetFoundFileCount();
  for (int k = 0; k < n; ++k) {
    const int i = backwards ? n - 1 - k : k;
    TCookieInfoDetails d;
    info.GetFileDetails(i, d);
    if (d.FileName.empty()) continue;
    std::string& text = out[d.Folder + "|" + d.FileName];
    text = std::to_string(d.FileSize) + " " + std::to_string(d.FileDate) + "\n";
    for (const TCookieValueInfo& c : d.Cookies)
      text += c.Name + "|" + c.Value + "|" + c.HostPath + "|" + c.Flags + "|" + std::to_string(c.Created) + "|" +
              std::to_string(c.Expires) + "|" + c.CreatedLowText + "|" + c.CreatedHighText + "|" + c.ExpiresLowText +
              "|" + c.ExpiresHighText + "\n";
  }
  return out;
}

// A page load reads the files one after the other, and the store reads the
// next ones ahead on threads of its own: each file must still give what a
// read of that file alone gives, whichever folder it lies in, also when it
// went or grew past a cookie file's size after the folder was listed.
TEST_F(IECookieReadInTurn, GivesWhatReadsOneByOneGive) {
  for (int i = 0; i < 300; ++i) {
    std::string bytes = Record("c" + std::to_string(i), std::string(static_cast<size_t>(i % 37), 'v'), "example.com/");
    if (i % 3 == 0) bytes += Record("second", std::to_string(i), "example.com/p/");
    dir_.Write("u@h" + std::to_string(i) + "[1].txt", bytes);
  }
  ASSERT_TRUE(CreateDirectoryA(dir_.File("Low").c_str(), nullptr));
  for (int i = 0; i < 40; ++i)
    dir_.Write("Low\\u@low" + std::to_string(i) + "[1].txt", Record("l" + std::to_string(i), "low", "low.example/"));
  dir_.Write("Low\\u@h7[1].txt", Record("shadowed", "no", "example.com/"));

  TCookieInfo inTurn(dir_.Path());
  TCookieInfo oneByOne(dir_.Path());
  ASSERT_EQ(inTurn.GetFileCount(), 340);
  DeleteFileA(dir_.File("u@h150[1].txt").c_str());
  dir_.Write("u@h151[1].txt", std::string(65536, 'x'));

  const auto read = Everything(inTurn, false);
  EXPECT_EQ(read, Everything(oneByOne, true));
  ASSERT_EQ(read.size(), 340u);
  EXPECT_NE(read.at(dir_.Path() + "|u@h297[1].txt").find("second|297|"), std::string::npos);
  EXPECT_NE(read.at(dir_.Path() + "\\Low|u@low39[1].txt").find("l39|low|"), std::string::npos);
  EXPECT_EQ(read.at(dir_.Path() + "|u@h150[1].txt").find('|'), std::string::npos);  // gone: no records
  EXPECT_EQ(read.at(dir_.Path() + "|u@h151[1].txt").find('|'), std::string::npos);  // grown: none either
}

// An edit or a delete half way through the files must show in the files
// after it, which the threads may have read already; a second store that
// finds some files kept from the first reads again only those changed.
TEST_F(IECookieReadInTurn, ChangesOnTheWayAreSeen) {
  const uint64_t old = 132000000000000000ull;  // long settled: kept from one store to the next
  for (int i = 0; i < 260; ++i)
    SetWriteTime(dir_.Write("u@h" + std::to_string(1000 + i) + "[1].txt",
                            Record("id", "before" + std::to_string(i), "example.com/") + Record("x", "keep", "example.com/")),
                 old);
  TCookieInfo info(dir_.Path());
  std::map<std::string, std::string> values;
  for (int i = 0; i < info.GetFoundFileCount(); ++i) {
    if (i == 60) {
      TCookieValueInfo c = Edit("id", "edited", false, false, 0);
      c.KeepExpiry = true;
      ASSERT_TRUE(info.UpdateCookie("u@h1200[1].txt", "id", "example.com/", c));
      // One record of a file ahead, and the whole of a file behind, which
      // moves every later file one place up the list.
      info.ClearDeletions();
      ASSERT_TRUE(info.MarkCookieForDeletion("u@h1250[1].txt", "id", "example.com/", 1));
      ASSERT_TRUE(info.MarkCookieForDeletion("u@h1010[1].txt", "id", "example.com/", 2));
      ASSERT_TRUE(info.MarkCookieForDeletion("u@h1010[1].txt", "x", "example.com/", 3));
      ASSERT_EQ(info.ApplyDeletions(), (std::vector<intptr_t>{1, 2, 3}));
      ASSERT_FALSE(FileExists(dir_.File("u@h1010[1].txt")));
    }
    TCookieInfoDetails d;
    info.GetFileDetails(i, d);
    if (d.FileName.empty()) continue;
    ASSERT_FALSE(d.Cookies.empty()) << d.FileName;
    const std::string value = d.Cookies[0].Value;
    values[d.FileName] = value;
    const std::string number = d.FileName.substr(4, 3);
    if (number != "200" && number != "250") {
      EXPECT_EQ(value, "before" + std::to_string(std::stoi(number))) << i;
    }
  }
  EXPECT_EQ(values["u@h1200[1].txt"], "edited   ");  // the record keeps its value's length
  EXPECT_EQ(values["u@h1250[1].txt"], "keep");        // its first record blanked: no cookie any more
  EXPECT_EQ(values["u@h1201[1].txt"], "before201");

  // Rewritten behind the store's back, same size, the time set back.
  for (int i : {3, 130, 131, 258}) {
    const std::string path = dir_.Write("u@h" + std::to_string(1000 + i) + "[1].txt",
                                        Record("id", "after_" + std::to_string(i), "example.com/") +
                                            Record("x", "keep", "example.com/"));
    SetWriteTime(path, old);
  }
  TCookieInfo second(dir_.Path());
  for (int i = 0; i < second.GetFoundFileCount(); ++i) {
    TCookieInfoDetails d;
    second.GetFileDetails(i, d);
    ASSERT_FALSE(d.Cookies.empty()) << d.FileName;
    values[d.FileName] = d.Cookies[0].Value;
  }
  EXPECT_EQ(values["u@h1003[1].txt"], "after_3");
  EXPECT_EQ(values["u@h1130[1].txt"], "after_130");
  EXPECT_EQ(values["u@h1258[1].txt"], "after_258");
  EXPECT_EQ(values["u@h1004[1].txt"], "before4");
  EXPECT_EQ(values["u@h1200[1].txt"], "edited   ");
  EXPECT_EQ(values["u@h1250[1].txt"], "keep");
}

TEST_F(IECookieEdit, EditsTheRecordOfItsPathAndCanKeepTheExpiry) {
  const std::string first = Record("id", "a", "example.com/");
  const std::string path = dir_.Write("same@example[1].txt", first + Record("id", "b", "example.com/shop/"));
  TCookieInfo info(dir_.Path());
  // The dialog could not show the date: the expiry texts are written back as they were.
  TCookieValueInfo c = Edit("id", "z", true, false, 0);
  c.KeepExpiry = true;
  ASSERT_TRUE(info.UpdateCookie("same@example[1].txt", "id", "example.com/shop/", c));
  EXPECT_EQ(ReadFileBytes(path), first + "id\nz\nexample.com/shop/\n1\n" + kRecordTimes);
  EXPECT_FALSE(info.UpdateCookie("same@example[1].txt", "id", "example.com/none/", c));
  // Without the flag the expiry is the one given.
  ASSERT_TRUE(info.UpdateCookie("same@example[1].txt", "id", "example.com/", Edit("id", "y", false, false, 0)));
  EXPECT_EQ(ReadFileBytes(path).substr(0, first.size()),
            "id\ny\nexample.com/\n0\n0000000000000000\n0\n2916345600\n30121421\n*\n");
}

TEST(IECookieFolders, ProfilesAndTheCurrentUser) {
  std::string current;
  GetSpecialFolderPath(nullptr, csidlCookies, current);
  current += "\\";
  // A profile that has a "cookies" folder is listed under its name.
  std::string publicDir;
  for (const std::string& p : GetProfileFolders())
    if (p.size() >= 7 && _stricmp(p.substr(p.size() - 7).c_str(), "Public\\") == 0) publicDir = p;
  ASSERT_FALSE(publicDir.empty());
  const std::string publicCookies = publicDir + "cookies\\";
  const bool made = CreateDirectoryA(publicCookies.c_str(), nullptr) != 0;

  std::vector<tIEProfileInfo> list = GetIECookieFolders();
  if (made) RemoveDirectoryA(publicCookies.c_str());
  int defaults = 0;
  bool sawPublic = false;
  for (const tIEProfileInfo& p : list) {
    EXPECT_EQ(p.Folder.back(), '\\');
    EXPECT_FALSE(p.IsManual);
    if (p.IsDefault) {
      ++defaults;
      EXPECT_EQ(_stricmp(p.Folder.c_str(), current.c_str()), 0) << p.Folder;
    }
    if (p.UserName == "Public") {
      sawPublic = true;
      EXPECT_EQ(p.Folder, publicCookies);
      EXPECT_FALSE(p.IsDefault);
    }
  }
  EXPECT_EQ(defaults, 1);
  EXPECT_TRUE(sawPublic);
}

}  // namespace
}  // namespace morvane
