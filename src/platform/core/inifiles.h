// INI files through the system's profile functions: section and key names
// are case-insensitive, lines before the first section are not part of any
// section, and a file name without a folder lies in the Windows folder.
#pragma once

#include "platform/core/exceptions.h"

#include <string>

namespace morvane {

class TStrings;

MORVANE_EXCEPTION(EIniFileException, Exception);  // a write the system refused

class TIniFile {
 public:
  explicit TIniFile(std::string FileName) : fileName_(std::move(FileName)) {}
  const std::string& FileName() const { return fileName_; }

  // Default when the key (or section) is missing.
  std::string ReadString(const std::string& Section, const std::string& Ident,
                         const std::string& Default) const;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  // Default when missing or not a number; "0x" and "$" start hexadecimal.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  // An integer, non-zero meaning true; written as "1" or "0".
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  // The key names of Section, in file order (the list is cleared first).
  void ReadSection(const std::string& Section, TStrings& Strings) const;
  // The section names, in file order.
  void ReadSections(TStrings& Strings) const;
  // "key=value" for every key of Section.
  void ReadSectionValues(const std::string& Section, TStrings& Strings) const;
  // A section exists when it holds at least one key.
  bool SectionExists(const std::string& Section) const;
  bool ValueExists(const std::string& Section, const std::string& Ident) const;

  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);
  // Writes the system's cached copy of the file to disk.
  void UpdateFile();

 private:
  std::string fileName_;
};

}  // namespace morvane
