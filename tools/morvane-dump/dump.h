// morvane-dump: prints what the readers see, one record per line, fields
// separated by TAB in the order of the data model; times as ISO 8601 UTC
// followed by the raw number.
//
// Each command lives in its own file and registers itself:
//   static morvane::dump::TCommand cmd("ie-cookies", "FOLDER", "...", RunIECookies);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::dump {

using TCommandFn = int (*)(const std::vector<std::string>& args);

struct TCommand {
  TCommand(const char* name, const char* usage, const char* summary, TCommandFn run);
};

// Writes one record: the fields joined by TAB, then a newline.
void PrintRecord(const std::vector<std::string>& fields);
// "2026-12-10T09:52:49Z" from Unix seconds.
std::string IsoUtcFromUnix(int64_t seconds);
// From a TDateTime-style day count (days since 1899-12-30, UTC).
std::string IsoUtcFromDays(double days);

}  // namespace morvane::dump
