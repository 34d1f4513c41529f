// The binary file viewer in a window, as the history page shows it: the list
// asks only for the rows on screen, wherever it is scrolled in a large file,
// the search scrolls to what it finds, and a click on a caption changes the
// column. Its picture over an index file goes to
// <build>/screenshots/binary-view.png.
// ctest: desktop
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "fixture-gen/index_dat_gen.h"
#include "../platform/ui/ui_fixture.h"
#include "app/binary_file_list_view.h"
#include "platform/ui/screenshot.h"
#include "support/test_env.h"

namespace morvane::test {
namespace {

class BinaryFileListViewWindow : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetCaption("Binary View");
    form->SetBounds(10, 10, 820, 460);
    view = new TQBBinaryFileListView(form.get());
    view->SetName("QBBinaryFileListView1");
    view->SetAlign(TAlign::alClient);
    view->SetParent(form.get());
    // As the history page sets its viewer up.
    view->ListView->Font()->SetName("Courier New");
    view->ListView->SetHideSelection(false);
    view->SetColumn1Mode(2);
    view->SetColumn2Mode(12);
    view->SetHexAddresses(true);
    auto data = view->ListView->OnData;
    view->ListView->OnData = [this, data](TObject* s, TListItem* item) {
      asked.insert(item->Index());
      data(s, item);
    };
    auto hint = view->ListView->OnDataHint;
    view->ListView->OnDataHint = [this, hint](TObject* s, int a, int b) {
      hints.emplace_back(a, b);
      hint(s, a, b);
    };
  }
  void TearDown() override {
    form.reset();
    UiTest::TearDown();
  }
  HWND List() { return view->ListView->Handle(); }
  int Top() { return static_cast<int>(SendMessageA(List(), LVM_GETTOPINDEX, 0, 0)); }
  int PerPage() { return static_cast<int>(SendMessageA(List(), LVM_GETCOUNTPERPAGE, 0, 0)); }
  std::string CellText(int row, int column) {
    char buf[512] = {};
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  void ExpectOnlyShownRowsAsked() {
    const int top = Top(), per = PerPage();
    ASSERT_GT(per, 5);
    ASSERT_FALSE(asked.empty());
    EXPECT_GE(*asked.begin(), top);
    EXPECT_LE(*asked.rbegin(), top + per);
    for (const auto& [a, b] : hints) {
      EXPECT_GE(a, top - per);
      EXPECT_LE(b, top + 2 * per);
    }
  }

  std::unique_ptr<TForm> form;
  TQBBinaryFileListView* view = nullptr;
  std::set<int> asked;
  std::vector<std::pair<int, int>> hints;
};

TEST_F(BinaryFileListViewWindow, AsksOnlyForTheRowsItShows) {
  TTempDir dir;
  std::string bytes;
  const int rows = 5 * 1024 * 1024 / 32;
  char line[40];
  for (int i = 0; i < rows; ++i) {
    snprintf(line, sizeof line, "row %026d\r\n", i);
    bytes.append(line, 32);
  }
  view->OpenFile(dir.Write("big.dat", bytes));
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
  Pump(100);
  ExpectOnlyShownRowsAsked();
  EXPECT_EQ(CellText(0, 0), "00000000 ");
  EXPECT_EQ(CellText(1, 2), "row 00000000000000000000000001..");

  // Far down the file: again only the rows on screen.
  asked.clear();
  hints.clear();
  view->ListView->MakeVisible(rows - 1000, false);
  ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
  Pump(100);
  ExpectOnlyShownRowsAsked();
  EXPECT_GE(Top(), rows - 1000 - PerPage());
  EXPECT_EQ(CellText(Top(), 2).substr(0, 30), "row " + std::string(26 - std::to_string(Top()).size(), '0') + std::to_string(Top()));
  EXPECT_LE(view->View.Size(), view->Granularity + 2u * 32 * PerPage());
}

TEST_F(BinaryFileListViewWindow, ShowsAHistoryIndexFile) {
  using namespace fixturegen;
  std::vector<TIndexDatGenRecord> recs;
  uint64_t t = 133000000000000000ull;
  for (const char* url : {"Visited: root@http://www.example.com/", "Visited: root@https://news.example.org/today.html",
                          "Visited: root@file:///C:/Users/root/Documents/notes.txt",
                          "Visited: root@http://search.example.net/?q=binary+view"}) {
    TIndexDatGenRecord r;
    r.Location = url;
    r.Modified = t;
    r.Accessed = t + 10000000;
    t += 864000000000ull;
    recs.push_back(r);
  }
  TTempDir dir;
  view->OpenFile(dir.Write("index.dat", WriteIndexDat(recs)));
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); }));
  EXPECT_EQ(CellText(0, 2).substr(0, 28), "Client UrlCache MMF Ver 5.2.");

  // The search panel's search on this page: the first URL record, selected
  // and scrolled into view.
  view->Find("Visited: root@https://news");
  const int found = static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ASSERT_GT(found, 0);
  Pump(100);
  EXPECT_GE(found, Top());
  EXPECT_LT(found, Top() + PerPage());
  EXPECT_NE(CellText(found, 2).find("Vi"), std::string::npos) << CellText(found, 2);

  // A click on the first data column's caption steps its mode.
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = List();
  nm.hdr.idFrom = static_cast<UINT_PTR>(view->ListView->ControlId());
  nm.hdr.code = static_cast<UINT>(LVN_COLUMNCLICK);
  nm.iItem = -1;
  nm.iSubItem = 1;
  SendMessageA(GetParent(List()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(view->ListView->Columns(1)->Caption(), "Hex (4 bytes)");
  nm.iSubItem = 1;
  for (int i = 0; i < 12; ++i) SendMessageA(GetParent(List()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(view->ListView->Columns(1)->Caption(), "Hex (2 bytes)");
  Pump(150);

  const std::string shots = BinPath("..\\screenshots");
  CreateDirectoryA(shots.c_str(), nullptr);
  const std::string png = shots + "\\binary-view.png";
  SaveWindowScreenshot(form->Handle(), png);
  EXPECT_GT(ReadFileBytes(png).size(), 10000u);
}

}  // namespace
}  // namespace morvane::test
