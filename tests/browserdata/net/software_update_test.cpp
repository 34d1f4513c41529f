// ctest: fixture=http_server
// ctest: lock=registry_qbmorvane
#include "browserdata/net/software_update.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "browserdata/net/qb_net_utils.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

// Runs the test body with the current folder in a fresh temporary folder,
// where the download lands.
class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = std::atoi(test::ReadFileBytes(std::getenv("MORVANE_HTTP_PORT_FILE")).c_str());
    ASSERT_GT(port_, 0);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    oldCwd_ = cwd;
    SetCurrentDirectoryA(dir_.Path().c_str());
    program_ = test::BinPath("Morvane.exe");  // FileVersion 1.9.0.0
    saved_ = UpdateNoticeDialog();
  }
  void TearDown() override {
    SetCurrentDirectoryA(oldCwd_.c_str());
    UpdateNoticeDialog() = saved_;
  }
  TUpdateNoticeFn saved_;
  int port_ = 0;
  std::string oldCwd_;
  std::string program_;
  test::TTempDir dir_;
};

TEST_F(UpdateCheck, NewerListShowsTheNoticeAndDownloadSavesTheFile) {
  TUpdateNotice seen;
  int shown = 0;
  UpdateNoticeDialog() = [&](const TUpdateNotice& n) {
    seen = n;
    ++shown;
    return true;
  };
  EXPECT_TRUE(CheckForSoftwareUpdates("127.0.0.1", port_, "list", program_));
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(seen.CurrentVersionText,
            "You are using version 1.9.0.0 of Morvane. Version you can download now is 9.1.0.");
  EXPECT_EQ(seen.NewestVersionText, "See detailed list of new features below.");
  EXPECT_EQ(seen.Notes, (std::vector<std::string>{"First note", "", "Third field"}));
  EXPECT_GT(FileSize(dir_.File("morvane1.exe")), 10000);
}

TEST_F(UpdateCheck, CancelDownloadsNothing) {
  UpdateNoticeDialog() = [](const TUpdateNotice&) { return false; };
  EXPECT_FALSE(CheckForSoftwareUpdates("127.0.0.1", port_, "/list-split", program_));
  EXPECT_FALSE(FileExists(dir_.File("morvane1.exe")));
}

TEST_F(UpdateCheck, NoNoticeForAnErrorPageOrNoServer) {
  int shown = 0;
  UpdateNoticeDialog() = [&](const TUpdateNotice&) { return ++shown, true; };
  EXPECT_FALSE(CheckForSoftwareUpdates("127.0.0.1", port_, "/missing", program_));
  EXPECT_FALSE(CheckForSoftwareUpdates("127.0.0.1", 1, "/list", program_));
  // The running program is not older: nothing to offer.
  EXPECT_FALSE(CheckForSoftwareUpdates("127.0.0.1", port_, "/big-header", program_));
  EXPECT_EQ(shown, 0);
  EXPECT_FALSE(FileExists(dir_.File("morvane1.exe")));
}

TEST(UpdateSchedule, RunsWhenDueAndStoresTheTimeFirst) {
  struct Case {
    const char* name;
    const char* enabled;   // nullptr: not stored
    const char* frequency;
    double daysAgo;        // < 0: no stored date
    bool runs;
  };
  const Case cases[] = {
      {"first-start", nullptr, nullptr, -1, true},
      {"switched-off", "0", "14", 30, false},
      {"not-yet", "-1", "14", 13.9, false},
      {"due", "-1", "14", 14.0, true},
      {"bad-texts-take-defaults", "maybe", "often", 15, true},
  };
  const TDateTime now = EncodeDate(2026, 12, 10) + EncodeTime(9, 30, 0, 0);
  for (const auto& c : cases) {
    TPersitentProperties props(1024, 768);
    if (c.enabled) props.SetProperty("checkForUpdates", c.enabled);
    if (c.frequency) props.SetProperty("checkForUpdatesFrequency", c.frequency);
    if (c.daysAgo >= 0) props.SetProperty("SoftwareCheckDate", DateTimeToStr(now - c.daysAgo));
    std::string before;
    props.GetProperty("SoftwareCheckDate", before);
    std::string during;
    int checks = 0;
    const bool ran = CheckForSoftwareUpdatesWhenDue(props, now, [&] {
      props.GetProperty("SoftwareCheckDate", during);
      return ++checks, false;
    });
    EXPECT_EQ(ran, c.runs) << c.name;
    EXPECT_EQ(checks, c.runs ? 1 : 0) << c.name;
    std::string after;
    props.GetProperty("SoftwareCheckDate", after);
    if (c.runs) {
      EXPECT_EQ(during, DateTimeToStr(now)) << c.name;
    } else {
      EXPECT_EQ(after, before) << c.name;
    }
  }
}

TEST(UpdateSchedule, CheckTimeReachesTheRegistry) {
  const std::string key = "\\SOFTWARE\\Quenbry\\QbMorvane\\Props";
  TRegistry().DeleteKey(key);
  const TDateTime now = EncodeDate(2026, 12, 10) + EncodeTime(8, 0, 0, 0);
  {
    TPersitentProperties props(1024, 768);
    ASSERT_TRUE(CheckForSoftwareUpdatesWhenDue(props, now, [] { return false; }));
    props.Save(TSavedWindowState{});
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(key + "\\UserDefined"));
  EXPECT_EQ(reg.ReadString("SoftwareCheckDate"), DateTimeToStr(now));
  reg.CloseKey();
  // The next start sees it and does not check again.
  {
    TPersitentProperties props(1024, 768);
    EXPECT_FALSE(CheckForSoftwareUpdatesWhenDue(props, now + 1, [] { return false; }));
  }
  TRegistry().DeleteKey(key);
}

}  // namespace
}  // namespace morvane
