#include "treeview/eltree_window.h"

#include <algorithm>

#include "controls/elhook.h"
#include "controls/elvclutils.h"
#include "platform/core/sysutils.h"
#include "platform/ui/forms.h"
#include "platform/ui/gdi_handles.h"
#include "platform/ui/timers.h"
#include "platform/ui/dragdrop.h"
#include "treeview/eltree_bracket.h"
#include "treeview/eltree_drag.h"
#include "treeview/eltree_input.h"
#include "treeview/eltree_glyphs.h"

namespace morvane {

// The model's view over the pieces of this window: repaint requests go to
// the view window, scroll ranges to the custom bars.
class TElTreeWindow::TFramePort : public IElTreeViewPort {
 public:
  explicit TFramePort(TElTreeWindow* Owner) : owner_(Owner) {}
  TElTreeViewWindow* View() const { return owner_->view_; }
  bool HandleAllocated() const override { return View() && View()->HandleAllocated(); }
  int ClientWidth() const override { return View() ? std::max(0, View()->Width()) : 0; }
  int ClientHeight() const override { return View() ? std::max(0, View()->Height()) : 0; }
  void InvalidateRect(const TElRect& R) override {
    if (HandleAllocated()) View()->InvalidateRect(RECT{R.Left, R.Top, R.Right, R.Bottom});
  }
  void Invalidate() override {
    if (HandleAllocated()) View()->Invalidate();
  }
  void Update() override {
    if (HandleAllocated()) View()->Update();
  }
  void ItemForgotten(TElTreeItem*) override {}
  void ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position, bool Visible) override {
    const bool vertical = Kind == TElScrollBarKind::sbVertical;
    if (!owner_->bars_) return;
    owner_->bars_->SetRange(vertical, Max, Page, Position);
    TWinControl* bar = owner_->bars_->Bar(vertical);
    if (bar->Visible() != Visible) {
      bar->SetVisible(Visible);
      owner_->PlacePieces();
    }
  }
  void PlaceChildren() override { owner_->PlacePieces(); }
  // Scrolling ends an edit in progress, as the view asks.
  bool EditorActive() const override { return owner_->tree_ && owner_->tree_->IsEditing(); }
  void EndEdit(bool Accept) override {
    if (owner_->tree_ && owner_->tree_->IsEditing()) owner_->tree_->EndEditItem(!Accept);
  }
  void EndBarScrolling(TElScrollBarKind Kind) override {
    if (owner_->bars_) owner_->bars_->EndScrolling(Kind == TElScrollBarKind::sbVertical);
  }
  unsigned WheelScrollLines() const override {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines;
  }
  void ScreenToClient(int& X, int& Y) const override {
    if (!HandleAllocated()) return;
    POINT p{X, Y};
    ::ScreenToClient(View()->Handle(), &p);
    X = p.x;
    Y = p.y;
  }
  void MouseMoveAt(int X, int Y) override {
    if (!HandleAllocated()) return;
    LRESULT r = 0;
    // Points of the view; the input handling takes the grid's.
    owner_->Tree().View().Input().HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(X + ViewLeft(), Y + ViewTop()), r);
  }
  int ViewLeft() const override { return View() ? View()->Left() : 0; }
  int ViewTop() const override { return View() ? View()->Top() : 0; }

 private:
  TElTreeWindow* owner_;
};

namespace {

// The model's timers as window timers.
class TWindowTreeTimer : public IElTreeTimer {
 public:
  TWindowTreeTimer() : timer_(std::make_unique<TTimer>(nullptr)) {
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](TObject*) {
      if (OnTimer) OnTimer();
    };
  }
  void SetInterval(unsigned Milliseconds) override { timer_->SetInterval(Milliseconds); }
  unsigned Interval() const override { return timer_->Interval(); }
  void SetEnabled(bool Value) override { timer_->SetEnabled(Value); }
  bool Enabled() const override { return timer_->Enabled(); }

 private:
  std::unique_ptr<TTimer> timer_;
};

}  // namespace

// ---- the view window ----

TElTreeViewWindow::TElTreeViewWindow(TElTreeWindow* Owner) : TCustomControl(Owner), owner_(Owner) {
  SetControlStyle(ControlStyle() | csOpaque | csDoubleClicks);
  SetTabStop(true);
}

void TElTreeViewWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPSIBLINGS;
}

void TElTreeViewWindow::CreateWnd() {
  TCustomControl::CreateWnd();
  // The input handling works on this window: its focus, capture and hints.
  if (owner_->inputPort_) owner_->inputPort_->SetWindow(Handle());
  // Rows loaded before this window existed (a page filled before it was
  // first shown) were laid out with nowhere to go: lay them out again now.
  if (owner_->tree_) {
    TTreeBracket b(owner_->tree_.get());
    owner_->tree_->MarkRows();
    owner_->tree_->MarkFullRepaint();
    owner_->tree_->MarkUpdate();
  }
}

void TElTreeViewWindow::DestroyWnd() {
  if (owner_->inputPort_) owner_->inputPort_->SetWindow(nullptr);
  TCustomControl::DestroyWnd();
}

void TElTreeViewWindow::PaintBackground(HDC DC, const RECT& Rect) {
  if (owner_->SizeMoving()) return;
  RECT r{Rect.left, Rect.top, Rect.right + 1, Rect.bottom + 1};
  TBrushHandle b(CreateSolidBrush(ColorToRGB(owner_->BkColor())));
  FillRect(DC, &r, b.Get());
}

