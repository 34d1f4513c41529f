// Replacing a file through a temporary one: after every failure the target
// is as it was and no temporary file is left.
#include "platform/core/replace_file.h"

#include <gtest/gtest.h>

#include "platform/core/files.h"
#include "support/test_env.h"

namespace morvane {
namespace {

using test::ReadFileBytes;
using test::TTempDir;

int CountFiles(const TTempDir& dir) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(dir.File("*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (FindNextFileA(h, &fd));
  ::FindClose(h);
  return n;
}

TEST(ReplaceFile, ReplacesTheTargetInOneStep) {
  TTempDir dir;
  const std::string target = dir.Write("data.txt", "old contents, longer than the new");
  {
    TReplaceFile file(target, [&](int n) { return target + ".tmp" + std::to_string(n); });
    ASSERT_TRUE(file.Ok());
    EXPECT_EQ(file.TempName(), target + ".tmp1");
    EXPECT_TRUE(file.Write("new "));
    EXPECT_TRUE(file.Write("bytes"));
    EXPECT_EQ(ReadFileBytes(target), "old contents, longer than the new");  // nothing changes before the commit
    EXPECT_TRUE(file.Commit());
  }
  EXPECT_EQ(ReadFileBytes(target), "new bytes");
  EXPECT_EQ(CountFiles(dir), 1);
  // A target that does not exist yet is made.
  TReplaceFile fresh(dir.File("made.txt"), [&](int n) { return dir.File("m" + std::to_string(n)); });
  EXPECT_TRUE(fresh.Write("") && fresh.Commit());
  EXPECT_TRUE(FileExists(dir.File("made.txt")));
}

TEST(ReplaceFile, EveryFailureLeavesTheTargetAndNoTemporaryFile) {
  TTempDir dir, other;
  const std::string target = dir.Write("data.txt", "old");

  // Not committed: the temporary file goes with the object.
  {
    TReplaceFile file(target, [&](int n) { return target + ".tmp" + std::to_string(n); });
    EXPECT_TRUE(file.Write("half"));
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(CountFiles(dir), 1);

  // A read-only target is refused before anything is made.
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TReplaceFile file(target, [&](int n) { return target + ".tmp" + std::to_string(n); });
    EXPECT_FALSE(file.Ok());
    EXPECT_EQ(file.Step(), TReplaceFile::TStep::Target);
    EXPECT_EQ(file.Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Commit());
  }
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(CountFiles(dir), 1);

  // Every temporary name taken: files that hold them are not touched.
  for (int n = 1; n <= 3; ++n) other.Write("t" + std::to_string(n), "someone else's");
  {
    TReplaceFile file(target, [&](int n) { return other.File("t" + std::to_string(n)); }, 3);
    EXPECT_EQ(file.Step(), TReplaceFile::TStep::Create);
    EXPECT_EQ(file.Error(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_FALSE(file.Commit());
  }
  EXPECT_EQ(ReadFileBytes(other.File("t1")), "someone else's");
  EXPECT_EQ(CountFiles(other), 3);

  // The move fails (the target's folder is gone): the written temporary file
  // is removed and the error is the system's.
  {
    TReplaceFile file(dir.File("no-such-folder\\data.txt"), [&](int n) { return other.File("u" + std::to_string(n)); });
    ASSERT_TRUE(file.Ok());
    EXPECT_TRUE(file.Write("bytes"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(file.Step(), TReplaceFile::TStep::Replace);
    EXPECT_NE(file.Error(), 0u);
  }
  EXPECT_EQ(CountFiles(other), 3);
  EXPECT_EQ(ReadFileBytes(target), "old");
}

}  // namespace
}  // namespace morvane
