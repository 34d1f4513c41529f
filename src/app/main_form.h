// TMainFrm: the program's main window. One class; its member functions live
// in several files, one per concern:
//   main_form.cpp               construction, destruction, the named-control helper
//   main_form_layout.cpp        every control, menu and event wiring (BuildLayout)
//   main_form_lifecycle.cpp     creation, activation and destruction; options; help and about
//   main_form_grids.cpp         view kind, column sets, header click and sort memory, owner
//                               drawing, positions, tool-bar state, grid menus
//   main_form_switching.cpp     browser and element page switching, page loaders, Opera
//                               loader, cookie-folder combo, history page views, status bar
//   main_form_ie_cookies.cpp    Internet Explorer cookies page
//   main_form_ie_privacy.cpp    Internet Explorer per-site privacy list page
//   main_form_ie_history.cpp    Internet Explorer history page
//   main_form_netscape.cpp      Netscape/Mozilla, Firefox and Opera pages
//   main_form_disk_search.cpp   the cookie-folder disk search panel
//   main_form_commands.cpp      command dispatch, copy, export, view in browser
//   main_form_search_panel.cpp  the search and filter panel
//   main_form_page_commands.cpp blocking, row comparison, keys, log viewer
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browserdata/ie/cookie_info.h"
#include "platform/core/classes.h"
#include "platform/core/threads.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"
#include "platform/ui/shellctrls.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/timers.h"
#include "treeview/eltree_window.h"

namespace morvane {

class TCookieInfo;
struct TCookieInfoDetails;
class TIEHistory;
class QbMozillaCookiesClass;
class QbOperaCookieInfo;
class TPersitentProperties;
class TSplash;
class TQBBinaryFileListView;
class TDirectorySearchThread;
class TElTreeItem;
class TElHeaderSection;
class TCanvas;
struct TQbCookie;
struct tIEProfileInfo;
class TRowKeyCache;

class TMainFrm : public TForm {
 public:
  explicit TMainFrm(TComponent* AOwner);
  ~TMainFrm() override;

  // ---- Controls (main_form_layout.cpp creates them all) ----------------------------
  // Menus. GridMenu and the main menu's "&Edit" hold the same fourteen items.
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* mnuFile = nullptr;
  TMenuItem* mnuSaveAs = nullptr;          // "Sa&ve as..."
  TMenuItem* mnuSaveSelectedAs = nullptr;  // "Save selec&tion as..."
  TMenuItem* Exit1 = nullptr;
  TMenuItem* mnuEdit = nullptr;            // "&Edit": the fourteen grid items
  TMenuItem* mnuView = nullptr;
  TMenuItem* Toolbar1 = nullptr;           // "&Toolbar"
  TMenuItem* StatusBar1 = nullptr;         // "&Statusbar"
  TMenuItem* mnuSearch = nullptr;          // "&Search..."
  TMenuItem* Refresh1 = nullptr;           // "&Refresh"
  TMenuItem* mnuIECookies = nullptr;
  TMenuItem* mnuMozilla = nullptr;
  TMenuItem* mnuFireFox = nullptr;
  TMenuItem* mnuOpera = nullptr;
  TMenuItem* mnuTools = nullptr;
  TMenuItem* mnuSettings = nullptr;        // "S&ettings..."
  TMenuItem* ViewLogFile1 = nullptr;       // "&View Log File..."
  TMenuItem* mnuHelp = nullptr;
  TMenuItem* MorvaneHelp1 = nullptr;       // "Morvane Help"
  TMenuItem* About1 = nullptr;             // "&About Morvane..."
  TPopupMenu* GridMenu = nullptr;
  TPopupMenu* mnuProfileRename = nullptr;  // pop-up of CboIECookieFolders: "&Rename"
  TMenuItem* Rename1 = nullptr;
  TPopupMenu* HistoryMenu = nullptr;       // pop-up of ElTreeHistory
  TMenuItem* ViewHistoryObject1 = nullptr; // "V&iew history object"
  TMenuItem* Selectall4 = nullptr;         // "&Select all"
  TMenuItem* DeselectAll1 = nullptr;       // "Deselect &all"

