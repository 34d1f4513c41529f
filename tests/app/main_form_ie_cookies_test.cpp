// The Internet Explorer cookies page: the rows made from a cookie folder,
// and the page's Edit and Delete worked through the real main window, its
// grid and its dialogs, on cookie files in a temporary folder.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=p3p
// ctest: lock=pending_renames
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../platform/ui/ui_fixture.h"
#include "app/delete_cookie_dialog.h"
#include "app/edit_cookie_dlg.h"
#include "app/main_form.h"
#include "app/reboot_query.h"
#include "app/rebot_reminder_dlg.h"
#include "browserdata/ie/cookie_info.h"
#include "main_form_ie_support.h"
#include "platform/core/classes.h"
#include "platform/core/datetime.h"
#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "platform/ui/services.h"
#include "support/test_env.h"

namespace morvane {
namespace {

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == '\t')
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

class FormatScope {
 public:
  FormatScope() : saved_(FormatSettings()) { SetFormatSettings(TFormatSettings()); }
  ~FormatScope() { SetFormatSettings(saved_); }

 private:
  TFormatSettings saved_;
};

TCookieValueInfo Record(const std::string& name, const std::string& value, const std::string& flags,
                        TDateTime expires) {
  TCookieValueInfo c;
  c.Name = name;
  c.Value = value;
  c.HostPath = "www.example.com/shop/";
  c.Flags = flags;
  c.Created = EncodeDate(2026, 1, 2) + EncodeTime(3, 4, 6, 0);
  c.Expires = expires;
  c.CreatedLowText = "2109386752";
  c.CreatedHighText = "31234567";
  return c;
}

TEST(IECookieRows, ElevenCellsWithYesNoDatesAndTheFlagsAsRead) {
  FormatScope us;
  TCookieInfoDetails d;
  d.FileName = "user@example[1].txt";
  d.FileDate = EncodeDate(2026, 12, 1) + EncodeTime(8, 0, 0, 0);
  const TDateTime midnight = EncodeDate(2030, 5, 17);
  d.Cookies = {
      Record("plain", "v", "0", midnight),
      Record("secure", "v", "1", midnight + EncodeTime(13, 2, 4, 0)),
      Record("httponly", "v", "9216", midnight),
      Record("both", "v", "8193", midnight),
      Record("padded", "v", "1   ", midnight),  // our own edits pad the field
      Record("broken", "v", "x1", midnight),     // not a number: no row
      Record("tab", "a\tb", "0", midnight),      // a TAB would shift every later cell
  };
  TStringList lines;
  TMainFrm::AddIECookieRows(d, lines);
  ASSERT_EQ(lines.Count(), 6);

  struct Want {
    const char* name;
    const char* value;
    const char* secure;
    const char* httpOnly;
    const char* expires;
    const char* flags;
  };
  const Want want[] = {
      {"plain", "v", "No", "No", "5/17/2030", "0"},
      {"secure", "v", "Yes", "No", "5/17/2030 1:02:04 PM", "1"},
      {"httponly", "v", "No", "Yes", "5/17/2030", "9216"},
      {"both", "v", "Yes", "Yes", "5/17/2030", "8193"},
      {"padded", "v", "Yes", "No", "5/17/2030", "1   "},
      {"tab", "a b", "No", "No", "5/17/2030", "0"},
  };
  for (int i = 0; i < 6; ++i) {
    const std::vector<std::string> c = Cells(lines.Strings(i));
    SCOPED_TRACE(want[i].name);
    ASSERT_EQ(c.size(), 12u);
    EXPECT_EQ(c[0], "1");
    EXPECT_EQ(c[1], "user@example[1].txt");
    EXPECT_EQ(c[2], want[i].name);
    EXPECT_EQ(c[3], want[i].value);
    EXPECT_EQ(c[4], "www.example.com/shop/");
    EXPECT_EQ(c[5], want[i].secure);
    EXPECT_EQ(c[6], want[i].httpOnly);
    EXPECT_EQ(c[7], "1/2/2026 3:04:06 AM");
    EXPECT_EQ(c[8], want[i].expires);
    EXPECT_EQ(c[9], "12/1/2026 8:00:00 AM");
    EXPECT_EQ(c[10], want[i].flags);
    EXPECT_EQ(c[11], "2109386752");
  }
}

// ---- the page in the main window ----

// Two cookies of one name on two paths in one file, and a second file.
const char kShopFile[] =
    "id\nfirst\nshop.example.co.uk/\n0\n1763044864\n31547916\n1960351488\n31226772\n*\n"
    "id\nsecond\nshop.example.co.uk/cart/\n9216\n1763044864\n31547916\n1960351488\n31226772\n*\n";
const char kOtherFile[] =
    "averyveryverylongcookiename\nvalue\nother.example.com/\n1\n1763044864\n31547916\n1960351488\n"
    "31226772\n*\n";

class IECookiesPage : public test::TMainWindowTest {
 protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    shop = dir.Write("user@shop.example.co.uk[1].txt", kShopFile);
    other = dir.Write("user@other.example[2].txt", kOtherFile);
    dir.Write("index.dat", "Client UrlCache MMF Ver 5.2");
    frm->CookieInfo = std::make_unique<TCookieInfo>(dir.Path());
    frm->FillIECookieTree();
    ASSERT_EQ(Rows(), 3);
  }
  void TearDown() override {
    test::ClearPendingFileRenames();
    TMainWindowTest::TearDown();
  }
  TElTree& Tree() { return frm->IECookiesElTree->Tree(); }
  int Rows() { return Tree().Items().Count(); }
  // The row of that cookie name and path.
  TElTreeItem* Row(const std::string& name, const std::string& hostPath = std::string()) {
    for (int i = 0; i < Rows(); ++i) {
      TElTreeItem* r = Tree().Items().Item(i);
      if (TMainFrm::RowCell(r, 1) == name && (hostPath.empty() || TMainFrm::RowCell(r, 3) == hostPath))
        return r;
    }
    return nullptr;
  }
  // Selects exactly these rows, with the focus on Focus (none when null).
  // Focusing a row selects it, so the selection is set after the focus.
  void Select(std::initializer_list<TElTreeItem*> rows, TElTreeItem* focus = nullptr) {
    if (focus) Tree().SetItemFocused(focus);
    Tree().DeselectAll();
    for (TElTreeItem* r : rows) r->SetSelected(true);
    ASSERT_EQ(Tree().GetSelectedCount(), static_cast<int>(rows.size()));
    if (focus) {
      ASSERT_EQ(Tree().ItemFocused(), focus);
    }
  }

