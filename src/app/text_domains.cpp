#include "app/text_domains.h"

#include <atomic>

#include "platform/core/gettext.h"

namespace morvane {

namespace {
std::atomic<int> initCount{0};
}

void InitTextDomains() {
  if (initCount.fetch_add(1) != 0) return;
  AddDomainForResourceString("korvel");
}

void DoneTextDomains() {
  if (initCount.load() > 0) --initCount;
}

bool TextDomainsInitialized() { return initCount.load() > 0; }

}  // namespace morvane
