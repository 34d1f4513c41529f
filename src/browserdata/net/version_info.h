// The version resource of a program file (its first translation's twelve
// string values) and the Windows version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

class TqbVersionInfo {
 public:
  // Reads the version resource of FileName; a file without one leaves every
  // string empty.
  explicit TqbVersionInfo(const std::string& FileName);
  virtual ~TqbVersionInfo() = default;
  TqbVersionInfo(const TqbVersionInfo&) = delete;
  TqbVersionInfo& operator=(const TqbVersionInfo&) = delete;

  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string LegalTrademarks;
  std::string OriginalFilename;
  std::string ProductName;
  std::string ProductVersion;
  std::string Comments;
  std::string SpecialBuild;
  std::string PrivateBuild;

  // The first call of either asks the system and keeps both; 0 and 0 when
  // the query fails.
  uint32_t OSMajorVersion();
  uint32_t OSMinorVersion();

  // The translation text the strings were read under, e.g. "040904b0".
  const std::string& Translation() const { return translation_; }

 private:
  void ReadOSVersion();

  std::vector<unsigned char> resource_;
  std::string translation_;
  bool osRead_ = false;
  uint32_t osMajor_ = 0;
  uint32_t osMinor_ = 0;
};

// "%x" of (language << 16) | code page, with one "0" put in front when the
// text is shorter than eight characters.
std::string TranslationText(uint16_t Language, uint16_t CodePage);

}  // namespace morvane
