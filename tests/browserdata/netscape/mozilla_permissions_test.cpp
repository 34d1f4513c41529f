// A profile's permission store on disk: which file it reads, what it writes.
#include <gtest/gtest.h>

#include <string>

#include "browserdata/netscape/mozilla_blocked_entities.h"
#include "platform/core/files.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using test::ReadFileBytes;
using test::TTempDir;

void SetWriteTime(const std::string& file, int minutesFromBase) {
  SYSTEMTIME st = {2024, 5, 0, 10, 12, 0, 0, 0};
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
  u.QuadPart += static_cast<uint64_t>(minutesFromBase) * 60 * 10000000ull;
  ft = {u.LowPart, u.HighPart};
  HANDLE h = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

const char* kCookperm = "# c\nc.test\t0F\n@@@@\t0F\t1F\t2F";
const char* kHostperm = "# h\n\nhost\tcookie\t2\th.test\n";

TEST(MozillaPermissions, ChoosesTheNewerFileAndHostpermOnATie) {
  struct Case {
    const char* name;
    int cookpermAge, hostpermAge;  // minutes; -1 = no such file
    int format;
    const char* host;
  } cases[] = {
      {"none", -1, -1, 2, nullptr}, {"cookperm-only", 0, -1, 0, "c.test"}, {"hostperm-only", -1, 0, 1, "h.test"},
      {"tie", 5, 5, 1, "h.test"},   {"cookperm-newer", 9, 5, 0, "c.test"}, {"hostperm-newer", 5, 9, 1, "h.test"},
  };
  for (const auto& c : cases) {
    TTempDir dir;
    if (c.cookpermAge >= 0) SetWriteTime(dir.Write("cookperm.txt", kCookperm), c.cookpermAge);
    if (c.hostpermAge >= 0) SetWriteTime(dir.Write("hostperm.1", kHostperm), c.hostpermAge);
    TMozillaBlockedEntities p(dir.Path() + "\\");
    EXPECT_EQ(p.GetFormat(), c.format) << c.name;
    EXPECT_EQ(p.Dir, dir.Path()) << c.name;
    EXPECT_EQ(p.GetHosts()->Count(), c.host ? 1 : 0) << c.name;
    if (c.host) {
      EXPECT_NE(p.Find(std::string(".") + c.host), nullptr) << c.name;
    }
  }
}

TEST(MozillaPermissions, NeitherFileSavesBothAndTheNextLoadReadsHostperm) {
  TTempDir dir;
  {
    TMozillaBlockedEntities p(dir.Path());
    ASSERT_EQ(p.GetFormat(), 2);
    auto rec = std::make_unique<tQbBlockedDomain>();
    rec->Kind = "host";
    rec->Host = "new.test";
    rec->Cookie = 2;
    rec->Install = 2;
    p.Add(std::move(rec));
    auto zero = std::make_unique<tQbBlockedDomain>();
    zero->Host = "zero.test";
    p.Add(std::move(zero));
    ASSERT_TRUE(p.Save());
  }
  const std::string cookperm = ReadFileBytes(dir.File("cookperm.txt"));
  EXPECT_NE(cookperm.find("\nnew.test\t0F\n@@@@\t0F\t1F\t2F"), std::string::npos) << cookperm;
  EXPECT_EQ(cookperm.find("zero.test"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir.File("hostperm.1")),
            "# Permision File\n#This is generated file! Do not edit.\n\n"
            "host\tcookie\t2\tnew.test\nhost\tinstall\t2\tnew.test\n");
  TMozillaBlockedEntities again(dir.Path());
  EXPECT_EQ(again.GetFormat(), 1);
  ASSERT_NE(again.Find("NEW.test"), nullptr);
  EXPECT_EQ(again.Find("new.test")->Install, 2);
}

TEST(MozillaPermissions, AFileNameIsReadAsHostperm) {
  TTempDir dir;
  const std::string file = dir.Write("perms.bak", kHostperm);
  TMozillaBlockedEntities p(file);
  EXPECT_EQ(p.GetFormat(), 1);
  EXPECT_NE(p.Find("h.test"), nullptr);
  ASSERT_TRUE(p.Save());
  EXPECT_EQ(ReadFileBytes(dir.File("hostperm.1")), kHostperm);  // written into the file's folder
}

TEST(MozillaPermissions, EditsInMemory) {
  TTempDir dir;
  dir.Write("hostperm.1", "# h\n\nhost\tcookie\t1\tb.test\nhost\tcookie\t2\ta.test\n");
  TMozillaBlockedEntities p(dir.Path());
  ASSERT_EQ(p.GetHosts()->Count(), 2);
  EXPECT_EQ(p.GetHosts()->Strings(0), "a.test");  // sorted
  EXPECT_FALSE(p.DeleteHost("missing.test"));
  EXPECT_EQ(p.GetHosts()->Count(), 2);
  EXPECT_FALSE(p.DeleteAt(-1));
  // The listed record itself, edited in place and added again, stays.
  PQbBlockedDomain live = p.Find("a.test");
  live->Popup = 2;
  p.Add(live);
  EXPECT_EQ(p.Find("a.test"), live);
  EXPECT_EQ(p.GetHosts()->Count(), 2);
  // A new record of a listed host replaces it.
  auto other = std::make_unique<tQbBlockedDomain>();
  other->Kind = "host";
  other->Host = "A.TEST";
  other->Image = 1;
  PQbBlockedDomain raw = other.get();
  p.Add(std::move(other));
  EXPECT_EQ(p.Find("a.test"), raw);
  EXPECT_TRUE(p.DeleteHost(".b.test"));
  EXPECT_EQ(p.GetHosts()->Count(), 1);
}

// Hosts that only sort together stay apart; only case makes two names one.
TEST(MozillaPermissions, HostsDifferingInPunctuationStayApart) {
  TTempDir dir;
  dir.Write("hostperm.1",
            "# h\n\nhost\tcookie\t2\tco-op.test\nhost\tcookie\t1\tcoop.test\nhost\timage\t2\tCOOP.test\n"
            "host\tcookie\t2\tco'op.test\n");
  TMozillaBlockedEntities p(dir.Path());
  ASSERT_EQ(p.GetHosts()->Count(), 3);
  EXPECT_EQ(p.Find("co-op.test")->Cookie, 2);
  EXPECT_EQ(p.Find("coop.test")->Cookie, 1);
  EXPECT_EQ(p.Find("coop.test")->Image, 2);
  EXPECT_EQ(p.Find("co'op.test")->Cookie, 2);
}

TEST(MozillaPermissions, AFailedSaveLeavesTheFileAsItWas) {
  TTempDir dir;
  const std::string file = dir.Write("hostperm.1", kHostperm);
  TMozillaBlockedEntities p(dir.Path());
  p.DeleteHost("h.test");
  ASSERT_EQ(FileSetAttr(file, FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_FALSE(p.Save());
  FileSetAttr(file, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(file), kHostperm);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir.Path() + "\\*TMP*").c_str(), &fd);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "temporary file left: " << fd.cFileName;
  if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
}

}  // namespace
}  // namespace morvane
