#include "platform/core/variant.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace morvane {
namespace {

// Every kind into every kind a caller asks for: the value, or the variant
// error that lets the caller fall back to another source.
TEST(Variant, ConvertsBetweenKindsOrRaisesItsOwnError) {
  struct TCase {
    const char* name;
    TVariant v;
    std::function<void(const TVariant&)> check;
  };
  auto fails = [](std::function<void()> f) {
    EXPECT_THROW(f(), EVariantError);
  };
  const TCase cases[] = {
      {"empty is no value",
       TVariant(),
       [&](const TVariant& v) {
         EXPECT_TRUE(v.IsEmpty());
         fails([&] { v.AsInteger(); });
         fails([&] { v.AsDouble(); });
         fails([&] { v.AsBoolean(); });
         fails([&] { v.AsCurrency(); });
         EXPECT_EQ(v.AsString(), L"");
       }},
      {"null is no value, not even a text", TVariant::Null(),
       [&](const TVariant& v) {
         EXPECT_FALSE(v.IsEmpty());
         fails([&] { v.AsInteger(); });
         fails([&] { v.AsString(); });
       }},
      {"integer", TVariant(-42),
       [&](const TVariant& v) {
         EXPECT_EQ(v.AsInteger(), -42);
         EXPECT_DOUBLE_EQ(v.AsDouble(), -42.0);
         EXPECT_TRUE(v.AsBoolean());
         EXPECT_EQ(v.AsCurrency(), -420000);
         EXPECT_EQ(v.AsString(), L"-42");
       }},
      {"double rounds halves to even", TVariant(2.5),
       [&](const TVariant& v) {
         EXPECT_EQ(v.AsInteger(), 2);
         EXPECT_EQ(TVariant(3.5).AsInteger(), 4);
         EXPECT_EQ(TVariant(-0.6).AsInteger(), -1);
         EXPECT_EQ(v.AsCurrency(), 25000);
         EXPECT_FALSE(TVariant(0.0).AsBoolean());
       }},
      {"a double outside the integer range", TVariant(3e10),
       [&](const TVariant& v) {
         fails([&] { v.AsInteger(); });
         fails([&] { TVariant(1e300).AsCurrency(); });
       }},
      {"Boolean True is -1", TVariant(true),
       [&](const TVariant& v) {
         EXPECT_EQ(v.AsInteger(), -1);
         EXPECT_DOUBLE_EQ(v.AsDouble(), -1.0);
         EXPECT_EQ(v.AsString(), L"True");
         EXPECT_EQ(TVariant(false).AsInteger(), 0);
       }},
      {"currency in ten-thousandths", TVariant::FromCurrency(12345),
       [&](const TVariant& v) {
         EXPECT_DOUBLE_EQ(v.AsDouble(), 1.2345);
         EXPECT_EQ(v.AsInteger(), 1);
         EXPECT_EQ(v.AsCurrency(), 12345);
       }},
      {"texts that are numbers", TVariant(L"  17"),
       [&](const TVariant& v) {
         EXPECT_EQ(v.AsInteger(), 17);
         EXPECT_DOUBLE_EQ(TVariant(L"1.5").AsDouble(), 1.5);
         EXPECT_EQ(TVariant(L"1.5").AsInteger(), 2);
         EXPECT_TRUE(TVariant(L"true").AsBoolean());
         EXPECT_FALSE(TVariant(L"0").AsBoolean());
       }},
      {"texts that are not", TVariant(L"abc"),
       [&](const TVariant& v) {
         fails([&] { v.AsInteger(); });
         fails([&] { v.AsDouble(); });
         fails([&] { v.AsBoolean(); });
         fails([&] { v.AsCurrency(); });
         fails([&] { TVariant(L"").AsInteger(); });
         fails([&] { TVariant(L"\u00BD").AsDouble(); });
         EXPECT_EQ(v.AsString(), L"abc");
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    c.check(c.v);
  }
  TVariant v(5);
  v.Clear();
  EXPECT_TRUE(v.IsEmpty());
  EXPECT_TRUE(TVariant(L"x") == TVariant(std::wstring(L"x")));
  EXPECT_FALSE(TVariant(1) == TVariant(true));
}

}  // namespace
}  // namespace morvane