void TElTreeViewWindow::WMPaint(TMessage& m) {
  TElTree& tree = owner_->Tree();
  if (tree.IsUpdating()) {
    // Nothing is drawn until the bracket closes; the area stays valid.
    DefaultHandler(m);
    return;
  }
  if (HDC dc = reinterpret_cast<HDC>(m.WParam)) {
    RECT clip{};
    if (GetClipBox(dc, &clip) == NULLREGION || IsRectEmpty(&clip)) clip = ClientRect();
    PaintBackground(dc, clip);
    PaintRows(dc);
    m.Result = 0;
    return;
  }
  // Off screen the rows, drawn in layers, reach the screen at once.
  PAINTSTRUCT ps{};
  HDC screen = BeginPaint(Handle(), &ps);
  struct TEndPaint {
    HWND wnd;
    PAINTSTRUCT* ps;
    ~TEndPaint() { EndPaint(wnd, ps); }
  } endPaint{Handle(), &ps};
  RECT box = ps.rcPaint;
  if (IsRectEmpty(&box)) {
    box = ClientRect();
  } else {
    ++box.right;
    ++box.bottom;
  }
  const RECT cr = ClientRect();
  if (cr.right <= 0 || cr.bottom <= 0 || !owner_->PaintsOffScreen()) {
    PaintBackground(screen, box);
    PaintRows(screen);
  } else {
    TMemoryDC mem(screen);
    TBitmapHandle bmp(CreateCompatibleBitmap(screen, cr.right, cr.bottom));
    TSelectObject selected(mem.Get(), bmp.Get());
    IntersectClipRect(mem.Get(), box.left, box.top, box.right, box.bottom);
    PaintBackground(mem.Get(), box);
    PaintRows(mem.Get());
    SelectClipRgn(mem.Get(), nullptr);
    BitBlt(screen, box.left, box.top, box.right - box.left, box.bottom - box.top, mem.Get(), box.left, box.top,
           SRCCOPY);
  }
  m.Result = 0;
}

namespace {
// The toolkit's own wheel message, which a control may be sent in place of
// WM_MOUSEWHEEL.
constexpr UINT kToolkitMouseWheel = CM_BASE + WM_MOUSEWHEEL;

bool IsButtonOrMoveMessage(UINT Msg) {
  return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && Msg != WM_MOUSEWHEEL && Msg != WM_MOUSEHWHEEL;
}
}  // namespace

void TElTreeViewWindow::Dispatch(TMessage& m) {
  if (!owner_->tree_) {
    // The tree went first while the window is being freed.
    TCustomControl::Dispatch(m);
    return;
  }
  TElTree& tree = owner_->Tree();
  const UINT msg = m.Msg;
  if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
    // Keys take the toolkit's path (the form's key preview first); KeyDown,
    // KeyUp and KeyPress below hand them to the tree.
    tree.View().Input().FilterForHints(msg);
    const UINT outer = keyMessage_;
    keyMessage_ = msg;
    TCustomControl::Dispatch(m);
    keyMessage_ = outer;
    return;
  }
  // Messages that end a showing line hint without being input of the rows.
  if (msg == WM_NCMOUSEMOVE || msg == WM_COMMAND || msg == WM_MOUSEWHEEL || msg == kToolkitMouseWheel ||
      msg == CM_ACTIVATE || msg == CM_DEACTIVATE || (msg >= 0xB016 && msg <= 0xB017))
    tree.View().Input().FilterForHints(msg == kToolkitMouseWheel ? WM_MOUSEWHEEL : msg);
  const bool input = IsButtonOrMoveMessage(msg) || msg == WM_CAPTURECHANGED || msg == WM_CANCELMODE ||
                     msg == WM_TIMER || msg == WM_MOUSELEAVE || msg == CM_MOUSELEAVE || msg == CM_MOUSEENTER;
  if (input) {
    LPARAM lp = m.LParam;
    // The input handling takes points in the grid's coordinates, where the
    // rows start below the header.
    if (IsButtonOrMoveMessage(msg))
      lp = MAKELPARAM(static_cast<short>(LOWORD(lp)) + Left(), static_cast<short>(HIWORD(lp)) + Top());
    LRESULT r = 0;
    if (tree.View().Input().HandleMessage(msg, m.WParam, lp, r)) {
      m.Result = r;
      return;
    }
  }
  switch (msg) {
    case WM_PAINT:
      WMPaint(m);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_MOUSEWHEEL:
    case kToolkitMouseWheel:
      WMMouseWheel(m);
      return;
    case WM_CONTEXTMENU:
      // The grid's pop-up menu and OnContextPopup.
      m.Result = owner_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
      return;
    case WM_SETFOCUS:
      // The form's focused control is the grid the program knows.
      if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(owner_);
      DefaultHandler(m);
      hasFocus_ = true;
      owner_->FocusEntered();
      owner_->RedrawFrame();
      if (owner_->HideSelection()) Invalidate();
      return;
    case WM_KILLFOCUS:
      hasFocus_ = false;
      tree.View().Input().FocusLost();
      DefaultHandler(m);
      owner_->FocusLeft(reinterpret_cast<HWND>(m.WParam));
      owner_->RedrawFrame();
      if (HandleAllocated() && (owner_->HideSelection() || owner_->HideFocusRect())) Invalidate();
      return;
    case CM_MOUSELEAVE:
      if (m.LParam == 0 && !tree.IsEditing()) {
        if (TElTreeItem* hot = tree.HotTrackItem()) {
          tree.SetHotTrackItem(nullptr);
          hot->RedrawItem(true);
        }
        tree.View().Input().MouseLeft(KeyDataToShiftState(0));
      }
      TCustomControl::Dispatch(m);
      return;
    case CM_DEACTIVATE:
      TCustomControl::Dispatch(m);
      if (owner_->HideSelection()) Invalidate();
      return;
    case CM_HINTSHOW:
      HintShow(*reinterpret_cast<THintInfo*>(m.LParam));
      m.Result = 0;
      return;
    case WM_SYSCOLORCHANGE:
      TCustomControl::Dispatch(m);
      ElTreeRecolorGlyphs();
      Invalidate();
      return;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(m);
}

void TElTreeViewWindow::HintShow(THintInfo& Info) {
  // The hint of the item under the mouse, else the tree's; it travels packed
  // so that the Unicode hint window shows the wide text.
  TElTree& tree = owner_->Tree();
  int section = -1;
  TElHitPart part;
  TElTreeItem* item = tree.View().HitTest(Info.CursorPos.x, Info.CursorPos.y, section, part);
  TElFString text;
  if (item) {
    text = item->Hint();
    tree.View().Input().HintItemShown(item);
  }
  if (text.empty()) text = tree.Hint;
  if (text.empty()) {
    Info.HintStr.clear();
    return;
  }
  const TElFString shortHint = GetShortHintW(tree.Hint);
  if (text == shortHint || text == tree.Hint) text = shortHint;
  Info.HintStr = PackWideHint(text);
}

