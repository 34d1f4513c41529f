#include "controls/stream_codec.h"

namespace morvane {
namespace elcodec {

namespace {
constexpr uint8_t vaNull = 0, vaList = 1, vaString = 6, vaLString = 12, vaWString = 18;
}

int32_t GetInt32LE(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void PutInt32LE(std::string& Out, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  Out.push_back(static_cast<char>(u & 0xFF));
  Out.push_back(static_cast<char>((u >> 8) & 0xFF));
  Out.push_back(static_cast<char>((u >> 16) & 0xFF));
  Out.push_back(static_cast<char>((u >> 24) & 0xFF));
}

TStringHeader CheckStringLength(int32_t Length, uint64_t Remaining, unsigned UnitSize) {
  if (Length < 0) return TStringHeader::Negative;
  if (static_cast<uint64_t>(Length) > Remaining / UnitSize) return TStringHeader::TooLong;
  return TStringHeader::Ok;
}

namespace {

template <class Str, class Fill>
TDecodeResult DecodeCounted(TBytes Data, size_t& Pos, Str& S, unsigned UnitSize, Fill fill) {
  if (Pos > Data.size() || Data.size() - Pos < 4) {
    Pos = Data.size();
    return TDecodeResult::Short;
  }
  const int32_t len = GetInt32LE(Data.data() + Pos);
  Pos += 4;
  if (CheckStringLength(len, Data.size() - Pos, UnitSize) != TStringHeader::Ok) return TDecodeResult::BadHeader;
  const size_t bytes = static_cast<size_t>(len) * UnitSize;
  fill(S, Data.subspan(Pos, bytes));
  Pos += bytes;
  return TDecodeResult::Ok;
}

}  // namespace

TDecodeResult DecodeString(TBytes Data, size_t& Pos, std::string& S) {
  return DecodeCounted(Data, Pos, S, 1, [](std::string& s, TBytes b) {
    s.assign(reinterpret_cast<const char*>(b.data()), b.size());
  });
}

TDecodeResult DecodeWideString(TBytes Data, size_t& Pos, std::wstring& S) {
  return DecodeCounted(Data, Pos, S, 2, [](std::wstring& s, TBytes b) { s = WideFromLE(b); });
}

void EncodeString(std::string& Out, std::string_view S) {
  PutInt32LE(Out, static_cast<int32_t>(S.size()));
  Out.append(S.data(), S.size());
}

void EncodeWideString(std::string& Out, const std::wstring& S) {
  PutInt32LE(Out, static_cast<int32_t>(S.size()));
  AppendLE(Out, S);
}

std::wstring WideFromLE(TBytes Data) {
  std::wstring w(Data.size() / 2, L'\0');
  for (size_t k = 0; k < w.size(); ++k)
    w[k] = static_cast<wchar_t>(Data[2 * k] | (static_cast<unsigned>(Data[2 * k + 1]) << 8));
  return w;
}

void AppendLE(std::string& Out, const std::wstring& S) {
  const size_t at = Out.size();
  Out.resize(at + 2 * S.size());
  char* p = Out.data() + at;
  for (wchar_t c : S) {
    const unsigned u = static_cast<unsigned>(c) & 0xFFFF;
    *p++ = static_cast<char>(u & 0xFF);
    *p++ = static_cast<char>(u >> 8);
  }
}

TDecodedText DecodeText(TBytes Data) {
  TDecodedText t;
  if (Data.size() >= 2 && ((Data[0] == 0xFF && Data[1] == 0xFE) || (Data[0] == 0xFE && Data[1] == 0xFF))) {
    t.Unicode = true;
    t.Wide = WideFromLE(Data.subspan(2));
    if (Data[0] == 0xFE) {
      for (wchar_t& c : t.Wide) {
        if (c == 0) break;
        const unsigned u = static_cast<unsigned>(c);
        c = static_cast<wchar_t>(((u & 0xFF) << 8) | (u >> 8));
      }
    }
  } else {
    t.Ansi.assign(reinterpret_cast<const char*>(Data.data()), Data.size());
  }
  return t;
}

std::vector<std::wstring> SplitLines(const std::wstring& Text) {
  std::vector<std::wstring> lines;
  const size_t n = Text.size();
  size_t i = 0;
  while (i < n && Text[i] != 0) {
    const size_t start = i;
    while (i < n && Text[i] != 0 && Text[i] != L'\r' && Text[i] != L'\n') ++i;
    lines.emplace_back(Text, start, i - start);
    if (i < n && Text[i] == L'\r') ++i;
    if (i < n && Text[i] == L'\n') ++i;
  }
  return lines;
}

TStringsResult DecodeStrings(TBytes Data, size_t& Pos, std::vector<TStringsItem>& Items) {
  auto left = [&] { return Pos <= Data.size() ? Data.size() - Pos : 0; };
  if (left() < 1) return TStringsResult::Short;
  if (Data[Pos] != vaList) return TStringsResult::BadValue;
  ++Pos;
  for (;;) {
    if (left() < 1) return TStringsResult::Short;
    const uint8_t type = Data[Pos] & 0x7F;
    if (Data[Pos] == vaNull) {
      ++Pos;
      return TStringsResult::Ok;
    }
    ++Pos;
    TStringsItem item;
    size_t count;
    if (type == vaWString || type == vaLString) {
      if (left() < 4) return TStringsResult::Short;
      const int32_t n = GetInt32LE(Data.data() + Pos);
      Pos += 4;
      // A count past the end is a damaged stream, not a reason to allocate.
      if (CheckStringLength(n, left(), type == vaWString ? 2 : 1) != TStringHeader::Ok)
        return n < 0 ? TStringsResult::BadValue : TStringsResult::Short;
      count = static_cast<size_t>(n);
    } else if (type == vaString) {
      if (left() < 1) return TStringsResult::Short;
      count = Data[Pos++];
      if (count > left()) return TStringsResult::Short;
    } else {
      return TStringsResult::BadValue;
    }
    if (type == vaWString) {
      item.W = WideFromLE(Data.subspan(Pos, 2 * count));
      const size_t nul = item.W.find(L'\0');
      if (nul != std::wstring::npos) item.W.resize(nul);
      Pos += 2 * count;
    } else {
      item.Wide = false;
      item.A.assign(reinterpret_cast<const char*>(Data.data() + Pos), count);
      Pos += count;
    }
    Items.push_back(std::move(item));
  }
}

void EncodeStrings(std::string& Out, const std::vector<std::wstring>& Items) {
  Out.push_back(static_cast<char>(vaList));
  for (const std::wstring& s : Items) {
    Out.push_back(static_cast<char>(vaWString));
    EncodeWideString(Out, s);
  }
  Out.push_back(static_cast<char>(vaNull));
}

}  // namespace elcodec
}  // namespace morvane
