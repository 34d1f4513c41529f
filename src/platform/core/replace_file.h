// A new version of a file: written to a temporary file of our own, flushed,
// then put in the target's place in one step, so a failure at any point
// leaves the target as it was and no temporary file behind.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/core/handles.h"

namespace morvane {

class TReplaceFile {
 public:
  // The step that failed, for the caller's message.
  enum class TStep { None, Target, Create, Write, Replace };

  // Creates the temporary file under the first free name of TempNameFor(1),
  // TempNameFor(2), ... (never a file someone else made). A read-only target
  // or a folder is refused before anything is created: the system would not
  // let us open it for writing (Wine's move would replace it anyway).
  TReplaceFile(std::string Target, const std::function<std::string(int)>& TempNameFor, int Tries = 1000);
  // Removes the temporary file unless it was committed.
  ~TReplaceFile();
  TReplaceFile(const TReplaceFile&) = delete;
  TReplaceFile& operator=(const TReplaceFile&) = delete;

  // False once a step has failed; Step and Error say which and why.
  bool Ok() const { return step_ == TStep::None; }
  TStep Step() const { return step_; }
  DWORD Error() const { return error_; }
  const std::string& Target() const { return target_; }
  const std::string& TempName() const { return temp_; }

  // Appends Bytes, all of them or fails.
  bool Write(std::string_view Bytes);
  // Flushes and closes the temporary file and moves it over the target
  // (replacing it; across volumes the system copies it). After a failure the
  // target is as it was and the temporary file is removed.
  bool Commit();

 private:
  bool Fail(TStep step, DWORD error);

  std::string target_;
  std::string temp_;
  TWinHandle file_;
  TStep step_ = TStep::None;
  DWORD error_ = 0;
  bool committed_ = false;
};

}  // namespace morvane
