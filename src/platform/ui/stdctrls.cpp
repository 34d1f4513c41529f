#include "platform/ui/stdctrls.h"

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/forms.h"

namespace morvane {

namespace {
constexpr TControlStyle kWindowClicks = csSetCaption | csDoubleClicks;

std::string NormalizeLineEnds(std::string_view v) {
  std::string out;
  out.reserve(v.size() + v.size() / 16);
  for (size_t i = 0; i < v.size(); ++i) {
    char c = v[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < v.size() && v[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else if (c == '\0') {
      break;
    } else {
      out += c;
    }
  }
  return out;
}
}  // namespace

// TLabel ---------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner), measureDC_(nullptr) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 13);
}

TLabel::~TLabel() { Destroying(); }

void TLabel::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "STATIC");
  p.Style |= SS_NOTIFY;
  switch (alignment_) {
    case TAlignment::taLeftJustify: p.Style |= wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    case TAlignment::taCenter: p.Style |= SS_CENTER; break;
    case TAlignment::taRightJustify: p.Style |= SS_RIGHT; break;
  }
  if (!showAccelChar_) p.Style |= SS_NOPREFIX;
  if (layout_ == TTextLayout::tlCenter && !wordWrap_) p.Style |= SS_CENTERIMAGE;
}

TCanvas* TLabel::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    canvas_->SetHandle(measureDC_.Get());
  }
  canvas_->Font()->Assign(Font());
  return canvas_.get();
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  std::string t = Caption();
  if (t.empty()) t.assign(1, ' ');
  HDC dc = measureDC_.Get();
  TSelectObject sel(dc, Font()->Handle());
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) | (showAccelChar_ ? 0 : DT_NOPREFIX);
  DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r, flags);
  int w = wordWrap_ ? Width() : r.right;
  int l = Left();
  if (alignment_ == TAlignment::taRightJustify && !wordWrap_) l = Left() + Width() - w;
  SetBounds(l, Top(), w, r.bottom);
}

void TLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}
void TLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
  AdjustBounds();
}
void TLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  RecreateWnd();
}
void TLabel::SetLayout(TTextLayout v) {
  if (v == layout_) return;
  layout_ = v;
  RecreateWnd();
}
void TLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  RecreateWnd();
  AdjustBounds();
}
void TLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      AdjustBounds();
      Invalidate();
      return;
    case CN_CTLCOLORSTATIC:
      if (transparent_) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkMode(dc, TRANSPARENT);
        m.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      if (focusControl_ && focusControl_->CanFocus()) focusControl_->SetFocus();
      break;
    default:
      break;
  }
  TWinControl::Dispatch(m);
}

// TStaticText ----------------------------------------------------------------------

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TStaticText::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "STATIC");
  p.Style |= SS_NOTIFY | (alignment_ == TAlignment::taCenter ? SS_CENTER
                          : alignment_ == TAlignment::taRightJustify ? SS_RIGHT : SS_LEFT);
  if (borderStyle_ == TStaticBorderStyle::sbsSunken) p.Style |= SS_SUNKEN;
  if (borderStyle_ == TStaticBorderStyle::sbsSingle) p.Style |= WS_BORDER;
}

void TStaticText::SetBorderStyle(TStaticBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TStaticText::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  RecreateWnd();
}

void TStaticText::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
  TWinControl::Dispatch(m);
}

// TCustomEdit ----------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(kWindowClicks);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (readOnly_) p.Style |= ES_READONLY;
  if (passwordChar_) p.Style |= ES_PASSWORD;
  if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
  else p.Style |= WS_BORDER;
}

void TCustomEdit::InitializeWindow() {
  HWND h = Handle();
  SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessageA(h, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  SendMessageA(h, EM_SETMODIFY, modified_, 0);
  SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selStart_ + selLength_));
}

