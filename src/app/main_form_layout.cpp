#include "app/main_form.h"

namespace morvane {

void TMainFrm::BuildLayout() {
  SetCaption("Morvane 1.9 - IE");
  SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, 800, 600);
  SetPosition(TPosition::poDefaultPosOnly);
}

}  // namespace morvane
