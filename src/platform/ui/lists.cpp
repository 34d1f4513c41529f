#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

// TControlItems --------------------------------------------------------------------

HWND TControlItems::Wnd() const { return owner_->HandleAllocated() ? owner_->Handle() : nullptr; }

void TControlItems::Check(int Index) const {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
}

std::string TControlItems::Get(int Index) const {
  Check(Index);
  return items_[static_cast<size_t>(Index)].first;
}

TObject* TControlItems::GetObject(int Index) const {
  Check(Index);
  return items_[static_cast<size_t>(Index)].second;
}

void TControlItems::Put(int Index, const std::string& S) {
  Check(Index);
  TObject* o = items_[static_cast<size_t>(Index)].second;
  Delete(Index);
  InsertObject(Index, S, o);
}

void TControlItems::PutObject(int Index, TObject* AObject) {
  Check(Index);
  items_[static_cast<size_t>(Index)].second = AObject;
}

void TControlItems::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TControlItems::InsertObject(int Index, const std::string& S, TObject* AObject) {
  if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
  items_.insert(items_.begin() + Index, {S, AObject});
  if (HWND h = Wnd()) SendMessageA(h, Msg(CB_INSERTSTRING, LB_INSERTSTRING), static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
}

void TControlItems::Delete(int Index) {
  Check(Index);
  items_.erase(items_.begin() + Index);
  if (HWND h = Wnd()) SendMessageA(h, Msg(CB_DELETESTRING, LB_DELETESTRING), static_cast<WPARAM>(Index), 0);
}

void TControlItems::Clear() {
  items_.clear();
  if (HWND h = Wnd()) SendMessageA(h, Msg(CB_RESETCONTENT, LB_RESETCONTENT), 0, 0);
}

void TControlItems::PushToWindow() {
  HWND h = Wnd();
  if (!h) return;
  SendMessageA(h, WM_SETREDRAW, FALSE, 0);
  SendMessageA(h, Msg(CB_RESETCONTENT, LB_RESETCONTENT), 0, 0);
  for (auto& it : items_) SendMessageA(h, Msg(CB_ADDSTRING, LB_ADDSTRING), 0, reinterpret_cast<LPARAM>(it.first.c_str()));
  SendMessageA(h, WM_SETREDRAW, TRUE, 0);
}

// TComboBox ------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(this, TControlItems::TKind::Combo) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetTabStop(true);
  SetColor(clWindow);
  TWinControl::SetBounds(0, 0, 145, 21);
}

int TComboBox::ListHeight() { return (std::abs(Font()->Height()) + 5) * std::max(dropDownCount_, 1) + 4; }

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "COMBOBOX");
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case TComboBoxStyle::csDropDownList: p.Style |= CBS_DROPDOWNLIST; break;
    case TComboBoxStyle::csSimple: p.Style |= CBS_SIMPLE; break;
    default: p.Style |= CBS_DROPDOWN; break;
  }
  if (style_ != TComboBoxStyle::csSimple) p.Height += ListHeight();
}

HWND TComboBox::EditHandle() {
  if (!HandleAllocated() || style_ == TComboBoxStyle::csDropDownList) return nullptr;
  COMBOBOXINFO ci{sizeof(ci)};
  if (GetComboBoxInfo(Handle(), &ci)) return ci.hwndItem != Handle() ? ci.hwndItem : nullptr;
  return GetWindow(Handle(), GW_CHILD);
}

void TComboBox::InitializeWindow() {
  HWND h = Handle();
  items_.PushToWindow();
  SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (itemIndex_ < 0 && style_ != TComboBoxStyle::csDropDownList && !text_.empty()) SetWindowTextA(h, text_.c_str());
  SendMessageA(h, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  SendMessageA(h, CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(dropDownCount_, 1)), 0);
  if (HWND e = EditHandle()) SetWindowSubclass(e, &TComboBox::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TComboBox::SaveWindowState() {
  itemIndex_ = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
  if (HWND e = EditHandle()) RemoveWindowSubclass(e, &TComboBox::EditProc, 1);
}

LRESULT CALLBACK TComboBox::EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref) {
  auto* c = reinterpret_cast<TComboBox*>(ref);
  try {
    if (!c->HasState(csDestroying)) {
      // The edit inside has the keyboard; its keys are the combo's key events.
      switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
          TMessage m{msg, wParam, lParam, 0};
          if (c->DoKeyDown(m)) return 0;
          wParam = m.WParam;
          break;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
          TMessage m{msg, wParam, lParam, 0};
          if (c->DoKeyUp(m)) return 0;
          wParam = m.WParam;
          break;
        }
        case WM_CHAR: {
          TMessage m{msg, wParam, lParam, 0};
          if (c->DoKeyPress(m)) return 0;
          wParam = m.WParam;
          break;
        }
        case WM_CONTEXTMENU:
          if (c->PopupMenu()) return c->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->Handle()), lParam);
          break;
        default:
          break;
      }
    }
  } catch (...) {
    Application->HandleException(c);
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, &TComboBox::EditProc, id);
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

void TComboBox::SetStyle(TComboBoxStyle v) {
  if (v == style_) return;
  style_ = v;
  RecreateWnd();
}

int TComboBox::ItemIndex() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)) : itemIndex_;
}

void TComboBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_.Count()) v = -1;
  itemIndex_ = v;
  text_ = v >= 0 ? items_.Get(v) : std::string();
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

