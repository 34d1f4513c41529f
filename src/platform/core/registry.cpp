#include "platform/core/registry.h"

#include "platform/core/classes.h"
#include "platform/core/exceptions.h"

#include <vector>

namespace morvane {

namespace {

std::string TrimSlashes(std::string s) {
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

[[noreturn]] void GetDataFailed(const std::string& Name) {
  throw ERegistryException("Failed to get data for '" + Name + "'");
}
[[noreturn]] void InvalidType(const std::string& Name) {
  throw ERegistryException("Invalid data type for '" + Name + "'");
}

TRegDataType DataTypeOf(DWORD type) {
  switch (type) {
    case REG_SZ: return TRegDataType::rdString;
    case REG_EXPAND_SZ: return TRegDataType::rdExpandString;
    case REG_DWORD: return TRegDataType::rdInteger;
    case REG_BINARY: return TRegDataType::rdBinary;
    default: return TRegDataType::rdUnknown;
  }
}

// Subkey (or value) names of an open key, in the order the registry gives.
std::vector<std::string> EnumNames(HKEY key, bool values) {
  std::vector<std::string> names;
  if (key == nullptr) return names;
  DWORD maxKey = 0, maxValue = 0;
  ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxKey, nullptr, nullptr, &maxValue,
                     nullptr, nullptr, nullptr);
  std::vector<char> buf((values ? maxValue : maxKey) + 256);
  for (DWORD i = 0;; ++i) {
    DWORD len = static_cast<DWORD>(buf.size());
    const LONG r = values
        ? ::RegEnumValueA(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr)
        : ::RegEnumKeyExA(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_MORE_DATA) {
      // The key changed since it was measured: grow and ask again.
      buf.resize(buf.size() * 2);
      --i;
      continue;
    }
    if (r != ERROR_SUCCESS) break;
    names.emplace_back(buf.data(), len);
  }
  return names;
}

// Deletes base\path with everything below it.
bool DeleteTree(HKEY base, const std::string& path) {
  TRegKey key;
  if (::RegOpenKeyExA(base, path.c_str(), 0, KEY_READ | DELETE, key.Receive()) == ERROR_SUCCESS) {
    for (const std::string& sub : EnumNames(key.Get(), false)) DeleteTree(key.Get(), sub);
  }
  return ::RegDeleteKeyA(base, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

TRegistry::TRegistry(REGSAM AAccess) : access_(AAccess) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value) {
  if (root_ == Value) return;
  root_ = Value;
  CloseKey();
}

TRegistry::KeyPath TRegistry::Resolve(const std::string& Key) const {
  const bool relative = Key.empty() || Key[0] != '\\';
  KeyPath kp;
  kp.path = TrimSlashes(relative ? Key : Key.substr(1));
  if (relative && current_) {
    kp.base = current_.Get();
    kp.fullPath = kp.path.empty() ? currentPath_
                  : currentPath_.empty() ? kp.path
                                         : currentPath_ + "\\" + kp.path;
  } else {
    kp.base = root_;
    kp.fullPath = kp.path;
  }
  return kp;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  const KeyPath kp = Resolve(Key);
  TRegKey h;
  LONG r;
  if (CanCreate) {
    DWORD disposition = 0;
    r = ::RegCreateKeyExA(kp.base, kp.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                          nullptr, h.Receive(), &disposition);
  } else {
    r = ::RegOpenKeyExA(kp.base, kp.path.c_str(), 0, access_, h.Receive());
  }
  if (r != ERROR_SUCCESS) return false;
  current_ = std::move(h);  // closes the previous key, which may have been the base
  currentPath_ = kp.fullPath;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  const KeyPath kp = Resolve(Key);
  // Keys a user may only query (no enumeration) still open with the lesser
  // rights.
  const REGSAM tries[] = {KEY_READ, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, KEY_QUERY_VALUE};
  for (REGSAM sam : tries) {
    TRegKey h;
    if (::RegOpenKeyExA(kp.base, kp.path.c_str(), 0, sam, h.Receive()) == ERROR_SUCCESS) {
      current_ = std::move(h);
      currentPath_ = kp.fullPath;
      return true;
    }
  }
  return false;
}

void TRegistry::CloseKey() {
  current_.Reset();
  currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& Key) {
  const KeyPath kp = Resolve(Key);
  for (REGSAM sam : {REGSAM(KEY_READ), REGSAM(KEY_QUERY_VALUE)}) {
    TRegKey h;
    if (::RegOpenKeyExA(kp.base, kp.path.c_str(), 0, sam, h.Receive()) == ERROR_SUCCESS) return true;
  }
  return false;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  const KeyPath kp = Resolve(Key);
  // An empty path would name the base key itself.
  if (kp.path.empty()) return false;
  return DeleteTree(kp.base, kp.path);
}

bool TRegistry::HasSubKeys() {
  DWORD n = 0;
  return current_ && ::RegQueryInfoKeyA(current_.Get(), nullptr, nullptr, nullptr, &n, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS && n > 0;
}

namespace {

// The names of the key's sub-keys or values into Strings, inside one update.
void FillNames(HKEY key, bool values, TStrings& Strings) {
  struct TUpdate {
    TStrings& s;
    explicit TUpdate(TStrings& s) : s(s) { s.BeginUpdate(); }
    ~TUpdate() noexcept(false) { s.EndUpdate(); }
  } update(Strings);
  Strings.Clear();
  for (const std::string& s : EnumNames(key, values)) Strings.Add(s);
}

}  // namespace

void TRegistry::GetKeyNames(TStrings& Strings) { FillNames(current_.Get(), false, Strings); }

void TRegistry::GetValueNames(TStrings& Strings) { FillNames(current_.Get(), true, Strings); }

HKEY TRegistry::ValueKey() const { return current_.Get(); }

bool TRegistry::ValueExists(const std::string& Name) {
  if (!current_) return false;
  return ::RegQueryValueExA(ValueKey(), Name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::string& Name) {
  DWORD type = 0;
  if (!current_ ||
      ::RegQueryValueExA(ValueKey(), Name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return TRegDataType::rdUnknown;
  return DataTypeOf(type);
}

bool TRegistry::DeleteValue(const std::string& Name) {
  return current_ && ::RegDeleteValueA(ValueKey(), Name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& Name) {
  if (!current_) return std::string();
  std::vector<char> buf(256);
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buf.size());
    const LONG r = ::RegQueryValueExA(ValueKey(), Name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(buf.data()), &size);
    if (r == ERROR_MORE_DATA) {
      buf.resize(size + 1);
      continue;
    }
    if (r == ERROR_FILE_NOT_FOUND) return std::string();
    if (r != ERROR_SUCCESS) GetDataFailed(Name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) InvalidType(Name);
    // The stored text may or may not carry its terminating NUL.
    size_t n = 0;
    while (n < size && buf[n] != '\0') ++n;
    return std::string(buf.data(), n);
  }
}

void TRegistry::WriteValue(const std::string& Name, DWORD Type, const void* Data, DWORD Size) {
  if (!current_ || ::RegSetValueExA(ValueKey(), Name.c_str(), 0, Type,
                                    static_cast<const BYTE*>(Data), Size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  WriteValue(Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
  WriteValue(Name, REG_EXPAND_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

int TRegistry::ReadInteger(const std::string& Name) {
  if (!current_) GetDataFailed(Name);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG r = ::RegQueryValueExA(ValueKey(), Name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(&value), &size);
  if (r == ERROR_MORE_DATA) InvalidType(Name);
  if (r != ERROR_SUCCESS) GetDataFailed(Name);
  if (type != REG_DWORD || size != sizeof value) InvalidType(Name);
  return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
  const DWORD v = static_cast<DWORD>(Value);
  WriteValue(Name, REG_DWORD, &v, sizeof v);
}

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }

void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

}  // namespace morvane
