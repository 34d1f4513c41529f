// What the main window does with its grids whatever the browser: the view
// kind and its grid, the column sets, the header click with its sort memory,
// the owner-drawn row numbers and link cells, positions after a reload, the
// tool-bar state and the grid menus' captions.
#include <algorithm>

#include "app/main_form.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/net/qb_net_utils.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {

std::string Cell(TElTreeWindow* Grid, TElTreeItem* Item, int ColumnText) {
  return WideToAnsi(Grid->Tree().CellText(Item, ColumnText + 1));
}

TElHeaderSections& SectionsOf(TElTreeWindow* Grid) { return Grid->Tree().HeaderSections(); }

}  // namespace

// View kinds 1-3 and 5-8 follow the visible pages. Kind 4 is the history
// entries grid: the history page counts as kind 4 while ElTreeHistory holds
// the keyboard focus, so that Edit opens the focused entry's URL and Save,
// Copy and Select all work on the entries the user is in. Anything that takes
// the focus away (the search panel's edit and buttons, the file list, the
// tool bar's menus) makes it kind 3 again, so a search started from the panel
// still filters the entries and the activation reset, which finds the focus
// where the user left it, keeps the page's totals unless the user was in the
// entries.
uint8_t TMainFrm::GetViewKind() {
  TTabSheet* browser = BrowsersPageControl->ActivePage();
  if (browser == IETabSheet) {
    TTabSheet* page = IEViewableElementsPageControl->ActivePage();
    if (page == IECookiesTabSheet) return 1;
    if (page == IEBlockedDomainsTabSheet) return 2;
    if (ElTreeHistory->HandleAllocated()) {
      HWND focus = GetFocus();
      HWND grid = ElTreeHistory->Handle();
      if (focus && (focus == grid || IsChild(grid, focus))) return 4;
    }
    return 3;
  }
  if (browser == NetscapeTabSheet)
    return NetscapeViewableElementsPageControl->ActivePage() == NetscapeCookiesTabSheet ? 5 : 6;
  if (browser == OperaTabSheet) return OperaPageControl->ActivePage() == OperaCookiesTabSheet ? 7 : 8;
  return 0;
}

TElTreeWindow* TMainFrm::GetActiveGrid() {
  switch (GetViewKind()) {
    case 1: return IECookiesElTree;
    case 2: return ElTreeDomains;
    case 3: return ElTreeHistoryFiles;
    case 4: return ElTreeHistory;
    case 5: return MozillaCookiesElTree;
    case 6: return ElTreeMozillaDomains;
    case 7: return OperaCookiesElTree;
    case 8: return EltreeOperaDomains;
    default: return nullptr;
  }
}

TElTreeWindow* TMainFrm::GridOf(TObject* Sender) const {
  if (auto* w = dynamic_cast<TElTreeWindow*>(Sender)) return w;
  for (TElTreeWindow* g : {IECookiesElTree, ElTreeDomains, ElTreeHistory, MozillaCookiesElTree, ElTreeMozillaDomains,
                           OperaCookiesElTree, EltreeOperaDomains, ElTreeHistoryFiles}) {
    if (!g) continue;
    if (Sender == &g->Tree() || Sender == g->Header() || Sender == g->View()) return g;
  }
  return nullptr;
}

TTabSheet* TMainFrm::GridTabSheet(TElTreeWindow* Grid) const {
  for (TWinControl* p = Grid ? Grid->Parent() : nullptr; p; p = p->Parent())
    if (auto* sheet = dynamic_cast<TTabSheet*>(p)) return sheet;
  return nullptr;
}

// ---- Column sets -----------------------------------------------------------------

