// Owners of Win32 handles: each closes its handle when it goes, cannot be
// copied, can be moved, and gives the handle up with Detach().
#pragma once

#include "platform/win32.h"

#include <utility>

namespace morvane {

template <class Traits>
class TUniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Handle h) noexcept : h_(h) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& o) noexcept : h_(o.Detach()) {}
  TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
    if (this != &o) Reset(o.Detach());
    return *this;
  }

  Handle Get() const noexcept { return h_; }
  bool Valid() const noexcept { return Traits::Valid(h_); }
  explicit operator bool() const noexcept { return Valid(); }

  // Closes the handle held (if any) and holds h instead.
  void Reset(Handle h = Traits::Empty()) noexcept {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // Gives the handle to the caller, who closes it from now on.
  Handle Detach() noexcept {
    Handle h = h_;
    h_ = Traits::Empty();
    return h;
  }
  // For a call that returns a handle through a pointer: closes the one held
  // and lends the slot.
  Handle* Receive() noexcept {
    Reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Empty();
};

namespace handle_traits {

// Kernel objects: files, events, threads, mappings. Both null and
// INVALID_HANDLE_VALUE mean "none", as the API returns either on failure.
struct Kernel {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return nullptr; }
  static bool Valid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct Find {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool Valid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};

struct RegKey {
  using Handle = HKEY;
  static Handle Empty() noexcept { return nullptr; }
  static bool Valid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct Library {
  using Handle = HMODULE;
  static Handle Empty() noexcept { return nullptr; }
  static bool Valid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

}  // namespace handle_traits

using TWinHandle = TUniqueHandle<handle_traits::Kernel>;
using TFindHandle = TUniqueHandle<handle_traits::Find>;
using TRegKey = TUniqueHandle<handle_traits::RegKey>;
using TLibrary = TUniqueHandle<handle_traits::Library>;

}  // namespace morvane
