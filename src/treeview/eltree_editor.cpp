#include "treeview/eltree_editor.h"

#include <algorithm>

#include "treeview/eltree.h"
#include "treeview/eltree_input.h"

namespace morvane {

// ---- TElTreeInplaceEditor ----

TElTreeInplaceEditor::TElTreeInplaceEditor(TComponent* AOwner) : TComponent(AOwner) {}

TElTreeInplaceEditor::~TElTreeInplaceEditor() {
  // The concrete editor is already gone: a running edit is dropped, not
  // completed.
  if (manager_) {
    if (manager_->active_ == this) manager_->active_ = nullptr;
    manager_->RemoveEditor(this);
  }
  if (tree_) tree_->RemoveFreeNotification(this);
  tree_ = nullptr;
  manager_ = nullptr;
}

void TElTreeInplaceEditor::TreeGone() {
  editing_ = false;
  if (manager_) {
    if (manager_->active_ == this) manager_->active_ = nullptr;
    auto& v = manager_->editors_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    manager_->RemoveFreeNotification(this);
  }
  if (tree_) tree_->RemoveFreeNotification(this);
  manager_ = nullptr;
  tree_ = nullptr;
}

void TElTreeInplaceEditor::SetTree(TCustomElTree* Value) {
  if (Value == tree_) return;
  if (tree_ && editing_ && IsShown()) CompleteOperation(false);
  if (manager_) manager_->RemoveEditor(this);
  if (tree_) tree_->RemoveFreeNotification(this);
  manager_ = nullptr;
  tree_ = Value;
  if (tree_) {
    tree_->FreeNotification(this);
    manager_ = tree_->InplaceManager();
    manager_->AddEditor(this);
  }
}

void TElTreeInplaceEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove || !AComponent) return;
  if (tree_ && AComponent == tree_) {
    if (tree_->HasState(csDestroying))
      TreeGone();
    else
      SetTree(nullptr);
  } else if (manager_ && AComponent == manager_) {
    if (editing_ && tree_ && !tree_->HasState(csDestroying) && IsShown()) CompleteOperation(false);
    TreeGone();
  }
}

void TElTreeInplaceEditor::StartOperation() {
  BeforeStart();
  bool defaultConversion = true;
  FireBeforeOperation(defaultConversion);
  ShowEditor();
  editing_ = true;
}

void TElTreeInplaceEditor::FireBeforeOperation(bool& DefaultConversion) {
  DefaultConversion = true;
  if (OnBeforeOperation) OnBeforeOperation(this, DefaultConversion);
  if (DefaultConversion && ValueAsText.empty()) ValueAsText = DefaultValueAsText;
}

void TElTreeInplaceEditor::CompleteOperation(bool Accepted) {
  editing_ = false;
  bool accepted = Accepted;
  bool defaultConversion = true;
  FireAfterOperation(accepted, defaultConversion);
  hadActiveControl_ = tree_ && tree_->View().Input().Port().FormHasActiveControl();
  ReturnFocus();
  if (tree_) tree_->EditorCompleted(this, Accepted);
}

void TElTreeInplaceEditor::FireAfterOperation(bool& Accepted, bool& DefaultConversion) {
  DefaultConversion = true;
  if (OnAfterOperation) OnAfterOperation(this, Accepted, DefaultConversion);
}

void TElTreeInplaceEditor::FireValidateResult(bool& InputValid) {
  if (OnValidateResult) OnValidateResult(this, InputValid);
}

void TElTreeInplaceEditor::ReturnFocus() {
  // The editor's window had the focus: the view takes it back, unless the
  // form had none to give or the tree is going.
  if (!tree_ || tree_->IsDestroying() || !hadActiveControl_) return;
  IElTreeInputPort& port = tree_->View().Input().Port();
  try {
    if (port.CanTakeFocusBack()) port.SetFocus();
  } catch (const std::exception&) {
    // A focus that cannot move leaves the edit finished all the same.
  }
}

// ---- TElTreeInplaceManager ----

TElTreeInplaceManager::TElTreeInplaceManager(TCustomElTree* Tree)
    : TComponent(Tree), tree_(Tree) {}

