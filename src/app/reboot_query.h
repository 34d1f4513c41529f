// Offers the restart that completes the removal of every Internet Explorer
// cookie (the folder's index file goes at the next start of Windows).
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TRebootQuery : public TForm {
 public:
  explicit TRebootQuery(TComponent* AOwner);

  TImage* Image2 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TButton* rtnYes = nullptr;  // result Yes
  TButton* btnNo = nullptr;   // result Cancel

 private:
  void BuildLayout();
};

}  // namespace morvane
