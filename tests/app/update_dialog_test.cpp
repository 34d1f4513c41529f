// The update notice as the user sees it, answered through the modal
// responder; its picture goes to <build>/screenshots/update-notice.png.
// ctest: desktop
#include "app/update_dialog.h"

#include <gtest/gtest.h>

#include "platform/ui/modal.h"
#include "platform/ui/screenshot.h"
#include "support/test_env.h"

namespace morvane {
namespace {

TEST(UpdateNoticeDialog, ShowsTheNoticeAndAnswersDownloadOrCancel) {
  TUpdateNotice notice;
  notice.CurrentVersionText = "You are using version 1.9.0.0 of Morvane. Version you can download now is 2.0.0.";
  notice.NewestVersionText = "See detailed list of new features below.";
  notice.Notes = {"Firefox 3 cookie files", "", "Faster grids"};

  for (const int answer : {mrOk, mrCancel}) {
    std::string seenCaption, label1, current, memo;
    int clientW = 0, clientH = 0;
    TModalResponderScope scope([&](TModalRequest& r) {
      EXPECT_EQ(r.Kind, TModalKind::mkForm);
      auto* dlg = dynamic_cast<TdlgSoftwareUpdates*>(r.Form);
      if (!dlg) return static_cast<int>(mrCancel);
      seenCaption = dlg->Caption();
      label1 = dlg->Label1->Caption();
      current = dlg->lblCurrentVersion->Caption();
      for (int i = 0; i < dlg->Memo1->Lines()->Count(); ++i) memo += dlg->Memo1->Lines()->Get(i) + "|";
      clientW = dlg->ClientWidth();
      clientH = dlg->ClientHeight();
      if (answer == mrOk) {
        const std::string dir = test::BinPath("..\\screenshots");
        CreateDirectoryA(dir.c_str(), nullptr);
        SaveWindowScreenshot(dlg->Handle(), dir + "\\update-notice.png");
      }
      return answer;
    });
    EXPECT_EQ(ShowSoftwareUpdateNotice(notice), answer == mrOk);
    EXPECT_EQ(seenCaption, "Software Update");
    EXPECT_EQ(label1, "New  version of Morvane is available for download.");
    EXPECT_EQ(current, notice.CurrentVersionText);
    EXPECT_EQ(memo, "Firefox 3 cookie files||Faster grids|");
    EXPECT_EQ(clientW, 508);
    EXPECT_EQ(clientH, 256);
  }
}

}  // namespace
}  // namespace morvane
