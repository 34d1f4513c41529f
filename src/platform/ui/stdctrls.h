// The standard controls over the system's window classes: labels, edits,
// memos, buttons, check boxes, radio buttons, group boxes, combo boxes and
// list boxes. Each keeps its state in the object while it has no window and
// hands it to the window when one is made (and back before it goes).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/classes.h"
#include "platform/ui/controls.h"

namespace morvane {

// Labels ---------------------------------------------------------------------

// A STATIC window, so that its text can be read from outside.
class TLabel : public TWinControl {
 public:
  explicit TLabel(TComponent* AOwner);
  ~TLabel() override;
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v) { focusControl_ = v; }
  // Measures with the label's font (no window needed).
  TCanvas* Canvas();
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustBounds();
  std::string ClassName() const override { return "TLabel"; }

 private:
  bool autoSize_ = true, wordWrap_ = false, showAccelChar_ = true, transparent_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
  TWinControl* focusControl_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  TMemoryDC measureDC_;
};

enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TWinControl {
 public:
  explicit TStaticText(TComponent* AOwner);
  TStaticBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TStaticBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  std::string ClassName() const override { return "TStaticText"; }

 private:
  TStaticBorderStyle borderStyle_ = TStaticBorderStyle::sbsNone;
  TAlignment alignment_ = TAlignment::taLeftJustify;
};

// Edits ----------------------------------------------------------------------

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char v);
  bool Modified();
  void SetModified(bool v);
  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  std::string SelText();
  void SetSelText(const std::string& v);
  void SelectAll();
  void Clear() { SetText(""); }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  virtual void Change();
  void SetTextBuf(const std::string& v) override;
  std::string ClassName() const override { return "TEdit"; }

 private:
  bool settingText_ = false;
  std::string lastText_;
  int maxLength_ = 0;
  bool readOnly_ = false, autoSelect_ = true;
  char passwordChar_ = 0;
  int selStart_ = 0, selLength_ = 0;
  bool modified_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

// An edit that would take an edit mask; none is set anywhere, so it is an edit.
class TMaskEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  const std::string& EditMask() const { return mask_; }
  void SetEditMask(const std::string& v) { mask_ = v; }

 protected:
  std::string ClassName() const override { return "TMaskEdit"; }

 private:
  std::string mask_;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
class TMemo;

// The lines of a memo: the window's text while it has one.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TMemo* memo) : memo_(memo) {}
  int Count() const override;
  std::string Get(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  std::string Text() const override;
  void SetText(std::string_view Value) override;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  std::vector<std::string> Lines() const;
  void Store(const std::vector<std::string>& lines);
  TMemo* memo_;
  bool updating_ = false;
  mutable std::vector<std::string> pending_;
  mutable bool havePending_ = false;
};

class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* AOwner);
  TStrings* Lines() { return &lines_; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  std::string ClassName() const override { return "TMemo"; }

 private:
  TMemoStrings lines_;
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
  bool wordWrap_ = true, wantReturns_ = true, wantTabs_ = false;
};

// Buttons --------------------------------------------------------------------

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);

 protected:
  bool wordWrap_ = false;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int v) { modalResult_ = v; }
  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  std::string ClassName() const override { return "TButton"; }

 private:
  bool default_ = false, cancel_ = false;
  int modalResult_ = 0;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  // Fires OnClick when the state changes, as a click would.
  void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  std::string ClassName() const override { return "TCheckBox"; }

 private:
  TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = TAlignment::taRightJustify;
};

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* AOwner);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  std::string ClassName() const override { return "TRadioButton"; }

 private:
  bool checked_ = false;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(RECT& Rect) override;
  std::string ClassName() const override { return "TGroupBox"; }
};

// Lists ----------------------------------------------------------------------

// The items of a combo box or list box: kept here (with their objects) and
// copied into the window whenever it has one.
class TControlItems : public TStrings {
 public:
  enum class TKind { Combo, List };
  TControlItems(TWinControl* owner, TKind kind) : owner_(owner), kind_(kind) {}
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  // Fills a new window with the items.
  void PushToWindow();

 private:
  void Check(int Index) const;
  HWND Wnd() const;
  UINT Msg(UINT combo, UINT list) const { return kind_ == TKind::Combo ? combo : list; }
  TWinControl* owner_;
  TKind kind_;
  std::vector<std::pair<std::string, TObject*>> items_;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  TStrings* Items() { return &items_; }
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  int ItemIndex();
  void SetItemIndex(int v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v) { sorted_ = v; }
  bool DroppedDown();
  void SetDroppedDown(bool v);
  int SelLength();
  void SetSelLength(int v);
  // The edit inside a drop-down combo (null for a drop-down list).
  HWND EditHandle();
  bool Focused() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  virtual void Change();
  virtual void Select();
  std::string GetText() override;
  void SetTextBuf(const std::string& v) override;
  std::string ClassName() const override { return "TComboBox"; }

 private:
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  int ListHeight();
  TControlItems items_;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  bool sorted_ = false;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner);
  TStrings* Items() { return &items_; }
  int ItemIndex();
  void SetItemIndex(int v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool Selected(int Index);
  void SetSelected(int Index, bool v);
  int SelCount();
  int TopIndex();
  void SetTopIndex(int v);
  void Clear() { items_.Clear(); }
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  std::string ClassName() const override { return "TListBox"; }

 private:
  TControlItems items_;
  int itemIndex_ = -1;
  bool multiSelect_ = false;
  std::vector<int> selected_;
};

}  // namespace morvane