void TMainFrm::SetupGrids() {
  std::string stored;
  if (Properties) Properties->GetProperty("FontSize", stored);
  int size = 8;
  if (!TryStrToInt(stored, size)) size = 8;
  size = std::clamp(size, 6, 18);
  for (TElTreeWindow* g : {IECookiesElTree, ElTreeDomains, ElTreeHistory, MozillaCookiesElTree, ElTreeMozillaDomains,
                           OperaCookiesElTree, EltreeOperaDomains}) {
    TElTree& t = g->Tree();
    t.BeginUpdate();
    SectionsOf(g).Clear();
    t.HeaderSectionsReset();
    t.Items().Clear();
    t.EndUpdate();
    g->SetDoubleBuffered(true);
    g->Header()->SetFlat(true);
    g->Header()->SetTracking(false);
    g->SetRowHotTrack(false);
    t.Tracking = false;
    t.RowHotTrack = false;
    g->Font()->SetSize(size);
  }
  SetupMozillaCookieColumns();
  SetupMozillaDomainColumns();
  SetupOperaCookieColumns();
  SetupOperaDomainColumns();
  SetupIECookieColumns();
  SetupIEDomainColumns();
  SetupHistoryColumns();
}

void TMainFrm::AddGridColumn(TElTreeWindow* Tree, const std::string& Caption, int Width, int Style, int FieldType,
                             bool AutoSize) {
  TElTree& t = Tree->Tree();
  TElHeaderSection* s = t.HeaderSections().AddSection();
  s->SetText(AnsiToWide(Caption));
  s->SetAutoSize(AutoSize);
  s->SetFieldType(static_cast<TElFieldType>(FieldType));
  s->SetStyle(static_cast<TElSectionStyle>(Style));
  s->SetMaxWidth(800);
  s->SetFontColor(clBlack);
  s->UpdateSection();
  if (!AutoSize) s->SetWidth(Width);
  t.SetShowColumns(true);
}

namespace {

struct TColumn {
  const char* caption;
  int width;  // 0: the row-number width
  TElSectionStyle style;
  TElFieldType type;
  bool autoSize;
};

// The width of " 0000 " in the measuring label's font.
int RowNumberWidth(TLabel* Measure) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Measure->Font()->Handle());
  SIZE size{};
  const std::string text = Measure->Caption();
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

constexpr TColumn kRowNumber{"Row Number", 0, ElhsOwnerDraw, sftNumber, false};

}  // namespace

#define MORVANE_ADD_COLUMNS(GRID, ...)                                                                      \
  do {                                                                                                    \
    const TColumn columns[] = {__VA_ARGS__};                                                              \
    const int rowWidth = RowNumberWidth(HiddenLbl);                                                       \
    for (const TColumn& c : columns)                                                                      \
      AddGridColumn(GRID, c.caption, c.width ? c.width : rowWidth, c.style, c.type, c.autoSize);          \
  } while (false)

void TMainFrm::SetupIECookieColumns() {
  MORVANE_ADD_COLUMNS(IECookiesElTree, kRowNumber, {"File Name", 100, ElhsText, sftText, false},
                      {"Cookie Name", 100, ElhsText, sftText, false}, {"Cookie Value", 100, ElhsText, sftText, false},
                      {"Cookie Domain", 100, ElhsOwnerDraw, sftText, false}, {"Secure", 0, ElhsText, sftText, true},
                      {"HttpOnly", 0, ElhsText, sftText, true}, {"Created Date", 0, ElhsText, sftDateTime, true},
                      {"Expitration Date", 0, ElhsText, sftDateTime, true},
                      {"Last Modified Date", 0, ElhsText, sftDateTime, true});
}

void TMainFrm::SetupIEDomainColumns() {
  SectionsOf(ElTreeDomains).Clear();
  ElTreeDomains->Tree().HeaderSectionsReset();
  MORVANE_ADD_COLUMNS(ElTreeDomains, kRowNumber, {"Cookie Domain", 100, ElhsOwnerDraw, sftText, false},
                      {"Value", 100, ElhsText, sftText, false});
}

void TMainFrm::SetupHistoryColumns() {
  MORVANE_ADD_COLUMNS(ElTreeHistory, kRowNumber, {"URL", 300, ElhsOwnerDraw, sftText, false},
                      {"Create Date", 0, ElhsText, sftDateTime, true}, {"Save Date", 0, ElhsText, sftDateTime, true});
}

void TMainFrm::SetupMozillaCookieColumns() {
  MORVANE_ADD_COLUMNS(MozillaCookiesElTree, kRowNumber, {"Cookie Name", 100, ElhsText, sftText, false},
                      {"Cookie Value", 100, ElhsText, sftText, false},
                      {"Cookie Domain", 100, ElhsOwnerDraw, sftText, false},
                      {"Expitration Date", 0, ElhsText, sftDateTime, true}, {"Secure", 0, ElhsText, sftText, true},
                      {"Subdomains", 0, ElhsText, sftText, true});
}

