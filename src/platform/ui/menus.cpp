#include "platform/ui/menus.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/automation.h"
#include "platform/ui/forms.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {
std::map<int, TMenuItem*>& Commands() {
  static std::map<int, TMenuItem*> m;
  return m;
}
int NextCommand() {
  static int next = 0xA000;
  while (Commands().count(next)) ++next;
  return next++;
}
}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), command_(NextCommand()) {
  Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
  Destroying();
  while (!items_.empty()) {
    TMenuItem* c = items_.back();
    delete c;
    if (!items_.empty() && items_.back() == c) items_.pop_back();
  }
  auto it = Commands().find(command_);
  if (it != Commands().end() && it->second == this) Commands().erase(it);
  if (parent_) parent_->Remove(this);
}

void TMenuItem::SetCommand(int Id) {
  if (Id == command_) return;
  auto it = Commands().find(Id);
  if (it != Commands().end() && it->second != this) throw EInvalidOperation("Menu command " + std::to_string(Id) + " is taken");
  Commands().erase(command_);
  command_ = Id;
  Commands()[Id] = this;
  Changed();
}

TMenuItem* TMenuItem::FindByCommand(int Id) {
  auto it = Commands().find(Id);
  return it == Commands().end() ? nullptr : it->second;
}

bool TMenuItem::DispatchCommand(int Id) {
  TMenuItem* i = FindByCommand(Id);
  if (!i) return false;
  i->Click();
  return true;
}

bool TMenuItem::DispatchPopup(HMENU Menu) {
  for (auto& [id, item] : Commands()) {
    if (item->subMenu_ == Menu) {
      // A parent item hears first, so it can change its children before they show.
      item->Click();
      if (TMenuItem::FindByCommand(id) == item) item->BuildSubMenu();
      return true;
    }
  }
  return false;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (OnClick) OnClick(this);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Changed() {
  // A menu without its system menu yet builds it whole when first asked for
  // (Handle); rebuilding it at every item added while a window builds its
  // menus costs hundreds of system calls per item.
  TMenu* m = GetParentMenu();
  if (m && m->handle_.Get()) m->Rebuild();
}

// A check mark or a greyed look needs no new system menu: rebuilding it, and
// publishing its commands again, for the browser item checked at every page
// switch costs more than the switch itself.
void TMenuItem::StateChanged() {
  TMenu* m = GetParentMenu();
  if (!m || !m->handle_.Get()) return;
  HMENU in = parent_ ? parent_->subMenu_ : nullptr;
  if (!in || m->rebuilding_) {
    m->Rebuild();
    return;
  }
  if (radioItem_) {
    for (TMenuItem* s : parent_->items_)
      if (s->radioItem_ && s->groupIndex_ == groupIndex_) s->ApplyState(in);
  } else {
    ApplyState(in);
  }
  if (parent_ == m->items_) m->MenuChanged();  // an item of the menu bar itself
}

// What AppendTo gives the item, for an item already in the system menu In.
void TMenuItem::ApplyState(HMENU In) const {
  const int pos = SystemPosition();
  if (pos < 0 || IsLine()) return;
  const UINT at = static_cast<UINT>(pos);
  CheckMenuItem(In, at, MF_BYPOSITION | (checked_ ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(In, at, MF_BYPOSITION | (enabled_ ? MF_ENABLED : MF_GRAYED));
  if (radioItem_) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoA(In, at, TRUE, &mi)) {
      mi.fType = checked_ ? (mi.fType | MFT_RADIOCHECK) : (mi.fType & ~static_cast<UINT>(MFT_RADIOCHECK));
      SetMenuItemInfoA(In, at, TRUE, &mi);
    }
  }
}

// The item's place in its parent's system menu, which leaves out the hidden
// items; -1 when the item is hidden.
int TMenuItem::SystemPosition() const {
  if (!visible_ || !parent_) return -1;
  int pos = 0;
  for (const TMenuItem* s : parent_->items_) {
    if (s == this) return pos;
    if (s->visible_) ++pos;
  }
  return -1;
}

void TMenuItem::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed();
}
void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radioItem_ && parent_) {
    for (TMenuItem* s : parent_->items_)
      if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
  }
  StateChanged();
}
void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  StateChanged();
}
void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}
void TMenuItem::SetRadioItem(bool v) {
  if (v == radioItem_) return;
  radioItem_ = v;
  Changed();
}
void TMenuItem::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  Changed();
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->parent_) throw EInvalidOperation("Menu inserted twice");
  Index = std::clamp(Index, 0, Count());
  items_.insert(items_.begin() + Index, Item);
  Item->parent_ = this;
  Changed();
}

