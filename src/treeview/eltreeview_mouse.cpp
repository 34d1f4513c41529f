// The view's mouse handling: button presses and releases, double clicks and
// movement turned into focus and selection changes, expanding, check boxes,
// the rubber-band frame, hot tracking, click editing and the drag start.
#include <algorithm>
#include <cmath>
#include <utility>

#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_styles.h"

namespace morvane {

namespace {

// A bracket that is only opened in a multi-select tree.
class TMultiBracket {
 public:
  explicit TMultiBracket(TCustomElTree* t) : t_(t->MultiSelect() ? t : nullptr) {
    if (t_) t_->BeginUpdate();
  }
  ~TMultiBracket() { Close(); }
  void Close() {
    if (t_) t_->EndUpdate();
    t_ = nullptr;
  }

 private:
  TCustomElTree* t_;
};

void FireAfterSelection(TCustomElTree* t) {
  if (t->SelectionChanged()) {
    t->SetSelectionChanged(false);
    t->DoAfterSelectionChange();
  }
}

int XOf(LPARAM l) { return static_cast<short>(LOWORD(l)); }
int YOf(LPARAM l) { return static_cast<short>(HIWORD(l)); }

}  // namespace

// ---- the view's entry points ----

TElTreeInput& TElTreeView::Input() {
  if (!input_) input_ = std::make_shared<TElTreeInput>(tree_, this);
  return *input_;
}

void TElTreeView::InputItemForgotten(TElTreeItem* Item) {
  if (input_) input_->ItemForgotten(Item);
}

TElTreeInput::TElTreeInput(TCustomElTree* Tree, TElTreeView* View)
    : tree_(Tree), view_(View), headless_(std::make_unique<THeadlessInputPort>()),
      port_(headless_.get()) {}

TElTreeInput::~TElTreeInput() = default;

void TElTreeInput::SetPort(IElTreeInputPort* Port) { port_ = Port ? Port : headless_.get(); }

std::unique_ptr<IElTreeTimer> TElTreeInput::NewTimer() {
  auto t = tree_->timerFactory_();
  t->SetEnabled(false);
  return t;
}

void TElTreeInput::ItemForgotten(TElTreeItem* Item) {
  if (tree_->IsDestroying()) {
    // Nothing is drawn or hidden any more; only the references go.
    frameActive_ = false;
    lineHintItem_ = lastClickItem_ = delayItem_ = editItem_ = hintItem_ = nullptr;
    activeCellControl_ = nullptr;
    frameStartItem_ = frameEndItem_ = nullptr;
    delayPending_ = false;
    frameItems_.Clear();
    return;
  }
  if (lastClickItem_ == Item) lastClickItem_ = nullptr;
  if (delayItem_ == Item) {
    delayItem_ = nullptr;
    delayPending_ = false;
  }
  if (editItem_ == Item) {
    StopEditTimer();
    editItem_ = nullptr;
  }
  if (lineHintItem_ == Item) HideLineHint();
  if (hintItem_ == Item) hintItem_ = nullptr;
  if (frameStartItem_ == Item || frameEndItem_ == Item) {
    // A frame whose corner row went away cannot be tracked on.
    if (frameActive_) EndFrameSelection();
    frameStartItem_ = frameEndItem_ = nullptr;
  }
  frameItems_.Remove(Item);
  if (activeCellControl_ && activeCellControl_->OwnerStyle() &&
      activeCellControl_->OwnerStyle()->OwnerItem() == Item)
    activeCellControl_ = nullptr;
}

bool TElTreeInput::HandleMessage(UINT Msg, WPARAM wParam, LPARAM lParam, LRESULT& Result) {
  FilterForHints(Msg);
  Result = 0;
  const bool mouse = Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK && Msg != WM_MOUSEWHEEL;
  int x = 0, y = 0;
  TShiftState shift = 0;
  if (mouse) {
    // The window may hold the header above the rows: the handlers work in
    // the coordinates of the rows.
    x = XOf(lParam) - tree_->ViewPort().ViewLeft();
    y = YOf(lParam) - tree_->ViewPort().ViewTop();
    shift = KeysToShiftState(wParam);
  }
  switch (Msg) {
    case WM_LBUTTONDOWN: LeftButtonDown(shift, x, y); return true;
    case WM_RBUTTONDOWN: RightButtonDown(shift, x, y); return true;
    case WM_LBUTTONUP: LeftButtonUp(shift, x, y); return true;
    case WM_RBUTTONUP: RightButtonUp(shift, x, y); return true;
    case WM_LBUTTONDBLCLK: LeftDblClick(shift | ssDouble, x, y); return true;
    case WM_RBUTTONDBLCLK: {
      StopEditTimer();
      int cx, cy;
      if (TElCellControl* c = CellControlAt(x, y, cx, cy))
        c->DblClick(1, shift | ssDouble, cx, cy);
      else
        MouseDown(TMouseButton::mbRight, shift | ssDouble, x, y);
      return true;
    }
    case WM_MOUSEMOVE: MouseMove(shift, x, y); return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (Msg == WM_SYSKEYDOWN) return false;
      WORD key = static_cast<WORD>(wParam);
      TShiftState s = 0;
      if (port_->KeyHeld(VK_SHIFT)) s |= ssShift;
      if (port_->KeyHeld(VK_CONTROL)) s |= ssCtrl;
      if (port_->KeyHeld(VK_MENU)) s |= ssAlt;
      KeyDown(key, s);
      return true;
    }
    case WM_CHAR: {
      wchar_t c = static_cast<wchar_t>(wParam);
      KeyPress(c);
      return true;
    }
    case WM_CANCELMODE: CancelMode(); return false;
    case WM_CAPTURECHANGED:
      if (frameActive_) EndFrameSelection();
      leftHeld_ = false;
      return false;
    default: return false;
  }
}