void TMainFrm::SetupMozillaDomainColumns() {
  MORVANE_ADD_COLUMNS(ElTreeMozillaDomains, kRowNumber, {"Cookie Domain", 100, ElhsOwnerDraw, sftText, false},
                      {"Block Cookies", 0, ElhsText, sftText, true}, {"Block Images", 0, ElhsText, sftText, true},
                      {"Block Ads", 0, ElhsText, sftText, true}, {"Block Installs", 0, ElhsText, sftText, true});
  TElHeaderSections& s = SectionsOf(ElTreeMozillaDomains);
  s.GetSection(s.Count() - 1)->SetVisible(false);
}

void TMainFrm::SetupOperaCookieColumns() {
  MORVANE_ADD_COLUMNS(OperaCookiesElTree, kRowNumber, {"Cookie Name", 100, ElhsText, sftText, false},
                      {"Cookie Value", 100, ElhsText, sftText, false},
                      {"Cookie Domain", 100, ElhsOwnerDraw, sftText, false},
                      {"Expitration Date", 0, ElhsText, sftDateTime, true},
                      {"Last Time Used", 0, ElhsText, sftDateTime, true}, {"Secure", 0, ElhsText, sftText, true},
                      {"Subdomains", 0, ElhsText, sftText, true});
}

void TMainFrm::SetupOperaDomainColumns() {}

#undef MORVANE_ADD_COLUMNS

// ---- Sorting ---------------------------------------------------------------------

void TMainFrm::IECookiesElTreeHeaderColumnClick(TObject* Sender, int SectionIndex) {
  TElTreeWindow* grid = GridOf(Sender);
  if (!grid) return;
  TElTree& t = grid->Tree();
  const int count = t.HeaderSections().Count();
  TTabSheet* sheet = GridTabSheet(grid);
  // An index the header does not have (a stored column of an older layout,
  // the grid without columns) is only remembered, within the header.
  if (SectionIndex < 1 || SectionIndex >= count) {
    if (sheet) sheet->SetTag(std::clamp(SectionIndex, 0, std::max(count - 1, 0)));
    return;
  }
  if (sheet) sheet->SetTag(SectionIndex);
  TElHeaderSection* section = t.HeaderSections().GetSection(SectionIndex);
  if (t.SortDir == sdDescend) {
    t.SortDir = sdAscend;
    section->SetSortMode(hsmAscend);
  } else {
    t.SortDir = sdDescend;
    section->SetSortMode(hsmDescend);
  }
  if (t.OnCompareItems) {
    // The compare event orders by the column kept in the tab sheet's Tag;
    // the tree applies the direction.
    t.SetSortSection(-1);
    t.SortType = stCustom;
  } else {
    t.SetSortSection(SectionIndex);
  }
  t.Sort(true);
  if (t.ItemFocused()) t.MakeVisible(t.ItemFocused());
  if (Properties) {
    Properties->SetProperty(grid->Name() + "-SortColumn", IntToStr(SectionIndex));
    Properties->SetProperty(grid->Name() + "-SortDir", t.SortDir == sdDescend ? "Descending" : "Ascending");
  }
}

void TMainFrm::RestoreSort(TElTreeWindow* Grid) {
  if (!Grid) return;
  TElTree& t = Grid->Tree();
  std::string dir, column;
  if (Properties) {
    Properties->GetProperty(Grid->Name() + "-SortDir", dir);
    Properties->GetProperty(Grid->Name() + "-SortColumn", column);
  }
  t.SortDir = !dir.empty() && dir[0] == 'D' ? sdDescend : sdAscend;
  int index = 1;
  if (TryStrToInt(column, index))
    index = std::min(t.HeaderSections().Count() - 1, index);
  else
    index = 1;
  t.SortDir = t.SortDir == sdDescend ? sdAscend : sdDescend;
  IECookiesElTreeHeaderColumnClick(Grid, index);
}

