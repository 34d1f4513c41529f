#include "app/splash.h"

#include "app/dialog_layout.h"
#include "browserdata/net/version_info.h"
#include "platform/control_ids.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {
constexpr TColor kCream = 0xF0FBFF;
constexpr int kFadeStep = 15;
}  // namespace

TSplash::TSplash(TComponent* AOwner) : TForm(AOwner) {
  SetName("Splash");
  BuildLayout();
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
  Timer2->OnTimer = [this](TObject* s) { Timer2Timer(s); };
  FormCreate(this);
}

void TSplash::BuildLayout() {
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetBorderIcons(0);
  SetFormStyle(TFormStyle::fsStayOnTop);
  SetPosition(TPosition::poScreenCenter);
  SetColor(kCream);
  SetClientWidth(428);
  SetClientHeight(217);
  SetAlphaBlend(true);
  SetAlphaBlendValue(255);
  TDialogBuilder b(this, ids::kSplash);
  Bevel1 = b.Add<TBevel>("Bevel1", 0, 0, 428, 217);
  Bevel1->SetShape(TBevelShape::bsFrame);
  Bevel1->SetStyle(TBevelStyle::bsRaised);
  ProgramIcon = b.Add<TImage>("ProgramIcon", 10, 10, 176, 156);
  ProgramIcon->SetProportional(true);
  auto label = [&](const char* name, const char* text, int left, int top) {
    TLabel* l = b.Label(name, text, left, top);
    l->SetColor(kCream);
    return l;
  };
  lblName = label("lblName", "", 200, 24);
  lblName->Font()->SetStyle(fsBold);
  lblName->Font()->SetSize(12);
  lblCompanyName = label("lblCompanyName", "", 200, 52);
  Label1 = label("Label1", "Version:", 200, 90);
  lblVersion = label("lblVersion", "", 280, 90);
  Label2 = label("Label2", "OS Version:", 200, 110);
  lblOSVersion = label("lblOSVersion", "", 280, 110);
  lblStatus = b.Add<TLabel>("lblStatus", 10, 186, 408, 16);
  lblStatus->SetAutoSize(false);
  lblStatus->SetAlignment(TAlignment::taCenter);
  lblStatus->SetColor(kCream);
  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(1000);
  Timer2 = new TTimer(this);
  Timer2->SetName("Timer2");
  Timer2->SetEnabled(false);
  Timer2->SetInterval(10);
}

void TSplash::FormCreate(TObject*) {
  try {
    ProgramIcon->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "LOGO");
  } catch (...) {
    // A build without a logo bitmap shows the splash without one.
  }
  TqbVersionInfo info(ProgramFileName());
  lblVersion->SetCaption(info.FileVersion);
  lblOSVersion->SetCaption(IntToStr(info.OSMajorVersion()) + "." + IntToStr(info.OSMinorVersion()));
  lblName->SetCaption(info.FileDescription);
  lblCompanyName->SetCaption("by " + info.CompanyName);
}

void TSplash::Timer1Timer(TObject*) {
  if (CloseRequested) Timer2->SetEnabled(true);
}

void TSplash::Timer2Timer(TObject*) {
  const int alpha = AlphaBlendValue() - kFadeStep;
  if (alpha > 0) {
    SetAlphaBlendValue(alpha);
    return;
  }
  // Fully faded: no further steps, and the window goes once the messages
  // now queued for it are handled.
  SetAlphaBlendValue(0);
  Timer1->SetEnabled(false);
  Timer2->SetEnabled(false);
  Release();
}

}  // namespace morvane
