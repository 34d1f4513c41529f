// The main window's life: what its creation reads and builds, what its first
// activation ends, what its destruction saves; the options, help and about
// commands and the tool-bar and status-bar toggles.
#include <algorithm>
#include <set>

#include "app/about_box.h"
#include "app/main_form.h"
#include "app/settings_dlg.h"
#include "app/splash.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/net/software_update.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/opera/qb_opera_cookie_info.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/settings/persitent_properties.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/services.h"

namespace morvane {

namespace {

const char* const kSearchValues[] = {"SearchDlg", "SearchFileNames", "SearchCookieNames", "SearchCookieValues",
                                     "SearchURLs", "SearchCaseSensitive"};

// A stored Boolean ("-1"/"0", or any text the toolkit reads as one).
bool ReadBool(TPersitentProperties& Props, const std::string& Name, bool Default) {
  std::string text;
  Props.GetProperty(Name, text);
  bool value = Default;
  return TryStrToBool(text, value) ? value : Default;
}

std::string BoolText(bool v) { return v ? "-1" : "0"; }

}  // namespace

std::function<void()>& TMainFrm::SoftwareUpdateCheck() {
  static std::function<void()> check = [] {
    const TUpdateServer server = UpdateServer();
    if (!server.Host.empty()) CheckForSoftwareUpdates(server.Host, server.Port, kUpdatePath);
  };
  return check;
}

void TMainFrm::CreateMozillaStore(std::unique_ptr<QbMozillaCookiesClass>& Store, int Kind) {
  try {
    Store = std::make_unique<QbMozillaCookiesClass>(static_cast<uint8_t>(Kind));
  } catch (...) {
    Store.reset();
  }
}

void TMainFrm::FormCreate(TObject* /*Sender*/) {
  MozillaSearchStopped = false;
  IESearchStopped = false;
  FirefoxPageShown = false;
  NetscapePageShown = false;

  Splash = new TSplash(nullptr);
  Splash->FreeNotification(this);
  Splash->Show();
  Splash->Update();

  for (TWinControl* c : std::initializer_list<TWinControl*>{IETabSheet, IETabControl, NetscapeTabControl, tb,
                                                            lblProfile, chkIECookiesSearch, chkMozillaCookiesSearch})
    c->SetDoubleBuffered(true);

  // Pages change only through the browser buttons and the element tabs.
  for (TPageControl* pages : {BrowsersPageControl, IEViewableElementsPageControl, NetscapeViewableElementsPageControl}) {
    for (int i = 0; i < pages->PageCount(); ++i) pages->Pages(i)->SetTabVisible(false);
    pages->SetActivePageIndex(0);
  }

  std::string user;
  try {
    GetCurrentUserName(user);
  } catch (...) {
    user.clear();
  }
  sb->Panels(3)->SetText(user.empty() ? std::string() : "Logged in as: " + user);

  Properties = std::make_unique<TPersitentProperties>();
  CheckForUpdates = ReadBool(*Properties, "checkForUpdates", true);
  {
    std::string text;
    Properties->GetProperty("checkForUpdatesFrequency", text);
    if (!TryStrToInt(text, CheckForUpdatesFrequency)) CheckForUpdatesFrequency = 14;
  }
  // The update notice is modal and centred like the splash: the splash must
  // not stay on top of it while the check may show it. Only a due check
  // changes the splash, which saves a start without one two window moves.
  CheckForSoftwareUpdatesWhenDue(*Properties, Now(), [this] {
    if (Splash) Splash->SetFormStyle(TFormStyle::fsNormal);
    if (SoftwareUpdateCheck()) SoftwareUpdateCheck()();
    if (Splash) Splash->SetFormStyle(TFormStyle::fsStayOnTop);
    return true;
  });

  SaveProfiles = ReadBool(*Properties, "SaveProfiles", true);
  OperaStore.reset();
  if (Splash) Splash->Repaint();

  Grids = {IECookiesElTree, ElTreeDomains, ElTreeHistory, MozillaCookiesElTree, ElTreeMozillaDomains,
           OperaCookiesElTree, EltreeOperaDomains};

  // Every Windows user's cookie folder; the default one chosen.
  {
    std::vector<tIEProfileInfo> folders;
    try {
      folders = GetIECookieFolders();
    } catch (...) {
      folders.clear();
    }
    int chosen = -1;
    for (const tIEProfileInfo& f : folders) {
      const int i = AddIECookieFolder(f);
      if (chosen < 0 && f.IsDefault) chosen = i;
    }
    if (chosen < 0 && !folders.empty()) chosen = 0;
    if (chosen >= 0)
      CboIECookieFolders->SetItemIndex(chosen);
    else
      CboIECookieFolders->SetVisible(false);
  }

  CreateMozillaStore(NetscapeStore, 0);
  ActiveStore = NetscapeStore.get();
  NetscapeCheck->SetVisible(NetscapeStore && NetscapeStore->GetProfiles());
  CreateMozillaStore(FirefoxStore, 1);
  if (FirefoxStore) ActiveStore = FirefoxStore.get();
  FireFoxCheck->SetVisible(FirefoxStore && FirefoxStore->GetProfiles());

  try {
    const int n = Properties->GetArrayCount("ManuallyEnteredIEProfilePaths");
    for (int i = 0; i < n; ++i) {
      std::string path, name;
      Properties->GetArrayItem("ManuallyEnteredIEProfilePaths", i, path);
      if (path.empty() || !DirectoryExists(path)) continue;
      Properties->GetArrayItem("ManuallyEnteredIEProfileNames", i, name);
      AddIECookieFolder(tIEProfileInfo{name, path, false, true});
    }
    // With a store, the directories wait in its list for the next load of
    // the Netscape page; without one, the first makes a store of its own.
    const bool hadStore = ActiveStore != nullptr;
    const int m = Properties->GetArrayCount("ManuallyEnteredProfiles");
    for (int i = 0; i < m; ++i) {
      std::string dir;
      Properties->GetArrayItem("ManuallyEnteredProfiles", i, dir);
      if (dir.empty() || !FileExists(dir + "\\cookies.txt")) continue;
      if (hadStore) {
        ActiveStore->ProfileDirs.Add(dir);
      } else if (!NetscapeStore) {
        NetscapeStore = QbMozillaCookiesClass::CreateForProfile(dir);
        ActiveStore = NetscapeStore.get();
        if (ActiveStore) ActiveStore->ProfileDirs.Add(dir);
      } else {
        NetscapeStore->ProfileDirs.Add(dir);
        NetscapeStore->AddProfileDir(dir);
      }
    }
  } catch (...) {
  }
  if (CboIECookieFolders->Items()->Count() > 0) CboIECookieFolders->SetVisible(true);

  cboLocalDrives->SetObjectTypes(4);
  cboLocalDrives->SetDropDownCount(16);

  // Leftovers of cookie files whose rewrite was interrupted.
  DeleteFilesByMask(ExtractFilePath(ProgramFileName()) + "$TMP$_*.*", false);

  CreateMutexA(nullptr, FALSE, "qbMorvaneMutex");

  IEPrivacyListAvailable = IsIEPrivacyListAvailable();
  IETabControl->SetVisible(IEPrivacyListAvailable);
  GridMenu->Items()->Items(4)->SetVisible(IEPrivacyListAvailable);
  GridMenu->Items()->Items(3)->SetVisible(IEPrivacyListAvailable);

  SetupGrids();
  ElTreeHistoryFiles->Font()->SetSize(IECookiesElTree->Font()->Size());

  // Column orders and sorts, each grid on its own: a value left by another
  // layout must not cost the grids after it their order.
  for (TElTreeWindow* grid : Grids) {
    try {
      std::string order, dir, column;
      Properties->GetProperty(grid->Name() + "-SectionOrder", order);
      TElTree& t = grid->Tree();
      t.HeaderSections().SetSectionsOrder(order);
      const int count = t.HeaderSections().Count();
      if (count < 2) continue;
      Properties->GetProperty(grid->Name() + "-SortDir", dir);
      t.SortDir = !dir.empty() && dir[0] == 'D' ? sdAscend : sdDescend;
      Properties->GetProperty(grid->Name() + "-SortColumn", column);
      int index = 1;
      if (!TryStrToInt(column, index)) index = 1;
      index = std::max(1, std::min(count - 1, index));
      IECookiesElTreeHeaderColumnClick(grid, index);
    } catch (...) {
    }
  }

  if (Properties->Maximized) {
    SetWindowState(TWindowState::wsMaximized);
  } else {
    SetPosition(TPosition::poDesigned);
    SetBounds(Properties->Left, Properties->Top, Properties->Width, Properties->Height);
    SetWindowState(TWindowState::wsNormal);
  }
  sb->SetVisible(Properties->ViewStatusbar);
  tb->SetVisible(Properties->ViewToolbar);
  StatusBar1->SetChecked(Properties->ViewStatusbar);
  Toolbar1->SetChecked(Properties->ViewToolbar);

  HiddenLbl->Font()->SetSize(IECookiesElTree->Font()->Size());

  bool values[6];
  bool readable = true;
  for (int i = 0; i < 6; ++i) {
    std::string text;
    Properties->GetProperty(kSearchValues[i], text);
    readable = readable && TryStrToBool(text, values[i]);
  }
  if (readable) {
    ToolBtnSearch->SetDown(values[0]);
    mnuSearch->SetChecked(!values[0]);
    ToolBtnSearchClick(nullptr);
    chkFileNames->SetChecked(values[1]);
    chkCookieNames->SetChecked(values[2]);
    chkCookieValues->SetChecked(values[3]);
    chkURLs->SetChecked(values[4]);
    chkCaseSensitive->SetChecked(values[5]);
  } else {
    TopSearchPanel->SetVisible(false);
    ToolBtnSearch->SetDown(false);
    mnuSearch->SetChecked(false);
    for (TCheckBox* c : {chkFileNames, chkCookieNames, chkCookieValues, chkURLs}) c->SetChecked(true);
    chkCaseSensitive->SetChecked(false);
  }
}

void TMainFrm::FormActivate(TObject* /*Sender*/) {
  if (FirstActivation) {
    FirstActivation = false;
    if (Splash) Splash->CloseRequested = true;
  }
  ListViewsPageControlChange(nullptr);
}

void TMainFrm::FormDestroy(TObject* /*Sender*/) {
  MozillaSearchStopped = true;
  IESearchStopped = true;
  lblMozillaFound->SetCaption("");
  // A search still running would call back into this window after it is gone.
  StopIESearch();

  if (Properties) {
    for (TElTreeWindow* grid : Grids) {
      Properties->SetProperty(grid->Name() + "-SectionOrder", grid->Tree().HeaderSections().SectionsOrder());
      TTabSheet* sheet = GridTabSheet(grid);
      Properties->SetProperty(grid->Name() + "-SortColumn", IntToStr(sheet ? static_cast<int>(sheet->Tag()) : 1));
    }
    Properties->SetProperty("SearchDlg", BoolText(TopSearchPanel->Visible()));
    Properties->SetProperty("SearchFileNames", BoolText(chkFileNames->Checked()));
    Properties->SetProperty("SearchCookieNames", BoolText(chkCookieNames->Checked()));
    Properties->SetProperty("SearchCookieValues", BoolText(chkCookieValues->Checked()));
    Properties->SetProperty("SearchURLs", BoolText(chkURLs->Checked()));
    Properties->SetProperty("SearchCaseSensitive", BoolText(chkCaseSensitive->Checked()));
    Properties->SetProperty("FontSize", IntToStr(IECookiesElTree->Font()->Size()));
    Properties->SetProperty("SaveProfiles", BoolText(SaveProfiles));
    Properties->SetProperty("checkForUpdates", BoolText(CheckForUpdates));
    Properties->SetProperty("checkForUpdatesFrequency", IntToStr(CheckForUpdatesFrequency));
    Properties->ViewStatusbar = sb->Visible();
    Properties->ViewToolbar = tb->Visible();
    Properties->DeleteArray("ManuallyEnteredProfiles");
    Properties->DeleteArray("ManuallyEnteredIEProfilePaths");
    Properties->DeleteArray("ManuallyEnteredIEProfileNames");
    if (SaveProfiles) {
      // Manual profiles may sit in either store (the Firefox store takes
      // them when it exists); both lists are kept, Netscape's first.
      std::set<std::string> seen;
      int k = 0;
      for (QbMozillaCookiesClass* store : {NetscapeStore.get(), FirefoxStore.get()}) {
        if (!store) continue;
        for (int i = 0; i < store->ProfileDirs.Count(); ++i) {
          const std::string dir = store->ProfileDirs.Strings(i);
          if (dir.empty() || !seen.insert(AnsiUpperCase(dir)).second) continue;
          Properties->SetArrayItem("ManuallyEnteredProfiles", k++, dir);
        }
      }
      k = 0;
      for (int i = 0; i < CboIECookieFolders->Items()->Count(); ++i) {
        const tIEProfileInfo* f = IECookieFolder(i);
        if (!f || !f->IsManual) continue;
        Properties->SetArrayItem("ManuallyEnteredIEProfilePaths", k, f->Folder);
        Properties->SetArrayItem("ManuallyEnteredIEProfileNames", k, f->UserName);
        ++k;
      }
    }
    const RECT r = NormalBounds();
    const TWindowState state = WindowState();
    Properties->Save(TSavedWindowState{state == TWindowState::wsNormal, state == TWindowState::wsMaximized, r.left,
                                       r.top, r.right - r.left, r.bottom - r.top});
    Properties.reset();
  }

  NetscapeStore.reset();
  OperaStore.reset();
  FirefoxStore.reset();
  ActiveStore = nullptr;
  Grids.clear();
  if (Splash) {
    TSplash* splash = Splash;
    Splash = nullptr;
    delete splash;
  }
}

void TMainFrm::Exit1Click(TObject* /*Sender*/) { Close(); }

void TMainFrm::StatusBar1Click(TObject* /*Sender*/) {
  sb->SetVisible(!sb->Visible());
  StatusBar1->SetChecked(sb->Visible());
}

void TMainFrm::Toolbar1Click(TObject* /*Sender*/) {
  tb->SetVisible(!tb->Visible());
  Toolbar1->SetChecked(tb->Visible());
}

void TMainFrm::About1Click(TObject* /*Sender*/) {
  auto* box = new TAboutBox(this);
  try {
    box->SetCaption("About " + ProgramTitle());
    box->ShowModal();
  } catch (...) {
    delete box;
    throw;
  }
  delete box;
}

void TMainFrm::ToolButtonHelpClick(TObject* Sender) { About1Click(Sender); }

void TMainFrm::MorvaneHelp1Click(TObject* /*Sender*/) {
  ShellExecute(Handle(), "open", ExtractFilePath(ProgramFileName()) + "Morvane.chm", "", "", SW_SHOWNORMAL);
}

void TMainFrm::mnuSettingsClick(TObject* /*Sender*/) {
  if (!SettingsDlg) return;
  SettingsDlg->Grids = {IECookiesElTree,      ElTreeDomains,      ElTreeHistory,      ElTreeHistoryFiles,
                        MozillaCookiesElTree, ElTreeMozillaDomains, OperaCookiesElTree, EltreeOperaDomains};
  SettingsDlg->Properties = Properties.get();
  std::string fontSize;
  if (Properties) Properties->GetProperty("FontSize", fontSize);
  TSettingsOptions options{SaveProfiles, CheckForUpdates, CheckForUpdatesFrequency};
  if (ExecuteSettings(*SettingsDlg, options, fontSize)) {
    SaveProfiles = options.SaveProfiles;
    CheckForUpdates = options.CheckForUpdates;
    CheckForUpdatesFrequency = options.CheckForUpdatesFrequency;
  }
}

}  // namespace morvane
