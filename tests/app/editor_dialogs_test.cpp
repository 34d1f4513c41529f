// The editor and confirmation dialogs as the user sees them: filled, shown
// through the modal responder, worked and read back. Each leaves its
// picture in <build>/screenshots/.
// ctest: desktop
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "app/delete_cookie_dialog.h"
#include "app/delete_history_dialog.h"
#include "app/delete_mozilla_cookie_dialog.h"
#include "app/edit_blocked_domain_dlg.h"
#include "app/edit_cookie_dlg.h"
#include "app/edit_cookie_folder_dlg.h"
#include "app/edit_mozilla_blocked_domains_dialog.h"
#include "app/edit_mozilla_cookie_dlg.h"
#include "app/new_blocked_domain.h"
#include "app/rebot_reminder_dlg.h"
#include "app/reboot_query.h"
#include "dialog_snap.h"
#include "platform/core/datetime.h"
#include "platform/ui/modal.h"

namespace morvane {
namespace {

// Answers the form by clicking Button; message boxes go to OnMessage (IDOK
// when none). A click that leaves the form open ends it with Cancel.
TModalResponder Clicking(std::function<void(TForm*)> Work, std::function<TButton*(TForm*)> Button,
                         std::function<int(TModalRequest&)> OnMessage = nullptr) {
  return [=](TModalRequest& r) -> int {
    if (r.Kind != TModalKind::mkForm) return OnMessage ? OnMessage(r) : IDOK;
    auto* form = dynamic_cast<TForm*>(r.Form);
    if (Work) Work(form);
    Button(form)->Click();
    return form->ModalResult() != mrNone ? mrKeepOpen : mrCancel;
  };
}

TEST(EditCookieDialog, StartsEmptyAndSecureADayAheadAndReadsBackOnSave) {
  TEditcookieDlg dlg(nullptr);
  EXPECT_EQ(dlg.edtCookieName->Text(), "");
  EXPECT_EQ(dlg.edtCookieValue->Text(), "");
  EXPECT_TRUE(dlg.ChkSecure->Checked());
  EXPECT_NEAR(dlg.dtExpirationDate->DateTime(), Now() + 1, 1.0 / 24);
  EXPECT_EQ(dlg.edtCookieName->MaxLength(), 15);

  dlg.SetCaption("Edit Internet Explorer Cookie");
  dlg.edtCookieName->SetText("SID");
  dlg.edtCookieValue->SetText("abc");
  dlg.lblinfo1->SetCaption("Host: example.com/");
  dlg.dtExpirationDate->SetDate(EncodeDate(2030, 5, 17));
  TModalResponderScope scope(Clicking(
      [](TForm* f) {
        auto* d = static_cast<TEditcookieDlg*>(f);
        EXPECT_EQ(d->ClientWidth(), 463);
        EXPECT_EQ(d->ClientHeight(), 202);
        d->edtCookieValue->SetText("changed");
        d->chkHttpOnly->SetChecked(true);
        test::SnapWindow(d->Handle(), "edit-cookie");
      },
      [](TForm* f) { return static_cast<TEditcookieDlg*>(f)->BtnSave; }));
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(dlg.edtCookieName->Text(), "SID");
  EXPECT_EQ(dlg.edtCookieValue->Text(), "changed");
  EXPECT_TRUE(dlg.chkHttpOnly->Checked());
  EXPECT_EQ(std::floor(dlg.dtExpirationDate->Date()), EncodeDate(2030, 5, 17));
}

// The reusable dialogs whose behaviour is their layout and their buttons.
TEST(ConfirmationDialogs, ShowTheirTextsAndAnswerWithTheirButtons) {
  struct Case {
    const char* snap;
    std::function<TForm*()> make;
    const char* caption;
    int width, height;
    std::function<TButton*(TForm*)> button;
    int result;
  };
  const Case cases[] = {
      {"edit-blocked-domain", [] { return new TEditBlockedDomainDlg(nullptr); }, "Edit Domain", 372, 124,
       [](TForm* f) { return static_cast<TEditBlockedDomainDlg*>(f)->BtnSave; }, mrOk},
      {"delete-cookie", [] { return new TDeleteCookieDialog(nullptr); }, "", 402, 180,
       [](TForm* f) { return static_cast<TDeleteCookieDialog*>(f)->Button1; }, mrOk},
      {"delete-mozilla-cookie", [] { return new TDeleteMozillacookieDialog(nullptr); }, "", 401, 226,
       [](TForm* f) { return static_cast<TDeleteMozillacookieDialog*>(f)->btnCancel; }, mrCancel},
      {"edit-mozilla-cookie",
       [] {
         // Save takes only texts that cookies.txt can hold.
         auto* d = new TEditMozillaCookieDlg(nullptr);
         d->edtCookieName->SetText("SID");
         d->edtDomain->SetText(".example.com/");
         return d;
       },
       "", 466, 260,
       [](TForm* f) { return static_cast<TEditMozillaCookieDlg*>(f)->BtnSave; }, mrOk},
      {"delete-history", [] { return new TDeleteHistoryDialog(nullptr); }, "Delete IE  History File(s)", 473, 155,
       [](TForm* f) { return static_cast<TDeleteHistoryDialog*>(f)->Button1; }, mrOk},
      {"reboot-query", [] { return new TRebootQuery(nullptr); }, "Confirmation", 409, 154,
       [](TForm* f) { return static_cast<TRebootQuery*>(f)->rtnYes; }, mrYes},
      {"reboot-query-no", [] { return new TRebootQuery(nullptr); }, "Confirmation", 409, 154,
       [](TForm* f) { return static_cast<TRebootQuery*>(f)->btnNo; }, mrCancel},
      {"reboot-reminder", [] { return new TRebotReminderDlg(nullptr); }, "Confirm to continue", 430, 132,
       [](TForm* f) { return static_cast<TRebotReminderDlg*>(f)->Button1; }, mrOk},
      {"edit-cookie-folder", [] { return new TEditCookieFolderDlg(nullptr); }, "Change Cookie Folder", 512, 240,
       [](TForm* f) { return static_cast<TEditCookieFolderDlg*>(f)->OkBtn; }, mrOk},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TForm> dlg(c.make());
    if (std::string(c.caption).empty()) dlg->SetCaption(std::string("Caption of ") + c.snap);
    std::string seen;
    TModalResponderScope scope(Clicking(
        [&](TForm* f) {
          seen = f->Caption();
          EXPECT_EQ(f->ClientWidth(), c.width) << c.snap;
          EXPECT_EQ(f->ClientHeight(), c.height) << c.snap;
          test::SnapWindow(f->Handle(), c.snap);
        },
        c.button));
    EXPECT_EQ(dlg->ShowModal(), c.result) << c.snap;
    if (*c.caption) EXPECT_EQ(seen, c.caption) << c.snap;
    // Reused: a second showing works the same.
    EXPECT_EQ(dlg->ShowModal(), c.result) << c.snap;
  }
}

TEST(ConfirmationDialogs, StartWithTheirDesignState) {
  TDeleteCookieDialog ie(nullptr);
  EXPECT_TRUE(ie.chkDeleteCookie->Checked());
  EXPECT_FALSE(ie.chkBlockCookie->Checked());
  EXPECT_EQ(ie.chkBlockCookie->Hint(), "All cookies from deleted domains will be blocked by Internet Explorer");
  TDeleteMozillacookieDialog moz(nullptr);
  EXPECT_EQ(moz.chkBlockImage->Caption(), "Block Images from selected domaind");
  EXPECT_TRUE(moz.chkDeleteCookie->Checked());
  TRebootQuery reboot(nullptr);
  EXPECT_EQ(reboot.Label2->Caption(), "To complete cookies removal you have  to reboot you computer.");
  EXPECT_EQ(reboot.Label3->Caption(), "Do you want  to reboot  now?");
  TDeleteHistoryDialog history(nullptr);
  EXPECT_EQ(history.lblDeleteMessage->Caption(), "You are about to delete selected history file:");
  TNewBlockedDomain added(nullptr);
  EXPECT_EQ(added.cboBlockedDomainSetting->ItemIndex(), 0);
  EXPECT_EQ(added.cboBlockedDomainSetting->Text(), "Always Block");
}

TEST(NewBlockedDomainDialog, RefusesADomainWithoutADotAndStaysOpen) {
  TNewBlockedDomain dlg(nullptr);
  std::vector<std::string> messages;
  int shown = 0;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    if (r.Kind == TModalKind::mkMessageBox) {
      messages.push_back(r.Text);
      test::SnapWindow(dlg.Handle(), "new-blocked-domain");
      // The dialog is still there: the user corrects the text and saves again.
      dlg.txtDomainName->SetText("ads.example");
      PostMessageA(dlg.Button1->Handle(), BM_CLICK, 0, 0);
      return IDOK;
    }
    ++shown;
    dlg.txtDomainName->SetText("localhost");
    dlg.Button1->Click();
    return mrKeepOpen;
  });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(shown, 1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], TNewBlockedDomain::kInvalidDomainMessage);
  EXPECT_NE(messages[0].find("Examples of valid domains:\n\r\n\r"), std::string::npos);
  EXPECT_EQ(dlg.txtDomainName->Text(), "ads.example");

  // Cancel closes whatever was typed, without a word.
  messages.clear();
  TModalResponderScope cancel(Clicking([](TForm* f) { static_cast<TNewBlockedDomain*>(f)->txtDomainName->SetText("x"); },
                                       [](TForm* f) { return static_cast<TNewBlockedDomain*>(f)->btnCancel; },
                                       [&](TModalRequest& r) {
                                         messages.push_back(r.Text);
                                         return IDOK;
                                       }));
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_TRUE(messages.empty());
}

