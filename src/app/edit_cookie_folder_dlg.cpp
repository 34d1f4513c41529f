#include "app/edit_cookie_folder_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TEditCookieFolderDlg::TEditCookieFolderDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("EditCookieFolderDlg");
  BuildLayout();
}

void TEditCookieFolderDlg::BuildLayout() {
  SetupDialogForm(this, "Change Cookie Folder", 512, 240);
  TDialogBuilder b(this, ids::kEditCookieFolderDlg);
  Label1 = b.Label("Label1", "Current Cookie Folder:", 12, 14);
  edt1 = b.Add<TEdit>("edt1", 12, 32, 400, 21);
  st1 = b.Add<TStaticText>("st1", 12, 60, 488, 19);
  st1->SetBorderStyle(TStaticBorderStyle::sbsSunken);
  auto note = [&](const char* name, const char* text, int top) {
    TLabel* l = b.Add<TLabel>(name, 12, top, 488, 30);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetCaption(text);
    return l;
  };
  Label2 = note("Label2", "Internet Explorer keeps its cookies in the folder shown above.", 92);
  Label3 = note("Label3", "Browse for another folder to manage the cookies kept there.", 124);
  Label4 = note("Label4", "Reset returns to the folder the system names for the current user.", 156);
  Button4 = b.Button("Button4", "Browse...", mrNone, 424, 30, 78);
  OkBtn = b.Button("OkBtn", "&OK", mrOk, 246, 204);
  OkBtn->SetDefault(true);
  Button2 = b.Button("Button2", "Cancel", mrCancel, 331, 204);
  Button2->SetCancel(true);
  Button3 = b.Button("Button3", "Reset", mrNone, 416, 204, 86);
}

}  // namespace morvane
