// Window-procedure hooks: order of the chain, swallowing, restoring the
// control's procedure, design-time activation and hooks that change the
// chain while it runs.
#include "controls/elhook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/forms.h"

namespace morvane {
namespace {

constexpr UINT kProbe = WM_USER + 7;

class TTarget : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<std::string>* log = nullptr;
  void Dispatch(TMessage& m) override {
    if ((m.Msg == kProbe || m.Msg == WM_QUIT) && log) {
      log->push_back("control");
      m.Result = 42;
      return;
    }
    TWinControl::Dispatch(m);
  }
};

struct TFixture {
  TForm form{nullptr};
  TTarget* target = new TTarget(&form);
  std::vector<std::string> log;
  TFixture() { target->log = &log; }
  TElHook* Hook(const std::string& name, bool swallowBefore = false, bool stopAfter = false) {
    auto* h = new TElHook(&form);
    h->OnBeforeProcess = [this, name, swallowBefore](TObject*, TMessage& m, bool& handled) {
      if (m.Msg != kProbe && m.Msg != WM_QUIT) return;
      log.push_back(name + ".before");
      if (swallowBefore) {
        handled = true;
        m.Result = 7;
      }
    };
    h->OnAfterProcess = [this, name, stopAfter](TObject*, TMessage& m, bool& handled) {
      if (m.Msg != kProbe && m.Msg != WM_QUIT) return;
      log.push_back(name + ".after");
      if (stopAfter) handled = true;
    };
    h->SetControl(target);
    return h;
  }
};

TEST(ElHook, ChainOrderSwallowingAndRestore) {
  TFixture f;
  const TWndMethod original = f.target->WindowProc();
  TElHook* first = f.Hook("first");
  TElHook* second = f.Hook("second");
  EXPECT_TRUE(f.target->WindowProc() == original) << "inactive hooks change nothing";
  first->SetActive(true);
  second->SetActive(true);
  EXPECT_FALSE(f.target->WindowProc() == original);
  EXPECT_EQ(f.target->Perform(kProbe), 42);
  EXPECT_EQ(f.log, (std::vector<std::string>{"second.before", "first.before", "control", "second.after",
                                             "first.after"}));

  // A swallowing before-handler skips the ones behind it and the control;
  // the after-handlers still run.
  f.log.clear();
  second->OnBeforeProcess = [&](TObject*, TMessage& m, bool& handled) {
    if (m.Msg != kProbe) return;
    f.log.push_back("second.before");
    handled = true;
    m.Result = 7;
  };
  EXPECT_EQ(f.target->Perform(kProbe), 7);
  EXPECT_EQ(f.log, (std::vector<std::string>{"second.before", "second.after", "first.after"}));

  // WM_QUIT goes to the control without before-handlers.
  f.log.clear();
  f.target->Perform(WM_QUIT);
  EXPECT_EQ(f.log, (std::vector<std::string>{"control", "second.after", "first.after"}));

  second->SetActive(false);
  first->SetActive(false);
  EXPECT_TRUE(f.target->WindowProc() == original) << "the last hook gives the procedure back";
  f.log.clear();
  f.target->Perform(kProbe);
  EXPECT_EQ(f.log, (std::vector<std::string>{"control"}));
  first->SetActive(true);
  EXPECT_FALSE(f.target->WindowProc() == original);
  first->SetActive(false);
}

TEST(ElHook, HandlersThatChangeTheChainWhileItRuns) {
  TFixture f;
  const TWndMethod original = f.target->WindowProc();
  TElHook* first = f.Hook("first");
  TElHook* second = f.Hook("second");
  first->SetActive(true);
  second->SetActive(true);
  // The newest hook switches both off from its before-handler: the chain
  // comes off the control mid-message, yet the control still gets it once
  // and the hooks that left are not called.
  second->OnBeforeProcess = [&](TObject*, TMessage& m, bool&) {
    if (m.Msg != kProbe) return;
    f.log.push_back("second.before");
    second->SetActive(false);
    first->SetActive(false);
  };
  EXPECT_EQ(f.target->Perform(kProbe), 42);
  EXPECT_EQ(f.log, (std::vector<std::string>{"second.before", "control"}));
  EXPECT_TRUE(f.target->WindowProc() == original);
}

TEST(ElHook, ControlChangesAndDesignTime) {
  TFixture f;
  auto* hook = new TElHook(&f.form);
  // Active without a control is remembered and applies once one is set.
  hook->SetActive(true);
  EXPECT_TRUE(hook->Active());
  const TWndMethod original = f.target->WindowProc();
  hook->SetControl(f.target);
  EXPECT_FALSE(f.target->WindowProc() == original);
  auto* other = new TTarget(&f.form);
  const TWndMethod otherOriginal = other->WindowProc();
  hook->SetControl(other);
  EXPECT_TRUE(f.target->WindowProc() == original);
  EXPECT_FALSE(other->WindowProc() == otherOriginal);
  // Freeing the hooked control deactivates the hook first, and its chain
  // forgets the control.
  delete other;
  EXPECT_EQ(hook->Control(), nullptr);
  EXPECT_FALSE(hook->Active());
  int forgotten = 0;
  for (int i = 0; i < ElHookList()->Chains().Count(); ++i)
    forgotten += static_cast<TCtlHook*>(static_cast<TObject*>(ElHookList()->Chains().Get(i)))->Control() == nullptr;
  EXPECT_EQ(forgotten, 1);
  // ... and it stays off for a control assigned afterwards, as it does when
  // its control is set to nil.
  hook->SetControl(f.target);
  EXPECT_TRUE(f.target->WindowProc() == original);
  hook->SetActive(true);
  EXPECT_FALSE(f.target->WindowProc() == original);
  hook->SetControl(nullptr);
  EXPECT_FALSE(hook->Active());
  EXPECT_TRUE(f.target->WindowProc() == original);

  // While designing only the stored value changes, unless DesignActive.
  auto* designed = new TElHook(&f.form);
  designed->SetDesigning(true);
  designed->SetControl(f.target);
  designed->SetActive(true);
  EXPECT_TRUE(designed->Active());
  EXPECT_TRUE(f.target->WindowProc() == original);
  designed->SetDesignActive(true);
  EXPECT_FALSE(f.target->WindowProc() == original);
  delete designed;
  EXPECT_TRUE(f.target->WindowProc() == original) << "a freed hook leaves the chain";
  delete hook;
  ASSERT_NE(ElHookList(), nullptr);
  EXPECT_EQ(SendMessageA(ElHookList()->UtilityWindow(), WM_QUERYENDSESSION, 0, 0), 1);
}

}  // namespace
}  // namespace morvane
