#include "platform/ui/comctrls.h"

#include <algorithm>
#include <cmath>

#include "platform/core/datetime.h"
#include "platform/ui/application.h"

namespace morvane {

// TStatusBar -----------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  if (owner_) owner_->UpdatePanelText(index_);
}
void TStatusPanel::SetWidth(int v) {
  if (v == width_) return;
  width_ = v;
  if (owner_) owner_->UpdatePanels();
}
void TStatusPanel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  if (owner_) owner_->UpdatePanelText(index_);
}
void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (v == bevel_) return;
  bevel_ = v;
  if (owner_) owner_->UpdatePanelText(index_);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetColor(clBtnFace);
  SetAlign(TAlign::alBottom);
  SetBounds(0, 0, 150, 19);
}

TStatusBar::~TStatusBar() {
  Destroying();
  for (auto& p : panels_) p->owner_ = nullptr;
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAMEA);
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::InitializeWindow() {
  if (BorderWidth() > 0) {
    int b[3] = {BorderWidth(), BorderWidth(), BorderWidth()};
    SendMessageA(Handle(), WM_USER + 5 /* SB_SETBORDERS */, 0, reinterpret_cast<LPARAM>(b));
  }
  UpdatePanels();
}

TStatusPanel* TStatusBar::AddPanel() {
  panels_.push_back(std::make_unique<TStatusPanel>());
  TStatusPanel* p = panels_.back().get();
  p->owner_ = this;
  p->index_ = PanelCount() - 1;
  UpdatePanels();
  return p;
}

void TStatusBar::ClearPanels() {
  panels_.clear();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool v) {
  if (v == simplePanel_) return;
  simplePanel_ = v;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& v) {
  simpleText_ = v;
  if (HandleAllocated() && simplePanel_) SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(v.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (v == sizeGrip_) return;
  sizeGrip_ = v;
  RecreateWnd();
}

TCanvas* TStatusBar::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TMeasureCanvas>();
  canvas_->Font()->Assign(Font());
  return canvas_.get();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessageA(h, SB_SIMPLE, simplePanel_, 0);
  if (simplePanel_) {
    SendMessageA(h, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
    return;
  }
  std::vector<int> edges;
  int x = 0;
  for (size_t i = 0; i < panels_.size(); ++i) {
    x += panels_[i]->width_;
    edges.push_back(i + 1 == panels_.size() ? -1 : x);
  }
  if (edges.empty()) edges.push_back(-1);
  SendMessageA(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < PanelCount(); ++i) UpdatePanelText(i);
}

void TStatusBar::UpdatePanelText(int i) {
  if (!HandleAllocated() || simplePanel_ || i < 0 || i >= PanelCount()) return;
  TStatusPanel* p = panels_[static_cast<size_t>(i)].get();
  std::string t = p->alignment_ == TAlignment::taCenter ? "\t" + p->text_
                  : p->alignment_ == TAlignment::taRightJustify ? "\t\t" + p->text_ : p->text_;
  WPARAM flags = static_cast<WPARAM>(i) | (p->bevel_ == TStatusPanelBevel::pbNone ? SBT_NOBORDERS
                                           : p->bevel_ == TStatusPanelBevel::pbRaised ? SBT_POPOUT : 0);
  // The common control paints itself inside SB_SETTEXT; a selection that
  // changes a panel's text twice in one key press would paint the bar twice
  // before the grid. The bar is painted once, with everything else, instead.
  HWND h = Handle();
  const bool shown = IsWindowVisible(h) != FALSE;
  if (shown) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  SendMessageA(h, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(t.c_str()));
  if (shown) {
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    // Turning drawing off dropped whatever was still to be painted.
    ::InvalidateRect(h, nullptr, FALSE);
  }
}

void TStatusBar::Dispatch(TMessage& m) {
  if (m.Msg == CM_FONTCHANGED) {
    TWinControl::Dispatch(m);
    UpdatePanels();
    return;
  }
  TWinControl::Dispatch(m);
}

// TDateTimePicker ------------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), value_(Now()) {
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 186, 21);
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, DATETIMEPICK_CLASSA);
  if (kind_ == TDateTimeKind::dtkTime) p.Style |= DTS_TIMEFORMAT;
  else p.Style |= dateFormat_ == TDTDateFormat::dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
}

