#include "app/delete_history_dialog.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TDeleteHistoryDialog::TDeleteHistoryDialog(TComponent* AOwner) : TForm(AOwner) {
  SetName("DeleteHistoryDialog");
  BuildLayout();
}

void TDeleteHistoryDialog::BuildLayout() {
  SetupDialogForm(this, "Delete IE  History File(s)", 473, 155, TPosition::poScreenCenter);
  TDialogBuilder b(this, ids::kDeleteHistoryDialog);
  Image1 = b.SystemIcon("Image1", IDI_WARNING, 14, 14);
  lblDeleteMessage = b.Label("lblDeleteMessage", "You are about to delete selected history file:", 60, 14);
  lblHistoryFileName = b.Add<TLabel>("lblHistoryFileName", 60, 36, 400, 34);
  lblHistoryFileName->SetAutoSize(false);
  lblHistoryFileName->SetWordWrap(true);
  b.Label("Label1", "Do you want to continue?", 60, 80);
  Button1 = b.Button("Button1", "&OK", mrOk, 299, 118);
  Button1->SetDefault(true);
  Button2 = b.Button("Button2", "&Cancel", mrCancel, 384, 118);
  Button2->SetCancel(true);
}

}  // namespace morvane