  // Tool bar.
  TToolBar* tb = nullptr;
  TToolButton* IECheck = nullptr;
  TToolButton* NetscapeCheck = nullptr;
  TToolButton* FireFoxCheck = nullptr;
  TToolButton* OperaCheck = nullptr;
  TToolButton* ToolButtonRefresh = nullptr;  // "Refresh"
  TToolButton* ToolButtonEdit = nullptr;     // "     &Edit     "
  TToolButton* ToolButtonNew = nullptr;      // "New"
  TToolButton* ToolButtonDelete = nullptr;   // "&Delete"
  TToolButton* ToolButtonSave = nullptr;     // "&Save"
  TToolButton* ToolBtnSearch = nullptr;      // "S&earch" (check)
  TToolButton* ToolButtonHelp = nullptr;     // "Help"

  TStatusBar* sb = nullptr;

  // Search and filter panel.
  TPanel* TopSearchPanel = nullptr;
  TLabel* CloseLbl = nullptr;
  TEdit* EdtItemToSearch = nullptr;
  TButton* BtnSearch = nullptr;
  TButton* btnClearSearch = nullptr;
  TCheckBox* chkCaseSensitive = nullptr;
  TGroupBox* SearchOptionsGropuBox = nullptr;
  TCheckBox* chkFileNames = nullptr;
  TCheckBox* chkCookieNames = nullptr;
  TCheckBox* chkCookieValues = nullptr;
  TCheckBox* chkURLs = nullptr;
  TLabel* lblSearchStatus = nullptr;
  TLabel* lbldomain = nullptr;

  // Invisible helpers.
  TLabel* HiddenLbl = nullptr;  // measures " 0000 "
  TSaveDialog* SaveDialog1 = nullptr;
  TTimer* TimerIESearchProgress = nullptr;

  // Browser pages (tabs hidden).
  TPageControl* BrowsersPageControl = nullptr;
  TTabSheet* IETabSheet = nullptr;
  TTabSheet* NetscapeTabSheet = nullptr;
  TTabSheet* OperaTabSheet = nullptr;
  TTabSheet* EmptyTabSheet = nullptr;  // view kind 0

  // Internet Explorer page.
  TTabControl* IETabControl = nullptr;
  TLabel* lblIESearchInProgress1 = nullptr;
  TComboBox* CboIECookieFolders = nullptr;
  TCheckBox* chkIECookiesSearch = nullptr;
  TPanel* pnlIEAdvancedSearch = nullptr;
  TPanel* panelIESearchLeft = nullptr;
  TLabel* lblIECookiesSearchClose = nullptr;
  TShellComboBox* cboLocalIEDrives = nullptr;
  TButton* btnIEBrowseForFolder = nullptr;
  TButton* btnIECookiesSearch = nullptr;
  TLabel* lblIESearching = nullptr;
  TLabel* lblIEFound = nullptr;
  TButton* btnIEFoundInfo = nullptr;
  TPageControl* IEViewableElementsPageControl = nullptr;
  TTabSheet* IECookiesTabSheet = nullptr;
  TTabSheet* IEBlockedDomainsTabSheet = nullptr;
  TTabSheet* IEHistoryTabSheet = nullptr;
  TElTreeWindow* IECookiesElTree = nullptr;
  TElTreeWindow* ElTreeDomains = nullptr;
  TElTreeWindow* ElTreeHistoryFiles = nullptr;
  TLabel* lblHistoryFile = nullptr;
  TPageControl* pgHistory = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Object View"
  TTabSheet* TabSheet2 = nullptr;  // "Binary View"
  TElTreeWindow* ElTreeHistory = nullptr;
  TQBBinaryFileListView* QBBinaryFileListView1 = nullptr;

  // Netscape/Mozilla and Firefox page.
  TTabControl* NetscapeTabControl = nullptr;
  TLabel* lblProfile = nullptr;  // "Profile:"
  TComboBox* cboMozillaProfiles = nullptr;
  TCheckBox* chkMozillaCookiesSearch = nullptr;  // the second "Advanced Search" box
  TShellComboBox* cboLocalDrives = nullptr;
  TLabel* lblMozillaFound = nullptr;             // "Found: "
  TPageControl* NetscapeViewableElementsPageControl = nullptr;
  TTabSheet* NetscapeCookiesTabSheet = nullptr;
  TTabSheet* NetscapeBlockedDomainsTabSheet = nullptr;
  TElTreeWindow* MozillaCookiesElTree = nullptr;
  TElTreeWindow* ElTreeMozillaDomains = nullptr;

