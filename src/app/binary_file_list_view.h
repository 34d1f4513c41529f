// A frame that shows any file read-only as rows of 32 bytes: an address
// column and two data columns, each in a display mode of its own. The list
// is virtual: only the rows on screen are formatted, from a read-only
// memory-mapped view that covers just the rows the list is about to show,
// so a file of any size is shown through a small address-space window.
#pragma once

#include <cstdint>
#include <string>

#include "app/hex_dump_lines.h"
#include "platform/core/exceptions.h"
#include "platform/core/handles.h"
#include "platform/ui/forms.h"
#include "platform/ui/listview.h"
#include "platform/ui/menus.h"

namespace morvane {

// A mapped view of a file; unmapped when it goes.
class TFileView {
 public:
  TFileView() = default;
  ~TFileView() { Reset(); }
  TFileView(const TFileView&) = delete;
  TFileView& operator=(const TFileView&) = delete;
  const uint8_t* Data() const { return data_; }
  uint64_t Size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }
  void Reset(const void* Data = nullptr, uint64_t Size = 0);

 private:
  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;
};

// A row that the view could not give (the file failed to page in): the
// system's text, and where in the view and how many bytes were read.
class EViewReadError : public Exception {
 public:
  EViewReadError(const std::string& Message, int64_t AOffset, int ACount)
      : Exception(Message), Offset(AOffset), Count(ACount) {}
  int64_t Offset;
  int Count;
};

class TQBBinaryFileListView : public TFrame {
 public:
  explicit TQBBinaryFileListView(TComponent* AOwner);
  ~TQBBinaryFileListView() override;

  TListView* ListView = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* Copy1 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* SelectAll1 = nullptr;

  // Shows the file. A file that does not exist leaves the list empty; an
  // empty file and a file that cannot be opened or mapped raise, and the
  // list is then empty.
  void OpenFile(const std::string& FileName);
  // Unmaps the view and closes the mapping and the file.
  void CloseFile();
  // Column 1 or 2 steps to its next display mode.
  void CycleColumnMode(int Column);
  // Addresses in hex or in decimal.
  void ToggleAddressBase();
  // Searches forward, from the row after the focused (else selected) row,
  // for the bytes of Text; selects, focuses and shows the row where they begin.
  void Find(const std::string& Text);

  void ListViewData(TObject* Sender, TListItem* Item);
  void ListViewDataHint(TObject* Sender, int StartIndex, int EndIndex);
  void ListViewColumnClick(TObject* Sender, TListColumn* Column);
  void Copy1Click(TObject* Sender);
  void SelectAll1Click(TObject* Sender);

  static std::string FormatRow(int Count, uint8_t Kind, uint8_t GroupCode, const uint8_t* Bytes) {
    return morvane::FormatRow(Count, Kind, GroupCode, Bytes);
  }

  int Column1Mode() const { return Column1Mode_; }
  void SetColumn1Mode(int v);
  int Column2Mode() const { return Column2Mode_; }
  void SetColumn2Mode(int v);
  bool HexAddresses() const { return HexAddresses_; }
  void SetHexAddresses(bool v);

  // What is open: the file's name and its size when it was opened.
  bool IsOpen() const { return MappingHandle.Valid(); }
  const std::string& FileName() const { return fileName_; }
  uint64_t FileSize() const { return fileSize_; }

  // The state the list's rows are read from (the view covers rows
  // VisibleFirst..VisibleLast and starts at ViewOffset).
  int VisibleFirst = -1;
  int VisibleLast = -1;
  uint32_t Granularity = 0;
  TWinHandle FileHandle;
  TWinHandle MappingHandle;
  TFileView View;
  int64_t ViewOffset = 0;
  int LastRowSize = 0;
  int RowCount = 0;
  THexDumpModes Modes;

 protected:
  std::string ClassName() const override { return "TQBBinaryFileListView"; }

 private:
  void BuildLayout();
  void UpdateCaptions();
  void Repaint();
  // Maps rows First..Last and TailBytes beyond them; raises EOSError with
  // the system's text when the view cannot be mapped.
  void MapRows(int First, int Last, uint64_t TailBytes = 0);
  // The bytes of Row from the view (0 when the view does not hold them);
  // raises EViewReadError when the view cannot be read.
  int RowBytes(int Row, uint8_t* Out) const;
  int NextSelected(int After);
  int FocusedRow();
  void ShowCopyError(const std::string& Message, int Row);
  std::string ModeCaption(int Mode) const;

  int Column1Mode_ = 0;
  int Column2Mode_ = 0;
  bool HexAddresses_ = false;
  std::string fileName_;
  uint64_t fileSize_ = 0;
  bool showingError_ = false;
};

}  // namespace morvane
