// The seams between the tree's model and the world around it. The model
// (items, sorting, selection, geometry) runs without a window: it reports to
// its view window through IElTreeViewPort, measures texts through
// IElTextMeasurer, reads its columns through IElTreeHeader and gets its timers
// from a factory. Each has a headless implementation here; the window, the
// header control and the window timers implement the same interfaces.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "treeview/eltreedefs.h"

namespace morvane {

// Font states a text is measured with (the item's state set maps onto them).
enum TElFontStyle : unsigned { efsBold = 1, efsItalic = 2, efsUnderline = 4, efsStrikeOut = 8 };

struct TElSize {
  int cx = 0, cy = 0;
};

// What the model asks of the view window.
class IElTreeViewPort {
 public:
  virtual ~IElTreeViewPort() = default;
  virtual bool HandleAllocated() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Client coordinates of the view.
  virtual void InvalidateRect(const TElRect& R) = 0;
  virtual void Invalidate() = 0;
  // Paint the invalid area now.
  virtual void Update() = 0;
  // The item is going away: drop every window-side reference to it (hint
  // window, in-place editor).
  virtual void ItemForgotten(TElTreeItem* Item) = 0;
  // A scroll bar's range, page and position changed.
  virtual void ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position,
                                bool Visible) = 0;
  // The pieces (header, view, scroll bars) must be placed again.
  virtual void PlaceChildren() = 0;
  // In-place editing as far as scrolling needs it.
  virtual bool EditorActive() const = 0;
  virtual void EndEdit(bool Accept) = 0;
  virtual void EndBarScrolling(TElScrollBarKind Kind) = 0;
  // Wheel support: the system setting and the mouse.
  virtual unsigned WheelScrollLines() const = 0;
  virtual void ScreenToClient(int& X, int& Y) const = 0;
  virtual void MouseMoveAt(int X, int Y) = 0;
  // Where the view lies in the tree's client area (below the header).
  virtual int ViewLeft() const { return 0; }
  virtual int ViewTop() const { return 0; }
};

// A view without a window that writes down what it was asked to do.
class THeadlessTreeView : public IElTreeViewPort {
 public:
  bool Handle = false;
  int Width = 200;
  int Height = 100;
  unsigned WheelLines = 3;
  int ScreenOffsetX = 0, ScreenOffsetY = 0;  // client origin on the screen
  bool Editing = false;
  std::wstring EditText;  // what a fake editor holds
  // One entry per call, e.g. "invalidate 0,17,200,35", "forget", "update".
  std::vector<std::string> Calls;
  int ForgottenCount = 0;
  TElTreeItem* LastForgotten = nullptr;
  struct TBar {
    int Max = 0, Page = 0, Position = 0;
    bool Visible = false;
  } Horz, Vert;
  int Placements = 0;
  int Left = 0, Top = 0;
  std::vector<std::pair<int, int>> MouseMoves;

  bool HandleAllocated() const override { return Handle; }
  int ClientWidth() const override { return Width; }
  int ClientHeight() const override { return Height; }
  void InvalidateRect(const TElRect& R) override;
  void Invalidate() override { Calls.push_back("invalidate all"); }
  void Update() override { Calls.push_back("update"); }
  void ItemForgotten(TElTreeItem* Item) override {
    ++ForgottenCount;
    LastForgotten = Item;
  }
  void ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position,
                        bool Visible) override;
  void PlaceChildren() override { ++Placements; }
  bool EditorActive() const override { return Editing; }
  void EndEdit(bool Accept) override;
  void EndBarScrolling(TElScrollBarKind) override { Calls.push_back("end bar scrolling"); }
  unsigned WheelScrollLines() const override { return WheelLines; }
  void ScreenToClient(int& X, int& Y) const override {
    X -= ScreenOffsetX;
    Y -= ScreenOffsetY;
  }
  void MouseMoveAt(int X, int Y) override { MouseMoves.emplace_back(X, Y); }
  int ViewLeft() const override { return Left; }
  int ViewTop() const override { return Top; }
};

// Text measuring in one line, no prefix processing.
class IElTextMeasurer {
 public:
  virtual ~IElTextMeasurer() = default;
  virtual TElSize MeasureText(std::wstring_view Text, unsigned FontStyles) = 0;
};

