// The list view in report style with owner data: the control asks for the
// rows it shows (OnData) and says which it is about to show (OnDataHint);
// the program keeps the rows.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/ui/controls.h"

namespace morvane {

class TListView;

// A row as OnData fills it. A pointer from Items()->Item(i) stays valid
// until the item count changes.
class TListItem {
 public:
  TListItem(TListView* owner, int index) : owner_(owner), index_(index) {}
  int Index() const { return index_; }
  std::string Caption;
  TStringList SubItems;
  int ImageIndex = -1;
  void* Data = nullptr;
  bool Selected() const;
  void SetSelected(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  void MakeVisible(bool PartialOK);
  TListView* Owner() const { return owner_; }

 private:
  TListView* owner_;
  int index_;
};

class TListColumn {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  int Width() const;
  void SetWidth(int v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  int Index() const { return index_; }

 private:
  friend class TListView;
  TListView* owner_ = nullptr;
  int index_ = 0;
  std::string caption_;
  int width_ = 50;
  bool autoSize_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TListItems {
 public:
  explicit TListItems(TListView* owner) : owner_(owner) {}
  int Count() const { return count_; }
  void SetCount(int v);
  // The row, filled through OnData.
  TListItem* Item(int Index);
  void Clear() { SetCount(0); }
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListView;
  TListView* owner_;
  int count_ = 0;
  int update_ = 0;
  std::map<int, std::unique_ptr<TListItem>> cache_;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum TItemState : uint8_t { isNone = 0, isCut = 1, isDropHilited = 2, isFocused = 4, isSelected = 8 };
using TItemStates = uint8_t;

using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataHintEvent = std::function<void(TObject* Sender, int StartIndex, int EndIndex)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* AOwner);
  ~TListView() override;

  TListItems* Items() { return &items_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TListColumn* Columns(int i) const { return columns_.at(static_cast<size_t>(i)).get(); }
  TListColumn* AddColumn();
  void ClearColumns();

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v);

  // The first selected row, or null.
  TListItem* Selected();
  void SetSelected(TListItem* Item);
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* Item);
  int SelCount();
  void SelectAll();
  void ClearSelection();
  // The next row after Start (null: from the top) with all of States.
  TListItem* GetNextItem(TListItem* StartItem, TSearchDirection Direction, TItemStates States);
  TListItem* TopItem();
  int VisibleRowCount();

  bool IsSelected(int Index);
  void SetItemSelected(int Index, bool v);
  bool IsFocused(int Index);
  void SetItemFocusedIndex(int Index, bool v);
  void MakeVisible(int Index, bool PartialOK);

  TLVOwnerDataEvent OnData;
  TLVOwnerDataHintEvent OnDataHint;
  TLVColumnClickEvent OnColumnClick;
  TLVSelectItemEvent OnSelectItem;
  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  std::string ClassName() const override { return "TListView"; }

 private:
  friend class TListColumn;
  friend class TListItems;
  void Fetch(TListItem* item);
  void RebuildColumns();
  void UpdateExStyle();
  std::vector<std::unique_ptr<TListColumn>> columns_;
  TListItems items_;
  TViewStyle viewStyle_ = TViewStyle::vsReport;
  bool ownerData_ = true, readOnly_ = true, multiSelect_ = false, rowSelect_ = false, hideSelection_ = true,
       gridLines_ = false;
  std::set<int> selected_;   // while there is no window
  int focused_ = -1;
  std::unique_ptr<TListItem> dispItem_;
  std::string dispText_;
};

}  // namespace morvane
