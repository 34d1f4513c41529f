#include "platform/core/inifiles.h"

#include "platform/core/classes.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

#include <vector>

namespace morvane {

namespace {

// Calls a profile function that fills a buffer, growing the buffer while
// the result was cut. `cut` is the count the function returns when the text
// did not fit (size - 1 for one value, size - 2 for a list of names).
template <class Fill>
std::string ReadProfile(Fill fill, DWORD cutMargin) {
  std::vector<char> buf(2048);
  for (;;) {
    const DWORD n = fill(buf.data(), static_cast<DWORD>(buf.size()));
    if (n + cutMargin < buf.size() || buf.size() >= (64u << 20)) return std::string(buf.data(), n);
    buf.resize(buf.size() * 4);
  }
}

void SplitNames(const std::string& list, TStrings& Strings) {
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    size_t p = 0;
    while (p < list.size()) {
      const size_t e = list.find('\0', p);
      const size_t end = e == std::string::npos ? list.size() : e;
      if (end > p) Strings.Add(list.substr(p, end - p));
      p = end + 1;
    }
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

}  // namespace

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
  return ReadProfile(
      [&](char* buf, DWORD size) {
        return ::GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), buf, size,
                                          fileName_.c_str());
      },
      1);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
  if (!::WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), fileName_.c_str()))
    throw EIniFileException("Unable to write to " + fileName_);
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
  return StrToIntDef(ReadString(Section, Ident, std::string()), Default);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string& Section, TStrings& Strings) const {
  SplitNames(ReadProfile(
                 [&](char* buf, DWORD size) {
                   return ::GetPrivateProfileStringA(Section.c_str(), nullptr, nullptr, buf, size,
                                                     fileName_.c_str());
                 },
                 2),
             Strings);
}

void TIniFile::ReadSections(TStrings& Strings) const {
  SplitNames(ReadProfile(
                 [&](char* buf, DWORD size) {
                   return ::GetPrivateProfileSectionNamesA(buf, size, fileName_.c_str());
                 },
                 2),
             Strings);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) const {
  TStringList keys;
  ReadSection(Section, keys);
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    for (int i = 0; i < keys.Count(); ++i)
      Strings.Add(keys.Strings(i) + "=" + ReadString(Section, keys.Strings(i), std::string()));
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

bool TIniFile::SectionExists(const std::string& Section) const {
  TStringList keys;
  ReadSection(Section, keys);
  return keys.Count() > 0;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
  TStringList keys;
  ReadSection(Section, keys);
  return keys.IndexOf(Ident) >= 0;
}

void TIniFile::EraseSection(const std::string& Section) {
  if (!::WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, fileName_.c_str()))
    throw EIniFileException("Unable to write to " + fileName_);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  ::WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, fileName_.c_str());
}

void TIniFile::UpdateFile() {
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

}  // namespace morvane
