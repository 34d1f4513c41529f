// TElTreeWindow: the tree-list control as a window. It owns the tree model
// (TElTree, which keeps working without any window), a column header, the
// inner view window that paints the rows and takes the input, and two custom
// scroll bars, and places them: header on top, bars on the right and at the
// bottom, the view in the rest. The look of the rows (colours, lines,
// stripes, selection and focus drawing) is kept here; the model keeps only
// what its layout and hit testing need.
#pragma once

#include <memory>

#include "controls/elheader.h"
#include "controls/elvclutils.h"
#include "platform/ui/imglist.h"
#include "controls/elxpthemed.h"
#include "treeview/eltree.h"
#include "treeview/eltree_inputport.h"
#include "treeview/eltree_scrollbars.h"
#include "treeview/eltreeheaderlink.h"

namespace morvane {

class TElTreeWindow;

enum class TDragTargetDraw : uint8_t {
  ColorFrame, ColorRect, SelColorRect, dtdNone, dtdUpColorLine, dtdDownColorLine, dtdUpSelColorLine,
  dtdDownSelColorLine
};

using TOnItemDrawEvent =
    std::function<void(TObject* Sender, TElTreeItem* Item, TCanvas* Surface, RECT R, int SectionIndex)>;
using TOnItemPostDrawEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, TElTreeItem* Item, RECT ItemRect, bool& DrawFocusRect)>;
// Fired before a row on screen is painted: the handler may still change the
// item's colours and styles for this paint.
using TOnItemPreDrawEvent = std::function<void(TObject* Sender, TElTreeItem* Item)>;
// The parts of the custom scroll bars (defined with the bar control).
enum TElScrollBarPart : uint8_t;
using TElTreeScrollDrawPartEvent = std::function<void(TObject* Sender, TCanvas* Canvas, RECT R, TElScrollBarPart Part,
                                                      bool Enabled, bool Focused, bool Pressed, bool& DefaultDraw)>;
using TElTreeScrollHintEvent = std::function<void(TObject* Sender, int TrackPosition, std::wstring& Hint)>;

// The inner client window: rows, painting, focus; input goes first to the
// view's input handling of the model, whose relays fire the grid's own
// events (TElTreeWindow's OnClick, OnKeyDown, OnMouseDown, ...).
class TElTreeViewWindow : public TCustomControl {
 public:
  explicit TElTreeViewWindow(TElTreeWindow* Owner);
  TElTreeWindow* Grid() const { return owner_; }
  bool HasFocus() const { return hasFocus_; }
  bool Painting() const { return painting_; }
  // Paints the rows on screen into DC (client coordinates of the view); the
  // paint handler calls it, tests and the drag image may too.
  void PaintRows(HDC DC);
  // Fills Rect (grown by a pixel right and down) with the tree's background.
  void PaintBackground(HDC DC, const RECT& Rect);

 protected:
  void Dispatch(TMessage& Message) override;
  std::string ClassName() const override { return "TElTreeView"; }
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // The toolkit's key handling (with the form's key preview) ends here: the
  // tree's navigation and the grid's key events.
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  // The toolkit's drag: the view is the source of a drag the input handling
  // starts and a target for drags over it; the grid's events hear both.
  void DoStartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  TDragImageList* GetDragImages() override;

 private:
  TObject* DragSource(TObject* Source) const;
  void WMPaint(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void HintShow(THintInfo& Info);
  TElTreeWindow* owner_;
  bool hasFocus_ = false;
  bool painting_ = false;
  UINT keyMessage_ = 0;  // the key message being dispatched
};

class TElTreeWindow : public TElXPThemedControl {
 public:
  explicit TElTreeWindow(TComponent* AOwner);
  ~TElTreeWindow() override;

  TElTree& Tree() const { return *tree_; }
  TElHeader* Header() const { return header_; }
  TElTreeViewWindow* View() const { return view_; }
  TWinControl* HScrollBar() const { return bars_->Bar(false); }
  TWinControl* VScrollBar() const { return bars_->Bar(true); }
  TElScrollBarStyles* HorzScrollBarStyles() const { return bars_->Styles(false); }
  TElScrollBarStyles* VertScrollBarStyles() const { return bars_->Styles(true); }

  // Places header, scroll bars and view inside the client area.
  void PlacePieces();
  int HeaderHeight() const { return header_->Height(); }
  void SetHeaderHeight(int v);

