#include "app/main_form.h"

namespace morvane {

void TMainFrm::LoadIEHistory() {}
void TMainFrm::LoadIEHistoryEntries(TElTreeItem* /*Item*/) {}
void TMainFrm::DeleteIEHistoryFiles() {}
void TMainFrm::EditIEHistoryEntry() {}

}  // namespace morvane