void TCustomEdit::SaveWindowState() {
  modified_ = Modified();
  selStart_ = SelStart();
  selLength_ = SelLength();
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) v = 0;
  maxLength_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetPasswordChar(char v) {
  if (v == passwordChar_) return;
  passwordChar_ = v;
  RecreateWnd();
}

bool TCustomEdit::Modified() {
  return HandleAllocated() ? SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TCustomEdit::SetModified(bool v) {
  modified_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, v, 0);
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) return selStart_;
  DWORD s = 0, e = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(s);
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) return selLength_;
  DWORD s = 0, e = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}

void TCustomEdit::SetSelStart(int v) {
  selStart_ = v;
  selLength_ = 0;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(v), static_cast<LPARAM>(v));
}

void TCustomEdit::SetSelLength(int v) {
  int s = SelStart();
  selLength_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(s), static_cast<LPARAM>(s + v));
}

std::string TCustomEdit::SelText() {
  std::string t = Text();
  int s = std::clamp(SelStart(), 0, static_cast<int>(t.size()));
  int n = std::clamp(SelLength(), 0, static_cast<int>(t.size()) - s);
  return t.substr(static_cast<size_t>(s), static_cast<size_t>(n));
}

void TCustomEdit::SetSelText(const std::string& v) {
  SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, 0, -1);
  else {
    selStart_ = 0;
    selLength_ = static_cast<int>(text_.size());
  }
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == EN_CHANGE && !(ControlState() & (csCreating | csRecreating)) && !settingText_) {
        // Some systems send the notice for keys that changed nothing (over MaxLength).
        std::string now = Text();
        if (now != lastText_) {
          lastText_ = now;
          Change();
        }
      }
      return;
    case CM_TEXTCHANGED:
      TWinControl::Dispatch(m);
      lastText_ = Text();
      Change();
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

void TCustomEdit::SetTextBuf(const std::string& v) {
  settingText_ = true;
  try {
    TWinControl::SetTextBuf(v);
  } catch (...) {
    settingText_ = false;
    throw;
  }
  settingText_ = false;
}

// TMemo ----------------------------------------------------------------------------

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(this) { SetBounds(0, 0, 185, 89); }

void TMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~ES_AUTOHSCROLL;
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (wantReturns_) p.Style |= ES_WANTRETURN;
  if (!wordWrap_) p.Style |= ES_AUTOHSCROLL;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_HSCROLL;
}

void TMemo::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
}

void TMemo::Dispatch(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(m);
    if (!wantTabs_) m.Result &= ~DLGC_WANTTAB;
    if (!wantReturns_) m.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::Dispatch(m);
}

std::vector<std::string> TMemoStrings::Lines() const {
  if (havePending_) return pending_;
  std::string t = memo_->Text();
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= t.size()) {
    size_t e = t.find_first_of("\r\n", start);
    if (e == std::string::npos) {
      out.push_back(t.substr(start));
      break;
    }
    out.push_back(t.substr(start, e - start));
    start = e + ((t[e] == '\r' && e + 1 < t.size() && t[e + 1] == '\n') ? 2 : 1);
  }
  // A last line without text is no line: "a\r\n" holds one line.
  if (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

void TMemoStrings::Store(const std::vector<std::string>& lines) {
  if (updating_) {
    pending_ = lines;
    havePending_ = true;
    return;
  }
  std::string t;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) t += "\r\n";
    t += lines[i];
  }
  memo_->SetText(t);
}

int TMemoStrings::Count() const { return static_cast<int>(Lines().size()); }

std::string TMemoStrings::Get(int Index) const {
  auto l = Lines();
  if (Index < 0 || Index >= static_cast<int>(l.size())) Error("List index out of bounds (%d)", Index);
  return l[static_cast<size_t>(Index)];
}

void TMemoStrings::Put(int Index, const std::string& S) {
  auto l = Lines();
  if (Index < 0 || Index >= static_cast<int>(l.size())) Error("List index out of bounds (%d)", Index);
  l[static_cast<size_t>(Index)] = S;
  Store(l);
}