// ---- Owner drawing ---------------------------------------------------------------

void TMainFrm::FitTextToWidth(const std::wstring& Text, int Width, std::wstring& Fitted, TCanvas* Canvas) {
  Fitted = Text;
  if (Canvas->TextExtentW(Fitted).cx >= Width) {
    // The longest head that leaves room for "...": the head's width grows
    // with its length, so a binary search finds the same one as dropping a
    // letter at a time from the end, without measuring a long text once per
    // letter (a cell of tens of thousands of letters took minutes).
    size_t fits = 0, tooWide = Text.size();  // head lengths known to fit / not to fit
    while (tooWide - fits > 1) {
      const size_t mid = fits + (tooWide - fits) / 2;
      if (Canvas->TextExtentW(Text.substr(0, mid) + L"...").cx >= Width)
        tooWide = mid;
      else
        fits = mid;
    }
    Fitted = Text.substr(0, fits) + L"...";
  }
  while (!Fitted.empty() && Canvas->TextExtentW(Fitted).cx >= Width) Fitted.pop_back();
}

void TMainFrm::IECookiesElTreeHeaderColumnDraw(TObject* /*Sender*/, TCanvas* Canvas, TElHeaderSection* Section,
                                               RECT R, bool /*Pressed*/) {
  if (!Section) return;
  std::wstring fitted;
  FitTextToWidth(Section->Text(), R.right - R.left, fitted, Canvas);
  const int height = Canvas->TextExtentW(fitted.empty() ? L"W" : fitted).cy;
  Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  Canvas->TextOutW(R.left, (R.top + R.bottom - height) / 2, fitted);
}

void TMainFrm::IECookiesElTreeItemDraw(TObject* Sender, TElTreeItem* Item, TCanvas* Surface, RECT R,
                                       int SectionIndex) {
  TElTreeWindow* grid = GridOf(Sender);
  if (!grid || !Item) return;
  const bool selected = Item->Selected();
  Surface->Brush()->SetStyle(TBrushStyle::bsSolid);
  Surface->Brush()->SetColor(selected ? grid->FocusedSelectColor() : grid->BkColor());
  Surface->FillRect(R);
  std::wstring text;
  if (SectionIndex == 0) {
    // Rows are numbered in the order they are shown, whatever the main text.
    text = std::to_wstring(Item->Index() + 1);
    Surface->Font()->SetColor(selected ? grid->FocusedSelectTextColor() : grid->TextColor());
    Surface->Font()->SetStyle(0);
  } else {
    text = grid->Tree().CellText(Item, SectionIndex);
    Surface->Font()->SetColor(selected ? grid->FocusedSelectTextColor() : clBlue);
    Surface->Font()->SetStyle(fsUnderline);
  }
  std::wstring fitted;
  FitTextToWidth(text, R.right - R.left, fitted, Surface);
  Surface->TextOutW(R.left, R.top, fitted);
}

// ---- Positions and tool-bar state ------------------------------------------------

void TMainFrm::RestoreGridPosition(TElTreeWindow* Grid, int Index, int TopIndex) {
  if (!Grid) return;
  TElTree& t = Grid->Tree();
  t.DeselectAll();
  const int count = t.Items().Count();
  if (Index == -1 && count > 0) Index = 0;
  Index = std::min(Index, count - 1);
  if (Index >= 0) {
    TElTreeItem* item = t.Items().Item(Index);
    t.SetItemFocused(item);
    t.MakeVisible(item);
    item->SetSelected(true);
  }
  if (Grid->Visible() && Grid->CanFocus()) Grid->SetFocus();
  t.SetTopIndex(TopIndex);
}

void TMainFrm::FocusActiveGridRow() {
  TElTreeWindow* grid = GetActiveGrid();
  if (grid && grid->Tree().Items().Count() > 0) {
    TElTree& t = grid->Tree();
    TElTreeItem* focused = t.ItemFocused();
    TElTreeItem* item = t.Items().Item(focused ? focused->AbsIndex() : 0);
    if (!item) item = t.Items().Item(0);
    t.SetItemFocused(item);
    item->SetSelected(true);
    UpdateToolbarState(true);
    grid->Show();
  } else {
    UpdateToolbarState(false);
  }
}

