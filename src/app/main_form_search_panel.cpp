// The search panel above the browser pages: it hides the rows of the grid
// in view whose searched columns do not hold the search text.
#include <vector>

#include "app/binary_file_list_view.h"
#include "app/cell_filter.h"
#include "app/grid_sort_keys.h"
#include "app/main_form.h"
#include "platform/core/sysutils.h"
#include "platform/ui/listview.h"
#include "treeview/eltreeitems.h"

namespace morvane {

void TMainFrm::ToolBtnSearchClick(TObject* /*Sender*/) {
  mnuSearch->SetChecked(!mnuSearch->Checked());
  ToolBtnSearch->SetDown(mnuSearch->Checked());
  TopSearchPanel->SetVisible(ToolBtnSearch->Down());
  switch (GetViewKind()) {
    case 1:
    case 5:
    case 7: SearchOptionsGropuBox->SetVisible(true); break;
    case 2:
    case 3:
    case 6:
    case 8: SearchOptionsGropuBox->SetVisible(false); break;
    default: break;
  }
}

void TMainFrm::mnuSearchClick(TObject* Sender) {
  ToolBtnSearch->SetDown(!ToolBtnSearch->Down());
  ToolBtnSearchClick(Sender);
}

void TMainFrm::EdtItemToSearchChange(TObject* /*Sender*/) {
  lblSearchStatus->SetVisible(false);
  BtnSearch->SetEnabled(!EdtItemToSearch->Text().empty());
}

std::vector<int> TMainFrm::SearchedColumns(uint8_t ViewKind) {
  std::vector<int> cols;
  switch (ViewKind) {
    case 1:
      if (chkFileNames->Checked()) cols.push_back(0);
      if (chkCookieNames->Checked()) cols.push_back(1);
      if (chkCookieValues->Checked()) cols.push_back(2);
      if (chkURLs->Checked()) cols.push_back(3);
      break;
    case 5:
    case 7:
      if (chkCookieNames->Checked()) cols.push_back(0);
      if (chkCookieValues->Checked()) cols.push_back(1);
      if (chkURLs->Checked()) cols.push_back(2);
      break;
    case 2:
    case 3:
    case 6:
    case 8: cols.push_back(0); break;
    default: break;
  }
  return cols;
}

void TMainFrm::BtnSearchClick(TObject* /*Sender*/) {
  TElTreeWindow* active = GetActiveGrid();
  if (!active) return;
  if (active == ElTreeHistoryFiles && pgHistory->ActivePage() == TabSheet2) {
    if (TListItem* focused = QBBinaryFileListView1->ListView->ItemFocused()) focused->SetFocused(false);
    QBBinaryFileListView1->Find(EdtItemToSearch->Text());
  }
  const uint8_t kind = GetViewKind();
  TElTreeWindow* grid = active == ElTreeHistoryFiles ? ElTreeHistory : active;
  grid->Tree().SetFilteredVisibility(false);
  if (kind == 0 || kind == 4) return;
  if (kind == 2 || kind == 3 || kind == 6 || kind == 8) chkCaseSensitive->SetChecked(false);
  const std::vector<int> cols = SearchedColumns(kind);
  TCellMatcher matcher(AnsiToWide(EdtItemToSearch->Text()), chkCaseSensitive->Checked());

  TElTree& tree = grid->Tree();
  tree.DeselectAll();
  tree.Items().BeginUpdate();
  try {
    const TElList& all = tree.AllItems();
    std::wstring scratch;
    for (int i = 0; i < all.Count(); ++i) {
      auto* it = static_cast<TElTreeItem*>(all.List()[i]);
      bool shown = false;
      const int count = RowCellCount(it);
      for (int c : cols)
        if (c < count && matcher.Matches(RowCellText(it, c, scratch))) {
          shown = true;
          break;
        }
      if (it->Hidden() == shown) it->SetHidden(!shown);
    }
  } catch (...) {
    tree.Items().EndUpdate();
    throw;
  }
  tree.Items().EndUpdate();
  tree.SetTopIndex(0);
  tree.SetFilteredVisibility(true);

  lblSearchStatus->SetVisible(true);
  BtnSearch->SetEnabled(kind == 3);
  btnClearSearch->SetEnabled(true);
}

void TMainFrm::btnClearSearchClick(TObject* /*Sender*/) {
  TElTreeWindow* grid = GetActiveGrid();
  if (grid == ElTreeHistoryFiles) grid = ElTreeHistory;
  if (grid) grid->Tree().SetFilteredVisibility(false);
  lblSearchStatus->SetVisible(false);
  EdtItemToSearch->SetText("");
  btnClearSearch->SetEnabled(false);
}

void TMainFrm::ListViewsPageControlChange(TObject* Sender) {
  // The tab sheets' show events pass themselves; the reset runs once the
  // new page is in place, when the window calls it without a sender.
  if (Sender) return;
  const uint8_t kind = GetViewKind();
  TTabControl* tabs = nullptr;
  switch (kind) {
    case 1:
    case 2: tabs = IETabControl; break;
    case 5:
    case 6: tabs = NetscapeTabControl; break;
    case 0:
    case 4:
      for (int i = 0; i < 2 && i < sb->PanelCount(); ++i) sb->Panels(i)->SetText("");
      break;
    default: break;
  }
  FocusActiveGridRow();
  btnClearSearchClick(nullptr);
  if (tabs) {
    chkFileNames->SetVisible(kind == 1);
    SearchOptionsGropuBox->SetVisible(tabs->TabIndex() == 0);
    chkCaseSensitive->SetVisible(tabs->TabIndex() == 0);
    lbldomain->SetVisible(tabs->TabIndex() == 1);
  }
  sbResize(sb);
}

}  // namespace morvane
