#include "controls/elscrollbarstyles.h"

namespace morvane {

TElScrollBarStyles::TElScrollBarStyles(TElScrollBar* ScrollBar, TComponent* Owner) : bar_(ScrollBar), owner_(Owner) {
  if (!bar_ || !owner_) throw EElScrollBarError("No scrollbar specified when attempting to create TElScrollBarStyles instance");
  bar_->SetUseSystemMetrics(true);
}

int TElScrollBarStyles::Width() const {
  return bar_->Kind() == TScrollBarKind::sbHorizontal ? bar_->Height() : bar_->Width();
}

void TElScrollBarStyles::SetWidth(int v) {
  if (bar_->UseSystemMetrics() && !owner_->HasState(csLoading)) {
    // The system thickness stays; applying it again undoes any change.
    bar_->SetUseSystemMetrics(false);
    bar_->SetUseSystemMetrics(true);
  } else if (bar_->Kind() == TScrollBarKind::sbHorizontal) {
    bar_->SetHeight(v);
  } else {
    bar_->SetWidth(v);
  }
  Changed();
}

void TElScrollBarStyles::SetUseSystemMetrics(bool v) {
  if (v == bar_->UseSystemMetrics()) return;
  bar_->SetUseSystemMetrics(v);
  Changed();
}

void TElScrollBarStyles::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TElScrollBarStyles*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  SetActiveFlat(s->ActiveFlat());
  SetBlendBackground(s->BlendBackground());
  SetColor(s->Color());
  SetFlat(s->Flat());
  SetMinThumbSize(s->MinThumbSize());
  SetOwnerDraw(s->OwnerDraw());
  SetSecondaryButtons(s->SecondaryButtons());
  SetSecondBtnKind(s->SecondBtnKind());
  SetShowTrackHint(s->ShowTrackHint());
  SetThumbMode(s->ThumbMode());
  SetThumbSize(s->ThumbSize());
}

}  // namespace morvane
