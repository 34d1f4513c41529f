// The main window's controls, menus and event wiring. Every control gets its
// component name and the next fixed id of the window's range; menu items get
// the fixed command ids of control_ids.h, so that automation finds both.
#include <functional>

#include "app/binary_file_list_view.h"
#include "app/dialog_layout.h"
#include "app/main_form.h"
#include "browserdata/settings/application_defaults.h"
#include "platform/control_ids.h"

namespace morvane {

namespace {

// A menu item with its name, caption, fixed command id and click handler.
TMenuItem* AddItem(TComponent* Owner, TMenuItem* Parent, const char* Name, const std::string& Caption, int Command,
                   TNotifyEvent OnClick = nullptr) {
  auto* item = new TMenuItem(Owner);
  if (Name && *Name) item->SetName(Name);
  item->SetCaption(Caption);
  if (Command) item->SetCommand(Command);
  item->OnClick = std::move(OnClick);
  Parent->Add(item);
  return item;
}

// A panel used only to hold and place other controls.
TPanel* PlainPanel(TPanel* p) {
  p->SetBevelOuter(TBevelCut::bvNone);
  p->SetCaption("");
  return p;
}

// A search panel's title bar across the top of Parent: its caption in the
// active caption's colours and, at its right end, the symbol font's close
// glyph. Returns the glyph's label; its click is the caller's.
TLabel* SearchTitleBar(TDialogBuilder& b, TWinControl* Parent, const char* Name, const char* CloseName,
                       const std::string& Caption, int Width) {
  auto* title = PlainPanel(b.Add<TPanel>(Name, 0, 0, Width, 18, Parent));
  title->SetAlign(TAlign::alTop);
  title->SetColor(clActiveCaption);
  title->Font()->SetColor(clCaptionText);
  title->Font()->SetStyle(fsBold);
  title->SetAlignment(TAlignment::taLeftJustify);
  title->SetCaption(Caption);
  auto* close = b.Add<TLabel>(CloseName, Width - 20, 2, 14, 14, title);
  close->SetAlign(TAlign::alRight);
  close->SetAutoSize(false);
  close->Font()->SetName("Marlett");
  close->Font()->SetColor(clCaptionText);
  close->SetCaption("r");  // the close glyph of the symbol font
  close->SetCursor(crHandPoint);
  return close;
}

}  // namespace

void TMainFrm::BuildLayout() {
  SetCaption(ProgramTitle() + " 1.9 - IE");
  SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, 800, 600);
  SetPosition(TPosition::poDefaultPosOnly);
  SetKeyPreview(true);
  OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };

  TDialogBuilder b(this, ids::kMainFrm);

  // ---- Menus ---------------------------------------------------------------------
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  TMenuItem* root = MainMenu1->Items();
  mnuFile = AddItem(this, root, "mnuFile", "&File", ids::kMnuFile);
  mnuSaveAs = AddItem(this, mnuFile, "mnuSaveAs", "Sa&ve as...", ids::kMnuSaveAs,
                      [this](TObject* s) { mnuEditSaveAsClick(s); });
  mnuSaveSelectedAs = AddItem(this, mnuFile, "mnuSaveSelectedAs", "Save selec&tion as...", ids::kMnuSaveSelectedAs,
                              [this](TObject* s) { mnuEditSaveSelectedAsClick(s); });
  AddItem(this, mnuFile, "N11", "-", 0);
  Exit1 = AddItem(this, mnuFile, "Exit1", "E&xit", ids::kMnuExit, [this](TObject* s) { Exit1Click(s); });

  // "&Edit" and GridMenu: the same fourteen items, composed for the active
  // grid each time they open.
  mnuEdit = AddItem(this, root, "mnuEdit", "&Edit", ids::kMnuEdit, [this](TObject* s) { mnuEditClick(s); });
  GridMenu = new TPopupMenu(this);
  GridMenu->SetName("GridMenu");
  GridMenu->OnPopup = [this](TObject* s) { GridMenuPopup(s); };
  auto addGridItems = [this](TMenuItem* parent, const char* prefix, int firstCommand) {
    struct TItem {
      const char* name;
      const char* caption;
      TNotifyEvent click;
    };
    const TItem items[] = {
        {"New", "&New", [this](TObject* s) { nmuNewClick(s); }},
        {"EditItem", "&Edit", [this](TObject* s) { mnuEditEditClick(s); }},
        {"Delete", "&Delete", [this](TObject* s) { mnuEditDeleteClick(s); }},
        {"N1", "-", nullptr},
        {"Block", "Block cookies from selected domains",
         [this](TObject* s) { Blockcookiesfromselecteddomains1Click(s); }},
        {"N2", "-", nullptr},
        {"SelectAll", "&Select all", [this](TObject* s) { SelectAll2Click(s); }},
        {"DeselectAll", "Deselect &all", [this](TObject* s) { UnselectAll1Click(s); }},
        {"N3", "-", nullptr},
        {"SaveAs", "Sa&ve as...", [this](TObject* s) { mnuEditSaveAsClick(s); }},
        {"SaveSelectedAs", "Save selec&tion as...", [this](TObject* s) { mnuEditSaveSelectedAsClick(s); }},
        {"Copy", "&Copy selection to the clipboard", [this](TObject* s) { mnuEditCopyToClipboardClick(s); }},
        {"N4", "-", nullptr},
        {"ViewInBrowser", "&Open in the browser", [this](TObject* s) { mnuEditViewinBrowserClick(s); }},
    };
    int i = 0;
    for (const TItem& item : items) {
      AddItem(this, parent, (std::string(prefix) + item.name).c_str(), item.caption, firstCommand + i, item.click);
      ++i;
    }
  };
  addGridItems(mnuEdit, "mnuEdit", ids::kMnuEditItems);
  addGridItems(GridMenu->Items(), "GridMenu", ids::kGridMenuItems);

  mnuView = AddItem(this, root, "mnuView", "&View", ids::kMnuView);
  Toolbar1 = AddItem(this, mnuView, "Toolbar1", "&Toolbar", ids::kMnuToolbar, [this](TObject* s) { Toolbar1Click(s); });
  StatusBar1 = AddItem(this, mnuView, "StatusBar1", "&Statusbar", ids::kMnuStatusbar,
                       [this](TObject* s) { StatusBar1Click(s); });
  Toolbar1->SetChecked(true);
  StatusBar1->SetChecked(true);
  mnuSearch = AddItem(this, mnuView, "mnuSearch", "&Search...", ids::kMnuSearch,
                      [this](TObject* s) { mnuSearchClick(s); });
  Refresh1 = AddItem(this, mnuView, "Refresh1", "&Refresh", ids::kMnuRefresh, [this](TObject* s) { Refresh1Click(s); });
  AddItem(this, mnuView, "N21", "-", 0);
  mnuIECookies = AddItem(this, mnuView, "mnuIECookies", "&IE Cookies", ids::kMnuIECookies,
                         [this](TObject* s) { mnuIECookiesClick(s); });
  mnuMozilla = AddItem(this, mnuView, "mnuMozilla", "&Netscape/Mozilla", ids::kMnuMozilla,
                       [this](TObject* s) { mnuMozillaClick(s); });
  mnuFireFox = AddItem(this, mnuView, "mnuFireFox", "&FireFox", ids::kMnuFireFox,
                       [this](TObject* s) { mnuFireFoxClick(s); });
  mnuOpera = AddItem(this, mnuView, "mnuOpera", "&Opera", ids::kMnuOpera, [this](TObject* s) { mnuOperaClick(s); });
  for (TMenuItem* m : {mnuIECookies, mnuMozilla, mnuFireFox, mnuOpera}) {
    m->SetRadioItem(true);
    m->SetGroupIndex(1);
  }
  mnuIECookies->SetChecked(true);

  mnuTools = AddItem(this, root, "mnuTools", "&Tools", ids::kMnuTools);
  mnuSettings = AddItem(this, mnuTools, "mnuSettings", "S&ettings...", ids::kMnuSettings,
                        [this](TObject* s) { mnuSettingsClick(s); });
  ViewLogFile1 = AddItem(this, mnuTools, "ViewLogFile1", "&View Log File...", ids::kMnuViewLogFile,
                         [this](TObject* s) { ViewLogFile1Click(s); });
  mnuHelp = AddItem(this, root, "mnuHelp", "&Help", ids::kMnuHelp);
  MorvaneHelp1 = AddItem(this, mnuHelp, "MorvaneHelp1", ProgramTitle() + " Help", ids::kMnuMorvaneHelp,
                         [this](TObject* s) { MorvaneHelp1Click(s); });
  About1 = AddItem(this, mnuHelp, "About1", "&About " + ProgramTitle() + "...", ids::kMnuAbout,
                   [this](TObject* s) { About1Click(s); });
  SetMenu(MainMenu1);

  mnuProfileRename = new TPopupMenu(this);
  mnuProfileRename->SetName("mnuProfileRename");
  Rename1 = AddItem(this, mnuProfileRename->Items(), "Rename1", "&Rename", ids::kMnuRename,
                    [this](TObject* s) { Rename1Click(s); });
  HistoryMenu = new TPopupMenu(this);
  HistoryMenu->SetName("HistoryMenu");
  ViewHistoryObject1 = AddItem(this, HistoryMenu->Items(), "ViewHistoryObject1", "V&iew history object",
                               ids::kMnuViewHistoryObject, [this](TObject* s) { mnuEditEditClick(s); });
  Selectall4 = AddItem(this, HistoryMenu->Items(), "Selectall4", "&Select all", ids::kMnuHistorySelectAll,
                       [this](TObject* s) { Selectall4Click(s); });
  DeselectAll1 = AddItem(this, HistoryMenu->Items(), "DeselectAll1", "Deselect &all", ids::kMnuHistoryDeselectAll,
                         [this](TObject* s) { DeselectAll1Click(s); });

  // ---- Tool bar ------------------------------------------------------------------
  tb = b.Add<TToolBar>("tb", 0, 0, 792, 24);
  tb->SetAlign(TAlign::alTop);
  tb->SetShowCaptions(true);
  tb->SetList(true);
  tb->SetShowHint(true);
  auto addButton = [&](const char* name, const std::string& caption, TNotifyEvent click,
                       TToolButtonStyle style = TToolButtonStyle::tbsButton) {
    auto* btn = b.Add<TToolButton>(name, 0, 0, 23, 22, tb);
    btn->SetStyle(style);
    btn->SetCaption(caption);
    btn->OnClick = std::move(click);
    return btn;
  };
  auto addSeparator = [&](const char* name) {
    auto* sep = b.Add<TToolButton>(name, 0, 0, 8, 22, tb);
    sep->SetStyle(TToolButtonStyle::tbsSeparator);
  };
  auto browserClick = [this](TObject* s) { BrowserCheckClick(s); };
  IECheck = addButton("IECheck", "IE", browserClick, TToolButtonStyle::tbsCheck);
  IECheck->SetHint("Manage Internet Explorer cookies");
  NetscapeCheck = addButton("NetscapeCheck", "Netscape", browserClick, TToolButtonStyle::tbsCheck);
  NetscapeCheck->SetHint("Manage Netscape and Mozilla cookies");
  FireFoxCheck = addButton("FireFoxCheck", "FireFox", browserClick, TToolButtonStyle::tbsCheck);
  OperaCheck = addButton("OperaCheck", "Opera", browserClick, TToolButtonStyle::tbsCheck);
  for (TToolButton* btn : {IECheck, NetscapeCheck, FireFoxCheck, OperaCheck}) btn->SetGrouped(true);
  IECheck->SetDown(true);
  addSeparator("ToolButtonSep1");
  ToolButtonRefresh = addButton("ToolButtonRefresh", "Refresh", [this](TObject* s) { Refresh1Click(s); });
  ToolButtonEdit = addButton("ToolButtonEdit", "     &Edit     ", [this](TObject* s) { mnuEditEditClick(s); });
  ToolButtonNew = addButton("ToolButtonNew", "New", [this](TObject* s) { ToolButtonNewClick(s); });
  ToolButtonDelete = addButton("ToolButtonDelete", "&Delete", [this](TObject* s) { mnuEditDeleteClick(s); });
  ToolButtonSave = addButton("ToolButtonSave", "&Save", [this](TObject* s) { mnuEditSaveAsClick(s); });
  addSeparator("ToolButtonSep2");
  ToolBtnSearch = addButton("ToolBtnSearch", "S&earch", [this](TObject* s) { ToolBtnSearchClick(s); },
                            TToolButtonStyle::tbsCheck);
  addSeparator("ToolButtonSep3");
  ToolButtonHelp = addButton("ToolButtonHelp", "Help", [this](TObject* s) { ToolButtonHelpClick(s); });

  // ---- Status bar ----------------------------------------------------------------
  sb = b.Add<TStatusBar>("sb", 0, 553, 792, 19);
  sb->SetAlign(TAlign::alBottom);
  sb->SetBorderWidth(1);
  for (int w : {150, 150, 150, 50, 50}) sb->AddPanel()->SetWidth(w);
  sb->OnResize = [this](TObject* s) { sbResize(s); };

  // ---- Search and filter panel ---------------------------------------------------
  TopSearchPanel = PlainPanel(b.Add<TPanel>("TopSearchPanel", 0, 24, 792, 84));
  TopSearchPanel->SetAlign(TAlign::alTop);
  TopSearchPanel->SetBevelOuter(TBevelCut::bvRaised);
  TopSearchPanel->SetVisible(false);
  CloseLbl = SearchTitleBar(b, TopSearchPanel, "pnlSearchTitle", "CloseLbl", "  Search/filer displayed data", 792);
  CloseLbl->OnClick = [this](TObject* s) { mnuSearchClick(s); };
  b.Label("lblLookFor", "Look  for:", 8, 30, TopSearchPanel);
  EdtItemToSearch = b.Add<TEdit>("EdtItemToSearch", 62, 26, 220, 21, TopSearchPanel);
  EdtItemToSearch->OnChange = [this](TObject* s) { EdtItemToSearchChange(s); };
  BtnSearch = b.Add<TButton>("BtnSearch", 290, 25, 75, 23, TopSearchPanel);
  BtnSearch->SetCaption("&Go");
  BtnSearch->SetDefault(true);
  BtnSearch->SetEnabled(false);
  BtnSearch->OnClick = [this](TObject* s) { BtnSearchClick(s); };
  btnClearSearch = b.Add<TButton>("btnClearSearch", 370, 25, 85, 23, TopSearchPanel);
  btnClearSearch->SetCaption("&Clear Search");
  btnClearSearch->SetEnabled(false);
  btnClearSearch->OnClick = [this](TObject* s) { btnClearSearchClick(s); };
  auto optionClick = [this](TObject* s) { EdtItemToSearchChange(s); };
  chkCaseSensitive = b.Check("chkCaseSensitive", "Case sensitive ", 62, 56, 110, false, TopSearchPanel);
  chkCaseSensitive->OnClick = optionClick;
  lblSearchStatus = b.Label("lblSearchStatus", "Search Finished!", 180, 58, TopSearchPanel);
  lblSearchStatus->Font()->SetColor(clNavy);
  lblSearchStatus->SetVisible(false);
  lbldomain = b.Label("lbldomain", "Domain", 8, 58, TopSearchPanel);
  lbldomain->SetVisible(false);
  SearchOptionsGropuBox = b.Add<TGroupBox>("SearchOptionsGropuBox", 466, 20, 318, 58, TopSearchPanel);
  SearchOptionsGropuBox->SetCaption("Search in");
  chkFileNames = b.Check("chkFileNames", " File Names", 10, 16, 92, true, SearchOptionsGropuBox);
  chkCookieNames = b.Check("chkCookieNames", "Cookie Names ", 10, 36, 100, true, SearchOptionsGropuBox);
  chkCookieValues = b.Check("chkCookieValues", "Cookie Values", 120, 16, 100, true, SearchOptionsGropuBox);
  chkURLs = b.Check("chkURLs", "URLs", 120, 36, 100, true, SearchOptionsGropuBox);
  for (TCheckBox* c : {chkFileNames, chkCookieNames, chkCookieValues, chkURLs}) c->OnClick = optionClick;

  // ---- Invisible helpers ---------------------------------------------------------
  HiddenLbl = b.Label("HiddenLbl", " 0000 ", 0, 0);
  HiddenLbl->SetVisible(false);
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  TimerIESearchProgress = new TTimer(this);
  TimerIESearchProgress->SetName("TimerIESearchProgress");
  TimerIESearchProgress->SetEnabled(false);
  TimerIESearchProgress->SetInterval(100);
  TimerIESearchProgress->OnTimer = [this](TObject* s) { TimerIESearchProgressTimer(s); };

  // ---- Browser pages -------------------------------------------------------------
  BrowsersPageControl = b.Add<TPageControl>("BrowsersPageControl", 0, 24, 792, 529);
  BrowsersPageControl->SetAlign(TAlign::alClient);
  auto addSheet = [&](const char* name, TPageControl* pages, const std::string& caption) {
    auto* sheet = b.Add<TTabSheet>(name, 0, 0, 100, 100, pages);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
    return sheet;
  };
  IETabSheet = addSheet("IETabSheet", BrowsersPageControl, "Internet Explorer");
  NetscapeTabSheet = addSheet("NetscapeTabSheet", BrowsersPageControl, "Netscape");
  OperaTabSheet = addSheet("OperaTabSheet", BrowsersPageControl, "Opera");
  EmptyTabSheet = addSheet("EmptyTabSheet", BrowsersPageControl, "");

  // The seven grids (and the history-file list) share their look and wiring.
  auto addGrid = [&](const char* name, TWinControl* parent, bool compare) {
    auto* grid = b.Add<TElTreeWindow>(name, 0, 0, 200, 100, parent);
    grid->SetAlign(TAlign::alClient);
    TElTree& t = grid->Tree();
    t.SetShowColumns(true);
    t.SetShowRoot(false);
    t.SetShowLines(false);
    t.SetShowButtons(false);
    t.SetShowImages(false);
    t.SetMultiSelect(true);
    t.SetRowSelect(true);
    t.SetHorizontalLines(true);
    t.SetVerticalLines(true);
    t.SetExpandOnDblClick(false);
    t.DoInplaceEdit = false;
    t.OnHeaderColumnClick = [this](TObject* s, int i) { IECookiesElTreeHeaderColumnClick(s, i); };
    t.OnItemSelectedChange = [this](TObject* s, TElTreeItem* i) { IECookiesElTreeItemSelectedChange(s, i); };
    t.OnItemSelectedChangesEnd = [this](TObject* s) { IECookiesElTreeItemSelectedChangesEnd(s); };
    if (compare) {
      t.OnCompareItems = [this](TObject* s, TElTreeItem* a, TElTreeItem* c, int& r) {
        IECookiesElTreeCompareItems(s, a, c, r);
      };
      t.OnSortBegin = [this](TObject* s) { GridSortBegin(s); };
      t.OnSortEnd = [this](TObject* s) { GridSortEnd(s); };
    }
    grid->OnHeaderColumnDraw = [this](TObject* s, TCanvas* c, TElHeaderSection* sec, RECT r, bool p) {
      IECookiesElTreeHeaderColumnDraw(s, c, sec, r, p);
    };
    grid->OnItemDraw = [this](TObject* s, TElTreeItem* i, TCanvas* c, RECT r, int k) {
      IECookiesElTreeItemDraw(s, i, c, r, k);
    };
    grid->OnDblClick = [this](TObject* s) { mnuEditEditClick(s); };
    grid->SetPopupMenu(GridMenu);
    return grid;
  };

  // Internet Explorer page: the element buttons and cookie folders on top,
  // the folder search below them, the element pages under both.
  auto* ieTop = PlainPanel(b.Add<TPanel>("pnlIETop", 0, 0, 784, 30, IETabSheet));
  ieTop->SetAlign(TAlign::alTop);
  IETabControl = b.Add<TTabControl>("IETabControl", 2, 3, 330, 25, ieTop);
  IETabControl->SetStyle(TCustomTabControl::TTabStyle::tsFlatButtons);
  IETabControl->Tabs()->Add("Cookies");
  IETabControl->Tabs()->Add("Blocked/Allowed Domains");
  IETabControl->Tabs()->Add("History");
  IETabControl->SetTabIndex(0);
  IETabControl->OnChange = [this](TObject* s) { IETabControlChange(s); };
  CboIECookieFolders = b.Add<TComboBox>("CboIECookieFolders", 340, 5, 250, 21, ieTop);
  CboIECookieFolders->SetStyle(TComboBoxStyle::csDropDownList);
  CboIECookieFolders->SetDropDownCount(16);
  CboIECookieFolders->SetPopupMenu(mnuProfileRename);
  CboIECookieFolders->OnClick = [this](TObject* s) { CboIECookieFoldersClick(s); };
  chkIECookiesSearch = b.Check("chkIECookiesSearch", "Advanced Search", 600, 7, 125, false, ieTop);
  chkIECookiesSearch->OnClick = [this](TObject* s) { chkIECookiesSearchClick(s); };
  lblIESearchInProgress1 = b.Label("lblIESearchInProgress1", "Advanced search in progress...", 600, 8, ieTop);
  lblIESearchInProgress1->Font()->SetColor(clRed);
  lblIESearchInProgress1->SetVisible(false);

  pnlIEAdvancedSearch = PlainPanel(b.Add<TPanel>("pnlIEAdvancedSearch", 0, 30, 784, 62, IETabSheet));
  pnlIEAdvancedSearch->SetAlign(TAlign::alTop);
  pnlIEAdvancedSearch->SetVisible(false);
  panelIESearchLeft = b.Add<TPanel>("panelIESearchLeft", 0, 0, 784, 62, pnlIEAdvancedSearch);
  panelIESearchLeft->SetAlign(TAlign::alClient);
  panelIESearchLeft->SetCaption("");
  lblIECookiesSearchClose = SearchTitleBar(b, panelIESearchLeft, "pnlIESearchTitle", "lblIECookiesSearchClose",
                                           "  Search for Internet Explorer cookies", 784);
  lblIECookiesSearchClose->OnClick = [this](TObject* s) { lblIECookiesSearchCloseClick(s); };
  b.Label("lblIESearchIn", "Search in:", 8, 32, panelIESearchLeft);
  cboLocalIEDrives = b.Add<TShellComboBox>("cboLocalIEDrives", 62, 28, 250, 21, panelIESearchLeft);
  cboLocalIEDrives->SetStyle(TComboBoxStyle::csDropDown);
  cboLocalIEDrives->SetDropDownCount(16);
  btnIEBrowseForFolder = b.Add<TButton>("btnIEBrowseForFolder", 316, 27, 23, 23, panelIESearchLeft);
  btnIEBrowseForFolder->SetCaption("...");
  btnIEBrowseForFolder->SetHint("Browse for folder...");
  btnIEBrowseForFolder->SetShowHint(true);
  btnIEBrowseForFolder->OnClick = [this](TObject* s) { btnIEBrowseForFolderClick(s); };
  btnIECookiesSearch = b.Add<TButton>("btnIECookiesSearch", 346, 27, 85, 23, panelIESearchLeft);
  btnIECookiesSearch->SetCaption("Start Search");
  btnIECookiesSearch->OnClick = [this](TObject* s) { btnIECookiesSearchClick(s); };
  lblIESearching = b.Add<TLabel>("lblIESearching", 440, 24, 250, 13, panelIESearchLeft);
  lblIESearching->SetAutoSize(false);
  lblIESearching->SetCaption("");
  lblIEFound = b.Label("lblIEFound", "Found: 0", 440, 40, panelIESearchLeft);
  lblIEFound->SetVisible(false);
  btnIEFoundInfo = b.Add<TButton>("btnIEFoundInfo", 520, 36, 23, 21, panelIESearchLeft);
  btnIEFoundInfo->SetCaption("?");
  btnIEFoundInfo->SetVisible(false);
  btnIEFoundInfo->OnClick = [this](TObject* s) { btnIEFoundInfoClick(s); };

  IEViewableElementsPageControl = b.Add<TPageControl>("IEViewableElementsPageControl", 0, 92, 784, 400, IETabSheet);
  IEViewableElementsPageControl->SetAlign(TAlign::alClient);
  IECookiesTabSheet = addSheet("IECookiesTabSheet", IEViewableElementsPageControl, "Cookies");
  IEBlockedDomainsTabSheet =
      addSheet("IEBlockedDomainsTabSheet", IEViewableElementsPageControl, "Blocked/Allowed Domains");
  IEHistoryTabSheet = addSheet("IEHistoryTabSheet", IEViewableElementsPageControl, "History");
  IECookiesTabSheet->OnShow = [this](TObject* s) { IECookiesTabSheetShow(s); };
  IEBlockedDomainsTabSheet->OnShow = [this](TObject* s) { IEBlockedDomainsTabSheetShow(s); };
  IEHistoryTabSheet->OnShow = [this](TObject* s) { IEHistoryTabSheetShow(s); };
  IECookiesElTree = addGrid("IECookiesElTree", IECookiesTabSheet, true);
  ElTreeDomains = addGrid("ElTreeDomains", IEBlockedDomainsTabSheet, true);

  // History: the folder list on the left, the chosen file's entries or bytes
  // on the right.
  ElTreeHistoryFiles = b.Add<TElTreeWindow>("ElTreeHistoryFiles", 0, 0, 260, 400, IEHistoryTabSheet);
  ElTreeHistoryFiles->SetAlign(TAlign::alLeft);
  {
    TElTree& t = ElTreeHistoryFiles->Tree();
    t.SetShowColumns(true);
    t.SetShowRoot(false);
    t.SetShowLines(false);
    t.SetShowButtons(false);
    t.SetShowImages(false);
    t.SetMultiSelect(true);
    t.SetRowSelect(true);
    t.SetExpandOnDblClick(false);
    t.DoInplaceEdit = false;
    t.OnChanging = [this](TObject* s, TElTreeItem* i, bool& allow) { ElTreeHistoryFilesChanging(s, i, allow); };
    t.OnItemSelectedChange = [this](TObject* s, TElTreeItem* i) { IECookiesElTreeItemSelectedChange(s, i); };
    t.OnItemSelectedChangesEnd = [this](TObject* s) { IECookiesElTreeItemSelectedChangesEnd(s); };
    TElHeaderSections& sections = t.HeaderSections();
    TElHeaderSection* number = sections.AddSection();
    number->SetText(L"Row Number");
    number->SetWidth(70);
    TElHeaderSection* folders = sections.AddSection();
    folders->SetText(L"History Folders");
    folders->SetWidth(186);
    t.SetShowColumns(true);
  }
  ElTreeHistoryFiles->OnExit = [this](TObject* s) { ElTreeHistoryFilesExit(s); };
  ElTreeHistoryFiles->OnResize = [this](TObject* s) { ElTreeHistoryFilesResize(s); };
  ElTreeHistoryFiles->SetPopupMenu(GridMenu);
  auto* historySplitter = b.Add<TSplitter>("HistorySplitter", 260, 0, 4, 400, IEHistoryTabSheet);
  historySplitter->SetAlign(TAlign::alLeft);
  auto* historyRight = PlainPanel(b.Add<TPanel>("pnlHistoryRight", 264, 0, 520, 400, IEHistoryTabSheet));
  historyRight->SetAlign(TAlign::alClient);
  lblHistoryFile = b.Add<TLabel>("lblHistoryFile", 0, 0, 520, 16, historyRight);
  lblHistoryFile->SetAlign(TAlign::alTop);
  lblHistoryFile->SetAutoSize(false);
  lblHistoryFile->SetLayout(TTextLayout::tlCenter);
  lblHistoryFile->SetCaption("");
  pgHistory = b.Add<TPageControl>("pgHistory", 0, 16, 520, 384, historyRight);
  pgHistory->SetAlign(TAlign::alClient);
  pgHistory->OnChange = [this](TObject* s) { pgHistoryChange(s); };
  TabSheet1 = addSheet("TabSheet1", pgHistory, "Object View");
  TabSheet2 = addSheet("TabSheet2", pgHistory, "Binary View");
  TabSheet1->OnShow = [this](TObject* s) { TabSheet1Show(s); };
  TabSheet2->OnShow = [this](TObject* s) { TabSheet2Show(s); };
  ElTreeHistory = addGrid("ElTreeHistory", TabSheet1, true);
  ElTreeHistory->SetPopupMenu(HistoryMenu);
  // The entry rows keep no texts: they come from the entries read (see
  // LoadIEHistoryEntries).
  ElTreeHistory->Tree().OnVirtualTextNeeded = [this](TObject*, TElTreeItem* i, int k, TElFString& t) {
    HistoryEntryText(i, k, t);
  };
  QBBinaryFileListView1 = b.Add<TQBBinaryFileListView>("QBBinaryFileListView1", 0, 0, 500, 350, TabSheet2);
  QBBinaryFileListView1->SetAlign(TAlign::alClient);
  QBBinaryFileListView1->ListView->Font()->SetName("Courier New");

  // Netscape/Mozilla and Firefox page.
  auto* nsTop = PlainPanel(b.Add<TPanel>("pnlNetscapeTop", 0, 0, 784, 30, NetscapeTabSheet));
  nsTop->SetAlign(TAlign::alTop);
  NetscapeTabControl = b.Add<TTabControl>("NetscapeTabControl", 2, 3, 240, 25, nsTop);
  NetscapeTabControl->SetStyle(TCustomTabControl::TTabStyle::tsFlatButtons);
  NetscapeTabControl->Tabs()->Add("Cookies");
  NetscapeTabControl->Tabs()->Add("Blocked/Allowed Domains");
  NetscapeTabControl->SetTabIndex(0);
  NetscapeTabControl->OnChange = [this](TObject* s) { IETabControlChange(s); };
  lblProfile = b.Label("lblProfile", "Profile:", 252, 8, nsTop);
  cboMozillaProfiles = b.Add<TComboBox>("cboMozillaProfiles", 292, 5, 300, 21, nsTop);
  cboMozillaProfiles->SetStyle(TComboBoxStyle::csDropDownList);
  cboMozillaProfiles->SetShowHint(true);
  cboMozillaProfiles->OnClick = [this](TObject* s) { cboMozillaProfilesClick(s); };
  cboMozillaProfiles->OnChange = [this](TObject* s) { cboMozillaProfilesChange(s); };
  chkMozillaCookiesSearch = b.Check("chkMozillaCookiesSearch", "Advanced Search", 600, 7, 125, false, nsTop);
  auto* nsSearch = PlainPanel(b.Add<TPanel>("pnlMozillaAdvancedSearch", 0, 30, 784, 32, NetscapeTabSheet));
  nsSearch->SetAlign(TAlign::alTop);
  nsSearch->SetVisible(false);
  b.Label("lblMozillaSearchIn", "Search in:", 8, 9, nsSearch);
  cboLocalDrives = b.Add<TShellComboBox>("cboLocalDrives", 62, 5, 250, 21, nsSearch);
  lblMozillaFound = b.Label("lblMozillaFound", "Found: ", 320, 9, nsSearch);
  NetscapeViewableElementsPageControl =
      b.Add<TPageControl>("NetscapeViewableElementsPageControl", 0, 62, 784, 400, NetscapeTabSheet);
  NetscapeViewableElementsPageControl->SetAlign(TAlign::alClient);
  NetscapeCookiesTabSheet = addSheet("NetscapeCookiesTabSheet", NetscapeViewableElementsPageControl, "Cookies");
  NetscapeBlockedDomainsTabSheet =
      addSheet("NetscapeBlockedDomainsTabSheet", NetscapeViewableElementsPageControl, "Blocked/Allowed Domains");
  NetscapeCookiesTabSheet->OnShow = [this](TObject* s) { NetscapeCookiesTabSheetShow(s); };
  NetscapeBlockedDomainsTabSheet->OnShow = [this](TObject* s) { NetscapeBlockedDomainsTabSheetShow(s); };
  MozillaCookiesElTree = addGrid("MozillaCookiesElTree", NetscapeCookiesTabSheet, true);
  // The rows of a profile's cookies keep no texts: they come from the
  // profile's cookies (see cboMozillaProfilesClick).
  MozillaCookiesElTree->Tree().OnVirtualTextNeeded = [this](TObject*, TElTreeItem* i, int k, TElFString& t) {
    MozillaCookieText(i, k, t);
  };
  ElTreeMozillaDomains = addGrid("ElTreeMozillaDomains", NetscapeBlockedDomainsTabSheet, true);

  // Opera page: its own page control, tabs shown.
  OperaPageControl = b.Add<TPageControl>("OperaPageControl", 0, 0, 784, 480, OperaTabSheet);
  OperaPageControl->SetAlign(TAlign::alClient);
  OperaCookiesTabSheet = addSheet("OperaCookiesTabSheet", OperaPageControl, "Cookies");
  OperaBlockedDomainsTabSheet = addSheet("OperaBlockedDomainsTabSheet", OperaPageControl, "Blocked/Allowed Domains");
  OperaCookiesTabSheet->OnShow = [this](TObject* s) { OperaCookiesTabSheetShow(s); };
  OperaBlockedDomainsTabSheet->OnShow = [this](TObject* s) { OperaBlockedDomainsTabSheetShow(s); };
  OperaCookiesElTree = addGrid("OperaCookiesElTree", OperaCookiesTabSheet, false);
  EltreeOperaDomains = addGrid("EltreeOperaDomains", OperaBlockedDomainsTabSheet, false);

  BrowsersPageControl->SetActivePage(IETabSheet);
  IEViewableElementsPageControl->SetActivePage(IECookiesTabSheet);
  NetscapeViewableElementsPageControl->SetActivePage(NetscapeCookiesTabSheet);
  OperaPageControl->SetActivePage(OperaCookiesTabSheet);
  pgHistory->SetActivePage(TabSheet1);
}

}  // namespace morvane
