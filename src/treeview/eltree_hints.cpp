// Line hints: after the mouse rests on a row, a small window shows the full
// text of a cell that is cut off (or the item's own hint); and the filter
// that takes the hint away again on a move, a key or a command.
#include <algorithm>

#include "treeview/eltree.h"
#include "treeview/eltree_styles.h"
#include "treeview/eltree_input.h"

namespace morvane {

namespace {
TElFString BeforeBar(const TElFString& s) {
  size_t p = s.find(L'|');
  return p == TElFString::npos ? s : s.substr(0, p);
}
}  // namespace

void TElTreeInput::StartLineHint(int X, int Y) {
  HideLineHint();
  hintX_ = X;
  hintY_ = Y;
  if (!lineHintTimer_) {
    lineHintTimer_ = NewTimer();
    lineHintTimer_->OnTimer = [this] { LineHintTick(); };
  }
  unsigned pause = port_->HintShortPause();
  lineHintTimer_->SetEnabled(false);
  lineHintTimer_->SetInterval(pause ? pause : 1000);
  lineHintTimer_->SetEnabled(true);
}

void TElTreeInput::HideLineHint() {
  // The timer is only stopped, not freed: this may run from its own tick.
  if (lineHintTimer_) lineHintTimer_->SetEnabled(false);
  if (lineHintItem_) {
    lineHintItem_ = nullptr;
    port_->HideLineHint();
  }
}

void TElTreeInput::LineHintTick() {
  if (lineHintItem_) {
    HideLineHint();
    return;
  }
  if (EditorActive()) return;
  lineHintTimer_->SetEnabled(false);
  if (!tree_->ViewPort().HandleAllocated() || port_->Designing()) return;
  DoHintDecision(hintX_, hintY_);
  if (tree_->HideHintOnTimer && lineHintItem_) {
    unsigned pause = tree_->LineHintTimeout > 0 ? static_cast<unsigned>(tree_->LineHintTimeout)
                                                : port_->HintHidePause();
    lineHintTimer_->SetInterval(pause ? pause : 1000);
    lineHintTimer_->SetEnabled(true);
  }
}

TElFString TElTreeInput::LineHintText(TElTreeItem* Item, TElHeaderSection*& Section) {
  TCustomElTree* t = tree_;
  auto itemHint = [&] {
    TElFString h;
    if (t->VirtualityLevel() != vlNone) {
      if (t->OnVirtualHintNeeded) t->OnVirtualHintNeeded(t->EventSender(), Item, h);
    } else {
      h = Item->Hint();
    }
    return BeforeBar(h);
  };
  if (t->HintType == shtHintOnly) return itemHint();
  if (t->HintType == shtHintOrText) {
    TElFString h = itemHint();
    if (!h.empty()) return h;
  }
  const TElFString main = t->CellText(Item, -1);
  if (t->LineHintType != lhtMainTextOnly && t->ShowColumns()) {
    const int sec = Section ? Section->Index() : -1;
    const int mainCol = t->MainTreeColumn();
    if (sec < 0 || sec == mainCol) return main;
    const bool virt = t->VirtualityLevel() != vlNone;
    int k = (sec > mainCol && !virt) ? sec - 1 : sec;
    // A cell drawn by its owner or as a picture has no text of its own.
    TElCellStyle* style = nullptr;
    if (virt)
      style = t->VirtualStyle(Item, sec);
    else if (Item->Flag(tifUseStyles))
      style = k < Item->StylesCount() ? Item->Style(k) : Item->MainStyle();
    if (style && style->Style != ElhsText)
      return t->LineHintType == lhtCellTextOnly ? TElFString() : main;
    TElFString cell;
    if (virt) {
      cell = t->VirtualText(Item, sec);
    } else {
      TElWideStringList* ct = Item->ColumnTexts();
      if (!ct || k >= ct->Count()) return t->LineHintType == lhtCellTextOnly ? TElFString() : main;
      cell = ct->GetRef(k);
    }
    if (!cell.empty()) return cell;
    if (t->LineHintType == lhtSmart) {
      Section = t->HeaderSections().GetSection(mainCol);
      return main;
    }
    return {};
  }
  if (t->LineHintType == lhtCellTextOnly && !t->ShowColumns()) return {};
  return main;
}

void TElTreeInput::DoHintDecision(int X, int Y) {
  TCustomElTree* t = tree_;
  TElHitPart part;
  int secIndex;
  TElTreeItem* item = view_->HitTest(X, Y, secIndex, part);
  if (!item || part == hpNowhere) return;
  TElHeaderSection* section =
      secIndex >= 0 ? t->HeaderSections().GetSection(secIndex) : nullptr;
  bool show = false;
  if (t->HintType == shtHintOnly) {
    show = true;
  } else if (t->LineHintMode == shmAll) {
    show = true;
  } else if (t->LineHintMode == shmLong) {
    TElFString own;
    if (t->VirtualityLevel() != vlNone) {
      if (t->OnVirtualHintNeeded) t->OnVirtualHintNeeded(t->EventSender(), item, own);
    } else {
      own = item->Hint();
    }
    if (!own.empty()) {
      show = true;
    } else {
      // Whether the text is cut: by its column's edges or by the view's.
      const int cw = view_->ClientWidth();
      const int visL = t->LeftPosition(), visR = t->LeftPosition() + cw;
      const TElRect& tr = item->TextRect;
      TElHeaderSection* probe = section;
      TElFString text = LineHintText(item, probe);
      if (t->ShowColumns() && section) {
        if (section->Password()) text = L"******";
        const int w = t->TextMeasurer().MeasureText(text, 0).cx;
        if (section->Index() == t->MainTreeColumn()) {
          bool cut = t->RightAlignedTree() ? tr.Right - w < section->Left()
                                         : section->Right() < tr.Left + w;
          show = cut || tr.Left < visL || tr.Right > visR;
        } else {
          const int m = t->ItemIndent() * 3 / 5;
          show = section->Width() < w - m || section->Right() - m > visR ||
                 section->Left() + m < visL;
        }
      } else {
        const int w = item->GetTreePartWidth();
        show = cw < w || tr.Left < visL || tr.Right > visR;
      }
    }
  }
  if (show && !lineHintItem_) ShowLineHint(item, section);
}

void TElTreeInput::ShowLineHint(TElTreeItem* Item, TElHeaderSection* Section) {
  TCustomElTree* t = tree_;
  if (EditorActive() || frameActive_) return;
  int row = view_->VisibleRows().IndexOf(Item);
  TElRect rr = view_->RowRect(row);
  if (rr.IsEmpty()) return;
  TElHeaderSection* sec = Section;
  TElFString text = LineHintText(Item, sec);
  if (text.empty()) return;
  int left;
  if (!t->ShowColumns() || !sec || sec->Index() == t->MainTreeColumn())
    left = Item->TextRect.Left - t->LeftPosition();
  else
    left = sec->Left() - t->LeftPosition() + t->ItemIndent() / 5;
  left = std::max(0, left);
  auto place = [&](int x, int y, const TElFString& s) {
    TElRect m = port_->MeasureLineHint(s, 10000);
    return TElRect{x, y, x + (m.Right - m.Left + 1), y + (m.Bottom - 2 - m.Top + 1)};
  };
  int sx = left, sy = rr.Top;
  port_->ClientToScreen(sx, sy);
  TElRect r = place(sx, sy, text);
  bool doShow = true;
  if (t->OnShowLineHint) {
    TElFString before = text;
    int my = hintY_ + (t->ShowColumns() ? t->ViewPort().ViewTop() : 0);
    t->OnShowLineHint(t->EventSender(), Item, sec, text, port_->LineHintWindow(), hintX_, my, doShow);
    if (text != before) r = place(r.Left, r.Top, text);
  }
  if (!doShow || text.empty()) return;
  lineHintItem_ = Item;
  port_->ShowLineHint(text, r, t->UseSystemHintColors, t->LineHintColor);
}

void TElTreeInput::FilterForHints(UINT Msg) {
  const bool notifyHide = Msg == 0xB000 || Msg == 0xB001;
  if (!lineHintItem_) {
    if (Msg == WM_NCMOUSEMOVE && lineHintTimer_) lineHintTimer_->SetEnabled(false);
    return;
  }
  if (notifyHide || Msg == WM_NCMOUSEMOVE) {
    HideLineHint();
    return;
  }
  if (!tree_->HideHintOnMove) return;
  if (Msg >= 0x200 && Msg <= 0x20A) {
    int x, y;
    port_->CursorPos(x, y);
    TElHitPart part;
    int sec;
    if (view_->HitTest(x, y, sec, part) != lineHintItem_) HideLineHint();
  } else if ((Msg >= 0x100 && Msg <= 0x108) || Msg == 0xB016 || Msg == 0xB017 ||
             Msg == WM_COMMAND) {
    HideLineHint();
  }
}

}  // namespace morvane