  // Opera page.
  TPageControl* OperaPageControl = nullptr;
  TTabSheet* OperaCookiesTabSheet = nullptr;
  TTabSheet* OperaBlockedDomainsTabSheet = nullptr;
  TElTreeWindow* OperaCookiesElTree = nullptr;
  TElTreeWindow* EltreeOperaDomains = nullptr;

  // ---- State (main_form_lifecycle.cpp initialises it) --------------------------------
  bool MozillaSearchStopped = false;
  bool IESearchStopped = false;
  bool FirefoxPageShown = false;
  bool NetscapePageShown = false;
  std::unique_ptr<TPersitentProperties> Properties;
  bool CheckForUpdates = true;
  int CheckForUpdatesFrequency = 14;
  bool SaveProfiles = true;
  std::vector<TElTreeWindow*> Grids;  // the seven grids in their fixed order
  std::unique_ptr<QbMozillaCookiesClass> NetscapeStore;
  std::unique_ptr<QbMozillaCookiesClass> FirefoxStore;
  QbMozillaCookiesClass* ActiveStore = nullptr;  // one of the two above
  std::unique_ptr<QbOperaCookieInfo> OperaStore;
  std::unique_ptr<TCookieInfo> CookieInfo;
  std::unique_ptr<TIEHistory> History;
  std::string LastHistoryFolder;
  bool IEPrivacyListAvailable = false;
  uint8_t BrowserKind = 2;  // 0 Netscape/Mozilla, 1 Firefox, 2 Internet Explorer, 3 Opera
  TSplash* Splash = nullptr;
  bool FirstActivation = true;

  // ---- main_form.cpp --------------------------------------------------------------------
  // The control of this window with that component name, or null.
  TControl* FindNamedControl(const std::string& Name) const;
  // Appends an entry to CboIECookieFolders under Info.UserName; the window
  // keeps the entry's record. Returns the entry's index.
  int AddIECookieFolder(const tIEProfileInfo& Info);
  // The record of entry Index of CboIECookieFolders, or null.
  tIEProfileInfo* IECookieFolder(int Index) const;
  // The program's display name (the distributor's, else the built-in one).
  static std::string ProgramTitle();

  // ---- main_form_lifecycle.cpp ------------------------------------------------------------
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void StatusBar1Click(TObject* Sender);
  void Toolbar1Click(TObject* Sender);
  void About1Click(TObject* Sender);
  void ToolButtonHelpClick(TObject* Sender);
  void MorvaneHelp1Click(TObject* Sender);
  void mnuSettingsClick(TObject* Sender);
  // Creates the Netscape/Mozilla (Kind 0) or Firefox (Kind 1) store; a failing
  // constructor leaves Store empty.
  void CreateMozillaStore(std::unique_ptr<QbMozillaCookiesClass>& Store, int Kind);
  // The start-up update check, when it is due: the maker's update list
  // (tests put a stand-in here).
  static std::function<void()>& SoftwareUpdateCheck();

  // ---- main_form_grids.cpp ------------------------------------------------------------------
  uint8_t GetViewKind();
  TElTreeWindow* GetActiveGrid();
  void SetupGrids();
  void AddGridColumn(TElTreeWindow* Tree, const std::string& Caption, int Width, int Style, int FieldType,
                     bool AutoSize);
  void SetupIECookieColumns();
  void SetupIEDomainColumns();
  void SetupHistoryColumns();
  void SetupMozillaCookieColumns();
  void SetupMozillaDomainColumns();
  void SetupOperaCookieColumns();
  void SetupOperaDomainColumns();
  void IECookiesElTreeHeaderColumnClick(TObject* Sender, int SectionIndex);
  void RestoreSort(TElTreeWindow* Grid);
  void FitTextToWidth(const std::wstring& Text, int Width, std::wstring& Fitted, TCanvas* Canvas);
  void RestoreGridPosition(TElTreeWindow* Grid, int Index, int TopIndex);
  void FocusActiveGridRow();
  void UpdateToolbarState(bool HasRows);
  void SelectAll2Click(TObject* Sender);
  void UnselectAll1Click(TObject* Sender);
  void GridMenuPopup(TObject* Sender);
  void mnuEditClick(TObject* Sender);
  void ComposeCookiesMenu(TMenuItem* Menu, TElTreeWindow* Grid);
  void ComposeDomainsMenu(TMenuItem* Menu, TElTreeWindow* Grid);
  void ComposeHistoryFilesMenu(TMenuItem* Menu, TElTreeWindow* Grid);
  TElTreeItem* GetSelectedItem(TElTreeWindow* Tree);
  void IECookiesElTreeItemSelectedChange(TObject* Sender, TElTreeItem* Item);
  void IECookiesElTreeItemSelectedChangesEnd(TObject* Sender);
  void ShowSelectedCount(TElTreeWindow* Grid);
  void IECookiesElTreeHeaderColumnDraw(TObject* Sender, TCanvas* Canvas, TElHeaderSection* Section, RECT R,
                                       bool Pressed);
  void IECookiesElTreeItemDraw(TObject* Sender, TElTreeItem* Item, TCanvas* Surface, RECT R, int SectionIndex);
  // The grid window an event's Sender stands for (the window or its model).
  TElTreeWindow* GridOf(TObject* Sender) const;
  // The tab sheet that holds Grid (its Tag keeps the grid's sort column).
  TTabSheet* GridTabSheet(TElTreeWindow* Grid) const;

