// The general commands of the main window: Refresh, Edit, New and Delete go
// to the page in view; Copy and Save as export the rows of its grid; View in
// Browser opens the selected row's site.
#include <vector>

#include "app/error_dlg.h"
#include "app/grid_export.h"
#include "app/grid_sort_keys.h"
#include "app/main_form.h"
#include "browserdata/settings/persitent_properties.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/modal.h"
#include "treeview/eltreeitems.h"

namespace morvane {

namespace {

// Texts of the grids name hosts and paths, never a scheme: the shell would
// take "notepad.exe" or "C:\x.exe" for a program to run. Everything that is
// not already a web address is opened as one.
std::string WebAddressOf(const std::string& Cell) {
  auto startsWith = [&](const char* prefix) {
    const std::string p = prefix;
    if (Cell.size() < p.size()) return false;
    for (size_t i = 0; i < p.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(Cell[i])) != p[i]) return false;
    return true;
  };
  if (startsWith("http://") || startsWith("https://")) return Cell;
  return "http://" + Cell;
}

std::vector<std::string_view> LinesOf(const TStringList& Lines) {
  std::vector<std::string_view> out;
  out.reserve(static_cast<size_t>(Lines.Count()));
  for (int i = 0; i < Lines.Count(); ++i) out.push_back(Lines.Strings(i));
  return out;
}

}  // namespace

std::string TMainFrm::RowCell(TElTreeItem* Item, int Index) {
  std::wstring scratch;
  return WideToAnsi(RowCellText(Item, Index, scratch));
}

std::vector<std::string> TMainFrm::GridCaptions(TElTreeWindow* Grid) {
  std::vector<std::string> out;
  const TElHeaderSections& sections = Grid->Tree().HeaderSections();
  out.reserve(static_cast<size_t>(sections.Count()));
  for (int i = 0; i < sections.Count(); ++i) out.push_back(WideToAnsi(sections.GetSection(i)->Text()));
  return out;
}

void TMainFrm::Refresh1Click(TObject* /*Sender*/) {
  const uint8_t kind = GetViewKind();
  if (kind == 0) return;
  auto setBusy = [this](bool Busy) {
    Screen->SetCursor(Busy ? crHourGlass : crDefault);
    for (int i = 0; i < tb->ButtonCount(); ++i) {
      tb->Buttons(i)->SetEnabled(!Busy);
      tb->Buttons(i)->SetMarked(Busy);
    }
    tb->SetEnabled(!Busy);
    if (Busy) tb->Repaint();
  };
  setBusy(true);
  try {
    btnClearSearchClick(nullptr);
    switch (kind) {
      case 1:
        IECookiesElTree->SetTag(-1);
        ReloadIECookies();
        break;
      case 2:
        ElTreeDomains->SetTag(0);
        LoadIEBlockedDomains();
        break;
      case 3:
      case 4:
        LoadIEHistory();
        break;
      case 5: LoadMozillaCookies(); break;
      case 6: LoadMozillaBlockedDomains(); break;
      case 7: LoadOperaCookies(); break;
      default: break;
    }
  } catch (...) {
    setBusy(false);
    throw;
  }
  setBusy(false);
  FocusActiveGridRow();
}

void TMainFrm::mnuEditEditClick(TObject* /*Sender*/) {
  switch (GetViewKind()) {
    case 1: EditIECookie(); break;
    case 2: EditIEBlockedDomain(); break;
    case 4: EditIEHistoryEntry(); break;
    case 5: EditMozillaCookie(); break;
    case 6: EditMozillaBlockedDomain(); break;
    case 7: EditOperaCookie(); break;
    case 8: EditOperaBlockedDomain(); break;
    default: break;
  }
}

void TMainFrm::nmuNewClick(TObject* /*Sender*/) {
  switch (GetViewKind()) {
    case 2: NewIEBlockedDomain(); break;
    case 5: NewMozillaCookie(); break;
    case 6: NewMozillaBlockedDomain(); break;
    case 7: NewOperaCookie(); break;
    case 8: NewOperaBlockedDomain(); break;
    default: break;
  }
}

void TMainFrm::mnuEditDeleteClick(TObject* /*Sender*/) {
  switch (GetViewKind()) {
    case 1: DeleteIECookies(); break;
    case 2: DeleteIEBlockedDomains(); break;
    case 3:
    case 4: DeleteIEHistoryFiles(); break;
    case 5: DeleteMozillaCookies(); break;
    case 6: DeleteMozillaBlockedDomains(); break;
    case 7: DeleteOperaCookies(); break;
    case 8: DeleteOperaBlockedDomains(); break;
    default: break;
  }
}

