// The header's "Data" value: any version and any damage is read within the
// data, and the sections read write back (as version -12) to data that
// read the same.
// fuzz-sources: controls/header_data_codec.cpp controls/stream_codec.cpp
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>

#include "controls/header_data_codec.h"
#include "fuzz_widen.h"

using namespace morvane::elcodec;

namespace {

auto Fields(const THeaderSectionData& s) {
  return std::tie(s.LookupEnabled, s.ParentIndex, s.Expandable, s.Expanded, s.Visible, s.ClickSelect, s.Resizable,
                  s.Style, s.Width, s.MinWidth, s.MaxWidth, s.SortMode, s.AllowClick, s.Alignment, s.UniqueId,
                  s.Index, s.FieldType, s.Editable, s.ImageIndex, s.PictureAlign, s.Password, s.ParentColor, s.Color,
                  s.FontColor, s.FilterEnabled, s.TextLayout, s.UseMainStyle, s.AutoSize, s.Tag, s.Text, s.FieldName,
                  s.PopupMenuName, s.Hint);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const THeaderSectionData defaults;
  THeaderData d = DecodeHeaderData(std::span<const uint8_t>(data, size), defaults);
  if (d.Consumed > size) std::abort();
  if (d.Sections.size() > size / 36 + 1) std::abort();
  for (THeaderSectionData& s : d.Sections) {
    if (s.Style > 2 || s.SortMode > 2 || s.Alignment > 2 || s.FieldType > 13 || s.TextLayout > 2 ||
        s.PictureAlign > 2)
      std::abort();
    // What the writer stores: a wide hint, and a unique id.
    if (!s.HintIsWide) s.Hint = Widen(s.HintAnsi);
    s.HintIsWide = true;
    s.HintAnsi.clear();
    s.HasUniqueId = true;
  }
  std::string bytes;
  EncodeHeaderData(bytes, d.Sections);
  const THeaderData again =
      DecodeHeaderData(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), defaults);
  if (again.Truncated || again.Consumed != bytes.size() || again.Version != -12 ||
      again.Sections.size() != d.Sections.size())
    std::abort();
  for (size_t i = 0; i < d.Sections.size(); ++i)
    if (Fields(again.Sections[i]) != Fields(d.Sections[i])) std::abort();
  return 0;
}
