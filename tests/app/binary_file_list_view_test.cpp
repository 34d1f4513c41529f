// The binary file viewer without a window: what its rows say for a small
// file in every display mode, how it treats files that are missing, empty,
// locked, growing or far larger than memory, and its forward byte search.
#include "app/binary_file_list_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../platform/ui/ui_fixture.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "huge_sparse_file.h"
#include "support/test_env.h"

namespace morvane::test {
namespace {

class BinaryFileListView : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    view = std::make_unique<TQBBinaryFileListView>(nullptr);
  }
  void TearDown() override {
    view.reset();
    UiTest::TearDown();
  }
  // Row i as the list shows it, after the list said it would show it.
  std::vector<std::string> Row(int i) {
    view->ListViewDataHint(view->ListView, i, i);
    TListItem* item = view->ListView->Items()->Item(i);
    std::vector<std::string> out{item->Caption};
    for (int k = 0; k < item->SubItems.Count(); ++k) out.push_back(item->SubItems.Strings(k));
    return out;
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int k = 0; k < view->ListView->ColumnCount(); ++k) out.push_back(view->ListView->Columns(k)->Caption());
    return out;
  }
  std::unique_ptr<TQBBinaryFileListView> view;
};

using Strings = std::vector<std::string>;

// tests/fixtures/binview/sample.bin: an index file's signature line (32
// bytes), then 14 bytes with a TAB, 0xFF, NUL, 0x7F, 0x80 and CR LF.
TEST_F(BinaryFileListView, ShowsEveryModeOfASmallFile) {
  EXPECT_EQ(Captions(), (Strings{"Address", "Hex", "Text"}));
  view->SetColumn1Mode(2);
  view->SetColumn2Mode(12);
  view->SetHexAddresses(true);
  view->OpenFile(FixturePath("binview\\sample.bin"));
  EXPECT_EQ(Captions(), (Strings{"Address (Hex)", "Hex (2 bytes)", "Text"}));
  EXPECT_TRUE(view->ListView->OwnerData());
  ASSERT_EQ(view->ListView->Items()->Count(), 2);
  EXPECT_EQ(view->RowCount, 2);
  EXPECT_EQ(view->LastRowSize, 14);
  EXPECT_EQ(Row(0), (Strings{"00000000 ", "436C 6965 6E74 2055 726C 4361 6368 6520 4D4D 4620 5665 7220 352E 3200 0080 0100 ",
                             "Client UrlCache MMF Ver 5.2..\x80.."}));
  EXPECT_EQ(Row(1), (Strings{"00000020 ", "0941 42FF 0001 7F80 2078 797A 0D0A ", ".AB\xFF..\x7F\x80 xyz.."}));

  // The short last row in each mode: partial groups of decimal and octal
  // modes are left out.
  const struct {
    int mode;
    const char* caption;
    const char* text;
  } modes[] = {
      {0, "Hex (no grupping)", "094142FF00017F802078797A0D0A"},
      {1, "Hex (1 byte)", "09 41 42 FF 00 01 7F 80 20 78 79 7A 0D 0A "},
      {3, "Hex (4 bytes)", "094142FF 00017F80 2078797A 0D0A"},
      {4, "Hex (8 bytes)", "094142FF00017F80 2078797A0D0A"},
      {5, "Decimal (1 byte)", "  9  65  66 255   0   1 127 128  32 120 121 122  13  10 "},
      {6, "Decimal (2 bytes)", "16649 65346   256 32895 30752 31353  2573 "},
      {7, "Decimal (4 bytes)", "4282532105 2155806976 2054780960 "},
      {8, "Decimal (8 bytes)", " 9259120462691189001 "},
      {9, "Octal (1 byte)", "011 101 102 377 000 001 177 200 040 170 171 172 015 012 "},
      {10, "Octal (2 bytes)", "040411 177502 000400 100177 074040 075171 005015 "},
      {11, "Octal (4 bytes)", "37720440411 20037600400 17236274040 "},
  };
  for (const auto& m : modes) {
    SCOPED_TRACE(m.caption);
    view->SetColumn1Mode(m.mode);
    EXPECT_EQ(Captions()[1], m.caption);
    EXPECT_EQ(Row(1)[1], m.text);
  }
  view->SetHexAddresses(false);
  EXPECT_EQ(Captions()[0], "Address (Dec)");
  EXPECT_EQ(Row(1)[0], "32 ");

  // Rows the list did not announce stay empty.
  view->ListViewDataHint(view->ListView, 0, 0);
  EXPECT_EQ(view->ListView->Items()->Item(1)->Caption, "");
}

