#include "app/settings_dlg.h"

#include <algorithm>
#include <cctype>

#include "app/dialog_layout.h"
#include "platform/control_ids.h"
#include "platform/core/sysutils.h"

namespace morvane {

TSettingsDlg::TSettingsDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("SettingsDlg");
  BuildLayout();
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  OKBtn->OnClick = [this](TObject* s) { OKBtnClick(s); };
  edtFrequency->OnKeyPress = [this](TObject* s, char& k) { edtFrequencyKeyPress(s, k); };
  edtGridFontSize->OnKeyPress = [this](TObject* s, char& k) { edtGridFontSizeKeyPress(s, k); };
  edtFrequency->OnChange = [this](TObject* s) { edtFrequencyChange(s); };
  edtGridFontSize->OnChange = [this](TObject* s) { edtGridFontSizeChange(s); };
  UpDownFrequency->OnChangingEx = [this](TObject* s, bool& a, short v, TUpDownDirection d) {
    UpDownFrequencyChangingEx(s, a, v, d);
  };
  UpDownGridFontSize->OnChangingEx = [this](TObject* s, bool& a, short v, TUpDownDirection d) {
    UpDownGridFontSizeChangingEx(s, a, v, d);
  };
}

void TSettingsDlg::BuildLayout() {
  SetupDialogForm(this, "Morvane Settings", 426, 275, TPosition::poScreenCenter);
  TDialogBuilder b(this, ids::kSettingsDlg);
  chkSaveProfiles = b.Check("chkSaveProfiles", "Save profiles found by 'Advanced Search'", 12, 12, 400);
  Label1 = b.Add<TLabel>("Label1", 30, 32, 384, 44);
  Label1->SetAutoSize(false);
  Label1->SetWordWrap(true);
  Label1->SetCaption(
      "If checked, Profiles will be saved between program sessions. When you will run program next time, all "
      "profiles will be restored without need to perform 'Advanced search' again.");
  GroupBox1 = b.Add<TGroupBox>("GroupBox1", 12, 84, 402, 56);
  chkCheckForUpdates = b.Check("chkCheckForUpdates", "Check for software updates every ", 12, 22, 214, false,
                               GroupBox1);
  edtFrequency = b.Add<TEdit>("edtFrequency", 230, 20, 32, 21, GroupBox1);
  edtFrequency->SetMaxLength(2);
  edtFrequency->SetText("14");
  UpDownFrequency = b.Add<TUpDown>("UpDownFrequency", 262, 20, 16, 21, GroupBox1);
  UpDownFrequency->SetMin(1);
  UpDownFrequency->SetMax(99);
  UpDownFrequency->SetWrap(false);
  UpDownFrequency->SetPosition(14);
  Label3 = b.Label("Label3", "days", 286, 24, GroupBox1);
  GroupBox2 = b.Add<TGroupBox>("GroupBox2", 12, 150, 402, 56);
  Label4 = b.Label("Label4", "Grid Font Size:", 12, 24, GroupBox2);
  edtGridFontSize = b.Add<TEdit>("edtGridFontSize", 120, 20, 32, 21, GroupBox2);
  edtGridFontSize->SetMaxLength(2);
  edtGridFontSize->SetText("14");
  UpDownGridFontSize = b.Add<TUpDown>("UpDownGridFontSize", 152, 20, 16, 21, GroupBox2);
  UpDownGridFontSize->SetMin(5);
  UpDownGridFontSize->SetMax(16);
  UpDownGridFontSize->SetWrap(false);
  UpDownGridFontSize->SetPosition(14);
  Label2 = b.Label("Label2", "points", 176, 24, GroupBox2);
  Button1 = b.Button("Button1", "&Apply", mrNone, 12, 238);
  OKBtn = b.Button("OKBtn", "OK", mrOk, 254, 238);
  OKBtn->SetDefault(true);
  CancelBtn = b.Button("CancelBtn", "Cancel", mrCancel, 339, 238);
  CancelBtn->SetCancel(true);
}

