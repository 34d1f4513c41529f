#include "controls/eldrawtext.h"

#include <algorithm>
#include <cwchar>
#include <unordered_map>
#include <vector>

namespace morvane {
namespace {

constexpr int kNoMark = -1;

// Measures text with the DC's font; single characters are cached, since the
// layout measures every character it adds while wrapping or expanding tabs.
class TMeasurer {
 public:
  explicit TMeasurer(HDC dc) : dc_(dc) {}
  int Width(const wchar_t* s, int n) {
    if (n <= 0) return 0;
    SIZE sz{};
    ::GetTextExtentPoint32W(dc_, s, n, &sz);
    return sz.cx;
  }
  int Width(const std::wstring& s) { return Width(s.data(), static_cast<int>(s.size())); }
  int Char(wchar_t c) {
    auto it = cache_.find(c);
    if (it != cache_.end()) return it->second;
    int w = Width(&c, 1);
    cache_.emplace(c, w);
    return w;
  }

 private:
  HDC dc_;
  std::unordered_map<wchar_t, int> cache_;
};

struct TLine {
  std::wstring Text;
  int Mark = kNoMark;  // index in Text of the underlined character
  int Width = 0;
};

struct TLayout {
  const wchar_t* Src;
  int Count;
  UINT Format;
  int MaxWidth;  // room for one line (margins taken off)
  int TabStop;
  int SpaceWidth;
  int Overhang;
  TMeasurer& M;

  bool Flag(UINT f) const { return (Format & f) != 0; }

  // Builds the line that starts at source index Pos; returns the index where
  // the next line starts (Count when the text is used up).
  int Build(int Pos, TLine& Line) {
    Line = TLine{};
    std::vector<int> src;  // source index of every buffer unit
    const bool wrap = Flag(DT_WORDBREAK) && !Flag(DT_SINGLELINE);
    const bool measure = wrap || Flag(DT_EXPANDTABS);
    int width = 0;          // of the buffer so far (measured only when needed)
    int sinceTab = 0;       // width since the previous tab or the line start
    bool markNext = false;
    int i = Pos;
    while (i < Count) {
      wchar_t c = Src[i];
      if (!Flag(DT_SINGLELINE) && (c == L'\r' || c == L'\n')) {
        int next = i + 1;
        if (c == L'\r' && next < Count && Src[next] == L'\n') ++next;
        return Finish(Line, next);
      }
      if (!Flag(DT_NOPREFIX) && c == L'&') {
        if (i + 1 < Count && Src[i + 1] == L'&') {
          ++i;  // "&&" is one "&"
        } else {
          markNext = true;
          ++i;
          continue;
        }
      }
      int added = 0;
      int first = static_cast<int>(Line.Text.size());
      if (c == L'\t' && Flag(DT_EXPANDTABS)) {
        int n = SpaceWidth > 0 ? (TabStop + Overhang - sinceTab) / SpaceWidth : 0;
        for (int k = 0; k < n; ++k) {
          Line.Text.push_back(L' ');
          src.push_back(i);
        }
        added = n * SpaceWidth;
        sinceTab = 0;
      } else {
        Line.Text.push_back(c);
        src.push_back(i);
        // A surrogate pair stays together.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Count && Src[i + 1] >= 0xDC00 && Src[i + 1] <= 0xDFFF) {
          ++i;
          Line.Text.push_back(Src[i]);
          src.push_back(i);
          if (measure) added = M.Width(Line.Text.data() + first, 2);
        } else if (measure) {
          added = M.Char(c);
        }
        sinceTab += added;
      }
      if (markNext) {
        if (static_cast<int>(Line.Text.size()) > first) Line.Mark = first;
        markNext = false;
      }
      width += added;
      ++i;
      if (wrap && width > MaxWidth && Line.Text.size() > 1) {
        // Break before the last space; the next line starts after it. A
        // line without a space keeps the character that overflowed it.
        size_t sp = Line.Text.find_last_of(L' ');
        if (sp != std::wstring::npos) {
          int next = src[sp] + 1;
          Line.Text.resize(sp);
          if (Line.Mark >= static_cast<int>(sp)) Line.Mark = kNoMark;
          return Finish(Line, next);
        }
        return Finish(Line, i);
      }
    }
    return Finish(Line, Count);
  }

  int Finish(TLine& Line, int Next) {
    Line.Width = M.Width(Line.Text);
    return Next;
  }

  // Shortens a line that is wider than the room, with "..." in place of what
  // was dropped (from the end, or before the last path separator).
  bool Ellipsize(TLine& Line) {
    if (Line.Width <= MaxWidth) return false;
    static const std::wstring dots = L"...";
    std::wstring head = Line.Text, tail;
    if (Flag(DT_PATH_ELLIPSIS)) {
      size_t sep = Line.Text.find_last_of(L"\\/");
      if (sep != std::wstring::npos) {
        head = Line.Text.substr(0, sep);
        tail = Line.Text.substr(sep);
      }
    }
    const int fixed = M.Width(dots + tail);
    // Widths of the head's prefixes, in one pass.
    int fit = 0;
    if (MaxWidth - fixed > 0) {
      int total = 0;
      for (size_t k = 0; k < head.size(); ++k) {
        total += M.Char(head[k]);
        if (total + fixed > MaxWidth) break;
        fit = static_cast<int>(k) + 1;
      }
    }
    if (fit > 0 && head[fit - 1] >= 0xD800 && head[fit - 1] <= 0xDBFF) --fit;
    Line.Text = head.substr(0, fit) + dots + tail;
    if (Line.Mark >= fit) Line.Mark = kNoMark;
    Line.Width = M.Width(Line.Text);
    return true;
  }
};

}  // namespace

