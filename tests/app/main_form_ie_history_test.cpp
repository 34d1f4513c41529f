// The Internet Explorer history page of the real main window over history
// folders made in the user's history folder: the folder list, the entries of
// the chosen folder, and the deletion of index files, one of them held open
// by someone else.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=ie_history
// ctest: lock=pending_renames
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "../../tools/fixture-gen/index_dat_gen.h"
#include "app/binary_file_list_view.h"
#include "app/delete_history_dialog.h"
#include "browserdata/history/ie_history.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "main_form_ie_support.h"
#include "platform/core/files.h"
#include "support/test_env.h"

namespace morvane {
namespace {

// 2026-12-08 09:30:00 UTC as a file time.
constexpr uint64_t kVisited = 134411958000000000ull;

class IEHistoryPage : public test::TMainWindowTest {
 protected:
  void SetUp() override {
    std::string history;
    GetSpecialFolderPath(nullptr, csidlHistory, history);
    if (history.back() != '\\') history += '\\';
    root = history + "mvtest\\";
    week1 = root + "MSHist012026120720261214\\";
    week2 = root + "MSHist012026121420261221\\";
    plain = root + "plain\\";
    tabs = root + "tabs\\";
    for (const std::string& f : {week1, week2, plain, tabs}) ASSERT_TRUE(ForceDirectories(f));
    Write(week1, {{"URL ", "Visited: user@http://a.example/x", 0, kVisited},
                  {"LEAK", "Visited: user@http://leak.example/", kVisited, kVisited},
                  {"URL ", "Visited: bob@file:///C:/b.htm", kVisited, kVisited + 20000000}});
    Write(week2, {{"URL ", "Visited: user@http://c.example/", kVisited, kVisited}});
    Write(plain, {{"URL ", "Visited: x@:Host: d.example", kVisited, kVisited}});
    Write(tabs, {{"URL ", "Visited: u@http://t.example/a\tb", kVisited, kVisited + 40000000},
                 {"URL ", "Visited: u@http://z.example/", kVisited, kVisited},
                 {"URL ", "Visited: u@http://m.example/", 0, kVisited + 20000000}});
    TMainWindowTest::SetUp();
    SetFormatSettings(TFormatSettings());
  }
  void TearDown() override {
    TMainWindowTest::TearDown();
    test::ClearPendingFileRenames();
    for (const std::string& f : {week1, week2, plain, tabs}) {
      DeleteFileA((f + "index.dat").c_str());
      RemoveDirectoryA(f.c_str());
    }
    RemoveDirectoryA(root.c_str());
    ReloadFormatSettings();
  }
  static void Write(const std::string& folder, std::vector<fixturegen::TIndexDatGenRecord> records) {
    const std::string bytes = fixturegen::WriteIndexDat(records);
    std::ofstream out(folder + "index.dat", std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  TElTreeItem* FolderRow(const std::string& folder) {
    TElTreeItems& items = frm->ElTreeHistoryFiles->Tree().Items();
    for (int i = 0; i < items.Count(); ++i)
      if (TMainFrm::RowCell(items.Item(i), 0) == folder) return items.Item(i);
    return nullptr;
  }
  void Choose(const std::string& folder) {
    TElTreeItem* row = FolderRow(folder);
    ASSERT_NE(row, nullptr) << folder;
    frm->ElTreeHistoryFiles->Tree().SetItemFocused(row);
    frm->LoadIEHistoryEntries(row);
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> out;
    TElTreeItems& items = frm->ElTreeHistory->Tree().Items();
    for (int i = 0; i < items.Count(); ++i) {
      TElTreeItem* r = items.Item(i);
      out.push_back(WideToAnsi(r->Text()) + "|" + TMainFrm::RowCell(r, 0) + "|" + TMainFrm::RowCell(r, 1) +
                    "|" + TMainFrm::RowCell(r, 2));
    }
    return out;
  }

  std::string root, week1, week2, plain, tabs;
};

TEST_F(IEHistoryPage, ListsTheFoldersAndTheEntriesOfTheChosenOne) {
  frm->LoadIEHistory();
  EXPECT_EQ(frm->QBBinaryFileListView1->Column1Mode(), 2);
  EXPECT_EQ(frm->QBBinaryFileListView1->Column2Mode(), 12);
  EXPECT_TRUE(frm->QBBinaryFileListView1->HexAddresses());
  // Numbered from 1 in the store's order, this test's folders one after the
  // other, each below its parent.
  TElTreeItems& items = frm->ElTreeHistoryFiles->Tree().Items();
  for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(WideToAnsi(items.Item(i)->Text()), std::to_string(i + 1));
  ASSERT_NE(FolderRow(week1), nullptr);
  EXPECT_EQ(FolderRow(week2)->AbsIndex(), FolderRow(week1)->AbsIndex() + 1);
  EXPECT_EQ(FolderRow(plain)->AbsIndex(), FolderRow(week2)->AbsIndex() + 1);

  Choose(week1);
  EXPECT_EQ(frm->lblHistoryFile->Caption(), "History data for period: 12/7/2026 - 12/14/2026");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"1|http://a.example/x|-|12/8/2026 9:30:00 AM",
                                                 "2|file:///C:/b.htm|12/8/2026 9:30:00 AM|12/8/2026 9:30:02 AM"}));
  // A folder name without its period: no label, the entries all the same.
  Choose(plain);
  EXPECT_EQ(frm->lblHistoryFile->Caption(), "");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"1|Host: d.example|12/8/2026 9:30:00 AM|12/8/2026 9:30:00 AM"}));
}

