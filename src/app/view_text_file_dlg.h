// Shows a text file read-only, with Print and (when the caller shows it) a
// button that mails the text to the support address.
#pragma once

#include <string>

#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TViewTextFileDlg : public TForm {
 public:
  // Loads FileName at once; the caller shows the dialog modally and frees it.
  TViewTextFileDlg(TComponent* AOwner, const std::string& FileName, const std::string& Caption);

  TMemo* Memo1 = nullptr;
  TButton* PrintBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* btnEmail = nullptr;  // hidden unless the caller shows it
  TPrintDialog* PrintDialog1 = nullptr;

  static const char* const kNotAvailable;

  void FormActivate(TObject* Sender);
  void PrintBtnClick(TObject* Sender);
  void btnEmailClick(TObject* Sender);

  // Where the log goes when mailed: the program's support address, else the
  // built-in one.
  static std::string SupportAddress();

 private:
  void BuildLayout();
  void Load(const std::string& FileName);
};

}  // namespace morvane
