#include "platform/ui/comctrls.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/application.h"
#include "platform/ui/automation.h"

namespace morvane {

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
  for (int i = 0; i < n; ++i) {
    TToolButton* b = Buttons(i);
    if (!b->Name().empty())
      SetPropA(h, ToolButtonProperty(b->Name()).c_str(), reinterpret_cast<HANDLE>(static_cast<intptr_t>(b->commandId_)));
  }
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

}  // namespace morvane
