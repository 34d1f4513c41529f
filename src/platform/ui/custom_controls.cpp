#include "platform/ui/controls.h"

#include "platform/ui/application.h"

namespace morvane {

// TCustomControl -----------------------------------------------------------------

namespace {
// The canvas of a window control: paint DCs while painting, else a DC of the
// window asked for when something draws outside WM_PAINT.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TWinControl* c) : control_(c) {}
  ~TControlCanvas() override { FreeHandle(); }
  void FreeHandle() {
    if (own_) {
      HDC dc = own_;
      HWND w = ownWnd_;
      own_ = nullptr;
      SetHandle(nullptr);
      ReleaseDC(w, dc);
    }
  }
  void SetPaintDC(HDC dc) {
    FreeHandle();
    SetHandle(dc);
  }

 protected:
  void CreateHandle() override {
    if (!control_->HandleAllocated()) {
      // No window: measure on a screen-compatible memory DC.
      if (!mem_.Get()) mem_ = TMemoryDC(nullptr);
      SetHandle(mem_.Get());
      return;
    }
    ownWnd_ = control_->Handle();
    own_ = GetDC(ownWnd_);
    SetHandle(own_);
  }

 private:
  TWinControl* control_;
  HDC own_ = nullptr;
  HWND ownWnd_ = nullptr;
  TMemoryDC mem_;
};
}  // namespace

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() {
  Destroying();
  static_cast<TControlCanvas*>(canvas_.get())->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC) {
  auto* cc = static_cast<TControlCanvas*>(canvas_.get());
  cc->Lock();
  cc->SetPaintDC(DC);
  cc->Font()->Assign(Font());
  cc->Brush()->SetColor(Color());
  try {
    SetControlState(ControlState() | csCustomPaint);
    Paint();
  } catch (...) {
    SetControlState(ControlState() & ~csCustomPaint);
    cc->SetPaintDC(nullptr);
    cc->Unlock();
    throw;
  }
  SetControlState(ControlState() & ~csCustomPaint);
  cc->SetPaintDC(nullptr);
  cc->Unlock();
}

// TGraphicControl ----------------------------------------------------------------

namespace {
class TGraphicCanvas : public TCanvas {
 public:
  explicit TGraphicCanvas(TControl* c) : control_(c) {}
  ~TGraphicCanvas() override { FreeHandle(); }
  void FreeHandle() {
    if (own_) {
      HDC dc = own_;
      own_ = nullptr;
      SetHandle(nullptr);
      ReleaseDC(wnd_, dc);
    }
  }

 protected:
  void CreateHandle() override {
    TWinControl* p = control_->Parent();
    if (!p || !p->HandleAllocated()) {
      if (!mem_.Get()) mem_ = TMemoryDC(nullptr);
      SetHandle(mem_.Get());
      return;
    }
    wnd_ = p->Handle();
    own_ = GetDC(wnd_);
    SetViewportOrgEx(own_, control_->Left(), control_->Top(), nullptr);
    IntersectClipRect(own_, 0, 0, control_->Width(), control_->Height());
    SetHandle(own_);
  }

 private:
  TControl* control_;
  HWND wnd_ = nullptr;
  HDC own_ = nullptr;
  TMemoryDC mem_;
};
}  // namespace

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TGraphicCanvas>(this)) {}

TGraphicControl::~TGraphicControl() {
  Destroying();
  static_cast<TGraphicCanvas*>(canvas_.get())->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    auto* gc = static_cast<TGraphicCanvas*>(canvas_.get());
    gc->FreeHandle();
    gc->Lock();
    gc->SetHandle(reinterpret_cast<HDC>(m.WParam));
    gc->Font()->Assign(Font());
    try {
      Paint();
    } catch (...) {
      gc->SetHandle(nullptr);
      gc->Unlock();
      throw;
    }
    gc->SetHandle(nullptr);
    gc->Unlock();
    return;
  }
  TControl::Dispatch(m);
}

// Utility windows ----------------------------------------------------------------

namespace {
LRESULT CALLBACK UtilWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!method) return DefWindowProcA(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    (*method)(m);
  } catch (...) {
    Application->HandleException(nullptr);
  }
  return m.Result;
}
}  // namespace

HWND AllocateHWnd(const TWndMethod& Method) {
  static const char* const kClass = "MorvaneUtilWindow";
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(inst, kClass, &wc)) {
    wc.lpfnWndProc = &UtilWindowProc;
    wc.hInstance = inst;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
  }
  HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
  if (!h) throw EOSError("Could not create a utility window");
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(Method)));
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  delete method;
}

}  // namespace morvane
