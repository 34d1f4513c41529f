#include "browserdata/netscape/mozilla_registry.h"

#include "browserdata/sys/qb_sys_utils.h"
#include "browserdata/sys/tell_user.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/core/textfiles.h"
#include "platform/win32.h"

namespace morvane {

QbMozillaRegistry::QbMozillaRegistry() {
  std::string appData;
  try {
    GetSpecialFolderPath(nullptr, csidlAppData, appData);
  } catch (const std::exception&) {
    appData.clear();
  }
  Open(appData, DefaultCopyFolders());
}

QbMozillaRegistry::QbMozillaRegistry(const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders) {
  Open(AppDataFolder, CopyFolders);
}

QbMozillaRegistry::~QbMozillaRegistry() {
  reader_.reset();
  if (!copyPath_.empty()) DeleteFileA(copyPath_.c_str());
}

std::vector<std::string> QbMozillaRegistry::DefaultCopyFolders() {
  return {ExtractFilePath(ProgramFileName()), GetTempDir()};
}

bool QbMozillaRegistry::MakeCopy(const std::string& Folder) {
  try {
    const std::string dir = IncludeTrailingBackslash(Folder);
    DeleteFilesByMask(dir + "qbM*.tmp", false);  // leftovers of an earlier run
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(dir.c_str(), "qbM", 0, name) == 0) return false;
    if (!CopyFileA(registryPath_.c_str(), name, FALSE)) {
      DeleteFileA(name);
      return false;
    }
    copyPath_ = name;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void QbMozillaRegistry::Open(const std::string& AppDataFolder, const std::vector<std::string>& CopyFolders) {
  if (AppDataFolder.empty()) return;
  registryPath_ = ExcludeTrailingBackslash(AppDataFolder) + "\\Mozilla\\Registry.dat";
  if (!FileExists(registryPath_)) {
    registryPath_.clear();
    return;
  }
  for (const auto& folder : CopyFolders)
    if (MakeCopy(folder)) break;
  if (copyPath_.empty()) return;
  std::string bytes;
  if (!TryLoadFileBytes(copyPath_, bytes)) return;
  // A damaged file could name a wrong type for many nodes: say so once.
  auto shown = std::make_shared<bool>(false);
  reader_ = std::make_unique<TRegistryDatReader>(std::move(bytes), [shown](const std::string& text) {
    if (*shown) return;
    *shown = true;
    TellUser(text);
  });
  current_ = reader_->Root();
}

void QbMozillaRegistry::SelectKey(const std::string& Path) {
  if (!reader_ || !reader_->Valid()) {
    current_ = TRegDataKeyItem();
    return;
  }
  const uint32_t root = reader_->Root().Location < 0 ? 0 : static_cast<uint32_t>(reader_->Root().Location);
  const uint32_t pos = reader_->FindKey(Path, root);
  current_ = pos ? reader_->ReadKey(pos) : TRegDataKeyItem();
}

std::vector<TRegDataSubkey> QbMozillaRegistry::GetSubkeyNames() const {
  if (!reader_) return {};
  return reader_->SubkeyNames(current_);
}

void QbMozillaRegistry::GetValue(const std::string& Name, std::string& Value) const {
  if (!reader_) return;
  reader_->GetValue(current_, Name, Value);
}

}  // namespace morvane
