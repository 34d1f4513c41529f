// Where a test finds its fixtures and writes its files.
#pragma once

#include <string>

namespace morvane::test {

// Windows path of tests/fixtures/<rel> (the test prefix maps the source tree to a drive).
std::string FixturePath(const std::string& rel = std::string());
// Folder of the built executables (bin/), where the program's locale folder lies.
std::string BinPath(const std::string& rel = std::string());
// A new empty folder under the prefix's temp folder, removed by the returned
// object's destructor.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return path_; }
  // Path() + "\\" + name
  std::string File(const std::string& name) const;
  // Writes bytes to File(name) and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// Removes a folder and everything in it.
void RemoveFolderTree(const std::string& dir);

// Reads a whole file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

}  // namespace morvane::test