// ---- helpers ----

bool TElTreeInput::Usable(TElTreeItem* Item) const {
  return Item && (tree_->IgnoreEnabled || Item->Enabled());
}

TElTreeItem* TElTreeInput::Hit(int X, int Y, TElHitPart& Part, int& Section) const {
  TElTreeItem* item = view_->HitTest(X, Y, Section, Part);
  if (Part == hpNowhere && (tree_->ShowColumns() || !tree_->RowSelect())) item = nullptr;
  return item;
}

void TElTreeInput::StopEditTimer() {
  if (editTimer_) editTimer_->SetEnabled(false);
}

void TElTreeInput::ScheduleEdit(TElTreeItem* Item, int Section, unsigned Delay) {
  if (port_->Designing()) return;
  if (!editTimer_) {
    editTimer_ = NewTimer();
    editTimer_->OnTimer = [this] {
      editTimer_->SetEnabled(false);
      TElTreeItem* it = editItem_;
      int sec = editSection_;
      editItem_ = nullptr;
      if (!it || frameActive_) return;
      if (StartEditing)
        StartEditing(it, sec);
      else
        tree_->EditItem(it, sec);
    };
  }
  editTimer_->SetEnabled(false);
  editItem_ = Item;
  editSection_ = Section;
  editTimer_->SetInterval(Delay);
  editTimer_->SetEnabled(true);
}

void TElTreeInput::ToggleSelected(TElTreeItem* Item) {
  TCustomElTree* t = tree_;
  if (t->MultiSelect()) {
    Item->SetSelected(!Item->Selected());
    return;
  }
  if (Item->Selected()) {
    Item->SetSelectedBits(false);
    if (t->anchor_ == Item) t->anchor_ = nullptr;
    t->selectionChanged_ = true;
    t->DoItemSelectedChange(Item);
    Item->RedrawItem(true);
  } else {
    view_->ToggleSelectionStep(Item);
  }
}

void TElTreeInput::ExpandShowingChildren(TElTreeItem* Item) {
  Item->Expand(false);
  if (Item->Expanded() && !tree_->IsUpdating()) view_->EnsureExpandedVisible(Item);
}

TElCellControl* TElTreeInput::CellControlAt(int X, int Y, int& CX, int& CY) const {
  TCustomElTree* t = tree_;
  TElHitPart part;
  int sec;
  TElTreeItem* item = view_->HitTest(X, Y, sec, part);
  if (!item || part != hpColumn || sec < 0) return nullptr;
  TElHeaderSection* s = t->HeaderSections().GetSection(sec);
  if (!s) return nullptr;
  TElCellStyle* style = nullptr;
  if (t->VirtualityLevel() != vlNone) {
    style = t->VirtualStyle(item, sec);
  } else if (item->Flag(tifUseStyles)) {
    int k = sec > t->MainTreeColumn() ? sec - 1 : sec;
    style = k < item->StylesCount() ? item->Style(k) : item->MainStyle();
  }
  if (!style || style->OwnerProps || !style->Control() || !style->Control()->Visible)
    return nullptr;
  CX = X + t->LeftPosition() - s->Left();
  CY = Y / t->LineHeight() * t->LineHeight();
  return style->Control();
}

