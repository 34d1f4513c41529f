// Window messages as the control layer passes them around: the message
// record, the comparable window-procedure method, and the layer's own
// notifications (CM_*), which sit in a private range above WM_APP.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/core/events.h"
#include "platform/win32.h"

namespace morvane {

class TObject;
class TControl;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// The window procedure as a comparable method: a chain that replaced a
// control's WindowProc can check whether it is still the one in place before
// it puts the old one back.
using TWndMethod = TDelegate<void(TMessage&)>;

// The layer's own notifications. The activation pair and the two application
// notices keep the numbers other components test for; the rest are ours.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = 0xB000;        // a form became the active one
constexpr UINT CM_DEACTIVATE = 0xB001;      // a form stopped being the active one
constexpr UINT CM_APPKEYDOWN = 0xB016;      // the application saw a key go down (hint windows hide)
constexpr UINT CM_APPSYSCOMMAND = 0xB017;   // the application saw a system command
constexpr UINT CM_ENABLEDCHANGED = 0xB020;
constexpr UINT CM_COLORCHANGED = 0xB021;
constexpr UINT CM_FONTCHANGED = 0xB022;
constexpr UINT CM_TEXTCHANGED = 0xB023;
constexpr UINT CM_CTL3DCHANGED = 0xB024;
constexpr UINT CM_SYSCOLORCHANGE = 0xB025;
constexpr UINT CM_MOUSEENTER = 0xB026;      // LParam: the control the mouse entered
constexpr UINT CM_MOUSELEAVE = 0xB027;      // LParam: the control the mouse left
constexpr UINT CM_HINTSHOW = 0xB028;        // LParam: THintInfo*; Result 0 shows the hint
constexpr UINT CM_DRAG = 0xB029;            // WParam: TDragMessage; LParam: TDragRec*
constexpr UINT CM_VISIBLECHANGED = 0xB02A;
constexpr UINT CM_PARENTFONTCHANGED = 0xB02B;
constexpr UINT CM_PARENTCOLORCHANGED = 0xB02C;
constexpr UINT CM_SHOWHINTCHANGED = 0xB02D;
constexpr UINT CM_CURSORCHANGED = 0xB02E;
constexpr UINT CM_CANCELMODE = 0xB02F;      // LParam: the control that keeps its mode
constexpr UINT CM_RELEASE = 0xB030;         // posted by TCustomForm::Release
constexpr UINT CM_DIALOGKEY = 0xB031;       // WParam: key; Result non-zero when used
constexpr UINT CM_FOCUSCHANGED = 0xB032;    // LParam: the control that got the focus
constexpr UINT CM_INVOKE = 0xB033;          // the application's wake-up for queued calls
constexpr UINT CM_SHOWINGCHANGED = 0xB034;  // the control (or a parent) became shown or hidden
// Messages a parent reflects back to the child window they came from
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, scroll messages).
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;

// What a control answers to CM_HINTSHOW: it may change the text, where the
// hint shows and the area in which the hint stays up; Result non-zero refuses.
struct THintInfo {
  TControl* HintControl = nullptr;
  POINT CursorPos{};       // client coordinates of HintControl
  RECT CursorRect{};       // client coordinates; the hint hides when the mouse leaves it
  POINT HintPos{};         // screen coordinates of the hint window
  int HintMaxWidth = 0;
  std::string HintStr;
  int ReshowTimeout = 0;
  int HideTimeout = 0;
};

// Drag-and-drop notifications carried by CM_DRAG.
enum class TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
class TDragObject;
struct TDragRec {
  POINT Pos{};             // screen coordinates
  TDragObject* Source = nullptr;
  void* Target = nullptr;
  bool Docking = false;
};

// Shift state of a mouse or key event.
enum TShiftFlag : uint32_t {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = uint32_t;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// From the key state the system keeps for the thread.
TShiftState KeysToShiftState(WPARAM keys);        // MK_* flags of a mouse message
TShiftState KeyDataToShiftState(LPARAM keyData);  // a key message's data (Alt from bit 29)

}  // namespace morvane
