// Modal seams: forms, message boxes and the watchdog; timers and deferred release.
// ctest: desktop
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/modal.h"
#include "platform/ui/timers.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class Modal : public UiTest {};

TEST_F(Modal, AModalFormIsWorkedAndAnsweredByTheResponder) {
  TForm form(nullptr);
  form.SetName("AskForm");
  form.SetCaption("Question");
  bool queried = false;
  form.OnCloseQuery = [&](TObject*, bool& can) { queried = true; can = true; };
  script_.Expect(TModalKind::mkForm, "AskForm", [&](TModalRequest& r) {
    EXPECT_EQ(&form, r.Form);
    EXPECT_EQ("Question", r.Caption);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(form.Modal());
    form.SetModalResult(mrYes);  // as a button of the form would
    return mrNone;
  });
  EXPECT_EQ(mrYes, form.ShowModal());
  EXPECT_TRUE(queried);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Modal());
  // A visible form cannot be made modal.
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST_F(Modal, MessageBoxesAreAnsweredWithTheirTextAndButtons) {
  UINT flags = 0;
  script_.Expect(TModalKind::mkMessageBox, "Delete 3 cookies?", [&](TModalRequest& r) {
    flags = r.Flags;
    EXPECT_EQ("Confirm", r.Caption);
    return IDYES;
  });
  EXPECT_EQ(mrYes, MessageDlg("Delete 3 cookies?", TMsgDlgType::mtConfirmation, mbYesNo));
  EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), flags);
  script_.Expect(TModalKind::mkMessageBox, "Done", IDOK);
  ShowMessage("Done");
}

TEST_F(Modal, AnUnexpectedModalFailsFastInsteadOfWaiting) {
  TScriptedResponder inner;
  std::string reported;
  inner.OnUnexpected = [&](const std::string& w) { reported = w; };
  TModalResponderScope scope(inner.AsResponder());
  TForm form(nullptr);
  form.SetName("Surprise");
  EXPECT_EQ(mrCancel, form.ShowModal());
  EXPECT_NE(std::string::npos, reported.find("Surprise"));
  EXPECT_EQ(IDCANCEL, MessageBox("Really quit?", "Morvane", MB_YESNOCANCEL));
  EXPECT_NE(std::string::npos, reported.find("Really quit?"));
}

TEST_F(Modal, TheWatchdogClosesASystemDialogNobodyAnswers) {
  std::string stuck;
  TModalWatchdog dog([&](const std::string& w) { stuck = w; }, 300);
  TModalResponderScope real(nullptr);  // the system's own message box
  auto t0 = std::chrono::steady_clock::now();
  MessageBox(nullptr, "Nobody reads this", "Forgotten", MB_OK);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 5000);
  EXPECT_NE(std::string::npos, stuck.find("Forgotten")) << stuck;
  EXPECT_NE(std::string::npos, stuck.find("Nobody reads this")) << stuck;
}

TEST_F(Modal, TheWatchdogEndsAMenuLoopNobodyEnds) {
  std::string stuck;
  TModalWatchdog dog([&](const std::string& w) { stuck = w; }, 300);
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 120);
  form.Show();
  // A right click on the caption: the system's own window menu, outside any seam.
  RECT wr{};
  GetWindowRect(form.Handle(), &wr);
  auto t0 = std::chrono::steady_clock::now();
  SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form.Handle()), MAKELPARAM(wr.left + 60, wr.top + 8));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 5000);
  EXPECT_EQ("menu left open", stuck);
}

TEST_F(Modal, CommonDialogsAndTheInputBoxTakeTheirAnswers) {
  TSaveDialog save(nullptr);
  save.SetName("SaveDialog1");
  save.Title = "Save cookies as";
  save.Filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
  script_.Expect(TModalKind::mkSaveDialog, "Save cookies as", [](TModalRequest& r) {
    EXPECT_EQ("SaveDialog1", r.Identity);
    *r.Value = "C:\\out\\cookies.txt";
    return IDOK;
  });
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ("C:\\out\\cookies.txt", save.FileName);
  script_.Expect(TModalKind::mkSaveDialog, "", IDCANCEL);
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ("C:\\out\\cookies.txt", save.FileName) << "a cancel keeps the name";

  script_.Expect(TModalKind::mkInputBox, "Domain", [](TModalRequest& r) {
    EXPECT_EQ("example.com", *r.Value);
    *r.Value = "example.org";
    return IDOK;
  });
  EXPECT_EQ("example.org", InputBox("New cookie", "Domain:", "example.com"));
  script_.Expect(TModalKind::mkInputBox, "", IDCANCEL);
  EXPECT_EQ("example.com", InputBox("New cookie", "Domain:", "example.com"));

  std::string folder = "C:\\users";
  script_.Expect(TModalKind::mkSelectDirectory, "Select Folder", [](TModalRequest& r) {
    EXPECT_EQ("C:\\users", *r.Value) << "the folder to start in";
    *r.Value = "C:\\users\\root";
    return IDOK;
  });
  ASSERT_TRUE(SelectDirectory("Select Folder", "", folder));
  EXPECT_EQ("C:\\users\\root", folder);
}

