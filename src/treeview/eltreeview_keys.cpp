// The view's keyboard handling: the navigation keys move the focus and the
// selection, the numeric-pad keys expand and collapse, the space bar toggles
// the focused row, characters go to the incremental search.
#include <algorithm>

#include "platform/core/sysutils.h"
#include "treeview/eltree.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltree_input.h"

namespace morvane {

namespace {
enum TMove { mvTarget, mvParent, mvFirstChild };

bool HasShowableChild(TElTreeItem* it) {
  return it->HasVisibleChildren() || it->Flag(tifForceButtons);
}
}  // namespace

void TElTreeInput::KeyPress(wchar_t& Key) {
  if (tree_->IncrementalSearch) {
    bool taken = IncrementalSearchKey
                     ? IncrementalSearchKey(Key)
                     : tree_->Search().SearchKey(WideToAnsi(std::wstring(1, Key)).c_str()[0]);
    if (taken) {
      Key = 0;
      return;
    }
  }
  if (OnKeyPress) OnKeyPress(Key);
}

void TElTreeInput::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(Key, Shift);
  if (frameActive_ || Key == 0) return;
  TCustomElTree* t = tree_;
  const bool multi = t->MultiSelect();
  t->SetSelectionChanged(false);
  if (multi) t->BeginUpdate();
  struct TClose {
    TCustomElTree* t;
    bool multi;
    ~TClose() {
      if (!multi) return;
      t->EndUpdate();
      if (t->SelectionChanged()) {
        t->SetSelectionChanged(false);
        t->DoAfterSelectionChange();
      }
    }
  } close{t, multi};
  if ((Shift & ssCtrl) && (Shift & ssShift)) Shift &= ~ssCtrl;
  TElTreeItem* f = t->ItemFocused();
  const bool usable = Usable(f);
  if ((Shift & ssShift) && Key == '8') {
    if (usable && HasShowableChild(f)) f->Expand(true);
    return;
  }
  WORD left = VK_LEFT, right = VK_RIGHT;
  if (t->RightAlignedTree()) std::swap(left, right);
  switch (Key) {
    case VK_BACK:
      if (f) {
        TElTreeItem* p = f->Parent();
        if (Usable(p)) t->ChangeFocus(p, false, true);
        t->MakeVisible(t->ItemFocused());
      }
      break;
    case VK_SPACE:
      if (multi && usable) {
        if (t->SelectionMode == smUsual && !(Shift & (ssCtrl | ssShift))) {
          t->DeselectAll();
          t->SetAnchorItem(f);
        } else if (t->SelectionMode == smSimple) {
          t->SetAnchorItem(f);
        }
        f->SetSelected(!f->Selected());
        t->SetSelectionChanged(true);
      }
      break;
    case VK_MULTIPLY:
      if (usable && HasShowableChild(f)) {
        f->Expand(true);
        ExpandShowingChildren(f);
      }
      break;
    case VK_ADD:
      if (Shift & ssCtrl) {
        if (t->IsUpdating())
          t->MarkColumnsAutoSize();
        else
          t->AutoSizeAllColumns();
      } else if (usable && !f->Expanded() && HasShowableChild(f)) {
        ExpandShowingChildren(f);
      }
      break;
    case VK_SUBTRACT:
      if (usable && f->Expanded()) f->Collapse(false);
      break;
    case VK_DIVIDE:
      if (usable) f->Collapse(true);
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: Navigate(Key, Shift, mvTarget); break;
    default:
      if (Key == left) {
        if (usable && f->Expanded())
          f->Collapse(false);
        else
          Navigate(Key, Shift, mvParent);
      } else if (Key == right) {
        if (usable && !f->Expanded() && HasShowableChild(f))
          ExpandShowingChildren(f);
        else
          Navigate(Key, Shift, mvFirstChild);
      }
      break;
  }
}

void TElTreeInput::Navigate(WORD Key, TShiftState Shift, int Move) {
  TCustomElTree* t = tree_;
  const bool multi = t->MultiSelect();
  const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift;
  const bool simple = t->SelectionMode == smSimple;
  TElTreeItem* f = t->ItemFocused();
  bool fSel = false, aSel = false;
  TElTreeItem* a = nullptr;
  TElTreeItem* keep = nullptr;
  if (multi) {
    if ((ctrl && !simple) || simple) fSel = f && f->Selected();
    if (shift) {
      a = t->AnchorItem();
      aSel = a && a->Selected();
    }
    keep = t->AnchorItem();
    if (!simple && !ctrl) t->DeselectAll();
  }
  TElTreeItem* target = nullptr;
  int row = -1;
  if (Move == mvParent) {
    target = f ? (f->Parent() ? f->Parent() : f) : nullptr;
  } else if (Move == mvFirstChild) {
    if (f) {
      target = f->FirstChild() ? f->FirstChild() : f;
      t->MarkRows();
    }
  } else {
    bool wasSelected;
    target = view_->NavigationTarget(Key, row, wasSelected);
  }
  if (!f && !target) return;
  const bool targetWasSelected = target && target->Selected();
  if (multi) {
    if (f && ((ctrl && !simple) || simple)) f->SetSelected(fSel);
    if (shift && target) {
      TElTreeItem* from = a ? a : f;
      if (from) {
        t->SelectRange(from, target);
        if (from == target) target->SetSelected(true);
      }
      if (a) a->SetSelected(aSel);
    }
  }
  if (target) {
    if (multi) {
      // The focus change below toggles T once more: Ctrl+arrow leaves the
      // row reached with the opposite of the state it had before the key.
      if (((ctrl && !simple) || simple) && target != f) {
        target->SetSelected(target == t->ItemFocused() ? !targetWasSelected : targetWasSelected);
      }
      if (shift && target != t->ItemFocused()) target->SetSelected(false);
    }
    if (target == t->ItemFocused()) {
      if (!t->AnchorItem() && keep) t->SetAnchorItem(keep);
      if (multi) target->SetSelected(true);
    } else {
      t->ChangeFocus(target, false, true);
      if (multi && keep && t->AnchorItem() != keep) t->SetAnchorItem(keep);
    }
  }
  if (!multi || (!ctrl && !shift)) {
    if (TElTreeItem* nf = t->ItemFocused()) {
      t->SetAnchorItem(nf);
      if (multi && !simple) nf->SetSelected(true);
    }
  }
  TElTreeItem* nf = t->ItemFocused();
  if (!nf || t->IsOnScreen(nf)) return;
  const int fit = view_->RowsThatFit();
  const int top = t->TopIndex();
  const int idx = t->Items().VisibleIndexOf(nf);
  t->MarkRows();
  t->MarkFullRepaint();
  if (Move == mvParent) {
    t->SetTopIndex(idx);
  } else if (Move == mvFirstChild) {
    t->MakeVisibleAtBottom(nf);
  } else {
    switch (Key) {
      case VK_UP: t->SetTopIndex(row); break;
      case VK_DOWN: t->SetTopIndex(row - fit + 2); break;
      case VK_PRIOR: t->SetTopIndex(top - fit + 1); break;
      case VK_NEXT: t->SetTopIndex(top + fit - 1); break;
      case VK_HOME: t->SetTopIndex(0); break;
      case VK_END: t->SetTopIndex(t->CountVisibleRows() - 1); break;
      default: t->MakeVisible(nf); break;
    }
  }
}

}  // namespace morvane
