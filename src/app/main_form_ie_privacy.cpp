#include "app/main_form.h"

namespace morvane {

bool TMainFrm::IsIEPrivacyListAvailable() { return false; }
bool TMainFrm::AddIEBlockedDomain(const std::string& /*Domain*/, bool /*Block*/) { return false; }
void TMainFrm::LoadIEBlockedDomains() {}
void TMainFrm::NewIEBlockedDomain() {}
void TMainFrm::EditIEBlockedDomain() {}
void TMainFrm::DeleteIEBlockedDomains() {}

}  // namespace morvane