TEST_F(Modal, TheInputBoxsOwnFormWhenShownForReal) {
  script_.Expect(TModalKind::mkInputBox, "Domain", mrShowReal);
  script_.Expect(TModalKind::mkForm, "New cookie", [](TModalRequest& r) {
    TEdit* edit = nullptr;
    TButton* ok = nullptr;
    for (int i = 0; i < r.Form->ComponentCount(); ++i) {
      if (auto* e = dynamic_cast<TEdit*>(r.Form->Components(i))) edit = e;
      if (auto* b = dynamic_cast<TButton*>(r.Form->Components(i)); b && b->Default()) ok = b;
    }
    EXPECT_TRUE(edit && ok);
    if (!edit || !ok) return mrCancel;
    EXPECT_EQ("example.com", edit->Text());
    edit->SetText("example.net");
    SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
    return mrNone;
  });
  EXPECT_EQ("example.net", InputBox("New cookie", "Domain:", "example.com"));
}

TEST_F(Modal, ReleaseFreesTheFormAfterItsPendingMessages) {
  bool destroyed = false;
  auto* f = new TForm(nullptr);
  f->OnDestroy = [&](TObject*) { destroyed = true; };
  f->Show();
  f->Release();
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
}

TEST_F(Modal, ATimerCanStopOrFreeItselfFromItsOwnTick) {
  int ticks = 0;
  TTimer stopper(nullptr);
  stopper.SetInterval(5);
  stopper.OnTimer = [&](TObject*) {
    ++ticks;
    stopper.SetEnabled(false);
  };
  bool freed = false;
  auto* self = new TTimer(nullptr);
  self->SetInterval(5);
  self->OnTimer = [&, self](TObject*) {
    delete self;
    freed = true;
  };
  ASSERT_TRUE(PumpUntil([&] { return freed && ticks > 0; }));
  Pump(60);
  EXPECT_EQ(1, ticks);
  TTimer never(nullptr);
  never.SetInterval(0);
  bool fired = false;
  never.OnTimer = [&](TObject*) { fired = true; };
  Pump(30);
  EXPECT_FALSE(fired);
}

// The timers of a thread share its hidden window: each must still get only
// its own ticks, a tick left queued by a freed timer must reach no other,
// and a timer started on another thread ticks there.
TEST_F(Modal, TimersTickApartEachOnTheThreadThatStartedIt) {
  int fast = 0, slow = 0;
  TTimer a(nullptr), b(nullptr);
  a.SetInterval(5);
  b.SetInterval(60000);
  a.OnTimer = [&](TObject*) { ++fast; };
  b.OnTimer = [&](TObject*) { ++slow; };
  ASSERT_TRUE(PumpUntil([&] { return fast >= 3; }));
  EXPECT_EQ(0, slow);
  a.SetEnabled(false);

  auto* gone = new TTimer(nullptr);
  gone->SetInterval(1);
  bool goneFired = false;
  gone->OnTimer = [&](TObject*) { goneFired = true; };
  Sleep(30);  // its tick is due, not yet handled
  delete gone;
  int heir = 0;
  TTimer next(nullptr);
  next.SetInterval(60000);
  next.OnTimer = [&](TObject*) { ++heir; };
  Pump(50);
  EXPECT_FALSE(goneFired);
  EXPECT_EQ(0, heir);

  DWORD tickThread = 0, worker = 0;
  std::thread t([&] {
    worker = GetCurrentThreadId();
    TTimer own(nullptr);
    own.SetInterval(5);
    own.OnTimer = [&](TObject*) { tickThread = GetCurrentThreadId(); };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    MSG msg;
    while (!tickThread && std::chrono::steady_clock::now() < end) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  });
  t.join();
  EXPECT_NE(0u, worker);
  EXPECT_EQ(worker, tickThread);
}

}  // namespace
}  // namespace morvane::test
