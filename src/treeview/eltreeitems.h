// TElTreeItems: the item collection of a tree. It owns the invisible root,
// creates, inserts and deletes items, indexes the flat list, walks the tree
// and converts it to and from row text: one line per item, as many leading
// TABs as the item's depth, then the cells separated by TABs.
#pragma once

#include <functional>
#include <memory>

#include "platform/core/classes.h"
#include "treeview/eltreeitem.h"

namespace morvane {

using TElTreeItemClass = std::function<TElTreeItem*(TCustomElTree* Tree)>;

class TElTreeItems : public TPersistent {
 public:
  explicit TElTreeItems(TCustomElTree* AOwner);
  TElTreeItems(TCustomElTree* AOwner, TElTreeItemClass ItemClass);
  ~TElTreeItems() override;
  TElTreeItems(const TElTreeItems&) = delete;
  TElTreeItems& operator=(const TElTreeItems&) = delete;

  TCustomElTree* Owner() const { return owner_; }
  TElTreeItem* Root() const { return root_; }

  virtual TElTreeItem* CreateItem(TCustomElTree* Tree);
  int Count() const;
  TElTreeItem* Item(int Index) const;
  TElTreeItem* operator[](int Index) const { return Item(Index); }
  TElTreeItem* VisItem(int Index) const;
  int VisibleIndexOf(TElTreeItem* Item) const;
  int AbsoluteIndexOf(TElTreeItem* Item) const;

  TElTreeItem* InsertChildAt(TElTreeItem* Parent, int Index);
  TElTreeItem* AddLastChild(TElTreeItem* Parent);

  virtual TElTreeItem* AddItem(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* AddChild(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* AddChildFirst(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* AddChildWithData(TElTreeItem* Item, const TElFString& Text, void* Data);
  virtual TElTreeItem* AddChildFirstWithData(TElTreeItem* Item, const TElFString& Text,
                                             void* Data);
  virtual TElTreeItem* AddItemFirst(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* AddItemWithData(TElTreeItem* Item, const TElFString& Text, void* Data);
  virtual TElTreeItem* AddItemFirstWithData(TElTreeItem* Item, const TElFString& Text,
                                            void* Data);
  virtual TElTreeItem* InsertItem(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* InsertItemWithData(TElTreeItem* Item, const TElFString& Text, void* Data);
  virtual TElTreeItem* InsertItemAfter(TElTreeItem* Item, const TElFString& Text);
  virtual TElTreeItem* InsertItemAfterWithData(TElTreeItem* Item, const TElFString& Text,
                                               void* Data);
  virtual void DeleteItem(TElTreeItem* Item);
  void Clear();
  virtual void BeginUpdate();
  virtual void EndUpdate();

  void Assign(TPersistent* Source) override;
  void LoadFromStrings(const TStrings& Strings);
  void LoadFromWideStrings(const TElWideStrings& Strings);
  void SaveToStrings(TStrings& Strings) const;
  // The item stream: the root's record, which holds the whole tree.
  virtual void SaveToStream(TStream& Stream);
  virtual void LoadFromStream(TStream& Stream);
  // Whether the tree's form stores the "Data" property: when it has items.
  bool StoresData() const;

  void Iterate(bool VisibleOnly, bool IncludeCollapsed, const TElIterateProc& Callback,
               void* Data);
  void IterateFrom(bool VisibleOnly, bool IncludeCollapsed, const TElIterateProc& Callback,
                   void* Data, TElTreeItem* StartFrom);
  void IterateBackward(bool VisibleOnly, bool IncludeCollapsed, const TElIterateProc& Callback,
                       void* Data);
  void IterateBackwardFrom(bool VisibleOnly, bool IncludeCollapsed,
                           const TElIterateProc& Callback, void* Data, TElTreeItem* StartFrom);
  // The first item from StartItem on (inside StartItem's subtree when given,
  // StartItem itself only with CheckStartItem) for which Compare says True.
  TElTreeItem* LookForItem(TElTreeItem* StartItem, int SectionIndex,
                           const TElLookupCompareProc& Compare, void* SearchDetails,
                           bool CheckStartItem, bool VisibleOnly, bool CheckCollapsed);

 protected:
  std::string ClassName() const override { return "TElTreeItems"; }

 private:
  // One row line (already wide) into one new item.
  void LoadLine(std::wstring_view Line, int LineIndex);
  void SetCells(TElTreeItem* Item, std::wstring_view Cells);
  // Whether the walk may go into/through Item.
  bool WalkSkips(TElTreeItem* Item, bool VisibleOnly) const;
  int CountWalked(bool VisibleOnly, bool IncludeCollapsed) const;

  TCustomElTree* owner_;
  TElTreeItemClass itemClass_;
  TElTreeItem* root_ = nullptr;
  std::wstring cellBuffer_;
};

}  // namespace morvane
