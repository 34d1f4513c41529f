// The error dialog, the text-file viewer, the about box and the splash as
// the user sees them; shell and mail requests are caught by replaced system
// services. Pictures go to <build>/screenshots/.
// ctest: desktop
#include <gtest/gtest.h>

#include <memory>

#include "app/about_box.h"
#include "app/error_dlg.h"
#include "app/splash.h"
#include "app/view_text_file_dlg.h"
#include "browserdata/net/qb_net_utils.h"
#include "browserdata/settings/application_defaults.h"
#include "dialog_snap.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "platform/ui/services.h"

namespace morvane {
namespace {

// Every shell request is recorded and succeeds (or fails when told to).
struct TShellLog {
  std::vector<std::string> Files;
  intptr_t Result = 42;
  TSystemServices Services() {
    TSystemServices s = RealSystemServices();
    s.ShellExecute = [this](HWND, const std::string&, const std::string& File, const std::string&,
                            const std::string&, int) {
      Files.push_back(File);
      return Result;
    };
    return s;
  }
};

struct TSupportAddress {
  explicit TSupportAddress(const std::string& v) : saved(SupportEmail) { SupportEmail = v; }
  ~TSupportAddress() { SupportEmail = saved; }
  std::string saved;
};

TEST(ErrorDialog, ShowsOneIconByKindAndTheSupportLinkOnlyWithAnAddress) {
  TErrorDlg dlg(nullptr);
  struct Case {
    int kind;
    const char* address;
    TImage* TErrorDlg::*shown;
  };
  const Case cases[] = {
      {0, "help@example.com", &TErrorDlg::imgQuestionMark}, {1, "", &TErrorDlg::imgStop},
      {2, "", &TErrorDlg::imgExclamation},                  {3, "", &TErrorDlg::imgInformation},
      {7, "help@example.com", nullptr},
  };
  for (const Case& c : cases) {
    TSupportAddress support(c.address);
    std::string caption, message, longMessage, link;
    std::vector<bool> icons;
    bool linkShown = false;
    TModalResponderScope scope([&](TModalRequest& r) -> int {
      caption = dlg.Caption();
      message = dlg.txtMessage->Caption();
      longMessage = dlg.txtLongMessage->Caption();
      link = dlg.txtSupportEmail->Caption();
      linkShown = dlg.txtSupportEmail->Visible() && dlg.txtSupportText->Visible();
      for (TImage* img : {dlg.imgQuestionMark, dlg.imgStop, dlg.imgExclamation, dlg.imgInformation})
        icons.push_back(img->Visible());
      if (c.kind == 3) test::SnapWindow(dlg.Handle(), "error-dialog");
      return r.Kind == TModalKind::mkForm ? mrOk : IDOK;
    });
    dlg.ShowError("Error in 'Save as..'", "Error occured when trying to save displayed grid",
                  "Following error was generated: disk full", static_cast<uint8_t>(c.kind));
    EXPECT_EQ(caption, "Error in 'Save as..'");
    EXPECT_EQ(message, "Error occured when trying to save displayed grid");
    EXPECT_EQ(longMessage, "Following error was generated: disk full");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(icons[i], c.shown && i == c.kind) << "kind " << c.kind << " icon " << i;
    EXPECT_EQ(linkShown, *c.address != 0) << c.kind;
    EXPECT_EQ(link, c.address);
  }
}

TEST(ErrorDialog, TheSupportLinkComposesAReportOrOpensAWebAddress) {
  TErrorDlg dlg(nullptr);
  TShellLog shell;
  TSystemServicesScope services(shell.Services());
  std::vector<std::string> boxes;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    if (r.Kind == TModalKind::mkForm) {
      dlg.txtSupportEmailClick(nullptr);
      return mrOk;
    }
    boxes.push_back(r.Caption + "|" + r.Text);
    return IDOK;
  });
  {
    TSupportAddress support("help@example.com");
    dlg.ShowError("E", "short", "long", 1);
  }
  ASSERT_EQ(shell.Files.size(), 1u);
  EXPECT_EQ(shell.Files[0].rfind("mailto:help@example.com?subject=Error%20in%20Morvane&body=", 0), 0u)
      << shell.Files[0];
  EXPECT_NE(shell.Files[0].find("short"), std::string::npos);
  EXPECT_NE(shell.Files[0].find("long"), std::string::npos);
  EXPECT_TRUE(boxes.empty());

  // No mail program: the user is told to write by hand.
  shell.Result = 2;
  {
    TSupportAddress support("help@example.com");
    dlg.ShowError("E", "short", "long", 1);
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0],
            "Information|Cannot start Mail Application.\r\nPlease start your e-mail client application manually "
            "and compose the message.");

  shell.Files.clear();
  shell.Result = 42;
  {
    TSupportAddress support("http://support.example.com/ask");
    dlg.ShowError("E", "short", "long", 1);
  }
  ASSERT_EQ(shell.Files.size(), 1u);
  EXPECT_EQ(shell.Files[0], "http://support.example.com/ask");
}

