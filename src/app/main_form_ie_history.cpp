// The Internet Explorer history page: the history folders, the URL entries
// of the chosen folder's index file, and the deletion of whole index files.
#include "app/main_form.h"

#include "app/binary_file_list_view.h"
#include "app/delete_history_dialog.h"
#include "app/grid_sort_keys.h"
#include "app/rebot_reminder_dlg.h"
#include "browserdata/history/ie_history.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/ui/modal.h"
#include "treeview/eltree.h"
#include "treeview/eltreeitem.h"

namespace morvane {
namespace {

// 1601-01-01 00:00, the day a zero file time falls on.
constexpr TDateTime kZeroFileTimeDay = -109205;
// Restart flags for the forced reboot (EWX_REBOOT | EWX_FORCE).
constexpr uint32_t kForcedReboot = 6;
const char kIndexFile[] = "index.dat";

// The date of eight digits yyyymmdd; false for anything else.
bool TryHistoryDate(std::string_view Digits, TDateTime& Date) {
  if (Digits.size() != 8) return false;
  for (char c : Digits)
    if (c < '0' || c > '9') return false;
  const auto number = [&](size_t at, size_t len) {
    int v = 0;
    for (size_t i = at; i < at + len; ++i) v = v * 10 + (Digits[i] - '0');
    return v;
  };
  return TryEncodeDate(number(0, 4), number(4, 2), number(6, 2), Date);
}

}  // namespace

void TMainFrm::LoadIEHistory() {
  try {
    History.reset();
    History = std::make_unique<TIEHistory>();
    QBBinaryFileListView1->SetColumn1Mode(2);
    QBBinaryFileListView1->SetColumn2Mode(12);
    QBBinaryFileListView1->SetHexAddresses(true);
    TStringList folders;
    folders.Assign(&History->GetFolders());
    TStringList lines;
    for (int i = 0; i < folders.Count(); ++i) lines.Add(IntToStr(i + 1) + "\t" + LineCell(folders.Strings(i)));
    // The load holds the grid's update bracket itself, also when it throws.
    ElTreeHistoryFiles->Tree().Items().LoadFromStrings(lines);
  } catch (...) {
    // The page stays as far as it got: an unreadable history folder list
    // is not worth a message.
  }
}

std::string TMainFrm::HistoryPeriodText(const std::string& Folder) {
  // "...\MSHist012026120720261214\": the first and last day of the period.
  if (Folder.size() < 17 || Folder.back() != '\\') return std::string();
  const std::string_view digits = std::string_view(Folder).substr(Folder.size() - 17, 16);
  TDateTime first = 0, last = 0;
  if (!TryHistoryDate(digits.substr(0, 8), first) || !TryHistoryDate(digits.substr(8, 8), last)) return std::string();
  return "History data for period: " + DateTimeToStr(first) + " - " + DateTimeToStr(last);
}

void TMainFrm::HistoryEntryText(TElTreeItem* Item, int SectionIndex, TElFString& Text) {
  Text.clear();
  const auto i = reinterpret_cast<uintptr_t>(Item ? Item->Data() : nullptr);
  if (!Item || i >= HistoryRows.size()) return;
  const THistoryRow& r = HistoryRows[i];
  const int main = ElTreeHistory->Tree().MainTreeColumn();
  std::string& cell = HistoryCellBuffer;
  cell.clear();
  if (SectionIndex < 0 || SectionIndex == main) {
    cell = IntToStr(static_cast<int>(i) + 1);
  } else {
    switch (SectionIndex > main ? SectionIndex - 1 : SectionIndex) {
      case 0: cell = r.URL; break;
      case 1: cell = r.FirstTime == kZeroFileTimeDay ? std::string("-") : DateTimeToStr(r.FirstTime); break;
      case 2: cell = DateTimeToStr(r.SecondTime); break;
      default: break;
    }
  }
  WidenInto(Text, cell);
}

void TMainFrm::LoadIEHistoryEntries(TElTreeItem* Item) {
  // The selection of any grid counts for which folder is shown (another
  // grid's row resets it, so that coming back reloads); only a row of the
  // folder list names a history folder to read.
  TCustomElTree* tree = Item ? Item->Owner() : &ElTreeHistoryFiles->Tree();
  TElTreeItem* row = tree->ItemFocused() ? tree->ItemFocused() : Item;
  const std::string folder = RowCell(row, 0);
  if (folder.empty() || folder == LastHistoryFolder) return;
  LastHistoryFolder = folder;
  if (tree != &ElTreeHistoryFiles->Tree()) return;
  if (folder.back() != '\\') return;

  lblHistoryFile->SetCaption(HistoryPeriodText(folder));

  std::vector<THistoryRow> rows;
  if (History) {
    try {
      TIEHistoryEntry entry;
      History->FindFirst(folder + kIndexFile, entry);
      while (!entry.URL.empty()) {
        rows.push_back(THistoryRow{LineCell(entry.URL), entry.FirstTime, entry.SecondTime});
        History->FindNext(entry);
      }
    } catch (const std::exception&) {
      // An index file that cannot be opened (gone since the list was made)
      // has no entries to show.
      rows.clear();
    }
  }
  // Each row holds its entry's place, and the grid asks for the texts as it
  // paints, sizes its columns, sorts, searches or saves: a copy of every
  // entry's texts in the grid cost most of the page's time. The old rows go
  // before the entries they stand for.
  TElTree& grid = ElTreeHistory->Tree();
  TElTreeItems& items = grid.Items();
  items.Clear();
  HistoryRows = std::move(rows);
  grid.SetVirtualityLevel(vlTextAndStyles);
  items.BeginUpdate();
  try {
    for (size_t i = 0; i < HistoryRows.size(); ++i) items.AddLastChild(nullptr)->SetData(reinterpret_cast<void*>(i));
  } catch (...) {
    items.EndUpdate();
    throw;
  }
  items.EndUpdate();

  if (TopSearchPanel->Visible() && !Trim(EdtItemToSearch->Text()).empty()) BtnSearchClick(BtnSearch);
}

void TMainFrm::DeleteIEHistoryFiles() {
  TElTree& tree = ElTreeHistoryFiles->Tree();
  const int n = tree.GetSelectedCount();
  if (n <= 0) return;
  TDeleteHistoryDialog* dlg = DeleteHistoryDialog;
  if (n == 1) {
    if (!tree.AnchorItem()) tree.SetAnchorItem(tree.ItemFocused());
    // Named after the row that goes: the one selected row.
    dlg->lblDeleteMessage->SetCaption("You are about to delete selected Internet Explorer history file:");
    dlg->lblHistoryFileName->SetCaption(RowCell(GetSelectedItem(ElTreeHistoryFiles), 0) + kIndexFile);
  } else {
    dlg->lblDeleteMessage->SetCaption("You are about to delete " + IntToStr(n) + " Internet Explorer history files.");
    dlg->lblHistoryFileName->SetCaption("");
  }
  if (dlg->ShowModal() != mrOk) return;

  // Our own views of the files would hold them: the binary view keeps the
  // file it shows mapped, and the entry walk keeps its file open. Windows
  // refuses to delete either, and the file would be reported as locked by
  // Internet Explorer.
  QBBinaryFileListView1->CloseFile();
  History.reset();
  LastHistoryFolder.clear();

  std::string deleted, locked;
  for (TElTreeItem* row = tree.GetNextSelected(nullptr); row; row = tree.GetNextSelected(row)) {
    const std::string file = RowCell(row, 0) + kIndexFile;
    if (DeleteFileA(file.c_str())) {
      deleted += "\r\n" + file;
    } else {
      locked += "\r\n" + file;
      DeleteFilesByMask(file, true);
    }
  }
  if (!deleted.empty()) deleted = "Following history files were deleted successfully:\r\n" + deleted;
  if (!locked.empty())
    locked = "Following history files are locked by Internet Explorer and will be deleted after reboot:\r\n" + locked;

  if (!locked.empty()) {
    if (MessageDlg(deleted + "\r\n\r\n" + locked + "\r\n\r\nDo you want to reboot Windows now?",
                   TMsgDlgType::mtInformation, mbYesNo) == mrYes &&
        RebotReminderDlg->ShowModal() == mrOk)
      RebootWindows(kForcedReboot);
  } else if (!deleted.empty()) {
    MessageDlg(deleted + "\r\n", TMsgDlgType::mtInformation, mbOK);
  }
  LoadIEHistory();
}

void TMainFrm::EditIEHistoryEntry() {
  if (!ElTreeHistory->Showing()) return;
  std::string url = RowCell(ElTreeHistory->Tree().ItemFocused(), 0);
  if (url.empty()) return;
  if (url.rfind("Host: ", 0) == 0) url = "http://" + url.substr(6);
  OpenURL(url);
}

}  // namespace morvane
