// String splitting shared by the stores. Pure: standard library only, so the
// format codecs can use it in their native fuzz builds too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// The pieces of Text between occurrences of Separator, in order.
//  - An empty Text gives no pieces.
//  - A separator at the very end gives no empty last piece; two separators in
//    a row give an empty piece between them.
//  - With Sorted, the pieces come back in ascending order compared without
//    regard to the case of a-z, equal pieces once, and empty pieces dropped.
//  - An empty Separator gives the whole Text as one piece.
std::vector<std::string> SplitString(std::string_view Text, std::string_view Separator, bool Sorted);

}  // namespace morvane