void TElTreeViewWindow::WMMouseWheel(TMessage& m) {
  const int delta = static_cast<short>(HIWORD(m.WParam));
  const POINT screen{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  // The grid's wheel events first; one that handles the wheel keeps the
  // rows where they are. The wheel goes no further up: the grid scrolled.
  if (!owner_->DoMouseWheel(KeysToShiftState(LOWORD(m.WParam)), delta, screen))
    owner_->Tree().View().MouseWheel(delta, screen.x, screen.y);
  m.Result = 1;
}

void TElTreeViewWindow::KeyDown(WORD& Key, TShiftState Shift) {
  if (keyMessage_ == WM_SYSKEYDOWN) {
    // Alt combinations are the menus' and the form's; the grid only hears them.
    owner_->KeyDown(Key, Shift);
    return;
  }
  owner_->Tree().View().Input().KeyDown(Key, Shift);
}

void TElTreeViewWindow::KeyUp(WORD& Key, TShiftState Shift) { owner_->KeyUp(Key, Shift); }

void TElTreeViewWindow::KeyPress(char& Key) {
  if (Key == 0) return;
  const std::wstring wide = AnsiToWide(std::string(1, Key));
  wchar_t w = wide.empty() ? static_cast<unsigned char>(Key) : wide[0];
  owner_->Tree().View().Input().KeyPress(w);
  if (w == 0) {
    Key = 0;
    return;
  }
  const std::string back = WideToAnsi(std::wstring(1, w));
  if (!back.empty()) Key = back[0];
}

TObject* TElTreeViewWindow::DragSource(TObject* Source) const {
  // What the grid's handlers see: the grid, not its inner view.
  return Source == this ? owner_ : Source;
}

void TElTreeViewWindow::DoStartDrag(TDragObject*& DragObject) {
  // The input handling cleared the drop target and built the drag image
  // before it asked for the drag.
  SetDragCursor(owner_->DragCursor());
  if (owner_->OnStartDrag) owner_->OnStartDrag(owner_, DragObject);
  if (!DragObject) DragObject = new TElTreeDragObject(owner_, &owner_->Tree());
}

void TElTreeViewWindow::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  TElTree& tree = owner_->Tree();
  TElTreeInput& in = tree.View().Input();
  // The grid's handler decides; without one nothing is accepted.
  Accept = false;
  if (owner_->OnDragOver) owner_->OnDragOver(owner_, DragSource(Source), X + Left(), Y + Top(), State, Accept);
  switch (State) {
    case TDragState::dsDragEnter:
      in.DragEnter();
      [[fallthrough]];
    case TDragState::dsDragMove:
      if (tree.DragAllowed) {
        owner_->SetDropAccepted(Accept);
        in.DragOver(X, Y, Accept);
      }
      break;
    case TDragState::dsDragLeave:
      in.DragLeave(false);
      break;
  }
}

void TElTreeViewWindow::DragDrop(TObject* Source, int X, int Y) {
  owner_->Tree().View().Input().DragLeave(true);
  if (owner_->OnDragDrop) owner_->OnDragDrop(owner_, DragSource(Source), X + Left(), Y + Top());
}

TDragImageList* TElTreeViewWindow::GetDragImages() { return owner_->Tree().View().Input().DragImages(); }

// ---- the outer window ----

TElTreeWindow::TElTreeWindow(TComponent* AOwner) : TElXPThemedControl(AOwner) {
  ElTreeUnitStartup();
  SetControlStyle(ControlStyle() | csOpaque | csAcceptsControls);
  SetColor(clWindow);
  SetTabStop(true);
  tree_ = std::make_unique<TElTree>(nullptr);
  port_ = std::make_unique<TFramePort>(this);

  header_ = new TElHeader(this);
  header_->SetParent(this);
  header_->SetVisible(false);
  // Placed by the grid: it gives way to a vertical bar on either side.
  header_->SetAlign(TAlign::alNone);
  headerLink_ = std::make_unique<TElTreeHeaderLink>(header_);
  view_ = new TElTreeViewWindow(this);
  view_->SetParent(this);
  bars_ = std::make_unique<TElTreeScrollBars>(this, [this](bool vertical, int code, int pos) {
    BarScrolled(vertical, code, pos);
  });
  hBar_ = bars_->Bar(false);
  vBar_ = bars_->Bar(true);
  bars_->SetVertHint([this](int track) { return tree_ ? tree_->VertScrollHint(track) : std::wstring(); });

  measurer_ = std::make_unique<TGdiTextMeasurer>(AnsiToWide(Font()->Name()), Font()->Height());
  tree_->SetTimerFactory([] { return std::make_unique<TWindowTreeTimer>(); });
  tree_->SetTextMeasurer(measurer_.get());
  tree_->SetHeader(headerLink_.get());
  tree_->SetViewPort(port_.get());
  inputPort_ = std::make_unique<TElTreeWindowInputPort>();
  tree_->View().Input().SetPort(inputPort_.get());
  tree_->SetEventSender(this);
  // The input handling asks for the toolkit's drag once the mouse moved
  // far enough: the view is its source.
  inputPort_->OnBeginDrag = [this] { view_->BeginDrag(true); };
  inputPort_->OnFormHasActiveControl = [this] {
    TCustomForm* f = GetParentForm(this);
    return f && f->ActiveControl() != nullptr;
  };
  inputPort_->OnCanTakeFocusBack = [this] {
    return view_->CanFocus() && CanFocus() && Parent() && Parent()->CanFocus();
  };
  inputPort_->OnLineHintFont = [this](TFont* f) { f->Assign(view_->Font()); };
  inputPort_->OnLineHintTextColor = [this] { return TextColor(); };
  // The drag picture shows the rows as the grid does: its font, colours,
  // row images and owner-drawn rows.
  inputPort_->OnDragPictureLook = [this](TCanvas* c, int32_t& back) {
    c->Font()->Assign(Font());
    c->Font()->SetColor(TextColor());
    c->Pen()->SetColor(TextColor());
    back = ColorToRGB(BkColor());
  };
  inputPort_->OnDragRowImageSize = [this](int& w, int& h) {
    if (!images_) return false;
    w = images_->Width();
    h = images_->Height();
    return true;
  };
  inputPort_->OnDrawDragRowImage = [this](TCanvas* c, int index, int x, int y) {
    if (!images_ || index >= images_->Count()) return;
    // The focus style for the picture only; the list keeps its own.
    const TDrawingStyle was = images_->DrawingStyle();
    images_->SetDrawingStyle(TDrawingStyle::dsFocus);
    images_->Draw(c, x, y, index);
    images_->SetDrawingStyle(was);
  };
  inputPort_->OnOwnerDrawDragRow = [this](TCanvas* c, TElTreeItem* item, const TElRect& r) {
    DoItemDraw(item, c, RECT{r.Left, r.Top, r.Right, r.Bottom}, tree_->MainTreeColumn());
  };
  bars_->SetDrawPart(false, [this](TCanvas* c, RECT r, int part, bool enabled, bool focused, bool pressed,
                                   bool& defaultDraw) {
    if (OnHorzScrollDrawPart)
      OnHorzScrollDrawPart(this, c, r, static_cast<TElScrollBarPart>(part), enabled, focused, pressed, defaultDraw);
  });
  bars_->SetDrawPart(true, [this](TCanvas* c, RECT r, int part, bool enabled, bool focused, bool pressed,
                                  bool& defaultDraw) {
    if (OnVertScrollDrawPart)
      OnVertScrollDrawPart(this, c, r, static_cast<TElScrollBarPart>(part), enabled, focused, pressed, defaultDraw);
  });
  bars_->SetHorzHint([this](int track, std::wstring& hint) {
    if (OnHorzScrollHintNeeded) OnHorzScrollHintNeeded(this, track, hint);
  });
  WireHeader();
  WireInput();
  // The form's size-move loop: while it runs the rows may be painted
  // straight to the screen and every cell fills itself.
  sizeMoveHook_ = new TElHook(this);
  sizeMoveHook_->OnBeforeProcess = [this](TObject*, TMessage& msg, bool&) {
    if (msg.Msg == WM_ENTERSIZEMOVE) sizeMove_ = true;
    if (msg.Msg == WM_EXITSIZEMOVE) sizeMove_ = false;
  };
  SetDoubleBuffered(true);
  headerFont_ = std::make_unique<TFont>();
  headerFont_->Assign(Font());
  headerFont_->OnChange = [this](TObject*) {
    if (!headerUseTreeFont_) ApplyHeaderFont();
  };
  SetBounds(Left(), Top(), 200, 100);
}

