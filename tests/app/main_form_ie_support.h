// What the tests of the Internet Explorer pages share: the real main window
// with the program's dialogs, and (from the support library) the system's
// list of files to delete at the next restart and the privacy list.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../platform/ui/ui_fixture.h"
#include "app/main_form.h"
#include "main_form_fixture.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"
#include "support/ie_registry.h"

namespace morvane::test {

// The main window with its controls and column sets (no stores made at
// creation: each test gives the page the data it works on), and the dialogs
// it reuses.
class TMainWindowTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    TMainFormOptions options;
    options.FormCreate = false;
    app_ = std::make_unique<TMainFormFixture>(options);
    frm = &app_->Form();
  }
  void TearDown() override {
    frm = nullptr;
    app_.reset();
    UiTest::TearDown();
  }

  TMainFrm* frm = nullptr;

 private:
  std::unique_ptr<TMainFormFixture> app_;
};

}  // namespace morvane::test
