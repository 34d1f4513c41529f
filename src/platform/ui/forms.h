// Forms (top-level windows with a modal loop) and frames.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/controls.h"

namespace morvane {

class TMainMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Fires OnCreate once (CreateForm and the first Show do it for you).
  void AfterConstruction();
  // Fires OnDestroy once; a derived destructor calls it while its members live.
  void BeforeDestruction();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool v);
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int v);
  TWindowState WindowState();
  void SetWindowState(TWindowState v);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* v);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  bool Modal() const { return modal_; }
  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* v);
  // Called when a control inside gets the focus.
  void SetFocusedControl(TWinControl* Control);
  // The normal (restored) bounds, also while maximized.
  RECT NormalBounds();
  void SetNormalBounds(const RECT& r);

  void Show();
  void Close();
  bool CloseQuery();
  // Frees the form once the messages now queued for it are handled.
  void Release();
  // Shows the form modally and returns its ModalResult; goes through the
  // modal responder (platform/ui/modal.h).
  virtual TModalResult ShowModal();
  // The modal loop: runs until ModalResult is set (used by ShowModal).
  TModalResult RunModalLoop();
  void SetFocus() override;
  void SetVisible(bool v) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWindow() override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& Action);
  std::string ClassName() const override { return "TForm"; }
  void PaintWindow(HDC DC) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void PlaceOnScreen();
  void ApplyLayered();
  void SelectNextControl(bool forward);

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = TPosition::poDesigned;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  bool alphaBlend_ = false;
  int alphaBlendValue_ = 255;
  TWindowState windowState_ = TWindowState::wsNormal;
  bool keyPreview_ = false;
  TMainMenu* menu_ = nullptr;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool active_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  bool placed_ = false;
  TWinControl* activeControl_ = nullptr;
  RECT normalBounds_{};
  bool haveNormalBounds_ = false;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// A panel of controls that a form embeds (a child window, no border).
class TFrame : public TCustomControl {
 public:
  explicit TFrame(TComponent* AOwner);

 protected:
  std::string ClassName() const override { return "TFrame"; }
};

}  // namespace morvane
