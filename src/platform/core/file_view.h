// The bytes of a whole file, to read once: large files are mapped into
// memory rather than copied into a buffer of our own. Fresh memory for a
// copy costs more than reading the file (every page of it is new to the
// process), and a file of 10 MB read again after each edit paid that twice.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/handles.h"

namespace morvane {

class TFileView {
 public:
  TFileView() = default;
  ~TFileView();
  TFileView(const TFileView&) = delete;
  TFileView& operator=(const TFileView&) = delete;

  // Opens FileName read-only, shared for reading and writing as the other
  // readers do (a browser may hold the file open). False when the file
  // cannot be opened or read; the view is then empty. While mapped, the
  // system refuses to shorten the file, so the bytes seen stay readable.
  bool Open(const std::string& FileName);
  std::string_view Bytes() const { return bytes_; }
  // Gives the memory back; Bytes() is empty afterwards.
  void Close();

 private:
  TWinHandle mapping_;
  const void* view_ = nullptr;
  std::string copy_;  // small files, and files the system would not map
  std::string_view bytes_;
};

}  // namespace morvane
