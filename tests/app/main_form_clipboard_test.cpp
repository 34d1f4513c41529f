// Copy selection to the clipboard on the real window: the exact text.
// ctest: desktop
// ctest: clipboard
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <memory>

#include "app/main_form.h"
#include "main_form_fixture.h"
#include "platform/core/classes.h"
#include "platform/ui/clipbrd.h"
#include "treeview/eltreeitems.h"

namespace morvane {
namespace {

TEST(MainFormClipboard, CopyPutsTheCaptionsAndTheSelectedRows) {
  test::TMainFormFixture app;
  TMainFrm* frm = &app.Form();
  frm->BrowsersPageControl->SetActivePage(frm->NetscapeTabSheet);
  frm->NetscapeViewableElementsPageControl->SetActivePage(frm->NetscapeCookiesTabSheet);
  TElTree& t = frm->MozillaCookiesElTree->Tree();
  TStringList sl;
  sl.Add("1\tsid\t<&\">\t.caf\xE9.fr\t\tNo\tYes\tbeyond");
  sl.Add("1\tb\t2\tb.com\t\tNo\tNo");
  sl.Add("1\tc\t3\tc.com\t\tYes\tNo");
  t.Items().LoadFromStrings(sl);
  const std::string captions =
      "Row Number\tCookie Name\tCookie Value\tCookie Domain\tExpitration Date\tSecure\tSubdomains";

  frm->mnuEditCopyToClipboardClick(nullptr);
  EXPECT_EQ(Clipboard()->AsText(), captions);

  t.Items().Item(2)->SetSelected(true);
  t.Items().Item(0)->SetSelected(true);
  frm->mnuEditCopyToClipboardClick(nullptr);
  EXPECT_EQ(Clipboard()->AsText(), captions + "\r\n1\tsid\t<&\">\t.caf\xE9.fr\t\tNo\tYes\tbeyond\r\n2\tc\t3\tc.com\t\tYes\tNo");
}

}  // namespace
}  // namespace morvane
