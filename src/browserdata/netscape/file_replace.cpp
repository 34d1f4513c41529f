#include "browserdata/netscape/file_replace.h"

#include <algorithm>

#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/handles.h"
#include "platform/win32.h"

namespace morvane {
namespace {

// Removes the temporary file unless it was moved into place.
class TTempFile {
 public:
  ~TTempFile() {
    file_.Reset();
    if (!name_.empty() && !committed_) DeleteFileA(name_.c_str());
  }
  bool Create(const std::string& target) {
    file_ = CreateNewNumberedFile([&](int n) { return target + ".$TMP$_" + std::to_string(n); }, name_, error_);
    return static_cast<bool>(file_);
  }
  HANDLE Handle() const { return file_.Get(); }
  void Close() { file_.Reset(); }
  const std::string& Name() const { return name_; }
  DWORD Error() const { return error_; }
  void Commit() { committed_ = true; }

 private:
  TWinHandle file_;
  std::string name_;
  DWORD error_ = 0;
  bool committed_ = false;
};

[[noreturn]] void Fail(const std::string& what, const std::string& file, DWORD error) {
  if (error == 0) error = ERROR_WRITE_FAULT;  // a failure never reads as success
  throw EWriteError(what + " \"" + file + "\": " + SysErrorMessage(error));
}

}  // namespace

void ReplaceFileBytes(const std::string& FileName, std::string_view Bytes) {
  // A read-only file is not rewritten, as it could not be opened for writing
  // (Wine's MoveFileEx would replace it anyway).
  const DWORD attr = GetFileAttributesA(FileName.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    Fail("Cannot write", FileName, ERROR_ACCESS_DENIED);
  TTempFile temp;
  if (!temp.Create(FileName)) Fail("Cannot create a temporary file for", FileName, temp.Error());
  size_t done = 0;
  while (done < Bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Bytes.size() - done, 1u << 24));
    DWORD written = 0;
    if (!WriteFile(temp.Handle(), Bytes.data() + done, chunk, &written, nullptr) || written == 0)
      Fail("Cannot write", temp.Name(), GetLastError());
    done += written;
  }
  temp.Close();
  if (!MoveFileExA(temp.Name().c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    Fail("Cannot replace", FileName, GetLastError());
  temp.Commit();
}

}  // namespace morvane
