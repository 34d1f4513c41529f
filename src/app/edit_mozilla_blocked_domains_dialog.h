// Edits the permissions of one host of a Netscape/Mozilla/Firefox profile:
// cookies, images, pop-up windows and (for "hostperm.1" profiles) installs.
// The main window hands it the record and the profile's file format; the
// dialog writes the choices into the record itself when it closes with OK.
#pragma once

#include <cstdint>

#include "browserdata/netscape/permission_files.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TEditMozillaBlockedDomainsDialog : public TForm {
 public:
  explicit TEditMozillaBlockedDomainsDialog(TComponent* AOwner);

  TEdit* edtDomain = nullptr;  // disabled unless the caller enables it
  TComboBox* cboCookies = nullptr;
  TComboBox* CboImages = nullptr;
  TComboBox* cboAds = nullptr;
  TLabel* lblInstalls = nullptr;
  TComboBox* cboInstalls = nullptr;
  TButton* okBtn = nullptr;
  TButton* CancelBtn = nullptr;

  // The record being edited (not owned); set before showing.
  PQbBlockedDomain BlockedDomain = nullptr;
  // 0: "cookperm.txt", 1: "hostperm.1", 2: both.
  uint8_t PermissionFormat = 0;

  void FormShow(TObject* Sender);
  void FormActivate(TObject* Sender);
  void okBtnClick(TObject* Sender);
  void FormHide(TObject* Sender);

  // Combo index <-> permission value.
  static int CookieIndex(uint8_t Value);
  static int OtherIndex(uint8_t Value);
  static uint8_t CookieValue(int Index);
  static uint8_t OtherValue(int Index);

 private:
  void BuildLayout();
};

}  // namespace morvane
