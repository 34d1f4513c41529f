#include "treeview/eltreeports.h"

#include <algorithm>
#include <array>

#include "platform/ui/gdi_handles.h"
#include "platform/win32.h"
#include "treeview/eltreeitem.h"

namespace morvane {

void THeadlessTreeView::InvalidateRect(const TElRect& R) {
  Calls.push_back("invalidate " + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," +
                  std::to_string(R.Right) + "," + std::to_string(R.Bottom));
}

void THeadlessTreeView::ScrollBarChanged(TElScrollBarKind Kind, int Max, int Page, int Position,
                                         bool Visible) {
  TBar& b = Kind == TElScrollBarKind::sbVertical ? Vert : Horz;
  b.Max = Max;
  b.Page = Page;
  b.Position = Position;
  b.Visible = Visible;
}

void THeadlessTreeView::EndEdit(bool Accept) {
  Calls.push_back(Accept ? "end edit accept" : "end edit cancel");
  Editing = false;
}

TElSize TFixedWidthMeasurer::MeasureText(std::wstring_view Text, unsigned FontStyles) {
  int w = charWidth_ + ((FontStyles & efsBold) ? boldExtra_ : 0);
  return {static_cast<int>(Text.size()) * w, textHeight_};
}

// Advances of the characters of one style, filled a block of 256 at a time.
struct TGdiTextMeasurer::TStyleCache {
  TFontHandle font;
  int height = 0;
  std::array<std::unique_ptr<int16_t[]>, 256> blocks;
};

TGdiTextMeasurer::TGdiTextMeasurer(const std::wstring& FaceName, int Height)
    : faceName_(FaceName), height_(Height) {
  dc_ = std::make_unique<TMemoryDC>(nullptr);
}

TGdiTextMeasurer::~TGdiTextMeasurer() {
  // The fonts go before the DC they may be selected into.
  for (auto& c : caches_) c.reset();
}

TGdiTextMeasurer::TStyleCache& TGdiTextMeasurer::Cache(unsigned FontStyles) {
  unsigned slot = ((FontStyles & efsBold) ? 1 : 0) | ((FontStyles & efsItalic) ? 2 : 0);
  auto& c = caches_[slot];
  if (!c) {
    c = std::make_unique<TStyleCache>();
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (slot & 1) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (slot & 2) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wstring face = faceName_.substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    c->font.Reset(CreateFontIndirectW(&lf));
    TSelectObject font(dc_->Get(), c->font.Get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_->Get(), &tm);
    c->height = tm.tmHeight;
  }
  return *c;
}

TElSize TGdiTextMeasurer::MeasureText(std::wstring_view Text, unsigned FontStyles) {
  TStyleCache& c = Cache(FontStyles);
  HDC dc = dc_->Get();
  int width = 0;
  for (wchar_t ch : Text) {
    if (ch < 0x80 && c.blocks[0]) {
      width += c.blocks[0][static_cast<unsigned>(ch)];
      continue;
    }
    auto& block = c.blocks[static_cast<unsigned>(ch) >> 8];
    if (!block) {
      block = std::make_unique<int16_t[]>(256);
      TSelectObject font(dc, c.font.Get());
      unsigned first = static_cast<unsigned>(ch) & 0xFF00u;
      for (unsigned i = 0; i < 256; ++i) {
        wchar_t one = static_cast<wchar_t>(first + i);
        SIZE sz{};
        GetTextExtentPoint32W(dc, &one, 1, &sz);
        block[i] = static_cast<int16_t>(sz.cx);
      }
    }
    width += block[static_cast<unsigned>(ch) & 0xFFu];
  }
  return {width, c.height};
}

THeadlessTreeHeader::THeadlessTreeHeader()
    : sections_(std::make_unique<TElHeaderSections>(this)) {}

THeadlessTreeHeader::~THeadlessTreeHeader() = default;

int THeadlessTreeHeader::MeasureSection(TElHeaderSection* Section) {
  if (!Section) return 0;
  return static_cast<int>(Section->Text().size()) * CaptionCharWidth + 8;
}

int THeadlessTreeHeader::SectionsWidth() {
  int w = 0;
  const TElList& l = sections_->List();
  for (int i = 0; i < l.Count(); ++i) {
    auto* s = static_cast<TElHeaderSection*>(l.Get(i));
    if (s->Visible()) w += s->Width();
  }
  return w;
}

}  // namespace morvane
