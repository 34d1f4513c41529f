#include "platform/core/replace_file.h"

#include <algorithm>

#include "platform/core/files.h"

namespace morvane {

TReplaceFile::TReplaceFile(std::string Target, const std::function<std::string(int)>& TempNameFor, int Tries)
    : target_(std::move(Target)) {
  const DWORD attrs = ::GetFileAttributesA(target_.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    Fail(TStep::Target, ERROR_ACCESS_DENIED);
    return;
  }
  DWORD error = 0;
  file_ = CreateNewNumberedFile(TempNameFor, temp_, error, Tries);
  if (!file_) {
    temp_.clear();
    Fail(TStep::Create, error);
  }
}

TReplaceFile::~TReplaceFile() {
  file_.Reset();
  if (!committed_ && !temp_.empty()) ::DeleteFileA(temp_.c_str());
}

bool TReplaceFile::Fail(TStep step, DWORD error) {
  if (step_ == TStep::None) {
    step_ = step;
    error_ = error ? error : ERROR_WRITE_FAULT;  // a failure never reads as success
  }
  return false;
}

bool TReplaceFile::Write(std::string_view Bytes) {
  if (!Ok()) return false;
  while (!Bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Bytes.size(), 1u << 24));
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), Bytes.data(), chunk, &written, nullptr) || written == 0)
      return Fail(TStep::Write, ::GetLastError());
    Bytes.remove_prefix(written);
  }
  return true;
}

bool TReplaceFile::Commit() {
  if (!Ok()) return false;
  if (!::FlushFileBuffers(file_.Get())) return Fail(TStep::Write, ::GetLastError());
  if (!::CloseHandle(file_.Detach())) return Fail(TStep::Write, ::GetLastError());
  if (!::MoveFileExA(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
    return Fail(TStep::Replace, ::GetLastError());
  committed_ = true;
  return true;
}

}  // namespace morvane
