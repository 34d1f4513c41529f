// A value of one of a few kinds, handed back by event handlers that supply
// typed data on request (a virtual grid's cell values). It converts between
// its kinds the way the toolkit's variants do; a conversion that has no
// meaning (an empty or null value, a text that is no number) raises
// EVariantError, so that a caller can fall back to another source.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"

namespace morvane {

MORVANE_EXCEPTION(EVariantError, Exception);

enum class TVarKind : uint8_t { Empty, Null, Integer, Double, Boolean, Currency, String };

class TVariant {
 public:
  TVariant() = default;
  TVariant(int v) : kind_(TVarKind::Integer), i_(v) {}
  TVariant(double v) : kind_(TVarKind::Double), d_(v) {}
  TVariant(bool v) : kind_(TVarKind::Boolean), i_(v ? 1 : 0) {}
  TVariant(std::wstring v) : kind_(TVarKind::String), s_(std::move(v)) {}
  TVariant(const wchar_t* v) : TVariant(std::wstring(v ? v : L"")) {}
  // A currency amount in units of 1/10,000.
  static TVariant FromCurrency(Currency Units);
  static TVariant Null();

  TVarKind Kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == TVarKind::Empty; }
  void Clear();

  // Doubles round to the nearest integer (halves to even); True is -1.
  int32_t AsInteger() const;
  double AsDouble() const;
  // Numbers are true when not zero; texts are numbers or "True"/"False".
  bool AsBoolean() const;
  Currency AsCurrency() const;
  std::wstring AsString() const;

  bool operator==(const TVariant& o) const;

 private:
  [[noreturn]] void CannotConvert(const char* To) const;
  TVarKind kind_ = TVarKind::Empty;
  int64_t i_ = 0;  // Integer, Boolean (0 or 1) and Currency units
  double d_ = 0;
  std::wstring s_;
};

}  // namespace morvane