void TMainFrm::UpdateToolbarState(bool HasRows) {
  for (TToolButton* b : {ToolButtonDelete, ToolButtonSave, ToolButtonEdit}) {
    b->SetEnabled(HasRows);
    b->SetMarked(!HasRows);
  }
  auto set = [](TToolButton* b, bool on) {
    b->SetEnabled(on);
    b->SetMarked(!on);
  };
  switch (GetViewKind()) {
    case 2:
    case 5:
    case 6: set(ToolButtonNew, true); break;
    case 1:
    case 7:
    case 8: set(ToolButtonNew, false); break;
    case 3:
    case 4:
      set(ToolButtonNew, false);
      set(ToolButtonEdit, false);
      break;
    default: break;
  }
}

// ---- Selection -------------------------------------------------------------------

void TMainFrm::SelectAll2Click(TObject* /*Sender*/) {
  if (TElTreeWindow* grid = GetActiveGrid()) grid->Tree().SelectAll();
}

void TMainFrm::UnselectAll1Click(TObject* /*Sender*/) {
  if (TElTreeWindow* grid = GetActiveGrid()) grid->Tree().DeselectAll();
}

TElTreeItem* TMainFrm::GetSelectedItem(TElTreeWindow* Tree) {
  if (!Tree) return nullptr;
  TElTree& t = Tree->Tree();
  if (t.GetSelectedCount() == 0) return nullptr;
  const int count = t.Items().Count();
  for (int i = 0; i < count; ++i)
    if (TElTreeItem* item = t.Items().Item(i); item->Selected()) return item;
  return nullptr;
}

void TMainFrm::IECookiesElTreeItemSelectedChange(TObject* Sender, TElTreeItem* Item) {
  TElTreeWindow* grid = GridOf(Sender);
  if (!grid) return;
  // The status bar repaints on every new text. Inside the grid's update
  // bracket (select all, a range, a deselection) the count passes through
  // every value on its way, row by row: the bar shows it once, when the
  // bracket closes (IECookiesElTreeItemSelectedChangesEnd).
  if (!grid->Tree().IsUpdating()) ShowSelectedCount(grid);
  // The history entries follow the folder chosen in the folder list; a row
  // of any other grid only makes the next choice of a folder read it again.
  if (TElTreeItem* row = grid->Tree().ItemFocused() ? grid->Tree().ItemFocused() : Item) LoadIEHistoryEntries(row);
}

void TMainFrm::IECookiesElTreeItemSelectedChangesEnd(TObject* Sender) {
  if (TElTreeWindow* grid = GridOf(Sender)) ShowSelectedCount(grid);
}

void TMainFrm::ShowSelectedCount(TElTreeWindow* Grid) {
  sb->Panels(2)->SetText("Selected: " + IntToStr(Grid->Tree().GetSelectedCount()));
  sbResize(sb);
}

// ---- Grid menus ------------------------------------------------------------------

void TMainFrm::GridMenuPopup(TObject* /*Sender*/) { ComposeGridMenu(GridMenu->Items()); }

void TMainFrm::mnuEditClick(TObject* /*Sender*/) { ComposeGridMenu(mnuEdit); }

