// The column header above every tree-list grid: lays its sections out left
// to right, paints them (classic, flat or themed) with sort marks, images
// and the expand, lookup and filter buttons, keeps them fitted to its width
// in sticky mode, carries per-section hints, and answers the mouse:
// resizing by an edge, clicking, dragging to another place, the buttons and
// the lookup box.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/elheadersections.h"
#include "controls/elxpthemed.h"
#include "platform/ui/imglist.h"

namespace morvane {

class TElHeaderLookupBox;

enum TElHResizingStates : uint8_t { trsBegin, trsMove, trsEnd };

using TElHeaderSectionEvent = std::function<void(TObject* Sender, TElHeaderSection* Section)>;
using TElSectionRedrawEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, TElHeaderSection* Section, RECT R, bool Pressed)>;
using TElSectionResizingEvent =
    std::function<void(TObject* Sender, TElHeaderSection* Section, TElHResizingStates State, int Width)>;
using TElSectionMoveEvent = std::function<void(TObject* Sender, TElHeaderSection* Section, int OldPos, int NewPos)>;
using TPictureNeededEvent = std::function<void(TObject* Sender, TElHeaderSection* Section, int& ImageIndex)>;
using TSectionChangeEvent =
    std::function<void(TObject* Sender, TElHeaderSection* Section, TSectionChangeMode Change)>;
using TElHeaderLookupEvent = std::function<void(TObject* Sender, TElHeaderSection* Section, std::string& Text)>;
using TElHeaderLookupDoneEvent =
    std::function<void(TObject* Sender, TElHeaderSection* Section, const std::string& Text, bool Accepted)>;
using TMeasureSectionEvent = std::function<void(TObject* Sender, TElHeaderSection* Section, POINT& Size)>;

class TCustomElHeader : public TElXPThemedControl, public IElHeaderSectionsOwner {
 public:
  explicit TCustomElHeader(TComponent* AOwner);
  ~TCustomElHeader() override;

  TElHeaderSections* Sections() const { return sections_.get(); }
  void SetSections(TElHeaderSections* v) { sections_->Assign(v); }

