#include "app/view_text_file_dlg.h"

#include <algorithm>

#include "app/dialog_layout.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/control_ids.h"
#include "platform/core/classes.h"
#include "platform/core/files.h"
#include "platform/ui/modal.h"

namespace morvane {

const char* const TViewTextFileDlg::kNotAvailable = "Reqested Info is not available.";

TViewTextFileDlg::TViewTextFileDlg(TComponent* AOwner, const std::string& FileName, const std::string& Caption)
    : TForm(AOwner) {
  SetName("ViewTextFileDlg");
  BuildLayout();
  SetCaption(Caption);
  Load(FileName);
  OnActivate = [this](TObject* s) { FormActivate(s); };
  PrintBtn->OnClick = [this](TObject* s) { PrintBtnClick(s); };
  btnEmail->OnClick = [this](TObject* s) { btnEmailClick(s); };
}

std::string TViewTextFileDlg::SupportAddress() {
  return SupportEmail.empty() ? std::string(kDefaultSupportEmail) : SupportEmail;
}

void TViewTextFileDlg::BuildLayout() {
  SetupDialogForm(this, "", 560, 400);
  TDialogBuilder b(this, ids::kViewTextFileDlg);
  Memo1 = b.Add<TMemo>("Memo1", 8, 8, 544, 346);
  Memo1->SetReadOnly(true);
  Memo1->SetScrollBars(TScrollStyle::ssVertical);
  Memo1->SetWordWrap(false);
  PrintBtn = b.Button("PrintBtn", "&Print", mrNone, 160, 364);
  PrintBtn->SetDefault(true);
  PrintBtn->SetHint("Print displayed contents");
  PrintBtn->SetShowHint(true);
  CancelBtn = b.Button("CancelBtn", "&Cancel", mrCancel, 325, 364);
  CancelBtn->SetCancel(true);
  CancelBtn->SetHint("Close displayed dialog");
  CancelBtn->SetShowHint(true);
  btnEmail = b.Button("btnEmail", "&Email to  " + SupportAddress(), mrNone, 200, 364, 160);
  btnEmail->SetVisible(false);
  PrintDialog1 = new TPrintDialog(this);
  PrintDialog1->SetName("PrintDialog1");
}

void TViewTextFileDlg::Load(const std::string& FileName) {
  bool loaded = false;
  if (FileExists(FileName)) {
    try {
      TStringList lines;
      lines.LoadFromFile(FileName);
      Memo1->Lines()->Assign(&lines);
      loaded = true;
    } catch (...) {
    }
  }
  if (!loaded) {
    Memo1->Lines()->SetText(std::string("\r\n") + kNotAvailable);
  }
}

void TViewTextFileDlg::FormActivate(TObject*) {
  const int cw = ClientWidth();
  btnEmail->SetLeft((cw - btnEmail->Width()) / 2);
  const int w = btnEmail->Visible() ? btnEmail->Width() : 0;
  const int a = (cw - (w + PrintBtn->Width() + CancelBtn->Width() + 35)) / 2;
  PrintBtn->SetLeft(a);
  CancelBtn->SetLeft(cw - CancelBtn->Width() - a);
}

void TViewTextFileDlg::PrintBtnClick(TObject*) {
  try {
    // Printing waits for the user's choice of printer: a cancelled print
    // dialog prints nothing.
    if (!PrintDialog1->Execute()) return;
    TPrinter* printer = Printer();
    printer->Title = Caption();
    printer->BeginDoc();
    try {
      TCanvas* canvas = printer->Canvas();
      const int lineHeight = std::max(1, canvas->TextHeight("Wg"));
      int y = 0;
      for (int i = 0; i < Memo1->Lines()->Count(); ++i) {
        if (y + lineHeight > printer->PageHeight() && y > 0) {
          printer->NewPage();
          y = 0;
        }
        canvas->TextOut(0, y, Memo1->Lines()->Get(i));
        y += lineHeight;
      }
    } catch (...) {
      printer->Abort();
      throw;
    }
    printer->EndDoc();
  } catch (...) {
    MessageBox(Handle(), "Cannot print displayed text.\r\nPleas check printer conection and try again.", "Warning",
               MB_ICONWARNING);
  }
}

void TViewTextFileDlg::btnEmailClick(TObject*) {
  ComposeMail(SupportAddress(), "Morvane Log File", Memo1->Lines()->Text());
}

}  // namespace morvane