void TComboBox::SetDropDownCount(int v) {
  dropDownCount_ = v;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(std::max(v, 1)), 0);
}

void TComboBox::SetMaxLength(int v) {
  maxLength_ = std::max(v, 0);
  if (HandleAllocated()) SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

bool TComboBox::DroppedDown() { return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0); }
void TComboBox::SetDroppedDown(bool v) { SendMessageA(Handle(), CB_SHOWDROPDOWN, v, 0); }

int TComboBox::SelLength() {
  if (!HandleAllocated()) return 0;
  DWORD s = 0, e = 0;
  SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}

void TComboBox::SetSelLength(int v) {
  if (!HandleAllocated()) return;
  DWORD s = 0, e = 0;
  SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(s, s + v));
}

std::string TComboBox::GetText() {
  if (HandleAllocated()) return TWinControl::GetText();
  if (style_ == TComboBoxStyle::csDropDownList) return itemIndex_ >= 0 && itemIndex_ < items_.Count() ? items_.Get(itemIndex_) : std::string();
  return text_;
}

void TComboBox::SetTextBuf(const std::string& v) {
  if (style_ == TComboBoxStyle::csDropDownList) {
    int i = -1;
    for (int k = 0; k < items_.Count(); ++k)
      if (items_.Get(k) == v) { i = k; break; }
    SetItemIndex(i);
    return;
  }
  text_ = v;
  itemIndex_ = -1;
  for (int k = 0; k < items_.Count(); ++k)
    if (items_.Get(k) == v) { itemIndex_ = k; break; }
  if (HandleAllocated()) {
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    SetWindowTextA(Handle(), v.c_str());
  }
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (HandleAllocated() && style_ != TComboBoxStyle::csSimple) {
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    // The window's height includes the list; what it reports is the closed box.
    SetWindowPos(Handle(), nullptr, ALeft, ATop, AWidth, AHeight + ListHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
    return;
  }
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

void TComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE: {
          int i = ItemIndex();
          if (i >= 0 && HandleAllocated() && style_ != TComboBoxStyle::csDropDownList) {
            // The edit shows the new item only after this notice; give it now.
            SetWindowTextA(Handle(), items_.Get(i).c_str());
          }
          Click();
          Select();
          break;
        }
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: if (OnDropDown) OnDropDown(this); break;
        case CBN_CLOSEUP: if (OnCloseUp) OnCloseUp(this); break;
        case CBN_SETFOCUS:
          if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
          DoEnter();
          break;
        case CBN_KILLFOCUS: DoExit(); break;
        default: break;
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The box hands the focus to its edit; OnEnter/OnExit come from the notices.
      DefaultHandler(m);
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

bool TComboBox::Focused() {
  HWND f = GetFocus();
  return HandleAllocated() && (f == Handle() || IsChild(Handle(), f));
}

// TListBox -------------------------------------------------------------------------

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner), items_(this, TControlItems::TKind::List) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 97);
}

void TListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "LISTBOX");
  p.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | (multiSelect_ ? LBS_EXTENDEDSEL : 0);
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::InitializeWindow() {
  HWND h = Handle();
  items_.PushToWindow();
  if (multiSelect_) {
    for (int i : selected_) SendMessageA(h, LB_SETSEL, TRUE, i);
    if (itemIndex_ >= 0) SendMessageA(h, LB_SETCARETINDEX, static_cast<WPARAM>(itemIndex_), FALSE);
  } else {
    SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  }
}

void TListBox::SaveWindowState() {
  itemIndex_ = ItemIndex();
  selected_.clear();
  if (multiSelect_)
    for (int i = 0; i < items_.Count(); ++i)
      if (SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) selected_.push_back(i);
}

int TListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(SendMessageA(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_.Count()) v = -1;
  itemIndex_ = v;
  if (!HandleAllocated()) return;
  if (multiSelect_) SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(v), FALSE);
  else SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

void TListBox::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  if (HandleAllocated()) SaveWindowState();
  multiSelect_ = v;
  RecreateWnd();
}

bool TListBox::Selected(int Index) {
  if (Index < 0 || Index >= items_.Count()) return false;
  if (HandleAllocated()) return SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
  if (!multiSelect_) return Index == itemIndex_;
  return std::find(selected_.begin(), selected_.end(), Index) != selected_.end();
}

void TListBox::SetSelected(int Index, bool v) {
  if (Index < 0 || Index >= items_.Count()) return;
  if (!multiSelect_) {
    if (v) SetItemIndex(Index);
    else if (ItemIndex() == Index) SetItemIndex(-1);
    return;
  }
  if (HandleAllocated()) {
    SendMessageA(Handle(), LB_SETSEL, v, Index);
    return;
  }
  selected_.erase(std::remove(selected_.begin(), selected_.end(), Index), selected_.end());
  if (v) selected_.push_back(Index);
}

int TListBox::SelCount() {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0));
  return static_cast<int>(selected_.size());
}

int TListBox::TopIndex() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)) : 0;
}

void TListBox::SetTopIndex(int v) {
  if (HandleAllocated()) SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(v), 0);
}

void TListBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
    else if (HIWORD(m.WParam) == LBN_DBLCLK) DblClick();
    return;
  }
  TWinControl::Dispatch(m);
}

}  // namespace morvane
