#include "platform/ui/shellctrls.h"

namespace morvane {

TShellComboBox::TShellComboBox(TComponent* AOwner) : TComboBox(AOwner) { Refresh(); }

void TShellComboBox::Refresh() {
  Items()->BeginUpdate();
  ClearPlaces();
  std::string computer = "My Computer";
  LPITEMIDLIST pidl = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) && pidl) {
    SHFILEINFOA fi{};
    if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &fi, sizeof(fi), SHGFI_PIDL | SHGFI_DISPLAYNAME) && fi.szDisplayName[0])
      computer = fi.szDisplayName;
    CoTaskMemFree(pidl);
  }
  AddPlace(computer, "");
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    std::string path = std::string(1, static_cast<char>('A' + i)) + ":\\";
    std::string name;
    SHFILEINFOA fi{};
    if (SHGetFileInfoA(path.c_str(), 0, &fi, sizeof(fi), SHGFI_DISPLAYNAME) && fi.szDisplayName[0]) name = fi.szDisplayName;
    if (name.empty()) name = "(" + path.substr(0, 2) + ")";
    AddPlace(name, path);
  }
  Items()->EndUpdate();
}

void TShellComboBox::AddPlace(const std::string& Name, const std::string& Path) {
  Items()->Add(Name);
  paths_.push_back(Path);
}

void TShellComboBox::ClearPlaces() {
  Items()->Clear();
  paths_.clear();
}

std::string TShellComboBox::Path(int Index) const {
  return Index >= 0 && Index < static_cast<int>(paths_.size()) ? paths_[static_cast<size_t>(Index)] : std::string();
}

std::string TShellComboBox::SelectedPath() {
  int i = ItemIndex();
  return i >= 0 ? Path(i) : Text();
}

}  // namespace morvane
