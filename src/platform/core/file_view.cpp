#include "platform/core/file_view.h"

#include <algorithm>

namespace morvane {

namespace {

// Below this a copy is as cheap as a mapping and needs no second handle.
constexpr int64_t kMapFrom = 256 * 1024;

}  // namespace

TFileView::~TFileView() { Close(); }

void TFileView::Close() {
  if (view_) ::UnmapViewOfFile(view_);
  view_ = nullptr;
  mapping_.Reset();
  std::string().swap(copy_);
  bytes_ = {};
}

bool TFileView::Open(const std::string& FileName) {
  Close();
  TWinHandle file(::CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) size.QuadPart = 0;
  if (size.QuadPart >= kMapFrom && static_cast<uint64_t>(size.QuadPart) <= SIZE_MAX / 2) {
    // The mapping is as long as the file was when we asked: a file that
    // has since become shorter cannot be mapped to that length, and is read
    // the ordinary way below.
    mapping_.Reset(::CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, static_cast<DWORD>(size.QuadPart >> 32),
                                        static_cast<DWORD>(size.QuadPart & 0xffffffffu), nullptr));
    if (mapping_) view_ = ::MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size.QuadPart));
    if (view_) {
      bytes_ = std::string_view(static_cast<const char*>(view_), static_cast<size_t>(size.QuadPart));
      return true;
    }
    mapping_.Reset();
  }
  if (size.QuadPart > 0 && size.QuadPart < kMapFrom) copy_.reserve(static_cast<size_t>(size.QuadPart));
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      std::string().swap(copy_);
      return false;
    }
    if (got == 0) break;
    copy_.append(chunk, got);
  }
  bytes_ = copy_;
  return true;
}

}  // namespace morvane
