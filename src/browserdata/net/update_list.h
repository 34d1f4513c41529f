// The update list the maker's web server publishes, and the version
// comparison made against it. Pure: standard library only.
//
// First line: newest version "#" download path (further fields ignored).
// Every later line: release-note text, the last "#"-separated field of the
// line; a line without "#" is an empty line of the notes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct TUpdateList {
  std::string NewestVersion;
  std::string DownloadPath;
  std::vector<std::string> Notes;
};

// Nothing when the list is empty or its first line has fewer than two fields.
std::optional<TUpdateList> ParseUpdateList(const std::vector<std::string>& Lines);

// Whether Newest is a later version than Running. Both are dotted numbers;
// only the first n parts count, n being the smaller part count and at most 3.
// Parts are compared one by one, so a part of 100 or more never spills into
// the part before it. Nothing when a counted part is not a number.
std::optional<bool> IsNewerVersion(const std::string& Running, const std::string& Newest);

}  // namespace morvane