TElTreeInplaceManager::~TElTreeInplaceManager() {
  active_ = nullptr;
  while (!editors_.empty()) editors_.back()->TreeGone();
}

void TElTreeInplaceManager::AddEditor(TElTreeInplaceEditor* Editor) {
  if (!Editor || std::find(editors_.begin(), editors_.end(), Editor) != editors_.end()) return;
  editors_.push_back(Editor);
  FreeNotification(Editor);
}

void TElTreeInplaceManager::RemoveEditor(TElTreeInplaceEditor* Editor) {
  auto it = std::find(editors_.begin(), editors_.end(), Editor);
  if (it == editors_.end()) return;
  editors_.erase(it);
  if (active_ == Editor) active_ = nullptr;
  if (!Editor->HasState(csDestroying)) RemoveFreeNotification(Editor);
}

TElTreeInplaceEditor* TElTreeInplaceManager::FindEditor(TElFieldType FieldType) const {
  if (static_cast<unsigned>(FieldType) > 15) return nullptr;
  for (TElTreeInplaceEditor* e : editors_)
    if (e->Types() & FieldTypeBit(FieldType)) return e;
  return nullptr;
}

void TElTreeInplaceManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  editors_.erase(std::remove(editors_.begin(), editors_.end(), AComponent), editors_.end());
  if (active_ == AComponent) active_ = nullptr;
}

// ---- the tree's side ----

TElTreeInplaceManager* TCustomElTree::InplaceManager() {
  if (!inplaceManager_) inplaceManager_ = new TElTreeInplaceManager(this);
  return inplaceManager_;
}

bool TCustomElTree::EditItem(TElTreeItem* Item, int SectionIndex) {
  if (!Item) RaiseTreeError(eltreeres::SItemNotSpecified);
  if (!IsOnScreen(Item)) MakeVisible(Item);
  if (inplaceManager_ && inplaceManager_->active_) EndEditItem(true);
  TElHeaderSections& sections = HeaderSections();
  if (!showColumns_) SectionIndex = -1;
  if (showColumns_ && SectionIndex < 0) SectionIndex = mainTreeColumn_;
  TElHeaderSection* section =
      showColumns_ && SectionIndex >= 0 ? sections.GetSection(SectionIndex) : nullptr;
  if (!DoInplaceEdit || !(Item->Enabled() || IgnoreEnabled) || !Item->Flag(tifAllowEdit))
    return false;
  if (section && !section->Editable()) return false;
  if (section && !section->Visible()) return false;

  const bool mainCell = SectionIndex < 0 || SectionIndex == mainTreeColumn_;
  TElFieldType type = MainTextType;
  if (Item->Flag(tifUseStyles)) {
    TElCellStyle* style = nullptr;
    if (virtualityLevel_ != vlNone) {
      style = VirtualStyle(Item, SectionIndex);
    } else {
      const int k = SectionIndex > mainTreeColumn_ ? SectionIndex - 1 : SectionIndex;
      style = mainCell ? nullptr : Item->Style(k);
      if (!style) style = Item->MainStyle();
    }
    if (style) type = style->CellType;
  } else if (section) {
    type = section->FieldType();
  }
  bool canEdit = true;
  DoTryEdit(Item, SectionIndex, type, canEdit);
  if (!canEdit) return false;
  TElTreeInplaceEditor* editor = InplaceManager()->FindEditor(type);
  DoInplaceEditorNeeded(Item, SectionIndex, type, editor);
  if (!editor) return false;

  // The cell in view coordinates.
  TElRect r;
  const int row = view_->VisibleRows().IndexOf(Item);
  if (row >= 0) r = view_->RowRect(row);
  const int clientRight = view_->ClientWidth() - 1;
  if (section) {
    r.Left = mainCell ? Item->TextRect.Left - leftPosition_ : section->Left() - leftPosition_;
    r.Right = std::min(section->Right() - leftPosition_, clientRight);
  } else {
    r.Left = Item->TextRect.Left - leftPosition_;
    r.Right = clientRight;
  }

  if (editor->Tree() != this) editor->SetTree(this);
  inplaceManager_->active_ = editor;
  editor->ValueAsText = CellText(Item, SectionIndex);
  editor->Item = Item;
  editor->SectionIndex = SectionIndex;
  editor->FieldType = type;
  editor->CellRect = r;
  editor->StartOperation();
  return true;
}

