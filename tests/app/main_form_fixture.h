// The real main window and the fourteen dialogs inside a test.
//
//   test::TMainFormFixture app;                 // FormCreate has run
//   test::TMainFormFixture bare({.FormCreate = false});  // controls and columns only
//
// The property store lives in the current user's registry, so a test source
// that uses this fixture carries `// ctest: lock=registry_qbmorvane` (and
// `// ctest: desktop` when it shows the window). The fixture empties the
// store before and after, and turns the update check off unless told not to,
// so that no test reaches for the network.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_form.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/registry.h"
#include "platform/ui/application.h"

namespace morvane::test {

struct TMainFormOptions {
  // Run FormCreate (stores, cookie folders, column sets, restored sort). Off:
  // the controls exist and SetupGrids has built the column sets, nothing else.
  bool FormCreate = true;
  // Show the window (and so activate it: FormActivate runs).
  bool Show = false;
  // Values put into the property store before the window is made
  // (name, value); "checkForUpdates" is "0" unless given here.
  std::vector<std::pair<std::string, std::string>> Properties;
};

// Removes the program's property store from the registry.
inline void ClearPropertyStore() {
  std::string key = TPersitentProperties::kPropsKey;
  key.pop_back();  // no trailing separator for DeleteKey
  TRegistry().DeleteKey(key);
}

// Writes one value of the property store the way the store reads it back.
inline void SetStoredProperty(const std::string& Name, const std::string& Value) {
  TPersitentProperties props;
  props.SetProperty(Name, Value);
  props.Save(TSavedWindowState{true, false, props.Left, props.Top, props.Width, props.Height});
}

class TMainFormFixture {
 public:
  explicit TMainFormFixture(TMainFormOptions Options = {}) {
    ClearPropertyStore();
    bool updates = false;
    for (auto& [name, value] : Options.Properties) updates |= name == "checkForUpdates";
    if (!updates) Options.Properties.emplace_back("checkForUpdates", "0");
    {
      TPersitentProperties props;
      for (auto& [name, value] : Options.Properties) props.SetProperty(name, value);
      props.Save(TSavedWindowState{true, false, props.Left, props.Top, props.Width, props.Height});
    }
    dialogsOwner_ = std::make_unique<TComponent>(nullptr);
    form_ = new TMainFrm(nullptr);
    if (Options.FormCreate) {
      form_->AfterConstruction();
    } else {
      form_->OnCreate = nullptr;
      form_->AfterConstruction();
      form_->SetupGrids();
    }
    CreateProgramDialogs(dialogsOwner_.get());
    if (Options.Show) {
      form_->Show();
      Application->ProcessMessages();
    }
  }
  ~TMainFormFixture() {
    Close();
    dialogsOwner_.reset();
    for (auto** dlg : DialogSlots()) *dlg = nullptr;
    ClearPropertyStore();
  }
  TMainFormFixture(const TMainFormFixture&) = delete;
  TMainFormFixture& operator=(const TMainFormFixture&) = delete;

  TMainFrm* operator->() const { return form_; }
  TMainFrm& Form() const { return *form_; }
  // Destroys the window now (FormDestroy runs and saves the property store);
  // the store is still there for the test to read.
  void Close() {
    delete form_;
    form_ = nullptr;
  }

 private:
  static std::vector<void**> DialogSlots() {
    return {reinterpret_cast<void**>(&EditBlockedDomainDlg), reinterpret_cast<void**>(&DeleteCookieDialog),
            reinterpret_cast<void**>(&EditcookieDlg),        reinterpret_cast<void**>(&ErrorDlg),
            reinterpret_cast<void**>(&RebootQuery),          reinterpret_cast<void**>(&RebotReminderDlg),
            reinterpret_cast<void**>(&NewBlockedDomain),     reinterpret_cast<void**>(&EditMozillaCookieDlg),
            reinterpret_cast<void**>(&EditMozillaBlockedDomainsDialog),
            reinterpret_cast<void**>(&DeleteMozillacookieDialog),
            reinterpret_cast<void**>(&EditCookieFolderDlg),  reinterpret_cast<void**>(&DeleteHistoryDialog),
            reinterpret_cast<void**>(&FoundInfoDlg),         reinterpret_cast<void**>(&SettingsDlg)};
  }

  std::unique_ptr<TComponent> dialogsOwner_;
  TMainFrm* form_ = nullptr;
};

}  // namespace morvane::test
