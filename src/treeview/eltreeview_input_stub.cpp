#include "treeview/eltreeview.h"

namespace morvane {

// Until the view has input handling of its own, the window's defaults apply.
bool TElTreeView::HandleInputMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

}  // namespace morvane
