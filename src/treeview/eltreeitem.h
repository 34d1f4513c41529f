// TElTreeItem: one row of the tree-list control. It holds the row's texts,
// state set and flags, its place in the hierarchy and in the owner tree's
// flat pre-order list of all items, which every change here keeps in step.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "controls/elunicodestrings.h"
#include "treeview/eltree_styles.h"
#include "treeview/eltreedefs.h"

namespace morvane {

class TElTreeView;
class TStream;

// Item flags.
enum TElTreeItemFlag : uint32_t {
  tifParentColors = 0x1,
  tifParentStyle = 0x2,
  tifSuppressLines = 0x4,
  tifImageDrawn = 0x8,
  tifImage2Drawn = 0x10,
  tifForceButtons = 0x20,
  tifStrikedOutLine = 0x40,
  tifDrawHLine = 0x80,
  tifKept100 = 0x100,
  tifAllowEdit = 0x200,
  tifUseBkColor = 0x400,
  tifDeleting = 0x800,
  tifUseStyles = 0x1000,
  tifHidden = 0x4000,
  tifEnabled = 0x8000,
  tifSuppressButtons = 0x10000,
  tifCheckBoxEnabled = 0x20000,
  tifShowCheckBox = 0x40000,
  tifPaintMarker = 0x80000,
  tifKept100000 = 0x100000,
  tifInSortPartition = 0x200000,
};
inline constexpr uint32_t kDefaultItemFlags = 0x128783;

// State numbers of GetState/SetState.
enum TElItemState : int {
  stsFocused = 1, stsSelected = 2, stsMarked = 3, stsUnderlined = 4, stsBold = 5,
  stsItalic = 6, stsExpanded = 7, stsStrikeOut = 8
};

struct TElTreeItemStaticData {
  TElFString Text;
  TElWideStringList ColumnTexts;
  TElFString Hint;
  // Cell styles: the main cell's is made on first use; the further cells'
  // in column order.
  std::unique_ptr<TElCellStyle> MainStyle;
  std::vector<std::unique_ptr<TElCellStyle>> Styles;
};

class TElTreeItem : public TPersistent {
 private:
  // Fields that whole-tree walks touch come first, so that one item costs
  // as few cache lines as possible.
  uint32_t flags_ = kDefaultItemFlags;
  uint16_t state_ = 0;
  uint8_t checkBoxState_ = 0;
  // Mirrors staticData_ != nullptr next to the flags: filters read both.
  bool hasStatic_ = false;
  uint32_t selectionFlags_ = 0;
  int32_t rowBkColor_ = 0;
  TCustomElTree* owner_;
  TElTreeItem* parent_ = nullptr;
  TElTreeItem* root_ = nullptr;
  std::unique_ptr<TElList> children_;
  // Where the item stood in the flat list and among its parent's children
  // when last seen: searches start there.
  mutable int flatHint_ = 0;
  mutable int childHint_ = 0;
  // The sort key of the running level sort (pointer-sized slot).
  union {
    intptr_t i;
    double d;
    int64_t c;
  } keyValue_{};
  int keyType_ = -1;
  int keyRefCount_ = 0;
  uint64_t serial_;
  // On the heap, and only for rows that keep their own texts: a virtual
  // row asks its texts from the tree's owner, and a grid of 100,000 of them
  // would otherwise carry some 20 MB of empty text storage.
  std::unique_ptr<TElTreeItemStaticData> staticData_;
  TElTreeItems* ownerItems_ = nullptr;
  void* data_ = nullptr;
  // The own key text of the running text sort, made only while a level
  // sorts by text: most rows never need one.
  std::unique_ptr<TElFString> keyText_;

 public:
  explicit TElTreeItem(TCustomElTree* AOwner);
  ~TElTreeItem() override;
  TElTreeItem(const TElTreeItem&) = delete;
  TElTreeItem& operator=(const TElTreeItem&) = delete;

  void Assign(TPersistent* Source) override;

  // ---- texts ----
  TElFString Text() const;
  virtual void SetText(const TElFString& Value);
  // Null without static data (virtual tree).
  TElWideStringList* ColumnTexts() const;
  virtual TElFString Hint() const;
  void SetHint(const TElFString& Value);
  void ColumnTextsChanged();

  // ---- plain fields (the small ones side by side: a grid holds 100,000
  // items) ----
  void* ObjectRef = nullptr;
  std::shared_ptr<void> InterfaceRef;
  int32_t UserTag = 0;
  uint8_t RowBorderStyle = 0;
  uint8_t CheckBoxType = 0;
  int8_t OverlayIndex = -1, OverlayIndex2 = -1;
  int32_t Color = 0;
  int32_t BkColor = 0;
  int32_t StrikeLineColor = 0;
  int32_t BorderSpaceColor;
  int ImageIndex = -1, StImageIndex = -1, ImageIndex2 = -1, StImageIndex2 = -1;
  int Indent = 0;
  // Kept by painting: the main text's rectangle in tree coordinates.
  TElRect TextRect;

