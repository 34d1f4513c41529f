#include "browserdata/net/version_info.h"

#include <cstdio>

#include "platform/win32.h"

namespace morvane {

std::string TranslationText(uint16_t Language, uint16_t CodePage) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", (static_cast<unsigned>(Language) << 16) | CodePage);
  std::string s = buf;
  if (s.size() < 8) s = "0" + s;
  return s;
}

TqbVersionInfo::TqbVersionInfo(const std::string& FileName) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &ignored);
  if (size == 0) return;
  resource_.resize(size);
  if (!GetFileVersionInfoA(FileName.c_str(), 0, size, resource_.data())) {
    resource_.clear();
    return;
  }
  translation_ = "00000000";
  void* value = nullptr;
  UINT len = 0;
  if (VerQueryValueA(resource_.data(), "\\\\VarFileInfo\\Translation", &value, &len) && value && len >= 4) {
    const auto* words = static_cast<const uint16_t*>(value);
    translation_ = TranslationText(words[0], words[1]);
  }
  struct {
    const char* key;
    std::string* field;
  } const keys[] = {
      {"CompanyName", &CompanyName},         {"FileDescription", &FileDescription},
      {"FileVersion", &FileVersion},         {"InternalName", &InternalName},
      {"LegalCopyright", &LegalCopyright},   {"LegalTrademarks", &LegalTrademarks},
      {"OriginalFilename", &OriginalFilename}, {"ProductName", &ProductName},
      {"ProductVersion", &ProductVersion},   {"Comments", &Comments},
      {"PrivateBuild", &PrivateBuild},       {"SpecialBuild", &SpecialBuild},
  };
  for (const auto& k : keys) {
    const std::string query = "\\\\StringFileInfo\\" + translation_ + "\\" + k.key;
    value = nullptr;
    len = 0;
    if (VerQueryValueA(resource_.data(), query.c_str(), &value, &len) && value && len > 0) {
      const char* text = static_cast<const char*>(value);
      std::string s(text, len);
      // The length counts the closing NUL.
      const size_t nul = s.find('\0');
      if (nul != std::string::npos) s.resize(nul);
      if (!s.empty()) *k.field = s;
    }
  }
}

void TqbVersionInfo::ReadOSVersion() {
  if (osRead_) return;
  osRead_ = true;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info)) {
    osMajor_ = info.dwMajorVersion;
    osMinor_ = info.dwMinorVersion;
  }
#pragma GCC diagnostic pop
}

uint32_t TqbVersionInfo::OSMajorVersion() {
  ReadOSVersion();
  return osMajor_;
}

uint32_t TqbVersionInfo::OSMinorVersion() {
  ReadOSVersion();
  return osMinor_;
}

}  // namespace morvane
