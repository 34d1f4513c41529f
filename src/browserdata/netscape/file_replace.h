// Rewriting a browser file so that a failure never leaves it cut short: the
// new bytes go to a new file beside it, which then replaces it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace morvane {

// Writes Bytes to a temporary file in FileName's folder (created exclusively)
// and moves it over FileName. On any failure the temporary file is removed,
// FileName is left as it was, and EWriteError says what failed.
void ReplaceFileBytes(const std::string& FileName, std::string_view Bytes);

// The same with the bytes made piece by piece: Produce hands each piece to
// the function it is given. The temporary file is created for the first
// piece; when Produce raises, that exception goes on and FileName is left as
// it was, without a temporary file beside it.
using TBytesSink = std::function<void(std::string_view)>;
void ReplaceFileWith(const std::string& FileName, const std::function<void(const TBytesSink&)>& Produce);

}  // namespace morvane