void TCustomElTree::EndEditItem(bool Cancel) {
  if (!inplaceManager_ || !inplaceManager_->active_) return;
  inplaceManager_->active_->CompleteOperation(!Cancel);
}

bool TCustomElTree::IsEditing() const {
  return inplaceManager_ && inplaceManager_->active_ && inplaceManager_->active_->IsShown();
}

void TCustomElTree::EditorCompleted(TElTreeInplaceEditor* Editor, bool Accepted) {
  if (!inplaceManager_ || inplaceManager_->active_ != Editor) return;
  inplaceManager_->active_ = nullptr;
  TElTreeItem* item = Editor->Item;
  if (!Accepted || !item) return;
  const int sec = Editor->SectionIndex;
  if (virtualityLevel_ == vlNone) {
    if (sec < 0 || sec == mainTreeColumn_ || !showColumns_) {
      item->SetText(Editor->ValueAsText);
    } else if (TElWideStringList* ct = item->ColumnTexts()) {
      const int k = sec > mainTreeColumn_ ? sec - 1 : sec;
      ct->BeginUpdate();
      while (ct->Count() <= k) ct->Add(TElFString());
      ct->Put(k, Editor->ValueAsText);
      ct->EndUpdate();
    }
  }
  DoEndEditItem(item, sec >= 0 ? HeaderSections().GetSection(sec) : nullptr, false);
}

void TCustomElTree::ScheduleEdit(TElTreeItem* Item, int SectionIndex, bool Immediate) {
  if (!Item || HasState(csDesigning)) return;
  if (showColumns_) {
    if (SectionIndex != EditClickSection && !QuickEditMode) return;
    TElHeaderSection* s = HeaderSections().GetSection(SectionIndex);
    if (!s || !s->Editable()) return;
  } else {
    SectionIndex = -1;
  }
  if (!editTimer_) editTimer_ = timerFactory_();
  editTimer_->SetEnabled(false);
  editTimer_->SetInterval(Immediate ? 1u : static_cast<unsigned>(std::max(0, InplaceEditorDelay)));
  editTimer_->OnTimer = [this] {
    editTimer_->SetEnabled(false);
    TElTreeItem* item = pendingEditItem_;
    pendingEditItem_ = nullptr;
    if (item) EditItem(item, pendingEditSection_);
  };
  pendingEditItem_ = Item;
  pendingEditSection_ = SectionIndex;
  editTimer_->SetEnabled(true);
}

void TCustomElTree::ForgetEditedItem(TElTreeItem* Item) {
  if (pendingEditItem_ == Item) {
    pendingEditItem_ = nullptr;
    if (editTimer_) editTimer_->SetEnabled(false);
  }
  if (!inplaceManager_ || !inplaceManager_->active_) return;
  TElTreeInplaceEditor* e = inplaceManager_->active_;
  if (e->Item != Item) return;
  e->Item = nullptr;
  if (IsDestroying())
    inplaceManager_->active_ = nullptr;
  else
    EndEditItem(true);
}

void TCustomElTree::DoTryEdit(TElTreeItem* Item, int SectionIndex, TElFieldType& CellType,
                              bool& CanEdit) {
  if (OnTryEdit && !IsDestroying()) OnTryEdit(EventSender(), Item, SectionIndex, CellType, CanEdit);
}

void TCustomElTree::DoEndEditItem(TElTreeItem* Item, TElHeaderSection* Section, bool Canceled) {
  if (OnEndEditItem) OnEndEditItem(EventSender(), Item, Section, Canceled);
}

void TCustomElTree::DoInplaceEditorNeeded(TElTreeItem* Item, int SectionIndex,
                                          TElFieldType SupposedFieldType,
                                          TElTreeInplaceEditor*& Editor) {
  if (OnInplaceEditorNeeded) OnInplaceEditorNeeded(EventSender(), Item, SectionIndex, SupposedFieldType, Editor);
}

}  // namespace morvane
