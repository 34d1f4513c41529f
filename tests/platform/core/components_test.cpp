#include "platform/core/components.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/exceptions.h"

namespace morvane {
namespace {

std::vector<std::string>* gLog = nullptr;

class TLogged : public TComponent {
 public:
  TLogged(TComponent* owner, std::string name) : TComponent(owner) { SetName(name); }
  ~TLogged() override { if (gLog) gLog->push_back("free " + Name()); }
  TComponent* watched = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == watched) {
      watched = nullptr;
      if (gLog) gLog->push_back(Name() + " forgets " + c->Name());
    }
  }
  void Loaded() override { if (gLog) gLog->push_back("loaded " + Name()); }
};

TEST(Components, OwnerFreesOwnedLastFirst) {
  std::vector<std::string> log;
  gLog = &log;
  auto* root = new TLogged(nullptr, "root");
  new TLogged(root, "a");
  auto* b = new TLogged(root, "b");
  new TLogged(b, "b1");
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(root->FindComponent("B"), b);
  delete root;
  gLog = nullptr;
  // A derived destructor body runs first, then the owned components go.
  EXPECT_EQ(log, (std::vector<std::string>{"free root", "free b", "free b1", "free a"}));
}

TEST(Components, DestroyComponentsFreesOwnedWhileTheOwnerIsWhole) {
  std::vector<std::string> log;
  gLog = &log;
  struct TForm : TLogged {
    TForm() : TLogged(nullptr, "form") {}
    ~TForm() override { DestroyComponents(); }
  };
  {
    TForm form;
    auto* child = new TLogged(&form, "child");
    form.watched = child;
  }
  gLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"free child", "form forgets child", "free form"}));
}

TEST(Components, FreeingAnOwnedComponentRemovesItFromItsOwner) {
  TLogged root(nullptr, "root");
  auto* a = new TLogged(&root, "a");
  delete a;
  EXPECT_EQ(root.ComponentCount(), 0);
  EXPECT_EQ(root.FindComponent("a"), nullptr);
}

TEST(Components, FreeNotificationReachesAnUnrelatedComponent) {
  std::vector<std::string> log;
  gLog = &log;
  TLogged viewer(nullptr, "viewer");
  auto* list = new TLogged(nullptr, "list");
  viewer.watched = list;
  list->FreeNotification(&viewer);
  delete list;
  EXPECT_EQ(viewer.watched, nullptr);
  // After RemoveFreeNotification nothing arrives.
  auto* other = new TLogged(nullptr, "other");
  viewer.watched = other;
  other->FreeNotification(&viewer);
  other->RemoveFreeNotification(&viewer);
  delete other;
  EXPECT_EQ(viewer.watched, other);
  viewer.watched = nullptr;
  gLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"free list", "viewer forgets list", "free other"}));
}

TEST(Components, LoadingAndDestroyingStates) {
  std::vector<std::string> log;
  gLog = &log;
  {
    TLogged form(nullptr, "form");
    auto* edit = new TLogged(&form, "edit");
    form.BeginLoading();
    EXPECT_TRUE(edit->HasState(csLoading));
    form.EndLoading();
    EXPECT_FALSE(form.HasState(csLoading));
    form.Destroying();
    EXPECT_TRUE(edit->HasState(csDestroying));
  }
  gLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"loaded edit", "loaded form", "free form", "free edit"}));
}

TEST(Components, DuplicateNameUnderOneOwnerIsRejected) {
  TComponent owner(nullptr);
  TComponent a(&owner);
  a.SetName("Edit1");
  TComponent b(&owner);
  EXPECT_THROW(b.SetName("edit1"), EComponentError);
  // Stack objects leave their owner as they go; the owner must not free them.
  owner.RemoveComponent(&a);
  owner.RemoveComponent(&b);
}

TEST(Components, AssignWithoutSupportRaises) {
  TPersistent a, b;
  EXPECT_THROW(a.Assign(&b), EAssignError);
}

}  // namespace
}  // namespace morvane
