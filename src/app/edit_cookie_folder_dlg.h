// Shows the current Internet Explorer cookie folder with buttons to change
// or reset it. The program makes it at start-up with the other dialogs.
#pragma once

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TEditCookieFolderDlg : public TForm {
 public:
  explicit TEditCookieFolderDlg(TComponent* AOwner);

  TLabel* Label1 = nullptr;  // "Current Cookie Folder:"
  TEdit* edt1 = nullptr;
  TStaticText* st1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TButton* OkBtn = nullptr;
  TButton* Button2 = nullptr;  // "Cancel"
  TButton* Button3 = nullptr;  // "Reset"
  TButton* Button4 = nullptr;  // "Browse..."

 private:
  void BuildLayout();
};

}  // namespace morvane
