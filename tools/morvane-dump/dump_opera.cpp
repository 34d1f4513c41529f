// morvane-dump opera FILE: one line per cookie of an Opera cookies4.dat, in
// tree order: node name, then the cookie's fields in the order of the store.
#include <cmath>

#include "browserdata/opera/qb_opera_cookie_info.h"
#include "dump.h"

namespace morvane::dump {
namespace {

std::string Time(TDateTime t) {
  const int64_t unix = static_cast<int64_t>(std::llround((t - 25569.0) * 86400.0));
  return IsoUtcFromDays(t) + " " + std::to_string(unix);
}

int RunOpera(const std::vector<std::string>& args) {
  if (args.size() != 1) return 2;
  QbOperaCookieInfo store(args[0]);
  for (TOperaCookieNode* n = store.First(); n; n = store.Next()) {
    std::string name;
    store.GetNodeName(name);
    for (const auto& c : n->Cookies) {
      PrintRecord({name, c->Name, c->Value, Time(c->Expires), Time(c->LastUsed), c->Text14, c->Text16, c->Text17,
                   c->Text18, c->Flag8019 ? "1" : "0", c->Flag801B ? "1" : "0", c->Flag801C ? "1" : "0",
                   c->Flag8020 ? "1" : "0", c->Flag8022 ? "1" : "0", c->Flag8023 ? "1" : "0",
                   c->Flag8024 ? "1" : "0", std::to_string(c->Number1A)});
    }
  }
  return 0;
}

TCommand cmd("opera", "FILE",
             "cookies of an Opera cookies4.dat: node, name, value, expires, last used, texts 14 16 17 18, "
             "flags 19 1B 1C 20 22 23 24, number 1A",
             RunOpera);

}  // namespace
}  // namespace morvane::dump
