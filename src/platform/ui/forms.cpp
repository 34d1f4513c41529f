#include "platform/ui/forms.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {
constexpr UINT CM_MODALRESPOND = CM_BASE + 0x40;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  visible_ = false;
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetColor(clBtnFace);
  UpdateBoundsFields(0, 0, 400, 300);
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  BeforeDestruction();
  auto& f = Screen->forms_;
  f.erase(std::remove(f.begin(), f.end(), this), f.end());
  if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  if (menu_) {
    if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
    menu_->form_ = nullptr;
    menu_->RemoveFreeNotification(this);
  }
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  p.Style |= WS_CLIPCHILDREN;
  DWORD icons = 0;
  if (borderIcons_ & biSystemMenu) {
    icons |= WS_SYSMENU;
    if (borderIcons_ & biMinimize) icons |= WS_MINIMIZEBOX;
    if (borderIcons_ & biMaximize) icons |= WS_MAXIMIZEBOX;
  }
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: p.Style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: p.Style |= WS_CAPTION | WS_BORDER | icons; break;
    case TFormBorderStyle::bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME | icons; break;
    case TFormBorderStyle::bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME | (icons & WS_SYSMENU);
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case TFormBorderStyle::bsToolWindow: p.Style |= WS_CAPTION | (icons & WS_SYSMENU); p.ExStyle |= WS_EX_TOOLWINDOW; break;
    case TFormBorderStyle::bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME | (icons & WS_SYSMENU);
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (formStyle_ == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (alphaBlend_) p.ExStyle |= WS_EX_LAYERED;
  p.WindowClass.style = CS_DBLCLKS;
  // Shared icons, valid as long as the program runs: looked up once, since a
  // window-less form asks for its parameters whenever it is aligned.
  static const HICON icon = [] {
    HICON h = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    return h ? h : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  }();
  p.WindowClass.hIcon = icon;
  TCustomForm* main = Application->MainForm();
  if (main && main != this && main->HandleAllocated()) p.WndParent = main->Handle();
  TCustomForm* active = Screen->ActiveForm();
  if (active && active != this && active->HandleAllocated() && active->Modal()) p.WndParent = active->Handle();
}

void TCustomForm::InitializeWindow() {
  if (menu_) {
    ::SetMenu(Handle(), menu_->Handle());
    PublishMenuCommands(Handle(), menu_->Items());
  }
  ApplyLayered();
}