  // The parent form is being sized or moved: every cell fills itself. A
  // hook on the parent form follows its size-move loop while DoubleBuffered.
  bool SizeMoving() const { return sizeMove_; }
  void SetSizeMoving(bool v) { sizeMove_ = v; }
  // The rows are painted off screen and copied at once; while the parent
  // form is sized or moved only when DoubleBufferedOnResize.
  bool DoubleBuffered() const { return TElXPThemedControl::DoubleBuffered(); }
  void SetDoubleBuffered(bool v);
  bool DoubleBufferedOnResize() const { return doubleBufferedOnResize_; }
  void SetDoubleBufferedOnResize(bool v) { doubleBufferedOnResize_ = v; }
  // Whether the next paint of the view goes through a memory bitmap.
  bool PaintsOffScreen() const;
  void SetParent(TWinControl* AParent) override;

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  // The frame: drawn by the grid itself when Flat, with its custom bars or
  // under visual styles; the border type and line colour follow whether the
  // grid is active (focused or under the mouse). Sides left out of
  // BorderSides have no border at all: the rows reach the window's edge.
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TElFlatBorderType ActiveBorderType() const { return activeBorderType_; }
  void SetActiveBorderType(TElFlatBorderType v);
  TElFlatBorderType InactiveBorderType() const { return inactiveBorderType_; }
  void SetInactiveBorderType(TElFlatBorderType v);
  TColor LineBorderActiveColor() const { return lineBorderActiveColor_; }
  void SetLineBorderActiveColor(TColor v);
  TColor LineBorderInactiveColor() const { return lineBorderInactiveColor_; }
  void SetLineBorderInactiveColor(TColor v);
  bool FlatFocusedScrollbars() const { return flatFocusedScrollbars_; }
  void SetFlatFocusedScrollbars(bool v);
  TElBorderSides BorderSides() const { return borderSides_; }
  void SetBorderSides(TElBorderSides v);
  bool MouseInside() const { return mouseInside_; }
  // Draws the frame into DC, a device context of the whole window.
  void DrawFrame(HDC DC);

  // The width new header sections start with.
  int DefaultSectionWidth() const { return header_->DefaultWidth(); }
  void SetDefaultSectionWidth(int v) { header_->SetDefaultWidth(v); }
  // The header draws with the grid's font, or with HeaderFont when
  // HeaderUseTreeFont is off; its height follows the font.
  TFont* HeaderFont() const { return headerFont_.get(); }
  bool HeaderUseTreeFont() const { return headerUseTreeFont_; }
  void SetHeaderUseTreeFont(bool v);
  // Sections that stretch to the header's width (the header one pixel
  // wider, so that the last divider is not drawn).
  bool StickyHeaderSections() const { return header_->StickySections(); }
  void SetStickyHeaderSections(bool v);
  // The vertical bar on the side opposite the text's reading direction:
  // left for left-to-right text.
  bool ScrollbarOpposite() const { return scrollbarOpposite_; }
  void SetScrollbarOpposite(bool v);
  // Text that reads from the right: the window's right-aligned reading
  // styles, the header's text and the vertical bar's side follow it.
  bool RightAlignedText() const { return tree_->RightAlignedText; }
  void SetRightAlignedText(bool v);
  // The grid, its bars and its header follow the visual styles together.
  void SetUseXPThemes(bool Value) override;
  // Copies the items and the settings of another grid.
  void AssignTree(TElTreeWindow* Source);