  // ---- main_form_switching.cpp ----------------------------------------------------------
  void BrowserCheckClick(TObject* Sender);
  void mnuIECookiesClick(TObject* Sender);
  void mnuMozillaClick(TObject* Sender);
  void mnuFireFoxClick(TObject* Sender);
  void mnuOperaClick(TObject* Sender);
  void IETabControlChange(TObject* Sender);
  void IECookiesTabSheetShow(TObject* Sender);
  void IEBlockedDomainsTabSheetShow(TObject* Sender);
  void IEHistoryTabSheetShow(TObject* Sender);
  void NetscapeCookiesTabSheetShow(TObject* Sender);
  void NetscapeBlockedDomainsTabSheetShow(TObject* Sender);
  void OperaCookiesTabSheetShow(TObject* Sender);
  void OperaBlockedDomainsTabSheetShow(TObject* Sender);
  void LoadOperaCookies();
  void CboIECookieFoldersClick(TObject* Sender);
  void Rename1Click(TObject* Sender);
  void ElTreeHistoryFilesChanging(TObject* Sender, TElTreeItem* Item, bool& AllowChange);
  void ElTreeHistoryFilesExit(TObject* Sender);
  void ElTreeHistoryFilesResize(TObject* Sender);
  void pgHistoryChange(TObject* Sender);
  void TabSheet1Show(TObject* Sender);
  void TabSheet2Show(TObject* Sender);
  void Selectall4Click(TObject* Sender);
  void DeselectAll1Click(TObject* Sender);
  void cboMozillaProfilesChange(TObject* Sender);
  void sbResize(TObject* Sender);

  // ---- main_form_ie_cookies.cpp -----------------------------------------------------------
  void FillIECookieTree();
  void ReloadIECookies();
  void EditIECookie();
  void DeleteIECookies();
  void HostFromHostPath(const std::string& HostPath, std::string& Host);
  // One row line per cookie of a file whose flags are a number.
  static void AddIECookieRows(const TCookieInfoDetails& Details, TStrings& Lines);
  // A field as a cell of a row line: a TAB would begin the next cell, so it
  // becomes a blank (the file keeps its bytes).
  static std::string LineCell(std::string_view Text);
  // Sets column text Index of a row, adding empty texts up to it.
  static void SetColumnText(TElTreeItem* Item, int Index, const std::string& Text);

  // ---- main_form_ie_privacy.cpp -----------------------------------------------------------
  bool IsIEPrivacyListAvailable();
  // True when the domain's entry was written.
  bool AddIEBlockedDomain(const std::string& Domain, bool Block);
  void LoadIEBlockedDomains();
  void NewIEBlockedDomain();
  void EditIEBlockedDomain();
  void DeleteIEBlockedDomains();