void TCustomForm::PaintWindow(HDC) {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  if (v == TFormBorderStyle::bsDialog) borderIcons_ &= biSystemMenu | biHelp;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == borderIcons_) return;
  borderIcons_ = v;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == formStyle_) return;
  formStyle_ = v;
  if (HandleAllocated())
    SetWindowPos(Handle(), v == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::ApplyLayered() {
  if (!HandleAllocated()) return;
  LONG ex = GetWindowLongA(Handle(), GWL_EXSTYLE);
  if (alphaBlend_) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongA(Handle(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongA(Handle(), GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::SetAlphaBlend(bool v) {
  if (v == alphaBlend_) return;
  alphaBlend_ = v;
  ApplyLayered();
}

void TCustomForm::SetAlphaBlendValue(int v) {
  v = std::clamp(v, 0, 255);
  if (v == alphaBlendValue_) return;
  alphaBlendValue_ = v;
  ApplyLayered();
}

TWindowState TCustomForm::WindowState() {
  if (HandleAllocated() && Visible()) {
    if (IsZoomed(Handle())) return TWindowState::wsMaximized;
    if (IsIconic(Handle())) return TWindowState::wsMinimized;
    return TWindowState::wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState v) {
  windowState_ = v;
  if (HandleAllocated() && Visible()) {
    ShowWindow(Handle(), v == TWindowState::wsMaximized ? SW_MAXIMIZE
                         : v == TWindowState::wsMinimized ? SW_MINIMIZE : SW_RESTORE);
  }
}

RECT TCustomForm::NormalBounds() {
  if (HandleAllocated()) {
    WINDOWPLACEMENT wp{sizeof(wp)};
    if (GetWindowPlacement(Handle(), &wp)) return wp.rcNormalPosition;
  }
  return haveNormalBounds_ ? normalBounds_ : BoundsRect();
}

void TCustomForm::SetNormalBounds(const RECT& r) {
  normalBounds_ = r;
  haveNormalBounds_ = true;
  if (HandleAllocated()) {
    WINDOWPLACEMENT wp{sizeof(wp)};
    GetWindowPlacement(Handle(), &wp);
    wp.rcNormalPosition = r;
    if (!Visible()) wp.showCmd = SW_HIDE;
    SetWindowPlacement(Handle(), &wp);
  } else {
    SetBoundsRect(r);
  }
}

void TCustomForm::SetMenu(TMainMenu* v) {
  if (v == menu_) return;
  if (menu_) {
    menu_->form_ = nullptr;
    menu_->RemoveFreeNotification(this);
  }
  menu_ = v;
  if (v) {
    v->form_ = this;
    v->FreeNotification(this);
  }
  if (HandleAllocated()) ::SetMenu(Handle(), v ? v->Handle() : nullptr);
  if (v && HandleAllocated()) PublishMenuCommands(Handle(), v->Items());
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == menu_) {
    if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
    menu_ = nullptr;
  }
  if (AComponent == activeControl_) activeControl_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* v) {
  if (v == activeControl_) return;
  activeControl_ = v;
  if (v && Visible() && active_) v->SetFocus();
}

void TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control == this) return;
  if (activeControl_ != Control) {
    activeControl_ = Control;
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
}

void TCustomForm::PlaceOnScreen() {
  placed_ = true;
  RECT area{0, 0, Screen->Width(), Screen->Height()};
  switch (position_) {
    case TPosition::poScreenCenter:
      break;
    case TPosition::poDesktopCenter:
      area = Screen->DesktopRect();
      break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
      TCustomForm* f = position_ == TPosition::poMainFormCenter ? Application->MainForm()
                                                                : dynamic_cast<TCustomForm*>(Owner());
      if (!f || f == this) f = Application->MainForm();
      if (f && f != this && f->Visible()) area = f->BoundsRect();
      break;
    }
    default:
      return;
  }
  int x = area.left + ((area.right - area.left) - Width()) / 2;
  int y = area.top + ((area.bottom - area.top) - Height()) / 2;
  SetBounds(std::max(0, x), std::max(0, y), Width(), Height());
}

void TCustomForm::SetVisible(bool v) {
  if (v == Visible()) return;
  if (v) {
    AfterConstruction();
    if (!placed_) PlaceOnScreen();
    HandleNeeded();
    visible_ = true;
    Perform(CM_VISIBLECHANGED, 1);
    DoShow();
    BroadcastShowing();
    int cmd = windowState_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
              : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    ShowWindow(Handle(), cmd);
    if (formStyle_ == TFormStyle::fsStayOnTop)
      SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(Handle());
  } else {
    DoHide();
    visible_ = false;
    Perform(CM_VISIBLECHANGED, 0);
    BroadcastShowing();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) {
    BringWindowToTop(Handle());
    SetForegroundWindow(Handle());
  }
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled()) return;
  if (HandleAllocated()) {
    SetForegroundWindow(Handle());
    ::SetFocus(Handle());
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case TCloseAction::caHide: SetVisible(false); break;
    case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case TCloseAction::caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  PostMessageA(Application->Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

namespace {
struct TDisabledWindows {
  std::vector<HWND> list;
  HWND keep;
  static BOOL CALLBACK Enum(HWND w, LPARAM p) {
    auto* self = reinterpret_cast<TDisabledWindows*>(p);
    if (w != self->keep && IsWindowVisible(w) && IsWindowEnabled(w)) {
      self->list.push_back(w);
      EnableWindow(w, FALSE);
    }
    return TRUE;
  }
  explicit TDisabledWindows(HWND k) : keep(k) { EnumThreadWindows(GetCurrentThreadId(), &Enum, reinterpret_cast<LPARAM>(this)); }
  ~TDisabledWindows() {
    for (HWND w : list)
      if (IsWindow(w)) EnableWindow(w, TRUE);
  }
};
}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  AfterConstruction();
  if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  Application->CancelHint();
  HWND previous = GetActiveWindow();
  modalResult_ = mrNone;
  modal_ = true;
  ++Application->modalLevel_;
  TModalResult result = mrCancel;
  try {
    HandleNeeded();
    TDisabledWindows disabled(Handle());
    Show();
    if (HasModalResponder()) PostMessageA(Handle(), CM_MODALRESPOND, 0, 0);
    result = RunModalLoop();
  } catch (...) {
    modal_ = false;
    --Application->modalLevel_;
    if (HandleAllocated()) SetVisible(false);
    throw;
  }
  modal_ = false;
  --Application->modalLevel_;
  SetVisible(false);
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  return result;
}

TModalResult TCustomForm::RunModalLoop() {
  for (;;) {
    if (modalResult_ != mrNone) {
      // Closing by result still asks the form.
      bool can = CloseQuery();
      TCloseAction action = TCloseAction::caHide;
      if (can) DoClose(action);
      if (can && action != TCloseAction::caNone) break;
      modalResult_ = mrNone;
    }
    if (Application->Terminated()) {
      modalResult_ = mrCancel;
      break;
    }
    Application->HandleMessage();
  }
  return modalResult_;
}

void TCustomForm::SelectNextControl(bool forward) {
  TWinControl* cur = TWinControl::FromHandle(GetFocus());
  for (HWND w = GetFocus(); w && !cur; w = GetParent(w)) cur = TWinControl::FromHandle(w);
  if (cur && !ContainsControl(cur)) cur = nullptr;
  SelectNext(cur == this ? nullptr : cur, forward, true);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      DefaultHandler(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        active_ = true;
        Screen->activeForm_ = this;
        Perform(CM_ACTIVATE);
        if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) activeControl_->SetFocus();
        Activate();
      } else {
        active_ = false;
        Perform(CM_DEACTIVATE);
        if (activeControl_) activeControl_->Perform(CM_DEACTIVATE);
        Deactivate();
      }
      return;
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) activeControl_->SetFocus();
      return;
    case WM_INITMENUPOPUP:
      if (!TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(m.WParam))) DefaultHandler(m);
      return;
    case WM_SYSCOMMAND:
      if (activeControl_) activeControl_->Perform(CM_APPSYSCOMMAND, m.WParam, m.LParam);
      DefaultHandler(m);
      return;
    case CM_MODALRESPOND: {
      if (!modal_) return;
      TModalRequest r;
      r.Kind = TModalKind::mkForm;
      r.Identity = Name().empty() ? ClassName() : Name();
      r.Caption = Caption();
      r.Form = this;
      int answer = AskModalResponder(r);
      if (answer == mrKeepOpen) {
        SetTimer(Handle(), 0x4D4F, 10000, nullptr);  // the bound on a form left open
        return;
      }
      if (modal_ && modalResult_ == mrNone) modalResult_ = answer ? answer : mrCancel;
      return;
    }
    case WM_TIMER:
      if (m.WParam == 0x4D4F) {
        KillTimer(Handle(), 0x4D4F);
        if (modal_ && modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
      }
      TWinControl::Dispatch(m);
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_TAB) {
        SelectNextControl(GetKeyState(VK_SHIFT) >= 0);
        m.Result = 1;
        return;
      }
      TWinControl::Dispatch(m);
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// TFrame -----------------------------------------------------------------------

TFrame::TFrame(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetParentColor(true);
  SetBounds(0, 0, 320, 240);
}

}  // namespace morvane
