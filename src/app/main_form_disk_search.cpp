#include "app/main_form.h"

namespace morvane {

void TMainFrm::chkIECookiesSearchClick(TObject* /*Sender*/) {}
void TMainFrm::lblIECookiesSearchCloseClick(TObject* /*Sender*/) {}
void TMainFrm::btnIEBrowseForFolderClick(TObject* /*Sender*/) {}
void TMainFrm::btnIECookiesSearchClick(TObject* /*Sender*/) {}
void TMainFrm::TimerIESearchProgressTimer(TObject* /*Sender*/) {}
void TMainFrm::btnIEFoundInfoClick(TObject* /*Sender*/) {}
void TMainFrm::StopIESearch() {}

}  // namespace morvane
