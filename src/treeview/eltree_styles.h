// TElCellStyle: how one cell of an item is drawn (colours, text flags, font,
// picture, kind, an optional cell control) and which field type it edits
// as. An item that uses cell styles has a main style and one style per
// further column; a virtual tree keeps one shared style that it fills before
// each use.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/elheadersections.h"
#include "platform/core/components.h"
#include "platform/win32.h"

namespace morvane {

class TBitmap;
class TCanvas;
class TStream;
class TElTreeItem;
class TElCellStyle;

// The item stream's hooks for the application's own bytes.
using TItemSaveEvent = std::function<void(TObject* Sender, TStream& Stream, TElTreeItem* Item)>;
using TCellStyleSaveEvent =
    std::function<void(TObject* Sender, TStream& Stream, TElCellStyle* Style)>;
// Fills the shared style of a virtual tree for one cell.
using TVirtualStyleNeededEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                                    int SectionIndex, TElCellStyle* Style)>;

// A control that lives inside a cell. The style owns it; it knows its style.
class TElCellControl : public TObject {
 public:
  ~TElCellControl() override;
  TElCellStyle* OwnerStyle() const { return ownerStyle_; }
  bool Visible = true;
  // Pixels of the cell left around the control on every side.
  int BorderWidth = 0;
  // Draws the control into R (view coordinates) of the row being painted;
  // an invisible control is not asked.
  virtual void Paint(TCanvas* Canvas, const RECT& R) { (void)Canvas, (void)R; }
  // The view passes the mouse on to a visible control under it.
  virtual void MouseMove(unsigned Shift, int X, int Y) { (void)Shift, (void)X, (void)Y; }
  // Button is 0 left, 1 right, 2 middle; X from the cell's left edge, Y the
  // row's top. MouseDown answers whether the control took the click.
  virtual bool MouseDown(int Button, unsigned Shift, int X, int Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
    return false;
  }
  virtual void MouseUp(int Button, unsigned Shift, int X, int Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }
  virtual void DblClick(int Button, unsigned Shift, int X, int Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
  }

 private:
  friend class TElCellStyle;
  TElCellStyle* ownerStyle_ = nullptr;
};

// Text-drawing flags of a new style: single line, vertically centred, no
// prefix processing, end ellipsis.
inline constexpr uint32_t kDefaultStyleTextFlags = 0x8824;

class TElCellStyle {
 public:
  explicit TElCellStyle(TElTreeItem* Owner);
  ~TElCellStyle();
  TElCellStyle(const TElCellStyle&) = delete;
  TElCellStyle& operator=(const TElCellStyle&) = delete;

  // Copies everything but the owner item, the cell control and the leading
  // value; null does nothing.
  void Assign(const TElCellStyle* Source);
  TElTreeItem* OwnerItem() const { return owner_; }
  // Repaints the owner item's row.
  void Update();

  TElCellControl* Control() const { return control_; }
  // The previous control is freed (not in a virtual tree, whose shared
  // style only lends controls); the new one learns its style.
  void SetControl(TElCellControl* Control);

  uint32_t LeadingValue = 0;  // carried by the item stream only
  TColor CellBkColor = 0;
  TColor TextBkColor = 0;
  TColor TextColor = 0;
  uint32_t TextFlags = kDefaultStyleTextFlags;
  TBitmap* Picture = nullptr;  // not owned
  TElFieldType CellType = sftText;
  TElSectionStyle Style = ElhsText;
  bool OwnerProps = false;
  int FontSize = 0;
  uint8_t FontStyles = 0;
  std::string FontName;
  bool UseBkColor = false;

 private:
  friend class TElCellControl;
  // Whether a replaced control is this style's to free.
  bool OwnsControls() const;

  TElTreeItem* owner_;
  TElCellControl* control_ = nullptr;
};

}  // namespace morvane
