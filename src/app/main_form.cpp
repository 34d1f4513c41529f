#include "app/main_form.h"

#include "app/binary_file_list_view.h"
#include "app/delete_cookie_dialog.h"
#include "app/delete_history_dialog.h"
#include "app/delete_mozilla_cookie_dialog.h"
#include "app/edit_blocked_domain_dlg.h"
#include "app/edit_cookie_dlg.h"
#include "app/edit_cookie_folder_dlg.h"
#include "app/edit_mozilla_blocked_domains_dialog.h"
#include "app/edit_mozilla_cookie_dlg.h"
#include "app/error_dlg.h"
#include "app/found_info_dlg.h"
#include "app/new_blocked_domain.h"
#include "app/reboot_query.h"
#include "app/rebot_reminder_dlg.h"
#include "app/settings_dlg.h"
#include "app/splash.h"
#include "browserdata/history/ie_history.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/settings/persitent_properties.h"

namespace morvane {

TMainFrm* MainFrm = nullptr;
TEditBlockedDomainDlg* EditBlockedDomainDlg = nullptr;
TDeleteCookieDialog* DeleteCookieDialog = nullptr;
TEditcookieDlg* EditcookieDlg = nullptr;
TErrorDlg* ErrorDlg = nullptr;
TRebootQuery* RebootQuery = nullptr;
TRebotReminderDlg* RebotReminderDlg = nullptr;
TNewBlockedDomain* NewBlockedDomain = nullptr;
TEditMozillaCookieDlg* EditMozillaCookieDlg = nullptr;
TEditMozillaBlockedDomainsDialog* EditMozillaBlockedDomainsDialog = nullptr;
TDeleteMozillacookieDialog* DeleteMozillacookieDialog = nullptr;
TEditCookieFolderDlg* EditCookieFolderDlg = nullptr;
TDeleteHistoryDialog* DeleteHistoryDialog = nullptr;
TFoundInfoDlg* FoundInfoDlg = nullptr;
TSettingsDlg* SettingsDlg = nullptr;

void CreateProgramDialogs(TComponent* Owner) {
  EditBlockedDomainDlg = new TEditBlockedDomainDlg(Owner);
  DeleteCookieDialog = new TDeleteCookieDialog(Owner);
  EditcookieDlg = new TEditcookieDlg(Owner);
  ErrorDlg = new TErrorDlg(Owner);
  RebootQuery = new TRebootQuery(Owner);
  RebotReminderDlg = new TRebotReminderDlg(Owner);
  NewBlockedDomain = new TNewBlockedDomain(Owner);
  EditMozillaCookieDlg = new TEditMozillaCookieDlg(Owner);
  EditMozillaBlockedDomainsDialog = new TEditMozillaBlockedDomainsDialog(Owner);
  DeleteMozillacookieDialog = new TDeleteMozillacookieDialog(Owner);
  EditCookieFolderDlg = new TEditCookieFolderDlg(Owner);
  DeleteHistoryDialog = new TDeleteHistoryDialog(Owner);
  FoundInfoDlg = new TFoundInfoDlg(Owner);
  SettingsDlg = new TSettingsDlg(Owner);
}

TMainFrm::TMainFrm(TComponent* AOwner) : TForm(AOwner) {
  MainFrm = this;
  SetName("MainFrm");
  BuildLayout();
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
  OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
  OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
}

TMainFrm::~TMainFrm() {
  BeforeDestruction();
  // The grids and panels call back into this window while they go.
  DestroyComponents();
  if (MainFrm == this) MainFrm = nullptr;
}

TControl* TMainFrm::FindNamedControl(const std::string& Name) const {
  return dynamic_cast<TControl*>(FindComponent(Name));
}

std::string TMainFrm::ProgramTitle() { return AppName.empty() ? std::string(kDefaultAppName) : AppName; }

int TMainFrm::AddIECookieFolder(const tIEProfileInfo& Info) {
  ieFolderObjects_.push_back(std::make_unique<TIEProfileObject>(Info));
  return CboIECookieFolders->Items()->AddObject(Info.UserName, ieFolderObjects_.back().get());
}

tIEProfileInfo* TMainFrm::IECookieFolder(int Index) const {
  if (Index < 0 || Index >= CboIECookieFolders->Items()->Count()) return nullptr;
  auto* object = dynamic_cast<TIEProfileObject*>(CboIECookieFolders->Items()->Objects(Index));
  return object ? &object->Info : nullptr;
}

void TMainFrm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == Splash) Splash = nullptr;
}

}  // namespace morvane