bool TElTreeInput::EditorActive() const {
  return tree_->IsEditing() || tree_->ViewPort().EditorActive();
}

// ---- button presses ----

void TElTreeInput::LeftButtonDown(TShiftState Shift, int X, int Y) {
  StopEditTimer();
  HideLineHint();
  clickDone_ = false;
  if (!port_->Designing() && !port_->Focused() && port_->CanFocus()) port_->SetFocus();
  downX_ = X;
  downY_ = Y;
  leftHeld_ = true;
  MouseDown(TMouseButton::mbLeft, Shift, X, Y);
}

void TElTreeInput::RightButtonDown(TShiftState Shift, int X, int Y) {
  StopEditTimer();
  HideLineHint();
  if (frameActive_) EndFrameSelection();
  if (!port_->Designing() && port_->CanFocus()) port_->SetFocus();
  MouseDown(TMouseButton::mbRight, Shift, X, Y);
}

void TElTreeInput::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto inherited = [&] {
    if (OnMouseDown) OnMouseDown(Button, Shift, X, Y);
  };
  TCustomElTree* t = tree_;
  if (dblClickFlag_ || (Shift & ssDouble)) return inherited();
  t->SetSelectionChanged(false);
  TElHitPart part;
  int section;
  TElTreeItem* item = Hit(X, Y, part, section);
  if (item && !Usable(item)) return inherited();
  const bool right = Button == TMouseButton::mbRight || (Shift & ssRight);
  const bool left = Button == TMouseButton::mbLeft || (Shift & ssLeft);
  if (right && part == hpButton) part = hpText;
  if (left && part == hpButton) {
    if (item->Expanded()) {
      TElTreeItem* old = t->ItemFocused();
      item->Collapse(false);
      if (t->MoveFocusOnCollapse && t->ItemFocused() != old) {
        t->DoAfterSelectionChange();
        t->DoItemFocused();
      }
    } else {
      ExpandShowingChildren(item);
    }
    return inherited();
  }
  if (part == hpColumn && section >= 0) {
    int cx, cy;
    if (TElCellControl* c = CellControlAt(X, Y, cx, cy)) {
      activeCellControl_ = c;
      if (!c->MouseDown(static_cast<int>(Button), Shift, cx, cy)) inherited();
      return;
    }
    TElHeaderSection* s = t->HeaderSections().GetSection(section);
    if (s && !s->ClickSelect()) return;
  }
  if (left && part != hpCheckBox) {
    LeftClickSelect(item, part, Shift);
  } else if (right && t->RightClickSelect) {
    RightClickSelect(item, part, Shift);
  }
  inherited();
}

void TElTreeInput::ClickSelectRange(TElTreeItem* item, bool Ctrl, bool Shift) {
  // A plain click starts a new selection; Shift selects from the anchor to
  // the row (which the focus change then selects as well).
  TCustomElTree* t = tree_;
  if (!Ctrl && !Shift) t->DeselectAll();
  if (!Shift) return;
  TElTreeItem* a = t->AnchorItem();
  t->DeselectAll();
  if (!a) return;
  t->SetAnchorItem(a);
  a->SetSelected(true);
  t->SelectRange(item, a);
  if (item != t->ItemFocused()) item->SetSelected(false);
}

