// The common base of the toolkit's custom-drawn controls: owns the control's
// theme handle and tells its painting whether to draw themed or classic.
#pragma once

#include <string>

#include "controls/eluxtheme.h"
#include "platform/ui/controls.h"

namespace morvane {

class TElXPThemedControl : public TCustomControl {
 public:
  explicit TElXPThemedControl(TComponent* AOwner);
  ~TElXPThemedControl() override;

  bool UseXPThemes() const { return useXPThemes_; }
  virtual void SetUseXPThemes(bool Value);
  HTHEME Theme() const { return theme_; }
  // Every themed drawing decision goes through this.
  bool IsThemeApplied() const { return useXPThemes_ && theme_ != nullptr; }

 protected:
  virtual std::wstring GetThemedClassName() const = 0;
  virtual void FreeThemeHandle();
  virtual void CreateThemeHandle();
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  std::string ClassName() const override { return "TElXPThemedControl"; }

 private:
  void WMNCPaint(TMessage& Message);
  bool useXPThemes_ = true;
  HTHEME theme_ = nullptr;
};

}  // namespace morvane
