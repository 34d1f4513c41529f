// TCustomElTree / TElTree: the tree-list control's model side. It keeps the
// flat list of all items, the selection, focus and anchor, the update
// bracket whose outermost end does layout, deferred sort, scroll ranges and
// repaint once, sorting, filtering and column measuring. It needs no window:
// the view window, the header, text measuring and timers come in through the
// interfaces of eltreeports.h and default to headless stand-ins.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/streams.h"
#include "treeview/eltree_editor.h"
#include "treeview/eltree_inputdefs.h"
#include "treeview/eltree_search.h"
#include "treeview/eltreeitems.h"
#include "treeview/eltreeports.h"
#include "treeview/eltreeview.h"

namespace morvane {

// Scroll bars shown even when everything fits (then with nothing to scroll).
enum class TElForcedScrollBars : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomElTree : public TComponent {
 public:
  explicit TCustomElTree(TComponent* AOwner);
  ~TCustomElTree() override;
  TCustomElTree(const TCustomElTree&) = delete;
  TCustomElTree& operator=(const TCustomElTree&) = delete;

  // ---- the seams ----
  // Not owned; null puts the headless view back.
  void SetViewPort(IElTreeViewPort* Port);
  IElTreeViewPort& ViewPort() const { return *port_; }
  // The built-in headless view (what it recorded), null when replaced.
  THeadlessTreeView* HeadlessView() const {
    return port_ == headlessView_.get() ? headlessView_.get() : nullptr;
  }
  void SetTextMeasurer(IElTextMeasurer* Measurer);
  IElTextMeasurer& TextMeasurer() const { return *measurer_; }
  void SetHeader(IElTreeHeader* Header);
  IElTreeHeader& Header() const { return *header_; }
  TElHeaderSections& HeaderSections() const { return header_->Sections(); }
  THeadlessTreeHeader* HeadlessHeader() const {
    return header_ == headlessHeader_.get() ? headlessHeader_.get() : nullptr;
  }
  void SetTimerFactory(TElTreeTimerFactory Factory);
  IElTreeTimer* ChangeTimer() const { return changeTimer_.get(); }
  TElTreeView& View() const { return *view_; }
  // What the tree's events give as Sender: the tree itself, or the control
  // the tree is shown in (the window sets itself), so that handlers reach
  // the grid the program created and its parents.
  TObject* EventSender() const { return eventSender_ ? eventSender_ : const_cast<TCustomElTree*>(this); }
  void SetEventSender(TObject* Sender) { eventSender_ = Sender; }

  // ---- items ----
  TElTreeItems& Items() const { return *items_; }
  const TElList& AllItems() const { return allItems_; }
  TElList* SelectedItems() const { return selectedItems_.get(); }
  virtual TElTreeItem* GetRootItem() const { return items_->Root(); }
  int HiddenCount() const { return hiddenCount_; }

  // ---- update bracket ----
  void BeginUpdate() { UpdateBracket(true); }
  void EndUpdate() { UpdateBracket(false); }
  bool IsUpdating() const { return updateCount_ > 0; }
  int UpdateCount() const { return updateCount_; }
  bool InUpdateEnd() const { return inUpdateEnd_; }
  bool UpdatePending() const { return updatePending_; }
  bool SortPending() const { return sortPending_; }
  bool ColumnsAutoSizePending() const { return columnsAutoSizePending_; }
  bool SelectionChanged() const { return selectionChanged_; }
  void SetSelectionChanged(bool v) { selectionChanged_ = v; }
  int InSortCount() const { return inSortCount_; }
  int ClearingCount() const { return clearingCount_; }
  bool IsDestroying() const { return HasState(csDestroying); }
  bool IsLoading() const { return HasState(csLoading) || HasState(csReading); }