  int LeftPos() const override { return leftPos_; }
  void SetLeftPos(int v);
  bool InvertSortArrows() const { return invertSortArrows_; }
  void SetInvertSortArrows(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TColor ActiveFilterColor() const { return activeFilterColor_; }
  void SetActiveFilterColor(TColor v);
  TColor FilterColor() const { return filterColor_; }
  void SetFilterColor(TColor v);
  bool LockHeight() const { return lockHeight_; }
  void SetLockHeight(bool v);
  bool RightAlignedText() const { return rightAlignedText_; }
  void SetRightAlignedText(bool v);
  bool RightAlignedOrder() const { return rightAlignedOrder_; }
  void SetRightAlignedOrder(bool v);
  bool StickySections() const override { return stickySections_; }
  void SetStickySections(bool v) override;
  bool MoveOnDrag() const { return moveOnDrag_; }
  void SetMoveOnDrag(bool v) { moveOnDrag_ = v; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  bool Tracking() const { return tracking_; }
  void SetTracking(bool v);
  bool AllowDrag() const { return allowDrag_; }
  void SetAllowDrag(bool v) { allowDrag_ = v; }
  bool ResizeOnDrag() const { return resizeOnDrag_; }
  void SetResizeOnDrag(bool v) { resizeOnDrag_ = v; }
  int DefaultWidth() const override { return defaultWidth_; }
  void SetDefaultWidth(int v) { defaultWidth_ = v; }
  const std::wstring& Hint() const { return wideHint_; }
  void SetHint(const std::wstring& v);
  int SectionsWidth() const;

  void BeginUpdate() override { ++updateCount_; }
  void EndUpdate() override;
  void Update() override;
  void SetIsDesigning(bool Value);
  void FontChanged();

  TElHeaderSection* SectionAt(int X, int Y) const;
  RECT SectionRect(TElHeaderSection* Section) const;
  int MeasureSection(TElHeaderSection* Section, int& TextWidth, int& TextHeight);
  void AdjustHeight() override;
  int NeededHeight();
  void InvalidateFrom(int Position) override;
  void FitSections(TElHeaderSection* Except) override;
  int ResizableWidth() const;
  void SaveStickyShares() override;
  // Kind: 0 resize zone, 1 section, 2 expand, 3 lookup, 4 filter button.
  TElHeaderSection* HitTest(int X, int Y, int& Kind);
  virtual bool GetResizableSectionAt(int X, TElHeaderSection*& Section);
  void DrawSection(TCanvas* Canvas, TElHeaderSection* Section, bool Ghost, RECT R);

  // Interaction state, read by the tree and tests.
  bool Resizing() const { return resizing_; }
  bool Pressing() const { return pressing_; }
  TElHeaderSection* PressedSection() const { return pressedSection_; }
  TElHeaderSection* HotSection() const { return hotSection_; }
  TElHeaderSection* DragSection() const { return dragSection_; }
  TElHeaderSection* ResizeSection() const { return resizeSection_; }
  TElHeaderSection* LookupSection() const { return lookupSection_; }
  bool LookupOpen() const { return lookupOpen_; }
  bool LineShown() const { return lineShown_; }
  int LineX() const { return lineX_; }
  // Where the drag ghost was last drawn, in client coordinates.
  RECT GhostRect() const { return dragRect_; }
  TWinControl* LookupBox() const;

  TElHeaderSectionEvent OnSectionClick, OnSectionResize, OnSectionDelete, OnSectionShowHide, OnSectionCreate,
      OnSectionExpand, OnSectionCollapse, OnSectionAutoSize, OnFilterCall;
  TElSectionRedrawEvent OnSectionDraw;
  TElSectionResizingEvent OnSectionResizing;
  TElSectionMoveEvent OnSectionMove;
  TPictureNeededEvent OnPictureNeeded;
  TSectionChangeEvent OnSectionChange;
  TElHeaderLookupEvent OnHeaderLookup;
  TElHeaderLookupDoneEvent OnHeaderLookupDone;
  TMeasureSectionEvent OnMeasureSection;

  // The section-owner side (IElHeaderSectionsOwner).
  TPersistent* HeaderPersistent() override { return this; }
  void SectionCreated() override { sectionCreated_ = true; }
  void SectionDeleted() override { sectionDeleted_ = true; }
  void SectionLeaving(TElHeaderSection* Section) override;
  bool HandleAllocated() const override { return TElXPThemedControl::HandleAllocated(); }
  void Invalidate() override { TElXPThemedControl::Invalidate(); }
  void InvalidateRect(int Left, int Top, int Right, int Bottom) override;
  void InvalidateParent() override;
  int HeaderWidth() const override { return Width(); }
  int HeaderHeight() const override { return Height(); }
  void SetHeaderHeight(int Value) override { SetHeight(Value); }
  bool InOwnResize() const override { return inOwnResize_; }
  bool IsLoading() const override;
  bool IsDesigning() const override { return HasState(csDesigning); }
  bool IsDestroying() const override { return HasState(csDestroying); }

  virtual TElHeaderSections* CreateSections();
  virtual void TriggerPictureNeeded(TElHeaderSection* Section, int& Index);
  void TriggerSectionShowHideEvent(TElHeaderSection* Section) override;
  virtual void TriggerSectionDeleteEvent(TElHeaderSection* Section);
  void TriggerSectionMoveEvent(TElHeaderSection* Section, int OldPos, int NewPos) override;
  virtual void TriggerSectionResizingEvent(TElHeaderSection* Section, TElHResizingStates State, int Width);
  void TriggerSectionResizeEvent(TElHeaderSection* Section) override;
  virtual void TriggerSectionClickEvent(TElHeaderSection* Section);
  virtual void TriggerSectionDrawEvent(TCanvas* Canvas, TElHeaderSection* Section, RECT R, bool Pressed);
  void TriggerSectionChangeEvent(TElHeaderSection* Section, TSectionChangeMode Change) override;
  virtual void TriggerSectionExpandEvent(TElHeaderSection* Section);
  virtual void TriggerSectionCollapseEvent(TElHeaderSection* Section);
  virtual void TriggerSectionCreateEvent(TElHeaderSection* Section);
  virtual void TriggerHeaderLookupEvent(TElHeaderSection* Section, std::string& Text);
  virtual void TriggerHeaderLookupDoneEvent(TElHeaderSection* Section, const std::string& Text, bool Accepted);
  void TriggerSectionAutoSizeEvent(TElHeaderSection* Section) override;
  virtual void TriggerFilterCallEvent(TElHeaderSection* Section);
  virtual void TriggerMeasureSectionEvent(TElHeaderSection* Section, POINT& Size);

 protected:
  std::wstring GetThemedClassName() const override { return L"HEADER"; }
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  std::string ClassName() const override { return "TCustomElHeader"; }

 private:
  friend class TElHeaderLookupBox;
  void EnsureButtonHeight();
  void ImagesChanged(TObject* Sender);
  int ImageIndexOf(TElHeaderSection* Section);
  void DrawPicture(TCanvas* Canvas, int Index, RECT& R, int ClipRight);
  void RepaintSection(TElHeaderSection* Section);
  void DrawLine();
  void EndLine();
  void SetScreenCursor(TCursor c);
  void RestoreScreenCursor();
  void CancelGesture();
  void ReleaseOwnCapture();
  void LeftDown(int X, int Y);
  void LeftUp(int X, int Y);
  void MoveTo(int X, int Y);
  void DoubleClick(int X, int Y);
  bool RightDown(int X, int Y);
  void MouseEntered();
  void MouseLeft();
  void EndDrag(int X, int Y, bool Move);
  void MoveGhost(int X);
  void StartDrag();
  void FreeDragImages();
  void OpenLookup(TElHeaderSection* Section);
  void FreeLookupBox();
  void CloseLookup(bool Accepted);
  void LookupTextChanged();
  void HintShow(TMessage& Message);
  void PaintRest(TCanvas* Canvas);

  std::unique_ptr<TElHeaderSections> sections_;
  int leftPos_ = 0;
  bool invertSortArrows_ = false, flat_ = false;
  TColor activeFilterColor_ = 0, filterColor_ = clBtnText;
  bool lockHeight_ = false, rightAlignedText_ = false, rightAlignedOrder_ = false, stickySections_ = false;
  bool moveOnDrag_ = false;
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<TChangeLink> imageLink_;
  bool tracking_ = true, allowDrag_ = true, painting_ = false, resizeOnDrag_ = false;
  bool sectionDeleted_ = false, sectionCreated_ = false, inOwnResize_ = false;
  int lastClientWidth_ = 0;
  int updateCount_ = 0;
  int defaultWidth_ = 120;
  std::wstring wideHint_;

  // Interaction.
  bool mouseInside_ = false;
  std::unique_ptr<TBitmap> ghost_, ghostBack_;
  TColor ghostColor_ = 0;
  RECT dragRect_{};
  int dragX_ = 0, dragY_ = 0;
  TElHeaderLookupBox* lookupBox_ = nullptr;
  TElHeaderSection* lookupSection_ = nullptr;
  bool lookupOpen_ = false;
  bool settingLookupText_ = false;
  HWND savedFocus_ = nullptr;
  POINT pressPoint_{};
  bool pressing_ = false;
  TElHeaderSection* pressedSection_ = nullptr;
  TElHeaderSection* hintSection_ = nullptr;
  TElHeaderSection* hotSection_ = nullptr;
  bool resizing_ = false;
  TElHeaderSection* resizeSection_ = nullptr;
  int lineX_ = 0, grabOffset_ = 0;
  bool lineShown_ = false;
  HDC lineDC_ = nullptr;
  bool releasing_ = false;
  TElHeaderSection* dragSection_ = nullptr;
  TElHeaderSection* dropSection_ = nullptr;
  TCursor savedCursor_ = crDefault;
};

class TElHeader : public TCustomElHeader {
 public:
  using TCustomElHeader::TCustomElHeader;

 protected:
  std::string ClassName() const override { return "TElHeader"; }
};

// The header's marks, loaded from the program's bitmap resources once.
HBITMAP ElHeaderAscBmp();
HBITMAP ElHeaderDescBmp();
HBITMAP ElHeaderPointBmp();

}  // namespace morvane