// Every character is CharWidth pixels wide (bold ones BoldExtra more).
class TFixedWidthMeasurer : public IElTextMeasurer {
 public:
  explicit TFixedWidthMeasurer(int CharWidth = 8, int TextHeight = 13, int BoldExtra = 0)
      : charWidth_(CharWidth), textHeight_(TextHeight), boldExtra_(BoldExtra) {}
  TElSize MeasureText(std::wstring_view Text, unsigned FontStyles) override;

 private:
  int charWidth_, textHeight_, boldExtra_;
};

class TMemoryDC;

// Measures with a font in a memory device context. Widths are sums of
// per-character advances read once per character and style, so measuring a
// whole column costs table look-ups, not one GDI call per cell.
class TGdiTextMeasurer : public IElTextMeasurer {
 public:
  // FaceName and Height as in a LOGFONT (negative Height: character height).
  TGdiTextMeasurer(const std::wstring& FaceName, int Height);
  ~TGdiTextMeasurer() override;
  TGdiTextMeasurer(const TGdiTextMeasurer&) = delete;
  TGdiTextMeasurer& operator=(const TGdiTextMeasurer&) = delete;
  TElSize MeasureText(std::wstring_view Text, unsigned FontStyles) override;

 private:
  struct TStyleCache;
  TStyleCache& Cache(unsigned FontStyles);
  std::wstring faceName_;
  int height_;
  std::unique_ptr<TMemoryDC> dc_;
  std::unique_ptr<TStyleCache> caches_[4];  // plain, bold, italic, bold italic
};

// A timer the tree starts and stops; the window layer supplies real ones.
class IElTreeTimer {
 public:
  virtual ~IElTreeTimer() = default;
  virtual void SetInterval(unsigned Milliseconds) = 0;
  virtual unsigned Interval() const = 0;
  virtual void SetEnabled(bool Value) = 0;
  virtual bool Enabled() const = 0;
  std::function<void()> OnTimer;
};
using TElTreeTimerFactory = std::function<std::unique_ptr<IElTreeTimer>()>;

// A timer that ticks only when told to (Fire), for running without a window.
class TManualTreeTimer : public IElTreeTimer {
 public:
  void SetInterval(unsigned Milliseconds) override { interval_ = Milliseconds; }
  unsigned Interval() const override { return interval_; }
  void SetEnabled(bool Value) override { enabled_ = Value; }
  bool Enabled() const override { return enabled_; }
  // Runs the handler when the timer is enabled.
  void Fire() {
    if (enabled_ && OnTimer) OnTimer();
  }

 private:
  unsigned interval_ = 1000;
  bool enabled_ = false;
};

// The column header as the tree uses it.
class IElTreeHeader {
 public:
  virtual ~IElTreeHeader() = default;
  virtual TElHeaderSections& Sections() = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // The width the section's caption needs.
  virtual int MeasureSection(TElHeaderSection* Section) = 0;
  virtual void SetLeftPos(int Value) = 0;
  // Total width of the shown sections.
  virtual int SectionsWidth() = 0;
  // The sections are ordered from the right (a right-aligned tree).
  virtual void SetRightAlignedOrder(bool Value) { (void)Value; }
};

// A header without a window: its sections and the bracket calls it got.
class THeadlessTreeHeader : public IElTreeHeader, public IElHeaderSectionsOwner {
 public:
  THeadlessTreeHeader();
  ~THeadlessTreeHeader() override;
  TElHeaderSections& Sections() override { return *sections_; }
  void BeginUpdate() override { ++Begins; }
  void EndUpdate() override { ++Ends; }
  int MeasureSection(TElHeaderSection* Section) override;
  void SetLeftPos(int Value) override { LeftPos_ = Value; }
  int SectionsWidth() override;

  // IElHeaderSectionsOwner
  int LeftPos() const override { return LeftPos_; }

  int Begins = 0, Ends = 0;
  int LeftPos_ = 0;
  // Caption measuring: this many pixels per character plus a margin.
  int CaptionCharWidth = 8;

 private:
  std::unique_ptr<TElHeaderSections> sections_;
};

}  // namespace morvane