void TMenuItem::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError("Menu index out of range");
  TMenuItem* i = items_[static_cast<size_t>(Index)];
  items_.erase(items_.begin() + Index);
  i->parent_ = nullptr;
  Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  auto strip = [](std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
  };
  for (TMenuItem* i : items_)
    if (strip(i->caption_) == strip(ACaption)) return i;
  return nullptr;
}

void TMenuItem::BuildSubMenu() {
  if (!subMenu_) return;
  while (GetMenuItemCount(subMenu_) > 0) RemoveMenu(subMenu_, 0, MF_BYPOSITION);
  for (TMenuItem* c : items_) c->AppendTo(subMenu_);
}

void TMenuItem::AppendTo(HMENU Menu) {
  if (!visible_) return;
  if (IsLine()) {
    AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING | (enabled_ ? MF_ENABLED : MF_GRAYED) | (checked_ ? MF_CHECKED : MF_UNCHECKED);
  if (!items_.empty()) {
    if (subMenu_) DestroyMenu(subMenu_);
    subMenu_ = CreatePopupMenu();
    for (TMenuItem* c : items_) c->AppendTo(subMenu_);
    AppendMenuA(Menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu_), caption_.c_str());
  } else {
    AppendMenuA(Menu, flags, static_cast<UINT_PTR>(command_), caption_.c_str());
  }
  if (radioItem_ && checked_) {
    MENUITEMINFOA mi{sizeof(mi)};
    mi.fMask = MIIM_FTYPE;
    mi.fType = MFT_RADIOCHECK;
    SetMenuItemInfoA(Menu, GetMenuItemCount(Menu) - 1, TRUE, &mi);
  }
  if (default_) SetMenuDefaultItem(Menu, GetMenuItemCount(Menu) - 1, TRUE);
}

// TMenu --------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  Destroying();
  delete items_;
}

HMENU TMenu::Handle() {
  if (!handle_.Get()) Rebuild();
  return handle_.Get();
}


void TMenu::Rebuild() {
  if (rebuilding_ || HasState(csDestroying)) return;
  rebuilding_ = true;
  HMENU h = handle_.Get();
  if (!h) {
    h = CreateMenuHandle();
    handle_.Reset(h);
  }
  // Submenus are destroyed with their parent menu item removal below.
  while (GetMenuItemCount(h) > 0) DeleteMenu(h, 0, MF_BYPOSITION);
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    i->subMenu_ = nullptr;
    for (TMenuItem* c : i->items_) stack.push_back(c);
  }
  for (TMenuItem* c : items_->items_) c->AppendTo(h);
  items_->subMenu_ = h;
  rebuilding_ = false;
  MenuChanged();
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TMainMenu::MenuChanged() {
  if (form_ && form_->HandleAllocated()) DrawMenuBar(form_->Handle());
  if (form_ && form_->HandleAllocated()) PublishMenuCommands(form_->Handle(), Items());
}

void PublishMenuCommands(HWND Form, TMenuItem* Items) {
  if (!Form) return;
  // What was published before goes first: captions change at run time.
  std::vector<std::string> old;
  EnumPropsExA(
      Form,
      [](HWND, LPSTR Name, HANDLE, ULONG_PTR P) -> BOOL {
        if (!IS_INTRESOURCE(Name) && std::strncmp(Name, "Menu:", 5) == 0)
          reinterpret_cast<std::vector<std::string>*>(P)->push_back(Name);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&old));
  for (const std::string& p : old) RemovePropA(Form, p.c_str());
  std::vector<std::string> path;
  std::function<void(TMenuItem*)> walk = [&](TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      if (item->IsLine()) continue;
      path.push_back(item->Caption());
      if (item->Count() > 0) {
        walk(item);
      } else if (item->Command()) {
        const std::string p = MenuPathProperty(path);
        if (p.size() < 256) SetPropA(Form, p.c_str(), reinterpret_cast<HANDLE>(static_cast<intptr_t>(item->Command())));
      }
      path.pop_back();
    }
  };
  walk(Items);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  Rebuild();
  int cmd = 0;
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = TModalKind::mkPopupMenu;
    r.Identity = Name();
    r.Menu = this;
    for (int i = 0; i < items_->Count(); ++i) {
      TMenuItem* it = items_->Items(i);
      if (!it->Visible()) continue;
      if (!r.Text.empty()) r.Text += "\n";
      r.Text += it->Caption();
    }
    cmd = AskModalResponder(r);
  } else {
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    flags |= alignment_ == TPopupAlignment::paRight ? TPM_RIGHTALIGN
             : alignment_ == TPopupAlignment::paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    HWND owner = Application->Handle();
    SetForegroundWindow(owner);
    cmd = static_cast<int>(TrackPopupMenu(Handle(), flags, X, Y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
  }
  if (cmd) TMenuItem::DispatchCommand(cmd);
}

void CancelMenuLoop() { EndMenu(); }

}  // namespace morvane
