#include "app/dialog_layout.h"

#include <algorithm>

namespace morvane {

void SetupDialogForm(TForm* Form, const std::string& Caption, int ClientWidth, int ClientHeight,
                     TPosition Position) {
  Form->SetCaption(Caption);
  Form->SetBorderStyle(TFormBorderStyle::bsDialog);
  Form->SetPosition(Position);
  Form->SetClientWidth(ClientWidth);
  Form->SetClientHeight(ClientHeight);
}

void WidenToFitLabels(TForm* Form, std::initializer_list<TControl*> Labels,
                      std::initializer_list<TControl*> RightAnchored, int Margin) {
  int need = Form->ClientWidth();
  for (TControl* l : Labels) need = std::max(need, l->Left() + l->Width() + Margin);
  const int grow = need - Form->ClientWidth();
  if (grow <= 0) return;
  Form->SetClientWidth(need);
  for (TControl* c : RightAnchored) c->SetLeft(c->Left() + grow);
}

TLabel* TDialogBuilder::Label(const char* Name, const std::string& Caption, int Left, int Top, TWinControl* Parent) {
  auto* l = Add<TLabel>(Name, Left, Top, 0, 13, Parent);
  l->SetCaption(Caption);
  return l;
}

TButton* TDialogBuilder::Button(const char* Name, const std::string& Caption, int ModalResult, int Left, int Top,
                                int Width, int Height) {
  auto* b = Add<TButton>(Name, Left, Top, Width, Height);
  b->SetCaption(Caption);
  b->SetModalResult(ModalResult);
  return b;
}

TCheckBox* TDialogBuilder::Check(const char* Name, const std::string& Caption, int Left, int Top, int Width,
                                 bool Checked, TWinControl* Parent) {
  auto* c = Add<TCheckBox>(Name, Left, Top, Width, 17, Parent);
  c->SetCaption(Caption);
  c->SetChecked(Checked);
  return c;
}

TComboBox* TDialogBuilder::List(const char* Name, std::initializer_list<const char*> Items, int Left, int Top,
                                int Width) {
  auto* c = Add<TComboBox>(Name, Left, Top, Width, 21);
  c->SetStyle(TComboBoxStyle::csDropDownList);
  for (const char* item : Items) c->Items()->Add(item);
  return c;
}

TImage* TDialogBuilder::SystemIcon(const char* Name, LPCSTR Icon, int Left, int Top) {
  auto* img = Add<TImage>(Name, Left, Top, 32, 32);
  img->Picture()->Icon()->SetHandle(LoadIconA(nullptr, Icon), false);
  return img;
}

TDialogBuilder::TDeleteQuestion TDialogBuilder::DeleteCookieQuestion() {
  TDeleteQuestion q{};
  q.icon = SystemIcon("Image1", IDI_WARNING, 14, 14);
  q.message = Add<TLabel>("lblDeleteMessage", 60, 14, 330, 40);
  q.message->SetAutoSize(false);
  q.message->SetWordWrap(true);
  Label("Label1", "Do you want to continue?", 60, 60);
  q.remove = Check("chkDeleteCookie", "Delete selected cookie", 60, 84, 320, true);
  q.block = Check("chkBlockCookie", "Block all future cookies from selected domains", 60, 106, 320);
  return q;
}

}  // namespace morvane
