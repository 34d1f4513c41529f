// Copying the viewer's selected rows to the clipboard: every selected row,
// however many, one line each with its address and first data column; a
// clipboard another program holds is reported, not taken for success.
// ctest: clipboard
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "../platform/ui/ui_fixture.h"
#include "app/binary_file_list_view.h"
#include "huge_sparse_file.h"
#include "platform/ui/clipbrd.h"
#include "support/test_env.h"

namespace morvane::test {
namespace {

class BinaryFileListViewCopy : public UiTest {};

std::string Rows(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += std::string(31, static_cast<char>('A' + i % 26)) + static_cast<char>(i & 0xFF);
  return s;
}

TEST_F(BinaryFileListViewCopy, CopiesEverySelectedRow) {
  TTempDir dir;
  TQBBinaryFileListView view(nullptr);
  view.SetColumn1Mode(1);
  view.SetHexAddresses(true);
  view.OpenFile(dir.Write("rows.dat", Rows(2000) + "xy"));
  ASSERT_EQ(view.RowCount, 2001);
  // 1200 rows from 300 on (more than one window of rows and more than one
  // batch of lines), then the short last row.
  for (int i = 300; i < 1500; ++i) view.ListView->SetItemSelected(i, true);
  view.ListView->SetItemSelected(2000, true);
  Clipboard()->SetAsText("before");
  EXPECT_EQ(view.ListView->PopupMenu(), view.PopupMenu1);
  view.Copy1->Click();
  const std::string text = Clipboard()->AsText();
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  ASSERT_EQ(lines.size(), 1201u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(lines[0], "00002580 " + [] {
    std::string h;
    for (int k = 0; k < 31; ++k) h += "4F ";  // row 300: 'A' + 300 % 26 = 'O'
    return h + "2C ";                         // 300 & 0xFF
  }());
  EXPECT_EQ(lines[1199].substr(0, 12), "0000BB60 52 ");  // row 1499
  EXPECT_EQ(lines[1200], "0000FA00 78 79 ");
  EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos);

  // Select All then Copy: every row.
  view.SelectAll1->Click();
  view.Copy1->Click();
  const std::string all = Clipboard()->AsText();
  size_t count = 0;
  for (size_t at = 0; (at = all.find("\r\n", at)) != std::string::npos; at += 2) ++count;
  EXPECT_EQ(count, 2001u);
}

TEST_F(BinaryFileListViewCopy, CopiesTheLastRowsOfAFileOf2To31Rows) {
  TTempDir dir;
  const std::string file = dir.File("huge.dat");
  WriteHugeSparseFile(file);
  {
    TQBBinaryFileListView view(nullptr);
    view.SetColumn1Mode(12);
    view.SetHexAddresses(true);
    view.OpenFile(file);
    ASSERT_EQ(view.RowCount, kHugeLastRow + 1);
    // Within the last thousand rows: the window ends at the last row.
    for (const int row : {kHugeLastRow - 500, kHugeLastRow - 1, kHugeLastRow}) view.ListView->SetItemSelected(row, true);
    Clipboard()->SetAsText("before");
    view.Copy1->Click();
    EXPECT_EQ(Clipboard()->AsText(), "FFFFFC140 " + std::string(32, '.') + "\r\n" +  //
                                         "FFFFFFFA0 " + std::string(32, '.') + "\r\n" +  //
                                         "FFFFFFFC0 LAST" + std::string(28, '.') + "\r\n");
  }
  DeleteFileA(file.c_str());
}

TEST_F(BinaryFileListViewCopy, ABusyClipboardIsReported) {
  TTempDir dir;
  TQBBinaryFileListView view(nullptr);
  view.OpenFile(dir.Write("rows.dat", Rows(3)));
  view.ListView->SetItemSelected(1, true);
  // Another program holds the clipboard open.
  std::atomic<int> state{0};
  std::thread other([&] {
    if (OpenClipboard(nullptr)) {
      state = 1;
      while (state != 2) Sleep(5);
      CloseClipboard();
    } else {
      state = 3;
    }
  });
  while (state == 0) Sleep(5);
  ASSERT_EQ(state, 1);
  std::string text;
  script_.Expect(TModalKind::mkMessageBox, "Cannot copy\nCannot copy selection to the clipboard (", [&](TModalRequest& r) {
    text = r.Text;
    EXPECT_EQ(r.Flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
    return IDOK;
  });
  view.Copy1Click(view.Copy1);
  state = 2;
  other.join();
  EXPECT_EQ(text, "Cannot copy selection to the clipboard (Cannot open clipboard, icount= -1).");
  EXPECT_EQ(Screen->Cursor(), crDefault);
  // The clipboard is free again afterwards.
  view.Copy1Click(view.Copy1);
  EXPECT_EQ(Clipboard()->AsText().substr(0, 3), "32 ");
}

}  // namespace
}  // namespace morvane::test
