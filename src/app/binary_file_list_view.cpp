#include "app/binary_file_list_view.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/control_ids.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/modal.h"

namespace morvane {

namespace {

// Rows Copy and Find bring into the view at a time, after the first.
constexpr int kWalkRows = 1000;
// Lines Copy gathers before it adds them to the clipboard text.
constexpr int kCopyBatch = 500;

uint32_t SystemGranularity() {
  SYSTEM_INFO si{};
  GetSystemInfo(&si);
  return si.dwAllocationGranularity;
}

// Reads from a mapped view. A view of a file on a network share or a
// removable disk can fail to page in, and the read then raises a system
// exception, not a C++ one. The copy is a few instructions of its own whose
// faulting read the vectored handler below skips to a failure return, with
// the registers as the copy left them; the caller turns that into the
// system's error text.
extern "C" int MorvaneViewCopy(void* Dst, const void* Src, size_t Count);
extern "C" char MorvaneViewCopyRead[], MorvaneViewCopyFailed[];
asm(R"(
    .text
    .globl MorvaneViewCopy
    .globl MorvaneViewCopyRead
    .globl MorvaneViewCopyFailed
    .def MorvaneViewCopy; .scl 2; .type 32; .endef
MorvaneViewCopy:
    movq %rdi, %r9
    movq %rsi, %r10
    movq %rcx, %rdi
    movq %rdx, %rsi
    movq %r8, %rcx
MorvaneViewCopyRead:
    rep movsb
    movq %r9, %rdi
    movq %r10, %rsi
    movl $1, %eax
    ret
MorvaneViewCopyFailed:
    movq %r9, %rdi
    movq %r10, %rsi
    xorl %eax, %eax
    ret
)");

thread_local DWORD viewReadError = ERROR_SUCCESS;

LONG CALLBACK ViewReadFault(EXCEPTION_POINTERS* e) {
  const DWORD code = e->ExceptionRecord->ExceptionCode;
  if ((code != EXCEPTION_IN_PAGE_ERROR && code != EXCEPTION_ACCESS_VIOLATION) ||
      e->ContextRecord->Rip != reinterpret_cast<DWORD64>(MorvaneViewCopyRead))
    return EXCEPTION_CONTINUE_SEARCH;
  viewReadError = code == EXCEPTION_IN_PAGE_ERROR ? ERROR_SWAPERROR : ERROR_NOACCESS;
  e->ContextRecord->Rip = reinterpret_cast<DWORD64>(MorvaneViewCopyFailed);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Copies Count bytes from a view; false, with the error code in Error, when
// the view could not be read.
bool ReadView(void* Dst, const uint8_t* Src, size_t Count, DWORD& Error) {
  static const PVOID handler = AddVectoredExceptionHandler(1, &ViewReadFault);
  (void)handler;
  viewReadError = ERROR_SUCCESS;
  if (MorvaneViewCopy(Dst, Src, Count)) return true;
  Error = viewReadError;
  return false;
}

// The last row of the window Copy and Find map from Row: up to kWalkRows
// more, never past the last row (Row + kWalkRows overflows near 2^31 rows).
int WalkLast(int Row, int RowCount) { return Row + std::min(kWalkRows, RowCount - 1 - Row); }

EOSError LastOSError() { return EOSError(SysErrorMessage(GetLastError())); }

}  // namespace

// TFileView ----------------------------------------------------------------------

void TFileView::Reset(const void* Data, uint64_t Size) {
  if (data_) UnmapViewOfFile(data_);
  data_ = static_cast<const uint8_t*>(Data);
  size_ = Data ? Size : 0;
}

// TQBBinaryFileListView ----------------------------------------------------------

TQBBinaryFileListView::TQBBinaryFileListView(TComponent* AOwner) : TFrame(AOwner) {
  Modes = HexDumpModes();
  Granularity = SystemGranularity();
  BuildLayout();
}

TQBBinaryFileListView::~TQBBinaryFileListView() {
  CloseFile();
  DestroyComponents();
}

void TQBBinaryFileListView::BuildLayout() {
  SetBounds(0, 0, 640, 320);

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  auto item = [this](const char* name, const char* caption) {
    auto* m = new TMenuItem(this);
    m->SetName(name);
    m->SetCaption(caption);
    PopupMenu1->Items()->Add(m);
    return m;
  };
  Copy1 = item("Copy1", "&Copy");
  N1 = item("N1", "-");
  SelectAll1 = item("SelectAll1", "&Select All");
  Copy1->OnClick = [this](TObject* s) { Copy1Click(s); };
  SelectAll1->OnClick = [this](TObject* s) { SelectAll1Click(s); };

  ListView = new TListView(this);
  ListView->SetName("ListView");
  ListView->SetControlId(ids::kBinaryViewListView);
  ListView->SetAlign(TAlign::alClient);
  ListView->SetViewStyle(TViewStyle::vsReport);
  ListView->SetOwnerData(false);
  ListView->SetReadOnly(true);
  ListView->SetMultiSelect(true);
  ListView->SetRowSelect(true);
  ListView->SetPopupMenu(PopupMenu1);
  ListView->SetHint("To change display style click on column caption");
  ListView->SetShowHint(true);
  struct {
    const char* caption;
    int width;
    bool autoSize;
  } const columns[] = {{"Address", 110, false}, {"Hex", 300, false}, {"Text", 260, true}};
  for (const auto& c : columns) {
    TListColumn* col = ListView->AddColumn();
    col->SetCaption(c.caption);
    col->SetWidth(c.width);
    col->SetAutoSize(c.autoSize);
  }
  ListView->OnData = [this](TObject* s, TListItem* i) { ListViewData(s, i); };
  ListView->OnDataHint = [this](TObject* s, int a, int b) { ListViewDataHint(s, a, b); };
  // The list's hint invites a click on a caption: the address caption
  // switches the base, a data caption steps its column's mode.
  ListView->OnColumnClick = [this](TObject* s, TListColumn* c) { ListViewColumnClick(s, c); };
  ListView->SetParent(this);
}

std::string TQBBinaryFileListView::ModeCaption(int Mode) const {
  return Mode >= 0 && Mode < kHexDumpModeCount ? Modes[static_cast<size_t>(Mode)].Caption : std::string();
}

void TQBBinaryFileListView::UpdateCaptions() {
  ListView->Columns(0)->SetCaption(HexAddresses_ ? "Address (Hex)" : "Address (Dec)");
  ListView->Columns(1)->SetCaption(ModeCaption(Column1Mode_));
  ListView->Columns(2)->SetCaption(ModeCaption(Column2Mode_));
}

void TQBBinaryFileListView::Repaint() {
  if (ListView->HandleAllocated()) ListView->Invalidate();
}

void TQBBinaryFileListView::SetColumn1Mode(int v) {
  if (v < 0 || v >= kHexDumpModeCount || v == Column1Mode_) return;
  Column1Mode_ = v;
  if (IsOpen()) {
    UpdateCaptions();
    Repaint();
  }
}

void TQBBinaryFileListView::SetColumn2Mode(int v) {
  if (v < 0 || v >= kHexDumpModeCount || v == Column2Mode_) return;
  Column2Mode_ = v;
  if (IsOpen()) {
    UpdateCaptions();
    Repaint();
  }
}

void TQBBinaryFileListView::SetHexAddresses(bool v) {
  if (v == HexAddresses_) return;
  HexAddresses_ = v;
  if (IsOpen()) {
    UpdateCaptions();
    Repaint();
  }
}

void TQBBinaryFileListView::CycleColumnMode(int Column) {
  int& mode = Column == 1 ? Column1Mode_ : Column2Mode_;
  if (Column != 1 && Column != 2) return;
  mode = (mode + 1) % kHexDumpModeCount;
  ListView->Columns(Column)->SetCaption(ModeCaption(mode));
  Repaint();
}

void TQBBinaryFileListView::ToggleAddressBase() {
  HexAddresses_ = !HexAddresses_;
  ListView->Columns(0)->SetCaption(HexAddresses_ ? "Address (Hex)" : "Address (Dec)");
  Repaint();
}

void TQBBinaryFileListView::ListViewColumnClick(TObject*, TListColumn* Column) {
  if (!Column) return;
  if (Column->Index() == 0) ToggleAddressBase();
  else CycleColumnMode(Column->Index());
}

void TQBBinaryFileListView::CloseFile() {
  View.Reset();
  MappingHandle.Reset();
  FileHandle.Reset();
  ViewOffset = 0;
  VisibleFirst = VisibleLast = -1;
}

void TQBBinaryFileListView::OpenFile(const std::string& FileName) {
  if (!FileExists(FileName)) {
    // Nothing to show: the rows of the file shown before must not stay
    // under the new file's name.
    CloseFile();
    fileName_.clear();
    fileSize_ = 0;
    RowCount = LastRowSize = 0;
    ListView->Items()->SetCount(0);
    return;
  }
  Modes = HexDumpModes();
  Granularity = SystemGranularity();
  CloseFile();
  fileName_ = FileName;
  fileSize_ = 0;
  RowCount = LastRowSize = 0;
  UpdateCaptions();
  ListView->SetOwnerData(true);
  try {
    const std::string empty = "Selected file '" + FileName + "' has no data (zero length)";
    if (morvane::FileSize(FileName) == 0) throw Exception(empty);
    FileHandle.Reset(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!FileHandle) throw LastOSError();
    // The size the mapping gets is the size now, through the open handle:
    // the file may have changed since it was looked up by name.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(FileHandle.Get(), &size)) throw LastOSError();
    if (size.QuadPart == 0) throw Exception(empty);
    MappingHandle.Reset(CreateFileMappingA(FileHandle.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!MappingHandle) throw LastOSError();
    fileSize_ = static_cast<uint64_t>(size.QuadPart);
    const THexDumpRows rows = HexDumpRows(fileSize_);
    LastRowSize = rows.LastRowSize;
    // The list counts rows in an int: a file beyond 64 GB shows its first
    // 2^31 - 1 rows.
    RowCount = static_cast<int>(std::min<int64_t>(rows.RowCount, INT_MAX));
    if (RowCount != rows.RowCount) LastRowSize = 0;
    ListView->Items()->SetCount(RowCount);
  } catch (...) {
    CloseFile();
    fileSize_ = 0;
    RowCount = LastRowSize = 0;
    ListView->Items()->SetCount(0);
    ListView->SetOwnerData(false);
    throw;
  }
}

void TQBBinaryFileListView::MapRows(int First, int Last, uint64_t TailBytes) {
  const THexDumpWindow w = HexDumpWindow(fileSize_, First, std::min(Last, RowCount - 1), Granularity, TailBytes);
  VisibleFirst = First;
  VisibleLast = Last;
  View.Reset();
  ViewOffset = static_cast<int64_t>(w.Offset);
  if (w.Length == 0) return;
  SetLastError(ERROR_SUCCESS);
  void* p = MappingHandle ? MapViewOfFile(MappingHandle.Get(), FILE_MAP_READ, static_cast<DWORD>(w.Offset >> 32),
                                          static_cast<DWORD>(w.Offset & 0xFFFFFFFFu), static_cast<SIZE_T>(w.Length))
                          : nullptr;
  if (!p) {
    if (!MappingHandle) SetLastError(ERROR_INVALID_HANDLE);
    throw LastOSError();
  }
  View.Reset(p, w.Length);
}

int TQBBinaryFileListView::RowBytes(int Row, uint8_t* Out) const {
  const int n = HexDumpRowBytes(fileSize_, Row);
  const int64_t at = static_cast<int64_t>(Row) * kHexDumpRowSize - ViewOffset;
  if (n == 0 || !View || at < 0 || static_cast<uint64_t>(at) + static_cast<uint64_t>(n) > View.Size()) return 0;
  DWORD error = ERROR_SUCCESS;
  if (!ReadView(Out, View.Data() + at, static_cast<size_t>(n), error))
    throw EViewReadError(SysErrorMessage(error), at, n);
  return n;
}

void TQBBinaryFileListView::ListViewDataHint(TObject*, int StartIndex, int EndIndex) {
  // With no file open there is nothing to map (the list may still paint
  // the rows of a file closed a moment ago).
  if (!IsOpen()) {
    VisibleFirst = VisibleLast = -1;
    View.Reset();
    return;
  }
  try {
    MapRows(StartIndex, EndIndex);
  } catch (const Exception& e) {
    // Painting goes on while the message is up and asks again; one message
    // at a time, the rows stay empty meanwhile.
    VisibleFirst = VisibleLast = -1;
    if (showingError_) return;
    showingError_ = true;
    try {
      ShowMessage("Error in hint - " + e.Message());
    } catch (...) {
    }
    showingError_ = false;
  }
}

void TQBBinaryFileListView::ListViewData(TObject*, TListItem* Item) {
  if (!Item) return;
  const int row = Item->Index();
  if (row < VisibleFirst || row > VisibleLast || row >= RowCount) return;
  uint8_t bytes[kHexDumpRowSize];
  // The view always holds the rows of the remembered range; a row it does
  // not hold stays empty.
  int n = 0;
  try {
    n = RowBytes(row, bytes);
  } catch (const EViewReadError& e) {
    // The list asks again for every row while the message is up: one
    // message at a time, the rows stay empty.
    if (showingError_) return;
    showingError_ = true;
    struct TDone {
      bool& f;
      ~TDone() { f = false; }
    } done{showingError_};
    ShowMessage("Error in data - " + e.Message() + ": iOfset=" + std::to_string(e.Offset) +
                " nLineSize=" + std::to_string(e.Count) + "HIGH(DWORD)=" + std::to_string(0xFFFFFFFFu));
    return;
  }
  if (n == 0) return;
  Item->Caption = FormatAddress(static_cast<uint64_t>(row) * kHexDumpRowSize, HexAddresses_) + " ";
  const THexDumpMode& m1 = Modes[static_cast<size_t>(Column1Mode_)];
  const THexDumpMode& m2 = Modes[static_cast<size_t>(Column2Mode_)];
  Item->SubItems.Add(FormatRow(n, m1.Kind, m1.GroupCode, bytes));
  Item->SubItems.Add(FormatRow(n, m2.Kind, m2.GroupCode, bytes));
}

int TQBBinaryFileListView::NextSelected(int After) {
  if (ListView->HandleAllocated())
    return static_cast<int>(
        SendMessageA(ListView->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(After), LVNI_SELECTED));
  TListItem* from = After >= 0 ? ListView->Items()->Item(After) : nullptr;
  TListItem* next = ListView->GetNextItem(from, TSearchDirection::sdAll, isSelected);
  return next ? next->Index() : -1;
}

int TQBBinaryFileListView::FocusedRow() {
  if (ListView->HandleAllocated())
    return static_cast<int>(SendMessageA(ListView->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  TListItem* focused = ListView->ItemFocused();
  return focused ? focused->Index() : -1;
}

void TQBBinaryFileListView::ShowCopyError(const std::string& Message, int Row) {
  MessageBox("Cannot copy selection to the clipboard (" + Message + ", icount= " + std::to_string(Row) + ").",
             "Cannot copy", MB_OK | MB_ICONINFORMATION);
}

void TQBBinaryFileListView::Copy1Click(TObject*) {
  THourGlass busy;
  int row = -1;
  try {
    Clipboard()->Open();
    struct TCloser {
      ~TCloser() { Clipboard()->Close(); }
    } closer;
    Clipboard()->Clear();
    const THexDumpMode& m1 = Modes[static_cast<size_t>(Column1Mode_)];
    std::string text, batch;
    int inBatch = 0;
    uint8_t bytes[kHexDumpRowSize];
    while ((row = NextSelected(row)) >= 0 && row < RowCount) {
      if (row < VisibleFirst || row > VisibleLast) MapRows(row, WalkLast(row, RowCount));
      const int n = RowBytes(row, bytes);
      batch += FormatAddress(static_cast<uint64_t>(row) * kHexDumpRowSize, HexAddresses_);
      batch += ' ';
      batch += FormatRow(n, m1.Kind, m1.GroupCode, bytes);
      batch += "\r\n";
      if (++inBatch == kCopyBatch) {
        text += batch;
        batch.clear();
        inBatch = 0;
      }
    }
    text += batch;
    // One hand-over at the end: the clipboard would copy the whole text
    // again at every batch.
    Clipboard()->SetAsText(text);
  } catch (const Exception& e) {
    ShowCopyError(e.Message(), row);
  } catch (const std::exception& e) {
    ShowCopyError(e.what(), row);
  }
  Repaint();
}

void TQBBinaryFileListView::SelectAll1Click(TObject*) { ListView->SelectAll(); }

void TQBBinaryFileListView::Find(const std::string& Text) {
  if (Text.empty() || !IsOpen()) return;
  THourGlass busy;
  const int focused = FocusedRow();
  const int selected = focused >= 0 ? -1 : NextSelected(-1);
  int row = focused >= 0 ? focused + 1 : selected >= 0 ? selected + 1 : 0;
  if (focused >= 0) ListView->SetItemSelected(focused, false);
  const uint64_t tail = Text.size() - 1;
  std::vector<uint8_t> window;
  try {
    while (row < RowCount) {
      const int last = WalkLast(row, RowCount);
      // A match begins in one of these rows and may run on into the rows after.
      MapRows(row, last, tail);
      const uint64_t begin = static_cast<uint64_t>(row) * kHexDumpRowSize;
      const uint64_t beginsBefore = std::min<uint64_t>(static_cast<uint64_t>(last + 1) * kHexDumpRowSize, fileSize_);
      // Searched in a copy: a view that fails to page in is reported, not
      // the end of the program.
      const uint64_t skip = begin - static_cast<uint64_t>(ViewOffset);
      window.resize(static_cast<size_t>(View.Size() - skip));
      DWORD error = ERROR_SUCCESS;
      if (!ReadView(window.data(), View.Data() + skip, window.size(), error))
        throw EOSError(SysErrorMessage(error));
      const uint8_t* base = window.data();
      const uint8_t* end = base + window.size();
      const uint8_t* hit = std::search(base, end, Text.begin(), Text.end(),
                                       [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
      if (hit != end && static_cast<uint64_t>(hit - base) < beginsBefore - begin) {
        const int found = static_cast<int>((begin + static_cast<uint64_t>(hit - base)) / kHexDumpRowSize);
        ListView->SetItemSelected(found, true);
        // The next search goes on after this match.
        ListView->SetItemFocusedIndex(found, true);
        if (ListView->HandleAllocated() && ListView->CanFocus()) ListView->SetFocus();
        ListView->MakeVisible(found, false);
        Repaint();
        return;
      }
      row = last + 1;
    }
  } catch (const Exception& e) {
    ShowCopyError(e.Message(), row);
  }
  Repaint();
}

}  // namespace morvane
