// Read-only access to the Netscape/Mozilla registry file "Registry.dat" in the
// user's application-data folder. The file is never opened in place: the
// reader works on a temporary copy ("qbM*.tmp"), deleted when it is freed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "browserdata/netscape/registry_dat.h"

namespace morvane {

class QbMozillaRegistry {
 public:
  // The registry of the running user's application-data folder.
  QbMozillaRegistry();
  // The registry AppDataFolder + "\Mozilla\Registry.dat", copied into the
  // first of CopyFolders that can take the copy.
  QbMozillaRegistry(const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders);
  virtual ~QbMozillaRegistry();
  QbMozillaRegistry(const QbMozillaRegistry&) = delete;
  QbMozillaRegistry& operator=(const QbMozillaRegistry&) = delete;

  // Makes the key at Path ("/"-separated, from the root) the current key.
  void SelectKey(const std::string& Path);
  // The current key's children, each as "/" + name with its position; empty
  // when the current key is invalid or has none.
  std::vector<TRegDataSubkey> GetSubkeyNames() const;
  // Value is left unchanged when the current key has no such entry.
  void GetValue(const std::string& Name, std::string& Value) const;

  const std::string& RegistryPath() const { return registryPath_; }
  const std::string& CopyPath() const { return copyPath_; }

  // The folders a copy goes to: the program's folder, then the user's
  // temporary folder for when the program's folder cannot take it.
  static std::vector<std::string> DefaultCopyFolders();

 private:
  void Open(const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders);
  bool MakeCopy(const std::string& Folder);

  std::string registryPath_;
  std::string copyPath_;
  std::unique_ptr<TRegistryDatReader> reader_;
  TRegDataKeyItem current_;
};

}  // namespace morvane