void TElTreeInput::LeftClickSelect(TElTreeItem* item, TElHitPart part, TShiftState Shift) {
  TCustomElTree* t = tree_;
  const bool multi = t->MultiSelect();
  const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift;
  TMultiBracket bracket(t);
  if (item && ((part != hpMainCell && part != hpNowhere) || t->RowSelect())) {
    const int n = multi ? t->GetSelectedCount() : (t->AnchorItem() ? 1 : 0);
    if (!multi || !item->Selected() || ctrl) {
      if (t->SelectionMode == smUsual && multi) ClickSelectRange(item, ctrl, shift);
      if (item != t->ItemFocused())
        t->ChangeFocus(item, false, false);
      else if (!item->Selected() || !t->AlwaysKeepSelection || n > 1)
        ToggleSelected(item);
      if ((!ctrl && !shift) || !multi)
        if (t->ItemFocused() == item) t->SetAnchorItem(item);
      if (ctrl && n <= 1 && multi && t->GetSelectedCount() == 0 && t->ItemFocused() == item)
        ToggleSelected(item);
    } else {
      // A press on a selected row may start a drag of the whole selection:
      // what the click means is decided on the release.
      delayPending_ = true;
      delayItem_ = item;
      delayShift_ = Shift;
      bool was = item->Selected();
      t->ChangeFocus(item, false, false);
      if (was || t->AlwaysKeepSelection) item->SetSelected(t->SelectionMode == smUsual);
    }
  } else if (!item) {
    if (!t->AlwaysKeepFocus) t->ChangeFocus(nullptr, false, false);
    if (multi && !t->AlwaysKeepSelection) t->DeselectAll();
  }
  bracket.Close();
  FireAfterSelection(t);
}

void TElTreeInput::RightClickSelect(TElTreeItem* item, TElHitPart part, TShiftState Shift) {
  TCustomElTree* t = tree_;
  const bool multi = t->MultiSelect();
  const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift;
  TMultiBracket bracket(t);
  if (multi && item && item->Selected()) {
    t->ChangeFocus(item, false, false);
    item->SetSelected(true);
  } else if (!multi || (t->GetSelectedCount() <= 1 && t->SelectionMode == smUsual) ||
             t->SelectionMode == smSimple) {
    if (item && ((part != hpMainCell && part != hpNowhere) || t->RowSelect())) {
      if (t->SelectionMode == smUsual && multi) ClickSelectRange(item, ctrl, shift);
      if (item != t->ItemFocused())
        t->ChangeFocus(item, false, false);
      else if (!item->Selected())
        ToggleSelected(item);
      if ((!ctrl && !shift) || !multi)
        if (t->ItemFocused() == item) t->SetAnchorItem(item);
    } else if (!item && !t->AlwaysKeepFocus) {
      t->ChangeFocus(nullptr, false, false);
    }
  }
  bracket.Close();
  FireAfterSelection(t);
}

void TElTreeInput::CompleteDelayedSelection() {
  if (!delayPending_) return;
  delayPending_ = false;
  TElTreeItem* item = delayItem_;
  delayItem_ = nullptr;
  if (!item || EditorActive()) return;
  TCustomElTree* t = tree_;
  const bool multi = t->MultiSelect();
  const bool ctrl = delayShift_ & ssCtrl, shift = delayShift_ & ssShift;
  TMultiBracket bracket(t);
  bool wasSelected = item->Selected();
  if (t->SelectionMode == smUsual && multi) {
    if (!ctrl && !shift) {
      TElTreeItem* f = t->ItemFocused();
      wasSelected = f && f->Selected();
      t->DeselectAll();
    } else if (shift) {
      TElTreeItem* a = t->AnchorItem();
      t->DeselectAll();
      if (a) {
        t->SetAnchorItem(a);
        a->SetSelected(true);
        t->SelectRange(item, a);
      }
    }
  }
  if (item != t->ItemFocused()) {
    t->ChangeFocus(item, false, false);
  } else if ((!wasSelected || t->AlwaysKeepSelection) && t->SelectionMode == smUsual &&
             !item->Selected()) {
    ToggleSelected(item);
  }
  if ((!ctrl && !shift) || !multi) {
    if (t->ItemFocused() == item) t->SetAnchorItem(item);
  }
  bracket.Close();
  t->SetSelectionChanged(true);
  FireAfterSelection(t);
}

// ---- button releases ----

void TElTreeInput::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(Button, Shift, X, Y);
  TElHitPart part;
  int section;
  TElTreeItem* item = Hit(X, Y, part, section);
  if (item && part == hpCheckBox && Usable(item) && item->Flag(tifCheckBoxEnabled)) {
    switch (item->CheckBoxType) {
      case 1:  // three states: unchecked, grayed, checked
        item->SetCheckBoxState(item->CheckBoxState() == 0 ? 2 : item->CheckBoxState() == 2 ? 1 : 0);
        break;
      case 2: item->SetChecked(true); break;
      default: item->SetChecked(!item->Checked()); break;
    }
    tree_->DoItemChecked(item);
    tree_->DoItemChange(item, icmCheckState);
  }
  CompleteDelayedSelection();
}

