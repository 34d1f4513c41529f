// The "Advanced Search" panel of the Internet Explorer page: looks through a
// folder, a drive or every drive for Internet Explorer cookie folders the
// system's profile list does not name, and adds each to the cookie-folder
// list as "Manually Found(<n>)". The search runs on threads of its own; every
// report reaches this window on the user-interface thread. The window owns
// those threads: it stops, waits for and frees them itself.
#include <memory>

#include "app/found_info_dlg.h"
#include "app/main_form.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/search/directory_search.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {

constexpr const char* kStartHint = "Start searching for Internet Explorer cookies";
constexpr const char* kStopHint = "Stop search process";
constexpr const char* kStartCaption = "Start Search";
constexpr const char* kStopCaption = "Stop";
// Read-only, hidden, system and archive: the attributes the search is given.
constexpr int kSearchAttr = 0x27;
constexpr DWORD kMaxCookieFileSize = 65535;

void Inform(const std::string& Text) { MessageDlg(Text, TMsgDlgType::mtInformation, mbOK); }

bool EndsWithTxt(const std::string& Name) {
  return Name.size() >= 4 && UpperCase(Name.substr(Name.size() - 4)) == ".TXT";
}

// A cookie file of Internet Explorer: "user@host[n].txt", small.
bool IsCookieFile(const WIN32_FIND_DATAA& Entry) {
  if (Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  const std::string name = Entry.cFileName;
  if (name.find('@') == std::string::npos || !EndsWithTxt(name)) return false;
  return Entry.nFileSizeHigh == 0 && Entry.nFileSizeLow <= kMaxCookieFileSize;
}

bool HoldsCookieFile(const std::string& Folder) {
  WIN32_FIND_DATAA entry{};
  HANDLE h = FindFirstFileA((Folder + "*.*").c_str(), &entry);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    found = IsCookieFile(entry);
  } while (!found && FindNextFileA(h, &entry));
  ::FindClose(h);
  return found;
}

}  // namespace

void TMainFrm::chkIECookiesSearchClick(TObject* /*Sender*/) {
  pnlIEAdvancedSearch->SetVisible(chkIECookiesSearch->Checked());
}

void TMainFrm::lblIECookiesSearchCloseClick(TObject* /*Sender*/) {
  chkIECookiesSearch->SetChecked(false);
  chkIECookiesSearchClick(chkIECookiesSearch);
}

void TMainFrm::btnIEBrowseForFolderClick(TObject* /*Sender*/) {
  std::string folder;
  if (!SelectDirectory("Select Folder", "", folder)) return;
  cboLocalIEDrives->SetItemIndex(-1);
  cboLocalIEDrives->SetText(folder);
}

void TMainFrm::btnIECookiesSearchClick(TObject* /*Sender*/) {
  IESearchStopped = false;
  if (btnIECookiesSearch->Caption() != kStopCaption) {
    StartIECookieSearch("index.dat");
    if (IESearchThread) btnIECookiesSearch->SetHint(kStopHint);
    return;
  }
  IESearchCancelling = true;
  IESearchDone();
  lblIEFound->SetCaption("");
  btnIEFoundInfo->SetVisible(false);
  StopIESearch();
  Inform("Internet Explorer cookies search was cancelled!");
  IESearchCancelling = false;
  btnIECookiesSearch->SetHint(kStartHint);
}

