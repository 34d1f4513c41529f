#include "platform/ui/clipbrd.h"

#include <cstring>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"

namespace morvane {

TClipboard* Clipboard() {
  static TClipboard c;
  return &c;
}

void TClipboard::Open() {
  if (openCount_++ > 0) return;
  // Another program may hold it for a moment.
  for (int i = 0; i < 20; ++i) {
    if (OpenClipboard(Application->Handle())) {
      text_.clear();
      return;
    }
    Sleep(10);
  }
  openCount_ = 0;
  throw EOSError("Cannot open clipboard");
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  text_.clear();
  Close();
}

bool TClipboard::HasFormat(UINT Format) { return IsClipboardFormatAvailable(Format) != FALSE; }

void TClipboard::Put() {
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text_.size() + 1);
  if (!mem) throw EOutOfResources("Out of memory while copying to the clipboard");
  void* p = GlobalLock(mem);
  std::memcpy(p, text_.c_str(), text_.size() + 1);
  GlobalUnlock(mem);
  if (!SetClipboardData(CF_TEXT, mem)) {
    GlobalFree(mem);
    throw EOSError("Cannot put the text on the clipboard");
  }
}

void TClipboard::SetAsText(const std::string& Text) {
  Open();
  try {
    text_ = Text;
    Put();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AppendText(const std::string& Text) {
  Open();
  try {
    text_ += Text;
    Put();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

std::string TClipboard::AsText() {
  Open();
  std::string s;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      s = p;
      GlobalUnlock(h);
    }
  }
  Close();
  return s;
}

}  // namespace morvane
