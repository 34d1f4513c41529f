// Confirms the deletion of the selected Internet Explorer history files.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TDeleteHistoryDialog : public TForm {
 public:
  explicit TDeleteHistoryDialog(TComponent* AOwner);

  TImage* Image1 = nullptr;
  TLabel* lblDeleteMessage = nullptr;
  TLabel* lblHistoryFileName = nullptr;
  TButton* Button1 = nullptr;  // "&OK"
  TButton* Button2 = nullptr;  // "&Cancel"

 private:
  void BuildLayout();
};

}  // namespace morvane
