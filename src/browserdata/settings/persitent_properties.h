// The program's own settings in the current user's registry: the main
// window's placement, tool-bar and status-bar visibility, named strings and
// named string arrays. Everything is read at creation and written by Save;
// only DeleteArray touches the registry at once.
#pragma once

#include <string>

#include "platform/core/classes.h"
#include "platform/core/owned_objects.h"

namespace morvane {

// What Save needs to know of the main window.
struct TSavedWindowState {
  bool Normal = true;     // neither minimized nor maximized
  bool Maximized = false;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class TPersitentProperties {
 public:
  // The key everything lives under, below HKEY_CURRENT_USER.
  static constexpr const char* kPropsKey = "\\SOFTWARE\\Quenbry\\QbMorvane\\Props\\";
  // The element terminator of a stored array.
  static constexpr const char* kArrayTerminator = "!@~";

  // Sets the defaults from the screen size, then reads the registry. Never
  // fails: a registry problem leaves the defaults. ScreenWidth/ScreenHeight
  // of 0 take the primary screen's size.
  explicit TPersitentProperties(int ScreenWidth = 0, int ScreenHeight = 0);
  ~TPersitentProperties();
  TPersitentProperties(const TPersitentProperties&) = delete;
  TPersitentProperties& operator=(const TPersitentProperties&) = delete;

  // Writes everything; registry problems are ignored. The rectangle is
  // written only while the window is in its normal state.
  void Save(const TSavedWindowState& Window);

  void SetProperty(const std::string& Name, const std::string& Value);
  void GetProperty(const std::string& Name, std::string& Value) const;

  void SetArrayItem(const std::string& Name, int Index, const std::string& Value);
  // Empty when the array is absent, or Index is negative or beyond its end.
  void GetArrayItem(const std::string& Name, int Index, std::string& Value) const;
  int GetArrayCount(const std::string& Name) const;
  // Removes the array from memory and its value from the registry at once.
  void DeleteArray(const std::string& Name);

  // name -> TStringList whose first line is the value (owned)
  TOwningStringList UserDefined;
  // name -> TStringList of the elements (owned)
  TOwningStringList UserDefinedArrays;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Maximized = false;
  bool ViewToolbar = true;
  bool ViewStatusbar = true;

 private:
  void Read(int ScreenWidth, int ScreenHeight);
  TStringList* Find(const TStringList& List, const std::string& Name) const;
  // Replaces (freeing) or adds the owned list stored under Name.
  static void Store(TStringList& List, const std::string& Name, TStringList* Value);
};

}  // namespace morvane