void TElTreeInput::LeftButtonUp(TShiftState Shift, int X, int Y) {
  StopEditTimer();
  HideLineHint();
  leftHeld_ = false;
  if (frameActive_) {
    EndFrameSelection();
    clickDone_ = false;
    delayPending_ = false;
    return;
  }
  TCustomElTree* t = tree_;
  TElHitPart part;
  int section;
  TElTreeItem* item = Hit(X, Y, part, section);
  if (item && !Usable(item)) return;
  if (item && X == downX_ && Y == downY_ && part != hpButton && part != hpMainCell &&
      part != hpNowhere && !clickDone_) {
    if ((part == hpText || part == hpColumn) && (item == lastClickItem_ || t->QuickEditMode) &&
        item->Flag(tifAllowEdit) && t->DoInplaceEdit && (clickEditArmed_ || t->QuickEditMode) &&
        t->DblClickMode() != dcmEdit) {
      if (!t->ShowColumns()) {
        ScheduleEdit(item, section, static_cast<unsigned>(t->InplaceEditorDelay));
      } else if (section == lastClickSection_ || t->QuickEditMode) {
        TElHeaderSection* s = section >= 0 ? t->HeaderSections().GetSection(section) : nullptr;
        if (s && s->Editable())
          ScheduleEdit(item, section, static_cast<unsigned>(t->InplaceEditorDelay));
      }
    }
    clickEditArmed_ = true;
    lastClickX_ = X;
    lastClickY_ = Y;
    lastClickItem_ = item;
    lastClickSection_ = section;
  }
  if (!item) lastClickItem_ = nullptr;
  clickDone_ = false;
  CellControlsUp(0, Shift, X, Y);
  MouseUp(TMouseButton::mbLeft, Shift, X, Y);
  if (OnClick) OnClick();
}

void TElTreeInput::CellControlsUp(int Button, TShiftState Shift, int X, int Y) {
  int cx, cy;
  if (TElCellControl* c = CellControlAt(X, Y, cx, cy))
    c->MouseUp(Button, Shift, cx, cy);
  else if (activeCellControl_)
    activeCellControl_->MouseUp(Button, Shift, -1, -1);
  activeCellControl_ = nullptr;
}

void TElTreeInput::RightButtonUp(TShiftState Shift, int X, int Y) {
  StopEditTimer();
  HideLineHint();
  CellControlsUp(1, Shift, X, Y);
  MouseUp(TMouseButton::mbRight, Shift, X, Y);
  int sx = X, sy = Y;
  port_->ClientToScreen(sx, sy);
  port_->ContextMenu(sx, sy);
}

void TElTreeInput::LeftDblClick(TShiftState Shift, int X, int Y) {
  StopEditTimer();
  HideLineHint();
  TCustomElTree* t = tree_;
  MouseDown(TMouseButton::mbLeft, Shift, X, Y);
  TElHitPart part;
  int section;
  TElTreeItem* item = Hit(X, Y, part, section);
  if (item && !Usable(item)) return;
  int cx, cy;
  TElCellControl* control = CellControlAt(X, Y, cx, cy);
  if (t->DblClickMode() == dcmEdit && t->DoInplaceEdit && item && item->Flag(tifAllowEdit) &&
      (part == hpText || part == hpColumn || part == hpMainCell) &&
      (item == lastClickItem_ || t->QuickEditMode)) {
    ScheduleEdit(item, section, 1);
  } else if (t->DblClickMode() == dcmExpand && item &&
             (part == hpText || (t->FullRowSelect() && part != hpCheckBox))) {
    if (item->Expanded())
      item->Collapse(false);
    else
      ExpandShowingChildren(item);
  }
  if (control) {
    control->DblClick(0, Shift, cx, cy);
    return;
  }
  clickEditArmed_ = false;
  lastClickItem_ = nullptr;
  lastClickSection_ = -2;
  clickDone_ = true;
  dblClickFlag_ = false;
  if (part != hpButton && part != hpCheckBox && OnDblClick) OnDblClick();
}

void TElTreeInput::CancelMode() {
  StopEditTimer();
  HideLineHint();
  if (frameActive_) EndFrameSelection();
  leftHeld_ = false;
  delayPending_ = false;
}

void TElTreeInput::FocusLost() {
  if (frameActive_) EndFrameSelection();
  leftHeld_ = false;
  hintItem_ = nullptr;
  HideLineHint();
}

