#include "platform/ui/comctrls.h"

#include <algorithm>
#include <cmath>

#include "platform/core/datetime.h"
#include "platform/ui/application.h"

namespace morvane {

// TCustomTabControl ----------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csAcceptsControls | csDoubleClicks | csSetCaption);
  SetTabStop(true);
  SetColor(clBtnFace);
  SetBounds(0, 0, 289, 193);
}

void TCustomTabControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TABCONTROLA);
  p.Style |= WS_CLIPCHILDREN;
  if (style_ == TTabStyle::tsButtons) p.Style |= TCS_BUTTONS;
  if (style_ == TTabStyle::tsFlatButtons) p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
}

void TCustomTabControl::InitializeWindow() {
  if (images_) SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  UpdateTabs();
}

void TCustomTabControl::SetStyle(TTabStyle v) {
  if (v == style_) return;
  style_ = v;
  RecreateWnd();
  Realign();
}

void TCustomTabControl::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated()) SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(v ? v->Handle() : nullptr));
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == images_) images_ = nullptr;
}

RECT TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (HandleAllocated()) {
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  const bool tabs = !TabTexts().empty();
  if (style_ == TTabStyle::tsTabs) {
    InflateRect(&r, -4, -4);
    if (tabs) r.top += 20;
  } else if (tabs) {
    r.top += 27;
  }
  return r;
}

void TCustomTabControl::AdjustClientRect(RECT& Rect) { Rect = DisplayRect(); }

void TCustomTabControl::UpdateTabs() {
  if (!HandleAllocated()) {
    Realign();
    return;
  }
  HWND h = Handle();
  auto texts = TabTexts();
  SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < texts.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = texts[i].data();
    SendMessageA(h, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(CurrentTab()), 0);
  Realign();
  Invalidate();
}

