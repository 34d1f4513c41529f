#include "app/main_form.h"

namespace morvane {

void TMainFrm::FormCreate(TObject* /*Sender*/) {}
void TMainFrm::FormActivate(TObject* /*Sender*/) {}
void TMainFrm::FormDestroy(TObject* /*Sender*/) {}
void TMainFrm::Exit1Click(TObject* /*Sender*/) {}
void TMainFrm::StatusBar1Click(TObject* /*Sender*/) {}
void TMainFrm::Toolbar1Click(TObject* /*Sender*/) {}
void TMainFrm::About1Click(TObject* /*Sender*/) {}
void TMainFrm::ToolButtonHelpClick(TObject* /*Sender*/) {}
void TMainFrm::MorvaneHelp1Click(TObject* /*Sender*/) {}
void TMainFrm::mnuSettingsClick(TObject* /*Sender*/) {}
void TMainFrm::CreateMozillaStore(std::unique_ptr<QbMozillaCookiesClass>& /*Store*/, int /*Kind*/) {}

}  // namespace morvane
