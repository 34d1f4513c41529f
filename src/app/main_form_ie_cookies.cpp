#include "app/main_form.h"

namespace morvane {

void TMainFrm::FillIECookieTree() {}
void TMainFrm::ReloadIECookies() {}
void TMainFrm::EditIECookie() {}
void TMainFrm::DeleteIECookies() {}
void TMainFrm::HostFromHostPath(const std::string& /*HostPath*/, std::string& /*Host*/) {}

}  // namespace morvane
