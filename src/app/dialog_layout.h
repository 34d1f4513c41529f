// What every dialog's layout code does for each control: make it owned by
// the form, give it its component name and the next fixed control id of the
// dialog's range, place it and put it on its parent.
#pragma once

#include <initializer_list>
#include <string>
#include <type_traits>

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

// Fixed dialog border, position and client size in one go.
void SetupDialogForm(TForm* Form, const std::string& Caption, int ClientWidth, int ClientHeight,
                     TPosition Position = TPosition::poDesktopCenter);

// Widens the form's client area until each of Labels ends Margin pixels
// inside it (a caption's width depends on the font the system gives), and
// moves RightAnchored controls by as much, so buttons keep their place at
// the right edge.
void WidenToFitLabels(TForm* Form, std::initializer_list<TControl*> Labels,
                      std::initializer_list<TControl*> RightAnchored, int Margin = 14);

class TDialogBuilder {
 public:
  TDialogBuilder(TForm* Form, int FirstId) : form_(Form), next_(FirstId) {}

  // Parent: the form unless given.
  template <class T>
  T* Add(const char* Name, int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr) {
    auto* c = new T(form_);
    c->SetName(Name);
    if constexpr (std::is_base_of_v<TWinControl, T>) c->SetControlId(next_);
    ++next_;
    c->SetBounds(Left, Top, Width, Height);
    c->SetParent(Parent ? Parent : form_);
    return c;
  }
  // An auto-sized label.
  TLabel* Label(const char* Name, const std::string& Caption, int Left, int Top, TWinControl* Parent = nullptr);
  TButton* Button(const char* Name, const std::string& Caption, int ModalResult, int Left, int Top, int Width = 75,
                  int Height = 25);
  TCheckBox* Check(const char* Name, const std::string& Caption, int Left, int Top, int Width, bool Checked = false,
                   TWinControl* Parent = nullptr);
  // A drop-down list with these items, none selected.
  TComboBox* List(const char* Name, std::initializer_list<const char*> Items, int Left, int Top, int Width);
  // A 32 x 32 image showing a system icon (IDI_*).
  TImage* SystemIcon(const char* Name, LPCSTR Icon, int Left, int Top);

  // The top of the dialogs that confirm deleting cookies: the warning icon,
  // the message (its text is the caller's: it names what goes), the
  // question, the check that deletes (checked) and the one that blocks the
  // cookies' domains from then on. Further choices go below, from y 128.
  struct TDeleteQuestion {
    TImage* icon;
    TLabel* message;
    TCheckBox* remove;
    TCheckBox* block;
  };
  TDeleteQuestion DeleteCookieQuestion();

 private:
  TForm* form_;
  int next_;
};

}  // namespace morvane
