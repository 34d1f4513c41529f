// Text files read line by line and written with the caller's own line ends,
// and whole binary files read or written at once.
#pragma once

#include "platform/core/handles.h"
#include "platform/core/text_lines.h"

#include <string>
#include <string_view>

namespace morvane {

// Reads a text file line by line with TTextLineReader's rules (LF and CR LF
// end a line; Eof() right after the last line, also without a final LF;
// Ctrl-Z is data). The file is opened read-only and shared for reading and
// writing, so that files a browser holds open can still be read. A file
// that cannot be opened or read raises EInOutError.
class TTextFileReader {
 public:
  explicit TTextFileReader(const std::string& FileName);
  TTextFileReader(const TTextFileReader&) = delete;
  TTextFileReader& operator=(const TTextFileReader&) = delete;

  bool Eof() const { return lines_.Eof(); }
  // The next line without its end; empty at end of file.
  std::string ReadLn() { return lines_.ReadLn(); }
  bool LastLineHadEnd() const { return lines_.LastLineHadEnd(); }
  bool LastLineHadCR() const { return lines_.LastLineHadCR(); }
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  std::string text_;
  TTextLineReader lines_;
};

enum class TTextWriteMode {
  Create,     // create, or truncate an existing file
  CreateNew,  // create; fails when the file exists
  Append,     // create when missing, else write at its end
};

// Writes a text file exactly as given: no line ends are added or translated,
// the caller writes "\n" (or "\r\n") where a line ends. Writes are buffered;
// Flush() and Close() raise EInOutError when the data could not be written,
// so a failure is never taken for success. The destructor flushes and closes
// quietly when Close() was not called.
class TTextFileWriter {
 public:
  explicit TTextFileWriter(const std::string& FileName,
                           TTextWriteMode Mode = TTextWriteMode::Create);
  ~TTextFileWriter();
  TTextFileWriter(const TTextFileWriter&) = delete;
  TTextFileWriter& operator=(const TTextFileWriter&) = delete;

  void Write(std::string_view Text);
  void Flush();
  void Close();
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  TWinHandle file_;
  std::string buffer_;
};

// The whole file's bytes (opened read-only, shared for reading and writing).
// EFOpenError when it cannot be opened, EReadError when it cannot be read.
std::string LoadFileBytes(const std::string& FileName);
// Same, without exceptions: false when the file cannot be opened or read.
bool TryLoadFileBytes(const std::string& FileName, std::string& Bytes);
// Creates (or truncates) the file and writes Bytes: EFCreateError or
// EWriteError on failure.
void SaveFileBytes(const std::string& FileName, std::string_view Bytes);

}  // namespace morvane
