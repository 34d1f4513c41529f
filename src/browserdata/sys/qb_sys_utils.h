// System helpers every store and the main window stand on: special folders,
// deleting files now or at the next restart, the system's error texts,
// opening URLs and composing mail, restarting Windows, registry values by
// path, user profile folders, environment expansion and file times.
//
// Failures give an empty text, false, a count or an empty list and never
// raise, except where a function says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/datetime.h"
#include "platform/win32.h"

namespace morvane {

// Shell folder identifiers the program asks for.
constexpr int csidlAppData = 26;
constexpr int csidlCookies = 33;
constexpr int csidlHistory = 34;

// The file-system path of a shell folder. Raises Exception("SHGetPathFromIDList
// failed : invalid pidl") when the folder has no path.
void GetSpecialFolderPath(HWND Owner, int CSIDL, std::string& Path);

// Deletes FileName now, or schedules it for deletion at the next restart.
// False only when something unexpected went wrong; whether the file went is
// not reported.
bool DeleteFileOrOnReboot(const std::string& FileName, bool OnReboot);
// DeleteFileOrOnReboot for every entry that matches Mask (a path with
// wildcards in its last part). The number of entries handled; negated when the
// loop was cut short by an error.
int DeleteFilesByMask(const std::string& Mask, bool OnReboot);
// MoveFileEx (or its stand-in where the system lacks it); on failure the
// system's error text is shown in a message box. New may be null.
bool MoveFileExChecked(const char* Existing, const char* New, uint32_t Flags);
// The stand-in for systems without MoveFileEx: the delayed form goes into the
// "rename" section of "WININIT.INI"; otherwise copy and delete. Raises
// Exception("PoorManMoveFileEx: " + cause) when something throws.
bool PoorManMoveFileEx(const char* Existing, const char* New, uint32_t Flags);
// The system's text for the calling thread's last error code.
void GetLastErrorText(std::string& Text);

// Opens URL with the program the system associates with it. A text without a
// scheme ("example.com/a") is opened as "http://" + text. Never raises.
void OpenURL(const std::string& URL);
// Restarts or shuts down Windows (ExitWindowsEx flags) with the shutdown
// privilege enabled. True when the system accepted the request.
bool RebootWindows(uint32_t Flags);
// Opens a new mail to Address ("mailto:" added when missing) with the given
// subject and body, both percent-encoded as a mailto URL needs. True when the
// shell started the mail program.
bool ComposeMail(const std::string& Address, const std::string& Subject, const std::string& Body);

// "A\B\C\Name\" -> Key "A\B\C\", ValueName "Name".
void SplitRegistryPath(const std::string& Path, std::string& Key, std::string& ValueName);
// The string value at Path (key path + "\" + value name) under Root, or
// Default when the key or value is missing or not a string.
void ReadRegistryString(HKEY Root, const std::string& Path, const std::string& Default, std::string& Value);
// As ReadRegistryString; a leading "HKCU\" or "HKLM\" (any case) picks the
// root and is removed, any other path is read under the current user as it is.
void ReadRegistryPathString(const std::string& Path, const std::string& Default, std::string& Value);

// Decodes %-escapes written with two decimal digits ("%20", "%41"), as the
// program always has; the first other "%" ends the decoding.
void UnescapeURL(const std::string& URL, std::string& Text);

// Every user profile folder of the machine ("C:\users\name\"), from the
// system's profile list; empty when it cannot be read.
std::vector<std::string> GetProfileFolders();
// Text with its %VARIABLES% expanded; Result is left as it was when the
// expansion fails.
void ExpandEnvVars(const std::string& Text, std::string& Result);
// The logged-on user's name; empty on failure.
void GetCurrentUserName(std::string& Name);
// The sub-folders of Dir (not recursive), each as Dir + name + "\".
std::vector<std::string> ListFolders(const std::string& Dir);

// A Windows file time (UTC) as a local TDateTime with the two-second steps of
// DOS times; 0 for 0. A time outside the years 1980 to 2107 raises
// EConvertError.
TDateTime FileTimeToDateTimeLocal(uint64_t FileTime);

}  // namespace morvane
