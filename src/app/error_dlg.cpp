#include "app/error_dlg.h"

#include "app/dialog_layout.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/control_ids.h"
#include "platform/ui/modal.h"

namespace morvane {

TErrorDlg::TErrorDlg(TComponent* AOwner) : TForm(AOwner) {
  SetName("ErrorDlg");
  BuildLayout();
  txtSupportEmail->OnClick = [this](TObject* s) { txtSupportEmailClick(s); };
}

void TErrorDlg::BuildLayout() {
  SetupDialogForm(this, "", 420, 190);
  TDialogBuilder b(this, ids::kErrorDlg);
  imgQuestionMark = b.SystemIcon("imgQuestionMark", IDI_QUESTION, 14, 14);
  imgStop = b.SystemIcon("imgStop", IDI_ERROR, 14, 14);
  imgExclamation = b.SystemIcon("imgExclamation", IDI_WARNING, 14, 14);
  imgInformation = b.SystemIcon("imgInformation", IDI_INFORMATION, 14, 14);
  txtMessage = b.Add<TStaticText>("txtMessage", 60, 14, 348, 34);
  txtLongMessage = b.Add<TStaticText>("txtLongMessage", 60, 54, 348, 60);
  txtSupportText = b.Add<TStaticText>("txtSupportText", 14, 124, 394, 17);
  txtSupportText->SetCaption("If error persists  please contact technical support at ");
  txtSupportEmail = b.Add<TStaticText>("txtSupportEmail", 14, 142, 394, 17);
  txtSupportEmail->SetCursor(crHandPoint);
  txtSupportEmail->Font()->SetColor(clBlue);
  txtSupportEmail->Font()->SetStyle(fsUnderline);
  OKBtn = b.Button("OKBtn", "OK", mrOk, 172, 160);
  OKBtn->SetDefault(true);
}

void TErrorDlg::ShowError(const std::string& Caption, const std::string& Message, const std::string& LongMessage,
                          uint8_t Kind) {
  TImage* images[] = {imgQuestionMark, imgStop, imgExclamation, imgInformation};
  for (TImage* img : images) img->SetVisible(false);
  if (Kind < 4) images[Kind]->SetVisible(true);
  SetCaption(Caption);
  txtMessage->SetCaption(Message);
  txtLongMessage->SetCaption(LongMessage);
  const bool haveSupport = !SupportEmail.empty();
  txtSupportText->SetVisible(haveSupport);
  txtSupportEmail->SetVisible(haveSupport);
  txtSupportEmail->SetCaption(haveSupport ? SupportEmail : std::string());
  ShowModal();
}

void TErrorDlg::txtSupportEmailClick(TObject*) {
  const std::string link = txtSupportEmail->Caption();
  if (link.find("http://") != std::string::npos) {
    OpenURL(link);
    return;
  }
  const std::string body =
      "Error Message: \r\n\r\n" + txtMessage->Caption() + "\r\n\r\n" + txtLongMessage->Caption();
  if (!ComposeMail(link, "Error in Morvane", body))
    MessageBox(Handle(),
               "Cannot start Mail Application.\r\nPlease start your e-mail client application manually and "
               "compose the message.",
               "Information", MB_ICONINFORMATION);
}

}  // namespace morvane