  // ---- main_form_ie_history.cpp -----------------------------------------------------------
  void LoadIEHistory();
  // The entries of the history folder of the selected file row.
  void LoadIEHistoryEntries(TElTreeItem* Item);
  void DeleteIEHistoryFiles();
  void EditIEHistoryEntry();  // Edit on the entries: opens the entry's URL
  // "History data for period: d1 - d2" from a folder name ending in two
  // yyyymmdd dates and "\"; empty when it does not.
  static std::string HistoryPeriodText(const std::string& Folder);
  // The text of an entry row's section, from the entries of the folder shown.
  void HistoryEntryText(TElTreeItem* Item, int SectionIndex, TElFString& Text);
  // One entry of the folder shown, as its row shows it.
  struct THistoryRow {
    std::string URL;  // a TAB in it read as a blank
    TDateTime FirstTime = 0;
    TDateTime SecondTime = 0;
  };
  // What the rows of ElTreeHistory stand for: each row holds its place here.
  std::vector<THistoryRow> HistoryRows;
  std::string HistoryCellBuffer;

  // ---- main_form_netscape.cpp ---------------------------------------------------------------
  void FillMozillaProfiles(int Index);
  void cboMozillaProfilesClick(TObject* Sender);
  void LoadMozillaCookies();
  void LoadMozillaBlockedDomains();
  void EditMozillaCookie();
  void NewMozillaCookie();
  void DeleteMozillaCookies();
  void EditMozillaBlockedDomain();
  void NewMozillaBlockedDomain();
  void DeleteMozillaBlockedDomains();
  void DeleteOperaCookies();
  void EditOperaCookie();
  void NewOperaCookie();
  void EditOperaBlockedDomain();
  void NewOperaBlockedDomain();
  void DeleteOperaBlockedDomains();
  // The caption of the chosen profile ("" when none is chosen).
  std::string MozillaProfileCaption();
  // Frees the active store and makes a new one for BrowserKind, keeping the
  // folders the user added.
  void RecreateMozillaStore(bool ForPermissions);
  // Both page loads: the store made again, the profile shown, the grid's sort
  // and place kept.
  void ReloadMozillaGrid(TElTreeWindow* Grid, bool ForPermissions);
  // Shows the cookie dialog; on OK reads the cookie back from it.
  bool RunMozillaCookieDialog(TQbCookie& Cookie);
  // Writes Cookie into the profile's cookies.txt and reloads the page.
  void SaveMozillaCookie(const TQbCookie& Cookie);
  // The text of a cookie row's section, from the shown profile's cookies.
  void MozillaCookieText(TElTreeItem* Item, int SectionIndex, TElFString& Text);
  // The profile whose cookies the cookie rows stand for.
  int MozillaRowsProfile = -1;
  std::string MozillaCellBuffer;
  // The file format the permission dialog offers for Profile (1 hostperm.1, 0 otherwise).
  uint8_t MozillaPermissionFormat(const std::string& Profile);
  // Set once the user has been told that an Opera delete leaves the file as it is.
  bool OperaFileNoticeShown = false;
  static constexpr const char* kOperaFileNotice = "Opera's file is unchanged";

  // ---- main_form_disk_search.cpp --------------------------------------------------------------
  void chkIECookiesSearchClick(TObject* Sender);
  void lblIECookiesSearchCloseClick(TObject* Sender);
  void btnIEBrowseForFolderClick(TObject* Sender);
  void btnIECookiesSearchClick(TObject* Sender);
  void TimerIESearchProgressTimer(TObject* Sender);
  void btnIEFoundInfoClick(TObject* Sender);
  // Stops a running disk search, waits for it while serving the queued
  // calls to this window, and frees it.
  void StopIESearch();
  void StartIECookieSearch(const std::string& Mask);
  void PrepareIESearchUI();
  // The four reports of the search, on the user-interface thread.
  void IESearchFound(const std::string& FileName, const WIN32_FIND_DATAA* FindData);
  void IESearchProgress(const std::string& Folder);
  void IESearchError(const std::string& Path, const std::string& ErrorText);
  void IESearchDone();
  // Releases the finished search from the message loop (a report cannot
  // wait for its own thread).
  void ScheduleIESearchRelease();
  // The running search: one search thread or a pool of them; owned here.
  std::unique_ptr<TThread> IESearchThread;
  // The folders the current search found (null between searches).
  std::unique_ptr<TStringList> FoundIEFolders;
  // Set while the user's Stop is handled: no "nothing found" message then.
  bool IESearchCancelling = false;
  // Reports of the search being handled right now (the thread waits for them).
  int IESearchReportDepth = 0;
  TTimer* IESearchReleaseTimer = nullptr;

