#include "browserdata/netscape/file_replace.h"

#include <optional>

#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/replace_file.h"

namespace morvane {

void ReplaceFileBytes(const std::string& FileName, std::string_view Bytes) {
  ReplaceFileWith(FileName, [&](const TBytesSink& put) { put(Bytes); });
}

void ReplaceFileWith(const std::string& FileName, const std::function<void(const TBytesSink&)>& Produce) {
  std::optional<TReplaceFile> file;
  auto open = [&] {
    if (!file) file.emplace(FileName, [&](int n) { return FileName + ".$TMP$_" + std::to_string(n); });
  };
  // After a failed step the rest is not written; Commit reports the step.
  Produce([&](std::string_view piece) {
    open();
    file->Write(piece);
  });
  open();
  if (file->Commit()) return;
  std::string what = "Cannot write";
  std::string name = FileName;
  switch (file->Step()) {
    case TReplaceFile::TStep::Create: what = "Cannot create a temporary file for"; break;
    case TReplaceFile::TStep::Write: name = file->TempName(); break;
    case TReplaceFile::TStep::Replace: what = "Cannot replace"; break;
    default: break;
  }
  throw EWriteError(what + " \"" + name + "\": " + SysErrorMessage(file->Error()));
}

}  // namespace morvane
