#include "platform/core/variant.h"

#include <cmath>
#include <limits>

#include "platform/core/sysutils.h"

namespace morvane {

namespace {

const char* KindName(TVarKind k) {
  switch (k) {
    case TVarKind::Empty: return "Empty";
    case TVarKind::Null: return "Null";
    case TVarKind::Integer: return "Integer";
    case TVarKind::Double: return "Double";
    case TVarKind::Boolean: return "Boolean";
    case TVarKind::Currency: return "Currency";
    case TVarKind::String: return "String";
  }
  return "?";
}

std::string Narrow(const std::wstring& s) {
  std::string out;
  out.reserve(s.size());
  for (wchar_t c : s) {
    // Numbers are ASCII: anything else cannot be one.
    if (c >= 0x80) return std::string();
    out.push_back(static_cast<char>(c));
  }
  return out;
}

}  // namespace

TVariant TVariant::FromCurrency(Currency Units) {
  TVariant v;
  v.kind_ = TVarKind::Currency;
  v.i_ = Units;
  return v;
}

TVariant TVariant::Null() {
  TVariant v;
  v.kind_ = TVarKind::Null;
  return v;
}

void TVariant::Clear() { *this = TVariant(); }

void TVariant::CannotConvert(const char* To) const {
  throw EVariantError(std::string("Could not convert variant of type (") + KindName(kind_) + ") into type (" + To +
                      ")");
}

double TVariant::AsDouble() const {
  switch (kind_) {
    case TVarKind::Integer: return static_cast<double>(i_);
    case TVarKind::Double: return d_;
    case TVarKind::Boolean: return i_ ? -1.0 : 0.0;
    case TVarKind::Currency: return CurrencyToDouble(i_);
    case TVarKind::String: {
      double d = 0;
      const std::string s = Narrow(s_);
      if (!s.empty() && TextToFloat(s, d)) return d;
      CannotConvert("Double");
    }
    default: CannotConvert("Double");
  }
}

int32_t TVariant::AsInteger() const {
  switch (kind_) {
    case TVarKind::Integer:
      if (i_ >= std::numeric_limits<int32_t>::min() && i_ <= std::numeric_limits<int32_t>::max())
        return static_cast<int32_t>(i_);
      CannotConvert("Integer");
    case TVarKind::Boolean: return i_ ? -1 : 0;
    case TVarKind::String: {
      int n = 0;
      if (TryStrToInt(Narrow(s_), n)) return n;
      break;  // maybe a decimal number: rounded below
    }
    case TVarKind::Double:
    case TVarKind::Currency: break;
    default: CannotConvert("Integer");
  }
  const double d = std::nearbyint(AsDouble());
  if (!std::isfinite(d) || d < std::numeric_limits<int32_t>::min() || d > std::numeric_limits<int32_t>::max())
    CannotConvert("Integer");
  return static_cast<int32_t>(d);
}

bool TVariant::AsBoolean() const {
  switch (kind_) {
    case TVarKind::Integer:
    case TVarKind::Boolean:
    case TVarKind::Currency: return i_ != 0;
    case TVarKind::Double: return d_ != 0;
    case TVarKind::String: {
      bool b = false;
      if (TryStrToBool(Narrow(s_), b)) return b;
      CannotConvert("Boolean");
    }
    default: CannotConvert("Boolean");
  }
}

Currency TVariant::AsCurrency() const {
  switch (kind_) {
    case TVarKind::Currency: return i_;
    case TVarKind::Integer: return i_ * CurrencyScale;
    case TVarKind::Boolean: return i_ ? -CurrencyScale : 0;
    default: break;
  }
  const double d = AsDouble();
  // Beyond the 64-bit range of units the amount has no currency value.
  if (!std::isfinite(d) || std::fabs(d) >= 922337203685477.0) CannotConvert("Currency");
  return DoubleToCurrency(d);
}

std::wstring TVariant::AsString() const {
  switch (kind_) {
    case TVarKind::String: return s_;
    case TVarKind::Integer: return std::to_wstring(i_);
    case TVarKind::Boolean: return i_ ? L"True" : L"False";
    case TVarKind::Empty: return std::wstring();
    case TVarKind::Null: CannotConvert("String");
    default: break;
  }
  const std::string s = FloatToStr(kind_ == TVarKind::Currency ? CurrencyToDouble(i_) : d_);
  return std::wstring(s.begin(), s.end());
}

bool TVariant::operator==(const TVariant& o) const {
  return kind_ == o.kind_ && i_ == o.i_ && d_ == o.d_ && s_ == o.s_;
}

}  // namespace morvane
