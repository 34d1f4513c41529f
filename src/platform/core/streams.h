// Byte streams: the abstract TStream, streams over a Win32 file handle, a
// growable memory stream and a string stream. Text and whole-file helpers
// come with it (textfiles.h).
#pragma once

#include "platform/core/components.h"
#include "platform/core/handles.h"
#include "platform/core/textfiles.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream : public TObject {
 public:
  // Reads up to Count bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; returns how many were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position; returns the new position from the beginning.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // Reads or writes exactly Count bytes, else EReadError / EWriteError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  virtual int64_t Size();
  // Cuts or extends the stream; the position stays unless it lies beyond
  // the new end.
  virtual void SetSize(int64_t NewSize);

  // Copies Count bytes from Source's position; Count 0 copies all of Source
  // from its beginning. Returns the bytes copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

// A stream over a file handle it does not own.
class THandleStream : public TStream {
 public:
  explicit THandleStream(HANDLE AHandle) : handle_(AHandle) {}
  HANDLE Handle() const { return handle_; }

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;

 protected:
  HANDLE handle_;
};

// File open modes: one access value, optionally or-ed with one share value.
// fmCreate creates the file or truncates an existing one (read-write).
constexpr uint32_t fmOpenRead = 0x0000;
constexpr uint32_t fmOpenWrite = 0x0001;
constexpr uint32_t fmOpenReadWrite = 0x0002;
constexpr uint32_t fmShareCompat = 0x0000;     // no sharing, as exclusive
constexpr uint32_t fmShareExclusive = 0x0010;
constexpr uint32_t fmShareDenyWrite = 0x0020;  // others may read
constexpr uint32_t fmShareDenyRead = 0x0030;   // others may write
constexpr uint32_t fmShareDenyNone = 0x0040;   // others may read, write and delete
constexpr uint32_t fmCreate = 0xFF00;

// The CreateFileA share flags of a mode's share value.
DWORD ShareModeFlags(uint32_t Mode);

// A stream over a file it opens and closes. A file that cannot be opened
// raises EFOpenError, one that cannot be created EFCreateError, each with
// the file name and the system's reason.
class TFileStream : public THandleStream {
 public:
  TFileStream(const std::string& FileName, uint32_t Mode);
  ~TFileStream() override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  TWinHandle owned_;
};

// Shared by TMemoryStream and TStringStream: bytes in memory with a
// position.
class TCustomMemoryStream : public TStream {
 public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t NewSize) override;

  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }

  void SaveToStream(TStream& Stream);
  void SaveToFile(const std::string& FileName);

 protected:
  std::string data_;
  int64_t pos_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
 public:
  void Clear();
  // Replaces the contents with all of Stream (from its beginning).
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
};

class TStringStream : public TCustomMemoryStream {
 public:
  explicit TStringStream(std::string AString = std::string());
  const std::string& DataString() const { return data_; }
  // Up to Count bytes from the position.
  std::string ReadString(int64_t Count);
  void WriteString(std::string_view S);
};

}  // namespace morvane
