#include "platform/ui/screenshot.h"

#include <array>

#include "platform/core/exceptions.h"
#include "platform/ui/gdi_handles.h"

namespace morvane {

COLORREF TScreenImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return CLR_INVALID;
  uint32_t v = Pixels[static_cast<size_t>(y) * Width + x];
  return static_cast<COLORREF>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16));
}

TScreenImage CaptureWindow(HWND Wnd) {
  TScreenImage img;
  RECT r{};
  if (!GetWindowRect(Wnd, &r)) return img;
  img.Width = r.right - r.left;
  img.Height = r.bottom - r.top;
  if (img.Width <= 0 || img.Height <= 0) return img;
  TWindowDC src(Wnd, true);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = img.Width;
  bi.bmiHeader.biHeight = -img.Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TBitmapHandle bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  TMemoryDC mem(src.Get());
  {
    TSelectObject sel(mem.Get(), bmp.Get());
    BitBlt(mem.Get(), 0, 0, img.Width, img.Height, src.Get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  const auto* p = static_cast<const uint32_t*>(bits);
  img.Pixels.assign(p, p + static_cast<size_t>(img.Width) * img.Height);
  for (auto& v : img.Pixels) v &= 0x00FFFFFF;
  return img;
}

namespace {
uint32_t Crc32(const unsigned char* d, size_t n, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ d[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Be32(std::string& s, uint32_t v) {
  s += static_cast<char>(v >> 24);
  s += static_cast<char>(v >> 16);
  s += static_cast<char>(v >> 8);
  s += static_cast<char>(v);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  Be32(out, static_cast<uint32_t>(data.size()));
  std::string td = std::string(type, 4) + data;
  out += td;
  Be32(out, Crc32(reinterpret_cast<const unsigned char*>(td.data()), td.size()));
}
}  // namespace

std::string EncodePng(const TScreenImage& img) {
  std::string raw;
  raw.reserve(static_cast<size_t>(img.Height) * (img.Width * 3 + 1));
  for (int y = 0; y < img.Height; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < img.Width; ++x) {
      uint32_t v = img.Pixels[static_cast<size_t>(y) * img.Width + x];
      raw += static_cast<char>((v >> 16) & 0xFF);
      raw += static_cast<char>((v >> 8) & 0xFF);
      raw += static_cast<char>(v & 0xFF);
    }
  }
  // zlib stream of stored blocks.
  std::string z = "\x78\x01";
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n >= raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(n & 0xFF);
    z += static_cast<char>(n >> 8);
    z += static_cast<char>(~n & 0xFF);
    z += static_cast<char>((~n >> 8) & 0xFF);
    z.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Be32(z, (b << 16) | a);
  std::string out = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  Be32(ihdr, static_cast<uint32_t>(img.Width));
  Be32(ihdr, static_cast<uint32_t>(img.Height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
  Chunk(out, "IHDR", ihdr);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", std::string());
  return out;
}

void SaveImage(const TScreenImage& img, const std::string& Path) {
  std::string bytes;
  const bool bmp = Path.size() >= 4 && _stricmp(Path.c_str() + Path.size() - 4, ".bmp") == 0;
  if (bmp) {
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = img.Width;
    ih.biHeight = -img.Height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(img.Pixels.size() * 4);
    bytes.append(reinterpret_cast<const char*>(&fh), sizeof(fh));
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
    for (uint32_t v : img.Pixels) {
      v |= 0xFF000000u;  // opaque: viewers take alpha 0 as transparent
      bytes.append(reinterpret_cast<const char*>(&v), 4);
    }
  } else {
    bytes = EncodePng(img);
  }
  HANDLE f = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file \"" + Path + "\"");
  DWORD done = 0;
  BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(f);
  if (!ok || done != bytes.size()) throw EWriteError("Stream write error");
}

void SaveWindowScreenshot(HWND Wnd, const std::string& Path) { SaveImage(CaptureWindow(Wnd), Path); }

}  // namespace morvane
