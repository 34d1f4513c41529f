// Menus: items in a tree, a form's menu bar and popup menus, built into
// system menus (rebuilt from the items whenever they change).
#pragma once

#include <string>
#include <vector>

#include "platform/core/components.h"
#include "platform/ui/gdi_handles.h"
#include "platform/win32.h"

namespace morvane {

class TMenu;
class TCustomForm;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(static_cast<size_t>(i)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  int IndexOf(TMenuItem* Item) const;
  void Clear();
  TMenuItem* Find(const std::string& ACaption) const;

  // The WM_COMMAND id of the item; SetCommand fixes one so automation can rely on it.
  int Command() const { return command_; }
  void SetCommand(int Id);
  // The submenu of an item with children (null when it has none or no menu is built).
  HMENU Handle() const { return subMenu_; }
  TMenu* GetParentMenu() const;

  virtual void Click();
  TNotifyEvent OnClick;

  // Window messages the forms and the application pass on.
  static bool DispatchCommand(int Id);
  static bool DispatchPopup(HMENU Menu);  // WM_INITMENUPOPUP
  static bool DispatchDrawItem(DRAWITEMSTRUCT* dis) { return false; }
  static TMenuItem* FindByCommand(int Id);

 protected:
  std::string ClassName() const override { return "TMenuItem"; }

 private:
  friend class TMenu;
  void Changed();
  // Checked or enabled changed: the built system menu is updated in place.
  void StateChanged();
  void ApplyState(HMENU In) const;
  int SystemPosition() const;
  void AppendTo(HMENU Menu);
  void BuildSubMenu();

  std::string caption_;
  std::string hint_;
  bool checked_ = false, enabled_ = true, visible_ = true, radioItem_ = false, default_ = false;
  int groupIndex_ = 0;
  int command_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  std::vector<TMenuItem*> items_;
  HMENU subMenu_ = nullptr;  // owned by the menu it sits in
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() { return items_; }
  HMENU Handle();
  // Builds the system menu again from the items.
  void Rebuild();

 protected:
  virtual HMENU CreateMenuHandle() = 0;
  virtual void MenuChanged() {}
  std::string ClassName() const override { return "TMenu"; }
  TMenuItem* items_;

 private:
  friend class TMenuItem;
  TMenuHandle handle_;
  bool rebuilding_ = false;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner);
  // The form whose menu bar this is.
  TCustomForm* Form() const { return form_; }

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void MenuChanged() override;
  std::string ClassName() const override { return "TMainMenu"; }

 private:
  friend class TCustomForm;
  TCustomForm* form_ = nullptr;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* v) { popupComponent_ = v; }
  // Shows the menu at a screen point and runs the chosen item's OnClick
  // (through the modal responder when one is installed).
  virtual void Popup(int X, int Y);
  TNotifyEvent OnPopup;

 protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  std::string ClassName() const override { return "TPopupMenu"; }

 private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = TPopupAlignment::paLeft;
  TComponent* popupComponent_ = nullptr;
};

// Ends the menu loop now running, if any (used by tests' safety timers).
void CancelMenuLoop();

}  // namespace morvane
