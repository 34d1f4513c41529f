// Panels, bevels, images and splitters.
#pragma once

#include <memory>

#include "platform/ui/controls.h"

namespace morvane {

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner);
  TBevelCut BevelOuter() const { return outer_; }
  void SetBevelOuter(TBevelCut v);
  TBevelCut BevelInner() const { return inner_; }
  void SetBevelInner(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;
  std::string ClassName() const override { return "TPanel"; }

 private:
  TBevelCut outer_ = TBevelCut::bvRaised, inner_ = TBevelCut::bvNone;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = TBorderStyle::bsNone;
  TAlignment alignment_ = TAlignment::taCenter;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);

 protected:
  void Paint() override;
  std::string ClassName() const override { return "TBevel"; }

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  TPicture* Picture() { return &picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // Where the picture lands in the control.
  RECT DestRect();

 protected:
  void Paint() override;
  std::string ClassName() const override { return "TImage"; }

 private:
  TPicture picture_;
  bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false;
};

class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner);
  int MinSize() const { return minSize_; }
  void SetMinSize(int v) { minSize_ = v; }
  TNotifyEvent OnMoved;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  std::string ClassName() const override { return "TSplitter"; }

 private:
  TControl* FindTarget();
  int minSize_ = 30;
  TControl* target_ = nullptr;
  POINT down_{};
  int startSize_ = 0;
};

}  // namespace morvane
