// Painting of the column header: every visible section that meets the clip
// box, and the area right of the last one.
#include <algorithm>

#include "controls/eldrawtext.h"
#include "controls/elheader.h"
#include "controls/elvclutils.h"

namespace morvane {
namespace {

constexpr int HP_HEADERITEM = 1;

void Edge(HDC dc, RECT r, UINT edge, UINT flags) { ::DrawEdge(dc, &r, edge, flags); }

// The colour of a bitmap's pixel (column x, row y).
COLORREF BitmapPixel(HBITMAP bmp, int x, int y) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  COLORREF c = ::GetPixel(dc, x, y);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return c;
}

SIZE BitmapSize(HBITMAP bmp) {
  BITMAP bm{};
  ::GetObjectA(bmp, sizeof bm, &bm);
  return SIZE{bm.bmWidth, bm.bmHeight};
}

}  // namespace

void TCustomElHeader::Paint() {
  painting_ = true;
  struct TDone {
    bool& f;
    ~TDone() { f = false; }
  } done{painting_};
  TCanvas* c = Canvas();
  RECT clip = c->ClipRect();
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (!s->Visible()) continue;
    RECT r = SectionRect(s);
    ::OffsetRect(&r, -leftPos_, 0);
    RECT meet{};
    if (::IntersectRect(&meet, &r, &clip)) DrawSection(c, s, false, r);
  }
  PaintRest(c);
}

void TCustomElHeader::PaintRest(TCanvas* Canvas) {
  RECT client = ClientRect();
  RECT r{SectionsWidth() - leftPos_, 0, client.right, client.bottom};
  if (r.left >= r.right) return;
  HDC dc = Canvas->Handle();
  if (IsThemeApplied()) {
    DrawThemeBackground(Theme(), dc, 0, 0, &r, nullptr);
  } else {
    FillSolidRect(dc, r.left, r.top, r.bottom - r.top, r.right - r.left, Color());
    Edge(dc, r, BDR_RAISEDINNER, BF_RECT);
  }
}

