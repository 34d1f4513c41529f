// Internet Explorer's per-site privacy list in the real registry, through the
// main window's list page: only "always block" and "always allow" entries
// are listed and changed; every other entry under the key is left alone.
// The tests add and remove only subkeys of their own and put the list key
// back as they found it.
// ctest: desktop
// ctest: lock=registry_qbmorvane
// ctest: lock=p3p
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/edit_blocked_domain_dlg.h"
#include "app/new_blocked_domain.h"
#include "main_form_ie_support.h"
#include "platform/core/classes.h"
#include "platform/core/registry.h"

namespace morvane {
namespace {

using test::kPrivacyListKey;
using test::PrivacyEntry;
using test::SetPrivacyEntry;

void RemoveEntry(const std::string& domain) {
  RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kPrivacyListKey) + "\\" + domain).c_str());
}

class IEPrivacyList : public test::TMainWindowTest {
 protected:
  void SetUp() override {
    HKEY key = nullptr;
    listExisted = RegOpenKeyExA(HKEY_CURRENT_USER, kPrivacyListKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    for (const auto& [domain, value] : kFixture) SetPrivacyEntry(domain, value);
    TMainWindowTest::SetUp();
  }
  void TearDown() override {
    TMainWindowTest::TearDown();
    for (const auto& [domain, value] : kFixture) RemoveEntry(domain);
    for (const char* d : {"example.co.uk", "a", "a\\b.com", "mv-new.example"}) RemoveEntry(d);
    if (!listExisted) RegDeleteTreeA(HKEY_CURRENT_USER, kPrivacyListKey);
  }
  // Domain -> "Always Block"/"Always Allow" of the rows of the test's own
  // domains (the machine may have others).
  std::map<std::string, std::string> Rows() {
    std::map<std::string, std::string> out;
    TElTreeItems& items = frm->ElTreeDomains->Tree().Items();
    for (int i = 0; i < items.Count(); ++i) {
      const std::string d = TMainFrm::RowCell(items.Item(i), 0);
      if (d.rfind("mv-", 0) == 0 || d == "example.co.uk") out[d] = TMainFrm::RowCell(items.Item(i), 1);
    }
    return out;
  }
  TElTreeItem* Row(const std::string& domain) {
    TElTreeItems& items = frm->ElTreeDomains->Tree().Items();
    for (int i = 0; i < items.Count(); ++i)
      if (TMainFrm::RowCell(items.Item(i), 0) == domain) return items.Item(i);
    return nullptr;
  }
  void Select(std::initializer_list<const char*> domains) {
    TElTree& tree = frm->ElTreeDomains->Tree();
    tree.DeselectAll();
    for (const char* d : domains) {
      ASSERT_NE(Row(d), nullptr) << d;
      Row(d)->SetSelected(true);
    }
  }
  // The new-domain dialog answered with Text and Setting.
  void ExpectNewDomain(const std::string& text, int setting) {
    script_.Expect(TModalKind::mkForm, "Add New Blocked/Allowed Domain", [=](TModalRequest& r) {
      auto* d = static_cast<TNewBlockedDomain*>(r.Form);
      d->txtDomainName->SetText(text);
      d->cboBlockedDomainSetting->SetItemIndex(setting);
      d->Button1->Click();
      return mrKeepOpen;
    });
  }

  const std::map<std::string, std::string> kFixture = {
      {"mv-block.example", "dword:5"}, {"mv-allow.example", "dword:1"}, {"mv-two.example", "dword:2"},
      {"mv-text.example", "sz:5"},     {"mv-none.example", "none"},
  };
  bool listExisted = false;
};

TEST_F(IEPrivacyList, ListsBlockAndAllowAndLeavesEveryOtherEntryThroughNewEditAndDelete) {
  EXPECT_TRUE(frm->IsIEPrivacyListAvailable());
  frm->LoadIEBlockedDomains();
  EXPECT_EQ(Rows(), (std::map<std::string, std::string>{{"mv-allow.example", "Always Allow"},
                                                        {"mv-block.example", "Always Block"}}));

  // New: the typed URL is reduced to its registrable domain.
  ExpectNewDomain("http://user@www.shop.example.co.uk:8080/x", 1);
  frm->NewIEBlockedDomain();
  EXPECT_EQ(PrivacyEntry("example.co.uk"), "dword:1");
  EXPECT_EQ(Rows().at("example.co.uk"), "Always Allow");

  // Edit: the list shows the row's setting and writes the new one.
  Select({"mv-allow.example"});
  script_.Expect(TModalKind::mkForm, "Edit Blocked/Allowed Domain", [](TModalRequest& r) {
    auto* d = static_cast<TEditBlockedDomainDlg*>(r.Form);
    EXPECT_EQ(d->lblDomainName->Caption(), "mv-allow.example");
    EXPECT_EQ(d->cboBlockedDomainSetting->Text(), "Always Allow");
    d->cboBlockedDomainSetting->SetItemIndex(0);
    return mrOk;
  });
  frm->EditIEBlockedDomain();
  EXPECT_EQ(PrivacyEntry("mv-allow.example"), "dword:5");
  EXPECT_EQ(Rows().at("mv-allow.example"), "Always Block");

  // Delete: asked once for both rows; "No" keeps them.
  Select({"mv-allow.example", "mv-block.example"});
  script_.Expect(TModalKind::mkMessageBox, "You are about to delete all selected items (2)\r\nDo you want to continue?",
                 mrNo);
  frm->DeleteIEBlockedDomains();
  EXPECT_EQ(PrivacyEntry("mv-block.example"), "dword:5");
  script_.Expect(TModalKind::mkMessageBox, "You are about to delete all selected items (2)", mrYes);
  frm->DeleteIEBlockedDomains();
  EXPECT_EQ(PrivacyEntry("mv-allow.example"), "gone");
  EXPECT_EQ(PrivacyEntry("mv-block.example"), "gone");
  EXPECT_EQ(Rows(), (std::map<std::string, std::string>{{"example.co.uk", "Always Allow"}}));

  EXPECT_EQ(PrivacyEntry("mv-two.example"), "dword:2");
  EXPECT_EQ(PrivacyEntry("mv-text.example"), "sz:5");
  EXPECT_EQ(PrivacyEntry("mv-none.example"), "none");
}

// Texts that would make an entry Internet Explorer ignores and this list
// could never show are refused with a message; nothing is written.
TEST_F(IEPrivacyList, RefusesDomainsThatMakeNoUsableEntry) {
  ExpectNewDomain("a\\b.com", 0);
  script_.Expect(TModalKind::mkMessageBox, "Cannot Add to blocked domains list", mrOk);
  frm->NewIEBlockedDomain();
  EXPECT_EQ(PrivacyEntry("a"), "gone");
  EXPECT_EQ(PrivacyEntry("a\\b.com"), "gone");

  // A dot, but no domain left once the scheme and the path are gone.
  ExpectNewDomain("http://.com/x", 0);
  script_.Expect(TModalKind::mkMessageBox, "You have entered invalid domain.", mrOk);
  frm->NewIEBlockedDomain();

  EXPECT_FALSE(frm->AddIEBlockedDomain("", true));
  EXPECT_TRUE(frm->AddIEBlockedDomain("mv-new.example", true));
  EXPECT_EQ(PrivacyEntry("mv-new.example"), "dword:5");
}

// The row changes only once the registry holds the new value.
TEST_F(IEPrivacyList, EditThatCannotBeWrittenKeepsTheRow) {
  frm->LoadIEBlockedDomains();
  // No key can have a name this long: the write fails.
  const std::string tooLong = "mv-" + std::string(300, 'x') + ".example";
  TStringList lines;
  lines.Add("1\t" + tooLong + "\tAlways Allow");
  frm->ElTreeDomains->Tree().Items().LoadFromStrings(lines);
  frm->ElTreeDomains->Tree().Items().Item(0)->SetSelected(true);
  script_.Expect(TModalKind::mkForm, "Edit Blocked/Allowed Domain", [](TModalRequest& r) {
    static_cast<TEditBlockedDomainDlg*>(r.Form)->cboBlockedDomainSetting->SetItemIndex(0);
    return mrOk;
  });
  script_.Expect(TModalKind::mkMessageBox, "Cannot Save blocked domains value", mrOk);
  frm->EditIEBlockedDomain();
  EXPECT_EQ(TMainFrm::RowCell(frm->ElTreeDomains->Tree().Items().Item(0), 1), "Always Allow");
}

// After a delete the focus stays at its position, or on the last row.
TEST_F(IEPrivacyList, DeleteKeepsTheFocusedPosition) {
  for (const char* d : {"mv-c.example", "mv-d.example", "mv-e.example"}) SetPrivacyEntry(d, "dword:5");
  frm->LoadIEBlockedDomains();
  TElTree& tree = frm->ElTreeDomains->Tree();
  // The five rows of the test, in the grid's order: delete the second and
  // the fourth with the focus on the fourth.
  std::vector<TElTreeItem*> mine;
  for (int i = 0; i < tree.Items().Count(); ++i)
    if (TMainFrm::RowCell(tree.Items().Item(i), 0).rfind("mv-", 0) == 0) mine.push_back(tree.Items().Item(i));
  ASSERT_EQ(mine.size(), 5u);
  const int focusAt = mine[3]->AbsIndex();
  tree.DeselectAll();
  tree.SetItemFocused(mine[3]);
  mine[1]->SetSelected(true);
  mine[3]->SetSelected(true);
  script_.Expect(TModalKind::mkMessageBox, "(2)", mrYes);
  frm->DeleteIEBlockedDomains();
  ASSERT_NE(tree.ItemFocused(), nullptr);
  EXPECT_EQ(tree.ItemFocused()->AbsIndex(), std::min(focusAt, tree.Items().Count() - 1));
  EXPECT_TRUE(tree.ItemFocused()->Selected());
  for (const char* d : {"mv-c.example", "mv-d.example", "mv-e.example"}) RemoveEntry(d);
}

}  // namespace
}  // namespace morvane
