#include "app/found_info_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TFoundInfoDlg::TFoundInfoDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("FoundInfoDlg");
  BuildLayout();
}

void TFoundInfoDlg::BuildLayout() {
  SetupDialogForm(this, "Found Mozilla/Netscape Cookies Files", 578, 203, TPosition::poScreenCenter);
  TDialogBuilder b(this, ids::kFoundInfoDlg);
  lbFolderList = b.Add<TListBox>("lbFolderList", 0, 0, 577, 169);
  OKBtn = b.Button("OKBtn", "OK", mrOk, 251, 174);
  OKBtn->SetDefault(true);
}

}  // namespace morvane