void TMainFrm::GetSelectedRowLines(TStringList* Lines) {
  TElTreeWindow* grid = GetActiveGrid();
  if (!grid || !Lines) return;
  TElTree& tree = grid->Tree();
  const int wanted = tree.GetSelectedCount();
  const TElList& all = tree.AllItems();
  Lines->SetCapacity(Lines->Count() + wanted);
  std::string line;
  std::wstring scratch;
  int k = 0;
  for (int i = 0; i < all.Count() && k < wanted; ++i) {
    auto* it = static_cast<TElTreeItem*>(all.List()[i]);
    if (!it->Selected()) continue;
    ++k;
    line = std::to_string(k);
    const int cells = RowCellCount(it);
    for (int c = 0; c < cells; ++c) {
      line += '\t';
      AppendNarrow(line, RowCellText(it, c, scratch));
    }
    Lines->Add(line);
  }
}

void TMainFrm::mnuEditCopyToClipboardClick(TObject* /*Sender*/) {
  TElTreeWindow* grid = GetActiveGrid();
  if (!grid) return;
  TStringList lines;
  GetSelectedRowLines(&lines);
  Clipboard()->SetAsText(GridClipboardText(GridCaptions(grid), LinesOf(lines)));
}

void TMainFrm::mnuEditSaveAsClick(TObject* /*Sender*/) { SaveGridAs(false); }

void TMainFrm::mnuEditSaveSelectedAsClick(TObject* /*Sender*/) { SaveGridAs(true); }

void TMainFrm::SaveGridAs(bool SelectedOnly) {
  TElTreeWindow* grid = GetActiveGrid();
  if (!grid) return;
  try {
    std::string dir, filterIndex;
    if (Properties) {
      Properties->GetProperty("LastSaveAsDirectory", dir);
      Properties->GetProperty("FilterIndex", filterIndex);
    }
    if (dir.empty()) dir = ExtractFilePath(ProgramFileName());
    SaveDialog1->Filter =
        "Text (Tab separated) (*.txt)|*.TXT|Text (Tab separated) (*.xls)|*.XLS|HTML file (*.htm) |*.htm";
    SaveDialog1->DefaultExt = "txt";
    SaveDialog1->InitialDir = DirectoryExists(dir) ? dir : std::string();
    SaveDialog1->FilterIndex = StrToIntDef(filterIndex, 0);
    SaveDialog1->Title = "Save Selection As..";
    SaveDialog1->Ctl3D = false;
    SaveDialog1->Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;
    // The rows are taken as the user left them: closing the dialog activates
    // this window again, and the activation's reset selects the focused row
    // and clears the filter.
    TStringList lines;
    if (SelectedOnly)
      GetSelectedRowLines(&lines);
    else
      grid->Tree().Items().SaveToStrings(lines);
    if (!SaveDialog1->Execute()) return;

    const std::string fileName = SaveDialog1->FileName;
    if (Properties) {
      Properties->SetProperty("LastSaveAsDirectory", ExtractFilePath(fileName));
      Properties->SetProperty("FilterIndex", IntToStr(SaveDialog1->FilterIndex));
    }
    if (fileName.empty()) return;

    const int attr = FileGetAttr(fileName);
    if (attr != -1) {
      const char* what = (attr & faHidden) ? "hidden" : ((attr & faSysFile) ? "system" : nullptr);
      if (what &&
          MessageDlg("'" + fileName + "' is the " + what + " Windows file.\r\n" + "Do you want to override it?",
                     TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
      if (attr & (faHidden | faSysFile)) {
        if (int e = FileSetAttr(fileName, attr & ~(faHidden | faSysFile))) throw EOSError(SysErrorMessage(e));
      }
    }

    // The whole text is made before the file is touched: a failure leaves
    // no half-written file behind it.
    const std::string text = GridExportText(GridExportFormatOf(SaveDialog1->FilterIndex), GridCaptions(grid),
                                            LinesOf(lines));
    TFileStream file(fileName, fmCreate);
    if (!text.empty()) file.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  } catch (const std::exception& e) {
    ErrorDlg->ShowError("Error in 'Save as..'", "Error occured when trying to save displayed grid",
                        std::string("Following error was generated: ") + e.what(), 3);
  }
}

void TMainFrm::mnuEditViewinBrowserClick(TObject* /*Sender*/) {
  std::string text;
  switch (GetViewKind()) {
    case 1: text = RowCell(IECookiesElTree->Tree().AnchorItem(), 3); break;
    case 2: text = RowCell(ElTreeDomains->Tree().AnchorItem(), 0); break;
    case 5:
      text = RowCell(MozillaCookiesElTree->Tree().ItemFocused(), 2);
      if (!text.empty() && text[0] == '.') text.erase(0, 1);
      break;
    case 6: text = RowCell(ElTreeMozillaDomains->Tree().ItemFocused(), 0); break;
    case 7: text = RowCell(OperaCookiesElTree->Tree().ItemFocused(), 2); break;
    case 8: text = RowCell(EltreeOperaDomains->Tree().ItemFocused(), 0); break;
    default: return;
  }
  if (text.empty()) return;
  OpenURL(WebAddressOf(text));
}

}  // namespace morvane
