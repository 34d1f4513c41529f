// How the column header answers the mouse and keys: resizing a section by
// its edge, clicking, dragging a section to another place, the expand,
// lookup and filter buttons, the lookup box, context menus, hot tracking
// and the resize cursor, and how each gesture ends when it is cancelled.
#include <algorithm>
#include <cmath>

#include "controls/elheader.h"
#include "controls/elvclutils.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/menus.h"

namespace morvane {

// The lookup box: a drop-down combo box on the header's parent.
class TElHeaderLookupBox : public TWinControl {
 public:
  explicit TElHeaderLookupBox(TCustomElHeader* header) : TWinControl(nullptr), header_(header) {}
  ~TElHeaderLookupBox() override {
    Destroying();
    UnhookEdit();
    // The parent frees its child controls, and may free the box before the
    // header: the header must not keep a pointer to it then.
    if (header_) {
      header_->lookupBox_ = nullptr;
      header_->lookupOpen_ = false;
    }
  }
  void Detach() { header_ = nullptr; }

  std::string BoxText() {
    if (!HandleAllocated()) return text_;
    int n = ::GetWindowTextLengthA(Handle());
    std::string s(static_cast<size_t>(n) + 1, '\0');
    ::GetWindowTextA(Handle(), s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
  }
  void SetBoxText(const std::string& v) {
    if (HandleAllocated())
      ::SetWindowTextA(Handle(), v.c_str());
    else
      text_ = v;
  }
  void SetItems(TStrings& items) {
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < items.Count(); ++i)
      ::SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items.Strings(i).c_str()));
  }
  HWND Edit() const { return edit_; }
  // Enter and Escape, from the box or its edit field; true when taken.
  bool Key(UINT msg, WPARAM key) {
    if (key != VK_RETURN && key != VK_ESCAPE) return false;
    if (::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
    if (msg == WM_KEYDOWN && header_) header_->CloseLookup(key == VK_RETURN);
    return true;
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "COMBOBOX");
    p.Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
    p.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
  void InitializeWindow() override {
    TWinControl::InitializeWindow();
    COMBOBOXINFO ci{sizeof ci};
    if (::GetComboBoxInfo(Handle(), &ci) && ci.hwndItem) {
      edit_ = ci.hwndItem;
      ::SetPropA(edit_, "MorvaneLookupBox", this);
      editProc_ = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    }
  }
  void DestroyWnd() override {
    UnhookEdit();
    TWinControl::DestroyWnd();
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CN_COMMAND && header_) {
      const WORD code = HIWORD(m.WParam);
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) header_->LookupTextChanged();
      if (code == CBN_KILLFOCUS && header_->LookupOpen()) {
        HWND to = ::GetFocus();
        if (to != Handle() && to != edit_) header_->CloseLookup(false);
      }
      return;
    }
    if ((m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP || m.Msg == WM_CHAR) && Key(m.Msg, m.WParam)) {
      m.Result = 0;
      return;
    }
    TWinControl::Dispatch(m);
  }

 private:
  void UnhookEdit() {
    if (edit_ && editProc_ && ::IsWindow(edit_)) {
      ::SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
      ::RemovePropA(edit_, "MorvaneLookupBox");
    }
    edit_ = nullptr;
    editProc_ = nullptr;
  }
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* box = static_cast<TElHeaderLookupBox*>(::GetPropA(wnd, "MorvaneLookupBox"));
    if (!box) return ::DefWindowProcA(wnd, msg, wp, lp);
    WNDPROC next = box->editProc_;
    try {
      if ((msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR) && box->Key(msg, wp)) return 0;
    } catch (...) {
      if (Application) Application->HandleException(box);
      return 0;
    }
    return ::CallWindowProcA(next, wnd, msg, wp, lp);
  }

  TCustomElHeader* header_;
  HWND edit_ = nullptr;
  WNDPROC editProc_ = nullptr;
  std::string text_;
};

TWinControl* TCustomElHeader::LookupBox() const { return lookupBox_; }

void TCustomElHeader::FreeLookupBox() {
  lookupOpen_ = false;
  if (TElHeaderLookupBox* box = lookupBox_) {
    lookupBox_ = nullptr;
    box->Detach();
    delete box;
  }
}

// Resize zones and hit testing -------------------------------------------------------

