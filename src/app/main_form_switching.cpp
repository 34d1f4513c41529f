#include "app/main_form.h"

namespace morvane {

void TMainFrm::BrowserCheckClick(TObject* /*Sender*/) {}
void TMainFrm::mnuIECookiesClick(TObject* /*Sender*/) {}
void TMainFrm::mnuMozillaClick(TObject* /*Sender*/) {}
void TMainFrm::mnuFireFoxClick(TObject* /*Sender*/) {}
void TMainFrm::mnuOperaClick(TObject* /*Sender*/) {}
void TMainFrm::IETabControlChange(TObject* /*Sender*/) {}
void TMainFrm::IECookiesTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::IEBlockedDomainsTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::IEHistoryTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::NetscapeCookiesTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::NetscapeBlockedDomainsTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::OperaCookiesTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::OperaBlockedDomainsTabSheetShow(TObject* /*Sender*/) {}
void TMainFrm::LoadOperaCookies() {}
void TMainFrm::CboIECookieFoldersClick(TObject* /*Sender*/) {}
void TMainFrm::Rename1Click(TObject* /*Sender*/) {}
void TMainFrm::ElTreeHistoryFilesChanging(TObject* /*Sender*/, TElTreeItem* /*Item*/, bool& /*AllowChange*/) {}
void TMainFrm::ElTreeHistoryFilesExit(TObject* /*Sender*/) {}
void TMainFrm::ElTreeHistoryFilesResize(TObject* /*Sender*/) {}
void TMainFrm::pgHistoryChange(TObject* /*Sender*/) {}
void TMainFrm::TabSheet1Show(TObject* /*Sender*/) {}
void TMainFrm::TabSheet2Show(TObject* /*Sender*/) {}
void TMainFrm::Selectall4Click(TObject* /*Sender*/) {}
void TMainFrm::DeselectAll1Click(TObject* /*Sender*/) {}
void TMainFrm::cboMozillaProfilesChange(TObject* /*Sender*/) {}
void TMainFrm::sbResize(TObject* /*Sender*/) {}

}  // namespace morvane
