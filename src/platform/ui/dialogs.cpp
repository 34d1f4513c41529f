#include "platform/ui/dialogs.h"

#include <cstring>

#include "platform/win32.h"
// The lean Windows header leaves out the common dialogs and the spooler.
#include <commdlg.h>
#include <winspool.h>

#include "platform/core/exceptions.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/modal.h"
#include "platform/ui/stdctrls.h"

namespace morvane {

namespace {
HWND DialogOwner() {
  if (TCustomForm* f = Screen->ActiveForm(); f && f->HandleAllocated()) return f->Handle();
  if (TCustomForm* f = Application->MainForm(); f && f->HandleAllocated()) return f->Handle();
  return nullptr;
}
}  // namespace

// TOpenDialog ----------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = IsSave() ? TModalKind::mkSaveDialog : TModalKind::mkOpenDialog;
    r.Identity = Name();
    r.Caption = Title;
    r.Text = Filter;
    std::string value = FileName;
    r.Value = &value;
    int a = AskModalResponder(r);
    if (a != mrShowReal) {
      if (a != IDOK) return false;
      FileName = value;
      return true;
    }
  }
  // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
  std::string filter = Filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  std::vector<char> name(32768, '\0');
  std::strncpy(name.data(), FileName.c_str(), name.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | ((Options & ofReadOnly) ? OFN_READONLY : 0) |
              ((Options & ofOverwritePrompt) ? OFN_OVERWRITEPROMPT : 0) | ((Options & ofHideReadOnly) ? OFN_HIDEREADONLY : 0) |
              ((Options & ofNoChangeDir) ? OFN_NOCHANGEDIR : 0) | ((Options & ofAllowMultiSelect) ? OFN_ALLOWMULTISELECT : 0) |
              ((Options & ofPathMustExist) ? OFN_PATHMUSTEXIST : 0) | ((Options & ofFileMustExist) ? OFN_FILEMUSTEXIST : 0) |
              ((Options & ofCreatePrompt) ? OFN_CREATEPROMPT : 0) | ((Options & ofNoReadOnlyReturn) ? OFN_NOREADONLYRETURN : 0) |
              ((Options & ofEnableSizing) ? OFN_ENABLESIZING : 0);
  BOOL ok = IsSave() ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  FileName = name.data();
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

// SelectDirectory ------------------------------------------------------------------

namespace {
int CALLBACK BrowseProc(HWND wnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}
}  // namespace

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory) {
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = TModalKind::mkSelectDirectory;
    r.Caption = Caption;
    r.Text = Root;
    std::string value = Directory;
    r.Value = &value;
    int a = AskModalResponder(r);
    if (a != mrShowReal) {
      if (a != IDOK) return false;
      Directory = value;
      return true;
    }
  }
  char path[MAX_PATH] = {};
  BROWSEINFOA bi{};
  bi.hwndOwner = DialogOwner();
  bi.lpszTitle = Caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  bi.lpfn = &BrowseProc;
  bi.lParam = Directory.empty() ? 0 : reinterpret_cast<LPARAM>(Directory.c_str());
  CoInitialize(nullptr);
  LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
  bool ok = false;
  if (pidl) {
    ok = SHGetPathFromIDListA(pidl, path) != FALSE;
    CoTaskMemFree(pidl);
  }
  CoUninitialize();
  if (ok) Directory = path;
  return ok;
}

// TPrinter -------------------------------------------------------------------------

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() {
  if (dc_) Abort();
  if (devMode_) GlobalFree(devMode_);
  if (devNames_) GlobalFree(devNames_);
}

TPrinter* Printer() {
  static TPrinter p;
  return &p;
}

void TPrinter::SetDevice(HGLOBAL DevMode, HGLOBAL DevNames) {
  if (devMode_ && devMode_ != DevMode) GlobalFree(devMode_);
  if (devNames_ && devNames_ != DevNames) GlobalFree(devNames_);
  devMode_ = DevMode;
  devNames_ = DevNames;
}