void TCustomTabControl::SelectTab(int Index) {
  if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
      if (nm->code == static_cast<UINT>(TCN_SELCHANGING)) {
        m.Result = CanChange() ? 0 : 1;
        return;
      }
      if (nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
        TabSelected(static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)));
        Change();
        return;
      }
      return;
    }
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      Realign();
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// TTabSheet ------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csAcceptsControls | csSetCaption | csCaptureMouse | csClickEvents | csDoubleClicks);
  SetVisibleFlag(false);
  SetColor(clBtnFace);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* v) {
  if (v == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = nullptr;
  SetParent(v);
  if (v) {
    pageControl_ = v;
    v->InsertPage(this);
  }
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& p = pageControl_->pages_;
  return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (!pageControl_) return;
  auto& p = pageControl_->pages_;
  p.erase(std::remove(p.begin(), p.end(), this), p.end());
  v = std::clamp(v, 0, static_cast<int>(p.size()));
  p.insert(p.begin() + v, this);
  pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int n = 0;
  for (TTabSheet* s : pageControl_->pages_) {
    if (s == this) return n;
    if (s->tabVisible_) ++n;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::SetVisible(bool v) { TWinControl::SetVisible(v); }

void TTabSheet::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_SHOWINGCHANGED: {
      // A sheet's OnShow runs each time it comes on screen: when it becomes
      // the active page of a shown page control, or its form is shown.
      const bool s = Showing();
      if (s != showing_) {
        showing_ = s;
        if (s && OnShow) OnShow(this);
        if (!s && OnHide) OnHide(this);
      }
      return;
    }
    case CM_TEXTCHANGED:
      TWinControl::Dispatch(m);
      if (pageControl_) pageControl_->UpdateTabs();
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// TPageControl ---------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* s : pages_) s->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::InsertPage(TTabSheet* p) {
  pages_.push_back(p);
  p->SetBounds(DisplayRect().left, DisplayRect().top, DisplayRect().right - DisplayRect().left,
               DisplayRect().bottom - DisplayRect().top);
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* p) {
  if (activePage_ == p) {
    TTabSheet* next = FindNextPage(p, true, false);
    activePage_ = nullptr;
    if (next && next != p && !HasState(csDestroying)) SetActivePage(next);
  }
  pages_.erase(std::remove(pages_.begin(), pages_.end(), p), pages_.end());
  p->pageControl_ = nullptr;
  if (!HasState(csDestroying)) UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* v) {
  if (v && v->pageControl_ != this) return;
  if (v == activePage_) return;
  TTabSheet* old = activePage_;
  activePage_ = v;
  if (v) {
    RECT r = DisplayRect();
    v->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    v->BringToFront();
    v->SetVisible(true);
  }
  if (old && old->pageControl_ == this) old->SetVisible(false);
  SelectTab(v ? v->TabIndex() : -1);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
  SetActivePage(v >= 0 && v < PageCount() ? pages_[static_cast<size_t>(v)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  const int n = PageCount();
  if (n == 0) return nullptr;
  int start = CurPage ? CurPage->PageIndex() : (GoForward ? n - 1 : 0);
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  do {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* s = pages_[static_cast<size_t>(i)];
    if (!CheckTabVisible || s->TabVisible()) return s;
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* p = FindNextPage(activePage_, GoForward, true);
  if (p && p != activePage_ && CanChange()) {
    SetActivePage(p);
    Change();
  }
}

void TPageControl::ShowControl(TControl* AControl) {
  if (auto* s = dynamic_cast<TTabSheet*>(AControl); s && s->pageControl_ == this) SetActivePage(s);
  TCustomTabControl::ShowControl(AControl);
}

std::vector<std::string> TPageControl::TabTexts() {
  std::vector<std::string> t;
  for (TTabSheet* s : pages_)
    if (s->TabVisible()) t.push_back(s->Caption());
  return t;
}

int TPageControl::CurrentTab() { return activePage_ ? activePage_->TabIndex() : -1; }

void TPageControl::TabSelected(int Index) {
  for (TTabSheet* s : pages_)
    if (s->TabIndex() == Index) {
      SetActivePage(s);
      return;
    }
}

void TPageControl::AlignControls(TControl* AControl, RECT& Rect) {
  RECT r = DisplayRect();
  for (TTabSheet* s : pages_) s->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  TCustomTabControl::AlignControls(AControl, Rect);
}

// TTabControl ----------------------------------------------------------------------

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), tabs_(this) {}

void TTabControl::TTabStrings::Changed() {
  TStringList::Changed();
  if (owner_->tabIndex_ >= Count()) owner_->tabIndex_ = Count() - 1;
  if (owner_->tabIndex_ < 0 && Count() > 0) owner_->tabIndex_ = 0;
  owner_->UpdateTabs();
}

std::vector<std::string> TTabControl::TabTexts() {
  std::vector<std::string> t;
  for (int i = 0; i < tabs_.Count(); ++i) t.push_back(tabs_.Strings(i));
  return t;
}

void TTabControl::SetTabIndex(int v) {
  if (v < -1 || v >= tabs_.Count()) v = -1;
  tabIndex_ = v;
  SelectTab(v);
}

void TTabControl::TabSelected(int Index) { tabIndex_ = Index; }

// TToolButton ----------------------------------------------------------------------

namespace {
int NextToolCommand() {
  static int next = 0xC000;
  return next++;
}
}  // namespace

TToolButton::TToolButton(TComponent* AOwner) : TControl(AOwner), commandId_(NextToolCommand()) {
  SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* AParent) {
  TToolBar* before = ToolBar();
  TControl::SetParent(AParent);
  if (before && !before->HasState(csDestroying)) before->RebuildButtons();
  if (TToolBar* tb = ToolBar()) tb->RebuildButtons();
}

int TToolButton::Index() const {
  TToolBar* tb = ToolBar();
  if (!tb) return -1;
  for (int i = 0; i < tb->ButtonCount(); ++i)
    if (tb->Buttons(i) == this) return i;
  return -1;
}

BYTE TToolButton::State() const {
  BYTE s = 0;
  if (Enabled()) s |= TBSTATE_ENABLED;
  if (down_) s |= style_ == TToolButtonStyle::tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  if (marked_) s |= TBSTATE_MARKED;
  if (!Visible()) s |= TBSTATE_HIDDEN;
  return s;
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (v == style_) return;
  style_ = v;
  if (TToolBar* tb = ToolBar()) tb->RebuildButtons();
}

void TToolButton::SetDown(bool v) {
  if (v == down_) return;
  down_ = v;
  TToolBar* tb = ToolBar();
  if (v && grouped_ && tb) {
    // Grouped check buttons next to each other are a radio group.
    int i = Index();
    for (int k = i - 1; k >= 0 && tb->Buttons(k)->grouped_ && tb->Buttons(k)->style_ == TToolButtonStyle::tbsCheck; --k)
      if (tb->Buttons(k)->down_) { tb->Buttons(k)->down_ = false; tb->UpdateButton(tb->Buttons(k)); }
    for (int k = i + 1; k < tb->ButtonCount() && tb->Buttons(k)->grouped_ && tb->Buttons(k)->style_ == TToolButtonStyle::tbsCheck; ++k)
      if (tb->Buttons(k)->down_) { tb->Buttons(k)->down_ = false; tb->UpdateButton(tb->Buttons(k)); }
  }
  if (tb) tb->UpdateButton(this);
}

void TToolButton::SetGrouped(bool v) {
  if (v == grouped_) return;
  grouped_ = v;
  if (TToolBar* tb = ToolBar()) tb->RebuildButtons();
}

void TToolButton::SetMarked(bool v) {
  if (v == marked_) return;
  marked_ = v;
  if (TToolBar* tb = ToolBar()) tb->UpdateButton(this);
}

void TToolButton::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  if (TToolBar* tb = ToolBar()) tb->RebuildButtons();
}

void TToolButton::SetVisible(bool v) {
  if (v == Visible()) return;
  TControl::SetVisible(v);
  if (TToolBar* tb = ToolBar()) tb->UpdateButton(this);
}

void TToolButton::SetEnabled(bool v) {
  if (v == Enabled()) return;
  TControl::SetEnabled(v);
  if (TToolBar* tb = ToolBar()) tb->UpdateButton(this);
}

void TToolButton::Click() {
  if (!Enabled()) return;
  TControl::Click();
}

void TToolButton::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) {
    if (TToolBar* tb = ToolBar()) tb->RebuildButtons();
    return;
  }
  TControl::Dispatch(m);
}

// TToolBar -------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(csAcceptsControls | csSetCaption | csDoubleClicks);
  SetColor(clBtnFace);
  SetAlign(TAlign::alTop);
  SetBounds(0, 0, 150, 29);
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int i) const {
  int n = 0;
  for (int k = 0; k < ControlCount(); ++k)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(k))) {
      if (n == i) return b;
      ++n;
    }
  return nullptr;
}

void TToolBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, TOOLBARCLASSNAMEA);
  p.Style |= CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_TOP | (flat_ ? TBSTYLE_FLAT : 0) |
             (list_ ? TBSTYLE_LIST : 0);
}

void TToolBar::InitializeWindow() {
  HWND h = Handle();
  SendMessageA(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(h, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  if (!images_) SendMessageA(h, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  RebuildButtons();
}

void TToolBar::RebuildButtons() {
  if (!HandleAllocated() || HasState(csDestroying)) return;
  HWND h = Handle();
  while (SendMessageA(h, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(h, TB_DELETEBUTTON, 0, 0);
  std::vector<std::string> texts;
  const int n = ButtonCount();
  texts.reserve(static_cast<size_t>(n));
  std::vector<TBBUTTON> bs(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    TToolButton* b = Buttons(i);
    texts.push_back(b->Caption());
    TBBUTTON& t = bs[static_cast<size_t>(i)];
    t.idCommand = b->commandId_;
    t.fsState = b->State();
    switch (b->style_) {
      case TToolButtonStyle::tbsSeparator:
      case TToolButtonStyle::tbsDivider:
        t.fsStyle = BTNS_SEP;
        t.iBitmap = b->Width() > 0 ? b->Width() : 6;
        break;
      case TToolButtonStyle::tbsCheck:
        t.fsStyle = BTNS_CHECK | (b->grouped_ ? BTNS_GROUP : 0);
        break;
      case TToolButtonStyle::tbsDropDown:
        t.fsStyle = BTNS_DROPDOWN;
        break;
      default:
        t.fsStyle = BTNS_BUTTON;
    }
    if (t.fsStyle != BTNS_SEP) {
      t.iBitmap = images_ && b->imageIndex_ >= 0 ? b->imageIndex_ : I_IMAGENONE;
      if (showCaptions_) t.fsStyle |= BTNS_AUTOSIZE;
    }
    t.iString = showCaptions_ ? reinterpret_cast<INT_PTR>(texts.back().c_str()) : -1;
  }
  if (n) SendMessageA(h, TB_ADDBUTTONSA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(bs.data()));
  if (!showCaptions_) SendMessageA(h, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  SendMessageA(h, TB_AUTOSIZE, 0, 0);
  Invalidate();
}

void TToolBar::UpdateButton(TToolButton* b) {
  if (!HandleAllocated() || !b) return;
  SendMessageA(Handle(), TB_SETSTATE, static_cast<WPARAM>(b->commandId_), MAKELPARAM(b->State(), 0));
}

void TToolBar::SetShowCaptions(bool v) {
  if (v == showCaptions_) return;
  showCaptions_ = v;
  RebuildButtons();
}

void TToolBar::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  RecreateWnd();
}

void TToolBar::SetList(bool v) {
  if (v == list_) return;
  list_ = v;
  RecreateWnd();
}

void TToolBar::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (v) v->FreeNotification(this);
  RecreateWnd();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == images_) images_ = nullptr;
}

void TToolBar::SetButtonSize(int w, int h) {
  buttonWidth_ = w;
  buttonHeight_ = h;
  RebuildButtons();
}

void TToolBar::SetEnabled(bool v) {
  if (v == Enabled()) return;
  TWinControl::SetEnabled(v);
  Invalidate();
}

TToolButton* TToolBar::ButtonAtPos(POINT p) {
  if (!HandleAllocated()) return nullptr;
  int i = static_cast<int>(SendMessageA(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
  if (i < 0) return nullptr;
  TBBUTTON t{};
  if (!SendMessageA(Handle(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&t))) return nullptr;
  for (int k = 0; k < ButtonCount(); ++k)
    if (Buttons(k)->commandId_ == t.idCommand) return Buttons(k);
  return nullptr;
}

RECT TToolBar::ButtonRect(TToolButton* b) {
  RECT r{};
  if (HandleAllocated() && b) SendMessageA(Handle(), TB_GETRECT, static_cast<WPARAM>(b->commandId_), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TToolBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: {
      const int id = LOWORD(m.WParam);
      for (int k = 0; k < ButtonCount(); ++k) {
        TToolButton* b = Buttons(k);
        if (b->commandId_ != id) continue;
        if (b->style_ == TToolButtonStyle::tbsCheck) {
          // The tool bar has toggled it already; bring every group member up to date.
          for (int j = 0; j < ButtonCount(); ++j) {
            TToolButton* o = Buttons(j);
            if (o->style_ == TToolButtonStyle::tbsCheck)
              o->down_ = SendMessageA(Handle(), TB_ISBUTTONCHECKED, static_cast<WPARAM>(o->commandId_), 0) != 0;
          }
        }
        b->Click();
        return;
      }
      return;
    }
    case CM_HINTSHOW: {
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      TToolButton* b = ButtonAtPos(info->CursorPos);
      if (!b || b->Hint().empty()) {
        m.Result = 1;
        return;
      }
      info->HintStr = GetShortHint(b->Hint());
      info->CursorRect = ButtonRect(b);
      return;
    }
    default:
      TWinControl::Dispatch(m);
  }
}

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
  SendMessageA(Handle(), SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(t.c_str()));
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