TEST(MozillaPermissionDialog, ShowsTheRecordByFormatAndWritesItBackOnlyOnOk) {
  TEditMozillaBlockedDomainsDialog dlg(nullptr);
  EXPECT_FALSE(dlg.edtDomain->Enabled());
  tQbBlockedDomain rec{"host", "ads.example.com", 8, 2, 1, 2};

  struct Seen {
    int cookies = -1, images = -1, ads = -1, installs = -1, cookieItems = 0;
    bool installsVisible = false;
    std::string domain;
  };
  auto show = [&](uint8_t format, int answerWith) {
    Seen s;
    dlg.BlockedDomain = &rec;
    dlg.PermissionFormat = format;
    TModalResponderScope scope([&](TModalRequest& r) -> int {
      if (r.Kind != TModalKind::mkForm) return IDYES;
      s.cookies = dlg.cboCookies->ItemIndex();
      s.images = dlg.CboImages->ItemIndex();
      s.ads = dlg.cboAds->ItemIndex();
      s.installs = dlg.cboInstalls->ItemIndex();
      s.cookieItems = dlg.cboCookies->Items()->Count();
      s.installsVisible = dlg.cboInstalls->Visible() && dlg.lblInstalls->Visible();
      s.domain = dlg.edtDomain->Text();
      if (format == 1 && answerWith == mrCancel) test::SnapWindow(dlg.Handle(), "mozilla-permission");
      dlg.CboImages->SetItemIndex(0);  // the user's change
      (answerWith == mrOk ? dlg.okBtn : dlg.CancelBtn)->Click();
      return mrKeepOpen;
    });
    EXPECT_EQ(dlg.ShowModal(), answerWith);
    return s;
  };

  // hostperm.1: session-only cookies and installs are offered.
  Seen s = show(1, mrCancel);
  EXPECT_EQ(s.domain, "ads.example.com");
  EXPECT_EQ(s.cookieItems, 4);
  EXPECT_EQ(s.cookies, 3);
  EXPECT_EQ(s.images, 1);
  EXPECT_EQ(s.ads, 2);
  EXPECT_EQ(s.installs, 1);
  EXPECT_TRUE(s.installsVisible);
  // Cancel leaves the record as it was.
  EXPECT_EQ(rec.Image, 2);

  // cookperm.txt after a hostperm.1 profile: the fourth item goes again.
  rec = {"host", "ads.example.com", 2, 2, 0, 0};
  s = show(0, mrOk);
  EXPECT_EQ(s.cookieItems, 3);
  EXPECT_FALSE(s.installsVisible);
  EXPECT_EQ(s.cookies, 1);
  EXPECT_EQ(s.ads, 0) << "pop-up value 0 after a record with 2 shows the default";
  EXPECT_EQ(rec.Cookie, 2);
  EXPECT_EQ(rec.Image, 0);
  EXPECT_EQ(rec.Popup, 0);
  EXPECT_EQ(rec.Host, "ads.example.com");

  // Values outside the table show as the default and are written back as 0.
  rec = {"host", "odd.example.com", 5, 7, 9, 3};
  s = show(2, mrOk);
  EXPECT_EQ(s.cookies, 0);
  EXPECT_EQ(s.images, 0);
  EXPECT_EQ(s.ads, 0);
}