TElTreeWindow::~TElTreeWindow() {
  // The model reports into the pieces while its items go: free it while
  // they are all still here.
  tree_->SetViewPort(nullptr);
  tree_->View().Input().SetPort(nullptr);
  tree_.reset();
  DestroyComponents();
  view_ = nullptr;
  header_ = nullptr;
  ElTreeUnitEnd();
}

void TElTreeWindow::WireHeader() {
  TElHeader* h = header_;
  // A header that changes its height (font, lock) moves the view.
  h->OnResize = [this](TObject*) {
    if (!placing_ && header_->Visible() && view_->Top() != header_->Height()) PlacePieces();
    header_->SetLeftPos(tree_->LeftPosition());
    // The toolkit reports a new size more than once while it is placed.
    const SIZE now{header_->Width(), header_->Height()};
    if (now.cx == headerSize_.cx && now.cy == headerSize_.cy) return;
    headerSize_ = now;
    if (OnHeaderResize) OnHeaderResize(this);
  };
  h->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    if (tree_->IsEditing()) tree_->EndEditItem(!tree_->ExplorerEditMode);
    if (OnHeaderMouseDown) OnHeaderMouseDown(this, b, s, x, y);
  };
  // A section that opens or closes its subsections changes the columns.
  auto repaintAll = [this] {
    TTreeBracket b(tree_.get());
    tree_->MarkUpdate();
    tree_->MarkFullRepaint();
  };
  h->OnSectionExpand = [this, repaintAll](TObject*, TElHeaderSection* s) {
    if (OnHeaderSectionExpand) OnHeaderSectionExpand(this, s);
    repaintAll();
  };
  h->OnSectionCollapse = [this, repaintAll](TObject*, TElHeaderSection* s) {
    if (OnHeaderSectionCollapse) OnHeaderSectionCollapse(this, s);
    repaintAll();
  };
  h->OnFilterCall = [this](TObject*, TElHeaderSection* s) {
    if (OnHeaderSectionFilterCall) OnHeaderSectionFilterCall(this, s->Index());
  };
  h->OnHeaderLookup = [this](TObject*, TElHeaderSection* s, std::string& text) {
    if (OnHeaderLookup) OnHeaderLookup(this, s, text);
    if (tree_->AutoLookup && s) LookupItem(s->Index(), text);
  };
  h->OnHeaderLookupDone = [this](TObject*, TElHeaderSection* s, const std::string& text, bool accepted) {
    if (OnHeaderLookupDone) OnHeaderLookupDone(this, s, text, accepted);
  };
  h->OnMeasureSection = [this](TObject*, TElHeaderSection* s, POINT& size) {
    if (OnHeaderSectionMeasure) OnHeaderSectionMeasure(this, s, size);
  };
  // The tree fires OnHeaderColumnClick itself, before it sorts.
  h->OnSectionClick = [this](TObject*, TElHeaderSection* s) {
    tree_->HeaderSectionClick(s, (GetKeyState(VK_CONTROL) & 0x8000) != 0);
  };
  h->OnSectionDraw = [this](TObject*, TCanvas* c, TElHeaderSection* s, RECT r, bool pressed) {
    if (OnHeaderColumnDraw) OnHeaderColumnDraw(this, c, s, r, pressed);
  };
  h->OnSectionResize = [this](TObject*, TElHeaderSection* s) { tree_->HeaderSectionResize(s); };
  h->OnSectionAutoSize = [this](TObject*, TElHeaderSection* s) { tree_->HeaderSectionAutoSize(s); };
  h->OnSectionDelete = [this](TObject*, TElHeaderSection* s) {
    tree_->HeaderSectionDeleted(s);
    PlacePieces();
  };
  auto relayout = [this](TObject*, TElHeaderSection*) {
    TTreeBracket b(tree_.get());
    tree_->MarkTreePartWidthUnknown();
    tree_->MarkFullRepaint();
    tree_->MarkUpdate();
  };
  h->OnSectionCreate = [this, relayout](TObject* s, TElHeaderSection* sec) {
    relayout(s, sec);
    PlacePieces();
  };
  h->OnSectionShowHide = [this, relayout](TObject* s, TElHeaderSection* sec) {
    relayout(s, sec);
    if (header_->SectionsWidth() < view_->Width()) tree_->SetLeftPosition(0);
  };
  h->OnSectionMove = [this, relayout](TObject* s, TElHeaderSection* sec, int from, int to) {
    relayout(s, sec);
    if (OnHeaderColumnMove) OnHeaderColumnMove(this, sec, from, to);
  };
  // Alignment and (for owner drawing by column) style change how cells are
  // laid out; a password column changes only how they look.
  h->OnSectionChange = [this, relayout](TObject* s, TElHeaderSection* sec, TSectionChangeMode change) {
    if (!sec || !sec->Visible()) return;
    if (change == scmAlign || (change == scmStyle && tree_->OwnerDrawByColumn))
      relayout(s, sec);
    else if (change == scmPassword && view_->HandleAllocated())
      view_->Invalidate();
  };
}

