#include "app/main_form.h"

namespace morvane {

uint8_t TMainFrm::GetViewKind() { return 0; }
TElTreeWindow* TMainFrm::GetActiveGrid() { return nullptr; }
void TMainFrm::SetupGrids() {}
void TMainFrm::AddGridColumn(TElTreeWindow* /*Tree*/, const std::string& /*Caption*/, int /*Width*/, int /*Style*/, int /*FieldType*/, bool /*AutoSize*/) {}
void TMainFrm::SetupIECookieColumns() {}
void TMainFrm::SetupIEDomainColumns() {}
void TMainFrm::SetupHistoryColumns() {}
void TMainFrm::SetupMozillaCookieColumns() {}
void TMainFrm::SetupMozillaDomainColumns() {}
void TMainFrm::SetupOperaCookieColumns() {}
void TMainFrm::SetupOperaDomainColumns() {}
void TMainFrm::IECookiesElTreeHeaderColumnClick(TObject* /*Sender*/, int /*SectionIndex*/) {}
void TMainFrm::RestoreSort(TElTreeWindow* /*Grid*/) {}
void TMainFrm::FitTextToWidth(const std::wstring& /*Text*/, int /*Width*/, std::wstring& /*Fitted*/, TCanvas* /*Canvas*/) {}
void TMainFrm::RestoreGridPosition(TElTreeWindow* /*Grid*/, int /*Index*/, int /*TopIndex*/) {}
void TMainFrm::FocusActiveGridRow() {}
void TMainFrm::UpdateToolbarState(bool /*HasRows*/) {}
void TMainFrm::SelectAll2Click(TObject* /*Sender*/) {}
void TMainFrm::UnselectAll1Click(TObject* /*Sender*/) {}
void TMainFrm::GridMenuPopup(TObject* /*Sender*/) {}
void TMainFrm::mnuEditClick(TObject* /*Sender*/) {}
void TMainFrm::ComposeCookiesMenu(TMenuItem* /*Menu*/, TElTreeWindow* /*Grid*/) {}
void TMainFrm::ComposeDomainsMenu(TMenuItem* /*Menu*/, TElTreeWindow* /*Grid*/) {}
void TMainFrm::ComposeHistoryFilesMenu(TMenuItem* /*Menu*/, TElTreeWindow* /*Grid*/) {}
TElTreeItem* TMainFrm::GetSelectedItem(TElTreeWindow* /*Tree*/) { return nullptr; }
void TMainFrm::IECookiesElTreeItemSelectedChange(TObject* /*Sender*/, TElTreeItem* /*Item*/) {}
void TMainFrm::IECookiesElTreeHeaderColumnDraw(TObject* /*Sender*/, TCanvas* /*Canvas*/, TElHeaderSection* /*Section*/, RECT /*R*/, bool /*Pressed*/) {}
void TMainFrm::IECookiesElTreeItemDraw(TObject* /*Sender*/, TElTreeItem* /*Item*/, TCanvas* /*Surface*/, RECT /*R*/, int /*SectionIndex*/) {}
TElTreeWindow* TMainFrm::GridOf(TObject* /*Sender*/) const { return nullptr; }
TTabSheet* TMainFrm::GridTabSheet(TElTreeWindow* /*Grid*/) const { return nullptr; }

}  // namespace morvane
