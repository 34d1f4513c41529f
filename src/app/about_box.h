// The about box: product name, version and copyright from the program's
// version resource, the network and Internet status, the product page and
// the support address, and a button that starts the system information
// program.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TAboutBox : public TForm {
 public:
  explicit TAboutBox(TComponent* AOwner);
  ~TAboutBox() override;

  TImage* ProgramIcon = nullptr;
  TLabel* lblProductName = nullptr;
  TLabel* lblCopyright = nullptr;
  TLabel* lblVersionText = nullptr;  // "Version: "
  TLabel* lblVersion = nullptr;
  TBevel* Bevel1 = nullptr;
  TBevel* Bevel2 = nullptr;
  TBevel* Bevel3 = nullptr;
  TLabel* ProductWEB = nullptr;
  TLabel* Label2 = nullptr;  // "Network:"
  TLabel* LblNetworkStatus = nullptr;
  TLabel* Label3 = nullptr;  // "Internet :"
  TLabel* lblInternetStatus = nullptr;
  TLabel* lblSupportDesc = nullptr;
  TLabel* lblsupport = nullptr;
  TButton* OKButton = nullptr;
  TButton* btnSystemInfo = nullptr;

  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void btnSystemInfoClick(TObject* Sender);
  void ProductWEBClick(TObject* Sender);
  void lblsupportClick(TObject* Sender);

  // The system information program from the registry (HKEY_LOCAL_MACHINE),
  // with "\MSINFO32.EXE" added to a folder; empty when none is registered.
  static std::string SystemInfoProgram();

 private:
  void BuildLayout();
};

}  // namespace morvane