// Each row shows its own entry, numbered in the file's order, also after a
// sort by a date column and after another folder is chosen; a TAB in a URL
// shows as a blank, as in the rows' lines.
TEST_F(IEHistoryPage, EntryRowsKeepTheirEntriesThroughASortAndAnotherFolder) {
  frm->LoadIEHistory();
  Choose(tabs);
  const std::string t = "1|http://t.example/a b|12/8/2026 9:30:00 AM|12/8/2026 9:30:04 AM";
  const std::string z = "2|http://z.example/|12/8/2026 9:30:00 AM|12/8/2026 9:30:00 AM";
  const std::string m = "3|http://m.example/|-|12/8/2026 9:30:02 AM";
  EXPECT_EQ(Entries(), (std::vector<std::string>{t, z, m}));
  frm->IECookiesElTreeHeaderColumnClick(frm->ElTreeHistory, 3);  // "Save Date"
  const bool down = frm->ElTreeHistory->Tree().SortDir == sdDescend;
  EXPECT_EQ(Entries(), down ? (std::vector<std::string>{t, m, z}) : (std::vector<std::string>{z, m, t}));
  TStringList saved;
  frm->ElTreeHistory->Tree().Items().SaveToStrings(saved);
  ASSERT_EQ(saved.Count(), 3);
  EXPECT_EQ(saved.Strings(down ? 0 : 2), "1\thttp://t.example/a b\t12/8/2026 9:30:00 AM\t12/8/2026 9:30:04 AM");

  Choose(week2);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"1|http://c.example/|12/8/2026 9:30:00 AM|12/8/2026 9:30:00 AM"}));
}

// The folder shown is read again only when another one is chosen; a row of
// another grid resets that memory but is never read as a history folder.
TEST_F(IEHistoryPage, ReadsEntriesOnlyForANewlyChosenHistoryFolder) {
  frm->LoadIEHistory();
  Choose(week2);
  ASSERT_EQ(Entries().size(), 1u);
  frm->ElTreeHistory->Tree().Items().Clear();
  Choose(week2);
  EXPECT_TRUE(Entries().empty());

  // A cookie row whose first cell ends in "\" like a folder.
  TStringList lines;
  lines.Add("1\t" + week1);
  frm->IECookiesElTree->Tree().Items().LoadFromStrings(lines);
  TElTreeItem* cookieRow = frm->IECookiesElTree->Tree().Items().Item(0);
  frm->IECookiesElTree->Tree().SetItemFocused(cookieRow);
  frm->LoadIEHistoryEntries(cookieRow);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(frm->lblHistoryFile->Caption(), "History data for period: 12/14/2026 - 12/21/2026");

  Choose(week2);
  EXPECT_EQ(Entries().size(), 1u);
}

// Two files deleted, one of them held open by another program: one box
// lists what went and what waits for the restart. The page's own views of
// the files (the binary view's mapping, the entry walk's file) are released
// first, so they never count as locks.
TEST_F(IEHistoryPage, DeleteReleasesOwnViewsAndSchedulesTheLockedFile) {
  frm->LoadIEHistory();
  Choose(week1);
  frm->QBBinaryFileListView1->OpenFile(week1 + "index.dat");
  ASSERT_TRUE(frm->QBBinaryFileListView1->IsOpen());
  const std::string held = week2 + "index.dat";
  HANDLE other = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);

  TElTree& tree = frm->ElTreeHistoryFiles->Tree();
  tree.DeselectAll();
  FolderRow(week1)->SetSelected(true);
  FolderRow(week2)->SetSelected(true);
  script_.Expect(TModalKind::mkForm, "Delete IE  History File(s)", [](TModalRequest& r) {
    auto* d = static_cast<TDeleteHistoryDialog*>(r.Form);
    EXPECT_EQ(d->lblDeleteMessage->Caption(), "You are about to delete 2 Internet Explorer history files.");
    EXPECT_EQ(d->lblHistoryFileName->Caption(), "");
    return mrOk;
  });
  const std::string gone = week1 + "index.dat";
  script_.Expect(TModalKind::mkMessageBox, "", [&](TModalRequest& r) {
    EXPECT_EQ(r.Text, "Following history files were deleted successfully:\r\n\r\n" + gone +
                          "\r\n\r\nFollowing history files are locked by Internet Explorer and will be deleted after "
                          "reboot:\r\n\r\n" +
                          held + "\r\n\r\nDo you want to reboot Windows now?");
    EXPECT_EQ(r.Flags & MB_YESNO, static_cast<UINT>(MB_YESNO));
    // Gone by now: no handle of ours kept it.
    EXPECT_FALSE(frm->QBBinaryFileListView1->IsOpen());
    EXPECT_FALSE(FileExists(gone));
    return IDNO;
  });
  frm->DeleteIEHistoryFiles();
  CloseHandle(other);
  EXPECT_TRUE(FileExists(held));
  EXPECT_TRUE(test::PendingFileRenamesHold(held));
  EXPECT_EQ(FolderRow(week1), nullptr);
  EXPECT_NE(FolderRow(week2), nullptr);
}

}  // namespace
}  // namespace morvane
