// The control classes: TControl (a rectangle inside a parent, with its own
// message handling), TWinControl (a control with a window, created the first
// time it is needed), TCustomControl (a window that paints itself on a
// canvas) and TGraphicControl (painted by its parent, no window).
//
// Every message a control receives, from the system or through Perform, goes
// through WindowProc. WindowProc starts as the control's own WndProc and can be
// replaced by anyone who wants to see messages first; WndProc hands each
// message to Dispatch (the per-message handlers of the class chain), and what
// no handler takes ends in DefaultHandler (for a window, the window class's
// own procedure).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/components.h"
#include "platform/ui/graphics.h"
#include "platform/ui/messages.h"
#include "platform/win32.h"

namespace morvane {

class TWinControl;
class TCustomForm;
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
class TPopupMenu;
class TDragObject;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

enum TControlStyleFlag : uint32_t {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,
  csOpaque = 1u << 6,
  csDoubleClicks = 1u << 7,
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,
  csDisplayDragImage = 1u << 13,
  csReflector = 1u << 14,
  csParentBackground = 1u << 15,
};
using TControlStyle = uint32_t;

enum TControlStateFlag : uint32_t {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csFocusing = 1u << 2,
  csCreating = 1u << 3,
  csPaintCopy = 1u << 4,
  csCustomPaint = 1u << 5,
  csDestroyingHandle = 1u << 6,
  csAlignmentNeeded = 1u << 7,
  csRecreating = 1u << 8,
};
using TControlState = uint32_t;

// Cursors: the screen's table maps these (and registered ones) to HCURSORs.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;

enum class TDragMode { dmManual, dmAutomatic };
enum class TDragKind { dkDrag, dkDock };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge : uint8_t { beLeft = 1, beTop = 2, beRight = 4, beBottom = 8 };
using TBevelEdges = uint8_t;
enum class TBorderStyle { bsNone, bsSingle };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TScrollBarKind { sbHorizontal, sbVertical };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, POINT MousePos, bool& Handled)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, POINT MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, POINT MousePos, bool& Handled)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// What CreateWnd hands to CreateWindowHandle.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
  // The system class the window is made of ("EDIT", WC_LISTVIEW, ...); empty
  // for a class of our own registered under WinClassName.
  std::string SubClassOf;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Message path.
  const TWndMethod& WindowProc() const { return windowProc_; }
  void SetWindowProc(const TWndMethod& v) { windowProc_ = v ? v : TWndMethod(this, &TControl::WndProc); }
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // Parent and geometry.
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect();
  int ClientWidth() { RECT r = ClientRect(); return r.right - r.left; }
  int ClientHeight() { RECT r = ClientRect(); return r.bottom - r.top; }
  void SetClientWidth(int v);
  void SetClientHeight(int v);
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);

  // Look and state.
  bool Visible() const { return visible_; }
  // Visible, and so is every parent up to a shown form.
  bool Showing() const;
  virtual void SetVisible(bool v);
  // Makes the control visible; a parent that shows one child at a time (a
  // page control) makes it the one shown.
  void Show();
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() { return &font_; }
  void SetFont(TFont* v) { font_.Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode v) { dragMode_ = v; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* v);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle v) { controlStyle_ = v; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState v) { controlState_ = v; }
  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  std::string Text() { return GetText(); }
  void SetText(const std::string& v);
  bool IsDesigning() const { return HasState(csDesigning); }
  void SetIsDesigning(bool v) { SetDesigning(v); }
  bool MouseCapture();
  void SetMouseCapture(bool v);

  virtual void Invalidate();
  void InvalidateRect(const RECT& r);
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Drag and drop (the manager is in dragdrop.cpp).
  void BeginDrag(bool Immediate, int Threshold = -1);
  bool Dragging() const;
  void EndDrag(bool Drop);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual class TDragImageList* GetDragImages() { return nullptr; }

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnStartDock;
  TNotifyEvent OnEndDock;

 protected:
  virtual std::string GetText();
  virtual void SetTextBuf(const std::string& v);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual void DoContextPopup(POINT MousePos, bool& Handled);
  virtual void Changed() {}
  virtual void VisibleChanging() {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // After a bounds change of this control, tell the parent to re-align.
  void RequestAlign();
  virtual void UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight);
  std::string ClassName() const override { return "TControl"; }

  void SetVisibleFlag(bool v) { visible_ = v; }
  // Sends CM_SHOWINGCHANGED to this control and everything inside it.
  void BroadcastShowing();
  void ParentFontChanged();
  void ParentColorChanged();
  void FontChanged();

  std::string text_;
  TFont font_;
  bool inFontSync_ = false;

 private:
  friend class TWinControl;
  friend class TCustomForm;
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  void DoMouseDown(TMessage& m, TMouseButton b, TShiftState extra);
  void DoMouseUp(TMessage& m, TMouseButton b);
  bool IsMouseMsg(const TMessage& m) const { return m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST; }

  TWndMethod windowProc_;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  bool parentFont_ = true;
  TCursor cursor_ = crDefault;
  TCursor dragCursor_ = crDrag;
  TDragMode dragMode_ = TDragMode::dmManual;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
};