TEST(TextFileViewer, ShowsTheFileOrSaysItIsNotAvailable) {
  test::TTempDir dir;
  const std::string log = dir.Write("QbLog.Log", "first line\r\nsecond line\r\n\r\nlast");
  {
    TViewTextFileDlg dlg(nullptr, log, "Log File");
    EXPECT_EQ(dlg.Caption(), "Log File");
    ASSERT_EQ(dlg.Memo1->Lines()->Count(), 4);
    EXPECT_EQ(dlg.Memo1->Lines()->Get(0), "first line");
    EXPECT_EQ(dlg.Memo1->Lines()->Get(3), "last");
    EXPECT_TRUE(dlg.Memo1->ReadOnly());
    EXPECT_FALSE(dlg.btnEmail->Visible());
    int printLeft = 0, cancelLeft = 0;
    TModalResponderScope scope([&](TModalRequest& r) -> int {
      printLeft = dlg.PrintBtn->Left();
      cancelLeft = dlg.CancelBtn->Left();
      test::SnapWindow(dlg.Handle(), "text-file-viewer");
      return r.Kind == TModalKind::mkForm ? mrCancel : IDCANCEL;
    });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    // Print and Cancel sit symmetrically, 35 pixels plus the rest apart.
    const int cw = dlg.ClientWidth();
    const int a = (cw - (dlg.PrintBtn->Width() + dlg.CancelBtn->Width() + 35)) / 2;
    EXPECT_EQ(printLeft, a);
    EXPECT_EQ(cancelLeft, cw - dlg.CancelBtn->Width() - a);
  }
  for (const std::string& missing : {dir.File("none.log"), dir.Path()}) {
    TViewTextFileDlg dlg(nullptr, missing, "Log File");
    ASSERT_EQ(dlg.Memo1->Lines()->Count(), 2) << missing;
    EXPECT_EQ(dlg.Memo1->Lines()->Get(0), "");
    EXPECT_EQ(dlg.Memo1->Lines()->Get(1), "Reqested Info is not available.");
  }
}

TEST(TextFileViewer, EmailButtonSitsInTheMiddleAndMailsTheText) {
  test::TTempDir dir;
  TSupportAddress support("help@example.com");
  TViewTextFileDlg dlg(nullptr, dir.Write("a.log", "error 1\r\n"), "Log");
  EXPECT_EQ(dlg.btnEmail->Caption(), "&Email to  help@example.com");
  dlg.btnEmail->SetVisible(true);
  TShellLog shell;
  TSystemServicesScope services(shell.Services());
  bool printAsked = false;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    if (r.Kind == TModalKind::mkPrintDialog) {
      printAsked = true;
      return IDCANCEL;
    }
    const int cw = dlg.ClientWidth();
    EXPECT_EQ(dlg.btnEmail->Left(), (cw - dlg.btnEmail->Width()) / 2);
    const int a = (cw - (dlg.btnEmail->Width() + dlg.PrintBtn->Width() + dlg.CancelBtn->Width() + 35)) / 2;
    EXPECT_EQ(dlg.PrintBtn->Left(), a);
    dlg.btnEmail->Click();
    dlg.PrintBtn->Click();  // cancelled print dialog: nothing printed, no warning
    return mrCancel;
  });
  dlg.ShowModal();
  EXPECT_TRUE(printAsked);
  ASSERT_EQ(shell.Files.size(), 1u);
  EXPECT_EQ(shell.Files[0].rfind("mailto:help@example.com?subject=Morvane%20Log%20File&body=error%201", 0), 0u)
      << shell.Files[0];
}

