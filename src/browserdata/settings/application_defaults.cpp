#include "browserdata/settings/application_defaults.h"

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/files.h"
#include "platform/core/inifiles.h"
#include "platform/core/registry.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {

std::string AppName;
std::string SupportEmail;
std::string ProductURL;

const char* const kDefaultAppName = "Morvane";
const char* const kDefaultSupportEmail = "support@quenbry.com";
const char* const kDefaultProductURL = "http://www.quenbry.com/morvane/";
const char* const kDefaultsKey = "\\SOFTWARE\\Quenbry\\QbMorvane\\Defaults";

namespace {

int gStartCount = 0;

struct TDefaultValue {
  const char* name;
  std::string* value;
  const char* builtIn;
};

const TDefaultValue kValues[] = {
    {"AppName", &AppName, kDefaultAppName},
    {"SupportEmail", &SupportEmail, kDefaultSupportEmail},
    {"ProductURL", &ProductURL, kDefaultProductURL},
};

bool WriteToRegistry() {
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kDefaultsKey, true)) return false;
    for (const auto& v : kValues) reg.WriteString(v.name, *v.value);
    reg.CloseKey();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void ReadFromRegistry() {
  for (const auto& v : kValues)
    ReadRegistryString(HKEY_CURRENT_USER, std::string(kDefaultsKey) + "\\" + v.name, v.builtIn, *v.value);
}

}  // namespace

std::string DefaultsFileName(const std::string& ProgramFile) { return ChangeFileExt(ProgramFile, "-Defaults.ini"); }

void InitApplicationDefaults(const std::string& ProgramFile) {
  if (gStartCount++ > 0) return;
  const std::string file = DefaultsFileName(ProgramFile.empty() ? ProgramFileName() : ProgramFile);
  if (FileExists(file)) {
    TIniFile ini(file);
    for (const auto& v : kValues) *v.value = ini.ReadString("Defaults", v.name, v.builtIn);
    // Keep the file when the registry did not take its values: deleting it
    // would lose the distributor's settings for every later start.
    if (WriteToRegistry()) DeleteFile(file);
  } else {
    ReadFromRegistry();
  }
}

void DoneApplicationDefaults() {
  if (gStartCount == 0 || --gStartCount > 0) return;
  for (const auto& v : kValues) v.value->clear();
}

}  // namespace morvane
