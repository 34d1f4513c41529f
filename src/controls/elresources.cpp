#include "controls/elresources.h"

#include "platform/core/gettext.h"

namespace morvane {

std::string ElResString(const char* Text) { return LoadResString(Text); }

std::string ElResFormat(const char* Text, long long Value) {
  std::string s = ElResString(Text);
  const auto at = s.find("%d");
  if (at != std::string::npos) s.replace(at, 2, std::to_string(Value));
  return s;
}

}  // namespace morvane