void TMainFrm::StartIECookieSearch(const std::string& Mask) {
  if (FoundIEFolders)
    FoundIEFolders->Clear();
  else
    FoundIEFolders = std::make_unique<TStringList>();
  // A search still winding down (its end report handled, the thread not yet
  // released) goes before the next one starts.
  StopIESearch();
  if (IESearchThread) return;  // still inside its own report: it ends first

  // While a report runs its thread is blocked in it; the depth tells
  // StopIESearch not to wait then.
  struct TInReport {
    int& depth;
    explicit TInReport(int& d) : depth(d) { ++depth; }
    ~TInReport() { --depth; }
  };
  auto found = [this](const std::string& FileName, const WIN32_FIND_DATAA* FindData) {
    TInReport in(IESearchReportDepth);
    IESearchFound(FileName, FindData);
  };
  auto progress = [this](const std::string& Folder) {
    TInReport in(IESearchReportDepth);
    IESearchProgress(Folder);
  };
  auto error = [this](const std::string& Path, const std::string& ErrorText) {
    TInReport in(IESearchReportDepth);
    IESearchError(Path, ErrorText);
  };
  auto done = [this] {
    TInReport in(IESearchReportDepth);
    IESearchDone();
  };

  const int index = cboLocalIEDrives->ItemIndex();
  if (index != 0) {
    const std::string root =
        IncludeTrailingBackslash(index < 0 ? cboLocalIEDrives->Text() : cboLocalIEDrives->Path(index));
    if (index < 0 && !DirectoryExists(root)) {
      Inform("Directory '" + root +
             "' does not exist or is not accessible.\r\nPlease refine your search criteria and try again.");
      return;
    }
    PrepareIESearchUI();
    IESearchThread = StartDirectorySearch(root, Mask, kSearchAttr, done, error, progress, found);
    return;
  }
  // My Computer: every place below it that has a folder on disk. A place
  // without one would become "\", the current drive searched again.
  TStringList roots;
  for (int i = 1; i < cboLocalIEDrives->Items()->Count(); ++i) {
    const std::string path = cboLocalIEDrives->Path(i);
    if (!path.empty()) roots.Add(IncludeTrailingBackslash(path));
  }
  PrepareIESearchUI();
  IESearchThread = StartMultiDirectorySearch(roots, Mask, kSearchAttr, done, error, progress, found);
}

void TMainFrm::PrepareIESearchUI() {
  lblIEFound->SetCaption("");
  lblIEFound->SetTag(0);
  lblIEFound->SetVisible(true);
  btnIEFoundInfo->SetVisible(false);
  lblIESearchInProgress1->SetVisible(true);
  TimerIESearchProgress->SetInterval(100);
  TimerIESearchProgress->SetEnabled(true);
  panelIESearchLeft->SetCursor(crAppStart);
  btnIEBrowseForFolder->SetEnabled(false);
  cboLocalIEDrives->SetEnabled(false);
  btnIECookiesSearch->SetCaption(kStopCaption);
}

void TMainFrm::IESearchFound(const std::string& FileName, const WIN32_FIND_DATAA* /*FindData*/) {
  const std::string folder = ExtractFilePath(FileName);
  const std::string lower = LowerCase(folder);
  TStrings* entries = CboIECookieFolders->Items();
  int manual = 0;
  for (int i = 0; i < entries->Count(); ++i) {
    const tIEProfileInfo* info = IECookieFolder(i);
    if (!info) continue;
    if (LowerCase(info->Folder) == lower) return;
    if (info->IsManual) ++manual;
  }
  if (!HoldsCookieFile(folder)) return;

  tIEProfileInfo info;
  info.UserName = "Manually Found(" + IntToStr(manual) + ")";
  info.Folder = folder;
  info.IsManual = true;
  info.IsDefault = false;
  AddIECookieFolder(info);
  // The list may have been hidden at start-up for want of entries: the
  // folder just found must be choosable.
  CboIECookieFolders->SetVisible(true);
  btnIEFoundInfo->SetVisible(true);
  lblIEFound->SetTag(lblIEFound->Tag() + 1);
  lblIEFound->SetCaption("Found: " + IntToStr(lblIEFound->Tag()));
  if (FoundIEFolders) FoundIEFolders->Add(folder);
}

void TMainFrm::IESearchProgress(const std::string& Folder) {
  if (lblIESearching->Caption() != Folder) lblIESearching->SetCaption(Folder);
}

void TMainFrm::IESearchError(const std::string& /*Path*/, const std::string& ErrorText) {
  IESearchDone();
  Inform(ErrorText);
  // The thread waits for this report to return: it is asked to stop here
  // and released once it has ended (see IESearchDone).
  if (IESearchThread) IESearchThread->Terminate();
}

