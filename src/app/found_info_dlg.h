// The list of folders a disk search found; the main window sets the caption
// and the list before each showing.
#pragma once

#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TFoundInfoDlg : public TForm {
 public:
  explicit TFoundInfoDlg(TComponent* AOwner);

  TListBox* lbFolderList = nullptr;
  TButton* OKBtn = nullptr;

 private:
  void BuildLayout();
};

}  // namespace morvane
