// The clipboard's text.
#pragma once

#include <string>

#include "platform/win32.h"

namespace morvane {

class TClipboard {
 public:
  // Opens it for a batch of changes (nested calls count); EOSError when
  // another program keeps it.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT Format);
  std::string AsText();
  // Replaces the clipboard's content with the text.
  void SetAsText(const std::string& Text);
  // Adds to the text put there since Open (a batch at a time).
  void AppendText(const std::string& Text);

 private:
  void Put();
  int openCount_ = 0;
  std::string text_;
};

TClipboard* Clipboard();

}  // namespace morvane