bool TCustomElHeader::GetResizableSectionAt(int X, TElHeaderSection*& Section) {
  TElHeaderSection* s = SectionAt(X, 0);
  if (!s) {
    Section = nullptr;
    if (sections_->Count() == 0) return false;
    TElHeaderSection* last = sections_->LastVisibleSection();
    if (last && X < last->Right() - leftPos_ + 5) {
      Section = last;
      return true;
    }
    return false;
  }
  Section = s;
  if (s->Width() > 14) {
    if (X >= s->Left() - leftPos_ + 5) return X >= s->Left() + s->Width() - leftPos_ - 5;
    if (TElHeaderSection* prev = sections_->PrevVisibleSection(s)) {
      Section = prev;
      return true;
    }
    return false;
  }
  return false;
}

TElHeaderSection* TCustomElHeader::HitTest(int X, int Y, int& Kind) {
  TElHeaderSection* s = nullptr;
  if (GetResizableSectionAt(X, s)) {
    Kind = 0;
    return s;
  }
  s = SectionAt(X, Y);
  Kind = 1;
  if (!s) return nullptr;
  int r = s->Right() - leftPos_ - 4;
  if (s->Expandable() && s->Width() > 14 && X >= r - 7 && X <= r && Y >= 2 && Y <= 9)
    Kind = 2;
  else if (s->LookupEnabled() && s->Width() > 14 && X >= r - 7 && X <= r && Y >= 12 && Y <= 16)
    Kind = 3;
  else if (s->FilterEnabled()) {
    if (s->LookupEnabled() || s->Expandable()) r -= 8;
    if (s->Width() > 9 && X >= r - 6 && X <= r && Y >= 12 && Y <= 16) Kind = 4;
  }
  return s;
}

// The tracking line and the cursor ------------------------------------------------------

void TCustomElHeader::DrawLine() {
  if (!lineDC_) return;
  int h = Parent() ? Parent()->ClientHeight() : Height();
  ::PatBlt(lineDC_, lineX_, 0, 1, std::max(h, Height()), DSTINVERT);
  lineShown_ = !lineShown_;
}

void TCustomElHeader::EndLine() {
  if (lineShown_) DrawLine();
  if (lineDC_) ::ReleaseDC(Handle(), lineDC_);
  lineDC_ = nullptr;
  lineShown_ = false;
}

void TCustomElHeader::SetScreenCursor(TCursor c) {
  if (Screen) Screen->SetCursor(c);
}

void TCustomElHeader::RestoreScreenCursor() {
  if (Screen && Screen->Cursor() == crHSplit) Screen->SetCursor(Cursor());
}

// Dragging ------------------------------------------------------------------------------------

void TCustomElHeader::StartDrag() {
  hotSection_ = nullptr;
  dragSection_ = pressedSection_;
  pressing_ = false;
  RepaintSection(dragSection_);
  RECT r = SectionRect(dragSection_);
  const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
  ghost_ = std::make_unique<TBitmap>(w, h);
  ghostBack_ = std::make_unique<TBitmap>(w, h);
  TColor back = dragSection_->ParentColor() ? Color() : dragSection_->Color();
  const uint32_t hls = RGBtoHLS(back);
  int l = HLSLightness(hls);
  ghostColor_ = HLStoRGB(MakeHLS(HLSHue(hls), std::min(kHLSMax, l - l / 4), HLSSaturation(hls)));
  ghost_->Canvas()->Font()->Assign(TControl::Font());
  DrawSection(ghost_->Canvas(), dragSection_, true, RECT{0, 0, w - 1, h - 1});
  dragX_ = pressPoint_.x + leftPos_;
  dragY_ = pressPoint_.y;
  ::SetCapture(Handle());
  dropSection_ = nullptr;
  dragRect_ = SectionRect(dragSection_);
  ::OffsetRect(&dragRect_, -leftPos_, 0);
  // Nothing is under the ghost yet: its first move saves the background.
  ::SetRectEmpty(&dragRect_);
  dragRect_.left = dragRect_.right = SectionRect(dragSection_).left - leftPos_;
}

void TCustomElHeader::MoveGhost(int X) {
  if (!ghost_ || !HandleAllocated()) return;
  HDC dc = ::GetDC(Handle());
  const int w = ghost_->Width(), h = ghost_->Height();
  // Put back what the ghost covered, keep what it will cover, draw it.
  if (dragRect_.right > dragRect_.left)
    ::BitBlt(dc, dragRect_.left, dragRect_.top, w, h, ghostBack_->Canvas()->Handle(), 0, 0, SRCCOPY);
  // By the mouse's move since the last step: the section itself may have
  // moved to another place under the ghost meanwhile (MoveOnDrag).
  const int left = dragRect_.left + (X + leftPos_ - dragX_);
  RECT next{left, 0, left + w, h};
  ::BitBlt(ghostBack_->Canvas()->Handle(), 0, 0, w, h, dc, next.left, next.top, SRCCOPY);
  DrawTransparentBitmapEx(dc, ghost_.get(), next.left, next.top, RECT{0, 0, w, h}, ghostColor_);
  ::ReleaseDC(Handle(), dc);
  dragRect_ = next;
  dragX_ = X + leftPos_;
}

