// The in-place editor framework of the tree: TElTreeInplaceEditor is the base
// of editors that register with a tree for a set of field types and run one
// edit operation through three owner events; TElTreeInplaceManager is the
// per-tree registry that finds the editor for a field type and holds the
// editor of the edit that is running. Concrete editors supply IsShown and
// ShowEditor and report back with FireValidateResult and CompleteOperation.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/elheadersections.h"
#include "platform/core/components.h"
#include "treeview/eltreedefs.h"

namespace morvane {

class TElTreeInplaceEditor;
class TElTreeInplaceManager;

// A set of field types, one bit per type (types 0 to 15).
using TElFieldTypes = uint16_t;
constexpr TElFieldTypes FieldTypeBit(TElFieldType T) {
  return static_cast<TElFieldTypes>(static_cast<unsigned>(T) < 16 ? 1u << T : 0u);
}

using TInplaceOperationEvent = std::function<void(TObject* Sender, bool& DefaultConversion)>;
using TInplaceAfterOperationEvent =
    std::function<void(TObject* Sender, bool& Accepted, bool& DefaultConversion)>;
using TInplaceValidationEvent = std::function<void(TObject* Sender, bool& InputValid)>;

// The tree's editing events.
using TTryEditEvent = std::function<void(TObject* Sender, TElTreeItem* Item, int SectionIndex,
                                         TElFieldType& CellType, bool& CanEdit)>;
using TOnEndEditEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                           TElHeaderSection* Section, bool Canceled)>;
using TInplaceEditorNeededEvent =
    std::function<void(TObject* Sender, TElTreeItem* Item, int SectionIndex,
                       TElFieldType SupposedFieldType, TElTreeInplaceEditor*& Editor)>;

class TElTreeInplaceEditor : public TComponent {
 public:
  explicit TElTreeInplaceEditor(TComponent* AOwner);
  ~TElTreeInplaceEditor() override;

  TCustomElTree* Tree() const { return tree_; }
  void SetTree(TCustomElTree* Value);
  TElFieldTypes Types() const { return types_; }
  void SetTypes(TElFieldTypes Value) { types_ = Value; }
  bool Editing() const { return editing_; }

  TElFString DefaultValueAsText;
  // Set by the tree before the operation starts.
  TElTreeItem* Item = nullptr;
  TElFString ValueAsText;
  int SectionIndex = -1;
  TElFieldType FieldType = sftText;
  TElRect CellRect;

  TInplaceOperationEvent OnBeforeOperation;
  TInplaceAfterOperationEvent OnAfterOperation;
  TInplaceValidationEvent OnValidateResult;

  virtual bool IsShown() const = 0;
  virtual void BeforeStart() {}
  virtual void StartOperation();
  virtual void CompleteOperation(bool Accepted);
  virtual void FireBeforeOperation(bool& DefaultConversion);
  virtual void FireAfterOperation(bool& Accepted, bool& DefaultConversion);
  virtual void FireValidateResult(bool& InputValid);
  // Puts the editor over the cell and starts it.
  virtual void ShowEditor() = 0;
  virtual void ReturnFocus();

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  std::string ClassName() const override { return "TElTreeInplaceEditor"; }
  // Whether the tree's parent form had an active control when the operation
  // completed.
  bool HadActiveControl() const { return hadActiveControl_; }

 private:
  friend class TElTreeInplaceManager;
  // Leaves the tree without asking it anything (it is going away).
  void TreeGone();

  TCustomElTree* tree_ = nullptr;
  TElTreeInplaceManager* manager_ = nullptr;
  TElFieldTypes types_ = 0;
  bool editing_ = false;
  bool hadActiveControl_ = false;
};

class TElTreeInplaceManager : public TComponent {
 public:
  // Owned by the tree.
  explicit TElTreeInplaceManager(TCustomElTree* Tree);
  ~TElTreeInplaceManager() override;

  TCustomElTree* Tree() const { return tree_; }
  void AddEditor(TElTreeInplaceEditor* Editor);
  void RemoveEditor(TElTreeInplaceEditor* Editor);
  // The first editor, in registration order, whose Types hold FieldType.
  TElTreeInplaceEditor* FindEditor(TElFieldType FieldType) const;
  int EditorCount() const { return static_cast<int>(editors_.size()); }
  TElTreeInplaceEditor* Editor(int Index) const { return editors_[static_cast<size_t>(Index)]; }

  // The editor of the running edit (null when none).
  TElTreeInplaceEditor* ActiveEditor() const { return active_; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  std::string ClassName() const override { return "TElTreeInplaceManager"; }

 private:
  friend class TCustomElTree;
  friend class TElTreeInplaceEditor;
  TCustomElTree* tree_;
  std::vector<TElTreeInplaceEditor*> editors_;
  TElTreeInplaceEditor* active_ = nullptr;
};

}  // namespace morvane
