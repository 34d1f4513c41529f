// The fixed English messages of the toolkit's containers. Every one of them
// reaches the user through the message catalogs (ElResString), so that a
// translation only needs a catalog entry.
#pragma once

#include <string>

namespace morvane {
namespace elres {

inline constexpr const char* SListIndexOutOfBounds = "List index [%d] out of bounds...";
inline constexpr const char* SStackEmpty = "ElStack is empty.";
inline constexpr const char* SStackCapacity = "Invalid ElStack capacity.";
inline constexpr const char* SStringsIndexError = "List index out of bounds (%d)";
inline constexpr const char* SStringsSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SStringsDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SStringsCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SWideStringsReadError = "Error while reading wide strings list";
inline constexpr const char* SInvalidSection = "Invalid section";
inline constexpr const char* SHeaderIndexOutOfBounds = "Index out of bounds";
inline constexpr const char* SStreamReadError = "Stream read error";

}  // namespace elres

// The translated form of one of the texts above.
std::string ElResString(const char* Text);
// The translated text with its one "%d" replaced by Value.
std::string ElResFormat(const char* Text, long long Value);

}  // namespace morvane