void TDateTimePicker::InitializeWindow() {
  SYSTEMTIME st{};
  DateTimeToSystemTime(value_, st);
  SendMessageA(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TDateTimePicker::SaveWindowState() { value_ = DateTime(); }

void TDateTimePicker::SetKind(TDateTimeKind v) {
  if (v == kind_) return;
  kind_ = v;
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
  if (v == dateFormat_) return;
  dateFormat_ = v;
  RecreateWnd();
}

double TDateTimePicker::DateTime() {
  if (!HandleAllocated()) return value_;
  SYSTEMTIME st{};
  if (SendMessageA(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return value_;
  return SystemTimeToDateTime(st);
}

void TDateTimePicker::SetDateTime(double v) {
  value_ = v;
  if (HandleAllocated()) InitializeWindow();
}

double TDateTimePicker::Date() { return std::floor(DateTime()); }
double TDateTimePicker::Time() {
  double d = DateTime();
  return d - std::floor(d);
}
void TDateTimePicker::SetDate(double v) { SetDateTime(std::floor(v) + Time()); }
void TDateTimePicker::SetTime(double v) { SetDateTime(Date() + (v - std::floor(v))); }

void TDateTimePicker::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
    if (nm->code == static_cast<UINT>(DTN_DATETIMECHANGE)) {
      value_ = DateTime();
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::Dispatch(m);
}

// TUpDown --------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetBounds(0, 0, 17, 21);
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, UPDOWN_CLASSA);
  p.Style |= UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT | (wrap_ ? UDS_WRAP : 0);
}

void TUpDown::InitializeWindow() {
  HWND h = Handle();
  if (associate_) SendMessageA(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  SendMessageA(h, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageA(h, UDM_SETPOS32, 0, position_);
  UDACCEL acc{0, static_cast<UINT>(increment_)};
  SendMessageA(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&acc));
}

void TUpDown::SaveWindowState() { position_ = Position(); }

void TUpDown::SetMin(int v) {
  min_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}
void TUpDown::SetMax(int v) {
  max_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}
int TUpDown::Position() {
  if (!HandleAllocated()) return position_;
  BOOL err = FALSE;
  int v = static_cast<int>(SendMessageA(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&err)));
  return err ? position_ : v;
}
void TUpDown::SetPosition(int v) {
  position_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETPOS32, 0, position_);
}
void TUpDown::SetIncrement(int v) {
  increment_ = v;
  if (HandleAllocated()) InitializeWindow();
}
void TUpDown::SetWrap(bool v) {
  if (v == wrap_) return;
  wrap_ = v;
  RecreateWnd();
}
void TUpDown::SetAssociate(TWinControl* v) {
  associate_ = v;
  if (HandleAllocated() && v) {
    SendMessageA(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(v->Handle()), 0);
    SendMessageA(Handle(), UDM_SETPOS32, 0, Position());
  }
}

void TUpDown::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
      if (nm->hdr.code == static_cast<UINT>(UDN_DELTAPOS)) {
        int nv = nm->iPos + nm->iDelta;
        const int lo = std::min(min_, max_), hi = std::max(min_, max_);
        if (nv > hi) nv = wrap_ ? lo : hi;
        if (nv < lo) nv = wrap_ ? hi : lo;
        bool allow = true;
        if (OnChangingEx)
          OnChangingEx(this, allow, static_cast<short>(nv), nm->iDelta > 0 ? TUpDownDirection::updUp : TUpDownDirection::updDown);
        // A refusal keeps the position where it was.
        m.Result = allow ? 0 : 1;
      }
      return;
    }
    case CN_VSCROLL:
    case CN_HSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
        int now = Position();
        TUDBtnType b = now >= position_ ? TUDBtnType::btNext : TUDBtnType::btPrev;
        position_ = now;
        if (OnClick) OnClick(this, b);
      }
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

}  // namespace morvane
