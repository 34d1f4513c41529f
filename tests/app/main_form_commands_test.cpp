// The main window's commands on its real grids and controls: Save as in its
// three formats and its questions, View in Browser, the search panel's
// filter and its resets, the sort of the cookie grids, blocking and the
// shortcut keys.
// ctest: desktop
// ctest: timeout=120
// ctest: lock=registry_qbmorvane
// ctest: lock=p3p
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "app/error_dlg.h"
#include "app/view_text_file_dlg.h"
#include "main_form_fixture.h"
#include "browserdata/netscape/mozilla_cookies.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "platform/ui/services.h"
#include "platform/core/registry.h"
#include "support/test_env.h"
#include "treeview/eltreeitems.h"

namespace morvane {
namespace {

// Firefox cookie rows: main text, name, value, domain, expiry, secure,
// subdomains.
const std::vector<std::string> kRows = {
    "1\tsid\t<b>&amp\t.example.com\t1/2/2030 10:00:00 AM\tNo\tYes",
    "1\tpref\tsay \"hi\"\twww.caf\xE9.fr\t12/1/2029 10:00:00 AM\tYes\tNo",
    "1\tAbc\tVALUE\tsite.org/path\t\tNo\tNo",
};

class MainFormCommands : public testing::Test {
 protected:
  void SetUp() override {
    test::TMainFormOptions options;
    options.Show = true;
    app_ = std::make_unique<test::TMainFormFixture>(options);
    frm_ = &app_->Form();
  }
  void TearDown() override { app_.reset(); }

  // The Firefox cookie page with Rows in its grid.
  TElTree& ShowCookies(const std::vector<std::string>& Rows = kRows) {
    frm_->BrowsersPageControl->SetActivePage(frm_->NetscapeTabSheet);
    frm_->NetscapeViewableElementsPageControl->SetActivePage(frm_->NetscapeCookiesTabSheet);
    EXPECT_EQ(frm_->GetViewKind(), 5);
    TElTree& t = frm_->MozillaCookiesElTree->Tree();
    // A profile's rows ask the store for their texts; these rows bring their
    // own, as a grid of the other pages keeps them.
    t.SetVirtualityLevel(vlNone);
    TStringList sl;
    for (const std::string& r : Rows) sl.Add(r);
    t.Items().LoadFromStrings(sl);
    return t;
  }

  // The names (cell 0) of the rows a user sees, in order.
  static std::string Shown(TElTree& t) {
    std::string s;
    for (int i = 0; i < t.Items().Count(); ++i) {
      TElTreeItem* it = t.Items().Item(i);
      if (t.FilteredVisibility() && it->Hidden()) continue;
      if (!s.empty()) s += ' ';
      s += TMainFrm::RowCell(it, 0);
    }
    return s;
  }

  // Saves the grid through the save dialog, answered with File and
  // FilterIndex.
  void SaveAs(bool Selected, const std::string& File, int FilterIndex) {
    TScriptedResponder r;
    r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
    r.Expect(TModalKind::mkSaveDialog, "Save Selection As..", [&](TModalRequest& q) {
      EXPECT_EQ(q.Text,
                "Text (Tab separated) (*.txt)|*.TXT|Text (Tab separated) (*.xls)|*.XLS|HTML file (*.htm) |*.htm");
      EXPECT_EQ(frm_->SaveDialog1->DefaultExt, "txt");
      EXPECT_EQ(frm_->SaveDialog1->Options, ofOverwritePrompt | ofHideReadOnly | ofEnableSizing);
      *q.Value = File;
      frm_->SaveDialog1->FilterIndex = FilterIndex;
      return IDOK;
    });
    TModalResponderScope scope(r.AsResponder());
    if (Selected)
      frm_->mnuEditSaveSelectedAsClick(nullptr);
    else
      frm_->mnuEditSaveAsClick(nullptr);
    EXPECT_TRUE(r.Done());
  }