void TCustomElHeader::FreeDragImages() {
  ghost_.reset();
  ghostBack_.reset();
}

void TCustomElHeader::EndDrag(int X, int Y, bool Move) {
  if (Move) {
    dropSection_ = SectionAt(X, Y);
    if (dropSection_ != dragSection_) {
      if (!dropSection_) dropSection_ = SectionAt(X, 1);
      const int target = dropSection_ ? dropSection_->Position() : sections_->Count() - 1;
      if (dropSection_ != dragSection_) sections_->MoveSection(dragSection_, target);
    }
  }
  pressedSection_ = hotSection_ = dragSection_ = dropSection_ = nullptr;
  FreeDragImages();
  releasing_ = true;
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  releasing_ = false;
  if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
  Update();
}

// Gestures ---------------------------------------------------------------------------------------

void TCustomElHeader::LeftDown(int X, int Y) {
  if (lookupOpen_) {
    CloseLookup(false);
    return;
  }
  TElHeaderSection* s = nullptr;
  if (GetResizableSectionAt(X, s) && s && s->Resizable()) {
    resizing_ = true;
    resizeSection_ = s;
    TElHeaderSection* hot = hotSection_;
    hotSection_ = nullptr;
    RepaintSection(hot);
    SetScreenCursor(crHSplit);
    ::SetCapture(Handle());
    lineX_ = s->Right() - leftPos_;
    grabOffset_ = X - lineX_;
    if (!resizeOnDrag_) {
      lineDC_ = ::GetDCEx(Handle(), nullptr, DCX_CACHE | DCX_PARENTCLIP);
      DrawLine();
    }
    TriggerSectionResizingEvent(s, trsBegin, s->Width());
    return;
  }
  pressPoint_ = POINT{X, Y};
  pressing_ = true;
  if (pressedSection_) {
    TElHeaderSection* old = pressedSection_;
    pressedSection_ = nullptr;
    RepaintSection(old);
  }
  pressedSection_ = SectionAt(X, Y);
  if (!pressedSection_) return;
  TElHeaderSection* p = pressedSection_;
  int r = p->Right() - leftPos_ - 4;
  if (p->Expandable() && p->Width() > 14 && X >= r - 7 && X <= r && Y >= 2 && Y <= 9) {
    pressedSection_ = nullptr;
    p->SetExpanded(!p->Expanded());
    if (p->Expanded())
      TriggerSectionExpandEvent(p);
    else
      TriggerSectionCollapseEvent(p);
    return;
  }
  if (p->LookupEnabled() && p->Width() > 14 && X >= r - 7 && X <= r && Y >= 12 && Y <= 16) {
    pressedSection_ = nullptr;
    pressing_ = false;
    OpenLookup(p);
    return;
  }
  if (p->FilterEnabled()) {
    if (p->LookupEnabled() || p->Expandable()) r -= 8;
    if (p->Width() > 9 && X >= r - 6 && X <= r && Y >= 12 && Y <= 16) {
      pressedSection_ = nullptr;
      TriggerFilterCallEvent(p);
      return;
    }
  }
  if (p->AllowClick()) {
    ::SetCapture(Handle());
    RepaintSection(p);
  } else {
    pressedSection_ = nullptr;
  }
}