  test::TTempDir dir;
  std::string shop, other;
};

// The dialog filled from the row it edits: caption, limits and the HTTP-only
// box, which is enabled only where the flags field can take the bit.
TEST_F(IECookiesPage, EditorIsFilledFromTheRow) {
  struct Case {
    const char* name;
    const char* path;
    const char* caption;
    bool secure, httpOnly, httpOnlyEnabled;
  };
  const Case cases[] = {
      {"id", "shop.example.co.uk/", "Edit Cookie id", false, false, false},  // "0" cannot become "8192"
      {"id", "shop.example.co.uk/cart/", "Edit Cookie id", false, true, true},
      {"averyveryverylongcookiename", "", "Edit Cookie averyveryverylongco", true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    TElTreeItem* row = Row(c.name, c.path);
    ASSERT_NE(row, nullptr);
    Select({row}, row);
    const std::string name = c.name;
    script_.Expect(TModalKind::mkForm, c.caption, [&](TModalRequest& r) {
      auto* d = static_cast<TEditcookieDlg*>(r.Form);
      EXPECT_EQ(d->edtCookieName->Text(), name);
      EXPECT_EQ(d->edtCookieName->MaxLength(), static_cast<int>(name.size()));
      EXPECT_EQ(d->lblinfo1->Caption(),
                "Maximum length of name of this cookie is " + std::to_string(name.size()) + " characters.");
      EXPECT_EQ(d->ChkSecure->Checked(), c.secure);
      EXPECT_EQ(d->chkHttpOnly->Checked(), c.httpOnly);
      EXPECT_EQ(d->chkHttpOnly->Enabled(), c.httpOnlyEnabled);
      EXPECT_TRUE(d->dtExpirationDate->Visible());
      return mrCancel;
    });
    frm->EditIECookie();
  }
  EXPECT_EQ(test::ReadFileBytes(shop), kShopFile);
}

// The edit rewrites the record of the row the dialog showed, matched by
// name and path, even when the focus lies on another row of that name.
TEST_F(IECookiesPage, EditRewritesOnlyTheRecordOfTheEditedRow) {
  TElTreeItem* first = Row("id", "shop.example.co.uk/");
  TElTreeItem* second = Row("id", "shop.example.co.uk/cart/");
  Select({second}, first);
  script_.Expect(TModalKind::mkForm, "Edit Cookie id", [](TModalRequest& r) {
    auto* d = static_cast<TEditcookieDlg*>(r.Form);
    EXPECT_EQ(d->edtCookieValue->Text(), "second");
    d->edtCookieValue->SetText("2nd");
    d->chkHttpOnly->SetChecked(false);
    d->BtnSave->Click();
    return mrKeepOpen;
  });
  frm->EditIECookie();
  EXPECT_EQ(test::ReadFileBytes(shop),
            "id\nfirst\nshop.example.co.uk/\n0\n1763044864\n31547916\n1960351488\n31226772\n*\n"
            "id\n2nd   \nshop.example.co.uk/cart/\n1024\n1763044864\n31547916\n1960351488\n31226772\n*\n");
  // The row shows what the file now holds.
  EXPECT_EQ(TMainFrm::RowCell(second, 2), "2nd   ");
  EXPECT_EQ(TMainFrm::RowCell(second, 5), "No");
  EXPECT_EQ(TMainFrm::RowCell(second, 9), "1024");
  EXPECT_EQ(TMainFrm::RowCell(first, 2), "first");
  TSearchRec sr;
  EXPECT_NE(FindFirst("$TMP$_*", faAnyFile, sr), 0) << "temporary file left: " << sr.Name;
}

// A saved edit changes the row's cells in one update of the grid: the grid
// is painted once for them, not once a cell (every paint sizes the columns
// and draws the whole grid, and six of them in a row left the window without
// an answer for seconds on a busy machine).
TEST_F(IECookiesPage, ASavedEditPaintsTheGridOnce) {
  // On screen without activating it: activation would read the real cookie folder.
  ShowWindow(frm->Handle(), SW_SHOWNOACTIVATE);
  frm->IECookiesElTree->BringToFront();
  Application->ProcessMessages();
  ASSERT_TRUE(IsWindowVisible(frm->IECookiesElTree->View()->Handle()));
  TElTreeItem* row = Row("id", "shop.example.co.uk/cart/");
  Select({row}, row);
  UpdateWindow(frm->IECookiesElTree->View()->Handle());
  int paints = 0;
  bool saved = false;
  frm->IECookiesElTree->OnItemPreDraw = [&](TObject*, TElTreeItem* item) {
    if (saved && item == row) ++paints;
  };
  script_.Expect(TModalKind::mkForm, "Edit Cookie id", [&](TModalRequest& r) {
    auto* d = static_cast<TEditcookieDlg*>(r.Form);
    d->edtCookieValue->SetText("2nd");
    d->ChkSecure->SetChecked(true);
    saved = true;
    d->BtnSave->Click();
    return mrKeepOpen;
  });
  frm->EditIECookie();
  Application->ProcessMessages();
  UpdateWindow(frm->IECookiesElTree->View()->Handle());
  frm->IECookiesElTree->OnItemPreDraw = nullptr;
  EXPECT_EQ(TMainFrm::RowCell(row, 2), "2nd   ");
  EXPECT_EQ(TMainFrm::RowCell(row, 4), "Yes");
  EXPECT_EQ(paints, 1);
}

// Faults of the edit that must not reach the file or the row: a row without
// all its cells, an expiry the dialog could not show, a write that failed.
TEST_F(IECookiesPage, EditFaultsLeaveFileAndRowAsTheyWere) {
  TElTreeItem* row = Row("id", "shop.example.co.uk/cart/");
  Select({row}, row);

  // An expiry text that does not read back hides the pickers; the record
  // keeps its own expiry, not whatever the pickers held.
  TMainFrm::SetColumnText(row, 7, "some day");
  script_.Expect(TModalKind::mkForm, "Edit Cookie id", [](TModalRequest& r) {
    auto* d = static_cast<TEditcookieDlg*>(r.Form);
    EXPECT_FALSE(d->dtExpirationDate->Visible());
    EXPECT_FALSE(d->dtExpirationTime->Visible());
    EXPECT_FALSE(d->Label3->Visible());
    d->dtExpirationDate->SetDate(EncodeDate(2001, 1, 1));
    d->edtCookieValue->SetText("kept");
    return mrOk;
  });
  frm->EditIECookie();
  EXPECT_EQ(test::ReadFileBytes(shop),
            "id\nfirst\nshop.example.co.uk/\n0\n1763044864\n31547916\n1960351488\n31226772\n*\n"
            "id\nkept  \nshop.example.co.uk/cart/\n9216\n1763044864\n31547916\n1960351488\n31226772\n*\n");
  EXPECT_EQ(TMainFrm::RowCell(row, 7), "some day");

  // The file went away: the error says so and the row keeps its value.
  ASSERT_TRUE(DeleteFileA(shop.c_str()));
  script_.Expect(TModalKind::mkForm, "Edit Cookie id", [](TModalRequest& r) {
    static_cast<TEditcookieDlg*>(r.Form)->edtCookieValue->SetText("lost");
    return mrOk;
  });
  script_.Expect(TModalKind::mkMessageBox, "Cannot display EditCookie Dialog. Error (10): ", mrOk);
  frm->EditIECookie();
  EXPECT_EQ(TMainFrm::RowCell(row, 2), "kept  ");

  // A row short of cells: the message, and no dialog.
  row->ColumnTexts()->Delete(9);
  row->ColumnTexts()->Delete(8);
  script_.Expect(TModalKind::mkMessageBox, "Cannot Display Edit Dialog", mrOk);
  frm->EditIECookie();
}

// Deleting one of two cookies of one name blanks that record only; the rest
// of the file keeps its bytes and its length.
TEST_F(IECookiesPage, DeleteBlanksTheRecordOfTheSelectedRow) {
  TElTreeItem* second = Row("id", "shop.example.co.uk/cart/");
  Select({second}, Row("id", "shop.example.co.uk/"));
  script_.Expect(TModalKind::mkForm, "Delete Intermet Explorer Cookie(s)", [](TModalRequest& r) {
    auto* d = static_cast<TDeleteCookieDialog*>(r.Form);
    EXPECT_EQ(d->lblDeleteMessage->Caption(), "You are about to delete selected cookie: id");
    EXPECT_EQ(d->chkBlockCookie->Caption(), "Block all future cookies from 'shop.example.co.uk'");
    d->chkDeleteCookie->SetChecked(true);
    d->chkBlockCookie->SetChecked(false);
    return mrOk;
  });
  frm->DeleteIECookies();
  EXPECT_EQ(test::ReadFileBytes(shop),
            "id\nfirst\nshop.example.co.uk/\n0\n1763044864\n31547916\n1960351488\n31226772\n*\n"
            "  \n      \nshop.example.co.uk/cart/\n9216\n0000000000\n00000000\n1960351488\n31226772\n*\n");
  ASSERT_EQ(Rows(), 2);
  EXPECT_NE(Row("id", "shop.example.co.uk/"), nullptr);
  EXPECT_EQ(Row("id", "shop.example.co.uk/cart/"), nullptr);
}

// Deleting every row deletes the files, schedules the folder's index file
// for deletion at restart and offers the restart; only "Yes" and then
// "Continue rebooot" ask the system to restart (a stand-in here).
TEST_F(IECookiesPage, DeletingEveryRowOffersTheRestart) {
  struct Case {
    const char* what;
    int query, reminder;
    bool restarts;
  };
  const Case cases[] = {
      {"no", mrCancel, 0, false},
      {"yes-then-cancel", mrYes, mrCancel, false},
      {"yes-then-continue", mrYes, mrOk, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (Rows() == 0) {
      dir.Write("user@shop.example.co.uk[1].txt", kShopFile);
      dir.Write("user@other.example[2].txt", kOtherFile);
      frm->CookieInfo = std::make_unique<TCookieInfo>(dir.Path());
      frm->FillIECookieTree();
    }
    Tree().SelectAll();
    std::vector<UINT> restarts;
    TSystemServices services = RealSystemServices();
    services.ExitWindows = [&](UINT flags) {
      restarts.push_back(flags);
      return true;
    };
    TSystemServicesScope scope(services);
    script_.Expect(TModalKind::mkForm, "Delete Intermet Explorer Cookie(s)", [](TModalRequest& r) {
      EXPECT_EQ(static_cast<TDeleteCookieDialog*>(r.Form)->lblDeleteMessage->Caption(),
                "You are about to delete all selected cookies (3)");
      return mrOk;
    });
    script_.Expect(TModalKind::mkForm, "Confirmation", c.query);
    if (c.reminder) script_.Expect(TModalKind::mkForm, "Confirm to continue", c.reminder);
    frm->DeleteIECookies();
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(FileExists(shop));
    EXPECT_FALSE(FileExists(other));
    EXPECT_TRUE(test::PendingFileRenamesHold(dir.File("index.dat")));
    EXPECT_EQ(restarts, c.restarts ? std::vector<UINT>{6} : std::vector<UINT>{});
    test::ClearPendingFileRenames();
  }
}

}  // namespace
}  // namespace morvane
