// The registry object: one open key at a time under a root key, values read
// and written by name.
//
// Key paths: one that begins with "\" is taken from the root key; one
// without it is relative to the current key (or the root when no key is
// open). Value readers raise ERegistryException for a value of the wrong
// type; ReadInteger and ReadBool also for a missing value, while ReadString
// gives "" for one.
#pragma once

#include "platform/core/handles.h"

#include <string>

namespace morvane {

class TStrings;

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
 public:
  // Access is what OpenKey asks for (full access by default).
  explicit TRegistry(REGSAM AAccess = KEY_ALL_ACCESS);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  // Changing the root closes the current key.
  void SetRootKey(HKEY Value);
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM Value) { access_ = Value; }
  HKEY CurrentKey() const { return current_.Get(); }
  // Path of the current key below the root, without a leading "\".
  const std::string& CurrentPath() const { return currentPath_; }

  // Opens Key (creating it and its parents when CanCreate) with Access and
  // makes it the current key. False when it cannot be opened; the current
  // key then stays as it was.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Opens Key for reading only (never creates); false when it cannot be
  // opened.
  bool OpenKeyReadOnly(const std::string& Key);
  void CloseKey();
  bool KeyExists(const std::string& Key);
  // Deletes Key with all its subkeys.
  bool DeleteKey(const std::string& Key);
  bool HasSubKeys();

  // Names of the current key's subkeys or values (the list is cleared first;
  // empty when no key is open).
  void GetKeyNames(TStrings& Strings);
  void GetValueNames(TStrings& Strings);

  bool ValueExists(const std::string& Name);
  TRegDataType GetDataType(const std::string& Name);
  bool DeleteValue(const std::string& Name);

  std::string ReadString(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteExpandString(const std::string& Name, const std::string& Value);
  int ReadInteger(const std::string& Name);
  void WriteInteger(const std::string& Name, int Value);
  // A DWORD: non-zero is true; written as 1 or 0.
  bool ReadBool(const std::string& Name);
  void WriteBool(const std::string& Name, bool Value);

 private:
  struct KeyPath {
    HKEY base;
    std::string path;      // below base
    std::string fullPath;  // below the root, what CurrentPath becomes
  };
  KeyPath Resolve(const std::string& Key) const;
  HKEY ValueKey() const;
  void WriteValue(const std::string& Name, DWORD Type, const void* Data, DWORD Size);

  HKEY root_ = HKEY_CURRENT_USER;
  REGSAM access_;
  TRegKey current_;
  std::string currentPath_;
};

}  // namespace morvane