void TElTreeWindow::WireInput() {
  // The view's events are the grid's, with points in the grid's coordinates.
  TElTreeInput& in = tree_->View().Input();
  in.OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
    MouseDown(b, s, x + view_->Left(), y + view_->Top());
  };
  in.OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
    MouseUp(b, s, x + view_->Left(), y + view_->Top());
  };
  in.OnMouseMove = [this](TShiftState s, int x, int y) { MouseMove(s, x + view_->Left(), y + view_->Top()); };
  in.OnClick = [this] { Click(); };
  in.OnDblClick = [this] { DblClick(); };
  in.OnKeyDown = [this](WORD& key, TShiftState s) { KeyDown(key, s); };
  // The grid's OnKeyPress takes the character in the ANSI code page.
  in.OnKeyPress = [this](wchar_t& key) {
    const std::string ansi = WideToAnsi(std::wstring(1, key));
    if (ansi.size() != 1) return;
    char c = ansi[0];
    KeyPress(c);
    if (c == 0) {
      key = 0;
    } else if (c != ansi[0]) {
      const std::wstring wide = AnsiToWide(std::string(1, c));
      if (!wide.empty()) key = wide[0];
    }
  };
}

void TElTreeWindow::LookupItem(int SectionIndex, const std::string& Text) {
  // The whole tree, collapsed rows too, compared as the user typed it: in
  // the system code page, without case.
  const std::string wanted = AnsiUpperCase(Text);
  const TElList& all = tree_->AllItems();
  for (int i = 0; i < all.Count(); ++i) {
    auto* item = static_cast<TElTreeItem*>(all.Get(i));
    const std::string cell = AnsiUpperCase(WideToAnsi(tree_->CellText(item, SectionIndex)));
    if (cell.compare(0, wanted.size(), wanted) != 0) continue;
    tree_->MakeVisible(item);
    tree_->SetItemFocused(item);
    return;
  }
}

bool TElTreeWindow::ContainsWindow(HWND Wnd) {
  return Wnd && HandleAllocated() && (Wnd == Handle() || IsChild(Handle(), Wnd));
}

void TElTreeWindow::FocusEntered() {
  if (focusInside_) return;
  focusInside_ = true;
  DoEnter();
}

void TElTreeWindow::FocusLeft(HWND NewFocus) {
  if (!focusInside_ || ContainsWindow(NewFocus)) return;
  // Another top-level window took the focus (a dialog, another program):
  // the focus comes back here, so the grid has not been left.
  if (!NewFocus || !HandleAllocated() || GetAncestor(NewFocus, GA_ROOT) != GetAncestor(Handle(), GA_ROOT)) return;
  focusInside_ = false;
  DoExit();
}

bool TElTreeWindow::Focused() {
  HWND f = GetFocus();
  return f && (f == (HandleAllocated() ? Handle() : nullptr) || (view_ && view_->HandleAllocated() && f == view_->Handle()));
}

void TElTreeWindow::SetFocus() {
  if (!CanFocus()) return;
  if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
  // Straight to the view: the grid's own window, focused from its view,
  // would pass the focus back to the control before the grid.
  HWND v = view_->Handle();
  if (v && GetFocus() != v) ::SetFocus(v);
}

TElTreeWindow* TElTreeWindow::FromSender(TObject* Sender) {
  if (auto* w = dynamic_cast<TElTreeWindow*>(Sender)) return w;
  if (auto* v = dynamic_cast<TElTreeViewWindow*>(Sender)) return v->Grid();
  return nullptr;
}

void TElTreeWindow::KeyboardMenuPoint(TMessage& m) {
  if (m.LParam != -1 && !(LOWORD(m.LParam) == 0xFFFF && HIWORD(m.LParam) == 0xFFFF)) return;
  TElTreeItem* f = tree_->ItemFocused();
  const int row = f ? tree_->View().VisibleRows().IndexOf(f) : -1;
  if (row < 0 || !view_->HandleAllocated()) return;
  const TElRect r = tree_->View().RowRect(row);
  POINT p{std::max(0, r.Left) + 4, r.Bottom};
  ::ClientToScreen(view_->Handle(), &p);
  m.LParam = MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y));
}

void TElTreeWindow::BarScrolled(bool Vertical, int Code, int Pos) {
  // The bar's codes 0 to 8 are the window scroll codes. The second button
  // pair (9 forward side, 10 back side) moves as the bar's kind says: the
  // opposite arrow's line or a page; custom ones scroll nothing. OnScroll
  // tells of them all with the bar's own code.
  const int original = Code;
  if (Code == 9 || Code == 10) {
    switch (bars_->SecondBtnKind(Vertical)) {
      case 0: Code = Code == 10 ? 0 : 1; break;
      case 1: Code = Code == 10 ? 3 : 2; break;
      default: break;
    }
  }
  if (Code <= 8) {
    if (Vertical)
      tree_->View().OnVScroll(Code, Pos);
    else
      tree_->View().OnHScroll(Code, Pos);
  }
  tree_->DoScroll(Vertical ? TElScrollBarKind::sbVertical : TElScrollBarKind::sbHorizontal, original);
}

