// What the fuzz targets of the wide-string codecs use in place of the
// system's code-page conversion, which a native fuzz build does not have:
// one wide unit per byte, so every byte still reaches the codec.
#pragma once

#include <string>

inline std::wstring Widen(const std::string& s) {
  std::wstring w;
  for (unsigned char c : s) w.push_back(static_cast<wchar_t>(c));
  return w;
}
