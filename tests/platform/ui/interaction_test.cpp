// Threads reporting to the user interface, hints, drag and drop, and the
// replaceable system services.
// ctest: desktop
#include <gtest/gtest.h>

#include "platform/core/threads.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"
#include "platform/ui/stdctrls.h"
#include "ui_fixture.h"

namespace morvane::test {
namespace {

class Interaction : public UiTest {};

class TReporter : public TThread {
 public:
  TReporter(std::function<void(int)> report, int count) : TThread(true), report_(std::move(report)), count_(count) {}

 protected:
  void Execute() override {
    for (int i = 1; i <= count_; ++i) {
      Sleep(5);
      Synchronize([this, i] { report_(i); });
    }
  }

 private:
  std::function<void(int)> report_;
  int count_;
};

TEST_F(Interaction, AThreadReportsThroughSynchronizeWhileTheTestWaits) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  std::vector<DWORD> threads;
  TReporter t([&](int i) {
    threads.push_back(GetCurrentThreadId());
    label->SetCaption("found " + std::to_string(i));
  }, 3);
  t.Start();
  t.WaitFor();
  EXPECT_EQ("found 3", label->Caption());
  ASSERT_EQ(3u, threads.size());
  for (DWORD id : threads) EXPECT_EQ(GetCurrentThreadId(), id);

  // A modal loop serves Synchronize too: the thread closes the form.
  TReporter closer([&](int) { form.SetModalResult(mrOk); }, 1);
  script_.Expect(TModalKind::mkForm, "", [&](TModalRequest&) {
    closer.Start();
    return mrKeepOpen;
  });
  EXPECT_EQ(mrOk, form.ShowModal());
  closer.WaitFor();
}

class THinted : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  bool refuse = false;
  std::string seen;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW) {
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      seen = info->HintStr;
      if (refuse) m.Result = 1;
      else info->HintStr = "row " + std::to_string(info->CursorPos.y / 10);
      return;
    }
    TCustomControl::Dispatch(m);
  }
};

TEST_F(Interaction, HintsAskTheControlAndShowTheShortPart) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* c = new THinted(&form);
  c->SetParent(&form);
  c->SetBounds(10, 10, 100, 100);
  c->SetHint("Cookies|The cookies of this browser");
  c->SetShowHint(true);
  form.Show();
  TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(20, 35), 0};
  Application->HintMouseMessage(c, move);
  EXPECT_EQ("The cookies of this browser", Application->Hint());
  Application->ActivateHint(c->ClientToScreen(POINT{20, 35}));
  EXPECT_EQ("Cookies", c->seen);
  ASSERT_TRUE(Application->HintWindow());
  EXPECT_TRUE(Application->HintWindow()->IsShowing());
  EXPECT_EQ("row 3", Application->HintWindow()->Caption());
  Application->CancelHint();
  EXPECT_FALSE(Application->HintWindow()->IsShowing());
  c->refuse = true;
  Application->HintMouseMessage(c, move);
  Application->ActivateHint(c->ClientToScreen(POINT{20, 35}));
  EXPECT_FALSE(Application->HintWindow()->IsShowing());
}

TEST_F(Interaction, DragFromOneControlToAnother) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* src = new TEdit(&form);
  src->SetParent(&form);
  src->SetBounds(10, 10, 80, 21);
  auto* dst = new TListBox(&form);
  dst->SetParent(&form);
  dst->SetBounds(120, 10, 120, 100);
  std::vector<std::string> log;
  dst->OnDragOver = [&](TObject*, TObject* source, int, int, TDragState st, bool& accept) {
    accept = source == src;
    if (st == TDragState::dsDragEnter) log.push_back("enter");
  };
  dst->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
    log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  };
  src->OnEndDrag = [&](TObject*, TObject* target, int, int) { log.push_back(target == dst ? "end on list" : "end nowhere"); };
  form.Show();
  src->BeginDrag(true);
  EXPECT_TRUE(src->Dragging());
  DragTo(dst->ClientToScreen(POINT{30, 40}));
  DragDone(true);
  EXPECT_FALSE(src->Dragging());
  EXPECT_EQ((std::vector<std::string>{"enter", "drop 30,40", "end on list"}), log);
  log.clear();
  src->BeginDrag(true);
  DragTo(form.ClientToScreen(POINT{5, 150}));
  DragDone(true);
  EXPECT_EQ(std::vector<std::string>{"end nowhere"}, log);
}

TEST_F(Interaction, ShellOpenAndRestartAreReplaceable) {
  std::vector<std::string> opened;
  UINT restart = 0;
  TSystemServices fake;
  fake.ShellExecute = [&](HWND, const std::string& op, const std::string& file, const std::string&, const std::string&, int) {
    opened.push_back(op + " " + file);
    return intptr_t{42};
  };
  fake.ExitWindows = [&](UINT f) {
    restart = f;
    return true;
  };
  {
    TSystemServicesScope scope(fake);
    EXPECT_EQ(42, ShellExecute(nullptr, "open", "http://example.com/"));
    EXPECT_TRUE(ExitWindows(EWX_REBOOT | EWX_FORCE));
  }
  EXPECT_EQ(std::vector<std::string>{"open http://example.com/"}, opened);
  EXPECT_EQ(static_cast<UINT>(EWX_REBOOT | EWX_FORCE), restart);
}

}  // namespace
}  // namespace morvane::test
