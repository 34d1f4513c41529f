#include "platform/core/files.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace morvane {
namespace {

std::set<std::string> Found(const std::string& mask, int attr) {
  std::set<std::string> names;
  TSearchRec sr;
  if (FindFirst(mask, attr, sr) == 0) {
    do {
      if (sr.Name != "." && sr.Name != "..") names.insert(sr.Name);
    } while (FindNext(sr) == 0);
    FindClose(sr);
  }
  return names;
}

TEST(FindFirst, ReturnsSpecialEntriesOnlyWhenTheMaskHasThem) {
  test::TTempDir dir;
  dir.Write("plain.txt", "p");
  dir.Write("ro.txt", "r");
  dir.Write("hidden.txt", "h");
  dir.Write("system.txt", "s");
  ASSERT_TRUE(ForceDirectories(dir.File("sub")));
  ASSERT_EQ(FileSetAttr(dir.File("ro.txt"), faReadOnly), 0);
  ASSERT_EQ(FileSetAttr(dir.File("hidden.txt"), faHidden), 0);
  ASSERT_EQ(FileSetAttr(dir.File("system.txt"), faSysFile | faArchive), 0);

  struct Case {
    const char* name;
    int attr;
    std::set<std::string> expected;
  };
  const Case cases[] = {
      {"none", 0, {"plain.txt", "ro.txt"}},
      {"read-only-never-filters", faReadOnly, {"plain.txt", "ro.txt"}},
      {"archive-never-filters", faArchive, {"plain.txt", "ro.txt"}},
      {"hidden", faHidden, {"plain.txt", "ro.txt", "hidden.txt"}},
      {"system", faSysFile, {"plain.txt", "ro.txt", "system.txt"}},
      {"directory", faDirectory, {"plain.txt", "ro.txt", "sub"}},
      {"0x36", 0x36, {"plain.txt", "ro.txt", "hidden.txt", "system.txt", "sub"}},
      {"0x17", 0x17, {"plain.txt", "ro.txt", "hidden.txt", "system.txt", "sub"}},
      {"any", faAnyFile, {"plain.txt", "ro.txt", "hidden.txt", "system.txt", "sub"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Found(dir.File("*.*"), c.attr), c.expected) << c.name;

  ASSERT_EQ(FileSetAttr(dir.File("ro.txt"), 0), 0);
}

TEST(FindFirst, FillsTheRecordAndReportsNoMatch) {
  test::TTempDir dir;
  dir.Write("data.bin", std::string(300, 'x'));
  TSearchRec sr;
  ASSERT_EQ(FindFirst(dir.File("*.bin"), faAnyFile, sr), 0);
  EXPECT_EQ(sr.Name, "data.bin");
  EXPECT_EQ(sr.Size, 300);
  EXPECT_EQ(sr.Attr & faDirectory, 0);
  EXPECT_EQ(sr.Time, FileAge(dir.File("data.bin")));
  EXPECT_NE(sr.Time, 0);
  EXPECT_EQ(FindNext(sr), ERROR_NO_MORE_FILES);
  FindClose(sr);

  TSearchRec none;
  EXPECT_EQ(FindFirst(dir.File("*.none"), faAnyFile, none), ERROR_FILE_NOT_FOUND);
  // A hidden file alone under a mask without faHidden is "no more files".
  dir.Write("h.dat", "h");
  FileSetAttr(dir.File("h.dat"), faHidden);
  EXPECT_NE(FindFirst(dir.File("*.dat"), 0, none), 0);
}

TEST(Files, ExistenceAttributesAndFolders) {
  test::TTempDir dir;
  const std::string f = dir.Write("a.txt", "abc");
  EXPECT_TRUE(FileExists(f));
  EXPECT_FALSE(FileExists(dir.Path()));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(f));
  EXPECT_EQ(FileSize(f), 3);
  EXPECT_EQ(FileGetAttr(dir.File("missing")), -1);
  EXPECT_EQ(FileAge(dir.Path()), -1);

  const std::string deep = dir.File("x\\y\\z\\");
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(dir.File("x\\y\\z")));
  EXPECT_THROW(ForceDirectories(""), EInOutError);

  EXPECT_TRUE(RenameFile(f, dir.File("b.txt")));
  EXPECT_FALSE(FileExists(f));
  EXPECT_TRUE(DeleteFile(dir.File("b.txt")));
  EXPECT_FALSE(DeleteFile(dir.File("b.txt")));

  const std::string self = ProgramFileName();
  EXPECT_TRUE(FileExists(self)) << self;
  EXPECT_EQ(GetTempDir().back(), '\\');
}

TEST(TextFile, ReadsLinesWithTheToolkitsEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"lf", "a\nb\n", {"a", "b"}},
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"no-final-end", "a\r\nb", {"a", "b"}},
      {"empty-last-line", "a\n\n", {"a", ""}},
      {"ctrl-z-is-data", std::string("a\x1a\nb", 4), {std::string("a\x1a", 2), "b"}},
      {"empty-file", "", {}},
  };
  test::TTempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Write(std::string(c.name) + ".txt", c.bytes);
    TTextFileReader r(path);
    std::vector<std::string> got;
    while (!r.Eof()) got.push_back(r.ReadLn());
    EXPECT_EQ(got, c.lines) << c.name;
  }
  EXPECT_THROW(TTextFileReader(dir.File("missing.txt")), EInOutError);
}

