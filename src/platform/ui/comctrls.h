// Common controls: page and tab controls, tool bar, status bar, date-time
// picker and up-down.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/classes.h"
#include "platform/ui/controls.h"
#include "platform/ui/imglist.h"

namespace morvane {

class TPageControl;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Tabs ---------------------------------------------------------------------------

// The shared part of page and tab controls: a SysTabControl32 window whose
// display area holds the children.
class TCustomTabControl : public TWinControl {
 public:
  explicit TCustomTabControl(TComponent* AOwner);
  enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  // The area for the pages, in client coordinates.
  RECT DisplayRect();
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(RECT& Rect) override;
  void InitializeWindow() override;
  // The texts of the tabs shown now (page control: visible sheets only).
  // (Not pure: the base's constructor lays out before the derived part exists.)
  virtual std::vector<std::string> TabTexts() { return {}; }
  virtual int CurrentTab() { return -1; }
  virtual bool CanChange();
  virtual void Change();
  // The user picked tab Index.
  virtual void TabSelected(int Index) {}
  void UpdateTabs();
  void SelectTab(int Index);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TTabStyle style_ = TTabStyle::tsTabs;
  TCustomImageList* images_ = nullptr;
};

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* v);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  int PageIndex() const;
  void SetPageIndex(int v);
  // Index among the tabs shown, -1 while the tab is hidden.
  int TabIndex() const;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  void SetVisible(bool v) override;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  std::string ClassName() const override { return "TTabSheet"; }

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  bool showing_ = false;
  int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int i) const { return pages_.at(static_cast<size_t>(i)); }
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* v);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward);
  void ShowControl(TControl* AControl) override;

 protected:
  std::vector<std::string> TabTexts() override;
  int CurrentTab() override;
  void TabSelected(int Index) override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  std::string ClassName() const override { return "TPageControl"; }

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* p);
  void RemovePage(TTabSheet* p);
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

class TTabControl : public TCustomTabControl {
 public:
  explicit TTabControl(TComponent* AOwner);
  TStrings* Tabs() { return &tabs_; }
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int v);

 protected:
  std::vector<std::string> TabTexts() override;
  int CurrentTab() override { return tabIndex_; }
  void TabSelected(int Index) override;
  std::string ClassName() const override { return "TTabControl"; }

 private:
  class TTabStrings : public TStringList {
   public:
    explicit TTabStrings(TTabControl* o) : owner_(o) {}
   protected:
    void Changed() override;
   private:
    TTabControl* owner_;
  };
  TTabStrings tabs_;
  int tabIndex_ = -1;
};

// Tool bar -----------------------------------------------------------------------

class TToolBar;
enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A button of a tool bar; the tool bar window draws and clicks it.
class TToolButton : public TControl {
 public:
  explicit TToolButton(TComponent* AOwner);
  TToolBar* ToolBar() const;
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool Marked() const { return marked_; }
  void SetMarked(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int Index() const;
  int CommandId() const { return commandId_; }
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetParent(TWinControl* AParent) override;
  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  std::string ClassName() const override { return "TToolButton"; }

 private:
  friend class TToolBar;
  BYTE State() const;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  bool down_ = false, grouped_ = false, allowAllUp_ = false, marked_ = false;
  int imageIndex_ = -1;
  int commandId_;
};

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* AOwner);
  int ButtonCount() const;
  TToolButton* Buttons(int i) const;
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool List() const { return list_; }
  void SetList(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  int ButtonWidth() const { return buttonWidth_; }
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonSize(int w, int h);
  // The button under a client point, or null.
  TToolButton* ButtonAtPos(POINT p);
  RECT ButtonRect(TToolButton* b);
  void Dispatch(TMessage& Message) override;
  void SetEnabled(bool v) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  bool RoutesMouseToChildren() const override { return false; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  std::string ClassName() const override { return "TToolBar"; }

 private:
  friend class TToolButton;
  void RebuildButtons();
  void UpdateButton(TToolButton* b);
  std::vector<TToolButton*> buttons_;
  bool showCaptions_ = false, flat_ = true, list_ = false;
  TCustomImageList* images_ = nullptr;
  int buttonWidth_ = 23, buttonHeight_ = 22;
};

// Status bar ---------------------------------------------------------------------

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
class TStatusBar;

class TStatusPanel {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v);
  int Index() const { return index_; }

 private:
  friend class TStatusBar;
  TStatusBar* owner_ = nullptr;
  int index_ = 0;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
};

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  TStatusPanel* Panels(int i) const { return panels_.at(static_cast<size_t>(i)).get(); }
  TStatusPanel* AddPanel();
  void ClearPanels();
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& v);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  // Measures with the status bar's font.
  TCanvas* Canvas();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  std::string ClassName() const override { return "TStatusBar"; }
  void Dispatch(TMessage& Message) override;

 private:
  friend class TStatusPanel;
  void UpdatePanels();
  void UpdatePanelText(int i);
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
  bool simplePanel_ = false, sizeGrip_ = true;
  std::string simpleText_;
  std::unique_ptr<TMeasureCanvas> canvas_;
};

// Date and time ------------------------------------------------------------------

enum class TDateTimeKind { dtkDate, dtkTime };
enum class TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TWinControl {
 public:
  explicit TDateTimePicker(TComponent* AOwner);
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind v);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat v);
  // Days since 1899-12-30 with the time as the fraction.
  double DateTime();
  void SetDateTime(double v);
  double Date();
  void SetDate(double v);
  double Time();
  void SetTime(double v);
  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  std::string ClassName() const override { return "TDateTimePicker"; }

 private:
  TDateTimeKind kind_ = TDateTimeKind::dtkDate;
  TDTDateFormat dateFormat_ = TDTDateFormat::dfShort;
  double value_ = 0;
};

// Up-down ------------------------------------------------------------------------

enum class TUpDownDirection { updNone, updUp, updDown };
enum class TUDBtnType { btNext, btPrev };
using TUDChangingEventEx = std::function<void(TObject* Sender, bool& AllowChange, short NewValue, TUpDownDirection Direction)>;
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* AOwner);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position();
  void SetPosition(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v);
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* v);
  TUDChangingEventEx OnChangingEx;
  TUDClickEvent OnClick;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  void SaveWindowState() override;
  std::string ClassName() const override { return "TUpDown"; }

 private:
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  bool wrap_ = false;
  TWinControl* associate_ = nullptr;
};

}  // namespace morvane