HDC TPrinter::MakeDC() {
  if (devNames_) {
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(devNames_));
    auto* dm = devMode_ ? static_cast<DEVMODEA*>(GlobalLock(devMode_)) : nullptr;
    const char* base = reinterpret_cast<const char*>(dn);
    HDC dc = CreateDCA(base + dn->wDriverOffset, base + dn->wDeviceOffset, nullptr, dm);
    if (dm) GlobalUnlock(devMode_);
    GlobalUnlock(devNames_);
    return dc;
  }
  char name[512] = {};
  DWORD n = sizeof(name);
  if (!GetDefaultPrinterA(name, &n)) return nullptr;
  return CreateDCA("WINSPOOL", name, nullptr, nullptr);
}

void TPrinter::BeginDoc() {
  if (dc_) throw EInvalidOperation("Printing in progress");
  dc_ = MakeDC();
  if (!dc_) throw EInvalidOperation("There is no default printer currently selected");
  DOCINFOA di{sizeof(di)};
  di.lpszDocName = Title.c_str();
  if (StartDocA(dc_, &di) <= 0) {
    DeleteDC(std::exchange(dc_, nullptr));
    throw EOSError("Printing could not be started");
  }
  StartPage(dc_);
  page_ = 1;
  canvas_.SetHandle(dc_);
}

void TPrinter::NewPage() {
  if (!dc_) throw EInvalidOperation("Printer is not currently printing");
  canvas_.SetHandle(nullptr);
  EndPage(dc_);
  StartPage(dc_);
  ++page_;
  canvas_.SetHandle(dc_);
}

void TPrinter::EndDoc() {
  if (!dc_) throw EInvalidOperation("Printer is not currently printing");
  canvas_.SetHandle(nullptr);
  EndPage(dc_);
  ::EndDoc(dc_);
  DeleteDC(std::exchange(dc_, nullptr));
  page_ = 0;
}

void TPrinter::Abort() {
  if (!dc_) return;
  canvas_.SetHandle(nullptr);
  AbortDoc(dc_);
  DeleteDC(std::exchange(dc_, nullptr));
  page_ = 0;
}

int TPrinter::PageWidth() { return dc_ ? GetDeviceCaps(dc_, HORZRES) : 0; }
int TPrinter::PageHeight() { return dc_ ? GetDeviceCaps(dc_, VERTRES) : 0; }

// TPrintDialog ---------------------------------------------------------------------

TPrintDialog::TPrintDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TPrintDialog::Execute() {
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = TModalKind::mkPrintDialog;
    r.Identity = Name();
    int a = AskModalResponder(r);
    if (a != mrShowReal) return a == IDOK;
  }
  PRINTDLGA pd{};
  pd.lStructSize = sizeof(pd);
  pd.hwndOwner = DialogOwner();
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.nCopies = static_cast<WORD>(Copies);
  if (!PrintDlgA(&pd)) return false;
  if (pd.hDC) DeleteDC(pd.hDC);
  Copies = pd.nCopies;
  Printer()->SetDevice(pd.hDevMode, pd.hDevNames);
  return true;
}

// The input box --------------------------------------------------------------------

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
  if (HasModalResponder()) {
    TModalRequest r;
    r.Kind = TModalKind::mkInputBox;
    r.Caption = ACaption;
    r.Text = APrompt;
    std::string v = Value;
    r.Value = &v;
    int a = AskModalResponder(r);
    if (a != mrShowReal) {
      if (a != IDOK) return false;
      Value = v;
      return true;
    }
  }
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsDialog);
  form.SetPosition(TPosition::poScreenCenter);
  form.SetCaption(ACaption);
  form.SetClientWidth(280);
  form.SetClientHeight(96);
  auto* prompt = new TLabel(&form);
  prompt->SetParent(&form);
  prompt->SetBounds(8, 8, 264, 13);
  prompt->SetCaption(APrompt);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(8, 28, 264, 21);
  edit->SetMaxLength(255);
  edit->SetText(Value);
  auto* ok = new TButton(&form);
  ok->SetParent(&form);
  ok->SetBounds(116, 62, 75, 25);
  ok->SetCaption("OK");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TButton(&form);
  cancel->SetParent(&form);
  cancel->SetBounds(197, 62, 75, 25);
  cancel->SetCaption("Cancel");
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  form.SetActiveControl(edit);
  if (form.ShowModal() != mrOk) return false;
  Value = edit->Text();
  return true;
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault) {
  std::string v = ADefault;
  return InputQuery(ACaption, APrompt, v) ? v : ADefault;
}

}  // namespace morvane
