#include "app/cell_filter.h"

#include "platform/win32.h"

namespace morvane {

namespace {

bool Plain(std::wstring_view s) {
  for (wchar_t c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

bool LocaleEqual(std::wstring_view a, std::wstring_view b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return CompareStringW(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

wchar_t UpperAZ(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

void UpperCaseAZ(std::wstring_view Text, std::wstring& Out) {
  Out.resize(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) Out[i] = UpperAZ(Text[i]);
}

bool CellMatchesAtSomePosition(std::wstring_view Cell, std::wstring_view Text, bool CaseSensitive) {
  std::wstring upperText;
  if (!CaseSensitive) UpperCaseAZ(Text, upperText);
  std::wstring window;
  bool found = false;
  for (size_t p = 0; p + Text.size() <= Cell.size(); ++p) {
    const std::wstring_view run = Cell.substr(p, Text.size());
    if (CaseSensitive) {
      if (LocaleEqual(run, Text)) found = true;
    } else {
      UpperCaseAZ(run, window);
      if (window == upperText) found = true;
    }
  }
  return found;
}

TCellMatcher::TCellMatcher(std::wstring_view Text, bool CaseSensitive)
    : caseSensitive_(CaseSensitive), textPlain_(Plain(Text)) {
  if (CaseSensitive)
    text_.assign(Text);
  else
    UpperCaseAZ(Text, text_);
}

bool TCellMatcher::Matches(std::wstring_view Cell) {
  if (text_.size() > Cell.size()) return false;
  if (caseSensitive_) {
    if (Cell.find(text_) != std::wstring_view::npos) return true;
    // Equal characters are always equal to the locale too; only where
    // something is not printable ASCII can the locale call a different
    // run equal.
    if (textPlain_ && Plain(Cell)) return false;
    return CellMatchesAtSomePosition(Cell, text_, true);
  }
  UpperCaseAZ(Cell, buffer_);
  return std::wstring_view(buffer_).find(text_) != std::wstring_view::npos;
}

}  // namespace morvane