  // ---- main_form_commands.cpp -----------------------------------------------------------------
  void Refresh1Click(TObject* Sender);
  void mnuEditEditClick(TObject* Sender);
  void nmuNewClick(TObject* Sender);
  void mnuEditDeleteClick(TObject* Sender);
  void mnuEditCopyToClipboardClick(TObject* Sender);
  void mnuEditSaveAsClick(TObject* Sender);
  void mnuEditSaveSelectedAsClick(TObject* Sender);
  void mnuEditViewinBrowserClick(TObject* Sender);
  void GetSelectedRowLines(TStringList* Lines);
  void SaveGridAs(bool SelectedOnly);
  // Column text Index of a row in the system's code page ("" when absent).
  static std::string RowCell(TElTreeItem* Item, int Index);
  // The captions of all of the grid's header sections, hidden ones too.
  static std::vector<std::string> GridCaptions(TElTreeWindow* Grid);

  // ---- main_form_search_panel.cpp -------------------------------------------------------------
  void ToolBtnSearchClick(TObject* Sender);
  void mnuSearchClick(TObject* Sender);
  void EdtItemToSearchChange(TObject* Sender);
  void BtnSearchClick(TObject* Sender);
  void btnClearSearchClick(TObject* Sender);
  void ListViewsPageControlChange(TObject* Sender);
  // The column texts the filter looks at on that view.
  std::vector<int> SearchedColumns(uint8_t ViewKind);

  // ---- main_form_page_commands.cpp ------------------------------------------------------------
  void Blockcookiesfromselecteddomains1Click(TObject* Sender);
  int BlockSelectedIECookies();
  int BlockSelectedMozillaCookies();
  void ComposeGridMenu(TMenuItem* Menu);
  void IECookiesElTreeCompareItems(TObject* Sender, TElTreeItem* Item1, TElTreeItem* Item2, int& Result);
  void ToolButtonNewClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void ViewLogFile1Click(TObject* Sender);
  // OnSortBegin and OnSortEnd of the grids with a compare event: every
  // row's key is made once per sort.
  void GridSortBegin(TObject* Sender);
  void GridSortEnd(TObject* Sender);
  std::shared_ptr<TRowKeyCache> SortKeys;

 private:
  void BuildLayout();
  // The records behind the CboIECookieFolders entries.
  class TIEProfileObject : public TObject {
   public:
    explicit TIEProfileObject(const tIEProfileInfo& I) : Info(I) {}
    tIEProfileInfo Info;
  };
  std::vector<std::unique_ptr<TIEProfileObject>> ieFolderObjects_;
  // The splash goes by itself; its field is cleared when it does.
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// The one main window of the process (set while it exists).
extern TMainFrm* MainFrm;

// The dialogs the main block creates once, in this order, and every command
// reuses (main_form.cpp).
class TEditBlockedDomainDlg;
class TDeleteCookieDialog;
class TEditcookieDlg;
class TErrorDlg;
class TRebootQuery;
class TRebotReminderDlg;
class TNewBlockedDomain;
class TEditMozillaCookieDlg;
class TEditMozillaBlockedDomainsDialog;
class TDeleteMozillacookieDialog;
class TEditCookieFolderDlg;
class TDeleteHistoryDialog;
class TFoundInfoDlg;
class TSettingsDlg;
extern TEditBlockedDomainDlg* EditBlockedDomainDlg;
extern TDeleteCookieDialog* DeleteCookieDialog;
extern TEditcookieDlg* EditcookieDlg;
extern TErrorDlg* ErrorDlg;
extern TRebootQuery* RebootQuery;
extern TRebotReminderDlg* RebotReminderDlg;
extern TNewBlockedDomain* NewBlockedDomain;
extern TEditMozillaCookieDlg* EditMozillaCookieDlg;
extern TEditMozillaBlockedDomainsDialog* EditMozillaBlockedDomainsDialog;
extern TDeleteMozillacookieDialog* DeleteMozillacookieDialog;
extern TEditCookieFolderDlg* EditCookieFolderDlg;
extern TDeleteHistoryDialog* DeleteHistoryDialog;
extern TFoundInfoDlg* FoundInfoDlg;
extern TSettingsDlg* SettingsDlg;
// Creates the fourteen, owned by the application object (tests may pass
// another owner).
void CreateProgramDialogs(TComponent* Owner);

}  // namespace morvane