int ElDrawTextExW(HDC DC, const wchar_t* Text, int Count, RECT& Rect, UINT Format, DRAWTEXTPARAMS* Params) {
  if (!Text) Count = 0;
  if (Count < 0) Count = static_cast<int>(std::wcslen(Text));
  if (Params) Params->uiLengthDrawn = 0;
  if (Count == 0) {
    if (Format & DT_CALCRECT) {
      Rect.right = Rect.left;
      Rect.bottom = Rect.top;
    }
    return 0;
  }

  int tabLength = 8;
  if (Format & DT_TABSTOP) {
    if (Params) {
      tabLength = Params->iTabLength;
    } else {
      tabLength = static_cast<int>((Format >> 8) & 0xFF);
      Format &= ~0xFF00u;  // the high byte is the tab length, not flags
    }
  }
  TEXTMETRICW tm{};
  ::GetTextMetricsW(DC, &tm);
  const int lineHeight = tm.tmHeight + ((Format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  int lm = 0, rm = 0;
  if (Params) {
    lm = Params->iLeftMargin * tm.tmAveCharWidth;
    rm = Params->iRightMargin * tm.tmAveCharWidth;
  }
  if (Format & DT_WORD_ELLIPSIS) Format |= DT_WORDBREAK;

  TMeasurer m(DC);
  RECT r = Rect;
  if (Format & DT_CALCRECT) {
    if (r.right == 0) r.right = 32767;
    if (r.bottom == 0) r.bottom = 32767;
  }
  TLayout lay{Text, Count, Format, (r.right - r.left) - lm - rm,
              (m.Char(L'o') - tm.tmOverhang) * tabLength, m.Char(L' ') - tm.tmOverhang, tm.tmOverhang, m};

  const bool draw = !(Format & DT_CALCRECT);
  const bool clip = !(Format & DT_NOCLIP);
  const bool ellipsis = (Format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0;
  UINT eto = 0;
  if (clip) eto |= ETO_CLIPPED;
  if (Format & DT_RTLREADING) eto |= ETO_RTLREADING;
  RECT clipRect = Rect;
  ::InflateRect(&clipRect, 1, 1);

  int y = r.top;
  int widest = 0;
  int pos = 0;
  TLine line;
  do {
    int next = lay.Build(pos, line);
    if (ellipsis && lay.Ellipsize(line) && (Format & DT_MODIFYSTRING) && pos == 0) {
      // Never more than the caller's buffer holds.
      wchar_t* out = const_cast<wchar_t*>(Text);
      int n = std::min<int>(Count, static_cast<int>(line.Text.size()));
      std::copy(line.Text.begin(), line.Text.begin() + n, out);
      if (n < Count) out[n] = 0;
    }
    widest = std::max(widest, line.Width);

    int x = r.left + lm;
    if (Format & DT_CENTER)
      x = std::max<int>(x, (r.left + lm + r.right - rm - line.Width) / 2);
    else if (Format & DT_RIGHT)
      x = std::max<int>(x, r.right - rm - line.Width);
    int ly = y;
    if (Format & DT_SINGLELINE) {
      if (Format & DT_VCENTER)
        ly = r.top + (r.bottom - r.top) / 2 - lineHeight / 2;
      else if (Format & DT_BOTTOM)
        ly = r.bottom - lineHeight;
    }

    if (draw) {
      if (!(Format & DT_PREFIXONLY))
        ::ExtTextOutW(DC, x, ly, eto, clip ? &clipRect : nullptr, line.Text.data(),
                      static_cast<UINT>(line.Text.size()), nullptr);
      if (line.Mark != kNoMark && !(Format & DT_HIDEPREFIX)) {
        int ux = x + m.Width(line.Text.data(), line.Mark);
        int uw = m.Width(line.Text.data() + line.Mark, 1);
        RECT u{ux, ly + tm.tmAscent + 1, ux + uw, ly + tm.tmAscent + 2};
        if (clip) ::IntersectRect(&u, &u, &clipRect);
        HBRUSH b = ::CreateSolidBrush(::GetTextColor(DC));
        ::FillRect(DC, &u, b);
        ::DeleteObject(b);
      }
    }
    if (Params) Params->uiLengthDrawn += static_cast<UINT>(next - pos);
    pos = next;
    y += lineHeight;
    if ((Format & DT_SINGLELINE)) break;
    // A line that starts inside the rectangle is drawn (clipped); the next
    // one is left out once its top is past the bottom.
    if (clip && draw && y > r.bottom) break;
  } while (pos < Count);

  if (Format & DT_CALCRECT) {
    Rect.right = Rect.left + widest + lm + rm;
    Rect.bottom = Rect.top + (y - r.top);
  }
  return y - r.top;
}

int ElDrawTextW(HDC DC, const wchar_t* Text, int Count, RECT& Rect, UINT Format) {
  return ElDrawTextExW(DC, Text, Count, Rect, Format, nullptr);
}

}  // namespace morvane