  void* Data() const { return data_; }
  void SetData(void* v) { data_ = v; }
  int32_t RowBkColor() const { return rowBkColor_; }
  virtual void SetRowBkColor(int32_t Value);
  uint32_t Flags() const { return flags_; }
  bool Flag(uint32_t Mask) const { return (flags_ & Mask) != 0; }
  // For the flags without their own setter: stores and repaints the row.
  void SetFlag(uint32_t Mask, bool Value);
  // What painting found drawn (the image flags the hit test reads): stored
  // without a repaint, since a repaint asked from inside painting would
  // paint the row for ever.
  void SetDrawnFlag(uint32_t Mask, bool Value) { flags_ = Value ? (flags_ | Mask) : (flags_ & ~Mask); }
  uint16_t State() const { return state_; }
  uint32_t SelectionFlags() const { return selectionFlags_; }
  bool HasStaticData() const { return hasStatic_; }
  void CreateStaticData();
  void DisposeStaticData();

  // ---- hierarchy ----
  TCustomElTree* Owner() const { return owner_; }
  TElTreeItems* OwnerItems() const { return ownerItems_; }
  TElTreeItem* Root() const { return root_; }
  // Null for top-level items (and the root).
  TElTreeItem* Parent() const;
  TElTreeItem* RawParent() const { return parent_; }
  int Level() const;
  int ChildCount() const { return children_ ? children_->Count() : 0; }
  TElTreeItem* Child(int Index) const;
  int IndexOfChild(TElTreeItem* Child) const;
  int Index() const;
  TElTreeItem* FirstChild() const { return Child(0); }
  TElTreeItem* LastChild() const { return Child(ChildCount() - 1); }
  TElTreeItem* FirstVisibleChild() const;
  TElTreeItem* NextChild(TElTreeItem* Child) const;
  TElTreeItem* PrevChild(TElTreeItem* Child) const;
  TElTreeItem* NextSibling() const;
  TElTreeItem* PrevSibling() const;
  TElTreeItem* LastDescendant() const;
  TElTreeItem* TopLevelAncestor() const;
  bool IsUnder(TElTreeItem* Item) const;
  bool AllAncestorsExpanded() const;
  bool IsPathVisible() const;
  // Can be shown: every ancestor expanded and, under FilteredVisibility,
  // neither it nor an ancestor hidden.
  bool IsShown() const;
  bool HasVisibleChildren() const;
  int SubtreeRowsHeight() const;
  int VisIndex() const;
  int AbsIndex() const;
  virtual TElTreeItem* GetPrevInFlatList() const;
  virtual TElTreeItem* GetNextInFlatList() const;
  virtual int GetTreePartWidth() const;
  int RowHeight() const;

  // ---- state ----
  bool GetState(int N) const;
  void SetState(int N, bool Value);
  bool Focused() const { return GetState(stsFocused); }
  bool Selected() const { return (selectionFlags_ & 0x2) != 0; }
  void SetSelected(bool Value);
  bool Expanded() const { return (state_ & 0x80) != 0; }
  void SetExpanded(bool Value);
  void Expand(bool Recursive);
  void Collapse(bool Recursive);
  void ExpandAncestors(bool Value);
  void MakeVisible();
  uint8_t CheckBoxState() const { return checkBoxState_; }
  void SetCheckBoxState(uint8_t Value);
  bool Checked() const { return checkBoxState_ == 1; }
  void SetChecked(bool Value);
  bool Hidden() const { return Flag(tifHidden); }
  void SetHidden(bool Value);
  bool Enabled() const { return Flag(tifEnabled); }
  bool Deleting() const { return Flag(tifDeleting); }

  // ---- repainting ----
  void RedrawItem(bool OnlyIfShown);
  void RedrawItemPart(bool OnlyIfShown, int Left, int Right);
  void UpdateItem();

  // ---- children ----
  int AddChildLink(TElTreeItem* Child);
  void InsertChildLink(int Index, TElTreeItem* Child);
  void RemoveChildLink(TElTreeItem* Child);
  void DeleteChild(TElTreeItem* Child);
  void DeleteChildren();
  virtual void Delete();
  void MoveTo(TElTreeItem* NewParent);
  void MoveToIns(TElTreeItem* NewParent, int Index);
  virtual void MoveRelative(TElTreeItem* Item, int Mode);

  // ---- sorting ----
  void SortChildren(bool Recursive);
  // The creation number: unique per process, rising.
  uint64_t Serial() const { return serial_; }

  // ---- cell styles (null and 0 without static data) ----
  TElCellStyle* MainStyle();
  int StylesCount() const;
  TElCellStyle* Style(int Index) const;
  virtual TElCellStyle* AddStyle();
  virtual void RemoveStyle(TElCellStyle* Style);

  // ---- the item stream: this item's record and its children's ----
  virtual void WriteData(TStream& Stream);
  virtual void ReadData(TStream& Stream);

 protected:
  std::string ClassName() const override { return "TElTreeItem"; }

 private:
  friend class TCustomElTree;
  friend class TElTreeItems;
  friend class TElTreeView;
  friend class TElTreeInput;
  friend class TElTreeSorter;
  friend class TElTreeItemStreamer;

  void AssignStylesFrom(TElTreeItem* Source);
  // What a text change does, for texts that were set directly (loading).
  void MainTextChanged();
  void ColumnTextsLoaded();
  void AssignChildrenFrom(TElTreeItem* Source);
  void SetExpandedBit(bool v) {
    if (v)
      state_ |= 0x80;
    else
      state_ &= ~0x80;
  }
  void SetSelectedBits(bool v);
};

}  // namespace morvane
