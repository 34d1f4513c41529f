// Common dialogs, the printer as a device for lines of text, and the input box.
// Every dialog goes through the modal responder (platform/ui/modal.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/components.h"
#include "platform/ui/graphics.h"

namespace morvane {

enum TOpenOption : uint32_t {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofAllowMultiSelect = 1u << 4,
  ofPathMustExist = 1u << 5,
  ofFileMustExist = 1u << 6,
  ofCreatePrompt = 1u << 7,
  ofNoReadOnlyReturn = 1u << 8,
  ofEnableSizing = 1u << 9,
};
using TOpenOptions = uint32_t;

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* AOwner);
  // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
  std::string Filter;
  int FilterIndex = 1;  // 1-based
  std::string DefaultExt;
  std::string InitialDir;
  std::string Title;
  std::string FileName;
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
  bool Ctl3D = true;
  // True when the user chose a file (FileName and FilterIndex are then set).
  virtual bool Execute();

 protected:
  virtual bool IsSave() const { return false; }
  std::string ClassName() const override { return "TOpenDialog"; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool IsSave() const override { return true; }
  std::string ClassName() const override { return "TSaveDialog"; }
};

// The system's "which folder" dialog, starting at Directory; true with the chosen one.
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);

// The printer chosen last (the default one until a print dialog picks another),
// used as a device that takes lines of text on pages.
class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  void BeginDoc();
  void EndDoc();
  void Abort();
  void NewPage();
  bool Printing() const { return dc_ != nullptr; }
  TCanvas* Canvas() { return &canvas_; }
  int PageWidth();
  int PageHeight();
  int PageNumber() const { return page_; }
  std::string Title;
  // Takes over the printer settings a print dialog returned.
  void SetDevice(HGLOBAL DevMode, HGLOBAL DevNames);

 private:
  HDC MakeDC();
  HDC dc_ = nullptr;
  TCanvas canvas_;
  int page_ = 0;
  HGLOBAL devMode_ = nullptr, devNames_ = nullptr;
};
TPrinter* Printer();

class TPrintDialog : public TComponent {
 public:
  explicit TPrintDialog(TComponent* AOwner);
  int Copies = 1;
  virtual bool Execute();

 protected:
  std::string ClassName() const override { return "TPrintDialog"; }
};

}  // namespace morvane
