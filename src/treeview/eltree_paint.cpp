// Painting of the rows on screen: the row loop, each row's colours, the
// main (tree) column with its lines, button, check box and text, the other
// column cells, grid lines, borders and the focus rectangle.
#include <algorithm>
#include <functional>
#include <map>

#include "controls/eldrawtext.h"
#include "controls/eluxtheme.h"
#include "controls/elvclutils.h"
#include "platform/core/sysutils.h"
#include "platform/ui/gdi_handles.h"
#include "treeview/eltree_glyphs.h"
#include "treeview/eltree_styles.h"
#include "treeview/eltree_window.h"
#include "treeview/eltreeitem.h"

namespace morvane {
namespace {

class TRowPainter {
 public:
  TRowPainter(HDC DC, TElTreeWindow& W, TElTreeViewWindow& V)
      : dc_(DC), w_(W), t_(W.Tree()), v_(V), lp_(t_.LeftPosition()), indent_(t_.ItemIndent()) {
    GetClipBox(dc_, &clip_);
    clientW_ = V.Width();
    clientH_ = V.Height();
    selShown_ = V.HasFocus() || !W.HideSelection();
    alpha_ = W.HighlightAlphaLevel();
    canvas_.SetHandle(dc_);
  }
  ~TRowPainter() {
    if (buttonTheme_) CloseThemeData(buttonTheme_);
    canvas_.SetHandle(nullptr);
    // The fonts (members) go after the DC has its own font back.
    SelectObject(dc_, oldFont_);
  }
  void PaintAll();

 private:
  struct TRow {
    TElTreeItem* item;
    RECT r;  // client coordinates, left/right already shifted by LeftPosition
    int number;
    bool border;
  };
  COLORREF C(TColor c) const { return ColorToRGB(c); }
  void Fill(const RECT& r, COLORREF c) {
    SetBkColor(dc_, c);
    ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  }
  void Line(int x1, int y1, int x2, int y2, COLORREF c) {
    TPenHandle p(CreatePen(PS_SOLID, 1, c));
    TSelectObject pen(dc_, p.Get());
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
  }
  // Tree-line segments: solid, or one-pixel dots where x + y is even so that
  // they line up across rows and levels.
  void TreeSeg(int x1, int y1, int x2, int y2) {
    if (mirrored_) {
      x1 = mirrorCell_ - 1 - x1;
      x2 = mirrorCell_ - 1 - x2;
    }
    COLORREF c = C(w_.LinesColor());
    if (w_.LinesStyle() != TPenStyle::psDot) {
      Line(x1, y1, x2, y2, c);
      return;
    }
    if (x1 == x2) {
      for (int y = std::min(y1, y2); y < std::max(y1, y2); ++y)
        if (((x1 + y) & 1) == 0) SetPixelV(dc_, x1, y, c);
    } else {
      // A mirrored segment runs right to left: its end pixel is left out
      // on the other side.
      const int a = x1 < x2 ? x1 : x2 + 1, b = x1 < x2 ? x2 : x1 + 1;
      for (int x = a; x < b; ++x)
        if (((x + y1) & 1) == 0) SetPixelV(dc_, x, y1, c);
    }
  }
  HFONT Font(unsigned styles);
  // The font a cell style of its own names (the tree's face when empty).
  HFONT StyleFont(const TElCellStyle& st);
  // The style a cell is drawn with; null without cell styles.
  TElCellStyle* CellStyle(TElTreeItem* item, TElHeaderSection* section, int n);
  void DrawPicture(TBitmap* pic, const RECT& cell, bool centred);
  unsigned ItemStyles(TElTreeItem* item) const;
  bool SelPainted(const TRow& row) const { return row.item->Selected() && !t_.BarStyle() && !row.border; }
  TColor SelColor() const { return selShown_ ? w_.FocusedSelectColor() : w_.HideSelectColor(); }
  TColor SelTextColor() const { return selShown_ ? w_.FocusedSelectTextColor() : w_.HideSelectTextColor(); }
  bool VLinePixel(const TRow& row) const {
    return t_.VerticalLines() && !row.border && (!t_.BarStyle() || w_.BarStyleVerticalLines());
  }
  int SectionsWidth() { return t_.Header().SectionsWidth(); }

  void PaintRow(const TRow& row);
  void PaintMainCell(const TRow& row, TElHeaderSection* section);
  void PaintColumnCell(const TRow& row, TElHeaderSection* section, int n);
  void PaintLines(const TRow& row, int slot0, const RECT& cell);
  void PaintButton(const TRow& row, int left, const RECT& cell, bool hasChildren);
  void PaintCheckBox(const TRow& row, int& left, const RECT& cell);
  void PaintImages(const TRow& row, int& left, const RECT& cell);
  void DrawImage(TCustomImageList* List, int Index, int Overlay, int Left, const TRow& row);
  // The left edge of a box of Width that starts at Left in the main cell's
  // left-to-right layout: mirrored in the cell for a right-aligned tree.
  int BoxX(int Left, int Width) const { return mirrored_ ? mirrorCell_ - Left - Width : Left; }
  bool OwnerDrawn(const TElFString& text, TElHeaderSection* section) const;