void TElTreeWindow::CreateParams(TCreateParams& Params) {
  TElXPThemedControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  // The sunken edge with Ctl3D, else the thin line.
  if (borderStyle_ == TBorderStyle::bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  if (tree_ && tree_->RightAlignedText) Params.ExStyle |= WS_EX_RIGHT | WS_EX_RTLREADING;
}

void TElTreeWindow::CreateWnd() {
  TElXPThemedControl::CreateWnd();
  PlacePieces();
  TTreeBracket b(tree_.get());
  tree_->MarkRows();
  tree_->MarkFullRepaint();
  tree_->MarkUpdate();
}

void TElTreeWindow::SetBorderStyle(TBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TElTreeWindow::ApplyHeaderFont() {
  if (headerUseTreeFont_) {
    header_->SetParentFont(true);
  } else {
    header_->SetParentFont(false);
    header_->Font()->Assign(headerFont_.get());
  }
  PlacePieces();
}

void TElTreeWindow::SetHeaderUseTreeFont(bool v) {
  if (v == headerUseTreeFont_) return;
  headerUseTreeFont_ = v;
  ApplyHeaderFont();
}

void TElTreeWindow::SetStickyHeaderSections(bool v) {
  header_->SetStickySections(v);
  tree_->StickyHeaderSections = v;
  PlacePieces();
}

void TElTreeWindow::SetScrollbarOpposite(bool v) {
  if (v == scrollbarOpposite_) return;
  scrollbarOpposite_ = v;
  PlacePieces();
}

void TElTreeWindow::SetRightAlignedText(bool v) {
  if (v == tree_->RightAlignedText) return;
  TTreeBracket b(tree_.get());
  tree_->RightAlignedText = v;
  header_->SetRightAlignedText(v);
  if (HandleAllocated()) RecreateWnd();
  PlacePieces();
  tree_->MarkTreePartWidthUnknown();
  tree_->MarkRows();
  tree_->MarkFullRepaint();
  tree_->MarkUpdate();
}

void TElTreeWindow::SetUseXPThemes(bool Value) {
  TElXPThemedControl::SetUseXPThemes(Value);
  for (TWinControl* c : {hBar_, vBar_, static_cast<TWinControl*>(header_)})
    if (auto* t = dynamic_cast<TElXPThemedControl*>(c)) t->SetUseXPThemes(Value);
}

void TElTreeWindow::AssignTree(TElTreeWindow* Source) {
  if (!Source || Source == this) return;
  TElTree& from = Source->Tree();
  TElTree& to = *tree_;
  TTreeBracket b(tree_.get());
  to.Items().Assign(&from.Items());
  SetLinesStyle(Source->LinesStyle());
  SetLinesColor(Source->LinesColor());
  to.DeselectChildrenOnCollapse = from.DeselectChildrenOnCollapse;
  SetDrawFocusRect(Source->DrawFocusRect());
  SetBarStyle(from.BarStyle());
  to.AlwaysKeepSelection = from.AlwaysKeepSelection;
  to.SetFullRowSelect(from.FullRowSelect());
  to.DragType = from.DragType;
  to.AutoLookup = from.AutoLookup;
  to.SetSelectColumn(from.SelectColumn());
  to.AutoExpand = from.AutoExpand;
  to.SetShowCheckboxes(from.ShowCheckboxes());
  to.SetShowLeafButton(from.ShowLeafButton());
  to.SetHideHorzScrollBar(from.HideHorzScrollBar());
  to.SetHideVertScrollBar(from.HideVertScrollBar());
  SetBkColor(Source->BkColor());
  SetTextColor(Source->TextColor());
  to.SetShowButtons(from.ShowButtons());
  to.SetShowLines(from.ShowLines());
  to.SetShowImages(from.ShowImages());
  to.SetShowRoot(from.ShowRoot());
  to.LineHintMode = from.LineHintMode;
  to.SetShowColumns(from.ShowColumns());
  SetBorderStyle(Source->BorderStyle());
  to.DoInplaceEdit = from.DoInplaceEdit;
  to.SetHorizontalLines(from.HorizontalLines());
  to.SetVerticalLines(from.VerticalLines());
  to.ScrollTracking = from.ScrollTracking;
  to.Tracking = from.Tracking;
  to.OwnerDrawByColumn = from.OwnerDrawByColumn;
  to.OwnerDrawMask = from.OwnerDrawMask;
  SetDragTrgDrawMode(Source->DragTrgDrawMode());
  to.SetAutoLineHeight(from.AutoLineHeight());
  if (!from.AutoLineHeight()) to.SetLineHeight(from.LineHeight());
  to.SetTopIndex(from.TopIndex());
  to.MarkTreePartWidthUnknown();
  to.MarkRows();
  to.MarkFullRepaint();
  to.MarkUpdate();
}

void TElTreeWindow::SetImageList(TCustomImageList*& Slot, std::unique_ptr<TChangeLink>& Link,
                                 TCustomImageList* v) {
  if (Slot == v) return;
  if (Slot) {
    Slot->UnRegisterChanges(Link.get());
    Slot->RemoveFreeNotification(this);
  }
  Slot = v;
  if (v) {
    if (!Link) {
      Link = std::make_unique<TChangeLink>();
      Link->OnChange = [this](TObject*) { ImagesChanged(); };
    }
    v->RegisterChanges(Link.get());
    v->FreeNotification(this);
  }
  ImagesChanged();
}

void TElTreeWindow::ImagesChanged() {
  if (!tree_) return;
  auto metrics = [](TCustomImageList* l) {
    TElImageMetrics m;
    if (l) {
      m.Width = l->Width();
      m.Height = l->Height();
      m.Count = l->Count();
    }
    return m;
  };
  tree_->SetImages(metrics(images_));
  tree_->SetImages2(metrics(images2_));
}

void TElTreeWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TElXPThemedControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == images_) {
    images_ = nullptr;
    ImagesChanged();
  }
  if (AComponent == images2_) {
    images2_ = nullptr;
    ImagesChanged();
  }
}

TBitmap* TElTreeWindow::Picture(std::unique_ptr<TBitmap>& Slot, bool Glyph) {
  if (!Slot) {
    Slot = std::make_unique<TBitmap>();
    Slot->OnChange = [this, Glyph](TObject*) {
      if (Glyph)
        GlyphsChanged();
      else
        LookChanged();
    };
  }
  return Slot.get();
}

