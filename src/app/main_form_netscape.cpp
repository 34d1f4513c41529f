#include "app/main_form.h"

namespace morvane {

void TMainFrm::FillMozillaProfiles(int /*Index*/) {}
void TMainFrm::cboMozillaProfilesClick(TObject* /*Sender*/) {}
void TMainFrm::LoadMozillaCookies() {}
void TMainFrm::LoadMozillaBlockedDomains() {}
void TMainFrm::EditMozillaCookie() {}
void TMainFrm::NewMozillaCookie() {}
void TMainFrm::DeleteMozillaCookies() {}
void TMainFrm::EditMozillaBlockedDomain() {}
void TMainFrm::NewMozillaBlockedDomain() {}
void TMainFrm::DeleteMozillaBlockedDomains() {}
void TMainFrm::DeleteOperaCookies() {}
void TMainFrm::EditOperaCookie() {}
void TMainFrm::NewOperaCookie() {}
void TMainFrm::EditOperaBlockedDomain() {}
void TMainFrm::NewOperaBlockedDomain() {}
void TMainFrm::DeleteOperaBlockedDomains() {}

}  // namespace morvane
