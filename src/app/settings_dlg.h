// The settings dialog: keeping the profiles found by "Advanced Search"
// between runs, the update check and its frequency, and the grids' font
// size. The font size takes effect at once through Apply; the other options
// are read back by the caller when the dialog closes with OK.
#pragma once

#include <string>
#include <vector>

#include "browserdata/settings/persitent_properties.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TSettingsDlg : public TForm {
 public:
  explicit TSettingsDlg(TComponent* AOwner);

  TCheckBox* chkSaveProfiles = nullptr;
  TLabel* Label1 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TCheckBox* chkCheckForUpdates = nullptr;
  TEdit* edtFrequency = nullptr;
  TUpDown* UpDownFrequency = nullptr;
  TLabel* Label3 = nullptr;  // "days"
  TGroupBox* GroupBox2 = nullptr;
  TLabel* Label4 = nullptr;  // "Grid Font Size:"
  TEdit* edtGridFontSize = nullptr;
  TUpDown* UpDownGridFontSize = nullptr;
  TLabel* Label2 = nullptr;  // "points"
  TButton* Button1 = nullptr;  // "&Apply"
  TButton* OKBtn = nullptr;
  TButton* CancelBtn = nullptr;

  // Set while an up-down writes its edit, so that the edit's change handler
  // does not write back.
  bool Updating = false;

  // What Apply changes: the main window's grids, the Internet Explorer
  // cookie grid first, and the property store that keeps "FontSize".
  std::vector<TControl*> Grids;
  TPersitentProperties* Properties = nullptr;

  void Button1Click(TObject* Sender);
  void OKBtnClick(TObject* Sender);
  void edtFrequencyKeyPress(TObject* Sender, char& Key);
  void edtGridFontSizeKeyPress(TObject* Sender, char& Key);
  void edtFrequencyChange(TObject* Sender);
  void edtGridFontSizeChange(TObject* Sender);
  void UpDownFrequencyChangingEx(TObject* Sender, bool& AllowChange, short NewValue, TUpDownDirection Direction);
  void UpDownGridFontSizeChangingEx(TObject* Sender, bool& AllowChange, short NewValue,
                                    TUpDownDirection Direction);

 private:
  void BuildLayout();
  void FilterKey(TCustomEdit* Edit, char& Key);
};

// The options the main window keeps and the dialog edits.
struct TSettingsOptions {
  bool SaveProfiles = true;
  bool CheckForUpdates = true;
  int CheckForUpdatesFrequency = 14;
};

// Fills the dialog from Options and the stored font-size text, shows it and,
// on OK, reads the options back. True when the dialog closed with OK.
bool ExecuteSettings(TSettingsDlg& Dlg, TSettingsOptions& Options, const std::string& StoredFontSize);

}  // namespace morvane