void TElTreeInput::MouseLeft(TShiftState Shift) {
  if (EditorActive()) return;
  hintItem_ = nullptr;
  HideLineHint();
  if (TElCellControl* c = std::exchange(activeCellControl_, nullptr)) c->MouseMove(Shift, -1, -1);
}

// ---- movement ----

void TElTreeInput::MouseMove(TShiftState Shift, int X, int Y) {
  int cx, cy;
  if (TElCellControl* c = CellControlAt(X, Y, cx, cy))
    c->MouseMove(Shift, cx, cy);
  else if (OnMouseMove)
    OnMouseMove(Shift, X, Y);
  if (port_->Dragging()) return;
  TCustomElTree* t = tree_;
  if (leftHeld_) {
    TElHitPart part;
    int section;
    TElTreeItem* item = view_->HitTest(X, Y, section, part);
    if (t->RowSelect() && item && part == hpNowhere) part = hpText;
    const bool something = t->MultiSelect() ? t->GetSelectedCount() > 0 : t->AnchorItem() != nullptr;
    const double dist = std::hypot(double(X - downX_), double(Y - downY_));
    if (part != hpNowhere && !frameActive_ && t->DragAllowed && something && dist >= 5) {
      StopEditTimer();
      delayPending_ = false;
      delayItem_ = nullptr;
      clickDone_ = true;
      leftHeld_ = false;
      if (t->DragType != dtOLE) {
        DoStartDrag();
        port_->BeginDrag();
      }
    } else if (t->MouseFrameSelect && t->MultiSelect() && view_->VisibleRows().Count() > 0) {
      FrameMove(Shift, X, Y);
    }
  }
  if (!frameActive_) ApplicationHint(X, Y);
  if (t->LineHintMode != shmNone && !frameActive_ && (X != hintX_ || Y != hintY_)) {
    TElTreeItem* row = view_->RowAt(Y);
    if ((t->HideHintOnMove || row) && (!lineHintItem_ || row != lineHintItem_)) StartLineHint(X, Y);
  }
  if (t->Tracking && !frameActive_) HotTrack(X, Y);
}

void TElTreeInput::HotTrack(int X, int Y) {
  TCustomElTree* t = tree_;
  (void)X;
  TElTreeItem* row = view_->RowAt(Y);
  if (EditorActive() || (row && !Usable(row))) row = nullptr;
  TElTreeItem* old = t->HotTrackItem();
  if (row == old) return;
  t->SetHotTrackItem(row);
  for (TElTreeItem* it : {old, row}) {
    if (!it) continue;
    if (!t->ShowColumns() || t->RowHotTrack) {
      it->RedrawItem(true);
    } else {
      TElHeaderSection* s = t->HeaderSections().GetSection(t->MainTreeColumn());
      if (s)
        it->RedrawItemPart(true, s->Left(), s->Right());
      else
        it->RedrawItem(true);
    }
  }
  if (t->OnHotTrack) t->OnHotTrack(t->EventSender(), old, row);
}

void TElTreeInput::ApplicationHint(int X, int Y) {
  TCustomElTree* t = tree_;
  if (!(hintItem_ || appHintShown_ || !t->ShowHint)) return;
  port_->SetHint(t->Hint);
  appHintShown_ = false;
  TElHitPart part;
  int section;
  TElTreeItem* item = view_->HitTest(X, Y, section, part);
  if (!item || item == hintItem_) return;
  TElFString h;
  if (t->VirtualityLevel() != vlNone) {
    if (t->OnVirtualHintNeeded) t->OnVirtualHintNeeded(t->EventSender(), item, h);
  } else {
    h = item->Hint();
  }
  if (h.empty()) return;
  hintItem_ = item;
  appHintShown_ = true;
  port_->SetHint(h);
  if (t->ShowHint && !dragOverView_) {
    int sx = X, sy = Y;
    port_->ClientToScreen(sx, sy);
    port_->ActivateHint(sx, sy);
  }
}

// ---- the rubber-band frame ----

