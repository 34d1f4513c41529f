// Shared by the window tests of the control layer: every test runs with a
// strict modal responder (anything modal it did not script fails the test at
// once) and a watchdog for system dialogs nobody answers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/application.h"
#include "platform/ui/modal.h"

namespace morvane::test {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    script_.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    scope_ = std::make_unique<TModalResponderScope>(script_.AsResponder());
    watchdog_ = std::make_unique<TModalWatchdog>([this](const std::string& what) { stuck_ = what; }, 3000);
  }
  void TearDown() override {
    watchdog_.reset();
    scope_.reset();
    EXPECT_TRUE(stuck_.empty()) << stuck_;
    EXPECT_TRUE(script_.Done()) << script_.Remaining() << " scripted modal answers were not used";
  }
  // Pumps messages until pred() holds or ms pass; returns pred().
  static bool PumpUntil(const std::function<bool()>& pred, int ms = 2000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
      if (std::chrono::steady_clock::now() > end) return false;
      Application->ProcessMessages();
      MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
  }
  static void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
  }

  TScriptedResponder script_;
  std::string stuck_;

 private:
  std::unique_ptr<TModalResponderScope> scope_;
  std::unique_ptr<TModalWatchdog> watchdog_;
};

}  // namespace morvane::test