TBitmap* TElTreeWindow::PlusPicture() { return Picture(plusPicture_, false); }
TBitmap* TElTreeWindow::MinusPicture() { return Picture(minusPicture_, false); }
TBitmap* TElTreeWindow::LeafPicture() { return Picture(leafPicture_, false); }
TBitmap* TElTreeWindow::CheckBoxGlyph() { return Picture(checkGlyph_, true); }
TBitmap* TElTreeWindow::RadioButtonGlyph() { return Picture(radioGlyph_, true); }

void TElTreeWindow::SetCustomPlusMinus(bool v) {
  if (v == customPlusMinus_) return;
  customPlusMinus_ = v;
  if (v) {
    PlusPicture();
    MinusPicture();
    LeafPicture();
  }
  TTreeBracket b(tree_.get());
  tree_->MarkRows();
  tree_->MarkFullRepaint();
  tree_->MarkUpdate();
}

void TElTreeWindow::GlyphsChanged() {
  // The strips' cell widths are what the rows are measured with.
  tree_->CheckBoxGlyphWidth = checkGlyph_ ? checkGlyph_->Width() : 0;
  tree_->RadioButtonGlyphWidth = radioGlyph_ ? radioGlyph_->Width() : 0;
  if (!tree_->CustomCheckboxes || (view_ && view_->Painting())) return;
  TTreeBracket b(tree_.get());
  tree_->MarkTreePartWidthUnknown();
  tree_->MarkRows();
  tree_->MarkFullRepaint();
  tree_->MarkUpdate();
}

void TElTreeWindow::SetCustomCheckboxes(bool v) {
  if (v == tree_->CustomCheckboxes) return;
  tree_->CustomCheckboxes = v;
  if (v) {
    CheckBoxGlyph();
    RadioButtonGlyph();
  }
  GlyphsChanged();
  if (!v) {
    TTreeBracket b(tree_.get());
    tree_->MarkTreePartWidthUnknown();
    tree_->MarkRows();
    tree_->MarkFullRepaint();
    tree_->MarkUpdate();
  }
}

void TElTreeWindow::SetHeaderHeight(int v) {
  header_->SetHeight(v);
  PlacePieces();
}

void TElTreeWindow::PlacePieces() {
  if (placing_ || !tree_ || !view_ || !bars_) return;
  placing_ = true;
  RECT cr = ClientRect();
  const int w = cr.right - cr.left, h = cr.bottom - cr.top;
  const int barW = GetSystemMetrics(SM_CXVSCROLL), barH = GetSystemMetrics(SM_CYHSCROLL);
  const bool showHeader = tree_->ShowColumns();
  const bool vShown = vBar_->Visible(), hShown = hBar_->Visible();
  const int viewW = std::max(0, w - (vShown ? barW : 0));
  // The vertical bar sits at the right when the text reads the way the bar
  // is set to be placed, else at the left; the other pieces give way.
  const bool barLeft = vShown && tree_->RightAlignedText != scrollbarOpposite_;
  const int x0 = barLeft ? barW : 0;
  header_->SetVisible(showHeader);
  // The header may settle on its own height when placed: read it after.
  if (showHeader)
    header_->SetBounds(x0, 0, viewW + (header_->StickySections() ? 1 : 0), header_->Height());
  const int top = showHeader ? header_->Height() : 0;
  const int viewH = std::max(0, h - top - (hShown ? barH : 0));
  if (vShown) vBar_->SetBounds(barLeft ? 0 : viewW, 0, barW, std::max(0, h - (hShown ? barH : 0)));
  if (hShown) hBar_->SetBounds(x0, h - barH, viewW, barH);
  const bool sizeChanged = view_->Width() != viewW || view_->Height() != viewH;
  view_->SetBounds(x0, top, viewW, viewH);
  placing_ = false;
  if (sizeChanged) {
    TTreeBracket b(tree_.get());
    tree_->MarkRows();
    tree_->MarkFullRepaint();
    tree_->MarkUpdate();
  }
}

void TElTreeWindow::Resize() {
  TElXPThemedControl::Resize();
  if (!tree_) return;
  TTreeBracket b(tree_.get());
  PlacePieces();
}

void TElTreeWindow::Paint() {
  // Only the square between two shown bars is the outer window's own.
  if (!vBar_ || !vBar_->Visible() || !hBar_->Visible()) return;
  RECT r{vBar_->Left(), hBar_->Top(), vBar_->Left() + vBar_->Width(), hBar_->Top() + hBar_->Height()};
  TCanvas* c = Canvas();
  if (IsThemeApplied()) {
    // The tree's own themed background, a pixel past the square on each side.
    RECT g = r;
    InflateRect(&g, 1, 1);
    DrawThemeBackground(Theme(), c->Handle(), 0, 0, &g, nullptr);
    return;
  }
  c->Brush()->SetColor(vBar_->Color());
  c->FillRect(r);
}