  // The marks the end of the bracket works off.
  void MarkUpdate() { updatePending_ = true; }
  void MarkRows() { rowsDirty_ = true; }
  void MarkCount() { countDirty_ = true; }
  void MarkRepaint() { repaintPending_ = true; }
  void MarkFullRepaint() { fullRepaintPending_ = true; }
  void MarkSort() { sortPending_ = true; }
  void MarkColumnsAutoSize() { columnsAutoSizePending_ = true; }
  void MarkTreePartWidthUnknown() { treePartWidth_ = -1; }
  bool RowsDirty() const { return rowsDirty_; }
  bool CountDirty() const { return countDirty_; }
  bool RepaintPending() const { return repaintPending_; }
  bool FullRepaintPending() const { return fullRepaintPending_; }
  int TreePartWidth() const { return treePartWidth_; }

  // ---- focus and selection ----
  bool ChangeFocus(TElTreeItem* Item, bool Force, bool Delayed);
  bool SetFocusedEx(TElTreeItem* Item, bool Force) { return ChangeFocus(Item, Force, false); }
  void SetItemFocused(TElTreeItem* Item) { SetFocusedEx(Item, false); }
  TElTreeItem* ItemFocused() const { return focused_; }
  TElTreeItem* AnchorItem() const { return anchor_; }
  void SetAnchorItem(TElTreeItem* Item);
  TElTreeItem* HotTrackItem() const { return hotTrack_; }
  void SetHotTrackItem(TElTreeItem* Item) { hotTrack_ = Item; }
  TElTreeItem* DropTarget() const { return dropTarget_; }
  void SetDropTarget(TElTreeItem* Item) { dropTarget_ = Item; }
  int GetSelectedCount() const;
  TElTreeItem* GetNextSelected(TElTreeItem* Prev) const;
  void AllSelected(TElList& List) const;
  void SelectAll();
  void SelectAllItems(bool IncludeHidden);
  void InvertSelection();
  void InvertAllItems(bool IncludeHidden);
  void DeselectAll();
  void DeselectAllItems(bool IncludeHidden);
  void SelectRange(TElTreeItem* From, TElTreeItem* To) { SelectRangeWith(From, To, true, true); }
  void SelectRangeWith(TElTreeItem* From, TElTreeItem* To, bool IncludeCollapsed,
                       bool SelectDisabled);
  void SelectVisibleRange(TElTreeItem* From, TElTreeItem* To, bool IncludeHidden) {
    SelectVisibleRangeWith(From, To, true, true, IncludeHidden);
  }
  void SelectVisibleRangeWith(TElTreeItem* From, TElTreeItem* To, bool IncludeCollapsed,
                              bool SelectDisabled, bool IncludeHidden);
  // Moves focus, anchor, hot-tracked item and drop target off rows that
  // cannot be shown.
  void MoveOffHidden();

  // ---- position and visibility ----
  void MakeVisible(TElTreeItem* Item);
  void MakeVisibleAtBottom(TElTreeItem* Item);
  void ScrollToItem(TElTreeItem* Item);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int Index);
  int LastIndex() const { return lastIndex_; }
  int LeftPosition() const { return leftPosition_; }
  void SetLeftPosition(int Value);
  TElTreeItem* GetFirstOnScreen() const;
  bool IsOnScreen(TElTreeItem* Item) const;
  void GetItemRect(int Row, TElRect& R) const;
  TElTreeItem* GetItemAtY(int Y) const;
  virtual TElTreeItem* GetItemAt(int X, int Y, TElHitPart& ItemPart, int& HitColumn) const;
  void CollapseAll();
  void ExpandAll();
  void WriteItemLines(TStream& Stream) const;
  int CountVisibleRows();
  // Every row is a top-level one and none is filtered out: the n-th shown
  // row is then the n-th item, and no walk is needed to find it.
  bool RowsAreFlat() const;
  int VisibleRowCount() const { return visibleRowCount_; }
  virtual void UpdateScrollBars();
  bool HorzBarVisible() const { return horzBarVisible_; }
  bool VertBarVisible() const { return vertBarVisible_; }
  // The window's scroll messages (codes 0 to 8).
  void HandleVScroll(int ScrollCode, int Position);
  void HandleHScroll(int ScrollCode, int Position);
  // The hint beside the vertical bar's thumb while it is dragged.
  TElFString VertScrollHint(int TrackPosition);

