// Rewriting a browser file so that a failure never leaves it cut short: the
// new bytes go to a new file beside it, which then replaces it.
#pragma once

#include <string>
#include <string_view>

namespace morvane {

// Writes Bytes to a temporary file in FileName's folder (created exclusively)
// and moves it over FileName. On any failure the temporary file is removed,
// FileName is left as it was, and EWriteError says what failed.
void ReplaceFileBytes(const std::string& FileName, std::string_view Bytes);

}  // namespace morvane
