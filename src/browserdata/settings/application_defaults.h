// The three texts a distributor may set once through "<program>-Defaults.ini"
// beside the program: the display name, the support e-mail address and the
// product page. The file is imported into the current user's registry at the
// first start and then deleted; later starts read the registry.
#pragma once

#include <string>

namespace morvane {

extern std::string AppName;
extern std::string SupportEmail;
extern std::string ProductURL;

// Built-in defaults.
extern const char* const kDefaultAppName;
extern const char* const kDefaultSupportEmail;
extern const char* const kDefaultProductURL;

// The registry key the values live under (HKEY_CURRENT_USER).
extern const char* const kDefaultsKey;

// Imports or reads the values (counted: only the first call works). The
// defaults file is deleted only once its values are in the registry; when the
// registry cannot take them the file stays for the next start.
// ProgramFile names the program whose defaults file is looked for; empty
// means the running program.
void InitApplicationDefaults(const std::string& ProgramFile = std::string());
// Clears the three texts (counted).
void DoneApplicationDefaults();

// "C:\Tools\Morvane.exe" gives "C:\Tools\Morvane-Defaults.ini".
std::string DefaultsFileName(const std::string& ProgramFile);

}  // namespace morvane