void TSettingsDlg::FilterKey(TCustomEdit* Edit, char& Key) {
  if (Key == '0' || Key == '\b') return;
  const bool digit = std::isdigit(static_cast<unsigned char>(Key)) != 0;
  if (!digit || (Edit->Text().size() >= 2 && Edit->SelLength() == 0)) Key = 0;
}

void TSettingsDlg::edtFrequencyKeyPress(TObject*, char& Key) { FilterKey(edtFrequency, Key); }
void TSettingsDlg::edtGridFontSizeKeyPress(TObject*, char& Key) { FilterKey(edtGridFontSize, Key); }

void TSettingsDlg::edtFrequencyChange(TObject*) {
  if (Updating) return;
  int n = 0;
  if (TryStrToInt(edtFrequency->Text(), n) && n > 0) {
    UpDownFrequency->SetPosition(n);
  } else {
    // 0, an empty edit and anything else that is no number become 1.
    UpDownFrequency->SetPosition(1);
    edtFrequency->SetText("1");
  }
}

void TSettingsDlg::edtGridFontSizeChange(TObject*) {
  if (Updating) return;
  int n = 0;
  if (TryStrToInt(edtGridFontSize->Text(), n) && n > 4) {
    UpDownGridFontSize->SetPosition(n);
  } else {
    UpDownGridFontSize->SetPosition(5);
    edtGridFontSize->SetText("5");
  }
  // The text may have been corrected above (and its own change handled).
  if (TryStrToInt(edtGridFontSize->Text(), n)) {
    if (n < 18) {
      UpDownGridFontSize->SetPosition(n);
    } else {
      UpDownGridFontSize->SetPosition(17);
      edtGridFontSize->SetText("17");
    }
  } else {
    UpDownGridFontSize->SetPosition(18);
    edtGridFontSize->SetText("18");
  }
}

void TSettingsDlg::UpDownFrequencyChangingEx(TObject*, bool& AllowChange, short NewValue, TUpDownDirection) {
  Updating = true;
  if (NewValue > 99 || NewValue < 1)
    AllowChange = false;
  else
    edtFrequency->SetText(IntToStr(NewValue));
  Updating = false;
}

void TSettingsDlg::UpDownGridFontSizeChangingEx(TObject*, bool& AllowChange, short NewValue, TUpDownDirection) {
  Updating = true;
  if (NewValue > 16 || NewValue < 6)
    AllowChange = false;
  else
    edtGridFontSize->SetText(IntToStr(NewValue));
  Updating = false;
}

void TSettingsDlg::Button1Click(TObject*) {
  const int size = UpDownGridFontSize->Position();
  TControl* ieGrid = Grids.empty() ? nullptr : Grids.front();
  try {
    for (TControl* grid : Grids)
      if (grid) grid->Font()->SetSize(size);
  } catch (...) {
    if (ieGrid) ieGrid->Font()->SetSize(8);
  }
  int stored = size;
  if (ieGrid) {
    stored = std::clamp(ieGrid->Font()->Size(), 4, 18);
    ieGrid->Font()->SetSize(stored);
  }
  if (Properties) Properties->SetProperty("FontSize", IntToStr(stored));
}

void TSettingsDlg::OKBtnClick(TObject* Sender) { Button1Click(Sender); }

bool ExecuteSettings(TSettingsDlg& Dlg, TSettingsOptions& Options, const std::string& StoredFontSize) {
  Dlg.chkSaveProfiles->SetChecked(Options.SaveProfiles);
  Dlg.chkCheckForUpdates->SetChecked(Options.CheckForUpdates);
  Dlg.edtFrequency->SetText(IntToStr(Options.CheckForUpdatesFrequency));
  Dlg.edtGridFontSize->SetText(StoredFontSize);
  if (Dlg.ShowModal() != mrOk) return false;
  Options.SaveProfiles = Dlg.chkSaveProfiles->Checked();
  Options.CheckForUpdates = Dlg.chkCheckForUpdates->Checked();
  int days = 1;
  if (!TryStrToInt(Dlg.edtFrequency->Text(), days)) days = Dlg.UpDownFrequency->Position();
  Options.CheckForUpdatesFrequency = days;
  return true;
}

}  // namespace morvane
