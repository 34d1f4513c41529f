#include "app/update_dialog.h"

#include <memory>

#include "platform/control_ids.h"

namespace morvane {

TdlgSoftwareUpdates::TdlgSoftwareUpdates(TComponent* AOwner) : TForm(AOwner) {
  SetName("dlgSoftwareUpdates");
  BuildLayout();
}

void TdlgSoftwareUpdates::BuildLayout() {
  SetCaption("Software Update");
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetPosition(TPosition::poDesktopCenter);
  SetClientWidth(508);
  SetClientHeight(256);

  auto label = [this](const char* name, int id, int top, int height) {
    auto* l = new TLabel(this);
    l->SetName(name);
    l->SetControlId(id);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetBounds(14, top, 480, height);
    l->SetParent(this);
    return l;
  };
  Label1 = label("Label1", ids::kUpdateLabel1, 10, 20);
  Label1->Font()->SetHeight(-13);
  Label1->SetCaption("New  version of Morvane is available for download.");
  lblCurrentVersion = label("lblCurrentVersion", ids::kUpdateCurrentVersion, 36, 30);
  lblNewestVersion = label("lblNewestVersion", ids::kUpdateNewestVersion, 68, 16);

  Memo1 = new TMemo(this);
  Memo1->SetName("Memo1");
  Memo1->SetControlId(ids::kUpdateMemo1);
  Memo1->SetBounds(14, 88, 481, 129);
  Memo1->SetReadOnly(true);
  Memo1->SetScrollBars(TScrollStyle::ssVertical);
  Memo1->SetParent(this);

  Button1 = new TButton(this);
  Button1->SetName("Button1");
  Button1->SetControlId(ids::kUpdateButton1);
  Button1->SetCaption("&Download updates");
  Button1->SetModalResult(mrOk);
  Button1->SetDefault(true);
  Button1->SetBounds(262, 224, 137, 25);
  Button1->SetParent(this);

  Button2 = new TButton(this);
  Button2->SetName("Button2");
  Button2->SetControlId(ids::kUpdateButton2);
  Button2->SetCaption("&Cancel");
  Button2->SetModalResult(mrCancel);
  Button2->SetCancel(true);
  Button2->SetBounds(408, 224, 87, 25);
  Button2->SetParent(this);
}

bool ShowSoftwareUpdateNotice(const TUpdateNotice& Notice) {
  auto dlg = std::make_unique<TdlgSoftwareUpdates>(nullptr);
  dlg->lblCurrentVersion->SetCaption(Notice.CurrentVersionText);
  dlg->lblNewestVersion->SetCaption(Notice.NewestVersionText);
  dlg->Memo1->Lines()->BeginUpdate();
  for (const std::string& line : Notice.Notes) dlg->Memo1->Lines()->Add(line);
  dlg->Memo1->Lines()->EndUpdate();
  return dlg->ShowModal() == mrOk;
}

}  // namespace morvane
