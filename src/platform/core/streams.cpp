#include "platform/core/streams.h"

#include "platform/core/exceptions.h"
#include "platform/core/files.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace morvane {

namespace {

// ReadFile and WriteFile move at most a DWORD at a time; keep well inside it.
constexpr int64_t kMaxChunk = 1 << 30;

}  // namespace

// ---- TStream ---------------------------------------------------------------

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {
  throw EStreamError("The stream's size cannot be changed");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  const int64_t total = Count;
  std::string buffer(static_cast<size_t>(std::min<int64_t>(Count, 64 * 1024)), '\0');
  while (Count > 0) {
    const int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(buffer.size()));
    Source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return total;
}

// ---- THandleStream -----------------------------------------------------------

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  auto* out = static_cast<char*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    const DWORD want = static_cast<DWORD>(std::min(Count - done, kMaxChunk));
    DWORD got = 0;
    if (!::ReadFile(handle_, out + done, want, &got, nullptr)) {
      // A failed read is not the end of the data: say so instead of
      // returning a short count the caller would take for end of file.
      const DWORD err = ::GetLastError();
      if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE) break;
      throw EReadError("Stream read error. " + SysErrorMessage(err));
    }
    done += got;
    if (got < want) break;
  }
  return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  const auto* in = static_cast<const char*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    const DWORD want = static_cast<DWORD>(std::min(Count - done, kMaxChunk));
    DWORD put = 0;
    if (!::WriteFile(handle_, in + done, want, &put, nullptr))
      throw EWriteError("Stream write error. " + SysErrorMessage(::GetLastError()));
    done += put;
    if (put < want) break;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  LARGE_INTEGER dist;
  dist.QuadPart = Offset;
  LARGE_INTEGER now;
  const DWORD method = Origin == soBeginning ? FILE_BEGIN : Origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(handle_, dist, &now, method)) return -1;
  return now.QuadPart;
}

void THandleStream::SetSize(int64_t NewSize) {
  const int64_t pos = Position();
  if (Seek(NewSize, soBeginning) != NewSize || !::SetEndOfFile(handle_))
    throw EWriteError("Cannot change the file's size. " + SysErrorMessage(::GetLastError()));
  if (pos >= 0 && pos < NewSize) Seek(pos, soBeginning);
}

// ---- TFileStream -------------------------------------------------------------

DWORD ShareModeFlags(uint32_t Mode) {
  switch (Mode & 0xF0) {
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    default: return 0;  // compat and exclusive
  }
}

TFileStream::TFileStream(const std::string& FileName, uint32_t Mode)
    : THandleStream(INVALID_HANDLE_VALUE), fileName_(FileName) {
  const DWORD share = ShareModeFlags(Mode);
  if ((Mode & fmCreate) == fmCreate) {
    owned_.Reset(::CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!owned_)
      throw EFCreateError("Cannot create file \"" + FileName + "\". " +
                          SysErrorMessage(::GetLastError()));
  } else {
    DWORD access = GENERIC_READ;
    if ((Mode & 3) == fmOpenWrite) access = GENERIC_WRITE;
    if ((Mode & 3) == fmOpenReadWrite) access = GENERIC_READ | GENERIC_WRITE;
    owned_.Reset(::CreateFileA(FileName.c_str(), access, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!owned_)
      throw EFOpenError("Cannot open file \"" + FileName + "\". " +
                        SysErrorMessage(::GetLastError()));
  }
  handle_ = owned_.Get();
}

TFileStream::~TFileStream() = default;

// ---- memory streams ----------------------------------------------------------

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t size = Size();
  if (Count <= 0 || pos_ >= size) return 0;
  const int64_t n = std::min(Count, size - pos_);
  std::memcpy(Buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TCustomMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || pos_ < 0) return 0;
  const int64_t end = pos_ + Count;
  if (end > Size()) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + pos_, Buffer, static_cast<size_t>(Count));
  pos_ = end;
  return Count;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: pos_ = Offset; break;
    case soCurrent: pos_ += Offset; break;
    case soEnd: pos_ = Size() + Offset; break;
  }
  if (pos_ < 0) pos_ = 0;
  return pos_;
}

void TCustomMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  data_.resize(static_cast<size_t>(NewSize));
  if (pos_ > NewSize) pos_ = NewSize;
}

void TCustomMemoryStream::SaveToStream(TStream& Stream) {
  if (!data_.empty()) Stream.WriteBuffer(data_.data(), Size());
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(f);
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const int64_t n = Stream.Size();
  SetSize(n);
  if (n > 0) Stream.ReadBuffer(data_.data(), n);
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

TStringStream::TStringStream(std::string AString) { data_ = std::move(AString); }

std::string TStringStream::ReadString(int64_t Count) {
  const int64_t size = Size();
  if (Count <= 0 || pos_ >= size) return std::string();
  const int64_t n = std::min(Count, size - pos_);
  std::string s = data_.substr(static_cast<size_t>(pos_), static_cast<size_t>(n));
  pos_ += n;
  return s;
}

void TStringStream::WriteString(std::string_view S) { Write(S.data(), static_cast<int64_t>(S.size())); }

}  // namespace morvane
