#include "app/main_form.h"

namespace morvane {

void TMainFrm::Refresh1Click(TObject* /*Sender*/) {}
void TMainFrm::mnuEditEditClick(TObject* /*Sender*/) {}
void TMainFrm::nmuNewClick(TObject* /*Sender*/) {}
void TMainFrm::mnuEditDeleteClick(TObject* /*Sender*/) {}
void TMainFrm::mnuEditCopyToClipboardClick(TObject* /*Sender*/) {}
void TMainFrm::mnuEditSaveAsClick(TObject* /*Sender*/) {}
void TMainFrm::mnuEditSaveSelectedAsClick(TObject* /*Sender*/) {}
void TMainFrm::mnuEditViewinBrowserClick(TObject* /*Sender*/) {}
void TMainFrm::GetSelectedRowLines(TStringList* /*Lines*/) {}
void TMainFrm::SaveGridAs(bool /*SelectedOnly*/) {}

}  // namespace morvane