void TElTreeWindow::Dispatch(TMessage& m) {
  // Messages that come while the pieces are made or freed get the defaults.
  if (!tree_ || !view_ || !bars_) {
    TElXPThemedControl::Dispatch(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCCALCSIZE:
      NCCalcSize(m);
      return;
    case WM_NCHITTEST:
      // A press on the frame is on the border, never on a standard bar the
      // custom bars stand in for.
      DefaultHandler(m);
      if (tree_->UseCustomScrollBars && (m.Result == HTHSCROLL || m.Result == HTVSCROLL)) m.Result = HTBORDER;
      // The sunken edge is the frame too, where the system answers nowhere.
      if (m.Result == HTNOWHERE && HandleAllocated()) {
        RECT w{};
        GetWindowRect(Handle(), &w);
        const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        if (PtInRect(&w, p)) m.Result = HTBORDER;
      }
      return;
    case WM_NCPAINT:
      BindSizeMoveHook();
      DefaultHandler(m);
      RedrawFrame();
      m.Result = 0;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TElXPThemedControl::Dispatch(m);
      // The pieces report their own entering and leaving: the grid is left
      // only when the mouse is outside all of it.
      bool inside = m.Msg == CM_MOUSEENTER;
      if (!inside && HandleAllocated()) {
        POINT p{};
        GetCursorPos(&p);
        inside = ContainsWindow(WindowFromPoint(p));
      }
      if (inside != mouseInside_) {
        mouseInside_ = inside;
        if (!view_->HasFocus() && activeBorderType_ != inactiveBorderType_) RedrawFrame();
      }
      return;
    }
    case WM_ENABLE:
      TElXPThemedControl::Dispatch(m);
      RedrawFrame();
      return;
    case WM_PRINT:
      // A printed picture of the window (PrintWindow, screenshots) shows
      // the grid's own frame, not the system's edge.
      TElXPThemedControl::Dispatch(m);
      if ((m.LParam & PRF_NONCLIENT) && OwnFrame()) DrawFrame(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_SETFOCUS:
      // Tabbing backwards out of the view lands here: pass the focus on to
      // the control before the tree instead of taking it back.
      if (reinterpret_cast<HWND>(m.WParam) == (view_->HandleAllocated() ? view_->Handle() : nullptr)) {
        if (HWND parent = GetParent(Handle())) {
          if (HWND prev = GetNextDlgTabItem(parent, Handle(), TRUE); prev && prev != Handle())
            ::SetFocus(prev);
        }
      } else if (view_->HandleAllocated()) {
        ::SetFocus(view_->Handle());
      }
      m.Result = 0;
      return;
    case WM_KILLFOCUS:
      // Focus passing on to the view (or out of the grid) is the view's to
      // report.
      DefaultHandler(m);
      FocusLeft(reinterpret_cast<HWND>(m.WParam));
      RedrawFrame();
      return;
    case WM_MOUSEWHEEL:
    case kToolkitMouseWheel:
      // A wheel over the header or a bar (or sent to the grid) scrolls the rows.
      if (view_->HandleAllocated()) {
        m.Result = SendMessageA(view_->Handle(), m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
    case WM_CONTEXTMENU:
      KeyboardMenuPoint(m);
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      // Scroll messages sent to the grid itself (not from a child's bar)
      // move the rows as the grid's own bars do.
      if (m.LParam == 0) {
        const int code = LOWORD(m.WParam);
        if (m.Msg == WM_VSCROLL) {
          const bool track = code == SB_THUMBPOSITION || code == SB_THUMBTRACK;
          tree_->HandleVScroll(code, track ? bars_->TrackPosition(true) : tree_->TopIndex());
        } else {
          tree_->HandleHScroll(code, static_cast<short>(HIWORD(m.WParam)));
        }
        m.Result = 0;
        return;
      }
      break;
    case WM_SIZE:
      TElXPThemedControl::Dispatch(m);
      PlacePieces();
      RedrawFrame();
      return;
    case WM_MOUSEMOVE: {
      // Moves over the outer window (the border square) reach the view's
      // handling, which takes the grid's coordinates and fires OnMouseMove.
      LRESULT r = 0;
      tree_->View().Input().HandleMessage(WM_MOUSEMOVE, m.WParam, m.LParam, r);
      DefaultHandler(m);
      return;
    }
    case WM_SYSCOLORCHANGE:
      TElXPThemedControl::Dispatch(m);
      for (TWinControl* c : {static_cast<TWinControl*>(hBar_), static_cast<TWinControl*>(vBar_),
                             static_cast<TWinControl*>(header_)})
        if (c->HandleAllocated()) SendMessageA(c->Handle(), WM_SYSCOLORCHANGE, m.WParam, m.LParam);
      return;
    case CM_CURSORCHANGED:
      // The rows are the view's: the cursor set on the grid shows over them.
      TElXPThemedControl::Dispatch(m);
      view_->SetCursor(Cursor());
      return;
    case CM_COLORCHANGED:
      TElXPThemedControl::Dispatch(m);
      Canvas()->Brush()->SetColor(Color());
      return;
    case CM_FONTCHANGED: {
      TElXPThemedControl::Dispatch(m);
      // The header follows the grid's font through its parent font; its
      // height may change with it.
      if (headerUseTreeFont_) PlacePieces();
      {
        // The tree measures from its first update on: it gets the new
        // measurer before anything can measure, and the old one is freed
        // only once nothing points at it, even when the update throws.
        std::unique_ptr<IElTextMeasurer> old = std::move(measurer_);
        measurer_ = std::make_unique<TGdiTextMeasurer>(AnsiToWide(Font()->Name()), Font()->Height());
        tree_->SetTextMeasurer(measurer_.get());
        tree_->SetFontHeight(Font()->Height());
      }
      return;
    }
    case CM_ENABLEDCHANGED:
      TElXPThemedControl::Dispatch(m);
      bars_->SetBarsEnabled(Enabled());
      return;
    case 2322:
      if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    default:
      break;
  }
  TElXPThemedControl::Dispatch(m);
}

void TElTreeWindow::LookChanged() {
  if (tree_ && view_ && view_->HandleAllocated()) view_->Invalidate();
}

void TElTreeWindow::SetHighlightAlphaLevel(int v) {
  if (v < 0 || v > 255 || v == highlightAlphaLevel_) return;
  highlightAlphaLevel_ = v;
  LookChanged();
}

void TElTreeWindow::SetBarStyle(bool v) {
  if (v == tree_->BarStyle()) return;
  if (v) {
    BkColor_ = clBtnFace;
    TextColor_ = clBtnText;
    LinesColor_ = clBtnShadow;
  }
  tree_->SetBarStyle(v);
  LookChanged();
}

void TElTreeWindow::DoItemDraw(TElTreeItem* Item, TCanvas* Surface, const RECT& R, int SectionIndex) {
  if (OnItemDraw) OnItemDraw(this, Item, Surface, R, SectionIndex);
}

void TElTreeWindow::DoItemPreDraw(TElTreeItem* Item) {
  if (OnItemPreDraw) OnItemPreDraw(this, Item);
}

void TElTreeWindow::DoEndDrag(TObject* Target, int X, int Y) {
  // A drop on the rows is a drop on the grid, at the grid's point.
  if (Target == view_) {
    Target = this;
    X += view_->Left();
    Y += view_->Top();
  }
  TElXPThemedControl::DoEndDrag(Target, X, Y);
  if (tree_) tree_->View().Input().DoEndDrag(Target, X, Y);
}

void TElTreeWindow::DoItemPostDraw(TCanvas* Canvas, TElTreeItem* Item, const RECT& ItemRect, bool& DrawFocusRect) {
  if (OnItemPostDraw) OnItemPostDraw(this, Canvas, Item, ItemRect, DrawFocusRect);
}

}  // namespace morvane
