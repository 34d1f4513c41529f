#include "platform/core/events.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

struct TMsg {
  int Msg = 0;
  std::string trail;
};

struct TBase {
  virtual ~TBase() = default;
  void Plain(TMsg& m) { m.trail += "plain;"; }
  virtual void Virt(TMsg& m) { m.trail += "base virt;"; }
  void Other(TMsg& m) { m.trail += "other;"; }
  void Peek(TMsg& m) const { m.trail += "peek;"; }
};

struct TDerived : TBase {
  void Virt(TMsg& m) override { m.trail += "derived virt;"; }
  void Own(TMsg& m) { m.trail += "own;"; }
};

void FreeProc(TMsg& m) { m.trail += "free;"; }
void OtherFreeProc(TMsg& m) { m.trail += "other free;"; }

using TWndMethod = TDelegate<void(TMsg&)>;

TEST(Delegate, EqualityByObjectAndMethod) {
  TBase a, b;
  TDerived d;
  struct {
    const char* name;
    TWndMethod x, y;
    bool equal;
  } cases[] = {
      {"same object, same method", {&a, &TBase::Plain}, {&a, &TBase::Plain}, true},
      {"other object", {&a, &TBase::Plain}, {&b, &TBase::Plain}, false},
      {"other method", {&a, &TBase::Plain}, {&a, &TBase::Other}, false},
      {"virtual, same", {&a, &TBase::Virt}, {&a, &TBase::Virt}, true},
      {"virtual vs plain", {&a, &TBase::Virt}, {&a, &TBase::Plain}, false},
      {"derived object as its base", {&d, &TBase::Plain}, {static_cast<TBase*>(&d), &TBase::Plain}, true},
      {"derived's own method", {&d, &TDerived::Own}, {&d, &TDerived::Own}, true},
      {"const method", {&a, &TBase::Peek}, {&a, &TBase::Peek}, true},
      {"const vs other", {&a, &TBase::Peek}, {&a, &TBase::Plain}, false},
      {"plain function", {&FreeProc}, {&FreeProc}, true},
      {"other plain function", {&FreeProc}, {&OtherFreeProc}, false},
      {"empty", {}, {nullptr}, true},
      {"empty vs bound", {}, {&a, &TBase::Plain}, false},
      {"null object is empty", {static_cast<TBase*>(nullptr), &TBase::Plain}, {}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.x == c.y, c.equal) << c.name;
    EXPECT_EQ(c.x != c.y, !c.equal) << c.name;
  }
}

TEST(Delegate, CallsThroughTheObject) {
  TDerived d;
  TMsg m;
  TWndMethod virt(static_cast<TBase*>(&d), &TBase::Virt);
  TWndMethod own(&d, &TDerived::Own);
  TWndMethod peek(&d, &TBase::Peek);
  TWndMethod free(&FreeProc);
  virt(m);
  own(m);
  peek(m);
  free(m);
  EXPECT_EQ(m.trail, "derived virt;own;peek;free;");
  EXPECT_EQ(own.Object(), &d);
  EXPECT_EQ(free.Object(), nullptr);
  EXPECT_TRUE(own);
  EXPECT_FALSE(TWndMethod());
  TWndMethod()(m);  // empty: skipped
  EXPECT_EQ(m.trail, "derived virt;own;peek;free;");
  EXPECT_EQ((TDelegate<int(int, int)>()(2, 3)), 0);

  // Restoring a saved method gives back an equal one, as a hook chain does.
  TWndMethod saved = own;
  TWndMethod current = virt;
  current = saved;
  EXPECT_TRUE(current == own);

  TDelegate<int(int, int)> sum(+[](int x, int y) { return x + y; });
  EXPECT_EQ(sum(2, 3), 5);
}

}  // namespace
}  // namespace morvane
