#include "app/main_form.h"

namespace morvane {

void TMainFrm::ToolBtnSearchClick(TObject* /*Sender*/) {}
void TMainFrm::mnuSearchClick(TObject* /*Sender*/) {}
void TMainFrm::EdtItemToSearchChange(TObject* /*Sender*/) {}
void TMainFrm::BtnSearchClick(TObject* /*Sender*/) {}
void TMainFrm::btnClearSearchClick(TObject* /*Sender*/) {}
void TMainFrm::ListViewsPageControlChange(TObject* /*Sender*/) {}

}  // namespace morvane
