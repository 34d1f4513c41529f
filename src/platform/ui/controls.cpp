#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"

namespace morvane {

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & (1 << 29)) s |= ssAlt;
  return s;
}

std::string GetShortHint(const std::string& Hint) {
  size_t p = Hint.find('|');
  return p == std::string::npos ? Hint : Hint.substr(0, p);
}

std::string GetLongHint(const std::string& Hint) {
  size_t p = Hint.find('|');
  return p == std::string::npos ? Hint : Hint.substr(p + 1);
}

// The graphic control that has the mouse captured (a window control uses SetCapture).
TControl* gCaptureControl = nullptr;

bool NewStyleControls = true;

void SendCancelMode(TControl* Sender) {
  TControl* capture = gCaptureControl;
  if (!capture) capture = TWinControl::FromHandle(GetCapture());
  if (capture && capture != Sender) capture->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  TWinControl* focused = TWinControl::FromHandle(GetFocus());
  if (focused && focused != Sender && focused != capture) focused->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}


// TControl ----------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  windowProc_ = TWndMethod(this, &TControl::WndProc);
  font_.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  Destroying();
  if (gCaptureControl == this) gCaptureControl = nullptr;
  ForgetDragControl(this);
  Application->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  windowProc_(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (IsMouseMsg(Message)) {
    if (Message.Msg == WM_MOUSEMOVE) Application->HintMouseMessage(this, Message);
    if (DragManagerHandles(this, Message)) return;
  }
  Dispatch(Message);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton b, TShiftState extra) {
  if (controlStyle_ & csNoStdEvents) return;
  MouseDown(b, KeysToShiftState(m.WParam) | extra, static_cast<short>(LOWORD(m.LParam)),
            static_cast<short>(HIWORD(m.LParam)));
}

void TControl::DoMouseUp(TMessage& m, TMouseButton b) {
  if (controlStyle_ & csNoStdEvents) return;
  MouseUp(b, KeysToShiftState(m.WParam), static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      DefaultHandler(m);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      controlState_ |= csLButtonDown;
      if (dragMode_ == TDragMode::dmAutomatic) BeginDrag(false);
      DoMouseDown(m, TMouseButton::mbLeft, 0);
      return;
    case WM_LBUTTONDBLCLK:
      DefaultHandler(m);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      controlState_ |= csLButtonDown;
      DoMouseDown(m, TMouseButton::mbLeft, ssDouble);
      if (controlStyle_ & csClickEvents) DblClick();
      return;
    case WM_LBUTTONUP: {
      DefaultHandler(m);
      const bool clicked = (controlState_ & csClicked) != 0;
      controlState_ &= ~(csClicked | csLButtonDown);
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
      if (clicked) {
        POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        RECT r = ClientRect();
        if (PtInRect(&r, p)) Click();
      }
      DoMouseUp(m, TMouseButton::mbLeft);
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      DefaultHandler(m);
      DoMouseDown(m, TMouseButton::mbRight, m.Msg == WM_RBUTTONDBLCLK ? TShiftState(ssDouble) : TShiftState(0));
      return;
    case WM_RBUTTONUP:
      DefaultHandler(m);
      DoMouseUp(m, TMouseButton::mbRight);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      DefaultHandler(m);
      DoMouseDown(m, TMouseButton::mbMiddle, m.Msg == WM_MBUTTONDBLCLK ? TShiftState(ssDouble) : TShiftState(0));
      return;
    case WM_MBUTTONUP:
      DefaultHandler(m);
      DoMouseUp(m, TMouseButton::mbMiddle);
      return;
    case WM_MOUSEMOVE:
      DefaultHandler(m);
      if (!(controlStyle_ & csNoStdEvents))
        MouseMove(KeysToShiftState(m.WParam), static_cast<short>(LOWORD(m.LParam)),
                  static_cast<short>(HIWORD(m.LParam)));
      return;
    case WM_CONTEXTMENU: {
      POINT sp{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      POINT cp = sp;
      if (sp.x == -1 && sp.y == -1) {
        cp = POINT{0, 0};
        sp = ClientToScreen(cp);
      } else {
        cp = ScreenToClient(sp);
      }
      bool handled = false;
      DoContextPopup(cp, handled);
      if (handled) {
        m.Result = 1;
        return;
      }
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(sp.x, sp.y);
        m.Result = 1;
        return;
      }
      DefaultHandler(m);
      return;
    }
    case CM_MOUSEENTER:
      if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
      if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      return;
    case CM_MOUSELEAVE:
      if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
      if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        inFontSync_ = true;
        font_.Assign(parent_->Font());
        inFontSync_ = false;
      }
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
      }
      return;
    case CM_HINTSHOW:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_VISIBLECHANGED:
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
    case CM_SHOWHINTCHANGED:
    case CM_CURSORCHANGED:
    case CM_CANCELMODE:
    case CM_ACTIVATE:
    case CM_DEACTIVATE:
    case CM_APPKEYDOWN:
    case CM_APPSYSCOMMAND:
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED:
    case CM_SHOWINGCHANGED:
      if (m.Msg == CM_COLORCHANGED || m.Msg == CM_FONTCHANGED || m.Msg == CM_ENABLEDCHANGED) Invalidate();
      return;
    case CM_DRAG:
      DragMessage(this, m);
      return;
    case WM_CANCELMODE:
      if (gCaptureControl == this) SetMouseCapture(false);
      DefaultHandler(m);
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  if (Message.Msg == WM_GETTEXTLENGTH) Message.Result = static_cast<LRESULT>(text_.size());
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == parent_) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool sized = AWidth != width_ || AHeight != height_;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  if (sized) Resize();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  if (parent_ && visible_) InvalidateRect(RECT{0, 0, width_, height_});
  UpdateBoundsFields(ALeft, ATop, AWidth, AHeight);
  if (parent_ && visible_) InvalidateRect(RECT{0, 0, width_, height_});
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_) parent_->Realign();
}