  std::unique_ptr<test::TMainFormFixture> app_;
  TMainFrm* frm_ = nullptr;
};

const char kCaptions[] =
    "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tSecure\tSubdomains";

TEST_F(MainFormCommands, SaveAsWritesEachFormatByteForByte) {
  ShowCookies();
  test::TTempDir dir;
  const std::string tab = std::string(kCaptions) +
                          "\r\n"
                          "1\tsid\t<b>&amp\t.example.com\t1/2/2030 10:00:00 AM\tNo\tYes\r\n"
                          "2\tpref\tsay \"hi\"\twww.caf\xE9.fr\t12/1/2029 10:00:00 AM\tYes\tNo\r\n"
                          "3\tAbc\tVALUE\tsite.org/path\t\tNo\tNo\r\n";
  const std::string html =
      "<table border=1><thead>\r\n"
      "<th>Row Number</th><th>Cookie Name</th><th>Cookie Value</th><th>Cookie Domain</th>"
      "<th>Expitration Date</th><th>Secure</th><th>Subdomains</th>\r\n"
      "</thead><tbody>\r\n"
      "<tr>\r\n<td>1</td><td>sid</td><td>&lt;b&gt;&amp;amp</td><td>.example.com</td>"
      "<td>1/2/2030 10:00:00 AM</td><td>No</td><td>Yes</td>\r\n</tr>\r\n"
      "<tr>\r\n<td>2</td><td>pref</td><td>say &quot;hi&quot;</td><td>www.caf\xE9.fr</td>"
      "<td>12/1/2029 10:00:00 AM</td><td>Yes</td><td>No</td>\r\n</tr>\r\n"
      "<tr>\r\n<td>3</td><td>Abc</td><td>VALUE</td><td>site.org/path</td><td></td><td>No</td><td>No</td>\r\n</tr>\r\n"
      "</tbody></table>\r\n";
  struct Case {
    const char* file;
    int filterIndex;
    std::string expected;
  };
  const Case cases[] = {{"a.txt", 1, tab}, {"a.xls", 2, tab}, {"a.htm", 3, html}, {"a.other", 4, ""}};
  for (const Case& c : cases) {
    SaveAs(false, dir.File(c.file), c.filterIndex);
    EXPECT_EQ(test::ReadFileBytes(dir.File(c.file)), c.expected) << c.file;
    std::string v;
    frm_->Properties->GetProperty("FilterIndex", v);
    EXPECT_EQ(v, std::to_string(c.filterIndex));
    frm_->Properties->GetProperty("LastSaveAsDirectory", v);
    EXPECT_EQ(v, dir.Path() + "\\");
  }
}

TEST_F(MainFormCommands, SaveSelectionWritesEveryCellOfTheSelectedRows) {
  TElTree& t = ShowCookies({"1\ta\t1\td1\t\tNo\tNo\textra", "1\tb\t2\td2\t\tNo\tNo", "1\tc\t3\td3\t\tNo\tNo\tx\ty"});
  t.Items().Item(2)->SetSelected(true);
  t.Items().Item(0)->SetSelected(true);
  test::TTempDir dir;
  SaveAs(true, dir.File("s.txt"), 1);
  EXPECT_EQ(test::ReadFileBytes(dir.File("s.txt")),
            std::string(kCaptions) + "\r\n1\ta\t1\td1\t\tNo\tNo\textra\r\n2\tc\t3\td3\t\tNo\tNo\tx\ty\r\n");
}

// Closing the save dialog activates the window again, and the activation
// resets the search panel and selects the focused row: the file still holds
// the rows the user had selected, here none, since the filter hid them all.
TEST_F(MainFormCommands, SaveSelectionWritesTheRowsSelectedBeforeTheDialog) {
  TElTree& t = ShowCookies();
  t.SetItemFocused(t.Items().Item(1));
  frm_->EdtItemToSearch->SetText("no cell holds this");
  frm_->BtnSearchClick(nullptr);
  frm_->SelectAll2Click(nullptr);
  ASSERT_EQ(Shown(t), "");
  test::TTempDir dir;
  TScriptedResponder r;
  r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
  r.Expect(TModalKind::mkSaveDialog, "", [&](TModalRequest& q) {
    frm_->FormActivate(frm_);
    *q.Value = dir.File("s.txt");
    frm_->SaveDialog1->FilterIndex = 1;
    return IDOK;
  });
  {
    TModalResponderScope scope(r.AsResponder());
    frm_->mnuEditSaveSelectedAsClick(nullptr);
  }
  EXPECT_TRUE(r.Done());
  EXPECT_EQ(test::ReadFileBytes(dir.File("s.txt")), std::string(kCaptions) + "\r\n");
  EXPECT_EQ(Shown(t), "sid pref Abc") << "the activation still clears the filter";
}

TEST_F(MainFormCommands, HiddenOrSystemTargetIsAskedAboutOnce) {
  ShowCookies({"1\tn\tv\td\t\tNo\tNo"});
  test::TTempDir dir;
  struct Case {
    int attr;
    const char* question;  // nullptr: none
    int answer;
    bool written;
  };
  const Case cases[] = {
      {faHidden | faSysFile, "is the hidden Windows file.\r\nDo you want to override it?", mrYes, true},
      {faSysFile, "is the system Windows file.\r\nDo you want to override it?", mrNo, false},
      {faArchive, nullptr, 0, true},
  };
  for (const Case& c : cases) {
    const std::string file = dir.Write("t.txt", "old");
    ASSERT_EQ(FileSetAttr(file, c.attr), 0);
    TScriptedResponder r;
    r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
    r.Expect(TModalKind::mkSaveDialog, "", [&](TModalRequest& q) {
      *q.Value = file;
      frm_->SaveDialog1->FilterIndex = 1;
      return IDOK;
    });
    if (c.question) r.Expect(TModalKind::mkMessageBox, "'" + file + "' " + c.question, c.answer);
    {
      TModalResponderScope scope(r.AsResponder());
      frm_->mnuEditSaveAsClick(nullptr);
    }
    EXPECT_TRUE(r.Done()) << c.attr;
    EXPECT_EQ(test::ReadFileBytes(file) != "old", c.written) << c.attr;
    const int attr = FileGetAttr(file);
    if (c.written) EXPECT_EQ(attr & (faHidden | faSysFile), 0) << c.attr;
    FileSetAttr(file, 0);
    DeleteFile(file);
  }
}

TEST_F(MainFormCommands, SaveFailureShowsTheErrorDialog) {
  ShowCookies();
  test::TTempDir dir;
  TScriptedResponder r;
  r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
  r.Expect(TModalKind::mkSaveDialog, "", [&](TModalRequest& q) {
    *q.Value = dir.File("missing\\x.txt");
    frm_->SaveDialog1->FilterIndex = 1;
    return IDOK;
  });
  r.Expect(TModalKind::mkForm, "Error in 'Save as..'", [](TModalRequest& q) {
    auto* dlg = dynamic_cast<TErrorDlg*>(q.Form);
    EXPECT_NE(dlg, nullptr);
    if (dlg) {
      EXPECT_EQ(dlg->txtMessage->Caption(), "Error occured when trying to save displayed grid");
      EXPECT_EQ(dlg->txtLongMessage->Caption().rfind("Following error was generated: ", 0), 0u);
      EXPECT_TRUE(dlg->imgInformation->Visible());
    }
    return mrOk;
  });
  TModalResponderScope scope(r.AsResponder());
  frm_->mnuEditSaveAsClick(nullptr);
  EXPECT_TRUE(r.Done());
  EXPECT_FALSE(FileExists(dir.File("missing\\x.txt")));
}

// Cells name hosts; none of them may reach the shell as a program.
TEST_F(MainFormCommands, ViewInBrowserOpensEveryCellAsAWebAddress) {
  struct Case {
    const char* domain;
    const char* opened;
  };
  const Case cases[] = {
      {".example.com", "http://example.com"},
      {"notepad.exe", "http://notepad.exe"},
      {"C:\\windows\\system32\\calc.exe", "http://C:\\windows\\system32\\calc.exe"},
      {"HTTPS://secure.example/", "HTTPS://secure.example/"},
      // A host name has at most 253 letters; a longer one opens nothing. (A
      // number stands for a host of that many letters, "/" for a long path.)
      {"253", "253"},
      {"254", nullptr},
      {"253/", "253/"},
  };
  for (const Case& c : cases) {
    std::string domain = c.domain, opens = c.opened ? c.opened : "";
    if (std::isdigit(static_cast<unsigned char>(domain[0]))) {
      const std::string host = std::string(std::stoul(domain) - 8, 'h') + ".example";
      domain = host + (domain.back() == '/' ? "/" + std::string(1000, 'p') : "");
      if (c.opened) opens = "http://" + domain;
    }
    TElTree& t = ShowCookies({std::string("1\tn\tv\t") + domain + "\t\tNo\tNo"});
    t.SetItemFocused(t.Items().Item(0));
    std::vector<std::string> opened;
    TSystemServices fake = RealSystemServices();
    fake.ShellExecute = [&](HWND, const std::string&, const std::string& File, const std::string&,
                            const std::string&, int) -> intptr_t {
      opened.push_back(File);
      return 42;
    };
    TSystemServicesScope scope(fake);
    frm_->mnuEditViewinBrowserClick(nullptr);
    EXPECT_EQ(opened, c.opened ? std::vector<std::string>{opens} : std::vector<std::string>{}) << c.domain;
  }
}

TEST_F(MainFormCommands, FilterHidesRowsAsTheSearchSays) {
  TElTree& t = ShowCookies();
  struct Case {
    const char* text;
    bool caseSensitive, names, values, urls;
    const char* shown;
  };
  const Case cases[] = {
      {"ABC", false, true, true, true, "Abc"},
      {"ABC", true, true, true, true, ""},
      {"Abc", true, true, true, true, "Abc"},
      {"value", false, true, false, true, ""},
      {"value", false, false, true, false, "Abc"},
      {"caf\xE9", false, false, false, true, "pref"},
      {"CAF\xC9", false, false, false, true, ""},
      {"e", false, false, false, false, ""},
      {"www.caf\xE9.fr/and more", false, true, true, true, ""},
      {"\"", false, true, true, true, "pref"},
  };
  for (const Case& c : cases) {
    frm_->chkCaseSensitive->SetChecked(c.caseSensitive);
    frm_->chkCookieNames->SetChecked(c.names);
    frm_->chkCookieValues->SetChecked(c.values);
    frm_->chkURLs->SetChecked(c.urls);
    frm_->EdtItemToSearch->SetText(c.text);
    EXPECT_TRUE(frm_->BtnSearch->Enabled());
    frm_->BtnSearch->Click();
    EXPECT_EQ(Shown(t), c.shown) << c.text;
    EXPECT_TRUE(frm_->lblSearchStatus->Visible());
    EXPECT_FALSE(frm_->BtnSearch->Enabled());
    EXPECT_TRUE(frm_->btnClearSearch->Enabled());
  }
  frm_->btnClearSearch->Click();
  EXPECT_EQ(Shown(t), "sid pref Abc");
  EXPECT_EQ(frm_->EdtItemToSearch->Text(), "");
  EXPECT_FALSE(frm_->btnClearSearch->Enabled());
  EXPECT_FALSE(frm_->lblSearchStatus->Visible());
}

TEST_F(MainFormCommands, PageChangeAndRefreshShowEveryRowAgain) {
  TElTree& t = ShowCookies();
  for (int round = 0; round < 2; ++round) {
    frm_->EdtItemToSearch->SetText("sid");
    frm_->BtnSearchClick(nullptr);
    ASSERT_EQ(Shown(t), "sid");
    if (round == 0)
      frm_->ListViewsPageControlChange(nullptr);
    else
      frm_->btnClearSearchClick(nullptr);
    EXPECT_EQ(Shown(t), "sid pref Abc") << round;
    EXPECT_EQ(frm_->EdtItemToSearch->Text(), "") << round;
  }
  // A tab sheet's own show event leaves the filter alone.
  frm_->EdtItemToSearch->SetText("sid");
  frm_->BtnSearchClick(nullptr);
  frm_->ListViewsPageControlChange(frm_->NetscapeCookiesTabSheet);
  EXPECT_EQ(Shown(t), "sid");
}

TEST_F(MainFormCommands, SearchPanelFollowsButtonMenuAndKeys) {
  ShowCookies();
  const bool start = frm_->TopSearchPanel->Visible();
  WORD f3 = VK_F3, ctrlF = 'F', f = 'F';
  frm_->FormKeyDown(frm_, f3, 0);
  EXPECT_EQ(frm_->TopSearchPanel->Visible(), !start);
  EXPECT_EQ(frm_->ToolBtnSearch->Down(), !start);
  EXPECT_EQ(frm_->mnuSearch->Checked(), !start);
  EXPECT_EQ(f3, 0);
  frm_->FormKeyDown(frm_, ctrlF, ssCtrl);
  EXPECT_EQ(frm_->TopSearchPanel->Visible(), start);
  frm_->FormKeyDown(frm_, f, 0);
  EXPECT_EQ(frm_->TopSearchPanel->Visible(), start);
  EXPECT_EQ(f, 'F');
  frm_->mnuSearchClick(frm_->CloseLbl);
  EXPECT_EQ(frm_->TopSearchPanel->Visible(), !start);
  EXPECT_EQ(frm_->mnuSearch->Checked(), frm_->ToolBtnSearch->Down());
  EXPECT_TRUE(frm_->SearchOptionsGropuBox->Visible());
}

TEST_F(MainFormCommands, CtrlLShowsTheLogWithItsMailButton) {
  TScriptedResponder r;
  r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
  r.Expect(TModalKind::mkForm, "LogFile", [](TModalRequest& q) {
    auto* v = dynamic_cast<TViewTextFileDlg*>(q.Form);
    EXPECT_NE(v, nullptr);
    if (v) EXPECT_TRUE(v->btnEmail->Visible());
    return mrCancel;
  });
  TModalResponderScope scope(r.AsResponder());
  WORD key = 'L';
  frm_->FormKeyDown(frm_, key, ssCtrl);
  EXPECT_TRUE(r.Done());
}

// A header click sorts through the compare event: dates in time order,
// texts by their bytes with the next cells deciding ties.
TEST_F(MainFormCommands, HeaderClickSortsByTheComposedKey) {
  TElTree& t = ShowCookies({"1\tb\tv\tz.com\t1/2/2030\tNo\tNo", "1\ta\tv\ty.com\t12/1/2029\tNo\tNo",
                            "1\tB\tv\tx.com\t\tNo\tNo", "1\ta\tu\tw.com\t3/3/2029\tNo\tNo"});
  auto order = [&] {
    std::string s;
    for (int i = 0; i < t.Items().Count(); ++i) s += TMainFrm::RowCell(t.Items().Item(i), 2).substr(0, 1);
    return s;
  };
  struct Case {
    int section;
    const char* ascending;
  };
  const Case cases[] = {{1, "xwyz"}, {2, "wxyz"}, {4, "xwyz"}, {3, "wxyz"}};
  for (const Case& c : cases) {
    t.SortDir = sdDescend;
    frm_->IECookiesElTreeHeaderColumnClick(frm_->MozillaCookiesElTree, c.section);
    ASSERT_EQ(t.SortDir, sdAscend);
    EXPECT_EQ(order(), c.ascending) << c.section;
    frm_->IECookiesElTreeHeaderColumnClick(frm_->MozillaCookiesElTree, c.section);
    std::string reversed(c.ascending);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(order(), reversed) << c.section;
  }
}

// Blocking on the Firefox page changes only the cookie permission of each
// host: what a host's record says about images stays.
TEST_F(MainFormCommands, BlockingMozillaCookiesKeepsOtherPermissions) {
  test::TTempDir dir;
  dir.Write("cookies.txt", "# Netscape HTTP Cookie File\r\n");
  dir.Write("hostperm.1", "# Permission File\r\nhost\timage\t2\texample.com\r\n");
  frm_->FirefoxStore = QbMozillaCookiesClass::CreateForProfile(dir.Path() + "\\");
  ASSERT_TRUE(frm_->FirefoxStore);
  frm_->ActiveStore = frm_->FirefoxStore.get();
  TElTree& t = ShowCookies({"1\ta\tv\t.example.com\t\tNo\tNo", "1\tb\tv\texample.com/x\t\tNo\tNo",
                            "1\tc\tv\tother.org\t\tNo\tNo", "1\td\tv\tnot.selected\t\tNo\tNo"});
  frm_->cboMozillaProfiles->Items()->Clear();
  frm_->cboMozillaProfiles->Items()->Add(frm_->ActiveStore->GetProfiles()->Strings(0));
  frm_->cboMozillaProfiles->SetItemIndex(0);
  for (int i = 0; i < 3; ++i) t.Items().Item(i)->SetSelected(true);
  TScriptedResponder r;
  r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
  r.Expect(TModalKind::mkMessageBox, "Future Cookies from 2 domain have been blocked.", IDOK);
  {
    TModalResponderScope scope(r.AsResponder());
    frm_->Blockcookiesfromselecteddomains1Click(nullptr);
  }
  EXPECT_TRUE(r.Done());
  const std::string perms = test::ReadFileBytes(dir.File("hostperm.1"));
  EXPECT_NE(perms.find("host\tcookie\t2\texample.com"), std::string::npos) << perms;
  EXPECT_NE(perms.find("host\timage\t2\texample.com"), std::string::npos) << perms;
  EXPECT_NE(perms.find("host\tcookie\t2\tother.org"), std::string::npos) << perms;
  EXPECT_EQ(perms.find("not.selected"), std::string::npos) << perms;
}

// Only domains that went into the privacy list are counted; with none, no
// count is shown.
TEST_F(MainFormCommands, BlockingIECookiesCountsWhatWasWritten) {
  const std::string list = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\P3P\\History\\";
  frm_->BrowsersPageControl->SetActivePage(frm_->IETabSheet);
  frm_->IEViewableElementsPageControl->SetActivePage(frm_->IECookiesTabSheet);
  ASSERT_EQ(frm_->GetViewKind(), 1);
  struct Case {
    std::vector<std::string> hosts;
    int failures;
    const char* count;  // nullptr: no count message
  };
  const Case cases[] = {
      {{"www.block-a.example/", "mail.block-a.example/x", "block-a.example/"}, 0, "1"},
      {{"a.b.block-b.co.uk/", "bad\\host.example/"}, 1, "1"},
      {{"bad\\one.example/"}, 1, nullptr},
  };
  for (const Case& c : cases) {
    TElTree& t = frm_->IECookiesElTree->Tree();
    TStringList sl;
    for (const std::string& h : c.hosts) sl.Add("1\tf.txt\tn\tv\t" + h + "\tNo\tNo\t\t\t\t");
    t.Items().LoadFromStrings(sl);
    t.SelectAll();
    TScriptedResponder r;
    r.OnUnexpected = [](const std::string& w) { ADD_FAILURE() << w; };
    for (int i = 0; i < c.failures; ++i) r.Expect(TModalKind::mkMessageBox, "Cannot Add to blocked domains list", IDOK);
    if (c.count)
      r.Expect(TModalKind::mkMessageBox, std::string("Future Cookies from ") + c.count + " domain have been blocked.",
               IDOK);
    {
      TModalResponderScope scope(r.AsResponder());
      frm_->Blockcookiesfromselecteddomains1Click(nullptr);
    }
    EXPECT_TRUE(r.Done()) << c.hosts[0];
  }
  for (const char* d : {"block-a.example", "block-b.co.uk"}) {
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (list + d).c_str(), 0, KEY_READ, &k), ERROR_SUCCESS) << d;
    DWORD v = 0, n = sizeof v;
    EXPECT_EQ(RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &n), ERROR_SUCCESS);
    EXPECT_EQ(v, 5u) << d;
    RegCloseKey(k);
    RegDeleteKeyA(HKEY_CURRENT_USER, (list + d).c_str());
  }
}

}  // namespace
}  // namespace morvane
