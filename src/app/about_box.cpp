#include "app/about_box.h"

#include "app/dialog_layout.h"
#include "browserdata/net/qb_net_utils.h"
#include "browserdata/net/version_info.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/control_ids.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "platform/ui/services.h"

namespace morvane {

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
  SetName("AboutBox");
  InitNetUtils();
  BuildLayout();
  OnActivate = [this](TObject* s) { FormActivate(s); };
  btnSystemInfo->OnClick = [this](TObject* s) { btnSystemInfoClick(s); };
  ProductWEB->OnClick = [this](TObject* s) { ProductWEBClick(s); };
  lblsupport->OnClick = [this](TObject* s) { lblsupportClick(s); };
  FormCreate(this);
}

TAboutBox::~TAboutBox() { DoneNetUtils(); }

void TAboutBox::BuildLayout() {
  SetupDialogForm(this, "About", 425, 228);
  TDialogBuilder b(this, ids::kAboutBox);
  ProgramIcon = b.Add<TImage>("ProgramIcon", 8, 8, 120, 110);
  ProgramIcon->SetStretch(true);
  ProgramIcon->SetTransparent(true);
  lblProductName = b.Label("lblProductName", "", 140, 10);
  lblProductName->Font()->SetStyle(fsBold);
  lblCopyright = b.Label("lblCopyright", "", 140, 30);
  lblVersionText = b.Label("lblVersionText", "Version: ", 140, 50);
  lblVersion = b.Label("lblVersion", "", 190, 50);
  Bevel1 = b.Add<TBevel>("Bevel1", 140, 72, 260, 2);
  Bevel1->SetShape(TBevelShape::bsTopLine);
  ProductWEB = b.Label("ProductWEB", "", 140, 80);
  ProductWEB->SetCursor(crHandPoint);
  ProductWEB->Font()->SetColor(clBlue);
  ProductWEB->Font()->SetStyle(fsUnderline);
  Bevel2 = b.Add<TBevel>("Bevel2", 160, 100, 220, 2);
  Bevel2->SetShape(TBevelShape::bsTopLine);
  Label2 = b.Label("Label2", "Network:", 140, 110);
  LblNetworkStatus = b.Label("LblNetworkStatus", "", 210, 110);
  Label3 = b.Label("Label3", "Internet :", 140, 128);
  lblInternetStatus = b.Label("lblInternetStatus", "", 210, 128);
  Bevel3 = b.Add<TBevel>("Bevel3", 8, 150, 409, 2);
  Bevel3->SetShape(TBevelShape::bsTopLine);
  lblSupportDesc = b.Label("lblSupportDesc", "For Technical Support email to: ", 8, 160);
  lblsupport = b.Label("lblsupport", "", 190, 160);
  lblsupport->SetCursor(crHandPoint);
  lblsupport->Font()->SetColor(clBlue);
  lblsupport->Font()->SetStyle(fsUnderline);
  OKButton = b.Button("OKButton", "OK", mrOk, 232, 192);
  OKButton->SetDefault(true);
  OKButton->SetCancel(true);
  btnSystemInfo = b.Button("btnSystemInfo", "System Info...", mrNone, 318, 192, 95);
}

void TAboutBox::FormCreate(TObject*) {
  try {
    ProductWEB->SetCaption(ProductURL);
    try {
      ProgramIcon->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "LOGO");
    } catch (...) {
      // A build without a logo bitmap shows the box without one.
    }
    TqbVersionInfo info(ProgramFileName());
    lblVersion->SetCaption(info.FileVersion);
    lblCopyright->SetCaption(info.LegalCopyright);
    lblProductName->SetCaption(info.FileDescription);
    lblsupport->SetCaption(SupportEmail);
    lblsupport->SetVisible(!SupportEmail.empty());
    lblSupportDesc->SetVisible(!SupportEmail.empty());
    std::string state;
    GetInternetConnectionState(state);
    lblInternetStatus->SetCaption(state == "on-line" || state == "off-line" ? state : std::string());
    state.clear();
    GetNetworkState(state);
    LblNetworkStatus->SetCaption(state);
  } catch (...) {
    // The box shows what it could fill in; a failure here is not the
    // user's concern.
  }
}

void TAboutBox::FormActivate(TObject*) {
  const int L = ProgramIcon->Left() + ProgramIcon->Width();
  const int W = ClientWidth() - L;
  auto centre = [&](TControl* c) { c->SetLeft(L + (W - c->Width()) / 2); };
  centre(lblProductName);
  centre(lblCopyright);
  lblVersionText->SetLeft(L + (W - (lblVersionText->Width() + lblVersion->Width())) / 2);
  lblVersion->SetLeft(lblVersionText->Left() + lblVersionText->Width());
  Bevel1->SetBounds(L + 10, Bevel1->Top(), W - 20, Bevel1->Height());
  Bevel2->SetBounds(L + 30, Bevel2->Top(), W - 60, Bevel2->Height());
}

std::string TAboutBox::SystemInfoProgram() {
  std::string path;
  ReadRegistryString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Shared Tools\\MSINFO\\PATH", "", path);
  if (path.empty())
    ReadRegistryString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\Shared Tools Location\\MSINFO", "", path);
  if (path.empty()) return path;
  if (path.size() < 4 || !SameText(path.substr(path.size() - 4), ".EXE")) path += "\\MSINFO32.EXE";
  return path;
}

void TAboutBox::btnSystemInfoClick(TObject*) {
  const std::string program = SystemInfoProgram();
  if (!program.empty() && ShellExecute(Handle(), "open", program) > 32) return;
  MessageBox(Handle(), "System Information Is Not Available At This Time", "Information", MB_ICONINFORMATION);
}

void TAboutBox::ProductWEBClick(TObject*) { OpenURL(ProductWEB->Caption()); }

void TAboutBox::lblsupportClick(TObject*) { ComposeMail(lblsupport->Caption(), "Re: Morvane", ""); }

}  // namespace morvane
