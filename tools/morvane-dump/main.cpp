#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

#include "dump.h"

namespace morvane::dump {
namespace {

struct TEntry {
  const char* usage;
  const char* summary;
  TCommandFn run;
};

std::map<std::string, TEntry>& Commands() {
  static std::map<std::string, TEntry> commands;
  return commands;
}

}  // namespace

TCommand::TCommand(const char* name, const char* usage, const char* summary, TCommandFn run) {
  Commands()[name] = TEntry{usage, summary, run};
}

void PrintRecord(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += '\t';
    line += fields[i];
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
}

std::string IsoUtcFromUnix(int64_t seconds) {
  // Civil date from days since 1970-01-01 (valid far beyond time_t limits).
  int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  int64_t secs = seconds - days * 86400;
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(y),
                static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(secs / 3600),
                static_cast<long long>(secs / 60 % 60), static_cast<long long>(secs % 60));
  return buf;
}

std::string IsoUtcFromDays(double days) {
  const double unixSeconds = (days - 25569.0) * 86400.0;
  return IsoUtcFromUnix(static_cast<int64_t>(std::llround(unixSeconds)));
}

}  // namespace morvane::dump

int main(int argc, char** argv) {
  using namespace morvane::dump;
  if (argc < 2 || !Commands().count(argv[1])) {
    std::fprintf(stderr, "usage: morvane-dump COMMAND ARGS\n");
    for (const auto& [name, e] : Commands()) std::fprintf(stderr, "  %s %s\n      %s\n", name.c_str(), e.usage, e.summary);
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return Commands()[argv[1]].run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-dump: %s\n", e.what());
    return 1;
  }
}
