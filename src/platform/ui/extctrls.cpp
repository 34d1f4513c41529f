#include "platform/ui/extctrls.h"

#include <algorithm>

namespace morvane {

// TPanel ---------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks);
  SetColor(clBtnFace);
  SetBounds(0, 0, 185, 41);
}

void TPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
  if (borderStyle_ == TBorderStyle::bsSingle) {
    if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
    else p.Style |= WS_BORDER;
  }
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TPanel::AdjustClientRect(RECT& r) {
  int b = BorderWidth();
  if (outer_ != TBevelCut::bvNone) b += bevelWidth_;
  if (inner_ != TBevelCut::bvNone) b += bevelWidth_;
  InflateRect(&r, -b, -b);
}

void TPanel::SetBevelOuter(TBevelCut v) {
  if (v == outer_) return;
  outer_ = v;
  Realign();
  Invalidate();
}
void TPanel::SetBevelInner(TBevelCut v) {
  if (v == inner_) return;
  inner_ = v;
  Realign();
  Invalidate();
}
void TPanel::SetBevelWidth(int v) {
  if (v == bevelWidth_ || v < 1) return;
  bevelWidth_ = v;
  Realign();
  Invalidate();
}
void TPanel::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}
void TPanel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TPanel::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
  if (m.Msg == WM_SIZE) Invalidate();
  TCustomControl::Dispatch(m);
}

namespace {
void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    --r.right;
    --r.bottom;
    HPEN tl = CreatePen(PS_SOLID, 1, topLeft), br = CreatePen(PS_SOLID, 1, bottomRight);
    HGDIOBJ old = SelectObject(dc, tl);
    MoveToEx(dc, r.left, r.bottom, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right, r.top);
    SelectObject(dc, br);
    LineTo(dc, r.right, r.bottom);
    LineTo(dc, r.left - 1, r.bottom);
    SelectObject(dc, old);
    DeleteObject(tl);
    DeleteObject(br);
    InflateRect(&r, -1, -1);
    ++r.right;
    ++r.bottom;
  }
}
}  // namespace

void TPanel::Paint() {
  RECT r = ClientRect();
  HDC dc = Canvas()->Handle();
  const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  if (outer_ != TBevelCut::bvNone) {
    bool raised = outer_ == TBevelCut::bvRaised;
    Frame3D(dc, r, raised ? hi : sh, raised ? sh : hi, bevelWidth_);
  }
  InflateRect(&r, -BorderWidth(), -BorderWidth());
  if (inner_ != TBevelCut::bvNone) {
    bool raised = inner_ == TBevelCut::bvRaised;
    Frame3D(dc, r, raised ? hi : sh, raised ? sh : hi, bevelWidth_);
  }
  std::string t = Caption();
  if (!t.empty()) {
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas()->Handle();
    HDC cdc = Canvas()->Handle();
    Canvas()->TextExtent(" ");  // selects the font
    SetBkMode(cdc, TRANSPARENT);
    SetTextColor(cdc, ColorToRGB(Font()->Color()));
    UINT f = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
             (alignment_ == TAlignment::taCenter ? DT_CENTER : alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT);
    DrawTextA(cdc, t.c_str(), static_cast<int>(t.size()), &r, f);
  }
}

