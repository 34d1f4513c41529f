// The Internet Explorer cookies page: one row per cookie of the chosen cookie
// folder, and the page's Edit and Delete.
//
// Row line: "1", file name, name, value, host and path, "Yes"/"No" secure,
// "Yes"/"No" HTTP-only, created, expires, file date, then two cells without
// a column: the flags text and the creation time's low digits as read.
#include "app/main_form.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "app/delete_cookie_dialog.h"
#include "app/edit_cookie_dlg.h"
#include "app/reboot_query.h"
#include "app/rebot_reminder_dlg.h"
#include "browserdata/ie/cookie_info.h"
#include "browserdata/ie/ie_cookie_records.h"
#include "browserdata/settings/persitent_properties.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/datetime.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "treeview/eltree_bracket.h"

namespace morvane {
namespace {

enum TIECookieCell {
  ccFile = 0, ccName, ccValue, ccHostPath, ccSecure, ccHttpOnly, ccCreated, ccExpires, ccFileDate, ccFlags,
  ccCreatedLow
};

// Restart flags for the forced reboot (EWX_REBOOT | EWX_FORCE).
constexpr uint32_t kForcedReboot = 6;

const char* YesNo(bool b) { return b ? "Yes" : "No"; }

// The process-wide Boolean texts, which the grids' other users read too.
void SetYesNoTexts() {
  TrueBoolStrs() = {YesNo(true)};
  FalseBoolStrs() = {YesNo(false)};
}

std::string FolderFile(const std::string& Folder, const std::string& Name) {
  if (!Folder.empty() && Folder.back() == '\\') return Folder + Name;
  return Folder + "\\" + Name;
}

}  // namespace

std::string TMainFrm::LineCell(std::string_view Text) {
  std::string s(Text);
  std::replace(s.begin(), s.end(), '\t', ' ');
  return s;
}

void TMainFrm::SetColumnText(TElTreeItem* Item, int Index, const std::string& Text) {
  TElWideStringList* texts = Item ? Item->ColumnTexts() : nullptr;
  if (!texts) return;
  while (texts->Count() <= Index) texts->Add(std::wstring());
  texts->Put(Index, AnsiToWide(Text));
}

void TMainFrm::AddIECookieRows(const TCookieInfoDetails& Details, TStrings& Lines) {
  const std::string fileName = LineCell(Details.FileName);
  const std::string fileDate = DateTimeToStr(Details.FileDate);
  for (const TCookieValueInfo& c : Details.Cookies) {
    int flags = 0;
    if (!TryParseIEFlags(c.Flags, flags)) continue;
    std::string line;
    line.reserve(160 + c.Name.size() + c.Value.size() + c.HostPath.size());
    line += "1\t";
    line += fileName;
    line += '\t';
    line += LineCell(c.Name);
    line += '\t';
    line += LineCell(c.Value);
    line += '\t';
    line += LineCell(c.HostPath);
    line += '\t';
    line += YesNo((flags & ieFlagSecure) != 0);
    line += '\t';
    line += YesNo((flags & ieFlagHttpOnly) != 0);
    line += '\t';
    line += DateTimeToStr(c.Created);
    line += '\t';
    line += DateTimeToStr(c.Expires);
    line += '\t';
    line += fileDate;
    line += '\t';
    line += LineCell(c.Flags);
    line += '\t';
    line += LineCell(c.CreatedLowText);
    Lines.Add(line);
  }
}

void TMainFrm::FillIECookieTree() {
  SetYesNoTexts();
  TStringList lines;
  if (CookieInfo) {
    const int count = CookieInfo->GetFoundFileCount();
    TCookieInfoDetails details;
    for (int i = 0; i < count; ++i) {
      details = TCookieInfoDetails{};
      CookieInfo->GetFileDetails(i, details);
      if (details.FileSize == 0) continue;
      AddIECookieRows(details, lines);
    }
  }
  // The load holds the grid's update bracket itself, also when it throws.
  IECookiesElTree->Tree().Items().LoadFromStrings(lines);
}

void TMainFrm::ReloadIECookies() {
  TElTree& tree = IECookiesElTree->Tree();
  TElTreeItems& items = tree.Items();
  bool updating = false;
  try {
    const int topIndex = tree.TopIndex();
    TElTreeItem* focused = tree.ItemFocused();
    const int focusedIndex = focused ? focused->AbsIndex() : -1;

    items.BeginUpdate();
    updating = true;
    const intptr_t state = IECookiesElTree->Tag();
    const bool reread = state == 0 || state == -1;
    if (reread) items.Clear();

    std::string dir;
    if (Properties) Properties->GetProperty(IECookiesElTree->Name() + "-SortDir", dir);
    tree.SortDir = !dir.empty() && (dir[0] == 'D' || dir[0] == 'd') ? sdDescend : sdAscend;

    if (reread) CboIECookieFoldersClick(CboIECookieFolders);

    if (state == 0 && WindowState() == TWindowState::wsMaximized && Screen) {
      SetBounds(0, 0, Screen->Width(), Screen->Height());
      SetWindowState(TWindowState::wsMaximized);
      SetVisible(true);
    }

    RestoreSort(IECookiesElTree);
    tree.Sort(false);
    RestoreGridPosition(IECookiesElTree, focusedIndex, topIndex);
    updating = false;
    items.EndUpdate();
    IECookiesElTree->Repaint();
    IECookiesElTree->SetTag(1);

    if (CookieInfo && sb && sb->PanelCount() > 4) {
      std::string folder;
      CookieInfo->GetCookieFolder(folder);
      sb->Panels(4)->SetText("Cookie Folder: " + folder);
    }
  } catch (...) {
    // A reload that fails leaves the page as far as it got; the bracket
    // still closes so that the grid goes on painting.
    if (updating) items.EndUpdate();
  }
}

void TMainFrm::HostFromHostPath(const std::string& HostPath, std::string& Host) {
  const size_t slash = HostPath.find('/');
  Host = slash == std::string::npos ? HostPath : HostPath.substr(0, slash);
}

void TMainFrm::EditIECookie() {
  int step = 1;
  try {
    TElTreeItem* row = GetSelectedItem(IECookiesElTree);
    if (!row) return;
    step = 2;
    TElWideStringList* texts = row->ColumnTexts();
    if (!texts || texts->Count() < 10) {
      // Without all its cells the row cannot fill the editor, nor say which
      // record to rewrite.
      ShowMessage("Cannot Display Edit Dialog");
      return;
    }
    // The file, the cookie and its path all come from this row: it is the
    // one the dialog shows, whichever row has the focus.
    const std::string fileName = RowCell(row, ccFile);
    const std::string name = RowCell(row, ccName);
    const std::string value = RowCell(row, ccValue);
    const std::string hostPath = RowCell(row, ccHostPath);
    const std::string flagsText = RowCell(row, ccFlags);

    TEditcookieDlg* dlg = EditcookieDlg;
    dlg->SetCaption("Edit Cookie " + name.substr(0, 20));
    dlg->edtCookieName->SetText(name);
    dlg->edtCookieValue->SetText(value);
    step = 3;
    dlg->ChkSecure->SetChecked(RowCell(row, ccSecure) == "Yes");
    dlg->chkHttpOnly->SetChecked(RowCell(row, ccHttpOnly) == "Yes");

    step = 4;
    TDateTime expires = 0;
    const bool expiryShown = TryStrToDateTime(RowCell(row, ccExpires), expires);
    if (expiryShown) {
      dlg->dtExpirationDate->SetDate(Trunc(expires));
      dlg->dtExpirationTime->SetTime(Frac(expires));
    } else {
      step = 44;
    }
    dlg->dtExpirationDate->SetVisible(expiryShown);
    dlg->dtExpirationTime->SetVisible(expiryShown);
    if (dlg->Label3) dlg->Label3->SetVisible(expiryShown);

    step = 5;
    dlg->edtCookieName->SetMaxLength(static_cast<int>(name.size()));
    dlg->lblinfo1->SetCaption("Maximum length of name of this cookie is " + IntToStr(name.size()) + " characters.");
    dlg->edtCookieValue->SetMaxLength(static_cast<int>(value.size()));
    dlg->lblInfo2->SetCaption("Maximum length of value of this cookie is " + IntToStr(value.size()) +
                              " characters.");

    step = 6;
    int flags = 0;
    if (!TryParseIEFlags(flagsText, flags)) throw std::invalid_argument("'" + flagsText + "' is not a valid integer value");
    // The flags field keeps its length in the file: the HTTP-only bit can
    // be set only where its decimal text still fits.
    dlg->chkHttpOnly->SetEnabled(IntToStr(flags | ieFlagHttpOnly).size() <= flagsText.size());

    step = 7;
    if (dlg->ShowModal() != mrOk) return;

    step = 8;
    TCookieValueInfo cookie;
    cookie.Name = dlg->edtCookieName->Text();
    cookie.Value = dlg->edtCookieValue->Text();
    cookie.Secure = dlg->ChkSecure->Checked();
    cookie.HttpOnly = dlg->chkHttpOnly->Checked();
    // Hidden pickers hold whatever the last cookie left in them: the
    // record keeps its own expiry then.
    cookie.KeepExpiry = !expiryShown;
    if (expiryShown) cookie.Expires = Trunc(dlg->dtExpirationDate->Date()) + Frac(dlg->dtExpirationTime->Time());
    step = 9;
    if (!CookieInfo) throw std::runtime_error("No cookie folder is open.");
    step = 10;
    if (!CookieInfo->UpdateCookie(fileName, name, hostPath, cookie))
      throw std::runtime_error("The cookie was not found in its file, or the file could not be written.");

    // The row shows what the file now holds: the name and value at their
    // old lengths, the flags text as the store wrote it.
    // The cells change in one update of the grid: each cell alone would
    // size the columns and paint the whole grid again, and six of those
    // kept the window from answering for seconds on a busy machine.
    {
      TTreeBracket update(&IECookiesElTree->Tree());
      SetColumnText(row, ccName, LineCell(FitToLength(cookie.Name, name.size())));
      SetColumnText(row, ccValue, LineCell(FitToLength(cookie.Value, value.size())));
      SetColumnText(row, ccSecure, YesNo(cookie.Secure));
      SetColumnText(row, ccHttpOnly, YesNo(cookie.HttpOnly));
      if (expiryShown) SetColumnText(row, ccExpires, DateTimeToStr(cookie.Expires));
      step = 11;
      SetColumnText(row, ccFlags, EditIEFlags(flagsText, cookie.Secure, cookie.HttpOnly));
    }
    step = 12;
  } catch (const std::exception& e) {
    ShowMessage("Cannot display EditCookie Dialog. Error (" + IntToStr(step) + "): " + e.what());
  }
}

void TMainFrm::DeleteIECookies() {
  if (!CookieInfo) return;
  try {
    TElTree& tree = IECookiesElTree->Tree();
    CookieInfo->ClearDeletions();
    const int n = tree.GetSelectedCount();
    TDeleteCookieDialog* dlg = DeleteCookieDialog;
    dlg->SetCaption("Delete Intermet Explorer Cookie(s)");
    if (n <= 0) return;

    dlg->chkDeleteCookie->SetVisible(IEPrivacyListAvailable);
    dlg->chkBlockCookie->SetVisible(IEPrivacyListAvailable);
    std::string message;
    if (n == 1) {
      if (!tree.AnchorItem()) {
        if (IECookiesElTree->CanFocus()) IECookiesElTree->SetFocus();
        tree.SetAnchorItem(tree.ItemFocused());
      }
      // The message names the row that goes: the one selected row (the
      // anchor may lie on another row after Ctrl-clicks).
      TElTreeItem* row = GetSelectedItem(IECookiesElTree);
      std::string name = RowCell(row, ccName);
      if (name.size() > 10) name = name.substr(0, 10) + "...";
      std::string host;
      HostFromHostPath(RowCell(row, ccHostPath), host);
      message = "You are about to delete selected cookie: " + name;
      dlg->chkDeleteCookie->SetCaption("Delete selected cookie");
      dlg->chkBlockCookie->SetCaption("Block all future cookies from '" + host + "'");
    } else {
      message = "You are about to delete all selected cookies (" + IntToStr(n) + ")";
      dlg->chkDeleteCookie->SetCaption("Delete selected cookies");
      dlg->chkBlockCookie->SetCaption("Block all future cookies from selected domains");
    }
    dlg->lblDeleteMessage->SetCaption(message);
    if (dlg->ShowModal() != mrOk) return;

    if (IEPrivacyListAvailable && dlg->chkBlockCookie->Checked()) BlockSelectedIECookies();
    // Without the privacy list the boxes are hidden and the command deletes.
    if (IEPrivacyListAvailable && !dlg->chkDeleteCookie->Checked()) return;

    TElTreeItems& items = tree.Items();
    int marked = 0;
    for (int i = 0; i < items.Count() && marked < n; ++i) {
      TElTreeItem* row = items.Item(i);
      if (!row->Selected()) continue;
      CookieInfo->MarkCookieForDeletion(RowCell(row, ccFile), RowCell(row, ccName), RowCell(row, ccHostPath), i);
      ++marked;
    }

    std::vector<intptr_t> gone;
    {
      THourGlass busy;
      gone = CookieInfo->ApplyDeletions();
    }
    if (gone.empty()) return;

    IECookiesElTree->SetVisible(false);
    items.BeginUpdate();
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
      if (*it >= 0 && *it < items.Count()) items.DeleteItem(items.Item(static_cast<int>(*it)));
    }
    items.EndUpdate();
    IECookiesElTree->SetVisible(true);
    FocusActiveGridRow();

    if (items.Count() == 0) {
      std::string folder;
      CookieInfo->GetCookieFolder(folder);
      if (!folder.empty()) DeleteFileOrOnReboot(FolderFile(folder, "index.dat"), true);
      if (RebootQuery->ShowModal() == mrYes && RebotReminderDlg->ShowModal() == mrOk) RebootWindows(kForcedReboot);
    }
    if (sb && sb->PanelCount() > 1) {
      sb->Panels(0)->SetText("Total Files: " + IntToStr(CookieInfo->GetFileCount()));
      sb->Panels(1)->SetText("Total Cookies: " + IntToStr(items.Count()));
      sbResize(sb);
    }
  } catch (...) {
    // The store has reported what it could not do; nothing more to say here.
  }
}

}  // namespace morvane
