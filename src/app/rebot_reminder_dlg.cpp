#include "app/rebot_reminder_dlg.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TRebotReminderDlg::TRebotReminderDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("RebotReminderDlg");
  BuildLayout();
}

void TRebotReminderDlg::BuildLayout() {
  SetupDialogForm(this, "Confirm to continue", 430, 132);
  TDialogBuilder b(this, ids::kRebotReminderDlg);
  Image1 = b.SystemIcon("Image1", IDI_INFORMATION, 14, 14);
  Label1 = b.Label("Label1", "Remember to save your work in progress.", 60, 24);
  Button1 = b.Button("Button1", "Continue rebooot", mrOk, 206, 94, 120);
  Button1->SetDefault(true);
  Button2 = b.Button("Button2", "Cancel", mrCancel, 336, 94, 82);
  Button2->SetCancel(true);
}

}  // namespace morvane
