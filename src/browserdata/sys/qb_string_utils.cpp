#include "browserdata/sys/qb_string_utils.h"

#include <algorithm>

namespace morvane {
namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int CompareFolded(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(FoldCase(a[i]));
    unsigned char y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void AddPiece(std::vector<std::string>& list, std::string_view piece, bool sorted) {
  if (!sorted) {
    list.emplace_back(piece);
    return;
  }
  if (piece.empty()) return;
  auto at = std::lower_bound(list.begin(), list.end(), piece,
                             [](const std::string& a, std::string_view b) { return CompareFolded(a, b) < 0; });
  if (at != list.end() && CompareFolded(*at, piece) == 0) return;
  list.emplace(at, piece);
}

}  // namespace

std::vector<std::string> SplitString(std::string_view Text, std::string_view Separator, bool Sorted) {
  std::vector<std::string> list;
  if (Text.empty()) return list;
  if (Separator.empty()) {
    AddPiece(list, Text, Sorted);
    return list;
  }
  size_t start = 0;
  for (;;) {
    size_t at = Text.find(Separator, start);
    if (at == std::string_view::npos) {
      AddPiece(list, Text.substr(start), Sorted);
      break;
    }
    AddPiece(list, Text.substr(start, at - start), Sorted);
    start = at + Separator.size();
    if (start >= Text.size()) break;
  }
  return list;
}

}  // namespace morvane
