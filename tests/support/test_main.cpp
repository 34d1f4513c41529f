// The main of every test executable.
//
// Nothing modal may wait for a person: unless a test installs a responder of
// its own, any message box, modal form, input box, common dialog or popup
// menu fails the running test with its caption and text and is answered with
// "cancel", and a watchdog closes system dialogs and menu loops that nobody
// answers, failing the test that left them.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/modal.h"
#include "support/test_env.h"

namespace {

class TNoPersonEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    morvane::SetModalResponder([](morvane::TModalRequest& r) {
      ADD_FAILURE() << "unexpected " << morvane::ModalKindName(r.Kind) << " \"" << r.Caption << "\": " << r.Text;
      return r.Kind == morvane::TModalKind::mkPopupMenu ? 0 : IDCANCEL;
    });
    watchdog_ = std::make_unique<morvane::TModalWatchdog>(
        [this](const std::string& what) {
          std::lock_guard<std::mutex> lock(mutex_);
          stuck_.push_back(what);
        },
        5000);
  }
  void TearDown() override {
    watchdog_.reset();
    morvane::SetModalResponder(nullptr);
  }
  // Failures found by the watchdog thread, reported on the test's thread.
  std::vector<std::string> TakeStuck() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::move(stuck_);
  }

 private:
  std::unique_ptr<morvane::TModalWatchdog> watchdog_;
  std::mutex mutex_;
  std::vector<std::string> stuck_;
};

class TStuckReporter : public testing::EmptyTestEventListener {
 public:
  explicit TStuckReporter(TNoPersonEnvironment* env) : env_(env) {}
  void OnTestEnd(const testing::TestInfo&) override {
    for (const std::string& what : env_->TakeStuck()) ADD_FAILURE() << "nobody answered: " << what;
  }

 private:
  TNoPersonEnvironment* env_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  auto* env = new TNoPersonEnvironment;
  testing::AddGlobalTestEnvironment(env);
  testing::UnitTest::GetInstance()->listeners().Append(new TStuckReporter(env));
  return RUN_ALL_TESTS();
}