TEST(TextFile, WritesExactlyWhatItIsGiven) {
  test::TTempDir dir;
  const std::string path = dir.File("out.txt");
  {
    TTextFileWriter w(path);
    w.Write("one\n");
    w.Write("two\r\n");
    w.Write("three");
    w.Close();
  }
  EXPECT_EQ(test::ReadFileBytes(path), "one\ntwo\r\nthree");
  {
    TTextFileWriter w(path, TTextWriteMode::Append);
    w.Write("\n*\n");
  }  // the destructor flushes
  EXPECT_EQ(test::ReadFileBytes(path), "one\ntwo\r\nthree\n*\n");
  EXPECT_THROW(TTextFileWriter(path, TTextWriteMode::CreateNew), EInOutError);
  TTextFileWriter(path).Close();
  EXPECT_EQ(FileSize(path), 0);
}

TEST(FileStream, ShareModesDecideWhetherASecondOpenerMayWrite) {
  test::TTempDir dir;
  const std::string path = dir.Write("index.dat", "Client UrlCache MMF Ver 5.2");
  struct Case {
    const char* name;
    uint32_t first;
    uint32_t second;
    bool secondOpens;
  };
  const Case cases[] = {
      {"deny-none-lets-a-writer-in", fmOpenRead | fmShareDenyNone, fmOpenReadWrite | fmShareDenyNone, true},
      {"deny-write-keeps-writers-out", fmOpenRead | fmShareDenyWrite, fmOpenReadWrite | fmShareDenyNone, false},
      {"deny-write-lets-readers-in", fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyNone, true},
      {"exclusive", fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {"reader-must-share-with-a-writer", fmOpenReadWrite | fmShareDenyNone, fmOpenRead | fmShareDenyWrite, false},
  };
  for (const auto& c : cases) {
    TFileStream first(path, c.first);
    bool opened = true;
    try {
      TFileStream second(path, c.second);
    } catch (const EFOpenError&) {
      opened = false;
    }
    EXPECT_EQ(opened, c.secondOpens) << c.name;
  }
  // A writer's changes are visible to the deny-none reader.
  TFileStream reader(path, fmOpenRead | fmShareDenyNone);
  {
    TFileStream writer(path, fmOpenReadWrite | fmShareDenyNone);
    writer.WriteBuffer("X", 1);
  }
  char c0 = 0;
  reader.ReadBuffer(&c0, 1);
  EXPECT_EQ(c0, 'X');
  EXPECT_EQ(reader.Size(), 27);
}

TEST(FileStream, ReadsSeeksTruncatesAndReportsErrors) {
  test::TTempDir dir;
  const std::string path = dir.File("f.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("0123456789", 10);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(f.Position(), 4);
  }
  TFileStream f(path, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(f.Seek(-2, soEnd), 2);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "23");
  f.SetPosition(0);
  EXPECT_THROW(f.ReadBuffer(buf, 5), EReadError);
  // A failing system call is an error, never a short count taken for the end.
  EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  {
    TFileStream writeOnly(dir.Write("w.bin", "abc"), fmOpenWrite);
    EXPECT_THROW(writeOnly.Read(buf, 1), EReadError);
  }
  EXPECT_THROW(TFileStream(dir.File("missing"), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.File("no\\such\\dir"), fmCreate), EFCreateError);
  EXPECT_EQ(LoadFileBytes(path), "0123");
}

TEST(MemoryStream, GrowsOnWriteAndCopies) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.Seek(5, soBeginning);
  m.WriteBuffer("z", 1);
  EXPECT_EQ(m.Size(), 6);
  TStringStream s;
  EXPECT_EQ(s.CopyFrom(m, 0), 6);
  EXPECT_EQ(s.DataString(), std::string("abc\0\0z", 6));
  s.SetPosition(1);
  EXPECT_EQ(s.ReadString(2), "bc");
  char c;
  s.SetPosition(6);
  EXPECT_THROW(s.ReadBuffer(&c, 1), EReadError);
}

}  // namespace
}  // namespace morvane
