// A hint window that shows UTF-16 text. It keeps the toolkit's hint window
// class, border and colours and measures, places and paints through the
// toolkit's own UTF-16 text drawing. A packed wide hint (see PackWideHint)
// handed to it as an 8-bit hint is shown in its wide form.
#pragma once

#include <string>

#include "platform/ui/application.h"

namespace morvane {

class TElHintWindow : public THintWindow {
 public:
  explicit TElHintWindow(TComponent* AOwner);
  ~TElHintWindow() override;

  TFont* Font() { return &font_; }
  void SetFont(TFont* Value) { font_.Assign(Value); }
  const std::wstring& WideCaption() const { return wideCaption_; }
  void SetWideCaption(const std::wstring& v) { wideCaption_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);

  RECT CalcHintRectW(int MaxWidth, const std::wstring& Text);
  RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
  void ActivateHint(RECT Rect, const std::string& AHint) override;
  virtual void ActivateHintW(RECT Rect, const std::wstring& Text);

  // Where a hint of Rect's size goes on a desktop (all monitors): moved
  // inside at the right and bottom, then at the left and top.
  static RECT PlaceOnDesktop(RECT Rect, const RECT& Desktop);

 protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  std::string ClassName() const override { return "TElHintWindow"; }

 private:
  void FitToCaption();
  TFont font_;
  std::wstring wideCaption_;
  bool wordWrap_ = false;
  bool activating_ = false;
};

// Makes the application show its hints in a TElHintWindow.
void UseElHintWindow(TApplication* App);

}  // namespace morvane