TEST_F(BinaryFileListView, ColumnModesCycleAndAddressBaseToggles) {
  TTempDir dir;
  // 33 bytes: the second row holds one byte, too short for a 2-byte number.
  view->OpenFile(dir.Write("33.bin", std::string(32, 'a') + "\xFF"));
  ASSERT_EQ(view->ListView->Items()->Count(), 2);
  EXPECT_EQ(Row(1), (Strings{"32 ", "FF", "FF"}));
  for (int step = 1; step <= 13; ++step) {
    view->CycleColumnMode(2);
    EXPECT_EQ(view->Column2Mode(), step % 13);
    EXPECT_EQ(Captions()[2], view->Modes[static_cast<size_t>(step % 13)].Caption);
    if (step == 6) {
      EXPECT_EQ(Row(1)[2], "");  // Decimal (2 bytes)
    }
    if (step == 9) {
      EXPECT_EQ(Row(1)[2], "377 ");
    }
  }
  EXPECT_EQ(view->Column1Mode(), 0);
  // A click on a caption: the address caption switches the base, a data
  // caption steps that column.
  view->ListViewColumnClick(view->ListView, view->ListView->Columns(0));
  EXPECT_EQ(Captions()[0], "Address (Hex)");
  EXPECT_EQ(Row(1)[0], "00000020 ");
  view->ListViewColumnClick(view->ListView, view->ListView->Columns(1));
  EXPECT_EQ(Captions()[1], "Hex (1 byte)");
  EXPECT_EQ(Row(1)[1], "FF ");
  view->ToggleAddressBase();
  EXPECT_EQ(Captions()[0], "Address (Dec)");
  view->CycleColumnMode(0);  // not a data column
  EXPECT_EQ(Captions()[0], "Address (Dec)");
}