void TCustomElHeader::MoveTo(int X, int Y) {
  // 1. A press that moved 5 pixels becomes a drag.
  if (pressing_ && allowDrag_ && pressedSection_ && !dragSection_) {
    const double dx = X - pressPoint_.x, dy = Y - pressPoint_.y;
    if (std::sqrt(dx * dx + dy * dy) >= 5) StartDrag();
  }
  // 2. The dragged section follows.
  if (allowDrag_ && !pressing_ && dragSection_) {
    dropSection_ = SectionAt(X, Y);
    if (moveOnDrag_ && dropSection_ != dragSection_) {
      if (dropSection_) {
        const int dp = dropSection_->Position(), sp = dragSection_->Position();
        const int x = X + leftPos_;
        if ((dp > sp && x > dropSection_->Right() - dragSection_->Width()) ||
            (dp < sp && x < dropSection_->Left() + dragSection_->Width()))
          sections_->MoveSection(dragSection_, dp);
      } else {
        sections_->MoveSection(dragSection_, sections_->Count() - 1);
      }
    }
    MoveGhost(X);
  }
  // 3. Hot tracking.
  if ((tracking_ || IsThemeApplied()) && !resizing_ && !dragSection_ && !IsDesigning() && mouseInside_) {
    TElHeaderSection* hot = SectionAt(X, Y);
    if (hot != hotSection_) {
      TElHeaderSection* old = hotSection_;
      hotSection_ = hot;
      RepaintSection(old);
      RepaintSection(hot);
    }
  }
  // 4. The split cursor over a resize zone; a new section hint.
  if (!pressing_ && !resizing_ && !dragSection_ && mouseInside_) {
    TElHeaderSection* s = nullptr;
    if (!IsDesigning() && GetResizableSectionAt(X, s) && s && s->Resizable())
      SetScreenCursor(crHSplit);
    else
      RestoreScreenCursor();
    TElHeaderSection* over = SectionAt(X, Y);
    if (hintSection_ && over != hintSection_ && over && !over->Hint().empty() && ShowHint() && Application) {
      TMessage away{WM_MOUSEMOVE, 0, MAKELPARAM(-10000 & 0xFFFF, -10000 & 0xFFFF), 0};
      Application->HintMouseMessage(this, away);
      TMessage here{WM_MOUSEMOVE, 0, MAKELPARAM(X, Y), 0};
      Application->HintMouseMessage(this, here);
    }
  }
  // 5. Resizing.
  if (resizing_ && resizeSection_) {
    const int l = resizeSection_->Left();
    const int edge = X + leftPos_ - grabOffset_;
    const int w = edge - l;
    if (edge < l) return;
    if (stickySections_) {
      int fixedAfter = 0;
      for (int i = resizeSection_->Position() + 1; i < sections_->Count(); ++i) {
        TElHeaderSection* s = sections_->GetSectionByPos(i);
        if (s->Visible() && !s->Resizable()) fixedAfter += s->Width();
      }
      if (edge >= Width() - fixedAfter) return;
    }
    if (w < resizeSection_->MinWidth() || w > resizeSection_->MaxWidth()) return;
    if (resizeOnDrag_) {
      resizeSection_->SetWidth(w);
      InvalidateFrom(resizeSection_->Position());
      Update();
    } else {
      if (lineShown_) DrawLine();
      lineX_ = l + w - leftPos_;
      DrawLine();
    }
    TriggerSectionResizingEvent(resizeSection_, trsMove, w);
  }
}

void TCustomElHeader::LeftUp(int X, int Y) {
  if (resizing_) {
    resizing_ = false;
    RestoreScreenCursor();
    releasing_ = true;
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    releasing_ = false;
    TElHeaderSection* s = resizeSection_;
    if (!resizeOnDrag_) {
      EndLine();
      if (s) s->SetWidth(lineX_ - s->Left() + leftPos_);
    }
    if (s) {
      TriggerSectionResizingEvent(s, trsEnd, s->Width());
      // Unless the handler has freed it.
      if (resizeSection_ == s) TriggerSectionResizeEvent(s);
    }
    resizeSection_ = nullptr;
    Invalidate();
    Update();
    return;
  }
  if (dragSection_) {
    EndDrag(X, Y, true);
    return;
  }
  pressing_ = false;
  releasing_ = true;
  if (::GetCapture() == Handle()) ::ReleaseCapture();
  releasing_ = false;
  if (pressedSection_) {
    TElHeaderSection* p = pressedSection_;
    pressedSection_ = nullptr;
    RepaintSection(p);
    TElHeaderSection* under = SectionAt(X, Y);
    if (under && SectionAt(pressPoint_.x, pressPoint_.y) == under) TriggerSectionClickEvent(under);
  }
  TElHeaderSection* under = SectionAt(X, Y);
  if (under != hotSection_) {
    TElHeaderSection* old = hotSection_;
    hotSection_ = nullptr;
    RepaintSection(old);
  }
}

void TCustomElHeader::DoubleClick(int X, int Y) {
  int kind = 1;
  TElHeaderSection* s = HitTest(X, Y, kind);
  if (kind == 0 && s && s->Resizable()) TriggerSectionAutoSizeEvent(s);
}

