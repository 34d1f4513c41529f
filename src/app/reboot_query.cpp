#include "app/reboot_query.h"

#include "app/dialog_layout.h"
#include "platform/control_ids.h"

namespace morvane {

TRebootQuery::TRebootQuery(TComponent* AOwner) : TForm(AOwner) {
  SetName("RebootQuery");
  BuildLayout();
}

void TRebootQuery::BuildLayout() {
  SetupDialogForm(this, "Confirmation", 409, 154);
  TDialogBuilder b(this, ids::kRebootQuery);
  Image2 = b.SystemIcon("Image2", IDI_QUESTION, 14, 14);
  Label1 = b.Label("Label1", "All Internet Explorer cookies have been deleted. ", 60, 16);
  Label2 = b.Label("Label2", "To complete cookies removal you have  to reboot you computer.", 60, 40);
  Label3 = b.Label("Label3", "Do you want  to reboot  now?", 60, 72);
  rtnYes = b.Button("rtnYes", "Yes", mrYes, 235, 116);
  rtnYes->SetDefault(true);
  btnNo = b.Button("btnNo", "No", mrCancel, 320, 116);
  btnNo->SetCancel(true);
  WidenToFitLabels(this, {Label1, Label2, Label3}, {rtnYes, btnNo});
}

}  // namespace morvane
