// The search panel's test of one cell against the search text. A cell
// matches when some run of the cell's characters, as long as the text,
// equals the text: case-sensitively by the user's locale, or else after
// both sides had their letters a to z made upper case (other letters keep
// their case).
#pragma once

#include <string>
#include <string_view>

namespace morvane {

// The rule written out: every start position, one comparison each.
bool CellMatchesAtSomePosition(std::wstring_view Cell, std::wstring_view Text, bool CaseSensitive);

// The same answer for every cell, found by one substring search: the text is
// prepared once, and each cell is upper-cased once. A case-sensitive search
// takes the locale's word only where it can differ from plain equality
// (characters outside printable ASCII); elsewhere equal runs are equal
// characters.
class TCellMatcher {
 public:
  TCellMatcher(std::wstring_view Text, bool CaseSensitive);
  bool Matches(std::wstring_view Cell);

 private:
  std::wstring text_;  // upper-cased a to z unless case-sensitive
  bool caseSensitive_;
  bool textPlain_;     // printable ASCII only
  std::wstring buffer_;
};

// Letters a to z upper case, everything else as it is.
void UpperCaseAZ(std::wstring_view Text, std::wstring& Out);

}  // namespace morvane