  // ---- columns ----
  void AutoSizeColumn(int SectionIndex);
  void AutoSizeAllColumns();
  int GetColumnWidth(int SectionIndex, bool VisibleOnly);
  void MeasureItemPart(TElTreeItem* Item, int SectionIndex, int& Width, int& Height);
  int GetDefaultLineHeight() const;
  // The cell text of Item for header section SectionIndex (main text for -1
  // and MainTreeColumn); empty when the column text does not exist.
  TElFString CellText(TElTreeItem* Item, int SectionIndex) const;
  // The same text without a copy where the item holds it; else the text is
  // made in Scratch.
  const TElFString& CellTextRef(TElTreeItem* Item, int SectionIndex, TElFString& Scratch) const;

  // ---- sorting ----
  virtual void Sort(bool Recursive);
  virtual int CompareItems(TElTreeItem* Item1, TElTreeItem* Item2, TElSSortMode SectionSortMode,
                           TSortTypes SortType, int SortSection);
  virtual void DoCompareItems(TElTreeItem* Item1, TElTreeItem* Item2, int& Res);
  virtual void DoSortBegin();
  virtual void DoSortEnd();
  // While OnCompareItems runs within Sort: where Item1 and Item2 stood in
  // AllItems when the sort began, -1 where that is not known (and outside a
  // sort). A handler that made a key per row at OnSortBegin finds the two
  // keys by these positions, without reading the rows themselves, which lie
  // scattered in memory: a sort of 100,000 rows compares 1.7 million pairs.
  void ComparedPositions(int& Pos1, int& Pos2) const {
    Pos1 = comparedPos_[0];
    Pos2 = comparedPos_[1];
  }
  void AddSortSection(int SectionIndex, bool Resort);
  void RemoveSortSection(int SectionIndex, bool Resort);
  static TSortTypes FieldTypeToSortType(TElFieldType FieldType);
  // The further sort sections still present in the header.
  std::vector<TElHeaderSection*> SortSections() const;

  // ---- header relays (the header control calls these) ----
  void HeaderSectionClick(TElHeaderSection* Section, bool CtrlHeld);
  void HeaderSectionDeleted(TElHeaderSection* Section);
  // The header's sections were cleared or reloaded: forget every reference.
  void HeaderSectionsReset();
  void HeaderSectionResize(TElHeaderSection* Section);
  void HeaderSectionAutoSize(TElHeaderSection* Section);

  // ---- change delay ----
  void StartChangeDelay(TElTreeItem* Item);
  void StopChangeDelay();
  TElTreeItem* DelayedFocusItem() const { return delayedFocusItem_; }