TEST(AboutBox, ShowsVersionStatusAndLinksCentredRightOfTheIcon) {
  TSupportAddress support("help@example.com");
  const std::string savedUrl = ProductURL;
  ProductURL = "http://www.example.com/morvane";
  auto box = std::make_unique<TAboutBox>(nullptr);
  ProductURL = savedUrl;
  box->SetCaption("About Morvane");
  EXPECT_EQ(box->ProductWEB->Caption(), "http://www.example.com/morvane");
  EXPECT_EQ(box->lblsupport->Caption(), "help@example.com");
  EXPECT_TRUE(box->lblsupport->Visible());
  std::string internet, network;
  GetInternetConnectionState(internet);
  GetNetworkState(network);
  if (internet != "on-line" && internet != "off-line") internet.clear();
  EXPECT_EQ(box->lblInternetStatus->Caption(), internet);
  EXPECT_EQ(box->LblNetworkStatus->Caption(), network);

  TShellLog shell;
  TSystemServicesScope services(shell.Services());
  std::vector<std::string> boxes;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    if (r.Kind != TModalKind::mkForm) {
      boxes.push_back(r.Caption + "|" + r.Text);
      return IDOK;
    }
    const int L = box->ProgramIcon->Left() + box->ProgramIcon->Width();
    const int W = box->ClientWidth() - L;
    EXPECT_EQ(box->lblCopyright->Left(), L + (W - box->lblCopyright->Width()) / 2);
    EXPECT_EQ(box->lblVersion->Left(), box->lblVersionText->Left() + box->lblVersionText->Width());
    EXPECT_EQ(box->Bevel1->Left(), L + 10);
    EXPECT_EQ(box->Bevel1->Width(), W - 20);
    EXPECT_EQ(box->Bevel2->Width(), W - 60);
    test::SnapWindow(box->Handle(), "about-box");
    box->ProductWEB->OnClick(box->ProductWEB);
    box->lblsupport->OnClick(box->lblsupport);
    return mrOk;
  });
  EXPECT_EQ(box->ShowModal(), mrOk);
  ASSERT_EQ(shell.Files.size(), 2u);
  EXPECT_EQ(shell.Files[0], "http://www.example.com/morvane");
  EXPECT_EQ(shell.Files[1].rfind("mailto:help@example.com?subject=Re%3A%20Morvane", 0), 0u) << shell.Files[1];

  TSupportAddress none("");
  TAboutBox bare(nullptr);
  EXPECT_FALSE(bare.lblsupport->Visible());
  EXPECT_FALSE(bare.lblSupportDesc->Visible());
}

TEST(AboutBox, SystemInfoComesFromTheRegistryOrIsReportedMissing) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Shared Tools\\MSINFO", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  struct Close {
    HKEY k;
    ~Close() {
      RegDeleteValueA(k, "PATH");
      RegCloseKey(k);
    }
  } closer{key};
  auto setPath = [&](const std::string& v) {
    RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>(v.size() + 1));
  };
  setPath("C:\\Tools\\msinfo32.exe");
  EXPECT_EQ(TAboutBox::SystemInfoProgram(), "C:\\Tools\\msinfo32.exe");
  setPath("C:\\Tools\\MSInfo");
  EXPECT_EQ(TAboutBox::SystemInfoProgram(), "C:\\Tools\\MSInfo\\MSINFO32.EXE");

  TAboutBox box(nullptr);
  TShellLog shell;
  shell.Result = 2;  // not found
  TSystemServicesScope services(shell.Services());
  std::vector<std::string> boxes;
  TModalResponderScope scope([&](TModalRequest& r) -> int {
    boxes.push_back(r.Caption + "|" + r.Text);
    return IDOK;
  });
  box.btnSystemInfoClick(nullptr);
  ASSERT_EQ(shell.Files.size(), 1u);
  EXPECT_EQ(shell.Files[0], "C:\\Tools\\MSInfo\\MSINFO32.EXE");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Information|System Information Is Not Available At This Time");
}

TEST(Splash, FadesOutInSeventeenStepsOnlyAfterTheCloseRequest) {
  auto* splash = new TSplash(nullptr);
  bool destroyed = false;
  splash->OnDestroy = [&](TObject*) { destroyed = true; };
  EXPECT_EQ(splash->ClientWidth(), 428);
  EXPECT_EQ(splash->ClientHeight(), 217);
  EXPECT_TRUE(splash->AlphaBlend());
  EXPECT_EQ(splash->AlphaBlendValue(), 255);
  EXPECT_EQ(splash->lblCompanyName->Caption().rfind("by ", 0), 0u);
  splash->lblStatus->SetCaption("Reading settings...");
  splash->Show();
  splash->Update();
  test::SnapWindow(splash->Handle(), "splash");

  // Without the request the once-a-second timer starts nothing.
  splash->Timer1Timer(nullptr);
  EXPECT_FALSE(splash->Timer2->Enabled());
  splash->CloseRequested = true;
  splash->Timer1Timer(nullptr);
  EXPECT_TRUE(splash->Timer2->Enabled());
  splash->Timer2->SetEnabled(false);  // the steps are counted by hand below
  int steps = 0;
  while (!destroyed && steps < 40) {
    splash->Timer2Timer(nullptr);
    ++steps;
    if (splash->AlphaBlendValue() == 0) break;
  }
  EXPECT_EQ(steps, 17);
  EXPECT_EQ(splash->AlphaBlendValue(), 0);
  EXPECT_FALSE(splash->Timer2->Enabled());
  // It frees itself once its queued messages are handled.
  for (int i = 0; i < 50 && !destroyed; ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace morvane
