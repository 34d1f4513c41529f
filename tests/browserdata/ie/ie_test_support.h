// Cookie folders for the store tests: fixture copies in a temp folder, and a
// working folder of their own for the store's temporary files.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane::test {

inline void CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + "\\" + name, to + "\\" + name);
    else
      CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Each test gets a cookie folder (Dir) and runs in a working folder of its own
// (Work), where the store writes its temporary files.
class TIECookieFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedCwd_ = cwd;
    ASSERT_TRUE(SetCurrentDirectoryA(work_.Path().c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(savedCwd_.c_str()); }

  // The fixture folder tests/fixtures/ie/<rel> copied into Dir.
  std::string CopyFixtureFolder(const std::string& rel) {
    CopyTree(FixturePath("ie\\" + rel), dir_.Path());
    return dir_.Path();
  }
  // The fixture file tests/fixtures/ie/<name> copied into Dir as <as>.
  std::string CopyFixtureFile(const std::string& name, const std::string& as) {
    const std::string to = dir_.File(as);
    CopyFileA(FixturePath("ie\\" + name).c_str(), to.c_str(), FALSE);
    return to;
  }

  TTempDir dir_;
  TTempDir work_;
  std::string savedCwd_;
};

}  // namespace morvane::test