void TCustomElHeader::DrawPicture(TCanvas* Canvas, int Index, RECT& R, int ClipRight) {
  if (!images_ || Index < 0 || Index >= images_->Count()) return;
  const int w = images_->Width(), h = images_->Height();
  const int y = (R.top + R.bottom + 1) / 2 - h / 2;
  const int visible = std::min<int>(w, ClipRight - R.left);
  if (visible > 0) {
    // Through a bitmap of the image's size, so that the image is clipped to
    // the room left in the section.
    TBitmap tmp(w, h);
    HDC dc = Canvas->Handle();
    ::BitBlt(tmp.Canvas()->Handle(), 0, 0, w, h, dc, R.left, y, SRCCOPY);
    images_->Draw(tmp.Canvas(), 0, 0, Index, Enabled());
    ::BitBlt(dc, R.left, y, visible, h, tmp.Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  R.left += w;
}

void TCustomElHeader::DrawSection(TCanvas* Canvas, TElHeaderSection* Section, bool Ghost, RECT R) {
  HDC dc = Canvas->Handle();
  TColor back = Section->ParentColor() ? Color() : Section->Color();
  if (Ghost) {
    const uint32_t hls = RGBtoHLS(back);
    int l = HLSLightness(hls);
    l = std::min(kHLSMax, l - l / 4);
    back = HLStoRGB(MakeHLS(HLSHue(hls), l, HLSSaturation(hls)));
  }
  const bool pressed = (Section == pressedSection_ && pressing_) || (Section == dragSection_ && !Ghost);
  const bool hot = Section == hotSection_ || (Section == dragSection_ && Ghost);
  const bool themed = IsThemeApplied();
  const int state = pressed ? 3 : hot ? 2 : 1;

  if (themed) {
    DrawThemeBackground(Theme(), dc, 0, 0, &R, nullptr);
    DrawThemeBackground(Theme(), dc, HP_HEADERITEM, state, &R, nullptr);
  } else {
    FillSolidRect(dc, R.left, R.top, R.bottom - R.top, R.right - R.left, back);
    if (pressed) {
      if (flat_) {
        Edge(dc, RECT{R.left, R.top, R.right - 1, R.bottom - 1}, BDR_SUNKENOUTER, BF_RECT);
      } else {
        Edge(dc, R, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
        Edge(dc, R, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
      }
      ::InflateRect(&R, -1, -1);
      ::OffsetRect(&R, 1, 1);
    } else if (flat_) {
      Edge(dc, R, BDR_RAISEDINNER, BF_RECT);
    } else {
      Edge(dc, R, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      RECT in{R.left, R.top, R.right - 1, R.bottom - 1};
      Edge(dc, in, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      in.left += 1;
      in.top += 1;
      Edge(dc, in, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
      R.right -= 2;
      R.bottom -= 2;
    }
  }
  R.top += 1;
  R.left += 1;
  R.bottom -= 1;

  // Buttons and marks from the right.
  R.right -= 4;
  if ((Section->Expandable() || Section->LookupEnabled()) && R.left + 5 < R.right - 2) {
    // A section can be both: the arrow above, the lookup mark below it.
    if (Section->Expandable())
      DrawArrow(Canvas, Section->Expanded() ? 0 : 2, RECT{R.right - 5, R.top, R.right, R.top + 7}, true, clBtnText);
    if (HBITMAP point = Section->LookupEnabled() ? ElHeaderPointBmp() : nullptr) {
      const SIZE sz = BitmapSize(point);
      const COLORREF transparent = BitmapPixel(point, 0, sz.cy - 1);
      const int bottom = std::min<int>(R.top + 14, R.bottom);
      const int h = std::min<int>(bottom - (R.top + 10), sz.cy);
      if (h > 0) DrawTransparentBitmapEx(dc, point, R.right - 5, R.top + 10, RECT{0, 0, 5, h}, transparent);
    }
    R.right -= 8;
  }
  const bool sortMark = Section->SortMode() != hsmNone && Section->ShowSortMark();
  if (Section->FilterEnabled() && R.left + 5 < R.right - 4) {
    const TColor fc = Section->FilterIsActive() ? activeFilterColor_ : filterColor_;
    const COLORREF rgb = ColorToRGB(fc);
    HBRUSH brush = ::CreateSolidBrush(rgb);
    HPEN pen = ::CreatePen(PS_SOLID, 1, rgb);
    HGDIOBJ ob = ::SelectObject(dc, brush), op = ::SelectObject(dc, pen);
    POINT tri[3] = {{R.right - 4, R.top + 10}, {R.right, R.top + 10}, {R.right - 2, std::min<LONG>(R.top + 14, R.bottom)}};
    ::Polygon(dc, tri, 3);
    ::SelectObject(dc, ob);
    ::SelectObject(dc, op);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
    if (!sortMark) R.right -= 6;
  }
  if (sortMark) {
    int x = R.left + 5;
    if (R.right - 8 >= x) {
      x = R.right - 9;
      const bool asc = (Section->SortMode() == hsmAscend) != invertSortArrows_;
      if (HBITMAP bmp = asc ? ElHeaderAscBmp() : ElHeaderDescBmp()) {
        const int m = R.top + (R.bottom - R.top) / 2;
        DrawTransparentBitmapEx(dc, bmp, x, m - 3, RECT{0, 0, 9, 6}, BitmapPixel(bmp, 0, 5));
      }
    }
    R.right = x;
    R.right -= 3;
  }

  R.left += 5;
  if (R.right < R.left) return;
  const int index = ImageIndexOf(Section);
  if (Section->Style() == ElhsOwnerDraw) {
    TriggerSectionDrawEvent(Canvas, Section, R, pressed);
    // The handler draws the section's content; a right-aligned picture is
    // still the header's to draw.
    if (Section->PictureAlign() == hsaRight && images_ && index >= 0 && index < images_->Count())
      DrawPicture(Canvas, index, R, R.right);
    return;
  }
  if (Section->Style() == ElhsPictureOnly) {
    if (images_ && index >= 0 && index < images_->Count()) {
      RECT c = CenterRects(images_->Width(), images_->Height(), R);
      RECT p{c.left, R.top, c.right, R.bottom};
      DrawPicture(Canvas, index, p, R.right);
    }
    return;
  }
  if (Section->PictureAlign() == hsaLeft && images_ && index >= 0 && index < images_->Count())
    DrawPicture(Canvas, index, R, R.right);
  if (R.right < R.left) return;

  TElSAlignment align = Section->Alignment();
  if (rightAlignedText_) align = align == hsaLeft ? hsaRight : align == hsaRight ? hsaLeft : align;
  UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
  flags |= align == hsaCenter ? DT_CENTER : align == hsaRight ? DT_RIGHT : DT_LEFT;
  const TTextLayout layout = Section->TextLayout();
  flags |= layout == TTextLayout::tlTop ? DT_TOP : layout == TTextLayout::tlBottom ? DT_BOTTOM : DT_VCENTER;
  if (rightAlignedText_) flags |= DT_RTLREADING;
  const std::wstring& text = Section->Text();
  TFont* font = Canvas->Font();
  font->Assign(TControl::Font());
  if (!Section->ParentColor()) font->SetColor(Section->FontColor());
  if (hot && !themed) {
    font->SetColor(clHighlight);
    font->SetStyle(font->Style() | fsUnderline);
  }
  HGDIOBJ oldFont = ::SelectObject(dc, font->Handle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColorToRGB(font->Color()));
  RECT tr = R;
  if (themed)
    DrawThemeText(Theme(), dc, HP_HEADERITEM, state, text.c_str(), static_cast<int>(text.size()), flags, 0, &tr);
  else
    ElDrawTextW(dc, text, tr, flags);
  RECT measure{0, 0, R.right - R.left, 0};
  ElDrawTextW(dc, text, measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  ::SelectObject(dc, oldFont);
  font->Assign(TControl::Font());
  R.left += std::min<int>(measure.right - measure.left, R.right - R.left) + 3;
  if (R.right >= R.left && Section->PictureAlign() == hsaRight && images_ && index >= 0 && index < images_->Count())
    DrawPicture(Canvas, index, R, R.right);
}

}  // namespace morvane
