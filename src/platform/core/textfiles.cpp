#include "platform/core/textfiles.h"

#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/streams.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr size_t kWriteBuffer = 64 * 1024;

HANDLE OpenForReading(const std::string& FileName) {
  return ::CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads the rest of the file; false with the system's error code on failure.
bool ReadAll(HANDLE h, std::string& out, DWORD& error) {
  out.clear();
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(h, &size) && size.QuadPart > 0) out.reserve(static_cast<size_t>(size.QuadPart));
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(h, chunk, sizeof chunk, &got, nullptr)) {
      error = ::GetLastError();
      if (error == ERROR_HANDLE_EOF) return true;
      return false;
    }
    if (got == 0) return true;
    out.append(chunk, got);
  }
}

}  // namespace

// ---- TTextFileReader -------------------------------------------------------

TTextFileReader::TTextFileReader(const std::string& FileName)
    : fileName_(FileName), lines_(std::string_view()) {
  TWinHandle h(OpenForReading(FileName));
  if (!h)
    throw EInOutError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(::GetLastError()));
  DWORD err = 0;
  if (!ReadAll(h.Get(), text_, err))
    throw EInOutError("Cannot read file \"" + FileName + "\". " + SysErrorMessage(err));
  lines_ = TTextLineReader(text_);
}

// ---- TTextFileWriter -------------------------------------------------------

TTextFileWriter::TTextFileWriter(const std::string& FileName, TTextWriteMode Mode)
    : fileName_(FileName) {
  DWORD disposition = CREATE_ALWAYS;
  if (Mode == TTextWriteMode::CreateNew) disposition = CREATE_NEW;
  if (Mode == TTextWriteMode::Append) disposition = OPEN_ALWAYS;
  file_.Reset(::CreateFileA(FileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_)
    throw EInOutError("Cannot create file \"" + FileName + "\". " +
                      SysErrorMessage(::GetLastError()));
  if (Mode == TTextWriteMode::Append) {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file_.Get(), zero, nullptr, FILE_END))
      throw EInOutError("Cannot append to file \"" + FileName + "\". " +
                        SysErrorMessage(::GetLastError()));
  }
}

TTextFileWriter::~TTextFileWriter() {
  try {
    Close();
  } catch (const Exception&) {
    // A destructor cannot report; callers that need to know call Close().
  }
}

void TTextFileWriter::Write(std::string_view Text) {
  if (!file_) throw EInOutError("File not open: \"" + fileName_ + "\"");
  buffer_.append(Text);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void TTextFileWriter::Flush() {
  if (!file_ || buffer_.empty()) return;
  size_t done = 0;
  while (done < buffer_.size()) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(buffer_.size() - done, 1u << 30));
    if (!::WriteFile(file_.Get(), buffer_.data() + done, want, &put, nullptr) || put == 0) {
      const DWORD err = ::GetLastError();
      buffer_.erase(0, done);
      throw EInOutError("Cannot write file \"" + fileName_ + "\". " + SysErrorMessage(err));
    }
    done += put;
  }
  buffer_.clear();
}

void TTextFileWriter::Close() {
  if (!file_) return;
  try {
    Flush();
  } catch (...) {
    file_.Reset();
    buffer_.clear();
    throw;
  }
  file_.Reset();
}

// ---- whole files -----------------------------------------------------------

bool TryLoadFileBytes(const std::string& FileName, std::string& Bytes) {
  TWinHandle h(OpenForReading(FileName));
  if (!h) return false;
  DWORD err = 0;
  return ReadAll(h.Get(), Bytes, err);
}

std::string LoadFileBytes(const std::string& FileName) {
  TWinHandle h(OpenForReading(FileName));
  if (!h)
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(::GetLastError()));
  std::string bytes;
  DWORD err = 0;
  if (!ReadAll(h.Get(), bytes, err))
    throw EReadError("Cannot read file \"" + FileName + "\". " + SysErrorMessage(err));
  return bytes;
}

void SaveFileBytes(const std::string& FileName, std::string_view Bytes) {
  TFileStream f(FileName, fmCreate);
  if (!Bytes.empty()) f.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

}  // namespace morvane
