#include "app/main_form.h"

namespace morvane {

void TMainFrm::Blockcookiesfromselecteddomains1Click(TObject* /*Sender*/) {}
int TMainFrm::BlockSelectedIECookies() { return 0; }
int TMainFrm::BlockSelectedMozillaCookies() { return 0; }
void TMainFrm::ComposeGridMenu(TMenuItem* /*Menu*/) {}
void TMainFrm::IECookiesElTreeCompareItems(TObject* /*Sender*/, TElTreeItem* /*Item1*/, TElTreeItem* /*Item2*/, int& /*Result*/) {}
void TMainFrm::ToolButtonNewClick(TObject* /*Sender*/) {}
void TMainFrm::FormKeyDown(TObject* /*Sender*/, WORD& /*Key*/, TShiftState /*Shift*/) {}
void TMainFrm::ViewLogFile1Click(TObject* /*Sender*/) {}

}  // namespace morvane