void TMainFrm::IESearchDone() {
  if (IESearchStopped) return;
  TimerIESearchProgress->SetEnabled(false);
  lblIESearchInProgress1->SetVisible(false);
  btnIEFoundInfo->SetVisible(false);
  panelIESearchLeft->SetCursor(crDefault);
  btnIEBrowseForFolder->SetEnabled(true);
  cboLocalIEDrives->SetEnabled(true);
  btnIECookiesSearch->SetCaption(kStartCaption);
  btnIECookiesSearch->SetHint(kStartHint);
  lblIESearching->SetCaption("");

  if (FoundIEFolders && CboIECookieFolders->Items()->Count() > 0) {
    if (IEPrivacyListAvailable) IETabControl->SetVisible(true);
    pnlIEAdvancedSearch->SetVisible(false);
    if (CboIECookieFolders->ItemIndex() < 0 && FoundIEFolders->Count() > 0) {
      // Nothing chosen yet: open the first folder this search found.
      for (int i = 0; i < CboIECookieFolders->Items()->Count(); ++i) {
        const tIEProfileInfo* info = IECookieFolder(i);
        if (info && LowerCase(info->Folder) == LowerCase(FoundIEFolders->Strings(0))) {
          CboIECookieFolders->SetItemIndex(i);
          break;
        }
      }
      CboIECookieFoldersClick(CboIECookieFolders);
    } else {
      ReloadIECookies();
    }
    chkIECookiesSearch->SetChecked(false);
    chkIECookiesSearchClick(chkIECookiesSearch);
    FocusActiveGridRow();
  }
  if (FoundIEFolders) {
    const int n = FoundIEFolders->Count();
    if (n == 1) Inform("One IE cookie folder was found.");
    if (n >= 2) Inform(IntToStr(n) + " Internet Explorer cookie folders were found.");
  }
  FoundIEFolders.reset();
  if (!IESearchCancelling && lblIEFound->Tag() == 0)
    Inform("Search finished, but no new Internet Explorer cookie folders where found.\r\n"
           "Please refine your search criteria and try again.");
  IESearchStopped = true;
  // This may run inside the thread's own report, where it cannot be waited
  // for: the thread is released from the message loop right after.
  if (IESearchThread && !IESearchCancelling) ScheduleIESearchRelease();
}

void TMainFrm::ScheduleIESearchRelease() {
  if (!IESearchThread) return;
  if (!IESearchReleaseTimer) {
    IESearchReleaseTimer = new TTimer(this);
    IESearchReleaseTimer->SetEnabled(false);
    IESearchReleaseTimer->SetInterval(1);
    IESearchReleaseTimer->OnTimer = [this](TObject*) {
      IESearchReleaseTimer->SetEnabled(false);
      StopIESearch();
    };
  }
  IESearchReleaseTimer->SetEnabled(true);
}

void TMainFrm::StopIESearch() {
  if (IESearchReleaseTimer) IESearchReleaseTimer->SetEnabled(false);
  // Taken out first: a report served while waiting that ends up here again
  // finds nothing left to stop.
  if (!IESearchThread) return;
  if (IESearchReportDepth > 0) {
    // Called from inside one of the search's reports (a message box of a
    // report lets the user press a button): that thread waits for us, so it
    // is only asked to stop and released from the message loop.
    IESearchThread->Terminate();
    ScheduleIESearchRelease();
    return;
  }
  std::unique_ptr<TThread> thread = std::move(IESearchThread);
  thread->TerminateAndWait();
}

void TMainFrm::TimerIESearchProgressTimer(TObject* /*Sender*/) {
  if (IESearchStopped) {
    TimerIESearchProgress->SetEnabled(false);
    return;
  }
  TLabel* label = lblIESearchInProgress1;
  const int step = static_cast<int>(label->Tag());
  const int colour = (static_cast<int>(label->Font()->Color()) + 16 * step) % 256;
  label->Font()->SetColor(static_cast<TColor>(colour));
  if (colour == 255 || colour <= 14) label->SetTag(-step);
}

void TMainFrm::btnIEFoundInfoClick(TObject* /*Sender*/) {
  if (!FoundIEFolders) return;
  FoundInfoDlg->lbFolderList->Items()->Assign(FoundIEFolders.get());
  FoundInfoDlg->SetCaption("Found Internet Explorer Cookie Folders");
  FoundInfoDlg->ShowModal();
}

}  // namespace morvane