// TBevel ---------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  if (v == shape_) return;
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  if (v == style_) return;
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  HDC dc = Canvas()->Handle();
  COLORREF c1 = GetSysColor(style_ == TBevelStyle::bsLowered ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  COLORREF c2 = GetSysColor(style_ == TBevelStyle::bsLowered ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
  const int w = Width(), h = Height();
  auto line = [&](COLORREF c, int x1, int y1, int x2, int y2) {
    TPenHandle pen(CreatePen(PS_SOLID, 1, c));
    TSelectObject sel(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  switch (shape_) {
    case TBevelShape::bsBox: {
      RECT r{0, 0, w, h};
      Frame3D(dc, r, c1, c2, 1);
      break;
    }
    case TBevelShape::bsFrame: {
      RECT r{0, 0, w - 1, h - 1};
      Frame3D(dc, r, c1, c1, 1);
      r = RECT{1, 1, w, h};
      Frame3D(dc, r, c2, c2, 1);
      break;
    }
    case TBevelShape::bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case TBevelShape::bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case TBevelShape::bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case TBevelShape::bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case TBevelShape::bsSpacer:
      break;
  }
}

// TImage ---------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  picture_.OnChange = [this](TObject*) {
    if (auto* g = picture_.Graphic()) g->SetTransparent(transparent_);
    Invalidate();
  };
  SetBounds(0, 0, 105, 105);
}

void TImage::SetStretch(bool v) {
  if (v == stretch_) return;
  stretch_ = v;
  Invalidate();
}
void TImage::SetCenter(bool v) {
  if (v == center_) return;
  center_ = v;
  Invalidate();
}
void TImage::SetProportional(bool v) {
  if (v == proportional_) return;
  proportional_ = v;
  Invalidate();
}
void TImage::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  if (auto* g = picture_.Graphic()) g->SetTransparent(v);
  Invalidate();
}

RECT TImage::DestRect() {
  int pw = picture_.Width(), ph = picture_.Height();
  const int cw = Width(), ch = Height();
  if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
    if (proportional_ && pw > 0 && ph > 0) {
      double s = std::min(static_cast<double>(cw) / pw, static_cast<double>(ch) / ph);
      pw = static_cast<int>(pw * s);
      ph = static_cast<int>(ph * s);
    } else {
      pw = cw;
      ph = ch;
    }
  }
  RECT r{0, 0, pw, ph};
  if (center_) OffsetRect(&r, (cw - pw) / 2, (ch - ph) / 2);
  return r;
}

void TImage::Paint() {
  if (TGraphic* g = picture_.Graphic()) {
    g->SetTransparent(transparent_);
    Canvas()->StretchDraw(DestRect(), g);
  }
}

// TSplitter ------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(TAlign::alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

TControl* TSplitter::FindTarget() {
  TWinControl* p = Parent();
  if (!p) return nullptr;
  // The aligned control that touches the splitter on the side it is aligned to.
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    switch (Align()) {
      case TAlign::alLeft: if (c->Left() + c->Width() == Left()) return c; break;
      case TAlign::alRight: if (c->Left() == Left() + Width()) return c; break;
      case TAlign::alTop: if (c->Top() + c->Height() == Top()) return c; break;
      case TAlign::alBottom: if (c->Top() == Top() + Height()) return c; break;
      default: break;
    }
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != TMouseButton::mbLeft) return;
  target_ = FindTarget();
  down_ = ClientToScreen(POINT{X, Y});
  if (target_) startSize_ = (Align() == TAlign::alLeft || Align() == TAlign::alRight) ? target_->Width() : target_->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!target_ || !(Shift & ssLeft)) return;
  POINT p = ClientToScreen(POINT{X, Y});
  int d = 0;
  switch (Align()) {
    case TAlign::alLeft: d = p.x - down_.x; break;
    case TAlign::alRight: d = down_.x - p.x; break;
    case TAlign::alTop: d = p.y - down_.y; break;
    case TAlign::alBottom: d = down_.y - p.y; break;
    default: return;
  }
  int size = std::max(minSize_, startSize_ + d);
  if (Align() == TAlign::alLeft || Align() == TAlign::alRight) target_->SetWidth(size);
  else target_->SetHeight(size);
  if (Parent()) Parent()->Update();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (target_) {
    target_ = nullptr;
    if (OnMoved) OnMoved(this);
  }
}

void TSplitter::Paint() {
  Canvas()->Brush()->SetColor(Color() == clWindow ? clBtnFace : Color());
  Canvas()->FillRect(RECT{0, 0, Width(), Height()});
}

}  // namespace morvane