TElRect TElTreeInput::FrameRect() const {
  if (!frameActive_ || !frameStartItem_ || !frameEndItem_) return {};
  TCustomElTree* t = tree_;
  int top = t->TopIndex(), lh = t->LineHeight();
  int sy = (t->Items().VisibleIndexOf(frameStartItem_) - top) * lh + frameStartDY_;
  int ey = (t->Items().VisibleIndexOf(frameEndItem_) - top) * lh + frameEndDY_;
  int sx = frameStartX_ - t->LeftPosition(), ex = frameEndX_ - t->LeftPosition();
  return {std::min(sx, ex), std::min(sy, ey), std::max(sx, ex), std::max(sy, ey)};
}

void TElTreeInput::RecomputeFrameSelection() {
  TCustomElTree* t = tree_;
  int a = t->Items().VisibleIndexOf(frameStartItem_);
  int z = t->Items().VisibleIndexOf(frameEndItem_);
  if (a < 0 || z < 0) return;
  if (a > z) std::swap(a, z);
  TTreeBracket b(t);
  for (int i = frameItems_.Count() - 1; i >= 0; --i) {
    auto* it = static_cast<TElTreeItem*>(frameItems_.Get(i));
    int v = t->Items().VisibleIndexOf(it);
    if (v < a || v > z) {
      it->SetSelected(false);
      frameItems_.Delete(i);
    }
  }
  for (int v = a; v <= z; ++v) {
    TElTreeItem* it = t->Items().VisItem(v);
    if (it && !it->Selected() && Usable(it)) {
      it->SetSelected(true);
      frameItems_.Add(it);
    }
  }
}

void TElTreeInput::FrameMove(TShiftState Shift, int X, int Y) {
  TCustomElTree* t = tree_;
  const TElList& rows = view_->VisibleRows();
  auto rowTop = [&](TElTreeItem* it) {
    return (t->Items().VisibleIndexOf(it) - t->TopIndex()) * t->LineHeight();
  };
  if (frameActive_) {
    if (t->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
    const int w = view_->ClientWidth(), h = view_->ClientHeight();
    if (X >= 0 && Y >= 0 && X < w && Y < h) {
      FrameEndAt(X, Y);
    } else {
      if (Y >= h)
        t->SetTopIndex(t->TopIndex() + 1);
      else if (Y < 0)
        t->SetTopIndex(t->TopIndex() - 1);
      else if (X >= w)
        t->SetLeftPosition(t->LeftPosition() + 4);
      else if (X < 0)
        t->SetLeftPosition(t->LeftPosition() - 4);
      t->ViewPort().Update();
    }
    if (t->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
    return;
  }
  if (std::hypot(double(X - downX_), double(Y - downY_)) < 5) return;
  TElTreeItem* row = view_->RowAt(downY_);
  if (!row) row = static_cast<TElTreeItem*>(rows.Last());
  frameStartItem_ = frameEndItem_ = row;
  frameStartX_ = frameEndX_ = t->LeftPosition() + downX_;
  frameStartDY_ = frameEndDY_ = downY_ - rowTop(row);
  delayPending_ = false;
  if (!(Shift & ssCtrl)) {
    t->DeselectAll();
    t->SetSelectionChanged(false);
    t->DoAfterSelectionChange();
  }
  frameActive_ = true;
  port_->SetCapture(true);
  if (t->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
  frameItems_.Clear();
}

void TElTreeInput::FrameEndAt(int X, int Y) {
  TCustomElTree* t = tree_;
  TElTreeItem* row = view_->RowAt(Y);
  if (!row) row = static_cast<TElTreeItem*>(view_->VisibleRows().Last());
  if (!row) return;
  frameEndItem_ = row;
  frameEndX_ = t->LeftPosition() + X;
  frameEndDY_ = Y - (t->Items().VisibleIndexOf(row) - t->TopIndex()) * t->LineHeight();
  RecomputeFrameSelection();
  t->SetSelectionChanged(false);
  t->DoAfterSelectionChange();
}

void TElTreeInput::FrameScrolled(int NewTop, int X, int Y) {
  TCustomElTree* t = tree_;
  if (t->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
  t->SetTopIndex(NewTop);
  t->ViewPort().Update();
  if (X >= 0 && Y >= 0 && X < view_->ClientWidth() && Y < view_->ClientHeight()) FrameEndAt(X, Y);
  if (t->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
}

void TElTreeInput::EndFrameSelection() {
  if (!frameActive_) return;
  if (tree_->MouseFrameVisible) port_->DrawFrameOutline(FrameRect());
  frameActive_ = false;
  frameItems_.Clear();
  port_->SetCapture(false);
}

}  // namespace morvane
