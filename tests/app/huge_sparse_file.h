// A 70 GB sparse file: more 32-byte rows than an int counts. "LAST" opens
// row 2^31 - 2, the last row the viewer's list can show, at an offset
// beyond 32 bits; everything else reads as zeros.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/core/handles.h"
#include "platform/win32.h"

namespace morvane::test {

inline constexpr int kHugeLastRow = 2147483646;

inline void WriteHugeSparseFile(const std::string& file) {
  TWinHandle h(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  ASSERT_TRUE(h);
  LARGE_INTEGER at;
  at.QuadPart = int64_t{kHugeLastRow} * 32;
  ASSERT_TRUE(SetFilePointerEx(h.Get(), at, nullptr, FILE_BEGIN));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h.Get(), "LAST", 4, &written, nullptr));
  at.QuadPart = int64_t{70} << 30;
  ASSERT_TRUE(SetFilePointerEx(h.Get(), at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h.Get()));
}

}  // namespace morvane::test
