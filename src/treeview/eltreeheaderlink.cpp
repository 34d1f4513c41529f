#include "treeview/eltreeheaderlink.h"

namespace morvane {

int TElTreeHeaderLink::MeasureSection(TElHeaderSection* Section) {
  if (!Section) return 0;
  int textWidth = 0, textHeight = 0;
  return header_->MeasureSection(Section, textWidth, textHeight);
}

}  // namespace morvane
