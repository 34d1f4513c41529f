// The splash window the main window shows while it builds itself. The main
// window writes its steps into lblStatus and sets CloseRequested on its
// first activation; within a second the splash fades out in 17 steps of
// 10 ms and frees itself.
#pragma once

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/timers.h"

namespace morvane {

class TSplash : public TForm {
 public:
  explicit TSplash(TComponent* AOwner);

  TBevel* Bevel1 = nullptr;
  TImage* ProgramIcon = nullptr;
  TLabel* lblName = nullptr;
  TLabel* lblCompanyName = nullptr;
  TLabel* Label1 = nullptr;  // "Version:"
  TLabel* lblVersion = nullptr;
  TLabel* Label2 = nullptr;  // "OS Version:"
  TLabel* lblOSVersion = nullptr;
  TLabel* lblStatus = nullptr;
  TTimer* Timer1 = nullptr;  // 1000 ms, enabled
  TTimer* Timer2 = nullptr;  // 10 ms, disabled

  bool CloseRequested = false;

  void FormCreate(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void Timer2Timer(TObject* Sender);

 private:
  void BuildLayout();
};

}  // namespace morvane
