// The shared error dialog: a caption, a short and a long message, one of four
// icons, and (when the program has a support address) a link that composes
// a report to the support address.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

class TErrorDlg : public TForm {
 public:
  explicit TErrorDlg(TComponent* AOwner);

  TImage* imgQuestionMark = nullptr;
  TImage* imgStop = nullptr;
  TImage* imgExclamation = nullptr;
  TImage* imgInformation = nullptr;
  TStaticText* txtMessage = nullptr;
  TStaticText* txtLongMessage = nullptr;
  TStaticText* txtSupportText = nullptr;
  TStaticText* txtSupportEmail = nullptr;
  TButton* OKBtn = nullptr;

  // Kind: 0 question mark, 1 stop, 2 exclamation, 3 information, other
  // values no icon. Shows the dialog modally.
  void ShowError(const std::string& Caption, const std::string& Message, const std::string& LongMessage,
                 uint8_t Kind);
  void txtSupportEmailClick(TObject* Sender);

 private:
  void BuildLayout();
};

}  // namespace morvane