void TMainFrm::ComposeCookiesMenu(TMenuItem* Menu, TElTreeWindow* Grid) {
  for (int i = 0; i < Menu->Count(); ++i) Menu->Items(i)->SetVisible(true);
  Menu->SetVisible(true);
  TElTreeItem* row = GetSelectedItem(Grid);
  if (Grid->CanFocus()) Grid->SetFocus();
  const bool ie = Grid == IECookiesElTree;
  const bool netscape = Grid == MozillaCookiesElTree;
  std::string name, domain;
  if (row) {
    name = Cell(Grid, row, ie ? 1 : 0);
    domain = Cell(Grid, row, ie ? 3 : 2);
  } else {
    const bool nothing = (ie && (!CookieInfo || CookieInfo->GetFoundFileCount() == 0)) ||
                         (netscape && (!ActiveStore || !ActiveStore->GetProfiles()));
    if (nothing)
      for (int i = 0; i < Menu->Count(); ++i) Menu->Items(i)->SetVisible(false);
    else
      Menu->Items(0)->SetVisible(!ie);
  }
  TMenuItem* edit = Menu->Items(1);
  TMenuItem* open = Menu->Items(13);
  edit->SetCaption(row ? "&Edit cookie: '" + name + "'" : "&Edit ");
  edit->SetEnabled(row != nullptr);
  open->SetCaption(row ? "&Open '" + domain + "' in the browser" : "&Open in the browser");
  open->SetEnabled(row != nullptr);
  Menu->Items(10)->SetEnabled(row != nullptr);
  Menu->Items(11)->SetEnabled(row != nullptr);
  TMenuItem* del = Menu->Items(2);
  TMenuItem* block = GridMenu->Items()->Items(4);
  const int selected = Grid->Tree().GetSelectedCount();
  if (!row) {
    del->SetEnabled(false);
    del->SetCaption("&Delete");
  } else if (selected == 1) {
    del->SetEnabled(true);
    del->SetCaption("&Delete selected cookie: '" + name + "'");
    std::string host = domain.substr(0, domain.find('/'));
    if (!netscape) {
      std::string reduced = host;  // kept when it names no domain
      GetDomainFromURL(host, reduced);
      host = reduced;
    }
    block->SetCaption("Block cookies from '" + host + "' domain");
  } else {
    del->SetEnabled(true);
    del->SetCaption("&Delete all selected cookies (Total: " + IntToStr(selected) + " cookies)");
    block->SetCaption("Block cookies from selected domains");
  }
}

void TMainFrm::ComposeDomainsMenu(TMenuItem* Menu, TElTreeWindow* Grid) {
  if (Grid->CanFocus()) Grid->SetFocus();
  TElTreeItem* row = GetSelectedItem(Grid);
  for (int i = 0; i < Menu->Count(); ++i) Menu->Items(i)->SetVisible(true);
  Menu->SetVisible(true);
  GridMenu->Items()->Items(4)->SetVisible(false);
  GridMenu->Items()->Items(3)->SetVisible(false);
  const std::string domain = row ? Cell(Grid, row, 0) : std::string();
  Menu->Items(1)->SetCaption(row ? "&Edit domain: '" + domain + "'" : "&Edit ");
  Menu->Items(1)->SetEnabled(row != nullptr);
  Menu->Items(13)->SetCaption(row ? "&Open '" + domain + "' in the browser" : "&Open in the browser");
  Menu->Items(13)->SetEnabled(row != nullptr);
  TMenuItem* del = Menu->Items(2);
  const int selected = Grid->Tree().GetSelectedCount();
  if (!row) {
    del->SetEnabled(false);
    del->SetCaption("&Delete");
  } else if (selected == 1) {
    del->SetEnabled(true);
    del->SetCaption("&Delete selected item: '" + domain + "'");
  } else {
    del->SetEnabled(true);
    del->SetCaption("&Delete all selected items (Total: " + IntToStr(selected) + " items)");
  }
}

void TMainFrm::ComposeHistoryFilesMenu(TMenuItem* Menu, TElTreeWindow* Grid) {
  for (int i = 0; i < Menu->Count(); ++i) Menu->Items(i)->SetVisible(false);
  Menu->SetVisible(true);
  TElTree& t = Grid->Tree();
  if (!t.ItemFocused()) {
    if (t.AnchorItem())
      t.SetItemFocused(t.AnchorItem());
  } else if (!t.AnchorItem()) {
    t.SetAnchorItem(t.ItemFocused());
  }
  Menu->Items(0)->SetVisible(false);
  Menu->Items(1)->SetVisible(false);
  const int selected = t.GetSelectedCount();
  Menu->Items(2)->SetVisible(selected > 0);
  Menu->Items(2)->SetCaption(selected < 2 ? "&Delete selected history file"
                                          : "&Delete all selected history files (Total: " + IntToStr(selected) +
                                                " files)");
  for (int i : {3, 6, 7, 8, 9, 10, 11}) Menu->Items(i)->SetVisible(true);
  GridMenu->Items()->Items(4)->SetVisible(false);
  GridMenu->Items()->Items(3)->SetVisible(false);
}

}  // namespace morvane