bool TCustomElHeader::RightDown(int X, int Y) {
  if (resizing_) return false;
  POINT sp{X, Y};
  ::ClientToScreen(Handle(), &sp);
  TElHeaderSection* s = SectionAt(X, Y);
  if (s && s->PopupMenu()) {
    if (auto* menu = dynamic_cast<TPopupMenu*>(s->PopupMenu()); menu && menu->AutoPopup()) {
      menu->SetPopupComponent(this);
      menu->Popup(sp.x, sp.y);
    }
  } else if (TPopupMenu* menu = PopupMenu(); menu && menu->AutoPopup()) {
    menu->SetPopupComponent(this);
    menu->Popup(sp.x, sp.y);
  }
  return true;
}

void TCustomElHeader::MouseEntered() {
  if (pressedSection_ && !dragSection_) {
    pressing_ = true;
    RepaintSection(pressedSection_);
  }
  mouseInside_ = true;
}

void TCustomElHeader::MouseLeft() {
  mouseInside_ = false;
  dropSection_ = nullptr;
  if (pressing_) {
    pressing_ = false;
    RepaintSection(pressedSection_);
  }
  if (hotSection_) {
    TElHeaderSection* old = hotSection_;
    hotSection_ = nullptr;
    RepaintSection(old);
  }
  if (!resizing_) RestoreScreenCursor();
  hintSection_ = nullptr;
}

void TCustomElHeader::ReleaseOwnCapture() {
  releasing_ = true;
  if (HandleAllocated() && ::GetCapture() == Handle()) ::ReleaseCapture();
  releasing_ = false;
}

// A section can go while the mouse is on it: a click handler that rebuilds
// the columns, a reload of the stored layout. Whatever gesture it was part
// of ends here without events, and the lookup box it opened closes, so
// nothing later reaches the freed section.
void TCustomElHeader::SectionLeaving(TElHeaderSection* Section) {
  if (!Section) return;
  if (hotSection_ == Section) hotSection_ = nullptr;
  if (hintSection_ == Section) hintSection_ = nullptr;
  if (dropSection_ == Section) dropSection_ = nullptr;
  if (pressedSection_ == Section) {
    pressedSection_ = nullptr;
    pressing_ = false;
    if (!resizing_ && !dragSection_) ReleaseOwnCapture();
  }
  if (resizeSection_ == Section) {
    resizeSection_ = nullptr;
    resizing_ = false;
    EndLine();
    ReleaseOwnCapture();
    RestoreScreenCursor();
  }
  if (dragSection_ == Section) {
    dragSection_ = nullptr;
    FreeDragImages();
    ReleaseOwnCapture();
  }
  if (lookupSection_ == Section) {
    lookupSection_ = nullptr;
    if (lookupOpen_) {
      lookupOpen_ = false;
      if (lookupBox_ && !IsDestroying()) {
        lookupBox_->Hide();
        if (savedFocus_ && ::IsWindow(savedFocus_)) ::SetFocus(savedFocus_);
      }
      savedFocus_ = nullptr;
    }
  }
}

void TCustomElHeader::CancelGesture() {
  // A drag the system took away ends where it began, as Escape ends it: the
  // mouse position of a cancel is no drop place.
  if (dragSection_ && allowDrag_ && !pressing_) EndDrag(0, 0, false);
  if (resizing_) LeftUp(-1, -1);
  if (lineDC_) EndLine();
}

void TCustomElHeader::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && !(Shift & ssShift) && dragSection_) EndDrag(0, 0, false);
  TElXPThemedControl::KeyDown(Key, Shift);
}