  // The row images (not owned; the grid forgets a list that is freed).
  // Images2 holds the second image of each row; without it the second
  // image comes from Images too.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v) { SetImageList(images_, imagesLink_, v); }
  TCustomImageList* Images2() const { return images2_; }
  void SetImages2(TCustomImageList* v) { SetImageList(images2_, images2Link_, v); }
  // The expand, collapse and leaf buttons drawn from the grid's own
  // pictures (made on first use; the transparent colour is each picture's
  // bottom-left pixel).
  bool CustomPlusMinus() const { return customPlusMinus_; }
  void SetCustomPlusMinus(bool v);
  TBitmap* PlusPicture();
  TBitmap* MinusPicture();
  TBitmap* LeafPicture();
  // Check boxes and radio buttons drawn from strips of six cells (unchecked,
  // unchecked disabled, checked, checked disabled, grayed, grayed disabled;
  // radio buttons use the first four). Made on first use; a new picture
  // lays the rows out again.
  bool CustomCheckboxes() const { return tree_->CustomCheckboxes; }
  void SetCustomCheckboxes(bool v);
  TBitmap* CheckBoxGlyph();
  TBitmap* RadioButtonGlyph();
  void Notification(TComponent* AComponent, TOperation Operation) override;

#define MORVANE_TREE_LOOK(Type, Name, Default) \
 public:                                       \
  Type Name() const { return Name##_; }        \
  void Set##Name(Type v) {                     \
    if (Name##_ == v) return;                  \
    Name##_ = v;                               \
    LookChanged();                             \
  }                                            \
                                               \
 private:                                      \
  Type Name##_ = Default;

  MORVANE_TREE_LOOK(TColor, BkColor, clWindow)
  MORVANE_TREE_LOOK(TColor, TextColor, clWindowText)
  MORVANE_TREE_LOOK(TColor, LinesColor, clBtnFace)
  MORVANE_TREE_LOOK(TPenStyle, LinesStyle, TPenStyle::psDot)
  MORVANE_TREE_LOOK(TColor, HorzDivLinesColor, clBtnFace)
  MORVANE_TREE_LOOK(TColor, VertDivLinesColor, clBtnFace)
  MORVANE_TREE_LOOK(bool, VerticalLinesLong, true)
  MORVANE_TREE_LOOK(bool, BarStyleVerticalLines, false)
  MORVANE_TREE_LOOK(TColor, FocusedSelectColor, clHighlight)
  MORVANE_TREE_LOOK(TColor, FocusedSelectTextColor, clHighlightText)
  MORVANE_TREE_LOOK(TColor, HideSelectColor, clBtnFace)
  MORVANE_TREE_LOOK(TColor, HideSelectTextColor, clBtnShadow)
  MORVANE_TREE_LOOK(bool, HideSelection, false)
  MORVANE_TREE_LOOK(bool, HideFocusRect, false)
  MORVANE_TREE_LOOK(bool, DrawFocusRect, true)
  MORVANE_TREE_LOOK(bool, StripedItems, false)
  MORVANE_TREE_LOOK(TColor, StripedEvenColor, clBtnHighlight)
  MORVANE_TREE_LOOK(TColor, StripedOddColor, clBtnFace)
  MORVANE_TREE_LOOK(TColor, TrackColor, clHighlight)
  MORVANE_TREE_LOOK(bool, UnderlineTracked, true)
  MORVANE_TREE_LOOK(bool, RowHotTrack, false)
  MORVANE_TREE_LOOK(bool, PlusMinusTransparent, false)
  MORVANE_TREE_LOOK(TDragTargetDraw, DragTrgDrawMode, TDragTargetDraw::SelColorRect)
  MORVANE_TREE_LOOK(TColor, DragRectAcceptColor, clGreen)
  MORVANE_TREE_LOOK(TColor, DragRectDenyColor, clRed)
  MORVANE_TREE_LOOK(bool, DropAccepted, false)
#undef MORVANE_TREE_LOOK

 public:
  int HighlightAlphaLevel() const { return highlightAlphaLevel_; }
  // Values outside 0 to 255 are ignored.
  void SetHighlightAlphaLevel(int v);
  // Colours of the row and bar style also change BkColor, TextColor and
  // LinesColor to the button colours when switched on.
  void SetBarStyle(bool v);

  TOnItemDrawEvent OnItemDraw;
  TOnItemPostDrawEvent OnItemPostDraw;
  TOnItemPreDrawEvent OnItemPreDraw;
  // The custom scroll bars' drawing and hints, with the grid as Sender (the
  // vertical thumb hint is the tree's OnVertScrollHintNeeded).
  TElTreeScrollDrawPartEvent OnHorzScrollDrawPart;
  TElTreeScrollDrawPartEvent OnVertScrollDrawPart;
  TElTreeScrollHintEvent OnHorzScrollHintNeeded;
  // Owner-drawn header sections (style ElhsOwnerDraw) are drawn by this.
  TElSectionRedrawEvent OnHeaderColumnDraw;
  // The header's events, with the grid as Sender.
  TElSectionMoveEvent OnHeaderColumnMove;
  TElHeaderLookupEvent OnHeaderLookup;
  TElHeaderLookupDoneEvent OnHeaderLookupDone;
  TElHeaderSectionEvent OnHeaderSectionExpand;
  TElHeaderSectionEvent OnHeaderSectionCollapse;
  TMeasureSectionEvent OnHeaderSectionMeasure;
  std::function<void(TObject* Sender, int SectionIndex)> OnHeaderSectionFilterCall;
  TNotifyEvent OnHeaderResize;
  // A press on the header (in the header's coordinates); it ends an edit first.
  TMouseEvent OnHeaderMouseDown;

  // The grid has the keyboard focus when its view has it; focusing the grid
  // focuses the view (also when it already has the focus).
  bool Focused() override;
  void SetFocus() override;
  // The grid, given the Sender of one of its events or of its tree's events
  // (the tree fires them with the grid as Sender); null for anything else.
  static TElTreeWindow* FromSender(TObject* Sender);

  // The triggers; nothing happens without a handler.
  virtual void DoItemDraw(TElTreeItem* Item, TCanvas* Surface, const RECT& R, int SectionIndex);
  virtual void DoItemPostDraw(TCanvas* Canvas, TElTreeItem* Item, const RECT& ItemRect, bool& DrawFocusRect);
  virtual void DoItemPreDraw(TElTreeItem* Item);
  // The toolkit's end of a drag the grid's drag object carried: OnEndDrag,
  // then the view forgets the drag image and the drop target.
  void DoEndDrag(TObject* Target, int X, int Y) override;

  // The port the model reports to (the view window's invalid area, the
  // scroll bars, the placement of the pieces).
  class TFramePort;

 protected:
  std::wstring GetThemedClassName() const override { return L"TREEVIEW"; }
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Resize() override;
  void Paint() override;
  std::string ClassName() const override { return "TElTree"; }

 private:
  friend class TElTreeViewWindow;
  void LookChanged();
  void WireHeader();
  void WireInput();
  // The header's lookup with AutoLookup: focus the first item whose cell
  // in the section starts with Text.
  void LookupItem(int SectionIndex, const std::string& Text);
  void BarScrolled(bool Vertical, int Code, int Pos);
  // The window is the grid's own or one of its children.
  bool ContainsWindow(HWND Wnd);
  // OnEnter and OnExit follow the focus into and out of the grid as a
  // whole: moves between its own windows and to other top-level windows
  // (a dialog, another program) do not count.
  void FocusEntered();
  void FocusLeft(HWND NewFocus);
  // The context-menu key asks for the menu at (-1, -1): it opens at the
  // focused row.
  void KeyboardMenuPoint(TMessage& Message);

  std::unique_ptr<TElTree> tree_;
  std::unique_ptr<TFramePort> port_;
  std::unique_ptr<TElTreeWindowInputPort> inputPort_;
  std::unique_ptr<TElTreeHeaderLink> headerLink_;
  std::unique_ptr<IElTextMeasurer> measurer_;
  TElHeader* header_ = nullptr;  // owned as components
  TElTreeViewWindow* view_ = nullptr;
  std::unique_ptr<TElTreeScrollBars> bars_;
  TWinControl* hBar_ = nullptr;  // owned as components
  TWinControl* vBar_ = nullptr;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool flat_ = false;
  TElFlatBorderType activeBorderType_ = fbtSunken;
  TElFlatBorderType inactiveBorderType_ = fbtSunkenOuter;
  TColor lineBorderActiveColor_ = clBlack;
  TColor lineBorderInactiveColor_ = clBtnFace;
  bool flatFocusedScrollbars_ = true;
  TElBorderSides borderSides_ = kAllBorderSides;
  bool mouseInside_ = false;
  bool doubleBufferedOnResize_ = true;
  class TElHook* sizeMoveHook_ = nullptr;  // owned as a component
  // The frame is the grid's own to draw (not the system's client edge).
  bool OwnFrame();
  // Draws the frame now when it is the grid's own.
  void RedrawFrame();
  void FrameStateChanged(bool FocusDependent);
  void BindSizeMoveHook();
  void NCCalcSize(TMessage& Message);
  int highlightAlphaLevel_ = 255;
  bool placing_ = false;
  bool sizeMove_ = false;
  bool focusInside_ = false;
  SIZE headerSize_{};  // the header's size last reported by OnHeaderResize
  std::unique_ptr<TFont> headerFont_;
  bool headerUseTreeFont_ = true;
  bool scrollbarOpposite_ = false;
  void ApplyHeaderFont();
  void SetImageList(TCustomImageList*& Slot, std::unique_ptr<TChangeLink>& Link, TCustomImageList* v);
  void ImagesChanged();
  TBitmap* Picture(std::unique_ptr<TBitmap>& Slot, bool Glyph);
  void GlyphsChanged();
  TCustomImageList* images_ = nullptr;
  TCustomImageList* images2_ = nullptr;
  std::unique_ptr<TChangeLink> imagesLink_, images2Link_;
  bool customPlusMinus_ = false;
  std::unique_ptr<TBitmap> plusPicture_, minusPicture_, leafPicture_, checkGlyph_, radioGlyph_;
};

}  // namespace morvane