// Controls use the system's newer looks (always, on every system this runs on).
extern bool NewStyleControls;

// Ends modes (capture, drags, in-place editing) of every control but Sender:
// CM_CANCELMODE to the control holding the mouse and to the focused one.
void SendCancelMode(TControl* Sender);

// The form (or frame's form) a control sits on, or null.
TCustomForm* GetParentForm(TControl* Control);
// The part of a hint before "|".
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  virtual void DestroyHandle();
  void RecreateWnd();
  // The control whose window this is, or null.
  static TWinControl* FromHandle(HWND wnd);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int i) const { return controls_.at(static_cast<size_t>(i)); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control);
  TControl* ControlAtPos(POINT Pos, bool AllowDisabled, bool AllowWinControls = false);
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Realign();
  virtual void AlignControls(TControl* AControl, RECT& Rect);

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int v) { tabOrder_ = v; }
  // Focuses the next (or previous) control inside this one after CurControl
  // in tab order, wrapping around; with CheckTabStop only tab stops count.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  // The next control in tab order after CurControl, or null.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus();
  virtual bool Focused();
  virtual void SetFocus();
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool v) { doubleBuffered_ = v; }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TBevelKind v);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  TBevelEdges BevelEdges() const { return bevelEdges_; }
  void SetBevelEdges(TBevelEdges v);
  TBrush* Brush() { return &brush_; }

  // The component name is also the window's "Name" property (a global atom).
  void SetName(const std::string& NewName) override;
  // A fixed id (GWLP_ID of a child window) by which automation finds the control.
  int ControlId() const { return controlId_; }
  void SetControlId(int v);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() override;
  POINT ClientOrigin() override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetParent(TWinControl* AParent) override;

  void PaintTo(HDC DC, int X, int Y);
  // A child asks to be shown (TControl::Show); a page control activates a sheet.
  virtual void ShowControl(TControl* AControl);

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  // Key messages: the form's preview first, then the control's own events;
  // true when the key was swallowed.
  virtual bool DoKeyDown(TMessage& m);
  virtual bool DoKeyPress(TMessage& m);
  virtual bool DoKeyUp(TMessage& m);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  // Called once the window exists (children not yet): push state into it.
  virtual void InitializeWindow() {}
  // Called before the window goes away on RecreateWnd/DestroyHandle: pull state out.
  virtual void SaveWindowState() {}
  void CreateSubClass(TCreateParams& Params, const char* ClassName);
  // Paints the window's own content into DC (WM_PAINT with a DC): the class
  // procedure for system controls, Paint for custom ones.
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  void PaintControls(HDC DC, TControl* First);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos);
  virtual void DoEnter();
  virtual void DoExit();
  void UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) override;
  std::string GetText() override;
  void SetTextBuf(const std::string& v) override;
  virtual void AdjustClientRect(RECT& Rect) {}
  void UpdateShowing();
  std::string ClassName() const override { return "TWinControl"; }
  WNDPROC DefWndProc() const { return defWndProc_; }
  // Whether mouse messages over a child without a window go to that child
  // (a tool bar's buttons are drawn and clicked by the tool bar itself).
  virtual bool RoutesMouseToChildren() const { return true; }

 private:
  friend class TControl;
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  void AttachHandle(HWND wnd);
  void DetachHandle();
  void AlignChildren();
  void HandleMouseTracking(TMessage& m);
  int BevelSize() const;
  void PaintBevelFrame();
  void HandleMouseLeave();

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  bool subclassed_ = false;
  std::vector<TControl*> controls_;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  bool ctl3D_ = true;
  bool doubleBuffered_ = false;
  int borderWidth_ = 0;
  TBevelKind bevelKind_ = TBevelKind::bkNone;
  TBevelCut bevelInner_ = TBevelCut::bvRaised;
  TBevelCut bevelOuter_ = TBevelCut::bvLowered;
  int bevelWidth_ = 1;
  TBevelEdges bevelEdges_ = beLeft | beTop | beRight | beBottom;
  TBrush brush_;
  int controlId_ = 0;
  int alignLevel_ = 0;
  bool mouseInside_ = false;
  TControl* mouseControl_ = nullptr;  // graphic child under the mouse
};

// A window that paints itself: Paint draws on Canvas, which is bound to the
// paint DC (the DC in WM_PAINT's wParam when there is one).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  std::string ClassName() const override { return "TCustomControl"; }

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// A control without a window, painted on its parent's canvas.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return canvas_.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  std::string ClassName() const override { return "TGraphicControl"; }

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// A hidden window whose messages go to a method (for timers and hooks).
HWND AllocateHWnd(const TWndMethod& Method);
void DeallocateHWnd(HWND Wnd);

// The window procedure every control window is given. Exceptions never leave
// it: they go to the application's exception handler.
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace morvane