TEST(MozillaPermissionDialog, OkChecksTheDomainAndConfirmsAllDefaults) {
  TEditMozillaBlockedDomainsDialog dlg(nullptr);
  tQbBlockedDomain rec{"host", "", 0, 0, 0, 0};
  dlg.BlockedDomain = &rec;
  dlg.edtDomain->SetEnabled(true);
  std::vector<std::string> messages;
  int confirmAnswer = IDNO;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    if (r.Kind != TModalKind::mkForm) {
      messages.push_back(r.Text);
      return r.Text.find("Do you want to continue?") != std::string::npos ? confirmAnswer : IDOK;
    }
    struct Step {
      const char* domain;
      int cookies;
      bool staysOpen;
    };
    const Step steps[] = {{"   ", 1, true}, {"localhost", 1, true}, {"example.com", 0, true}};
    for (const Step& st : steps) {
      dlg.edtDomain->SetText(st.domain);
      dlg.cboCookies->SetItemIndex(st.cookies);
      dlg.okBtn->Click();
      EXPECT_EQ(dlg.ModalResult() == mrNone, st.staysOpen) << st.domain;
    }
    confirmAnswer = IDYES;
    dlg.okBtn->Click();
    return mrKeepOpen;
  });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0], "Domain name cannot be empty. Please enter domain name.");
  EXPECT_EQ(messages[1], "Domain name has to contain at least one '.' character");
  EXPECT_EQ(messages[2],
            "All properties are set to 'Default'.\r\nThis is equivalient to removing domain 'example.com' from "
            "blocked domains list.\r\n\r\nDo you want to continue?");
  EXPECT_EQ(rec.Host, "example.com");
  EXPECT_EQ(rec.Cookie, 0);
}

}  // namespace
}  // namespace morvane