void TCustomElHeader::Dispatch(TMessage& m) {
  const int x = static_cast<short>(LOWORD(m.LParam)), y = static_cast<short>(HIWORD(m.LParam));
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      LeftDown(x, y);
      break;
    case WM_LBUTTONUP:
      LeftUp(x, y);
      break;
    case WM_MOUSEMOVE:
      MoveTo(x, y);
      break;
    case WM_LBUTTONDBLCLK:
      DoubleClick(x, y);
      break;
    case WM_RBUTTONDOWN:
      if (resizing_) return;
      RightDown(x, y);
      break;
    case WM_RBUTTONUP:
      if (resizing_) return;
      break;
    case WM_CONTEXTMENU:
      // A mouse context menu was shown at the press already.
      if (m.LParam != -1) {
        m.Result = 1;
        return;
      }
      break;
    case CM_MOUSEENTER:
      if (m.LParam == 0) MouseEntered();
      break;
    case CM_MOUSELEAVE:
      if (m.LParam == 0) MouseLeft();
      break;
    case WM_CANCELMODE:
      CancelGesture();
      break;
    case WM_CAPTURECHANGED:
      // Another window took the mouse without a cancel-mode message (a task
      // switch, another window's SetCapture): end the gesture as cancel
      // mode does, so no tracking line and no cached DC are left behind.
      if (!releasing_ && HandleAllocated() && reinterpret_cast<HWND>(m.LParam) != Handle()) CancelGesture();
      break;
    case WM_KILLFOCUS:
      if ((pressing_ || resizing_ || dragSection_) && OnMouseUp) {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        OnMouseUp(this, TMouseButton::mbLeft, 0, p.x, p.y);
      }
      break;
    case WM_SIZE:
      EnsureButtonHeight();
      TElXPThemedControl::Dispatch(m);
      AdjustHeight();
      return;
    case WM_SYSCOLORCHANGE:
    case CM_SYSCOLORCHANGE:
      TElXPThemedControl::Dispatch(m);
      Invalidate();
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case CM_HINTSHOW:
      HintShow(m);
      return;
    case CM_DRAG: {
      const auto dm = static_cast<TDragMessage>(m.WParam);
      if (dm == TDragMessage::dmDragLeave || dm == TDragMessage::dmDragDrop || dm == TDragMessage::dmDragCancel) {
        TElHeaderSection* d = dropSection_;
        dropSection_ = nullptr;
        RepaintSection(d);
        if (dm == TDragMessage::dmDragCancel) dragSection_ = nullptr;
      }
      break;
    }
    default:
      break;
  }
  TElXPThemedControl::Dispatch(m);
}

// Lookup box ------------------------------------------------------------------------------------

void TCustomElHeader::OpenLookup(TElHeaderSection* Section) {
  if (!Parent()) return;
  if (!lookupBox_) {
    lookupBox_ = new TElHeaderLookupBox(this);
    lookupBox_->SetVisible(false);
    lookupBox_->SetParent(Parent());
  } else {
    settingLookupText_ = true;
    lookupBox_->SetBoxText("");
    settingLookupText_ = false;
  }
  if (lookupBox_->Parent() != Parent()) lookupBox_->SetParent(Parent());
  lookupSection_ = Section;
  RECT r = SectionRect(Section);
  ::OffsetRect(&r, Left() - leftPos_, Top());
  TFont* f = lookupBox_->Font();
  f->Assign(TControl::Font());
  const int fh = TControl::Font()->Height();
  f->SetHeight(fh < 0 ? fh + 2 : fh - 2);
  lookupBox_->SetBounds(r.left, r.top, r.right - r.left, std::max<int>(r.bottom - r.top - 2, 0));
  lookupBox_->HandleNeeded();
  lookupBox_->SetItems(Section->LookupHistory());
  lookupOpen_ = true;
  lookupBox_->Show();
  lookupBox_->BringToFront();
  savedFocus_ = ::GetFocus();
  ::SetFocus(lookupBox_->Edit() ? lookupBox_->Edit() : lookupBox_->Handle());
}

void TCustomElHeader::LookupTextChanged() {
  if (settingLookupText_ || !lookupOpen_ || !lookupBox_) return;
  std::string text = lookupBox_->BoxText();
  const std::string before = text;
  TriggerHeaderLookupEvent(lookupSection_, text);
  if (text != before) {
    settingLookupText_ = true;
    lookupBox_->SetBoxText(text);
    settingLookupText_ = false;
  }
}

void TCustomElHeader::CloseLookup(bool Accepted) {
  if (!lookupOpen_ || !lookupBox_) return;
  lookupOpen_ = false;
  const std::string text = lookupBox_->BoxText();
  TElHeaderSection* s = lookupSection_;
  TriggerHeaderLookupDoneEvent(s, text, Accepted);
  // The handler may have rebuilt the columns.
  if (Accepted && s && lookupSection_ == s) {
    TStringList& history = s->LookupHistory();
    int at = history.IndexOf(text);
    if (at >= 0) history.Delete(at);
    history.Insert(0, text);
  }
  lookupBox_->Hide();
  if (savedFocus_ && ::IsWindow(savedFocus_)) ::SetFocus(savedFocus_);
  savedFocus_ = nullptr;
}

}  // namespace morvane