TEST_F(BinaryFileListView, MissingEmptyAndLockedFiles) {
  TTempDir dir;
  const std::string sample = FixturePath("binview\\sample.bin");
  // A missing file shows nothing, not the rows of the file before.
  view->OpenFile(sample);
  view->OpenFile(dir.File("missing.dat"));
  EXPECT_FALSE(view->IsOpen());
  EXPECT_EQ(view->ListView->Items()->Count(), 0);

  const std::string empty = dir.Write("empty.dat", "");
  const std::string locked = dir.Write("locked.dat", "locked");
  TWinHandle holder(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  const struct {
    std::string file, message;
  } cases[] = {
      {empty, "Selected file '" + empty + "' has no data (zero length)"},
      {locked, SysErrorMessage(ERROR_SHARING_VIOLATION)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    view->OpenFile(sample);
    ASSERT_EQ(view->ListView->Items()->Count(), 2);
    try {
      view->OpenFile(c.file);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(view->ListView->Items()->Count(), 0);
    EXPECT_FALSE(view->ListView->OwnerData());
    EXPECT_FALSE(view->IsOpen());
    EXPECT_FALSE(view->FileHandle.Valid());
  }
  // The file the failed open left alone can be opened again.
  holder.Reset();
  view->OpenFile(locked);
  EXPECT_EQ(Row(0)[2], "6C6F636B6564");
}

TEST_F(BinaryFileListView, AFileThatChangesSizeWhileShown) {
  TTempDir dir;
  const std::string file = dir.Write("index.dat", std::string(40, 'x'));
  view->OpenFile(file);
  ASSERT_EQ(view->RowCount, 2);
  // Another program (the browser) writes to it: it may, the viewer shares
  // writing, and the rows stay those of the size the file had.
  TWinHandle writer(CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  ASSERT_EQ(SetFilePointer(writer.Get(), 0, nullptr, FILE_END), 40u);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer.Get(), std::string(100, 'y').data(), 100, &written, nullptr));
  EXPECT_EQ(view->RowCount, 2);
  EXPECT_EQ(Row(1)[1], "7878787878787878");
  // It cannot be cut below what is mapped while it is shown.
  SetFilePointer(writer.Get(), 10, nullptr, FILE_BEGIN);
  EXPECT_FALSE(SetEndOfFile(writer.Get()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_USER_MAPPED_FILE));
  EXPECT_EQ(Row(1)[1], "7878787878787878");
  // Closed, it can; opened again, the rows follow the new size.
  view->CloseFile();
  EXPECT_TRUE(SetEndOfFile(writer.Get()));
  writer.Reset();
  view->OpenFile(file);
  EXPECT_EQ(view->RowCount, 1);
  EXPECT_EQ(view->LastRowSize, 10);
  EXPECT_EQ(Row(0)[1], "78787878787878787878");
}

// 50 MB: each 32-byte row says its own number.
std::string NumberedRows(int rows) {
  std::string s;
  s.reserve(static_cast<size_t>(rows) * 32);
  char line[40];
  for (int i = 0; i < rows; ++i) {
    snprintf(line, sizeof line, "row %026d\r\n", i);
    s.append(line, 32);
  }
  return s;
}

// The size of the mapped region the view lies in.
SIZE_T MappedRegion(const void* p) {
  MEMORY_BASIC_INFORMATION mbi{};
  if (!VirtualQuery(p, &mbi, sizeof mbi)) return 0;
  SIZE_T total = 0;
  const auto* base = static_cast<const char*>(mbi.AllocationBase);
  for (const char* at = base; VirtualQuery(at, &mbi, sizeof mbi) && mbi.AllocationBase == base; at += mbi.RegionSize)
    total += mbi.RegionSize;
  return total;
}

TEST_F(BinaryFileListView, FiftyMegabytesAreMappedOnlyWhereTheListLooks) {
  TTempDir dir;
  const int rows = 50 * 1024 * 1024 / 32;
  const std::string file = dir.Write("big.dat", NumberedRows(rows));
  view->SetColumn2Mode(12);
  view->OpenFile(file);
  ASSERT_EQ(view->RowCount, rows);
  EXPECT_EQ(view->LastRowSize, 0);
  EXPECT_EQ(view->View.Data(), nullptr);  // nothing mapped before the list asks

  const uint64_t window = view->Granularity + 40 * 32;
  for (const int first : {0, rows / 2 + 7, rows - 40}) {
    SCOPED_TRACE(first);
    view->ListViewDataHint(view->ListView, first, first + 39);
    EXPECT_EQ(view->ViewOffset % view->Granularity, 0);
    EXPECT_LE(view->View.Size(), window);
    EXPECT_LE(MappedRegion(view->View.Data()), window + 4096);
    for (const int r : {first, first + 39}) {
      char want[40];
      snprintf(want, sizeof want, "row %026d..", r);
      EXPECT_EQ(view->ListView->Items()->Item(r)->SubItems.Strings(1), want);
    }
  }
  // The search walks the file in windows of about a thousand rows.
  char needle[40];
  snprintf(needle, sizeof needle, "row %026d", rows - 3);
  view->Find(needle);
  EXPECT_TRUE(view->ListView->IsSelected(rows - 3));
  EXPECT_LE(view->View.Size(), view->Granularity + 1001u * 32 + 32);
}

TEST_F(BinaryFileListView, AFileBeyondWhatTheListCanCount) {
  // More rows than an int counts: its first 2^31 - 1 rows are shown, the
  // last of them at an offset beyond 32 bits.
  TTempDir dir;
  const std::string file = dir.File("huge.dat");
  WriteHugeSparseFile(file);
  view->SetHexAddresses(true);
  view->SetColumn2Mode(12);
  view->OpenFile(file);
  EXPECT_EQ(view->FileSize(), uint64_t{70} << 30);
  ASSERT_EQ(view->RowCount, 2147483647);
  EXPECT_EQ(Row(kHugeLastRow), (Strings{"FFFFFFFC0 ", "4C415354" + std::string(56, '0'), "LAST" + std::string(28, '.')}));
  // A search from within the last thousand rows maps only what is left
  // and finds the last row; from the last row itself there is nothing more.
  for (const int from : {kHugeLastRow - 999, kHugeLastRow - 1}) {
    SCOPED_TRACE(from);
    view->ListView->ClearSelection();
    view->ListView->SetItemFocusedIndex(from, true);
    view->Find("LAST");
    EXPECT_TRUE(view->ListView->IsSelected(kHugeLastRow));
    EXPECT_TRUE(view->ListView->IsFocused(kHugeLastRow));
    EXPECT_LE(view->View.Size(), view->Granularity + 1001u * 32 + 32);
  }
  view->ListView->ClearSelection();
  view->Find("LAST");
  EXPECT_FALSE(view->ListView->IsSelected(kHugeLastRow));
  view->CloseFile();
  DeleteFileA(file.c_str());
}

TEST_F(BinaryFileListView, FindGoesOnFromTheFocusedRow) {
  TTempDir dir;
  std::string bytes(12 * 32, '-');
  bytes.replace(2, 6, "needle");        // row 0
  bytes.replace(3 * 32, 6, "needle");   // row 3, twice
  bytes.replace(3 * 32 + 20, 6, "needle");
  bytes.replace(6 * 32 - 3, 6, "needle");  // begins in row 5, ends in row 6
  bytes.replace(9 * 32 + 26, 6, "needle");  // row 9, the row's last bytes
  view->OpenFile(dir.Write("find.dat", bytes));
  auto selected = [this] {
    std::vector<int> out;
    for (int i = 0; i < view->RowCount; ++i)
      if (view->ListView->IsSelected(i)) out.push_back(i);
    return out;
  };
  // Nothing selected or focused: from the first row.
  view->Find("needle");
  EXPECT_EQ(selected(), std::vector<int>{0});
  EXPECT_TRUE(view->ListView->IsFocused(0));
  // Each search goes on after the row found; the row searched from is
  // deselected, and a second match in that row is not found again.
  for (const int want : {3, 5, 9}) {
    view->Find("needle");
    EXPECT_EQ(selected(), std::vector<int>{want});
    EXPECT_TRUE(view->ListView->IsFocused(want));
  }
  view->Find("needle");
  EXPECT_EQ(selected(), std::vector<int>{});
  // A selected row without focus: from the row after it. Case matters.
  view->ListView->SetItemFocusedIndex(9, false);
  view->ListView->SetItemSelected(4, true);
  view->Find("needle");
  EXPECT_EQ(selected(), (std::vector<int>{4, 5}));
  view->ListView->ClearSelection();
  view->ListView->SetItemFocusedIndex(5, false);
  view->Find("NEEDLE");
  view->Find("");
  EXPECT_EQ(selected(), std::vector<int>{});
}

TEST_F(BinaryFileListView, AViewThatCannotBeMappedIsReported) {
  TTempDir dir;
  std::string rows(1100 * 32, 'z');
  rows.replace(1050 * 32, 6, "needle");
  view->OpenFile(dir.Write("rows.dat", rows));
  // A granularity the system does not have makes the view's start invalid.
  view->Granularity = 1000;
  int asked = 0;
  script_.Expect(TModalKind::mkMessageBox, "Error in hint - " + SysErrorMessage(ERROR_MAPPED_ALIGNMENT),
                 [&](TModalRequest&) {
                   // The list paints on behind the message and asks again.
                   view->ListViewDataHint(view->ListView, 40, 45);
                   ++asked;
                   return IDOK;
                 });
  view->ListViewDataHint(view->ListView, 40, 45);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(view->ListView->Items()->Item(40)->Caption, "");
  // The search says where it stopped: its second window of rows, from row 1001.
  script_.Expect(TModalKind::mkMessageBox,
                 "Cannot copy\nCannot copy selection to the clipboard (" + SysErrorMessage(ERROR_MAPPED_ALIGNMENT) +
                     ", icount= 1001).",
                 IDOK);
  view->Find("needle");
  EXPECT_FALSE(view->ListView->IsSelected(1050));
  // With no file open the list may still paint: nothing to map, no message.
  view->CloseFile();
  view->ListViewDataHint(view->ListView, 0, 5);
  EXPECT_EQ(view->ListView->Items()->Item(0)->Caption, "");
}

TEST_F(BinaryFileListView, AViewThatCannotBeReadIsReported) {
  // A view whose pages cannot be read, as a file on a share that went away:
  // the row is reported once and stays empty, and the program goes on.
  TTempDir dir;
  view->OpenFile(dir.Write("rows.dat", std::string(4 * 32, 'r')));
  void* unreadable = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS);
  ASSERT_NE(unreadable, nullptr);
  view->View.Reset(unreadable, 65536);
  view->ViewOffset = 0;
  view->VisibleFirst = 0;
  view->VisibleLast = 3;
  int shown = 0;
  script_.Expect(TModalKind::mkMessageBox,
                 "Error in data - " + SysErrorMessage(ERROR_NOACCESS) + ": iOfset=64 nLineSize=32HIGH(DWORD)=4294967295",
                 [&](TModalRequest&) {
                   ++shown;
                   // The list asks for rows again behind the message: no second one.
                   EXPECT_EQ(view->ListView->Items()->Item(3)->Caption, "");
                   return IDOK;
                 });
  EXPECT_EQ(view->ListView->Items()->Item(2)->Caption, "");
  EXPECT_EQ(shown, 1);
  view->View.Reset();
  VirtualFree(unreadable, 0, MEM_RELEASE);
  // The next hint maps the file again and the rows come back.
  const Strings row = Row(2);
  ASSERT_EQ(row.size(), 3u);
  EXPECT_NE(row[0], "");
}

}  // namespace
}  // namespace morvane::test