RECT TControl::ClientRect() { return RECT{0, 0, width_, height_}; }

void TControl::SetClientWidth(int v) {
  RECT r = ClientRect();
  SetWidth(width_ - (r.right - r.left) + v);
}

void TControl::SetClientHeight(int v) {
  RECT r = ClientRect();
  SetHeight(height_ - (r.bottom - r.top) + v);
}

POINT TControl::ClientOrigin() {
  if (!parent_) return POINT{left_, top_};
  POINT p = parent_->ClientOrigin();
  return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  RequestAlign();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  if (parent_) parent_->InvalidateRect(BoundsRect());
  RequestAlign();
  BroadcastShowing();
}

bool TControl::Showing() const {
  const TControl* c = this;
  for (; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (!c->parent_) break;
  }
  return c && dynamic_cast<const TCustomForm*>(c) != nullptr;
}

void TControl::BroadcastShowing() {
  Perform(CM_SHOWINGCHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->BroadcastShowing();
  }
}

void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  SetVisible(true);
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor v) {
  if (v == color_) {
    parentColor_ = false;
    return;
  }
  color_ = v;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged() {
  if (!inFontSync_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::ParentFontChanged() { Perform(CM_PARENTFONTCHANGED); }
void TControl::ParentColorChanged() { Perform(CM_PARENTCOLORCHANGED); }

void TControl::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool v) {
  parentShowHint_ = false;
  if (v == showHint_) return;
  showHint_ = v;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v && parent_) showHint_ = parent_->ShowHint();
}

void TControl::SetPopupMenu(TPopupMenu* v) {
  if (v == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent && AComponent == popupMenu_) popupMenu_ = nullptr;
}

std::string TControl::GetText() { return text_; }
void TControl::SetTextBuf(const std::string& v) { text_ = v; }

void TControl::SetText(const std::string& v) {
  if (v == GetText()) return;
  SetTextBuf(v);
  Perform(CM_TEXTCHANGED);
}

bool TControl::MouseCapture() {
  if (auto* w = dynamic_cast<TWinControl*>(this)) return w->HandleAllocated() && GetCapture() == w->Handle();
  return gCaptureControl == this;
}

void TControl::SetMouseCapture(bool v) {
  if (v == MouseCapture()) return;
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (v) SetCapture(w->Handle());
    else ReleaseCapture();
    return;
  }
  // A graphic control borrows its parent's window for the capture.
  if (v) {
    gCaptureControl = this;
    if (parent_) SetCapture(parent_->Handle());
  } else {
    gCaptureControl = nullptr;
    ReleaseCapture();
  }
}

void TControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated() && visible_) {
    RECT r = BoundsRect();
    ::InvalidateRect(parent_->Handle(), &r, !(controlStyle_ & csOpaque));
  }
}

void TControl::InvalidateRect(const RECT& r) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (w->HandleAllocated()) ::InvalidateRect(w->Handle(), &r, TRUE);
    return;
  }
  if (parent_ && parent_->HandleAllocated()) {
    RECT pr = r;
    OffsetRect(&pr, left_, top_);
    ::InvalidateRect(parent_->Handle(), &pr, TRUE);
  }
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& v = parent_->controls_;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  v.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& v = parent_->controls_;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  v.insert(v.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}
void TControl::DoContextPopup(POINT MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

}  // namespace morvane
