#include "platform/ui/comctrls.h"

#include <algorithm>
#include <cmath>

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

}  // namespace morvane