  // ---- properties ----
  bool ShowColumns() const { return showColumns_; }
  void SetShowColumns(bool v);
  int MainTreeColumn() const { return mainTreeColumn_; }
  void SetMainTreeColumn(int v);
  bool FilteredVisibility() const { return filteredVisibility_; }
  void SetFilteredVisibility(bool v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  int MultiSelectLevel() const { return multiSelectLevel_; }
  void SetMultiSelectLevel(int v);
  int LineHeight() const { return lineHeight_; }
  void SetLineHeight(int v);
  bool AutoLineHeight() const { return autoLineHeight_; }
  void SetAutoLineHeight(bool v);
  int ItemIndent() const { return itemIndent_; }
  void SetItemIndent(int v);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  bool ShowImages() const { return showImages_; }
  void SetShowImages(bool v);
  bool ShowCheckboxes() const { return showCheckboxes_; }
  void SetShowCheckboxes(bool v);
  bool HorizontalLines() const { return horizontalLines_; }
  void SetHorizontalLines(bool v);
  bool VerticalLines() const { return verticalLines_; }
  void SetVerticalLines(bool v);
  bool BarStyle() const { return barStyle_; }
  void SetBarStyle(bool v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool FullRowSelect() const { return fullRowSelect_; }
  void SetFullRowSelect(bool v) { fullRowSelect_ = v; }
  int FontHeight() const { return fontHeight_; }
  void SetFontHeight(int v);
  const TElImageMetrics& Images() const { return images_; }
  void SetImages(const TElImageMetrics& v);
  const TElImageMetrics& Images2() const { return images2_; }
  void SetImages2(const TElImageMetrics& v);
  TSortModes SortMode() const { return sortMode_; }
  void SetSortMode(TSortModes v) { sortMode_ = v; }
  int SortSection() const { return sortSection_; }
  void SetSortSection(int v);
  TElTreeVirtualityLevel VirtualityLevel() const { return virtualityLevel_; }
  void SetVirtualityLevel(TElTreeVirtualityLevel v);
  bool SortUseCase() const { return sortUseCase_; }
  void SetSortUseCase(bool v) { sortUseCase_ = v; }
  // These change the layout of every row: the rows are measured again.
  bool ShowRootButtons() const { return showRootButtons_; }
  void SetShowRootButtons(bool v);
  bool ShowLeafButton() const { return showLeafButton_; }
  void SetShowLeafButton(bool v);
  int CheckBoxSize() const { return checkBoxSize_; }
  void SetCheckBoxSize(int v);
  // The tree part drawn from the right: the header's order is mirrored and,
  // without columns, the view scrolls to the right end.
  bool RightAlignedTree() const { return rightAlignedTree_; }
  void SetRightAlignedTree(bool v);
  // A bar that is never shown (the pieces are placed again).
  bool HideHorzScrollBar() const { return hideHorzScrollBar_; }
  void SetHideHorzScrollBar(bool v);
  bool HideVertScrollBar() const { return hideVertScrollBar_; }
  void SetHideVertScrollBar(bool v);
  // A state image follows the check box; only the layout changes.
  bool ChangeStateImage() const { return changeStateImage_; }
  void SetChangeStateImage(bool v);
  // What a double click does; any mode but expanding turns ExpandOnDblClick
  // off, and ExpandOnDblClick on means expanding.
  TElDblClickMode DblClickMode() const { return dblClickMode_; }
  void SetDblClickMode(TElDblClickMode v);
  bool ExpandOnDblClick() const { return expandOnDblClick_; }
  void SetExpandOnDblClick(bool v);
  // The column whose cells show the selection when rows are not selected
  // whole: -1 (none) to the section count - 1; other values are ignored
  // (any value while the tree is read).
  int SelectColumn() const { return selectColumn_; }
  void SetSelectColumn(int v);
  TElForcedScrollBars ForcedScrollBars() const { return forcedScrollBars_; }
  void SetForcedScrollBars(TElForcedScrollBars v);
  // Between the texts of an item path (the items' path functions).
  TElFString PathSeparator = L"\\";

  // Plain settings (stored only, read where they matter).
  bool KeepSelectionWithinLevel = false;
  bool AutoExpand = false;
  bool AutoCollapse = false;
  bool MoveFocusOnCollapse = false;
  bool DeselectChildrenOnCollapse = false;
  bool IgnoreEnabled = false;
  bool ShowEmptyImages = false;
  bool ShowEmptyImages2 = false;
  bool CustomCheckboxes = false;
  int CheckBoxGlyphWidth = 0;   // strip width of the custom check-box glyph
  int RadioButtonGlyphWidth = 0;
  bool RightAlignedText = false;
  bool ScrollTracking = false;
  bool AutoResizeColumns = true;
  bool OwnerDrawByColumn = true;
  TElFString OwnerDrawMask = L"~~@~~";
  bool StickyHeaderSections = false;
  // A header lookup focuses the first item whose cell starts with the text.
  bool AutoLookup = false;
  // A press on the header accepts a running edit instead of cancelling it.
  bool ExplorerEditMode = false;
  bool UseCustomScrollBars = true;
  int ChangeDelay = 500;
  TSortTypes SortType = stText;
  TSortDirs SortDir = sdAscend;
  bool DoInplaceEdit = true;
  bool Tracking = true;
  bool AlwaysKeepSelection = true;
  bool RightClickSelect = true;
  int Width = 200;
  int Height = 100;

  // Mouse, keys, drag and hints (the view's input handling reads these).
  TSTISelectionMode SelectionMode = smUsual;
  bool AlwaysKeepFocus = false;
  bool DragAllowed = false;
  TElDragType DragType = dtDelphi;
  TDragImgMode DragImageMode = dimNever;
  int DragScrollInterval = 100;
  bool ExpandOnDragOver = false;
  int DragExpandDelay = 500;
  bool MouseFrameSelect = true;
  bool MouseFrameVisible = true;
  bool RowHotTrack = false;
  THintModes LineHintMode = shmLong;
  TLineHintType LineHintType = lhtSmart;
  TElHintType HintType = shtHintOrText;
  int LineHintTimeout = 3000;
  bool HideHintOnTimer = false;
  bool HideHintOnMove = true;
  int32_t LineHintColor = static_cast<int32_t>(0x80000005);  // the window colour
  bool UseSystemHintColors = false;
  bool ShowHint = false;
  TElFString Hint;

  // ---- events ----
  TElTreeChangingEvent OnChanging;
  TNotifyEvent OnItemFocused;
  TOnItemChangeEvent OnItemChange;
  TOnItemExpanding OnItemExpanding;
  TOnItemExpanding OnItemCollapsing;
  TOnItemExpandEvent OnItemExpand;
  TOnItemExpandEvent OnItemCollapse;
  TOnItemCheckedEvent OnItemChecked;
  TOnItemExpandEvent OnItemDeletion;
  TItemSelChangeEvent OnItemSelectedChange;
  // Fires once when the outermost update bracket closes after
  // OnItemSelectedChange fired inside it (select all, a range, a deselection:
  // one event per row). A handler whose follow-up work repaints at once
  // leaves that work to this event, and so does it once for the whole change.
  TNotifyEvent OnItemSelectedChangesEnd;
  TNotifyEvent OnAfterSelectionChange;
  TOnCompareItems OnCompareItems;
  TNotifyEvent OnSortBegin;
  TNotifyEvent OnSortEnd;
  TElColumnNotifyEvent OnHeaderColumnClick;
  TElColumnNotifyEvent OnHeaderColumnResize;
  TElColumnNotifyEvent OnHeaderSectionAutoSize;
  TElTreeScrollEvent OnScroll;
  TVirtualTextNeededEvent OnVirtualTextNeeded;
  TVirtualHintNeededEvent OnVirtualHintNeeded;
  // The typed value of a virtual cell, which sorting asks for in place of
  // the cell's text; Value starts empty.
  TVirtualValueNeededEvent OnVirtualValueNeeded;
  TMeasureItemPartEvent OnMeasureItemPart;
  TElPicNeededEvent OnItemPicDraw;
  TElPicNeededEvent OnItemPicDraw2;
  std::function<void(TObject* Sender, int TrackPosition, TElFString& Hint)> OnVertScrollHintNeeded;
  THotTrackEvent OnHotTrack;
  TOnShowHintEvent OnShowLineHint;
  TDragTargetChangeEvent OnDragTargetChange;

  // ---- event triggers ----
  virtual void DoChanging(TElTreeItem* Item, bool& AllowChange);
  virtual void DoItemFocused();
  virtual void DoItemChange(TElTreeItem* Item, TItemChangeMode Mode);
  virtual void DoItemExpanding(TElTreeItem* Item, bool& CanProcess);
  virtual void DoItemCollapsing(TElTreeItem* Item, bool& CanProcess);
  virtual void DoItemExpand(TElTreeItem* Item);
  virtual void DoItemCollapse(TElTreeItem* Item);
  virtual void DoItemChecked(TElTreeItem* Item);
  virtual void DoItemDeletion(TElTreeItem* Item);
  virtual void DoItemSelectedChange(TElTreeItem* Item);
  virtual void DoAfterSelectionChange();
  virtual void DoScroll(TElScrollBarKind Kind, int Code);
  TElFString VirtualText(TElTreeItem* Item, int SectionIndex) const;
  virtual void DoVirtualValueNeeded(TElTreeItem* Item, int SectionIndex, int VarType, TVariant& Value);

  // ---- item stream, cell styles, in-place editing, incremental search ----
  TItemSaveEvent OnItemSave;
  TItemSaveEvent OnItemLoad;
  TCellStyleSaveEvent OnCellStyleSave;
  TCellStyleSaveEvent OnCellStyleLoad;
  TVirtualStyleNeededEvent OnVirtualStyleNeeded;
  TTryEditEvent OnTryEdit;
  TOnEndEditEvent OnEndEditItem;
  TInplaceEditorNeededEvent OnInplaceEditorNeeded;
  // The tree's font as new cell styles take it (the size in points follows
  // FontHeight).
  std::string FontName = "MS Sans Serif";
  uint8_t FontStyles = 0;
  int FontSize() const;
  TElFieldType MainTextType = sftText;
  bool QuickEditMode = false;
  int InplaceEditorDelay = 500;
  bool IncrementalSearch = false;
  int IncrementalSearchTimeout = 500;
  // The shared style of a virtual tree, filled by OnVirtualStyleNeeded
  // before each use; null in a tree that is not virtual.
  TElCellStyle* VirtualStyle(TElTreeItem* Item, int SectionIndex);
  TElTreeInplaceManager* InplaceManager();
  // Starts an in-place edit of the cell; false when nothing was started.
  bool EditItem(TElTreeItem* Item, int SectionIndex);
  // Completes the running edit (accepted unless Cancel).
  void EndEditItem(bool Cancel);
  // An item is being deleted: an edit of it is cancelled.
  void ForgetEditedItem(TElTreeItem* Item);
  // Starts an edit of the cell after InplaceEditorDelay (1 ms when
  // Immediate). With columns only for the section under the last click (or
  // with QuickEditMode) when it is editable; never while designing.
  void ScheduleEdit(TElTreeItem* Item, int SectionIndex, bool Immediate);
  // The section of the last click, kept by the mouse handling.
  int EditClickSection = -1;
  IElTreeTimer* EditTimer() const { return editTimer_.get(); }
  TElTreeItem* PendingEditItem() const { return pendingEditItem_; }
  // The running edit's editor is showing.
  bool IsEditing() const;
  TElTreeSearch& Search();
  virtual void DoTryEdit(TElTreeItem* Item, int SectionIndex, TElFieldType& CellType,
                         bool& CanEdit);
  virtual void DoEndEditItem(TElTreeItem* Item, TElHeaderSection* Section, bool Canceled);
  virtual void DoInplaceEditorNeeded(TElTreeItem* Item, int SectionIndex,
                                     TElFieldType SupposedFieldType,
                                     TElTreeInplaceEditor*& Editor);

 protected:
  std::string ClassName() const override { return "TCustomElTree"; }
  virtual TElTreeItems* CreateItems();

 private:
  // Both image slots change the same way.
  void SetImageMetrics(TElImageMetrics& Slot, const TElImageMetrics& v);
  friend class TElTreeItem;
  friend class TElTreeItems;
  friend class TElTreeView;
  friend class TElTreeInput;
  friend class TElTreeSorter;
  friend class TElTreeInplaceEditor;

  // The editor of the running edit reports its end.
  void EditorCompleted(TElTreeInplaceEditor* Editor, bool Accepted);

  void UpdateBracket(bool Begin);
  void EndOfBracketWork();
  void RecalcHorzBar(bool& VisibilityChanged);
  void RecalcVertBar(bool& VisibilityChanged);
  void ReMeasureMainColumn();
  void ComputeTreePartWidth();
  int CellTextWidth(TElTreeItem* Item, int SectionIndex, TElHeaderSection* Section, int& Height,
                    bool& Measured);
  void MeasureCell(TElTreeItem* Item, int SectionIndex, TElHeaderSection* Section, int& Width,
                   int& Height);
  // Flat-list position of Item, searching from where it was last seen.
  int FlatIndexOf(const TElTreeItem* Item) const;
  bool SkipsSubtree(TElTreeItem* Item) const;
  void ClearSelectedBit(TElTreeItem* Item);
  void SortLevel(TElTreeItem* Parent, bool Recursive);
  void PruneSortSections();
  TElTreeItem* NearestShown(int From) const;
  void FocusFromSelection(TElTreeItem* Item);

  // The seams.
  std::unique_ptr<THeadlessTreeView> headlessView_;
  IElTreeViewPort* port_;
  std::unique_ptr<IElTextMeasurer> ownMeasurer_;
  IElTextMeasurer* measurer_;
  std::unique_ptr<THeadlessTreeHeader> headlessHeader_;
  IElTreeHeader* header_;
  TObject* eventSender_ = nullptr;
  TElTreeTimerFactory timerFactory_;
  std::unique_ptr<IElTreeTimer> changeTimer_;
  std::unique_ptr<TElTreeView> view_;

  TElList allItems_;
  std::unique_ptr<TElList> selectedItems_;
  std::unique_ptr<TElTreeItems> items_;
  std::vector<TElHeaderSection*> sortSections_;

  int updateCount_ = 0;
  bool inUpdateEnd_ = false;
  bool updatePending_ = false;
  bool sortPending_ = false;
  bool columnsAutoSizePending_ = false;
  bool selectionChanged_ = false;
  bool selectedChangesInBracket_ = false;
  int inSortCount_ = 0;
  int comparedPos_[2] = {-1, -1};
  int clearingCount_ = 0;
  int hiddenCount_ = 0;
  int visibleRowCount_ = 0;
  int topIndex_ = 0;
  int lastIndex_ = 0;
  int leftPosition_ = 0;
  bool horzBarVisible_ = false;
  bool vertBarVisible_ = false;
  bool frameRefreshed_ = false;
  bool scrollBarsUpdating_ = false;
  bool autoSizing_ = false;
  TElTreeItem* delayedFocusItem_ = nullptr;
  // While children are being deleted: the items to free at the end.
  std::vector<TElTreeItem*>* graveyard_ = nullptr;

  // What the view shows, kept here so that it works without a window.
  TElTreeItem* focused_ = nullptr;
  TElTreeItem* anchor_ = nullptr;
  TElTreeItem* hotTrack_ = nullptr;
  TElTreeItem* dropTarget_ = nullptr;
  int treePartWidth_ = -1;
  bool rowsDirty_ = false;
  bool fullRepaintPending_ = false;
  bool countDirty_ = false;
  bool repaintPending_ = false;

  bool showColumns_ = false;
  int mainTreeColumn_ = 0;
  bool filteredVisibility_ = false;
  bool multiSelect_ = true;
  int multiSelectLevel_ = -1;
  int lineHeight_ = 17;
  bool autoLineHeight_ = true;
  int itemIndent_ = 17;
  bool showRoot_ = false;
  bool showLines_ = true;
  bool showButtons_ = true;
  bool showImages_ = true;
  bool showCheckboxes_ = false;
  bool horizontalLines_ = false;
  bool verticalLines_ = false;
  bool barStyle_ = false;
  bool rowSelect_ = true;
  bool fullRowSelect_ = true;
  int fontHeight_ = -11;
  TElImageMetrics images_, images2_;
  TSortModes sortMode_ = smNone;
  int sortSection_ = -1;
  bool sortUseCase_ = true;
  TElTreeVirtualityLevel virtualityLevel_ = vlNone;
  bool showRootButtons_ = true;
  bool showLeafButton_ = false;
  int checkBoxSize_ = 15;
  bool rightAlignedTree_ = false;
  bool hideHorzScrollBar_ = false;
  bool hideVertScrollBar_ = false;
  bool changeStateImage_ = false;
  TElDblClickMode dblClickMode_ = dcmExpand;
  bool expandOnDblClick_ = true;
  int selectColumn_ = -1;
  TElForcedScrollBars forcedScrollBars_ = TElForcedScrollBars::ssNone;

  // Made on first use; the manager is an owned component.
  TElTreeInplaceManager* inplaceManager_ = nullptr;
  std::unique_ptr<TElCellStyle> virtualStyle_;
  std::unique_ptr<TElTreeSearch> search_;
  std::unique_ptr<IElTreeTimer> editTimer_;
  TElTreeItem* pendingEditItem_ = nullptr;
  int pendingEditSection_ = -1;
};

// The published form of the control: the same class.
class TElTree : public TCustomElTree {
 public:
  using TCustomElTree::TCustomElTree;

 protected:
  std::string ClassName() const override { return "TElTree"; }
};

}  // namespace morvane