void TMemoStrings::Insert(int Index, const std::string& S) {
  auto l = Lines();
  if (Index < 0 || Index > static_cast<int>(l.size())) Error("List index out of bounds (%d)", Index);
  l.insert(l.begin() + Index, S);
  Store(l);
}

void TMemoStrings::Delete(int Index) {
  auto l = Lines();
  if (Index < 0 || Index >= static_cast<int>(l.size())) Error("List index out of bounds (%d)", Index);
  l.erase(l.begin() + Index);
  Store(l);
}

void TMemoStrings::Clear() { Store({}); }

std::string TMemoStrings::Text() const {
  if (havePending_) return TStrings::Text();
  return memo_->Text();
}

void TMemoStrings::SetText(std::string_view Value) {
  if (updating_) {
    TStrings::SetText(Value);
    return;
  }
  memo_->SetText(NormalizeLineEnds(Value));
}

void TMemoStrings::SetUpdateState(bool Updating) {
  if (Updating) {
    pending_ = Lines();
    havePending_ = true;
    updating_ = true;
  } else {
    updating_ = false;
    havePending_ = false;
    Store(pending_);
    pending_.clear();
  }
}

// Buttons --------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(kWindowClicks);
  SetTabStop(true);
  SetParentColor(true);
}

void TButtonControl::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, "BUTTON");
  p.Style |= (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (wordWrap_ ? BS_MULTILINE : 0);
}

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != 0) {
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(modalResult_);
  }
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      // Wine sends BN_CLICKED for BM_CLICK on a disabled button too.
      if (HIWORD(m.WParam) == BN_CLICKED && Enabled()) Click();
      return;
    case CM_DIALOGKEY: {
      if (!Enabled() || !Visible()) return;
      HWND focus = GetFocus();
      TWinControl* focused = TWinControl::FromHandle(focus);
      const bool focusOnOtherButton = focused && focused != this && dynamic_cast<TButton*>(focused);
      if ((m.WParam == VK_RETURN && ((default_ && !focusOnOtherButton) || Focused())) ||
          (m.WParam == VK_ESCAPE && cancel_)) {
        Click();
        m.Result = 1;
      }
      return;
    }
    default:
      TButtonControl::Dispatch(m);
  }
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, "BUTTON");
  p.Style |= BS_3STATE | (alignment_ == TAlignment::taLeftJustify ? BS_LEFTTEXT : 0) | (wordWrap_ ? BS_MULTILINE : 0);
}

void TCheckBox::InitializeWindow() {
  SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState v) {
  if (v == state_) return;
  state_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(v), 0);
  Click();
}

void TCheckBox::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  RecreateWnd();
}

void TCheckBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED && Enabled()) {
      switch (state_) {
        case TCheckBoxState::cbUnchecked:
          SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
          break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
      }
    }
    return;
  }
  TButtonControl::Dispatch(m);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  CreateSubClass(p, "BUTTON");
  p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::InitializeWindow() { SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : 0, 0); }

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, v ? BST_CHECKED : 0, 0);
  if (v) {
    if (TWinControl* p = Parent()) {
      for (int i = 0; i < p->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this) r->SetChecked(false);
    }
    Click();
  }
}

void TRadioButton::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED && Enabled()) SetChecked(true);
    return;
  }
  TButtonControl::Dispatch(m);
}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csAcceptsControls | kWindowClicks);
  SetParentColor(true);
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "BUTTON");
  p.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TGroupBox::Dispatch(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    // The system's group box draws its frame and caption only.
    RECT r{};
    GetClientRect(Handle(), &r);
    ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, Brush()->Handle());
    m.Result = 1;
    return;
  }
  TWinControl::Dispatch(m);
}

void TGroupBox::AdjustClientRect(RECT& r) {
  r.top += std::abs(Font()->Height()) + 4;
  InflateRect(&r, -2, -2);
}

}  // namespace morvane