  HDC dc_;
  TElTreeWindow& w_;
  TElTree& t_;
  TElTreeViewWindow& v_;
  TCanvas canvas_;
  RECT clip_{};
  int lp_, indent_;
  int clientW_ = 0, clientH_ = 0;
  bool selShown_ = true;
  int alpha_ = 255;
  std::map<unsigned, TFontHandle> fonts_;
  std::map<std::string, TFontHandle> styleFonts_;
  HGDIOBJ oldFont_ = nullptr;
  // While a right-aligned main cell is painted: it is laid out left to
  // right and every box is mirrored about the cell's middle (left + right).
  bool mirrored_ = false;
  int mirrorCell_ = 0;
  HTHEME buttonTheme_ = nullptr;
  bool buttonThemeAsked_ = false;
  // Working row state.
  TColor rowBk_ = clWindow, rowText_ = clWindowText;
  bool rowColorSet_ = false, rowOwnColor_ = false;
};

HFONT TRowPainter::Font(unsigned styles) {
  auto it = fonts_.find(styles);
  if (it != fonts_.end()) return it->second.Get();
  LOGFONTW lf{};
  lf.lfHeight = w_.Font()->Height();
  lf.lfWeight = styles & efsBold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (styles & efsItalic) != 0;
  lf.lfUnderline = (styles & efsUnderline) != 0;
  lf.lfStrikeOut = (styles & efsStrikeOut) != 0;
  lf.lfCharSet = static_cast<BYTE>(w_.Font()->Charset());
  std::wstring face = AnsiToWide(w_.Font()->Name());
  face.copy(lf.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
  HFONT f = CreateFontIndirectW(&lf);
  fonts_[styles].Reset(f);
  return f;
}

HFONT TRowPainter::StyleFont(const TElCellStyle& st) {
  const std::string name = st.FontName.empty() ? w_.Font()->Name() : st.FontName;
  const std::string key = name + '|' + std::to_string(st.FontSize) + '|' + std::to_string(st.FontStyles);
  auto it = styleFonts_.find(key);
  if (it != styleFonts_.end()) return it->second.Get();
  LOGFONTW lf{};
  lf.lfHeight = st.FontSize > 0 ? -MulDiv(st.FontSize, 96, 72) : w_.Font()->Height();
  lf.lfWeight = st.FontStyles & fsBold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (st.FontStyles & fsItalic) != 0;
  lf.lfUnderline = (st.FontStyles & fsUnderline) != 0;
  lf.lfStrikeOut = (st.FontStyles & fsStrikeOut) != 0;
  lf.lfCharSet = static_cast<BYTE>(w_.Font()->Charset());
  std::wstring face = AnsiToWide(name);
  face.copy(lf.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
  HFONT f = CreateFontIndirectW(&lf);
  styleFonts_[key].Reset(f);
  return f;
}

TElCellStyle* TRowPainter::CellStyle(TElTreeItem* item, TElHeaderSection* section, int n) {
  if (!item->Flag(tifUseStyles)) return nullptr;
  // A virtual tree's one shared style is filled by the application for
  // every cell it draws.
  if (t_.VirtualityLevel() != vlNone) return t_.VirtualStyle(item, section ? n : -1);
  if (section && n != t_.MainTreeColumn()) {
    const int k = n > t_.MainTreeColumn() ? n - 1 : n;
    if (TElCellStyle* st = item->Style(k); st && !section->UseMainStyle()) return st;
  }
  return item->MainStyle();
}

void TRowPainter::DrawPicture(TBitmap* pic, const RECT& cell, bool centred) {
  const int pw = pic->Width(), ph = pic->Height();
  const int x = centred ? (cell.left + cell.right) / 2 - pw / 2 : cell.left;
  const int y = cell.top + (cell.bottom - cell.top + 1) / 2 - ph / 2;
  const int wdt = std::min<int>(pw, cell.right - x);
  if (wdt <= 0) return;
  if (pic->Transparent()) {
    DrawTransparentBitmapEx(dc_, pic, x, y, RECT{0, 0, wdt, ph}, pic->TransparentColor());
    return;
  }
  TMemoryDC mem(dc_);
  TSelectObject picture(mem.Get(), pic->Handle());
  BitBlt(dc_, x, y, wdt, ph, mem.Get(), 0, 0, SRCCOPY);
}

unsigned TRowPainter::ItemStyles(TElTreeItem* item) const {
  if (item->Flag(tifParentStyle)) {
    TFontStyles fs = w_.Font()->Style();
    unsigned s = 0;
    if (fs & fsBold) s |= efsBold;
    if (fs & fsItalic) s |= efsItalic;
    if (fs & fsUnderline) s |= efsUnderline;
    if (fs & fsStrikeOut) s |= efsStrikeOut;
    return s;
  }
  unsigned s = 0;
  if (item->GetState(stsBold)) s |= efsBold;
  if (item->GetState(stsItalic)) s |= efsItalic;
  if (item->GetState(stsUnderlined)) s |= efsUnderline;
  if (item->GetState(stsStrikeOut)) s |= efsStrikeOut;
  return s;
}

bool TRowPainter::OwnerDrawn(const TElFString& text, TElHeaderSection* section) const {
  if (t_.OwnerDrawByColumn) return section && section->Style() == ElhsOwnerDraw;
  return text == t_.OwnerDrawMask;
}

void TRowPainter::PaintAll() {
  TElList& rows = t_.View().VisibleRows();
  TElHeaderSections& secs = t_.HeaderSections();
  if (t_.ShowColumns() && secs.Count() > 0 && t_.MainTreeColumn() >= secs.Count()) t_.SetMainTreeColumn(0);
  oldFont_ = SelectObject(dc_, Font(0));
  SetBkMode(dc_, TRANSPARENT);
  const int lh = t_.LineHeight();
  const int sw = t_.ShowColumns() ? SectionsWidth() : 0;
  const int longest = t_.ShowColumns() ? 0 : std::max(t_.TreePartWidth(), clientW_ + lp_);
  int y = 0;
  for (int i = 0; i < rows.Count(); ++i, y += lh) {
    auto* item = static_cast<TElTreeItem*>(rows.Get(i));
    TRow row{item, {0, y, 0, y + lh}, i + t_.TopIndex(), item->RowBorderStyle != 0};
    if (t_.HorizontalLines() && !t_.BarStyle() && !row.border) --row.r.bottom;
    RECT test{0, row.r.top, clientW_, row.r.bottom}, dummy{};
    if (!IntersectRect(&dummy, &test, &clip_)) continue;
    w_.DoItemPreDraw(item);
    row.r.left = -lp_;
    row.r.right = (t_.ShowColumns() ? sw : longest) - lp_;
    rowText_ = w_.TextColor();
    const bool framed = t_.BarStyle() || row.border;
    if (framed) InflateRect(&row.r, -1, -1);
    PaintRow(row);
    if (framed) {
      RECT e = row.r;
      InflateRect(&e, 1, 1);
      if (t_.ShowColumns()) e.right = sw - lp_;
      switch (item->RowBorderStyle) {
        case 0: DrawEdge(dc_, &e, item->Selected() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT); break;
        case 1: DrawEdge(dc_, &e, BDR_RAISEDINNER, BF_RECT); break;
        case 2: DrawEdge(dc_, &e, BDR_SUNKENOUTER, BF_RECT | BF_FLAT); break;
        case 3: DrawEdge(dc_, &e, BDR_SUNKENOUTER, BF_RECT); break;
        default: {
          TBrushHandle b(CreateSolidBrush(C(item->BorderSpaceColor)));
          FrameRect(dc_, &e, b.Get());
        }
      }
    }
  }
  const int rowsBottom = rows.Count() * lh;
  if (w_.SizeMoving()) {
    RECT below{0, std::max<int>(clip_.top, rowsBottom), clientW_, clientH_};
    if (below.top < below.bottom) Fill(below, C(w_.BkColor()));
    RECT right{t_.ShowColumns() ? sw - lp_ : 0, 0, clientW_, clientH_};
    if (t_.ShowColumns() && right.left < right.right) Fill(right, C(w_.BkColor()));
  }
  if (t_.HorizontalLines() && !t_.BarStyle()) {
    const COLORREF lc = C(w_.HorzDivLinesColor());
    int ly = lh - 1;
    for (int i = 0; i < rows.Count() && ly < clientH_; ++i, ly += lh) {
      auto* item = static_cast<TElTreeItem*>(rows.Get(i));
      if (!item->Flag(tifDrawHLine) || ly < clip_.top || ly >= clip_.bottom) continue;
      const bool ownBk = !item->Flag(tifParentColors) && item->Flag(tifUseBkColor);
      COLORREF c = ownBk && C(item->BkColor) == lc ? C(InvertColor(item->BkColor)) : lc;
      Line(0, ly, t_.ShowColumns() ? sw - lp_ : clientW_, ly, c);
    }
  }
  if (t_.VerticalLines() && t_.ShowColumns() && (!t_.BarStyle() || w_.BarStyleVerticalLines()) &&
      w_.VerticalLinesLong()) {
    for (int i = 0; i < secs.Count(); ++i) {
      TElHeaderSection* s = secs.GetSection(i);
      if (!s->Visible() || s->Width() <= 0) continue;
      const int x = s->Right() - lp_;
      Line(x - 1, rowsBottom, x - 1, clientH_, C(w_.VertDivLinesColor()));
    }
  }
}

void TRowPainter::PaintRow(const TRow& row) {
  TElTreeItem* item = row.item;
  rowColorSet_ = rowOwnColor_ = false;
  rowBk_ = w_.BkColor();
  if (!item->Flag(tifParentColors) && item->Flag(tifUseBkColor)) {
    rowBk_ = item->RowBkColor();
    rowColorSet_ = rowOwnColor_ = true;
  }
  if (SelPainted(row) && t_.RowSelect()) {
    if (alpha_ == 255) {
      rowBk_ = SelColor();
      rowText_ = selShown_ ? clHighlightText : w_.HideSelectTextColor();
      rowColorSet_ = true;
    }
  } else if (w_.StripedItems()) {
    // The very first row of the tree is even, whatever is scrolled.
    rowBk_ = row.number % 2 == 0 ? w_.StripedEvenColor() : w_.StripedOddColor();
    rowColorSet_ = true;
  }
  const bool dropRect = t_.RowSelect() && item == t_.DropTarget() && alpha_ == 255 &&
                        (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect ||
                         w_.DragTrgDrawMode() == TDragTargetDraw::SelColorRect);
  if (dropRect) {
    if (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect) {
      rowBk_ = w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor();
      rowText_ = clBtnText;
    } else {
      rowBk_ = clHighlight;
      rowText_ = clHighlightText;
    }
    rowColorSet_ = true;
  }

  TElHeaderSections& secs = t_.HeaderSections();
  if (t_.ShowColumns()) {
    for (int n = 0; n < secs.Count(); ++n) {
      TElHeaderSection* s = secs.GetSection(n);
      if (!s || !s->Visible()) continue;
      if (n == t_.MainTreeColumn())
        PaintMainCell(row, s);
      else
        PaintColumnCell(row, s, n);
    }
  } else {
    PaintMainCell(row, nullptr);
  }
  const int sw = t_.ShowColumns() ? SectionsWidth() : 0;
  const RECT tr{item->TextRect.Left - lp_, row.r.top, item->TextRect.Right - lp_, row.r.bottom};

  if (item->Flag(tifStrikedOutLine)) {
    TColor c = item->StrikeLineColor;
    if (SelPainted(row) && t_.RowSelect()) c = SelTextColor();
    const int y = (row.r.top + row.r.bottom) / 2 + 1;
    Line(tr.left - 2, y, t_.ShowColumns() ? sw - lp_ : tr.right, y, C(c));
  }

  RECT f = tr, m{};
  const int sc = t_.SelectColumn();
  if (!t_.RowSelect() && t_.ShowColumns() && sc >= 0 && sc < secs.Count()) {
    TElHeaderSection* s = secs.GetSection(sc);
    f = {s->Left() - lp_, row.r.top, s->Left() + s->Width() - (t_.VerticalLines() ? 1 : 0) - lp_, row.r.bottom};
  }
  m = f;
  ++m.bottom;
  if (t_.RowSelect()) {
    const int framed = (t_.BarStyle() || row.border) ? 1 : 0;
    m.left = f.left = row.r.left;
    if (t_.ShowColumns()) {
      m.right = clientW_ - framed;
      f.right = sw - lp_ - (VLinePixel(row) ? 1 : 0) - framed;
    } else {
      m.right = row.r.right + 1;
      f.right = row.r.right;
    }
  }
  bool drawFocus = v_.HasFocus() || !w_.HideFocusRect();
  w_.DoItemPostDraw(&canvas_, item, f, drawFocus);
  if (alpha_ < 255 && SelPainted(row)) AlphaFillRect(&canvas_, f, SelColor(), alpha_);
  if (alpha_ < 255 && item == t_.DropTarget()) {
    if (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect)
      AlphaFillRect(&canvas_, f, w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor(), alpha_ / 2);
    else if (w_.DragTrgDrawMode() == TDragTargetDraw::SelColorRect)
      AlphaFillRect(&canvas_, f, clHighlight, alpha_ / 2);
  }
  if (item->Focused() && drawFocus && w_.DrawFocusRect()) {
    SetBkColor(dc_, C(w_.BkColor()));
    SetTextColor(dc_, C(w_.TextColor()));
    ::DrawFocusRect(dc_, &f);
  }
  if (item == t_.DropTarget()) {
    const TColor ad = w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor();
    auto tickLine = [&](int y, int dir, TColor c) {
      const COLORREF cc = C(c);
      Line(m.left, y, m.right, y, cc);
      Line(m.left, y + 3 * dir, m.left, y, cc);
      Line(m.right - 1, y + 3 * dir, m.right - 1, y, cc);
      Line(m.left + 1, y + dir, m.left + 1, y, cc);
      Line(m.right - 2, y + dir, m.right - 2, y, cc);
    };
    switch (w_.DragTrgDrawMode()) {
      case TDragTargetDraw::ColorFrame: {
        TBrushHandle b(CreateSolidBrush(C(ad)));
        FrameRect(dc_, &m, b.Get());
        break;
      }
      case TDragTargetDraw::dtdUpColorLine: tickLine(m.top, 1, ad); break;
      case TDragTargetDraw::dtdDownColorLine: tickLine(m.bottom - 1, -1, ad); break;
      case TDragTargetDraw::dtdUpSelColorLine: tickLine(m.top, 1, clHighlight); break;
      case TDragTargetDraw::dtdDownSelColorLine: tickLine(m.bottom - 1, -1, clHighlight); break;
      default: break;
    }
  }
}

void TRowPainter::PaintMainCell(const TRow& row, TElHeaderSection* section) {
  TElTreeItem* item = row.item;
  RECT cell = row.r;
  if (section) {
    cell.left = section->Left() - lp_;
    cell.right = section->Right() - lp_ - (VLinePixel(row) ? 1 : 0);
  }
  TColor brush = rowBk_;
  bool paintBg = rowColorSet_;
  TElCellStyle* style = CellStyle(item, section, t_.MainTreeColumn());
  if (style && !rowColorSet_ && !style->OwnerProps) {
    brush = style->CellBkColor;
    paintBg = style->UseBkColor;
  }
  const bool selCell = t_.RowSelect() || (t_.SelectColumn() == t_.MainTreeColumn() && t_.ShowColumns());
  if (SelPainted(row) && alpha_ == 255 && selCell) {
    brush = SelColor();
    paintBg = true;
  }
  if (item == t_.DropTarget() && alpha_ == 255 && selCell) {
    if (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect) {
      brush = w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor();
      paintBg = true;
    } else if (w_.DragTrgDrawMode() == TDragTargetDraw::SelColorRect) {
      brush = clHighlight;
      paintBg = true;
    }
  }
  if (w_.SizeMoving())
    Fill(cell, C(paintBg ? brush : w_.BkColor()));
  else if (paintBg)
    Fill(cell, C(brush));

  // The parts are laid out from the left edge; a right-aligned tree mirrors
  // every box about the cell's middle, so that its tree grows from the
  // right edge leftwards, as the hit test reads it.
  mirrored_ = t_.RightAlignedTree();
  mirrorCell_ = cell.left + cell.right;
  struct TUnmirror {
    bool& on;
    ~TUnmirror() { on = false; }
  } unmirror{mirrored_};
  // Nothing of the main cell reaches into the next column.
  struct TRestoreDC {
    HDC dc;
    int saved;
    ~TRestoreDC() { RestoreDC(dc, saved); }
  } restoreDC{dc_, SaveDC(dc_)};
  IntersectClipRect(dc_, cell.left, clip_.top, cell.right, clip_.bottom);

  const int level = item->Level();
  int left = cell.left + item->Indent;
  left += (t_.ShowRoot() && t_.ShowLines()) || (t_.ShowButtons() && t_.ShowRootButtons()) ? indent_ : indent_ / 5;
  // Level k's slot starts at slot0 + k * indent; the item's own slot holds
  // its elbow and its button.
  const int slot0 = left - indent_;
  if (t_.ShowLines() && !item->Flag(tifSuppressLines)) PaintLines(row, slot0, cell);
  left = slot0 + level * indent_;
  TElTreeItem* top = item->TopLevelAncestor();
  if (top && top->Flag(tifSuppressButtons) && t_.ShowRootButtons()) left -= indent_;

  const bool hasChildren = item->HasVisibleChildren() || item->Flag(tifForceButtons);
  const bool suppressed = item->Flag(tifSuppressButtons) && (level > 0 || t_.ShowRootButtons());
  if (t_.ShowButtons() && !suppressed && (level > 0 || t_.ShowRootButtons()) && (hasChildren || t_.ShowLeafButton()))
    PaintButton(row, left, cell, hasChildren);
  left += indent_;
  if (t_.ShowCheckboxes()) PaintCheckBox(row, left, cell);
  item->SetDrawnFlag(tifImageDrawn, false);
  item->SetDrawnFlag(tifImage2Drawn, false);
  if (t_.ShowImages()) PaintImages(row, left, cell);
  // What is left of the cell, in client coordinates.
  auto rest = [&] {
    return mirrored_ ? RECT{cell.left, cell.top, mirrorCell_ - left, cell.bottom}
                     : RECT{left, cell.top, cell.right, cell.bottom};
  };

  const TElFString text = t_.VirtualityLevel() != vlNone ? t_.VirtualText(item, t_.MainTreeColumn()) : item->Text();
  const bool bare = !t_.ShowButtons() && !t_.ShowLines() && !t_.ShowImages() && !t_.ShowCheckboxes();
  if ((OwnerDrawn(text, t_.HeaderSections().Count() ? section : nullptr) &&
       (t_.OwnerDrawByColumn ? t_.HeaderSections().Count() > 0 : true)) ||
      (style && style->Style == ElhsOwnerDraw)) {
    w_.DoItemDraw(item, &canvas_, rest(), t_.MainTreeColumn());
    left += indent_ / 3;
    RECT r = rest();
    if (bare && mirrored_)
      r.right += indent_ / 3;
    else if (bare)
      r.left -= indent_ / 3;
    item->TextRect = {r.left + lp_, cell.top, r.right + lp_, cell.bottom};
    return;
  }
  left += indent_ / 3;
  if (style && style->Style == ElhsPictureOnly && style->Picture && !style->Picture->Empty()) {
    const RECT r = rest();
    DrawPicture(style->Picture, r, mirrored_);
    item->TextRect = {r.left + lp_, cell.top, r.right + lp_, cell.bottom};
    return;
  }

  TColor font = rowText_;
  bool opaque = true;
  unsigned styles = ItemStyles(item);
  HFONT ownFont = nullptr;
  UINT styleFlags = 0;
  if (style) {
    if (rowColorSet_ || style->OwnerProps) {
      font = rowText_;
      brush = rowBk_;
      paintBg = false;
    } else {
      brush = style->TextBkColor;
      font = style->TextColor;
      opaque = style->UseBkColor;
      paintBg = style->UseBkColor;
      ownFont = StyleFont(*style);
      styleFlags = style->TextFlags;
    }
  } else if (!item->Flag(tifParentColors)) {
    font = item->Color;
    if (item->Flag(tifUseBkColor))
      brush = item->BkColor;
    else
      opaque = false;
    paintBg = !rowColorSet_ || rowOwnColor_;
  } else {
    brush = rowBk_;
    paintBg = false;  // the cell already has the row's colour
  }
  if (t_.Tracking && item == t_.HotTrackItem() && w_.UnderlineTracked()) styles |= efsUnderline;
  const int sc = t_.SelectColumn();
  const bool selText =
      SelPainted(row) && (sc == -1 || sc == t_.MainTreeColumn() || t_.RowSelect() || !t_.ShowColumns());
  if (selText) {
    font = SelTextColor();
    if (alpha_ == 255) {
      brush = SelColor();
      opaque = true;
      paintBg = true;
    }
  } else if (t_.Tracking && item == t_.HotTrackItem()) {
    font = w_.TrackColor();
  }
  if (item == t_.DropTarget() && selText && alpha_ == 255) {
    if (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect) {
      brush = w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor();
      font = clBtnText;
    } else if (w_.DragTrgDrawMode() == TDragTargetDraw::SelColorRect) {
      brush = clHighlight;
      font = clHighlightText;
    }
  }
  UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (t_.RightAlignedTree()) flags |= DT_RIGHT;
  if (t_.RightAlignedText) flags |= DT_RTLREADING;
  if (ownFont) flags = (styleFlags | DT_SINGLELINE) & ~static_cast<UINT>(DT_CALCRECT);
  SelectObject(dc_, ownFont ? ownFont : Font(styles));
  RECT calc{0, 0, 0, 0};
  ElDrawTextW(dc_, text, calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int tw = calc.right - calc.left, th = calc.bottom - calc.top;
  // A right-aligned tree's text box grows leftwards from what is left.
  const RECT remaining = rest();
  RECT box = mirrored_ ? RECT{std::max<int>(remaining.left, remaining.right - tw - 2), cell.top, remaining.right + 2,
                              cell.bottom}
                       : RECT{left - 1, cell.top, std::min(left + tw + 3, static_cast<int>(cell.right)), cell.bottom};
  if (box.right > box.left) {
    const int rh = cell.bottom - cell.top;
    const int h = std::min(th, rh);
    const int wdt = std::min<int>(box.right - box.left, tw);
    RECT r{box.left, cell.top + (rh - h) / 2, box.left + wdt, 0};
    if (t_.RightAlignedText) r = {box.right - wdt, r.top, box.right, 0};
    r.bottom = r.top + h;
    if (paintBg && opaque) Fill(r, C(brush));
    SetTextColor(dc_, C(font));
    SetBkMode(dc_, TRANSPARENT);
    RECT d = r;
    OffsetRect(&d, mirrored_ ? -1 : 1, 0);
    ElDrawTextW(dc_, text, d, flags | DT_VCENTER | DT_NOPREFIX | DT_EXTERNALLEADING);
    const int ext = bare ? indent_ / 3 : 0;
    item->TextRect = {r.left + lp_ - 1 - (mirrored_ ? 0 : ext), r.top, r.right + lp_ + 1 + (mirrored_ ? ext : 0),
                      r.bottom};
  } else {
    const int at = (mirrored_ ? box.right : box.left) - 1 + lp_;
    item->TextRect = {at, cell.top, at, cell.top};
  }
  SelectObject(dc_, Font(0));
}

void TRowPainter::PaintLines(const TRow& row, int slot0, const RECT& cell) {
  TElTreeItem* item = row.item;
  const int top = row.r.top, bottom = row.r.bottom + 1;  // one pixel lower while lines are drawn
  const int mid = top + (bottom - top + 1) / 2;
  const int half = indent_ / 2;
  auto laterVisible = [&](TElTreeItem* x) {
    for (TElTreeItem* s = x->NextSibling(); s; s = s->NextSibling())
      if (!t_.FilteredVisibility() || !s->Hidden()) return s;
    return static_cast<TElTreeItem*>(nullptr);
  };
  auto earlierVisible = [&](TElTreeItem* x) {
    for (TElTreeItem* s = x->PrevSibling(); s; s = s->PrevSibling())
      if (!t_.FilteredVisibility() || !s->Hidden()) return s;
    return static_cast<TElTreeItem*>(nullptr);
  };
  auto laterNotSuppressing = [&](TElTreeItem* x) {
    for (TElTreeItem* s = laterVisible(x); s; s = laterVisible(s))
      if (!s->Flag(tifSuppressLines)) return true;
    return false;
  };
  auto inside = [&](int x) { return x >= cell.left && x < cell.right; };
  // The continuation lines of the ancestors that have later siblings.
  const int level = item->Level();
  TElTreeItem* a = item->Parent();
  for (int k = level - 1; a && k >= 0; --k, a = a->Parent()) {
    if (k == 0 && !t_.ShowRoot()) break;
    const int x = slot0 + k * indent_ + half;
    if (inside(x) && laterVisible(a) && laterNotSuppressing(a)) TreeSeg(x, top, x, bottom);
  }
  if (level == 0 && !t_.ShowRoot()) return;
  const int x = slot0 + level * indent_ + half;
  if (!inside(x)) return;
  const bool suppress = item->Flag(tifSuppressLines);
  if (level > 0 || earlierVisible(item)) {
    if (!suppress || laterNotSuppressing(item)) TreeSeg(x, top, x, mid);
  }
  if (!suppress) TreeSeg(x, mid, std::min<int>(slot0 + (level + 1) * indent_, cell.right), mid);
  if (laterVisible(item) && !suppress && laterNotSuppressing(item)) TreeSeg(x, mid, x, bottom);
}

void TRowPainter::PaintButton(const TRow& row, int left, const RECT& cell, bool hasChildren) {
  TElTreeItem* item = row.item;
  const int h = row.r.bottom - row.r.top;
  if (left >= cell.right) return;
  // The main cell's clip cuts every glyph at the cell's edge.
  if (w_.IsThemeApplied()) {
    SIZE sz{9, 9};
    const int state = item->Expanded() ? 2 : 1;
    GetThemePartSize(w_.Theme(), dc_, 2, state, nullptr, 1 /* TS_TRUE */, &sz);
    RECT r{BoxX(left + (indent_ - (sz.cx + 1)) / 2, sz.cx), row.r.top + (h - (sz.cy + 1)) / 2, 0, 0};
    r.right = r.left + sz.cx;
    r.bottom = r.top + sz.cy;
    DrawThemeBackground(w_.Theme(), dc_, 2, state, &r, &cell);
    return;
  }
  if (w_.CustomPlusMinus()) {
    TBitmap* plus = w_.PlusPicture();
    TBitmap* pic = !hasChildren ? w_.LeafPicture() : item->Expanded() ? w_.MinusPicture() : plus;
    if (pic->Empty()) return;
    const int x = BoxX(left + (indent_ - plus->Width()) / 2, pic->Width());
    const int y = row.r.top + (h - plus->Height()) / 2;
    const TColor key = pic->Canvas()->Pixels(0, pic->Height() - 1);
    if (!w_.PlusMinusTransparent()) {
      BitBlt(dc_, x, y, pic->Width(), pic->Height(), pic->Canvas()->Handle(), 0, 0, SRCCOPY);
      return;
    }
    DrawTransparentBitmapEx(dc_, pic, x, y, RECT{0, 0, pic->Width(), pic->Height()}, key);
    return;
  }
  HBITMAP g = !hasChildren ? ElTreeLeafGlyph() : item->Expanded() ? ElTreeMinusGlyph() : ElTreePlusGlyph();
  if (!g) return;
  BITMAP bm{};
  GetObjectW(g, sizeof bm, &bm);
  const int x = BoxX(left + (indent_ - 10) / 2, bm.bmWidth), y = row.r.top + (h - 10) / 2;
  COLORREF key = 0;
  {
    TMemoryDC mem(dc_);
    TSelectObject glyph(mem.Get(), g);
    if (!w_.PlusMinusTransparent()) {
      BitBlt(dc_, x, y, bm.bmWidth, bm.bmHeight, mem.Get(), 0, 0, SRCCOPY);
      return;
    }
    key = GetPixel(mem.Get(), 1, bm.bmHeight - 2);
  }
  DrawTransparentBitmapEx(dc_, g, x, y, RECT{0, 0, bm.bmWidth, bm.bmHeight}, static_cast<TColor>(key));
}

void TRowPainter::PaintCheckBox(const TRow& row, int& left, const RECT& cell) {
  TElTreeItem* item = row.item;
  if (!item->Flag(tifShowCheckBox)) return;
  const int h = row.r.bottom - row.r.top;
  const bool radio = item->CheckBoxType == 2;
  const uint8_t cs = item->CheckBoxState();
  const bool checked = cs == 1, grayed = cs == 2 && item->CheckBoxType == 1;
  const bool disabled = !item->Flag(tifCheckBoxEnabled) || !w_.Enabled();
  // Every kind is composed on a copy of the background, so that what the
  // box leaves open shows the cell's colour.
  auto compose = [&](int q, int bh, const std::function<void(HDC)>& draw) {
    if (q <= 0 || bh <= 0 || left >= cell.right) return;
    const int x = BoxX(left, q), top = row.r.top + (h - bh) / 2;
    TMemoryDC mem(dc_);
    TBitmapHandle bmp(CreateCompatibleBitmap(dc_, q, bh));
    TSelectObject box(mem.Get(), bmp.Get());
    BitBlt(mem.Get(), 0, 0, q, bh, dc_, x, top, SRCCOPY);
    draw(mem.Get());
    BitBlt(dc_, x, top, q, bh, mem.Get(), 0, 0, SRCCOPY);
  };
  if (t_.CustomCheckboxes) {
    TBitmap* strip = radio ? w_.RadioButtonGlyph() : w_.CheckBoxGlyph();
    const int q = strip && !strip->Empty() ? strip->Width() / 6 : 0;
    const int bh = strip ? strip->Height() : 0;
    const int n = (checked ? 2 : grayed ? 4 : 0) + (item->Flag(tifCheckBoxEnabled) ? 0 : 1);
    compose(q, bh, [&](HDC mem) {
      DrawTransparentBitmapEx(mem, strip, 0, 0, RECT{n * q, 0, n * q + q, bh}, strip->TransparentColor());
    });
    left += q;
    return;
  }
  if (w_.IsThemeApplied()) {
    if (!buttonThemeAsked_) {
      buttonThemeAsked_ = true;
      buttonTheme_ = OpenThemeData(v_.Handle(), L"BUTTON");
    }
    const int part = radio ? 2 : 3;
    int state = checked ? 5 : grayed ? 9 : 1;
    if (disabled) state += 3;
    // The slot keeps the tree's box size, which the rows are measured and
    // hit-tested with; the themed box is centred in it.
    const int q = t_.CheckBoxSize();
    SIZE sz{q, q};
    if (buttonTheme_) GetThemePartSize(buttonTheme_, dc_, part, state, nullptr, 1 /* TS_TRUE */, &sz);
    if (left < cell.right) {
      RECT r{BoxX(left + (q - sz.cx) / 2, sz.cx), row.r.top + (h - sz.cy) / 2, 0, 0};
      r.right = r.left + sz.cx;
      r.bottom = r.top + sz.cy;
      if (buttonTheme_)
        DrawThemeBackground(buttonTheme_, dc_, part, state, &r, &cell);
      else
        DrawThemeBackgroundByClass(L"BUTTON", dc_, part, state, &r, &cell);
    }
    left += q;
    return;
  }
  const int q = t_.CheckBoxSize();
  UINT state = radio ? DFCS_BUTTONRADIO : 0;
  if (checked) state |= DFCS_CHECKED;
  if (grayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
  if (disabled) state |= DFCS_INACTIVE;
  compose(q, q, [&](HDC mem) {
    RECT r{0, 0, q - 1, q - 1};
    DrawFrameControl(mem, &r, DFC_BUTTON, state);
  });
  left += q;
}

void TRowPainter::DrawImage(TCustomImageList* List, int Index, int Overlay, int Left, const TRow& row) {
  const int iw = List->Width(), ih = List->Height();
  if (iw <= 0 || ih <= 0) return;
  const int x = BoxX(Left, iw), top = row.r.top + (row.r.bottom - row.r.top - ih) / 2;
  TMemoryDC mem(dc_);
  TBitmapHandle bmp(CreateCompatibleBitmap(dc_, iw, ih));
  TSelectObject box(mem.Get(), bmp.Get());
  BitBlt(mem.Get(), 0, 0, iw, ih, dc_, x, top, SRCCOPY);
  TCanvas c;
  c.SetHandle(mem.Get());
  if (Overlay >= 0)
    List->DrawOverlay(&c, 0, 0, Index, Overlay);
  else
    List->Draw(&c, 0, 0, Index);
  c.SetHandle(nullptr);
  BitBlt(dc_, x, top, iw, ih, mem.Get(), 0, 0, SRCCOPY);
}

void TRowPainter::PaintImages(const TRow& row, int& left, const RECT& cell) {
  TElTreeItem* item = row.item;
  TCustomImageList* main = w_.Images();
  TCustomImageList* second = w_.Images2() ? w_.Images2() : main;
  const bool checkBox = t_.ShowCheckboxes() && item->Flag(tifShowCheckBox);
  const bool alt = item->Focused() || item->Selected() || item->Expanded();
  const int third = indent_ / 3;
  // With ChangeStateImage a selected row's images are drawn selected.
  auto drawOne = [&](TCustomImageList* list, int index, int overlay) {
    const TDrawingStyle old = list->DrawingStyle();
    if (t_.ChangeStateImage()) {
      if ((t_.RowSelect() && item->Selected()) || item->GetState(stsMarked))
        list->SetDrawingStyle(TDrawingStyle::dsSelected);
      else if (t_.RowSelect())
        list->SetDrawingStyle(item->Focused() ? TDrawingStyle::dsFocus : TDrawingStyle::dsNormal);
    }
    if (left < cell.right) DrawImage(list, index, overlay, left, row);
    list->SetDrawingStyle(old);
  };
  if (second) {
    int index = alt ? item->StImageIndex2 : item->ImageIndex2;
    if (index == -1 && t_.OnItemPicDraw2) t_.OnItemPicDraw2(t_.EventSender(), item, index);
    const bool valid = index >= 0 && index < second->Count();
    if (valid || t_.ShowEmptyImages2) {
      if (checkBox) left += third;
      if (valid) drawOne(second, index, item->OverlayIndex2);
      left += second->Width();
      item->SetDrawnFlag(tifImage2Drawn, true);
    }
  }
  if (main) {
    int index = alt ? item->StImageIndex : item->ImageIndex;
    if (index == -1 && t_.OnItemPicDraw) t_.OnItemPicDraw(t_.EventSender(), item, index);
    const bool valid = index >= 0 && index < main->Count();
    if (valid || t_.ShowEmptyImages) {
      if (item->Flag(tifImage2Drawn) || checkBox) left += third;
      if (valid) drawOne(main, index, item->OverlayIndex);
      left += main->Width();
      item->SetDrawnFlag(tifImageDrawn, true);
    }
  }
}

void TRowPainter::PaintColumnCell(const TRow& row, TElHeaderSection* section, int n) {
  TElTreeItem* item = row.item;
  TElFString text;
  if (t_.VirtualityLevel() != vlNone) {
    text = section->Password() ? TElFString(L"******") : t_.VirtualText(item, n);
  } else {
    text = t_.CellText(item, n);
    // Only a text that is there is hidden; a missing one stays empty.
    if (section->Password() && !text.empty()) text = L"******";
  }
  TColor brush = rowBk_, font = rowText_;
  bool paintBg = rowColorSet_;
  const bool selCell = n == t_.SelectColumn() || t_.RowSelect();
  TElCellStyle* style = CellStyle(item, section, n);
  const bool ownStyle = style && !style->OwnerProps;
  if (ownStyle && !rowColorSet_) {
    brush = style->CellBkColor;
    if (!(SelPainted(row) && selCell && alpha_ == 255) && style->UseBkColor) paintBg = true;
  }
  if (SelPainted(row) && selCell) {
    font = SelTextColor();
    if (alpha_ == 255) {
      brush = SelColor();
      paintBg = true;
    }
  }
  if (item == t_.DropTarget() && alpha_ == 255 && selCell) {
    if (w_.DragTrgDrawMode() == TDragTargetDraw::ColorRect) {
      brush = w_.DropAccepted() ? w_.DragRectAcceptColor() : w_.DragRectDenyColor();
      font = clBtnText;
      paintBg = true;
    } else if (w_.DragTrgDrawMode() == TDragTargetDraw::SelColorRect) {
      brush = clHighlight;
      font = clHighlightText;
      paintBg = true;
    }
  }
  RECT cell{section->Left() - lp_, row.r.top, section->Right() - lp_ - (VLinePixel(row) ? 1 : 0), row.r.bottom};
  if (w_.SizeMoving())
    Fill(cell, C(paintBg ? brush : w_.BkColor()));
  else if (paintBg)
    Fill(cell, C(brush));
  if (OwnerDrawn(text, section) || (style && style->Style == ElhsOwnerDraw)) {
    RECT r = cell;
    InflateRect(&r, -1, -1);
    w_.DoItemDraw(item, &canvas_, r, n);
  } else if (ownStyle && style->Control()) {
    // The control draws the whole cell but its border; a hidden one
    // leaves the cell as it was filled.
    TElCellControl* control = style->Control();
    if (control->Visible) {
      RECT r = cell;
      InflateRect(&r, -control->BorderWidth, -control->BorderWidth);
      control->Paint(&canvas_, r);
    }
  } else if (style && style->Style == ElhsPictureOnly && style->Picture && !style->Picture->Empty()) {
    Fill(cell, C(brush));
    DrawPicture(style->Picture, cell, true);
  } else if (!text.empty() && cell.right > cell.left) {
    UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    TElSAlignment al = section->Alignment();
    if (al == hsaCenter)
      flags |= DT_CENTER;
    else if ((al == hsaRight) != t_.RightAlignedText)
      flags |= DT_RIGHT;
    unsigned styles = ItemStyles(item);
    if (t_.Tracking && item == t_.HotTrackItem() && w_.UnderlineTracked() && w_.RowHotTrack()) styles |= efsUnderline;
    HFONT f = Font(styles);
    if (ownStyle) {
      flags = (style->TextFlags | DT_SINGLELINE) & ~static_cast<UINT>(DT_CALCRECT);
      if (!rowColorSet_ && !(SelPainted(row) && selCell)) {
        font = style->TextColor;
        if (style->UseBkColor) Fill(cell, C(style->TextBkColor));
      }
      f = StyleFont(*style);
    }
    SelectObject(dc_, f);
    RECT calc{0, 0, 0, 0};
    ElDrawTextW(dc_, text, calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int tw = calc.right - calc.left, th = calc.bottom - calc.top, wd = tw + 2;
    const int L = cell.left, R = cell.right;
    int l2, r2;
    if (flags & DT_CENTER) {
      const int width = std::min(R - L, wd + 3);
      l2 = (L + R) / 2 - width / 2;
      r2 = l2 + std::min(R - l2, wd + 3);
    } else if (flags & DT_RIGHT) {
      l2 = std::max(R - indent_ / 3 - wd, L);
      r2 = std::max(R - indent_ / 5, l2);
    } else {
      r2 = std::min(L + indent_ / 3 + wd, R);
      l2 = std::min(L + indent_ / 5, r2);
    }
    l2 = std::min(l2, R);
    r2 = std::max(r2, L);
    const int rh = row.r.bottom - row.r.top, h = std::min(th, rh);
    RECT r{l2, row.r.top + (rh - h) / 2 - 1, 0, 0};
    r.right = t_.RightAlignedText ? r2 : l2 + std::min(r2 - l2, tw);
    if (t_.RightAlignedText) r.left = r.right - std::min(r2 - l2, tw);
    r.bottom = r.top + h;
    SetTextColor(dc_, C(font));
    SetBkMode(dc_, TRANSPARENT);
    ElDrawTextW(dc_, text, r, flags | DT_VCENTER | DT_NOPREFIX | DT_EXTERNALLEADING);
    SelectObject(dc_, Font(0));
  }
  if (t_.VerticalLines() && (t_.BarStyle() ? w_.BarStyleVerticalLines() : (!row.border || w_.BarStyleVerticalLines()))) {
    const COLORREF lc = C(w_.VertDivLinesColor());
    const bool ownBk = !item->Flag(tifParentColors) && item->Flag(tifUseBkColor);
    COLORREF c = ownBk && C(item->BkColor) == lc ? C(InvertColor(item->BkColor)) : lc;
    const int x = section->Right() - lp_ - 1;
    Line(x, row.r.top, x, row.r.bottom + 1, c);
  }
}

}  // namespace

void TElTreeViewWindow::PaintRows(HDC DC) {
  painting_ = true;
  try {
    TRowPainter p(DC, *owner_, *this);
    p.PaintAll();
  } catch (...) {
    painting_ = false;
    throw;
  }
  painting_ = false;
}

}  // namespace morvane
